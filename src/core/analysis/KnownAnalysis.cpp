#include "core/analysis/KnownAnalysis.h"

#include "core/analysis/AnalysisText.h"
#include "core/formats/Pbn.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace zelv {

namespace {

constexpr const char* StrainLetters[StrainCount] = {"NT", "S", "H", "D", "C"};
constexpr const char* DeclarerLetters[4] = {"N", "S", "E", "W"}; // by seat index

const std::string* TagValue(const PbnSource::Game& game, const char* name) {
    for (const PbnSource::Tag& tag : game.Tags)
        if (tag.Name == name) return &tag.Value;
    return nullptr;
}

std::optional<TrickTable> HexTricks(const std::string& value) {
    if (value.size() != 20) return std::nullopt;
    TrickTable tricks{};
    for (std::size_t i = 0; i < 20; ++i) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(value[i])));
        const int t = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'D' ? c - 'A' + 10 : -1;
        if (t < 0) return std::nullopt;
        tricks[i / StrainCount][i % StrainCount] = t;
    }
    return tricks;
}

// The rows "N NT 9" of an OptimumResultTable, which follow its tag as the
// game's section: the table of tricks they give, as far as they give it.
// Empty when the game has none.
std::string TableDisagreement(const PbnSource& pbn, const PbnSource::Game& game, const TrickTable& tricks) {
    for (const PbnSource::Tag& tag : game.Tags) {
        if (tag.Name != "OptimumResultTable") continue;
        std::size_t at = tag.Close + 1;
        const std::size_t end = std::min(game.End, pbn.Text.size());
        while (at < end) {
            std::size_t eol = pbn.Text.find_first_of("\r\n", at);
            if (eol == std::string::npos || eol > end) eol = end;
            const std::string line = pbn.Text.substr(at, eol - at);
            at = eol + 1;
            if (line.empty()) continue;
            if (line[0] == '[') break;
            char seat[4] = {}, strain[4] = {};
            int made = -1;
            if (std::sscanf(line.c_str(), "%3s %3s %d", seat, strain, &made) != 3) continue;
            for (int s = 0; s < 4; ++s)
                for (int d = 0; d < StrainCount; ++d)
                    if (std::string(seat) == DeclarerLetters[s] && std::string(strain) == StrainLetters[d] &&
                        tricks[static_cast<std::size_t>(s)][static_cast<std::size_t>(d)] != made)
                        return "its OptimumResultTable gives " + std::string(seat) + " " + strain + " " +
                               std::to_string(made);
        }
    }
    return {};
}

// "NS 620", "EW 420" as North-South's score; none when it is no score.
std::optional<int> NorthSouthScore(const std::string& value) {
    if (value.size() < 4 || (value.compare(0, 3, "NS ") != 0 && value.compare(0, 3, "EW ") != 0)) return std::nullopt;
    char* end = nullptr;
    const long score = std::strtol(value.c_str() + 3, &end, 10);
    if (end == value.c_str() + 3 || *end != '\0') return std::nullopt;
    return static_cast<int>(value[0] == 'N' ? score : -score);
}

} // namespace

std::optional<BoardAnalysis> PbnGameAnalysis(const PbnSource& pbn, std::size_t index, const Board& board,
                                             std::string* problem) {
    for (const PbnSource::Game& game : pbn.Games) {
        if (game.What != PbnSource::Kind::Board || game.BoardIndex != index) continue;
        const std::string* hex = TagValue(game, "DoubleDummyTricks");
        if (!hex) continue;
        std::string wrong;
        const std::optional<TrickTable> tricks = HexTricks(*hex);
        BoardAnalysis analysis;
        if (!tricks) {
            wrong = "its DoubleDummyTricks \"" + *hex + "\" is not 20 hexadecimal digits from 0 to D";
        } else {
            analysis.Tricks = *tricks;
            analysis.Par = ParOf(*tricks, board.Dealer, board.Vul);
            wrong = TableDisagreement(pbn, game, *tricks);
            const std::string* score = TagValue(game, "OptimumScore");
            if (wrong.empty() && score && analysis.Par.Error.empty()) {
                const std::optional<int> given = NorthSouthScore(*score);
                if (!given || *given != analysis.Par.Score)
                    wrong = "its OptimumScore \"" + *score + "\" is not the par of its DoubleDummyTricks (" +
                            ParText(analysis.Par, StrainStyle::Letters) + ")";
            }
        }
        if (wrong.empty()) return analysis;
        if (problem) *problem = "board " + std::to_string(board.Number) + ": " + wrong;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<BoardAnalysis> KnownAnalysis(const BoardSource& file, std::uint64_t position, const Board& board,
                                           const AnalysisCache* cache, std::vector<std::string>& notes) {
    if (file.Pbn()) {
        std::string problem;
        if (auto given = PbnGameAnalysis(*file.Pbn(), position - 1, board, &problem)) return given;
        if (!problem.empty()) notes.push_back(file.Path() + ": " + problem + "; the board is analysed again");
    }
    if (!cache) return std::nullopt;
    std::string refused;
    if (const std::optional<TrickTable> kept = cache->Find(board.Hands, &refused))
        return BoardAnalysis{*kept, ParOf(*kept, board.Dealer, board.Vul)};
    if (!refused.empty()) notes.push_back(refused);
    return std::nullopt;
}

AnalysisReport AnalyseFileBoards(BoardSource& file, const std::vector<std::uint64_t>& positions,
                                 const AnalysisCache* cache, const AnalysisProgress& progress, std::size_t batch,
                                 const std::atomic<bool>* stop) {
    const std::size_t count = positions.size();
    AnalysisReport report;
    report.Results.resize(count);
    std::vector<std::optional<Board>> unknown;
    std::vector<std::size_t> where; // unknown[i] is board where[i] of the report
    for (std::size_t i = 0; i < count; ++i) {
        Board b;
        std::string problem;
        if (!file.ReadDeal(positions[i], b, &problem)) {
            report.Problems.push_back(NotAnalysed(file.Path(), b.Number, problem));
            continue;
        }
        if ((report.Results[i] = KnownAnalysis(file, positions[i], b, cache, report.Notes))) continue;
        unknown.push_back(b);
        where.push_back(i);
    }
    const std::size_t known = count - unknown.size();
    AnalysisProgress solving;
    if (progress) solving = [&](std::size_t done, std::size_t) { return progress(known + done, count); };
    AnalysisReport solved = AnalyseBoards(unknown, file.Path(), solving, batch, stop);
    report.Cancelled = solved.Cancelled;
    report.Problems.insert(report.Problems.end(), solved.Problems.begin(), solved.Problems.end());
    for (std::size_t i = 0; i < unknown.size(); ++i) {
        if (!solved.Results[i]) continue;
        report.Results[where[i]] = solved.Results[i];
        if (cache) cache->Store(unknown[i]->Hands, solved.Results[i]->Tricks);
    }
    if (progress && unknown.empty() && count != 0) progress(count, count);
    return report;
}

AnalysisReport AnalyseFileBoards(BoardSource& file, std::size_t first, std::size_t count, const AnalysisCache* cache,
                                 const AnalysisProgress& progress, std::size_t batch, const std::atomic<bool>* stop) {
    std::vector<std::uint64_t> positions(count);
    for (std::size_t i = 0; i < count; ++i) positions[i] = first + i + 1;
    return AnalyseFileBoards(file, positions, cache, progress, batch, stop);
}

} // namespace zelv
