#pragma once
// Deals for a script: random deals with the predealt cards in place, each
// hand dealt only when the condition first reads it, kept when the
// condition holds. Attempts are dealt in blocks; block b of a seeded run
// draws from its own stream, keyed by the seed and b, so a seed gives the
// same deals, in the same order, on any number of threads. One writer (the
// calling thread) takes the blocks in order.
#include "core/conditions/Program.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace zelv {

struct ScriptDealOptions {
    bool Secure = false;    // the secure keystream instead of the seeded one
    std::uint64_t Seed = 0; // seeded runs
    int Threads = 1;
    std::uint64_t Generate = 0; // attempts at most
    std::uint64_t Produce = 0;  // deals kept at most
};

// Takes each kept deal in order with the attempts made so far; false stops the run.
using DealSink = std::function<bool(const Hands& hands, std::uint64_t generated)>;

struct ScriptDealResult {
    std::uint64_t Generated = 0, Produced = 0;
    bool Interrupted = false;
    std::string Error; // a runtime fault, "LINE:COLUMN: what" less the file name, or a setup fault
    SourcePos ErrorPos;
};

// The faults of a script's predeal that dealing would meet: suit counts that
// no deal can give. Empty when it can be dealt.
std::string PredealProblem(const Script& script, SourcePos* where);

ScriptDealResult DealScript(const Program& program, const ScriptDealOptions& options, const DealSink& sink,
                            const std::atomic<bool>* interrupt = nullptr);

} // namespace zelv
