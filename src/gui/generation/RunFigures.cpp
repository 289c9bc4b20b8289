#include "gui/generation/RunFigures.h"

#include "gui/widgets/LocaleNumbers.h"

namespace zelv {

QString BoardsAndDealsText(std::uint64_t boards, std::int64_t requested, std::uint64_t attempts) {
    const auto asked = static_cast<qulonglong>(std::max<std::int64_t>(requested, 0));
    return QStringLiteral("%1 of %2 %3 \u00b7 %4 %5 tried")
        .arg(LocaleNumber(boards), LocaleNumber(asked), asked == 1 ? QStringLiteral("board") : QStringLiteral("boards"),
             LocaleNumber(attempts), attempts == 1 ? QStringLiteral("deal") : QStringLiteral("deals"));
}

QString BoardsWrittenText(const DealRunResult& result) {
    if (!result.Written) return QStringLiteral("no board written");
    return QStringLiteral("%1 %2 written")
        .arg(LocaleNumber(result.Accepted), result.Accepted == 1 ? QStringLiteral("board") : QStringLiteral("boards"));
}

} // namespace zelv
