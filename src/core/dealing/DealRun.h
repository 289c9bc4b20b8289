#pragma once
// A whole generation run: load and check the set-up, create the output
// files, deal until the requested number of boards is accepted (or the run
// is stopped or reaches its attempt limit), and put the files in place. A
// run that accepts no board, however it ends, keeps the previous files.
#include "core/dealing/BoardCondition.h"
#include "core/dealing/DealEngine.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zelv {

// One part of a session: a set-up and its number of boards, dealt into the
// run's files after the boards of the parts before it.
struct RunPart {
    std::string Name; // each of its boards' PBN game carries it as [Zelvano_Part "Name"]
    DealSetup Setup;
    std::int64_t Boards = 0;
    bool SeedFirst = true;
    bool Level = false;
    BoardCondition Condition;
};

struct DealRunOptions {
    DealSetup Setup; // by seat index
    bool SeedFirst = true;
    std::int64_t Boards = 1;
    std::string DefinitionsFolder;
    std::string OutputFolder;
    std::string FileCode = "ZELV";
    bool WritePbn = true;
    // Each PBN game also carries the board's double-dummy analysis.
    bool PbnAnalysis = false;
    bool WriteDup = false; // CODE.DUP, at most board 999
    bool WriteDlm = false; // CODE.DLM, at most board 99
    // The set's first board number: the PBN, DUP and DLM files number the
    // boards from it, and dealer and vulnerability follow.
    std::uint64_t FirstBoard = 1;
    std::uint64_t MaxAttempts = 0; // 0: no limit
    // The classic dealer's generator: a run from `Seed` repeats exactly;
    // otherwise the run continues `Random`'s sequence and leaves it where
    // the run ended (the application's one generator of the session); with
    // neither, it starts from the clock.
    std::optional<std::uint32_t> Seed;
    ClassicRandom* Random = nullptr;
    // The draws the classic generator may make before its sequence comes
    // back to where the run began: its whole period. A test starts a run
    // near the end of it.
    std::uint64_t ClassicDraws = RandPeriod;
    // Draw from the cryptographically secure source instead.
    bool Secure = false;
    // Threads a secure run deals on, each with its own secure stream; one
    // writer numbers the boards in the order they are found. 0: one per
    // core. The classic dealer always deals on one: its sequence is the
    // file format.
    unsigned Threads = 0;
    // Share boards equally among each seat's alternatives: board k of the
    // run requires of every constrained seat with m defined slots its slot
    // number ((k - 1) mod m) + 1, counting defined slots in order, which
    // then stands first (its must-have cards are the ones seeded).
    bool Level = false;
    // Checked on every board the seats accept, classic, secure and
    // levelled alike; a board it refuses counts as an attempt that failed.
    // None: every such board is taken, as always.
    BoardCondition Condition;
    // A session: when there are parts, they take the place of Setup, Boards,
    // SeedFirst, Level and Condition above, and are dealt one after the
    // other into one set numbered straight through from FirstBoard. Every
    // part is checked before any file is touched. The classic generator
    // carries on from one part to the next, so a seeded session repeats.
    std::vector<RunPart> Parts;
    // The parts' boards written in a random order (drawn from the run's
    // source), numbered afterwards: the themes do not come in blocks.
    bool Mix = false;
};

// The boards a run deals in all: its parts' together, or Boards.
std::int64_t RunBoards(const DealRunOptions& options);
// The options part `index` of a session is dealt with: the session's own,
// with the part's set-up, count, and first board (the first board after the
// parts before it, unmixed).
DealRunOptions PartRunOptions(const DealRunOptions& options, std::size_t index);
// "Part 2 (weak twos)", as the run's messages name a part; "Part 2" when it
// has no name.
std::string RunPartLabel(std::size_t index, const std::string& name);

// Boards each slot got, by seat index and slot position.
using AlternativeShares = std::array<std::array<std::uint64_t, 5>, 4>;

struct DealProgress {
    std::uint64_t Accepted = 0;
    std::uint64_t Attempts = 0;
    std::int64_t Requested = 0;
    double Seconds = 0;
    AlternativeShares Shares{}; // levelled runs only
    // A run that analyses its boards does so once they are dealt: whether
    // it does, whether it has begun, and the boards analysed so far.
    bool WithAnalysis = false;
    bool Analysing = false;
    std::uint64_t Analysed = 0;
    std::size_t Part = 0; // a session: the part being dealt, from 0
};

enum class DealStatus {
    Done,         // every requested board was dealt
    Stopped,      // the stop flag was raised; the boards so far are kept
    AttemptLimit, // MaxAttempts reached; the boards so far are kept
    // The classic generator has gone through its numbers: further boards
    // would repeat those dealt. The boards so far are kept.
    SequenceSpent,
    Failed // nothing dealt (set-up refused, files not created) or a write failed
};

struct DealRunResult {
    DealStatus Status = DealStatus::Failed;
    std::uint64_t Accepted = 0;
    std::uint64_t Attempts = 0;
    double Seconds = 0;
    std::string Error;
    std::string ErrorDetail; // where a bad value stands (key and file), when known
    std::string BoardPath, BriPath, PbnPath, DupPath, DlmPath;
    // The run's files were put in place. A run that accepted no board, or
    // failed, leaves the previous files as they were.
    bool Written = false;
    AlternativeShares Shares{}; // levelled runs only
    // With PbnAnalysis: the boards whose PBN games carry their analysis (a
    // stopped run's first ones), the seconds spent on it, and a line for
    // each game written without its par (ParNotComputedNote).
    bool WithAnalysis = false;
    std::uint64_t Analysed = 0;
    double AnalysisSeconds = 0;
    std::vector<std::string> Notes;
    // A session: the boards kept of each part, in the parts' order. A part
    // is whole when it has all its boards.
    std::vector<std::uint64_t> PartBoards;
};

using ProgressFn = std::function<void(const DealProgress&)>;

// Deals a run: its options and set-up checked (RunChecks.h) before any
// file is touched, the files opened, the boards dealt by the classic or the
// secure dealer, analysed when asked, and the files put in place. `progress` is called a few times a second and
// once at the end, on the calling thread; `stop` is polled between attempts
// and between the boards written, and ends an analysis within a few
// hundredths of a second, the batch in flight abandoned. MaxAttempts counts
// the attempts of every thread.
DealRunResult RunDeal(const DealRunOptions& options, const std::atomic<bool>* stop = nullptr,
                      const ProgressFn& progress = {});

} // namespace zelv
