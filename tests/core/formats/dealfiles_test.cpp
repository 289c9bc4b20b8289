#include "core/dealing/ClassicRandom.h"
#include "core/dealing/DealEngine.h"
#include "core/files/FileSet.h"
#include "core/files/FileUtil.h"
#include "core/formats/DealFiles.h"
#include "core/formats/DgeFile.h"
#include "support/EngineHands.h"
#include "support/MachineRules.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
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
            int code = (rec[static_cast<std::size_t>(k * 26 + i * 2)] - '0') * 10 +
                       (rec[static_cast<std::size_t>(k * 26 + i * 2 + 1)] - '0');
            hands[k][static_cast<std::size_t>(i)] = static_cast<CardCode>(code);
            seen |= CardBit(static_cast<CardCode>(code));
        }
    hands[3] = test::HandOfMask(AllCardsMask & ~seen);
    DisplayTable t;
    t[North] = test::FormatHand(hands[0]);
    t[East] = test::FormatHand(hands[1]);
    t[South] = test::FormatHand(hands[2]);
    t[West] = test::FormatHand(hands[3]);
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
    EXPECT_EQ(rec.substr(0, 17), "\x06"
                                 "AKQJT98765432\x03\x04\x05");
    EXPECT_EQ(rec.substr(17, 17), "\x06\x03"
                                  "AKQJT98765432\x04\x05");
    EXPECT_EQ(rec.substr(51, 17), "\x06\x03\x04\x05"
                                  "AKQJT98765432");
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
        AppendBoardRecord(fromRows, test::FormatHand(hands[North]), test::FormatHand(hands[East]),
                          test::FormatHand(hands[South]), test::FormatHand(hands[West]));
        AppendBoardRecord(fromSets, sets);
        AppendBriRecord(briHands, hands[North], hands[East], hands[South]);
        AppendBriRecord(briSets, sets);
        ASSERT_EQ(fromSets, fromRows) << "round " << round;
        ASSERT_EQ(briSets, briHands) << "round " << round;
    }
}

TEST(BoardFile, readingBackReproducesEveryBoardIncludingVoids) {
    test::TempDir dir;
    DealFiles files;
    ASSERT_TRUE(files.OpenDealFiles(dir.path(), "RT", false, nullptr));
    DealEngine b;
    std::vector<DisplayTable> dealt;
    // A void, a 13-card suit and random boards.
    b.Display = {Row("AKQJT98765432", "", "", ""), Row("", "", "AKQJT98765432", ""), Row("", "AKQJT98765432", "", ""),
                 Row("", "", "", "AKQJT98765432")};
    const CardMask suit = 0x1FFF; // by seat index: spades, diamonds, hearts, clubs
    const CardMask suits[4] = {suit, suit << 26, suit << 13, suit << 39};
    files.WriteBoard(suits, b.Display);
    dealt.push_back(b.Display);
    b.Random = ClassicRandom(4242);
    for (int i = 0; i < 50; ++i) {
        test::DealAndWrite(b, files);
        dealt.push_back(b.Display);
    }
    ASSERT_TRUE(files.CloseDealFiles(nullptr));

    DgeFile reader;
    ASSERT_TRUE(reader.Open(dir.file("RT.DGE"), nullptr));
    ASSERT_EQ(reader.BoardCount(), dealt.size());
    DisplayTable view;
    for (std::uint64_t n = 1; n <= reader.BoardCount(); ++n) {
        ASSERT_EQ(reader.ReadBoard(n, view), DgeFile::Read::Ok);
        ASSERT_EQ(view, dealt[n - 1]) << "board " << n;
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
    DgeFile f;
    ASSERT_TRUE(f.Open(dir.file("E.DGE"), nullptr));
    EXPECT_EQ(f.BoardCount(), 0u);
    DisplayTable b;
    EXPECT_EQ(f.ReadBoard(1, b), DgeFile::Read::Failed);
    ASSERT_TRUE(f.Open(dir.file("P.DGE"), nullptr));
    EXPECT_EQ(f.BoardCount(), 2u);
    EXPECT_EQ(f.ReadBoard(2, b), DgeFile::Read::Ok);
    EXPECT_EQ(b[North][0], "A");
    // A board that cannot be read leaves nothing of the one before.
    EXPECT_EQ(f.ReadBoard(3, b), DgeFile::Read::Failed);
    EXPECT_EQ(b, DisplayTable{});
    std::string error;
    EXPECT_FALSE(f.Open(dir.file("missing.DGE"), &error));
    EXPECT_EQ(error, "Unable to open " + dir.file("missing.DGE") + " (No such file or directory)");
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
    DgeFile reader;
    ASSERT_TRUE(reader.Open(path, nullptr));
    EXPECT_EQ(reader.BoardCount(), 70000u);
    DisplayTable b;
    ASSERT_EQ(reader.ReadBoard(70000, b), DgeFile::Read::Ok);
    EXPECT_EQ(b[North][0], "AK");
    EXPECT_EQ(b[West][3], "2");
    // The zero-filled records have no separators at all.
    EXPECT_EQ(reader.ReadBoard(65536, b), DgeFile::Read::Damaged);
}

TEST(BoardFile, damagedRecordIsDecodedAsFarAsItIsSoundAndNeverOverruns) {
    unsigned char rec[128];
    std::memset(rec, 'K', sizeof rec); // no zero byte and no separator anywhere
    DisplayTable b;
    EXPECT_FALSE(DecodeBoardRecord(rec, b));
    for (const auto& row : b)
        for (const auto& h : row) EXPECT_TRUE(h.empty());
    // Five separators: North complete, East's spades up to the end of the 68 bytes, cut to 13.
    std::string s = "\x06"
                    "AK\x03Q\x04J\x05T\x06";
    std::memcpy(rec, s.data(), s.size());
    EXPECT_FALSE(DecodeBoardRecord(rec, b));
    EXPECT_EQ(b[North][0], "AK");
    EXPECT_EQ(b[North][3], "T");
    EXPECT_EQ(b[East][0], std::string(13, 'K'));
    EXPECT_EQ(b[West][3], "");
    // More than 16 separators: the sixteenth holding ends at the seventeenth.
    std::memset(rec, 0, sizeof rec);
    for (int i = 0; i < 20; ++i) rec[i * 2] = 6, rec[i * 2 + 1] = 'A';
    EXPECT_FALSE(DecodeBoardRecord(rec, b));
    EXPECT_EQ(b[West][3], "A");
}

TEST(DealFiles, missingFolderIsReportedAndNothingIsCreated) {
    test::TempDir dir;
    DealFiles files;
    std::string error;
    std::string folder = dir.file("no such folder");
    EXPECT_FALSE(files.OpenDealFiles(folder, "ZELV", true, &error));
    EXPECT_EQ(error, "Unable to write to " + folder + "/ZELV.BRI (No such file or directory)");
    EXPECT_FALSE(files.IsOpen());
}

TEST(DealFiles, readOnlyFileIsReportedAndKept) {
    test::TempDir dir;
    test::WriteText(dir.file("ZELV.DGE"), "old boards");
    ASSERT_EQ(::chmod(dir.file("ZELV.DGE").c_str(), 0444), 0);
    DealFiles files;
    std::string error;
    EXPECT_FALSE(files.OpenDealFiles(dir.path(), "ZELV", false, &error));
    EXPECT_EQ(error, "Unable to write to " + dir.file("ZELV.DGE") + " (read-only)");
    EXPECT_EQ(test::ReadText(dir.file("ZELV.DGE")), "old boards");
    EXPECT_FALSE(test::ReadText(dir.file("ZELV.BRI")).size());
}

TEST(DealFiles, runThatIsNeverClosedLeavesThePreviousFiles) {
    test::TempDir dir;
    test::WriteText(dir.file("ZELV.DGE"), "previous");
    {
        DealFiles files;
        ASSERT_TRUE(files.OpenDealFiles(dir.path(), "ZELV", false, nullptr));
        DealEngine b;
        test::DealAndWrite(b, files);
    }
    EXPECT_EQ(test::ReadText(dir.file("ZELV.DGE")), "previous");
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++entries;
    EXPECT_EQ(entries, 1) << "temporary files were left behind";
}

TEST(DealFiles, aSecondRunReplacesTheFirst) {
    test::TempDir dir;
    for (int boards : {5, 2}) {
        DealFiles files;
        ASSERT_TRUE(files.OpenDealFiles(dir.path(), "ZELV", true, nullptr));
        DealEngine b;
        for (int i = 0; i < boards; ++i) test::DealAndWrite(b, files);
        ASSERT_TRUE(files.CloseDealFiles(nullptr));
    }
    EXPECT_EQ(test::ReadText(dir.file("ZELV.DGE")).size(), 256u);
    EXPECT_EQ(test::ReadText(dir.file("ZELV.BRI")).size(), 256u);
    std::string pbn = test::ReadText(dir.file("ZELV.PBN"));
    EXPECT_EQ(pbn.rfind("% PBN 2.1\r\n% EXPORT\r\n", 0), 0u);
    EXPECT_NE(pbn.find("[Board \"2\"]"), std::string::npos);
    EXPECT_EQ(pbn.find("[Board \"3\"]"), std::string::npos);
}

TEST(DealFiles, aRunWithoutPbnDupOrDlmRemovesThatFileOfAnEarlierRun) {
    test::TempDir dir;
    for (bool on : {true, false}) {
        DealFiles files;
        ASSERT_TRUE(files.OpenDealFiles(dir.path(), "ZELV", DealFileChoice{on, on, on, 1}, nullptr));
        DealEngine b;
        test::DealAndWrite(b, files);
        for (const char* ext : {".PBN", ".DUP", ".DLM"})
            EXPECT_EQ(std::filesystem::exists(dir.file(std::string("ZELV") + ext)), !on) << ext << " before closing";
        ASSERT_TRUE(files.CloseDealFiles(nullptr));
        for (const char* ext : {".PBN", ".DUP", ".DLM"})
            EXPECT_EQ(std::filesystem::exists(dir.file(std::string("ZELV") + ext)), on) << ext;
    }
}

// The ".DUP" and ".DLM" files hold the deals of the ".BRI" and ".DGE" files,
// read by the rules rather than by the readers, numbered from the first board.
TEST(DealFiles, machineFilesHoldTheDealsOfTheBoardFilesFromTheFirstBoardOn) {
    for (std::uint64_t first : {1u, 17u}) {
        test::TempDir dir;
        DealFiles files;
        ASSERT_TRUE(files.OpenDealFiles(dir.path(), "SET", DealFileChoice{true, true, true, first}, nullptr));
        DealEngine b;
        b.Random = ClassicRandom(static_cast<std::uint32_t>(first));
        for (int i = 0; i < 20; ++i) test::DealAndWrite(b, files);
        std::string error;
        ASSERT_TRUE(files.CloseDealFiles(&error)) << error;
        const std::string bri = test::ReadText(dir.file("SET.BRI")), dge = test::ReadText(dir.file("SET.DGE")),
                          dup = test::ReadText(dir.file("SET.DUP")), dlm = test::ReadText(dir.file("SET.DLM")),
                          pbn = test::ReadText(dir.file("SET.PBN"));
        ASSERT_EQ(dup.size(), 20u * 156);
        const std::string trailer = first == 1 ? "YN1  0 20 " : "YN17 0 36 ";
        for (std::size_t k = 0; k < 20; ++k) {
            const std::string_view rec = std::string_view(dup).substr(k * 156, 156);
            const test::SeatOfCard deal = test::FromCardCodes(std::string_view(bri).substr(k * 128));
            EXPECT_EQ(test::FromCardCodes(rec), deal) << k;
            EXPECT_EQ(test::FromHoldings(rec.substr(78)), deal) << k;
            EXPECT_EQ(test::FromHoldings(std::string_view(dge).substr(k * 128)), deal) << k;
            EXPECT_EQ(rec.substr(146), trailer) << k;
            const std::string n = std::to_string(first + k);
            const std::size_t line = dlm.find("\r\nBoard " + std::string(n.size() < 2 ? "0" : "") + n + "=");
            ASSERT_NE(line, std::string::npos) << n;
            EXPECT_EQ(test::FromLetters(std::string_view(dlm).substr(line + 11, 26)), deal) << n;
            EXPECT_NE(pbn.find("[Board \"" + n + "\"]\r\n"), std::string::npos) << n;
        }
        EXPECT_NE(dlm.find("\r\nFrom board=" + std::to_string(first) + "\r\nTo board=" + std::to_string(first + 19)),
                  std::string::npos);
        // Board 18 (dealt second from 17) is East's to deal, so its Deal starts with East.
        if (first == 17) {
            EXPECT_NE(pbn.find("[Board \"18\"]"), std::string::npos);
            EXPECT_NE(pbn.find("[Dealer \"E\"]\r\n[Vulnerable \"NS\"]\r\n[Deal \"E:"), std::string::npos);
        }
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
    DealFiles files;
    bool opened = files.OpenDealFiles(dir.path(), "FULL", false, nullptr);
    DealEngine b;
    for (int i = 0; i < 20; ++i) test::DealAndWrite(b, files);
    std::string error;
    bool closed = files.CloseDealFiles(&error);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(opened);
    EXPECT_FALSE(closed);
    const std::string tooLarge = " (File too large). The previous set was kept.";
    EXPECT_TRUE(error == "Unable to write to " + dir.file("FULL.BRI") + tooLarge ||
                error == "Unable to write to " + dir.file("FULL.DGE") + tooLarge)
        << error;
    EXPECT_EQ(test::ReadText(dir.file("FULL.DGE")), "previous");
}

namespace {
// Fails, as an immutable file would, either the move of the old file named
// `FailingName` aside or the move of its new contents onto it.
std::string FailingName;
bool FailAside = false;
bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}
int FailSomeRenames(const char* from, const char* to) {
    const bool aside = EndsWith(from, FailingName) && std::string(to).find(".old-") != std::string::npos;
    const bool onto = EndsWith(to, FailingName) && std::string(from).find(".tmp-") != std::string::npos;
    if (FailAside ? aside : onto) {
        errno = EPERM;
        return -1;
    }
    return std::rename(from, to);
}
struct RenameFault {
    explicit RenameFault(const std::string& name, bool aside = false) {
        FailingName = name;
        FailAside = aside;
        old = SetRenameFunction(&FailSomeRenames);
    }
    ~RenameFault() {
        SetRenameFunction(old);
        FailingName.clear();
    }
    RenameFunction old;
};

std::uint64_t DealInto(const std::string& folder, bool pbn, int boards, std::string* error) {
    DealFiles files;
    if (!files.OpenDealFiles(folder, "ZELV", DealFileChoice{pbn, pbn, pbn, 1}, error)) return 0;
    DealEngine b;
    for (int i = 0; i < boards; ++i) test::DealAndWrite(b, files);
    return files.CloseDealFiles(error) ? files.BoardsWritten() : 0;
}

int EntriesIn(const std::string& folder) {
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(folder)) (void)e, ++n;
    return n;
}
} // namespace

TEST(DealFiles, aSetIsPutInPlaceWholeOrNotAtAll) {
    test::TempDir dir;
    std::string error;
    ASSERT_EQ(DealInto(dir.path(), true, 3, &error), 3u) << error;
    const std::string dge = test::ReadText(dir.file("ZELV.DGE")), bri = test::ReadText(dir.file("ZELV.BRI")),
                      pbn = test::ReadText(dir.file("ZELV.PBN")), dup = test::ReadText(dir.file("ZELV.DUP"));
    // Any one of the five failing to go in place, or its old file failing
    // to step aside, keeps all five as they were.
    for (bool aside : {false, true})
        for (const char* ext : {".BRI", ".DGE", ".PBN", ".DUP", ".DLM"}) {
            RenameFault fault(std::string("ZELV") + ext, aside);
            EXPECT_EQ(DealInto(dir.path(), true, 5, &error), 0u) << ext;
            EXPECT_EQ(error, "Unable to write to " + dir.file(std::string("ZELV") + ext) +
                                 " (Operation not permitted). The previous set was kept.");
            EXPECT_EQ(test::ReadText(dir.file("ZELV.DGE")), dge) << ext;
            EXPECT_EQ(test::ReadText(dir.file("ZELV.BRI")), bri) << ext;
            EXPECT_EQ(test::ReadText(dir.file("ZELV.PBN")), pbn) << ext;
            EXPECT_EQ(test::ReadText(dir.file("ZELV.DUP")), dup) << ext;
            EXPECT_EQ(EntriesIn(dir.path()), 5) << "temporary or moved-aside files were left behind";
        }
    // A first set that cannot be completed leaves no file at all.
    test::TempDir fresh;
    RenameFault fault("ZELV.PBN");
    EXPECT_EQ(DealInto(fresh.path(), true, 2, &error), 0u);
    EXPECT_NE(error.find("No file was written."), std::string::npos) << error;
    EXPECT_EQ(EntriesIn(fresh.path()), 0);
}

TEST(DealFiles, anImmutableFileKeepsTheWholePreviousSet) {
    test::TempDir dir;
    std::string error;
    ASSERT_EQ(DealInto(dir.path(), true, 2, &error), 2u) << error;
    const std::string bri = test::ReadText(dir.file("ZELV.BRI"));
    const std::string chattr = "chattr +i '" + dir.file("ZELV.DGE") + "' 2>/dev/null";
    if (std::system(chattr.c_str()) != 0) GTEST_SKIP() << "this file system or user cannot mark a file immutable";
    const std::uint64_t written = DealInto(dir.path(), true, 4, &error);
    [[maybe_unused]] int undone = std::system(("chattr -i '" + dir.file("ZELV.DGE") + "'").c_str());
    EXPECT_EQ(written, 0u);
    EXPECT_NE(error.find("ZELV.DGE"), std::string::npos) << error;
    EXPECT_EQ(test::ReadText(dir.file("ZELV.BRI")), bri);
    EXPECT_EQ(test::ReadText(dir.file("ZELV.DGE")).size(), 2u * 128);
}

TEST(DealFiles, aLinkedFileHasItsTargetReplacedAndPermissionsAreKept) {
    test::TempDir dir, elsewhere;
    test::WriteText(elsewhere.file("club.DGE"), "old");
    ASSERT_EQ(::chmod(elsewhere.file("club.DGE").c_str(), 0640), 0);
    std::filesystem::create_symlink(elsewhere.file("club.DGE"), dir.file("ZELV.DGE"));
    std::string error;
    ASSERT_EQ(DealInto(dir.path(), false, 2, &error), 2u) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("ZELV.DGE")));
    EXPECT_EQ(test::ReadText(elsewhere.file("club.DGE")).size(), 2u * 128);
    struct stat st {};
    ASSERT_EQ(::stat(elsewhere.file("club.DGE").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(EntriesIn(elsewhere.path()), 1);

    // A single file saved through a relative link, likewise.
    std::filesystem::create_symlink("club.DGE", elsewhere.file("link.HDS"));
    ASSERT_TRUE(AtomicWriteFile(elsewhere.file("link.HDS"), "saved", &error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(elsewhere.file("link.HDS")));
    EXPECT_EQ(test::ReadText(elsewhere.file("club.DGE")), "saved");
    ASSERT_EQ(::stat(elsewhere.file("club.DGE").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // A chain of links that loops is refused, not replaced.
    std::filesystem::create_symlink("loop2", elsewhere.file("loop1"));
    std::filesystem::create_symlink("loop1", elsewhere.file("loop2"));
    EXPECT_FALSE(AtomicWriteFile(elsewhere.file("loop1"), "x", &error));
    EXPECT_EQ(error, "Unable to write to " + elsewhere.file("loop1") + " (Too many levels of symbolic links)");
    EXPECT_TRUE(std::filesystem::is_symlink(elsewhere.file("loop1")));
}

TEST(DealFiles, aReadOnlyPbnOfAnEarlierRunStopsARunWithoutPbnAsOthersDo) {
    test::TempDir dir;
    std::string error;
    ASSERT_EQ(DealInto(dir.path(), true, 2, &error), 2u);
    const std::string pbn = test::ReadText(dir.file("ZELV.PBN"));
    ASSERT_EQ(::chmod(dir.file("ZELV.PBN").c_str(), 0444), 0);
    DealFiles files;
    EXPECT_FALSE(files.OpenDealFiles(dir.path(), "ZELV", false, &error));
    EXPECT_EQ(error, "Unable to write to " + dir.file("ZELV.PBN") + " (read-only)");
    EXPECT_EQ(test::ReadText(dir.file("ZELV.PBN")), pbn);
    EXPECT_EQ(test::ReadText(dir.file("ZELV.DGE")).size(), 2u * 128);
}

// What a killed run left goes with the next run in the folder; what is not
// ours, or belongs to a run still alive, stays.
TEST(DealFiles, leftoversOfAKilledRunDoNotDisturbTheNextOne) {
    test::TempDir dir;
    test::WriteText(dir.file("ZELV.DGE.tmp-AbC123"), std::string(5000, 'x'));
    test::WriteText(dir.file("ZELV.BRI.old-XyZ789"), "old");     // no journal names it: perhaps the user's
    test::WriteText(dir.file("notes.txt.tmp-AbC123"), "theirs"); // another program's
    test::WriteText(dir.file("ZELV.DGE.tmp-AbC12"), "short");    // not the pattern
    FileSet live;
    ASSERT_GE(live.Create(dir.file("LIVE.PBN"), nullptr), 0);
    std::string error;
    EXPECT_EQ(DealInto(dir.path(), true, 3, &error), 3u) << error;
    EXPECT_EQ(test::ReadText(dir.file("ZELV.DGE")).size(), 3u * 128);
    EXPECT_FALSE(std::filesystem::exists(dir.file("ZELV.DGE.tmp-AbC123")));
    for (const char* kept : {"ZELV.BRI.old-XyZ789", "notes.txt.tmp-AbC123", "ZELV.DGE.tmp-AbC12"})
        EXPECT_TRUE(std::filesystem::exists(dir.file(kept))) << kept;
    int liveTemps = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        liveTemps += e.path().filename().string().rfind("LIVE.PBN.tmp-", 0) == 0;
    EXPECT_EQ(liveTemps, 1);
    EXPECT_TRUE(live.Commit(&error)) << error;
}

TEST(BriRecord, strayBitsAboveTheLastCardAreNoCards) {
    CardMask hands[4] = {0, 0, 0, 0};
    for (int c = 1; c <= 13; ++c) hands[North] |= CardBit(static_cast<CardCode>(c));
    for (int c = 14; c <= 26; ++c) hands[East] |= CardBit(static_cast<CardCode>(c));
    for (int c = 27; c <= 39; ++c) hands[South] |= CardBit(static_cast<CardCode>(c));
    std::string clean, stray;
    AppendBriRecord(clean, hands);
    hands[North] |= CardMask{1} << 60;
    hands[South] |= ~AllCardsMask;
    AppendBriRecord(stray, hands);
    EXPECT_EQ(stray, clean);
}

namespace {
// Tags that name each board, gathered three boards at a time; or a refusal,
// or none at all once stopped.
class CountingTags : public PbnSupplement {
  public:
    bool Refuse = false, Stopped = false;
    std::vector<std::size_t> Batches;
    std::size_t BatchSize() const override { return 3; }
    bool TagsFor(const std::vector<Board>& boards, std::vector<std::string>& tags, std::string* error) override {
        Batches.push_back(boards.size());
        if (Stopped) return true;
        if (Refuse) {
            *error = "board " + std::to_string(boards.front().Number) + " refused";
            return false;
        }
        for (const Board& b : boards) tags.push_back("[Note \"" + std::to_string(b.Number) + "\"]\r\n");
        return true;
    }
};

void DealInto(DealFiles& files, int boards, std::uint32_t seed) {
    ClassicRandom random(seed);
    for (int n = 0; n < boards; ++n) {
        std::array<CardCode, 52> pack = FullPack;
        for (int i = 51; i > 0; --i)
            std::swap(pack[static_cast<std::size_t>(i)], pack[random.Random(static_cast<std::uint32_t>(i + 1))]);
        CardMask hands[4] = {};
        for (int i = 0; i < 52; ++i) hands[i / 13] |= CardBit(pack[static_cast<std::size_t>(i)]);
        DisplayTable display;
        RenderHands(hands, display);
        files.WriteBoard(hands, display);
    }
}
} // namespace

// A run's PBN games carry the supplement's tags after the mandatory ones,
// asked for a batch at a time once the boards are dealt; a supplement that
// is stopped leaves the games still waiting, which the close writes as
// without it. The other files are as without it.
TEST(DealFiles, PbnSupplement_tagsEachGameInBatches) {
    test::TempDir dir;
    DealFiles plain;
    DealFileChoice numbered;
    numbered.FirstBoard = 5;
    ASSERT_TRUE(plain.OpenDealFiles(dir.path(), "PLAIN", numbered, nullptr));
    DealInto(plain, 7, 99);
    ASSERT_TRUE(plain.CloseDealFiles(nullptr));
    CountingTags tags;
    DealFileChoice choice = numbered;
    choice.PbnTags = &tags;
    DealFiles files;
    ASSERT_TRUE(files.OpenDealFiles(dir.path(), "TAGS", choice, nullptr));
    DealInto(files, 7, 99);
    EXPECT_TRUE(tags.Batches.empty());
    EXPECT_EQ(files.GamesWaiting(), 7u);
    EXPECT_EQ(files.TagWaitingGames(), 3u);
    EXPECT_EQ(files.TagWaitingGames(), 3u);
    tags.Stopped = true;
    EXPECT_EQ(files.TagWaitingGames(), 0u);
    EXPECT_FALSE(files.Failed());
    EXPECT_EQ(files.GamesWaiting(), 1u);
    std::string error;
    ASSERT_TRUE(files.CloseDealFiles(&error)) << error;
    EXPECT_EQ(tags.Batches, (std::vector<std::size_t>{3, 3, 1}));
    EXPECT_EQ(test::ReadText(dir.file("TAGS.DGE")), test::ReadText(dir.file("PLAIN.DGE")));
    const std::string pbn = test::ReadText(dir.file("TAGS.PBN"));
    for (int n = 5; n <= 10; ++n) {
        const std::string game = "[Board \"" + std::to_string(n) + "\"]";
        const std::string tag = "[Result \"?\"]\r\n[Note \"" + std::to_string(n) + "\"]\r\n\r\n";
        const std::size_t at = pbn.find(game);
        ASSERT_NE(at, std::string::npos) << n;
        EXPECT_EQ(pbn.find(tag, at), pbn.find("[Result", at)) << n;
    }
    const std::string plainPbn = test::ReadText(dir.file("PLAIN.PBN"));
    // The last game, without tags, as the plain run wrote it.
    const std::string last = plainPbn.substr(plainPbn.rfind("[Event", plainPbn.find("[Board \"11\"]")));
    EXPECT_TRUE(pbn.ends_with(last)) << pbn;
}

// Tags that cannot be had fail the run as a write does: the previous set stays.
TEST(DealFiles, PbnSupplementRefusing_keepsThePreviousSet) {
    test::TempDir dir;
    test::WriteText(dir.file("ZELV.DGE"), "old board file");
    test::WriteText(dir.file("ZELV.PBN"), "old pbn");
    CountingTags tags;
    tags.Refuse = true;
    DealFileChoice choice;
    choice.PbnTags = &tags;
    DealFiles files;
    ASSERT_TRUE(files.OpenDealFiles(dir.path(), "ZELV", choice, nullptr));
    DealInto(files, 2, 5);
    EXPECT_EQ(files.TagWaitingGames(), 0u);
    EXPECT_TRUE(files.Failed());
    std::string error;
    EXPECT_FALSE(files.CloseDealFiles(&error));
    EXPECT_NE(error.find("ZELV.PBN"), std::string::npos) << error;
    EXPECT_NE(error.find("board 1 refused"), std::string::npos) << error;
    EXPECT_EQ(test::ReadText(dir.file("ZELV.DGE")), "old board file");
    EXPECT_EQ(test::ReadText(dir.file("ZELV.PBN")), "old pbn");
}

namespace {
thread_local bool SlowRenames = false;
int SlowRename(const char* from, const char* to) {
    if (SlowRenames) ::usleep(20000);
    return std::rename(from, to);
}
} // namespace

// Two runs of one code at once: the second is refused before it writes,
// and the set is always one run's whole.
TEST(DealFiles, twoRunsOfOneCodeAtOnceNeverMixTheirSets) {
    test::TempDir dir, first, second;
    auto deal = [](const std::string& folder, std::uint32_t seed, std::string* error) {
        DealFiles files;
        if (!files.OpenDealFiles(folder, "ZELV", DealFileChoice{true, true, true, 1}, error)) return false;
        DealInto(files, 40, seed);
        return files.CloseDealFiles(error);
    };
    ASSERT_TRUE(deal(first.path(), 1, nullptr));
    ASSERT_TRUE(deal(second.path(), 2, nullptr));
    auto same = [&](const test::TempDir& set) {
        for (const char* ext : {".DGE", ".BRI", ".PBN", ".DUP", ".DLM"})
            if (test::ReadText(dir.file(std::string("ZELV") + ext)) !=
                test::ReadText(set.file(std::string("ZELV") + ext)))
                return false;
        return true;
    };
    const RenameFunction old = SetRenameFunction(&SlowRename);
    const std::string refusal = "ZELV is being written by another run (pid " + std::to_string(::getpid()) + ")";
    for (int round = 0; round < 10; ++round) {
        std::string errors[2];
        bool written[2] = {false, false};
        // The second starts while the first, slowed, puts its files in place.
        std::thread a([&] {
            SlowRenames = true;
            written[0] = deal(dir.path(), 1, &errors[0]);
        });
        std::thread b([&] {
            ::usleep(static_cast<useconds_t>(25000 * (round + 1)));
            written[1] = deal(dir.path(), 2, &errors[1]);
        });
        a.join();
        b.join();
        EXPECT_TRUE(written[0] || written[1]) << errors[0] << errors[1];
        for (int i = 0; i < 2; ++i)
            if (!written[i]) {
                EXPECT_EQ(errors[i], refusal);
            }
        EXPECT_TRUE(same(first) || same(second)) << "round " << round;
    }
    SetRenameFunction(old);
}
