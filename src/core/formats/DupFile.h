#pragma once
// The file of the newer Duplimate machines (".DUP"): one 156-byte record a
// board, no header. Bytes 1 to 78 are the ".BRI" record's card codes, bytes
// 79 to 146 the ".DGE" record's four hands; then "Y" (random hands), "N"
// (not counted backwards), and three fields left-aligned and padded with
// spaces: the set's lowest board number (3 bytes), the copies of each board
// the machine makes at once (2 bytes, "0") and the set's highest board
// number (3 bytes). Record n is board lowest + n - 1.
#include "core/formats/Board.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelv {

inline constexpr std::size_t DupRecordSize = 156;
// The highest board number the three bytes of a record hold.
inline constexpr std::uint64_t DupHighestBoard = 999;

// The ten bytes that end every record of a set numbered `lowest` to
// `highest` (both at most DupHighestBoard): "YN1  0 32 " for 1 to 32.
std::string DupTrailer(std::uint64_t lowest, std::uint64_t highest);
// Appends one record: the ".BRI" digits, the ".DGE" hands, the trailer.
void AppendDupRecord(std::string& out, const CardMask* hands, std::uint64_t lowest, std::uint64_t highest);

// Why boards `first` to `first + count - 1` cannot go to a ".DUP" file, or
// empty when they can.
std::string DupRangeProblem(std::uint64_t first, std::uint64_t count);

// Every board of a whole ".DUP" file. A record whose card codes are not a
// whole deal or disagree with its hands, and a trailing partial record, are
// left out with a message naming `name` and the board; a file whose first
// record has no lowest board number is an error.
BoardList ReadDup(std::string_view bytes, const std::string& name);
// The ".DUP" file of `boards`, which must be numbered one after another
// from 1 or more up to DupHighestBoard. False, with why, when they are not.
bool WriteDup(const std::vector<Board>& boards, std::string& out, std::string* error);

// For ".DUP" and ".DLM" alike: why `boards` cannot be a set numbered one
// after another within 1 to `highest`, or empty when they can.
std::string ConsecutiveProblem(const std::vector<Board>& boards, std::uint64_t highest, const char* extension);

} // namespace zelv
