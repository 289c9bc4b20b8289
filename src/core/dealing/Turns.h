#pragma once
// The turns a seat's alternatives take when a run shares its boards equally
// among them: which definition each board of the run requires of each seat.
#include "core/dealing/DealEngine.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelv {

// The alternatives of a seat that take turns when boards are shared
// equally: the positions of its defined slots, in order. Empty for a seat
// without conditions or whose first slot is empty (it takes any hand).
std::vector<int> LevelledSlots(const DealEngine& board, int seat);

// The turns alternatives take when boards are shared equally: board k of a
// run (index k - 1) requires of each seat with m alternatives its
// alternative (k - 1) mod m, which stands alone in the first slot (so it is
// also the one seeded). The set-ups repeat every Period boards.
struct Turns {
    std::array<std::vector<int>, 4> Slots; // by seat index: LevelledSlots
    std::size_t Period = 1;

    explicit Turns(const DealEngine& board);
    // `board` set up as board `index` of the run requires it, from `base`.
    void Apply(DealEngine& board, const DealEngine& base, std::uint64_t index) const;
};

} // namespace zelv
