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
    // A whole number (decimal, or hex after "0x"/"$"); non-zero is true.
    // Absent, empty or not a number gives `def`.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
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
    struct Line {
        std::string text;
    };
    // Index of the header line of a section, or npos.
    std::size_t FindSection(std::string_view section) const;
    // End (one past the last line) of the section starting at header `h`.
    std::size_t SectionEnd(std::size_t h) const;
    std::size_t FindKey(std::size_t header, std::string_view key) const;

    std::vector<std::string> lines_;
};

} // namespace zelv
