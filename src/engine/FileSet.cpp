#include "engine/FileSet.h"

#include "engine/FileUtil.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace zelv {

namespace {

RenameFunction Rename = &std::rename;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A new file `base` + `tag` + six random characters, created exclusively with
// mode 0666 less the umask. Returns the descriptor (-1 with errno set).
int CreateUnique(const std::string& base, const char* tag, std::string& name) {
    static constexpr char Chars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static thread_local std::mt19937 gen{std::random_device{}() ^ static_cast<unsigned>(::getpid())};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = base + tag;
        for (int i = 0; i < 6; ++i) name += Chars[gen() % (sizeof Chars - 1)];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

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

tFileSet::~tFileSet() { Abandon(); }

bool tFileSet::Prepare(Entry& e, std::string* error) {
    std::string reason;
    if (!WriteTarget(e.Path, e.Target, &reason)) {
        if (error) *error = UnableToWrite(e.Path, reason);
        return false;
    }
    reason = ReplaceRefusal(e.Target);
    if (!reason.empty()) {
        if (error) *error = UnableToWrite(e.Path, reason);
        return false;
    }
    return true;
}

int tFileSet::Create(const std::string& path, std::string* error) {
    Entry e;
    e.Path = path;
    if (!Prepare(e, error)) return -1;
    e.Fd = CreateUnique(e.Target, ".tmp-", e.Temp);
    if (e.Fd < 0) {
        if (error) *error = UnableToWrite(path, errno);
        return -1;
    }
    entries_.push_back(e);
    return e.Fd;
}

std::string tFileSet::CreateNamed(const std::string& path, std::string* error) {
    const int fd = Create(path, error);
    if (fd < 0) return {};
    // Closed now; Commit opens it again to make what the writer wrote durable.
    ::close(fd);
    entries_.back().Fd = -1;
    return entries_.back().Temp;
}

bool tFileSet::RemoveOnCommit(const std::string& path, std::string* error) {
    Entry e;
    e.Path = path;
    if (!Prepare(e, error)) return false;
    entries_.push_back(e);
    return true;
}

bool tFileSet::Commit(std::string* error) {
    auto fail = [&](const Entry& e, int err) {
        std::string message = UnableToWrite(e.Path, err);
        Rollback();
        for (const Entry& left : entries_)
            if (!left.Backup.empty()) message += "; the previous " + left.Path + " is kept as " + left.Backup;
        Abandon();
        if (error) *error = message;
        return false;
    };
    for (Entry& e : entries_) {
        if (e.Temp.empty()) continue;
        if (e.Fd < 0) e.Fd = ::open(e.Temp.c_str(), O_RDONLY | O_CLOEXEC);
        if (e.Fd < 0) return fail(e, errno);
        const bool synced = ::fsync(e.Fd) == 0;
        const int err = errno;
        const bool closed = ::close(e.Fd) == 0;
        const int closeErr = errno;
        e.Fd = -1;
        if (!synced) return fail(e, err);
        if (!closed) return fail(e, closeErr);
    }
    // The old files step aside first, so that every one of them can come back.
    for (Entry& e : entries_) {
        struct stat st {};
        if (::lstat(e.Target.c_str(), &st) != 0) continue;
        e.Existed = true;
        e.Mode = st.st_mode & 07777;
        e.Uid = st.st_uid;
        e.Gid = st.st_gid;
        std::string backup;
        const int fd = CreateUnique(e.Target, ".old-", backup);
        if (fd < 0) return fail(e, errno);
        ::close(fd);
        if (Rename(e.Target.c_str(), backup.c_str()) != 0) {
            const int err = errno;
            ::unlink(backup.c_str());
            return fail(e, err);
        }
        e.Backup = backup;
    }
    for (Entry& e : entries_) {
        if (e.Temp.empty()) continue;
        if (e.Existed) {
            ::chmod(e.Temp.c_str(), e.Mode);
            // Someone else's file stays theirs when we may give it back.
            [[maybe_unused]] const int owned = ::chown(e.Temp.c_str(), e.Uid, e.Gid);
        }
        if (Rename(e.Temp.c_str(), e.Target.c_str()) != 0) return fail(e, errno);
        e.Temp.clear();
        e.Placed = true;
    }
    for (Entry& e : entries_)
        if (!e.Backup.empty()) {
            ::unlink(e.Backup.c_str());
            e.Backup.clear();
        }
    for (const Entry& e : entries_) SyncFolder(FolderOf(e.Target));
    entries_.clear();
    return true;
}

void tFileSet::Rollback() {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        Entry& e = *it;
        if (e.Placed && !e.Existed) ::unlink(e.Target.c_str());
        if (!e.Backup.empty() && Rename(e.Backup.c_str(), e.Target.c_str()) == 0) e.Backup.clear();
        e.Placed = false;
    }
}

void tFileSet::Abandon() {
    for (Entry& e : entries_) {
        if (e.Fd >= 0) ::close(e.Fd);
        e.Fd = -1;
        if (!e.Temp.empty()) ::unlink(e.Temp.c_str());
        // A backup that could not be moved back is left for the user, not removed.
    }
    entries_.clear();
}

} // namespace zelv
