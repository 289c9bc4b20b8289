#pragma once
// A condition across seats written in the script language, as a set-up
// holds it (the generation dialog's Condition box, a generator file): the
// definitions it uses and one condition, nothing that deals or prints.
// Compiled once, it gives each dealing thread a test of four hands.
#include "core/conditions/Program.h"
#include "core/dealing/BoardCondition.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace zelv {

// Where a condition goes wrong (line and column from 1) and what is wrong there.
struct ConditionProblem {
    int Line = 0, Column = 0;
    std::string Message;
};

class SetupCondition {
  public:
    // Compiles `text`; null, with the problem, when it is not a condition.
    static std::shared_ptr<const SetupCondition> Compile(std::string_view text, ConditionProblem* problem);

    // A test per dealing thread; each keeps this condition alive.
    static BoardCondition Tests(const std::shared_ptr<const SetupCondition>& condition);

    // The first fault met while testing a deal (a division by zero, the
    // solver failing), "LINE:COLUMN: message"; empty when none. A deal the
    // condition cannot be worked out on is not taken.
    std::string Fault() const;

    const Script& Parsed() const { return script_; }

  private:
    SetupCondition() = default;
    void NoteFault(const DealState& deal) const;

    Script script_;
    std::unique_ptr<Program> program_;
    mutable std::mutex lock_;
    mutable std::string fault_;
};

// "Line 2, column 5: expected ')', found the end of the script".
std::string ConditionProblemText(const ConditionProblem& problem);

} // namespace zelv
