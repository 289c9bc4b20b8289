#pragma once
// FileSet: new files written under temporary names beside the files they
// replace and put in place together, or not at all.
//
// Every path is first followed through symbolic links, so a link keeps
// pointing where it did and its target receives the new contents; a file
// that is replaced keeps its permissions (and, where the system allows, its
// owner). When any one file cannot be put in place the files already
// replaced get their old contents back, so a reader never sees half of a new
// set beside half of an old one; and a run killed while they are put in
// place leaves a journal beside them, from which the next run that writes or
// reads there finishes the set (TidyFolderOf).
#include <string>
#include <vector>

namespace zelv {

class SetJournal;

class FileSet {
  public:
    FileSet() = default;
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;
    // Removes the temporary files of a set that was never committed.
    ~FileSet();

    // Creates an empty temporary file for `path` (in the folder of the file
    // it will replace) and returns its descriptor, or -1 with "Unable to
    // write to <path> (<reason>)" when the file cannot be replaced: its
    // folder is missing or not writable, or it is read-only or no plain file.
    int Create(const std::string& path, std::string* error);
    // The same for a writer that opens files by name: the temporary file is
    // created empty and its path returned ("" with the error on failure).
    std::string CreateNamed(const std::string& path, std::string* error);
    // Removes `path` (a file left over from before) when the set is put in
    // place. False, with the reason, when it could not be removed then.
    bool RemoveOnCommit(const std::string& path, std::string* error);

    // Makes every temporary file durable, then puts them all in place. On
    // failure every file named is as it was before and `error` says which
    // file failed and why.
    bool Commit(std::string* error);
    // Drops the set: temporary files removed, every file as it was.
    void Abandon();

    bool Empty() const { return entries_.empty(); }

  private:
    struct Entry {
        std::string Path;   // as the caller named it, for messages
        std::string Target; // the file the path leads to, from the root
        std::string Temp;   // new contents; empty for a removal
        std::string Backup; // where the old file waits while the set is put in place
        int Fd = -1;        // the temporary file, held (and locked) until the set is settled
        bool Existed = false;
        bool Aside = false; // the old file is at Backup
        bool Placed = false;
    };
    bool Prepare(Entry& e, std::string* error);
    bool SyncTemporaries(std::string* error);
    bool PlaceOne(std::string* error);
    bool Fail(const Entry& e, int err, std::string* error, SetJournal* journal = nullptr);
    void Rollback();
    void Release();

    std::vector<Entry> entries_;
    std::vector<std::string> tidied_; // folders already put right for this set
    std::vector<int> retired_;        // descriptors of files written again, closed with the set
};

// The file that writing to `path` changes: `path` itself, or the file that a
// chain of symbolic links starting at it ends in. False, with the reason,
// for a chain that loops or cannot be read.
bool WriteTarget(const std::string& path, std::string& target, std::string* reason = nullptr);

// Why the file at `target` may not be replaced ("read-only", "not a regular
// file"), or empty when it may (or does not exist).
std::string ReplaceRefusal(const std::string& target);

// The folder `path` names a file in: "." for a bare name.
std::string FolderOf(const std::string& path);

// Puts right the folder of the file `path` leads to: finishes (or undoes)
// a set that a run killed while putting it in place left behind, and
// removes the temporary files of runs that are gone. Every reader and
// writer of board files calls it before it opens one.
void TidyFolderOf(const std::string& path);

// For tests that need a rename to fail: replaces the function that puts
// files in place and moves old ones aside (rename(2) by default); returns
// the previous one.
using RenameFunction = int (*)(const char* from, const char* to);
RenameFunction SetRenameFunction(RenameFunction rename);

} // namespace zelv
