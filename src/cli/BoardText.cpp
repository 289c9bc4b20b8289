#include "cli/BoardText.h"

#include "cli/Messages.h"
#include "core/analysis/AnalysisText.h"
#include "core/analysis/KnownAnalysis.h"
#include "core/files/FileUtil.h"
#include "core/formats/BoardSource.h"
#include "core/formats/Pbn.h"

#include <ostream>

namespace zelv {

std::string DealProblem(const DisplayTable& table) {
    std::array<CardMask, 4> hands{};
    return HandsFromHoldings(table, hands);
}

std::string BoardDiagram(std::uint64_t board, const DisplayTable& table) {
    return BoardDiagram(board, DealerSeat(board), VulnerabilityOf(board), table);
}

std::string BoardDiagram(std::uint64_t board, int dealer, Vulnerability vul, const DisplayTable& table) {
    static const char Letters[4] = {'S', 'H', 'D', 'C'};
    auto line = [&](int seat, int s) {
        const std::string& h = table[seat][s];
        return std::string(1, Letters[s]) + ' ' + (h.empty() ? std::string("-") : h);
    };
    const std::string indent(10, ' ');
    std::string t = "Board " + std::to_string(board) + ": " + DealerVulText(dealer, vul) + "\n";
    for (int s = 0; s < 4; ++s) t += indent + line(North, s) + "\n";
    for (int s = 0; s < 4; ++s) {
        std::string w = line(West, s);
        w.resize(20, ' ');
        t += w + line(East, s) + "\n";
    }
    for (int s = 0; s < 4; ++s) t += indent + line(South, s) + "\n";
    return t + "\n";
}

namespace {

// Opens a board file, saying on `err` what of it cannot be read; false when
// none of it can.
bool OpenSaying(BoardSource& file, const std::string& path, std::ostream& err) {
    std::string error;
    if (!file.Open(path, &error)) {
        Say(err, error);
        return false;
    }
    for (const std::string& note : file.Notes()) Say(err, note);
    for (const std::string& problem : file.Problems()) Say(err, problem);
    return true;
}

// The analysed PBN file of `file`'s boards: a PBN file's own games with the
// analysis tags added, or one game a board. `boards` and `games` count the
// boards analysed and the games that carry their analysis.
std::string AnalysedPbn(BoardSource& file, const AnalysisReport& report, std::uint64_t& boards, std::uint64_t& games) {
    boards = games = 0;
    std::vector<Board> deals(report.Results.size());
    std::vector<std::string> tags(report.Results.size());
    std::string pbn = PbnFileHeader();
    for (std::size_t i = 0; i < report.Results.size(); ++i) {
        if (!file.ReadDeal(i + 1, deals[i], nullptr) || !report.Results[i]) continue;
        tags[i] = PbnAnalysisTags(*report.Results[i]);
        pbn += PbnGame(deals[i], tags[i]);
        ++boards;
    }
    if (!file.Pbn()) {
        games = boards;
        return pbn;
    }
    for (const PbnSource::Game& game : file.Pbn()->Games)
        games += game.What == PbnSource::Kind::Board && !tags[game.BoardIndex].empty() ? 1 : 0;
    return WritePbnFrom(*file.Pbn(), deals, tags);
}

} // namespace

int ShowBoardFile(const std::string& path, ShowFormat format, std::ostream& out, std::ostream& err, bool analysis,
                  const AnalysisProgress& progress) {
    BoardSource file;
    if (!OpenSaying(file, path, err)) return 1;
    // An empty list printed with success would look like a set that was read.
    if (file.BoardCount() == 0) {
        Say(err, "no boards in " + path);
        return 1;
    }
    bool damaged = !file.Problems().empty();
    auto emit = [&](const BoardSource::Shown& board, const Board& deal, const BoardAnalysis* a) {
        if (format == ShowFormat::Pbn) {
            out << PbnGame(board.Number, board.Dealer, board.Vul, board.Holdings, a ? PbnAnalysisTags(*a) : "");
            return;
        }
        std::string diagram = BoardDiagram(board.Number, board.Dealer, board.Vul, board.Holdings);
        // The analysis stands under the diagram, before its blank line.
        if (a) diagram.insert(diagram.size() - 1, AnalysisTextBlock(*a, deal));
        out << diagram;
    };
    if (format == ShowFormat::Pbn) out << PbnFileHeader();
    // With analysis every sound board is kept until all are analysed together.
    std::vector<BoardSource::Shown> kept;
    std::vector<Board> sound;
    std::vector<std::uint64_t> soundAt;
    BoardSource::Shown board;
    std::string error;
    for (std::uint64_t n = 1; n <= file.BoardCount(); ++n) {
        const BoardSource::Read read = file.ReadBoard(n, board, &error);
        std::string problem;
        Board deal;
        if (read == BoardSource::Read::Failed)
            problem = error;
        else if (read == BoardSource::Read::Damaged)
            problem = "the record does not hold sixteen holdings";
        else
            problem = HandsFromHoldings(board.Holdings, deal.Hands);
        if (!problem.empty()) {
            Say(err, path + ": board " + std::to_string(board.Number) + " is damaged (" + problem + "); not shown");
            damaged = true;
            continue;
        }
        deal.Number = board.Number;
        deal.Dealer = board.Dealer;
        deal.Vul = board.Vul;
        if (!analysis) {
            emit(board, deal, nullptr);
            continue;
        }
        kept.push_back(board);
        sound.push_back(deal);
        soundAt.push_back(n);
    }
    if (analysis) {
        // What the file's PBN games or the cache already hold is not solved again.
        const AnalysisReport report = AnalyseFileBoards(file, soundAt, &AnalysisCache::Shared(), progress);
        for (const std::string& problem : report.Problems) Say(err, problem);
        for (const std::string& note : report.Notes) Say(err, note);
        damaged = damaged || !report.Problems.empty();
        for (std::size_t i = 0; i < kept.size(); ++i) {
            const BoardAnalysis* a = report.Results[i] ? &*report.Results[i] : nullptr;
            emit(kept[i], sound[i], a);
            if (!a) continue;
            if (const std::string note = ParNotComputedNote(path, kept[i].Number, a->Par, format == ShowFormat::Pbn);
                !note.empty()) {
                Say(err, note);
                damaged = true;
            }
        }
    }
    out.flush();
    if (!out) {
        Say(err, path + ": the boards could not be written to standard output");
        return 1;
    }
    return damaged ? 1 : 0;
}

int WriteAnalysedPbn(const std::string& path, const std::string& output, std::ostream& out, std::ostream& err,
                     const AnalysisProgress& progress, const std::atomic<bool>* stop) {
    // Minutes of analysis are not spent on a file that cannot be written.
    if (std::string error; !CanWriteFile(output, &error)) {
        Say(err, error);
        return 1;
    }
    BoardSource file;
    if (!OpenSaying(file, path, err)) return 1;
    // What the file's PBN games or the cache already hold is not solved again.
    const AnalysisReport report =
        AnalyseFileBoards(file, 0, file.BoardCount(), &AnalysisCache::Shared(), progress, AnalysisBatch(), stop);
    if (report.Cancelled) {
        Say(err, "stopped before every board of " + path + " was analysed; nothing was written");
        return 1;
    }
    for (const std::string& problem : report.Problems) Say(err, problem);
    for (const std::string& note : report.Notes) Say(err, note);
    std::uint64_t written = 0, games = 0;
    const std::string pbn = AnalysedPbn(file, report, written, games);
    // A par the solver could not work out leaves its game without par tags.
    bool withoutPar = false;
    for (std::uint64_t n = 1; n <= report.Results.size(); ++n) {
        Board board;
        if (!report.Results[n - 1] || !file.ReadDeal(n, board, nullptr)) continue;
        if (const std::string note = ParNotComputedNote(output, board.Number, report.Results[n - 1]->Par, true);
            !note.empty()) {
            Say(err, note);
            withoutPar = true;
        }
    }
    if (written == 0) {
        Say(err, "no boards in " + path + " could be analysed; nothing was written");
        return 1;
    }
    if (std::string error; !AtomicWriteFile(output, pbn, &error)) {
        Say(err, error);
        return 1;
    }
    out << "Wrote " << Printable(output) << ", " << CountOf(written, "board", "boards");
    if (games != written) out << " (" << games << " games)";
    out << "\n";
    out.flush();
    return file.Problems().empty() && report.Problems.empty() && !withoutPar ? 0 : 1;
}

} // namespace zelv
