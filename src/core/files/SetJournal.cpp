#include "core/files/SetJournal.h"

#include "core/files/FileSet.h"
#include "core/files/FileUtil.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zelv {

namespace {

constexpr char Header[] = "Zelvano file set\n";
constexpr char Footer[] = "end\n";
constexpr std::size_t TailLength = 6;
// The files beside which a temporary file or journal of ours may stand. A
// name of this pattern with any other stem is not ours to remove.
constexpr const char* OurExtensions[] = {".DGE", ".BRI", ".PBN", ".DUP", ".DLM", ".PDF", ".HDS", ".GEN"};

} // namespace

std::string RandomTail() {
    static constexpr char Chars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static thread_local std::mt19937 gen{std::random_device{}() ^ static_cast<unsigned>(::getpid())};
    std::string tail;
    for (std::size_t i = 0; i < TailLength; ++i) tail += Chars[gen() % (sizeof Chars - 1)];
    return tail;
}

namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Whether `fd` is still the file `path` names: a file removed or replaced
// after it was opened has been dealt with by whoever did that.
bool StillNamed(int fd, const std::string& path) {
    struct stat a {};
    struct stat b {};
    return ::fstat(fd, &a) == 0 && ::lstat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A live run holds its journal only while it moves its files, a moment; a
// lock held longer than this is a run stuck beyond our help.
bool WaitForLock(int fd) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// `name` is `stem` + `tag` + six letters or digits, the stem ending in one
// of our extensions.
bool IsOurs(const std::string& name, const std::string& tag) {
    if (name.size() < tag.size() + TailLength) return false;
    const std::size_t at = name.size() - TailLength - tag.size();
    if (name.compare(at, tag.size(), tag) != 0) return false;
    for (std::size_t i = name.size() - TailLength; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    const std::string_view stem(name.data(), at);
    for (const char* ext : OurExtensions)
        if (stem.size() > std::char_traits<char>::length(ext) && EndsWithNoCase(stem, ext)) return true;
    return false;
}

std::vector<std::string> NamesIn(const std::string& folder, const std::string& tag) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir))
        if (IsOurs(entry->d_name, tag)) names.push_back(JoinPath(folder, entry->d_name));
    ::closedir(dir);
    return names;
}

// Names in a journal: one of the copy's own folder by its name alone, so
// that a folder moved as a whole (a stick mounted elsewhere) still reads.
std::string Encode(const std::string& path, const std::string& folder) {
    const std::string name = FolderOf(path) == folder ? path.substr(path.rfind('/') + 1) : path;
    std::string out;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f || c == '%') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

bool Decode(const std::string& text, const std::string& folder, std::string& path) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            name += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        name += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
        i += 2;
    }
    path = name.empty() || name.front() == '/' ? name : JoinPath(folder, name);
    return true;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

struct JournalText {
    std::vector<SetJournal::File> Files;
    std::vector<std::string> Copies;
    bool Undo = false;
};

std::string Compose(const JournalText& j, const std::string& folder) {
    std::string text = Header;
    if (j.Undo) text += "undo\n";
    for (const std::string& copy : j.Copies) text += "copy\t" + Encode(copy, folder) + "\n";
    for (const SetJournal::File& f : j.Files) {
        text += "file\t" + Encode(f.Target, folder) + "\t";
        text += (f.Temp.empty() ? "" : Encode(f.Temp, folder)) + "\t";
        text += (f.Backup.empty() ? "" : Encode(f.Backup, folder)) + "\n";
    }
    return text + Footer;
}

// False for anything but a whole journal of ours, which is then left alone.
bool Parse(const std::string& text, const std::string& folder, JournalText& j) {
    const std::size_t headerSize = sizeof Header - 1, footerSize = sizeof Footer - 1;
    if (text.size() < headerSize + footerSize || text.compare(0, headerSize, Header) != 0 ||
        text.compare(text.size() - footerSize, footerSize, Footer) != 0)
        return false;
    std::size_t at = headerSize;
    const std::size_t end = text.size() - footerSize;
    try {
        while (at < end) {
            const std::size_t newline = text.find('\n', at);
            const std::vector<std::string> f = Fields(text.substr(at, newline - at));
            at = newline + 1;
            if (f.size() == 1 && f[0] == "undo") {
                j.Undo = true;
            } else if (f.size() == 2 && f[0] == "copy") {
                j.Copies.emplace_back();
                if (!Decode(f[1], folder, j.Copies.back())) return false;
            } else if (f.size() == 4 && f[0] == "file" && !f[1].empty()) {
                SetJournal::File file;
                if (!Decode(f[1], folder, file.Target) || !Decode(f[2], folder, file.Temp) ||
                    !Decode(f[3], folder, file.Backup))
                    return false;
                j.Files.push_back(file);
            } else {
                return false;
            }
        }
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

std::string ReadAll(int fd) {
    std::string text;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
    return text;
}

// Every new file is still at hand, waiting or already in place.
bool NewFilesWhole(const std::vector<SetJournal::File>& files) {
    for (const SetJournal::File& f : files)
        if (!f.Temp.empty() && !Exists(f.Temp) && !Exists(f.Target)) return false;
    return true;
}

// A step that finds its work done (the file already moved or gone) has not failed.
bool Done(int result) { return result == 0 || errno == ENOENT; }

// The steps the run did not get to, in its order: every old file still in
// its place steps aside, then every new file goes in; the old files go once
// all are in. A step that fails leaves what Undo needs to put them back.
bool Finish(const std::vector<SetJournal::File>& files) {
    bool ok = true;
    for (const SetJournal::File& f : files)
        if (!f.Backup.empty() && !Exists(f.Backup) && Exists(f.Target) && (f.Temp.empty() || Exists(f.Temp)))
            ok = Done(RenameFile(f.Target, f.Backup)) && ok;
    for (const SetJournal::File& f : files)
        if (ok && !f.Temp.empty() && Exists(f.Temp)) ok = Done(RenameFile(f.Temp, f.Target)) && ok;
    for (const SetJournal::File& f : files) SyncFolder(FolderOf(f.Target));
    if (!ok) return false;
    for (const SetJournal::File& f : files)
        if (!f.Backup.empty()) ok = Done(::unlink(f.Backup.c_str())) && ok;
    return ok;
}

bool Undo(const std::vector<SetJournal::File>& files) {
    bool ok = true;
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        const SetJournal::File& f = *it;
        if (!f.Backup.empty() && Exists(f.Backup))
            ok = Done(RenameFile(f.Backup, f.Target)) && ok;
        else if (f.Backup.empty() && !f.Temp.empty() && !Exists(f.Temp))
            ok = Done(::unlink(f.Target.c_str())) && ok; // a new file where there was none
    }
    for (const SetJournal::File& f : files) SyncFolder(FolderOf(f.Target));
    if (!ok) return false;
    for (const SetJournal::File& f : files)
        if (!f.Temp.empty()) ok = Done(::unlink(f.Temp.c_str())) && ok;
    return ok;
}

class HeldFiles {
  public:
    ~HeldFiles() {
        for (int fd : fds_) ::close(fd);
    }
    void Add(int fd) { fds_.push_back(fd); }

  private:
    std::vector<int> fds_;
};

void SettleJournal(const std::string& path) {
    HeldFiles held;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return;
    held.Add(fd);
    if (!WaitForLock(fd) || !StillNamed(fd, path)) return;
    JournalText journal;
    if (!Parse(ReadAll(fd), FolderOf(path), journal)) return;
    // The other copies are held too, and any of them may say the set was
    // being undone.
    for (const std::string& copy : journal.Copies) {
        if (StillNamed(fd, copy)) continue;
        const int other = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (other < 0) continue;
        held.Add(other);
        if (::flock(other, LOCK_EX | LOCK_NB) != 0) return; // another run is settling it
        JournalText theirs;
        if (StillNamed(other, copy) && Parse(ReadAll(other), FolderOf(copy), theirs))
            journal.Undo = journal.Undo || theirs.Undo;
    }
    // A set that cannot be finished (a file that may not be replaced) is
    // undone instead, and the journal says so first. A step that fails (a
    // folder we may not write) leaves the journal for a run that can.
    if (journal.Undo || !NewFilesWhole(journal.Files) || !Finish(journal.Files)) {
        SetJournal undoing;
        if (!journal.Undo) {
            undoing.Resume(journal.Files, journal.Copies);
            if (undoing.MarkUndo() != 0) return;
        }
        if (!Undo(journal.Files)) return;
    }
    ::unlink(path.c_str());
    for (const std::string& copy : journal.Copies) ::unlink(copy.c_str());
    SyncFolder(FolderOf(path));
    for (const std::string& copy : journal.Copies) SyncFolder(FolderOf(copy));
}

} // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string UniqueTail(const std::string& name) {
    return name.size() < TailLength ? name : name.substr(name.size() - TailLength);
}

int CreateLocked(const std::string& base, const char* tag, std::string& name) {
    // An unnamed file, locked, then given its name: no other process can
    // find it unlocked and take it for a dead run's.
    int fd = ::open(FolderOf(base).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0 && ::flock(fd, LOCK_EX) == 0) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        for (int attempt = 0; attempt < 100; ++attempt) {
            name = base + tag + RandomTail();
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return fd;
            if (errno != EEXIST) break;
        }
    }
    if (fd >= 0) ::close(fd);
    // File systems without unnamed files, or no /proc: created, then locked at once.
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = base + tag + RandomTail();
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

SetJournal::~SetJournal() {
    for (int fd : locks_) ::close(fd);
}

int SetJournal::Write(const std::vector<File>& files) {
    files_ = files;
    undo_ = false;
    copies_.clear();
    return WriteCopies();
}

void SetJournal::Resume(const std::vector<File>& files, const std::vector<std::string>& copies) {
    files_ = files;
    copies_ = copies;
    undo_ = false;
}

int SetJournal::MarkUndo() {
    undo_ = true;
    return WriteCopies();
}

// Each copy is written under a temporary name, made durable, and renamed
// into place, so that a copy is always whole; it stays locked while the run
// that wrote it lives.
int SetJournal::WriteCopies() {
    std::vector<std::string> bases; // the first file of each folder names its copy
    for (const File& f : files_) {
        bool seen = false;
        for (const std::string& b : bases) seen = seen || FolderOf(b) == FolderOf(f.Target);
        if (!seen) bases.push_back(f.Target);
    }
    const std::size_t n = bases.size();
    std::vector<int> fds(n, -1);
    std::vector<std::string> temps(n);
    std::vector<bool> placed(n, false);
    auto fail = [&](int err) {
        // Whatever is in place goes before it is let go, so no other run finishes it.
        for (std::size_t i = 0; i < n; ++i) {
            if (placed[i] && undo_) {
                locks_.push_back(fds[i]); // the undo it records holds
                continue;
            }
            if (placed[i]) ::unlink(copies_[i].c_str());
            if (!placed[i] && fds[i] >= 0) ::unlink(temps[i].c_str());
            if (fds[i] >= 0) ::close(fds[i]);
        }
        return err;
    };
    for (std::size_t i = 0; i < n; ++i) {
        fds[i] = CreateLocked(bases[i], ".tmp-", temps[i]);
        if (fds[i] < 0) return fail(errno);
    }
    if (copies_.empty())
        for (std::size_t i = 0; i < n; ++i) copies_.push_back(bases[i] + ".jnl-" + UniqueTail(temps[i]));
    const JournalText journal{files_, copies_, undo_};
    for (std::size_t i = 0; i < n; ++i) {
        if (const int err = WriteFully(fds[i], Compose(journal, FolderOf(bases[i])))) return fail(err);
        if (::fsync(fds[i]) != 0) return fail(errno);
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (RenameFile(temps[i], copies_[i]) != 0) return fail(errno);
        placed[i] = true;
    }
    for (const std::string& b : bases) SyncFolder(FolderOf(b));
    for (int fd : locks_) ::close(fd);
    locks_ = fds;
    return 0;
}

void SetJournal::Remove() {
    for (const std::string& copy : copies_) ::unlink(copy.c_str());
    for (const std::string& copy : copies_) SyncFolder(FolderOf(copy));
    for (int fd : locks_) ::close(fd);
    locks_.clear();
    copies_.clear();
}

void SettleJournals(const std::string& folder) {
    for (const std::string& path : NamesIn(folder, ".jnl-")) SettleJournal(path);
}

void RemoveDeadTemporaries(const std::string& folder) {
    for (const std::string& path : NamesIn(folder, ".tmp-")) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, path))
            ::unlink(path.c_str());
        ::close(fd);
    }
}

} // namespace zelv
