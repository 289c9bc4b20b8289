#pragma once
// Reproducible whole deals as boards, for the format tests.
#include "core/formats/Board.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace zelv::test {

// Boards `first` to `first + count - 1`, each a shuffled deal.
inline std::vector<Board> ShuffledBoards(std::uint64_t first, std::size_t count, unsigned seed = 5) {
    std::mt19937 rng(seed);
    std::vector<CardCode> pack(52);
    std::iota(pack.begin(), pack.end(), CardCode{1});
    std::vector<Board> boards;
    for (std::size_t k = 0; k < count; ++k) {
        std::shuffle(pack.begin(), pack.end(), rng);
        CardMask hands[4] = {};
        for (int i = 0; i < 52; ++i) hands[i / 13] |= CardBit(pack[static_cast<std::size_t>(i)]);
        boards.push_back(NumberedBoard(hands, first + k));
    }
    return boards;
}

// The seat letter of every card of a board, as the rules in MachineRules.h give them.
inline std::array<char, 53> SeatsOf(const Board& b) {
    std::array<char, 53> d{};
    d[0] = '-';
    for (int code = 1; code <= 52; ++code)
        for (int seat = 0; seat < 4; ++seat)
            if (b.Hands[static_cast<std::size_t>(seat)] & CardBit(static_cast<CardCode>(code)))
                d[static_cast<std::size_t>(code)] = SeatLetter(seat);
    return d;
}

} // namespace zelv::test
