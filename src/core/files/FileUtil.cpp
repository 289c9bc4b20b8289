#include "core/files/FileUtil.h"

#include "core/files/FileSet.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zelv {

namespace fs = std::filesystem;

std::string SystemReason(int err) { return std::strerror(err); }

std::string UnableToWrite(const std::string& path, const std::string& reason) {
    return reason.empty() ? "Unable to write to " + path : "Unable to write to " + path + " (" + reason + ")";
}

std::string UnableToWrite(const std::string& path, int err) {
    return UnableToWrite(path, err ? SystemReason(err) : std::string());
}

int WriteFully(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

bool AtomicWriteFile(const std::string& path, std::string_view bytes, std::string* error) {
    FileSet set;
    const int fd = set.Create(path, error);
    if (fd < 0) return false;
    if (const int err = WriteFully(fd, bytes)) {
        if (error) *error = UnableToWrite(path, err);
        return false;
    }
    return set.Commit(error);
}

bool CanWriteFile(const std::string& path, std::string* error) {
    FileSet set;
    return set.Create(path, error) >= 0;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bytes.clear();
    struct stat st {};
    if (::fstat(::fileno(f), &st) == 0 && st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

std::string ReadProblem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return SystemReason(errno);
    if (S_ISDIR(st.st_mode)) return "it is a folder";
    if (!S_ISREG(st.st_mode)) return "it is not a regular file";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return SystemReason(errno);
    ::close(fd);
    return {};
}

std::string FolderProblem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return SystemReason(errno);
    if (!S_ISDIR(st.st_mode)) return "it is not a folder";
    if (::access(path.c_str(), R_OK | X_OK) != 0) return SystemReason(errno);
    return {};
}

std::string UnableToOpen(const std::string& path, const std::string& reason) {
    return "Unable to open " + path + " (" + reason + ")";
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool DirectoryExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

static char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool LessNoCase(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(Lower(a[i]));
        unsigned char y = static_cast<unsigned char>(Lower(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string TrimBlanks(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    std::size_t b = 0, e = text.size();
    while (b < e && blank(text[b])) ++b;
    while (e > b && blank(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

namespace {
// The length of the UTF-8 sequence that starts text[at], or 0 when none does.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t n = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (n == 0 || lead > 0xF4 || at + n > text.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 0;
    return n;
}
} // namespace

std::string Printable(std::string_view text) {
    static const char* const Hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += text[i];
        } else if (c == '\t' || c == '\n' || c == '\r') {
            out += c == '\t' ? "\\t" : c == '\n' ? "\\n" : "\\r";
        } else if (c < 0x80) {
            out += std::string("\\x") + Hex[c >> 4] + Hex[c & 15];
        } else if (const std::size_t n = Utf8Length(text, i); n == 0) {
            // A stray byte; only those a terminal may take for a control are written out.
            if (c <= 0x9F)
                out += std::string("\\x") + Hex[c >> 4] + Hex[c & 15];
            else
                out += text[i];
        } else {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            if (c == 0xC2 && second <= 0x9F)
                out += std::string("\\u00") + Hex[second >> 4] + Hex[second & 15];
            else
                out.append(text.substr(i, n));
            i += n - 1;
        }
    }
    return out;
}

std::string CountOf(std::uint64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::vector<std::string> ListFilesWithExtension(const std::string& folder, std::string_view extension) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    if (ec) return names;
    for (; it != end; it.increment(ec)) {
        if (ec) break;
        std::error_code fec;
        if (!it->is_regular_file(fec)) continue;
        std::string name = it->path().filename().string();
        if (name.size() > extension.size() && EndsWithNoCase(name, extension)) names.push_back(name);
    }
    return names;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string ExecutableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path(ec).string();
    return exe.parent_path().string();
}

namespace {
// The common reading of a whole number: `magnitude` keeps the low 64 bits
// and `overflow` says whether any bit beyond 32 was set on the way.
bool ParseNumber(std::string_view text, bool dollarHex, bool& negative, int& base, unsigned long long& magnitude,
                 bool& overflow) {
    std::string t = TrimBlanks(text);
    std::size_t i = 0;
    negative = false;
    base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        i = 2;
    } else {
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
            negative = t[i] == '-';
            ++i;
        }
        if (dollarHex && i < t.size() && t[i] == '$') {
            base = 16;
            ++i;
        }
    }
    if (i >= t.size()) return false;
    unsigned long long v = 0;
    overflow = false;
    for (; i < t.size(); ++i) {
        char c = t[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (v > 0xFFFFFFFFull) {
            overflow = true;
            v &= 0xFFFFFFFFull; // the low bits are all a caller may still want
        }
    }
    magnitude = v;
    return true;
}
} // namespace

bool ParseWholeNumber(std::string_view text, long long& value, bool dollarHex) {
    bool negative = false, overflow = false;
    int base = 10;
    unsigned long long v = 0;
    if (!ParseNumber(text, dollarHex, negative, base, v, overflow) || overflow) return false;
    long long s = negative ? -static_cast<long long>(v) : static_cast<long long>(v);
    // Hexadecimal may spell the full 32-bit pattern; decimal must fit a signed int.
    if (base == 10 && (s > 2147483647LL || s < -2147483648LL)) return false;
    if (base == 16 && !negative && v > 0x7FFFFFFFull)
        s = static_cast<long long>(static_cast<int>(static_cast<unsigned>(v)));
    value = s;
    return true;
}

bool ParseLowByte(std::string_view text, std::uint8_t& value, bool* outside) {
    bool negative = false, overflow = false;
    int base = 10;
    unsigned long long v = 0;
    if (!ParseNumber(text, true, negative, base, v, overflow)) return false;
    value = static_cast<std::uint8_t>((negative ? 0ull - v : v) & 0xFFu);
    if (outside) *outside = overflow || v > 255 || (negative && v != 0);
    return true;
}

} // namespace zelv
