#pragma once
// Small file helpers for the core: atomic replacement, case-insensitive
// matching and listing, the program's own folder.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelv {

// Writes `bytes` to a temporary file beside `path`, then renames it over
// `path`, so a failure never leaves a half-written file where a good one
// was. A symbolic link keeps its place and its target gets the bytes; a
// replaced file keeps its permissions. On failure returns false and sets
// `error` to "Unable to write to <path> (<reason>)".
// Writes all of bytes to fd, retrying short writes and interruptions; 0 or the errno of the failure.
int WriteFully(int fd, std::string_view bytes);

bool AtomicWriteFile(const std::string& path, std::string_view bytes, std::string* error);
// Whether AtomicWriteFile could write `path` now: a temporary file can be
// made beside the file it leads to, which may be replaced. Checked before
// long work whose result goes there; false, with "Unable to write to <path>
// (<reason>)", when not. Leaves nothing behind.
bool CanWriteFile(const std::string& path, std::string* error);

// Reads a whole file. Returns false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// "Unable to write to <path>", and the reason in brackets after it when
// there is one: "Unable to write to Hands/ZELV.DGE (No space left on device)".
std::string UnableToWrite(const std::string& path, const std::string& reason = {});
// The same with the system's text for the error number `err`.
std::string UnableToWrite(const std::string& path, int err);
// The system's text for an error number ("No space left on device").
std::string SystemReason(int err);
// Why `path` cannot be opened for reading: the system's words ("No such
// file or directory", "Too many levels of symbolic links", "File name too
// long"), "it is a folder" or "it is not a regular file". Empty when it is a
// regular file that opens (a pipe or device is never opened to find out).
std::string ReadProblem(const std::string& path);
// Why `path` is no folder that can be listed, as ReadProblem says it, or
// "it is not a folder"; empty when it is one.
std::string FolderProblem(const std::string& path);
// "Unable to open <path> (<reason>)".
std::string UnableToOpen(const std::string& path, const std::string& reason);

bool EqualsNoCase(std::string_view a, std::string_view b);
// Orders texts by their lower-cased bytes; ties broken by the bytes themselves.
bool LessNoCase(std::string_view a, std::string_view b);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
std::string TrimBlanks(std::string_view text);
// `text` with every control character written out ("\x1B", "\a" as "\x07",
// "\t", "\n", "\r"; one of U+0080 to U+009F as "\u009B", a stray byte
// 0x80 to 0x9F as "\x9B"), so that a message quoting a file's bytes or a
// path cannot act on the terminal it is shown on. Other text is kept.
std::string Printable(std::string_view text);
// "1 board", "0 boards", "24 boards": the count and the word that goes with it.
std::string CountOf(std::uint64_t count, std::string_view one, std::string_view many);

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
// The low 8 bits of a whole number written as ParseWholeNumber reads it,
// however large (two's complement for a negative one). False only when the
// text is not a whole number. `outside`, when given, says whether the
// number lay outside 0 to 255.
bool ParseLowByte(std::string_view text, std::uint8_t& value, bool* outside = nullptr);

} // namespace zelv
