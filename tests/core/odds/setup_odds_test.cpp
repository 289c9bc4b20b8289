// The estimate for a whole set-up: a built seat's attempts weighed back to a
// plain random deal's chance, held to the exact count and to plain
// rejection; and the words it is given in.
#include "core/dealing/HandCounts.h"
#include "core/dealing/SecureDealer.h"
#include "core/odds/SetupOdds.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zelv {
namespace {

HandDefinition Points(int lo, int hi) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.MinPoints = static_cast<std::uint8_t>(lo);
    d.MaxPoints = static_cast<std::uint8_t>(hi);
    return d;
}

// One seat whose hand is built from its exact counts (so every attempt
// passes): the estimate is the exact share of hands it accepts.
TEST(SetupEstimate, aBuiltSeatIsWeighedBackToTheExactShareOfHands) {
    DealEngine board;
    board.SetConstrained(North, true);
    board.SetSlot(North, 0, Points(22, 37));
    board.SetSlot(North, 1, Points(20, 21));
    const SetupEstimate e = EstimateSetup(board, 2.0);
    ASSERT_GT(e.Accepted, 0u);
    const HandDefinition both[] = {Points(22, 37), Points(20, 21)};
    const double exact = static_cast<double>(CountAlternatives(both)) / static_cast<double>(AllHands);
    EXPECT_NEAR(e.Probability, exact, exact * std::max(e.RelativeError, 0.01));
}

// Two seats, one built and one dealt: the estimate agrees with plain
// rejection, every seat dealt and tested, within both their errors.
TEST(SetupEstimate, twoSeatsAgreeWithPlainRejection) {
    DealEngine board;
    board.SetConstrained(North, true);
    board.SetSlot(North, 0, Points(18, 37));
    board.SetConstrained(South, true);
    HandDefinition longSpades = HandDefinition::AcceptingEveryHand();
    longSpades.MinSLength = 5;
    board.SetSlot(South, 0, longSpades);
    const SetupEstimate e = EstimateSetup(board, 2.0);
    ASSERT_GT(e.Accepted, 500u);

    SecureKey key{};
    key[0] = 7;
    SecureRandom random(key);
    SecureDealer plain(board, random, Construction::Never);
    std::array<CardMask, 4> hands;
    constexpr int Attempts = 400000;
    int met = 0;
    for (int i = 0; i < Attempts; ++i) met += plain.DealHands(hands);
    ASSERT_GT(met, 500);
    const double p = static_cast<double>(met) / Attempts;
    const double sigma = std::hypot(e.Probability * e.RelativeError / 1.96, std::sqrt(p * (1 - p) / Attempts));
    EXPECT_NEAR(e.Probability, p, 4 * sigma);
}

// Levelled, boards alternate between a rare alternative and a common one:
// a board costs on average half of each one's attempts per board.
TEST(SetupEstimate, levelledRunsAverageTheAttemptsPerBoardOverTheTurns) {
    DealEngine board;
    board.SetConstrained(North, true);
    board.SetSlot(North, 0, Points(20, 37));
    board.SetSlot(North, 2, Points(0, 12));
    const double rare = static_cast<double>(CountHands(Points(20, 37))) / static_cast<double>(AllHands);
    const double common = static_cast<double>(CountHands(Points(0, 12))) / static_cast<double>(AllHands);
    const double expected = 2.0 / (1.0 / rare + 1.0 / common);
    const SetupEstimate e = EstimateLevelled(board, 16, 2.0);
    ASSERT_GT(e.Accepted, 0u);
    EXPECT_NEAR(e.Probability, expected, expected * std::max(e.RelativeError, 0.01));
    // One board is only the first turn.
    EXPECT_NEAR(EstimateLevelled(board, 1, 1.0).Probability, rare, rare * 0.01);
    // The set-up itself is as it was.
    EXPECT_TRUE(board.Slot(North, 2).Defined);
}

// Seeded, North holds the ace of spades before anything is drawn; a South
// whose turn needs it can never be dealt, and the estimate says so rather
// than wait for it.
TEST(SetupEstimate, aTurnTheSeededCardsLeaveNoHandMakesTheRunImpossible) {
    HandDefinition ace = HandDefinition::AcceptingEveryHand();
    ace.MustHave[MakeCard(0, 0)] = true;
    DealEngine board;
    board.SeedFirst = true;
    board.SetConstrained(North, true);
    board.SetSlot(North, 0, ace);
    board.SetConstrained(South, true);
    board.SetSlot(South, 0, Points(0, 37));
    board.SetSlot(South, 1, ace);
    EXPECT_GT(EstimateLevelled(board, 1, 0.5).Accepted, 0u);
    const SetupEstimate e = EstimateLevelled(board, 2, 0.5);
    EXPECT_EQ(e.Accepted, 0u);
    EXPECT_EQ(EstimateText(e, 2), "no board: the cards placed first leave a seat no hand it accepts");
}

TEST(SetupEstimate, wordsGiveOneBoardInNWithItsErrorAndTheTimeForTheSet) {
    SetupEstimate e;
    e.Attempts = 41000;
    e.Accepted = 1000;
    e.Probability = 1.0 / 41000;
    e.RelativeError = 0.062;
    e.SecondsPerBoard = 0.0125;
    EXPECT_EQ(EstimateText(e, 16), "about 1 board in 41,000 (±7%); 16 boards in about 0.2 s");
    e.Accepted = 0;
    e.Upper = 3.0 / 41000;
    e.SecondsPerBoard = 1.0;
    EXPECT_EQ(EstimateText(e, 100), "rarer than 1 board in 14,000; 100 boards would take more than 1.7 min");
    EXPECT_EQ(DurationText(3 * 86400), "3 days");
    EXPECT_EQ(DurationText(5400), "1.5 h");
}

// Seats each of which can be dealt, but not together: more than a pack
// holds between them, or one card in two hands. Every choice of one
// definition per seat must clash, or, levelled, no board's own choice may.
TEST(SeatsClash, seatsThatCannotShareOnePackAreNamedWithTheReason) {
    HandDefinition ace = HandDefinition::AcceptingEveryHand();
    ace.MustHave[MakeCard(0, 0)] = true;
    HandDefinition hearts = HandDefinition::AcceptingEveryHand();
    hearts.MinHLength = 7;
    DealSetup setup;
    setup[North].Names = {"22+", "ACE", "ANY", "", ""};
    setup[South].Names = {"20-21", "ACE", "SEVEN", "", ""};
    setup[North].Constrained = setup[South].Constrained = true;
    auto clash = [&](std::vector<HandDefinition> north, std::vector<HandDefinition> south, bool seed, bool level,
                     std::uint64_t boards = 16) {
        DealEngine board;
        board.SeedFirst = seed;
        board.SetConstrained(North, true);
        board.SetConstrained(South, true);
        for (std::size_t p = 0; p < north.size(); ++p) board.SetSlot(North, static_cast<int>(p), north[p]);
        for (std::size_t p = 0; p < south.size(); ++p) board.SetSlot(South, static_cast<int>(p), south[p]);
        return SetupCannotBeDealt(board, setup, OddsOfSeats(board, setup, false), level, boards);
    };
    EXPECT_EQ(clash({Points(22, 37)}, {Points(20, 21)}, false, false),
              "North's definition 1 \"22+\" and South's definition 1 \"20-21\" need at least 42 points together "
              "(22 + 20), more than the 40 of the pack. No board can be dealt.");
    EXPECT_EQ(clash({Points(0, 37), ace}, {Points(0, 37), ace}, false, false), "");
    EXPECT_EQ(clash({ace}, {Points(0, 37), ace}, false, false), "");
    // Seeded, North holds the ace whichever definition it meets.
    EXPECT_EQ(clash({ace, Points(0, 37)}, {ace}, false, false), "");
    EXPECT_EQ(clash({ace, Points(0, 37)}, {ace}, true, false),
              "No board can be dealt: no choice of one definition for each seat fits one pack; for example North's "
              "definition 1 \"22+\" and South's definition 1 \"20-21\" both require the ace of spades (SA), which "
              "only one hand can hold.");
    EXPECT_EQ(clash({hearts}, {Points(0, 37), Points(0, 37), hearts}, false, false), "");
    EXPECT_EQ(clash({hearts}, {Points(0, 37), Points(0, 37), hearts}, false, true, 2), "");
    EXPECT_EQ(clash({hearts}, {Points(0, 37), Points(0, 37), hearts}, false, true, 3),
              "Board 3: North's definition 1 \"22+\" and South's definition 3 \"SEVEN\" need at least 14 hearts "
              "together (7 + 7), more than the 13 of the pack. Shared equally, every board takes its own "
              "definitions.");
}

// Past about a million classic attempts for the set asked for, the secure
// source is advised; a set that needs fewer is left alone.
TEST(SetupEstimate, theSecureSourceIsAdvisedPastAMillionClassicAttempts) {
    SetupEstimate e;
    e.Attempts = 41000;
    e.Accepted = 1000;
    e.Probability = 1.0 / 41000;
    EXPECT_EQ(SecureSourceAdvice(e, 24), "");
    EXPECT_EQ(SecureSourceAdvice(e, 500),
              "The classic source would need about 21,000,000 attempts for 500 boards; use the secure source");
    e.Accepted = 0;
    e.Upper = 3.0 / 41000;
    EXPECT_EQ(SecureSourceAdvice(e, 16), "");
    EXPECT_EQ(SecureSourceAdvice(e, 100),
              "The classic source would need more than 1,400,000 attempts for 100 boards; use the secure source");
}

} // namespace
} // namespace zelv
