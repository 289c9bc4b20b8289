#include "core/conditions/ScriptRun.h"

#include "core/conditions/ActionOutput.h"
#include "core/conditions/Parser.h"
#include "core/conditions/ScriptDeal.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <thread>

namespace zelv {

namespace {

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y.%m.%d", &local);
    return buf;
}

bool Prints(const Script& script) {
    for (const Action& a : script.Actions)
        if (a.Kind != ActionKind::Average && a.Kind != ActionKind::Frequency && a.Kind != ActionKind::Frequency2D)
            return true;
    return false;
}

ScriptDealOptions DealOptions(const Script& script, const ScriptRunOptions& options, std::uint64_t seed) {
    ScriptDealOptions d;
    d.Secure = options.Secure;
    d.Seed = seed;
    d.Threads =
        options.Threads > 0 ? options.Threads : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    d.Generate = options.MaxAttempts ? *options.MaxAttempts
                 : script.Generate   ? static_cast<std::uint64_t>(*script.Generate)
                                     : DefaultGenerate;
    d.Produce = options.Boards   ? *options.Boards
                : script.Produce ? static_cast<std::uint64_t>(*script.Produce)
                : Prints(script) ? DefaultPrintedDeals
                                 : d.Generate;
    return d;
}

void Statistics(std::ostream& out, const ScriptRunResult& r, const std::string& seedText, double seconds) {
    char time[32];
    std::snprintf(time, sizeof time, "%8.3f", seconds);
    out << "Generated " << r.Generated << " hands\nProduced " << r.Produced << " hands\n";
    if (!seedText.empty()) out << "Initial random seed " << seedText << "\n";
    out << "Time needed " << time << " sec\n";
}

ScriptRunResult Fail(ScriptRunStatus status, std::string message) {
    ScriptRunResult r;
    r.Status = status;
    r.Message = std::move(message);
    return r;
}

// Deals and prints; the board set is written when asked, all of it or none.
ScriptRunResult DealAndPrint(const Script& script, const ScriptRunOptions& options, std::ostream& out,
                             const std::atomic<bool>* interrupt, std::uint64_t seed) {
    const std::string seedText = options.Secure ? "" : std::to_string(seed);
    const Program program(script);
    const ScriptDealOptions dealing = DealOptions(script, options, seed);
    std::string error;
    BoardSetWriter files;
    if (options.Files && !files.Open(*options.Files, &error)) return Fail(ScriptRunStatus::Failed, error);
    ActionOutput actions(program, {options.Name, options.Secure ? "secure" : seedText, Today()}, out);
    const auto start = std::chrono::steady_clock::now();
    std::uint64_t produced = 0;
    const ScriptDealResult dealt = DealScript(
        program, dealing,
        [&](const Hands& hands, std::uint64_t) {
            if (options.Files) files.Write(hands);
            return actions.OnDeal(hands, ++produced);
        },
        interrupt);
    ScriptRunResult r;
    r.Generated = dealt.Generated;
    r.Produced = dealt.Produced;
    if (!dealt.Error.empty() || !actions.Error().empty()) {
        files.Abandon();
        const bool inDeal = !dealt.Error.empty();
        return Fail(ScriptRunStatus::Failed, LocatedMessage(options.Name, inDeal ? dealt.ErrorPos : actions.ErrorPos(),
                                                            inDeal ? dealt.Error : actions.Error()));
    }
    actions.Finish();
    if (!options.Quiet)
        Statistics(out, r, seedText, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    out.flush();
    if (dealt.Interrupted) {
        r.Status = ScriptRunStatus::Interrupted;
        r.Message = "interrupted after " + std::to_string(r.Generated) + " deals";
    } else if (r.Produced == 0 && dealing.Produce > 0) {
        r.Status = ScriptRunStatus::NeverMet;
        r.Message = options.Name + ": the condition was never met in " + std::to_string(r.Generated) + " deals";
    } else if (r.Produced < dealing.Produce && options.Files) {
        r.Message = options.Name + ": only " + std::to_string(r.Produced) + " of " + std::to_string(dealing.Produce) +
                    " deals met the condition in " + std::to_string(r.Generated) + " deals";
    }
    if (!options.Files) return r;
    if (r.Produced == 0) {
        files.Abandon();
        return r;
    }
    if (!files.Close(&error)) {
        r.Status = ScriptRunStatus::Failed;
        r.Message = error;
    }
    r.BoardPath = files.BoardPath();
    return r;
}

} // namespace

ScriptRunResult RunScriptText(const std::string& text, const ScriptRunOptions& options, std::ostream& out,
                              const std::atomic<bool>* interrupt) {
    Script script;
    std::string error;
    if (!ParseScript(text, options.Name, script, &error)) return Fail(ScriptRunStatus::BadScript, error);
    SourcePos where;
    if (const std::string problem = PredealProblem(script, &where); !problem.empty())
        return Fail(ScriptRunStatus::BadScript, LocatedMessage(options.Name, where, problem));
    std::uint64_t seed = 0;
    if (options.Seed)
        seed = *options.Seed;
    else if (!options.Secure)
        seed = std::random_device{}();
    return DealAndPrint(script, options, out, interrupt, seed);
}

} // namespace zelv
