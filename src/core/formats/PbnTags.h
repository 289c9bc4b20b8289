#pragma once
// What the PBN reader and the writer that keeps a file's games share: the
// games of a text with their tag pairs, the four tags a board is read from,
// and how a game takes their values from the games before it.
#include "core/formats/Pbn.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelv::pbn {

enum ReadTag { BoardTag, DealerTag, VulnerableTag, DealTag, TagCount };
inline constexpr std::string_view TagNames[TagCount] = {"Board", "Dealer", "Vulnerable", "Deal"};
// ReadTag of a tag name, or -1.
int ReadTagOf(std::string_view name);

using TagValues = std::array<std::optional<std::string>, TagCount>;
using TagFlags = std::array<bool, TagCount>;

// One game of a text: where it lies, and the first pair of each read tag.
struct SplitGame {
    PbnSource::Game Where;
    TagValues Values;  // as written in the game
    TagFlags Broken{}; // written, but not as a tag pair
    TagFlags Repeated{};
    bool Any = false; // any tag pair, even a broken one
};

// The games of a text, in order. A game ends at a line that is empty or
// holds only blanks, outside comments and tag pairs; "%" lines and
// comments are skipped, and so is section data such as an auction.
std::vector<SplitGame> SplitGames(std::string_view text);

// What earlier games hand on: per tag the last value written ("#" takes
// it) and the value a "##" set for every later game; the last number.
struct Inheritance {
    TagValues Last, Lasting;
    std::uint64_t Previous = 0;
};

// The values a game takes from its own tags and those before it; `state`
// moves on past the game.
TagValues Resolve(const TagValues& own, const TagFlags& broken, Inheritance& state);

// A game's board from the values it takes; `previous` is the number of the
// game before it. `Numbered` when the number is the game's own, not one
// past the one before.
struct GameReading {
    Board Read;
    std::string Problem; // why the game is no board, or empty
    bool Numbered = false;
};
GameReading ReadGame(const TagValues& values, const TagFlags& broken, std::uint64_t previous);

// The Deal tag's value: the dealer's hand first, then clockwise.
std::string DealValue(int dealer, const DisplayTable& table);
// A read tag's value for `board` as a PBN file writes it.
std::string ValueFor(ReadTag tag, const Board& board);

// The line end a text uses: CR LF, LF or CR (CR LF for a text without one).
std::string LineEndOf(std::string_view text);

} // namespace zelv::pbn
