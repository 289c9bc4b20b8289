#pragma once
// Card, suit, rank and seat codes shared by the whole engine.
//
// A card is a byte 1..52: suit = (code-1)/13 (0 spades, 1 hearts, 2 diamonds,
// 3 clubs), rank = (code-1)%13 over "AKQJT98765432", so a lower code is a
// higher card. 0 means "no card".
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelv {

using CardCode = std::uint8_t;
using Hand = std::array<CardCode, 13>;

inline constexpr std::string_view RankLetters = "AKQJT98765432";
inline constexpr std::string_view SuitLetters = "SHDC";
// Names in messages, by suit index and by rank index.
inline constexpr std::array<std::string_view, 4> SuitNames = {"spades", "hearts", "diamonds", "clubs"};
inline constexpr std::array<std::string_view, 13> RankNames = {
    "ace", "king", "queen", "jack", "ten", "nine", "eight", "seven", "six", "five", "four", "three", "two"};

// The one seat order, in which every table of the program that holds four
// seats is kept: hands, holdings, definitions, names. Index such a table
// through SeatArray, which takes a seat without a cast.
enum SeatIndex : int { North = 0, South = 1, East = 2, West = 3 };

// Four of something, one for each seat, indexed by seat index.
template <class T> struct SeatArray : std::array<T, 4> {
    constexpr T& operator[](int seat) { return std::array<T, 4>::operator[](static_cast<std::size_t>(seat)); }
    constexpr const T& operator[](int seat) const {
        return std::array<T, 4>::operator[](static_cast<std::size_t>(seat));
    }
};

// The classic dealer's draw order: North, South and East draw their cards
// in turn and West takes the rest. It is the seat order.
inline constexpr std::array<SeatIndex, 4> DealingOrder = {North, South, East, West};

// Where a format, the table or the solver goes round the table clockwise
// from North (N, E, S, W), a seat's place in that order, and back. Used only
// at those edges.
constexpr int ClockwisePos(int seat) {
    constexpr int pos[4] = {0, 2, 1, 3};
    return pos[seat];
}
// Seat index of a clockwise position (0 N, 1 E, 2 S, 3 W).
constexpr int SeatOfClockwise(int clockwise) {
    constexpr int seat[4] = {North, East, South, West};
    return seat[clockwise];
}

// "North", "South", "East", "West", indexed by seat index.
extern const SeatArray<std::string> SeatNames;

constexpr int SuitOf(CardCode code) { return (code - 1) / 13; }
constexpr int RankOf(CardCode code) { return (code - 1) % 13; }
constexpr CardCode MakeCard(int suit, int rank) { return static_cast<CardCode>(suit * 13 + rank + 1); }
constexpr bool IsCard(int code) { return code >= 1 && code <= 52; }
constexpr char RankLetter(CardCode code) { return RankLetters[RankOf(code)]; }

// Two-letter name used as the hand definition file key: "SA", "HK", ... "C2".
std::string CardKey(CardCode code);

// "the ace of spades", as messages name a card.
std::string NameOfCard(CardCode code);
// "the ace of spades (SA)", as refusals of a set-up name a card, with the
// key the definition file gives it.
std::string CardName(CardCode code);

// The full pack in code order, 1..52.
extern const std::array<CardCode, 52> FullPack;

// Bit (code-1) set for every card of a 64-bit card set.
using CardMask = std::uint64_t;
inline constexpr CardMask AllCardsMask = (CardMask{1} << 52) - 1;
constexpr CardMask CardBit(CardCode code) { return CardMask{1} << (code - 1); }
constexpr unsigned SuitBits(CardMask mask, int suit) { return static_cast<unsigned>((mask >> (13 * suit)) & 0x1FFF); }

} // namespace zelv
