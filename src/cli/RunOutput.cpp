#include "cli/RunOutput.h"

#include "cli/CommandSupport.h"
#include "cli/Messages.h"
#include "core/dealing/RunPresenter.h"
#include "core/files/FileUtil.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace zelv::cli {

namespace {

// "10 of 24 boards, 1,234 attempts, 5000 attempts/s" on standard error,
// over and over on one line, after the part's label in a session; `shown`
// is set once it has been written.
ProgressFn ProgressLine(const DealRunOptions& options, const std::vector<std::string>& partLabels, bool& shown) {
    return [&options, &partLabels, &shown](const DealProgress& p) {
        double rate = p.Seconds > 0 ? static_cast<double>(p.Attempts) / p.Seconds : 0.0;
        const std::string part =
            p.Part < partLabels.size() && !p.Analysing ? Printable(partLabels[p.Part]) + " \u00b7 " : std::string();
        // "10 of 24 boards, ..." or "Dealt 24 of 24 · analysing 7 of 24, ...".
        std::fprintf(stderr, "\r%s%s, %s, %.0f attempts/s", part.c_str(), ProgressText(p).c_str(),
                     CountOf(p.Attempts, "attempt", "attempts").c_str(), rate);
        if (options.Level)
            if (const std::string shares = DescribeShares(options.Setup, p.Shares); !shares.empty())
                std::fprintf(stderr, " (%s)", Printable(shares).c_str());
        // Blanks over the end of a longer line before it (a longer label).
        std::fputs(partLabels.empty() ? "   " : "          ", stderr);
        std::fflush(stderr);
        shown = true;
    };
}

} // namespace

void MakeFolderSaying(const std::string& folder) {
    std::error_code ec;
    if (folder.empty() || std::filesystem::exists(folder, ec)) return;
    if (std::filesystem::create_directories(folder, ec)) std::cerr << "Made folder " << Printable(folder) << "\n";
}

DealRunResult RunTheDeal(const DealRunOptions& options, bool quiet, const std::vector<std::string>& partLabels) {
    bool progressShown = false;
    ProgressFn progress;
    if (!quiet && ::isatty(STDERR_FILENO)) progress = ProgressLine(options, partLabels, progressShown);
    DealRunResult result = RunDeal(options, &Interrupted, progress);
    if (progressShown) std::fputs("\n", stderr);
    return result;
}

bool PrintSummary(const DealRunResult& result, const DealRunOptions& options, const std::vector<std::string>& more) {
    for (const std::string& summary : RunSummaryLines(result, options.Setup, options.Level))
        std::cout << Printable(summary) << "\n";
    for (const std::string& line : more) std::cout << Printable(line) << "\n";
    std::cout.flush();
    if (!std::cout) {
        Say(std::cerr, "the boards were written to " + result.BoardPath +
                           ", but the summary could not be written to standard output");
        return false;
    }
    return true;
}

int RunEndedShort(const DealRunResult& result, const DealRunOptions& options, const std::vector<std::string>& more) {
    int status = ExitDone;
    if (result.Status == DealStatus::AttemptLimit) status = ExitAttemptLimit;
    if (result.Status == DealStatus::SequenceSpent) status = ExitSequenceSpent;
    if (result.Status == DealStatus::Stopped) status = ExitInterrupted;
    if (status == ExitDone) return status;
    Say(std::cerr, DescribeResult(result, RunBoards(options)));
    for (const std::string& line : more) Say(std::cerr, line);
    return status;
}

} // namespace zelv::cli
