// Double-dummy analysis: boards analysed per second through our wrapper
// (tricks and par of every board, as printing and PBN export use it) beside
// the same work done with DDS's own batch calls directly, on the same 200
// random boards in one run. The two are timed in turn, each pass over all
// 200 boards; counters give both rates and their ratio.
#include "core/analysis/DoubleDummy.h"
#include "core/cards/Cards.h"

#include <benchmark/benchmark.h>
#include <dds/dll.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

using namespace zelv;

constexpr std::size_t BoardCount = 200;

std::vector<Board> RandomBoards() {
    std::vector<Board> boards;
    std::mt19937_64 rng(20261208);
    for (std::size_t n = 1; n <= BoardCount; ++n) {
        std::array<int, 52> pack{};
        for (int i = 0; i < 52; ++i) pack[static_cast<std::size_t>(i)] = i + 1;
        std::shuffle(pack.begin(), pack.end(), rng);
        Board b;
        for (int i = 0; i < 52; ++i)
            b.Hands[static_cast<std::size_t>(i / 13)] |=
                CardBit(static_cast<CardCode>(pack[static_cast<std::size_t>(i)]));
        b.Number = n;
        b.Dealer = DealerSeat(n);
        b.Vul = VulnerabilityOf(n);
        boards.push_back(b);
    }
    return boards;
}

int DdsVul(Vulnerability v) {
    return v == Vulnerability::None ? 0 : v == Vulnerability::All ? 1 : v == Vulnerability::NS ? 2 : 3;
}

// What a program calling DDS itself would do: the deals in batches of the
// most CalcAllTables takes with every strain, then each board's par for its
// dealer and vulnerability.
void DirectDds(const std::vector<Board>& boards) {
    auto deals = std::make_unique<ddTableDeals>();
    auto results = std::make_unique<ddTablesRes>();
    auto pars = std::make_unique<allParResults>();
    int filter[DDS_STRAINS] = {0, 0, 0, 0, 0};
    for (std::size_t first = 0; first < boards.size(); first += MaxDdsBatch) {
        const std::size_t count = std::min(MaxDdsBatch, boards.size() - first);
        *deals = ddTableDeals{};
        deals->noOfTables = static_cast<int>(count);
        for (std::size_t i = 0; i < count; ++i)
            for (int seat = 0; seat < 4; ++seat)
                for (int suit = 0; suit < 4; ++suit) {
                    unsigned holding = 0;
                    for (int rank = 0; rank < 13; ++rank)
                        if (boards[first + i].Hands[static_cast<std::size_t>(seat)] & CardBit(MakeCard(suit, rank)))
                            holding |= 1u << (14 - rank);
                    deals->deals[i].cards[ClockwisePos(seat)][suit] = holding;
                }
        if (CalcAllTables(deals.get(), -1, filter, results.get(), pars.get()) != RETURN_NO_FAULT)
            throw std::runtime_error("CalcAllTables failed");
        for (std::size_t i = 0; i < count; ++i) {
            parResultsMaster master{};
            const Board& b = boards[first + i];
            DealerParBin(&results->results[i], &master, ClockwisePos(b.Dealer), DdsVul(b.Vul));
            benchmark::DoNotOptimize(master.score);
        }
    }
}

void Ours(const std::vector<std::optional<Board>>& boards) {
    const AnalysisReport report = AnalyseBoards(boards, "bench");
    if (!report.Problems.empty()) throw std::runtime_error(report.Problems.front());
    benchmark::DoNotOptimize(report.Results.data());
}

void BM_DoubleDummy(benchmark::State& state) {
    const std::vector<Board> boards = RandomBoards();
    const std::vector<std::optional<Board>> given(boards.begin(), boards.end());
    // DDS sets up its threads' memory on first use: not part of either figure.
    DirectDds({boards.begin(), boards.begin() + 4});
    using Clock = std::chrono::steady_clock;
    double direct = 0, ours = 0;
    auto timed = [](auto&& work) {
        const auto t0 = Clock::now();
        work();
        return std::chrono::duration<double>(Clock::now() - t0).count();
    };
    for (auto _ : state) {
        // Direct, ours, ours, direct: whatever else the machine does meanwhile
        // falls on both alike.
        direct += timed([&] { DirectDds(boards); });
        ours += timed([&] { Ours(given); });
        ours += timed([&] { Ours(given); });
        direct += timed([&] { DirectDds(boards); });
    }
    const double analysed = static_cast<double>(state.iterations() * 2 * BoardCount);
    state.counters["direct boards/s"] = analysed / direct;
    state.counters["ours boards/s"] = analysed / ours;
    state.counters["ours/direct"] = direct / ours;
}

} // namespace

// One iteration analyses the 200 boards four times: minutes on two cores.
BENCHMARK(BM_DoubleDummy)->Name("DoubleDummy/200Boards")->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
