#include "TestSupport.h"
#include "engine/BoardFile.h"
#include "engine/Duplimat.h"
#include "engine/Random.h"
#include "engine/uBoard.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <csignal>
#include <random>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zelv;

namespace {
std::string Bytes(std::initializer_list<int> v) {
    std::string s;
    for (int b : v) s += static_cast<char>(b);
    return s;
}
DisplayRow Row(const char* s, const char* h, const char* d, const char* c) { return {s, h, d, c}; }

// Fills a board from the ".BRI" digits: three hands of 13 two-digit codes.
DisplayTable TableFromBri(const std::string& rec) {
    CardMask seen = 0;
    Hand hands[4]{};
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 13; ++i) {
            int code = (rec[static_cast<std::size_t>(k * 26 + i * 2)] - '0') * 10 + (rec[static_cast<std::size_t>(k * 26 + i * 2 + 1)] - '0');
            hands[k][static_cast<std::size_t>(i)] = static_cast<CardCode>(code);
            seen |= CardBit(static_cast<CardCode>(code));
        }
    hands[3] = test::HandOfMask(AllCardsMask & ~seen);
    DisplayTable t;
    t[North] = FormatHand(hands[0]);
    t[East] = FormatHand(hands[1]);
    t[South] = FormatHand(hands[2]);
    t[West] = FormatHand(hands[3]);
    return t;
}
} // namespace

TEST(BoardRecord, northBlockOfTheExampleHand) {
    std::string rec;
    DisplayRow north = Row("AKQ2", "", "JT98765", "43");
    DisplayRow other = Row("JT98", "AKQJT98765432", "", "");
    AppendBoardRecord(rec, north, Row("", "", "AKQ", "AKQJT98765"), Row("7653", "", "432", "2"), other);
    ASSERT_EQ(rec.size(), 128u);
    EXPECT_EQ(rec.substr(0, 17), Bytes({0x06, 0x41, 0x4B, 0x51, 0x32, 0x03, 0x04, 0x4A, 0x54, 0x39, 0x38, 0x37, 0x36,
                                        0x35, 0x05, 0x34, 0x33}));
    EXPECT_EQ(rec.substr(68), std::string(60, '\0'));
}

TEST(BoardRecord, thirteenCardSuitAndBlocksOfSeventeen) {
    std::string rec;
    AppendBoardRecord(rec, Row("AKQJT98765432", "", "", ""), Row("", "AKQJT98765432", "", ""),
                      Row("", "", "AKQJT98765432", ""), Row("", "", "", "AKQJT98765432"));
    ASSERT_EQ(rec.size(), 128u);
    EXPECT_EQ(rec.substr(0, 17), "\x06" "AKQJT98765432\x03\x04\x05");
    EXPECT_EQ(rec.substr(17, 17), "\x06\x03" "AKQJT98765432\x04\x05");
    EXPECT_EQ(rec.substr(51, 17), "\x06\x03\x04\x05" "AKQJT98765432");
    for (int i = 0; i < 68; ++i) EXPECT_NE(rec[static_cast<std::size_t>(i)], 0) << i;
}

TEST(BriRecord, digitsSpacesAndZeros) {
    std::string rec;
    Hand north = test::HandOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    Hand east = test::HandOf({14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26});
    Hand south = test::HandOf({40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52});
    AppendBriRecord(rec, north, east, south);
    ASSERT_EQ(rec.size(), 128u);
    EXPECT_EQ(rec.substr(0, 26), "01020304050607080910111213");
    EXPECT_EQ(rec.substr(52, 26).substr(24), "52");
    EXPECT_EQ(rec.substr(78, 32), std::string(32, ' '));
    EXPECT_EQ(rec.substr(110), std::string(18, '\0'));
}

TEST(BoardRecord, recordsFromCardSetsEqualRecordsFromRowsAndHands) {
    std::mt19937 rng(99);
    std::vector<CardCode> pack(FullPack.begin(), FullPack.end());
    for (int round = 0; round < 2000; ++round) {
        std::shuffle(pack.begin(), pack.end(), rng);
        // Lopsided deals too, so that voids and long suits occur.
        if (round % 4 == 0) std::sort(pack.begin(), pack.begin() + 26);
        CardMask sets[4] = {};
        Hand hands[4];
        for (int seat = 0; seat < 4; ++seat) {
            for (int i = 0; i < 13; ++i) sets[seat] |= CardBit(pack[static_cast<std::size_t>(seat * 13 + i)]);
            hands[seat] = test::HandOfMask(sets[seat]);
        }
        std::string fromRows, fromSets, briHands, briSets;
        AppendBoardRecord(fromRows, FormatHand(hands[North]), FormatHand(hands[East]), FormatHand(hands[South]),
                          FormatHand(hands[West]));
        AppendBoardRecord(fromSets, sets);
        AppendBriRecord(briHands, hands[North], hands[East], hands[South]);
        AppendBriRecord(briSets, sets);
        ASSERT_EQ(fromSets, fromRows) << "round " << round;
        ASSERT_EQ(briSets, briHands) << "round " << round;
    }
}

TEST(BoardFile, readingBackReproducesEveryBoardIncludingVoids) {
    test::TempDir dir;
    tDealFiles files;
    ASSERT_TRUE(files.OpenDealFiles(dir.path(), "RT", false, nullptr));
    tBoard b;
    b.Output = &files;
    std::vector<DisplayTable> dealt;
    // A void, a 13-card suit and random boards.
    b.Display = {Row("AKQJT98765432", "", "", ""), Row("", "AKQJT98765432", "", ""), Row("", "", "AKQJT98765432", ""),
                 Row("", "", "", "AKQJT98765432")};
    files.WriteBriRecord(test::HandOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}),
                         test::HandOf({27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39}),
                         test::HandOf({14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26}));
    files.WriteBoardRecord(b.Display[North], b.Display[East], b.Display[South], b.Display[West]);
    dealt.push_back(b.Display);
    RandSeed = 4242;
    for (int i = 0; i < 50; ++i) {
        b.DealBoard();
        dealt.push_back(b.Display);
    }
    ASSERT_TRUE(files.CloseDealFiles(nullptr));

    tBoardFile reader;
    ASSERT_TRUE(reader.Open(dir.file("RT.DGE"), nullptr));
    ASSERT_EQ(reader.BoardCount(), dealt.size());
    tBoard view;
    for (std::uint64_t n = 1; n <= reader.BoardCount(); ++n) {
        ASSERT_EQ(reader.ReadBoard(n, view), tBoardFile::Read::Ok);
        ASSERT_EQ(view.Display, dealt[n - 1]) << "board " << n;
    }
    // And the dealing-machine file holds the same deals, record for record.
    std::string bri = test::ReadText(dir.file("RT.BRI"));
    ASSERT_EQ(bri.size(), 128u * dealt.size());
    for (std::size_t n = 0; n < dealt.size(); ++n) ASSERT_EQ(TableFromBri(bri.substr(n * 128, 128)), dealt[n]) << n;
}

TEST(BoardFile, countsWholeRecordsOnly) {
    test::TempDir dir;
    test::WriteText(dir.file("E.DGE"), "");
    std::string rec;
    AppendBoardRecord(rec, Row("A", "", "", ""), Row("", "", "", ""), Row("", "", "", ""), Row("", "", "", ""));
    test::WriteText(dir.file("P.DGE"), rec + rec + std::string(44, 'x'));
    tBoardFile f;
    ASSERT_TRUE(f.Open(dir.file("E.DGE"), nullptr));
    EXPECT_EQ(f.BoardCount(), 0u);
    tBoard b;
    EXPECT_EQ(f.ReadBoard(1, b), tBoardFile::Read::Failed);
    ASSERT_TRUE(f.Open(dir.file("P.DGE"), nullptr));
    EXPECT_EQ(f.BoardCount(), 2u);
    EXPECT_EQ(f.ReadBoard(2, b), tBoardFile::Read::Ok);
    EXPECT_EQ(f.ReadBoard(3, b), tBoardFile::Read::Failed);
    std::string error;
    EXPECT_FALSE(f.Open(dir.file("missing.DGE"), &error));
    EXPECT_EQ(error, "Unable to open " + dir.file("missing.DGE"));
}

TEST(BoardFile, moreThanSixtyFiveThousandBoardsAreCountedAndRead) {
    test::TempDir dir;
    std::string path = dir.file("BIG.DGE");
    test::WriteText(path, "");
    ASSERT_EQ(::truncate(path.c_str(), 70000 * 128), 0);
    std::string rec;
    AppendBoardRecord(rec, Row("AK", "Q", "J", "T"), Row("", "", "", ""), Row("", "", "", ""), Row("", "", "", "2"));
    {
        std::FILE* f = std::fopen(path.c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(::fseeko(f, static_cast<off_t>(69999) * 128, SEEK_SET), 0);
        std::fwrite(rec.data(), 1, rec.size(), f);
        std::fclose(f);
    }
    tBoardFile reader;
    ASSERT_TRUE(reader.Open(path, nullptr));
    EXPECT_EQ(reader.BoardCount(), 70000u);
    tBoard b;
    ASSERT_EQ(reader.ReadBoard(70000, b), tBoardFile::Read::Ok);
    EXPECT_EQ(b.Display[North][0], "AK");
    EXPECT_EQ(b.Display[West][3], "2");
    // The zero-filled records have no separators at all.
    EXPECT_EQ(reader.ReadBoard(65536, b), tBoardFile::Read::Damaged);
}

TEST(BoardFile, damagedRecordIsDecodedAsFarAsItIsSoundAndNeverOverruns) {
    unsigned char rec[128];
    std::memset(rec, 'K', sizeof rec); // no zero byte and no separator anywhere
    tBoard b;
    EXPECT_FALSE(DecodeBoardRecord(rec, b));
    for (const auto& row : b.Display)
        for (const auto& h : row) EXPECT_TRUE(h.empty());
    // Five separators: North complete, East's spades up to the end of the 68 bytes, cut to 13.
    std::string s = "\x06" "AK\x03Q\x04J\x05T\x06";
    std::memcpy(rec, s.data(), s.size());
    EXPECT_FALSE(DecodeBoardRecord(rec, b));
    EXPECT_EQ(b.Display[North][0], "AK");
    EXPECT_EQ(b.Display[North][3], "T");
    EXPECT_EQ(b.Display[East][0], std::string(13, 'K'));
    EXPECT_EQ(b.Display[West][3], "");
    // More than 16 separators: the sixteenth holding ends at the seventeenth.
    std::memset(rec, 0, sizeof rec);
    for (int i = 0; i < 20; ++i) rec[i * 2] = 6, rec[i * 2 + 1] = 'A';
    EXPECT_FALSE(DecodeBoardRecord(rec, b));
    EXPECT_EQ(b.Display[West][3], "A");
}

TEST(DealFiles, missingFolderIsReportedAndNothingIsCreated) {
    test::TempDir dir;
    tDealFiles files;
    std::string error;
    std::string folder = dir.file("no such folder");
    EXPECT_FALSE(files.OpenDealFiles(folder, "ZELV", true, &error));
    EXPECT_EQ(error, "Unable to write to " + folder + "/ZELV.BRI");
    EXPECT_FALSE(files.IsOpen());
}

TEST(DealFiles, readOnlyFileIsReportedAndKept) {
    test::TempDir dir;
    test::WriteText(dir.file("ZELV.DGE"), "old boards");
    ASSERT_EQ(::chmod(dir.file("ZELV.DGE").c_str(), 0444), 0);
    tDealFiles files;
    std::string error;
    EXPECT_FALSE(files.OpenDealFiles(dir.path(), "ZELV", false, &error));
    EXPECT_EQ(error, "Unable to write to " + dir.file("ZELV.DGE"));
    EXPECT_EQ(test::ReadText(dir.file("ZELV.DGE")), "old boards");
    EXPECT_FALSE(test::ReadText(dir.file("ZELV.BRI")).size());
}

TEST(DealFiles, runThatIsNeverClosedLeavesThePreviousFiles) {
    test::TempDir dir;
    test::WriteText(dir.file("ZELV.DGE"), "previous");
    {
        tDealFiles files;
        ASSERT_TRUE(files.OpenDealFiles(dir.path(), "ZELV", false, nullptr));
        tBoard b;
        b.Output = &files;
        b.DealBoard();
    }
    EXPECT_EQ(test::ReadText(dir.file("ZELV.DGE")), "previous");
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++entries;
    EXPECT_EQ(entries, 1) << "temporary files were left behind";
}

TEST(DealFiles, aSecondRunReplacesTheFirst) {
    test::TempDir dir;
    for (int boards : {5, 2}) {
        tDealFiles files;
        ASSERT_TRUE(files.OpenDealFiles(dir.path(), "ZELV", true, nullptr));
        tBoard b;
        b.Output = &files;
        for (int i = 0; i < boards; ++i) b.DealBoard();
        ASSERT_TRUE(files.CloseDealFiles(nullptr));
    }
    EXPECT_EQ(test::ReadText(dir.file("ZELV.DGE")).size(), 256u);
    EXPECT_EQ(test::ReadText(dir.file("ZELV.BRI")).size(), 256u);
    std::string pbn = test::ReadText(dir.file("ZELV.PBN"));
    EXPECT_EQ(pbn.rfind("% PBN 2.1\r\n% EXPORT\r\n", 0), 0u);
    EXPECT_NE(pbn.find("[Board \"2\"]"), std::string::npos);
    EXPECT_EQ(pbn.find("[Board \"3\"]"), std::string::npos);
}

TEST(DealFiles, aRunWithoutPbnRemovesThePbnFileOfAnEarlierRun) {
    test::TempDir dir;
    for (bool pbn : {true, false}) {
        tDealFiles files;
        ASSERT_TRUE(files.OpenDealFiles(dir.path(), "ZELV", pbn, nullptr));
        EXPECT_EQ(std::filesystem::exists(dir.file("ZELV.PBN")), !pbn) << "before closing";
        tBoard b;
        b.Output = &files;
        b.DealBoard();
        ASSERT_TRUE(files.CloseDealFiles(nullptr));
        EXPECT_EQ(std::filesystem::exists(dir.file("ZELV.PBN")), pbn);
    }
}

TEST(DealFiles, writeErrorDuringARunIsReportedAndThePreviousFilesStay) {
    test::TempDir dir;
    test::WriteText(dir.file("FULL.DGE"), "previous");
    // A file-size limit makes the writes fail as a full disk would.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    tDealFiles files;
    bool opened = files.OpenDealFiles(dir.path(), "FULL", false, nullptr);
    tBoard b;
    b.Output = &files;
    for (int i = 0; i < 20; ++i) b.DealBoard();
    std::string error;
    bool closed = files.CloseDealFiles(&error);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(opened);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(error == "Unable to write to " + dir.file("FULL.BRI") || error == "Unable to write to " + dir.file("FULL.DGE"))
        << error;
    EXPECT_EQ(test::ReadText(dir.file("FULL.DGE")), "previous");
}
