// zelvano-deal session and deal --part: one set from several generator
// files, the same from a session file and from the command line, and the
// refusals that leave the output folder untouched.
#include "CliSupport.h"
#include "core/formats/BoardSource.h"

#include <gtest/gtest.h>

namespace zelv::clitest {
namespace {

class SessionCli : public CliTest {
  protected:
    // STRONG.GEN (North 20+) and WEAK.GEN (South 0-5, with North-South
    // together 25 or more as its condition), and EVENING.SES of 3 + 4 boards.
    void WriteSession() {
        WriteStrongAndWeak();
        WriteBytes(root / "STRONG.GEN", "[Main]\r\nNAnyCB=0\r\nNC1=STRONG\r\nSAnyCB=1\r\nEAnyCB=1\r\nWAnyCB=1\r\n");
        WriteBytes(root / "WEAK.GEN", "[Main]\r\nNAnyCB=1\r\nSAnyCB=0\r\nSC1=WEAK\r\nEAnyCB=1\r\nWAnyCB=1\r\n"
                                      "Condition=hcp(north) + hcp(south) >= 25\r\n");
        WriteBytes(root / "EVENING.SES", "[Session]\nParts=2\nDUP=1\n[Part1]\nName=strong north\nGenerator=STRONG.GEN\n"
                                         "Boards=3\n[Part2]\nGenerator=WEAK.GEN\nBoards=4\n");
    }
};

TEST_F(SessionCli, ASessionFileAndItsPartsOnTheCommandLineDealTheSameSet) {
    WriteSession();
    const RunResult file = Run({"session", (root / "EVENING.SES").string(), "--definitions", defs, "--output", out,
                                "--code", "EVE", "--seed", "5"});
    ASSERT_EQ(file.Status, 0) << file.Err;
    EXPECT_NE(file.Out.find("Part 1 (strong north): 3 of 3 boards, whole"), std::string::npos) << file.Out;
    EXPECT_NE(file.Out.find("Part 2 (WEAK): 4 of 4 boards, whole"), std::string::npos) << file.Out;
    std::string error;
    BoardSource set;
    ASSERT_TRUE(set.Open((fs::path(out) / "EVE.DUP").string(), &error)) << error;
    ASSERT_EQ(set.BoardCount(), 7u);
    for (std::uint64_t i = 1; i <= 7; ++i) {
        Board b;
        ASSERT_TRUE(set.ReadDeal(i, b, &error)) << error;
        const int north = HighCardPoints(b.Hands[North]), south = HighCardPoints(b.Hands[South]);
        EXPECT_TRUE(i <= 3 ? north >= 20 : south <= 5 && north + south >= 25) << "board " << i;
    }
    const RunResult parts =
        Run({"deal", "--part", (root / "STRONG.GEN").string() + ":3", "--part", (root / "WEAK.GEN").string() + ":4",
             "--definitions", defs, "--output", out, "--code", "CMD", "--seed", "5"});
    ASSERT_EQ(parts.Status, 0) << parts.Err;
    EXPECT_EQ(ReadBytes(fs::path(out) / "CMD.DGE"), ReadBytes(fs::path(out) / "EVE.DGE"));

    const RunResult odds = Run({"odds", "--session", (root / "EVENING.SES").string(), "--definitions", defs});
    ASSERT_EQ(odds.Status, 0) << odds.Err;
    EXPECT_NE(odds.Out.find("Part 2 (WEAK): about 1 board in "), std::string::npos) << odds.Out;
    EXPECT_NE(odds.Out.find("Session: 7 boards in about "), std::string::npos) << odds.Out;
    // A part's own estimate says what it took in.
    const RunResult part = Run({"odds", "--generator", (root / "WEAK.GEN").string(), "--definitions", defs});
    EXPECT_NE(part.Out.find(", with the condition\n"), std::string::npos) << part.Out;
}

TEST_F(SessionCli, RefusesABadSessionOrPartBeforeWritingAnything) {
    WriteSession();
    WriteBytes(root / "GONE.SES", "[Session]\nParts=1\n[Part1]\nGenerator=NONE.GEN\nBoards=3\n");
    RunResult r = Run({"session", (root / "GONE.SES").string(), "--definitions", defs, "--output", out});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("[Part1]: Unable to open"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("NONE.GEN"), std::string::npos) << r.Err;

    fs::remove(root / "defs" / "WEAK.HDS");
    r = Run({"session", (root / "EVENING.SES").string(), "--definitions", defs, "--output", out});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Part 2 (WEAK): "), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("no WEAK.HDS"), std::string::npos) << r.Err;

    r = Run({"deal", "--part", (root / "STRONG.GEN").string() + ":3", "--north", "STRONG", "--output", out});
    EXPECT_EQ(r.Status, 2);
    r = Run({"deal", "--mix", "--output", out});
    EXPECT_EQ(r.Status, 2);
    EXPECT_TRUE(Leftovers(out, {}).empty());
}

} // namespace
} // namespace zelv::clitest
