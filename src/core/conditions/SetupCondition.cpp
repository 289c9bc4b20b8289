#include "core/conditions/SetupCondition.h"

#include "core/conditions/Parser.h"

#include <array>
#include <string_view>

namespace zelv {

namespace {

// The script's seat order (north, east, south, west) to the engine's seat index.
constexpr std::array<int, 4> EngineSeat = {North, East, South, West};

// The commands a set-up's condition leaves to the set-up: how many boards,
// which cards go where, who deals, what is printed.
constexpr std::array<std::string_view, 6> SetupCommands = {"generate", "produce", "predeal",
                                                           "action",   "dealer",  "vulnerable"};

// The first such command in `text` (which parses), thrown as a fault.
void RefuseSetupCommands(std::string_view text) {
    for (const Token& t : Tokenize(text)) {
        if (t.Kind != TokenKind::Word) continue;
        for (const std::string_view command : SetupCommands)
            if (t.Text == command)
                throw ScriptError(t.Pos, "'" + t.Text +
                                             "' has no place in a set-up's condition, which holds the condition and "
                                             "the definitions it uses; the set-up deals the boards");
    }
}

} // namespace

std::shared_ptr<const SetupCondition> SetupCondition::Compile(std::string_view text, ConditionProblem* problem) {
    std::shared_ptr<SetupCondition> condition(new SetupCondition());
    try {
        condition->script_ = ParseScript(text);
        RefuseSetupCommands(text);
        if (condition->script_.Condition < 0)
            throw ScriptError(Tokenize(text).back().Pos,
                              "expected a condition, such as hcp(north) + hcp(south) >= 25, found the end");
    } catch (const ScriptError& e) {
        if (problem) *problem = ConditionProblem{e.Pos.Line, e.Pos.Column, e.what()};
        return nullptr;
    }
    condition->program_ = std::make_unique<Program>(condition->script_);
    return condition;
}

BoardCondition SetupCondition::Tests(const std::shared_ptr<const SetupCondition>& condition) {
    return [condition]() -> BoardTest {
        auto deal = std::make_shared<DealState>();
        condition->program_->Prepare(*deal);
        return [condition, deal](const CardMask* hands) {
            deal->Clear();
            for (std::size_t s = 0; s < 4; ++s) deal->Cards[s] = hands[EngineSeat[s]];
            deal->Dealt = 15u; // every hand given: none is dealt on demand
            const bool met = condition->program_->True(condition->script_.Condition, *deal);
            if (deal->Error.empty()) return met;
            condition->NoteFault(*deal);
            return false;
        };
    };
}

void SetupCondition::NoteFault(const DealState& deal) const {
    const std::lock_guard<std::mutex> hold(lock_);
    if (fault_.empty())
        fault_ = std::to_string(deal.ErrorPos.Line) + ":" + std::to_string(deal.ErrorPos.Column) + ": " + deal.Error;
}

std::string SetupCondition::Fault() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return fault_;
}

std::string ConditionProblemText(const ConditionProblem& problem) {
    return "Line " + std::to_string(problem.Line) + ", column " + std::to_string(problem.Column) + ": " +
           problem.Message;
}

} // namespace zelv
