#include "cli/BoardText.h"

#include "analysis/AnalysisText.h"
#include "cli/Messages.h"
#include "engine/FileUtil.h"
#include "formats/BoardSource.h"
#include "formats/Pbn.h"

#include <filesystem>
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
    if (file.Format() == BoardFormat::Dge) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path, ec);
        if (!ec && size % RecordSize != 0)
            Say(err, path + ": board " + std::to_string(size / RecordSize + 1) + " is cut short: the last " +
                         std::to_string(size % RecordSize) + " bytes are not a whole board record and were ignored");
    }
    for (const std::string& problem : file.Problems()) Say(err, problem);
    return true;
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
    std::vector<std::optional<Board>> sound;
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
    }
    if (analysis) {
        const AnalysisReport report = AnalyseBoards(sound, path, progress);
        for (const std::string& problem : report.Problems) Say(err, problem);
        damaged = damaged || !report.Problems.empty();
        for (std::size_t i = 0; i < kept.size(); ++i)
            emit(kept[i], *sound[i], report.Results[i] ? &*report.Results[i] : nullptr);
    }
    out.flush();
    if (!out) {
        Say(err, path + ": the boards could not be written to standard output");
        return 1;
    }
    return damaged ? 1 : 0;
}

int WriteAnalysedPbn(const std::string& path, const std::string& output, std::ostream& out, std::ostream& err,
                     const AnalysisProgress& progress) {
    BoardSource file;
    if (!OpenSaying(file, path, err)) return 1;
    const AnalysisReport report = AnalyseBoardFile(file, progress);
    if (report.Cancelled) {
        Say(err, "stopped before every board of " + path + " was analysed; nothing was written");
        return 1;
    }
    for (const std::string& problem : report.Problems) Say(err, problem);
    std::string pbn = PbnFileHeader();
    std::uint64_t written = 0;
    for (std::uint64_t n = 1; n <= report.Results.size(); ++n) {
        Board board;
        if (!report.Results[n - 1] || !file.ReadDeal(n, board, nullptr)) continue;
        pbn += PbnGame(board, PbnAnalysisTags(*report.Results[n - 1]));
        ++written;
    }
    if (written == 0) {
        Say(err, "no boards in " + path + " could be analysed; nothing was written");
        return 1;
    }
    if (std::string error; !AtomicWriteFile(output, pbn, &error)) {
        Say(err, error);
        return 1;
    }
    out << "Wrote " << Printable(output) << ", " << CountOf(written, "board", "boards") << "\n";
    out.flush();
    return file.Problems().empty() && report.Problems.empty() ? 0 : 1;
}

} // namespace zelv
