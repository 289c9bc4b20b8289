#include "core/files/IniFile.h"

#include "core/files/FileUtil.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace zelv {

namespace {
constexpr std::size_t npos = static_cast<std::size_t>(-1);

// Offsets into the text are 32-bit to keep the index small.
constexpr std::size_t MaxFileSize = 0x7FFFFFFF;

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view t) {
    std::size_t b = 0, e = t.size();
    while (b < e && Blank(t[b])) ++b;
    while (e > b && Blank(t[e - 1])) --e;
    return t.substr(b, e - b);
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::uint32_t HashNoCase(std::string_view t) {
    std::uint32_t h = 2166136261u;
    for (char c : t) h = (h ^ static_cast<unsigned char>(Lower(c))) * 16777619u;
    return h;
}

// The name of a section header line, or false for any other line.
bool HeaderName(std::string_view line, std::string_view* name) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[') return false;
    if (name) {
        const std::size_t close = t.find(']');
        *name = Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    }
    return true;
}

// Splits a key line; false for blank lines, comments and lines without "=".
bool SplitKey(std::string_view line, std::string_view* key, std::string_view* value) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    std::string_view k = Trim(line.substr(0, eq));
    if (k.empty() || k.front() == ';') return false;
    if (key) *key = k;
    if (value) *value = line.substr(eq + 1);
    return true;
}

std::string CleanValue(std::string_view raw) {
    std::string v(Trim(raw));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    if (v.size() > IniFile::MaxValueLength) v.resize(IniFile::MaxValueLength);
    return v;
}

// What a text that begins with these bytes is, when it is no text we read.
const char* ForeignEncoding(std::string_view bytes) {
    auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (starts(std::string_view("\xFF\xFE\0\0", 4)) || starts(std::string_view("\0\0\xFE\xFF", 4))) return "UTF-32";
    if (starts("\xFF\xFE") || starts("\xFE\xFF")) return "UTF-16";
    // UTF-16 without its mark: every other byte of plain text is zero.
    if (bytes.size() >= 8) {
        const std::size_t n = std::min<std::size_t>(bytes.size() & ~std::size_t{1}, 64);
        int evenZeros = 0, oddZeros = 0;
        for (std::size_t i = 0; i < n; i += 2) {
            evenZeros += bytes[i] == '\0';
            oddZeros += bytes[i + 1] == '\0';
        }
        const int pairs = static_cast<int>(n / 2);
        if ((evenZeros == pairs && oddZeros == 0) || (oddZeros == pairs && evenZeros == 0)) return "UTF-16";
    }
    return nullptr;
}
} // namespace

bool IniFile::LoadFromFile(const std::string& path, std::string* error) {
    text_.clear();
    indexed_ = false;
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return true;
        return fail("Unable to read " + path + " (" + SystemReason(errno) + ")");
    }
    // Never opened: a pipe would wait for a writer and a device never end.
    if (!S_ISREG(st.st_mode)) return fail(path + " is not a regular file");
    if (static_cast<unsigned long long>(st.st_size) > MaxFileSize)
        return fail(path + " is too large to be read (" + std::to_string(st.st_size) + " bytes)");
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return fail("Unable to read " + path);
    if (const char* encoding = ForeignEncoding(bytes))
        return fail(path + " is not in a text encoding Zelvano reads (it looks like " + encoding +
                    "); save it as UTF-8 or plain ASCII text");
    Adopt(std::move(bytes));
    return true;
}

void IniFile::LoadFromText(std::string_view text) {
    if (text.size() > MaxFileSize) text = text.substr(0, MaxFileSize);
    Adopt(std::string(text));
}

void IniFile::Adopt(std::string&& bytes) {
    text_ = std::move(bytes);
    indexed_ = false;
    std::size_t from = 0;
    // Editors on Windows start UTF-8 text with a byte-order mark.
    if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) from = 3;
    // One line per "\n", each without the "\r" before it; compacted in place
    // so that the file's bytes are held only once.
    std::size_t out = 0;
    for (std::size_t i = from; i < text_.size(); ++i) {
        const char c = text_[i];
        if (c == '\n' && out > 0 && text_[out - 1] == '\r') --out;
        text_[out++] = c;
    }
    text_.resize(out);
    // The last line may lack its line end, and loses a "\r" as the others do.
    if (!text_.empty() && text_.back() == '\r') text_.back() = '\n';
    if (!text_.empty() && text_.back() != '\n') text_ += '\n';
    text_.shrink_to_fit();
}

std::string_view IniFile::LineAt(std::size_t offset) const {
    const std::size_t nl = text_.find('\n', offset);
    return std::string_view(text_).substr(offset, nl - offset);
}

std::size_t IniFile::NextLine(std::size_t offset) const { return text_.find('\n', offset) + 1; }

void IniFile::BuildIndex() const {
    sections_.clear();
    keys_.clear();
    byName_.clear();
    // At most one key a line: reserved once, the list never grows by copying.
    keys_.reserve(static_cast<std::size_t>(std::count(text_.begin(), text_.end(), '\n')));
    std::string_view name, key;
    for (std::size_t at = 0; at < text_.size(); at = NextLine(at)) {
        const std::string_view line = LineAt(at);
        if (HeaderName(line, &name)) {
            if (!sections_.empty()) sections_.back().End = static_cast<std::uint32_t>(at);
            sections_.push_back({HashNoCase(name), static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(at),
                                 static_cast<std::uint32_t>(keys_.size()), 0});
            continue;
        }
        if (!sections_.empty() && SplitKey(line, &key, nullptr)) {
            keys_.push_back({HashNoCase(key), static_cast<std::uint32_t>(at)});
            ++sections_.back().KeyCount;
        }
    }
    if (!sections_.empty()) sections_.back().End = static_cast<std::uint32_t>(text_.size());
    // Each section's keys sorted by name hash, then by place, so the first
    // of a repeated key is found first.
    for (const SectionEntry& s : sections_)
        std::sort(
            keys_.begin() + s.FirstKey, keys_.begin() + s.FirstKey + s.KeyCount,
            [](const KeyEntry& a, const KeyEntry& b) { return a.Hash != b.Hash ? a.Hash < b.Hash : a.Line < b.Line; });
    byName_.resize(sections_.size());
    for (std::uint32_t i = 0; i < byName_.size(); ++i) byName_[i] = i;
    std::sort(byName_.begin(), byName_.end(), [this](std::uint32_t a, std::uint32_t b) {
        return sections_[a].Hash != sections_[b].Hash ? sections_[a].Hash < sections_[b].Hash : a < b;
    });
    indexed_ = true;
}

const IniFile::SectionEntry* IniFile::Find(std::string_view section) const {
    if (!indexed_) BuildIndex();
    const std::string_view wanted = section;
    const std::uint32_t hash = HashNoCase(wanted);
    auto it = std::lower_bound(byName_.begin(), byName_.end(), hash,
                               [this](std::uint32_t i, std::uint32_t h) { return sections_[i].Hash < h; });
    // A repeated section name: the first one is read.
    for (; it != byName_.end() && sections_[*it].Hash == hash; ++it) {
        std::string_view name;
        HeaderName(LineAt(sections_[*it].Header), &name);
        if (EqualsNoCase(name, wanted)) return &sections_[*it];
    }
    return nullptr;
}

std::size_t IniFile::FindKey(const SectionEntry& sec, std::string_view key) const {
    const std::uint32_t hash = HashNoCase(key);
    const auto begin = keys_.begin() + sec.FirstKey, end = begin + sec.KeyCount;
    auto it = std::lower_bound(begin, end, hash, [](const KeyEntry& e, std::uint32_t h) { return e.Hash < h; });
    for (; it != end && it->Hash == hash; ++it) {
        std::string_view k;
        SplitKey(LineAt(it->Line), &k, nullptr);
        if (EqualsNoCase(k, key)) return it->Line;
    }
    return npos;
}

bool IniFile::HasSection(std::string_view section) const { return Find(section) != nullptr; }

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
    const SectionEntry* sec = Find(section);
    return sec && FindKey(*sec, key) != npos;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    const SectionEntry* sec = Find(section);
    if (!sec) return std::string(def);
    const std::size_t k = FindKey(*sec, key);
    if (k == npos) return std::string(def);
    std::string_view value;
    SplitKey(LineAt(k), nullptr, &value);
    return CleanValue(value);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def, bool dollarHex) const {
    if (!HasKey(section, key)) return def;
    long long v = 0;
    if (!ParseWholeNumber(ReadString(section, key, ""), v, dollarHex)) return def;
    return v != 0;
}

std::vector<std::string> IniFile::ReadSectionKeys(std::string_view section) const {
    std::vector<std::string> keys;
    ForEachKey(section, [&](std::string_view key) { keys.emplace_back(key); });
    return keys;
}

void IniFile::ForEachKey(std::string_view section, const std::function<void(std::string_view key)>& visit) const {
    const SectionEntry* sec = Find(section);
    if (!sec) return;
    const std::size_t end = sec->End;
    std::string_view k;
    for (std::size_t at = NextLine(sec->Header); at < end; at = NextLine(at))
        if (SplitKey(LineAt(at), &k, nullptr)) visit(k);
}

void IniFile::Splice(std::size_t at, std::size_t length, std::string_view with) {
    text_.replace(at, length, with);
    indexed_ = false;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string line = std::string(key) + "=" + std::string(value) + "\n";
    const SectionEntry* sec = Find(section);
    if (!sec) {
        std::string add;
        if (!text_.empty()) {
            const std::size_t before = text_.size() < 2 ? std::string::npos : text_.rfind('\n', text_.size() - 2);
            if (!Trim(LineAt(before == std::string::npos ? 0 : before + 1)).empty()) add = "\n";
        }
        add += "[" + std::string(section) + "]\n" + line;
        Splice(text_.size(), 0, add);
        return;
    }
    const std::size_t k = FindKey(*sec, key);
    if (k != npos) {
        Splice(k, NextLine(k) - k, line);
        return;
    }
    // After the section's last non-blank line, so a blank separator stays put.
    std::size_t at = NextLine(sec->Header);
    for (std::size_t l = at; l < sec->End; l = NextLine(l))
        if (!Trim(LineAt(l)).empty()) at = NextLine(l);
    Splice(at, 0, line);
}

void IniFile::EraseSection(std::string_view section) {
    while (const SectionEntry* sec = Find(section)) Splice(sec->Header, sec->End - sec->Header, {});
}

std::string IniFile::ToText() const {
    std::string out;
    out.reserve(text_.size() + text_.size() / 16);
    for (char c : text_) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

bool IniFile::SaveToFile(const std::string& path, std::string* error) const {
    return AtomicWriteFile(path, ToText(), error);
}

} // namespace zelv
