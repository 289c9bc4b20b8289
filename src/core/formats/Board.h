#pragma once
// One board as every format reads and writes it (four hands, the board
// number, dealer and vulnerability), and the rules that number boards:
// dealer and vulnerability rotate with the board number.
#include "core/cards/Cards.h"
#include "core/dealing/DealEngine.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zelv {

// A ".DGE" record and a ".BRI" record alike.
inline constexpr std::size_t RecordSize = 128;

enum class Vulnerability { None, NS, EW, All };

struct Board {
    SeatArray<CardMask> Hands{}; // by seat index, 13 cards each
    std::uint64_t Number = 1;
    int Dealer = North; // seat index
    Vulnerability Vul = Vulnerability::None;
    bool operator==(const Board&) const = default;
};

// Dealer of board n: (n-1) mod 4 gives N, E, S, W; as a seat index.
int DealerSeat(std::uint64_t board);
char DealerLetter(std::uint64_t board);
// "N", "E", "S" or "W" for a seat index.
char SeatLetter(int seat);
// Vulnerability of board n (n mod 16, 0 counting as 16).
Vulnerability VulnerabilityOf(std::uint64_t board);
// "Nil", "N/S", "E/W" or "All".
std::string VulnerabilityText(std::uint64_t board);
std::string VulnerabilityText(Vulnerability vul);
// The same as PBN writes it: "None", "NS", "EW", "All".
std::string PbnVulnerable(std::uint64_t board);
std::string PbnVulnerable(Vulnerability vul);
// "Dealer N - Vul. Nil".
std::string DealerVulText(std::uint64_t board);
std::string DealerVulText(int dealer, Vulnerability vul);

// Board `number` holding `hands` (by seat index), with the dealer and
// vulnerability of its number.
Board NumberedBoard(const CardMask* hands, std::uint64_t number);
// The holdings as the viewer, the printed pages and the ".DGE" file show
// them: rank letters high to low.
DisplayTable HoldingsOf(const Board& board);
// Empty when the four hands are a whole deal: 52 distinct cards, 13 to a
// hand. Otherwise what is wrong, naming seat and card.
std::string HandsProblem(const std::array<CardMask, 4>& hands);
// Reads holdings back into card sets. Empty when they are a whole deal with
// each suit's rank letters high to low; otherwise what is wrong.
std::string HandsFromHoldings(const DisplayTable& table, std::array<CardMask, 4>& hands);

// Empty when boards `first` to first+count-1 are all numbers a file of
// `extension` can hold (up to `highest`); otherwise why not: "a .DUP file
// holds board numbers up to 999, and boards 990 to 1009 go past it".
std::string BoardRangeProblem(const char* extension, std::uint64_t highest, std::uint64_t first, std::uint64_t count);

struct PbnSource;

// What a reader made of a file: the boards it could read, in file order,
// and one message for each board it left out ("<file>: board 5 left out:
// ..."). `Notes` say what was read otherwise than written, with nothing
// lost (a board given twice, read once). `Error`, naming the file, when the
// file as a whole could not be read; there are no boards then. A PBN file
// keeps its games as written in `Pbn`, for a PBN file written from them.
struct BoardList {
    std::vector<Board> Boards;
    std::vector<std::string> Problems;
    std::vector<std::string> Notes;
    std::string Error;
    std::shared_ptr<const PbnSource> Pbn;
};

// "<name>: board <number> left out: <what>", or with a board named another
// way ("game 31 (no Board tag)").
std::string LeftOut(const std::string& name, std::uint64_t board, const std::string& what);
std::string LeftOut(const std::string& name, const std::string& board, const std::string& what);

} // namespace zelv
