#include "core/setup/SessionFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace zelv;

namespace {
void WriteGenerator(const std::string& path, const std::string& northName) {
    test::WriteText(path, "[Main]\r\nNAnyCB=0\r\nNC1=" + northName + "\r\n");
}

std::string ReadError(const std::string& path) {
    Session session;
    std::string error;
    EXPECT_FALSE(ReadSessionFile(path, session, &error)) << path;
    return error;
}
} // namespace

TEST(SessionFile, aWrittenSessionReadsBackWithItsPartsResolvedBesideIt) {
    test::TempDir dir;
    WriteGenerator(dir.file("nt.GEN"), "1NT 15-17");
    WriteGenerator(dir.file("two.GEN"), "Weak 2S");
    Session session;
    session.Options.Secure = true;
    session.Options.Analysis = true;
    session.Options.Mix = true;
    session.Options.FirstBoard = 17;
    session.Parts.push_back({"1NT openers", "nt.GEN", "", 8, {}});
    session.Parts.push_back({"", "two.GEN", "", 16, {}});
    ASSERT_TRUE(WriteSessionFile(dir.file("evening.SES"), session, nullptr));

    Session read;
    std::string error;
    ASSERT_TRUE(ReadSessionFile(dir.file("evening.SES"), read, &error)) << error;
    EXPECT_EQ(read.Options, session.Options);
    ASSERT_EQ(read.Parts.size(), 2u);
    EXPECT_EQ(read.Parts[0].Name, "1NT openers");
    EXPECT_EQ(read.Parts[1].Name, "two"); // no name: the generator file's
    EXPECT_EQ(read.Parts[0].Path, dir.file("nt.GEN"));
    EXPECT_EQ(read.Parts[1].Setup.Seats[North].Names[0], "Weak 2S");
    EXPECT_EQ(read.TotalBoards(), 24);

    // Read and written again, the file is byte for byte what it was.
    ASSERT_TRUE(WriteSessionFile(dir.file("again.SES"), read, nullptr));
    EXPECT_EQ(test::ReadText(dir.file("again.SES")), test::ReadText(dir.file("evening.SES")));
}

TEST(SessionFile, aPartMayBeASessionOfItsOwnButNotOneThatLeadsBack) {
    test::TempDir dir;
    WriteGenerator(dir.file("a.GEN"), "A");
    WriteGenerator(dir.file("b.GEN"), "B");
    test::WriteText(dir.file("inner.SES"), "[Session]\nParts=1\n[Part1]\nGenerator=b.GEN\nBoards=4\n");
    test::WriteText(dir.file("outer.SES"),
                    "[Session]\nParts=2\n[Part1]\nGenerator=a.GEN\nBoards=2\n[Part2]\nGenerator=inner.SES\n");
    Session session;
    std::string error;
    ASSERT_TRUE(ReadSessionFile(dir.file("outer.SES"), session, &error)) << error;
    ASSERT_EQ(session.Parts.size(), 2u);
    EXPECT_EQ(session.Parts[1].Setup.Seats[North].Names[0], "B");
    EXPECT_EQ(session.TotalBoards(), 6);

    test::WriteText(dir.file("inner.SES"), "[Session]\nParts=1\n[Part1]\nGenerator=outer.SES\n");

    EXPECT_NE(ReadError(dir.file("outer.SES")).find("names itself"), std::string::npos);
    test::WriteText(dir.file("self.SES"), "[Session]\nParts=1\n[Part1]\nGenerator=./self.SES\n");
    EXPECT_NE(ReadError(dir.file("self.SES")).find("names itself"), std::string::npos);
}

TEST(SessionFile, everyBadFileIsRefusedNamingTheFileAndThePart) {
    test::TempDir dir;
    WriteGenerator(dir.file("a.GEN"), "A");
    struct Case {
        const char* text;
        const char* said;
    } cases[] = {
        {"[Session]\nParts=0\n", "holds no parts"},
        {"[Session]\n", "Parts= in"},
        {"[Session]\nParts=two\n", "is not a number of parts"},
        {"[Main]\nNC1=A\n", "is not a session file"},
        {"[Session]\nParts=2\n[Part1]\nGenerator=a.GEN\nBoards=3\n", "[Part2]: the section is missing"},
        {"[Session]\nParts=1\n[Part1]\nGenerator=a.GEN\nBoards=-3\n", "Boards=-3 is not a number of boards"},
        {"[Session]\nParts=1\n[Part1]\nGenerator=a.GEN\nBoards=8x\n", "Boards=8x is not a number of boards"},
        {"[Session]\nParts=1\n[Part1]\nGenerator=a.GEN\n", "Boards= is not a number of boards"},
        {"[Session]\nParts=1\n[Part1]\nBoards=3\n", "no Generator"},
        {"[Session]\nParts=1\n[Part1]\nGenerator=gone.GEN\nBoards=3\n", "gone.GEN (No such file or directory)"},
        {"[Session]\nParts=1\nFirstBoard=0\n[Part1]\nGenerator=a.GEN\nBoards=3\n", "FirstBoard=0"},
        {"[Session]\nParts=2\n[Part1]\nGenerator=a.GEN\nBoards=1000000\n[Part2]\nGenerator=a.GEN\nBoards=1\n",
         "at most 1000000"},
    };
    for (const Case& c : cases) {
        test::WriteText(dir.file("s.SES"), c.text);
        const std::string error = ReadError(dir.file("s.SES"));
        EXPECT_NE(error.find(c.said), std::string::npos) << c.text << "\n said: " << error;
        EXPECT_NE(error.find("s.SES"), std::string::npos) << error;
    }
    test::WriteText(dir.file("bad.GEN"), "not a generator\n");
    test::WriteText(dir.file("s.SES"), "[Session]\nParts=1\n[Part1]\nGenerator=bad.GEN\nBoards=3\n");
    EXPECT_NE(ReadError(dir.file("s.SES")).find("bad.GEN is not a generator file"), std::string::npos);
    EXPECT_NE(ReadError(dir.file("missing.SES")).find("No such file"), std::string::npos);
}

TEST(SessionFile, aPartOnTheCommandLineIsAGeneratorFileAndACount) {
    test::TempDir dir;
    WriteGenerator(dir.file("nt.GEN"), "1NT");
    SessionPart part;
    std::string error;
    ASSERT_TRUE(ReadPartArgument(dir.file("nt.GEN") + ":8", part, &error)) << error;
    EXPECT_EQ(part.Boards, 8);
    EXPECT_EQ(part.Name, "nt");
    EXPECT_EQ(part.Setup.Seats[North].Names[0], "1NT");
    for (const std::string& bad : {dir.file("nt.GEN"), dir.file("nt.GEN") + ":", dir.file("nt.GEN") + ":0",
                                   std::string(":8"), dir.file("nt.GEN") + ":eight"}) {
        EXPECT_FALSE(ReadPartArgument(bad, part, &error)) << bad;
        EXPECT_NE(error.find("is not GENERATOR:BOARDS"), std::string::npos) << error;
    }
    EXPECT_FALSE(ReadPartArgument(dir.file("gone.GEN") + ":8", part, &error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}
