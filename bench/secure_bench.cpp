// Dealing attempts per second of the secure dealer on the classic
// benchmark's four set-ups.
#include "BenchCases.h"
#include "generation/SecureDeal.h"

#include <benchmark/benchmark.h>

namespace {

using namespace zelv;

void BM_SecureDeal(benchmark::State& state) {
    bench::Output out("SECURE");
    tBoard board;
    board.Output = out.Files();
    bench::Prepare(board, static_cast<bench::Case>(state.range(0)));
    SecureKey key{};
    tSecureRandom::SystemKey(key, nullptr);
    tSecureRandom random(key);
    tSecureDealer dealer(board, random);
    for (auto _ : state) out.Count(dealer.DealBoard());
    state.counters["attempts/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["accepted"] = static_cast<double>(out.Accepted()) / static_cast<double>(state.iterations());
}

} // namespace

BENCHMARK(BM_SecureDeal)->Arg(zelv::bench::AllFree)->Name("Secure/AllFree");
BENCHMARK(BM_SecureDeal)->Arg(zelv::bench::North20)->Name("Secure/North20Plus");
BENCHMARK(BM_SecureDeal)->Arg(zelv::bench::North15to17Flat)->Name("Secure/North15to17_4333");
BENCHMARK(BM_SecureDeal)->Arg(zelv::bench::NorthAceKingUnseeded)->Name("Secure/NorthSA_HK_Unseeded");
