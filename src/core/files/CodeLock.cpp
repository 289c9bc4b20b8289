#include "core/files/CodeLock.h"

#include "core/files/FileUtil.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelv {

std::string CodeLockPath(const std::string& folder, const std::string& code) {
    return JoinPath(folder, "." + code + ".lock");
}

namespace {
// The pid the holder of the lock on `fd` wrote into it. The holder writes it
// just after taking the lock, so a run that comes in between waits a moment
// for it rather than name no one.
std::string LockOwner(int fd) {
    for (int wait = 0; wait < 50; ++wait) {
        char pid[24] = {};
        const ssize_t n = ::pread(fd, pid, sizeof pid - 1, 0);
        // Whole once it ends its line.
        if (n > 0 && pid[n - 1] == '\n') return TrimBlanks(std::string(pid, static_cast<std::size_t>(n)));
        ::usleep(4000);
    }
    return {};
}
} // namespace

bool CodeLock::Acquire(const std::string& folder, const std::string& code, std::string* error) {
    Release();
    const std::string path = CodeLockPath(folder, code);
    // A run that ends removes its lock file; one that took the file just
    // before that holds a lock nobody else can see, so it starts again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) return true;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool busy = errno == EWOULDBLOCK;
            const std::string owner = busy ? LockOwner(fd) : std::string();
            ::close(fd);
            if (!busy) return true; // a file system without locks
            if (error)
                *error = code + " is being written by another run" + (owner.empty() ? "" : " (pid " + owner + ")");
            return false;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            const std::string pid = std::to_string(::getpid()) + "\n";
            [[maybe_unused]] const bool noted =
                ::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.data(), pid.size(), 0) == ssize_t(pid.size());
            fd_ = fd;
            path_ = path;
            return true;
        }
        ::close(fd);
    }
    return true;
}

void CodeLock::Release() {
    if (fd_ < 0) return;
    // Removed while still held, so the next run makes a fresh one.
    ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
    path_.clear();
}

} // namespace zelv
