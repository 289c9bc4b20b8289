#include "core/definitions/DefinitionText.h"
#include "core/definitions/ShapeCatalogue.h"
#include "core/files/IniFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace zelv;

namespace {
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0, at;
    while ((at = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    EXPECT_EQ(start, text.size()) << "every line ends in CR LF";
    return lines;
}
} // namespace

TEST(HandDefinitionFile, defaultDefinitionLayout) {
    std::vector<std::string> lines = Lines(DefinitionFileText(DefinitionText::Defaults()));
    ASSERT_GE(lines.size(), 40u);
    EXPECT_EQ(lines[0], "[YesShapes]");
    EXPECT_EQ(lines[1], "Y0= 4333");
    EXPECT_EQ(lines[39], "Y38=13000");
    std::vector<std::string> sections;
    for (const auto& l : lines)
        if (!l.empty() && l[0] == '[') sections.push_back(l);
    EXPECT_EQ(sections, (std::vector<std::string>{"[YesShapes]", "[Hand]", "[Suit]", "[Cards]", "[Checks]"}));
    auto at = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) - lines.begin(); };
    EXPECT_LT(at("MinPoints=0"), at("MaxPoints=34"));
    EXPECT_LT(at("MaxAKQ=24"), at("[Suit]"));
    EXPECT_EQ(at("MinSPoints=0") + 1, at("MaxSPoints=10"));
    EXPECT_EQ(at("MaxCPoints=10") + 1, at("MinSLength=0"));
    EXPECT_EQ(at("MinSLength=0") + 1, at("MaxSLength=13"));
    EXPECT_EQ(at("MaxCLength=13") + 1, at("MinTop3S=0"));
    EXPECT_EQ(at("MaxTop3C=3") + 1, at("MinTop5S=0"));
    EXPECT_EQ(at("[Cards]") + 1, at("SA=0"));
    EXPECT_EQ(at("SA=0") + 13, at("HA=0"));
    EXPECT_EQ(at("C2=0") + 2, at("[Checks]")); // a blank line between sections
    EXPECT_EQ(lines[static_cast<std::size_t>(at("[Checks]") + 1)], "AKControls=1");
    EXPECT_EQ(lines.back(), "Hon3=1");
    int zeros = 0;
    for (std::size_t i = static_cast<std::size_t>(at("[Cards]")) + 1; i < static_cast<std::size_t>(at("[Checks]")); ++i)
        zeros += lines[i].size() == 4 && lines[i].substr(2) == "=0";
    EXPECT_EQ(zeros, 52);
}

TEST(HandDefinitionFile, emptyShapeListsLeaveTheirSectionOut) {
    DefinitionText d = DefinitionText::Defaults();
    d.NoShapes = d.YesShapes;
    d.YesShapes.clear();
    std::string text = DefinitionFileText(d);
    EXPECT_EQ(text.find("[YesShapes]"), std::string::npos);
    EXPECT_EQ(text.rfind("[NoShapes]\r\nN0= 4333\r\n", 0), 0u);
}

TEST(HandDefinitionFile, roundTripRestoresListsAndTexts) {
    test::TempDir dir;
    DefinitionText d = DefinitionText::Defaults();
    ASSERT_TRUE(MoveSelectedShapes(d.YesShapes, d.NoShapes, {0, 5, 38}));
    d.Limit(LimMinPoints) = "15";
    d.Limit(LimMaxPoints) = "17";
    d.Limit(SuitLimitIndex(GroupLength, 1, true)) = "4";
    d.Cards[1] = d.Cards[52] = true;
    d.AKControls = false;
    std::string path = dir.file("NT.HDS");
    std::string error;
    ASSERT_TRUE(WriteDefinitionFile(path, d, &error)) << error;
    DefinitionText back;
    std::vector<CardCode> refused;
    ASSERT_TRUE(ReadDefinitionFile(path, back, &refused, &error));
    EXPECT_EQ(back.YesShapes, d.YesShapes);
    EXPECT_EQ(back.NoShapes, d.NoShapes);
    for (const auto& s : back.YesShapes) EXPECT_EQ(s.size(), 5u);
    EXPECT_EQ(back.Limits, d.Limits);
    EXPECT_EQ(back.Cards, d.Cards);
    EXPECT_FALSE(back.AKControls);
    EXPECT_TRUE(back.Hon3);
    EXPECT_TRUE(refused.empty());
}

TEST(HandDefinitionFile, savingOverALongerListLeavesNoStaleKeys) {
    test::TempDir dir;
    std::string path = dir.file("X.HDS");
    DefinitionText d = DefinitionText::Defaults();
    ASSERT_TRUE(WriteDefinitionFile(path, d, nullptr));
    d.YesShapes.resize(3);
    ASSERT_TRUE(WriteDefinitionFile(path, d, nullptr));
    IniFile ini;
    ASSERT_TRUE(ini.LoadFromFile(path));
    EXPECT_EQ(ini.ReadSectionKeys("YesShapes").size(), 3u);
    EXPECT_FALSE(ini.HasKey("YesShapes", "Y3"));
}

TEST(HandDefinitionFile, readingFillsMissingKeysWithDefaults) {
    test::TempDir dir;
    std::string path = dir.file("OLD.HDS");
    test::WriteText(path, "[YesShapes]\nY0=4432\n[Hand]\nMaxPoints=abc\n[Cards]\nSA=2\nSK=x\n");
    DefinitionText d;
    ASSERT_TRUE(ReadDefinitionFile(path, d, nullptr, nullptr));
    EXPECT_EQ(d.YesShapes, std::vector<std::string>{" 4432"});
    EXPECT_TRUE(d.NoShapes.empty());
    EXPECT_EQ(d.Limit(LimMaxPoints), "abc"); // kept as text; questioned only when used
    EXPECT_EQ(d.Limit(SuitLimitIndex(GroupLength, 0, true)), "10");
    EXPECT_EQ(d.Limit(SuitLimitIndex(GroupTop5, 3, true)), "5");
    EXPECT_TRUE(d.Cards[1]);
    EXPECT_FALSE(d.Cards[2]);
    EXPECT_TRUE(d.AKControls);
    EXPECT_TRUE(d.Hon3);
    DefinitionText missing;
    ASSERT_TRUE(ReadDefinitionFile(dir.file("none.HDS"), missing, nullptr, nullptr));
    EXPECT_TRUE(missing.YesShapes.empty());
    EXPECT_EQ(missing.Limit(LimMaxAKQ), "24");
}

TEST(HandDefinitionFile, onlyTheFirstThirteenCardsInReadingOrderAreTaken) {
    test::TempDir dir;
    std::string path = dir.file("MANY.HDS");
    // Spades and hearts are read rank by rank, so HA comes before SK and
    // the two of spades is the fourteenth card read.
    std::string cards = "[Cards]\n";
    for (const char* k : {"SA", "SK", "SQ", "SJ", "ST", "S9", "S8", "S7", "S6", "S5", "S4", "S3", "S2", "HA", "CA"})
        cards += std::string(k) + "=1\n";
    test::WriteText(path, cards);
    DefinitionText d;
    std::vector<CardCode> refused;
    ASSERT_TRUE(ReadDefinitionFile(path, d, &refused, nullptr));
    EXPECT_EQ(d.CardCount(), 13);
    EXPECT_TRUE(d.Cards[MakeCard(1, 0)]);   // HA
    EXPECT_TRUE(d.Cards[MakeCard(0, 11)]);  // S3
    EXPECT_FALSE(d.Cards[MakeCard(0, 12)]); // S2 refused
    EXPECT_FALSE(d.Cards[MakeCard(3, 0)]);  // CA refused
    EXPECT_EQ(refused, (std::vector<CardCode>{MakeCard(0, 12), MakeCard(3, 0)}));
}

TEST(HandDefinitionFile, failedSaveKeepsTheOldFile) {
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteDefinitionFile(dir.file("missing/X.HDS"), DefinitionText::Defaults(), &error));
    EXPECT_EQ(error, "Unable to write to " + dir.file("missing/X.HDS") + " (No such file or directory)");
    std::string path = dir.file("RO.HDS");
    test::WriteText(path, "old");
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(WriteDefinitionFile(path, DefinitionText::Defaults(), &error));
    EXPECT_EQ(test::ReadText(path), "old");
}
