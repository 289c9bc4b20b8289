#include "core/dealing/RunChecks.h"

#include "core/files/FileUtil.h"
#include "core/formats/DealFiles.h"
#include "core/formats/DlmFile.h"
#include "core/formats/DupFile.h"
#include "core/formats/Pbn.h"
#include "core/odds/SetupOdds.h"

#include <tuple>

namespace zelv {

std::string PbnRangeRefusal(const std::string& fileCode, std::uint64_t firstBoard, std::uint64_t boards) {
    const std::string why = PbnRangeProblem(firstBoard, boards);
    return why.empty() ? why : fileCode + ".PBN cannot be written: " + why;
}

std::vector<std::string> DropMachineFilesOutOfRange(DealRunOptions& options) {
    const auto boards = static_cast<std::uint64_t>(options.Boards < 0 ? 0 : options.Boards);
    std::vector<std::string> notes;
    for (auto [wanted, why, ext] : {std::tuple{&options.WriteDup, DupRangeProblem(options.FirstBoard, boards), ".DUP"},
                                    std::tuple{&options.WriteDlm, DlmRangeProblem(options.FirstBoard, boards), ".DLM"}})
        if (*wanted && !why.empty()) {
            notes.push_back(options.FileCode + ext + " is not written: " + why);
            *wanted = false;
        }
    return notes;
}

std::string RunOptionsProblem(const DealRunOptions& options) {
    if (options.Boards < 0) return "The number of boards must not be negative: " + std::to_string(options.Boards);
    if (options.FirstBoard < 1) return "The first board number must be 1 or more";
    if (options.Seed && options.Secure)
        return "A seed repeats the classic generator's sequence, and the secure source has none to repeat";
    if (const std::string why = FileCodeProblem(options.FileCode); !why.empty()) return "The file code " + why;
    const auto boards = static_cast<std::uint64_t>(options.Boards);
    for (const auto& [wanted, why, ext] :
         {std::tuple{options.WritePbn, PbnRangeProblem(options.FirstBoard, boards), ".PBN"},
          std::tuple{options.WriteDup, DupRangeProblem(options.FirstBoard, boards), ".DUP"},
          std::tuple{options.WriteDlm, DlmRangeProblem(options.FirstBoard, boards), ".DLM"}})
        if (wanted && !why.empty()) return UnableToWrite(JoinPath(options.OutputFolder, options.FileCode + ext), why);
    return {};
}

std::string UndealableSetup(const DealEngine& board, const DealRunOptions& options) {
    const auto boards = static_cast<std::uint64_t>(options.Boards < 0 ? 0 : options.Boards);
    return SetupCannotBeDealt(board, options.Setup, OddsOfSeats(board, options.Setup, false), options.Level, boards);
}

std::string UndealableSetup(const DealRunOptions& options) {
    DealEngine board;
    board.SeedFirst = options.SeedFirst;
    if (!board.LoadSetup(options.Setup, options.DefinitionsFolder, nullptr)) return {};
    return UndealableSetup(board, options);
}

bool CheckRun(const DealRunOptions& options, DealEngine& board, DealRunResult& result) {
    result.Error = RunOptionsProblem(options);
    if (!result.Error.empty()) return false;
    if (!board.LoadSetup(options.Setup, options.DefinitionsFolder, &result.Error, &result.ErrorDetail)) return false;
    // A set-up no board can meet would only spin until stopped.
    result.Error = UndealableSetup(board, options);
    return result.Error.empty();
}

} // namespace zelv
