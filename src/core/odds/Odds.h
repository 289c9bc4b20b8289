#pragma once
// Exact odds of hand definitions: how many of the 635,013,559,600 hands of
// thirteen cards a definition accepts, how many a seat's alternatives
// accept together, and, for a definition that accepts none, the first
// reason found, in words a teacher can act on. The counts are the engine's
// verdicts (HandCounts), so they agree with what is dealt.
#include "core/dealing/DealEngine.h"
#include "core/dealing/HandCounts.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <string>

namespace zelv {

// The accepted patterns as bits by pattern id (PatternsOfYesList).
std::uint64_t AcceptedPatterns(const HandDefinition& defn);

// A definition that accepts exactly the hands both accept: each limit the
// tighter of the two, the patterns both accept, the must-have cards of both.
HandDefinition IntersectDefinitions(const HandDefinition& a, const HandDefinition& b);

// The hands that meet at least one of `alternatives`, by inclusion and
// exclusion over their intersections. 0 when `stop` is raised first.
std::uint64_t CountAlternatives(std::span<const HandDefinition> alternatives, const std::atomic<bool>* stop = nullptr);

// Why `defn` accepts no hand, as the first plain reason found ("Minimum
// points 30 is above the maximum 10", "no accepted shape has a suit of 5 to
// 7 hearts"); empty when none of the reasons applies. Every reason given is
// a proof: a definition that accepts a hand never gets one.
std::string NoHandReason(const HandDefinition& defn);

struct DefinitionOdds {
    std::uint64_t Hands = 0; // of AllHands
    std::string Reason;      // when Hands is 0: why, never empty
};
DefinitionOdds OddsOfDefinition(const HandDefinition& defn);

// "1 hand in 3,210 (0.031%)", "all but 1 hand in 4.00 (75%)", "every hand",
// "no hand".
std::string HandsText(std::uint64_t hands);
// "3,210", "1.58", "159,000,000": `figures` significant figures, digits grouped.
std::string RoundedText(double value, int figures = 3);
// 1234567 as "1,234,567".
std::string GroupedDigits(std::uint64_t value);

} // namespace zelv
