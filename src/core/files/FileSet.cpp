#include "core/files/FileSet.h"

#include "core/files/FileUtil.h"
#include "core/files/SetJournal.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zelv {

namespace {

RenameFunction Rename = &std::rename;

// A name beside `target` that nothing has: where its old file waits.
std::string UnusedName(const std::string& target, const char* tag, const std::string& tail) {
    std::string name = target + tag + tail;
    for (int attempt = 0; attempt < 100 && ::access(name.c_str(), F_OK) == 0; ++attempt)
        name = target + tag + RandomTail();
    return name;
}

} // namespace

int RenameFile(const std::string& from, const std::string& to) { return Rename(from.c_str(), to.c_str()); }

RenameFunction SetRenameFunction(RenameFunction rename) {
    RenameFunction old = Rename;
    Rename = rename ? rename : &std::rename;
    return old;
}

bool WriteTarget(const std::string& path, std::string& target, std::string* reason) {
    std::string p = path;
    // The limit the kernel itself applies to a chain of links.
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = p;
            return true;
        }
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
        if (n < 0) {
            if (reason) *reason = SystemReason(errno);
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        p = (!link.empty() && link.front() == '/') ? link : JoinPath(FolderOf(p), link);
    }
    if (reason) *reason = SystemReason(ELOOP);
    return false;
}

std::string ReplaceRefusal(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return {};
    if (!S_ISREG(st.st_mode)) return "not a regular file";
    // Root may write anything, so the file's own read-only mark is honoured.
    if ((st.st_mode & 0222) == 0) return "read-only";
    return {};
}

void TidyFolderOf(const std::string& path) {
    std::string target;
    if (!WriteTarget(path, target)) return;
    const std::string folder = FolderOf(target);
    SettleJournals(folder);
    RemoveDeadTemporaries(folder);
}

FileSet::~FileSet() { Abandon(); }

bool FileSet::Prepare(Entry& e, std::string* error) {
    std::string reason;
    if (!WriteTarget(e.Path, e.Target, &reason)) {
        if (error) *error = UnableToWrite(e.Path, reason);
        return false;
    }
    // A journal is read by runs started elsewhere.
    std::error_code ec;
    if (const auto absolute = std::filesystem::absolute(e.Target, ec); !ec) e.Target = absolute.string();
    reason = ReplaceRefusal(e.Target);
    if (!reason.empty()) {
        if (error) *error = UnableToWrite(e.Path, reason);
        return false;
    }
    const std::string folder = FolderOf(e.Target);
    for (const std::string& done : tidied_)
        if (done == folder) return true;
    SettleJournals(folder);
    RemoveDeadTemporaries(folder);
    tidied_.push_back(folder);
    return true;
}

int FileSet::Create(const std::string& path, std::string* error) {
    Entry e;
    e.Path = path;
    if (!Prepare(e, error)) return -1;
    // A file written twice in one set holds what it was given last.
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->Target == e.Target && !it->Temp.empty()) {
            ::unlink(it->Temp.c_str());
            retired_.push_back(it->Fd); // its writer may still hold the number
            entries_.erase(it);
            break;
        }
    e.Fd = CreateLocked(e.Target, ".tmp-", e.Temp);
    if (e.Fd < 0) {
        if (error) *error = UnableToWrite(path, errno);
        return -1;
    }
    entries_.push_back(e);
    return e.Fd;
}

std::string FileSet::CreateNamed(const std::string& path, std::string* error) {
    // The descriptor stays open, holding the file for this run, while the
    // writer opens it again by name.
    return Create(path, error) < 0 ? std::string() : entries_.back().Temp;
}

bool FileSet::RemoveOnCommit(const std::string& path, std::string* error) {
    Entry e;
    e.Path = path;
    if (!Prepare(e, error)) return false;
    entries_.push_back(e);
    return true;
}

// Puts every file back as it was, and says so. With a journal, a file that
// cannot be put back leaves it for the next run to finish the undoing.
bool FileSet::Fail(const Entry& e, int err, std::string* error, SetJournal* journal) {
    std::string message = UnableToWrite(e.Path, err);
    if (journal) journal->MarkUndo();
    Rollback();
    bool left = false;
    for (const Entry& kept : entries_)
        if (kept.Aside) {
            message += "; the previous " + kept.Path + " is kept as " + kept.Backup;
            left = true;
        }
    if (journal && !left) journal->Remove();
    Abandon();
    if (error) *error = message;
    return false;
}

// The new contents made durable, with the permissions (and where the system
// allows, the owner) of the files they replace.
bool FileSet::SyncTemporaries(std::string* error) {
    for (Entry& e : entries_) {
        struct stat st {};
        e.Existed = ::lstat(e.Target.c_str(), &st) == 0;
        if (e.Temp.empty()) continue;
        if (e.Existed) {
            ::fchmod(e.Fd, st.st_mode & 07777);
            // Someone else's file stays theirs when we may give it back.
            [[maybe_unused]] const int owned = ::fchown(e.Fd, st.st_uid, st.st_gid);
        }
        if (::fsync(e.Fd) != 0) return Fail(e, errno, error);
    }
    return true;
}

// One file needs no journal: a rename puts it in place whole or not at all.
bool FileSet::PlaceOne(std::string* error) {
    Entry& e = entries_.front();
    if (Rename(e.Temp.c_str(), e.Target.c_str()) != 0) return Fail(e, errno, error);
    e.Temp.clear();
    SyncFolder(FolderOf(e.Target));
    Release();
    return true;
}

bool FileSet::Commit(std::string* error) {
    if (entries_.empty()) return true;
    if (!SyncTemporaries(error)) return false;
    if (entries_.size() == 1 && !entries_.front().Temp.empty()) return PlaceOne(error);
    std::vector<SetJournal::File> files;
    for (Entry& e : entries_) {
        if (e.Existed) e.Backup = UnusedName(e.Target, ".old-", e.Temp.empty() ? RandomTail() : UniqueTail(e.Temp));
        files.push_back({e.Target, e.Temp, e.Backup});
    }
    SetJournal journal;
    if (const int err = journal.Write(files)) return Fail(entries_.front(), err, error);
    // The old files step aside first, so that every one of them can come back.
    for (Entry& e : entries_) {
        if (!e.Existed) continue;
        if (Rename(e.Target.c_str(), e.Backup.c_str()) != 0) return Fail(e, errno, error, &journal);
        e.Aside = true;
    }
    for (Entry& e : entries_) {
        if (e.Temp.empty()) continue;
        if (Rename(e.Temp.c_str(), e.Target.c_str()) != 0) return Fail(e, errno, error, &journal);
        e.Temp.clear();
        e.Placed = true;
    }
    std::vector<std::string> folders;
    for (const Entry& e : entries_)
        if (std::find(folders.begin(), folders.end(), FolderOf(e.Target)) == folders.end())
            folders.push_back(FolderOf(e.Target));
    for (const std::string& folder : folders) SyncFolder(folder);
    for (Entry& e : entries_)
        if (e.Aside) ::unlink(e.Backup.c_str());
    journal.Remove();
    Release();
    return true;
}

void FileSet::Rollback() {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        Entry& e = *it;
        if (e.Placed && !e.Existed) ::unlink(e.Target.c_str());
        if (e.Aside && Rename(e.Backup.c_str(), e.Target.c_str()) == 0) e.Aside = false;
        e.Placed = false;
    }
}

void FileSet::Release() {
    for (Entry& e : entries_)
        if (e.Fd >= 0) ::close(e.Fd);
    for (int fd : retired_) ::close(fd);
    entries_.clear();
    retired_.clear();
}

void FileSet::Abandon() {
    // Removed before they are let go, so no other run ever finds them unheld.
    for (Entry& e : entries_)
        if (!e.Temp.empty()) ::unlink(e.Temp.c_str());
    Release();
}

} // namespace zelv
