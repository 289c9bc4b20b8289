// Dealing attempts per second of the secure dealer on the classic
// benchmark's four set-ups; accepted boards are written to real files
// (without PBN), as in a run and as the classic cases do.
#include "engine/Duplimat.h"
#include "engine/HandDefnKeys.h"
#include "engine/uBoard.h"
#include "generation/SecureDeal.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace zelv;

tHandDefn AnyHandDefn() {
    tHandDefn d;
    d.Defined = true;
    d.YesShapes.assign(PatternStrings().begin(), PatternStrings().end());
    for (int i = 0; i < LimitCount; ++i) d.Limit(i) = 0;
    d.MaxPoints = 37;
    d.MaxAK = 12;
    d.MaxAKQ = 24;
    for (int s = 0; s < 4; ++s) {
        d.Limit(SuitLimitIndex(GroupPoints, s, true)) = 10;
        d.Limit(SuitLimitIndex(GroupLength, s, true)) = 13;
        d.Limit(SuitLimitIndex(GroupTop3, s, true)) = 3;
        d.Limit(SuitLimitIndex(GroupTop5, s, true)) = 5;
    }
    return d;
}

enum Case { AllFree, North20Plus, North15To17Flat, NorthSAHKNoSeed };

void SetUp(tBoard& board, Case c) {
    if (c == AllFree) return;
    tHandDefn d = AnyHandDefn();
    board.SeedFirst = c != NorthSAHKNoSeed;
    switch (c) {
    case North20Plus: d.MinPoints = 20; break;
    case North15To17Flat:
        d.MinPoints = 15;
        d.MaxPoints = 17;
        d.YesShapes = {"4333"};
        break;
    case NorthSAHKNoSeed:
        d.MustHave[MakeCard(0, 0)] = true;
        d.MustHave[MakeCard(1, 1)] = true;
        break;
    default: break;
    }
    board.SetConstrained(North, true);
    board.SetSlot(North, 0, d);
}

void BM_SecureDeal(benchmark::State& state) {
    auto dir = std::filesystem::temp_directory_path() / "zelv-secure-bench";
    std::filesystem::create_directories(dir);
    tDealFiles files;
    files.OpenDealFiles(dir.string(), "SECURE", false, nullptr);
    tBoard board;
    board.Output = &files;
    SetUp(board, static_cast<Case>(state.range(0)));
    SecureKey key{};
    tSecureRandom::SystemKey(key, nullptr);
    tSecureRandom random(key);
    tSecureDealer dealer(board, random);
    std::int64_t accepted = 0;
    for (auto _ : state) accepted += dealer.DealBoard() ? 1 : 0;
    files.Abandon();
    state.counters["attempts/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["accepted"] = static_cast<double>(accepted) / static_cast<double>(state.iterations());
}

} // namespace

BENCHMARK(BM_SecureDeal)->Arg(AllFree)->Name("Secure/AllFree");
BENCHMARK(BM_SecureDeal)->Arg(North20Plus)->Name("Secure/North20Plus");
BENCHMARK(BM_SecureDeal)->Arg(North15To17Flat)->Name("Secure/North15to17_4333");
BENCHMARK(BM_SecureDeal)->Arg(NorthSAHKNoSeed)->Name("Secure/NorthSA_HK_Unseeded");
