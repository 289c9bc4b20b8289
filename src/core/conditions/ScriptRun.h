#pragma once
// Runs a dealer script from start to end: parses it, checks that its
// predeal can be dealt, deals, prints its actions as dealer prints them and
// its closing statistics, and when asked writes the kept deals as a board
// set.
#include "core/conditions/EngineBridge.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace zelv {

struct ScriptRunOptions {
    std::string Name = "-";              // the script's file, named in messages
    std::optional<std::uint64_t> Boards; // overrides produce
    std::optional<std::uint64_t> Seed;   // none: one is drawn and printed
    bool Secure = false;
    int Threads = 0;                          // 0: one per core
    std::optional<std::uint64_t> MaxAttempts; // overrides generate
    bool Quiet = false;                       // no closing statistics
    std::optional<BoardSetWriter::Choice> Files;
};

enum class ScriptRunStatus { Done, BadScript, NeverMet, Interrupted, Failed };

struct ScriptRunResult {
    ScriptRunStatus Status = ScriptRunStatus::Done;
    std::uint64_t Generated = 0, Produced = 0;
    std::string Message;   // the fault, or what stopped the run
    std::string BoardPath; // of the written set
};

// Deals when none is given for produce: 40 with a printing action, else up to generate.
inline constexpr std::uint64_t DefaultGenerate = 10000000;
inline constexpr std::uint64_t DefaultPrintedDeals = 40;

ScriptRunResult RunScriptText(const std::string& text, const ScriptRunOptions& options, std::ostream& out,
                              const std::atomic<bool>* interrupt = nullptr);

} // namespace zelv
