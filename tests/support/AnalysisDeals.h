#pragma once
// Deals for the analysis tests, written as hand records print them.
#include "core/formats/Board.h"

#include <algorithm>
#include <array>
#include <random>
#include <stdexcept>
#include <string>

namespace zelv::test {

// One hand as "spades.hearts.diamonds.clubs" in rank letters.
inline CardMask HandFromText(const std::string& text) {
    CardMask hand = 0;
    int suit = 0;
    for (char c : text) {
        if (c == '.') {
            ++suit;
            continue;
        }
        const std::size_t rank = RankLetters.find(c);
        if (rank == std::string_view::npos || suit > 3) throw std::invalid_argument(text);
        hand |= CardBit(MakeCard(suit, static_cast<int>(rank)));
    }
    return hand;
}

// Board `number` (its dealer and vulnerability) of four hands given clockwise.
inline Board BoardFromText(std::uint64_t number, const std::string& north, const std::string& east,
                           const std::string& south, const std::string& west) {
    CardMask hands[4] = {};
    hands[North] = HandFromText(north);
    hands[East] = HandFromText(east);
    hands[South] = HandFromText(south);
    hands[West] = HandFromText(west);
    Board b = NumberedBoard(hands, number);
    if (const std::string problem = HandsProblem(b.Hands); !problem.empty()) throw std::invalid_argument(problem);
    return b;
}

// A shuffled deal that depends only on `seed`, numbered `number`.
inline Board RandomBoard(std::uint64_t seed, std::uint64_t number) {
    std::array<int, 52> pack;
    for (int i = 0; i < 52; ++i) pack[static_cast<std::size_t>(i)] = i + 1;
    std::mt19937_64 rng(seed);
    std::shuffle(pack.begin(), pack.end(), rng);
    CardMask hands[4] = {};
    for (int i = 0; i < 52; ++i) hands[i / 13] |= CardBit(static_cast<CardCode>(pack[static_cast<std::size_t>(i)]));
    return NumberedBoard(hands, number);
}

} // namespace zelv::test
