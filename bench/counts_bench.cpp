// How long an exact count of the hands a definition accepts takes: the
// tables a secure run builds once, and what a definition's odds would cost.
#include "generation/HandCounts.h"

#include <benchmark/benchmark.h>

namespace {

using namespace zelv;

void BM_CountHands(benchmark::State& state) {
    tHandDefn d = tHandDefn::AcceptingEveryHand();
    if (state.range(0) == 1) {
        d.MinPoints = 20;
        d.MaxPoints = 22;
        d.YesShapes = {"4441"};
    } else if (state.range(0) == 2) {
        d.MinPoints = 12;
        d.MinHLength = 5;
        d.MinTop3H = 2;
        d.MustHave[1] = true; // SA
    }
    for (auto _ : state) benchmark::DoNotOptimize(CountHands(d));
}

} // namespace

BENCHMARK(BM_CountHands)->Arg(0)->Name("CountHands/EveryHand")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountHands)->Arg(1)->Name("CountHands/4441_20to22")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountHands)->Arg(2)->Name("CountHands/12Plus_5Hearts_SA")->Unit(benchmark::kMillisecond);
