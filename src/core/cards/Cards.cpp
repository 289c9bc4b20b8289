#include "core/cards/Cards.h"

namespace zelv {

const SeatArray<std::string> SeatNames = {"North", "South", "East", "West"};

const std::array<CardCode, 52> FullPack = [] {
    std::array<CardCode, 52> pack{};
    for (int i = 0; i < 52; ++i) pack[i] = static_cast<CardCode>(i + 1);
    return pack;
}();

std::string CardKey(CardCode code) {
    if (!IsCard(code)) return {};
    return {SuitLetters[SuitOf(code)], RankLetter(code)};
}

std::string NameOfCard(CardCode code) {
    if (!IsCard(code)) return "card " + std::to_string(code);
    return "the " + std::string(RankNames[static_cast<std::size_t>(RankOf(code))]) + " of " +
           std::string(SuitNames[static_cast<std::size_t>(SuitOf(code))]);
}

std::string CardName(CardCode code) { return NameOfCard(code) + " (" + CardKey(code) + ")"; }

} // namespace zelv
