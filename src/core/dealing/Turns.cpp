#include "core/dealing/Turns.h"

#include <numeric>

namespace zelv {

std::vector<int> LevelledSlots(const DealEngine& board, int seat) {
    std::vector<int> slots;
    if (!board.IsConstrained(seat) || !board.Slot(seat, 0).Defined) return slots;
    for (int p = 0; p < 5; ++p)
        if (board.Slot(seat, p).Defined) slots.push_back(p);
    return slots;
}

Turns::Turns(const DealEngine& board) {
    for (int seat = 0; seat < 4; ++seat) {
        Slots[seat] = LevelledSlots(board, seat);
        if (!Slots[seat].empty()) Period = std::lcm(Period, Slots[seat].size());
    }
}

void Turns::Apply(DealEngine& board, const DealEngine& base, std::uint64_t index) const {
    for (int seat = 0; seat < 4; ++seat) {
        const auto& turns = Slots[seat];
        if (turns.empty()) continue;
        board.SetSlot(seat, 0, base.Slot(seat, turns[index % turns.size()]));
        for (int p = 1; p < 5; ++p) board.SetSlot(seat, p, HandDefinition{});
    }
}

} // namespace zelv
