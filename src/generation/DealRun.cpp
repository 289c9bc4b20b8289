#include "generation/DealRun.h"

#include "engine/FileUtil.h"
#include "formats/DlmFile.h"
#include "formats/DupFile.h"
#include "formats/Duplimat.h"
#include "generation/SecureDeal.h"

#include <chrono>
#include <memory>
#include <tuple>

namespace zelv {

DealRunResult RunDeal(const DealRunOptions& options, const std::atomic<bool>* stop, const ProgressFn& progress) {
    DealRunResult result;
    if (options.Boards < 0) {
        result.Error = "The number of boards must not be negative: " + std::to_string(options.Boards);
        return result;
    }
    if (options.FirstBoard < 1) {
        result.Error = "The first board number must be 1 or more";
        return result;
    }
    // A machine file that cannot number the set is refused before anything
    // is dealt; the dialog and the command line drop it first and say so.
    const auto boards = static_cast<std::uint64_t>(options.Boards);
    for (const auto& [wanted, why, ext] :
         {std::tuple{options.WriteDup, DupRangeProblem(options.FirstBoard, boards), ".DUP"},
          std::tuple{options.WriteDlm, DlmRangeProblem(options.FirstBoard, boards), ".DLM"}})
        if (wanted && !why.empty()) {
            result.Error = UnableToWrite(JoinPath(options.OutputFolder, options.FileCode + ext), why);
            return result;
        }
    tBoard board;
    board.SeedFirst = options.SeedFirst;
    board.Random = options.Seed ? tRandom(*options.Seed) : options.Random ? *options.Random : tRandom::Randomized();
    if (!board.LoadSetup(options.Setup, options.DefinitionsFolder, &result.Error, &result.ErrorDetail)) return result;
    // The secure source is keyed once per run; the dealer reads the loaded set-up.
    std::unique_ptr<tSecureRandom> random;
    std::unique_ptr<tSecureDealer> secure;
    if (options.Secure) {
        SecureKey key{};
        if (!tSecureRandom::SystemKey(key, &result.Error)) return result;
        random = std::make_unique<tSecureRandom>(key);
        key.fill(0);
        secure = std::make_unique<tSecureDealer>(board, *random);
    }

    tDealFiles files;
    const DealFileChoice choice{options.WritePbn, options.WriteDup, options.WriteDlm, options.FirstBoard};
    if (!files.OpenDealFiles(options.OutputFolder, options.FileCode, choice, &result.Error)) return result;
    result.BoardPath = files.BoardPath();
    result.BriPath = files.BriPath();
    result.PbnPath = files.PbnPath();
    result.DupPath = files.DupPath();
    result.DlmPath = files.DlmPath();
    board.Output = &files;

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    auto report = [&] {
        if (progress) progress(DealProgress{result.Accepted, result.Attempts, options.Boards, elapsed()});
    };
    auto lastReport = start;
    constexpr std::uint64_t ClockEvery = 1u << 14;

    result.Status = DealStatus::Done;
    const std::uint64_t wanted = static_cast<std::uint64_t>(options.Boards);
    while (result.Accepted < wanted) {
        if (stop && stop->load(std::memory_order_relaxed)) {
            result.Status = DealStatus::Stopped;
            break;
        }
        if (options.MaxAttempts && result.Attempts >= options.MaxAttempts) {
            result.Status = DealStatus::AttemptLimit;
            break;
        }
        if (secure)
            secure->DealBoard();
        else
            board.DealBoard();
        ++result.Attempts;
        if (board.Accepted) {
            ++result.Accepted;
            if (files.Failed()) break;
        }
        if ((result.Attempts & (ClockEvery - 1)) == 0 && progress) {
            auto now = Clock::now();
            if (now - lastReport >= std::chrono::milliseconds(100)) {
                lastReport = now;
                report();
            }
        }
    }
    if (options.Random && !options.Seed && !secure) *options.Random = board.Random;
    // However the run ended, a run without a board leaves the previous set
    // as it was: a Stop before the first board must not empty the files.
    std::string closeError;
    if (result.Accepted == 0) {
        files.Abandon();
    } else if (!files.CloseDealFiles(&closeError)) {
        result.Status = DealStatus::Failed;
        result.Error = closeError;
    } else {
        result.Written = true;
    }
    result.Seconds = elapsed();
    report();
    return result;
}

std::string DescribeResult(const DealRunResult& result, std::int64_t requested) {
    std::string boards = std::to_string(result.Accepted) + " of " + std::to_string(requested < 0 ? 0 : requested) +
                         " boards dealt in " + std::to_string(result.Attempts) + " attempts";
    const std::string kept = result.Written ? "." : "; the previous files were kept.";
    switch (result.Status) {
    case DealStatus::Done:
        return boards + kept;
    case DealStatus::Stopped:
        return "Stopped: " + boards + kept;
    case DealStatus::AttemptLimit:
        return "Attempt limit reached: " + boards + kept;
    case DealStatus::Failed:
        return result.ErrorDetail.empty() ? result.Error : result.Error + " (" + result.ErrorDetail + ")";
    }
    return boards;
}

} // namespace zelv
