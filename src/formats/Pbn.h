#pragma once
// PBN 2.1: boards written as export format, and read back from files of
// any program, export or import format.
#include "engine/uBoard.h"
#include "formats/Board.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelv {

// "% PBN 2.1" and "% EXPORT", CR LF.
const std::string& PbnFileHeader();
// One game in export format, followed by an empty line; the Deal tag starts
// with the dealer's seat and lists the hands clockwise. The first gives
// board n the dealer and vulnerability of its number. `supplement`, tag
// pairs ending in CR LF, follows the mandatory tags.
std::string PbnGame(std::uint64_t board, const DisplayTable& table);
std::string PbnGame(std::uint64_t board, int dealer, Vulnerability vul, const DisplayTable& table,
                    std::string_view supplement = {});
std::string PbnGame(const Board& board, std::string_view supplement = {});
// The header and a game for every board, in their order.
std::string WritePbn(const std::vector<Board>& boards);

// The highest board number ReadPbn takes: a Board tag is read as a signed
// 32-bit number.
inline constexpr std::uint64_t PbnHighestBoard = 2147483647;
// Why boards `first` to `first + count - 1` cannot go to a ".PBN" file that
// can be read back, or empty when they can.
std::string PbnRangeProblem(std::uint64_t first, std::uint64_t count);

// Every game of a PBN file that holds a deal, as a board, read from its
// Board, Dealer, Vulnerable and Deal tags: tags in any order and spread
// over lines as import format allows, comments and "%" lines skipped, "#"
// and "##" values inherited from earlier games. A game without a board
// number is numbered one past the game before it; one without Dealer or
// Vulnerable takes them from its number. The Deal may start with any seat
// and give each suit's ranks in any order; one hand given as "-" holds the
// 13 cards the other three do not. A game whose deal is not 52 distinct
// cards, 13 to a hand, or whose tags cannot be read, is left out with a
// message naming `name` and its board number.
BoardList ReadPbn(std::string_view text, const std::string& name);

} // namespace zelv
