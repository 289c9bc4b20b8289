#include "core/cards/Cards.h"

namespace zelv {

const std::array<std::string, 4> SeatNames = {"North", "South", "East", "West"};

const std::array<CardCode, 52> FullPack = [] {
    std::array<CardCode, 52> pack{};
    for (int i = 0; i < 52; ++i) pack[i] = static_cast<CardCode>(i + 1);
    return pack;
}();

std::string CardKey(CardCode code) {
    if (!IsCard(code)) return {};
    return {SuitLetters[SuitOf(code)], RankLetter(code)};
}

} // namespace zelv
