#include "cli/BoardText.h"

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

int ShowBoardFile(const std::string& path, ShowFormat format, std::ostream& out, std::ostream& err) {
    BoardSource file;
    std::string error;
    if (!file.Open(path, &error)) {
        err << "zelvano-deal: " << error << "\n";
        return 1;
    }
    if (file.Format() == BoardFormat::Dge) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path, ec);
        if (!ec && size % RecordSize != 0)
            err << "zelvano-deal: " << path << ": board " << size / RecordSize + 1 << " is cut short: the last "
                << size % RecordSize << " bytes are not a whole board record and were ignored\n";
    }
    for (const std::string& problem : file.Problems()) err << "zelvano-deal: " << problem << "\n";
    // An empty list printed with success would look like a set that was read.
    if (file.BoardCount() == 0) {
        err << "zelvano-deal: no boards in " << path << "\n";
        return 1;
    }
    if (format == ShowFormat::Pbn) out << PbnFileHeader();
    bool damaged = !file.Problems().empty();
    BoardSource::Shown board;
    for (std::uint64_t n = 1; n <= file.BoardCount(); ++n) {
        const BoardSource::Read read = file.ReadBoard(n, board, &error);
        std::string problem;
        if (read == BoardSource::Read::Failed)
            problem = error;
        else if (read == BoardSource::Read::Damaged)
            problem = "the record does not hold sixteen holdings";
        else
            problem = DealProblem(board.Holdings);
        if (!problem.empty()) {
            err << "zelvano-deal: " << path << ": board " << board.Number << " is damaged (" << problem
                << "); not shown\n";
            damaged = true;
            continue;
        }
        out << (format == ShowFormat::Pbn ? PbnGame(board.Number, board.Dealer, board.Vul, board.Holdings)
                                          : BoardDiagram(board.Number, board.Dealer, board.Vul, board.Holdings));
    }
    out.flush();
    if (!out) {
        err << "zelvano-deal: " << path << ": the boards could not be written to standard output\n";
        return 1;
    }
    return damaged ? 1 : 0;
}

} // namespace zelv
