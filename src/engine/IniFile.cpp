#include "engine/IniFile.h"

#include "engine/FileUtil.h"


namespace zelv {

namespace {
constexpr std::size_t npos = static_cast<std::size_t>(-1);

bool IsHeader(const std::string& line, std::string* name) {
    std::string t = TrimBlanks(line);
    if (t.empty() || t.front() != '[') return false;
    std::size_t close = t.find(']');
    if (name) *name = TrimBlanks(std::string_view(t).substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// Splits a key line; false for blank lines, comments and lines without "=".
bool SplitKey(const std::string& line, std::string* key, std::string* value) {
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    std::string k = TrimBlanks(std::string_view(line).substr(0, eq));
    if (k.empty() || k.front() == ';') return false;
    if (key) *key = k;
    if (value) *value = std::string(line.substr(eq + 1));
    return true;
}

std::string LowerCase(std::string_view t) {
    std::string l(t);
    for (char& c : l)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return l;
}

std::string CleanValue(std::string_view raw) {
    std::string v = TrimBlanks(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    if (v.size() > tIniFile::MaxValueLength) v.resize(tIniFile::MaxValueLength);
    return v;
}
} // namespace

bool tIniFile::LoadFromFile(const std::string& path, std::string* error) {
    lines_.clear();
    indexed_ = false;
    if (!FileExists(path)) {
        // A name that is there but is no plain file cannot be read.
        if (DirectoryExists(path)) {
            if (error) *error = "Unable to read " + path;
            return false;
        }
        return true;
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        if (error) *error = "Unable to read " + path;
        return false;
    }
    LoadFromText(bytes);
    return true;
}

void tIniFile::LoadFromText(std::string_view text) {
    lines_.clear();
    indexed_ = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.emplace_back(line);
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
}

void tIniFile::BuildIndex() const {
    index_.clear();
    std::unordered_map<std::string, std::size_t> seen;
    std::string name, key;
    SectionIndex* current = nullptr;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (IsHeader(lines_[i], &name)) {
            std::string lower = LowerCase(name);
            if (seen.count(lower)) {
                current = nullptr; // a repeated section name: the first one is read
                continue;
            }
            seen[lower] = index_.size();
            SectionIndex entry;
            entry.Header = i;
            index_.emplace_back(lower, std::move(entry));
            current = &index_.back().second;
            continue;
        }
        if (current && SplitKey(lines_[i], &key, nullptr)) {
            std::string lower = LowerCase(key);
            current->First.emplace(lower, i);
            current->Keys.emplace_back(std::move(lower), i);
        }
    }
    for (auto& entry : index_) entry.second.End = SectionEnd(entry.second.Header);
    indexed_ = true;
}

const tIniFile::SectionIndex* tIniFile::Find(std::string_view section) const {
    if (!indexed_) BuildIndex();
    std::string lower = LowerCase(section);
    for (const auto& [name, sec] : index_)
        if (name == lower) return &sec;
    return nullptr;
}

std::size_t tIniFile::FindSection(std::string_view section) const {
    const SectionIndex* sec = Find(section);
    return sec ? sec->Header : npos;
}

std::size_t tIniFile::SectionEnd(std::size_t h) const {
    std::size_t i = h + 1;
    while (i < lines_.size() && !IsHeader(lines_[i], nullptr)) ++i;
    return i;
}

std::size_t tIniFile::FindKey(std::size_t header, std::string_view key) const {
    if (!indexed_) BuildIndex();
    std::string lower = LowerCase(key);
    for (const auto& [name, sec] : index_) {
        if (sec.Header != header) continue;
        auto it = sec.First.find(lower);
        return it == sec.First.end() ? npos : it->second;
    }
    return npos;
}

bool tIniFile::HasSection(std::string_view section) const { return FindSection(section) != npos; }

bool tIniFile::HasKey(std::string_view section, std::string_view key) const {
    std::size_t h = FindSection(section);
    return h != npos && FindKey(h, key) != npos;
}

std::string tIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    std::size_t h = FindSection(section);
    if (h == npos) return std::string(def);
    std::size_t k = FindKey(h, key);
    if (k == npos) return std::string(def);
    std::string value;
    SplitKey(lines_[k], nullptr, &value);
    return CleanValue(value);
}

bool tIniFile::ReadBool(std::string_view section, std::string_view key, bool def, bool dollarHex) const {
    if (!HasKey(section, key)) return def;
    long long v = 0;
    if (!ParseWholeNumber(ReadString(section, key, ""), v, dollarHex)) return def;
    return v != 0;
}

std::vector<std::string> tIniFile::ReadSectionKeys(std::string_view section) const {
    std::vector<std::string> keys;
    const SectionIndex* sec = Find(section);
    if (!sec) return keys;
    std::string k;
    for (const auto& entry : sec->Keys)
        if (SplitKey(lines_[entry.second], &k, nullptr)) keys.push_back(k);
    return keys;
}

void tIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    std::size_t h = FindSection(section);
    if (h == npos) {
        if (!lines_.empty() && !TrimBlanks(lines_.back()).empty()) lines_.emplace_back();
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(line);
        indexed_ = false;
        return;
    }
    std::size_t k = FindKey(h, key);
    if (k != npos) {
        lines_[k] = line;
        return;
    }
    // After the section's last non-blank line, so a blank separator stays put.
    std::size_t end = SectionEnd(h);
    std::size_t at = end;
    while (at > h + 1 && TrimBlanks(lines_[at - 1]).empty()) --at;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), line);
    indexed_ = false;
}

void tIniFile::EraseSection(std::string_view section) {
    std::size_t h;
    while ((h = FindSection(section)) != npos) {
        std::size_t end = SectionEnd(h);
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(h), lines_.begin() + static_cast<std::ptrdiff_t>(end));
        indexed_ = false;
    }
}

std::string tIniFile::ToText() const {
    std::string out;
    for (const auto& l : lines_) {
        out += l;
        out += "\r\n";
    }
    return out;
}

bool tIniFile::SaveToFile(const std::string& path, std::string* error) const {
    return AtomicWriteFile(path, ToText(), error);
}

} // namespace zelv
