#pragma once
// What a run refuses before any file is touched. The run checks all of it
// itself; the dialog and the command line ask the same questions earlier,
// to say why in their own words before they ask or touch anything, and to
// drop a machine file that cannot number the set rather than refuse the run.
#include "core/dealing/DealRun.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zelv {

// "CODE.PBN cannot be written: <why>" when the PBN file cannot number
// `boards` boards from `firstBoard`, or "".
std::string PbnRangeRefusal(const std::string& fileCode, std::uint64_t firstBoard, std::uint64_t boards);

// Turns off the .DUP and .DLM files of `options` that cannot number its
// boards, and says so: "CODE.DUP is not written: <why>" for each.
std::vector<std::string> DropMachineFilesOutOfRange(DealRunOptions& options);

// Why the run's own options (counts, a seed for the secure source, file
// code, board ranges) cannot be dealt, or "".
std::string RunOptionsProblem(const DealRunOptions& options);

// Why the set-up `board` holds, loaded from options.Setup, cannot be
// dealt: a seat no definition lets have a hand, an alternative of a
// levelled run that never can, or seats that clash. "" when it can.
std::string UndealableSetup(const DealEngine& board, const DealRunOptions& options);
// The same, loading the set-up from options.DefinitionsFolder first; ""
// too when it does not load, which the run reports with where it failed.
std::string UndealableSetup(const DealRunOptions& options);

// Every refusal of a run, in the order the run meets them: its options,
// then its set-up loaded into `board` (whose SeedFirst and generator it
// keeps), then whether that set-up can be dealt. False with the error (and
// where a bad value stands, when known) in `result`.
bool CheckRun(const DealRunOptions& options, DealEngine& board, DealRunResult& result);

} // namespace zelv
