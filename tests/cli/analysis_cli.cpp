// zelvano-deal's double-dummy analysis: show --dd as PBN and as text, and
// analyse writing an analysed PBN of any board file.
#include "CliSupport.h"
#include "core/formats/Board.h"
#include "core/formats/Pbn.h"

#include <chrono>
#include <csignal>
#include <sys/stat.h>

namespace zelv::clitest {

namespace {

using AnalysisCli = CliTest;

// The lines of a text.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// A PBN file of one game with each hand holding one whole suit.
std::string OneSuitEach(int board) {
    return "[Board \"" + std::to_string(board) +
           "\"]\r\n[Deal \"N:AKQJT98765432... .AKQJT98765432.. ..AKQJT98765432. ...AKQJT98765432\"]\r\n\r\n";
}

} // namespace

// The tags follow the mandatory ones, in their order; taken out, the game is
// as `show` prints it without --dd, which is what `deal` wrote.
TEST_F(AnalysisCli, showDd_addsTheTagsAfterTheMandatoryOnesAndNothingElse) {
    ASSERT_EQ(Run({"--output", out, "--boards", "3", "--seed", "11", "--quiet"}).Status, 0);
    const std::string dge = (fs::path(out) / "ZELV.DGE").string();
    const RunResult plain = Run({"show", dge});
    ASSERT_EQ(plain.Status, 0) << plain.Err;
    EXPECT_EQ(plain.Out, ReadBytes(fs::path(out) / "ZELV.PBN"));
    const RunResult dd = Run({"show", dge, "--dd"});
    ASSERT_EQ(dd.Status, 0) << dd.Err;

    std::vector<std::string> kept;
    std::vector<std::string> lines = Lines(dd.Out);
    int games = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("[DoubleDummyTricks \"", 0) != 0) {
            kept.push_back(lines[i]);
            continue;
        }
        ++games;
        ASSERT_EQ(kept.back(), "[Result \"?\"]");
        const std::string hex = lines[i].substr(20, 20);
        ASSERT_EQ(lines[i], "[DoubleDummyTricks \"" + hex + "\"]");
        ASSERT_EQ(lines[i + 1], "[OptimumResultTable \"Declarer;Denomination\\2R;Result\\2R\"]");
        // Row k is declarer N, S, E, W in turn, strains NT, S, H, D, C.
        for (int k = 0; k < 20; ++k) {
            const std::string row = lines[i + 2 + static_cast<std::size_t>(k)];
            const std::string strain[5] = {"NT", "S", "H", "D", "C"};
            const std::string start = std::string(1, "NSEW"[k / 5]) + " " + strain[k % 5] + " ";
            ASSERT_EQ(row.rfind(start, 0), 0u) << row;
            EXPECT_EQ(std::stoi(row.substr(start.size())),
                      std::stoi(hex.substr(static_cast<std::size_t>(k), 1), nullptr, 16));
        }
        EXPECT_EQ(lines[i + 22].rfind("[OptimumScore \"NS ", 0), 0u) << lines[i + 22];
        EXPECT_EQ(lines[i + 23].rfind("[ParContract \"", 0), 0u) << lines[i + 23];
        EXPECT_EQ(lines[i + 24], "");
        i += 23;
    }
    EXPECT_EQ(games, 3);
    EXPECT_EQ(kept, Lines(plain.Out));

    // Shown again from its own analysis, the same; a game whose tricks
    // disagree with its table is named and solved again.
    const fs::path analysed = root / "DD.PBN";
    std::string text = dd.Out;
    const std::size_t hex = text.find("[DoubleDummyTricks \"") + 20;
    text[hex] = text[hex] == '0' ? '1' : '0';
    WriteBytes(analysed, text);
    const RunResult again = Run({"show", analysed.string(), "--dd"});
    EXPECT_EQ(again.Out, dd.Out);
    EXPECT_NE(again.Err.find("board 1: "), std::string::npos) << again.Err;
    EXPECT_NE(again.Err.find("the board is analysed again"), std::string::npos) << again.Err;
}

// Tricks known without a solver: each hand holds one whole suit.
TEST_F(AnalysisCli, showDdText_printsTableParAndPointsUnderTheDiagram) {
    const fs::path pbn = root / "SUITS.PBN";
    WriteBytes(pbn, OneSuitEach(1));
    const RunResult r = Run({"show", pbn.string(), "--format", "text", "--dd"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const std::string block = "             NT  S  H  D  C\n"
                              "          N   0 13  0 13  0\n"
                              "          S   0 13  0 13  0\n"
                              "          E   0  0 13  0 13\n"
                              "          W   0  0 13  0 13\n"
                              "          Par +1510: 7S by NS\n"
                              "          HCP N 10, S 10, E 10, W 10\n\n";
    ASSERT_GE(r.Out.size(), block.size());
    EXPECT_EQ(r.Out.substr(r.Out.size() - block.size()), block) << r.Out;
}

// Any board file in, an analysed PBN out; a damaged record is named and
// left out, the others are written with their tags and read back.
TEST_F(AnalysisCli, analyse_writesEveryReadableBoardAndNamesTheOthers) {
    ASSERT_EQ(Run({"--output", out, "--boards", "3", "--seed", "4", "--quiet"}).Status, 0);
    const fs::path dge = fs::path(out) / "ZELV.DGE";
    std::string bytes = ReadBytes(dge);
    for (std::size_t i = RecordSize; i < 2 * RecordSize; ++i) bytes[i] = 'x';
    WriteBytes(dge, bytes);
    const fs::path analysed = root / "OUT.PBN";
    const RunResult r = Run({"analyse", dge.string(), "-o", analysed.string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find(dge.string() + ": board 2 not analysed: its record is damaged"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out, "Wrote " + analysed.string() + ", 2 boards\n");
    const std::string text = ReadBytes(analysed);
    const BoardList back = ReadPbn(text, "OUT.PBN");
    ASSERT_EQ(back.Boards.size(), 2u);
    EXPECT_EQ(back.Boards[0].Number, 1u);
    EXPECT_EQ(back.Boards[1].Number, 3u);
    EXPECT_TRUE(back.Problems.empty());
    std::size_t tags = 0;
    for (std::size_t p = text.find("[ParContract \""); p != std::string::npos; p = text.find("[ParContract", p + 1))
        ++tags;
    EXPECT_EQ(tags, 2u);

    // The same boards from a PBN, numbered from 17: dealer and vulnerability follow.
    const fs::path suits = root / "SUITS.PBN";
    WriteBytes(suits, OneSuitEach(18));
    ASSERT_EQ(Run({"analyse", suits.string(), "-o", analysed.string()}).Status, 0);
    const std::string again = ReadBytes(analysed);
    const BoardList board18 = ReadPbn(again, "OUT.PBN");
    ASSERT_EQ(board18.Boards.size(), 1u);
    EXPECT_EQ(board18.Boards[0].Dealer, East);
    EXPECT_EQ(board18.Boards[0].Vul, Vulnerability::NS);
    EXPECT_NE(again.find("[OptimumScore \"NS 2210\"]\r\n[ParContract \"NS 7S\"]"), std::string::npos) << again;
}

// A results file analysed keeps its games as they were, each table's with
// its board's analysis; analysed again, the tags are replaced where they are.
TEST_F(AnalysisCli, analyse_keepsEveryTagSectionAndCommentOfAPbnFile) {
    const std::string results = std::string(ZELV_TEST_DATA) + "/formats/RESULTS.PBN";
    const fs::path analysed = root / "OUT.PBN", again = root / "AGAIN.PBN";
    RunResult r = Run({"analyse", results, "-o", analysed.string()});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "Wrote " + analysed.string() + ", 3 boards (6 games)\n");
    const std::string text = ReadBytes(analysed);
    std::string stripped;
    std::size_t games = 0;
    bool inTable = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at) + 2;
        const std::string line = text.substr(at, end - at);
        at = end;
        if (line[0] == '[') inTable = line.rfind("[OptimumResultTable ", 0) == 0;
        games += line.rfind("[DoubleDummyTricks ", 0) == 0;
        const bool added = line.rfind("[DoubleDummyTricks ", 0) == 0 || line.rfind("[OptimumScore ", 0) == 0 ||
                           line.rfind("[ParContract ", 0) == 0 || inTable;
        if (!added) stripped += line;
    }
    EXPECT_EQ(games, 6u);
    EXPECT_EQ(stripped, ReadBytes(results));
    EXPECT_NE(text.find("[Result \"8\"]\r\n[DoubleDummyTricks \""), std::string::npos);
    r = Run({"analyse", analysed.string(), "-o", again.string()});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(ReadBytes(again), text);
}

TEST_F(AnalysisCli, analyse_refusesAnOutputThatIsNoPbnAndABadInput) {
    const fs::path suits = root / "SUITS.PBN";
    WriteBytes(suits, OneSuitEach(1));
    RunResult r = Run({"analyse", suits.string(), "-o", (root / "OUT.DGE").string()});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("name a .PBN file"), std::string::npos) << r.Err;
    EXPECT_FALSE(fs::exists(root / "OUT.DGE"));
    r = Run({"analyse", (root / "MISSING.PBN").string(), "-o", (root / "OUT.PBN").string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("MISSING.PBN"), std::string::npos) << r.Err;
    EXPECT_FALSE(fs::exists(root / "OUT.PBN"));
}

// A run with --dd analyses its boards a batch at a time (past the first
// batch here): its PBN is what show --dd makes of its board file, and
// without --dd it is the plain PBN.
TEST_F(AnalysisCli, dealDd_givesEveryGameItsAnalysisAndNeedsThePbnFile) {
    ASSERT_EQ(Run({"--output", out, "--boards", "33", "--seed", "3", "--dd", "--quiet"}).Status, 0);
    const RunResult shown = Run({"show", (fs::path(out) / "ZELV.DGE").string(), "--dd"});
    ASSERT_EQ(shown.Status, 0) << shown.Err;
    const std::string pbn = ReadBytes(fs::path(out) / "ZELV.PBN");
    EXPECT_EQ(pbn, shown.Out);
    std::size_t games = 0;
    for (std::size_t p = pbn.find("[OptimumScore"); p != std::string::npos; p = pbn.find("[OptimumScore", p + 1))
        ++games;
    EXPECT_EQ(games, 33u);

    const RunResult refused = Run({"--output", out, "--boards", "1", "--dd", "--no-pbn", "--code", "NOPBN"});
    EXPECT_EQ(refused.Status, 2);
    EXPECT_NE(refused.Err.find("--dd"), std::string::npos) << refused.Err;
    EXPECT_FALSE(fs::exists(fs::path(out) / "NOPBN.DGE"));
}

// The same seed with and without --dd: the machine files are the same
// bytes, and the PBN file without its analysis lines is the plain one,
// CR LF line ends and all.
TEST_F(AnalysisCli, dealDd_changesNothingButTheAddedTags) {
    ASSERT_EQ(Run({"--output", out, "--boards", "5", "--seed", "8", "--code", "PLAIN", "--quiet"}).Status, 0);
    ASSERT_EQ(Run({"--output", out, "--boards", "5", "--seed", "8", "--code", "DD", "--dd", "--quiet"}).Status, 0);
    const fs::path dir(out);
    EXPECT_EQ(ReadBytes(dir / "DD.DGE"), ReadBytes(dir / "PLAIN.DGE"));
    EXPECT_EQ(ReadBytes(dir / "DD.BRI"), ReadBytes(dir / "PLAIN.BRI"));
    const std::string plain = ReadBytes(dir / "PLAIN.PBN");
    EXPECT_EQ(plain.find("DoubleDummyTricks"), std::string::npos);
    EXPECT_EQ(plain.find("Optimum"), std::string::npos);
    const std::string dd = ReadBytes(dir / "DD.PBN");
    std::string stripped;
    bool inTable = false;
    std::size_t removed = 0;
    for (std::size_t at = 0; at < dd.size();) {
        const std::size_t end = dd.find("\r\n", at) + 2;
        const std::string line = dd.substr(at, end - at);
        at = end;
        const bool tag = line.rfind("[DoubleDummyTricks ", 0) == 0 || line.rfind("[OptimumScore ", 0) == 0 ||
                         line.rfind("[ParContract ", 0) == 0 || line.rfind("[OptimumResultTable ", 0) == 0;
        // The table's rows run from its tag to the next tag.
        if (line[0] == '[') inTable = line.rfind("[OptimumResultTable ", 0) == 0;
        if (tag || (inTable && line[0] != '[')) {
            ++removed;
            continue;
        }
        stripped += line;
    }
    EXPECT_EQ(removed, 5u * 24u);
    EXPECT_EQ(stripped, plain);
}

// An output that cannot be written is refused before any board is analysed:
// the damaged record's message, which only the analysis gives, never comes.
TEST_F(AnalysisCli, analyseAndPrintRecords_refuseAnUnwritableOutputBeforeAnalysing) {
    ASSERT_EQ(Run({"--output", out, "--boards", "3", "--seed", "4", "--quiet"}).Status, 0);
    const fs::path dge = fs::path(out) / "ZELV.DGE";
    std::string bytes = ReadBytes(dge);
    for (std::size_t i = RecordSize; i < 2 * RecordSize; ++i) bytes[i] = 'x';
    WriteBytes(dge, bytes);
    std::vector<std::vector<std::string>> commands;
    for (const char* name : {"KEPT.PBN", "KEPT.pdf"}) {
        WriteBytes(root / name, "kept");
        ::chmod((root / name).c_str(), 0444);
    }
    for (const fs::path& target : {root / "gone" / "OUT.PBN", root / "KEPT.PBN"})
        commands.push_back({"analyse", dge.string(), "-o", target.string()});
#ifdef ZELV_WITH_PRINT
    for (const fs::path& target : {root / "gone" / "OUT.pdf", root / "KEPT.pdf"})
        commands.push_back({"print", dge.string(), "-o", target.string(), "--layout", "records"});
#endif
    for (const auto& args : commands) {
        const RunResult r = Run(args);
        EXPECT_EQ(r.Status, 1) << args[3];
        EXPECT_EQ(r.Err.rfind("zelvano-deal: Unable to write to " + args[3] + " (", 0), 0u) << r.Err;
        EXPECT_EQ(r.Err.find("not analysed"), std::string::npos) << r.Err;
    }
    EXPECT_FALSE(fs::exists(root / "gone"));
    EXPECT_EQ(ReadBytes(root / "KEPT.PBN"), "kept");
    EXPECT_EQ(ReadBytes(root / "KEPT.pdf"), "kept");
}

// Ctrl-C ends analyse and print --layout records at once, though DDS is in
// the middle of a board: status 130, nothing written.
TEST_F(AnalysisCli, interruptedAnalysisEndsAtOnce) {
    ASSERT_EQ(Run({"--output", out, "--boards", "200", "--seed", "6", "--quiet"}).Status, 0);
    const std::string dge = (fs::path(out) / "ZELV.DGE").string();
    std::vector<std::vector<std::string>> commands = {{"analyse", dge, "-o", (root / "OUT.PBN").string()}};
#ifdef ZELV_WITH_PRINT
    commands.push_back({"print", dge, "-o", (root / "OUT.pdf").string(), "--layout", "records"});
#endif
    for (const auto& args : commands) {
        const pid_t pid = Start(args);
        ASSERT_GT(pid, 0);
        ::usleep(1500000); // well into the analysis of 200 boards
        const auto sent = std::chrono::steady_clock::now();
        ::kill(pid, SIGINT);
        const RunResult r = Wait(pid);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - sent;
        EXPECT_EQ(r.Status, 130) << r.Err;
        // Generous for a loaded machine: a DDS batch of the old size took 6 to 30 s.
        EXPECT_LT(took.count(), 2.0) << args[0];
        EXPECT_NE(r.Err.find("stopped before every board"), std::string::npos) << r.Err;
        EXPECT_FALSE(fs::exists(args[3])) << args[3];
    }
}

} // namespace zelv::clitest
