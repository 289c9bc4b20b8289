// PBN export of a board and the dealer/vulnerability rotation it shares with
// the printed boards; PBN files of other programs read back.
#include "core/formats/Pbn.h"
#include "support/FormatDeals.h"

#include "support/TestSupport.h"

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
    ASSERT_EQ(read.Boards.size(), 2u);
    for (const Board& b : read.Boards) ExpectExampleDeal(b);
    // Board 7 as its tags say; the next has no number and follows it, its
    // dealer from the number; "#" takes the nearest earlier Board tag, and
    // the third game, board 7 again with its deal, is the same board.
    EXPECT_EQ(read.Boards[0].Number, 7u);
    EXPECT_EQ(read.Boards[0].Dealer, South);
    EXPECT_EQ(read.Boards[0].Vul, Vulnerability::All);
    EXPECT_EQ(read.Boards[1].Number, 8u);
    EXPECT_EQ(read.Boards[1].Dealer, West);
    EXPECT_EQ(read.Boards[1].Vul, Vulnerability::None);
    ASSERT_EQ(read.Notes.size(), 1u);
    EXPECT_NE(read.Notes[0].find("1 game repeats the number and deal of an earlier game"), std::string::npos)
        << read.Notes[0];
    EXPECT_EQ(read.Pbn->Games.size(), 3u);
    EXPECT_EQ(read.Pbn->Games[2].BoardIndex, 0u);
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

std::string Sample(const std::string& file) { return test::ReadText(std::string(ZELV_TEST_DATA) + "/formats/" + file); }

std::string Game(const std::string& board, const std::string& vul, const std::string& eol) {
    return (board.empty() ? "" : "[Board \"" + board + "\"]" + eol) +
           (vul.empty() ? "" : "[Vulnerable \"" + vul + "\"]" + eol) +
           "[Deal \"N:.63.AKQ987.A9732 A8654.KQ5.T.QJT6 J973.J98742.3.K4 KQT2.AT.J6542.85\"]" + eol;
}

// A results file gives each board once per table: one board each, said in
// a note; two deals under one number are a fault, named by both games.
TEST(PbnRead, aResultsFilesTablesOfABoardAreOneBoard) {
    const std::string text = Sample("RESULTS.PBN");
    BoardList read = ReadPbn(text, "RESULTS.PBN");
    EXPECT_TRUE(read.Problems.empty());
    ASSERT_EQ(read.Boards.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(read.Boards[k].Number, k + 1);
    ASSERT_EQ(read.Notes.size(), 1u);
    EXPECT_NE(read.Notes[0].find("(3 boards from 6 games)"), std::string::npos) << read.Notes[0];

    // Board 2's second table dealt otherwise (its hands turned a seat).
    const std::string deal = "E:AQ65.J982.QT85.4 JT93..42.KJ98762 2.A765.AKJ.AQT53 K874.KQT43.9763.";
    std::string other = text;
    other.replace(other.find(deal, other.find(deal) + 1), deal.size(),
                  "E:K874.KQT43.9763. AQ65.J982.QT85.4 JT93..42.KJ98762 2.A765.AKJ.AQT53");
    read = ReadPbn(other, "RESULTS.PBN");
    EXPECT_EQ(read.Boards.size(), 3u);
    ASSERT_EQ(read.Problems.size(), 1u);
    EXPECT_EQ(read.Problems[0], "RESULTS.PBN: board 2 left out: game 4 deals other cards than game 3, also board 2");
}

// Named "board 2" they would be taken for the file's own board 2.
TEST(PbnRead, gamesWithoutANumberOfTheirOwnAreNamedByTheirPlace) {
    const std::string broken = "[Deal \"N:.63.AKQ987.A9732 - -\"]\n\n";
    const std::string text =
        Game("", "", "\n") + "\n" + broken + "[Board \"?\"]\n" + broken + "[Board \"2\"]\n" + broken;
    const BoardList read = ReadPbn(text, "DEAL.PBN");
    ASSERT_EQ(read.Problems.size(), 3u);
    EXPECT_EQ(read.Problems[0].rfind("DEAL.PBN: game 2 (no Board tag) left out: its Deal tag gives 1 of", 0), 0u)
        << read.Problems[0];
    EXPECT_EQ(read.Problems[1].rfind("DEAL.PBN: game 3 (no board number) left out: ", 0), 0u) << read.Problems[1];
    EXPECT_EQ(read.Problems[2].rfind("DEAL.PBN: board 2 left out: ", 0), 0u) << read.Problems[2];
}

TEST(PbnRead, anyLineEndsAndTheClubSpellingsOfVulnerable) {
    for (const std::string eol : {"\r\n", "\n", "\r", "\r\r\n"}) {
        const BoardList read = ReadPbn(Game("1", "", eol) + eol + Game("2", "", eol), "ENDS.PBN");
        EXPECT_EQ(read.Boards.size(), 2u) << read.Boards.size();
        EXPECT_TRUE(read.Problems.empty() && read.Notes.empty());
    }
    using V = Vulnerability;
    const std::vector<std::pair<std::string, V>> spellings = {
        {"None", V::None}, {"Love", V::None}, {"-", V::None}, {"Nil", V::None}, {"NS", V::NS},   {"N-S", V::NS},
        {"n/s", V::NS},    {"EW", V::EW},     {"E-W", V::EW}, {"E/W", V::EW},   {"All", V::All}, {"Both", V::All}};
    for (const auto& [spelling, vul] : spellings) {
        const BoardList read = ReadPbn(Game("2", spelling, "\r\n"), "CLUB.PBN");
        ASSERT_EQ(read.Boards.size(), 1u) << spelling;
        EXPECT_EQ(read.Boards[0].Vul, vul) << spelling;
    }
}

TEST(PbnRead, aSecondBoardOrDealTagInAGameIsNamedInANote) {
    const std::string other = "[Deal \"N:A8654.KQ5.T.QJT6 J973.J98742.3.K4 KQT2.AT.J6542.85 .63.AKQ987.A9732\"]\n";
    const BoardList read =
        ReadPbn(Game("4", "", "\n") + other + "[Board \"9\"]\n\n" + Game("", "", "\n") + other, "TWO.PBN");
    ASSERT_EQ(read.Boards.size(), 2u);
    ExpectExampleDeal(read.Boards[0]);
    EXPECT_EQ(read.Boards[0].Number, 4u);
    EXPECT_EQ(read.Notes,
              (std::vector<std::string>{"TWO.PBN: board 4 has more than one Board tag; only the first is read",
                                        "TWO.PBN: board 4 has more than one Deal tag; only the first is read",
                                        "TWO.PBN: game 2 (no Board tag) has more than one Deal tag; "
                                        "only the first is read"}));
}

TEST(PbnRead, aFileInUtf16OrUtf32IsRefusedSayingSo) {
    const std::string text = Game("1", "", "\r\n");
    auto wide = [&text](std::size_t width, bool big, std::string bom) {
        for (char c : text) {
            std::string unit(width, '\0');
            unit[big ? width - 1 : 0] = c;
            bom += unit;
        }
        return bom;
    };
    const std::vector<std::pair<std::string, std::string>> files = {
        {wide(2, false, "\xFF\xFE"), "UTF-16 (little-endian)"},
        {wide(2, false, ""), "UTF-16 (little-endian)"},
        {wide(2, true, "\xFE\xFF"), "UTF-16 (big-endian)"},
        {wide(2, true, ""), "UTF-16 (big-endian)"},
        {wide(4, false, std::string("\xFF\xFE\0\0", 4)), "UTF-32 (little-endian)"},
        {wide(4, true, ""), "UTF-32 (big-endian)"}};
    for (const auto& [bytes, encoding] : files) {
        const BoardList read = ReadPbn(bytes, "WIDE.PBN");
        EXPECT_EQ(read.Error.rfind("WIDE.PBN is written in " + encoding + ",", 0), 0u)
            << encoding << ": " << read.Error;
        EXPECT_TRUE(read.Boards.empty());
    }
    EXPECT_EQ(ReadPbn("\xEF\xBB\xBF" + text, "BOM.PBN").Boards.size(), 1u); // UTF-8's mark is no fault
}

std::vector<Board> Renumbered(std::vector<Board> boards) {
    for (std::size_t k = 0; k < boards.size(); ++k) boards[k] = NumberedBoard(boards[k].Hands.data(), k + 1);
    return boards;
}

// Written again from what was read: byte for byte as it was; renumbered,
// only the tags that must change do, and the file reads as the new boards,
// "#" and "##" values and games without numbers included.
TEST(PbnWriteFrom, keepsEveryGameAsWrittenButTheTagsThatMustChange) {
    const std::string import = "% IMPORT\n[Event \"##Club\"]\n\n[Board \"7\"][Dealer \"##W\"]\n" + Game("", "", "\n") +
                               "{ a comment }\n\n" + Game("", "##None", "\n") + "\n[Board \"#\"]\n" +
                               Game("", "", "\n") + "[Auction \"W\"]\n1S Pass\n";
    for (const std::string& text : {Sample("RESULTS.PBN"), Sample("RECORDS16.PBN"), import}) {
        const BoardList read = ReadPbn(text, "IN.PBN");
        ASSERT_TRUE(read.Problems.empty() && read.Pbn);
        EXPECT_EQ(WritePbnFrom(*read.Pbn, read.Boards), text);
        const std::vector<Board> renumbered = Renumbered(read.Boards);
        const std::string again = WritePbnFrom(*read.Pbn, renumbered);
        EXPECT_EQ(ReadPbn(again, "OUT.PBN").Boards, renumbered) << again;
        EXPECT_NE(again.find("[Event \""), std::string::npos);
    }
    const BoardList records = ReadPbn(Sample("RECORDS16.PBN"), "IN.PBN");
    std::string expected = Sample("RECORDS16.PBN");
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"[Board \"16\"]", "[Board \"1\"]"},
             {"[Dealer \"W\"]\n[Vulnerable \"EW\"]", "[Dealer \"N\"]\n[Vulnerable \"None\"]"}})
        expected.replace(expected.find(from), from.size(), to);
    EXPECT_EQ(WritePbnFrom(*records.Pbn, Renumbered(records.Boards)).substr(0, 400), expected.substr(0, 400));
}

// Tags added after a pair with more on its line, or before a game's first
// pair with lines of text and an empty line above it, leave one game.
TEST(PbnWriteFrom, tagsAddedNeverSplitAGame) {
    const std::string text = "[Board \"1\"] x\n" + Game("", "", "\n") + "\n" + "junk\n\n" + Game("", "", "\n");
    const BoardList read = ReadPbn(text, "IN.PBN");
    ASSERT_EQ(read.Boards.size(), 2u);
    std::vector<Board> boards = read.Boards;
    boards[0].Dealer = West;
    boards[0].Vul = Vulnerability::All;
    boards[1].Number = 7;
    const std::string again = WritePbnFrom(*read.Pbn, boards);
    EXPECT_EQ(again, "[Board \"1\"]\n[Dealer \"W\"]\n[Vulnerable \"All\"]\n x\n" + Game("", "", "\n") + "\njunk\n\n" +
                         "[Board \"7\"]\n[Dealer \"E\"]\n[Vulnerable \"NS\"]\n" + Game("", "", "\n"));
    EXPECT_EQ(ReadPbn(again, "OUT.PBN").Boards, boards);
}

// Tags of the supplement's names are replaced where they stand, a table
// with its rows; otherwise they follow the mandatory tags, in the file's
// line ends, never splitting a game.
TEST(PbnWriteFrom, aSupplementReplacesItsOwnTagsOrFollowsTheMandatoryOnes) {
    const std::string text = Game("1", "", "\n") +
                             "[Result \"9\"] [Auction \"N\"]\n1NT Pass 3NT AP\n[Note \"1:x\"]\n\n" +
                             Game("2", "", "\n") + "[Result \"8\"]\n";
    const BoardList read = ReadPbn(text, "IN.PBN");
    ASSERT_EQ(read.Boards.size(), 2u);
    auto supplement = [](const std::string& score) {
        return "[OptimumScore \"NS " + score + "\"]\r\n[OptimumResultTable \"Declarer;Result\"]\r\nN 9\r\nS 9\r\n";
    };
    const std::string once = WritePbnFrom(*read.Pbn, read.Boards, {supplement("400"), supplement("600")});
    EXPECT_NE(
        once.find("[Result \"8\"]\n[OptimumScore \"NS 600\"]\n[OptimumResultTable \"Declarer;Result\"]\nN 9\nS 9\n"),
        std::string::npos)
        << once;
    EXPECT_NE(once.find("[Result \"9\"]\n[OptimumScore \"NS 400\"]\n[OptimumResultTable \"Declarer;Result\"]\nN "
                        "9\nS 9\n [Auction \"N\"]\n1NT Pass 3NT AP\n"),
              std::string::npos)
        << once;
    const BoardList back = ReadPbn(once, "OUT.PBN");
    EXPECT_EQ(back.Boards, read.Boards);
    // Again with other values: the same places, the old tags and rows gone.
    const std::string twice = WritePbnFrom(*back.Pbn, back.Boards, {supplement("430"), supplement("630")});
    std::string expected = once;
    for (const auto& [from, to] :
         std::vector<std::pair<std::string, std::string>>{{"NS 400", "NS 430"}, {"NS 600", "NS 630"}})
        expected.replace(expected.find(from), from.size(), to);
    EXPECT_EQ(twice, expected);
}

} // namespace
} // namespace zelv
