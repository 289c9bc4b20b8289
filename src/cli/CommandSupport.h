#pragma once
// What the commands of zelvano-deal share: their exit statuses, the stop
// signals, argument parsing and the two kinds of refusal.
#include "cli/DealOptions.h"
#include "core/analysis/DoubleDummy.h"

#include <CLI/CLI.hpp>

#include <array>
#include <atomic>
#include <optional>
#include <string>

namespace zelv::cli {

// The exit statuses, as every command's help states them.
inline constexpr int ExitDone = 0;
inline constexpr int ExitBadInput = 1;
inline constexpr int ExitUsage = 2;
inline constexpr int ExitAttemptLimit = 3;  // --max-attempts, or a script's condition never met
inline constexpr int ExitSequenceSpent = 4; // the classic generator's numbers ran out
inline constexpr int ExitInterrupted = 130;

// Raised by the stop signals once CatchStopSignals has been called.
extern std::atomic<bool> Interrupted;

// Ctrl-C, SIGTERM and a closed terminal (SIGHUP) raise Interrupted, and the
// command ends as its own stop does: what it writes is put in place whole or
// not at all, its temporary files go, and it exits with 130. A signal the
// caller had ignored (nohup, a background job of a script) stays ignored.
// File-size limits are left to IgnoreFileSizeLimitSignal.
void CatchStopSignals();
// Past a file-size limit a write fails and is reported ("File too large")
// instead of SIGXFSZ killing the command and leaving its temporary files
// behind.
void IgnoreFileSizeLimitSignal();

// Says `message` and returns ExitBadInput.
int BadInput(const std::string& message);
// Says `message`, points to --help and returns ExitUsage.
int UsageError(const std::string& message);

// Parses a command's arguments. Returns the exit status when the command ends
// here: --help, a usage error, or any option or argument given an empty value
// ("--code ''" is as empty as "--code=").
std::optional<int> ParseArguments(CLI::App& app, int argc, char** argv);

// --generator and the four seats' options, which deal and odds share.
struct SetupOptions {
    SeatArray<std::string> Seats;
    SeatArray<CLI::Option*> Given{};

    void Add(CLI::App& app, DealCommandLine& line);
    // The seats given into `line`, which merging tells from seats left to a
    // generator file; true when any was given.
    bool Take(DealCommandLine& line) const;
};

// The options of a run into a set that deal and session share: file code,
// folders, seed or secure source, attempt limit, threads, first board, the
// files written and --quiet. The numbers stay text for MergeDealOptions to
// check and name; an option left out stays unset.
struct RunOptions {
    std::string Seed, MaxAttempts, Threads, FirstBoard;
    CLI::Option *SeedGiven = nullptr, *MaxAttemptsGiven = nullptr, *ThreadsGiven = nullptr, *FirstBoardGiven = nullptr;
    bool Quiet = false;

    void Add(CLI::App& app, DealCommandLine& line);
    // The numbers given into `line`.
    void Take(DealCommandLine& line) const;
};

// "Analysed 32 of 100 boards" on standard error while the solver works, when
// that is a terminal; the line is ended once the last board is done. It
// stops the analysis once Interrupted is raised.
AnalysisProgress AnalysisProgressLine();

} // namespace zelv::cli
