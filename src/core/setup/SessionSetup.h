#pragma once
// A session made ready to deal: each part's generator set-up turned into
// the run's part (its definitions matched against the definitions folder,
// its condition compiled), the session's options into the run's, and the
// words a session's odds and its end are shown in, the same from the dialog
// and from the command line.
#include "core/conditions/SetupCondition.h"
#include "core/dealing/DealRun.h"
#include "core/setup/SessionFile.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace zelv {

struct SessionRun {
    DealRunOptions Options;
    // By part: its compiled condition, null where it has none; kept to
    // report the first deal a condition could not be worked out on.
    std::vector<std::shared_ptr<const SetupCondition>> Conditions;
};

// The condition across seats `setup` (read from `file`) holds, compiled;
// null when it has none. False, with "<file>: the condition (Condition=)
// <what is wrong>", when it is no condition.
bool CompileGeneratorCondition(const GeneratorSetup& setup, const std::string& file,
                               std::shared_ptr<const SetupCondition>& condition, std::string* error);

// Sets `run.Options`' parts, board count and file options (PBN, analysis,
// DUP, DLM, secure source, mixing, first board) from `session`, leaving
// the folders, file code, threads and attempt limit as they are. False,
// with the reason naming the part and its generator file, when a part's
// definition is missing from `definitionsFolder` or its condition is not
// one; nothing is then changed.
bool PrepareSessionRun(const Session& session, const std::string& definitionsFolder, SessionRun& run,
                       std::string* error);

// "Part 2 (weak twos)" as messages name a part.
std::string PartLabel(const Session& session, std::size_t index);

// How a session ended, a line for each part: "1NT openers: 8 of 8 boards,
// whole", "weak twos: 3 of 8 boards", "anything: not dealt".
std::vector<std::string> SessionPartLines(const Session& session, const DealRunResult& result);

// The odds of each part and the session's time, each part sampled for
// about `secondsPerPart`: "1NT openers: about 1 board in 41 (±4%); 8
// boards in about 0.1 s", ..., then "Session: 24 boards in about 0.3 s".
// With the seconds each board's analysis takes, the times include it.
std::vector<std::string> SessionEstimateLines(const SessionRun& run, const Session& session, double secondsPerPart,
                                              double analysisSecondsPerBoard = 0,
                                              const std::atomic<bool>* stop = nullptr);

} // namespace zelv
