#pragma once
// Double-dummy analysis through DDS, Debian's libdds: for each board the
// tricks every declarer takes in every strain with best play on both sides,
// and the par result for the board's dealer and vulnerability. A thin
// wrapper: boards go to DDS's batch call as they are, so that its own
// threads use every core, and its error codes come back as messages.
#include "core/cards/HandValue.h"
#include "core/formats/Board.h"
#include "core/formats/BoardSource.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zelv {

// Strains in the order hand records list them.
enum Strain : int { NoTrump = 0, SpadeStrain = 1, HeartStrain = 2, DiamondStrain = 3, ClubStrain = 4 };
inline constexpr int StrainCount = 5;

// Tricks[seat index][strain]: what the seat takes as declarer, 0 to 13.
using TrickTable = std::array<std::array<int, StrainCount>, 4>;

struct ParContract {
    int Level = 0; // 1 to 7
    int Denomination = NoTrump;
    bool Doubled = false; // a sacrifice, doubled
    // Who may declare it: "N", "E", "S", "W", "NS" or "EW".
    std::string Declarers;
    // Over the contract (> 0), down (< 0), or just made (0).
    int Result = 0;
    bool operator==(const ParContract&) const = default;
};

struct ParResult {
    int Score = 0;                      // from North-South's side
    std::vector<ParContract> Contracts; // none: the board is passed out
    // Why DDS could not work the par out (then there is no score or
    // contract); empty when it did.
    std::string Error{};
    bool operator==(const ParResult&) const = default;
};

struct BoardAnalysis {
    TrickTable Tricks{};
    ParResult Par;
    bool operator==(const BoardAnalysis&) const = default;
};

// The most boards one DDS batch call takes with all five strains.
inline constexpr std::size_t MaxDdsBatch = 32;
// The boards of one DDS call where a stop should cost little work: two a
// core give DDS (a task a board and strain) enough to keep every core busy
// as a full batch does, measured on two cores, while a call lasts about
// half a second, so progress moves often and a stop throws little away.
std::size_t AnalysisBatch();

// Analyses up to MaxDdsBatch boards in one DDS call; out[i] for boards[i].
// Every board must be a whole deal (HandsProblem empty). False, with DDS's
// reason, when the call fails; `out` is then undefined.
bool AnalyseBatch(const Board* boards, std::size_t count, BoardAnalysis* out, std::string* error);

// The par result of a table for a dealer (seat index) and vulnerability:
// what both sides reach bidding double dummy, sacrifices doubled.
ParResult ParOf(const TrickTable& tricks, int dealer, Vulnerability vul);

// Called after each batch with the boards done (analysed or passed over)
// and the total; returning false stops the analysis there.
using AnalysisProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Every DDS call is made on one thread kept for it, one call at a time. A
// caller given a stop flag waits for its call only while the flag is down:
// once it is raised the caller goes on at once and the call in flight, which
// DDS cannot interrupt, finishes unobserved.

struct AnalysisReport {
    // By board, none for a board that was not analysed.
    std::vector<std::optional<BoardAnalysis>> Results;
    // One message for each board not analysed, naming the file and board.
    std::vector<std::string> Problems;
    // What was found but not used: a PBN game's analysis that disagrees with
    // itself, a kept table that fails its check. Those boards were solved.
    std::vector<std::string> Notes;
    bool Cancelled = false;
};

// Analyses every board given (none: a record that could not be read, left
// out by the caller with its message), `batch` boards to a DDS call. A board
// that is not a whole deal is never sent to the solver: it is reported and
// passed over, as is one that DDS refuses. `name` names the file in
// messages. Raising `stop` ends it within a few hundredths of a second,
// Cancelled, with the results of the batches already done.
AnalysisReport AnalyseBoards(const std::vector<std::optional<Board>>& boards, const std::string& name,
                             const AnalysisProgress& progress = {}, std::size_t batch = AnalysisBatch(),
                             const std::atomic<bool>* stop = nullptr);

// What one batch of AnalyseBoardFile came to, handed over as soon as it is
// done, so that a window can show the first results while the rest are
// worked out.
struct AnalysedBatch {
    std::size_t First = 0; // board position of Results[0], from 0
    std::vector<std::optional<BoardAnalysis>> Results;
    // The batch's records that could not be read, then its boards not analysed.
    std::vector<std::string> Problems;
    std::size_t Done = 0, Total = 0; // board positions dealt with, of the file's
    bool Last = false;               // the file's last batch
    bool Cancelled = false;
};
using AnalysedBatchFn = std::function<void(AnalysedBatch&&)>;

// Every board of an open file, by position, read and analysed `batch`
// boards at a time: one whose record is damaged or that is no whole deal is
// passed over with a message naming the file (the unreadable records'
// messages first). `batchDone`, when given, has each batch as it is done; a
// file of no boards makes one empty batch.
AnalysisReport AnalyseBoardFile(BoardSource& file, const AnalysisProgress& progress = {},
                                std::size_t batch = AnalysisBatch(), const std::atomic<bool>* stop = nullptr,
                                const AnalysedBatchFn& batchDone = {});

// Seconds a board's analysis takes on this machine, measured on a few
// random boards; none when `stop` was raised first.
std::optional<double> MeasureSecondsPerBoard(const std::atomic<bool>* stop = nullptr);

// True while DDS works on a call (one nobody may wait for any more).
bool DdsBusy();
// Ends the process with `status` straight away, standard output and error
// flushed, when DDS is still busy with a call a stop left behind, rather
// than wait on the way out for a result nobody wants; otherwise returns.
void ExitWithoutWaitingForDds(int status);

// For tests: DDS's par function is taken to fail with the DDS error `code`
// on every board from now on; 0 asks DDS again.
void SetParFailureForTesting(int code);
// For tests: the boards sent to the solver so far in this process, so that
// an analysis reused can be told from one solved again.
std::uint64_t BoardsSolvedForTesting();

// "<name>: board <number> not analysed: <what>".
std::string NotAnalysed(const std::string& name, std::uint64_t board, const std::string& what);

} // namespace zelv
