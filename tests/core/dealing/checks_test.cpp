#include "core/dealing/ClassicRandom.h"
#include "core/dealing/DealEngine.h"
#include "core/definitions/DefinitionKeys.h"
#include "support/ReferenceBoard.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace zelv;

namespace {

// Deals the hand `north` to North (rest spread to the others) and answers
// whether North passes, asking both the reference's documented checks and
// the engine's fast verdict; they must agree.
class Checks : public ::testing::Test {
  protected:
    DealEngine b;
    test::ReferenceBoard ref;
    std::array<Hand, 4> hands{}; // by seat index

    void Give(const Hand& north) {
        CardMask used = 0;
        for (CardCode c : north) used |= CardBit(c);
        hands[North] = north;
        CardMask rest = AllCardsMask & ~used;
        for (int seat : {South, East, West}) {
            CardMask take = 0;
            for (int i = 0; i < 13; ++i) {
                CardMask low = rest & (~rest + 1);
                take |= low;
                rest &= ~low;
            }
            hands[static_cast<std::size_t>(seat)] = test::HandOfMask(take);
        }
    }
    bool Passes(const Hand& north) {
        Give(north);
        ref = test::ReferenceBoard(b);
        ref.Hands = hands;
        ref.EvaluateHands();
        ref.MeasureShapes();
        const bool slow = ref.CheckBoard();
        CardMask m = 0;
        for (CardCode c : north) m |= CardBit(c);
        EXPECT_EQ(slow, b.SeatMeetsSetup(North, m)) << "the engine's verdict and the reference's disagree";
        return slow;
    }
    void Use(int position, const HandDefinition& d) {
        b.SetConstrained(North, true);
        b.SetSlot(North, position, d);
    }
};

// Hands used below.
// SAQ87 HK43 DQ43 CJ32: 12 points, 4-3-3-3.
const Hand Balanced12 = test::HandOf({1, 3, 10, 11, 15, 24, 25, 29, 37, 38, 43, 50, 51});
const Hand Strong = test::HandOf({1, 2, 3, 14, 15, 16, 27, 28, 40, 41, 42, 43, 44}); // 35 points, 5-3-3-2
const Hand ElevenSpades = test::HandOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 27});

} // namespace

TEST_F(Checks, seatWithoutConditionsPassesEvenWithDefinitionsLoaded) {
    HandDefinition never = HandDefinition::AcceptingEveryHand();
    never.MinPoints = 40;
    Use(0, never);
    EXPECT_FALSE(Passes(Strong));
    b.SetConstrained(North, false);
    EXPECT_TRUE(Passes(Strong));
}

TEST_F(Checks, alternativesAreTriedInOrder) {
    HandDefinition a = HandDefinition::AcceptingEveryHand();
    a.MinPoints = 20;
    HandDefinition bdef = HandDefinition::AcceptingEveryHand();
    bdef.MaxPoints = 12;
    Use(0, a);
    Use(1, bdef);
    EXPECT_TRUE(Passes(Balanced12)); // fails A, passes B
    EXPECT_TRUE(Passes(Strong));     // passes A
    HandDefinition c = HandDefinition::AcceptingEveryHand();
    c.MaxPoints = 11;
    Use(1, c);
    EXPECT_FALSE(Passes(Balanced12)); // fails both
}

TEST_F(Checks, emptyFirstPositionPassesEveryHand) {
    HandDefinition never = HandDefinition::AcceptingEveryHand();
    never.MinPoints = 40;
    Use(1, never);
    EXPECT_FALSE(b.Slot(North, 0).Defined);
    EXPECT_TRUE(Passes(Balanced12));
}

TEST_F(Checks, emptyMiddlePositionIsSkipped) {
    HandDefinition first = HandDefinition::AcceptingEveryHand();
    first.MinPoints = 30;
    HandDefinition third = HandDefinition::AcceptingEveryHand();
    third.MinPoints = third.MaxPoints = 12;
    Use(0, first);
    Use(2, third);
    EXPECT_TRUE(Passes(Balanced12));
    EXPECT_EQ(ref.CurrentDefn, &ref.Slot(North, 2));
    third.MinPoints = third.MaxPoints = 13;
    Use(2, third);
    EXPECT_FALSE(Passes(Balanced12));
}

TEST_F(Checks, rangesAreInclusiveAndCanBeUnsatisfiable) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.MinPoints = d.MaxPoints = 12;
    Use(0, d);
    EXPECT_TRUE(Passes(Balanced12));
    EXPECT_FALSE(Passes(Strong));
    d.MinPoints = 13;
    d.MaxPoints = 11;
    Use(0, d);
    EXPECT_FALSE(Passes(Balanced12));
}

TEST_F(Checks, suitPointLimitRefusesAceQueenOfDiamonds) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.MinDPoints = 0;
    d.MaxDPoints = 3;
    Use(0, d);
    EXPECT_FALSE(Passes(test::HandOf({27, 29, 1, 2, 14, 15, 40, 41, 42, 5, 6, 7, 8})));
    EXPECT_TRUE(Passes(test::HandOf({30, 31, 1, 2, 14, 15, 40, 41, 42, 5, 6, 7, 8})));
}

TEST_F(Checks, patternListWithoutFourThreeThreeThreeRefusesIt) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.YesShapes.erase(std::find(d.YesShapes.begin(), d.YesShapes.end(), "4333"));
    ASSERT_EQ(d.YesShapes.size(), 38u);
    Use(0, d);
    EXPECT_FALSE(Passes(Balanced12));
    EXPECT_TRUE(Passes(Strong));
}

TEST_F(Checks, thirtyNineEntriesAcceptEveryHandWithoutComparing) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.YesShapes.assign(39, "nonsense");
    Use(0, d);
    EXPECT_TRUE(Passes(Balanced12));
    d.YesShapes.resize(38);
    Use(0, d);
    EXPECT_FALSE(Passes(Balanced12));
    d.YesShapes.clear();
    Use(0, d);
    EXPECT_FALSE(Passes(Strong));
}

TEST_F(Checks, mustHaveCardsMustAllBeHeld) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    Use(0, d);
    EXPECT_TRUE(Passes(Balanced12));
    d.MustHave[1] = true;  // SA
    d.MustHave[15] = true; // HK
    Use(0, d);
    EXPECT_TRUE(Passes(Balanced12));
    d.MustHave[15] = false;
    d.MustHave[14] = true; // HA, which Balanced12 lacks
    Use(0, d);
    EXPECT_FALSE(Passes(Balanced12));
}

TEST_F(Checks, lengthMaximumOfTenRefusesElevenCardSuit) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.MaxSLength = 10;
    Use(0, d);
    EXPECT_FALSE(Passes(ElevenSpades));
    d.MaxSLength = 11;
    Use(0, d);
    EXPECT_TRUE(Passes(ElevenSpades));
}

TEST_F(Checks, controlsAndHonoursAreTestedWhateverTheEditorShowed) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.MaxAK = 3; // Balanced12: SA (2) + HK (1)
    Use(0, d);
    EXPECT_TRUE(Passes(Balanced12));
    d.MaxAK = 2;
    Use(0, d);
    EXPECT_FALSE(Passes(Balanced12));
    d = HandDefinition::AcceptingEveryHand();
    d.MinAKQ = 8; // 3 + 1 + 2 + 1 = 7
    Use(0, d);
    EXPECT_FALSE(Passes(Balanced12));
    d = HandDefinition::AcceptingEveryHand();
    d.MinTop3S = 2; // SA SQ
    d.MaxTop3S = 2;
    Use(0, d);
    EXPECT_TRUE(Passes(Balanced12));
    d.MaxTop5H = 0;
    Use(0, d);
    EXPECT_FALSE(Passes(Balanced12));
}

// Random hands against random definitions: both check paths agree.
TEST_F(Checks, dealerAndDocumentedChecksAgreeOnRandomCases) {
    std::mt19937 rng(2024);
    std::vector<CardCode> pack(FullPack.begin(), FullPack.end());
    int passes = 0;
    for (int round = 0; round < 3000; ++round) {
        HandDefinition d = HandDefinition::AcceptingEveryHand();
        std::uniform_int_distribution<int> pick(0, 37);
        for (int k = 0; k < 3; ++k) {
            int i = pick(rng);
            // Tighten one limit towards typical values.
            d.Limit(i) = static_cast<std::uint8_t>(i % 2 ? rng() % 14 : rng() % 5);
        }
        if (rng() % 3 == 0) d.YesShapes.resize(rng() % 39);
        if (rng() % 4 == 0) d.MustHave[1 + rng() % 52] = true;
        Use(static_cast<int>(rng() % 2), d);
        if (rng() % 2) Use(0, HandDefinition::AcceptingEveryHand()), Use(0, d);
        std::shuffle(pack.begin(), pack.end(), rng);
        Hand h;
        std::copy(pack.begin(), pack.begin() + 13, h.begin());
        passes += Passes(h);
        if (HasFailure()) break;
    }
    EXPECT_GT(passes, 100);
    EXPECT_LT(passes, 2900);
}
