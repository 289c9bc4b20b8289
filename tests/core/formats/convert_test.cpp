// Converting between the five formats: nothing lost that a format holds,
// nothing written when the input cannot be read whole.
#include "core/formats/BoardSource.h"
#include "core/formats/Convert.h"
#include "support/FormatDeals.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zelv;

TEST(Convert, everyFormatRoundTripsUnchanged) {
    test::TempDir dir;
    const auto boards = test::ShuffledBoards(1, 24);
    const char* const exts[] = {".DGE", ".BRI", ".DUP", ".DLM", ".PBN"};
    for (const char* ext : exts) {
        const std::string in = dir.file(std::string("SET") + ext);
        std::string bytes;
        ASSERT_TRUE(FormatBoardFile(boards, *FormatOfPath(in), "SET", bytes, nullptr));
        test::WriteText(in, bytes);
        // To the same format elsewhere, and round every other format and back.
        const std::string same = dir.file(std::string("copy/SET") + ext);
        std::filesystem::create_directories(dir.file("copy"));
        ConvertResult r = ConvertBoardFile(in, {same});
        ASSERT_EQ(r.Error, "") << ext;
        EXPECT_EQ(test::ReadText(same), bytes) << ext;
        std::string from = in;
        for (const char* next : exts) {
            if (next == ext) continue;
            const std::string to = dir.file(std::string("via/SET") + next);
            std::filesystem::create_directories(dir.file("via"));
            ASSERT_EQ(ConvertBoardFile(from, {to}).Error, "") << from << " to " << to;
            from = to;
        }
        ASSERT_EQ(ConvertBoardFile(from, {same}).Error, "");
        EXPECT_EQ(test::ReadText(same), bytes) << "round the formats from " << ext;
        EXPECT_EQ(ReadBoardFile(same, *FormatOfPath(same)).Boards, boards) << ext;
    }
}

TEST(Convert, aPbnOfAnotherProgramBecomesMachineFilesTogether) {
    test::TempDir dir;
    // Boards 17 and 18, North's hand of the second left for the reader to work out.
    test::WriteText(dir.file("FED.pbn"),
                    "[Board \"17\"]\n[Deal \"W:KQT2.AT.J6542.85 .63.AKQ987.A9732 A8654.KQ5.T.QJT6 "
                    "J973.J98742.3.K4\"]\n\n[Deal \"E:A8654.KQ5.T.QJT6 J973.J98742.3.K4 KQT2.AT.J6542.85 -\"]\n");
    const std::vector<std::string> outs = {dir.file("ZELV.DUP"), dir.file("ZELV.DLM"), dir.file("ZELV.DGE"),
                                           dir.file("ZELV.BRI")};
    // A .DGE or .BRI file numbers its boards by their place: 17 would become 1.
    ConvertResult r = ConvertBoardFile(dir.file("FED.pbn"), outs);
    EXPECT_TRUE(r.Renumbers);
    EXPECT_EQ(r.Error, dir.file("ZELV.DGE") +
                           ": a .DGE file numbers its boards by their place, from 1; the boards of " +
                           dir.file("FED.pbn") +
                           " start at board 17, which would become board 1, with board 1's dealer and vulnerability");
    EXPECT_FALSE(std::filesystem::exists(dir.file("ZELV.DUP")));
    // The machine files that number their boards keep 17 and 18.
    r = ConvertBoardFile(dir.file("FED.pbn"), {outs[0], outs[1]});
    ASSERT_EQ(r.Error, "");
    EXPECT_EQ(r.Boards, 2u);
    EXPECT_EQ(test::ReadText(dir.file("ZELV.DUP")).substr(146, 10), "YN17 0 18 ");
    EXPECT_EQ(ReadBoardFile(dir.file("ZELV.DLM"), BoardFormat::Dlm).Boards[1].Number, 18u);
    // Renumbered, every file holds boards 1 and 2 and says so.
    r = ConvertBoardFile(dir.file("FED.pbn"), outs, {.Renumber = true});
    ASSERT_EQ(r.Error, "");
    ASSERT_EQ(r.Notes.size(), 1u);
    EXPECT_NE(r.Notes[0].find("are numbered 1 to 2 in every file written (they were 17 to 18): dealer and "
                              "vulnerability now follow the new numbers"),
              std::string::npos)
        << r.Notes[0];
    const BoardList pbn = ReadBoardFile(dir.file("FED.pbn"), BoardFormat::Pbn);
    ASSERT_EQ(pbn.Boards.size(), 2u);
    EXPECT_EQ(pbn.Boards[0].Hands, pbn.Boards[1].Hands);
    for (const std::string& out : outs) {
        const BoardList back = ReadBoardFile(out, *FormatOfPath(out));
        ASSERT_EQ(back.Boards.size(), 2u) << out;
        for (std::size_t k = 0; k < 2; ++k) {
            EXPECT_EQ(back.Boards[k].Hands, pbn.Boards[k].Hands) << out;
            EXPECT_EQ(back.Boards[k].Number, k + 1) << out;
        }
    }
}

// A gap shifts every later board of a file numbered by place; a results
// file's tables of a board are one board, and its PBN keeps every game.
TEST(Convert, aGapIsRefusedAndAResultsFileKeepsEveryGameInPbn) {
    test::TempDir dir;
    std::string bytes;
    auto boards = test::ShuffledBoards(1, 4);
    boards.erase(boards.begin() + 2);
    ASSERT_TRUE(FormatBoardFile(boards, BoardFormat::Pbn, "", bytes, nullptr));
    test::WriteText(dir.file("GAP.PBN"), bytes);
    for (const char* out : {"OUT.BRI", "OUT.DGE"}) {
        const ConvertResult r = ConvertBoardFile(dir.file("GAP.PBN"), {dir.file(out)});
        EXPECT_NE(r.Error.find("; board 4 follows board 2 in " + dir.file("GAP.PBN") +
                               " and would become board 3, with board 3's dealer and vulnerability"),
                  std::string::npos)
            << r.Error;
        EXPECT_FALSE(std::filesystem::exists(dir.file(out)));
    }

    const std::string results = std::string(ZELV_TEST_DATA) + "/formats/RESULTS.PBN";
    const ConvertResult r = ConvertBoardFile(results, {dir.file("RES.DGE"), dir.file("RES.PBN")});
    ASSERT_EQ(r.Error, "");
    EXPECT_EQ(r.Boards, 3u);
    EXPECT_EQ(r.Games, 6u);
    ASSERT_EQ(r.Notes.size(), 1u);
    EXPECT_NE(r.Notes[0].find("3 games repeat the number and deal of an earlier game"), std::string::npos);
    EXPECT_EQ(ReadBoardFile(dir.file("RES.DGE"), BoardFormat::Dge).Boards,
              ReadBoardFile(results, BoardFormat::Pbn).Boards);
    EXPECT_EQ(test::ReadText(dir.file("RES.PBN")), test::ReadText(results));
}

TEST(Convert, nothingIsWrittenUnlessEveryBoardAndEveryFileCanBe) {
    test::TempDir dir;
    test::WriteText(dir.file("BAD.PBN"), "[Board \"1\"]\n[Deal \"N:AKQ - - -\"]\n");
    ConvertResult r = ConvertBoardFile(dir.file("BAD.PBN"), {dir.file("OUT.DGE")});
    EXPECT_NE(r.Error.find("could not be read, so nothing was converted"), std::string::npos) << r.Error;
    ASSERT_EQ(r.Problems.size(), 1u);
    EXPECT_EQ(r.Problems[0].rfind(dir.file("BAD.PBN") + ": board 1 left out: ", 0), 0u) << r.Problems[0];

    std::string bytes;
    ASSERT_TRUE(FormatBoardFile(test::ShuffledBoards(95, 10), BoardFormat::Pbn, "", bytes, nullptr));
    test::WriteText(dir.file("LATE.PBN"), bytes);
    test::WriteText(dir.file("OLD.DUP"), "old");
    test::WriteText(dir.file("OLD.PBN"), "old");
    ASSERT_EQ(::chmod(dir.file("OLD.PBN").c_str(), 0444), 0);
    // A read-only output, then one the format cannot hold: the others stay as they were.
    for (const std::string& last : {dir.file("OLD.PBN"), dir.file("OLD.DLM")}) {
        r = ConvertBoardFile(dir.file("LATE.PBN"), {dir.file("OLD.DUP"), last});
        EXPECT_NE(r.Error.find(last), std::string::npos) << r.Error;
        EXPECT_EQ(test::ReadText(dir.file("OLD.DUP")), "old");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("OLD.DLM")));
    EXPECT_NE(ConvertBoardFile(dir.file("LATE.PBN"), {dir.file("OUT.TXT")}).Error.find(".PBN, .DGE"),
              std::string::npos);
    EXPECT_EQ(ConvertBoardFile(dir.file("MISSING.PBN"), {dir.file("OUT.DGE")}).Error,
              "Unable to open " + dir.file("MISSING.PBN") + " (No such file or directory)");
}
