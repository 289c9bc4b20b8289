#pragma once
// A parsed dealer script: its expressions as a flat array of nodes (children
// by index), the definitions they refer to, the shapes they test, and the
// commands and actions in the order the script gives them. Seats here are
// dealer's: 0 north, 1 east, 2 south, 3 west; suits 0 spades to 3 clubs.
#include "core/conditions/Lexer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zelv {

enum class Op : std::uint8_t {
    Const,  // Value
    Ref,    // definition A
    Negate, // -A
    Not,    // !A
    Add,
    Sub,
    Mul,
    Div,
    Mod,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
    Equal,
    NotEqual,
    And,
    Or,      // short-circuit
    Choose,  // A ? B : C
    Length,  // cards of Suit held by Seat
    Count,   // count table A over Seat's Suit, or the whole hand when Suit < 0
    Cccc,    // Seat's whole-hand evaluation
    Shape,   // Seat's pattern is in shape set A
    HasCard, // Seat holds card A (0..51: suit * 13 + rank, rank 0 the ace)
    Tricks,  // double-dummy tricks of Seat as declarer in strain Suit (0 NT, 1-4 spades to clubs)
    Score,   // score of contract (level B, strain Suit) with vulnerability A, tricks of child C
    Imps     // IMPs of a score difference A
};

// The count tables an Op::Count reads: the point count, the ten alternative
// counts, controls, losers and suit quality.
enum CountTable : int { PointCount = 0, AltCount0 = 1, Controls = 11, Losers = 12, Quality = 13, CountTables = 14 };

struct Node {
    Op Kind = Op::Const;
    std::int8_t Seat = -1;
    std::int8_t Suit = -1;
    std::int32_t A = -1, B = -1, C = -1; // children or operands, as Kind says
    std::int64_t Value = 0;
    SourcePos Pos;
};

struct Definition {
    std::string Name;
    int Root = -1;
    SourcePos Pos;
};

// The patterns a shape() accepts, indexed by spades * 196 + hearts * 14 + diamonds.
using ShapeSet = std::array<bool, 14 * 14 * 14>;

enum class ActionKind : std::uint8_t {
    PrintAll,
    PrintEW,
    Print,
    PrintPbn,
    PrintCompact,
    PrintOneLine,
    PrintEs,
    Average,
    Frequency,
    Frequency2D
};

// One item of printes: a string, a line break or an expression.
struct PrintItem {
    std::string Text;
    int Expr = -1; // -1: Text is printed as it is
};

struct Action {
    ActionKind Kind = ActionKind::PrintAll;
    std::string Label;              // average and frequency
    int Expr = -1;                  // average, frequency, printcompact, printoneline
    std::int64_t Low = 0, High = 0; // frequency bounds
    int Expr2 = -1;                 // second dimension
    std::int64_t Low2 = 0, High2 = 0;
    std::vector<int> Seats;       // print(...)
    std::vector<PrintItem> Items; // printes
    SourcePos Pos;
};

enum class ScriptVul : std::uint8_t { None, NS, EW, All };

// "predeal spades(north) == 3": the seat gets exactly that many cards of the suit.
struct SuitCountRule {
    int Seat = 0, Suit = 0, Count = 0;
    SourcePos Pos;
};

struct Script {
    std::vector<Node> Nodes;
    std::vector<Definition> Definitions;
    std::vector<ShapeSet> Shapes;
    std::optional<std::int64_t> Generate, Produce;
    int Dealer = 0; // dealer's seat order
    ScriptVul Vulnerable = ScriptVul::None;
    std::array<std::uint64_t, 4> Predealt{}; // engine card masks by dealer's seat order
    std::vector<SuitCountRule> SuitCounts;
    // Points per rank, ace first: the point count and the ten alternative counts.
    std::array<std::array<int, 13>, 11> Scales{};
    int Condition = -1; // -1: every deal
    SourcePos ConditionPos;
    bool HasActionCommand = false;
    std::vector<Action> Actions; // empty: printall
};

// The default point count (4 3 2 1) and alternative counts (tens, jacks,
// queens, kings, aces, top2, top3, top4, top5, c13).
std::array<std::array<int, 13>, 11> DefaultScales();

} // namespace zelv
