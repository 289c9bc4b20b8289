// The checks and diagrams of `show`, called directly.
#include "cli/BoardText.h"

#include <gtest/gtest.h>

namespace zelv {
namespace {

DisplayTable SpadesNorth() {
    DisplayTable t;
    t[North] = {"AKQJT98765432", "", "", ""};
    t[East] = {"", "AKQJT98765432", "", ""};
    t[South] = {"", "", "AKQJT98765432", ""};
    t[West] = {"", "", "", "AKQJT98765432"};
    return t;
}

TEST(DealProblem, wholeDealHasNone) { EXPECT_EQ(DealProblem(SpadesNorth()), ""); }

TEST(DealProblem, reportsWhatIsWrong) {
    struct Case {
        int Seat, Suit;
        std::string Holding, Mentions;
    };
    const std::vector<Case> cases = {
        {North, 0, "AKQJT9876543", "North holds 12 cards"},
        {East, 1, "AKQJT9876543X", "not a rank letter"},
        {South, 2, "KAQJT98765432", "not in order"},
        {West, 0, "A", "held twice"},
    };
    for (const auto& c : cases) {
        DisplayTable t = SpadesNorth();
        t[c.Seat][c.Suit] = c.Holding;
        if (c.Seat == West) t[West][3] = "KQJT98765432";
        EXPECT_NE(DealProblem(t).find(c.Mentions), std::string::npos) << c.Holding << ": " << DealProblem(t);
    }
}

TEST(BoardDiagram, placesTheSeatsAroundTheTableAndMarksVoids) {
    const std::string d = BoardDiagram(3, SpadesNorth());
    EXPECT_EQ(d.rfind("Board 3: Dealer S - Vul. E/W\n", 0), 0u);
    EXPECT_NE(d.find("\n          S AKQJT98765432\n          H -\n"), std::string::npos) << d;
    EXPECT_NE(d.find("\nS -                 S -\n"), std::string::npos) << d;
    EXPECT_NE(d.find("\nC AKQJT98765432     C -\n"), std::string::npos) << d;
    EXPECT_NE(d.find("\n          D AKQJT98765432\n"), std::string::npos) << d;
}

} // namespace
} // namespace zelv
