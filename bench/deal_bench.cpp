// Attempts per second of one DealBoard attempt, on the conditions the
// README reports. Accepted boards are written to real files (without PBN),
// as in a run.
#include "engine/Duplimat.h"
#include "engine/Random.h"
#include "engine/uBoard.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace zelv;

tHandDefn AnyHand() {
    tHandDefn d;
    d.Defined = true;
    d.YesShapes.assign(PatternStrings().begin(), PatternStrings().end());
    for (int i = 0; i < 38; i += 2) d.Limit(i + 1) = 255;
    return d;
}

enum Case { AllFree, North20, North15to17Flat, NorthAceKingUnseeded };

void Prepare(tBoard& b, Case c) {
    tHandDefn d = AnyHand();
    switch (c) {
    case AllFree: return;
    case North20: d.MinPoints = 20; break;
    case North15to17Flat:
        d.MinPoints = 15;
        d.MaxPoints = 17;
        d.YesShapes = {"4333"};
        break;
    case NorthAceKingUnseeded:
        d.MustHave[1] = true;  // SA
        d.MustHave[15] = true; // HK
        b.SeedFirst = false;
        break;
    }
    b.SetConstrained(North, true);
    b.SetSlot(North, 0, d);
}

void BM_DealBoard(benchmark::State& state) {
    const Case c = static_cast<Case>(state.range(0));
    auto dir = std::filesystem::temp_directory_path() / "zelv-bench";
    std::filesystem::create_directories(dir);
    tDealFiles files;
    files.OpenDealFiles(dir.string(), "BENCH", false, nullptr);
    tBoard b;
    b.Output = &files;
    Prepare(b, c);
    RandSeed = 12345;
    std::uint64_t accepted = 0;
    for (auto _ : state) {
        b.DealBoard();
        accepted += b.Accepted;
    }
    benchmark::DoNotOptimize(accepted);
    files.Abandon();
    state.counters["attempts/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["accepted"] = static_cast<double>(accepted) / static_cast<double>(state.iterations());
}

} // namespace

BENCHMARK(BM_DealBoard)->Arg(AllFree)->Name("Classic/AllFree");
BENCHMARK(BM_DealBoard)->Arg(North20)->Name("Classic/North20Plus");
BENCHMARK(BM_DealBoard)->Arg(North15to17Flat)->Name("Classic/North15to17_4333");
BENCHMARK(BM_DealBoard)->Arg(NorthAceKingUnseeded)->Name("Classic/NorthSA_HK_Unseeded");
