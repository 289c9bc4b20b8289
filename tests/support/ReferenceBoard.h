#pragma once
// The tests' reference: the engine's documented steps done one at a time,
// written plainly and apart from the live engine (DealEngine), which takes
// shortcuts. Its evaluation fills every quantity a definition limits (per
// suit and per hand), its checks try a seat's definitions in order as the
// documentation says, and its dealer draws card by card from a byte pack with
// redraws. The engine's boards and verdicts must equal these.
#include "core/cards/Cards.h"
#include "core/dealing/ClassicRandom.h"
#include "core/dealing/DealEngine.h"
#include "core/definitions/DefinitionKeys.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace zelv::test {

class ReferenceBoard {
  public:
    ReferenceBoard() = default;
    // Judges boards by the set-up of `engine`: its Constrained flags and slots.
    explicit ReferenceBoard(const DealEngine& engine) {
        for (int seat = 0; seat < 4; ++seat) {
            SetConstrained(seat, engine.IsConstrained(seat));
            for (int p = 0; p < 5; ++p) SetSlot(seat, p, engine.Slot(seat, p));
        }
        SeedFirst = engine.SeedFirst;
    }

    bool SeedFirst = false;
    std::array<bool, 4> Constrained{};    // by seat index
    std::array<Hand, 4> Hands{};          // by seat index
    std::array<HandDefinition, 20> Slots; // North 1-5, South 1-5, East 1-5, West 1-5
    std::int32_t SuitPoints[4][4]{}, SuitAK[4][4]{}, SuitAKQ[4][4]{}, SuitTop3[4][4]{}, SuitTop5[4][4]{};
    std::int32_t HandPoints[4]{}, HandAK[4]{}, HandAKQ[4]{}, HandTop3[4]{}, HandTop5[4]{};
    std::uint8_t SuitLengths[4][4]{};
    std::array<std::string, 4> Patterns;
    // The slot most recently tried by CheckSeat.
    const HandDefinition* CurrentDefn = nullptr;

    bool IsConstrained(int seat) const { return Constrained[static_cast<std::size_t>(seat)]; }
    void SetConstrained(int seat, bool on) { Constrained[static_cast<std::size_t>(seat)] = on; }
    Hand& SeatHand(int seat) { return Hands[static_cast<std::size_t>(seat)]; }
    const Hand& SeatHand(int seat) const { return Hands[static_cast<std::size_t>(seat)]; }
    const HandDefinition& Slot(int seat, int position) const {
        return Slots[static_cast<std::size_t>(seat * 5 + position)];
    }
    void SetSlot(int seat, int position, const HandDefinition& defn) {
        Slots[static_cast<std::size_t>(seat * 5 + position)] = defn;
    }

    // --- evaluation: seats without conditions stay at zero ---
    void EvaluateHands() {
        for (int seat = 0; seat < 4; ++seat) {
            HandPoints[seat] = HandAK[seat] = HandAKQ[seat] = HandTop3[seat] = HandTop5[seat] = 0;
            for (int s = 0; s < 4; ++s)
                SuitPoints[seat][s] = SuitAK[seat][s] = SuitAKQ[seat][s] = SuitTop3[seat][s] = SuitTop5[seat][s] = 0;
        }
        for (int seat = 0; seat < 4; ++seat) {
            if (!IsConstrained(seat)) continue;
            for (int s = 0; s < 4; ++s) {
                EvaluateSuit(seat, s);
                HandPoints[seat] += SuitPoints[seat][s];
                HandAK[seat] += SuitAK[seat][s];
                HandAKQ[seat] += SuitAKQ[seat][s];
                HandTop3[seat] += SuitTop3[seat][s];
                HandTop5[seat] += SuitTop5[seat][s];
            }
        }
    }
    // Ace 4, king 3, queen 2, jack 1 points; AK controls ace 2, king 1; AKQ
    // controls ace 3, king 2, queen 1; top three honours A K Q; top five
    // honours A K Q J T.
    void EvaluateSuit(int seat, int suit) {
        static constexpr int Points[5] = {4, 3, 2, 1, 0}, AK[5] = {2, 1, 0, 0, 0}, AKQ[5] = {3, 2, 1, 0, 0};
        for (CardCode c : SeatHand(seat)) {
            if (!IsCard(c) || SuitOf(c) != suit) continue;
            const int r = RankOf(c);
            if (r > 4) continue;
            SuitPoints[seat][suit] += Points[r];
            SuitAK[seat][suit] += AK[r];
            SuitAKQ[seat][suit] += AKQ[r];
            SuitTop3[seat][suit] += r < 3;
            SuitTop5[seat][suit] += 1;
        }
    }
    void MeasureShapes() {
        for (auto& row : SuitLengths)
            for (auto& l : row) l = 0;
        for (int seat = 0; seat < 4; ++seat) {
            if (!IsConstrained(seat)) continue;
            const auto lengths = CountSuitLengths(seat);
            for (int s = 0; s < 4; ++s) SuitLengths[seat][s] = lengths[static_cast<std::size_t>(s)];
            Patterns[static_cast<std::size_t>(seat)] = PatternOfLengths(lengths);
        }
    }
    std::array<std::uint8_t, 4> CountSuitLengths(int seat) const {
        std::array<std::uint8_t, 4> n{};
        for (CardCode c : SeatHand(seat))
            if (IsCard(c)) ++n[static_cast<std::size_t>(SuitOf(c))];
        return n;
    }

    // --- checks ---
    bool CheckBoard() {
        for (int seat = 0; seat < 4; ++seat)
            if (!CheckSeat(seat)) return false;
        return true;
    }
    // A seat passes when one of its defined slots passes, tried in order; a
    // seat whose slots are all empty passes.
    bool CheckSeat(int seat) {
        if (!IsConstrained(seat)) return true;
        bool result = true;
        for (int p = 0; p < 5; ++p) {
            CurrentDefn = &Slot(seat, p);
            if (CurrentDefn->Defined) result = CheckHand(seat);
            if (result) break;
        }
        return result;
    }
    bool CheckHand(int seat) const {
        if (!CurrentDefn) return false;
        const HandDefinition& d = *CurrentDefn;
        auto within = [](std::int32_t v, std::uint8_t lo, std::uint8_t hi) { return lo <= v && v <= hi; };
        auto suitsWithin = [&](const std::int32_t(&values)[4][4], LimitGroup group) {
            for (int s = 0; s < 4; ++s)
                if (!within(values[seat][s], d.Limit(SuitLimitIndex(group, s, false)),
                            d.Limit(SuitLimitIndex(group, s, true))))
                    return false;
            return true;
        };
        if (!within(HandPoints[seat], d.MinPoints, d.MaxPoints)) return false;
        // A list of all 39 entries accepts every pattern, whatever they say.
        if (d.YesShapes.size() != 39 && std::find(d.YesShapes.begin(), d.YesShapes.end(),
                                                  Patterns[static_cast<std::size_t>(seat)]) == d.YesShapes.end())
            return false;
        if (!suitsWithin(SuitPoints, GroupPoints)) return false;
        for (int s = 0; s < 4; ++s)
            if (!within(SuitLengths[seat][s], d.Limit(SuitLimitIndex(GroupLength, s, false)),
                        d.Limit(SuitLimitIndex(GroupLength, s, true))))
                return false;
        if (!within(HandAK[seat], d.MinAK, d.MaxAK)) return false;
        if (!within(HandAKQ[seat], d.MinAKQ, d.MaxAKQ)) return false;
        if (!suitsWithin(SuitTop3, GroupTop3)) return false;
        if (!suitsWithin(SuitTop5, GroupTop5)) return false;
        const Hand& hand = SeatHand(seat);
        for (int c = 1; c <= 52; ++c)
            if (d.MustHave[static_cast<std::size_t>(c)] && std::find(hand.begin(), hand.end(), c) == hand.end())
                return false;
        return true;
    }

    // --- dealing, card by card ---
    // A byte pack; with SeedFirst the must-have cards of each constrained
    // seat's first definition placed first (North, South, East, West, a card
    // already placed not again, at most 13); then random draws for North,
    // South and East with redraws of dealt cards; West takes what is left
    // in code order. Hands are left in the order the cards came.
    void Deal(ClassicRandom& random) {
        CardCode pack[53];
        for (int i = 0; i <= 52; ++i) pack[i] = static_cast<CardCode>(i);
        int next[4] = {0, 0, 0, 0};
        if (SeedFirst)
            for (int seat = 0; seat < 4; ++seat) {
                if (!IsConstrained(seat) || !Slot(seat, 0).Defined) continue;
                for (int c = 1; c <= 52 && next[seat] < 13; ++c)
                    if (Slot(seat, 0).MustHave[static_cast<std::size_t>(c)] && pack[c] != 0) {
                        SeatHand(seat)[static_cast<std::size_t>(next[seat]++)] = static_cast<CardCode>(c);
                        pack[c] = 0;
                    }
            }
        for (int seat : {North, South, East})
            while (next[seat] < 13) {
                const std::uint32_t r = random.Random(52) + 1;
                if (pack[r] != 0) {
                    SeatHand(seat)[static_cast<std::size_t>(next[seat]++)] = static_cast<CardCode>(r);
                    pack[r] = 0;
                }
            }
        for (int c = 1; c <= 52; ++c)
            if (pack[c]) SeatHand(West)[static_cast<std::size_t>(next[West]++)] = static_cast<CardCode>(c);
    }
};

} // namespace zelv::test
