// Any text as a dealer script: it parses or is refused with a located
// message, never crashes; a script that parses is evaluated on a few deals
// (every definition, the condition and the actions' expressions).
#include "core/conditions/Parser.h"
#include "core/conditions/Program.h"
#include "core/conditions/ScriptDeal.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelv;
    if (size > 20000) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Script script;
    std::string error;
    if (!ParseScript(text, "FUZZ.DL", script, &error)) {
        if (error.rfind("FUZZ.DL:", 0) != 0) std::abort();
        return 0;
    }
    SourcePos where;
    (void)PredealProblem(script, &where);
    const Program program(script);
    if (program.UsesTricks()) return 0; // the solver is slow and fuzzed elsewhere
    DealState deal;
    program.Prepare(deal);
    deal.DealSeat = [](void*, int, DealState&) {};
    for (std::uint64_t shift = 0; shift < 52; shift += 13) {
        deal.Clear();
        for (int seat = 0; seat < 4; ++seat) {
            const std::uint64_t block = ((std::uint64_t{1} << 13) - 1) << ((shift + 13 * seat) % 52);
            deal.Cards[static_cast<std::size_t>(seat)] = block;
        }
        deal.Dealt = 15;
        for (std::size_t i = 0; i < script.Definitions.size(); ++i) program.Evaluate(script.Definitions[i].Root, deal);
        if (script.Condition >= 0) program.Evaluate(script.Condition, deal);
        for (const Action& a : script.Actions) {
            if (a.Expr >= 0) program.Evaluate(a.Expr, deal);
            if (a.Expr2 >= 0) program.Evaluate(a.Expr2, deal);
        }
    }
    return 0;
}
