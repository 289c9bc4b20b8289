#include "core/files/FileUtil.h"
#include "core/files/IniFile.h"
#include "core/setup/GeneratorFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zelv;

TEST(GeneratorFile, missingFileOrFlagsConstrainNorthOnly) {
    test::TempDir dir;
    GeneratorSetup s;
    s.Seats[North].AnyHand = true;
    ASSERT_TRUE(ReadGeneratorFile(dir.file("none.GEN"), s, nullptr));
    EXPECT_FALSE(s.Seats[North].AnyHand);
    EXPECT_TRUE(s.Seats[South].AnyHand);
    EXPECT_TRUE(s.Seats[East].AnyHand);
    EXPECT_TRUE(s.Seats[West].AnyHand);
    test::WriteText(dir.file("part.GEN"), "[Main]\r\nNC1=STRONG\r\n");
    ASSERT_TRUE(ReadGeneratorFile(dir.file("part.GEN"), s, nullptr));
    EXPECT_FALSE(s.Seats[North].AnyHand);
    EXPECT_EQ(s.Seats[North].Names[0], "STRONG");
    EXPECT_TRUE(s.Seats[West].AnyHand);
}

TEST(GeneratorFile, flagValuesAreWholeNumbers) {
    test::TempDir dir;
    test::WriteText(dir.file("f.GEN"), "[main]\nnanycb=2\nSAnyCB=0x0\nEAnyCB=maybe\nWAnyCB=0\n");
    GeneratorSetup s;
    ASSERT_TRUE(ReadGeneratorFile(dir.file("f.GEN"), s, nullptr));
    EXPECT_TRUE(s.Seats[North].AnyHand);
    EXPECT_FALSE(s.Seats[South].AnyHand);
    EXPECT_TRUE(s.Seats[East].AnyHand); // not a number: the default
    EXPECT_FALSE(s.Seats[West].AnyHand);
    test::WriteText(dir.file("g.GEN"), "[Main]\nNAnyCB=0x1\nSAnyCB=\n");
    ASSERT_TRUE(ReadGeneratorFile(dir.file("g.GEN"), s, nullptr));
    EXPECT_TRUE(s.Seats[North].AnyHand);
    EXPECT_TRUE(s.Seats[South].AnyHand);
}

TEST(GeneratorFile, newFileIsWrittenSeatBySeatNorthSouthEastWest) {
    test::TempDir dir;
    GeneratorSetup s = GeneratorSetup::Defaults();
    s.Seats[North].Names = {"STRONG", "", "Weak Two", "", ""};
    s.Seats[East].AnyHand = false;
    s.Seats[East].Names[0] = "NT";
    std::string path = dir.file("a.GEN");
    ASSERT_TRUE(WriteGeneratorFile(path, s, nullptr));
    std::string expected = "[Main]\r\nNAnyCB=0\r\nNC1=STRONG\r\nNC2=\r\nNC3=Weak Two\r\nNC4=\r\nNC5=\r\n"
                           "SAnyCB=1\r\nSC1=\r\nSC2=\r\nSC3=\r\nSC4=\r\nSC5=\r\n"
                           "EAnyCB=0\r\nEC1=NT\r\nEC2=\r\nEC3=\r\nEC4=\r\nEC5=\r\n"
                           "WAnyCB=1\r\nWC1=\r\nWC2=\r\nWC3=\r\nWC4=\r\nWC5=\r\n";
    EXPECT_EQ(test::ReadText(path), expected);
    GeneratorSetup back;
    ASSERT_TRUE(ReadGeneratorFile(path, back, nullptr));
    EXPECT_EQ(back.Seats[North].Names, s.Seats[North].Names);
    EXPECT_FALSE(back.Seats[East].AnyHand);
    // Saving the same set-up again gives the same text.
    ASSERT_TRUE(WriteGeneratorFile(path, back, nullptr));
    EXPECT_EQ(test::ReadText(path), expected);
}

// Sharing boards equally is a key of its own: written only when on, or to
// turn it off where a file has it; a file without it reads as off.
TEST(GeneratorFile, sharingEquallyIsAKeyOfItsOwnWrittenOnlyWhenOnOrAlreadyThere) {
    test::TempDir dir;
    const std::string path = dir.file("c.GEN");
    GeneratorSetup s = GeneratorSetup::Defaults();
    s.Seats[North].Names = {"1NT", "2NT", "", "", ""};
    ASSERT_TRUE(WriteGeneratorFile(path, s, nullptr));
    const std::string off = test::ReadText(path);
    EXPECT_EQ(off.find("ShareEqually"), std::string::npos);
    GeneratorSetup back;
    ASSERT_TRUE(ReadGeneratorFile(path, back, nullptr));
    EXPECT_FALSE(back.Level);

    s.Level = true;
    ASSERT_TRUE(WriteGeneratorFile(path, s, nullptr));
    EXPECT_EQ(test::ReadText(path), off + "ShareEqually=1\r\n");
    ASSERT_TRUE(ReadGeneratorFile(path, back, nullptr));
    EXPECT_TRUE(back.Level);
    s.Level = false;
    ASSERT_TRUE(WriteGeneratorFile(path, s, nullptr));
    EXPECT_EQ(test::ReadText(path), off + "ShareEqually=0\r\n");
    ASSERT_TRUE(ReadGeneratorFile(path, back, nullptr));
    EXPECT_FALSE(back.Level);
}

TEST(GeneratorFile, savingKeepsForeignLinesAndReplacesKeysWhereTheyStand) {
    test::TempDir dir;
    std::string path = dir.file("b.GEN");
    test::WriteText(path, "[Notes]\nWho=Club night\n[Main]\nWC5=old\nComment=mine\nNAnyCB=1\n[Tail]\nX=1\n");
    GeneratorSetup s = GeneratorSetup::Defaults();
    s.Seats[North].Names[0] = "A";
    ASSERT_TRUE(WriteGeneratorFile(path, s, nullptr));
    std::string text = test::ReadText(path);
    EXPECT_EQ(text.rfind("[Notes]\r\nWho=Club night\r\n[Main]\r\nWC5=\r\nComment=mine\r\nNAnyCB=0\r\nNC1=A\r\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("[Tail]\r\nX=1\r\n"), std::string::npos);
    IniFile ini;
    ini.LoadFromText(text);
    EXPECT_EQ(ini.ReadSectionKeys("Main").size(), 25u);
}

TEST(GeneratorFile, failedSaveLeavesTheFileAsItWas) {
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteGeneratorFile(dir.file("no/x.GEN"), GeneratorSetup::Defaults(), &error));
    EXPECT_EQ(error, "Unable to write to " + dir.file("no/x.GEN") + " (No such file or directory)");
}

TEST(DefinitionNames, listedWithoutExtensionSortedWithoutCaseAndWithoutRepeats) {
    test::TempDir dir;
    for (const char* f : {"weak.HDS", "Strong.hds", "STRONG.HDS", "alpha.Hds", "notes.txt", "x.HDSX", ".HDS"})
        test::WriteText(dir.file(f), "");
    std::filesystem::create_directory(dir.file("folder.HDS"));
    std::vector<std::string> names = ListDefinitionNames(dir.path());
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], "alpha");
    EXPECT_TRUE(EqualsNoCase(names[1], "strong"));
    EXPECT_EQ(names[2], "weak");
    EXPECT_TRUE(ListDefinitionNames(dir.file("missing")).empty());
}

TEST(DefinitionNames, storedNamesMatchWithoutCaseOrNotAtAll) {
    std::vector<std::string> available = {"NT 15-17", "Strong"};
    EXPECT_EQ(MatchDefinitionName(available, "strong"), "Strong");
    EXPECT_EQ(MatchDefinitionName(available, "nt 15-17"), "NT 15-17");
    EXPECT_EQ(MatchDefinitionName(available, "Gone"), "");
    EXPECT_EQ(MatchDefinitionName(available, ""), "");
    GeneratorSetup s = GeneratorSetup::Defaults();
    s.Seats[North].Names = {"STRONG", "gone", "", "", ""};
    s.Seats[South].Names = {"Strong", "", "", "", ""}; // any hand: ignored
    DealSetup deal = ToDealSetup(s, available);
    EXPECT_TRUE(deal[North].Constrained);
    EXPECT_EQ(deal[North].Names[0], "Strong");
    EXPECT_EQ(deal[North].Names[1], "");
    EXPECT_FALSE(deal[South].Constrained);
    EXPECT_EQ(deal[South].Names[0], "");
}

TEST(GeneratorFile, aFileThatIsNoGeneratorFileIsRefusedByName) {
    test::TempDir dir;
    std::string junk;
    for (int i = 0; i < 600; ++i) junk += static_cast<char>((i * 37 + 11) % 256);
    const std::vector<std::pair<std::string, std::string>> files = {
        {"junk.GEN", junk},
        {"defn.GEN", "[YesShapes]\r\nY0= 4333\r\n[Hand]\r\nMinPoints=15\r\n"},
        {"board.GEN", std::string("\x06"
                                  "AKQ\x03\x04\x05",
                                  7) +
                          std::string(121, '\0')},
        {"empty.GEN", ""},
    };
    for (const auto& [name, bytes] : files) {
        test::WriteText(dir.file(name), bytes);
        GeneratorSetup s;
        s.Seats[West].AnyHand = false;
        std::string error;
        EXPECT_FALSE(ReadGeneratorFile(dir.file(name), s, &error)) << name;
        EXPECT_EQ(error.rfind(dir.file(name) + " is not a generator file", 0), 0u) << error;
        EXPECT_FALSE(s.Seats[West].AnyHand) << "a refused file changes nothing";
    }
    // Saved by an editor that starts UTF-8 with a byte-order mark: read as it is.
    test::WriteText(dir.file("bom.GEN"), "\xEF\xBB\xBF[Main]\r\nNAnyCB=0\r\nNC1=STRONG\r\nSAnyCB=0\r\n");
    GeneratorSetup s;
    std::string error;
    ASSERT_TRUE(ReadGeneratorFile(dir.file("bom.GEN"), s, &error)) << error;
    EXPECT_EQ(s.Seats[North].Names[0], "STRONG");
    EXPECT_FALSE(s.Seats[South].AnyHand);
}

// A condition is written only when there is one, on one line whatever it
// holds, and reads back as typed; without one (or blank) the file is
// written as it always was.
TEST(GeneratorFile, conditionRoundTripsAndIsWrittenOnlyWhenThere) {
    test::TempDir dir;
    const std::string path = dir.file("c.GEN");
    GeneratorSetup s = GeneratorSetup::Defaults();
    s.Seats[North].Names[0] = "NT";
    s.Condition = "  \t";
    ASSERT_TRUE(WriteGeneratorFile(path, s, nullptr));
    const std::string plain = test::ReadText(path);
    EXPECT_EQ(plain.find("Condition"), std::string::npos);
    const std::string typed = "\"x = 1 ; y\" # == '\\' \\n\r\n"
                              "  hcp(north)+hcp(south) >= 25 // [Main]\n\tNC1=Gone\v\f ";
    s.Condition = typed;
    ASSERT_TRUE(WriteGeneratorFile(path, s, nullptr));
    const std::string text = test::ReadText(path);
    EXPECT_EQ(text.substr(0, plain.size()), plain);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(plain.begin(), plain.end(), '\n') + 1);
    GeneratorSetup back;
    ASSERT_TRUE(ReadGeneratorFile(path, back, nullptr));
    EXPECT_EQ(back.Condition, typed);
    EXPECT_EQ(back.Seats[North].Names[0], "NT");
    ASSERT_TRUE(WriteGeneratorFile(path, back, nullptr));
    EXPECT_EQ(test::ReadText(path), text);
    // Emptied, the key stays, empty, where it was: no condition.
    back.Condition.clear();
    ASSERT_TRUE(WriteGeneratorFile(path, back, nullptr));
    ASSERT_TRUE(ReadGeneratorFile(path, back, nullptr));
    EXPECT_EQ(back.Condition, "");
    // Longer than a line of the file holds: refused, the file kept.
    const std::string before = test::ReadText(path);
    back.Condition = std::string(3000, '1');
    std::string error;
    EXPECT_FALSE(WriteGeneratorFile(path, back, &error));
    EXPECT_NE(error.find("too long"), std::string::npos) << error;
    EXPECT_EQ(test::ReadText(path), before);
}
