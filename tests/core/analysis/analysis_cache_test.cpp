// Analysis not solved twice: a PBN game's own tags, taken when they agree
// with themselves and refused when they do not, and the cache of tables,
// which refuses an entry that was edited.
#include "core/analysis/AnalysisText.h"
#include "core/analysis/KnownAnalysis.h"
#include "core/formats/Pbn.h"
#include "support/AnalysisDeals.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace zelv;
using namespace zelv::test;

namespace {

std::vector<Board> SampleBoards() { return {RandomBoard(11, 1), RandomBoard(12, 2), RandomBoard(13, 3)}; }

std::vector<BoardAnalysis> Solved(const std::vector<Board>& boards) {
    std::vector<BoardAnalysis> out(boards.size());
    std::string error;
    EXPECT_TRUE(AnalyseBatch(boards.data(), boards.size(), out.data(), &error)) << error;
    return out;
}

// A PBN file of the boards, each game with the analysis given for it.
std::string PbnWith(const std::vector<Board>& boards, const std::vector<std::string>& tags) {
    std::string text = PbnFileHeader();
    for (std::size_t i = 0; i < boards.size(); ++i) text += PbnGame(boards[i], tags[i]);
    return text;
}

AnalysisReport AnalyseFile(const std::string& path, const AnalysisCache* cache) {
    BoardSource file;
    std::string error;
    EXPECT_TRUE(file.Open(path, &error)) << error;
    return AnalyseFileBoards(file, 0, file.BoardCount(), cache);
}

} // namespace

TEST(KnownAnalysis, PbnTagsAreUsedWithoutSolvingAndAWrongTableIsSolvedAgainWithANote) {
    const std::vector<Board> boards = SampleBoards();
    const std::vector<BoardAnalysis> truth = Solved(boards);
    std::vector<std::string> tags;
    for (const BoardAnalysis& a : truth) tags.push_back(PbnAnalysisTags(a));
    TempDir dir;
    WriteText(dir.file("DD.PBN"), PbnWith(boards, tags));

    const std::uint64_t before = BoardsSolvedForTesting();
    AnalysisReport report = AnalyseFile(dir.file("DD.PBN"), nullptr);
    EXPECT_EQ(BoardsSolvedForTesting(), before);
    ASSERT_EQ(report.Results.size(), boards.size());
    for (std::size_t i = 0; i < boards.size(); ++i) {
        ASSERT_TRUE(report.Results[i]);
        EXPECT_EQ(*report.Results[i], truth[i]);
    }
    EXPECT_TRUE(report.Notes.empty());

    // Board 2's DoubleDummyTricks no longer agrees with its own result table.
    const std::size_t at = tags[1].find("[DoubleDummyTricks \"") + 20;
    tags[1][at] = tags[1][at] == '0' ? '1' : '0';
    WriteText(dir.file("DD.PBN"), PbnWith(boards, tags));
    report = AnalyseFile(dir.file("DD.PBN"), nullptr);
    EXPECT_EQ(BoardsSolvedForTesting(), before + 1);
    ASSERT_TRUE(report.Results[1]);
    EXPECT_EQ(*report.Results[1], truth[1]);
    ASSERT_EQ(report.Notes.size(), 1u);
    EXPECT_NE(report.Notes[0].find("DD.PBN: board 2: its OptimumResultTable gives N NT"), std::string::npos)
        << report.Notes[0];

    // Tricks that are no table at all, and a score that is not their par.
    std::string game = "[DoubleDummyTricks \"" + std::string(20, 'E') + "\"]\r\n";
    std::string problem;
    EXPECT_FALSE(PbnGameAnalysis(*ReadPbn(PbnWith({boards[0]}, {game}), "X.PBN").Pbn, 0, boards[0], &problem));
    EXPECT_NE(problem.find("is not 20 hexadecimal digits"), std::string::npos) << problem;
    std::string hex = PbnAnalysisTags(truth[0]).substr(0, PbnAnalysisTags(truth[0]).find("\r\n") + 2);
    game = hex + "[OptimumScore \"NS " + std::to_string(truth[0].Par.Score + 10) + "\"]\r\n";
    EXPECT_FALSE(PbnGameAnalysis(*ReadPbn(PbnWith({boards[0]}, {game}), "X.PBN").Pbn, 0, boards[0], &problem));
    EXPECT_NE(problem.find("is not the par of its DoubleDummyTricks"), std::string::npos) << problem;
}

TEST(AnalysisCache, KeepsTablesByDealAndRefusesAnEditedEntry) {
    const std::vector<Board> boards = SampleBoards();
    TempDir dir;
    WriteText(dir.file("SET.PBN"), WritePbn(boards));
    const AnalysisCache cache(dir.file("cache"));

    const std::uint64_t before = BoardsSolvedForTesting();
    const AnalysisReport first = AnalyseFile(dir.file("SET.PBN"), &cache);
    EXPECT_EQ(BoardsSolvedForTesting(), before + boards.size());
    // Opened again, nothing is solved: the tables come from the cache and the
    // par is worked out for each board's own dealer and vulnerability.
    const AnalysisReport again = AnalyseFile(dir.file("SET.PBN"), &cache);
    EXPECT_EQ(BoardsSolvedForTesting(), before + boards.size());
    for (std::size_t i = 0; i < boards.size(); ++i) {
        ASSERT_TRUE(first.Results[i] && again.Results[i]);
        EXPECT_EQ(*again.Results[i], *first.Results[i]);
    }
    // The entry is the deal's, whatever board number, dealer or vulnerability.
    const std::optional<TrickTable> kept = cache.Find(boards[0].Hands);
    ASSERT_TRUE(kept);
    EXPECT_EQ(*kept, first.Results[0]->Tricks);

    // One digit of board 2's tricks changed by hand: refused, solved again
    // and stored afresh.
    const std::string entry = cache.EntryPath(boards[1].Hands);
    std::string text = ReadText(entry);
    const std::size_t at = text.find("Tricks ") + 7;
    ASSERT_NE(at, std::string::npos + 7);
    text[at] = text[at] == '0' ? '1' : '0';
    WriteText(entry, text);
    std::string refused;
    EXPECT_FALSE(cache.Find(boards[1].Hands, &refused));
    EXPECT_NE(refused.find(entry), std::string::npos) << refused;
    const AnalysisReport third = AnalyseFile(dir.file("SET.PBN"), &cache);
    EXPECT_EQ(BoardsSolvedForTesting(), before + boards.size() + 1);
    ASSERT_TRUE(third.Results[1]);
    EXPECT_EQ(*third.Results[1], *first.Results[1]);
    ASSERT_EQ(third.Notes.size(), 1u);
    EXPECT_TRUE(cache.Find(boards[1].Hands));

    // A cache that cannot be written costs time, never a result.
    const AnalysisCache nowhere("/dev/null/Zelvano");
    EXPECT_FALSE(nowhere.Store(boards[0].Hands, first.Results[0]->Tricks));
    EXPECT_FALSE(nowhere.Find(boards[0].Hands));
}
