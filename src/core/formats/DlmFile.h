#pragma once
// The text file of the dealing machines that read one (".DLM"): lines
// ending in CR LF; a [Document] section whose keys name the set (From
// board, To board) and guard it with a checksum; then for every board
// number from 1 to 99 the lines "Duplicates NN=0" and "Board NN=" with 26
// letters and a three-digit checksum. Each letter holds two cards, in the
// order AS, KS, ..., 2S, AH, ..., 2C: "a" + 4 x the seat of the first + the
// seat of the second (North 0, East 1, South 2, West 3). A board's checksum
// is its number exclusive-or every letter's character code. Numbers outside
// the set hold a placeholder deal.
#include "core/formats/Board.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelv {

inline constexpr std::uint64_t DlmHighestBoard = 99;
// The letters of the numbers outside the set.
inline constexpr std::string_view DlmPlaceholder = "aaaaaabffffffkkkkkklpppppp";

// The 26 letters of a whole deal (hands by seat index).
std::string DlmLetters(const std::array<CardMask, 4>& hands);
// The checksum of board `board` holding `letters`.
unsigned DlmChecksum(std::uint64_t board, std::string_view letters);

// Why boards `first` to `first + count - 1` cannot go to a ".DLM" file, or
// empty when they can.
std::string DlmRangeProblem(std::uint64_t first, std::uint64_t count);

// The ".DLM" file of `boards`, which must be numbered one after another
// within 1 to 99; `code`, the file code, goes into the headline. False,
// with why, when the boards cannot be written so.
bool WriteDlm(const std::vector<Board>& boards, const std::string& code, std::string& out, std::string* error);
// The boards from "From board" to "To board" of a ".DLM" file. A board
// whose line is missing, is not 26 letters and a checksum, fails its
// checksum or is not a whole deal is left out with a message naming `name`
// and the board; a file without the set's keys, or whose [Document]
// checksum does not match them, is an error.
BoardList ReadDlm(std::string_view text, const std::string& name);

} // namespace zelv
