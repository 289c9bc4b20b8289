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
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zelv {

class IniFile {
  public:
    IniFile() = default;

    // A file that does not exist reads as a file with no sections and
    // returns true. False, with the reason naming the file, when an existing
    // one cannot be read, is no plain file (a folder, pipe or device is never
    // opened) or is in an encoding other than 8-bit text (UTF-16, UTF-32).
    // A leading UTF-8 byte-order mark is skipped. Memory stays of the order
    // of the file's size, whatever its lines.
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
    // The same names one at a time, without a list of them all.
    void ForEachKey(std::string_view section, const std::function<void(std::string_view key)>& visit) const;

    // Replaces the key's value where it stands, or appends the key at the
    // end of its section, or appends the section at the end of the file.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void EraseSection(std::string_view section);

    // The text holds a zero byte, which no INI text does.
    bool HoldsBinary() const { return text_.find('\0') != std::string::npos; }

    std::string ToText() const;
    // Atomic replacement; on failure `error` is "Unable to write to <path> (<reason>)".
    bool SaveToFile(const std::string& path, std::string* error = nullptr) const;

    static constexpr std::size_t MaxValueLength = 2047;

  private:
    // The text is held once, one "\n" after every line; the index holds no
    // names, only hashes and places, so it costs a few bytes a line.
    struct SectionEntry {
        std::uint32_t Hash, Header, End, FirstKey, KeyCount;
    };
    struct KeyEntry {
        std::uint32_t Hash, Line;
    };
    void Adopt(std::string&& bytes);
    std::string_view LineAt(std::size_t offset) const;
    std::size_t NextLine(std::size_t offset) const;
    void BuildIndex() const;
    const SectionEntry* Find(std::string_view section) const;
    // Offset of the key's first line in the section, or npos.
    std::size_t FindKey(const SectionEntry& section, std::string_view key) const;
    void Splice(std::size_t at, std::size_t length, std::string_view with);

    std::string text_;
    mutable std::vector<SectionEntry> sections_; // file order
    mutable std::vector<KeyEntry> keys_;         // by section; within one, by hash then place
    mutable std::vector<std::uint32_t> byName_;  // sections by hash, then file order
    mutable bool indexed_ = false;
};

} // namespace zelv
