#pragma once
// Small file helpers for the core: atomic replacement, case-insensitive
// matching and listing, the program's own folder.
#include <string>
#include <string_view>
#include <vector>

namespace zelv {

// Writes `bytes` to a temporary file beside `path`, then renames it over
// `path`, so a failure never leaves a half-written file where a good one
// was. On failure returns false and sets `error` to "Unable to write to <path>".
bool AtomicWriteFile(const std::string& path, std::string_view bytes, std::string* error);

// Reads a whole file. Returns false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// "Unable to write to <path>".
std::string UnableToWrite(const std::string& path);

bool EqualsNoCase(std::string_view a, std::string_view b);
// Orders texts by their lower-cased bytes; ties broken by the bytes themselves.
bool LessNoCase(std::string_view a, std::string_view b);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
std::string TrimBlanks(std::string_view text);

// Plain-file names in `folder` whose name ends in `extension` (any case).
std::vector<std::string> ListFilesWithExtension(const std::string& folder, std::string_view extension);

// `folder` + separator + `name`.
std::string JoinPath(const std::string& folder, const std::string& name);

// The folder of the running executable, without a trailing separator.
std::string ExecutableFolder();

// Parses a whole number: hexadecimal after "0x"/"0X" (when digits follow),
// otherwise an optional sign and decimal digits, or hexadecimal after "$"
// when `dollarHex`. Blanks around it are allowed. False when the text is not
// such a number or does not fit 32 bits.
bool ParseWholeNumber(std::string_view text, long long& value, bool dollarHex = true);

} // namespace zelv
