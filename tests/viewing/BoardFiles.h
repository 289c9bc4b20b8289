#pragma once
// Board files for the viewing tests: reproducible deals written with the
// engine's own record writer.
#include "engine/Cards.h"
#include "engine/Duplimat.h"
#include "engine/uBoard.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <numeric>
#include <random>
#include <string>

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

// Writes boards 1..count of DealNumber, then `tail` (e.g. a partial record).
inline void WriteBoardFile(const std::string& path, std::uint64_t count, const std::string& tail = {}) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    for (std::uint64_t n = 1; n <= count; ++n) f << RecordOf(DealNumber(n));
    f << tail;
}

} // namespace zelv::test
