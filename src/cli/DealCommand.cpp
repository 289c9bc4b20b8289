// zelvano-deal deal (and zelvano-deal with no command): deals a set of
// boards that meet a set-up of hand definitions into board files.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "core/dealing/DealRun.h"
#include "core/dealing/RunPresenter.h"
#include "core/files/FileUtil.h"
#include "core/odds/SetupOdds.h"
#include "core/settings/Settings.h"
#include "core/settings/Version.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>

namespace zelv::cli {

namespace {

// The options as typed: the numbers stay text for MergeDealOptions to check
// and name, and an option left out stays unset.
struct DealArguments {
    DealCommandLine Line;
    SetupOptions Setup;
    std::string Seed, MaxAttempts, Threads, FirstBoard;
    CLI::Option *SeedGiven = nullptr, *MaxAttemptsGiven = nullptr, *ThreadsGiven = nullptr, *FirstBoardGiven = nullptr;
    bool Quiet = false;
};

void AddDealOptions(CLI::App& app, DealArguments& args) {
    DealCommandLine& line = args.Line;
    args.Setup.Add(app, line);
    app.add_option("--boards", line.Boards, "Number of boards to deal")->type_name("N")->capture_default_str();
    app.add_option("--code", line.Code,
                   "File code: the output files are CODE.DGE, CODE.BRI and CODE.PBN (and CODE.DUP, CODE.DLM)")
        ->type_name("CODE")
        ->capture_default_str();
    app.add_option("--definitions", line.Definitions, "Folder of the hand definition files")
        ->type_name("DIR")
        ->capture_default_str();
    app.add_option("--output", line.Output, "Folder the boards are written to")
        ->type_name("DIR")
        ->capture_default_str();
    app.add_flag("--no-seed-first", line.NoSeedFirst, "Do not place the first definition's cards before dealing");
    args.SeedGiven = app.add_option("--seed", args.Seed, "Start the classic generator from this seed (0 to 4294967295)")
                         ->type_name("N");
    app.add_flag("--secure", line.Secure, "Draw from a cryptographically secure generator instead")
        ->excludes(args.SeedGiven);
    args.MaxAttemptsGiven =
        app.add_option("--max-attempts", args.MaxAttempts, "Stop after this many attempts, keeping the boards dealt")
            ->type_name("N");
    args.ThreadsGiven =
        app.add_option("--threads", args.Threads, "Secure runs: deal on this many threads (default: one per core)")
            ->type_name("N");
    // Two flags rather than CLI11's negated pair, whose help reads as if PBN were off.
    app.add_flag_callback(
        "--pbn", [&line] { line.Pbn = true; }, "Also write CODE.PBN (the default)");
    app.add_flag_callback(
        "--no-pbn", [&line] { line.Pbn = false; }, "Do not write CODE.PBN");
    app.add_flag("--dd", line.PbnAnalysis,
                 "Give each game of CODE.PBN the board's double-dummy analysis: the tricks each declarer makes in "
                 "each strain and the par result");
    app.add_flag("--dup", line.Dup, "Also write CODE.DUP, for the newer Duplimate machines (up to board 999)");
    app.add_flag("--dlm", line.Dlm, "Also write CODE.DLM, for the machines that read text (up to board 99)");
    args.FirstBoardGiven =
        app.add_option("--first-board", args.FirstBoard,
                       "Number the set from this board (default 1): the PBN, DUP and DLM files, dealer and "
                       "vulnerability follow it")
            ->type_name("N");
    app.add_flag("--level", line.Level,
                 "Share boards equally among each seat's alternatives: board k takes alternative ((k-1) mod m)+1");
    app.add_flag("--quiet", args.Quiet, "No progress line and no summary");
}

// The command line the arguments make, with the options left out unset.
DealCommandLine TakeDealArguments(const DealArguments& args) {
    DealCommandLine line = args.Line;
    args.Setup.Take(line);
    if (*args.SeedGiven) line.Seed = args.Seed;
    if (*args.MaxAttemptsGiven) line.MaxAttempts = args.MaxAttempts;
    if (*args.ThreadsGiven) line.Threads = args.Threads;
    if (*args.FirstBoardGiven) line.FirstBoard = args.FirstBoard;
    return line;
}

// An output folder that does not exist yet is made with its parents, as
// mkdir -p makes it, and said; one that cannot be made is left to the run,
// which names the file it could not write.
void MakeFolderSaying(const std::string& folder) {
    std::error_code ec;
    if (folder.empty() || std::filesystem::exists(folder, ec)) return;
    if (std::filesystem::create_directories(folder, ec)) std::cerr << "Made folder " << Printable(folder) << "\n";
}

// A definition read otherwise than it is written, and an alternative no
// hand meets, are worth a word before a run; a seat left no hand at all is
// the run's to refuse.
void WarnOfSetup(const DealRunOptions& options) {
    DealEngine board;
    if (!board.LoadSetup(options.Setup, options.DefinitionsFolder, nullptr)) return;
    for (const std::string& line : SetupWarnings(board, options.Setup, options.DefinitionsFolder))
        Say(std::cerr, "warning: " + line);
    if (!options.Level)
        for (const std::string& line : DefinitionsNeverDealt(OddsOfSeats(board, options.Setup, false)))
            Say(std::cerr, "warning: " + line);
}

// "10 of 24 boards, 1,234 attempts, 5000 attempts/s" on standard error,
// over and over on one line; `shown` is set once it has been written.
ProgressFn ProgressLine(const DealRunOptions& options, bool& shown) {
    return [&options, &shown](const DealProgress& p) {
        double rate = p.Seconds > 0 ? static_cast<double>(p.Attempts) / p.Seconds : 0.0;
        // "10 of 24 boards, ..." or "Dealt 24 of 24 · analysing 7 of 24, ...".
        std::fprintf(stderr, "\r%s, %s, %.0f attempts/s", ProgressText(p).c_str(),
                     CountOf(p.Attempts, "attempt", "attempts").c_str(), rate);
        if (options.Level)
            if (const std::string shares = DescribeShares(options.Setup, p.Shares); !shares.empty())
                std::fprintf(stderr, " (%s)", Printable(shares).c_str());
        std::fputs("   ", stderr);
        std::fflush(stderr);
        shown = true;
    };
}

// The run itself, the one call into the core's run driver: stopped by the
// stop signals, with a progress line unless quiet or not on a terminal.
DealRunResult RunTheDeal(const DealRunOptions& options, bool quiet) {
    bool progressShown = false;
    ProgressFn progress;
    if (!quiet && ::isatty(STDERR_FILENO)) progress = ProgressLine(options, progressShown);
    DealRunResult result = RunDeal(options, &Interrupted, progress);
    if (progressShown) std::fputs("\n", stderr);
    return result;
}

// The boards, attempts and seconds of the run on standard output; false
// when that could not be written (which is said).
bool PrintSummary(const DealRunResult& result, const DealRunOptions& options) {
    for (const std::string& summary : RunSummaryLines(result, options.Setup, options.Level))
        std::cout << Printable(summary) << "\n";
    std::cout.flush();
    if (!std::cout) {
        Say(std::cerr, "the boards were written to " + result.BoardPath +
                           ", but the summary could not be written to standard output");
        return false;
    }
    return true;
}

// The exit status of a run that ended short of its boards, said; ExitDone
// for one that did not.
int RunEndedShort(const DealRunResult& result, const DealRunOptions& options) {
    int status = ExitDone;
    if (result.Status == DealStatus::AttemptLimit) status = ExitAttemptLimit;
    if (result.Status == DealStatus::SequenceSpent) status = ExitSequenceSpent;
    if (result.Status == DealStatus::Stopped) status = ExitInterrupted;
    if (status != ExitDone) Say(std::cerr, DescribeResult(result, options.Boards));
    return status;
}

} // namespace

int DealCommand(int argc, char** argv) {
    const Settings& settings = SharedSettings();
    CLI::App app{"Deals a set of bridge boards that meet a set-up of hand definitions.\n"
                 "With --dd the PBN file carries each board's double-dummy tricks and par.\n"
                 "Also: zelvano-deal show FILE [--format pbn|text] [--dd]\n"
                 "      zelvano-deal print FILE -o OUT.pdf [--layout standard|partnership|records] [--seats N,S,E,W]\n"
                 "                         [--paper a4|letter]\n"
                 "      zelvano-deal convert IN OUT... [--renumber]   (board files: .PBN .DGE .BRI .DUP .DLM)\n"
                 "      zelvano-deal analyse FILE -o OUT.PBN   (double-dummy tricks and par)\n"
                 "      zelvano-deal odds [--definitions DIR] [--generator FILE] [--north NAMES ...]\n"
                 "      zelvano-deal script FILE [--boards N] [--seed S | --secure] [--output DIR --code CODE]\n"
                 "Exit status: 0 done, 1 bad input, 2 usage, 3 stopped by --max-attempts, 4 the classic\n"
                 "generator's numbers ran out (use --secure), 130 interrupted.",
                 "zelvano-deal"};
    app.set_version_flag("--version", "zelvano-deal " + std::string(ZelvanoVersion));
    DealArguments args;
    args.Line.Code = std::string(InitialFileCode);
    args.Line.Definitions = settings.HandDefinitionsFolder;
    args.Line.Output = settings.HandsFolder;
    AddDealOptions(app, args);
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    const DealCommandLine line = TakeDealArguments(args);

    // The default folders of an installed program are the user's, made on first use.
    if (line.Definitions == settings.HandDefinitionsFolder || line.Output == settings.HandsFolder) {
        std::string error;
        if (!PrepareWorkFolders(settings, &error)) return BadInput(error);
    }
    MergedDeal merged = MergeDealOptions(line);
    if (merged.Outcome == MergedDeal::Verdict::Usage) return UsageError(merged.Error);
    if (merged.Outcome == MergedDeal::Verdict::BadInput) return BadInput(merged.Error);
    for (const std::string& warning : merged.Warnings) Say(std::cerr, "warning: " + warning);
    const DealRunOptions& options = merged.Options;
    WarnOfSetup(options);

    MakeFolderSaying(options.OutputFolder);
    // A stopped run keeps the boards dealt so far.
    CatchStopSignals();
    const DealRunResult result = RunTheDeal(options, args.Quiet);

    if (result.Status == DealStatus::Failed) return BadInput(DescribeResult(result, options.Boards));
    if (merged.Condition)
        if (const std::string fault = merged.Condition->Fault(); !fault.empty())
            Say(std::cerr,
                "warning: the condition could not be worked out on some deals, which were passed over: " + fault);
    if (result.Written)
        for (const std::string& note : result.Notes) Say(std::cerr, "warning: " + note);
    if (!args.Quiet && !PrintSummary(result, options)) return ExitBadInput;
    return RunEndedShort(result, options);
}

} // namespace zelv::cli
