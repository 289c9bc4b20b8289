#include "core/dealing/RunPresenter.h"

#include "core/files/FileUtil.h"
#include "core/odds/Odds.h"

#include <cstdio>

namespace zelv {

std::string DescribeShares(const DealSetup& setup, const AlternativeShares& shares) {
    std::string text;
    for (int seat = 0; seat < 4; ++seat) {
        const SeatSetup& s = setup[seat];
        int named = 0;
        for (const std::string& name : s.Names) named += !name.empty();
        if (!s.Constrained || s.Names[0].empty() || named < 2) continue;
        text += (text.empty() ? "" : "; ") + SeatNames[seat] + ":";
        const char* sep = " ";
        for (std::size_t p = 0; p < 5; ++p) {
            if (s.Names[p].empty()) continue;
            text += sep + s.Names[p] + " " + std::to_string(shares[seat][p]);
            sep = ", ";
        }
    }
    return text;
}

std::string DescribeResult(const DealRunResult& result, std::int64_t requested) {
    const std::uint64_t asked = requested < 0 ? 0 : static_cast<std::uint64_t>(requested);
    std::string boards = std::to_string(result.Accepted) + " of " + CountOf(asked, "board", "boards") + " dealt in " +
                         CountOf(result.Attempts, "attempt", "attempts");
    if (result.WithAnalysis && result.Written)
        boards += ", " +
                  (result.Analysed == result.Accepted ? std::string("all")
                   : result.Analysed == 0             ? std::string("none")
                                                      : std::to_string(result.Analysed)) +
                  " with their double-dummy analysis";
    const std::string kept = result.Written ? "." : "; the previous files were kept.";
    switch (result.Status) {
    case DealStatus::Done:
        return boards + kept;
    case DealStatus::Stopped:
        return "Stopped: " + boards + kept;
    case DealStatus::AttemptLimit:
        return "Attempt limit reached: " + boards + kept;
    case DealStatus::SequenceSpent:
        return std::string(SequenceSpentText) + " " + boards + kept;
    case DealStatus::Failed:
        return result.ErrorDetail.empty() ? result.Error : result.Error + " (" + result.ErrorDetail + ")";
    }
    return boards;
}

std::string ProgressText(const DealProgress& progress) {
    const std::uint64_t asked = progress.Requested < 0 ? 0 : static_cast<std::uint64_t>(progress.Requested);
    const std::string dealt = std::to_string(progress.Accepted) + " of " + std::to_string(asked);
    if (!progress.WithAnalysis) return std::to_string(progress.Accepted) + " of " + CountOf(asked, "board", "boards");
    if (!progress.Analysing) return "Dealt " + dealt + " \u00b7 analysis follows";
    return "Dealt " + dealt + " \u00b7 analysing " + std::to_string(progress.Analysed) + " of " +
           std::to_string(progress.Accepted);
}

std::vector<std::string> RunEndLines(const DealRunResult& result, std::int64_t requested) {
    std::vector<std::string> lines{DescribeResult(result, requested)};
    if (result.Written) lines.insert(lines.end(), result.Notes.begin(), result.Notes.end());
    return lines;
}

std::vector<std::string> RunSummaryLines(const DealRunResult& result, const DealSetup& setup, bool level) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", result.Seconds);
    std::vector<std::string> lines{
        CountOf(result.Accepted, "board", "boards") + ", " + CountOf(result.Attempts, "attempt", "attempts") + ", " +
        seconds + " seconds: " + (result.Written ? result.BoardPath : "no file written, the previous files were kept")};
    if (level)
        if (const std::string shares = DescribeShares(setup, result.Shares); !shares.empty())
            lines.push_back("Shared equally: " + shares);
    if (result.WithAnalysis && result.Written)
        lines.push_back("Double-dummy analysis: " + std::to_string(result.Analysed) + " of " +
                        CountOf(result.Accepted, "board", "boards"));
    return lines;
}

std::string DefinitionOddsText(const DefinitionOdds& odds) {
    return odds.Hands ? GroupedDigits(odds.Hands) + (odds.Hands == 1 ? " hand, " : " hands, ") + HandsText(odds.Hands)
                      : "no hand: " + odds.Reason;
}

std::string SeatOddsLine(const std::vector<SeatOdds>& seats) {
    std::string text;
    for (int seat : {North, East, South, West})
        for (const SeatOdds& odds : seats) {
            if (odds.Seat != seat) continue;
            const std::string of = odds.Slots.size() > 1 ? " (its alternatives together)" : "";
            text += (text.empty() ? "" : ";  ") + SeatNames[seat] + of + ": " + HandsText(odds.Hands);
        }
    return text.empty() ? "Every seat takes any hand." : text;
}

std::vector<std::string> SeatOddsLines(const std::vector<SeatOdds>& seats) {
    std::vector<std::string> lines;
    for (const SeatOdds& seat : seats) {
        for (const SlotOdds& slot : seat.Slots)
            lines.push_back(SeatNames[seat.Seat] + ", definition " + std::to_string(slot.Position + 1) + " \"" +
                            slot.Name + "\": " + DefinitionOddsText(slot.Odds));
        if (seat.Slots.size() > 1)
            lines.push_back(
                SeatNames[seat.Seat] + ", any of them: " +
                DefinitionOddsText({seat.Hands, seat.Hands ? "" : "none of its definitions accepts a hand"}));
    }
    if (seats.empty()) lines.push_back("Every seat takes any hand.");
    return lines;
}

std::string EstimateLine(const SetupEstimate& estimate, std::int64_t boards, double analysisSecondsPerBoard,
                         EstimateOf of) {
    return "Set-up: " + EstimateText(estimate, boards, analysisSecondsPerBoard) +
           (of.InTurn ? ", alternatives in turn" : "") + (of.WithCondition ? ", with the condition" : "");
}

std::string SecureAdviceLine(const SetupEstimate& estimate, std::int64_t boards, std::string_view howToAsk) {
    const std::string advice = SecureSourceAdvice(estimate, boards);
    return advice.empty() ? advice : advice + " (" + std::string(howToAsk) + ").";
}

} // namespace zelv
