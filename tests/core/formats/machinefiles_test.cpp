// The ".DUP" and ".DLM" files written and read back, checked against their
// rules decoded independently (MachineRules.h).
#include "core/formats/BriFile.h"
#include "core/formats/DgeFile.h"
#include "core/formats/DlmFile.h"
#include "core/formats/DupFile.h"
#include "support/FormatDeals.h"
#include "support/MachineRules.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace zelv;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    EXPECT_EQ(at, text.size()) << "the text does not end in CR LF";
    return lines;
}

std::string Joined(const std::vector<std::string>& problems) {
    std::ostringstream s;
    for (const auto& p : problems) s << p << "\n";
    return s.str();
}

} // namespace

TEST(DupFile, eachRecordIsTheBriDigitsTheDgeHandsAndTheSetsNumbers) {
    for (std::uint64_t first : {1u, 17u}) {
        const auto boards = test::ShuffledBoards(first, 16);
        std::string dup, error;
        ASSERT_TRUE(WriteDup(boards, dup, &error)) << error;
        ASSERT_EQ(dup.size(), 16 * DupRecordSize);
        const std::string trailer = first == 1 ? "YN1  0 16 " : "YN17 0 32 ";
        for (std::size_t k = 0; k < boards.size(); ++k) {
            const std::string rec = dup.substr(k * DupRecordSize, DupRecordSize);
            std::string bri, dge;
            AppendBriRecord(bri, boards[k].Hands.data());
            AppendBoardRecord(dge, boards[k].Hands.data());
            EXPECT_EQ(rec.substr(0, 78), bri.substr(0, 78)) << k;
            EXPECT_EQ(rec.substr(78, 68), dge.substr(0, 68)) << k;
            EXPECT_EQ(rec.substr(146), trailer) << k;
            EXPECT_EQ(test::FromCardCodes(rec), test::SeatsOf(boards[k])) << k;
            EXPECT_EQ(test::FromHoldings(std::string_view(rec).substr(78)), test::SeatsOf(boards[k])) << k;
        }
        const BoardList back = ReadDup(dup, "SET.DUP");
        EXPECT_TRUE(back.Error.empty() && back.Problems.empty()) << back.Error << Joined(back.Problems);
        EXPECT_EQ(back.Boards, boards);
    }
    std::string rec;
    AppendDupRecord(rec, test::ShuffledBoards(1, 1)[0].Hands.data(), 1, 32);
    EXPECT_EQ(rec.substr(146), "YN1  0 32 ");
}

TEST(DupFile, badRecordsAreLeftOutByBoardNumberAndTheRestRead) {
    const auto boards = test::ShuffledBoards(17, 5);
    std::string dup;
    ASSERT_TRUE(WriteDup(boards, dup, nullptr));
    dup[DupRecordSize + 10] = 'x'; // board 18: a card code that is none
    // Board 19: its hands no longer hold the cards its codes name.
    std::swap(dup[2 * DupRecordSize + 79], dup[2 * DupRecordSize + 78 + 17 + 1]);
    dup.resize(dup.size() - 40); // board 21 cut short
    const BoardList read = ReadDup(dup, "CLUB.DUP");
    ASSERT_EQ(read.Problems.size(), 3u) << Joined(read.Problems);
    EXPECT_EQ(read.Problems[0].rfind("CLUB.DUP: board 18 left out: ", 0), 0u) << read.Problems[0];
    EXPECT_EQ(read.Problems[1].rfind("CLUB.DUP: board 19 left out: ", 0), 0u) << read.Problems[1];
    EXPECT_EQ(read.Problems[2], "CLUB.DUP: board 21 left out: the record is cut short (116 of 156 bytes)");
    EXPECT_EQ(read.Boards, (std::vector<Board>{boards[0], boards[3]}));

    dup.replace(148, 3, "x  ");
    EXPECT_NE(ReadDup(dup, "CLUB.DUP").Error.find("CLUB.DUP"), std::string::npos);
}

TEST(DupFile, setsItCannotNumberAreRefused) {
    auto boards = test::ShuffledBoards(998, 3);
    std::string out, error;
    EXPECT_FALSE(WriteDup(boards, out, &error));
    EXPECT_NE(error.find("999"), std::string::npos) << error;
    boards = test::ShuffledBoards(1, 3);
    boards[2].Number = 5;
    EXPECT_FALSE(WriteDup(boards, out, &error));
    EXPECT_NE(error.find("board 5 follows board 2"), std::string::npos) << error;
    EXPECT_NE(DupRangeProblem(990, 11), "");
    EXPECT_EQ(DupRangeProblem(990, 10), "");
}

TEST(DlmFile, documentKeysThenTwoLinesForEveryBoardNumber) {
    for (std::uint64_t first : {1u, 17u}) {
        const auto boards = test::ShuffledBoards(first, 16);
        std::string dlm, error;
        ASSERT_TRUE(WriteDlm(boards, "CLUB", dlm, &error)) << error;
        const auto lines = Lines(dlm);
        ASSERT_EQ(lines.size(), 10u + 2 * 99);
        const std::uint64_t last = first + 15;
        const std::vector<std::string> document = {"[Document]",
                                                   "Headline=Zelvano - CLUB",
                                                   "Status=Show",
                                                   "Duplicates=0",
                                                   "From board=" + std::to_string(first),
                                                   "To board=" + std::to_string(last),
                                                   "Next board to duplimate=0",
                                                   "PrintOuts=0",
                                                   "Crypto key=0",
                                                   "Checksum=" + std::to_string(0 ^ first ^ last ^ 1)};
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 10), document);
        for (std::uint64_t n = 1; n <= 99; ++n) {
            char nn[3];
            std::snprintf(nn, sizeof nn, "%02u", static_cast<unsigned>(n));
            EXPECT_EQ(lines[8 + 2 * n], "Duplicates " + std::string(nn) + "=0");
            const std::string& line = lines[9 + 2 * n];
            const std::string head = "Board " + std::string(nn) + "=";
            ASSERT_EQ(line.substr(0, head.size()), head);
            ASSERT_EQ(line.size(), head.size() + 29) << line;
            const std::string letters = line.substr(head.size(), 26);
            unsigned sum = static_cast<unsigned>(n);
            for (char c : letters) sum ^= static_cast<unsigned char>(c);
            char digits[8];
            std::snprintf(digits, sizeof digits, "%03u", sum);
            EXPECT_EQ(line.substr(head.size() + 26), digits) << line;
            if (n >= first && n <= last) {
                EXPECT_EQ(test::FromLetters(letters), test::SeatsOf(boards[n - first])) << n;
            } else {
                EXPECT_EQ(letters, "aaaaaabffffffkkkkkklpppppp") << n;
                EXPECT_EQ(sum, n ^ 14) << n;
            }
        }
        const BoardList back = ReadDlm(dlm, "CLUB.DLM");
        EXPECT_TRUE(back.Error.empty() && back.Problems.empty()) << back.Error << Joined(back.Problems);
        EXPECT_EQ(back.Boards, boards);
    }
}

TEST(DlmFile, aWrongChecksumIsNamedAndItsBoardLeftOut) {
    const auto boards = test::ShuffledBoards(1, 6);
    std::string dlm;
    ASSERT_TRUE(WriteDlm(boards, "CLUB", dlm, nullptr));
    const std::size_t board4 = dlm.find("Board 04=") + 9;
    std::string broken = dlm;
    broken[board4 + 26] = broken[board4 + 26] == '9' ? '8' : '9'; // its checksum
    // Board 5 passes its checksum (26 letters cancel out) but gives North every card.
    broken.replace(dlm.find("Board 05=") + 9, 29, std::string(26, 'a') + "005");
    BoardList read = ReadDlm(broken, "CLUB.DLM");
    ASSERT_EQ(read.Problems.size(), 2u) << Joined(read.Problems);
    EXPECT_EQ(read.Problems[0].rfind("CLUB.DLM: board 4 left out: its checksum is ", 0), 0u) << read.Problems[0];
    EXPECT_EQ(read.Problems[1], "CLUB.DLM: board 5 left out: North holds 52 cards, not 13");
    EXPECT_EQ(read.Boards.size(), 4u);

    broken = dlm;
    broken.replace(broken.find("To board=6"), 10, "To board=7");
    read = ReadDlm(broken, "CLUB.DLM");
    EXPECT_TRUE(read.Boards.empty());
    EXPECT_NE(read.Error.find("CLUB.DLM: its [Document] checksum"), std::string::npos) << read.Error;
}

TEST(DlmFile, setsPastBoard99AreRefused) {
    std::string out, error;
    EXPECT_FALSE(WriteDlm(test::ShuffledBoards(91, 10), "X", out, &error));
    EXPECT_NE(error.find("99"), std::string::npos) << error;
    EXPECT_TRUE(WriteDlm(test::ShuffledBoards(90, 10), "X", out, &error));
    EXPECT_EQ(DlmRangeProblem(1, 99), "");
    EXPECT_NE(DlmRangeProblem(1, 100), "");
}
