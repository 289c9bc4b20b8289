// How long an exact count of the hands a definition accepts takes: the
// tables a secure run builds once, and what a definition's odds would cost.
#include "core/dealing/HandCounts.h"
#include "core/odds/Odds.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace zelv;

void BM_CountHands(benchmark::State& state) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
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

// What the editor's live line and the dialog's seat odds cost: one
// definition's odds, and three overlapping alternatives together (seven
// intersections counted).
void BM_DefinitionOdds(benchmark::State& state) {
    HandDefinition d = HandDefinition::AcceptingEveryHand();
    d.MinPoints = 15;
    d.MaxPoints = 17;
    d.YesShapes = {"4333", "4432", "5332"};
    for (auto _ : state) benchmark::DoNotOptimize(OddsOfDefinition(d));
}
void BM_ThreeAlternatives(benchmark::State& state) {
    std::vector<HandDefinition> alternatives(3, HandDefinition::AcceptingEveryHand());
    alternatives[0].MinPoints = 15;
    alternatives[0].YesShapes = {"4333", "4432", "5332"};
    alternatives[1].MinPoints = 20;
    alternatives[2].MinSLength = 5;
    alternatives[2].MinTop3S = 2;
    for (auto _ : state) benchmark::DoNotOptimize(CountAlternatives(alternatives));
}

} // namespace

BENCHMARK(BM_DefinitionOdds)->Name("Odds/OneDefinition")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeAlternatives)->Name("Odds/ThreeAlternatives")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountHands)->Arg(0)->Name("CountHands/EveryHand")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountHands)->Arg(1)->Name("CountHands/4441_20to22")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountHands)->Arg(2)->Name("CountHands/12Plus_5Hearts_SA")->Unit(benchmark::kMillisecond);
