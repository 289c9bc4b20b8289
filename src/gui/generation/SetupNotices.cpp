#include "gui/generation/SetupNotices.h"

#include "core/cards/Cards.h"
#include "core/files/FileUtil.h"
#include "core/formats/DlmFile.h"
#include "core/formats/DupFile.h"

namespace zelv {

QStringList UnchosenSeatNotices(const GeneratorSetup& setup) {
    QStringList notices;
    for (int seat : {North, East, South, West}) {
        const GeneratorSeat& s = setup.Seats[static_cast<std::size_t>(seat)];
        if (s.AnyHand) continue;
        const bool chosen =
            std::any_of(s.Names.begin(), s.Names.end(), [](const std::string& n) { return !n.empty(); });
        if (!chosen)
            notices << QString::fromStdString(SeatNames[seat]) +
                           QStringLiteral(" takes any hand: no definition is chosen");
    }
    return notices;
}

QStringList MachineFileNotices(const QString& fileCode, const GeneratorOptions& options) {
    long long boards = 1, first = 1;
    const std::string count = options.Boards.empty() ? std::string("1") : options.Boards;
    const std::string from = options.FirstBoard.empty() ? std::string("1") : options.FirstBoard;
    if (!ParseWholeNumber(count, boards) || boards < 1 || !ParseWholeNumber(from, first) || first < 1) return {};
    const auto n = static_cast<std::uint64_t>(boards), start = static_cast<std::uint64_t>(first);
    QStringList notices;
    auto note = [&](bool ticked, const std::string& why, const char* ext) {
        if (ticked && !why.empty())
            notices << fileCode + QLatin1String(ext) + QStringLiteral(" is not written: ") +
                           QString::fromStdString(why) + u'.';
    };
    note(options.WriteDup, options.WriteDup ? DupRangeProblem(start, n) : std::string(), ".DUP");
    note(options.WriteDlm, options.WriteDlm ? DlmRangeProblem(start, n) : std::string(), ".DLM");
    return notices;
}

} // namespace zelv
