#pragma once
// What `zelvano-deal deal` makes of its options: the values as typed are
// checked and merged (a generator file first, then the seat options over
// it) into the options of one run. No process, no output: the caller prints
// the warnings and the refusal, and runs the result.
#include "core/conditions/SetupCondition.h"
#include "core/dealing/DealRun.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace zelv {

struct DealCommandLine {
    std::string Generator;                       // empty: none
    SeatArray<std::optional<std::string>> Seats; // --north ... as typed
    std::string Boards = "1";
    std::optional<std::string> Seed;
    std::optional<std::string> MaxAttempts;
    std::optional<std::string> Threads;
    std::optional<std::string> FirstBoard;
    std::string Code = "ZELV";
    std::string Definitions, Output;
    bool NoSeedFirst = false, Secure = false, Pbn = true, Dup = false, Dlm = false;
    bool PbnTyped = false;    // --pbn or --no-pbn was given
    bool PbnAnalysis = false; // --dd
    bool Level = false;       // --level; a generator file can also ask for it
    // A session without a file: "GEN:COUNT" each, as typed; and whether
    // its boards are mixed.
    std::vector<std::string> Parts;
    bool Mix = false;
};

struct MergedDeal {
    enum class Verdict { Run, Usage, BadInput };
    Verdict Outcome = Verdict::Run;
    std::string Error; // for Usage and BadInput: what is wrong, naming the option or file
    std::vector<std::string> Warnings;
    DealRunOptions Options;
    // The generator file's condition across seats, whose test is in
    // Options; null without one.
    std::shared_ptr<const SetupCondition> Condition;
};

// Why `folder` cannot serve as the hand definitions folder ("hand
// definitions folder not found: <folder>", or "Unable to open <folder>
// (<reason>)"), or "".
std::string DefinitionsFolderProblem(const std::string& folder);

// Reads the generator file when one is named (and only then touches the
// file system, besides checking that a named definitions folder exists).
// A ".DUP" or ".DLM" file that cannot number the set is dropped, with a
// warning that says so.
MergedDeal MergeDealOptions(const DealCommandLine& line);

} // namespace zelv
