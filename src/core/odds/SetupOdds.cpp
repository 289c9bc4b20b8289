#include "core/odds/SetupOdds.h"

#include "core/dealing/SecureDealer.h"
#include "core/dealing/Turns.h"
#include "core/definitions/DefinitionKeys.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace zelv {

namespace {
std::string SlotLabel(int seat, const SlotOdds& slot) {
    return SeatNames[seat] + "'s definition " + std::to_string(slot.Position + 1) + " \"" + slot.Name + "\"";
}
double Binomial(int n, int k) {
    double r = 1;
    for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
    return r;
}
} // namespace

std::vector<SeatOdds> OddsOfSeats(const DealEngine& board, const DealSetup& setup, bool withUnion,
                                  const std::atomic<bool>* stop) {
    std::vector<SeatOdds> seats;
    for (int seat = 0; seat < 4; ++seat) {
        const std::vector<int> slots = LevelledSlots(board, seat);
        if (slots.empty()) continue;
        SeatOdds& s = seats.emplace_back();
        s.Seat = seat;
        std::vector<HandDefinition> defs;
        for (int p : slots) {
            if (stop && stop->load(std::memory_order_relaxed)) return seats;
            s.Slots.push_back({p, setup[seat].Names[p], OddsOfDefinition(board.Slot(seat, p))});
            defs.push_back(board.Slot(seat, p));
        }
        if (withUnion) s.Hands = defs.size() == 1 ? s.Slots[0].Odds.Hands : CountAlternatives(defs, stop);
    }
    return seats;
}

std::string SetupRefusal(const std::vector<SeatOdds>& seats, bool level) {
    for (const SeatOdds& s : seats) {
        std::vector<const SlotOdds*> none;
        for (const SlotOdds& slot : s.Slots)
            if (slot.Odds.Hands == 0) none.push_back(&slot);
        if (none.empty()) continue;
        if (none.size() == s.Slots.size()) {
            if (none.size() == 1)
                return SlotLabel(s.Seat, *none[0]) + " accepts no hand: " + none[0]->Odds.Reason +
                       ". No board can be dealt.";
            std::string text = SeatNames[s.Seat] + " can be dealt no hand: none of its definitions accepts one";
            for (const SlotOdds* slot : none) text += "; " + SlotLabel(s.Seat, *slot) + ": " + slot->Odds.Reason;
            return text + ".";
        }
        // Shared equally, every alternative has boards of its own to meet.
        if (level)
            return SlotLabel(s.Seat, *none[0]) + " accepts no hand: " + none[0]->Odds.Reason +
                   ". Shared equally, every alternative must be dealt in turn.";
    }
    return {};
}

namespace {
// One seat's definition in a choice of one per seat.
struct Chosen {
    int Seat, Slot;
    const std::string* Name;
    const HandDefinition* Defn;
    CardMask Must;
};

// What a pack holds of what definitions ask for: the minimum at `index` of
// every chosen definition together may not pass `most`.
struct PackLimit {
    int Index, Most;
    std::string What;
};
std::vector<PackLimit> PackLimits() {
    static const char* const suits[4] = {"spades", "hearts", "diamonds", "clubs"};
    std::vector<PackLimit> limits = {
        {LimMinPoints, 40, "points"}, {LimMinAK, 12, "AK controls"}, {LimMinAKQ, 24, "AKQ controls"}};
    for (int s = 0; s < 4; ++s) {
        const std::string suit = suits[s];
        limits.push_back({SuitLimitIndex(GroupLength, s, false), 13, suit});
        limits.push_back({SuitLimitIndex(GroupPoints, s, false), 10, "points in " + suit});
        limits.push_back({SuitLimitIndex(GroupTop3, s, false), 3, "of the top 3 " + suit});
        limits.push_back({SuitLimitIndex(GroupTop5, s, false), 5, "of the top 5 " + suit});
    }
    return limits;
}

std::string ChosenLabel(const Chosen& c) {
    return SeatNames[c.Seat] + "'s definition " + std::to_string(c.Slot + 1) + " \"" + *c.Name + "\"";
}

// Why the chosen definitions cannot all be met by one deal, or "".
std::string ChoiceClash(const std::vector<Chosen>& choice) {
    for (const PackLimit& limit : PackLimits()) {
        int total = 0;
        std::string who, each;
        for (const Chosen& c : choice) {
            const int least = c.Defn->Limit(limit.Index);
            if (!least) continue;
            total += least;
            who += (who.empty() ? "" : " and ") + ChosenLabel(c);
            each += (each.empty() ? "" : " + ") + std::to_string(least);
        }
        if (total > limit.Most)
            return who + " need at least " + std::to_string(total) + " " + limit.What + " together (" + each +
                   "), more than the " + std::to_string(limit.Most) + " of the pack";
    }
    for (std::size_t a = 0; a < choice.size(); ++a)
        for (std::size_t b = a + 1; b < choice.size(); ++b)
            if (const CardMask both = choice[a].Must & choice[b].Must) {
                const auto card = static_cast<CardCode>(std::countr_zero(both) + 1);
                return ChosenLabel(choice[a]) + " and " + ChosenLabel(choice[b]) + " both require " + CardName(card) +
                       ", which only one hand can hold";
            }
    return {};
}
} // namespace

std::string SeatsClash(const DealEngine& board, const DealSetup& setup, const std::vector<SeatOdds>& seats, bool level,
                       std::uint64_t boards) {
    // Seeded, a seat's first definition places its cards whichever it meets.
    auto chosen = [&](const SeatOdds& seat, int slot, bool seeded) {
        const HandDefinition& d = board.Slot(seat.Seat, slot);
        CardMask must = d.MustHaveMask();
        if (seeded) must |= board.Slot(seat.Seat, 0).MustHaveMask();
        return Chosen{seat.Seat, slot, &setup[seat.Seat].Names[slot], &d, must};
    };
    std::vector<Chosen> choice(seats.size());
    if (level) {
        // Board k takes alternative k mod m of each seat, which stands first.
        std::size_t period = 1;
        for (const SeatOdds& seat : seats) period = std::lcm(period, std::max<std::size_t>(1, seat.Slots.size()));
        for (std::uint64_t k = 0; k < std::min<std::uint64_t>(boards, period); ++k) {
            for (std::size_t i = 0; i < seats.size(); ++i)
                choice[i] = chosen(seats[i], seats[i].Slots[k % seats[i].Slots.size()].Position, false);
            if (const std::string why = ChoiceClash(choice); !why.empty())
                return "Board " + std::to_string(k + 1) + ": " + why +
                       ". Shared equally, every board takes its own definitions.";
        }
        return {};
    }
    // Every choice of one accepting definition per seat, until one fits.
    std::vector<std::vector<int>> open(seats.size());
    for (std::size_t i = 0; i < seats.size(); ++i)
        for (const SlotOdds& slot : seats[i].Slots)
            if (slot.Odds.Hands) open[i].push_back(slot.Position);
    std::vector<std::size_t> at(seats.size(), 0);
    std::string first;
    std::size_t choices = 0;
    for (;;) {
        for (std::size_t i = 0; i < seats.size(); ++i) {
            if (open[i].empty()) return {}; // SetupRefusal's to say
            choice[i] = chosen(seats[i], open[i][at[i]], board.SeedFirst);
        }
        const std::string why = ChoiceClash(choice);
        if (why.empty()) return {};
        if (first.empty()) first = why;
        ++choices;
        std::size_t i = 0;
        while (i < seats.size() && ++at[i] == open[i].size()) at[i++] = 0;
        if (i == seats.size()) break;
    }
    if (choices == 1) return first + ". No board can be dealt.";
    return "No board can be dealt: no choice of one definition for each seat fits one pack; for example " + first + ".";
}

std::string SetupCannotBeDealt(const DealEngine& board, const DealSetup& setup, const std::vector<SeatOdds>& seats,
                               bool level, std::uint64_t boards) {
    if (std::string why = SetupRefusal(seats, level); !why.empty()) return why;
    return SeatsClash(board, setup, seats, level, boards);
}

std::vector<std::string> DefinitionsNeverDealt(const std::vector<SeatOdds>& seats) {
    std::vector<std::string> lines;
    for (const SeatOdds& s : seats) {
        bool any = false;
        for (const SlotOdds& slot : s.Slots) any = any || slot.Odds.Hands > 0;
        if (!any) continue;
        for (const SlotOdds& slot : s.Slots)
            if (slot.Odds.Hands == 0)
                lines.push_back(SlotLabel(s.Seat, slot) +
                                " accepts no hand, so it is never dealt: " + slot.Odds.Reason);
    }
    return lines;
}

SetupEstimate EstimateSetup(DealEngine& board, double seconds, const std::atomic<bool>* stop,
                            const BoardTest& condition) {
    SetupEstimate e;
    SecureKey key{};
    if (!SecureRandom::SystemKey(key, nullptr)) return e;
    SecureRandom random(key);
    const auto plan = std::make_shared<const SecurePlan>(board);
    SecureDealer dealer(board, random, plan);
    // A built hand is one of the seat's accepted hands, drawn from their
    // total over its slots; a plain deal finds one that often less.
    double weight = 1.0;
    if (plan->Built >= 0) {
        const auto seat = static_cast<std::size_t>(plan->Built);
        weight = static_cast<double>(plan->SlotCumulative.back()) / Binomial(plan->UnseededCount, plan->Need[seat]);
    }
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::array<CardMask, 4> hands;
    // Enough boards for a few per cent; the time limit rules rare set-ups.
    constexpr std::uint64_t Enough = 2000, Batch = 256;
    while (e.Accepted < Enough) {
        if (stop && stop->load(std::memory_order_relaxed)) break;
        for (std::uint64_t i = 0; i < Batch; ++i)
            e.Accepted += dealer.DealHands(hands) && (!condition || condition(hands.data()));
        e.Attempts += Batch;
        e.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (e.Seconds >= seconds) break;
    }
    if (e.Attempts == 0) return e;
    const double n = static_cast<double>(e.Attempts);
    if (e.Accepted > 0) {
        const double p = static_cast<double>(e.Accepted) / n;
        e.Probability = p * weight;
        e.RelativeError = 1.96 * std::sqrt((1 - p) / static_cast<double>(e.Accepted));
        e.SecondsPerBoard = e.Seconds / static_cast<double>(e.Accepted);
    } else {
        // No board in n attempts: at 95% confidence, fewer than 3 in n pass.
        e.Upper = 3.0 / n * weight;
        e.SecondsPerBoard = e.Seconds / 3.0;
    }
    return e;
}

SetupEstimate EstimateLevelled(DealEngine& board, std::int64_t boards, double seconds, const std::atomic<bool>* stop,
                               const BoardTest& condition) {
    const Turns turns(board);
    const std::size_t phases = static_cast<std::size_t>(
        std::min<std::uint64_t>(boards < 1 ? 1 : static_cast<std::uint64_t>(boards), turns.Period));
    if (turns.Period == 1) return EstimateSetup(board, seconds, stop, condition);
    // Boards come in turn, so a board costs on average the mean of what
    // each turn's board costs: the attempts per board (1 / chance) and the
    // time per board are averaged, the error is the worst turn's.
    SetupEstimate all;
    double inverse = 0, upperInverse = 0;
    bool none = false;
    for (std::size_t k = 0; k < phases; ++k) {
        DealEngine turn = board;
        turns.Apply(turn, board, k);
        const SetupEstimate e = EstimateSetup(turn, seconds / static_cast<double>(phases), stop, condition);
        all.Attempts += e.Attempts;
        all.Accepted += e.Accepted;
        all.Seconds += e.Seconds;
        all.SecondsPerBoard += e.SecondsPerBoard / static_cast<double>(phases);
        all.RelativeError = std::max(all.RelativeError, e.RelativeError);
        if (e.Accepted == 0 && e.Upper <= 0 && e.Attempts > 0) {
            // One turn can never be dealt, so neither can the run.
            all.Accepted = 0;
            all.Upper = 0;
            all.SecondsPerBoard = 0;
            return all;
        }
        if (e.Accepted == 0) {
            none = true;
            upperInverse += e.Upper > 0 ? 1.0 / e.Upper : 0.0;
        } else {
            inverse += 1.0 / e.Probability;
        }
    }
    if (all.Attempts == 0) return all;
    if (none) {
        // A turn that found no board bounds the whole from above.
        all.Accepted = 0;
        all.Upper = static_cast<double>(phases) / (inverse + upperInverse);
    } else {
        all.Probability = static_cast<double>(phases) / inverse;
    }
    return all;
}

std::string DurationText(double seconds) {
    if (seconds < 60) return RoundedText(seconds < 0.01 ? 0.01 : seconds, 2) + " s";
    if (seconds < 3600) return RoundedText(seconds / 60, 2) + " min";
    if (seconds < 48 * 3600) return RoundedText(seconds / 3600, 2) + " h";
    return RoundedText(seconds / 86400, 2) + " days";
}

std::string SecureSourceAdvice(const SetupEstimate& e, std::int64_t boards) {
    constexpr double Advised = 1e6;
    const double n = static_cast<double>(boards < 1 ? 1 : boards);
    // With no board found, the bound gives the fewest attempts it may take.
    const double chance = e.Accepted > 0 ? e.Probability : e.Upper;
    if (e.Attempts == 0 || chance <= 0 || n / chance <= Advised) return {};
    return "The classic source would need " + std::string(e.Accepted > 0 ? "about " : "more than ") +
           RoundedText(n / chance, 2) + " attempts for " + GroupedDigits(static_cast<std::uint64_t>(n)) +
           (n == 1 ? " board" : " boards") + "; use the secure source";
}

std::string EstimateText(const SetupEstimate& e, std::int64_t boards, double analysisSecondsPerBoard) {
    if (e.Attempts == 0) return "no estimate";
    const std::int64_t n = boards < 1 ? 1 : boards;
    const std::string set = std::to_string(n) + (n == 1 ? " board" : " boards");
    const double perBoard = e.SecondsPerBoard + analysisSecondsPerBoard;
    const std::string analysed = analysisSecondsPerBoard <= 0 ? ""
                                 : n == 1                     ? " with its analysis"
                                                              : " with their analysis";
    // A built seat left no hand by the cards placed first: nothing to wait for.
    if (e.Accepted == 0 && e.Upper <= 0) return "no board: the cards placed first leave a seat no hand it accepts";
    if (e.Accepted == 0)
        return "rarer than 1 board in " + RoundedText(1.0 / e.Upper, 2) + "; " + set + " would take more than " +
               DurationText(perBoard * static_cast<double>(n)) + analysed;
    std::string odds = e.Probability >= 1.0 ? "every board" : "about 1 board in " + RoundedText(1.0 / e.Probability, 2);
    // An error below one per cent is a built seat's exact count: nothing to add.
    if (e.Probability < 1.0 && e.RelativeError >= 0.01) {
        char pm[32];
        std::snprintf(pm, sizeof pm, " (±%.0f%%)", std::ceil(100.0 * e.RelativeError));
        odds += pm;
    }
    return odds + "; " + set + " in about " + DurationText(perBoard * static_cast<double>(n)) + analysed;
}

} // namespace zelv
