// Dealing attempts per second of the secure dealer on the classic
// benchmark's four set-ups.
#include "BenchCases.h"
#include "core/dealing/SecureDealer.h"

#include <benchmark/benchmark.h>

namespace {

using namespace zelv;

void BM_SecureDeal(benchmark::State& state) {
    bench::Output out("SECURE");
    DealEngine board;
    bench::Prepare(board, static_cast<bench::Case>(state.range(0)));
    SecureKey key{};
    SecureRandom::SystemKey(key, nullptr);
    SecureRandom random(key);
    SecureDealer dealer(board, random, static_cast<Construction>(state.range(1)));
    for (auto _ : state) {
        dealer.DealBoard();
        out.Count(board);
    }
    state.counters["attempts/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["boards/s"] = benchmark::Counter(static_cast<double>(out.Accepted()), benchmark::Counter::kIsRate);
    state.counters["accepted"] = static_cast<double>(out.Accepted()) / static_cast<double>(state.iterations());
}

} // namespace

// Secure/...: as a run deals; SecureDealt/...: every seat dealt and tested.
constexpr int Auto = static_cast<int>(zelv::Construction::Automatic),
              Dealt = static_cast<int>(zelv::Construction::Never);
BENCHMARK(BM_SecureDeal)->Args({zelv::bench::AllFree, Auto})->Name("Secure/AllFree");
BENCHMARK(BM_SecureDeal)->Args({zelv::bench::North20, Auto})->Name("Secure/North20Plus");
BENCHMARK(BM_SecureDeal)->Args({zelv::bench::North15to17Flat, Auto})->Name("Secure/North15to17_4333");
BENCHMARK(BM_SecureDeal)->Args({zelv::bench::NorthAceKingUnseeded, Auto})->Name("Secure/NorthSA_HK_Unseeded");
BENCHMARK(BM_SecureDeal)->Args({zelv::bench::North4441_20to22, Auto})->Name("Secure/North4441_20to22");
BENCHMARK(BM_SecureDeal)->Args({zelv::bench::North20, Dealt})->Name("SecureDealt/North20Plus");
BENCHMARK(BM_SecureDeal)->Args({zelv::bench::North15to17Flat, Dealt})->Name("SecureDealt/North15to17_4333");
BENCHMARK(BM_SecureDeal)->Args({zelv::bench::NorthAceKingUnseeded, Dealt})->Name("SecureDealt/NorthSA_HK_Unseeded");
BENCHMARK(BM_SecureDeal)->Args({zelv::bench::North4441_20to22, Dealt})->Name("SecureDealt/North4441_20to22");
