// Exact counts of the hands a definition accepts, held to enumerations done
// another way, and the counter's verdict held to the engine's.
#include "core/dealing/HandCounts.h"
#include "core/dealing/SecureDealer.h"
#include "support/ReferenceBoard.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

namespace zelv {
namespace {

std::uint64_t Binomial(int n, int k) {
    if (k < 0 || k > n) return 0;
    std::uint64_t r = 1;
    for (int i = 1; i <= k; ++i) r = r * static_cast<std::uint64_t>(n - k + i) / static_cast<std::uint64_t>(i);
    return r;
}

// Hands by their sixteen honours (A K Q J of each suit, bit 4*suit + rank)
// and the number of the 36 other cards each suit length leaves: `weigh`
// gets the honour set and returns how many hands hold exactly it.
template <class Weigh> std::uint64_t OverHonourSets(const Weigh& weigh) {
    std::uint64_t total = 0;
    for (unsigned set = 0; set < (1u << 16); ++set) total += weigh(set);
    return total;
}
int HonourPoints(unsigned set) {
    int p = 0;
    for (int i = 0; i < 16; ++i)
        if ((set >> i) & 1u) p += 4 - i % 4;
    return p;
}

TEST(HandCounts, everyDefinitionThatAcceptsEverythingCountsEveryHand) {
    EXPECT_EQ(CountHands(HandDefinition::AcceptingEveryHand()), AllHands);
    EXPECT_EQ(AllHands, Binomial(52, 13));
}

TEST(HandCounts, pointCountsMatchTheKnownDistributionOfAllHands) {
    std::uint64_t sum = 0;
    for (int p = 0; p <= 37; ++p) {
        HandDefinition d = HandDefinition::AcceptingEveryHand();
        d.MinPoints = d.MaxPoints = static_cast<std::uint8_t>(p);
        const std::uint64_t expected = OverHonourSets(
            [&](unsigned set) { return HonourPoints(set) == p ? Binomial(36, 13 - std::popcount(set)) : 0; });
        EXPECT_EQ(CountHands(d), expected) << p << " points";
        sum += expected;
    }
    EXPECT_EQ(sum, AllHands);
}

TEST(HandCounts, controlLimitsCountAsTheHonoursSay) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.MinAK = 3;
    d.MaxAK = 5;
    d.MinAKQ = 6;
    d.MaxAKQ = 9;
    d.MinPoints = 12;
    const std::uint64_t expected = OverHonourSets([&](unsigned set) {
        int ak = 0, akq = 0;
        for (int i = 0; i < 16; ++i)
            if ((set >> i) & 1u) {
                ak += i % 4 == 0 ? 2 : i % 4 == 1;
                akq += i % 4 < 3 ? 3 - i % 4 : 0;
            }
        const bool ok = ak >= 3 && ak <= 5 && akq >= 6 && akq <= 9 && HonourPoints(set) >= 12;
        return ok ? Binomial(36, 13 - std::popcount(set)) : 0;
    });
    EXPECT_EQ(CountHands(d), expected);
}

TEST(HandCounts, fourFourFourOneWithTwentyToTwentyTwoPoints) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.YesShapes = {"4441"};
    EXPECT_EQ(CountHands(d), 4 * Binomial(13, 4) * Binomial(13, 4) * Binomial(13, 4) * 13);
    d.MinPoints = 20;
    d.MaxPoints = 22;
    const std::uint64_t expected = OverHonourSets([&](unsigned set) {
        const int p = HonourPoints(set);
        if (p < 20 || p > 22) return std::uint64_t{0};
        std::uint64_t ways = 0;
        for (int single = 0; single < 4; ++single) {
            std::uint64_t w = 1;
            for (int s = 0; s < 4; ++s) w *= Binomial(9, (s == single ? 1 : 4) - std::popcount((set >> (4 * s)) & 15u));
            ways += w;
        }
        return ways;
    });
    EXPECT_EQ(CountHands(d), expected);
    EXPECT_GT(expected, 0u);
}

// Limits on spades alone: each spade holding the documented checks pass
// goes with any hand of the other 39 cards.
TEST(HandCounts, oneSuitDefinitionMatchesEveryHoldingCheckedByTheReference) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.MinSLength = 4;
    d.MaxSLength = 7;
    d.MinSPoints = 3;
    d.MaxSPoints = 8;
    d.MinTop3S = 1;
    d.MaxTop3S = 2;
    d.MinTop5S = 2;
    d.MustHave[MakeCard(0, 4)] = true; // the ten
    test::ReferenceBoard ref;
    ref.SetConstrained(North, true);
    ref.SetSlot(North, 0, d);
    std::uint64_t expected = 0;
    for (unsigned bits = 0; bits < 8192; ++bits) {
        Hand& h = ref.SeatHand(North);
        int n = 0;
        for (int r = 0; r < 13; ++r)
            if ((bits >> r) & 1u) h[static_cast<std::size_t>(n++)] = MakeCard(0, r);
        for (int c = 0; n < 13; ++c) h[static_cast<std::size_t>(n++)] = MakeCard(1 + c / 9, 4 + c % 9);
        ref.EvaluateHands();
        ref.MeasureShapes();
        if (ref.CheckSeat(North)) expected += Binomial(39, 13 - std::popcount(bits));
    }
    EXPECT_EQ(CountHands(d), expected);
    EXPECT_GT(expected, 0u);
}

TEST(HandCounts, requiredAndExcludedCardsNarrowTheCount) {
    const HandDefinition every = HandDefinition::AcceptingEveryHand();
    EXPECT_EQ(HandCounts(every, CardBit(MakeCard(0, 0)), CardBit(MakeCard(1, 1))).Count(), Binomial(50, 12));
    HandDefinition d = every;
    d.MustHave[MakeCard(2, 0)] = true;
    EXPECT_EQ(HandCounts(d, CardBit(MakeCard(3, 0))).Count(), Binomial(50, 11));
    EXPECT_EQ(HandCounts(d, 0, CardBit(MakeCard(2, 0))).Count(), 0u);
}

// Random definitions and hands: the counter's verdict is the engine's, and
// each hand drawn meets the definition.
TEST(HandCounts, verdictMatchesTheEngineAndDrawsMeetTheDefinition) {
    SecureKey key{};
    key[0] = 42;
    SecureRandom random(key);
    const auto& patterns = PatternStrings();
    int drawn = 0;
    for (int round = 0; round < 60; ++round) {
        HandDefinition d = HandDefinition::AcceptingEveryHand();
        d.MinPoints = static_cast<std::uint8_t>(random.Below(16));
        d.MaxPoints = static_cast<std::uint8_t>(d.MinPoints + random.Below(20));
        d.MinAKQ = static_cast<std::uint8_t>(random.Below(5));
        for (int s = 0; s < 4; ++s) {
            d.Limit(SuitLimitIndex(GroupLength, s, false)) = static_cast<std::uint8_t>(random.Below(3));
            d.Limit(SuitLimitIndex(GroupPoints, s, true)) = static_cast<std::uint8_t>(4 + random.Below(8));
            d.Limit(SuitLimitIndex(GroupTop5, s, true)) = static_cast<std::uint8_t>(2 + random.Below(4));
        }
        if (round % 2) {
            d.YesShapes.clear();
            for (int i = 0; i < 39; ++i)
                if (random.Below(3) == 0) d.YesShapes.push_back(patterns[static_cast<std::size_t>(i)]);
        }
        if (round % 3 == 0) d.MustHave[1 + random.Below(52)] = true;
        DealEngine board;
        board.SetConstrained(North, true);
        board.SetSlot(North, 0, d);
        const HandCounts counts(d);
        for (int i = 0; i < 3000; ++i) {
            CardMask pack = AllCardsMask;
            const CardMask hand = random.DrawFromPack(pack, 13);
            ASSERT_EQ(counts.Meets(hand), board.SeatMeetsSetup(North, hand)) << "round " << round;
        }
        if (!counts.Count()) continue;
        for (int i = 0; i < 300; ++i, ++drawn) {
            const CardMask hand = counts.Draw(random);
            ASSERT_EQ(std::popcount(hand), 13);
            ASSERT_TRUE(board.SeatMeetsSetup(North, hand)) << "round " << round;
        }
    }
    EXPECT_GT(drawn, 3000);
}

} // namespace
} // namespace zelv
