// Sessions dealt into one set: each board meets its own part's set-up by a
// count made here from the written holdings, the set is numbered straight
// through with dealer and vulnerability following the numbers in every
// file, and a stop or a part that can never be dealt loses nothing.
#include "core/dealing/DealRun.h"
#include "core/definitions/DefinitionText.h"
#include "core/formats/BoardSource.h"
#include "core/setup/SessionSetup.h"
#include "support/BoardFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <set>

using namespace zelv;

namespace {

// Board n's dealer and vulnerability, written out rather than computed.
constexpr char Dealers[] = "NESW";
constexpr Vulnerability Vuls[16] = {Vulnerability::None, Vulnerability::NS,   Vulnerability::EW,   Vulnerability::All,
                                    Vulnerability::NS,   Vulnerability::EW,   Vulnerability::All,  Vulnerability::None,
                                    Vulnerability::EW,   Vulnerability::All,  Vulnerability::None, Vulnerability::NS,
                                    Vulnerability::All,  Vulnerability::None, Vulnerability::NS,   Vulnerability::EW};

int PointsOf(const DisplayRow& row) {
    int points = 0;
    for (const std::string& suit : row)
        for (char rank : suit) points += rank == 'A' ? 4 : rank == 'K' ? 3 : rank == 'Q' ? 2 : rank == 'J' ? 1 : 0;
    return points;
}
bool Balanced(const DisplayRow& row) {
    int doubletons = 0;
    for (const std::string& suit : row) {
        if (suit.size() < 2 || suit.size() > 5) return false;
        doubletons += suit.size() == 2;
    }
    return doubletons <= 1;
}

// The part named by each PBN game's own tag, in the file's order.
std::vector<std::string> PartTags(const std::string& pbn) {
    std::vector<std::string> tags;
    const std::string key = "[Zelvano_Part \"";
    for (std::size_t at = pbn.find(key); at != std::string::npos; at = pbn.find(key, at + 1))
        tags.push_back(pbn.substr(at + key.size(), pbn.find('"', at + key.size()) - at - key.size()));
    return tags;
}

class SessionRunTest : public ::testing::Test {
  protected:
    test::TempDir defs, hands;
    DealRunOptions o;

    void SetUp() override {
        o.DefinitionsFolder = defs.path();
        o.OutputFolder = hands.path();
        o.FileCode = "EVE";
        test::WriteRunDefinitions(defs.path());
    }
    RunPart Part(const std::string& name, int boards, int seat = North, const std::string& definition = "") {
        RunPart part;
        part.Name = name;
        part.Boards = boards;
        if (!definition.empty()) {
            part.Setup[seat].Constrained = true;
            part.Setup[seat].Names[0] = definition;
        }
        return part;
    }
    // 1NT openers for North, a strong South, then anything with East-West
    // holding 22 or more between them (a condition across seats).
    void ThreeParts(int first, int second, int third) {
        o.Parts = {Part("1NT openers", first, North, "NT"), Part("strong south", second, South, "STRONG"),
                   Part("anything", third)};
        o.Parts[2].Condition = [] {
            return BoardTest([](const CardMask* h) {
                DisplayTable t = HoldingsOf(NumberedBoard(h, 1));
                return PointsOf(t[East]) + PointsOf(t[West]) >= 22;
            });
        };
    }
    // Whether `board` meets part `name`'s set-up, counted here.
    static bool Meets(const std::string& name, const Board& board) {
        const DisplayTable t = HoldingsOf(board);
        if (name == "1NT openers") return PointsOf(t[North]) >= 15 && PointsOf(t[North]) <= 17 && Balanced(t[North]);
        if (name == "strong south") return PointsOf(t[South]) >= 20;
        return name == "anything" && PointsOf(t[East]) + PointsOf(t[West]) >= 22;
    }
    BoardList Read(const char* ext, BoardFormat format) {
        return ReadBoardFile(hands.file(std::string("EVE") + ext), format);
    }
};

} // namespace

TEST_F(SessionRunTest, everyFileNumbersThePartsStraightThroughAndEachBoardMeetsItsOwnPart) {
    for (bool secure : {false, true}) {
        SCOPED_TRACE(secure ? "secure" : "classic");
        ThreeParts(5, 4, 6);
        o.FirstBoard = 7;
        o.WriteDup = o.WriteDlm = true;
        o.Secure = secure;
        o.Threads = 2;
        o.Seed.reset();
        if (!secure) o.Seed = 11;
        const DealRunResult r = RunDeal(o);
        ASSERT_EQ(r.Status, DealStatus::Done) << r.Error;
        EXPECT_EQ(r.PartBoards, (std::vector<std::uint64_t>{5, 4, 6}));
        const std::vector<std::string> tags = PartTags(test::ReadText(hands.file("EVE.PBN")));
        ASSERT_EQ(tags.size(), 15u);
        const BoardList pbn = Read(".PBN", BoardFormat::Pbn), dup = Read(".DUP", BoardFormat::Dup),
                        dlm = Read(".DLM", BoardFormat::Dlm), dge = Read(".DGE", BoardFormat::Dge);
        for (const BoardList* list : {&pbn, &dup, &dlm, &dge}) ASSERT_EQ(list->Boards.size(), 15u) << list->Error;
        for (std::size_t i = 0; i < 15; ++i) {
            const std::string part = i < 5 ? "1NT openers" : i < 9 ? "strong south" : "anything";
            EXPECT_EQ(tags[i], part);
            const std::uint64_t number = 7 + i;
            for (const BoardList* list : {&pbn, &dup, &dlm}) {
                const Board& b = list->Boards[i];
                EXPECT_EQ(b.Number, number);
                EXPECT_EQ(SeatLetter(b.Dealer), Dealers[(number - 1) % 4]) << number;
                EXPECT_EQ(b.Vul, Vuls[(number - 1) % 16]) << number;
                EXPECT_EQ(b.Hands, dge.Boards[i].Hands) << number;
            }
            EXPECT_TRUE(Meets(part, pbn.Boards[i])) << "board " << number << " of " << part;
        }
    }
}

TEST_F(SessionRunTest, mixingKeepsEveryPartsCountAndBoardsAndRepeatsFromItsSeed) {
    ThreeParts(6, 5, 7);
    o.Seed = 3;
    const DealRunResult plain = RunDeal(o);
    ASSERT_EQ(plain.Status, DealStatus::Done) << plain.Error;
    const BoardList blocks = Read(".PBN", BoardFormat::Pbn);
    const std::vector<std::string> blockTags = PartTags(test::ReadText(hands.file("EVE.PBN")));
    o.Mix = true;
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    const std::string mixedText = test::ReadText(hands.file("EVE.PBN"));
    const BoardList mixed = Read(".PBN", BoardFormat::Pbn);
    const std::vector<std::string> tags = PartTags(mixedText);
    ASSERT_EQ(mixed.Boards.size(), 18u);
    ASSERT_EQ(tags.size(), 18u);
    std::map<std::string, int> counts;
    std::multiset<std::string> dealt, kept;
    for (std::size_t i = 0; i < 18; ++i) {
        ++counts[tags[i]];
        EXPECT_EQ(mixed.Boards[i].Number, i + 1);
        EXPECT_TRUE(Meets(tags[i], mixed.Boards[i])) << "board " << i + 1 << " of " << tags[i];
        kept.insert(test::RecordOf(HoldingsOf(mixed.Boards[i])));
        dealt.insert(test::RecordOf(HoldingsOf(blocks.Boards[i])));
    }
    EXPECT_EQ(counts, (std::map<std::string, int>{{"1NT openers", 6}, {"strong south", 5}, {"anything", 7}}));
    // The same boards as unmixed, in another order, and the same order again.
    EXPECT_EQ(kept, dealt);
    EXPECT_NE(tags, blockTags);
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    EXPECT_EQ(test::ReadText(hands.file("EVE.PBN")), mixedText);
}

TEST_F(SessionRunTest, aPartThatCanNeverBeDealtIsRefusedBeforeAnyFile) {
    ThreeParts(4, 4, 4);
    o.Parts[1] = Part("never", 4, West, "NEVER");
    o.Parts[1].Setup[East] = o.Parts[1].Setup[West]; // 38 points twice
    const DealRunResult r = RunDeal(o);
    EXPECT_EQ(r.Status, DealStatus::Failed);
    EXPECT_EQ(r.Error.rfind("Part 2 (never): ", 0), 0u) << r.Error;
    EXPECT_TRUE(std::filesystem::is_empty(hands.path()));
}

TEST_F(SessionRunTest, aStopInThe2ndPartKeepsThe1stWholeAndNumbersStraightThrough) {
    // The second part takes seconds: the stop comes with its first report.
    ThreeParts(6, 40000, 6);
    std::atomic<bool> stop{false};
    const DealRunResult r = RunDeal(o, &stop, [&stop](const DealProgress& p) {
        if (p.Part == 1) stop = true;
    });
    ASSERT_EQ(r.Status, DealStatus::Stopped) << r.Error;
    ASSERT_TRUE(r.Written);
    ASSERT_EQ(r.PartBoards.size(), 3u);
    EXPECT_EQ(r.PartBoards[0], 6u);
    EXPECT_LT(r.PartBoards[1], 40000u);
    EXPECT_EQ(r.PartBoards[2], 0u);
    EXPECT_EQ(r.Accepted, r.PartBoards[0] + r.PartBoards[1]);
    const BoardList pbn = Read(".PBN", BoardFormat::Pbn);
    ASSERT_EQ(pbn.Boards.size(), r.Accepted);
    for (std::size_t i = 0; i < pbn.Boards.size(); ++i) EXPECT_EQ(pbn.Boards[i].Number, i + 1);
    const std::vector<std::string> tags = PartTags(test::ReadText(hands.file("EVE.PBN")));
    ASSERT_EQ(tags.size(), r.Accepted);
    for (std::size_t i = 0; i < tags.size(); ++i) EXPECT_EQ(tags[i], i < 6 ? "1NT openers" : "strong south");
}

TEST_F(SessionRunTest, aPartIsDealtAsARunOfItsOwnWouldBe) {
    // One part from a seed: the same boards as the plain run of its set-up.
    o.Seed = 99;
    o.Boards = 12;
    o.Setup = Part("", 0, North, "NT").Setup;
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    const std::string plain = test::ReadText(hands.file("EVE.DGE"));
    o.Parts = {Part("1NT openers", 12, North, "NT")};
    ASSERT_EQ(RunDeal(o).Status, DealStatus::Done);
    EXPECT_EQ(test::ReadText(hands.file("EVE.DGE")), plain);

    // A levelled part after another takes its alternatives in turn from its
    // own first board.
    RunPart levelled = Part("in turn", 6, North, "STRONG");
    levelled.Setup[North].Names[1] = "NT";
    levelled.Level = true;
    o.Parts = {Part("anything", 3), levelled};
    o.Parts[0].Condition = {};
    const DealRunResult r = RunDeal(o);
    ASSERT_EQ(r.Status, DealStatus::Done) << r.Error;
    const BoardList pbn = Read(".PBN", BoardFormat::Pbn);
    ASSERT_EQ(pbn.Boards.size(), 9u);
    for (std::size_t k = 0; k < 6; ++k) {
        const int points = PointsOf(HoldingsOf(pbn.Boards[3 + k])[North]);
        if (k % 2 == 0)
            EXPECT_GE(points, 20) << "board " << 4 + k;
        else
            EXPECT_TRUE(points >= 15 && points <= 17) << "board " << 4 + k << ": " << points;
    }
}
