#pragma once
// Lookup tables over card sets shared by the dealer and the record writers.
#include "core/cards/Cards.h"
#include "core/cards/HandValue.h"

#include <array>
#include <bit>
#include <cstdint>

namespace zelv {

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
