// zelvano-deal session (and deal --part): deals a session, several set-ups
// with their numbers of boards, into one set numbered straight through.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/RunOutput.h"
#include "core/dealing/RunPresenter.h"
#include "core/files/FileUtil.h"
#include "core/settings/Settings.h"
#include "core/setup/SessionSetup.h"

#include <filesystem>
#include <iostream>

namespace zelv::cli {

namespace {

// The session's own options, with what the command line adds: a flag
// typed turns a file on, --pbn or --no-pbn decides the PBN file,
// --first-board numbers from another board.
void TakeSessionOptions(const SessionOptions& own, DealCommandLine& line) {
    line.Secure = line.Secure || own.Secure;
    if (!line.PbnTyped) line.Pbn = own.Pbn;
    line.PbnAnalysis = line.PbnAnalysis || (own.Analysis && line.Pbn);
    line.Dup = line.Dup || own.Dup;
    line.Dlm = line.Dlm || own.Dlm;
    line.Mix = line.Mix || own.Mix;
    if (!line.FirstBoard) line.FirstBoard = std::to_string(own.FirstBoard);
}

// A warning for each part whose condition could not be worked out on some
// deals (passed over).
void WarnOfConditionFaults(const Session& session, const SessionRun& run) {
    for (std::size_t index = 0; index < run.Conditions.size(); ++index)
        if (run.Conditions[index])
            if (const std::string fault = run.Conditions[index]->Fault(); !fault.empty())
                Say(std::cerr,
                    "warning: " + PartLabel(session, index) +
                        ": the condition could not be worked out on some deals, which were passed over: " + fault);
}

// A session file named without a folder that is not in the current one is
// looked for where the dialog keeps them, the Hand Generators folder.
std::string SessionPath(const std::string& file, const Settings& settings) {
    std::error_code ec;
    if (file.find('/') != std::string::npos || std::filesystem::exists(file, ec)) return file;
    const std::string kept = JoinPath(settings.HandGeneratorsFolder, file);
    return std::filesystem::exists(kept, ec) ? kept : file;
}

std::vector<std::string> PartLabels(const Session& session) {
    std::vector<std::string> labels;
    for (std::size_t index = 0; index < session.Parts.size(); ++index) labels.push_back(PartLabel(session, index));
    return labels;
}

} // namespace

int DealSession(Session session, DealCommandLine line, bool quiet) {
    TakeSessionOptions(session.Options, line);
    line.Boards = std::to_string(session.TotalBoards());
    line.Generator.clear();
    line.Seats = {};
    line.Level = false;
    if (const std::string why = DefinitionsFolderProblem(line.Definitions); !why.empty()) return BadInput(why);
    MergedDeal merged = MergeDealOptions(line);
    if (merged.Outcome == MergedDeal::Verdict::Usage) return UsageError(merged.Error);
    if (merged.Outcome == MergedDeal::Verdict::BadInput) return BadInput(merged.Error);
    for (const std::string& warning : merged.Warnings) Say(std::cerr, "warning: " + warning);
    const DealRunOptions& merges = merged.Options;
    session.Options = {merges.Secure,
                       merges.WritePbn,
                       merges.PbnAnalysis,
                       merges.WriteDup,
                       merges.WriteDlm,
                       line.Mix,
                       static_cast<long long>(merges.FirstBoard)};
    SessionRun run{merges, {}};
    std::string error;
    if (!PrepareSessionRun(session, line.Definitions, run, &error)) return BadInput(error);

    MakeFolderSaying(run.Options.OutputFolder);
    CatchStopSignals();
    const DealRunResult result = RunTheDeal(run.Options, quiet, PartLabels(session));
    if (result.Status == DealStatus::Failed) return BadInput(DescribeResult(result, run.Options.Boards));
    WarnOfConditionFaults(session, run);
    if (result.Written)
        for (const std::string& note : result.Notes) Say(std::cerr, "warning: " + note);
    const std::vector<std::string> parts = SessionPartLines(session, result);
    if (!quiet && !PrintSummary(result, run.Options, parts)) return ExitBadInput;
    return RunEndedShort(result, run.Options, quiet ? parts : std::vector<std::string>{});
}

int SessionCommand(int argc, char** argv) {
    const Settings& settings = SharedSettings();
    CLI::App app{"Deals a session: the parts of a session file (.SES), each a generator file and its number of\n"
                 "boards, into one set numbered straight through from the first board. The session file's\n"
                 "options (PBN, analysis, DUP, DLM, secure source, mixing, first board) hold; the flags below\n"
                 "add to them, and --pbn or --no-pbn decides the PBN file. Exit status: 0 done, 1 bad input, 2 usage, "
                 "3 stopped by --max-attempts,\n"
                 "4 the classic generator's numbers ran out (use --secure), 130 interrupted.",
                 "zelvano-deal session"};
    std::string file;
    DealCommandLine line;
    line.Code = std::string(InitialFileCode);
    line.Definitions = settings.HandDefinitionsFolder;
    line.Output = settings.HandsFolder;
    RunOptions run;
    app.add_option("FILE", file, "The session file (a bare name is also looked for in the Hand Generators folder)")
        ->required();
    run.Add(app, line);
    app.add_flag("--mix", line.Mix, "Put the parts' boards in a random order before they are numbered");
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    run.Take(line);

    if (line.Definitions == settings.HandDefinitionsFolder || line.Output == settings.HandsFolder) {
        std::string error;
        if (!PrepareWorkFolders(settings, &error)) return BadInput(error);
    }
    Session session;
    std::string error;
    if (!ReadSessionFile(SessionPath(file, settings), session, &error)) return BadInput(error);
    return DealSession(std::move(session), std::move(line), run.Quiet);
}

} // namespace zelv::cli
