#pragma once
// PBN 2.1: boards written as export format, and read back from files of
// any program, export or import format.
#include "core/dealing/DealEngine.h"
#include "core/formats/Board.h"

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
// `[Name "value"]` and CR LF, the value's quotes and backslashes escaped
// and any control character made a blank, so that no text can end the
// tag or the game.
std::string PbnTagPair(std::string_view name, std::string_view value);
// The header and a game for every board, in their order.
std::string WritePbn(const std::vector<Board>& boards);

// The highest board number ReadPbn takes: a Board tag is read as a signed
// 32-bit number.
inline constexpr std::uint64_t PbnHighestBoard = 2147483647;
// Why boards `first` to `first + count - 1` cannot go to a ".PBN" file that
// can be read back, or empty when they can.
std::string PbnRangeProblem(std::uint64_t first, std::uint64_t count);

// A PBN file as it was written: its text and where each game and each tag
// pair of a game lie in it, so that a PBN file made from its boards keeps
// everything else of every game.
struct PbnSource {
    struct Tag {
        std::string Name, Value;                  // the value unescaped
        std::size_t Open = 0, Close = 0;          // the pair is Text[Open, Close), "[" to "]"
        std::size_t ValueBegin = 0, ValueEnd = 0; // the value as written, between the quotes
    };
    enum class Kind { Heading, Board, LeftOut };
    struct Game {
        std::size_t Begin = 0, End = 0; // its lines, up to the empty line that ends it
        std::size_t FirstPair = 0;      // the "[" of its first tag pair, even a broken one
        std::vector<Tag> Tags;          // its tag pairs in order
        Kind What = Kind::Heading;      // a game of other tags only, a board's, or left out
        std::size_t BoardIndex = 0;     // for a board's: the index of its board
        Board Read;                     // and the board the game reads as by itself
    };
    std::string Text;
    std::vector<Game> Games;
};

// Every game of a PBN file that holds a deal, as a board, read from its
// Board, Dealer, Vulnerable and Deal tags: tags in any order and spread
// over lines as import format allows, lines ended by LF, CR LF or CR alone,
// comments and "%" lines skipped, "#" and "##" values inherited from
// earlier games. A game without a board number is numbered one past the
// game before it; one without Dealer or Vulnerable takes them from its
// number. The Deal may start with any seat and give each suit's ranks in
// any order; one hand given as "-" holds the 13 cards the other three do
// not. Games that repeat an earlier game's number and deal (a results file
// gives a board once per table) are one board, said in a note; a game
// whose deal is not 52 distinct cards, 13 to a hand, whose tags cannot be
// read, or whose number an earlier game deals otherwise, is left out with
// a message naming `name` and the game: "board 7", or by its place, "game
// 31 (no Board tag)", when it has no number of its own. A second Board,
// Dealer, Vulnerable or Deal tag in a game is ignored with a note. A file
// in UTF-16 or UTF-32 is an error that says so. The text and its games are
// kept in the list's `Pbn`.
BoardList ReadPbn(std::string_view text, const std::string& name);

// The file of `source` again, each game of a board given the number,
// dealer, vulnerability and deal of boards[i] (the boards it was read as,
// renumbered, say) where the game does not already give them, each in place
// of the game's own tag or added among the mandatory tags. A non-empty
// supplements[i], tag pairs ending in CR LF, replaces the game's tags of
// those names where they stand (with a table's rows), or follows its
// mandatory tags. Games left out when it was read are left out; every
// other line, tag, section and comment is as it was.
std::string WritePbnFrom(const PbnSource& source, const std::vector<Board>& boards,
                         const std::vector<std::string>& supplements = {});

} // namespace zelv
