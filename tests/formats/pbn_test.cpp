// PBN export of a board and the dealer/vulnerability rotation it shares with
// the printed boards; PBN files of other programs read back.
#include "Deals.h"
#include "formats/Pbn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelv {
namespace {

TEST(PbnRotation, dealerAndVulnerabilityFollowTheBoardNumber) {
    // The duplicate cycle of sixteen boards, written out by hand.
    const char* dealer = "NESWNESWNESWNESW";
    const std::vector<std::string> vul = {"Nil", "N/S", "E/W", "All", "N/S", "E/W", "All", "Nil",
                                          "E/W", "All", "Nil", "N/S", "All", "Nil", "N/S", "E/W"};
    const std::vector<std::string> pbn = {"None", "NS",  "EW",   "All", "NS",  "EW",   "All", "None",
                                          "EW",   "All", "None", "NS",  "All", "None", "NS",  "EW"};
    for (std::uint64_t n = 1; n <= 48; ++n) {
        std::size_t i = (n - 1) % 16;
        EXPECT_EQ(DealerLetter(n), dealer[i]) << n;
        EXPECT_EQ(VulnerabilityText(n), vul[i]) << n;
        EXPECT_EQ(PbnVulnerable(n), pbn[i]) << n;
        EXPECT_EQ(DealerVulText(n), std::string("Dealer ") + dealer[i] + " - Vul. " + vul[i]) << n;
    }
}

DisplayTable Sample() {
    DisplayTable t;
    t[North] = {"AKQ2", "", "JT98765", "43"};
    t[East] = {"J987", "AKQ", "432", "T98"};
    t[South] = {"T6543", "JT98", "AK", "AK"};
    t[West] = {"", "765432", "Q", "QJ7652"};
    return t;
}

TEST(PbnGame, writesTheMandatoryTagsInOrderWithCrLf) {
    const std::string expected = "[Event \"?\"]\r\n"
                                 "[Site \"?\"]\r\n"
                                 "[Date \"?\"]\r\n"
                                 "[Board \"1\"]\r\n"
                                 "[West \"?\"]\r\n"
                                 "[North \"?\"]\r\n"
                                 "[East \"?\"]\r\n"
                                 "[South \"?\"]\r\n"
                                 "[Dealer \"N\"]\r\n"
                                 "[Vulnerable \"None\"]\r\n"
                                 "[Deal \"N:AKQ2..JT98765.43 J987.AKQ.432.T98 T6543.JT98.AK.AK .765432.Q.QJ7652\"]\r\n"
                                 "[Scoring \"?\"]\r\n"
                                 "[Declarer \"?\"]\r\n"
                                 "[Contract \"?\"]\r\n"
                                 "[Result \"?\"]\r\n"
                                 "\r\n";
    EXPECT_EQ(PbnGame(1, Sample()), expected);
    EXPECT_EQ(PbnFileHeader(), "% PBN 2.1\r\n% EXPORT\r\n");
}

TEST(PbnGame, dealStartsWithTheDealerAndGoesClockwise) {
    struct Case {
        std::uint64_t Board;
        std::string Tags;
    };
    const std::vector<Case> cases = {
        {2, "[Dealer \"E\"]\r\n[Vulnerable \"NS\"]\r\n"
            "[Deal \"E:J987.AKQ.432.T98 T6543.JT98.AK.AK .765432.Q.QJ7652 AKQ2..JT98765.43\"]\r\n"},
        {7, "[Dealer \"S\"]\r\n[Vulnerable \"All\"]\r\n"
            "[Deal \"S:T6543.JT98.AK.AK .765432.Q.QJ7652 AKQ2..JT98765.43 J987.AKQ.432.T98\"]\r\n"},
        {16, "[Dealer \"W\"]\r\n[Vulnerable \"EW\"]\r\n"
             "[Deal \"W:.765432.Q.QJ7652 AKQ2..JT98765.43 J987.AKQ.432.T98 T6543.JT98.AK.AK\"]\r\n"},
    };
    for (const auto& c : cases) {
        const std::string g = PbnGame(c.Board, Sample());
        EXPECT_NE(g.find("[Board \"" + std::to_string(c.Board) + "\"]\r\n"), std::string::npos);
        EXPECT_NE(g.find(c.Tags), std::string::npos) << g;
    }
}

// The example deal of the PBN standard, hand by hand.
const DisplayRow ExampleNorth = {"", "63", "AKQ987", "A9732"}, ExampleEast = {"A8654", "KQ5", "T", "QJT6"},
                 ExampleSouth = {"J973", "J98742", "3", "K4"}, ExampleWest = {"KQT2", "AT", "J6542", "85"};

void ExpectExampleDeal(const Board& b) {
    const DisplayTable t = HoldingsOf(b);
    EXPECT_EQ(t[North], ExampleNorth) << b.Number;
    EXPECT_EQ(t[East], ExampleEast) << b.Number;
    EXPECT_EQ(t[South], ExampleSouth) << b.Number;
    EXPECT_EQ(t[West], ExampleWest) << b.Number;
}

TEST(PbnRead, exportedBoardsComeBackWithTheirNumbersDealersAndVulnerability) {
    auto boards = test::ShuffledBoards(17, 16);
    boards[3].Dealer = West; // a file may say otherwise than the rotation
    boards[3].Vul = Vulnerability::All;
    const BoardList read = ReadPbn(WritePbn(boards), "SET.PBN");
    EXPECT_TRUE(read.Problems.empty() && read.Error.empty());
    EXPECT_EQ(read.Boards, boards);
}

TEST(PbnRead, anotherProgramsImportFormat) {
    const std::string file = "% PBN 2.1\n"
                             "% IMPORT\n"
                             "%  [Deal \"N:not a deal, a program's remark\"]\n"
                             "[Event \"##Club night\"] [Site \"##Town\"]\n"
                             "[Vulnerable \"Both\"]\n"
                             "[Deal \"W:2tqk.ta.2456j.58 .36.789QKA.2379a 4568a.qk5.t.6tjq 379j.24789j.3.4k\"]\n"
                             "  [Board\n"
                             "     \"7\"]   ; tags in any order, one spread over two lines\n"
                             "[Dealer \"S\"]\n"
                             "{ a comment with a blank line in it\n"
                             "\n"
                             "[Deal \"N:-\"] }\n"
                             "[Auction \"S\"]\n"
                             "1S Pass 2NT =1= Pass\n"
                             "[Note \"1:Jacoby\"]\n"
                             " \t\n"
                             "[Event \"#\"][Deal \"E:A8654.KQ5.T.QJT6 J973.J98742.3.K4 - .63.AKQ987.A9732\"]\n"
                             "[Vulnerable \"Love\"]\n"
                             "\n"
                             "[Board \"#\"] [Dealer \"?\"]\n"
                             "[Deal \"S:J973.J98742.3.K4 KQT2.AT.J6542.85 .63.AKQ987.A9732 A8654.KQ5.T.QJT6\"]\n";
    const BoardList read = ReadPbn(file, "CLUB.PBN");
    EXPECT_TRUE(read.Problems.empty()) << (read.Problems.empty() ? "" : read.Problems[0]);
    ASSERT_EQ(read.Boards.size(), 3u);
    for (const Board& b : read.Boards) ExpectExampleDeal(b);
    // Board 7 as its tags say; the next has no number and follows it, its
    // dealer from the number; "#" takes the nearest earlier Board tag.
    EXPECT_EQ(read.Boards[0].Number, 7u);
    EXPECT_EQ(read.Boards[0].Dealer, South);
    EXPECT_EQ(read.Boards[0].Vul, Vulnerability::All);
    EXPECT_EQ(read.Boards[1].Number, 8u);
    EXPECT_EQ(read.Boards[1].Dealer, West);
    EXPECT_EQ(read.Boards[1].Vul, Vulnerability::None);
    EXPECT_EQ(read.Boards[2].Number, 7u);
    EXPECT_EQ(read.Boards[2].Dealer, South);
}

TEST(PbnRead, gamesThatAreNoWholeDealAreNamedByBoardAndLeftOut) {
    const std::string good = "[Deal \"N:.63.AKQ987.A9732 A8654.KQ5.T.QJT6 J973.J98742.3.K4 KQT2.AT.J6542.85\"]\r\n";
    const std::vector<std::pair<std::string, std::string>> games = {
        {"[Board \"2\"]\r\n[Deal \"N:.63.AKQ987.A9732 A8654.KQ5.T.QJT6 J973.J98742.3.K4 KQT2.AT.J6542.8\"]",
         "its Deal tag gives West 12 cards, not 13"},
        {"[Board \"3\"]\r\n[Deal \"N:.63.AKQ987.A9732 A8654.KQ5.T.QJT6 - -\"]", "2 of the four hands"},
        {"[Board \"4\"]\r\n[Deal \"N:.63.AKQ987.A9732 A8654.KQ5.T.QJT6 J973.J98742.3.K4 KQT2.AT.J6542.8]",
         "its Deal tag is not a tag pair"},
        {"[Board \"5\"]\r\n[Deal \"N:.63.AKQ987.A9732 A8654.KQ5.T.QJT6 J973.J98742.3.K4 KQT2.AT.J6542.8A\"]",
         "the ace of clubs twice"},
        {"[Board \"6\"]\r\n[Dealer \"X\"]\r\n" + good, "its Dealer tag \"X\" is not N, E, S or W"},
        {"[Board \"7\"]", "it has no Deal tag"},
    };
    std::string file = "[Board \"1\"]\r\n" + good + "\r\n";
    for (const auto& [game, why] : games) file += game + "\r\n\r\n";
    file += "[Board \"8\"]\r\n" + good;
    const BoardList read = ReadPbn(file, "BAD.PBN");
    ASSERT_EQ(read.Problems.size(), games.size());
    for (std::size_t i = 0; i < games.size(); ++i) {
        const std::string& p = read.Problems[i];
        EXPECT_EQ(p.rfind("BAD.PBN: board " + std::to_string(i + 2) + " left out: ", 0), 0u) << p;
        EXPECT_NE(p.find(games[i].second), std::string::npos) << p;
    }
    ASSERT_EQ(read.Boards.size(), 2u);
    EXPECT_EQ(read.Boards[0].Number, 1u);
    EXPECT_EQ(read.Boards[1].Number, 8u);
    EXPECT_TRUE(ReadPbn("% PBN 2.1\r\n[Event \"Nothing dealt\"]\r\n", "E.PBN").Boards.empty());
}

} // namespace
} // namespace zelv
