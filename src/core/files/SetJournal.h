#pragma once
// What FileSet needs to put several files in place so that a run killed
// half-way can be put right by the next one: files created already locked,
// the journal of a set being put in place, and the settling of a journal
// that a run left behind.
//
// Every file a run creates beside its targets (new contents, journal) is
// held under an advisory lock (flock) for as long as the run lives; a file
// of ours that nobody holds was left by a run that is gone.
#include "core/files/FileSet.h"

#include <string>
#include <vector>

namespace zelv {

// Makes the names in `folder` durable (its entries, not the files).
void SyncFolder(const std::string& folder);
// rename(2), or what a test put in its place.
int RenameFile(const std::string& from, const std::string& to);

// Creates `base` + `tag` + six random letters and digits, exclusively, mode
// 0666 less the umask, and locked before any other process can see it.
// Returns the descriptor (write-only) and the name, or -1 with errno set.
int CreateLocked(const std::string& base, const char* tag, std::string& name);
// Six random letters and digits.
std::string RandomTail();
// The six random characters `name` ends in.
std::string UniqueTail(const std::string& name);

// The record of a set being put in place, written before the first rename
// into every folder the set's files lie in, and removed once they are all
// where they belong. Each copy names every file, so the next run that
// meets any copy can finish the set from it (or undo it).
class SetJournal {
  public:
    struct File {
        std::string Target; // where the file belongs
        std::string Temp;   // its new contents; empty when the target is removed
        std::string Backup; // where the old file waits; empty when there was none
    };
    SetJournal() = default;
    SetJournal(const SetJournal&) = delete;
    SetJournal& operator=(const SetJournal&) = delete;
    ~SetJournal();

    // Puts a copy, whole and durable, in each folder. 0 or the errno of the failure.
    int Write(const std::vector<File>& files);
    // Takes over the journal whose copies are at `copies`, for MarkUndo.
    void Resume(const std::vector<File>& files, const std::vector<std::string>& copies);
    // Records that the set is being undone, so that a run killed while undoing
    // it is not finished instead. 0 or the errno of the failure.
    int MarkUndo();
    // The set is settled: the copies go.
    void Remove();

  private:
    int WriteCopies();

    std::vector<File> files_;
    bool undo_ = false;
    std::vector<std::string> copies_;
    std::vector<int> locks_; // one per copy, held until the set is settled
};

// Finishes the set of a journal left in `folder` by a run that is gone, or,
// where the journal says the set was being undone or its new files are no
// longer whole, puts the old files back; then removes the journal. Waits a
// while for a live run's journal, which it then finds settled.
void SettleJournals(const std::string& folder);
// Removes from `folder` the temporary files of ours whose run is gone.
void RemoveDeadTemporaries(const std::string& folder);

} // namespace zelv
