#include "core/analysis/DoubleDummy.h"

#include <dds/dll.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <future>
#include <iostream>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

namespace zelv {

namespace {

// DDS keeps its threads and tables in globals: one call at a time.
std::mutex& DdsLock() {
    static std::mutex lock;
    return lock;
}

// A batch call's deals and results: large for the stack, and only ever used
// under the lock.
struct DdsTables {
    std::unique_ptr<ddTableDeals> Deals = std::make_unique<ddTableDeals>();
    std::unique_ptr<ddTablesRes> Results = std::make_unique<ddTablesRes>();
    std::unique_ptr<allParResults> Pars = std::make_unique<allParResults>();
};
DdsTables& Tables() {
    static DdsTables tables;
    return tables;
}

// The thread every analysis hands its DDS calls to, so that a caller can stop
// waiting for one: DDS cannot be interrupted, and a hard board takes it
// seconds on a busy machine. Started at the first call; at the program's end
// it finishes the call it is on (ExitWithoutWaitingForDds spares the wait).
class DdsThread {
  public:
    static DdsThread& Instance() {
        static DdsThread instance;
        return instance;
    }
    DdsThread(const DdsThread&) = delete;
    DdsThread& operator=(const DdsThread&) = delete;
    ~DdsThread() {
        {
            std::lock_guard<std::mutex> hold(lock_);
            quit_ = true;
        }
        wake_.notify_one();
        if (thread_.joinable()) thread_.join();
    }

    // Runs `work` there, waiting until it is done or `stop` is raised; false
    // in the second case, when work not yet begun is dropped. The work must
    // own whatever it touches.
    bool Run(std::function<void()> work, const std::atomic<bool>* stop) {
        auto dropped = std::make_shared<std::atomic<bool>>(false);
        std::packaged_task<void()> task([work = std::move(work), dropped] {
            if (!dropped->load()) work();
        });
        std::future<void> done = task.get_future();
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (!thread_.joinable()) thread_ = std::thread([this] { Serve(); });
            queue_.push_back(std::move(task));
        }
        wake_.notify_one();
        if (!stop) {
            done.wait();
            return true;
        }
        while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
            if (stop->load()) {
                dropped->store(true);
                return false;
            }
        return true;
    }

    bool Busy() {
        std::lock_guard<std::mutex> hold(lock_);
        return working_ || !queue_.empty();
    }

  private:
    // Made first, the lock and the tables outlive this thread, which may be
    // finishing a call while the program ends.
    DdsThread() {
        DdsLock();
        Tables();
    }

    void Serve() {
        std::unique_lock<std::mutex> hold(lock_);
        for (;;) {
            wake_.wait(hold, [this] { return quit_ || !queue_.empty(); });
            // Work still queued at the end was given up by whoever queued it.
            if (quit_) return;
            std::packaged_task<void()> task = std::move(queue_.front());
            queue_.pop_front();
            working_ = true;
            hold.unlock();
            task();
            hold.lock();
            working_ = false;
        }
    }

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<void()>> queue_;
    bool working_ = false, quit_ = false;
    std::thread thread_;
};

// Non-zero: the DDS error every par is taken to fail with (tests).
std::atomic<int> ParFailure{0};

// DDS numbers hands clockwise from North, as our storage positions do, and
// suits spades to clubs as we do; its strains put notrump last.
constexpr int DdsStrain(int strain) { return strain == NoTrump ? 4 : strain - 1; }

int DdsVulnerable(Vulnerability vul) {
    switch (vul) {
    case Vulnerability::None:
        return 0;
    case Vulnerability::All:
        return 1;
    case Vulnerability::NS:
        return 2;
    case Vulnerability::EW:
        return 3;
    }
    return 0;
}

std::string DdsMessage(int code) {
    char line[80] = {};
    ErrorMessage(code, line);
    return "the double-dummy solver says \"" + std::string(line) + "\" (DDS error " + std::to_string(code) + ")";
}

void ToDds(const Board& board, ddTableDeal& deal) {
    for (int seat = 0; seat < 4; ++seat) {
        const CardMask hand = board.Hands[seat];
        for (int suit = 0; suit < 4; ++suit) {
            unsigned holding = 0;
            // Our rank 0 is the ace; DDS sets bit 14 for it, down to bit 2 for the two.
            for (int rank = 0; rank < 13; ++rank)
                if (hand & CardBit(MakeCard(suit, rank))) holding |= 1u << (14 - rank);
            deal.cards[ClockwisePos(seat)][suit] = holding;
        }
    }
}

TrickTable FromDds(const ddTableResults& res) {
    TrickTable t{};
    for (int seat = 0; seat < 4; ++seat)
        for (int strain = 0; strain < StrainCount; ++strain)
            t[seat][static_cast<std::size_t>(strain)] = res.resTable[DdsStrain(strain)][ClockwisePos(seat)];
    return t;
}

ddTableResults ToDds(const TrickTable& t) {
    ddTableResults res{};
    for (int seat = 0; seat < 4; ++seat)
        for (int strain = 0; strain < StrainCount; ++strain)
            res.resTable[DdsStrain(strain)][ClockwisePos(seat)] = t[seat][static_cast<std::size_t>(strain)];
    return res;
}

// Called with the lock held.
ParResult ParLocked(const ddTableResults& table, int dealer, Vulnerability vul) {
    ddTableResults copy = table;
    parResultsMaster master{};
    ParResult par;
    const int failure = ParFailure.load();
    const int code = failure ? failure : DealerParBin(&copy, &master, ClockwisePos(dealer & 3), DdsVulnerable(vul));
    if (code != RETURN_NO_FAULT) {
        par.Error = DdsMessage(code);
        return par;
    }
    par.Score = master.score;
    static const char* const Seats[6] = {"N", "E", "S", "W", "NS", "EW"};
    for (int i = 0; i < std::clamp(master.number, 0, 10); ++i) {
        const contractType& c = master.contracts[i];
        if (c.level < 1) continue;
        ParContract p;
        p.Level = c.level;
        p.Denomination = c.denom; // DDS lists these notrump first, as we do
        p.Doubled = c.underTricks > 0;
        p.Declarers = Seats[std::clamp(c.seats, 0, 5)];
        p.Result = c.underTricks > 0 ? -c.underTricks : c.overTricks;
        par.Contracts.push_back(p);
    }
    return par;
}

} // namespace

std::string NotAnalysed(const std::string& name, std::uint64_t board, const std::string& what) {
    return name + ": board " + std::to_string(board) + " not analysed: " + what;
}

namespace {
std::atomic<std::uint64_t> BoardsSolved{0};
} // namespace

bool AnalyseBatch(const Board* boards, std::size_t count, BoardAnalysis* out, std::string* error) {
    if (count == 0) return true;
    BoardsSolved += count;
    if (count > MaxDdsBatch) {
        if (error) *error = DdsMessage(RETURN_TOO_MANY_TABLES);
        return false;
    }
    DdsTables& tables = Tables();
    const auto& deals = tables.Deals;
    const auto& results = tables.Results;
    const auto& pars = tables.Pars;
    std::lock_guard<std::mutex> hold(DdsLock());
    *deals = ddTableDeals{};
    deals->noOfTables = static_cast<int>(count);
    for (std::size_t i = 0; i < count; ++i) ToDds(boards[i], deals->deals[i]);
    int filter[DDS_STRAINS] = {0, 0, 0, 0, 0};
    // Par goes board by board below: the batch call takes one vulnerability.
    const int code = CalcAllTables(deals.get(), -1, filter, results.get(), pars.get());
    if (code != RETURN_NO_FAULT) {
        if (error) *error = DdsMessage(code);
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        out[i].Tricks = FromDds(results->results[i]);
        out[i].Par = ParLocked(results->results[i], boards[i].Dealer, boards[i].Vul);
    }
    return true;
}

ParResult ParOf(const TrickTable& tricks, int dealer, Vulnerability vul) {
    std::lock_guard<std::mutex> hold(DdsLock());
    return ParLocked(ToDds(tricks), dealer, vul);
}

namespace {

// One DDS call's boards and what came of them, owned by the call so that a
// caller that stops waiting leaves nothing it points into.
struct BatchWork {
    std::vector<Board> Sent;
    std::vector<std::optional<BoardAnalysis>> Results;
    std::vector<std::string> Refusals; // by board sent; empty when analysed

    void Analyse() {
        Results.assign(Sent.size(), std::nullopt);
        Refusals.assign(Sent.size(), std::string());
        std::vector<BoardAnalysis> got(Sent.size());
        std::string why;
        if (AnalyseBatch(Sent.data(), Sent.size(), got.data(), &why)) {
            for (std::size_t i = 0; i < Sent.size(); ++i) Results[i] = got[i];
            return;
        }
        // One at a time, so that the message names the board DDS refuses.
        for (std::size_t i = 0; i < Sent.size(); ++i) {
            if (AnalyseBatch(&Sent[i], 1, got.data(), &why))
                Results[i] = got[0];
            else
                Refusals[i] = why;
        }
    }
};

} // namespace

AnalysisReport AnalyseBoards(const std::vector<std::optional<Board>>& boards, const std::string& name,
                             const AnalysisProgress& progress, std::size_t batch, const std::atomic<bool>* stop) {
    AnalysisReport report;
    report.Results.resize(boards.size());
    batch = std::clamp<std::size_t>(batch, 1, MaxDdsBatch);
    std::size_t next = 0;
    while (next < boards.size()) {
        if (stop && stop->load()) {
            report.Cancelled = true;
            break;
        }
        auto work = std::make_shared<BatchWork>();
        std::vector<std::size_t> where;
        for (; next < boards.size() && work->Sent.size() < batch; ++next) {
            if (!boards[next]) continue;
            const Board& b = *boards[next];
            if (const std::string problem = HandsProblem(b.Hands); !problem.empty()) {
                report.Problems.push_back(NotAnalysed(name, b.Number, problem));
                continue;
            }
            work->Sent.push_back(b);
            where.push_back(next);
        }
        if (!work->Sent.empty()) {
            if (!DdsThread::Instance().Run([work] { work->Analyse(); }, stop)) {
                report.Cancelled = true;
                break;
            }
            for (std::size_t i = 0; i < where.size(); ++i) {
                report.Results[where[i]] = work->Results[i];
                if (!work->Refusals[i].empty())
                    report.Problems.push_back(NotAnalysed(name, work->Sent[i].Number, work->Refusals[i]));
            }
        }
        if (progress && !progress(next, boards.size())) {
            report.Cancelled = next < boards.size();
            break;
        }
    }
    return report;
}

AnalysisReport AnalyseBoardFile(BoardSource& file, const AnalysisProgress& progress, std::size_t batch,
                                const std::atomic<bool>* stop, const AnalysedBatchFn& batchDone) {
    batch = std::clamp<std::size_t>(batch, 1, MaxDdsBatch);
    const std::size_t total = file.BoardCount();
    AnalysisReport report;
    report.Results.resize(total);
    std::vector<std::string> refused;
    for (std::size_t first = 0; first < total || first == 0; first += batch) {
        AnalysedBatch part;
        part.First = first;
        part.Total = total;
        const std::size_t count = std::min(batch, total - first);
        std::vector<std::optional<Board>> boards(count);
        for (std::size_t i = 0; i < count; ++i) {
            Board b;
            std::string problem;
            if (file.ReadDeal(first + i + 1, b, &problem))
                boards[i] = b;
            else
                part.Problems.push_back(NotAnalysed(file.Path(), b.Number, problem));
        }
        report.Problems.insert(report.Problems.end(), part.Problems.begin(), part.Problems.end());
        AnalysisReport got = AnalyseBoards(boards, file.Path(), {}, batch, stop);
        refused.insert(refused.end(), got.Problems.begin(), got.Problems.end());
        part.Problems.insert(part.Problems.end(), got.Problems.begin(), got.Problems.end());
        for (std::size_t i = 0; i < count; ++i) report.Results[first + i] = got.Results[i];
        part.Results = std::move(got.Results);
        part.Done = first + count;
        part.Last = part.Done >= total;
        part.Cancelled = got.Cancelled || (!part.Last && stop && stop->load());
        if (!part.Cancelled && progress && !progress(part.Done, total)) part.Cancelled = !part.Last;
        report.Cancelled = part.Cancelled;
        const bool end = part.Last || part.Cancelled;
        if (batchDone) batchDone(std::move(part));
        if (end) break;
    }
    report.Problems.insert(report.Problems.end(), refused.begin(), refused.end());
    return report;
}

std::size_t AnalysisBatch() {
    static const std::size_t boards =
        std::clamp<std::size_t>(2 * std::max(1u, std::thread::hardware_concurrency()), 2, MaxDdsBatch);
    return boards;
}

std::optional<double> MeasureSecondsPerBoard(const std::atomic<bool>* stop) {
    // Two calls of the usual size, of random boards: the first readies DDS's
    // tables and is not timed; the solver's time varies a lot from board to
    // board, so a few boards give the size of it and no more.
    std::mt19937 random(20261208);
    const std::size_t batch = AnalysisBatch();
    std::vector<std::optional<Board>> boards;
    for (std::uint64_t n = 1; n <= 2 * batch; ++n) {
        std::array<CardCode, 52> pack = FullPack;
        std::shuffle(pack.begin(), pack.end(), random);
        std::array<CardMask, 4> hands{};
        for (int i = 0; i < 52; ++i)
            hands[static_cast<std::size_t>(i / 13)] |= CardBit(pack[static_cast<std::size_t>(i)]);
        boards.push_back(NumberedBoard(hands.data(), n));
    }
    const std::vector<std::optional<Board>> first(boards.begin(), boards.begin() + static_cast<std::ptrdiff_t>(batch));
    if (AnalyseBoards(first, "sample", {}, batch, stop).Cancelled) return std::nullopt;
    const std::vector<std::optional<Board>> timed(boards.begin() + static_cast<std::ptrdiff_t>(batch), boards.end());
    const auto start = std::chrono::steady_clock::now();
    if (AnalyseBoards(timed, "sample", {}, batch, stop).Cancelled) return std::nullopt;
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / static_cast<double>(timed.size());
}

bool DdsBusy() { return DdsThread::Instance().Busy(); }

void ExitWithoutWaitingForDds(int status) {
    if (!DdsBusy()) return;
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}

void SetParFailureForTesting(int code) { ParFailure.store(code); }

std::uint64_t BoardsSolvedForTesting() { return BoardsSolved.load(); }

} // namespace zelv
