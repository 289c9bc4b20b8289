#pragma once
// A script compiled for evaluation: its nodes with the tables they read
// built once, evaluated against one deal at a time from the hands' card
// sets. A deal's hands are asked for only when an expression first reads
// them, and whole-hand counts (points, controls, ...) are worked out at most
// once per deal; nothing is allocated per deal.
#include "core/conditions/EngineBridge.h"
#include "core/conditions/Scoring.h"
#include "core/conditions/Script.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zelv {

class Program;

// One deal as the program sees it, and what it has worked out about it.
class DealState {
  public:
    // Deals `seat`'s hand into Hands when first asked for it.
    using DealFn = void (*)(void* source, int seat, DealState& deal);

    Hands Cards{};
    unsigned Dealt = 0; // bit per seat whose hand is in Cards
    void* Source = nullptr;
    DealFn DealSeat = nullptr;

    CardSet Hand(int seat) {
        if (!((Dealt >> seat) & 1u)) DealSeat(Source, seat, *this);
        return Cards[static_cast<std::size_t>(seat)];
    }
    // Forgets the last deal: no hand dealt, nothing worked out.
    void Clear() {
        Dealt = 0;
        known_ = 0;
        tricksKnown_ = false;
        if (++stamp_ == 0) {
            std::fill(defStamp_.begin(), defStamp_.end(), 0u);
            stamp_ = 1;
        }
    }
    // A runtime fault of the last evaluation (division by zero, overflow,
    // the solver failing): what and where; empty when none.
    std::string Error;
    SourcePos ErrorPos;

  private:
    friend class Program;
    std::uint32_t stamp_ = 1;
    std::vector<std::uint32_t> defStamp_;
    std::vector<std::int64_t> defValue_;
    std::uint64_t known_ = 0;
    std::array<std::int64_t, 64> cached_{};
    bool tricksKnown_ = false;
    std::array<std::array<int, 5>, 4> tricks_{};
};

class Program {
  public:
    explicit Program(const Script& script);

    // Readies a deal state for this program (once, before its first deal).
    void Prepare(DealState& deal) const;
    // The value of node `root` for the current deal; 0 with deal.Error set
    // on a runtime fault.
    std::int64_t Evaluate(int root, DealState& deal) const;
    bool True(int root, DealState& deal) const { return Evaluate(root, deal) != 0; }

    const Script& Source() const { return script_; }
    // Whether any expression of the script asks the double-dummy solver.
    bool UsesTricks() const { return usesTricks_; }

  private:
    std::int64_t Eval(int i, DealState& d) const;
    std::int64_t Arithmetic(const Node& n, DealState& d) const;
    std::int64_t WholeHand(const Node& n, DealState& d) const;
    std::int64_t TricksOf(const Node& n, DealState& d) const;
    std::int64_t Fail(const Node& n, DealState& d, const char* what) const;

    const Script& script_;
    std::array<HoldingTable, CountTables> tables_;
    HoldingTable cccc_;
    std::vector<int> slot_; // cache slot per node, -1 none
    bool usesTricks_ = false;
};

} // namespace zelv
