#pragma once
// The one evaluation of a hand that the dealer, the exact counts, the odds
// and the analysis share: 4-3-2-1 points, AK and AKQ controls, top-3 and
// top-5 honours, suit lengths and the hand's pattern.
#include "core/cards/Cards.h"

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zelv {

// Suit lengths from two small tables: without a popcount instruction in the
// target, std::popcount is a library call on the hot path.
inline constexpr std::array<std::uint8_t, 128> Bits7 = [] {
    std::array<std::uint8_t, 128> t{};
    for (unsigned i = 0; i < 128; ++i) t[i] = static_cast<std::uint8_t>(std::popcount(i));
    return t;
}();
inline constexpr std::uint8_t SuitLength(unsigned bits) {
    return static_cast<std::uint8_t>(Bits7[bits & 127u] + Bits7[bits >> 7]);
}

// Points and controls of a hand from how many of each honour it holds.
constexpr int HonourPoints(int aces, int kings, int queens, int jacks) {
    return 4 * aces + 3 * kings + 2 * queens + jacks;
}
constexpr int AKControls(int aces, int kings) { return 2 * aces + kings; }
constexpr int AKQControls(int aces, int kings, int queens) { return 3 * aces + 2 * kings + queens; }

// What a suit's honours are worth; they depend only on whether it holds the
// ace, king, queen, jack and ten: bits 0..4 of its 13-bit mask.
struct SuitHonours {
    std::uint8_t Points, AK, AKQ, Top3, Top5;
};
constexpr SuitHonours HonoursOfSuit(unsigned bits) {
    const int a = bits & 1u, k = (bits >> 1) & 1u, q = (bits >> 2) & 1u, j = (bits >> 3) & 1u, ten = (bits >> 4) & 1u;
    return SuitHonours{static_cast<std::uint8_t>(HonourPoints(a, k, q, j)), static_cast<std::uint8_t>(AKControls(a, k)),
                       static_cast<std::uint8_t>(AKQControls(a, k, q)), static_cast<std::uint8_t>(a + k + q),
                       static_cast<std::uint8_t>(a + k + q + j + ten)};
}
inline constexpr std::array<SuitHonours, 32> HonourTable = [] {
    std::array<SuitHonours, 32> t{};
    for (unsigned b = 0; b < 32; ++b) t[b] = HonoursOfSuit(b);
    return t;
}();
// The honours of a suit given as its 13-bit mask, by table.
inline SuitHonours SuitHonoursOf(unsigned bits) { return HonourTable[bits & 31u]; }

// One hand's evaluation, suit by suit (spades to clubs) and in total.
struct HandValue {
    std::array<SuitHonours, 4> Suits;
    std::array<std::uint8_t, 4> Lengths;
    int Points = 0, AK = 0, AKQ = 0;
};
inline HandValue ValueOfHand(CardMask hand) {
    HandValue v{};
    for (int s = 0; s < 4; ++s) {
        const unsigned bits = SuitBits(hand, s);
        v.Suits[s] = SuitHonoursOf(bits);
        v.Lengths[s] = SuitLength(bits);
        v.Points += v.Suits[s].Points;
        v.AK += v.Suits[s].AK;
        v.AKQ += v.Suits[s].AKQ;
    }
    return v;
}
// 4-3-2-1 points of a hand.
inline int HighCardPoints(CardMask hand) {
    int points = 0;
    for (int s = 0; s < 4; ++s) points += SuitHonoursOf(SuitBits(hand, s)).Points;
    return points;
}

// The hand patterns of thirteen cards: 39 of them.
inline constexpr int PatternCount = 39;
// The pattern string ("4432", "10300") of four suit lengths.
std::string PatternOfLengths(const std::array<std::uint8_t, 4>& lengths);
// The pattern strings, indexed by pattern id (longest suits first: 13000 is 0).
const std::array<std::string, PatternCount>& PatternStrings();
// Pattern ids by lengths (spades, hearts, diamonds; clubs have the rest),
// indexed spades*196 + hearts*14 + diamonds. Ids run over the patterns with
// their longest suits first: 13000 is 0, 4333 is 38.
inline constexpr std::array<std::uint8_t, 14 * 14 * 14> PatternIds = [] {
    // Each pattern as one number, its lengths longest first in 4-bit fields.
    std::array<int, PatternCount> patterns{};
    int n = 0;
    for (int a = 13; a >= 0; --a)
        for (int b = a; b >= 0; --b)
            for (int c = b; c >= 0; --c) {
                const int d = 13 - a - b - c;
                if (d >= 0 && d <= c) patterns[n++] = a << 12 | b << 8 | c << 4 | d;
            }
    std::array<std::uint8_t, 14 * 14 * 14> ids{};
    for (int s = 0; s <= 13; ++s)
        for (int h = 0; s + h <= 13; ++h)
            for (int d = 0; s + h + d <= 13; ++d) {
                int l[4] = {s, h, d, 13 - s - h - d};
                for (int i = 0; i < 4; ++i) // longest first
                    for (int j = i + 1; j < 4; ++j)
                        if (l[j] > l[i]) std::swap(l[i], l[j]);
                const int key = l[0] << 12 | l[1] << 8 | l[2] << 4 | l[3];
                int id = 0;
                while (patterns[id] != key) ++id;
                ids[s * 196 + h * 14 + d] = static_cast<std::uint8_t>(id);
            }
    return ids;
}();
inline int PatternId(int spades, int hearts, int diamonds) { return PatternIds[spades * 196 + hearts * 14 + diamonds]; }
// The pattern id of a pattern string; -1 for a text that is no pattern.
int PatternIdOf(const std::string& pattern);
// A Yes list of exactly as many entries as there are patterns accepts
// every pattern, whatever its entries say; otherwise only the patterns it
// names count.
inline bool NamesEveryPattern(const std::vector<std::string>& yesShapes) {
    return yesShapes.size() == static_cast<std::size_t>(PatternCount);
}
// The patterns a Yes list accepts, as bits by pattern id.
std::uint64_t PatternsOfYesList(const std::vector<std::string>& yesShapes);

} // namespace zelv
