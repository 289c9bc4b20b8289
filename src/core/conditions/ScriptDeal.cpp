#include "core/conditions/ScriptDeal.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace zelv {

namespace {

__extension__ typedef unsigned __int128 U128;

// The seeded stream: wyrand, keyed per block.
class FastRandom {
  public:
    FastRandom(std::uint64_t seed, std::uint64_t block) {
        std::uint64_t z = seed ^ (block * 0x9E3779B97F4A7C15ull);
        for (int i = 0; i < 2; ++i) { // splitmix64 twice: nearby seeds and blocks part at once
            z += 0x9E3779B97F4A7C15ull;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            z ^= z >> 31;
        }
        state_ = z;
    }
    std::uint64_t Next() {
        state_ += 0xa0761d6478bd642full;
        const U128 m = static_cast<U128>(state_) * (state_ ^ 0xe7037ed1a0b428dbull);
        return static_cast<std::uint64_t>(m >> 64) ^ static_cast<std::uint64_t>(m);
    }
    // Uniform in 0..n-1 (Lemire's multiply, with its rejection step).
    unsigned Below(unsigned n) {
        U128 m = static_cast<U128>(Next()) * n;
        if (static_cast<std::uint64_t>(m) < n) {
            const std::uint64_t threshold = (0 - std::uint64_t{n}) % n;
            while (static_cast<std::uint64_t>(m) < threshold) m = static_cast<U128>(Next()) * n;
        }
        return static_cast<unsigned>(m >> 64);
    }

  private:
    std::uint64_t state_;
};

struct SecureRandom {
    SecureStream* stream;
    unsigned Below(unsigned n) { return stream->Below(n); }
};

struct DealPlan {
    Hands Predealt{};
    std::array<int, 4> Need{};
    CardSet Pack = 0; // the cards left to deal
    int PackSize = 0;
    std::vector<SuitCountRule> SuitCounts;
};

DealPlan MakePlan(const Script& script) {
    DealPlan plan;
    plan.Predealt = script.Predealt;
    CardSet all = 0;
    for (std::size_t s = 0; s < 4; ++s) {
        all |= plan.Predealt[s];
        plan.Need[s] = 13 - std::popcount(plan.Predealt[s]);
    }
    plan.Pack = WholePack & ~all;
    plan.PackSize = std::popcount(plan.Pack);
    plan.SuitCounts = script.SuitCounts;
    return plan;
}

// Deals one attempt's hands as the program asks for them: `need` cards
// chosen uniformly from the cards left (Floyd's sampling of positions,
// scattered over the pack), the last hand the cards that remain.
template <class Random> struct LazyDeal {
    const DealPlan* Plan;
    Random* Rng;
    CardSet Pack = 0;
    int Left = 0;

    void Reset() {
        Pack = Plan->Pack;
        Left = Plan->PackSize;
    }
    static void DealSeat(void* self, int seat, DealState& deal) {
        auto& me = *static_cast<LazyDeal*>(self);
        const int need = me.Plan->Need[static_cast<std::size_t>(seat)];
        CardSet cards = me.Pack;
        if (std::popcount(deal.Dealt) < 3) {
            std::uint64_t chosen = 0;
            for (int j = me.Left - need; j < me.Left; ++j) {
                const std::uint64_t pick = std::uint64_t{1} << me.Rng->Below(static_cast<unsigned>(j + 1));
                chosen |= (chosen & pick) ? std::uint64_t{1} << j : pick;
            }
            cards = PickFromPack(chosen, me.Pack);
        }
        me.Pack &= ~cards;
        me.Left -= need;
        deal.Cards[static_cast<std::size_t>(seat)] = me.Plan->Predealt[static_cast<std::size_t>(seat)] | cards;
        deal.Dealt |= 1u << seat;
    }
};

bool SuitCountsHold(const DealPlan& plan, DealState& deal) {
    for (const SuitCountRule& r : plan.SuitCounts)
        if (HoldingLength(Holding(deal.Hand(r.Seat), r.Suit)) != r.Count) return false;
    return true;
}

struct KeptDeal {
    Hands Cards;
    std::uint32_t Attempt; // within its block
};

struct Block {
    std::uint32_t Attempts = 0; // made before the block ended (all, or up to a fault)
    std::vector<KeptDeal> Kept;
    bool Cancelled = false;
    std::string Error;
    SourcePos ErrorPos;
};

template <class Random>
void DealBlock(const Program& program, const DealPlan& plan, Random& rng, DealState& deal, std::uint32_t attempts,
               Block& out, const std::atomic<bool>& stop) {
    LazyDeal<Random> lazy{&plan, &rng};
    deal.Source = &lazy;
    deal.DealSeat = &LazyDeal<Random>::DealSeat;
    const int condition = program.Source().Condition;
    for (std::uint32_t a = 0; a < attempts; ++a) {
        if ((a & 255u) == 0 && stop.load(std::memory_order_relaxed)) {
            out.Cancelled = true;
            return;
        }
        deal.Clear();
        lazy.Reset();
        deal.Error.clear();
        const bool kept = SuitCountsHold(plan, deal) && (condition < 0 || program.True(condition, deal));
        if (!deal.Error.empty()) {
            out.Error = deal.Error;
            out.ErrorPos = deal.ErrorPos;
            out.Attempts = a + 1;
            return;
        }
        if (!kept) continue;
        for (int seat = 0; seat < 4; ++seat) deal.Hand(seat);
        out.Kept.push_back({deal.Cards, a});
    }
    out.Attempts = attempts;
}

// Blocks dealt by the workers, handed to the writer in order.
class BlockQueue {
  public:
    BlockQueue(std::uint64_t blocks, std::uint64_t window) : blocks_(blocks), window_(window) {}

    // The next block to deal, or none when the run is over.
    std::optional<std::uint64_t> Claim() {
        std::unique_lock<std::mutex> lock(m_);
        cv_.wait(lock, [&] { return finished_ || next_ >= blocks_ || next_ < taken_ + window_; });
        if (finished_ || next_ >= blocks_) return std::nullopt;
        return next_++;
    }
    void Deliver(std::uint64_t index, Block&& block) {
        const std::lock_guard<std::mutex> lock(m_);
        done_.emplace(index, std::move(block));
        cv_.notify_all();
    }
    // Waits for block `index`; none when `interrupt` is raised meanwhile.
    std::optional<Block> Take(std::uint64_t index, const std::atomic<bool>* interrupt) {
        std::unique_lock<std::mutex> lock(m_);
        for (;;) {
            if (const auto it = done_.find(index); it != done_.end()) {
                Block b = std::move(it->second);
                done_.erase(it);
                taken_ = index + 1;
                cv_.notify_all();
                return b;
            }
            if (finished_ || (interrupt && interrupt->load())) return std::nullopt;
            cv_.wait_for(lock, std::chrono::milliseconds(100));
        }
    }
    void Finish() {
        const std::lock_guard<std::mutex> lock(m_);
        finished_ = true;
        cv_.notify_all();
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    std::map<std::uint64_t, Block> done_;
    std::uint64_t blocks_, window_, next_ = 0, taken_ = 0;
    bool finished_ = false;
};

struct RunShape {
    std::uint64_t BlockSize = 1024;
    std::uint64_t Blocks = 0;
    std::uint64_t Generate = 0;
    std::uint32_t AttemptsOf(std::uint64_t b) const {
        return static_cast<std::uint32_t>(std::min(BlockSize, Generate - b * BlockSize));
    }
};

void Worker(const Program& program, const DealPlan& plan, const ScriptDealOptions& options, const RunShape& shape,
            BlockQueue& queue, const std::atomic<bool>& stop, std::string& openError) {
    DealState deal;
    program.Prepare(deal);
    std::unique_ptr<SecureStream> stream;
    if (options.Secure && !(stream = SecureStream::Open(&openError))) return queue.Finish();
    SecureRandom secure{stream.get()};
    while (const std::optional<std::uint64_t> b = queue.Claim()) {
        Block block;
        if (options.Secure) {
            DealBlock(program, plan, secure, deal, shape.AttemptsOf(*b), block, stop);
        } else {
            FastRandom rng(options.Seed, *b);
            DealBlock(program, plan, rng, deal, shape.AttemptsOf(*b), block, stop);
        }
        queue.Deliver(*b, std::move(block));
    }
}

// Takes the blocks in order; true when the run should go on.
bool TakeBlock(const Block& block, std::uint64_t start, const ScriptDealOptions& options, const DealSink& sink,
               ScriptDealResult& result) {
    for (const KeptDeal& kept : block.Kept) {
        result.Generated = start + kept.Attempt + 1;
        ++result.Produced;
        if (!sink(kept.Cards, result.Generated) || result.Produced >= options.Produce) return false;
    }
    result.Generated = start + block.Attempts;
    if (!block.Error.empty()) {
        result.Error = block.Error;
        result.ErrorPos = block.ErrorPos;
        return false;
    }
    return true;
}

ScriptDealResult RunBlocks(const Program& program, const ScriptDealOptions& options, const DealSink& sink,
                           const std::atomic<bool>* interrupt) {
    ScriptDealResult result;
    const DealPlan plan = MakePlan(program.Source());
    RunShape shape;
    shape.BlockSize = program.UsesTricks() ? 1 : 1024;
    shape.Generate = options.Generate;
    shape.Blocks = (options.Generate + shape.BlockSize - 1) / shape.BlockSize;
    const int threads = std::max(1, options.Threads);
    BlockQueue queue(shape.Blocks, static_cast<std::uint64_t>(threads) * 4 + 4);
    std::atomic<bool> stop{false};
    std::vector<std::string> openErrors(static_cast<std::size_t>(threads));
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back(Worker, std::cref(program), std::cref(plan), std::cref(options), std::cref(shape),
                             std::ref(queue), std::cref(stop), std::ref(openErrors[static_cast<std::size_t>(t)]));
    for (std::uint64_t b = 0; b < shape.Blocks && options.Produce > 0; ++b) {
        std::optional<Block> block = queue.Take(b, interrupt);
        if (!block || block->Cancelled) {
            result.Interrupted = true;
            break;
        }
        if (!TakeBlock(*block, b * shape.BlockSize, options, sink, result)) break;
    }
    stop.store(true);
    queue.Finish();
    for (std::thread& w : workers) w.join();
    for (const std::string& e : openErrors)
        if (!e.empty()) result.Error = e;
    return result;
}

} // namespace

std::string PredealProblem(const Script& script, SourcePos* where) {
    static const char* const seats[] = {"north", "east", "south", "west"};
    static const char* const suits[] = {"spades", "hearts", "diamonds", "clubs"};
    std::array<int, 4> suitTotal{}, seatsGiven{};
    for (const SuitCountRule& r : script.SuitCounts) {
        if (where) *where = r.Pos;
        const int predealt = HoldingLength(Holding(script.Predealt[static_cast<std::size_t>(r.Seat)], r.Suit));
        if (predealt > r.Count)
            return std::string(seats[r.Seat]) + " is predealt " + std::to_string(predealt) + " " + suits[r.Suit] +
                   ", more than " + std::to_string(r.Count);
        suitTotal[static_cast<std::size_t>(r.Suit)] += r.Count;
        ++seatsGiven[static_cast<std::size_t>(r.Suit)];
        int others = 0; // the suit's cards predealt to seats without a count
        for (int s = 0; s < 4; ++s)
            if (std::none_of(script.SuitCounts.begin(), script.SuitCounts.end(),
                             [&](const SuitCountRule& o) { return o.Seat == s && o.Suit == r.Suit; }))
                others += HoldingLength(Holding(script.Predealt[static_cast<std::size_t>(s)], r.Suit));
        const int total = suitTotal[static_cast<std::size_t>(r.Suit)] + others;
        if (total > 13 || (seatsGiven[static_cast<std::size_t>(r.Suit)] == 4 && total != 13))
            return std::string("the predealt counts of ") + suits[r.Suit] +
                   " cannot add up to the 13 cards of the suit";
    }
    for (std::size_t s = 0; s < 4; ++s) {
        int counted = 0, other = 0;
        for (int suit = 0; suit < 4; ++suit) {
            const auto rule =
                std::find_if(script.SuitCounts.begin(), script.SuitCounts.end(),
                             [&](const SuitCountRule& r) { return r.Seat == static_cast<int>(s) && r.Suit == suit; });
            if (rule != script.SuitCounts.end())
                counted += rule->Count;
            else
                other += HoldingLength(Holding(script.Predealt[s], suit));
        }
        if (counted + other > 13) return std::string(seats[s]) + " would hold more than 13 cards";
    }
    return {};
}

} // namespace zelv

namespace zelv {

ScriptDealResult DealScript(const Program& program, const ScriptDealOptions& options, const DealSink& sink,
                            const std::atomic<bool>* interrupt) {
    if (options.Generate == 0 || options.Produce == 0) return {};
    return RunBlocks(program, options, sink, interrupt);
}

} // namespace zelv
