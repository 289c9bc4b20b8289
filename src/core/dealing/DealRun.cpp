#include "core/dealing/DealRun.h"

#include "core/analysis/PbnAnalysis.h"
#include "core/dealing/RunChecks.h"
#include "core/dealing/SecureDealer.h"
#include "core/dealing/Turns.h"
#include "core/files/FileUtil.h"
#include "core/formats/DealFiles.h"
#include "core/formats/Pbn.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zelv {

namespace {

using Hands = std::array<CardMask, 4>;
using Clock = std::chrono::steady_clock;

// A levelled run's turns, and how many boards each alternative got. A run
// that is not levelled has one turn: its set-up as loaded.
struct Levels : Turns {
    Levels(const DealEngine& board, bool level) : Turns(level ? board : DealEngine{}), Levelled(level) {}
    void Count(AlternativeShares& shares, std::uint64_t index) const {
        for (int seat = 0; seat < 4; ++seat)
            if (!Slots[seat].empty()) ++shares[seat][Slots[seat][index % Slots[seat].size()]];
    }
    bool Levelled;
};

// One set-up dealt into the run's files: its options (the run's, with its
// own set-up, count and first board), the set-up loaded and checked, the
// turns its alternatives take, and for a secure run each thread's key.
struct Part {
    DealRunOptions Options;
    std::string GameTags; // its PBN games' own tag, in a session
    DealEngine Board;     // as loaded: every turn is set up from it
    std::unique_ptr<Levels> Turns;
    std::vector<SecureKey> Keys;
};

struct Found;

// A session's board kept back until every part is dealt, so that the parts'
// boards can be mixed before they are numbered.
struct HeldBoard {
    Hands Cards;
    std::uint32_t Part;
};

// What every dealing loop of a run shares: the options, the files and the
// result boards are counted into, the stop flag and the progress report.
struct RunState {
    const DealRunOptions& Options;
    DealFiles& Files;
    DealRunResult& Result;
    const std::atomic<bool>* Stop;
    const ProgressFn& Progress;
    Clock::time_point Start = Clock::now();
    Clock::time_point LastReport = Start;
    bool Analysing = false;
    // The part in hand deals boards First .. Target - 1 of the run: its turns
    // count from First.
    std::uint64_t First = 0, Target = 0;
    std::size_t PartIndex = 0;
    // Mixing: the boards dealt wait here instead of going to the files.
    std::vector<HeldBoard>* Held = nullptr;

    bool Stopped() const { return Stop && Stop->load(std::memory_order_relaxed); }
    bool Full() const { return Result.Accepted >= Target || Files.Failed(); }
    double Elapsed() const { return std::chrono::duration<double>(Clock::now() - Start).count(); }
    void Report() const {
        if (Progress)
            Progress(DealProgress{Result.Accepted, Result.Attempts, RunBoards(Options), Elapsed(), Result.Shares,
                                  Result.WithAnalysis, Analysing, Result.Analysed, PartIndex});
    }
    // A few times a second at most.
    void ReportNow() {
        const auto now = Clock::now();
        if (now - LastReport < std::chrono::milliseconds(100)) return;
        LastReport = now;
        Report();
    }
    // Counts an accepted board against the alternative its turn required.
    void Counted(const Levels& turns) {
        if (turns.Levelled) turns.Count(Result.Shares, Result.Accepted - First);
        ++Result.Accepted;
    }
    // An accepted board: written, or held back when the boards are mixed.
    // The display table is needed only when PBN is written.
    void Keep(const Hands& hands, const DisplayTable* display, const Found* records = nullptr);
};

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

// The run's condition across seats for one dealing thread; without one
// every board the seats accept passes.
struct ConditionCheck {
    explicit ConditionCheck(const Part& part) : Test(part.Options.Condition ? part.Options.Condition() : BoardTest{}) {}
    bool operator()(const Hands& hands) const { return !Test || Test(hands.data()); }
    BoardTest Test;
};

void RunState::Keep(const Hands& hands, const DisplayTable* display, const Found* records) {
    if (Held) {
        Held->push_back({hands, static_cast<std::uint32_t>(PartIndex)});
    } else if (records) {
        Files.WriteRecords(hands.data(), records->Records, records->Records + RecordSize, display);
    } else {
        Files.WriteBoard(hands.data(), *display);
    }
}

// A board the classic dealer's seats accepted, kept when it also meets
// the condition; false when it does not.
bool KeepIfMet(const DealEngine& board, const ConditionCheck& meets, RunState& run) {
    const Hands hands{board.Dealt[North], board.Dealt[South], board.Dealt[East], board.Dealt[West]};
    if (!meets(hands)) return false;
    run.Keep(hands, &board.Display);
    return true;
}

// The classic dealer on the calling thread, one attempt at a time: the
// generator's sequence is the file format, so a seeded run repeats exactly.
void DealClassic(RunState& run, const Part& part, DealEngine& board) {
    constexpr std::uint64_t ClockEvery = 1u << 14;
    const Levels& turns = *part.Turns;
    DealRunResult& result = run.Result;
    const bool inTurn = turns.Levelled && turns.Period > 1;
    const ConditionCheck meets(part);
    // The part's first turn; each accepted board sets up the next.
    if (inTurn) turns.Apply(board, part.Board, 0);
    while (result.Accepted < run.Target) {
        if (run.Stopped()) {
            result.Status = DealStatus::Stopped;
            break;
        }
        if (run.Options.MaxAttempts && result.Attempts >= run.Options.MaxAttempts) {
            result.Status = DealStatus::AttemptLimit;
            break;
        }
        board.DealBoard();
        if (board.SequenceSpent) {
            result.Status = DealStatus::SequenceSpent;
            break;
        }
        ++result.Attempts;
        if (board.Accepted && KeepIfMet(board, meets, run)) {
            run.Counted(turns);
            if (inTurn) turns.Apply(board, part.Board, result.Accepted - run.First);
            if (run.Files.Failed()) break;
        }
        if ((result.Attempts & (ClockEvery - 1)) == 0 && run.Progress) run.ReportNow();
    }
}

// The secure dealer on several threads, for plain and levelled runs alike;
// the turns decide how the threads share the work. With one set-up (a run
// that is not levelled) every board is as good as another: each thread
// deals attempts in chunks taken from the run's allowance and hands its
// boards over, and the calling thread writes them in the order they
// arrive, dealing too (its own boards included) whenever none is waiting.
// Levelled, board k must meet its own turn, so each thread claims the next
// board number and deals for it until it has a board, and the calling
// thread writes the boards in their numbers' order as they come in; a run
// cut short keeps the boards up to the first one not yet found. Every
// set-up of the turns is planned once for all threads.
class SecureRun {
  public:
    SecureRun(RunState& run, const Part& part) : run_(run), part_(part), turns_(*part.Turns) {
        const std::uint64_t wanted = run.Target - run.First;
        const std::size_t phases =
            turns_.Levelled ? static_cast<std::size_t>(std::min<std::uint64_t>(wanted, turns_.Period)) : 1;
        setups_.assign(std::max<std::size_t>(phases, 1), part.Board);
        for (std::size_t k = 0; k < setups_.size(); ++k) {
            if (turns_.Levelled) turns_.Apply(setups_[k], part.Board, k);
            plans_.push_back(std::make_shared<const SecurePlan>(setups_[k]));
        }
    }

    void Deal() {
        // Levelled, the calling thread only writes; otherwise it deals too.
        const std::size_t from = turns_.Levelled ? 0 : 1;
        helpers_ = part_.Keys.size() - from;
        for (std::size_t i = from; i < part_.Keys.size(); ++i)
            pool_.emplace_back([this, i] { turns_.Levelled ? DealInTurn(i) : DealAny(i); });
        WriteUntilDone();
        halt_.store(true);
        for (std::thread& t : pool_) t.join();
        run_.Result.Attempts = attempts_.load();
    }

  private:
    // Under a limit, a levelled thread whose boards are all claimed leaves,
    // and with it what it took of the allowance; so there attempts are
    // taken one by one, and the run stops after exactly that many.
    std::uint64_t HelperChunk() const {
        if (turns_.Levelled) return run_.Options.MaxAttempts ? 1 : 256;
        return 1024;
    }
    static constexpr std::uint64_t WriterChunk = 128;
    static constexpr std::size_t MaxWaiting = 1 << 16;

    // Up to `chunk` attempts from the allowance; 0 once it is spent.
    std::uint64_t Take(std::uint64_t chunk) {
        const std::uint64_t limit = run_.Options.MaxAttempts;
        if (!limit) return chunk;
        const std::uint64_t before = taken_.fetch_add(chunk, std::memory_order_relaxed);
        return before >= limit ? 0 : std::min(chunk, limit - before);
    }
    bool Halted() const { return halt_.load(std::memory_order_relaxed); }

    // One attempt with `dealer`; true, with its hands, when accepted. Every
    // board a secure run writes passes through here, on whichever thread.
    static bool TryBoard(SecureDealer& dealer, Hands& hands, const ConditionCheck& meets) {
        return dealer.DealHands(hands) && meets(hands);
    }

    void DealAny(std::size_t index);
    void DealInTurn(std::size_t index);
    void WriteUntilDone();
    bool CollectReady(std::vector<Found>& ready);
    bool DealOwnChunk(SecureDealer& dealer);
    void Write(const Found& found);

    RunState& run_;
    const Part& part_;
    const Levels& turns_;
    std::vector<DealEngine> setups_; // by turn
    std::vector<std::shared_ptr<const SecurePlan>> plans_;
    std::size_t helpers_ = 0;
    std::vector<std::thread> pool_;
    // Apart, so that a thread counting its attempts does not slow one
    // reading the halt flag.
    alignas(64) std::atomic<bool> halt_{false};
    alignas(64) std::atomic<std::uint64_t> taken_{0};
    alignas(64) std::atomic<std::uint64_t> attempts_{0};
    alignas(64) std::atomic<std::size_t> finished_{0};
    // Boards handed over so far: once they are enough, helpers stop dealing
    // rather than take the cores from a writer that analyses its boards.
    alignas(64) std::atomic<std::uint64_t> handedTotal_{0};
    alignas(64) std::atomic<std::uint64_t> claimed_{0}; // levelled: the next board index
    std::mutex lock_;
    std::vector<Found> handed_;              // in arrival order
    std::map<std::uint64_t, Found> waiting_; // levelled: by board index within the part
    ConditionCheck writerMeets_{part_};      // the writing thread's own
    DisplayTable display_;
    std::string scratch_;
};

void SecureRun::DealAny(std::size_t index) {
    const std::uint64_t wanted = run_.Target - run_.First;
    DealEngine own = setups_[0]; // the set-up, compiled; nothing shared but the plan
    SecureRandom random(part_.Keys[index]);
    SecureDealer dealer(own, random, plans_[0]);
    const ConditionCheck meets(part_);
    std::vector<Found> found;
    std::string scratch;
    Hands hands;
    while (!Halted() && handedTotal_.load(std::memory_order_relaxed) < wanted) {
        const std::uint64_t n = Take(HelperChunk());
        if (!n) break;
        std::uint64_t done = 0;
        for (; done < n && !Halted(); ++done)
            if (TryBoard(dealer, hands, meets)) MakeRecords(hands, scratch, found.emplace_back());
        attempts_.fetch_add(done, std::memory_order_relaxed);
        if (found.empty()) continue;
        bool crowded;
        {
            std::lock_guard<std::mutex> hold(lock_);
            handed_.insert(handed_.end(), found.begin(), found.end());
            crowded = handed_.size() > MaxWaiting;
        }
        handedTotal_.fetch_add(found.size(), std::memory_order_relaxed);
        found.clear();
        // A writer that cannot keep up is not buried in boards it will never need.
        if (crowded) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    finished_.fetch_add(1, std::memory_order_release);
}

void SecureRun::DealInTurn(std::size_t index) {
    const std::uint64_t wanted = run_.Target - run_.First;
    std::vector<DealEngine> own = setups_;
    SecureRandom random(part_.Keys[index]);
    std::vector<std::unique_ptr<SecureDealer>> dealers;
    for (std::size_t k = 0; k < own.size(); ++k)
        dealers.push_back(std::make_unique<SecureDealer>(own[k], random, plans_[k]));
    const ConditionCheck meets(part_);
    std::string scratch;
    Hands hands;
    std::uint64_t allowance = 0, done = 0;
    bool spent = false;
    while (!spent && !Halted()) {
        const std::uint64_t k = claimed_.fetch_add(1, std::memory_order_relaxed);
        if (k >= wanted) break;
        SecureDealer& dealer = *dealers[k % dealers.size()];
        while (!Halted()) {
            if (!allowance) {
                attempts_.fetch_add(done, std::memory_order_relaxed);
                done = 0;
                allowance = Take(HelperChunk());
                if (!allowance) {
                    spent = true;
                    break;
                }
            }
            --allowance;
            ++done;
            if (TryBoard(dealer, hands, meets)) {
                Found found;
                MakeRecords(hands, scratch, found);
                std::lock_guard<std::mutex> hold(lock_);
                waiting_.emplace(k, found);
                break;
            }
        }
    }
    attempts_.fetch_add(done, std::memory_order_relaxed);
    finished_.fetch_add(1, std::memory_order_release);
}

void SecureRun::Write(const Found& found) {
    if (run_.Files.WritesPbn() && !run_.Held) RenderHands(found.Cards.data(), display_);
    run_.Keep(found.Cards, &display_, &found);
    run_.Counted(turns_);
}

// The boards ready to be written, in the order they are written, taken
// from the helpers; false when none is.
bool SecureRun::CollectReady(std::vector<Found>& ready) {
    ready.clear();
    std::lock_guard<std::mutex> hold(lock_);
    if (!turns_.Levelled) {
        ready.swap(handed_);
        return !ready.empty();
    }
    const std::uint64_t next = run_.Result.Accepted - run_.First;
    for (auto at = waiting_.find(next); at != waiting_.end(); at = waiting_.find(next + ready.size())) {
        ready.push_back(at->second);
        waiting_.erase(at);
    }
    return !ready.empty();
}

// The writer's own share of the dealing, while nothing waits to be
// written: false once the allowance is spent.
bool SecureRun::DealOwnChunk(SecureDealer& dealer) {
    const std::uint64_t n = Take(WriterChunk);
    if (!n) return false;
    std::uint64_t done = 0;
    Hands hands;
    Found own;
    while (done < n && !run_.Full()) {
        ++done;
        if (!TryBoard(dealer, hands, writerMeets_)) continue;
        MakeRecords(hands, scratch_, own);
        Write(own);
    }
    attempts_.fetch_add(done, std::memory_order_relaxed);
    return true;
}

void SecureRun::WriteUntilDone() {
    DealRunResult& result = run_.Result;
    // Its own copy: the helpers copy the set-up while this thread deals.
    DealEngine own = setups_[0];
    SecureRandom random(part_.Keys[0]);
    SecureDealer dealer(own, random, plans_[0]);
    std::vector<Found> ready;
    bool dealing = !turns_.Levelled; // the writer's share of the allowance is left
    while (!run_.Full()) {
        if (run_.Stopped()) {
            result.Status = DealStatus::Stopped;
            break;
        }
        // Read before the boards are collected, so that a helper's last
        // boards are never missed.
        const bool helpersDone = finished_.load(std::memory_order_acquire) == helpers_;
        if (CollectReady(ready)) {
            // Writing comes first, so that no helper waits on it.
            // A batch may hold many thousands of boards: the figures shown keep
            // up with the writer, so that a Stop keeps about what the bar said.
            for (const Found& f : ready) {
                if (run_.Full() || run_.Stopped()) break;
                Write(f);
                if ((run_.Result.Accepted & 255) == 0) run_.ReportNow();
            }
        } else if (dealing && DealOwnChunk(dealer)) {
        } else if (helpersDone) {
            // Every thread has stopped and the next board never came: the
            // allowance is spent.
            result.Status = DealStatus::AttemptLimit;
            break;
        } else {
            dealing = false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        result.Attempts = attempts_.load(std::memory_order_relaxed);
        if (!run_.Full()) run_.ReportNow();
    }
}

// Loads and checks the set-up and draws the secure threads' keys: false,
// with the error in `result`, before any file is touched.
bool PreparePart(Part& part, DealRunResult& result) {
    const DealRunOptions& options = part.Options;
    part.Board.SeedFirst = options.SeedFirst;
    part.Board.Random = options.Seed     ? ClassicRandom(*options.Seed)
                        : options.Random ? *options.Random
                                         : ClassicRandom::Randomized();
    part.Board.DrawsLeft = options.ClassicDraws;
    if (!CheckRun(options, part.Board, result)) return false;
    part.Turns = std::make_unique<Levels>(part.Board, options.Level);
    if (!options.Secure) return true;
    // Each secure thread's stream is keyed from the system.
    const unsigned threads = options.Threads ? options.Threads : std::max(1u, std::thread::hardware_concurrency());
    part.Keys.resize(threads);
    for (SecureKey& key : part.Keys)
        if (!SecureRandom::SystemKey(key, &result.Error)) return false;
    return true;
}

// Every part of the run prepared, a run without parts being its own one
// part: false, with the error naming the part, at the first that cannot be
// dealt, before any file is touched.
bool PrepareParts(const DealRunOptions& options, std::vector<Part>& parts, DealRunResult& result) {
    if (options.Parts.empty()) {
        parts.resize(1);
        parts[0].Options = options;
        return PreparePart(parts[0], result);
    }
    DealRunOptions whole = options;
    whole.Boards = RunBoards(options);
    if (whole.Boards <= 0 || !(result.Error = RunOptionsProblem(whole)).empty()) {
        if (result.Error.empty()) result.Error = "The session holds no boards";
        return false;
    }
    parts.resize(options.Parts.size());
    for (std::size_t index = 0; index < parts.size(); ++index) {
        const RunPart& given = options.Parts[index];
        parts[index].Options = PartRunOptions(options, index);
        parts[index].GameTags = PbnTagPair("Zelvano_Part", given.Name);
        if (!PreparePart(parts[index], result)) {
            result.Error = RunPartLabel(index, given.Name) + ": " + result.Error;
            return false;
        }
    }
    return true;
}

// Creates the run's files (each written beside its final name until the
// run closes them); false, with the error in `result`, when one cannot be.
bool OpenRunFiles(const DealRunOptions& options, DealFiles& files, PbnAnalysis& analysis, DealRunResult& result) {
    result.WithAnalysis = options.PbnAnalysis && options.WritePbn;
    const DealFileChoice choice{options.WritePbn, options.WriteDup, options.WriteDlm, options.FirstBoard,
                                options.PbnAnalysis ? &analysis : nullptr};
    if (!files.OpenDealFiles(options.OutputFolder, options.FileCode, choice, &result.Error)) return false;
    result.BoardPath = files.BoardPath();
    result.BriPath = files.BriPath();
    result.PbnPath = files.PbnPath();
    result.DupPath = files.DupPath();
    result.DlmPath = files.DlmPath();
    return true;
}

// Deals one set-up's boards into the run's files, on the dealer the
// options ask for; the boards of the part follow those already dealt.
void DealPart(RunState& run, Part& part, std::uint64_t boards, DealEngine& classic) {
    run.First = run.Result.Accepted;
    run.Target = run.First + boards;
    if (run.Options.Secure) {
        SecureRun(run, part).Deal();
    } else {
        DealClassic(run, part, classic);
    }
}

// A uniform draw of 0..n-1 from the run's own source, for mixing: the
// classic generator where it deals, so that a seeded session repeats.
std::function<std::uint32_t(std::uint32_t)> MixingDraw(const RunState& run, DealEngine& classic,
                                                       std::unique_ptr<SecureRandom>& secure) {
    if (!run.Options.Secure) return [&classic](std::uint32_t n) { return classic.Random.Random(n); };
    SecureKey key;
    if (!SecureRandom::SystemKey(key, nullptr)) return {};
    secure = std::make_unique<SecureRandom>(key);
    return [&secure](std::uint32_t n) { return secure->Below(n); };
}

// The held boards of every part in a random order, then written: numbered
// as they now stand, each PBN game with its own part's tag.
void WriteMixed(RunState& run, const std::vector<Part>& parts, std::vector<HeldBoard>& held, DealEngine& classic) {
    std::unique_ptr<SecureRandom> secure;
    const auto draw = MixingDraw(run, classic, secure);
    if (!draw) {
        run.Result.Status = DealStatus::Failed;
        run.Result.Error = "The secure source could not be read to mix the boards";
        return;
    }
    for (std::size_t i = held.size(); i > 1; --i) std::swap(held[i - 1], held[draw(static_cast<std::uint32_t>(i))]);
    DisplayTable display;
    for (const HeldBoard& board : held) {
        run.Files.SetGameTags(parts[board.Part].GameTags);
        if (run.Files.WritesPbn()) RenderHands(board.Cards.data(), display);
        run.Files.WriteBoard(board.Cards.data(), display);
    }
}

// Every part in turn, into the one set: until all are dealt, or the run
// stops short (its boards so far kept). A session's part ends with the
// boards it has, and its count kept in the result.
void DealParts(RunState& run, std::vector<Part>& parts, DealEngine& classic) {
    const bool session = !run.Options.Parts.empty();
    std::vector<HeldBoard> held;
    if (session && run.Options.Mix) run.Held = &held;
    for (std::size_t index = 0; index < parts.size(); ++index) {
        Part& part = parts[index];
        run.PartIndex = index;
        if (index > 0) {
            // The part's own set-up on the generator as the last part left it.
            const ClassicRandom random = classic.Random;
            const std::uint64_t draws = classic.DrawsLeft;
            classic = part.Board;
            classic.Random = random;
            classic.DrawsLeft = draws;
        }
        if (session && !run.Held) run.Files.SetGameTags(part.GameTags);
        DealPart(run, part, static_cast<std::uint64_t>(std::max<std::int64_t>(part.Options.Boards, 0)), classic);
        if (session) run.Result.PartBoards.push_back(run.Result.Accepted - run.First);
        if (run.Result.Status != DealStatus::Done || run.Files.Failed()) break;
    }
    if (session) run.Result.PartBoards.resize(parts.size(), 0);
    run.Held = nullptr;
    if (!held.empty() && !run.Files.Failed()) WriteMixed(run, parts, held, classic);
}

// The PBN games' double-dummy analysis, once the boards are dealt: a DDS
// batch at a time until every game has it, the run is stopped (the batch in
// flight abandoned, the games left written without it) or the files fail.
void AnalyseGames(RunState& run, PbnAnalysis& analysis) {
    DealRunResult& result = run.Result;
    if (!result.WithAnalysis || result.Status == DealStatus::Stopped || run.Files.Failed()) return;
    run.Analysing = true;
    const auto began = Clock::now();
    run.Report();
    while (run.Files.GamesWaiting() > 0) {
        const std::size_t tagged = run.Stopped() ? 0 : run.Files.TagWaitingGames();
        if (tagged == 0) {
            if (!run.Files.Failed()) result.Status = DealStatus::Stopped;
            break;
        }
        result.Analysed += tagged;
        run.Report();
    }
    result.AnalysisSeconds = std::chrono::duration<double>(Clock::now() - began).count();
    result.Notes = analysis.Notes();
}

// However the run ended, a run without a board leaves the previous set as
// it was: a Stop before the first board must not empty the files.
void CloseRunFiles(DealFiles& files, DealRunResult& result) {
    std::string closeError;
    if (result.Accepted == 0) {
        files.Abandon();
    } else if (!files.CloseDealFiles(&closeError)) {
        result.Status = DealStatus::Failed;
        result.Error = closeError;
    } else {
        result.Written = true;
    }
}

} // namespace

std::string RunPartLabel(std::size_t index, const std::string& name) {
    const std::string number = "Part " + std::to_string(index + 1);
    return name.empty() ? number : number + " (" + name + ")";
}

DealRunOptions PartRunOptions(const DealRunOptions& options, std::size_t index) {
    std::uint64_t first = options.FirstBoard;
    for (std::size_t before = 0; before < index; ++before)
        first += static_cast<std::uint64_t>(std::max<std::int64_t>(options.Parts[before].Boards, 0));
    const RunPart& part = options.Parts[index];
    DealRunOptions own = options;
    own.Parts.clear();
    own.Setup = part.Setup;
    own.Boards = part.Boards;
    own.SeedFirst = part.SeedFirst;
    own.Level = part.Level;
    own.Condition = part.Condition;
    own.FirstBoard = first;
    return own;
}

std::int64_t RunBoards(const DealRunOptions& options) {
    if (options.Parts.empty()) return options.Boards;
    std::int64_t boards = 0;
    for (const RunPart& part : options.Parts) boards += std::max<std::int64_t>(part.Boards, 0);
    return boards;
}

DealRunResult RunDeal(const DealRunOptions& options, const std::atomic<bool>* stop, const ProgressFn& progress) {
    DealRunResult result;
    std::vector<Part> parts;
    if (!PrepareParts(options, parts, result)) return result;
    DealFiles files;
    PbnAnalysis analysis(JoinPath(options.OutputFolder, options.FileCode + ".PBN"), stop);
    if (!OpenRunFiles(options, files, analysis, result)) return result;

    RunState run{options, files, result, stop, progress};
    result.Status = DealStatus::Done;
    // The classic generator carries on from one part to the next.
    DealEngine classic = parts[0].Board;
    DealParts(run, parts, classic);
    AnalyseGames(run, analysis);
    if (options.Random && !options.Seed && !options.Secure) *options.Random = classic.Random;
    CloseRunFiles(files, result);
    result.Seconds = run.Elapsed();
    run.Report();
    return result;
}

} // namespace zelv
