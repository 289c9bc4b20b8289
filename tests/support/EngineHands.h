#pragma once
// What only the tests want of a dealt board: hands as 13 card codes (sorted
// or in the order they came), their rank letters, holdings set by hand, and
// a run's files fed from the dealer as the run feeds them.
#include "core/cards/Cards.h"
#include "core/dealing/DealEngine.h"
#include "core/formats/DealFiles.h"

#include <algorithm>
#include <array>
#include <string>

namespace zelv::test {

// Sorts 13 codes ascending in place, by the gap-halving exchange sort the
// classic program used (gaps 6, 3, 1, each pass repeated until it makes no
// exchange).
inline void SortHand(Hand& hand) {
    for (int gap = 6; gap > 0; gap /= 2) {
        bool swapped = true;
        while (swapped) {
            swapped = false;
            for (int i = 0; i + gap < 13; ++i)
                if (hand[static_cast<std::size_t>(i)] > hand[static_cast<std::size_t>(i + gap)]) {
                    std::swap(hand[static_cast<std::size_t>(i)], hand[static_cast<std::size_t>(i + gap)]);
                    swapped = true;
                }
        }
    }
}

// Rank letters of each suit, spades to clubs, in position order.
inline DisplayRow FormatHand(const Hand& hand) {
    DisplayRow row;
    for (CardCode c : hand)
        if (IsCard(c) && row[static_cast<std::size_t>(SuitOf(c))].size() < 13)
            row[static_cast<std::size_t>(SuitOf(c))] += RankLetter(c);
    return row;
}

// Stores one holding, cut to 13 characters; out-of-range indices store nothing.
inline void DecodeHolding(DisplayTable& table, int seat, int suit, const std::string& text) {
    if (seat < 0 || seat > 3 || suit < 0 || suit > 3) return;
    table[static_cast<std::size_t>(seat)][static_cast<std::size_t>(suit)] = text.substr(0, 13);
}

// The 13 cards the dealer's last accepted board gave `seat`, ascending.
inline Hand DealtHand(const DealEngine& engine, int seat) {
    Hand h{};
    int i = 0;
    for (int c = 1; c <= 52; ++c)
        if (engine.Dealt[static_cast<std::size_t>(seat)] & CardBit(static_cast<CardCode>(c)))
            h[static_cast<std::size_t>(i++)] = static_cast<CardCode>(c);
    return h;
}

// One attempt, its board written to `files` when accepted, as a run does.
inline void DealAndWrite(DealEngine& engine, DealFiles& files) {
    engine.DealBoard();
    if (engine.Accepted) files.WriteBoard(engine.Dealt.data(), engine.Display);
}

} // namespace zelv::test
