#include "core/dealing/DealEngine.h"
#include "core/files/FileUtil.h"
#include "core/files/IniFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zelv;

TEST(IniFile, namesMatchWithoutCaseAndBlanksAreDropped) {
    IniFile ini;
    ini.LoadFromText("[Hand]\r\n  MinPoints =  12  \r\n[suit]\nmaxslength=9\n");
    EXPECT_EQ(ini.ReadString("hand", "minpoints", "0"), "12");
    EXPECT_EQ(ini.ReadString("SUIT", "MaxSLength", "10"), "9");
    EXPECT_EQ(ini.ReadString("Suit", "MaxHLength", "10"), "10");
    EXPECT_EQ(ini.ReadString("Nowhere", "MaxHLength", "def"), "def");
}

TEST(IniFile, emptyValueIsNotTheDefault) {
    IniFile ini;
    ini.LoadFromText("[Main]\nNC1=\nNC2=  \n");
    EXPECT_EQ(ini.ReadString("Main", "NC1", "x"), "");
    EXPECT_EQ(ini.ReadString("Main", "NC2", "x"), "");
    EXPECT_EQ(ini.ReadString("Main", "NC3", "x"), "x");
}

TEST(IniFile, quotesAreRemovedAndLongValuesCut) {
    IniFile ini;
    ini.LoadFromText("[Main]\nA=\"Strong 2C\"\nB=' 4432'\nC=\"unmatched'\nD=" + std::string(3000, 'z') + "\n");
    EXPECT_EQ(ini.ReadString("Main", "A", ""), "Strong 2C");
    EXPECT_EQ(ini.ReadString("Main", "B", ""), " 4432");
    EXPECT_EQ(ini.ReadString("Main", "C", ""), "\"unmatched'");
    EXPECT_EQ(ini.ReadString("Main", "D", "").size(), 2047u);
}

TEST(IniFile, flagsAreWholeNumbers) {
    IniFile ini;
    ini.LoadFromText("[F]\nTwo=2\nHex=0x1\nHexZero=0X0\nDollar=$10\nZero=0\nWord=yes\nEmpty=\nNeg=-1\n");
    EXPECT_TRUE(ini.ReadBool("F", "Two", false));
    EXPECT_TRUE(ini.ReadBool("F", "Hex", false));
    EXPECT_FALSE(ini.ReadBool("F", "HexZero", true));
    EXPECT_FALSE(ini.ReadBool("F", "Dollar", false)); // "$" is a generator-file form only
    EXPECT_TRUE(ini.ReadBool("F", "Dollar", false, true));
    EXPECT_FALSE(ini.ReadBool("F", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("F", "Word", true));
    EXPECT_FALSE(ini.ReadBool("F", "Word", false));
    EXPECT_TRUE(ini.ReadBool("F", "Empty", true));
    EXPECT_TRUE(ini.ReadBool("F", "Neg", false));
    EXPECT_FALSE(ini.ReadBool("F", "Missing", false));
}

TEST(IniFile, keysAreListedInFileOrder) {
    IniFile ini;
    ini.LoadFromText("[YesShapes]\nY1= 4432\n\n; note\nY0= 4333\nnot a key\nY7=13000\n[Other]\nZ=1\n");
    EXPECT_EQ(ini.ReadSectionKeys("yesshapes"), (std::vector<std::string>{"Y1", "Y0", "Y7"}));
    EXPECT_TRUE(ini.ReadSectionKeys("Missing").empty());
}

TEST(IniFile, writingReplacesInPlaceAppendsToSectionOrAddsSection) {
    IniFile ini;
    ini.LoadFromText("; kept\r\n[Main]\r\nNAnyCB=1\r\nOther=keep me\r\n\r\n[Extra]\r\nX=1\r\n");
    ini.WriteString("Main", "nanycb", "0");
    ini.WriteString("Main", "NC1", "STRONG");
    ini.WriteString("New", "K", "v");
    EXPECT_EQ(
        ini.ToText(),
        "; kept\r\n[Main]\r\nnanycb=0\r\nOther=keep me\r\nNC1=STRONG\r\n\r\n[Extra]\r\nX=1\r\n\r\n[New]\r\nK=v\r\n");
}

TEST(IniFile, missingFileIsEmptyAndSavingIsAtomic) {
    test::TempDir dir;
    IniFile ini;
    EXPECT_TRUE(ini.LoadFromFile(dir.file("absent.ini")));
    EXPECT_FALSE(ini.HasSection("Main"));
    ini.WriteString("Main", "A", "1");
    std::string error;
    EXPECT_FALSE(ini.SaveToFile(dir.file("no/such/folder.ini"), &error));
    EXPECT_EQ(error, "Unable to write to " + dir.file("no/such/folder.ini") + " (No such file or directory)");
    ASSERT_TRUE(ini.SaveToFile(dir.file("a.ini"), &error));
    EXPECT_EQ(test::ReadText(dir.file("a.ini")), "[Main]\r\nA=1\r\n");
    std::string dirError;
    EXPECT_FALSE(ini.LoadFromFile(dir.path(), &dirError));
}

TEST(WholeNumber, acceptsDecimalAndHexOnly) {
    long long v = 0;
    EXPECT_TRUE(ParseWholeNumber(" 12 ", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ParseWholeNumber("0x1F", v));
    EXPECT_EQ(v, 31);
    EXPECT_TRUE(ParseWholeNumber("$ff", v));
    EXPECT_EQ(v, 255);
    EXPECT_TRUE(ParseWholeNumber("-5", v));
    EXPECT_EQ(v, -5);
    EXPECT_FALSE(ParseWholeNumber("1.", v));
    EXPECT_FALSE(ParseWholeNumber("1:", v));
    EXPECT_FALSE(ParseWholeNumber("", v));
    EXPECT_FALSE(ParseWholeNumber("0x", v));
    EXPECT_FALSE(ParseWholeNumber("12a", v));
    EXPECT_FALSE(ParseWholeNumber("99999999999", v));
    EXPECT_FALSE(ParseWholeNumber("-0x1", v)); // only an unsigned text may start with 0x
    EXPECT_FALSE(ParseWholeNumber("$1", v, false));
}

// What a message quotes of a file cannot act on a terminal: each control
// character is written out, letters of any script are kept.
TEST(Printable, controlCharactersAreWrittenOutAndOtherTextKept) {
    EXPECT_EQ(Printable("\x1b]0;PWNED\a\x1b[2J"), "\\x1B]0;PWNED\\x07\\x1B[2J");
    EXPECT_EQ(Printable("a\tb\nc\rd\x7f"), "a\\tb\\nc\\rd\\x7F");
    EXPECT_EQ(Printable(std::string("nul\0", 4)), "nul\\x00");
    EXPECT_EQ(Printable("C\xc2\x9bSI \xc2\xa0"
                        "Bj\xc3\xb6rn \xe2\x99\xa0"),
              "C\\u009BSI \xc2\xa0"
              "Bj\xc3\xb6rn \xe2\x99\xa0");
    // Bytes that are no UTF-8: a terminal may take 0x80 to 0x9F for a control.
    EXPECT_EQ(Printable("\x9b"
                        "2J \xe9t\xe9"),
              "\\x9B2J \xe9t\xe9");
    EXPECT_EQ(Printable("Hands/ZELV.DGE"), "Hands/ZELV.DGE");
}

TEST(IniFile, readingEveryKeyOfALargeFileStaysFast) {
    // Thirty thousand keys read one by one: a reader that rescans the file
    // for each key would take minutes here.
    std::string text = "[YesShapes]\n";
    for (int i = 0; i < 30000; ++i) text += "Y" + std::to_string(i) + "=4432\n";
    IniFile ini;
    ini.LoadFromText(text);
    std::size_t n = 0;
    for (const auto& key : ini.ReadSectionKeys("YesShapes")) n += ini.ReadString("YesShapes", key, "0").size();
    EXPECT_EQ(n, 4u * 30000);
}

TEST(IniFile, byteOrderMarkIsSkippedAndWideTextIsRefusedByName) {
    test::TempDir dir;
    test::WriteText(dir.file("bom.ini"), "\xEF\xBB\xBF[Main]\r\nNC1=STRONG\r\n");
    IniFile ini;
    std::string error;
    ASSERT_TRUE(ini.LoadFromFile(dir.file("bom.ini"), &error)) << error;
    EXPECT_EQ(ini.ReadString("Main", "NC1", ""), "STRONG");
    EXPECT_EQ(ini.ToText(), "[Main]\r\nNC1=STRONG\r\n");

    const std::string wide("\xFF\xFE[\0M\0a\0i\0n\0]\0\r\0\n\0", 18), bare = wide.substr(2);
    for (const std::string& bytes : {wide, bare}) {
        test::WriteText(dir.file("wide.ini"), bytes);
        EXPECT_FALSE(ini.LoadFromFile(dir.file("wide.ini"), &error));
        EXPECT_EQ(error, dir.file("wide.ini") +
                             " is not in a text encoding Zelvano reads (it looks like UTF-16); save it as UTF-8 or "
                             "plain ASCII text");
    }
}

TEST(IniFile, aPipeOrFolderIsRefusedWithoutBeingOpened) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.ini").c_str(), 0600), 0);
    IniFile ini;
    std::string error;
    // Opening a pipe would wait here for a writer that never comes.
    EXPECT_FALSE(ini.LoadFromFile(dir.file("pipe.ini"), &error));
    EXPECT_EQ(error, dir.file("pipe.ini") + " is not a regular file");
    EXPECT_FALSE(ini.LoadFromFile(dir.path(), &error));
    EXPECT_EQ(error, dir.path() + " is not a regular file");
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(IniFile, memoryForAFileIsOfTheOrderOfItsSize) {
    // 40 MB of the shortest key lines there are, read in a child process
    // whose peak memory is then known.
    test::TempDir dir;
    {
        std::string text = "[Hand]\n";
        text.reserve(40u << 20);
        while (text.size() < (40u << 20)) text += "a=\n";
        test::WriteText(dir.file("big.HDS"), text);
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        IniFile ini;
        std::size_t keys = 0;
        bool ok = ini.LoadFromFile(dir.file("big.HDS")) && ini.ReadString("Hand", "A", "x").empty();
        ini.ForEachKey("Hand", [&](std::string_view) { ++keys; });
        ini = IniFile();
        // The engine reads the same file as a hand definition.
        HandDefinition slot;
        std::string error;
        ok = ok && keys > 1000000 && DealEngine::ReadDefinition(dir.file("big.HDS"), slot, &error);
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    struct rusage usage {};
    ASSERT_EQ(::wait4(child, &status, 0, &usage), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // ru_maxrss is in kilobytes; the test program itself takes a few MB.
    EXPECT_LT(usage.ru_maxrss, 6 * 40 * 1024) << "peak " << usage.ru_maxrss / 1024 << " MB for a 40 MB file";
}
#endif

TEST(WholeNumber, aLimitKeepsTheLowEightBitsOfAnyWholeNumber) {
    std::uint8_t v = 0;
    for (const char* text :
         {"99999999999", "0xFFFFFFFF", "255", "$FF", "-1", "0x1234567890FF", "18446744073709551615"}) {
        v = 0;
        EXPECT_TRUE(ParseLowByte(text, v)) << text;
        EXPECT_EQ(v, 255) << text;
    }
    EXPECT_TRUE(ParseLowByte(" 300 ", v));
    EXPECT_EQ(v, 44);
    EXPECT_TRUE(ParseLowByte("-99999999999", v));
    EXPECT_EQ(v, 1);
    for (const char* text : {"", "1.", "0x", "12a", "-0x1", "++1"}) EXPECT_FALSE(ParseLowByte(text, v)) << text;
}
