// PBN export of a board and the dealer/vulnerability rotation it shares with
// the printed boards.
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

} // namespace
} // namespace zelv
