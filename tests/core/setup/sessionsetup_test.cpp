// A session read from its files made ready to deal: each part's set-up,
// what is missing named by part, the odds of each part with the session's
// time, and the words for how each part ended.
#include "core/definitions/DefinitionText.h"
#include "core/setup/SessionSetup.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace zelv;

TEST(SessionSetup, partsBecomeTheRunsWithTheirOddsAndEndings) {
    test::TempDir defs, dir;
    DefinitionText strong = DefinitionText::Defaults();
    strong.Limit(LimMinPoints) = "20";
    test::WriteDefinition(defs.path(), "STRONG", strong);
    test::WriteText(dir.file("strong.GEN"), "[Main]\r\nNAnyCB=0\r\nNC1=STRONG\r\nShareEqually=1\r\n");
    test::WriteText(dir.file("fit.GEN"), "[Main]\r\nNAnyCB=1\r\nCondition=spades(north) + spades(south) >= 8\r\n");
    test::WriteText(dir.file("evening.SES"), "[Session]\nParts=2\nAnalysis=1\nDUP=1\nMix=1\nFirstBoard=9\n"
                                             "[Part1]\nGenerator=strong.GEN\nBoards=3\n"
                                             "[Part2]\nName=fits\nGenerator=fit.GEN\nBoards=4\n");
    Session session;
    std::string error;
    ASSERT_TRUE(ReadSessionFile(dir.file("evening.SES"), session, &error)) << error;
    SessionRun run;
    ASSERT_TRUE(PrepareSessionRun(session, defs.path(), run, &error)) << error;
    const DealRunOptions& o = run.Options;
    ASSERT_EQ(o.Parts.size(), 2u);
    EXPECT_EQ(o.Boards, 7);
    EXPECT_TRUE(o.PbnAnalysis && o.WriteDup && o.Mix && !o.WriteDlm && !o.Secure);
    EXPECT_EQ(o.FirstBoard, 9u);
    EXPECT_EQ(o.Parts[0].Setup[North].Names[0], "STRONG");
    EXPECT_TRUE(o.Parts[0].Level);
    EXPECT_FALSE(o.Parts[1].Setup[North].Constrained);
    EXPECT_TRUE(o.Parts[1].Condition && !o.Parts[0].Condition && run.Conditions[1] && !run.Conditions[0]);

    const std::vector<std::string> odds = SessionEstimateLines(run, session, 0.05);
    ASSERT_EQ(odds.size(), 3u);
    EXPECT_EQ(odds[0].rfind("Part 1 (strong): about 1 board in ", 0), 0u) << odds[0];
    EXPECT_EQ(odds[1].rfind("Part 2 (fits): about 1 board in ", 0), 0u) << odds[1];
    EXPECT_EQ(odds[2].rfind("Session: 7 boards in about ", 0), 0u) << odds[2];

    DealRunResult result;
    result.PartBoards = {3, 1};
    EXPECT_EQ(SessionPartLines(session, result),
              (std::vector<std::string>{"Part 1 (strong): 3 of 3 boards, whole", "Part 2 (fits): 1 of 4 boards"}));
    result.PartBoards = {2, 0};
    EXPECT_EQ(SessionPartLines(session, result)[1], "Part 2 (fits): not dealt");

    std::filesystem::remove(defs.file("STRONG.HDS"));
    EXPECT_FALSE(PrepareSessionRun(session, defs.path(), run, &error));
    EXPECT_EQ(error.rfind("Part 1 (strong): ", 0), 0u) << error;
    EXPECT_NE(error.find("STRONG"), std::string::npos) << error;
    test::WriteText(dir.file("fit.GEN"), "[Main]\r\nNAnyCB=1\r\nCondition=spades(north) >\r\n");
    ASSERT_TRUE(ReadSessionFile(dir.file("evening.SES"), session, &error)) << error;
    test::WriteDefinition(defs.path(), "STRONG", strong);
    EXPECT_FALSE(PrepareSessionRun(session, defs.path(), run, &error));
    EXPECT_EQ(error.rfind("Part 2 (fits): ", 0), 0u) << error;
}
