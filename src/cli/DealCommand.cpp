// zelvano-deal deal (and zelvano-deal with no command): deals a set of
// boards that meet a set-up of hand definitions into board files.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/RunOutput.h"
#include "core/dealing/DealRun.h"
#include "core/dealing/RunPresenter.h"
#include "core/files/FileUtil.h"
#include "core/odds/SetupOdds.h"
#include "core/settings/Settings.h"
#include "core/settings/Version.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>

namespace zelv::cli {

namespace {

// The options as typed: a run's, and the set-up's.
struct DealArguments {
    DealCommandLine Line;
    RunOptions Run;
    SetupOptions Setup;
    CLI::Option *BoardsGiven = nullptr, *LevelGiven = nullptr;
};

void AddDealOptions(CLI::App& app, DealArguments& args) {
    DealCommandLine& line = args.Line;
    args.Setup.Add(app, line);
    args.BoardsGiven =
        app.add_option("--boards", line.Boards, "Number of boards to deal")->type_name("N")->capture_default_str();
    args.Run.Add(app, line);
    app.add_flag("--no-seed-first", line.NoSeedFirst, "Do not place the first definition's cards before dealing");
    args.LevelGiven =
        app.add_flag("--level", line.Level,
                     "Share boards equally among each seat's alternatives: board k takes alternative ((k-1) mod m)+1");
    app.add_option("--part", line.Parts,
                   "A session without a file: a generator file and its number of boards, dealt after the parts "
                   "before it into one set (give it once per part)")
        ->type_name("GEN:COUNT")
        ->take_all();
    app.add_flag("--mix", line.Mix, "With --part: the parts' boards in a random order, numbered afterwards");
}

// The command line the arguments make, with the options left out unset.
DealCommandLine TakeDealArguments(const DealArguments& args) {
    DealCommandLine line = args.Line;
    args.Setup.Take(line);
    args.Run.Take(line);
    return line;
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

// `deal --part ...`: its parts read, and dealt as a session; the set-up
// options of a single run would be ignored, so they are refused.
int DealParts(const DealArguments& args, const DealCommandLine& line) {
    const bool seats = std::any_of(line.Seats.begin(), line.Seats.end(), [](const auto& s) { return s.has_value(); });
    if (seats || !line.Generator.empty() || *args.BoardsGiven || *args.LevelGiven)
        return UsageError("--part: a session takes its set-ups and counts from its parts' generator files; "
                          "--generator, --north, --south, --east, --west, --boards and --level cannot be given "
                          "with it");
    Session session;
    for (const std::string& argument : line.Parts) {
        SessionPart part;
        std::string error;
        if (!ReadPartArgument(argument, part, &error)) return BadInput(error);
        session.Parts.push_back(std::move(part));
    }
    if (session.TotalBoards() > MaxSessionBoards)
        return UsageError("--part: a session holds at most " + std::to_string(MaxSessionBoards) + " boards");
    return DealSession(std::move(session), line, args.Run.Quiet);
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
                 "      zelvano-deal session FILE.SES [--output DIR --code CODE --secure --dd --dup --dlm --mix]\n"
                 "      zelvano-deal deal --part GEN:COUNT --part GEN:COUNT ... [--mix]   (a session without a file)\n"
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
    if (line.Mix && line.Parts.empty()) return UsageError("--mix: mixing is for a session's parts (--part)");

    // The default folders of an installed program are the user's, made on first use.
    if (line.Definitions == settings.HandDefinitionsFolder || line.Output == settings.HandsFolder) {
        std::string error;
        if (!PrepareWorkFolders(settings, &error)) return BadInput(error);
    }
    if (!line.Parts.empty()) return DealParts(args, line);
    MergedDeal merged = MergeDealOptions(line);
    if (merged.Outcome == MergedDeal::Verdict::Usage) return UsageError(merged.Error);
    if (merged.Outcome == MergedDeal::Verdict::BadInput) return BadInput(merged.Error);
    for (const std::string& warning : merged.Warnings) Say(std::cerr, "warning: " + warning);
    const DealRunOptions& options = merged.Options;
    WarnOfSetup(options);

    MakeFolderSaying(options.OutputFolder);
    // A stopped run keeps the boards dealt so far.
    CatchStopSignals();
    const DealRunResult result = RunTheDeal(options, args.Run.Quiet);

    if (result.Status == DealStatus::Failed) return BadInput(DescribeResult(result, options.Boards));
    if (merged.Condition)
        if (const std::string fault = merged.Condition->Fault(); !fault.empty())
            Say(std::cerr,
                "warning: the condition could not be worked out on some deals, which were passed over: " + fault);
    if (result.Written)
        for (const std::string& note : result.Notes) Say(std::cerr, "warning: " + note);
    if (!args.Run.Quiet && !PrintSummary(result, options)) return ExitBadInput;
    return RunEndedShort(result, options);
}

} // namespace zelv::cli
