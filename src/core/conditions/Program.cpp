#include "core/conditions/Program.h"

#include <map>
#include <mutex>

namespace zelv {

namespace {

// The solver's state is shared; one deal at a time goes through it.
std::mutex SolverLock;

} // namespace

Program::Program(const Script& script) : script_(script), slot_(script.Nodes.size(), -1) {
    std::map<std::pair<int, int>, int> slots; // (table or -1 for cccc, seat) -> slot
    for (std::size_t i = 0; i < script.Nodes.size(); ++i) {
        const Node& n = script.Nodes[i];
        if (n.Kind == Op::Tricks) usesTricks_ = true;
        if (n.Kind == Op::Count && tables_[static_cast<std::size_t>(n.A)].empty()) {
            if (n.A == Losers)
                tables_[static_cast<std::size_t>(n.A)] = LoserTable();
            else if (n.A == Quality)
                tables_[static_cast<std::size_t>(n.A)] = QualityTable();
            else if (n.A == Controls)
                tables_[static_cast<std::size_t>(n.A)] = ScaleTable({2, 1});
            else
                tables_[static_cast<std::size_t>(n.A)] = ScaleTable(script.Scales[static_cast<std::size_t>(n.A)]);
        }
        if (n.Kind == Op::Cccc && cccc_.empty()) cccc_ = CcccSuitTable();
        const bool whole = (n.Kind == Op::Count && n.Suit < 0) || n.Kind == Op::Cccc;
        if (!whole) continue;
        const std::pair<int, int> key{n.Kind == Op::Cccc ? -1 : n.A, n.Seat};
        const auto it = slots.find(key);
        if (it != slots.end())
            slot_[i] = it->second;
        else if (slots.size() < 64)
            slot_[i] = slots[key] = static_cast<int>(slots.size());
    }
}

void Program::Prepare(DealState& deal) const {
    deal.defStamp_.assign(script_.Definitions.size(), 0u);
    deal.defValue_.assign(script_.Definitions.size(), 0);
    deal.Clear();
}

std::int64_t Program::Evaluate(int root, DealState& deal) const {
    deal.Error.clear();
    return Eval(root, deal);
}

std::int64_t Program::Fail(const Node& n, DealState& d, const char* what) const {
    if (d.Error.empty()) {
        d.Error = what;
        d.ErrorPos = n.Pos;
    }
    return 0;
}

std::int64_t Program::Eval(int i, DealState& d) const {
    const Node& n = script_.Nodes[static_cast<std::size_t>(i)];
    switch (n.Kind) {
    case Op::Const:
        return n.Value;
    case Op::Ref: {
        const auto k = static_cast<std::size_t>(n.A);
        if (d.defStamp_[k] != d.stamp_) {
            d.defValue_[k] = Eval(script_.Definitions[k].Root, d);
            d.defStamp_[k] = d.stamp_;
        }
        return d.defValue_[k];
    }
    case Op::Not:
        return Eval(n.A, d) == 0;
    case Op::And:
        return Eval(n.A, d) != 0 && Eval(n.B, d) != 0;
    case Op::Or:
        return Eval(n.A, d) != 0 || Eval(n.B, d) != 0;
    case Op::Choose:
        return Eval(n.A, d) != 0 ? Eval(n.B, d) : Eval(n.C, d);
    case Op::Length:
        return HoldingLength(Holding(d.Hand(n.Seat), n.Suit));
    case Op::Count:
        if (n.Suit >= 0) return tables_[static_cast<std::size_t>(n.A)][Holding(d.Hand(n.Seat), n.Suit)];
        return WholeHand(n, d);
    case Op::Cccc:
        return WholeHand(n, d);
    case Op::Shape: {
        const CardSet h = d.Hand(n.Seat);
        const int index =
            HoldingLength(Holding(h, 0)) * 196 + HoldingLength(Holding(h, 1)) * 14 + HoldingLength(Holding(h, 2));
        return script_.Shapes[static_cast<std::size_t>(n.A)][static_cast<std::size_t>(index)];
    }
    case Op::HasCard:
        return (d.Hand(n.Seat) >> n.A) & 1u;
    case Op::Tricks:
        return TricksOf(n, d);
    case Op::Score:
        return ContractScore(n.A != 0, n.B, n.Suit, Eval(n.C, d));
    case Op::Imps:
        return ImpsOf(Eval(n.A, d));
    default:
        return Arithmetic(n, d);
    }
}

std::int64_t Program::Arithmetic(const Node& n, DealState& d) const {
    const std::int64_t a = Eval(n.A, d);
    if (n.Kind == Op::Negate) return -a;
    const std::int64_t b = Eval(n.B, d);
    std::int64_t r = 0;
    switch (n.Kind) {
    case Op::Add:
        return __builtin_add_overflow(a, b, &r) ? Fail(n, d, "the sum is too large") : r;
    case Op::Sub:
        return __builtin_sub_overflow(a, b, &r) ? Fail(n, d, "the difference is too large") : r;
    case Op::Mul:
        return __builtin_mul_overflow(a, b, &r) ? Fail(n, d, "the product is too large") : r;
    case Op::Div:
    case Op::Mod:
        if (b == 0) return Fail(n, d, n.Kind == Op::Div ? "division by zero" : "remainder of a division by zero");
        if (a == INT64_MIN && b == -1) return Fail(n, d, "the quotient is too large");
        return n.Kind == Op::Div ? a / b : a % b;
    case Op::Less:
        return a < b;
    case Op::LessEqual:
        return a <= b;
    case Op::Greater:
        return a > b;
    case Op::GreaterEqual:
        return a >= b;
    case Op::Equal:
        return a == b;
    case Op::NotEqual:
        return a != b;
    default:
        return Fail(n, d, "an operation this program does not know");
    }
}

std::int64_t Program::WholeHand(const Node& n, DealState& d) const {
    const int slot = slot_[static_cast<std::size_t>(&n - script_.Nodes.data())];
    if (slot >= 0 && ((d.known_ >> slot) & 1u)) return d.cached_[static_cast<std::size_t>(slot)];
    const CardSet hand = d.Hand(n.Seat);
    const HoldingTable& table = n.Kind == Op::Cccc ? cccc_ : tables_[static_cast<std::size_t>(n.A)];
    std::int64_t sum = 0;
    int lengths[4];
    for (int suit = 0; suit < 4; ++suit) {
        const unsigned h = Holding(hand, suit);
        sum += table[h];
        lengths[suit] = HoldingLength(h);
    }
    if (n.Kind == Op::Cccc) sum += CcccShape(lengths);
    if (slot >= 0) {
        d.cached_[static_cast<std::size_t>(slot)] = sum;
        d.known_ |= std::uint64_t{1} << slot;
    }
    return sum;
}

std::int64_t Program::TricksOf(const Node& n, DealState& d) const {
    if (!d.tricksKnown_) {
        for (int seat = 0; seat < 4; ++seat) d.Hand(seat);
        std::string error;
        bool solved = false;
        {
            const std::lock_guard<std::mutex> lock(SolverLock);
            solved = SolveTricks(d.Cards, d.tricks_, &error);
        }
        if (!solved) {
            d.Error = "the double-dummy solver failed: " + error;
            d.ErrorPos = n.Pos;
            return 0;
        }
        d.tricksKnown_ = true;
    }
    return d.tricks_[static_cast<std::size_t>(n.Seat)][static_cast<std::size_t>(n.Suit)];
}

} // namespace zelv
