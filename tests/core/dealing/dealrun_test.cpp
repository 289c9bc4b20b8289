#include "core/analysis/DoubleDummy.h"
#include "core/dealing/ClassicRandom.h"
#include "core/dealing/DealRun.h"
#include "core/dealing/RunChecks.h"
#include "core/dealing/RunPresenter.h"
#include "core/definitions/DefinitionText.h"
#include "core/formats/DgeFile.h"
#include "core/formats/Pbn.h"
#include "support/ReferenceBoard.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

using namespace zelv;

namespace {
class Run : public ::testing::Test {
  protected:
    test::TempDir defs, hands;
    DealRunOptions o;

    void SetUp() override {
        o.DefinitionsFolder = defs.path();
        o.OutputFolder = hands.path();
        o.FileCode = "ZELV";
        test::WriteRunDefinitions(defs.path());
        DefinitionText ace = DefinitionText::Defaults();
        ace.Cards[MakeCard(0, 0)] = true;
        test::WriteDefinition(defs.path(), "ACE", ace);
        DefinitionText tops = DefinitionText::Defaults();
        tops.Limit(SuitLimitIndex(GroupPoints, 0, false)) = "10";
        test::WriteDefinition(defs.path(), "TOPS", tops);
    }
    // Each seat on its own can be dealt, together never: North needs the
    // ace of spades, South the four top spades.
    void AceNorthAndTopSpadesSouth() {
        o.SeedFirst = false;
        for (int seat : {North, South}) o.Setup[seat].Constrained = true;
        o.Setup[North].Names[0] = "ACE";
        o.Setup[South].Names[0] = "TOPS";
    }
    std::string Out(const char* ext) { return hands.file(std::string("ZELV") + ext); }
};

// Rebuilds a hand's codes from its display row.
Hand CodesOf(const DisplayRow& row) {
    Hand h{};
    int n = 0;
    for (int s = 0; s < 4; ++s)
        for (char c : row[s])
            h[static_cast<std::size_t>(n++ % 13)] = MakeCard(s, static_cast<int>(RankLetters.find(c)));
    return h;
}
} // namespace

TEST_F(Run, fixedSeedWritesTheRequestedBoardsAndEachMeetsTheSetUp) {
    o.Setup[North].Constrained = true;
    o.Setup[North].Names[0] = "STRONG";
    o.Setup[South].Constrained = true;
    o.Setup[South].Names = {"nt", "", "", "", ""};
    o.Boards = 12;
    o.Seed = 2026;
    DealRunResult r = RunDeal(o);
    ASSERT_EQ(r.Status, DealStatus::Done) << r.Error;
    EXPECT_EQ(r.Accepted, 12u);
    EXPECT_GT(r.Attempts, 12u);
    std::string dge = test::ReadText(Out(".DGE")), bri = test::ReadText(Out(".BRI"));
    ASSERT_EQ(dge.size(), 12u * 128);
    ASSERT_EQ(bri.size(), 12u * 128);

    DgeFile f;
    ASSERT_TRUE(f.Open(Out(".DGE"), nullptr));
    test::ReferenceBoard judge;
    judge.SetConstrained(North, true);
    judge.SetConstrained(South, true);
    HandDefinition strong, nt;
    ASSERT_TRUE(DealEngine::ReadDefinition(defs.file("STRONG.HDS"), strong, nullptr));
    ASSERT_TRUE(DealEngine::ReadDefinition(defs.file("NT.HDS"), nt, nullptr));
    judge.SetSlot(North, 0, strong);
    judge.SetSlot(South, 0, nt);
    for (std::uint64_t n = 1; n <= 12; ++n) {
        DisplayTable view;
        ASSERT_EQ(f.ReadBoard(n, view), DgeFile::Read::Ok);
        for (int seat = 0; seat < 4; ++seat) judge.SeatHand(seat) = CodesOf(view[seat]);
        judge.EvaluateHands();
        judge.MeasureShapes();
        EXPECT_TRUE(judge.CheckBoard()) << "board " << n;
        EXPECT_GE(judge.HandPoints[North], 20);
        EXPECT_LE(judge.HandPoints[South], 17);
        // The dealing-machine record names the same cards, in ascending order.
        std::string rec = bri.substr((n - 1) * 128, 128);
        for (int k = 0; k < 3; ++k) {
            Hand sorted = judge.SeatHand(SeatOfClockwise(k));
            std::sort(sorted.begin(), sorted.end());
            for (int i = 0; i < 13; ++i) {
                int code = std::stoi(rec.substr(static_cast<std::size_t>(k * 26 + i * 2), 2));
                ASSERT_EQ(code, sorted[static_cast<std::size_t>(i)]) << "board " << n;
            }
        }
    }
    // The same seed deals the same bytes again, and so does a run that
    // continues a generator started from it; that run leaves the generator
    // where it ended, so the next run deals other boards.
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    EXPECT_EQ(test::ReadText(Out(".DGE")), dge);
    EXPECT_EQ(test::ReadText(Out(".BRI")), bri);
    ClassicRandom session(2026);
    o.Seed.reset();
    o.Random = &session;
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    EXPECT_EQ(test::ReadText(Out(".DGE")), dge);
    EXPECT_NE(session.Seed, 2026u);
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    EXPECT_NE(test::ReadText(Out(".DGE")), dge);
}

// A classic run that reaches the end of its generator's sequence stops
// before a board could repeat one already dealt, and keeps its boards: the
// ones a run with the whole sequence deals first. A secure run has no end.
TEST_F(Run, classicRunStopsBeforeItsSequenceComesRoundAgainAndKeepsItsBoards) {
    o.Setup[North].Constrained = true;
    o.Setup[North].Names[0] = "STRONG";
    o.Boards = 40;
    o.Seed = 12345;
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    const std::string whole = test::ReadText(Out(".DGE"));
    o.ClassicDraws = 30000; // a few boards' worth, as at the end of the sequence
    DealRunResult r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::SequenceSpent);
    ASSERT_GT(r.Accepted, 0u);
    ASSERT_LT(r.Accepted, 40u);
    EXPECT_TRUE(r.Written);
    EXPECT_EQ(test::ReadText(Out(".DGE")), whole.substr(0, 128 * r.Accepted));
    EXPECT_EQ(DescribeResult(r, 40),
              "The classic random source has gone through all its numbers; further boards would repeat. Use the "
              "secure source. " +
                  std::to_string(r.Accepted) + " of 40 boards dealt in " + std::to_string(r.Attempts) + " attempts.");
    o.Seed.reset();
    o.Secure = true;
    EXPECT_EQ(RunDeal(o).Status, DealStatus::Done);
}

TEST_F(Run, freeSeatsTakeOneAttemptPerBoardAndZeroBoardsKeepThePreviousSet) {
    o.Boards = 0;
    DealRunResult r = RunDeal(o);
    ASSERT_EQ(r.Status, DealStatus::Done);
    EXPECT_FALSE(r.Written);
    EXPECT_FALSE(std::filesystem::exists(Out(".DGE")));
    o.Boards = 7;
    r = RunDeal(o);
    ASSERT_EQ(r.Status, DealStatus::Done);
    EXPECT_TRUE(r.Written);
    EXPECT_EQ(r.Attempts, 7u);
    const std::string pbn = test::ReadText(Out(".PBN"));
    o.Boards = 0;
    r = RunDeal(o);
    ASSERT_EQ(r.Status, DealStatus::Done);
    EXPECT_EQ(r.Attempts, 0u);
    EXPECT_EQ(test::ReadText(Out(".DGE")).size(), 7u * 128);
    EXPECT_EQ(test::ReadText(Out(".BRI")).size(), 7u * 128);
    EXPECT_EQ(test::ReadText(Out(".PBN")), pbn);
    EXPECT_EQ(DescribeResult(r, 0), "0 of 0 boards dealt in 0 attempts; the previous files were kept.");
}

TEST_F(Run, refusedSetUpTouchesNoFile) {
    test::WriteText(Out(".DGE"), "keep");
    o.Setup[North].Constrained = true;
    o.Setup[North].Names[0] = "MISSING";
    DealRunResult r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::Failed);
    EXPECT_NE(r.Error.find("MISSING"), std::string::npos);
    EXPECT_EQ(test::ReadText(Out(".DGE")), "keep");
    o.Setup[North].Names[0] = "STRONG";
    o.Boards = -3;
    r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::Failed);
    EXPECT_NE(r.Error.find("-3"), std::string::npos);
    EXPECT_EQ(test::ReadText(Out(".DGE")), "keep");
    EXPECT_FALSE(std::filesystem::exists(Out(".BRI")));
}

// A seat that can never be dealt a hand is refused with the definition
// and the reason, before any file is touched; another alternative that
// can be dealt saves it, unless alternatives take turns.
TEST_F(Run, seatThatAcceptsNoHandIsRefusedWithItsReasonBeforeAnyFile) {
    test::WriteText(Out(".DGE"), "keep");
    o.Setup[South].Constrained = true;
    o.Setup[South].Names[0] = "NEVER";
    DealRunResult r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::Failed);
    EXPECT_EQ(r.Error, "South's definition 1 \"NEVER\" accepts no hand: Minimum points 38 is above the maximum "
                       "34. No board can be dealt.");
    EXPECT_EQ(test::ReadText(Out(".DGE")), "keep");
    EXPECT_FALSE(std::filesystem::exists(Out(".BRI")));

    o.Setup[South].Names[1] = "STRONG";
    o.Boards = 2;
    r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::Done) << r.Error;
    o.Level = true;
    r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::Failed);
    EXPECT_NE(r.Error.find("South's definition 1 \"NEVER\" accepts no hand"), std::string::npos) << r.Error;

    // An empty Yes list is one more reason to accept no hand, no more.
    DefinitionText none = DefinitionText::Defaults();
    none.NoShapes = none.YesShapes;
    none.YesShapes.clear();
    test::WriteDefinition(defs.path(), "NONE", none);
    o.Level = false;
    o.Setup[South].Names = {"STRONG", "NONE", "", "", ""};
    r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::Done) << r.Error;
    o.Setup[South].Names = {"NONE", "", "", "", ""};
    r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::Failed);
    EXPECT_EQ(r.Error, "South's definition 1 \"NONE\" accepts no hand: no shape is accepted (the Yes list is "
                       "empty). No board can be dealt.");
}

// Three alternatives over 30 boards, levelled: board k meets alternative
// ((k - 1) mod 3) + 1 and each gets exactly 10, with either dealer. The
// alternatives do not overlap, so the board says which one it met.
class Levelled : public Run, public ::testing::WithParamInterface<bool> {};

TEST_P(Levelled, eachBoardMeetsItsAlternativeInTurnAndEachGetsAnEqualShare) {
    for (const auto& [name, lo, hi] :
         {std::tuple{"WEAK", "0", "9"}, std::tuple{"MID", "10", "14"}, std::tuple{"BIG", "15", "37"}}) {
        DefinitionText d = DefinitionText::Defaults();
        d.Limit(LimMinPoints) = lo;
        d.Limit(LimMaxPoints) = hi;
        test::WriteDefinition(defs.path(), name, d);
    }
    o.Secure = GetParam();
    o.Threads = 3; // secure: boards found out of turn are written in turn
    o.Setup[East].Constrained = true;
    o.Setup[East].Names = {"WEAK", "", "MID", "BIG", ""};
    o.Boards = 30;
    o.Level = true;
    DealRunResult r = RunDeal(o);
    ASSERT_EQ(r.Status, DealStatus::Done) << r.Error;
    EXPECT_EQ(r.Shares[East][0], 10u);
    EXPECT_EQ(r.Shares[East][2], 10u);
    EXPECT_EQ(r.Shares[East][3], 10u);
    EXPECT_EQ(DescribeShares(o.Setup, r.Shares), "East: WEAK 10, MID 10, BIG 10");
    DgeFile f;
    ASSERT_TRUE(f.Open(Out(".DGE"), nullptr));
    ASSERT_EQ(f.BoardCount(), 30u);
    test::ReferenceBoard judge;
    judge.SetConstrained(East, true);
    const int bands[3][2] = {{0, 9}, {10, 14}, {15, 37}};
    for (std::uint64_t n = 1; n <= 30; ++n) {
        DisplayTable view;
        ASSERT_EQ(f.ReadBoard(n, view), DgeFile::Read::Ok);
        judge.SeatHand(East) = CodesOf(view[East]);
        judge.EvaluateHands();
        const int* band = bands[(n - 1) % 3];
        EXPECT_GE(judge.HandPoints[East], band[0]) << "board " << n;
        EXPECT_LE(judge.HandPoints[East], band[1]) << "board " << n;
    }
}
INSTANTIATE_TEST_SUITE_P(ClassicAndSecure, Levelled, ::testing::Bool());

// A levelled secure run on several threads ends at the attempt limit with
// exactly that many attempts, or when stopped, like any other run.
TEST_F(Run, levelledSecureRunStopsAtTheAttemptLimitOrWhenAsked) {
    AceNorthAndTopSpadesSouth();
    o.Setup[North].Names[1] = "STRONG";
    o.Secure = true;
    o.Level = true;
    o.Threads = 3;
    o.Boards = 4;
    o.MaxAttempts = 100003;
    DealRunResult r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::AttemptLimit);
    EXPECT_EQ(r.Attempts, 100003u);
    EXPECT_EQ(r.Accepted, 0u);
    o.MaxAttempts = 0;
    std::atomic<bool> stop{false};
    r = RunDeal(o, &stop, [&](const DealProgress& p) {
        if (p.Attempts > 0) stop = true;
    });
    EXPECT_EQ(r.Status, DealStatus::Stopped);
    EXPECT_GT(r.Attempts, 0u);
}

// Off, a run is today's run: the same seed deals the same files whether
// the option was never heard of or is set off.
TEST_F(Run, levellingOffDealsTheSameBoardsAsBefore) {
    o.Setup[North].Constrained = true;
    o.Setup[North].Names = {"NT", "STRONG", "", "", ""};
    o.Seed = 77;
    o.Boards = 12;
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    const std::string before = test::ReadText(Out(".DGE")) + test::ReadText(Out(".PBN"));
    o.Level = true;
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    const std::string levelled = test::ReadText(Out(".DGE")) + test::ReadText(Out(".PBN"));
    o.Level = false;
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    EXPECT_EQ(test::ReadText(Out(".DGE")) + test::ReadText(Out(".PBN")), before);
    EXPECT_NE(levelled, before);
}

// A code with a control character would break the .DLM file's header line:
// refused before any file is touched, whoever asks.
TEST_F(Run, aFileCodeWithAControlCharacterIsRefusedBeforeAnyFile) {
    o.FileCode = "ZE\nLV";
    o.WriteDlm = true;
    const DealRunResult r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::Failed);
    EXPECT_EQ(r.Error, "The file code 'ZE\\nLV' holds a control character, which would break the header line of the "
                       ".DLM file and cannot be typed or shown in a file's name");
    EXPECT_TRUE(std::filesystem::is_empty(hands.path()));
}

TEST_F(Run, missingOutputFolderIsReported) {
    o.OutputFolder = hands.file("gone");
    DealRunResult r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::Failed);
    EXPECT_EQ(r.Error, "Unable to write to " + hands.file("gone") + "/ZELV.BRI (No such file or directory)");
}

TEST_F(Run, impossibleSetUpEndsAtTheAttemptLimitOrWhenStopped) {
    AceNorthAndTopSpadesSouth();
    o.Boards = 3;
    o.MaxAttempts = 5000;
    DealRunResult r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::AttemptLimit);
    EXPECT_EQ(r.Attempts, 5000u);
    EXPECT_EQ(r.Accepted, 0u);
    EXPECT_EQ(test::ReadText(Out(".DGE")).size(), 0u);

    o.MaxAttempts = 0;
    std::atomic<bool> stop{false};
    std::uint64_t reports = 0;
    r = RunDeal(o, &stop, [&](const DealProgress& p) {
        ++reports;
        if (p.Attempts > 0) stop = true;
    });
    EXPECT_EQ(r.Status, DealStatus::Stopped);
    EXPECT_GT(reports, 0u);
    EXPECT_EQ(DescribeResult(r, 3).rfind("Stopped: 0 of 3 boards dealt in ", 0), 0u);
}

TEST_F(Run, stoppedRunKeepsTheBoardsAcceptedSoFar) {
    o.Setup[North].Constrained = true;
    o.Setup[North].Names[0] = "STRONG";
    o.Boards = 1000000;
    std::atomic<bool> stop{false};
    DealRunResult r = RunDeal(o, &stop, [&](const DealProgress& p) {
        if (p.Accepted >= 5) stop = true;
    });
    ASSERT_EQ(r.Status, DealStatus::Stopped);
    EXPECT_GE(r.Accepted, 5u);
    EXPECT_EQ(test::ReadText(Out(".DGE")).size(), 128u * r.Accepted);
    EXPECT_EQ(test::ReadText(Out(".BRI")).size(), 128u * r.Accepted);
}

// Stopped while analysing, from either source, levelled or not, a run keeps
// every board dealt; the first ones carry their analysis and the result
// counts exactly those.
TEST_F(Run, stoppedWhileAnalysingKeepsItsBoardsAndCountsThoseAnalysed) {
    o.Setup[North].Constrained = true;
    o.Setup[North].Names[0] = "STRONG";
    o.Boards = 30;
    o.PbnAnalysis = true;
    for (const auto& [secure, level] : {std::pair{false, false}, std::pair{true, false}, std::pair{true, true}}) {
        o.Secure = secure;
        o.Level = level;
        std::atomic<bool> stop{false};
        std::string shown;
        const DealRunResult r = RunDeal(o, &stop, [&](const DealProgress& p) {
            if (p.Analysed >= 2) stop = true;
            shown = ProgressText(p);
        });
        ASSERT_EQ(r.Status, DealStatus::Stopped) << r.Error;
        EXPECT_EQ(r.Accepted, 30u);
        EXPECT_GE(r.Analysed, 2u);
        EXPECT_LT(r.Analysed, 30u);
        EXPECT_EQ(shown, "Dealt 30 of 30 \u00b7 analysing " + std::to_string(r.Analysed) + " of 30");
        EXPECT_EQ(test::ReadText(Out(".DGE")).size(), 128u * 30);
        const std::string pbn = test::ReadText(Out(".PBN"));
        auto count = [&pbn](const std::string& tag) {
            std::size_t n = 0;
            for (std::size_t at = pbn.find(tag); at != std::string::npos; at = pbn.find(tag, at + 1)) ++n;
            return n;
        };
        EXPECT_EQ(count("[Board \""), 30u);
        EXPECT_EQ(count("[DoubleDummyTricks \""), r.Analysed);
        EXPECT_EQ(count("[ParContract \""), r.Analysed);
        EXPECT_NE(DescribeResult(r, 30).find(", " + std::to_string(r.Analysed) + " with their double-dummy analysis."),
                  std::string::npos)
            << DescribeResult(r, 30);
    }
}

// A par DDS could not work out leaves the game without par tags, and the
// run says so.
TEST_F(Run, analysedRunWhoseParFailsLeavesOutTheParTagsAndSaysSo) {
    o.Boards = 2;
    o.Seed = 11;
    o.PbnAnalysis = true;
    SetParFailureForTesting(-1);
    const DealRunResult r = RunDeal(o);
    SetParFailureForTesting(0);
    ASSERT_EQ(r.Status, DealStatus::Done) << r.Error;
    EXPECT_EQ(r.Analysed, 2u);
    const std::string pbn = test::ReadText(Out(".PBN"));
    EXPECT_EQ(pbn.find("[OptimumScore"), std::string::npos);
    EXPECT_EQ(pbn.find("[ParContract"), std::string::npos);
    EXPECT_NE(pbn.find("[DoubleDummyTricks \""), pbn.rfind("[DoubleDummyTricks \""));
    ASSERT_EQ(r.Notes.size(), 2u);
    EXPECT_EQ(r.Notes[1].rfind(Out(".PBN") + ": board 2: par not computed: the double-dummy solver says", 0), 0u)
        << r.Notes[1];
}

// Three threads, each dealing from its own stream: the writer keeps exactly
// the boards asked for, every one meeting the set-up, and the attempt limit
// and Stop count every thread's attempts.
TEST_F(Run, secureRunOnThreeThreadsWritesExactlyItsBoardsAndCountsEveryThreadsAttempts) {
    o.Secure = true;
    o.Threads = 3;
    o.Setup[North].Constrained = true;
    o.Setup[North].Names[0] = "STRONG";
    o.Boards = 3000;
    DealRunResult r = RunDeal(o);
    ASSERT_EQ(r.Status, DealStatus::Done) << r.Error;
    EXPECT_EQ(r.Accepted, 3000u);
    EXPECT_GE(r.Attempts, 3000u);
    EXPECT_EQ(test::ReadText(Out(".BRI")).size(), 3000u * 128);
    DgeFile f;
    ASSERT_TRUE(f.Open(Out(".DGE"), nullptr));
    EXPECT_EQ(f.BoardCount(), 3000u);
    test::ReferenceBoard judge;
    judge.SetConstrained(North, true);
    for (std::uint64_t n = 1; n <= 3000; ++n) {
        DisplayTable view;
        ASSERT_EQ(f.ReadBoard(n, view), DgeFile::Read::Ok);
        judge.SeatHand(North) = CodesOf(view[North]);
        judge.EvaluateHands();
        ASSERT_GE(judge.HandPoints[North], 20) << "board " << n;
    }

    AceNorthAndTopSpadesSouth();
    o.MaxAttempts = 100003;
    r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::AttemptLimit);
    EXPECT_EQ(r.Attempts, 100003u);
    EXPECT_EQ(r.Accepted, 0u);

    o.MaxAttempts = 0;
    std::atomic<bool> stop{false};
    r = RunDeal(o, &stop, [&](const DealProgress& p) {
        if (p.Attempts > 0) stop = true;
    });
    EXPECT_EQ(r.Status, DealStatus::Stopped);
    EXPECT_GT(r.Attempts, 0u);
}

// The highest board a set may reach is the highest its files can hold and
// be read back with: a PBN file's last board is one ReadPbn takes.
TEST_F(Run, aSetPastThePbnFilesHighestBoardIsRefusedBeforeAnyFile) {
    o.Boards = 1;
    o.Seed = 3;
    o.FirstBoard = PbnHighestBoard;
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    const std::string pbn = test::ReadText(Out(".PBN")), dge = test::ReadText(Out(".DGE"));
    const BoardList read = ReadPbn(pbn, "ZELV.PBN");
    ASSERT_EQ(read.Boards.size(), 1u);
    EXPECT_EQ(read.Boards[0].Number, PbnHighestBoard);
    std::string past = pbn;
    past.replace(past.find("2147483647"), 10, "2147483648");
    EXPECT_TRUE(ReadPbn(past, "ZELV.PBN").Boards.empty());

    o.Boards = 2;
    DealRunResult r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::Failed);
    EXPECT_EQ(r.Error, "Unable to write to " + Out(".PBN") +
                           " (a .PBN file holds board numbers up to 2147483647, and boards 2147483647 to "
                           "2147483648 go past it)");
    EXPECT_EQ(test::ReadText(Out(".PBN")), pbn);
    EXPECT_EQ(test::ReadText(Out(".DGE")), dge);
    // The board and machine files number boards by their place alone.
    o.FirstBoard = 4294967295u;
    o.WritePbn = false;
    EXPECT_EQ(RunDeal(o).Status, DealStatus::Done);
}

TEST_F(Run, machineFilesAsChosenFromTheFirstBoardAndATooLongSetRefusedBeforeAnyFile) {
    o.Boards = 16;
    o.Seed = 7;
    o.FirstBoard = 17;
    o.WriteDup = o.WriteDlm = true;
    DealRunResult r = RunDeal(o);
    ASSERT_EQ(r.Status, DealStatus::Done) << r.Error;
    EXPECT_EQ(r.DupPath, Out(".DUP"));
    EXPECT_EQ(r.DlmPath, Out(".DLM"));
    const std::string dup = test::ReadText(Out(".DUP"));
    ASSERT_EQ(dup.size(), 16u * 156);
    EXPECT_EQ(dup.substr(146, 10), "YN17 0 32 ");
    EXPECT_NE(test::ReadText(Out(".DLM")).find("\r\nFrom board=17\r\nTo board=32\r\n"), std::string::npos);
    EXPECT_NE(test::ReadText(Out(".PBN")).find("[Board \"32\"]"), std::string::npos);

    const std::string before = test::ReadText(Out(".DGE"));
    o.FirstBoard = 90;
    r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::Failed);
    EXPECT_EQ(r.Error, "Unable to write to " + Out(".DLM") +
                           " (a .DLM file holds board numbers up to 99, and boards 90 to 105 go past it)");
    EXPECT_EQ(r.Attempts, 0u);
    EXPECT_EQ(test::ReadText(Out(".DGE")), before);

    // Boards found by several secure threads reach the machine files too,
    // each DUP record holding the BRI and DGE records of its board.
    o.FirstBoard = 1;
    o.Seed.reset();
    o.Secure = true;
    o.Threads = 2;
    o.Boards = 40;
    r = RunDeal(o);
    ASSERT_EQ(r.Status, DealStatus::Done) << r.Error;
    const std::string dup2 = test::ReadText(Out(".DUP")), bri = test::ReadText(Out(".BRI")),
                      dge = test::ReadText(Out(".DGE"));
    ASSERT_EQ(dup2.size(), 40u * 156);
    for (std::size_t n = 0; n < 40; ++n) {
        ASSERT_EQ(dup2.substr(n * 156, 78), bri.substr(n * 128, 78)) << n;
        ASSERT_EQ(dup2.substr(n * 156 + 78, 68), dge.substr(n * 128, 68)) << n;
    }
    EXPECT_NE(test::ReadText(Out(".DLM")).find("\r\nTo board=40\r\n"), std::string::npos);
}

// The dialog and the command line drop a machine file that cannot number
// the set, with the core's words, before the run would refuse it.
TEST_F(Run, machineFilesDroppedBeforeTheRunAreExactlyThoseItWouldRefuse) {
    o.Boards = 16;
    o.Seed = 7;
    o.FirstBoard = 90;
    o.WriteDup = o.WriteDlm = true;
    ASSERT_NE(RunOptionsProblem(o), "");
    EXPECT_EQ(DropMachineFilesOutOfRange(o),
              std::vector<std::string>{"ZELV.DLM is not written: a .DLM file holds board numbers up to 99, and boards "
                                       "90 to 105 go past it"});
    EXPECT_TRUE(o.WriteDup);
    EXPECT_FALSE(o.WriteDlm);
    EXPECT_EQ(RunOptionsProblem(o), "");
    EXPECT_EQ(RunDeal(o).Status, DealStatus::Done);
    EXPECT_FALSE(std::filesystem::exists(Out(".DLM")));

    o.FirstBoard = 990;
    EXPECT_EQ(DropMachineFilesOutOfRange(o).size(), 1u);
    EXPECT_FALSE(o.WriteDup);
    EXPECT_EQ(PbnRangeRefusal("ZELV", PbnHighestBoard, 2),
              "ZELV.PBN cannot be written: a .PBN file holds board numbers up to 2147483647, and boards 2147483647 "
              "to 2147483648 go past it");
    EXPECT_EQ(PbnRangeRefusal("ZELV", 1, 16), "");
    // A seed would promise a repeat the secure source cannot give.
    o.Secure = true;
    EXPECT_NE(RunOptionsProblem(o), "");
}
