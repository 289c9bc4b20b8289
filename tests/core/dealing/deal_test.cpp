#include "core/dealing/ClassicRandom.h"
#include "core/dealing/DealEngine.h"
#include "core/formats/DealFiles.h"
#include "support/EngineHands.h"
#include "support/ReferenceBoard.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace zelv;

namespace {

CardMask MaskOf(const Hand& h) {
    CardMask m = 0;
    for (CardCode c : h) m |= CardBit(c);
    return m;
}

struct DealCase {
    const char* Name;
    bool SeedFirst;
    // Per seat: constrained, must-have cards of slot 1, minimum points.
    bool Constrained[4];
    std::vector<int> Must[4];
    int MinPoints[4];
};

class DealMatchesReference : public ::testing::TestWithParam<DealCase> {
  protected:
    static DealEngine BoardOf(const DealCase& c) {
        DealEngine b;
        b.SeedFirst = c.SeedFirst;
        for (int seat = 0; seat < 4; ++seat) {
            b.SetConstrained(seat, c.Constrained[seat]);
            HandDefinition d = HandDefinition::AcceptingEveryHand();
            d.MinPoints = static_cast<std::uint8_t>(c.MinPoints[seat]);
            for (int code : c.Must[seat]) d.MustHave[static_cast<std::size_t>(code)] = true;
            b.SetSlot(seat, 0, d);
        }
        return b;
    }
};

// Generator steps from one seed to a later one, taken one at a time.
std::uint64_t StepsBetween(std::uint32_t from, std::uint32_t to) {
    ClassicRandom r(from);
    std::uint64_t steps = 0;
    for (; r.Seed != to && steps < 100000; ++steps) r.Random(52);
    return steps;
}

} // namespace

TEST_P(DealMatchesReference, sameHandsAndSameSeedOnEveryAttempt) {
    const DealCase& c = GetParam();
    DealEngine b = BoardOf(c);
    // The reference deals and judges with the same set-up, card by card.
    test::ReferenceBoard ref(b);
    std::uint32_t start = 0xC0FFEEu;
    int accepted = 0;
    for (int attempt = 0; attempt < 3000; ++attempt) {
        ClassicRandom refRandom(start);
        ref.Deal(refRandom);
        b.Random = ClassicRandom(start);
        b.DealBoard();
        ASSERT_EQ(b.Random.Seed, refRandom.Seed) << "attempt " << attempt;
        // A turned-down attempt leaves only its seed behind; an accepted
        // one, its hands.
        for (int seat = 0; seat < 4 && b.Accepted; ++seat) {
            Hand sorted = ref.SeatHand(seat);
            std::sort(sorted.begin(), sorted.end());
            ASSERT_EQ(test::DealtHand(b, seat), sorted) << "attempt " << attempt << " seat " << seat;
        }
        // The reference's own verdict, from the documented checks.
        ref.EvaluateHands();
        ref.MeasureShapes();
        ASSERT_EQ(b.Accepted, ref.CheckBoard()) << "attempt " << attempt;
        accepted += b.Accepted;
        start = b.Random.Seed;
    }
    EXPECT_GT(accepted, 0);
}

INSTANTIATE_TEST_SUITE_P(
    SetUps, DealMatchesReference,
    ::testing::Values(
        DealCase{"AllFree", true, {false, false, false, false}, {}, {0, 0, 0, 0}},
        DealCase{"NorthStrong", true, {true, false, false, false}, {}, {16, 0, 0, 0}},
        DealCase{"NorthSeededAceKing", true, {true, false, false, false}, {{1, 15}, {}, {}, {}}, {0, 0, 0, 0}},
        DealCase{"NorthAceKingUnseeded", false, {true, false, false, false}, {{1, 15}, {}, {}, {}}, {0, 0, 0, 0}},
        DealCase{
            "EveryoneSeeded", true, {true, true, true, true}, {{1}, {2, 14}, {27, 28, 29}, {40, 52}}, {0, 0, 0, 0}},
        DealCase{"WestHoldsThirteen",
                 true,
                 {false, false, false, true},
                 {{}, {}, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
                 {0, 0, 0, 0}},
        DealCase{"NorthHoldsThirteen",
                 true,
                 {true, false, true, false},
                 {{14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26}, {}, {}, {}},
                 {0, 0, 10, 0}}),
    [](const auto& test) { return std::string(test.param.Name); });

// The draws of each attempt, as the card-by-card reference makes them, are
// what the generator has left: an attempt that needs one more is not made.
TEST_P(DealMatchesReference, anAttemptIsMadeOnlyWhileTheGeneratorHasItsDrawsLeft) {
    const DealCase& c = GetParam();
    const DealEngine base = BoardOf(c);
    test::ReferenceBoard ref(base);
    constexpr int Attempts = 25;
    const std::uint32_t start = 0xBADC0DEu;
    std::uint64_t draws = 0;
    std::uint32_t after = start;
    for (int i = 0; i < Attempts; ++i) {
        ClassicRandom r(after);
        ref.Deal(r);
        draws += StepsBetween(after, r.Seed);
        after = r.Seed;
    }
    for (bool portable : {true, false}) {
        for (std::uint64_t left : {draws, draws - 1}) {
            DealEngine b = base;
            b.PortableDraws = portable;
            b.Random = ClassicRandom(start);
            b.DrawsLeft = left;
            int made = 0;
            std::uint32_t before = b.Random.Seed;
            for (; made <= Attempts; ++made) {
                before = b.Random.Seed;
                b.DealBoard();
                if (b.SequenceSpent) break;
            }
            const int expected = left == draws ? Attempts : Attempts - 1;
            EXPECT_EQ(made, expected) << "portable " << portable << ", draws left " << left;
            EXPECT_TRUE(b.SequenceSpent);
            EXPECT_FALSE(b.Accepted);
            EXPECT_EQ(b.Random.Seed, before); // the attempt not made draws nothing
            if (left == draws) {
                EXPECT_EQ(b.Random.Seed, after);
            }
        }
    }
}

TEST(DealBoard, allSeatsFreeAcceptsEveryAttempt) {
    DealEngine b;
    b.Random = ClassicRandom(1);
    for (int i = 0; i < 200; ++i) {
        b.DealBoard();
        ASSERT_TRUE(b.Accepted);
    }
}

TEST(DealBoard, seededAceOfSpadesStaysWithNorth) {
    DealEngine b;
    b.SeedFirst = true;
    b.SetConstrained(North, true);
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.MustHave[1] = true;
    b.SetSlot(North, 0, d);
    b.Random = ClassicRandom(5);
    for (int i = 0; i < 500; ++i) {
        b.DealBoard();
        ASSERT_TRUE(b.Accepted);
        ASSERT_TRUE(b.Dealt[North] & CardBit(1));
        ASSERT_EQ(b.Display[North][0].front(), 'A');
    }
}

TEST(DealBoard, thirteenSeededCardsOfNorthDrawNothingForNorth) {
    DealEngine b;
    b.SeedFirst = true;
    b.SetConstrained(North, true);
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    for (int c = 40; c <= 52; ++c) d.MustHave[static_cast<std::size_t>(c)] = true;
    b.SetSlot(North, 0, d);
    // The draws then fill South and East alone: the same number of draws as
    // dealing South and East from a pack without the clubs.
    b.Random = ClassicRandom(77);
    b.DealBoard();
    ASSERT_TRUE(b.Accepted);
    EXPECT_EQ(b.Display[North][3], "AKQJT98765432");
    EXPECT_EQ(b.Display[North][0], "");
}

TEST(DealBoard, everyAcceptedBoardHoldsThePackOnceInAscendingHands) {
    DealEngine b;
    b.SetConstrained(South, true);
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.MinPoints = 12;
    b.SetSlot(South, 0, d);
    b.Random = ClassicRandom(31337);
    int accepted = 0;
    for (int i = 0; i < 2000; ++i) {
        b.DealBoard();
        if (!b.Accepted) continue;
        ++accepted;
        CardMask all = 0;
        for (int seat = 0; seat < 4; ++seat) {
            const Hand h = test::DealtHand(b, seat);
            ASSERT_TRUE(std::is_sorted(h.begin(), h.end()));
            ASSERT_EQ(all & MaskOf(h), 0u);
            all |= MaskOf(h);
        }
        ASSERT_EQ(all, AllCardsMask);
        test::ReferenceBoard ref(b);
        ref.Hands = {test::DealtHand(b, North), test::DealtHand(b, South), test::DealtHand(b, East),
                     test::DealtHand(b, West)};
        ref.EvaluateHands();
        ASSERT_GE(ref.HandPoints[South], 12);
    }
    EXPECT_GT(accepted, 100);
}

TEST(DealBoard, rejectedAttemptKeepsDisplayAndWritesNothing) {
    test::TempDir dir;
    DealFiles files;
    ASSERT_TRUE(files.OpenDealFiles(dir.path(), "T", false, nullptr));
    DealEngine b;
    b.Random = ClassicRandom(3);
    test::DealAndWrite(b, files);
    ASSERT_TRUE(b.Accepted);
    DisplayTable before = b.Display;
    b.SetConstrained(North, true);
    HandDefinition never = HandDefinition::AcceptingEveryHand();
    never.MinPoints = 38;
    b.SetSlot(North, 0, never);
    for (int i = 0; i < 100; ++i) {
        test::DealAndWrite(b, files);
        ASSERT_FALSE(b.Accepted);
    }
    EXPECT_EQ(b.Display, before);
    EXPECT_EQ(files.BoardsWritten(), 1u);
    ASSERT_TRUE(files.CloseDealFiles(nullptr));
    EXPECT_EQ(test::ReadText(dir.file("T.DGE")).size(), 128u);
    EXPECT_EQ(test::ReadText(dir.file("T.BRI")).size(), 128u);
}

TEST(DealBoard, decodeHoldingCutsAndIgnoresOutOfRange) {
    DisplayTable table;
    test::DecodeHolding(table, 2, 1, "AKQJT98765432XYZ");
    EXPECT_EQ(table[2][1], "AKQJT98765432");
    DisplayTable before = table;
    test::DecodeHolding(table, 4, 0, "A");
    test::DecodeHolding(table, 0, -1, "A");
    test::DecodeHolding(table, -1, 4, "A");
    EXPECT_EQ(table, before);
}

namespace {

// Deals `attempts` attempts over a chain of seeds on each of several
// set-ups, by the given draw loop and by the reference card by card: the
// seed after each attempt, the verdict (the engine's check of the
// reference's hands) and every accepted board must agree.
void ExpectReferenceDraws(bool portable, int attempts) {
    struct SetUp {
        bool SeedFirst;
        int MinPoints[4]; // -1: the seat takes any hand
        std::vector<int> Must[4];
    };
    const SetUp setUps[] = {
        {true, {16, -1, -1, -1}, {}},
        {true, {-1, 14, -1, -1}, {{}, {1}, {}, {}}},
        {false, {-1, -1, 11, -1}, {{}, {}, {14, 15}, {}}},
        {true, {-1, -1, -1, 15}, {}},
        {true, {0, -1, 10, -1}, {{14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26}, {}, {}, {}}},
        {true, {12, 0, 0, 10}, {{1}, {2, 14}, {27, 28, 29}, {40, 52}}},
        {true, {-1, -1, -1, -1}, {}},
    };
    std::uint32_t seed = portable ? 0x5EED1234u : 0xBADC0DEu;
    for (const SetUp& u : setUps) {
        DealEngine b;
        b.PortableDraws = portable;
        b.SeedFirst = u.SeedFirst;
        for (int seat = 0; seat < 4; ++seat) {
            b.SetConstrained(seat, u.MinPoints[seat] >= 0);
            HandDefinition d = HandDefinition::AcceptingEveryHand();
            d.MinPoints = static_cast<std::uint8_t>(std::max(u.MinPoints[seat], 0));
            for (int code : u.Must[seat]) d.MustHave[static_cast<std::size_t>(code)] = true;
            b.SetSlot(seat, 0, d);
        }
        test::ReferenceBoard ref(b);
        DealEngine judge = b;
        int accepted = 0;
        b.Random = ClassicRandom(seed);
        for (int attempt = 0; attempt < attempts; ++attempt) {
            ClassicRandom refRandom(seed);
            ref.Deal(refRandom);
            b.DealBoard();
            ASSERT_EQ(b.Random.Seed, refRandom.Seed) << "attempt " << attempt;
            bool pass = true;
            for (int seat = 0; seat < 4; ++seat) pass = pass && judge.SeatMeetsSetup(seat, MaskOf(ref.SeatHand(seat)));
            ASSERT_EQ(b.Accepted, pass) << "attempt " << attempt;
            if (pass) {
                ++accepted;
                for (int seat = 0; seat < 4; ++seat)
                    ASSERT_EQ(b.Dealt[static_cast<std::size_t>(seat)], MaskOf(ref.SeatHand(seat)))
                        << "attempt " << attempt;
            }
            seed = refRandom.Seed;
        }
        EXPECT_GT(accepted, 0);
        EXPECT_LT(accepted, u.MinPoints[0] < 0 && u.MinPoints[3] < 0 && u.MinPoints[1] < 0 && u.MinPoints[2] < 0
                                ? attempts + 1
                                : attempts);
    }
}

} // namespace

TEST(DrawPaths, portableLoopDealsTheReferenceBoardsAndSeeds) { ExpectReferenceDraws(true, 200000); }

TEST(DrawPaths, vectorLoopDealsTheReferenceBoardsAndSeeds) {
    if (!DealEngine::VectorDrawsAvailable()) GTEST_SKIP() << "this processor has no AVX2";
    ExpectReferenceDraws(false, 200000);
}
