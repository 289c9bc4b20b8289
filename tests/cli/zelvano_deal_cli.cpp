// zelvano-deal run as a user runs it: options, exit statuses, messages, the
// files it leaves, and `show` reading them back.
#include "CliSupport.h"

#include "core/dealing/ClassicRandom.h"
#include "core/dealing/DealRun.h"
#include "core/formats/DealFiles.h"
#include "core/formats/DgeFile.h"
#include "core/setup/GeneratorFile.h"

#include <csignal>
#include <sys/stat.h>

namespace zelv::clitest {
namespace {

int Hcp(const DisplayRow& row) {
    int p = 0;
    for (const auto& suit : row)
        for (char c : suit) p += c == 'A' ? 4 : c == 'K' ? 3 : c == 'Q' ? 2 : c == 'J' ? 1 : 0;
    return p;
}

std::vector<DisplayTable> ReadBoards(const std::string& path) {
    std::vector<DisplayTable> boards;
    DgeFile file;
    if (!file.Open(path, nullptr)) return boards;
    DisplayTable board;
    for (std::uint64_t n = 1; n <= file.BoardCount(); ++n) {
        EXPECT_EQ(file.ReadBoard(n, board), DgeFile::Read::Ok);
        boards.push_back(board);
    }
    return boards;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

using DealCli = CliTest;

// The engine's own run from a seed, for comparison with the program.
DealRunResult ApiRun(const DealSetup& setup, std::uint32_t seed, const std::string& defs, const std::string& out,
                     std::int64_t boards, bool seedFirst = true) {
    DealRunOptions o;
    o.Setup = setup;
    o.SeedFirst = seedFirst;
    o.Boards = boards;
    o.DefinitionsFolder = defs;
    o.OutputFolder = out;
    o.FileCode = "API";
    o.Seed = seed;
    return RunDeal(o);
}

void ExpectSameFiles(const std::string& out, const std::string& cliCode, const std::string& apiCode) {
    for (const char* ext : {".DGE", ".BRI", ".PBN"}) {
        std::string cli = ReadBytes(fs::path(out) / (cliCode + ext)), api = ReadBytes(fs::path(out) / (apiCode + ext));
        EXPECT_FALSE(cli.empty()) << ext;
        EXPECT_EQ(cli, api) << ext;
    }
}

TEST_F(DealCli, generatorFileAndSeedGiveTheEnginesBoardsByteForByte) {
    WriteStrongAndWeak();
    GeneratorSetup gen; // every seat free, then North and East constrained
    for (auto& s : gen.Seats) s.AnyHand = true;
    gen.Seats[North].AnyHand = false;
    gen.Seats[North].Names[0] = "strong"; // matched without regard to case
    gen.Seats[East].AnyHand = false;
    gen.Seats[East].Names[1] = "Weak";
    const std::string genPath = (root / "set.GEN").string();
    ASSERT_TRUE(WriteGeneratorFile(genPath, gen, nullptr));

    RunResult r = Run({"--generator", genPath, "--definitions", defs, "--output", out, "--boards", "4", "--seed", "777",
                       "--code", "CLI"});
    ASSERT_EQ(r.Status, 0) << r.Err;

    DealSetup setup;
    setup[North] = {true, {"STRONG", "", "", "", ""}};
    setup[East] = {true, {"", "WEAK", "", "", ""}};
    // Slot 1 of East is empty, so East takes any hand: the engine's rule.
    DealRunResult api = ApiRun(setup, 777, defs, out, 4);
    ASSERT_EQ(api.Status, DealStatus::Done) << api.Error;
    ExpectSameFiles(out, "CLI", "API");
    auto boards = ReadBoards((fs::path(out) / "CLI.DGE").string());
    ASSERT_EQ(boards.size(), 4u);
    for (const auto& b : boards) EXPECT_GE(Hcp(b[North]), 20);
}

TEST_F(DealCli, seatOptionsOverrideTheGeneratorAndMatchTheEngine) {
    WriteStrongAndWeak();
    GeneratorSetup gen = GeneratorSetup::Defaults();
    gen.Seats[North].Names[0] = "STRONG";
    const std::string genPath = (root / "set.GEN").string();
    ASSERT_TRUE(WriteGeneratorFile(genPath, gen, nullptr));

    RunResult r = Run({"--generator", genPath, "--north", "WEAK", "--south", "WEAK, STRONG", "--definitions", defs,
                       "--output", out, "--boards", "3", "--seed", "4242", "--code", "CLI", "--no-seed-first"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    DealSetup setup;
    setup[North] = {true, {"WEAK", "", "", "", ""}};
    setup[South] = {true, {"WEAK", "STRONG", "", "", ""}};
    ASSERT_EQ(ApiRun(setup, 4242, defs, out, 3, false).Status, DealStatus::Done);
    ExpectSameFiles(out, "CLI", "API");
    for (const auto& b : ReadBoards((fs::path(out) / "CLI.DGE").string())) {
        EXPECT_LE(Hcp(b[North]), 5);
        EXPECT_TRUE(Hcp(b[South]) <= 5 || Hcp(b[South]) >= 20);
    }
}

TEST_F(DealCli, anEmptyItemLeavesItsSlotEmpty) {
    WriteStrongAndWeak();
    ASSERT_EQ(Run({"--north", ",STRONG", "--definitions", defs, "--output", out, "--boards", "2", "--seed", "9",
                   "--code", "CLI"})
                  .Status,
              0);
    DealSetup setup;
    setup[North] = {true, {"", "STRONG", "", "", ""}};
    ASSERT_EQ(ApiRun(setup, 9, defs, out, 2).Status, DealStatus::Done);
    ExpectSameFiles(out, "CLI", "API");
}

TEST_F(DealCli, sameSeedRepeatsTheRunAndAnotherSeedDoesNot) {
    auto deal = [&](const char* seed, const char* code) {
        return Run({"--output", out, "--boards", "5", "--seed", seed, "--code", code}).Status;
    };
    ASSERT_EQ(deal("1", "A"), 0);
    ASSERT_EQ(deal("1", "B"), 0);
    ASSERT_EQ(deal("2", "C"), 0);
    const fs::path o(out);
    EXPECT_EQ(ReadBytes(o / "A.DGE"), ReadBytes(o / "B.DGE"));
    EXPECT_NE(ReadBytes(o / "A.DGE"), ReadBytes(o / "C.DGE"));
}

TEST_F(DealCli, secureRunDealsBoardsThatMeetTheSetUp) {
    WriteStrongAndWeak();
    RunResult r = Run({"--north", "STRONG", "--definitions", defs, "--output", out, "--boards", "6", "--secure"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    auto boards = ReadBoards((fs::path(out) / "ZELV.DGE").string());
    ASSERT_EQ(boards.size(), 6u);
    for (const auto& b : boards) EXPECT_GE(Hcp(b[North]), 20);
    EXPECT_EQ(fs::file_size(fs::path(out) / "ZELV.BRI"), 6 * RecordSize);
}

TEST_F(DealCli, attemptLimitKeepsTheBoardsDealtAndExitsWithThree) {
    WriteStrongAndWeak();
    RunResult r = Run({"--north", "STRONG", "--definitions", defs, "--output", out, "--boards", "1000", "--seed", "3",
                       "--max-attempts", "2000"});
    EXPECT_EQ(r.Status, 3);
    auto boards = ReadBoards((fs::path(out) / "ZELV.DGE").string());
    EXPECT_GT(boards.size(), 0u);
    EXPECT_LT(boards.size(), 1000u);
    EXPECT_NE(r.Err.find(std::to_string(boards.size()) + " of 1000 boards"), std::string::npos) << r.Err;
    EXPECT_EQ(Count(ReadBytes(fs::path(out) / "ZELV.PBN"), "[Board "), boards.size());

    // North needs the ace of spades, South the four top spades: each alone
    // can be dealt, together never.
    WriteDefinition("ACE", [](DefinitionText& d) { d.Cards[1] = true; });
    WriteDefinition("TOPS", [](DefinitionText& d) { d.Limit(SuitLimitIndex(GroupPoints, 0, false)) = "10"; });
    r = Run({"--north", "ACE", "--south", "TOPS", "--no-seed-first", "--definitions", defs, "--output", out, "--boards",
             "3", "--max-attempts", "500", "--secure"});
    EXPECT_EQ(r.Status, 3);
    EXPECT_NE(r.Err.find("0 of 3 boards dealt in 500 attempts; the previous files were kept"), std::string::npos)
        << r.Err;
    EXPECT_EQ(fs::file_size(fs::path(out) / "ZELV.DGE"), boards.size() * RecordSize);
}

TEST_F(DealCli, badInputExitsWithOneAndNamesTheCulprit) {
    WriteDefinition("BADNUM", [](DefinitionText& d) { d.Limit(LimMinPoints) = "1x2"; });
    struct Case {
        std::vector<std::string> Args;
        std::vector<std::string> Mentions;
    };
    const std::string missingGen = (root / "none.GEN").string();
    std::vector<Case> cases = {
        {{"--generator", missingGen}, {missingGen}},
        {{"--north", "ABSENT"}, {"ABSENT.HDS", defs}},
        {{"--north", "BADNUM"}, {"'1x2' is not a valid integer value", "MinPoints", "BADNUM.HDS"}},
        {{"--north", "BADNUM", "--definitions", (root / "nowhere").string()}, {(root / "nowhere").string()}},
        {{"--output", (root / "afile" / "nowhere").string()},
         {"Unable to write to", (root / "afile" / "nowhere").string(), "Not a directory"}},
    };
    WriteBytes(root / "afile", "a file where a folder is named");
    for (const auto& c : cases) {
        std::vector<std::string> args = c.Args;
        if (std::find(args.begin(), args.end(), "--definitions") == args.end()) {
            args.push_back("--definitions");
            args.push_back(defs);
        }
        if (std::find(args.begin(), args.end(), "--output") == args.end()) {
            args.push_back("--output");
            args.push_back(out);
        }
        RunResult r = Run(args);
        EXPECT_EQ(r.Status, 1) << args[0] << " " << args[1];
        for (const auto& m : c.Mentions) EXPECT_NE(r.Err.find(m), std::string::npos) << r.Err;
        EXPECT_FALSE(fs::exists(fs::path(out) / "ZELV.DGE"));
    }
}

TEST_F(DealCli, seededCardsThatCollideAreRefusedBeforeDealing) {
    WriteDefinition("ACE", [](DefinitionText& d) { d.Cards[1] = true; });
    RunResult r = Run({"--north", "ACE", "--south", "ACE", "--definitions", defs, "--output", out});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("ACE"), std::string::npos) << r.Err;
    // Without seeding no deal gives one card to two hands either: refused
    // before dealing, where it once ran until stopped. So is a set-up whose
    // seats need more points than the pack holds, in odds too.
    r = Run({"--north", "ACE", "--south", "ACE", "--definitions", defs, "--output", out, "--no-seed-first"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "zelvano-deal: North's definition 1 \"ACE\" and South's definition 1 \"ACE\" both require the "
                     "ace of spades (SA), which only one hand can hold. No board can be dealt.\n");
    WriteDefinition("22", [](DefinitionText& d) { d.Limit(LimMinPoints) = "22"; });
    WriteDefinition("20-21", [](DefinitionText& d) {
        d.Limit(LimMinPoints) = "20";
        d.Limit(LimMaxPoints) = "21";
    });
    const std::string tooMany = "North's definition 1 \"22\" and South's definition 1 \"20-21\" need at least 42 "
                                "points together (22 + 20), more than the 40 of the pack. No board can be dealt.";
    r = Run({"odds", "--north", "22", "--south", "20-21", "--definitions", defs});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "zelvano-deal: the set-up cannot be dealt: " + tooMany + "\n");
    EXPECT_EQ(r.Out.find("Set-up:"), std::string::npos) << r.Out;
    r = Run({"--north", "22", "--south", "20-21", "--definitions", defs, "--output", out});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "zelvano-deal: " + tooMany + "\n");
    EXPECT_FALSE(fs::exists(fs::path(out) / "ZELV.DGE"));
}

std::uint64_t Binomial(int n, int k) {
    std::uint64_t r = 1;
    for (int i = 1; i <= k; ++i) r = r * static_cast<std::uint64_t>(n - k + i) / static_cast<std::uint64_t>(i);
    return r;
}
std::string Grouped(std::uint64_t v) {
    std::string d = std::to_string(v), out;
    for (std::size_t i = 0; i < d.size(); ++i) out += (i && (d.size() - i) % 3 == 0 ? "," : "") + d.substr(i, 1);
    return out;
}

// Counts as combinatorics gives them: 4-4-4-1 hands, hands with exactly one
// spade, and the two together by inclusion and exclusion.
TEST_F(DealCli, oddsPrintsExactCountsPerDefinitionAndSeatAndAnEstimateForTheSetUp) {
    WriteDefinition("FOURS", [](DefinitionText& d) { d.YesShapes = {" 4441"}; });
    WriteDefinition("ONE SPADE", [](DefinitionText& d) {
        d.Limit(SuitLimitIndex(GroupLength, 0, false)) = "1";
        d.Limit(SuitLimitIndex(GroupLength, 0, true)) = "1";
    });
    const std::uint64_t c4 = Binomial(13, 4), fours = 4 * c4 * c4 * c4 * 13, one = 13 * Binomial(39, 12),
                        both = c4 * c4 * c4 * 13;
    RunResult r = Run({"odds", "--definitions", defs, "--north", "FOURS,ONE SPADE", "--boards", "8"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("North, definition 1 \"FOURS\": " + Grouped(fours) + " hands, 1 hand in 33.4 (3.0%)\n"),
              std::string::npos)
        << r.Out;
    EXPECT_NE(r.Out.find("North, definition 2 \"ONE SPADE\": " + Grouped(one) + " hands, 1 hand in "),
              std::string::npos)
        << r.Out;
    EXPECT_NE(r.Out.find("North, any of them: " + Grouped(fours + one - both) + " hands, "), std::string::npos)
        << r.Out;
    EXPECT_NE(r.Out.find("Set-up: about 1 board in "), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("; 8 boards in about "), std::string::npos) << r.Out;
    EXPECT_EQ(r.Out.find("secure source"), std::string::npos) << r.Out;
    // Millions of classic attempts for the set: the secure source is advised.
    r = Run({"odds", "--definitions", defs, "--north", "FOURS", "--boards", "100000"});
    EXPECT_NE(r.Out.find("\nThe classic source would need about 3,"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find(" attempts for 100,000 boards; use the secure source (--secure).\n"), std::string::npos)
        << r.Out;

    // Without a set-up, every definition of the folder.
    r = Run({"odds", "--definitions", defs});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "\"FOURS\": " + Grouped(fours) + " hands, 1 hand in 33.4 (3.0%)\n\"ONE SPADE\": " + Grouped(one) +
                         " hands, 1 hand in 12.5 (8.0%)\n");

    // A seat that accepts no hand: the reason, and no estimate.
    WriteDefinition("NEVER", [](DefinitionText& d) {
        d.Limit(LimMinPoints) = "30";
        d.Limit(LimMaxPoints) = "10";
    });
    r = Run({"odds", "--definitions", defs, "--south", "NEVER"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Out.find("South, definition 1 \"NEVER\": no hand: Minimum points 30 is above the maximum 10\n"),
              std::string::npos)
        << r.Out;
    EXPECT_NE(r.Err.find("the set-up cannot be dealt: South's definition 1 \"NEVER\" accepts no hand"),
              std::string::npos)
        << r.Err;
    EXPECT_EQ(r.Out.find("Set-up:"), std::string::npos);
    // Beside one that can be dealt it is harmless, unless boards are shared
    // equally; dealing says it is never dealt.
    EXPECT_EQ(Run({"odds", "--definitions", defs, "--south", "FOURS,NEVER"}).Status, 0);
    r = Run({"--south", "FOURS,NEVER", "--definitions", defs, "--output", out, "--boards", "2"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Err.find("warning: South's definition 2 \"NEVER\" accepts no hand, so it is never dealt: Minimum "
                         "points 30 is above the maximum 10"),
              std::string::npos)
        << r.Err;
    EXPECT_EQ(Run({"odds", "--definitions", defs, "--south", "FOURS,NEVER", "--level"}).Status, 1);
}

// A number outside 0 to 255 keeps its low 8 bits and a Yes entry that is no
// pattern is passed over, as always; deal and odds say so in the file's own
// words, and a refusal quotes them.
TEST_F(DealCli, definitionsReadOtherwiseThanWrittenAreSaidAndRefusalsQuoteTheFile) {
    WriteBytes(root / "defs" / "ODD.HDS", "[YesShapes]\r\nY0= 4332\r\nY1= 4333\r\n[Hand]\r\nMaxPoints=273\r\n");
    WriteBytes(root / "defs" / "NEG.HDS", "[YesShapes]\r\nY0= 4333\r\n[Hand]\r\nMinPoints=-5\r\n");
    const std::string said = "zelvano-deal: warning: MaxPoints=273 in ODD.HDS is read as 17\n"
                             "zelvano-deal: warning: Y0=4332 in ODD.HDS is not a hand pattern (such as 4432 or "
                             "5332) and is passed over\n";
    RunResult r = Run({"--north", "ODD", "--definitions", defs, "--output", out, "--quiet"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, said);
    r = Run({"odds", "--north", "ODD", "--definitions", defs});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, said);
    r = Run({"odds", "--north", "NEG", "--definitions", defs});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Out.find("North, definition 1 \"NEG\": no hand: Minimum points 251 (read from MinPoints=-5) is "
                         "above the maximum 34\n"),
              std::string::npos)
        << r.Out;
    EXPECT_NE(r.Err.find("warning: MinPoints=-5 in NEG.HDS is read as 251\n"), std::string::npos) << r.Err;
    r = Run({"odds", "--definitions", defs});
    EXPECT_NE(r.Err.find(said), std::string::npos) << r.Err;
}

// Levelled: board k holds North's alternative ((k - 1) mod 3) + 1 (the
// bands do not overlap, so the points say which), each exactly 10 times,
// as the summary says.
TEST_F(DealCli, levelSharesBoardsEquallyAmongTheAlternativesAndSaysHowMany) {
    WriteDefinition("WEAK", [](DefinitionText& d) { d.Limit(LimMaxPoints) = "9"; });
    WriteDefinition("MID", [](DefinitionText& d) {
        d.Limit(LimMinPoints) = "10";
        d.Limit(LimMaxPoints) = "14";
    });
    WriteDefinition("BIG", [](DefinitionText& d) { d.Limit(LimMinPoints) = "15"; });
    for (const char* dealer : {"--seed=9", "--secure"}) {
        RunResult r = Run(
            {"--north", "WEAK,MID,BIG", "--level", "--boards", "30", dealer, "--definitions", defs, "--output", out});
        ASSERT_EQ(r.Status, 0) << r.Err;
        EXPECT_NE(r.Out.find("Shared equally: North: WEAK 10, MID 10, BIG 10\n"), std::string::npos) << r.Out;
        const auto boards = ReadBoards((fs::path(out) / "ZELV.DGE").string());
        ASSERT_EQ(boards.size(), 30u);
        for (std::size_t k = 0; k < boards.size(); ++k) {
            const int hcp = Hcp(boards[k][North]);
            const int band = hcp <= 9 ? 0 : hcp <= 14 ? 1 : 2;
            EXPECT_EQ(band, static_cast<int>(k % 3)) << dealer << " board " << k + 1;
        }
    }
}

TEST_F(DealCli, usageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"--frobnicate"},
        {"--boards", "-3"},
        {"--boards", "many"},
        {"--seed", "5", "--secure"},
        {"--seed", "4294967296"},
        {"--north", "A,B,C,D,E,F"},
        {"--max-attempts", "0"},
        {"--code", "a/b"},
        {"--code", "CLUB\r\nStatus=Hide"},
        {"stray"},
        {"show"},
        {"show", "x.DGE", "--format", "html"},
    };
    for (const auto& args : cases) {
        std::vector<std::string> a = args;
        a.insert(a.end(), {"--output", out});
        if (args[0] == "show") a = args;
        RunResult r = Run(a);
        EXPECT_EQ(r.Status, 2) << args[0];
        EXPECT_EQ(r.Err.rfind("zelvano-deal: ", 0), 0u) << r.Err;
    }
    // In plain words, as every other message.
    RunResult r = Run({"--north", "A", "--north", "B", "--output", out});
    EXPECT_EQ(r.Err, "zelvano-deal: --north is given 2 times; give it once, with the seat's definitions separated by "
                     "commas (--north A,B)\nRun with --help for more information.\n");
    r = Run({"--seed", "1", "--secure", "--output", out});
    EXPECT_EQ(r.Err, "zelvano-deal: --seed and --secure cannot be used together: --seed repeats the classic "
                     "generator's sequence, and the secure source has none to repeat\nRun with --help for more "
                     "information.\n");
    EXPECT_EQ(Run({"--help"}).Status, 0);
    EXPECT_EQ(Run({"show", "--help"}).Status, 0);
}

TEST_F(DealCli, summaryLineUnlessQuietAndNoProgressWhenStderrIsNotATerminal) {
    RunResult r = Run({"deal", "--output", out, "--boards", "3", "--seed", "1"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("3 boards, 3 attempts, "), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find(" seconds"), std::string::npos);
    EXPECT_EQ(r.Err.find('\r'), std::string::npos);
    r = Run({"--output", out, "--boards", "3", "--quiet"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_TRUE(r.Out.empty());
    EXPECT_TRUE(r.Err.empty());
    r = Run({"--output", out, "--boards", "1"});
    EXPECT_EQ(r.Out.rfind("1 board, 1 attempt, ", 0), 0u) << r.Out;
}

// A path too long for the system, or a folder without definitions, is said
// in words: what could not be opened or written, and why.
TEST_F(DealCli, pathsThatCannotBeUsedAreNamedWithTheReason) {
    const std::string tooLong = (root / std::string(300, 'x')).string();
    RunResult r = Run({"--output", tooLong, "--boards", "1"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "zelvano-deal: Unable to write to " + tooLong + "/ZELV.BRI (File name too long)\n");
    r = Run({"--north", "A", "--definitions", tooLong, "--output", out});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "zelvano-deal: Unable to open " + tooLong + " (File name too long)\n");
    r = Run({"odds", "--definitions", defs});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "zelvano-deal: no hand definitions (.HDS files) in " + defs + "\n");
    EXPECT_TRUE(r.Out.empty());
}

TEST_F(DealCli, pbnFileFollowsTheOptionAndNumbersBoardsAsTheBoardFile) {
    ASSERT_EQ(Run({"--output", out, "--boards", "17", "--seed", "11", "--no-pbn", "--code", "NOP"}).Status, 0);
    EXPECT_FALSE(fs::exists(fs::path(out) / "NOP.PBN"));
    EXPECT_TRUE(fs::exists(fs::path(out) / "NOP.DGE"));
    ASSERT_EQ(Run({"--output", out, "--boards", "17", "--seed", "11", "--pbn", "--code", "YES"}).Status, 0);
    const std::string pbn = ReadBytes(fs::path(out) / "YES.PBN");
    EXPECT_EQ(pbn.rfind("% PBN 2.1\r\n% EXPORT\r\n", 0), 0u);
    EXPECT_EQ(Count(pbn, "[Board "), 17u);
    EXPECT_NE(pbn.find("[Board \"17\"]\r\n[West \"?\"]"), std::string::npos);
    auto boards = ReadBoards((fs::path(out) / "YES.DGE").string());
    ASSERT_EQ(boards.size(), 17u);
    // Board 2: dealer East, so the Deal tag starts with East's hand.
    const auto& b = boards[1];
    auto hand = [](const DisplayRow& r) { return r[0] + "." + r[1] + "." + r[2] + "." + r[3]; };
    std::string deal =
        "[Deal \"E:" + hand(b[East]) + " " + hand(b[South]) + " " + hand(b[West]) + " " + hand(b[North]) + "\"]\r\n";
    EXPECT_NE(pbn.find("[Board \"2\"]"), std::string::npos);
    EXPECT_NE(pbn.find(deal), std::string::npos) << deal;
}

// A script that saves the output on a full disk must not be told it worked.
TEST_F(DealCli, outputThatCannotBeWrittenFailsWithOne) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    WriteStrongAndWeak();
    stdoutTo = "/dev/full";
    RunResult r = Run({"--north", "STRONG", "--definitions", defs, "--output", out, "--boards", "2", "--seed", "5"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("summary could not be written"), std::string::npos) << r.Err;
    EXPECT_EQ(fs::file_size(fs::path(out) / "ZELV.DGE"), 2 * RecordSize); // the boards themselves are kept
    r = Run({"show", (fs::path(out) / "ZELV.DGE").string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("could not be written to standard output"), std::string::npos) << r.Err;
}

TEST_F(DealCli, theLongestCodeStillLeavesRoomForTheTemporaryName) {
    RunResult r = Run({"--output", out, "--seed", "1", "--quiet", "--code", std::string(240, 'y')});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(fs::exists(fs::path(out) / (std::string(240, 'y') + ".DGE")));
    r = Run({"--output", out, "--seed", "1", "--quiet", "--code", std::string(241, 'y')});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("cannot name a file"), std::string::npos) << r.Err;
}

TEST_F(DealCli, defaultFoldersAreBesideTheProgram) {
    // A copy of the program in a folder of its own, with its working folders.
    fs::create_directories(root / "prog" / "Hand Definitions");
    fs::create_directories(root / "prog" / "Hands");
    const fs::path exe = root / "prog" / "zelvano-deal";
    fs::copy_file(ZELV_DEAL_EXE, exe);
    DefinitionText d = DefinitionText::Defaults();
    d.Limit(LimMinPoints) = "16";
    ASSERT_TRUE(WriteDefinitionFile((root / "prog" / "Hand Definitions" / "GOOD.HDS").string(), d, nullptr));
    RunResult r = Run({"--north", "good", "--boards", "2", "--quiet"}, exe.string());
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(fs::file_size(root / "prog" / "Hands" / "ZELV.DGE"), 2 * RecordSize);
    EXPECT_EQ(fs::file_size(root / "prog" / "Hands" / "ZELV.BRI"), 2 * RecordSize);
    EXPECT_TRUE(fs::exists(root / "prog" / "Hands" / "ZELV.PBN"));
}

using ShowCli = CliTest;

TEST_F(ShowCli, readsBackWhatDealWrote) {
    ASSERT_EQ(Run({"--output", out, "--boards", "5", "--seed", "21"}).Status, 0);
    const std::string dge = (fs::path(out) / "ZELV.DGE").string();
    RunResult r = Run({"show", dge});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, ReadBytes(fs::path(out) / "ZELV.PBN"));
    r = Run({"show", dge, "--format", "text"});
    ASSERT_EQ(r.Status, 0);
    EXPECT_EQ(Count(r.Out, "Board "), 5u);
    EXPECT_NE(r.Out.find("Board 5: Dealer N - Vul. N/S"), std::string::npos) << r.Out;
}

TEST_F(ShowCli, damagedRecordIsReportedWithItsNumberAndTheOthersStillPrint) {
    ASSERT_EQ(Run({"--output", out, "--boards", "4", "--seed", "5"}).Status, 0);
    const fs::path dge = fs::path(out) / "ZELV.DGE";
    std::string bytes = ReadBytes(dge);
    // Board 2 loses its separators; board 4 gets a letter that is no rank.
    for (std::size_t i = RecordSize; i < 2 * RecordSize; ++i) bytes[i] = 'x';
    bytes[3 * RecordSize + 1] = '"';
    WriteBytes(dge, bytes);
    RunResult r = Run({"show", dge.string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("board 2 "), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("board 4 "), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find("board 1 "), std::string::npos);
    EXPECT_EQ(Count(r.Out, "[Board "), 2u);
    EXPECT_NE(r.Out.find("[Board \"1\"]"), std::string::npos);
    EXPECT_NE(r.Out.find("[Board \"3\"]"), std::string::npos);
}

TEST_F(ShowCli, aFileWithoutAWholeRecordSaysSoAndFails) {
    const fs::path dge = root / "EMPTY.DGE";
    for (const std::string& bytes : {std::string(), std::string(100, '\x06')}) {
        WriteBytes(dge, bytes);
        for (const char* format : {"pbn", "text"}) {
            RunResult r = Run({"show", dge.string(), "--format", format});
            EXPECT_EQ(r.Status, 1) << r.Err;
            EXPECT_TRUE(r.Out.empty()) << r.Out;
            EXPECT_NE(r.Err.find("no boards in " + dge.string()), std::string::npos) << r.Err;
        }
    }
}

// Whatever the format and the command: the whole boards are used, the
// partial one named, and the exit status says that not all was read.
TEST_F(ShowCli, trailingPartialRecordIsIgnoredWithAWarningAndExitOne) {
    ASSERT_EQ(Run({"--output", out, "--boards", "2", "--seed", "8"}).Status, 0);
    for (const char* ext : {".DGE", ".BRI"}) {
        const fs::path file = fs::path(out) / (std::string("ZELV") + ext);
        WriteBytes(file, ReadBytes(file) + std::string(44, '\x06'));
        const std::string said = file.string() + ": board 3 left out: the record is cut short (44 of 128 bytes)";
        RunResult r = Run({"show", file.string()});
        EXPECT_EQ(r.Status, 1) << ext;
        EXPECT_EQ(r.Out, ReadBytes(fs::path(out) / "ZELV.PBN"));
        EXPECT_NE(r.Err.find(said), std::string::npos) << r.Err;
        std::vector<std::vector<std::string>> others = {{"analyse", file.string(), "-o", (root / "A.PBN").string()}};
#ifdef ZELV_WITH_PRINT
        others.push_back({"print", file.string(), "-o", (root / "p.pdf").string()});
#endif
        for (const auto& args : others) {
            r = Run(args);
            EXPECT_EQ(r.Status, 1) << args[0] << " " << ext;
            EXPECT_NE(r.Err.find(said), std::string::npos) << args[0] << ": " << r.Err;
        }
    }
}

// Games named by a number they do not have would be taken for the file's
// own; what is read otherwise than written is said, and a file in another
// encoding is named as such.
TEST_F(ShowCli, pbnGamesAreNamedByTheirPlaceAndEveryOddityIsSaid) {
    const std::string deal = "[Deal \"N:.63.AKQ987.A9732 A8654.KQ5.T.QJT6 J973.J98742.3.K4 KQT2.AT.J6542.85\"]";
    const fs::path pbn = root / "IN.PBN";
    WriteBytes(pbn, deal + "\n\n[Deal \"N:.63.AKQ987.A9732 - - -\"]\n\n" + deal + "\n");
    RunResult r = Run({"show", pbn.string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find(pbn.string() + ": game 2 (no Board tag) left out: its Deal tag gives 1 of the four hands"),
              std::string::npos)
        << r.Err;
    EXPECT_EQ(r.Err.find("board 2"), std::string::npos) << r.Err;

    // CR alone ends every line; club programs write "N-S"; a second Deal tag is ignored and said.
    WriteBytes(pbn, "[Board \"1\"]\r[Vulnerable \"N-S\"]\r" + deal + "\r\r[Board \"2\"]\r[Vulnerable \"E-W\"]\r" +
                        deal + "\r[Deal \"N:-\"]\r");
    r = Run({"show", pbn.string(), "--format", "text"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(Count(r.Out, "Board "), 2u) << r.Out;
    EXPECT_NE(r.Out.find("Board 1: Dealer N - Vul. N/S"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("Board 2: Dealer E - Vul. E/W"), std::string::npos) << r.Out;
    EXPECT_EQ(r.Err,
              "zelvano-deal: " + pbn.string() + ": board 2 has more than one Deal tag; only the first is read\n");

    std::string wide = "\xFF\xFE";
    for (char c : "[Board \"1\"]\r\n" + deal + "\r\n") wide += std::string{c, '\0'};
    WriteBytes(pbn, wide);
    r = Run({"convert", pbn.string(), (root / "OUT.DGE").string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find(pbn.string() + " is written in UTF-16 (little-endian)"), std::string::npos) << r.Err;
}

// A file that cannot be opened is named with the reason, for each format.
TEST_F(ShowCli, missingOrUnreadableFileExitsWithOneAndSaysWhy) {
    const fs::path loop = root / "loop.PBN", fifo = root / "pipe.DGE";
    fs::create_symlink(loop, loop);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(root / "folder.PBN");
    const struct {
        std::string Path, Why;
    } cases[] = {
        {(root / "missing.DGE").string(), "No such file or directory"},
        {(root / "missing.PBN").string(), "No such file or directory"},
        {(root / "folder.PBN").string(), "it is a folder"},
        {root.string(), "it is a folder"},
        {fifo.string(), "it is not a regular file"},
        {loop.string(), "Too many levels of symbolic links"},
    };
    for (const auto& c : cases) {
        const RunResult r = Run({"show", c.Path});
        EXPECT_EQ(r.Status, 1) << c.Path;
        EXPECT_EQ(r.Err, "zelvano-deal: Unable to open " + c.Path + " (" + c.Why + ")\n");
    }
}

// A file's bytes and a path quoted in a message reach the terminal with
// every control character written out: no escape sequence acts on it.
TEST_F(ShowCli, controlCharactersFromAFileOrAPathAreWrittenOut) {
    const std::string pbn = (root / "bad\x1b[31m.PBN").string();
    WriteBytes(pbn, "[Board \"\x1b]0;PWNED\a\x1b[2J\"]\r\n[Deal \"N:AKQJT98765432 - - -\"]\r\n\r\n");
    RunResult r = Run({"show", pbn});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err.find_first_of("\x1b\a"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("bad\\x1B[31m.PBN"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("\"\\x1B]0;PWNED\\x07\\x1B[2J\""), std::string::npos) << r.Err;
}

// Waits until a run's temporary files exist: its signal handlers are then in place.
void WaitForRunToStart(const std::string& out) {
    for (int i = 0; i < 1000; ++i) {
        for (const auto& e : fs::directory_iterator(out))
            if (e.path().filename().string().find(".tmp-") != std::string::npos) return;
        ::usleep(10000);
    }
    ADD_FAILURE() << "the run did not start";
}

// Every way a run can end without finishing keeps the set that was there.
TEST_F(DealCli, aRunThatEndsEarlyNeverDestroysThePreviousSet) {
    WriteStrongAndWeak();
    ASSERT_EQ(Run({"--output", out, "--boards", "16", "--seed", "4", "--quiet"}).Status, 0);
    const std::string dge = ReadBytes(fs::path(out) / "ZELV.DGE"), bri = ReadBytes(fs::path(out) / "ZELV.BRI"),
                      pbn = ReadBytes(fs::path(out) / "ZELV.PBN");
    auto unchanged = [&](const std::string& how) {
        EXPECT_EQ(ReadBytes(fs::path(out) / "ZELV.DGE"), dge) << how;
        EXPECT_EQ(ReadBytes(fs::path(out) / "ZELV.BRI"), bri) << how;
        EXPECT_EQ(ReadBytes(fs::path(out) / "ZELV.PBN"), pbn) << how;
        EXPECT_EQ(Leftovers(out, {"ZELV.DGE", "ZELV.BRI", "ZELV.PBN"}), std::vector<std::string>{}) << how;
    };
    // Out of space: a file-size limit makes the writes fail as a full disk would.
    RunResult r = Run(
        {"-c", "ulimit -f 40; exec \"$0\" \"$@\"", ZELV_DEAL_EXE, "--output", out, "--boards", "2000", "--seed", "5"},
        "/bin/sh");
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("(File too large). The previous set was kept."), std::string::npos) << r.Err;
    unchanged("out of space");
    // Refused: a definition that is missing, named on the command line or
    // by a generator file.
    EXPECT_EQ(Run({"--north", "ABSENT", "--definitions", defs, "--output", out}).Status, 1);
    unchanged("refused");
    const std::string gen = (root / "absent.GEN").string();
    WriteBytes(gen, "[Main]\r\nNAnyCB=0\r\nNC1=ABSENT\r\n");
    r = Run({"--generator", gen, "--definitions", defs, "--output", out});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "zelvano-deal: " + gen +
                         ": NC1=ABSENT names North's definition 1, but there is no ABSENT.HDS in " + defs + "\n");
    unchanged("refused generator");
    // Refused: a seat that accepts no hand, with the reason.
    WriteDefinition("NEVER", [](DefinitionText& d) { d.Limit(LimMinPoints) = "38"; });
    r = Run({"--east", "NEVER", "--definitions", defs, "--output", out});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("East's definition 1 \"NEVER\" accepts no hand: Minimum points 38 is above the maximum"),
              std::string::npos)
        << r.Err;
    unchanged("no hand");
    // Stopped by the attempt limit before the first board: North needs the
    // ace of spades, South the four top spades.
    WriteDefinition("ACE", [](DefinitionText& d) { d.Cards[1] = true; });
    WriteDefinition("TOPS", [](DefinitionText& d) { d.Limit(SuitLimitIndex(GroupPoints, 0, false)) = "10"; });
    const std::vector<std::string> never = {"--north", "ACE", "--south", "TOPS", "--no-seed-first"};
    auto with = [&](std::vector<std::string> args) {
        args.insert(args.begin(), never.begin(), never.end());
        return args;
    };
    r = Run(with({"--definitions", defs, "--output", out, "--max-attempts", "1000"}));
    EXPECT_EQ(r.Status, 3);
    EXPECT_NE(r.Out.find("no file written"), std::string::npos) << r.Out;
    unchanged("attempt limit");
    // A closed terminal (SIGHUP) or SIGTERM before the first board; then a
    // SIGHUP after some boards, which keeps those boards.
    for (int sig : {SIGHUP, SIGTERM}) {
        const pid_t pid = Start(with({"--definitions", defs, "--output", out, "--quiet"}));
        ASSERT_GT(pid, 0);
        WaitForRunToStart(out);
        ::kill(pid, sig);
        EXPECT_EQ(Wait(pid).Status, 130) << sig;
        unchanged("signal " + std::to_string(sig));
    }
    const pid_t pid = Start({"--north", "STRONG", "--definitions", defs, "--output", out, "--boards", "100000000",
                             "--quiet", "--no-seed-first"});
    ASSERT_GT(pid, 0);
    WaitForRunToStart(out);
    ::usleep(200000);
    ::kill(pid, SIGHUP);
    EXPECT_EQ(Wait(pid).Status, 130);
    const auto kept = fs::file_size(fs::path(out) / "ZELV.DGE");
    EXPECT_GT(kept, 0u);
    EXPECT_EQ(kept % RecordSize, 0u);
    EXPECT_EQ(fs::file_size(fs::path(out) / "ZELV.BRI"), kept);
    EXPECT_EQ(Leftovers(out, {"ZELV.DGE", "ZELV.BRI", "ZELV.PBN"}), std::vector<std::string>{});
}

TEST_F(DealCli, inputThatIsNotWhatItClaimsIsRefusedByName) {
    WriteStrongAndWeak();
    const fs::path board = root / "board.GEN", defn = root / "defn.GEN", pipe = root / "pipe.GEN";
    WriteBytes(board, std::string("\x06"
                                  "AKQ\x03\x04\x05",
                                  7) +
                          std::string(121, '\0'));
    fs::copy_file(fs::path(defs) / "STRONG.HDS", defn);
    for (const fs::path& p : {board, defn}) {
        RunResult r = Run({"--generator", p.string(), "--definitions", defs, "--output", out});
        EXPECT_EQ(r.Status, 1) << p;
        EXPECT_NE(r.Err.find(p.string() + " is not a generator file"), std::string::npos) << r.Err;
    }
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    RunResult r = Run({"--generator", pipe.string(), "--definitions", defs, "--output", out});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find(pipe.string() + " is not a regular file"), std::string::npos) << r.Err;
    ASSERT_EQ(::mkfifo((fs::path(defs) / "PIPE.HDS").c_str(), 0600), 0);
    r = Run({"--north", "PIPE", "--definitions", defs, "--output", out});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("PIPE.HDS is not a regular file"), std::string::npos) << r.Err;
    EXPECT_FALSE(fs::exists(fs::path(out) / "ZELV.DGE"));

    // Empty values are usage errors, not the next argument taken as one.
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--code=", "--no-pbn"}, {"--code", ""}, {"--north="}, {"--boards", ""}, {"show", ""}}) {
        std::vector<std::string> a = args;
        if (args[0] != "show") a.insert(a.end(), {"--output", out});
        r = Run(a);
        EXPECT_EQ(r.Status, 2) << args[0];
        EXPECT_NE(r.Err.find("an empty value is not allowed"), std::string::npos) << r.Err;
    }
    EXPECT_TRUE(Leftovers(out, {}).empty());
}

TEST_F(DealCli, aSeatWhoseFirstSlotIsEmptyIsNamedInAWarning) {
    WriteStrongAndWeak();
    RunResult r = Run({"--north", ",STRONG", "--definitions", defs, "--output", out, "--quiet"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_NE(r.Err.find("warning: --north: North's first slot is empty, so North takes any hand; \"STRONG\""),
              std::string::npos)
        << r.Err;
    const fs::path gen = root / "late.GEN";
    WriteBytes(gen, "[Main]\r\nNAnyCB=1\r\nWAnyCB=0\r\nWC1=\r\nWC3=WEAK\r\n");
    r = Run({"--generator", gen.string(), "--definitions", defs, "--output", out, "--quiet"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_NE(r.Err.find(gen.string() + ": West's first slot is empty, so West takes any hand"), std::string::npos)
        << r.Err;
    r = Run({"--north", "STRONG,WEAK", "--definitions", defs, "--output", out, "--quiet"});
    EXPECT_TRUE(r.Err.empty()) << r.Err;
}

TEST_F(DealCli, dupAndDlmNumberTheSetFromTheFirstBoardAndShowReadsThemBack) {
    RunResult r = Run({"--output", out, "--boards", "16", "--first-board", "17", "--dup", "--dlm", "--seed", "3",
                       "--code", "SET", "--quiet"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const fs::path o(out);
    EXPECT_EQ(ReadBytes(o / "SET.DUP").substr(146, 10), "YN17 0 32 ");
    // The PBN of the run numbers the boards 17 to 32; so do the DUP and DLM
    // files as show reads them, each by its own rules.
    const std::string pbn = ReadBytes(o / "SET.PBN");
    EXPECT_NE(pbn.find("[Board \"17\"]\r\n"), std::string::npos);
    for (const char* ext : {".DUP", ".DLM"}) {
        r = Run({"show", (o / (std::string("SET") + ext)).string()});
        EXPECT_EQ(r.Status, 0) << r.Err;
        EXPECT_EQ(r.Out, pbn) << ext;
    }
    // The DGE and BRI records carry no numbers: record n is board n.
    r = Run({"show", (o / "SET.BRI").string()});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, Run({"show", (o / "SET.DGE").string()}).Out);
    EXPECT_NE(r.Out.find("[Board \"1\"]\r\n"), std::string::npos);

    // Past board 99 there is no DLM file; the run says so and deals the rest.
    r = Run({"--output", out, "--boards", "120", "--dup", "--dlm", "--code", "BIG", "--quiet"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Err.find("warning: BIG.DLM is not written: a .DLM file holds board numbers up to 99"),
              std::string::npos)
        << r.Err;
    EXPECT_FALSE(fs::exists(o / "BIG.DLM"));
    EXPECT_EQ(fs::file_size(o / "BIG.DUP"), 120u * 156);
    for (const char* bad : {"0", "x", "4294967296"})
        EXPECT_EQ(Run({"--output", out, "--first-board", bad}).Status, 2) << bad;
    // A PBN file holds boards up to 2147483647, which show reads back; one
    // more is refused before any file is touched.
    r = Run({"--output", out, "--first-board", "2147483647", "--code", "TOP", "--quiet"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    r = Run({"show", (o / "TOP.PBN").string()});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("[Board \"2147483647\"]"), std::string::npos) << r.Out;
    const std::string top = ReadBytes(o / "TOP.DGE");
    r = Run({"--output", out, "--first-board", "2147483647", "--boards", "2", "--code", "TOP"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err, "zelvano-deal: --first-board: TOP.PBN cannot be written: a .PBN file holds board numbers up to "
                     "2147483647, and boards 2147483647 to 2147483648 go past it (give a smaller first board, or "
                     "--no-pbn)\nRun with --help for more information.\n");
    EXPECT_EQ(ReadBytes(o / "TOP.DGE"), top);
}

using ConvertCli = CliTest;

TEST_F(ConvertCli, aPbnOfAnotherProgramBecomesMachineFilesAndBadInputIsNamed) {
    const fs::path fed = root / "FED.PBN";
    WriteBytes(fed, "% written by hand\n"
                    "[Board \"5\"][Dealer \"N\"][Vulnerable \"EW\"]\n"
                    "[Deal \"W:KQT2.AT.J6542.85 .63.AKQ987.A9732 A8654.KQ5.T.QJT6 J973.J98742.3.K4\"]\n"
                    "\n"
                    "[Deal \"N:.63.AKQ987.A9732 A8654.KQ5.T.QJT6 J973.J98742.3.K4 -\"]\n");
    const fs::path o(out);
    // Board 5 would become board 1 of a .DGE file, whose boards are numbered by their place.
    RunResult r =
        Run({"convert", fed.string(), (o / "ZELV.DGE").string(), (o / "ZELV.BRI").string(), (o / "ZELV.dup").string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find((o / "ZELV.DGE").string() +
                         ": a .DGE file numbers its boards by their place, from 1; the "
                         "boards of " +
                         fed.string() + " start at board 5, which would become board 1"),
              std::string::npos)
        << r.Err;
    EXPECT_NE(r.Err.find("With --renumber the boards are numbered 1 to 2 in every file written"), std::string::npos);
    EXPECT_TRUE(Leftovers(o, {}).empty());
    r = Run({"convert", fed.string(), (o / "ZELV.DGE").string(), (o / "ZELV.BRI").string(), "--renumber"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out,
              "Wrote " + (o / "ZELV.DGE").string() + ", 2 boards\nWrote " + (o / "ZELV.BRI").string() + ", 2 boards\n");
    EXPECT_NE(r.Err.find("are numbered 1 to 2 in every file written (they were 5 to 6): dealer and vulnerability "
                         "now follow the new numbers"),
              std::string::npos)
        << r.Err;
    r = Run({"convert", fed.string(), (o / "ZELV.dup").string()});
    ASSERT_EQ(r.Status, 0) << r.Err;
    r = Run({"show", (o / "ZELV.dup").string(), "--format", "text"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    // A DUP file numbers its boards but gives no vulnerability: board 5's is N/S.
    EXPECT_EQ(r.Out.rfind("Board 5: Dealer N - Vul. N/S\n          S -\n          H 63\n", 0), 0u) << r.Out;
    EXPECT_NE(r.Out.find("Board 6: Dealer E - Vul. E/W\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("\nS KQT2              S A8654\n"), std::string::npos) << r.Out;
    EXPECT_EQ(Run({"show", (o / "ZELV.DGE").string()}).Out, Run({"show", (o / "ZELV.BRI").string()}).Out);

    // A broken Deal tag is named by file and board, and nothing is written.
    WriteBytes(fed, ReadBytes(fed) + "\n[Board \"9\"]\n[Deal \"N:AKQ.AKQ.AKQ.AKQJ\"]\n");
    r = Run({"convert", fed.string(), (root / "NEW.DGE").string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find(fed.string() + ": board 9 left out: its Deal tag gives 1 of the four hands"),
              std::string::npos)
        << r.Err;
    EXPECT_FALSE(fs::exists(root / "NEW.DGE"));
    r = Run({"show", fed.string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(Count(r.Out, "[Board "), 2u);
    EXPECT_EQ(Run({"convert", fed.string(), (root / "NEW.TXT").string()}).Status, 2);
    EXPECT_EQ(Run({"convert", fed.string()}).Status, 2);
}

// A results file: one board a board number, each table's game kept in PBN.
TEST_F(ConvertCli, aResultsFileGivesEachBoardOnceAndItsPbnKeepsEveryGame) {
    const std::string results = std::string(ZELV_TEST_DATA) + "/formats/RESULTS.PBN";
    const fs::path dge = root / "RES.DGE", pbn = root / "RES.PBN";
    const RunResult r = Run({"convert", results, dge.string(), pbn.string()});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "Wrote " + dge.string() + ", 3 boards\nWrote " + pbn.string() + ", 3 boards (6 games)\n");
    EXPECT_NE(r.Err.find("3 games repeat the number and deal of an earlier game"), std::string::npos) << r.Err;
    EXPECT_EQ(fs::file_size(dge), 3 * RecordSize);
    EXPECT_EQ(ReadBytes(pbn), ReadBytes(results));
}

#ifdef ZELV_WITH_PRINT
// Pages of a PDF file as Qt writes it: one "/Type /Page" object a page.
int PdfPages(const fs::path& path) {
    const std::string pdf = ReadBytes(path);
    if (pdf.rfind("%PDF", 0) != 0) return -1;
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        pages += pdf.compare(at, 12, "/Type /Pages") != 0;
    return pages;
}

using PrintCli = CliTest;

TEST_F(PrintCli, writesThePagesOfEitherLayoutAndSaysWhat) {
    ASSERT_EQ(Run({"--output", out, "--boards", "17", "--seed", "2", "--quiet"}).Status, 0);
    const std::string dge = (fs::path(out) / "ZELV.DGE").string();
    const fs::path pdf = root / "hands.pdf";
    RunResult r = Run({"print", dge, "-o", pdf.string()});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "Wrote " + pdf.string() + ", 2 pages\n");
    EXPECT_TRUE(r.Err.empty()) << r.Err;
    EXPECT_EQ(PdfPages(pdf), 2);

    r = Run({"print", dge, "-o", (root / "seat.pdf").string(), "--layout", "partnership", "--seats", "N,w", "--paper",
             "letter"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "Wrote " + (root / "seat-North.pdf").string() + ", 1 page\nWrote " +
                         (root / "seat-West.pdf").string() + ", 1 page\n");
    EXPECT_EQ(PdfPages(root / "seat-North.pdf"), 1);
    EXPECT_FALSE(fs::exists(root / "seat-South.pdf"));
}

// Hand records six to a page; a damaged record is printed marked, named as
// not analysed, and the run fails so that a script notices.
TEST_F(PrintCli, handRecordsSixToAPageAndADamagedRecordNamed) {
    ASSERT_EQ(Run({"--output", out, "--boards", "13", "--seed", "3", "--quiet"}).Status, 0);
    const std::string dge = (fs::path(out) / "ZELV.DGE").string();
    const fs::path pdf = root / "records.pdf";
    RunResult r = Run({"print", dge, "-o", pdf.string(), "--layout", "records", "--paper", "letter"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "Wrote " + pdf.string() + ", 3 pages\n");
    EXPECT_TRUE(r.Err.empty()) << r.Err;
    EXPECT_EQ(PdfPages(pdf), 3);

    std::string bytes = ReadBytes(dge);
    bytes[bytes.find('\x05', RecordSize + 17)] = 'X';
    WriteBytes(dge, bytes);
    r = Run({"print", dge, "-o", pdf.string(), "--layout", "records"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find(dge + ": board 2 not analysed"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("1 damaged board record(s)"), std::string::npos) << r.Err;
    EXPECT_EQ(PdfPages(pdf), 3);
}

TEST_F(PrintCli, badInputAndUnwritableOutputFailAsShowDoes) {
    const fs::path empty = root / "EMPTY.DGE";
    WriteBytes(empty, std::string(100, '\x06'));
    RunResult r = Run({"print", empty.string(), "-o", (root / "x.pdf").string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("no boards in " + empty.string()), std::string::npos) << r.Err;
    EXPECT_FALSE(fs::exists(root / "x.pdf"));
    EXPECT_EQ(Run({"print", (root / "missing.DGE").string(), "-o", (root / "x.pdf").string()}).Status, 1);

    ASSERT_EQ(Run({"--output", out, "--boards", "2", "--seed", "2", "--quiet"}).Status, 0);
    const std::string dge = (fs::path(out) / "ZELV.DGE").string();
    const fs::path nowhere = root / "nowhere" / "x.pdf";
    r = Run({"print", dge, "-o", nowhere.string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Unable to write to " + nowhere.string() + " (No such file or directory)"), std::string::npos)
        << r.Err;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"print", dge},
                                               {"print", dge, "-o", "x.pdf", "--seats", "N,Q"},
                                               {"print", dge, "--output=", "x.pdf"},
                                               {"print", dge, "-o", "x.pdf", "--paper", "a3"}})
        EXPECT_EQ(Run(args).Status, 2) << args.back();
}
#endif

} // namespace
} // namespace zelv::clitest
