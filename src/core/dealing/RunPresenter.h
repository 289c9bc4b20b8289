#pragma once
// The words a run and a set-up's odds are shown in, the same from the
// dialog and from the command line: the progress line, the summary of a
// run and how it ended, each seat's odds and the estimate for the set-up.
#include "core/dealing/DealRun.h"
#include "core/odds/SetupOdds.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelv {

// "North: 1NT 10, 2NT 10, 2C 10; South: ..." for the seats of `setup` with
// more than one alternative.
std::string DescribeShares(const DealSetup& setup, const AlternativeShares& shares);

// Why a classic run ended with DealStatus::SequenceSpent.
inline constexpr std::string_view SequenceSpentText =
    "The classic random source has gone through all its numbers; further boards would repeat. Use the secure "
    "source.";

// "N of M boards dealt in A attempts" style summary of a result, with how
// many carry their analysis when it was asked for.
std::string DescribeResult(const DealRunResult& result, std::int64_t requested);
// DescribeResult, then, when the files were written, a line for each game
// written without its par.
std::vector<std::string> RunEndLines(const DealRunResult& result, std::int64_t requested);
// "16 boards, 512 attempts, 0.012 seconds: <board file>", then with
// `level` "Shared equally: <shares>" and, with analysis, "Double-dummy
// analysis: 16 of 16 boards".
std::vector<std::string> RunSummaryLines(const DealRunResult& result, const DealSetup& setup, bool level);

// "10 of 24" while dealing; for a run that analyses its boards, "Dealt 10
// of 24 · analysis follows", then "Dealt 24 of 24 · analysing 7 of 24".
std::string ProgressText(const DealProgress& progress);

// "1,234 hands, 1 hand in 514,000 (0.00019%)", or "no hand: <reason>".
std::string DefinitionOddsText(const DefinitionOdds& odds);
// Every constrained seat in one line, North, East, South, West: "North
// (its alternatives together): 1 hand in 12;  East: ...", or "Every seat
// takes any hand."
std::string SeatOddsLine(const std::vector<SeatOdds>& seats);
// A line for each definition of each constrained seat, and one for a
// seat's alternatives together: North, definition 1 "1NT": <odds>", ...
std::vector<std::string> SeatOddsLines(const std::vector<SeatOdds>& seats);
// "Set-up: about 1 board in 41,000 (±4%); 16 boards in about 0.2 s", and
// what the estimate took in besides the seats: ", alternatives in turn"
// for a levelled run, ", with the condition" for one with a condition.
struct EstimateOf {
    bool InTurn = false;
    bool WithCondition = false;
};
std::string EstimateLine(const SetupEstimate& estimate, std::int64_t boards, double analysisSecondsPerBoard = 0,
                         EstimateOf of = {});
// SecureSourceAdvice with how to ask for the secure source, "--secure":
// "<advice> (--secure).", or "".
std::string SecureAdviceLine(const SetupEstimate& estimate, std::int64_t boards, std::string_view howToAsk);

} // namespace zelv
