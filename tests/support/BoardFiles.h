#pragma once
// Board files for the viewing tests: reproducible deals written with the
// engine's own record writer.
#include "core/cards/Cards.h"
#include "core/dealing/DealEngine.h"
#include "core/formats/DealFiles.h"
#include "support/EngineHands.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace zelv::test {

// A full deal that depends only on `n`.
inline DisplayTable DealNumber(std::uint64_t n) {
    std::array<int, 52> pack;
    std::iota(pack.begin(), pack.end(), 1);
    std::mt19937_64 rng(n * 7919 + 13);
    std::shuffle(pack.begin(), pack.end(), rng);
    DisplayTable t;
    for (int seat = 0; seat < 4; ++seat) {
        Hand h{};
        for (int i = 0; i < 13; ++i) h[static_cast<std::size_t>(i)] = static_cast<CardCode>(pack[seat * 13 + i]);
        SortHand(h);
        t[static_cast<std::size_t>(seat)] = FormatHand(h);
    }
    return t;
}

inline std::string RecordOf(const DisplayTable& t) {
    std::string out;
    AppendBoardRecord(out, t[North], t[East], t[South], t[West]);
    return out;
}

// Deals that strain the print layout: every seat holding a whole suit, in
// every arrangement of the suits; then West and East each holding ten cards
// of one suit, for every pair of suits.
inline std::vector<DisplayTable> ExtremeDeals() {
    const std::string all = "AKQJT98765432";
    std::vector<DisplayTable> deals;
    std::array<int, 4> suits = {0, 1, 2, 3};
    do {
        DisplayTable t;
        for (int seat = 0; seat < 4; ++seat)
            t[static_cast<std::size_t>(seat)][static_cast<std::size_t>(suits[seat])] = all;
        deals.push_back(t);
    } while (std::next_permutation(suits.begin(), suits.end()));
    for (int w = 0; w < 4; ++w)
        for (int e = 0; e < 4; ++e) {
            if (w == e) continue;
            int rest[2], k = 0;
            for (int s = 0; s < 4; ++s)
                if (s != w && s != e) rest[k++] = s;
            DisplayTable t;
            t[West][static_cast<std::size_t>(w)] = all.substr(0, 10);
            t[West][static_cast<std::size_t>(e)] = all.substr(10);
            t[East][static_cast<std::size_t>(e)] = all.substr(0, 10);
            t[East][static_cast<std::size_t>(w)] = all.substr(10);
            t[North][static_cast<std::size_t>(rest[0])] = all;
            t[South][static_cast<std::size_t>(rest[1])] = all;
            deals.push_back(t);
        }
    return deals;
}

inline void WriteDeals(const std::string& path, const std::vector<DisplayTable>& deals) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    for (const DisplayTable& t : deals) f << RecordOf(t);
}

// Writes boards 1..count of DealNumber, then `tail` (e.g. a partial record).
inline void WriteBoardFile(const std::string& path, std::uint64_t count, const std::string& tail = {}) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    for (std::uint64_t n = 1; n <= count; ++n) f << RecordOf(DealNumber(n));
    f << tail;
}

} // namespace zelv::test
