#include "core/dealing/DealRun.h"

#include "core/analysis/PbnAnalysis.h"
#include "core/dealing/SecureDealer.h"
#include "core/files/FileUtil.h"
#include "core/formats/DealFiles.h"
#include "core/formats/DlmFile.h"
#include "core/formats/DupFile.h"
#include "core/formats/Pbn.h"
#include "core/odds/SetupOdds.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

namespace zelv {

namespace {

using Hands = std::array<CardMask, 4>;

// An accepted board with its two records, made by the thread that found it
// so that the writer only copies them out.
struct Found {
    Hands Cards;
    char Records[2 * RecordSize]; // .BRI, then .DGE
};
void MakeRecords(const Hands& hands, std::string& scratch, Found& found) {
    found.Cards = hands;
    scratch.clear();
    AppendBriRecord(scratch, hands.data());
    AppendBoardRecord(scratch, hands.data());
    std::memcpy(found.Records, scratch.data(), sizeof found.Records);
}

// A secure run on several threads. Each deals attempts in chunks taken from
// the run's allowance; the helpers hand their boards over, and the calling
// thread writes them in the order they arrive, dealing too (its own boards
// included) whenever none is waiting, until the run has its boards, is
// stopped or the allowance is spent.
void DealSecure(const DealRunOptions& options, DealEngine& board, DealFiles& files, const std::vector<SecureKey>& keys,
                const std::shared_ptr<const SecurePlan>& plan, const std::atomic<bool>* stop, DealRunResult& result,
                const std::function<void()>& report) {
    constexpr std::uint64_t Chunk = 1024, WriterChunk = 128;
    constexpr std::size_t MaxWaiting = 1 << 16;
    const std::uint64_t wanted = static_cast<std::uint64_t>(options.Boards);
    const std::size_t helpers = keys.size() - 1;
    // Apart, so that a thread counting its attempts does not slow one
    // reading the halt flag.
    alignas(64) std::atomic<bool> halt{false};
    alignas(64) std::atomic<std::uint64_t> taken{0};
    alignas(64) std::atomic<std::uint64_t> attempts{0};
    alignas(64) std::atomic<std::size_t> finished{0};
    // Boards handed over so far: once they are enough, helpers stop dealing
    // rather than take the cores from a writer that analyses its boards.
    alignas(64) std::atomic<std::uint64_t> handedTotal{0};
    std::mutex lock;
    std::vector<Found> handed;
    // Up to `chunk` attempts from the allowance; 0 once it is spent.
    auto take = [&](std::uint64_t chunk) -> std::uint64_t {
        if (!options.MaxAttempts) return chunk;
        const std::uint64_t before = taken.fetch_add(chunk, std::memory_order_relaxed);
        return before >= options.MaxAttempts ? 0 : std::min(chunk, options.MaxAttempts - before);
    };

    auto helper = [&](std::size_t index) {
        DealEngine own = board; // the set-up, compiled; nothing shared but the plan
        own.Output = nullptr;
        SecureRandom random(keys[index]);
        SecureDealer dealer(own, random, plan);
        std::vector<Found> found;
        std::string scratch;
        Hands hands;
        while (!halt.load(std::memory_order_relaxed) && handedTotal.load(std::memory_order_relaxed) < wanted) {
            const std::uint64_t n = take(Chunk);
            if (!n) break;
            std::uint64_t done = 0;
            for (; done < n && !halt.load(std::memory_order_relaxed); ++done)
                if (dealer.DealHands(hands)) MakeRecords(hands, scratch, found.emplace_back());
            attempts.fetch_add(done, std::memory_order_relaxed);
            if (found.empty()) continue;
            bool crowded;
            {
                std::lock_guard<std::mutex> hold(lock);
                handed.insert(handed.end(), found.begin(), found.end());
                crowded = handed.size() > MaxWaiting;
            }
            handedTotal.fetch_add(found.size(), std::memory_order_relaxed);
            found.clear();
            // A writer that cannot keep up is not buried in boards it will never need.
            if (crowded) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        finished.fetch_add(1, std::memory_order_release);
    };
    std::vector<std::thread> pool;
    for (std::size_t i = 1; i <= helpers; ++i) pool.emplace_back(helper, i);

    SecureRandom random(keys[0]);
    SecureDealer dealer(board, random, plan);
    std::vector<Found> arrived;
    Hands hands;
    Found own;
    std::string scratch;
    DisplayTable display;
    auto full = [&] { return result.Accepted >= wanted || files.Failed(); };
    auto accept = [&](const Found& f) {
        if (files.WritesPbn()) RenderHands(f.Cards.data(), display);
        files.WriteRecords(f.Cards.data(), f.Records, f.Records + RecordSize, &display);
        ++result.Accepted;
    };
    auto stopped = [stop] { return stop && stop->load(std::memory_order_relaxed); };
    auto lastReport = std::chrono::steady_clock::now();
    auto reportNow = [&] {
        result.Attempts = attempts.load(std::memory_order_relaxed);
        const auto now = std::chrono::steady_clock::now();
        if (now - lastReport >= std::chrono::milliseconds(100)) {
            lastReport = now;
            report();
        }
    };
    while (!full()) {
        if (stopped()) {
            result.Status = DealStatus::Stopped;
            break;
        }
        {
            std::lock_guard<std::mutex> hold(lock);
            arrived.swap(handed);
        }
        // A batch may hold many thousands of boards: the figures shown keep
        // up with the writer, so that a Stop keeps about what the bar said.
        for (const Found& f : arrived) {
            if (full() || stopped()) break;
            accept(f);
            if ((result.Accepted & 255) == 0) reportNow();
        }
        if (full()) break;
        if (!arrived.empty()) {
            // Writing comes first, so that no helper waits on it; this
            // thread deals only while nothing is waiting to be written.
            arrived.clear();
            reportNow();
            continue;
        }
        const std::uint64_t n = take(WriterChunk);
        if (!n) {
            // The allowance is spent: wait for the helpers' last boards.
            if (finished.load(std::memory_order_acquire) == helpers) {
                std::lock_guard<std::mutex> hold(lock);
                if (handed.empty()) {
                    result.Status = DealStatus::AttemptLimit;
                    break;
                }
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            continue;
        }
        std::uint64_t done = 0;
        while (done < n && !full()) {
            ++done;
            if (!dealer.DealHands(hands)) continue;
            MakeRecords(hands, scratch, own);
            accept(own);
        }
        attempts.fetch_add(done, std::memory_order_relaxed);
        reportNow();
    }
    halt.store(true);
    for (std::thread& t : pool) t.join();
    result.Attempts = attempts.load();
}

// A levelled run's turns, and how many boards each alternative got.
struct Levels : Turns {
    Levels(const DealEngine& board, bool level) : Turns(level ? board : DealEngine{}) {}
    void Count(AlternativeShares& shares, std::uint64_t index) const {
        for (int seat = 0; seat < 4; ++seat)
            if (!Slots[seat].empty()) ++shares[seat][Slots[seat][index % Slots[seat].size()]];
    }
};

// A levelled secure run. Board k must meet its own turn, so each thread
// claims the next board number and deals for it until it has a board; the
// calling thread writes the boards in their numbers' order as they come
// in. Every set-up of the turns is planned once for all threads. A run cut
// short keeps the boards up to the first one not yet found.
void DealSecureLevelled(const DealRunOptions& options, const DealEngine& base, const Levels& levels, DealFiles& files,
                        const std::vector<SecureKey>& keys, const std::atomic<bool>* stop, DealRunResult& result,
                        const std::function<void()>& report) {
    // A thread whose boards are all claimed leaves, and with it what it
    // took of the attempt limit; so under a limit attempts are taken one by
    // one, and the run stops after exactly that many.
    const std::uint64_t Chunk = options.MaxAttempts ? 1 : 256;
    const std::uint64_t wanted = static_cast<std::uint64_t>(options.Boards);
    const std::size_t phases = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, levels.Period));
    std::vector<DealEngine> turns(phases, base);
    std::vector<std::shared_ptr<const SecurePlan>> plans;
    for (std::size_t k = 0; k < phases; ++k) {
        turns[k].Output = nullptr;
        levels.Apply(turns[k], base, k);
        plans.push_back(std::make_shared<const SecurePlan>(turns[k]));
    }
    alignas(64) std::atomic<bool> halt{false};
    alignas(64) std::atomic<std::uint64_t> claimed{0};
    alignas(64) std::atomic<std::uint64_t> taken{0};
    alignas(64) std::atomic<std::uint64_t> attempts{0};
    alignas(64) std::atomic<std::size_t> finished{0};
    std::mutex lock;
    std::map<std::uint64_t, Found> waiting; // by board index
    auto take = [&](std::uint64_t chunk) -> std::uint64_t {
        if (!options.MaxAttempts) return chunk;
        const std::uint64_t before = taken.fetch_add(chunk, std::memory_order_relaxed);
        return before >= options.MaxAttempts ? 0 : std::min(chunk, options.MaxAttempts - before);
    };
    auto helper = [&](std::size_t index) {
        std::vector<DealEngine> own = turns;
        SecureRandom random(keys[index]);
        std::vector<std::unique_ptr<SecureDealer>> dealers;
        for (std::size_t k = 0; k < phases; ++k)
            dealers.push_back(std::make_unique<SecureDealer>(own[k], random, plans[k]));
        std::string scratch;
        std::array<CardMask, 4> hands;
        std::uint64_t allowance = 0, done = 0;
        bool spent = false;
        while (!spent && !halt.load(std::memory_order_relaxed)) {
            const std::uint64_t k = claimed.fetch_add(1, std::memory_order_relaxed);
            if (k >= wanted) break;
            SecureDealer& dealer = *dealers[k % phases];
            while (!halt.load(std::memory_order_relaxed)) {
                if (!allowance) {
                    attempts.fetch_add(done, std::memory_order_relaxed);
                    done = 0;
                    allowance = take(Chunk);
                    if (!allowance) {
                        spent = true;
                        break;
                    }
                }
                --allowance;
                ++done;
                if (dealer.DealHands(hands)) {
                    Found found;
                    MakeRecords(hands, scratch, found);
                    std::lock_guard<std::mutex> hold(lock);
                    waiting.emplace(k, found);
                    break;
                }
            }
        }
        attempts.fetch_add(done, std::memory_order_relaxed);
        finished.fetch_add(1, std::memory_order_release);
    };
    std::vector<std::thread> pool;
    for (std::size_t i = 0; i < keys.size(); ++i) pool.emplace_back(helper, i);

    DisplayTable display;
    auto lastReport = std::chrono::steady_clock::now();
    while (result.Accepted < wanted && !files.Failed()) {
        if (stop && stop->load(std::memory_order_relaxed)) {
            result.Status = DealStatus::Stopped;
            break;
        }
        const bool allDone = finished.load(std::memory_order_acquire) == keys.size();
        std::vector<Found> ready;
        {
            std::lock_guard<std::mutex> hold(lock);
            for (auto at = waiting.find(result.Accepted + ready.size()); at != waiting.end();
                 at = waiting.find(result.Accepted + ready.size())) {
                ready.push_back(at->second);
                waiting.erase(at);
            }
        }
        for (const Found& f : ready) {
            if (stop && stop->load(std::memory_order_relaxed)) break;
            if (files.WritesPbn()) RenderHands(f.Cards.data(), display);
            files.WriteRecords(f.Cards.data(), f.Records, f.Records + RecordSize, &display);
            levels.Count(result.Shares, result.Accepted);
            ++result.Accepted;
        }
        result.Attempts = attempts.load(std::memory_order_relaxed);
        if (ready.empty()) {
            // Every thread has stopped and the next board never came: the
            // allowance is spent.
            if (allDone) {
                result.Status = DealStatus::AttemptLimit;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - lastReport >= std::chrono::milliseconds(100)) {
            lastReport = now;
            report();
        }
    }
    halt.store(true);
    for (std::thread& t : pool) t.join();
    result.Attempts = attempts.load();
}

// The PBN games' double-dummy analysis, once the boards are dealt: a DDS
// batch at a time until every game has it, the run is stopped (the batch in
// flight abandoned, the games left written without it) or the files fail.
void AnalyseGames(DealFiles& files, const std::atomic<bool>* stop, DealRunResult& result,
                  const std::function<void()>& report) {
    report();
    while (files.GamesWaiting() > 0) {
        const std::size_t tagged = stop && stop->load() ? 0 : files.TagWaitingGames();
        if (tagged == 0) {
            if (!files.Failed()) result.Status = DealStatus::Stopped;
            return;
        }
        result.Analysed += tagged;
        report();
    }
}

// Why the run's own options cannot be dealt, or "": checked before anything
// else. A machine file that cannot number the set is refused here; the
// dialog and the command line drop it first and say so.
std::string OptionsProblem(const DealRunOptions& options) {
    if (options.Boards < 0) return "The number of boards must not be negative: " + std::to_string(options.Boards);
    if (options.FirstBoard < 1) return "The first board number must be 1 or more";
    if (const std::string why = FileCodeProblem(options.FileCode); !why.empty()) return "The file code " + why;
    const auto boards = static_cast<std::uint64_t>(options.Boards);
    for (const auto& [wanted, why, ext] :
         {std::tuple{options.WritePbn, PbnRangeProblem(options.FirstBoard, boards), ".PBN"},
          std::tuple{options.WriteDup, DupRangeProblem(options.FirstBoard, boards), ".DUP"},
          std::tuple{options.WriteDlm, DlmRangeProblem(options.FirstBoard, boards), ".DLM"}})
        if (wanted && !why.empty()) return UnableToWrite(JoinPath(options.OutputFolder, options.FileCode + ext), why);
    return {};
}

} // namespace

DealRunResult RunDeal(const DealRunOptions& options, const std::atomic<bool>* stop, const ProgressFn& progress) {
    DealRunResult result;
    result.Error = OptionsProblem(options);
    if (!result.Error.empty()) return result;
    DealEngine board;
    board.SeedFirst = options.SeedFirst;
    board.Random = options.Seed     ? ClassicRandom(*options.Seed)
                   : options.Random ? *options.Random
                                    : ClassicRandom::Randomized();
    board.DrawsLeft = options.ClassicDraws;
    if (!board.LoadSetup(options.Setup, options.DefinitionsFolder, &result.Error, &result.ErrorDetail)) return result;
    // A set-up no board can meet would only spin until stopped.
    result.Error = SetupCannotBeDealt(board, options.Setup, OddsOfSeats(board, options.Setup, false), options.Level,
                                      static_cast<std::uint64_t>(options.Boards));
    if (!result.Error.empty()) return result;
    const Levels levels(board, options.Level);
    const DealEngine base = board;
    // Each secure thread's stream is keyed from the system; the plan, with
    // any count tables, is worked out once for all of them.
    const unsigned threads = options.Threads ? options.Threads : std::max(1u, std::thread::hardware_concurrency());
    std::vector<SecureKey> keys;
    std::shared_ptr<const SecurePlan> plan;
    if (options.Secure) {
        keys.resize(threads);
        for (SecureKey& key : keys)
            if (!SecureRandom::SystemKey(key, &result.Error)) return result;
        if (!options.Level) plan = std::make_shared<const SecurePlan>(board);
    }

    DealFiles files;
    PbnAnalysis analysis(JoinPath(options.OutputFolder, options.FileCode + ".PBN"), stop);
    result.WithAnalysis = options.PbnAnalysis && options.WritePbn;
    const DealFileChoice choice{options.WritePbn, options.WriteDup, options.WriteDlm, options.FirstBoard,
                                options.PbnAnalysis ? &analysis : nullptr};
    if (!files.OpenDealFiles(options.OutputFolder, options.FileCode, choice, &result.Error)) return result;
    result.BoardPath = files.BoardPath();
    result.BriPath = files.BriPath();
    result.PbnPath = files.PbnPath();
    result.DupPath = files.DupPath();
    result.DlmPath = files.DlmPath();
    board.Output = &files;

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    bool analysing = false;
    auto report = [&] {
        if (progress)
            progress(DealProgress{result.Accepted, result.Attempts, options.Boards, elapsed(), result.Shares,
                                  result.WithAnalysis, analysing, result.Analysed});
    };
    auto lastReport = start;
    constexpr std::uint64_t ClockEvery = 1u << 14;

    result.Status = DealStatus::Done;
    const std::uint64_t wanted = static_cast<std::uint64_t>(options.Boards);
    if (options.Secure && options.Level) {
        DealSecureLevelled(options, base, levels, files, keys, stop, result, report);
    } else if (options.Secure) {
        DealSecure(options, board, files, keys, plan, stop, result, report);
    } else {
        while (result.Accepted < wanted) {
            if (stop && stop->load(std::memory_order_relaxed)) {
                result.Status = DealStatus::Stopped;
                break;
            }
            if (options.MaxAttempts && result.Attempts >= options.MaxAttempts) {
                result.Status = DealStatus::AttemptLimit;
                break;
            }
            if (options.Level && levels.Period > 1 && result.Attempts == 0) levels.Apply(board, base, 0);
            board.DealBoard();
            if (board.SequenceSpent) {
                result.Status = DealStatus::SequenceSpent;
                break;
            }
            ++result.Attempts;
            if (board.Accepted) {
                if (options.Level) {
                    levels.Count(result.Shares, result.Accepted);
                    if (levels.Period > 1) levels.Apply(board, base, result.Accepted + 1);
                }
                ++result.Accepted;
                if (files.Failed()) break;
            }
            if ((result.Attempts & (ClockEvery - 1)) == 0 && progress) {
                auto now = Clock::now();
                if (now - lastReport >= std::chrono::milliseconds(100)) {
                    lastReport = now;
                    report();
                }
            }
        }
    }
    if (result.WithAnalysis && result.Status != DealStatus::Stopped && !files.Failed()) {
        analysing = true;
        const auto began = Clock::now();
        AnalyseGames(files, stop, result, report);
        result.AnalysisSeconds = std::chrono::duration<double>(Clock::now() - began).count();
        result.Notes = analysis.Notes();
    }
    if (options.Random && !options.Seed && !options.Secure) *options.Random = board.Random;
    // However the run ended, a run without a board leaves the previous set
    // as it was: a Stop before the first board must not empty the files.
    std::string closeError;
    if (result.Accepted == 0) {
        files.Abandon();
    } else if (!files.CloseDealFiles(&closeError)) {
        result.Status = DealStatus::Failed;
        result.Error = closeError;
    } else {
        result.Written = true;
    }
    result.Seconds = elapsed();
    report();
    return result;
}

std::string DescribeShares(const DealSetup& setup, const AlternativeShares& shares) {
    std::string text;
    for (int seat = 0; seat < 4; ++seat) {
        const SeatSetup& s = setup[seat];
        int named = 0;
        for (const std::string& name : s.Names) named += !name.empty();
        if (!s.Constrained || s.Names[0].empty() || named < 2) continue;
        text += (text.empty() ? "" : "; ") + SeatNames[seat] + ":";
        const char* sep = " ";
        for (std::size_t p = 0; p < 5; ++p) {
            if (s.Names[p].empty()) continue;
            text += sep + s.Names[p] + " " + std::to_string(shares[seat][p]);
            sep = ", ";
        }
    }
    return text;
}

std::string DescribeResult(const DealRunResult& result, std::int64_t requested) {
    const std::uint64_t asked = requested < 0 ? 0 : static_cast<std::uint64_t>(requested);
    std::string boards = std::to_string(result.Accepted) + " of " + CountOf(asked, "board", "boards") + " dealt in " +
                         CountOf(result.Attempts, "attempt", "attempts");
    if (result.WithAnalysis && result.Written)
        boards += ", " +
                  (result.Analysed == result.Accepted ? std::string("all")
                   : result.Analysed == 0             ? std::string("none")
                                                      : std::to_string(result.Analysed)) +
                  " with their double-dummy analysis";
    const std::string kept = result.Written ? "." : "; the previous files were kept.";
    switch (result.Status) {
    case DealStatus::Done:
        return boards + kept;
    case DealStatus::Stopped:
        return "Stopped: " + boards + kept;
    case DealStatus::AttemptLimit:
        return "Attempt limit reached: " + boards + kept;
    case DealStatus::SequenceSpent:
        return std::string(SequenceSpentText) + " " + boards + kept;
    case DealStatus::Failed:
        return result.ErrorDetail.empty() ? result.Error : result.Error + " (" + result.ErrorDetail + ")";
    }
    return boards;
}

std::string ProgressText(const DealProgress& progress) {
    const std::uint64_t asked = progress.Requested < 0 ? 0 : static_cast<std::uint64_t>(progress.Requested);
    const std::string dealt = std::to_string(progress.Accepted) + " of " + std::to_string(asked);
    if (!progress.WithAnalysis) return std::to_string(progress.Accepted) + " of " + CountOf(asked, "board", "boards");
    if (!progress.Analysing) return "Dealt " + dealt + " \u00b7 analysis follows";
    return "Dealt " + dealt + " \u00b7 analysing " + std::to_string(progress.Analysed) + " of " +
           std::to_string(progress.Accepted);
}

} // namespace zelv
