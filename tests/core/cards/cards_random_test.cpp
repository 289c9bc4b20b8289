#include "core/cards/Cards.h"
#include "core/dealing/ClassicRandom.h"
#include "core/dealing/DealEngine.h"
#include "support/EngineHands.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <set>

using namespace zelv;

TEST(Random, sixDrawsFromSeedZeroGiveTheKnownValuesAndSeeds) {
    ClassicRandom r(0);
    const std::uint32_t values[6] = {0, 1, 44, 10, 14, 34};
    const std::uint32_t seeds[6] = {1u, 134775814u, 3698175007u, 870078620u, 1172187917u, 2884733762u};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(r.Random(52), values[i]) << "draw " << i;
        EXPECT_EQ(r.Seed, seeds[i]) << "draw " << i;
    }
}

// 2^k steps at once are one step x -> a*x + c with a and c found by doubling;
// the sequence is back at its start after 2^32 of them and not after 2^31
// (the cycle's length is a power of two, so no shorter one divides it).
TEST(Random, theSequenceComesBackToItsStartAfterItsPeriodAndNotBefore) {
    std::uint32_t a = RandMultiplier, c = 1;
    std::uint64_t steps = 1;
    bool backEarlier = false;
    while (steps < RandPeriod) {
        backEarlier = backEarlier || (a == 1 && c == 0);
        c = a * c + c;
        a = a * a;
        steps *= 2;
    }
    EXPECT_FALSE(backEarlier);
    EXPECT_EQ(steps, std::uint64_t{1} << 32);
    EXPECT_EQ(a, 1u);
    EXPECT_EQ(c, 0u);
}

TEST(Random, plusOneCoversExactlyTheCardCodes) {
    ClassicRandom r(12345);
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 100000; ++i) {
        std::uint32_t code = r.Random(52) + 1;
        ASSERT_GE(code, 1u);
        ASSERT_LE(code, 52u);
        seen.insert(code);
    }
    EXPECT_EQ(seen.size(), 52u);
}

TEST(Random, randomizeSeedsFromTheClock) {
    std::uint32_t first = ClassicRandom::Randomized().Seed;
    std::uint32_t later = first;
    for (int i = 0; i < 1000 && later == first; ++i) later = ClassicRandom::Randomized().Seed;
    EXPECT_NE(first, later);
}

TEST(Cards, codesSplitIntoSuitAndRank) {
    EXPECT_EQ(SuitOf(1), 0);
    EXPECT_EQ(RankLetter(1), 'A');
    EXPECT_EQ(SuitOf(13), 0);
    EXPECT_EQ(RankLetter(13), '2');
    EXPECT_EQ(SuitOf(14), 1);
    EXPECT_EQ(RankLetter(14), 'A');
    EXPECT_EQ(SuitOf(52), 3);
    EXPECT_EQ(RankLetter(52), '2');
    EXPECT_EQ(RankLetter(5), 'T');
    EXPECT_EQ(CardKey(1), "SA");
    EXPECT_EQ(CardKey(27), "DA");
    EXPECT_EQ(CardKey(52), "C2");
    EXPECT_EQ(SeatNames[North], "North");
    EXPECT_EQ(SeatNames[South], "South");
    EXPECT_EQ(SeatNames[East], "East");
    EXPECT_EQ(SeatNames[West], "West");
}

TEST(FormatHand, rendersEachSuitInPositionOrder) {
    Hand h = test::HandOf({1, 13, 14, 52, 2, 5, 10, 20, 30, 31, 40, 41, 50});
    DisplayRow row = test::FormatHand(h);
    EXPECT_EQ(row[0], "A2KT5");
    EXPECT_EQ(row[1], "A8");
    EXPECT_EQ(row[2], "JT");
    EXPECT_EQ(row[3], "2AK4");
    test::SortHand(h);
    row = test::FormatHand(h);
    EXPECT_EQ(row[0], "AKT52");
    EXPECT_EQ(row[3], "AK42");
}

TEST(FormatHand, aVoidRendersEmpty) {
    Hand h = test::HandOf({1, 2, 3, 4, 5, 14, 15, 16, 17, 18, 19, 20, 21});
    DisplayRow row = test::FormatHand(h);
    EXPECT_EQ(row[0], "AKQJT");
    EXPECT_EQ(row[1], "AKQJT987");
    EXPECT_EQ(row[2], "");
    EXPECT_EQ(row[3], "");
}

TEST(SortHand, sortsAnyPermutationAscending) {
    std::mt19937 rng(7);
    std::vector<CardCode> pack(FullPack.begin(), FullPack.end());
    for (int round = 0; round < 500; ++round) {
        std::shuffle(pack.begin(), pack.end(), rng);
        Hand h;
        std::copy(pack.begin(), pack.begin() + 13, h.begin());
        Hand expected = h;
        std::sort(expected.begin(), expected.end());
        test::SortHand(h);
        ASSERT_EQ(h, expected);
    }
}
