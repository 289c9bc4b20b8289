// The double-dummy wrapper: tricks and par on deals whose answers are known
// without a solver, the rotation of dealer and vulnerability, boards that
// must not reach the solver, and agreement with Deal 3.1.9's own solver.
#include "core/analysis/DoubleDummy.h"
#include "support/AnalysisDeals.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace zelv;
using namespace zelv::test;

namespace {

const std::string All = "AKQJT98765432";

// Rows N, S, E, W; columns NT, spades, hearts, diamonds, clubs.
TrickTable Table(std::initializer_list<std::array<int, 5>> rows) {
    TrickTable t{};
    std::size_t i = 0;
    for (const auto& row : rows) t[i++] = row;
    return t;
}

// The table as 20 hexadecimal digits, rows N, S, E, W.
std::string Hex(const TrickTable& t) {
    std::string out;
    for (const auto& row : t)
        for (int tricks : row) out += "0123456789ABCDEF"[tricks];
    return out;
}

BoardAnalysis AnalyseOne(const Board& b) {
    BoardAnalysis a;
    std::string error;
    EXPECT_TRUE(AnalyseBatch(&b, 1, &a, &error)) << error;
    return a;
}

bool HasContract(const ParResult& par, int level, int denomination, const std::string& by) {
    for (const ParContract& c : par.Contracts)
        if (c.Level == level && c.Denomination == denomination && c.Declarers == by) return true;
    return false;
}

} // namespace

// Each hand one whole suit: a declarer whose side holds the trumps takes
// every trick (its partner ruffs the opening lead if it cannot); the other
// side's trumps take them all; in notrump the side on lead cashes its suit.
TEST(DoubleDummy, EachHandOneSuit_trumpsDecideAndNotrumpGoesToTheLead) {
    const Board b = BoardFromText(1, All + "...", "." + All + "..", ".." + All + ".", "..." + All);
    const BoardAnalysis a = AnalyseOne(b);
    EXPECT_EQ(a.Tricks, Table({{0, 13, 0, 13, 0}, {0, 13, 0, 13, 0}, {0, 0, 13, 0, 13}, {0, 0, 13, 0, 13}}));
    // North-South's grand slam outranks East-West's in either of theirs.
    EXPECT_EQ(a.Par.Score, 1510);
    EXPECT_TRUE(HasContract(a.Par, 7, SpadeStrain, "NS"));
    for (const ParContract& c : a.Par.Contracts) {
        EXPECT_EQ(c.Declarers, "NS");
        EXPECT_FALSE(c.Doubled);
        EXPECT_EQ(c.Result, 0);
    }
}

// North-South hold every ace, king, queen and jack, and all the clubs: every
// card of North's is a winner and East-West can never ruff a club.
TEST(DoubleDummy, OneSideHoldsEveryHonour_takesAllInNotrumpAndParIsTheGrandSlam) {
    const char* north = "AKQJ.AKQJ.AKQJ.A";
    const char* east = "9876.T9876.T987.";
    const char* south = "T...KQJT98765432";
    const char* west = "5432.5432.65432.";
    for (std::uint64_t n : {1, 2, 3, 4}) {
        SCOPED_TRACE("board " + std::to_string(n));
        const BoardAnalysis a = AnalyseOne(BoardFromText(n, north, east, south, west));
        for (int seat : {North, South}) {
            EXPECT_EQ(a.Tricks[static_cast<std::size_t>(seat)][NoTrump], 13);
            EXPECT_EQ(a.Tricks[static_cast<std::size_t>(seat)][ClubStrain], 13);
        }
        for (int seat : {East, West}) {
            EXPECT_EQ(a.Tricks[static_cast<std::size_t>(seat)][NoTrump], 0);
            EXPECT_EQ(a.Tricks[static_cast<std::size_t>(seat)][ClubStrain], 0);
        }
        // Boards 2 and 4 have North-South vulnerable.
        EXPECT_EQ(a.Par.Score, n % 2 == 0 ? 2220 : 1520);
        EXPECT_EQ(a.Par.Contracts, (std::vector<ParContract>{{7, NoTrump, false, "NS", 0}}));
    }
}

// Tables of deals Deal 3.1.9 dealt (deal -s 2024), worked out once with its
// own solver and kept: rows N, S, E, W, each NT, spades, hearts, diamonds,
// clubs. The third has a void.
TEST(DoubleDummy, DealsWorkedOutOnce_giveTheirTables) {
    const struct {
        const char *N, *E, *S, *W, *Tricks;
    } deals[] = {
        {"AKJ32.QJ652.A.63", "QT4.9.872.QT9542", "76.K8.KQJ9653.A8", "985.AT743.T4.KJ7", "79AB679AB61222712227"},
        {"84.KJ62.AT73.QJ3", "AJT32.Q97.5.K765", "K6.T8.Q9642.AT42", "Q975.A543.KJ8.98", "757A9757A85863458634"},
        {"84.J642.QJ2.QJ94", "JT72.QT953.75.T8", "A963..T83.AK7652", "KQ5.AK87.AK964.3", "642396423969B9369B83"},
        {"JT97.T964.5.K762", "Q64.Q53.K876.AT8", "K53.K7.QJT92.QJ3", "A82.AJ82.A43.954", "56566565668787777777"},
        {"T96.AKT4.32.J965", "K742.9752.T4.A87", "AJ3.J86.AQJ6.KT2", "Q85.Q3.K9875.Q43", "88879889794556445464"},
    };
    std::vector<Board> boards;
    for (const auto& d : deals) boards.push_back(BoardFromText(boards.size() + 1, d.N, d.E, d.S, d.W));
    std::vector<BoardAnalysis> got(boards.size());
    std::string error;
    ASSERT_TRUE(AnalyseBatch(boards.data(), boards.size(), got.data(), &error)) << error;
    for (std::size_t i = 0; i < boards.size(); ++i) EXPECT_EQ(Hex(got[i].Tricks), deals[i].Tricks) << "deal " << i;
}

// Neither side can make anything: the board is passed out.
TEST(DoubleDummy, Par_flatTable_passedOut) {
    const TrickTable six = Table({{6, 6, 6, 6, 6}, {6, 6, 5, 6, 4}, {6, 5, 6, 6, 6}, {4, 6, 6, 5, 6}});
    for (int dealer : {North, East, South, West})
        for (Vulnerability vul : {Vulnerability::None, Vulnerability::All}) {
            const ParResult par = ParOf(six, dealer, vul);
            EXPECT_EQ(par.Score, 0);
            EXPECT_TRUE(par.Contracts.empty());
        }
}

// Both sides make 1NT and nothing higher: the side that speaks first plays it.
TEST(DoubleDummy, Par_dealerSpeaksFirst) {
    const TrickTable t = Table({{7, 6, 6, 6, 6}, {7, 6, 6, 6, 6}, {7, 6, 6, 6, 6}, {7, 6, 6, 6, 6}});
    for (int dealer : {North, South}) {
        const ParResult par = ParOf(t, dealer, Vulnerability::None);
        EXPECT_EQ(par.Score, 90);
        EXPECT_EQ(par.Contracts, (std::vector<ParContract>{{1, NoTrump, false, "NS", 0}}));
    }
    for (int dealer : {East, West}) {
        const ParResult par = ParOf(t, dealer, Vulnerability::None);
        EXPECT_EQ(par.Score, -90);
        EXPECT_EQ(par.Contracts, (std::vector<ParContract>{{1, NoTrump, false, "EW", 0}}));
    }
}

// 4S by North-South, or 4H by East-West, scored as the board's number says.
TEST(DoubleDummy, Par_vulnerabilityOfBoards1To16) {
    // Written out as the duplicate boards carry it.
    const char* const vul[16] = {"None", "NS",  "EW",   "All", "NS",  "EW",   "All", "None",
                                 "EW",   "All", "None", "NS",  "All", "None", "NS",  "EW"};
    const TrickTable nsGame = Table({{6, 10, 3, 3, 3}, {6, 10, 3, 3, 3}, {3, 3, 3, 3, 3}, {3, 3, 3, 3, 3}});
    const TrickTable ewGame = Table({{3, 3, 3, 3, 3}, {3, 3, 3, 3, 3}, {6, 3, 10, 3, 3}, {6, 3, 10, 3, 3}});
    const CardMask hands[4] = {};
    for (std::uint64_t n = 1; n <= 16; ++n) {
        SCOPED_TRACE("board " + std::to_string(n));
        const Board b = NumberedBoard(hands, n);
        const std::string v = vul[n - 1];
        const bool nsVul = v == "NS" || v == "All", ewVul = v == "EW" || v == "All";
        EXPECT_EQ(ParOf(nsGame, b.Dealer, b.Vul).Score, nsVul ? 620 : 420);
        EXPECT_EQ(ParOf(ewGame, b.Dealer, b.Vul).Score, ewVul ? -620 : -420);
        EXPECT_TRUE(HasContract(ParOf(ewGame, b.Dealer, b.Vul), 4, HeartStrain, "EW"));
    }
}

// A sacrifice is reported doubled, with the tricks it goes down.
TEST(DoubleDummy, Par_sacrificeIsDoubledAndDown) {
    // North-South make 4S; East-West, not vulnerable, go two down in 5D.
    const TrickTable t = Table({{6, 10, 3, 3, 3}, {6, 10, 3, 3, 3}, {3, 3, 3, 9, 3}, {3, 3, 3, 9, 3}});
    const ParResult par = ParOf(t, North, Vulnerability::NS);
    EXPECT_EQ(par.Score, 300);
    EXPECT_EQ(par.Contracts, (std::vector<ParContract>{{5, DiamondStrain, true, "EW", -2}}));
}

// A board that is not a whole deal never reaches the solver: it is named,
// and the boards on either side of it are analysed.
TEST(DoubleDummy, AnalyseBoards_passesOverAndNamesABoardThatIsNoDeal) {
    std::vector<std::optional<Board>> boards = {RandomBoard(1, 1), RandomBoard(2, 2), std::nullopt, RandomBoard(4, 4)};
    boards[1]->Hands[North] &= boards[1]->Hands[North] - 1; // one card fewer
    const AnalysisReport report = AnalyseBoards(boards, "SET.DGE");
    ASSERT_EQ(report.Results.size(), 4u);
    EXPECT_TRUE(report.Results[0].has_value());
    EXPECT_FALSE(report.Results[1].has_value());
    EXPECT_FALSE(report.Results[2].has_value());
    EXPECT_TRUE(report.Results[3].has_value());
    EXPECT_EQ(report.Problems, std::vector<std::string>{"SET.DGE: board 2 not analysed: North holds 12 cards, not 13"});
    EXPECT_FALSE(report.Cancelled);
    EXPECT_EQ(*report.Results[3], AnalyseOne(*boards[3]));
}

TEST(DoubleDummy, AnalyseBoards_stopsWhenProgressSaysSo) {
    std::vector<std::optional<Board>> boards;
    for (std::uint64_t n = 1; n <= 3; ++n) boards.push_back(RandomBoard(n, n));
    std::vector<std::size_t> seen;
    const AnalysisReport report = AnalyseBoards(
        boards, "SET.PBN",
        [&](std::size_t done, std::size_t total) {
            seen.push_back(done);
            EXPECT_EQ(total, 3u);
            return false;
        },
        1);
    EXPECT_TRUE(report.Cancelled);
    EXPECT_EQ(seen, std::vector<std::size_t>{1});
    EXPECT_TRUE(report.Results[0].has_value());
    EXPECT_FALSE(report.Results[1].has_value());
    EXPECT_FALSE(report.Results[2].has_value());
}

// When DDS's par function fails, the tricks still come and the par says
// why it is missing: never a passed-out board in its place.
TEST(DoubleDummy, ParThatFails_isReportedWithDdsReason) {
    const Board b = RandomBoard(5, 5);
    const BoardAnalysis sound = AnalyseOne(b);
    SetParFailureForTesting(-1);
    const BoardAnalysis failed = AnalyseOne(b);
    const ParResult table = ParOf(sound.Tricks, b.Dealer, b.Vul);
    SetParFailureForTesting(0);
    EXPECT_EQ(failed.Tricks, sound.Tricks);
    EXPECT_TRUE(failed.Par.Contracts.empty());
    EXPECT_EQ(failed.Par.Error.rfind("the double-dummy solver says \"", 0), 0u) << failed.Par.Error;
    EXPECT_NE(failed.Par.Error.find("(DDS error -1)"), std::string::npos) << failed.Par.Error;
    EXPECT_EQ(table.Error, failed.Par.Error);
    EXPECT_TRUE(sound.Par.Error.empty());
}

// A stop gives up waiting for DDS at once; a program that then ends waits
// for the call DDS is still on and ends cleanly, whatever it had freed.
TEST(DoubleDummyDeathTest, ProgramEndingWhileAStoppedCallRuns_endsCleanly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::vector<std::optional<Board>> boards;
            for (std::uint64_t n = 1; n <= 8; ++n) boards.push_back(RandomBoard(n, n));
            std::atomic<bool> stop{false};
            std::thread raise([&stop] {
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                stop = true;
            });
            const bool cancelled = AnalyseBoards(boards, "SET.PBN", {}, AnalysisBatch(), &stop).Cancelled;
            raise.join();
            std::exit(cancelled && DdsBusy() ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(DoubleDummy, HighCardPoints_countAceFourKingThreeQueenTwoJackOne) {
    EXPECT_EQ(HighCardPoints(HandFromText("AKQJ.AKQJ.AKQJ.A")), 34);
    EXPECT_EQ(HighCardPoints(HandFromText("T98765432.T98.T.")), 0);
    EXPECT_EQ(HighCardPoints(HandFromText("AJ2.K3.Q4..")), 10);
}

// Debian's deal carries its own double-dummy solver (DDS 1.1.8, not the
// library we call): both must find the same tricks on shuffled deals.
TEST(DoubleDummy, AgreesWithDealsOwnSolver) {
    const std::string deal = "/usr/games/deal";
    if (!std::filesystem::exists(deal)) GTEST_SKIP() << "Debian's deal (Deal 3.1.9) is not installed: not compared";
    TempDir dir;
    constexpr int Deals = 24, Runs = 2;
    std::vector<Board> boards;
    for (int i = 0; i < Deals; ++i) boards.push_back(RandomBoard(1000 + static_cast<std::uint64_t>(i), i + 1));
    // Deal's line input: hands N|E|S|W, suits by blanks, a void as "-".
    auto line = [](const Board& b) {
        std::string out;
        for (int seat : {North, East, South, West}) {
            if (seat != North) out += '|';
            const DisplayTable t = HoldingsOf(b);
            for (int s = 0; s < 4; ++s) {
                const std::string& h = t[static_cast<std::size_t>(seat)][static_cast<std::size_t>(s)];
                out += (s ? " " : "") + (h.empty() ? std::string("-") : h);
            }
        }
        return out;
    };
    // Two deal processes at once, half the deals each.
    std::vector<FILE*> pipes;
    for (int r = 0; r < Runs; ++r) {
        const std::string input = dir.file("deals" + std::to_string(r) + ".txt");
        const std::string script = dir.file("tricks" + std::to_string(r) + ".tcl");
        std::ofstream in(input);
        for (int i = r; i < Deals; i += Runs) in << line(boards[static_cast<std::size_t>(i)]) << "\n";
        in.close();
        std::ofstream tcl(script);
        tcl << "deal::input line " << input << "\n"
            << "proc write_deal {} {\n  set out {}\n"
            << "  foreach hand {north south east west} {\n"
            << "    foreach s {notrump spades hearts diamonds clubs} {\n"
            << "      append out [format %X [deal::tricks $hand $s]]\n    }\n  }\n  puts $out\n}\n";
        tcl.close();
        const std::string command = deal + " -i " + script + " " + std::to_string((Deals + Runs - 1 - r) / Runs);
        pipes.push_back(::popen(command.c_str(), "r"));
        ASSERT_NE(pipes.back(), nullptr);
    }
    std::vector<std::string> theirs(Deals);
    for (int r = 0; r < Runs; ++r) {
        char buffer[256];
        int i = r;
        while (std::fgets(buffer, sizeof buffer, pipes[static_cast<std::size_t>(r)])) {
            std::string text(buffer);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
            if (i < Deals) theirs[static_cast<std::size_t>(i)] = text;
            i += Runs;
        }
        EXPECT_EQ(::pclose(pipes[static_cast<std::size_t>(r)]), 0);
    }
    std::vector<std::optional<Board>> ours(boards.begin(), boards.end());
    const AnalysisReport report = AnalyseBoards(ours, "random");
    ASSERT_TRUE(report.Problems.empty());
    for (int i = 0; i < Deals; ++i)
        EXPECT_EQ(Hex(report.Results[static_cast<std::size_t>(i)]->Tricks), theirs[static_cast<std::size_t>(i)])
            << "deal " << i + 1 << ": " << line(boards[static_cast<std::size_t>(i)]);
}
