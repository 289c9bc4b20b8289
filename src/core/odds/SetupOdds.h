#pragma once
// The odds of a whole generation set-up: each constrained seat's
// definitions counted exactly, with their union; the refusal of a set-up in
// which a seat can never be dealt a hand, naming seat, definition and
// reason; and an estimate of how rare a board is and how long a set takes,
// from a short run of the secure dealer.
#include "core/dealing/BoardCondition.h"
#include "core/dealing/DealEngine.h"
#include "core/odds/Odds.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace zelv {

struct SlotOdds {
    int Position = 0; // 0..4, the dialog's 1..5
    std::string Name;
    DefinitionOdds Odds;
};

struct SeatOdds {
    int Seat = 0;                // seat index
    std::vector<SlotOdds> Slots; // the defined slots, in order
    std::uint64_t Hands = 0;     // the hands at least one of them accepts
};

// The constrained seats of `board`, whose set-up was loaded from `setup`
// (LoadSetup), North, South, East, West; a seat whose first slot is empty
// takes any hand and is left out. Without `withUnion` only each slot is
// counted (Hands stays 0). Stops early, with what it has, when `stop` is
// raised.
std::vector<SeatOdds> OddsOfSeats(const DealEngine& board, const DealSetup& setup, bool withUnion = true,
                                  const std::atomic<bool>* stop = nullptr);

// Why the set-up cannot be dealt, or "": a seat none of whose definitions
// accepts a hand, or with `level` any definition of a seat that has
// alternatives (each takes its turn), named with seat, slot, name and the
// reason.
std::string SetupRefusal(const std::vector<SeatOdds>& seats, bool level);

// Why no board can meet the set-up although each seat alone can be dealt,
// or "": what the seats' definitions require together is more than one
// pack holds (40 points, 12 AK and 24 AKQ controls, a suit's 13 cards, 10
// points, 3 top-3 and 5 top-5 honours) or a card two seats require. Without
// `level` every choice of one accepting definition per seat must fail so;
// levelled, the definitions any of the first `boards` boards takes in turn
// must not. The cards seeded first count as required of their seat.
std::string SeatsClash(const DealEngine& board, const DealSetup& setup, const std::vector<SeatOdds>& seats, bool level,
                       std::uint64_t boards);
// SetupRefusal, then SeatsClash: why the set-up cannot be dealt, or "".
std::string SetupCannotBeDealt(const DealEngine& board, const DealSetup& setup, const std::vector<SeatOdds>& seats,
                               bool level, std::uint64_t boards);

// The definitions that accept no hand beside others of their seat that do:
// harmless to a run, which never deals them, but seldom what was meant.
// One line each, naming seat, slot, name and reason.
std::vector<std::string> DefinitionsNeverDealt(const std::vector<SeatOdds>& seats);

struct SetupEstimate {
    std::uint64_t Attempts = 0, Accepted = 0;
    double Seconds = 0;       // spent sampling
    double Probability = 0;   // that a random deal (seeded cards placed) meets the set-up
    double Upper = 0;         // with no board found: the 95% upper bound instead
    double RelativeError = 0; // 95% half-width of Probability, relative
    double SecondsPerBoard = 0;
};

// Deals with the secure dealer on this thread for about `seconds` (less
// once enough boards are found) and estimates from it. `board` holds a
// loaded set-up. Attempts whose first seat's hand is built from its exact
// counts are weighed back, so Probability is a plain random deal's. A
// `condition` across seats counts among the checks a board must pass.
SetupEstimate EstimateSetup(DealEngine& board, double seconds, const std::atomic<bool>* stop = nullptr,
                            const BoardTest& condition = {});
// The same for a levelled run of `boards` boards: each set-up of its turns
// sampled in turn, the chance and the time per board averaged over the
// boards of the run.
SetupEstimate EstimateLevelled(DealEngine& board, std::int64_t boards, double seconds,
                               const std::atomic<bool>* stop = nullptr, const BoardTest& condition = {});

// "about 1 board in 41,000 (±4%); 16 boards in about 0.2 s". With the
// seconds each board's analysis takes, the time includes it: "16 boards in
// about 4.2 s with their analysis".
std::string EstimateText(const SetupEstimate& estimate, std::int64_t boards, double analysisSecondsPerBoard = 0);
// When the classic dealer would need more than about a million attempts
// for `boards` boards of the estimated set-up: "The classic source would
// need about 19,000,000 attempts for 1,000 boards; use the secure source".
// Empty otherwise. So many attempts take long, are not uniform enough for
// so rare a board, and come near the end of the classic sequence.
std::string SecureSourceAdvice(const SetupEstimate& estimate, std::int64_t boards);
// "0.2 s", "14 s", "3.5 min", "2.1 h", "5.0 days".
std::string DurationText(double seconds);

} // namespace zelv
