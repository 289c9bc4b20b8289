#include "cli/CommandSupport.h"

#include "cli/Messages.h"
#include "core/cards/Cards.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <unistd.h>
#include <vector>

namespace zelv::cli {

std::atomic<bool> Interrupted{false};

namespace {

extern "C" void OnInterrupt(int) { Interrupted.store(true); }

// An option given twice, or two that exclude each other, in plain words;
// anything else as CLI11 words it.
std::string PlainWords(const CLI::App& app, const CLI::ParseError& e) {
    const std::vector<const CLI::Option*> options = app.get_options();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e))
        for (const CLI::Option* opt : options)
            if (opt->get_items_expected_max() == 1 && opt->count() > 1) {
                const std::string name = opt->get_name();
                const bool seat = name == "--north" || name == "--east" || name == "--south" || name == "--west";
                return name + " is given " + std::to_string(opt->count()) + " times; give it once" +
                       (seat ? ", with the seat's definitions separated by commas (" + name + " A,B)" : "");
            }
    if (dynamic_cast<const CLI::ExcludesError*>(&e))
        for (const CLI::Option* opt : options)
            for (const CLI::Option* other : opt->get_excludes())
                if (opt->count() > 0 && other->count() > 0) {
                    const std::string both = opt->get_name() + " and " + other->get_name() + " cannot be used together";
                    if (opt->get_name() == "--secure" || other->get_name() == "--secure")
                        return both + ": --seed repeats the classic generator's sequence, and the secure source has "
                                      "none to repeat";
                    return both;
                }
    return e.what();
}

// CLI11 reports --help as an "error" of its own; only real errors are usage
// errors, said as every other message is.
int ParseFailed(const CLI::App& app, const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
        app.exit(e, std::cout, std::cerr);
        return ExitDone;
    }
    return UsageError(PlainWords(app, e));
}

// "--code=" with nothing after it would otherwise take the next argument
// as its value: "--code= --no-pbn" would name the files "--no-pbn".
std::string EmptyValueOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") break;
        if (a.size() > 3 && a.rfind("--", 0) == 0 && a.back() == '=') return a.substr(0, a.size() - 1);
    }
    return {};
}

int EmptyValue(const std::string& option) { return UsageError(option + ": an empty value is not allowed"); }

} // namespace

void CatchStopSignals() {
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction before {};
        if (::sigaction(sig, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) std::signal(sig, OnInterrupt);
    }
    IgnoreFileSizeLimitSignal();
}

void IgnoreFileSizeLimitSignal() { std::signal(SIGXFSZ, SIG_IGN); }

int BadInput(const std::string& message) {
    Say(std::cerr, message);
    return ExitBadInput;
}

int UsageError(const std::string& message) {
    Say(std::cerr, message);
    std::cerr << "Run with --help for more information.\n";
    return ExitUsage;
}

std::optional<int> ParseArguments(CLI::App& app, int argc, char** argv) {
    if (const std::string empty = EmptyValueOption(argc, argv); !empty.empty()) return EmptyValue(empty);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return ParseFailed(app, e);
    }
    for (const CLI::Option* opt : app.get_options()) {
        if (opt->get_type_size() == 0 || opt->count() == 0) continue;
        for (const std::string& value : opt->results())
            if (value.empty()) return EmptyValue(opt->get_name());
    }
    return std::nullopt;
}

void SetupOptions::Add(CLI::App& app, DealCommandLine& line) {
    app.add_option("--generator", line.Generator, "Take the four seats' set-up from this generator file (.GEN)")
        ->type_name("FILE");
    static const char* const names[4] = {"--north", "--south", "--east", "--west"};
    for (int seat : {North, East, South, West}) {
        Given[seat] = app.add_option(names[seat], Seats[seat],
                                     "Up to five comma-separated definition names for " + SeatNames[seat] +
                                         "; an empty item is an empty slot")
                          ->type_name("NAMES");
    }
}

bool SetupOptions::Take(DealCommandLine& line) const {
    bool any = false;
    for (int seat = 0; seat < 4; ++seat)
        if (*Given[seat]) {
            line.Seats[seat] = Seats[seat];
            any = true;
        }
    return any;
}

void RunOptions::Add(CLI::App& app, DealCommandLine& line) {
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
    SeedGiven =
        app.add_option("--seed", Seed, "Start the classic generator from this seed (0 to 4294967295)")->type_name("N");
    app.add_flag("--secure", line.Secure, "Draw from a cryptographically secure generator instead")
        ->excludes(SeedGiven);
    MaxAttemptsGiven =
        app.add_option("--max-attempts", MaxAttempts, "Stop after this many attempts, keeping the boards dealt")
            ->type_name("N");
    ThreadsGiven =
        app.add_option("--threads", Threads, "Secure runs: deal on this many threads (default: one per core)")
            ->type_name("N");
    // Two flags rather than CLI11's negated pair, whose help reads as if PBN were off.
    app.add_flag_callback(
        "--pbn",
        [&line] {
            line.Pbn = true;
            line.PbnTyped = true;
        },
        "Also write CODE.PBN (the default)");
    app.add_flag_callback(
        "--no-pbn",
        [&line] {
            line.Pbn = false;
            line.PbnTyped = true;
        },
        "Do not write CODE.PBN");
    app.add_flag("--dd", line.PbnAnalysis,
                 "Give each game of CODE.PBN the board's double-dummy analysis: the tricks each declarer makes in "
                 "each strain and the par result");
    app.add_flag("--dup", line.Dup, "Also write CODE.DUP, for the newer Duplimate machines (up to board 999)");
    app.add_flag("--dlm", line.Dlm, "Also write CODE.DLM, for the machines that read text (up to board 99)");
    FirstBoardGiven = app.add_option("--first-board", FirstBoard,
                                     "Number the set from this board (default 1): the PBN, DUP and DLM files, dealer "
                                     "and vulnerability follow it")
                          ->type_name("N");
    app.add_flag("--quiet", Quiet, "No progress line and no summary");
}

void RunOptions::Take(DealCommandLine& line) const {
    if (*SeedGiven) line.Seed = Seed;
    if (*MaxAttemptsGiven) line.MaxAttempts = MaxAttempts;
    if (*ThreadsGiven) line.Threads = Threads;
    if (*FirstBoardGiven) line.FirstBoard = FirstBoard;
}

AnalysisProgress AnalysisProgressLine() {
    if (!::isatty(STDERR_FILENO)) return {};
    return [](std::size_t done, std::size_t total) {
        std::fprintf(stderr, "\rAnalysed %zu of %s   %s", done, CountOf(total, "board", "boards").c_str(),
                     done == total ? "\n" : "");
        std::fflush(stderr);
        return !Interrupted.load();
    };
}

} // namespace zelv::cli
