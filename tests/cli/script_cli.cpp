// zelvano-deal script: a script's deals written as a set that reads back
// meeting the condition, and the exit statuses of a bad script, a condition
// never met and a set that cannot be written.
#include "CliSupport.h"
#include "core/analysis/DoubleDummy.h"
#include "core/formats/BoardSource.h"

#include <bit>

#include <gtest/gtest.h>

namespace zelv::clitest {
namespace {

class ScriptCli : public CliTest {};

TEST_F(ScriptCli, WritesTheDealsKeptAsASetAndPrintsTheActions) {
    const std::string script = (root / "fit.dl").string();
    WriteBytes(script, "condition hcp(north) + hcp(south) >= 25 && spades(north) + spades(south) >= 8\n"
                       "produce 3\naction printoneline\n");
    const RunResult r = Run({"script", script, "--boards", "6", "--seed", "11", "--output", out, "--code", "FIT"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(std::count(r.Out.begin(), r.Out.end(), '\n'), 6 + 4); // six deals, then the statistics
    std::string error;
    BoardSource file;
    ASSERT_TRUE(file.Open((fs::path(out) / "FIT.DGE").string(), &error)) << error;
    ASSERT_EQ(file.BoardCount(), 6u);
    for (std::uint64_t i = 1; i <= 6; ++i) {
        Board b;
        ASSERT_TRUE(file.ReadDeal(i, b, &error)) << error;
        const CardMask ns = b.Hands[North] | b.Hands[South];
        EXPECT_GE(HighCardPoints(b.Hands[North]) + HighCardPoints(b.Hands[South]), 25);
        EXPECT_GE(std::popcount(ns & 0x1FFFu), 8);
    }
    EXPECT_TRUE(fs::exists(fs::path(out) / "FIT.PBN"));
}

TEST_F(ScriptCli, RefusesBadScriptsAndSaysWhenNoDealMeetsTheCondition) {
    const std::string bad = (root / "bad.dl").string();
    WriteBytes(bad, "condition hcp(north) >\n");
    RunResult r = Run({"script", bad, "--code", "BAD", "--output", out});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("bad.dl:2:1: expected an expression, found the end of the script"), std::string::npos)
        << r.Err;
    EXPECT_TRUE(Leftovers(out, {}).empty());

    const std::string never = (root / "never.dl").string();
    WriteBytes(never, "condition hcp(north) > 37\n");
    r = Run({"script", never, "--max-attempts", "2000", "--seed", "1", "--code", "NEVER", "--output", out});
    EXPECT_EQ(r.Status, 3);
    EXPECT_NE(r.Err.find("never met in 2000 deals"), std::string::npos) << r.Err;
    EXPECT_TRUE(Leftovers(out, {}).empty());

    r = Run({"script", never, "--threads", "0"});
    EXPECT_EQ(r.Status, 2);
}

} // namespace
} // namespace zelv::clitest
