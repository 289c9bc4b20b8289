#pragma once
// Lookup tables over card sets shared by the dealer and the record writers.
#include "core/cards/Cards.h"

#include <array>
#include <bit>
#include <cstdint>

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

// Rank letters of the top seven ranks (AKQJT98) and of the bottom six
// (765432) of a suit mask, so an accepted board renders with two lookups a
// suit rather than a loop over its cards.
struct Letters {
    char Text[8];
};
constexpr std::array<Letters, 128> MakeLetters(int firstRank, int ranks) {
    std::array<Letters, 128> t{};
    for (unsigned b = 0; b < (1u << ranks); ++b) {
        int n = 0;
        for (int r = 0; r < ranks; ++r)
            if (b & (1u << r)) t[b].Text[n++] = RankLetters[static_cast<std::size_t>(firstRank + r)];
    }
    return t;
}
inline constexpr std::array<Letters, 128> HighLetters = MakeLetters(0, 7);
inline constexpr std::array<Letters, 128> LowLetters = MakeLetters(7, 6);

} // namespace zelv
