// The odds of definitions: a seat's alternatives counted together, held to
// inclusion and exclusion done by hand and to a million random hands; the
// reasons given for a definition that accepts no hand, each one a proof.
#include "core/dealing/HandCounts.h"
#include "core/dealing/SecureDealer.h"
#include "core/definitions/DefinitionKeys.h"
#include "core/odds/Odds.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>
#include <vector>

namespace zelv {
namespace {

std::uint64_t Binomial(int n, int k) {
    std::uint64_t r = 1;
    for (int i = 1; i <= k; ++i) r = r * static_cast<std::uint64_t>(n - k + i) / static_cast<std::uint64_t>(i);
    return r;
}

HandDefinition Every() { return HandDefinition::AcceptingEveryHand(); }

SecureKey Key(std::uint8_t first) {
    SecureKey key{};
    for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(first + 13 * i);
    return key;
}

// 4-4-4-1 hands, and hands with exactly one spade: the 4-4-4-1 hands with
// a singleton spade are counted in both.
TEST(Odds, twoOverlappingDefinitionsCountAsInclusionAndExclusionByHand) {
    HandDefinition shape = Every();
    shape.YesShapes = {"4441"};
    HandDefinition singleton = Every();
    singleton.MinSLength = singleton.MaxSLength = 1;
    const std::uint64_t c4 = Binomial(13, 4);
    const std::uint64_t a = 4 * c4 * c4 * c4 * 13, b = 13 * Binomial(39, 12), both = c4 * c4 * c4 * 13;
    ASSERT_EQ(CountHands(shape), a);
    ASSERT_EQ(CountHands(singleton), b);
    EXPECT_EQ(CountHands(IntersectDefinitions(shape, singleton)), both);
    const HandDefinition pair[] = {shape, singleton};
    EXPECT_EQ(CountAlternatives(pair), a + b - both);
    // The same alternative twice adds nothing; one alone is its own count.
    const HandDefinition again[] = {shape, singleton, shape};
    EXPECT_EQ(CountAlternatives(again), a + b - both);
    EXPECT_EQ(CountAlternatives(std::span(pair, 1)), a);
}

// Probabilities counted exactly, against the share of a million random
// hands the engine accepts (each definition, and three alternatives
// together): the sum of one-degree chi-squares stays below a bound that a
// correct count exceeds about once in a billion runs.
TEST(Odds, countedProbabilitiesMatchAMillionRandomHands) {
    std::vector<HandDefinition> defs;
    HandDefinition nt = Every();
    nt.MinPoints = 15;
    nt.MaxPoints = 17;
    nt.YesShapes = {"4333", "4432", "5332"};
    defs.push_back(nt);
    HandDefinition weakTwo = Every();
    weakTwo.MinSLength = weakTwo.MaxSLength = 6;
    weakTwo.MinTop5S = 2;
    weakTwo.MinPoints = 5;
    weakTwo.MaxPoints = 10;
    weakTwo.MaxHLength = 3;
    defs.push_back(weakTwo);
    HandDefinition controls = Every();
    controls.MinAK = 3;
    controls.MaxAK = 5;
    controls.MinTop3H = 1;
    defs.push_back(controls);
    HandDefinition held = Every();
    held.MustHave[MakeCard(0, 0)] = held.MustHave[MakeCard(1, 1)] = true;
    held.MaxDPoints = 3;
    defs.push_back(held);
    const std::vector<HandDefinition> alternatives = {nt, weakTwo, held};

    std::vector<double> p;
    for (const HandDefinition& d : defs)
        p.push_back(static_cast<double>(CountHands(d)) / static_cast<double>(AllHands));
    p.push_back(static_cast<double>(CountAlternatives(alternatives)) / static_cast<double>(AllHands));

    std::vector<DealEngine> judges(defs.size() + 1);
    for (std::size_t i = 0; i < defs.size(); ++i) {
        judges[i].SetConstrained(North, true);
        judges[i].SetSlot(North, 0, defs[i]);
    }
    judges.back().SetConstrained(North, true);
    for (std::size_t i = 0; i < alternatives.size(); ++i)
        judges.back().SetSlot(North, static_cast<int>(i), alternatives[i]);

    SecureRandom random(Key(3));
    constexpr int Hands = 1000000;
    std::vector<double> met(judges.size(), 0.0);
    for (int n = 0; n < Hands; ++n) {
        CardMask pack = AllCardsMask;
        const CardMask hand = random.DrawFromPack(pack, 52, 13);
        for (std::size_t i = 0; i < judges.size(); ++i) met[i] += judges[i].SeatMeetsSetup(North, hand);
    }
    double chi = 0;
    for (std::size_t i = 0; i < met.size(); ++i) {
        const double expected = Hands * p[i];
        ASSERT_GT(expected, 1000) << i;
        chi += (met[i] - expected) * (met[i] - expected) / (expected * (1 - p[i]));
    }
    // Five degrees of freedom: 45 is passed about once in 10^8 runs.
    EXPECT_LT(chi, 45.0);
}

struct Impossible {
    const char* Why;
    std::function<void(HandDefinition&)> Make;
};

const Impossible Reasons[] = {
    {"no shape is accepted (the Yes list is empty)", [](HandDefinition& d) { d.YesShapes.clear(); }},
    {"the must-have cards are 14, more than the 13 a hand holds",
     [](HandDefinition& d) {
         for (int c = 1; c <= 14; ++c) d.MustHave[c] = true;
     }},
    {"Minimum points 30 is above the maximum 10",
     [](HandDefinition& d) {
         d.MinPoints = 30;
         d.MaxPoints = 10;
     }},
    {"Minimum AK controls 13 is above the 12 a hand can have", [](HandDefinition& d) { d.MinAK = 13; }},
    {"Minimum diamond length 6 is above the maximum 4",
     [](HandDefinition& d) {
         d.MinDLength = 6;
         d.MaxDLength = 4;
     }},
    {"Minimum club points 11 is above the 10 a suit can have", [](HandDefinition& d) { d.MinCPoints = 11; }},
    {"the must-have cards give 3 spades, the spade maximum length is 2",
     [](HandDefinition& d) {
         d.MaxSLength = 2;
         d.MustHave[MakeCard(0, 5)] = d.MustHave[MakeCard(0, 8)] = d.MustHave[MakeCard(0, 12)] = true;
     }},
    {"the must-have cards give 4 spade points, the spade maximum is 3",
     [](HandDefinition& d) {
         d.MaxSPoints = 3;
         d.MustHave[MakeCard(0, 0)] = true;
     }},
    {"the must-have cards give 12 points, the maximum is 10",
     [](HandDefinition& d) {
         d.MaxPoints = 10;
         for (int s = 0; s < 4; ++s) d.MustHave[MakeCard(s, 1)] = true;
     }},
    {"the minimum suit lengths add up to 14, more than the 13 cards of a hand",
     [](HandDefinition& d) {
         d.MinSLength = d.MinHLength = d.MinDLength = d.MinCLength = 4;
         d.MinCLength = 2;
     }},
    {"no accepted shape has a suit of 5 to 7 hearts",
     [](HandDefinition& d) {
         d.YesShapes = {"4333", "4432", "4441"};
         d.MinHLength = 5;
         d.MaxHLength = 7;
     }},
    {"no accepted shape fits the suit lengths together: spades 5 to 13, hearts 5 to 13, diamonds 0 to 13 and "
     "clubs 0 to 13",
     [](HandDefinition& d) {
         d.YesShapes = {"5431", "6322"};
         d.MinSLength = d.MinHLength = 5;
     }},
    {"no heart holding of 0 to 1 cards has 7 to 10 points",
     [](HandDefinition& d) {
         d.MaxHLength = 1;
         d.MinHPoints = 7;
     }},
    {"no hand has 0 to 20 points with 12 AK controls and 0 to 24 AKQ controls",
     [](HandDefinition& d) {
         d.MaxPoints = 20;
         d.MinAK = 12;
     }},
    {"the suit maxima allow at most 20 points, the minimum is 30",
     [](HandDefinition& d) {
         d.MinPoints = 30;
         d.MaxSPoints = d.MaxHPoints = d.MaxDPoints = d.MaxCPoints = 5;
     }},
    {"no shape is accepted (the Yes list names none of the 39)", [](HandDefinition& d) { d.YesShapes = {"4444"}; }},
    {"the must-have cards give 2 of the top 3 diamond honours, the maximum is 1",
     [](HandDefinition& d) {
         d.MaxTop3D = 1;
         d.MustHave[MakeCard(2, 0)] = d.MustHave[MakeCard(2, 1)] = true;
     }},
    {"the must-have cards give 2 of the top 5 heart honours, the maximum is 1",
     [](HandDefinition& d) {
         d.MaxTop5H = 1;
         d.MustHave[MakeCard(1, 0)] = d.MustHave[MakeCard(1, 4)] = true;
     }},
    {"the must-have cards give 3 AKQ controls, the maximum is 2",
     [](HandDefinition& d) {
         d.MaxAKQ = 2;
         d.MustHave[MakeCard(0, 0)] = true;
     }},
    {"the maximum suit lengths add up to 12, fewer than the 13 cards of a hand",
     [](HandDefinition& d) { d.MaxSLength = d.MaxHLength = d.MaxDLength = d.MaxCLength = 3; }},
    {"no accepted shape fits the suit lengths the suit limits leave: spades 5 to 13, hearts 0 to 13, diamonds 0 to "
     "13 and clubs 0 to 13",
     [](HandDefinition& d) {
         d.YesShapes = {"4333"};
         d.MinTop5S = 5;
     }},
    {"no spade holding meets the spade top-3 honours limit 1 to 3 together with its length 0 to 13 and points 0",
     [](HandDefinition& d) {
         d.MaxSPoints = 0;
         d.MinTop3S = 1;
     }},
    {"no heart holding with the must-have cards meets the heart points limit 4 to 10 together with its length 1",
     [](HandDefinition& d) {
         d.MinHLength = d.MaxHLength = 1;
         d.MinHPoints = 4;
         d.MustHave[MakeCard(1, 1)] = true;
     }},
    {"the suit minima need at least 24 points, the maximum is 20",
     [](HandDefinition& d) {
         d.MaxPoints = 20;
         d.MinSPoints = d.MinHPoints = d.MinDPoints = d.MinCPoints = 6;
     }},
    // A number the file held outside 0 to 255 is quoted as the file has it.
    {"Minimum points 251 (read from MinPoints=-5) is above the maximum 17 (read from MaxPoints=273)",
     [](HandDefinition& d) {
         d.MinPoints = 251;
         d.MaxPoints = 17;
         d.Notes.Wrapped = {{LimMinPoints, "-5"}, {LimMaxPoints, "273"}};
     }},
    {"Minimum heart length 14 (read from MinHLength=270) is above the 13 cards a suit has",
     [](HandDefinition& d) {
         d.MinHLength = 14;
         d.MaxHLength = 14;
         d.Notes.Wrapped = {{SuitLimitIndex(GroupLength, 1, false), "270"}};
     }},
};

TEST(Odds, eachReasonForNoHandIsFoundAndWordedForTheTeacher) {
    for (const Impossible& c : Reasons) {
        HandDefinition d = Every();
        c.Make(d);
        const DefinitionOdds odds = OddsOfDefinition(d);
        EXPECT_EQ(odds.Hands, 0u) << c.Why;
        EXPECT_EQ(odds.Reason, c.Why);
    }
}

// Definitions at the edge of possible: each accepts some hand and is given
// no reason; and over many random definitions, whenever a reason is given
// the count is 0.
TEST(Odds, aDefinitionThatAcceptsSomeHandIsNeverGivenAReason) {
    HandDefinition exact = Every();
    exact.MinPoints = exact.MaxPoints = 37;
    HandDefinition allSpades = Every();
    for (int r = 0; r < 13; ++r) allSpades.MustHave[MakeCard(0, r)] = true;
    allSpades.YesShapes = {"13000"};
    allSpades.MinSLength = 13;
    HandDefinition tight = Every();
    tight.MaxSLength = 1;
    tight.MinSPoints = tight.MaxSPoints = 4;
    tight.MinAK = tight.MaxAK = 8;
    tight.MaxPoints = 16;
    for (const HandDefinition& d : {exact, allSpades, tight}) {
        const DefinitionOdds odds = OddsOfDefinition(d);
        EXPECT_GT(odds.Hands, 0u);
        EXPECT_EQ(odds.Reason, "");
        EXPECT_EQ(NoHandReason(d), "");
    }
    EXPECT_EQ(OddsOfDefinition(exact).Hands, 4u);
    EXPECT_EQ(OddsOfDefinition(allSpades).Hands, 1u);

    SecureRandom random(Key(9));
    const auto& patterns = PatternStrings();
    int impossible = 0;
    for (int round = 0; round < 400; ++round) {
        HandDefinition d = Every();
        for (int i = 0; i < LimitCount; i += 2) {
            if (random.Below(4)) continue;
            const int most = i < 2             ? 37
                             : i < 6           ? 24
                             : i < GroupLength ? 10
                             : i < GroupTop3   ? 13
                             : i < GroupTop5   ? 3
                                               : 5;
            d.Limit(i) = static_cast<std::uint8_t>(random.Below(static_cast<std::uint32_t>(most) + 2));
            d.Limit(i + 1) = static_cast<std::uint8_t>(random.Below(static_cast<std::uint32_t>(most) + 2));
        }
        if (random.Below(2)) {
            d.YesShapes.clear();
            for (const auto& p : patterns)
                if (random.Below(6) == 0) d.YesShapes.push_back(p);
        }
        for (int k = static_cast<int>(random.Below(4)); k > 0; --k) d.MustHave[1 + random.Below(52)] = true;
        const std::string why = NoHandReason(d);
        const std::uint64_t hands = CountHands(d);
        if (!why.empty()) {
            EXPECT_EQ(hands, 0u) << why;
        }
        impossible += hands == 0;
    }
    EXPECT_GT(impossible, 50); // the reasons were put to the test
}

TEST(Odds, textsGiveOneInNAndAShareThatIsNeverRoundedToAll) {
    EXPECT_EQ(HandsText(AllHands / 2), "1 hand in 2.00 (50%)");
    EXPECT_EQ(HandsText(CountHands([] {
                  HandDefinition d = Every();
                  d.YesShapes = {"4441"};
                  return d;
              }())),
              "1 hand in 33.4 (3.0%)");
    EXPECT_EQ(HandsText(4), "1 hand in 159,000,000,000 (0.00000000063%)");
    EXPECT_EQ(HandsText(AllHands - 1), "all but 1 hand in 635,000,000,000 (99.9999999998%)");
    EXPECT_EQ(HandsText(AllHands / 4 * 3), "all but 1 hand in 4.00 (75%)");
    EXPECT_EQ(HandsText(AllHands), "every hand");
    EXPECT_EQ(HandsText(0), "no hand");
}

} // namespace
} // namespace zelv
