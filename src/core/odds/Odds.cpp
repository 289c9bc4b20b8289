#include "core/odds/Odds.h"

#include "core/cards/HandValue.h"
#include "core/dealing/HandCounts.h"
#include "core/definitions/DefinitionKeys.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace zelv {

namespace {

constexpr const char* SuitSingular[4] = {"spade", "heart", "diamond", "club"};

std::string Num(int n) { return std::to_string(n); }
std::string Range(int lo, int hi) { return lo == hi ? Num(lo) : Num(lo) + " to " + Num(hi); }
std::string Plural(int n, const std::string& one, const std::string& many) {
    return Num(n) + " " + (n == 1 ? one : many);
}

// "0 to 3, 5" for the lengths set in a 14-bit mask.
std::string LengthSet(unsigned mask) {
    std::string out;
    for (int l = 0; l <= 13; ++l) {
        if (!((mask >> l) & 1u)) continue;
        int end = l;
        while (end < 13 && ((mask >> (end + 1)) & 1u)) ++end;
        out += (out.empty() ? "" : ", ") + Range(l, end);
        l = end;
    }
    return out;
}

int Lo(const HandDefinition& d, int index) { return d.Limit(index); }
int Hi(const HandDefinition& d, int index) { return d.Limit(index + 1); }

// A limit as a reason gives it: its value, and what the file says when that
// lay outside 0 to 255 ("251 (read from MinPoints=-5)").
std::string Quoted(const HandDefinition& d, int index) {
    for (const auto& [at, text] : d.Notes.Wrapped)
        if (at == index)
            return Num(d.Limit(index)) + " (read from " + std::string(LimitKeys[index].Key) + "=" + text + ")";
    return Num(d.Limit(index));
}
std::string LoText(const HandDefinition& d, int index) { return Quoted(d, index); }
std::string HiText(const HandDefinition& d, int index) { return Quoted(d, index + 1); }

// What a hand's cards of one suit amount to: bits 0..4 are A K Q J T.
struct SuitValue {
    int Length, Points, Top3, Top5;
};
SuitValue ValueOf(unsigned bits) {
    const SuitHonours h = HonoursOfSuit(bits);
    return {std::popcount(bits), h.Points, h.Top3, h.Top5};
}

// The lengths of each suit (bit per length) that some holding passing
// that suit's limits and must-have cards has.
std::array<unsigned, 4> HoldingLengths(const HandDefinition& d) {
    std::array<unsigned, 4> lengths{};
    const CardMask must = d.MustHaveMask();
    for (int s = 0; s < 4; ++s) {
        const unsigned need = SuitBits(must, s);
        for (unsigned bits = 0; bits < 8192; ++bits) {
            if ((bits & need) != need) continue;
            const SuitValue v = ValueOf(bits);
            auto in = [&](LimitGroup g, int x) {
                return x >= Lo(d, SuitLimitIndex(g, s, false)) && x <= Hi(d, SuitLimitIndex(g, s, false));
            };
            if (in(GroupLength, v.Length) && in(GroupPoints, v.Points) && in(GroupTop3, v.Top3) &&
                in(GroupTop5, v.Top5))
                lengths[s] |= 1u << v.Length;
        }
    }
    return lengths;
}

// Why no holding of suit `s` (with its must-have cards) meets the suit's
// limits: the first limit, in the editor's order, that leaves none, and
// those before it that it could not be met together with.
std::string NoHoldingWithMustHaves(const HandDefinition& d, int s, CardMask must) {
    struct Limit {
        LimitGroup G;
        const char* Name;
        int SuitValue::*Value;
        int Most; // of a suit: a maximum above it reads as it
    };
    const Limit limits[4] = {{GroupLength, "length", &SuitValue::Length, 13},
                             {GroupPoints, "points", &SuitValue::Points, 10},
                             {GroupTop3, "top-3 honours", &SuitValue::Top3, 3},
                             {GroupTop5, "top-5 honours", &SuitValue::Top5, 5}};
    const unsigned need = SuitBits(must, s);
    const std::string suit = SuitSingular[s];
    std::string before;
    for (std::size_t n = 0; n < 4; ++n) {
        bool any = false;
        for (unsigned bits = 0; bits < 8192 && !any; ++bits) {
            if ((bits & need) != need) continue;
            const SuitValue v = ValueOf(bits);
            any = std::all_of(limits, limits + n + 1, [&](const Limit& l) {
                const int x = v.*l.Value, at = SuitLimitIndex(l.G, s, false);
                return x >= Lo(d, at) && x <= Hi(d, at);
            });
        }
        const int at = SuitLimitIndex(limits[n].G, s, false);
        const std::string range = Range(Lo(d, at), std::min(Hi(d, at), limits[n].Most));
        if (!any)
            return "no " + suit + " holding" + (need ? " with the must-have cards" : "") + " meets the " + suit + " " +
                   limits[n].Name + " limit " + range + (before.empty() ? "" : " together with its " + before);
        before += (before.empty() ? "" : " and ") + std::string(limits[n].Name) + " " + range;
    }
    return "no " + suit + " holding meets the " + suit + " limits and must-have cards together";
}

// Whether some length tuple, each suit's length in its mask, makes an
// accepted pattern.
bool AnyPatternFits(std::uint64_t patterns, const std::array<unsigned, 4>& lengths) {
    for (int l0 = 0; l0 <= 13; ++l0)
        for (int l1 = 0; l0 + l1 <= 13; ++l1)
            for (int l2 = 0; l0 + l1 + l2 <= 13; ++l2) {
                const int l3 = 13 - l0 - l1 - l2;
                if (!((lengths[0] >> l0) & lengths[1] >> l1 & lengths[2] >> l2 & lengths[3] >> l3 & 1u)) continue;
                if ((patterns >> PatternId(l0, l1, l2)) & 1u) return true;
            }
    return false;
}

unsigned LengthMask(int lo, int hi) {
    unsigned m = 0;
    for (int l = lo; l <= std::min(hi, 13); ++l) m |= 1u << l;
    return m;
}

} // namespace

std::uint64_t AcceptedPatterns(const HandDefinition& defn) { return PatternsOfYesList(defn.YesShapes); }

HandDefinition IntersectDefinitions(const HandDefinition& a, const HandDefinition& b) {
    HandDefinition r;
    r.Defined = true;
    for (int i = 0; i < LimitCount; i += 2) {
        r.Limit(i) = std::max(a.Limit(i), b.Limit(i));
        r.Limit(i + 1) = std::min(a.Limit(i + 1), b.Limit(i + 1));
    }
    for (int c = 1; c <= 52; ++c) r.MustHave[c] = a.MustHave[c] || b.MustHave[c];
    const std::uint64_t both = AcceptedPatterns(a) & AcceptedPatterns(b);
    for (int i = 0; i < PatternCount; ++i)
        if ((both >> i) & 1u) r.YesShapes.push_back(PatternStrings()[static_cast<std::size_t>(i)]);
    return r;
}

std::uint64_t CountAlternatives(std::span<const HandDefinition> alternatives, const std::atomic<bool>* stop) {
    // An empty intersection stays empty however many more join it, so its
    // branch of the sum ends there.
    std::int64_t total = 0;
    const std::size_t n = alternatives.size();
    std::function<void(std::size_t, const HandDefinition*, int)> add = [&](std::size_t from,
                                                                           const HandDefinition* common, int size) {
        for (std::size_t i = from; i < n; ++i) {
            if (stop && stop->load(std::memory_order_relaxed)) return;
            const HandDefinition both = common ? IntersectDefinitions(*common, alternatives[i]) : alternatives[i];
            const auto hands = static_cast<std::int64_t>(CountHands(both));
            if (!hands) continue;
            total += size % 2 == 0 ? hands : -hands;
            add(i + 1, &both, size + 1);
        }
    };
    add(0, nullptr, 0);
    if (stop && stop->load(std::memory_order_relaxed)) return 0;
    return static_cast<std::uint64_t>(total);
}

namespace {

struct Total {
    int Index;
    const char* Name;
    int Most;
};
constexpr Total Totals[3] = {
    {LimMinPoints, "points", 37}, {LimMinAK, "AK controls", 12}, {LimMinAKQ, "AKQ controls", 24}};

std::string PatternsReason(const HandDefinition& d) {
    if (AcceptedPatterns(d)) return {};
    return d.YesShapes.empty() ? "no shape is accepted (the Yes list is empty)"
                               : "no shape is accepted (the Yes list names none of the " + Num(PatternCount) + ")";
}

std::string MustHaveCountReason(const HandDefinition& d) {
    const int must = std::popcount(d.MustHaveMask());
    if (must > 13) return "the must-have cards are " + Num(must) + ", more than the 13 a hand holds";
    return {};
}

std::string TotalLimitsReason(const HandDefinition& d) {
    for (const Total& t : Totals)
        if (Lo(d, t.Index) > Hi(d, t.Index))
            return "Minimum " + std::string(t.Name) + " " + LoText(d, t.Index) + " is above the maximum " +
                   HiText(d, t.Index);
    for (const Total& t : Totals)
        if (Lo(d, t.Index) > t.Most)
            return "Minimum " + std::string(t.Name) + " " + LoText(d, t.Index) + " is above the " + Num(t.Most) +
                   " a hand can have";
    return {};
}

std::string SuitLimitsReason(const HandDefinition& d) {
    struct Group {
        LimitGroup G;
        const char* Name;
        int Most;
        const char* Beyond;
    };
    const Group groups[4] = {{GroupLength, "length", 13, " cards a suit has"},
                             {GroupPoints, "points", 10, " a suit can have"},
                             {GroupTop3, "top-3 honours", 3, " there are"},
                             {GroupTop5, "top-5 honours", 5, " there are"}};
    for (const Group& g : groups)
        for (int s = 0; s < 4; ++s) {
            const int at = SuitLimitIndex(g.G, s, false);
            const std::string name = "Minimum " + std::string(SuitSingular[s]) + " " + g.Name + " ";
            if (Lo(d, at) > Hi(d, at)) return name + LoText(d, at) + " is above the maximum " + HiText(d, at);
            if (Lo(d, at) > g.Most) return name + LoText(d, at) + " is above the " + Num(g.Most) + g.Beyond;
        }
    return {};
}

// What the must-have cards of one suit already hold beyond its maxima.
std::string MustHaveSuitReason(const HandDefinition& d, int s, const SuitValue& v) {
    const std::string suit = SuitSingular[s];
    if (v.Length > Hi(d, SuitLimitIndex(GroupLength, s, false)))
        return "the must-have cards give " + Plural(v.Length, suit, std::string(SuitNames[s])) + ", the " + suit +
               " maximum length is " + HiText(d, SuitLimitIndex(GroupLength, s, false));
    if (v.Points > Hi(d, SuitLimitIndex(GroupPoints, s, false)))
        return "the must-have cards give " + Num(v.Points) + " " + suit + " points, the " + suit + " maximum is " +
               HiText(d, SuitLimitIndex(GroupPoints, s, false));
    if (v.Top3 > Hi(d, SuitLimitIndex(GroupTop3, s, false)))
        return "the must-have cards give " + Num(v.Top3) + " of the top 3 " + suit + " honours, the maximum is " +
               HiText(d, SuitLimitIndex(GroupTop3, s, false));
    if (v.Top5 > Hi(d, SuitLimitIndex(GroupTop5, s, false)))
        return "the must-have cards give " + Num(v.Top5) + " of the top 5 " + suit + " honours, the maximum is " +
               HiText(d, SuitLimitIndex(GroupTop5, s, false));
    return {};
}

// What the must-have cards alone already hold.
std::string MustHaveValueReason(const HandDefinition& d) {
    const CardMask must = d.MustHaveMask();
    for (int s = 0; s < 4; ++s)
        if (std::string why = MustHaveSuitReason(d, s, ValueOf(SuitBits(must, s))); !why.empty()) return why;
    const HandValue v = ValueOfHand(must);
    const int mustTotals[3] = {v.Points, v.AK, v.AKQ};
    for (int i = 0; i < 3; ++i)
        if (mustTotals[i] > Hi(d, Totals[i].Index))
            return "the must-have cards give " + Num(mustTotals[i]) + " " + Totals[i].Name + ", the maximum is " +
                   HiText(d, Totals[i].Index);
    return {};
}

std::string LengthSumReason(const HandDefinition& d) {
    int minLengths = 0, maxLengths = 0;
    for (int s = 0; s < 4; ++s) {
        minLengths += Lo(d, SuitLimitIndex(GroupLength, s, false));
        maxLengths += std::min(13, Hi(d, SuitLimitIndex(GroupLength, s, false)));
    }
    if (minLengths > 13)
        return "the minimum suit lengths add up to " + Num(minLengths) + ", more than the 13 cards of a hand";
    if (maxLengths < 13)
        return "the maximum suit lengths add up to " + Num(maxLengths) + ", fewer than the 13 cards of a hand";
    return {};
}

std::string LengthListText(const std::array<unsigned, 4>& lengths) {
    std::string list;
    for (int s = 0; s < 4; ++s)
        list += (s ? s == 3 ? " and " : ", " : "") + std::string(SuitNames[s]) + " " + LengthSet(lengths[s]);
    return list;
}

std::string LengthRangesReason(const HandDefinition& d) {
    const std::uint64_t patterns = AcceptedPatterns(d);
    std::array<unsigned, 4> ranges{};
    for (int s = 0; s < 4; ++s) {
        const int lo = Lo(d, SuitLimitIndex(GroupLength, s, false)), hi = Hi(d, SuitLimitIndex(GroupLength, s, false));
        ranges[s] = LengthMask(lo, hi);
        std::array<unsigned, 4> alone = {0x3FFFu, 0x3FFFu, 0x3FFFu, 0x3FFFu};
        alone[static_cast<std::size_t>(s)] = ranges[s];
        if (!AnyPatternFits(patterns, alone))
            return "no accepted shape has a suit of " + Range(lo, std::min(hi, 13)) + " " +
                   (lo == hi && lo == 1 ? std::string(SuitSingular[s]) : std::string(SuitNames[s]));
    }
    if (!AnyPatternFits(patterns, ranges))
        return "no accepted shape fits the suit lengths together: " + LengthListText(ranges);
    return {};
}

std::string HoldingsReason(const HandDefinition& d) {
    const std::array<unsigned, 4> holdings = HoldingLengths(d);
    for (int s = 0; s < 4; ++s) {
        if (holdings[s]) continue;
        const int lo = Lo(d, SuitLimitIndex(GroupLength, s, false)),
                  hi = std::min(13, Hi(d, SuitLimitIndex(GroupLength, s, false)));
        const int plo = Lo(d, SuitLimitIndex(GroupPoints, s, false)),
                  phi = Hi(d, SuitLimitIndex(GroupPoints, s, false));
        bool lengthAndPoints = false;
        for (unsigned bits = 0; bits < 8192 && !lengthAndPoints; ++bits) {
            const SuitValue v = ValueOf(bits);
            lengthAndPoints = v.Length >= lo && v.Length <= hi && v.Points >= plo && v.Points <= phi;
        }
        if (!lengthAndPoints)
            return "no " + std::string(SuitSingular[s]) + " holding of " + Range(lo, hi) +
                   (lo == 1 && hi == 1 ? " card" : " cards") + " has " + Range(plo, std::min(phi, 10)) + " points";
        return NoHoldingWithMustHaves(d, s, d.MustHaveMask());
    }
    if (!AnyPatternFits(AcceptedPatterns(d), holdings))
        return "no accepted shape fits the suit lengths the suit limits leave: " + LengthListText(holdings);
    return {};
}

std::string HonourTotalsReason(const HandDefinition& d) {
    auto within = [&](const Total& t, int x) { return x >= Lo(d, t.Index) && x <= Hi(d, t.Index); };
    for (int na = 0; na <= 4; ++na)
        for (int nk = 0; nk <= 4; ++nk)
            for (int nq = 0; nq <= 4; ++nq)
                for (int nj = 0; nj <= 4; ++nj)
                    if (within(Totals[0], HonourPoints(na, nk, nq, nj)) && within(Totals[1], AKControls(na, nk)) &&
                        within(Totals[2], AKQControls(na, nk, nq)))
                        return {};
    auto range = [&](const Total& t) { return Range(Lo(d, t.Index), std::min(Hi(d, t.Index), t.Most)); };
    return "no hand has " + range(Totals[0]) + " points with " + range(Totals[1]) + " AK controls and " +
           range(Totals[2]) + " AKQ controls";
}

std::string SuitPointsReason(const HandDefinition& d) {
    int suitMost = 0, suitLeast = 0;
    for (int s = 0; s < 4; ++s) {
        suitMost += std::min(10, Hi(d, SuitLimitIndex(GroupPoints, s, false)));
        suitLeast += Lo(d, SuitLimitIndex(GroupPoints, s, false));
    }
    if (suitMost < Lo(d, LimMinPoints))
        return "the suit maxima allow at most " + Num(suitMost) + " points, the minimum is " + LoText(d, LimMinPoints);
    if (suitLeast > Hi(d, LimMinPoints))
        return "the suit minima need at least " + Num(suitLeast) + " points, the maximum is " + HiText(d, LimMinPoints);
    return {};
}

} // namespace

std::string NoHandReason(const HandDefinition& d) {
    // The checks in order, each a proof on its own; the first that finds a
    // reason gives it.
    using Check = std::string (*)(const HandDefinition&);
    static constexpr Check Checks[] = {PatternsReason,      MustHaveCountReason, TotalLimitsReason,  SuitLimitsReason,
                                       MustHaveValueReason, LengthSumReason,     LengthRangesReason, HoldingsReason,
                                       HonourTotalsReason,  SuitPointsReason};
    for (Check check : Checks)
        if (std::string why = check(d); !why.empty()) return why;
    return {};
}

DefinitionOdds OddsOfDefinition(const HandDefinition& defn) {
    DefinitionOdds odds;
    odds.Hands = CountHands(defn);
    if (odds.Hands == 0) {
        odds.Reason = NoHandReason(defn);
        if (odds.Reason.empty()) odds.Reason = "no hand meets all its limits together";
    }
    return odds;
}

std::string GroupedDigits(std::uint64_t value) {
    std::string digits = std::to_string(value), out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string RoundedText(double value, int figures) {
    char buf[64];
    if (value >= 1e15) {
        std::snprintf(buf, sizeof buf, "%.*e", figures - 1, value);
        return buf;
    }
    if (value >= std::pow(10.0, figures - 1)) {
        const double scale = std::pow(10.0, std::floor(std::log10(value)) - (figures - 1));
        return GroupedDigits(static_cast<std::uint64_t>(std::llround(value / scale)) *
                             static_cast<std::uint64_t>(std::llround(scale)));
    }
    std::snprintf(buf, sizeof buf, "%.*g", figures, value);
    return buf;
}

std::string HandsText(std::uint64_t hands) {
    if (hands == 0) return "no hand";
    if (hands >= AllHands) return "every hand";
    const double share = static_cast<double>(hands) / static_cast<double>(AllHands);
    const double percent = 100.0 * share;
    // Two significant figures, but never "100%" for a share short of all.
    int decimals = std::max(0, 1 - static_cast<int>(std::floor(std::log10(percent))));
    char buf[64];
    for (;; ++decimals) {
        std::snprintf(buf, sizeof buf, "%.*f", decimals, percent);
        if (std::string(buf).rfind("100", 0) != 0 || decimals > 12) break;
    }
    // Past one half the hands left out say more than the ones let in: "1 hand
    // in 1.00" would read as every hand. Below 100 the figures are kept
    // ("2.50").
    const bool most = 2 * hands > AllHands;
    const double in = 1.0 / (most ? static_cast<double>(AllHands - hands) / static_cast<double>(AllHands) : share);
    char one[32];
    std::snprintf(one, sizeof one, "%#.3g", in);
    return std::string(most ? "all but 1 hand in " : "1 hand in ") + (in < 100 ? std::string(one) : RoundedText(in)) +
           " (" + buf + "%)";
}

} // namespace zelv
