#include "core/conditions/SetupCondition.h"
#include "core/dealing/DealRun.h"
#include "core/definitions/DefinitionText.h"
#include "core/formats/DgeFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace zelv;

namespace {

// Points and suit lengths counted from a board file's rank letters, apart
// from the script language and the engine.
int PointsOf(const DisplayRow& row) {
    int points = 0;
    for (const std::string& suit : row)
        for (char c : suit) points += c == 'A' ? 4 : c == 'K' ? 3 : c == 'Q' ? 2 : c == 'J' ? 1 : 0;
    return points;
}
int Length(const DisplayRow& row, int suit) { return static_cast<int>(row[static_cast<std::size_t>(suit)].size()); }

// North opens 1NT, South any; together 25+ and no eight-card major fit.
constexpr const char* GameNoMajorFit =
    "// North-South: game values, no major fit\n"
    "fit = spades(north) + spades(south) >= 8 or hearts(north) + hearts(south) >= 8\n"
    "hcp(north) + hcp(south) >= 25 && !fit\n";

class ConditionRun : public ::testing::TestWithParam<std::tuple<bool, bool>> {
  protected:
    test::TempDir defs, hands;
    DealRunOptions o;

    void SetUp() override {
        DefinitionText nt = DefinitionText::Defaults();
        nt.Limit(LimMinPoints) = "15";
        nt.Limit(LimMaxPoints) = "17";
        nt.YesShapes = {" 4333", " 4432", " 5332"};
        test::WriteDefinition(defs.path(), "NT", nt);
        o.DefinitionsFolder = defs.path();
        o.OutputFolder = hands.path();
        o.Setup[North].Constrained = true;
        o.Setup[North].Names[0] = "NT";
        o.Boards = 20;
    }
    std::vector<DisplayTable> Boards() {
        DgeFile f;
        EXPECT_TRUE(f.Open(hands.file("ZELV.DGE"), nullptr));
        std::vector<DisplayTable> boards(f.BoardCount());
        for (std::size_t n = 0; n < boards.size(); ++n) EXPECT_EQ(f.ReadBoard(n + 1, boards[n]), DgeFile::Read::Ok);
        return boards;
    }
};

} // namespace

// Classic, secure on three threads and levelled: every board meets both the
// seat's definition and the condition, counted here from the file.
TEST_P(ConditionRun, everyBoardMeetsTheSeatsAndTheCondition) {
    const auto [secure, level] = GetParam();
    ConditionProblem problem;
    const auto condition = SetupCondition::Compile(GameNoMajorFit, &problem);
    ASSERT_TRUE(condition) << ConditionProblemText(problem);
    o.Condition = SetupCondition::Tests(condition);
    o.Secure = secure;
    o.Threads = 3;
    o.Level = level;
    if (level) o.Setup[North].Names[1] = "NT"; // two turns of the same opening
    if (!secure) o.Seed = 11;
    const DealRunResult r = RunDeal(o);
    ASSERT_EQ(r.Status, DealStatus::Done) << r.Error;
    EXPECT_GT(r.Attempts, r.Accepted * 2); // the condition refused boards the seat took
    const std::vector<DisplayTable> boards = Boards();
    ASSERT_EQ(boards.size(), 20u);
    for (std::size_t n = 0; n < boards.size(); ++n) {
        const DisplayTable& b = boards[n];
        const int north = PointsOf(b[North]);
        EXPECT_TRUE(north >= 15 && north <= 17) << "board " << n + 1;
        EXPECT_GE(north + PointsOf(b[South]), 25) << "board " << n + 1;
        EXPECT_LT(Length(b[North], 0) + Length(b[South], 0), 8) << "board " << n + 1;
        EXPECT_LT(Length(b[North], 1) + Length(b[South], 1), 8) << "board " << n + 1;
    }
    EXPECT_EQ(condition->Fault(), "");
}
INSTANTIATE_TEST_SUITE_P(ClassicSecureLevelled, ConditionRun,
                         ::testing::Values(std::tuple{false, false}, std::tuple{true, false}, std::tuple{true, true},
                                           std::tuple{false, true}));

// A condition every board meets changes nothing: the classic dealer's
// seeded files are the same bytes as without one, though written otherwise.
TEST_F(ConditionRun, aConditionEveryBoardMeetsKeepsTheClassicRunsBytes) {
    o.Seed = 2026;
    o.WriteDup = o.WriteDlm = true;
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    std::string before;
    for (const char* ext : {".DGE", ".BRI", ".PBN", ".DUP", ".DLM"}) before += test::ReadText(hands.file("ZELV") + ext);
    o.Condition = SetupCondition::Tests(SetupCondition::Compile("hcp(north) >= 0", nullptr));
    const DealRunResult r = RunDeal(o);
    ASSERT_EQ(r.Status, DealStatus::Done);
    std::string after;
    for (const char* ext : {".DGE", ".BRI", ".PBN", ".DUP", ".DLM"}) after += test::ReadText(hands.file("ZELV") + ext);
    EXPECT_EQ(after, before);
}

// What the Condition box and a generator file may not hold is said with
// its line and column; a fault met while dealing is kept to be said.
TEST(SetupCondition, faultsNameTheirLineAndColumn) {
    ConditionProblem p;
    EXPECT_FALSE(SetupCondition::Compile("hcp(north) >= 12 &&\n  (spades(south) >= 4", &p));
    EXPECT_EQ(p.Line, 2);
    EXPECT_EQ(p.Column, 22);
    EXPECT_NE(p.Message.find("')'"), std::string::npos) << p.Message;
    EXPECT_FALSE(SetupCondition::Compile("hcp(north) > 10\nproduce 10", &p));
    EXPECT_EQ(std::tie(p.Line, p.Column), std::tuple(2, 1));
    EXPECT_NE(p.Message.find("'produce'"), std::string::npos) << p.Message;
    EXPECT_FALSE(SetupCondition::Compile("strong = hcp(north) > 20\n", &p));
    EXPECT_EQ(p.Line, 2);
    EXPECT_NE(p.Message.find("expected a condition"), std::string::npos) << p.Message;
    EXPECT_EQ(ConditionProblemText({3, 7, "what"}), "Line 3, column 7: what");

    const auto zero = SetupCondition::Compile("/* a void divides */ hcp(north) / spades(north) >= 0", &p);
    ASSERT_TRUE(zero);
    const BoardTest test = SetupCondition::Tests(zero)();
    CardMask hands[4] = {};
    hands[North] = AllCardsMask >> 39; // every spade: no other suit
    EXPECT_TRUE(test(hands));
    hands[North] = (AllCardsMask >> 39) << 13; // every heart: no spade
    EXPECT_FALSE(test(hands));
    EXPECT_EQ(zero->Fault(), "1:33: division by zero"); // at the '/'
}
