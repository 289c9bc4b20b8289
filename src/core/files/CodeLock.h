#pragma once
// CodeLock: one run at a time writes the files of a file code in a folder.
// Two runs putting their sets in place at once could each replace some of
// the files; the second run is refused instead, before it touches any.
//
// The lock is an advisory lock (flock) on ".CODE.lock" in the folder, held
// for as long as the run lives and released by the system when it ends,
// however it ends; the file holds the run's process id for the message.
#include <string>

namespace zelv {

class CodeLock {
  public:
    CodeLock() = default;
    CodeLock(const CodeLock&) = delete;
    CodeLock& operator=(const CodeLock&) = delete;
    ~CodeLock() { Release(); }

    // Holds the lock of `code` in `folder`. False, with "CODE is being
    // written by another run (pid N)", when another run holds it. A folder
    // where no lock can be made (missing, read-only) is left to the writes
    // that follow to report.
    bool Acquire(const std::string& folder, const std::string& code, std::string* error);
    void Release();

  private:
    int fd_ = -1;
    std::string path_;
};

// The lock file of `code` in `folder`.
std::string CodeLockPath(const std::string& folder, const std::string& code);

} // namespace zelv
