// The command line's options merged into a run, without running anything.
#include "cli/DealOptions.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace zelv;

namespace {
class Merge : public ::testing::Test {
  protected:
    test::TempDir dir;
    DealCommandLine line;
    void SetUp() override {
        line.Definitions = dir.path();
        line.Output = dir.path();
    }
    MergedDeal Refused(MergedDeal::Verdict verdict) {
        MergedDeal m = MergeDealOptions(line);
        EXPECT_EQ(m.Outcome, verdict) << m.Error;
        return m;
    }
};
} // namespace

TEST_F(Merge, valuesBecomeTheRunsOptions) {
    line.Boards = "24";
    line.Seed = "4294967295";
    line.MaxAttempts = "1000";
    line.Code = "CLUB";
    line.NoSeedFirst = true;
    line.Pbn = false;
    MergedDeal m = MergeDealOptions(line);
    ASSERT_EQ(m.Outcome, MergedDeal::Verdict::Run) << m.Error;
    EXPECT_EQ(m.Options.Boards, 24);
    EXPECT_EQ(m.Options.Seed, 4294967295u);
    EXPECT_EQ(m.Options.MaxAttempts, 1000u);
    EXPECT_EQ(m.Options.FileCode, "CLUB");
    EXPECT_FALSE(m.Options.SeedFirst);
    EXPECT_FALSE(m.Options.WritePbn);
    for (const SeatSetup& seat : m.Options.Setup) EXPECT_FALSE(seat.Constrained);
    EXPECT_TRUE(m.Warnings.empty());
}

TEST_F(Merge, badValuesAreUsageErrorsNamingTheOption) {
    const struct {
        void (*Set)(DealCommandLine&);
        const char* Mentions;
    } cases[] = {
        {[](DealCommandLine& l) { l.Seed = "4294967296"; }, "--seed"},
        {[](DealCommandLine& l) { l.Boards = "-3"; }, "--boards"},
        {[](DealCommandLine& l) { l.Boards = "12a"; }, "--boards"},
        {[](DealCommandLine& l) { l.MaxAttempts = "0"; }, "--max-attempts"},
        {[](DealCommandLine& l) { l.Threads = "0"; }, "--threads"},
        {[](DealCommandLine& l) { l.Threads = "1025"; }, "--threads"},
        {[](DealCommandLine& l) { l.Code = "a/b"; }, "--code"},
        {[](DealCommandLine& l) { l.Code = std::string(241, 'y'); }, "--code"},
        {[](DealCommandLine& l) { l.Code = "A\nB"; }, "--code: 'A\\nB' holds a control character, which would break "
                                                      "the header line of the .DLM file"},
        {[](DealCommandLine& l) { l.Seats[North] = "A,B,C,D,E,F"; }, "--north"},
    };
    for (const auto& c : cases) {
        line = DealCommandLine{};
        line.Definitions = line.Output = dir.path();
        c.Set(line);
        EXPECT_NE(Refused(MergedDeal::Verdict::Usage).Error.find(c.Mentions), std::string::npos) << c.Mentions;
    }
}

TEST_F(Merge, seatOptionsReplaceTheGeneratorsSeatsAndEmptyItemsAreEmptySlots) {
    test::WriteText(dir.file("A.HDS"), "[YesShapes]\r\nY0= 4333\r\n");
    test::WriteText(dir.file("B.HDS"), "[YesShapes]\r\nY0= 4333\r\n");
    test::WriteText(dir.file("set.GEN"), "[Main]\r\nNAnyCB=0\r\nNC1=a\r\nSAnyCB=0\r\nSC1=B\r\nSC2=Gone\r\n");
    line.Generator = dir.file("set.GEN");
    line.Seats[South] = " A ,, B";
    MergedDeal m = MergeDealOptions(line);
    ASSERT_EQ(m.Outcome, MergedDeal::Verdict::Run) << m.Error;
    EXPECT_TRUE(m.Options.Setup[North].Constrained);
    EXPECT_EQ(m.Options.Setup[North].Names, (std::array<std::string, 5>{"A", "", "", "", ""}));
    EXPECT_EQ(m.Options.Setup[South].Names, (std::array<std::string, 5>{"A", "", "B", "", ""}));
    EXPECT_FALSE(m.Options.Setup[East].Constrained);
    EXPECT_TRUE(m.Warnings.empty());
}

// A definition the generator file names and the folder lacks is refused
// as --north with that name is, naming the file and the key: left out, its
// seat would take other hands than the file meant.
TEST_F(Merge, aDefinitionTheGeneratorFileNamesAndTheFolderLacksIsRefused) {
    test::WriteText(dir.file("A.HDS"), "[YesShapes]\r\nY0= 4333\r\n");
    test::WriteText(dir.file("set.GEN"), "[Main]\r\nNAnyCB=0\r\nNC1=Gone\r\nEAnyCB=0\r\nEC1=a\r\nEC3=Lost\r\n"
                                         "WAnyCB=1\r\nWC1=Unused\r\n");
    line.Generator = dir.file("set.GEN");
    EXPECT_EQ(Refused(MergedDeal::Verdict::BadInput).Error,
              line.Generator + ": NC1=Gone names North's definition 1, but there is no Gone.HDS in " + dir.path() +
                  "; " + line.Generator + ": EC3=Lost names East's definition 3, but there is no Lost.HDS in " +
                  dir.path());
}

TEST_F(Merge, anEmptyFirstSlotIsWarnedOfAndMissingThingsAreBadInput) {
    line.Seats[West] = ",LATE";
    MergedDeal m = MergeDealOptions(line);
    ASSERT_EQ(m.Outcome, MergedDeal::Verdict::Run);
    ASSERT_EQ(m.Warnings.size(), 1u);
    EXPECT_EQ(
        m.Warnings[0],
        "--west: West's first slot is empty, so West takes any hand; \"LATE\" and any later definitions are not used");

    line.Generator = dir.file("none.GEN");
    EXPECT_NE(Refused(MergedDeal::Verdict::BadInput).Error.find("generator file not found"), std::string::npos);
    line.Generator.clear();
    line.Definitions = dir.file("nowhere");
    EXPECT_NE(Refused(MergedDeal::Verdict::BadInput).Error.find("hand definitions folder not found"),
              std::string::npos);
}

TEST_F(Merge, aCodeThatMakesHiddenFilesIsTakenWithAWarning) {
    line.Code = ".club";
    MergedDeal m = MergeDealOptions(line);
    ASSERT_EQ(m.Outcome, MergedDeal::Verdict::Run) << m.Error;
    EXPECT_EQ(m.Options.FileCode, ".club");
    EXPECT_EQ(m.Warnings, std::vector<std::string>{"--code: '.club' starts with a dot, which makes .club.DGE, "
                                                   ".club.BRI and the others hidden files that ls and file dialogs "
                                                   "do not show"});
}

TEST_F(Merge, threadsDefaultToEveryCoreAndAreForSecureRuns) {
    MergedDeal m = MergeDealOptions(line);
    EXPECT_EQ(m.Options.Threads, 0u);
    line.Secure = true;
    line.Threads = "3";
    m = MergeDealOptions(line);
    ASSERT_EQ(m.Outcome, MergedDeal::Verdict::Run) << m.Error;
    EXPECT_EQ(m.Options.Threads, 3u);
    EXPECT_TRUE(m.Warnings.empty());
    line.Secure = false;
    m = MergeDealOptions(line);
    ASSERT_EQ(m.Warnings.size(), 1u);
    EXPECT_NE(m.Warnings[0].find("--threads"), std::string::npos);
}

// Boards are shared equally when --level says so or the generator file was
// saved that way; a file without the key leaves it off.
TEST_F(Merge, levellingComesFromTheFlagOrTheGeneratorFile) {
    test::WriteText(dir.file("A.HDS"), "[YesShapes]\r\nY0= 4333\r\n");
    test::WriteText(dir.file("plain.GEN"), "[Main]\r\nNAnyCB=0\r\nNC1=A\r\n");
    test::WriteText(dir.file("level.GEN"), "[Main]\r\nNAnyCB=0\r\nNC1=A\r\nShareEqually=1\r\n");
    line.Generator = dir.file("plain.GEN");
    EXPECT_FALSE(MergeDealOptions(line).Options.Level);
    line.Level = true;
    EXPECT_TRUE(MergeDealOptions(line).Options.Level);
    line.Level = false;
    line.Generator = dir.file("level.GEN");
    EXPECT_TRUE(MergeDealOptions(line).Options.Level);
}
