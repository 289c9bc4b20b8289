// zelvano-deal odds: how many hands each hand definition accepts, and how
// rare a set-up's boards are.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "core/dealing/RunChecks.h"
#include "core/dealing/RunPresenter.h"
#include "core/files/FileUtil.h"
#include "core/odds/SetupOdds.h"
#include "core/settings/Settings.h"
#include "core/setup/GeneratorFile.h"
#include "core/setup/SessionSetup.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace zelv::cli {

namespace {

// The odds of every definition in `folder`; 1 when one cannot be read or
// there is none.
int PrintEveryDefinition(const std::string& folder) {
    const std::vector<std::string> names = ListDefinitionNames(folder);
    // Nothing printed with success would look like a folder that was read.
    if (names.empty()) return BadInput("no hand definitions (.HDS files) in " + folder);
    bool bad = false;
    for (const std::string& name : names) {
        HandDefinition defn;
        std::string error, detail;
        const std::string path = DealEngine::DefinitionPath(folder, name);
        if (!DealEngine::ReadDefinition(path, defn, &error, &detail)) {
            Say(std::cerr, "\"" + name + "\": " + error + " (" + detail + ")");
            bad = true;
            continue;
        }
        for (const std::string& warning : DefinitionWarnings(defn, std::filesystem::path(path).filename()))
            Say(std::cerr, "warning: " + warning);
        std::cout << "\"" << Printable(name) << "\": " << Printable(DefinitionOddsText(OddsOfDefinition(defn))) << "\n";
    }
    std::cout.flush();
    return bad ? ExitBadInput : ExitDone;
}

// Each part's estimate and the session's time; 1 when the session cannot
// be read or a part can never be dealt.
int PrintSessionOdds(const std::string& file, const std::string& definitions) {
    Session session;
    SessionRun run;
    std::string error;
    if (!ReadSessionFile(file, session, &error) || !PrepareSessionRun(session, definitions, run, &error))
        return BadInput(error);
    for (std::size_t index = 0; index < session.Parts.size(); ++index)
        if (const std::string why = UndealableSetup(PartRunOptions(run.Options, index)); !why.empty())
            return BadInput(PartLabel(session, index) + " cannot be dealt: " + why);
    for (const std::string& line : SessionEstimateLines(run, session, 0.3)) std::cout << Printable(line) << "\n";
    std::cout.flush();
    return std::cout ? ExitDone : ExitBadInput;
}

} // namespace

// alternatives together, and an estimate for the whole set-up; without a
// set-up, the odds of every definition in the folder.
int OddsCommand(int argc, char** argv) {
    const Settings& settings = SharedSettings();
    CLI::App app{"Prints how many hands each hand definition accepts, exactly, and how rare a set-up's boards\n"
                 "are: per definition its count and \"1 hand in N\", per seat its alternatives together, and an\n"
                 "estimate for the whole set-up from a short run of the secure dealer. Without a set-up, every\n"
                 "definition in the folder.",
                 "zelvano-deal odds"};
    DealCommandLine line;
    line.Definitions = settings.HandDefinitionsFolder;
    line.Boards = "16";
    SetupOptions setup;
    setup.Add(app, line);
    app.add_option("--definitions", line.Definitions, "Folder of the hand definition files")
        ->type_name("DIR")
        ->capture_default_str();
    app.add_option("--boards", line.Boards, "Boards the time estimate is for")->type_name("N")->capture_default_str();
    app.add_flag("--no-seed-first", line.NoSeedFirst, "Estimate without placing the first definition's cards");
    app.add_flag("--level", line.Level,
                 "As when boards are shared equally: every alternative must accept a hand, and the estimate "
                 "takes the alternatives in turn");
    std::string session;
    CLI::Option* sessionGiven =
        app.add_option("--session", session, "A session file: each part's estimate and the session's time")
            ->type_name("FILE.SES");
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    const bool anySeat = setup.Take(line);
    if (*sessionGiven && (anySeat || !line.Generator.empty()))
        return UsageError("--session: a session takes its set-ups from its parts' generator files");
    if (line.Definitions == settings.HandDefinitionsFolder) {
        std::string error;
        if (!PrepareWorkFolders(settings, &error)) return BadInput(error);
    }
    if (const std::string why = DefinitionsFolderProblem(line.Definitions); !why.empty()) return BadInput(why);

    if (*sessionGiven) return PrintSessionOdds(session, line.Definitions);
    if (!anySeat && line.Generator.empty()) return PrintEveryDefinition(line.Definitions);

    MergedDeal merged = MergeDealOptions(line);
    if (merged.Outcome == MergedDeal::Verdict::Usage) return UsageError(merged.Error);
    if (merged.Outcome == MergedDeal::Verdict::BadInput) return BadInput(merged.Error);
    for (const std::string& warning : merged.Warnings) Say(std::cerr, "warning: " + warning);
    const DealRunOptions& options = merged.Options;
    DealEngine board;
    board.SeedFirst = options.SeedFirst;
    std::string error, detail;
    if (!board.LoadSetup(options.Setup, options.DefinitionsFolder, &error, &detail))
        return BadInput(detail.empty() ? error : error + " (" + detail + ")");
    for (const std::string& warning : SetupWarnings(board, options.Setup, options.DefinitionsFolder))
        Say(std::cerr, "warning: " + warning);
    const std::vector<SeatOdds> counted = OddsOfSeats(board, options.Setup);
    for (const std::string& odds : SeatOddsLines(counted)) std::cout << Printable(odds) << "\n";
    if (const std::string why = SetupCannotBeDealt(board, options.Setup, counted, options.Level,
                                                   static_cast<std::uint64_t>(options.Boards));
        !why.empty()) {
        std::cout.flush();
        return BadInput("the set-up cannot be dealt: " + why);
    }
    const BoardTest condition = options.Condition ? options.Condition() : BoardTest{};
    const SetupEstimate estimate = options.Level ? EstimateLevelled(board, options.Boards, 0.5, nullptr, condition)
                                                 : EstimateSetup(board, 0.5, nullptr, condition);
    std::cout << EstimateLine(estimate, options.Boards, 0, {options.Level, static_cast<bool>(options.Condition)})
              << "\n";
    if (const std::string advice = SecureAdviceLine(estimate, options.Boards, "--secure"); !advice.empty())
        std::cout << advice << "\n";
    std::cout.flush();
    return std::cout ? ExitDone : ExitBadInput;
}

} // namespace zelv::cli
