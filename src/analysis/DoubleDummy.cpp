#include "analysis/DoubleDummy.h"

#include <dds/dll.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <mutex>

namespace zelv {

namespace {

// DDS keeps its threads and tables in globals: one call at a time.
std::mutex& DdsLock() {
    static std::mutex lock;
    return lock;
}

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
        const CardMask hand = board.Hands[static_cast<std::size_t>(seat)];
        for (int suit = 0; suit < 4; ++suit) {
            unsigned holding = 0;
            // Our rank 0 is the ace; DDS sets bit 14 for it, down to bit 2 for the two.
            for (int rank = 0; rank < 13; ++rank)
                if (hand & CardBit(MakeCard(suit, rank))) holding |= 1u << (14 - rank);
            deal.cards[StoragePos(seat)][suit] = holding;
        }
    }
}

TrickTable FromDds(const ddTableResults& res) {
    TrickTable t{};
    for (int seat = 0; seat < 4; ++seat)
        for (int strain = 0; strain < StrainCount; ++strain)
            t[static_cast<std::size_t>(seat)][static_cast<std::size_t>(strain)] =
                res.resTable[DdsStrain(strain)][StoragePos(seat)];
    return t;
}

ddTableResults ToDds(const TrickTable& t) {
    ddTableResults res{};
    for (int seat = 0; seat < 4; ++seat)
        for (int strain = 0; strain < StrainCount; ++strain)
            res.resTable[DdsStrain(strain)][StoragePos(seat)] =
                t[static_cast<std::size_t>(seat)][static_cast<std::size_t>(strain)];
    return res;
}

// Called with the lock held.
ParResult ParLocked(const ddTableResults& table, int dealer, Vulnerability vul) {
    ddTableResults copy = table;
    parResultsMaster master{};
    ParResult par;
    if (DealerParBin(&copy, &master, StoragePos(dealer & 3), DdsVulnerable(vul)) != RETURN_NO_FAULT) return par;
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

int HighCardPoints(CardMask hand) {
    int points = 0;
    for (int suit = 0; suit < 4; ++suit)
        for (int rank = 0; rank < 4; ++rank)
            if (hand & CardBit(MakeCard(suit, rank))) points += 4 - rank;
    return points;
}

bool AnalyseBatch(const Board* boards, std::size_t count, BoardAnalysis* out, std::string* error) {
    if (count == 0) return true;
    if (count > MaxDdsBatch) {
        if (error) *error = DdsMessage(RETURN_TOO_MANY_TABLES);
        return false;
    }
    // Large for the stack, and only ever used under the lock.
    static const auto deals = std::make_unique<ddTableDeals>();
    static const auto results = std::make_unique<ddTablesRes>();
    static const auto pars = std::make_unique<allParResults>();
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

AnalysisReport AnalyseBoards(const std::vector<std::optional<Board>>& boards, const std::string& name,
                             const AnalysisProgress& progress, std::size_t batch) {
    AnalysisReport report;
    report.Results.resize(boards.size());
    batch = std::clamp<std::size_t>(batch, 1, MaxDdsBatch);
    std::vector<Board> sent;
    std::vector<std::size_t> where;
    std::vector<BoardAnalysis> got(MaxDdsBatch);
    std::size_t next = 0;
    while (next < boards.size()) {
        sent.clear();
        where.clear();
        for (; next < boards.size() && sent.size() < batch; ++next) {
            if (!boards[next]) continue;
            const Board& b = *boards[next];
            if (const std::string problem = HandsProblem(b.Hands); !problem.empty()) {
                report.Problems.push_back(NotAnalysed(name, b.Number, problem));
                continue;
            }
            sent.push_back(b);
            where.push_back(next);
        }
        std::string why;
        if (AnalyseBatch(sent.data(), sent.size(), got.data(), &why)) {
            for (std::size_t i = 0; i < sent.size(); ++i) report.Results[where[i]] = got[i];
        } else {
            // One at a time, so that the message names the board DDS refuses.
            for (std::size_t i = 0; i < sent.size(); ++i) {
                if (AnalyseBatch(&sent[i], 1, got.data(), &why))
                    report.Results[where[i]] = got[0];
                else
                    report.Problems.push_back(NotAnalysed(name, sent[i].Number, why));
            }
        }
        if (progress && !progress(next, boards.size())) {
            report.Cancelled = next < boards.size();
            break;
        }
    }
    return report;
}

AnalysisReport AnalyseBoardFile(BoardSource& file, const AnalysisProgress& progress, std::size_t batch) {
    std::vector<std::optional<Board>> boards(file.BoardCount());
    std::vector<std::string> unread;
    for (std::uint64_t n = 1; n <= boards.size(); ++n) {
        Board b;
        std::string problem;
        if (file.ReadDeal(n, b, &problem))
            boards[n - 1] = b;
        else
            unread.push_back(NotAnalysed(file.Path(), b.Number, problem));
    }
    AnalysisReport report = AnalyseBoards(boards, file.Path(), progress, batch);
    report.Problems.insert(report.Problems.begin(), unread.begin(), unread.end());
    return report;
}

} // namespace zelv
