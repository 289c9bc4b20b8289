#include "core/setup/SessionSetup.h"

#include "core/dealing/RunChecks.h"
#include "core/files/FileUtil.h"
#include "core/odds/SetupOdds.h"

#include <algorithm>

namespace zelv {

namespace {

// The run's part for `part`, its definitions matched against `available`;
// false, with why, for a definition the folder lacks or a condition that is
// not one.
bool MakeRunPart(const SessionPart& part, const std::vector<std::string>& available, const std::string& folder,
                 RunPart& made, std::shared_ptr<const SetupCondition>& condition, std::string& why) {
    std::string missing;
    for (const MissingDefinition& gone : MissingDefinitions(part.Setup, available))
        missing += (missing.empty() ? "" : "; ") + MissingDefinitionText(part.Path, gone, folder);
    if (!missing.empty()) {
        why = missing;
        return false;
    }
    made.Name = part.Name;
    made.Setup = ToDealSetup(part.Setup, available);
    made.Boards = part.Boards;
    made.SeedFirst = part.Setup.Options.SeedFirst;
    made.Level = part.Setup.Level;
    if (!CompileGeneratorCondition(part.Setup, part.Path, condition, &why)) return false;
    if (condition) made.Condition = SetupCondition::Tests(condition);
    return true;
}

// One part sampled: its estimate, or false with why it has none.
bool EstimatePart(const DealRunOptions& part, double seconds, const std::atomic<bool>* stop, SetupEstimate& estimate,
                  std::string& why) {
    DealEngine board;
    board.SeedFirst = part.SeedFirst;
    if (!board.LoadSetup(part.Setup, part.DefinitionsFolder, &why)) return false;
    why = UndealableSetup(board, part);
    if (!why.empty()) return false;
    const BoardTest condition = part.Condition ? part.Condition() : BoardTest{};
    estimate = part.Level ? EstimateLevelled(board, part.Boards, seconds, stop, condition)
                          : EstimateSetup(board, seconds, stop, condition);
    return true;
}

} // namespace

bool CompileGeneratorCondition(const GeneratorSetup& setup, const std::string& file,
                               std::shared_ptr<const SetupCondition>& condition, std::string* error) {
    condition.reset();
    if (setup.Condition.find_first_not_of(" \t\r\n") == std::string::npos) return true;
    ConditionProblem problem;
    condition = SetupCondition::Compile(setup.Condition, &problem);
    if (!condition && error) *error = file + ": the condition (Condition=) " + ConditionProblemText(problem);
    return condition != nullptr;
}

std::vector<std::string> SessionEstimateLines(const SessionRun& run, const Session& session, double secondsPerPart,
                                              double analysisSecondsPerBoard, const std::atomic<bool>* stop) {
    std::vector<std::string> lines;
    double total = 0;
    bool bounded = true, known = true;
    for (std::size_t index = 0; index < run.Options.Parts.size(); ++index) {
        const DealRunOptions part = PartRunOptions(run.Options, index);
        SetupEstimate estimate;
        std::string why;
        const std::string label = PartLabel(session, index) + ": ";
        if (!EstimatePart(part, secondsPerPart, stop, estimate, why) || estimate.Attempts == 0) {
            lines.push_back(label + (why.empty() ? "no estimate" : why));
            known = false;
            continue;
        }
        lines.push_back(label + EstimateText(estimate, part.Boards, analysisSecondsPerBoard));
        bounded = bounded && estimate.Accepted > 0;
        total += (estimate.SecondsPerBoard + analysisSecondsPerBoard) * static_cast<double>(part.Boards);
    }
    const std::string boards = CountOf(static_cast<std::uint64_t>(RunBoards(run.Options)), "board", "boards");
    if (!known) {
        lines.push_back("Session: " + boards + ", no estimate while a part has none");
    } else {
        lines.push_back("Session: " + boards + (bounded ? " in about " : " in more than ") + DurationText(total) +
                        (analysisSecondsPerBoard > 0 ? " with their analysis" : ""));
    }
    return lines;
}

bool PrepareSessionRun(const Session& session, const std::string& definitionsFolder, SessionRun& run,
                       std::string* error) {
    const std::vector<std::string> available = ListDefinitionNames(definitionsFolder);
    std::vector<RunPart> parts(session.Parts.size());
    std::vector<std::shared_ptr<const SetupCondition>> conditions(session.Parts.size());
    for (std::size_t index = 0; index < parts.size(); ++index) {
        std::string why;
        if (!MakeRunPart(session.Parts[index], available, definitionsFolder, parts[index], conditions[index], why)) {
            if (error) *error = PartLabel(session, index) + ": " + why;
            return false;
        }
    }
    DealRunOptions& options = run.Options;
    const SessionOptions& chosen = session.Options;
    options.Parts = std::move(parts);
    options.Boards = RunBoards(options);
    options.DefinitionsFolder = definitionsFolder;
    options.WritePbn = chosen.Pbn;
    options.PbnAnalysis = chosen.Pbn && chosen.Analysis;
    options.WriteDup = chosen.Dup;
    options.WriteDlm = chosen.Dlm;
    options.Secure = chosen.Secure;
    options.Mix = chosen.Mix;
    options.FirstBoard = static_cast<std::uint64_t>(std::max<long long>(chosen.FirstBoard, 1));
    run.Conditions = std::move(conditions);
    return true;
}

std::string PartLabel(const Session& session, std::size_t index) {
    return RunPartLabel(index, index < session.Parts.size() ? session.Parts[index].Name : std::string());
}

std::vector<std::string> SessionPartLines(const Session& session, const DealRunResult& result) {
    std::vector<std::string> lines;
    for (std::size_t index = 0; index < session.Parts.size(); ++index) {
        const SessionPart& part = session.Parts[index];
        const std::uint64_t kept = index < result.PartBoards.size() ? result.PartBoards[index] : 0;
        const auto wanted = static_cast<std::uint64_t>(std::max(part.Boards, 0));
        const std::string counted = std::to_string(kept) + " of " + CountOf(wanted, "board", "boards");
        lines.push_back(PartLabel(session, index) + ": " +
                        (kept == 0        ? "not dealt"
                         : kept >= wanted ? counted + ", whole"
                                          : counted));
    }
    return lines;
}

} // namespace zelv
