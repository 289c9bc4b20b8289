// Attempts per second of one DealBoard attempt, on the conditions the
// README reports.
#include "BenchCases.h"
#include "core/dealing/ClassicRandom.h"

#include <benchmark/benchmark.h>

namespace {

using namespace zelv;

void BM_DealBoard(benchmark::State& state) {
    bench::Output out("BENCH");
    DealEngine b;
    bench::Prepare(b, static_cast<bench::Case>(state.range(0)));
    b.Random = ClassicRandom(12345);
    for (auto _ : state) {
        b.DealBoard();
        out.Count(b);
    }
    state.counters["attempts/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["boards/s"] = benchmark::Counter(static_cast<double>(out.Accepted()), benchmark::Counter::kIsRate);
    state.counters["accepted"] = static_cast<double>(out.Accepted()) / static_cast<double>(state.iterations());
}

} // namespace

BENCHMARK(BM_DealBoard)->Arg(zelv::bench::AllFree)->Name("Classic/AllFree");
BENCHMARK(BM_DealBoard)->Arg(zelv::bench::North20)->Name("Classic/North20Plus");
BENCHMARK(BM_DealBoard)->Arg(zelv::bench::North15to17Flat)->Name("Classic/North15to17_4333");
BENCHMARK(BM_DealBoard)->Arg(zelv::bench::NorthAceKingUnseeded)->Name("Classic/NorthSA_HK_Unseeded");
BENCHMARK(BM_DealBoard)->Arg(zelv::bench::North4441_20to22)->Name("Classic/North4441_20to22");
