#pragma once
// A small private-profile (INI) reader and writer that keeps the layout of
// the file it read: writing a key replaces its line where it stands, so
// sections and keys it does not know survive a save.
//
// Reading rules: section and key names match without regard to case; blanks
// around keys and values are dropped; a value in a matching pair of single or
// double quotes loses them; values are cut to 2047 characters; an absent key
// gives the caller's default, an empty value gives the empty text. Lines end
// in CR LF or LF; the writer uses CR LF.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelv {

class tIniFile {
public:
    tIniFile() = default;

    // A file that does not exist reads as a file with no sections and
    // returns true; false only when an existing file cannot be read.
    bool LoadFromFile(const std::string& path, std::string* error = nullptr);
    void LoadFromText(std::string_view text);

    bool HasSection(std::string_view section) const;
    bool HasKey(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // A whole number (decimal, or hexadecimal after "0x", and after "$" too
    // when `dollarHex`); non-zero is true. Absent, empty or not a number
    // gives `def`.
    bool ReadBool(std::string_view section, std::string_view key, bool def, bool dollarHex = false) const;
    // Key names of a section in file order (repeats included).
    std::vector<std::string> ReadSectionKeys(std::string_view section) const;

    // Replaces the key's value where it stands, or appends the key at the
    // end of its section, or appends the section at the end of the file.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void EraseSection(std::string_view section);

    std::string ToText() const;
    // Atomic replacement; on failure `error` is "Unable to write to <path>".
    bool SaveToFile(const std::string& path, std::string* error = nullptr) const;

    static constexpr std::size_t MaxValueLength = 2047;

private:
    // Where each section and key stands, built once per load or change so
    // that reading every key of a large file stays linear.
    struct SectionIndex {
        std::size_t Header = 0, End = 0;
        std::vector<std::pair<std::string, std::size_t>> Keys; // lower-case name, line; file order
        std::unordered_map<std::string, std::size_t> First;    // lower-case name -> line of its first entry
    };
    void BuildIndex() const;
    const SectionIndex* Find(std::string_view section) const;
    // Index of the header line of a section, or npos.
    std::size_t FindSection(std::string_view section) const;
    // End (one past the last line) of the section starting at header `h`.
    std::size_t SectionEnd(std::size_t h) const;
    std::size_t FindKey(std::size_t header, std::string_view key) const;

    std::vector<std::string> lines_;
    mutable std::vector<std::pair<std::string, SectionIndex>> index_; // lower-case name; first of a name wins
    mutable bool indexed_ = false;
};

} // namespace zelv
