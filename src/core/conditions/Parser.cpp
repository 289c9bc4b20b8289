#include "core/conditions/Parser.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <map>
#include <set>

namespace zelv {

namespace {

const std::array<std::string_view, 4> Seats = {"north", "east", "south", "west"};
const std::array<std::string_view, 4> SeatTitles = {"North", "East", "South", "West"};

// Words the language reserves; a definition may not take one as its name.
const std::set<std::string, std::less<>> Keywords = {
    "generate",     "produce",      "dealer",   "vulnerable", "predeal",   "pointcount",  "altcount", "condition",
    "action",       "north",        "east",     "south",      "west",      "spade",       "spades",   "heart",
    "hearts",       "diamond",      "diamonds", "club",       "clubs",     "notrump",     "notrumps", "hcp",
    "hcps",         "pt0",          "pt1",      "pt2",        "pt3",       "pt4",         "pt5",      "pt6",
    "pt7",          "pt8",          "pt9",      "tens",       "jack",      "jacks",       "queen",    "queens",
    "king",         "kings",        "ace",      "aces",       "top2",      "top3",        "top4",     "top5",
    "c13",          "control",      "controls", "loser",      "losers",    "cccc",        "quality",  "shape",
    "any",          "hascard",      "trick",    "tricks",     "score",     "imp",         "imps",     "vul",
    "nv",           "and",          "or",       "not",        "printall",  "printew",     "print",    "printpbn",
    "printcompact", "printoneline", "printes",  "average",    "frequency", "evalcontract"};

const std::set<std::string, std::less<>> Commands = {"generate",   "produce",  "dealer",    "vulnerable", "predeal",
                                                     "pointcount", "altcount", "condition", "action"};
const std::set<std::string, std::less<>> ActionWords = {"printall",     "printew",      "print",   "printpbn",
                                                        "printcompact", "printoneline", "printes", "average",
                                                        "frequency",    "evalcontract"};

int SuitOfWord(std::string_view w) {
    static const std::map<std::string_view, int> suits = {{"spade", 0},   {"spades", 0},   {"heart", 1}, {"hearts", 1},
                                                          {"diamond", 2}, {"diamonds", 2}, {"club", 3},  {"clubs", 3}};
    const auto it = suits.find(w);
    return it == suits.end() ? -1 : it->second;
}

// The alternative count a word names (pt0..pt9 and their names), or -1.
int AltCountOfWord(std::string_view w) {
    static const std::map<std::string_view, int> names = {
        {"tens", 0}, {"jack", 1}, {"jacks", 1}, {"queen", 2}, {"queens", 2}, {"king", 3}, {"kings", 3},
        {"ace", 4},  {"aces", 4}, {"top2", 5},  {"top3", 6},  {"top4", 7},   {"top5", 8}, {"c13", 9}};
    if (w.size() == 3 && w.substr(0, 2) == "pt" && std::isdigit(static_cast<unsigned char>(w[2]))) return w[2] - '0';
    const auto it = names.find(w);
    return it == names.end() ? -1 : it->second;
}

int SuitLetter(char c) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
    case 'S':
        return 0;
    case 'H':
        return 1;
    case 'D':
        return 2;
    case 'C':
        return 3;
    default:
        return -1;
    }
}

int RankLetter(char c) {
    static constexpr std::string_view ranks = "AKQJT98765432";
    const auto at = ranks.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

std::string CardText(int card) {
    static const char* const ranks[] = {"ace",   "king", "queen", "jack", "ten",   "nine", "eight",
                                        "seven", "six",  "five",  "four", "three", "two"};
    static const char* const suits[] = {"spades", "hearts", "diamonds", "clubs"};
    return std::string("the ") + ranks[card % 13] + " of " + suits[card / 13];
}

bool ShapeMatches(const std::string& pattern, const std::array<int, 4>& lengths, bool any) {
    std::array<int, 4> order = {0, 1, 2, 3};
    do {
        bool ok = true;
        for (int i = 0; i < 4 && ok; ++i) {
            const char c = pattern[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])];
            ok = c == 'x' || c == 'X' || c - '0' == lengths[static_cast<std::size_t>(i)];
        }
        if (ok) return true;
    } while (any && std::next_permutation(order.begin(), order.end()));
    return false;
}

class Parser {
  public:
    explicit Parser(std::string_view text) : toks_(Tokenize(text)) { script_.Scales = DefaultScales(); }

    Script Run() {
        while (Peek().Kind != TokenKind::End) Statement();
        if (script_.Actions.empty()) script_.Actions.push_back(Action{});
        return std::move(script_);
    }

  private:
    // --- tokens ---
    const Token& Peek(std::size_t ahead = 0) const { return toks_[std::min(i_ + ahead, toks_.size() - 1)]; }
    const Token& Next() {
        const Token& t = Peek();
        if (i_ < toks_.size() - 1) ++i_;
        return t;
    }
    bool IsWord(std::string_view w, std::size_t ahead = 0) const {
        return Peek(ahead).Kind == TokenKind::Word && Peek(ahead).Text == w;
    }
    bool Accept(TokenKind kind) {
        if (Peek().Kind != kind) return false;
        Next();
        return true;
    }
    [[noreturn]] void Expected(const std::string& what) const {
        throw ScriptError(Peek().Pos, "expected " + what + ", found " + DescribeToken(Peek()));
    }
    const Token& Expect(TokenKind kind, const std::string& after) {
        if (Peek().Kind != kind) Expected(DescribeKind(kind) + " " + after);
        return Next();
    }
    std::int64_t ExpectNumber(const std::string& after) { return Expect(TokenKind::Number, after).Value; }
    std::int64_t SignedNumber(const std::string& after) {
        const bool negative = Accept(TokenKind::Minus);
        const std::int64_t v = ExpectNumber(after);
        return negative ? -v : v;
    }
    int ExpectSeat(const std::string& after) {
        if (Peek().Kind == TokenKind::Word)
            for (std::size_t s = 0; s < 4; ++s)
                if (Peek().Text == Seats[s]) {
                    Next();
                    return static_cast<int>(s);
                }
        Expected("a seat (north, east, south or west) " + after);
    }
    int ExpectSuit(const std::string& after) {
        const int suit = Peek().Kind == TokenKind::Word ? SuitOfWord(Peek().Text) : -1;
        if (suit < 0) Expected("a suit (spades, hearts, diamonds or clubs) " + after);
        Next();
        return suit;
    }

    // --- nodes ---
    int Add(Node n, std::initializer_list<int> children = {}) {
        int depth = 1;
        for (const int c : children)
            if (c >= 0) depth = std::max(depth, depths_[static_cast<std::size_t>(c)] + 1);
        if (n.Kind == Op::Ref) depth = depths_[static_cast<std::size_t>(script_.Definitions[n.A].Root)] + 1;
        if (depth > MaxNesting)
            throw ScriptError(n.Pos, "this expression nests too deeply (more than " + std::to_string(MaxNesting) +
                                         " levels, definitions included)");
        script_.Nodes.push_back(n);
        depths_.push_back(depth);
        return static_cast<int>(script_.Nodes.size()) - 1;
    }
    int Binary(Op op, int a, int b, SourcePos pos) {
        Node n;
        n.Kind = op;
        n.A = a;
        n.B = b;
        n.Pos = pos;
        return Add(n, {a, b});
    }
    struct DepthGuard {
        Parser& p;
        explicit DepthGuard(Parser& parser) : p(parser) {
            if (++p.nesting_ > MaxNesting)
                throw ScriptError(p.Peek().Pos, "brackets and operators nest too deeply here (more than " +
                                                    std::to_string(MaxNesting) + " levels)");
        }
        ~DepthGuard() { --p.nesting_; }
    };

    // --- statements (Statements.inc) ---
    void Statement();
    void Definition();
    void Predeal();
    bool PredealSuitCount();
    void PredealHolding(int seat);
    void Scale(bool alternative);
    void Actions();
    Action ParseAction();
    void PrintItems(Action& a);
    void Frequency(Action& a);
    bool StartsExpression() const;

    // --- expressions ---
    int Expression();
    int Choice();
    int LeftAssociative(int level);
    int Unary();
    int Primary();
    int Function(const Token& name);
    int SeatFunction(const Token& name, Node n, bool suitAllowed, bool suitRequired);
    int ShapeCall(const Token& name);
    int HasCardCall(const Token& name);
    int TricksCall(const Token& name);
    int ScoreCall(const Token& name);
    void ShapeItem(ShapeSet& set, bool add);

    std::vector<Token> toks_;
    std::size_t i_ = 0;
    Script script_;
    std::vector<int> depths_;
    std::map<std::string, int, std::less<>> defined_;
    std::array<std::string, 52> predealtTo_{};
    int nesting_ = 0;
};

void Parser::Statement() {
    const Token& t = Peek();
    if (t.Kind == TokenKind::Word && Peek(1).Kind == TokenKind::Assign) {
        if (Keywords.count(t.Text))
            throw ScriptError(t.Pos, "'" + t.Text + "' is a word of the language and cannot be defined");
        return Definition();
    }
    if (t.Kind != TokenKind::Word || !Commands.count(t.Text)) {
        if (!StartsExpression()) Expected("a command (generate, produce, condition, action, ...) or a definition");
        script_.ConditionPos = t.Pos;
        script_.Condition = Expression();
        return;
    }
    const std::string word = Next().Text;
    if (word == "generate")
        script_.Generate = ExpectNumber("after generate");
    else if (word == "produce")
        script_.Produce = ExpectNumber("after produce");
    else if (word == "dealer")
        script_.Dealer = ExpectSeat("after dealer");
    else if (word == "predeal")
        Predeal();
    else if (word == "pointcount")
        Scale(false);
    else if (word == "altcount")
        Scale(true);
    else if (word == "action")
        Actions();
    else if (word == "condition") {
        script_.ConditionPos = Peek().Pos;
        script_.Condition = Expression();
    } else { // vulnerable
        static const std::map<std::string, ScriptVul> vuls = {
            {"none", ScriptVul::None}, {"ns", ScriptVul::NS}, {"ew", ScriptVul::EW}, {"all", ScriptVul::All}};
        std::string v = Peek().Kind == TokenKind::Word ? Peek().Text : "";
        std::transform(v.begin(), v.end(), v.begin(), [](unsigned char c) { return std::tolower(c); });
        const auto it = vuls.find(v);
        if (it == vuls.end()) Expected("none, NS, EW or all after vulnerable");
        Next();
        script_.Vulnerable = it->second;
    }
}

void Parser::Definition() {
    const Token name = Next();
    Next(); // '='
    if (const auto it = defined_.find(name.Text); it != defined_.end())
        throw ScriptError(name.Pos,
                          "'" + name.Text + "' is already defined (line " +
                              std::to_string(script_.Definitions[static_cast<std::size_t>(it->second)].Pos.Line) + ")");
    const int root = Expression();
    script_.Definitions.push_back({name.Text, root, name.Pos});
    defined_[name.Text] = static_cast<int>(script_.Definitions.size()) - 1;
}

void Parser::Predeal() {
    bool any = false;
    for (;;) {
        if (PredealSuitCount()) {
            any = true;
            continue;
        }
        const bool seatNext =
            Peek().Kind == TokenKind::Word && std::find(Seats.begin(), Seats.end(), Peek().Text) != Seats.end();
        if (!seatNext) break;
        const int seat = ExpectSeat("");
        Accept(TokenKind::Comma);
        PredealHolding(seat);
        while (Peek().Kind == TokenKind::Comma && Peek(1).Kind == TokenKind::Word && !Keywords.count(Peek(1).Text)) {
            Next();
            PredealHolding(seat);
        }
        any = true;
    }
    if (!any) Expected("a seat and its cards (north SAQ5, HK2) or a suit count (spades(north) == 2) after predeal");
}

// spades(north) == 2
bool Parser::PredealSuitCount() {
    if (Peek().Kind != TokenKind::Word || SuitOfWord(Peek().Text) < 0 || Peek(1).Kind != TokenKind::LParen)
        return false;
    SuitCountRule rule;
    rule.Pos = Peek().Pos;
    rule.Suit = ExpectSuit("");
    Next();
    rule.Seat = ExpectSeat("in the predeal suit count");
    Expect(TokenKind::RParen, "after the seat");
    Expect(TokenKind::Equal, "in the predeal suit count");
    const Token& n = Expect(TokenKind::Number, "after ==");
    if (n.Value > 13) throw ScriptError(n.Pos, "a seat holds at most 13 cards of a suit");
    rule.Count = static_cast<int>(n.Value);
    for (const SuitCountRule& r : script_.SuitCounts)
        if (r.Seat == rule.Seat && r.Suit == rule.Suit)
            throw ScriptError(rule.Pos, "this suit count is already predealt for " +
                                            std::string(Seats[static_cast<std::size_t>(rule.Seat)]));
    script_.SuitCounts.push_back(rule);
    return true;
}

void Parser::PredealHolding(int seat) {
    const Token& t = Peek();
    const int suit = t.Kind == TokenKind::Word ? SuitLetter(t.Text[0]) : -1;
    if (suit < 0 || t.Text.size() < 2) Expected("a holding such as SAQ52 (a suit letter S, H, D or C, then the cards)");
    for (std::size_t i = 1; i < t.Text.size(); ++i) {
        const int rank = RankLetter(t.Text[i]);
        if (rank < 0)
            throw ScriptError(t.Pos,
                              "'" + std::string(1, t.Text[i]) + "' in " + t.Text + " is not a card (AKQJT98765432)");
        const int card = suit * 13 + rank;
        std::string& owner = predealtTo_[static_cast<std::size_t>(card)];
        if (!owner.empty())
            throw ScriptError(t.Pos, CardText(card) + " is predealt twice (to " + owner + " and to " +
                                         std::string(Seats[static_cast<std::size_t>(seat)]) + ")");
        owner = Seats[static_cast<std::size_t>(seat)];
        std::uint64_t& hand = script_.Predealt[static_cast<std::size_t>(seat)];
        hand |= std::uint64_t{1} << card;
        if (std::popcount(hand) > 13)
            throw ScriptError(t.Pos, std::string(SeatTitles[static_cast<std::size_t>(seat)]) +
                                         " is predealt more than 13 cards");
    }
    Next();
}

void Parser::Scale(bool alternative) {
    std::size_t table = PointCount;
    if (alternative) {
        const Token& n = Expect(TokenKind::Number, "(0 to 9) after altcount");
        if (n.Value > 9) throw ScriptError(n.Pos, "altcount numbers the counts 0 to 9");
        table = static_cast<std::size_t>(AltCount0 + n.Value);
    }
    std::array<int, 13> values{};
    std::size_t count = 0;
    while (Peek().Kind == TokenKind::Number && count < 13) values[count++] = static_cast<int>(Next().Value);
    if (count == 0) Expected("the points of the ace, king, queen, ... down to the two");
    script_.Scales[table] = values;
}

void Parser::Actions() {
    script_.Actions.clear();
    script_.HasActionCommand = true;
    do {
        script_.Actions.push_back(ParseAction());
        // dealer takes a comma after the last action too
    } while (Accept(TokenKind::Comma) && Peek().Kind == TokenKind::Word && ActionWords.count(Peek().Text));
}

bool Parser::StartsExpression() const {
    const Token& t = Peek();
    switch (t.Kind) {
    case TokenKind::Number:
    case TokenKind::LParen:
    case TokenKind::Minus:
    case TokenKind::Bang:
        return true;
    case TokenKind::Word:
        if (Peek(1).Kind == TokenKind::Assign) return false;
        return !Commands.count(t.Text) && !ActionWords.count(t.Text);
    default:
        return false;
    }
}

Action Parser::ParseAction() {
    Action a;
    a.Pos = Peek().Pos;
    static const std::map<std::string, ActionKind> plain = {
        {"printall", ActionKind::PrintAll},         {"printew", ActionKind::PrintEW},
        {"printpbn", ActionKind::PrintPbn},         {"printcompact", ActionKind::PrintCompact},
        {"printoneline", ActionKind::PrintOneLine}, {"print", ActionKind::Print},
        {"printes", ActionKind::PrintEs},           {"average", ActionKind::Average},
        {"frequency", ActionKind::Frequency}};
    if (IsWord("evalcontract")) throw ScriptError(a.Pos, "'evalcontract' is not supported yet");
    const auto it = Peek().Kind == TokenKind::Word ? plain.find(Peek().Text) : plain.end();
    if (it == plain.end())
        Expected("an action (printall, printew, print, printpbn, printcompact, printoneline, printes, average or "
                 "frequency)");
    Next();
    a.Kind = it->second;
    if (a.Kind == ActionKind::PrintCompact || a.Kind == ActionKind::PrintOneLine) {
        if (StartsExpression()) a.Expr = Expression();
    } else if (a.Kind == ActionKind::Print) {
        Expect(TokenKind::LParen, "after print");
        do {
            a.Seats.push_back(ExpectSeat("to print"));
        } while (Accept(TokenKind::Comma));
        Expect(TokenKind::RParen, "after the seats to print");
    } else if (a.Kind == ActionKind::PrintEs) {
        PrintItems(a);
    } else if (a.Kind == ActionKind::Average) {
        if (Peek().Kind == TokenKind::String) a.Label = Next().Text;
        a.Expr = Expression();
    } else if (a.Kind == ActionKind::Frequency) {
        Frequency(a);
    }
    return a;
}

void Parser::PrintItems(Action& a) {
    const bool bracketed = Accept(TokenKind::LParen);
    for (;;) {
        if (Peek().Kind == TokenKind::String)
            a.Items.push_back({Next().Text, -1});
        else if (Accept(TokenKind::NewlineMark))
            a.Items.push_back({"\n", -1});
        else if (StartsExpression())
            a.Items.push_back({"", Expression()});
        else
            Expected("a string, \\n or an expression to print");
        if (Peek().Kind != TokenKind::Comma) break;
        // Unbracketed, a comma may end the list and start the next action.
        if (!bracketed && Peek(1).Kind == TokenKind::Word && ActionWords.count(Peek(1).Text)) break;
        Next();
    }
    if (bracketed) Expect(TokenKind::RParen, "after the items of printes");
}

void Parser::Frequency(Action& a) {
    if (Peek().Kind == TokenKind::String) a.Label = Next().Text;
    Expect(TokenKind::LParen, "after frequency");
    a.Expr = Expression();
    Expect(TokenKind::Comma, "after the expression of frequency");
    a.Low = SignedNumber("(the lowest value counted)");
    Expect(TokenKind::Comma, "after the lowest value");
    const SourcePos highPos = Peek().Pos;
    a.High = SignedNumber("(the highest value counted)");
    if (a.High < a.Low) throw ScriptError(highPos, "the highest value is below the lowest");
    if (Accept(TokenKind::Comma)) {
        a.Kind = ActionKind::Frequency2D;
        a.Expr2 = Expression();
        Expect(TokenKind::Comma, "after the second expression of frequency");
        a.Low2 = SignedNumber("(the lowest value counted)");
        Expect(TokenKind::Comma, "after the lowest value");
        a.High2 = SignedNumber("(the highest value counted)");
        if (a.High2 < a.Low2) throw ScriptError(highPos, "the highest value is below the lowest");
    }
    const std::int64_t cells = (a.High - a.Low + 3) * (a.Kind == ActionKind::Frequency2D ? a.High2 - a.Low2 + 3 : 1);
    if (cells > 1000000) throw ScriptError(highPos, "this frequency table would be too large (over a million rows)");
    Expect(TokenKind::RParen, "after the bounds of frequency");
}

int Parser::Expression() {
    DepthGuard guard(*this);
    return Choice();
}

// a ? b : c, grouping to the right; below it, || && equality relational
// additive multiplicative, each to the left.
int Parser::Choice() {
    const int cond = LeftAssociative(0);
    if (Peek().Kind != TokenKind::Question) return cond;
    Node n;
    n.Kind = Op::Choose;
    n.Pos = Next().Pos;
    n.A = cond;
    n.B = Expression();
    Expect(TokenKind::Colon, "in the ?: choice");
    n.C = Expression();
    return Add(n, {n.A, n.B, n.C});
}

int Parser::LeftAssociative(int level) {
    struct Level {
        std::vector<std::pair<TokenKind, Op>> ops;
        std::vector<std::pair<std::string_view, Op>> words;
    };
    static const std::array<Level, 6> levels = {{
        {{{TokenKind::OrOr, Op::Or}}, {{"or", Op::Or}}},
        {{{TokenKind::AndAnd, Op::And}}, {{"and", Op::And}}},
        {{{TokenKind::Equal, Op::Equal}, {TokenKind::NotEqual, Op::NotEqual}}, {}},
        {{{TokenKind::Less, Op::Less},
          {TokenKind::LessEqual, Op::LessEqual},
          {TokenKind::Greater, Op::Greater},
          {TokenKind::GreaterEqual, Op::GreaterEqual}},
         {}},
        {{{TokenKind::Plus, Op::Add}, {TokenKind::Minus, Op::Sub}}, {}},
        {{{TokenKind::Star, Op::Mul}, {TokenKind::Slash, Op::Div}, {TokenKind::Percent, Op::Mod}}, {}},
    }};
    if (level == static_cast<int>(levels.size())) return Unary();
    int left = LeftAssociative(level + 1);
    for (;;) {
        const Level& l = levels[static_cast<std::size_t>(level)];
        std::optional<Op> op;
        for (const auto& [kind, o] : l.ops)
            if (Peek().Kind == kind) op = o;
        for (const auto& [word, o] : l.words)
            if (IsWord(word)) op = o;
        if (!op) return left;
        const SourcePos pos = Next().Pos;
        DepthGuard guard(*this);
        left = Binary(*op, left, LeftAssociative(level + 1), pos);
    }
}

int Parser::Unary() {
    Node n;
    n.Pos = Peek().Pos;
    if (Accept(TokenKind::Bang) || (IsWord("not") && Next().Kind == TokenKind::Word))
        n.Kind = Op::Not;
    else if (Accept(TokenKind::Minus))
        n.Kind = Op::Negate;
    else
        return Primary();
    DepthGuard guard(*this);
    n.A = Unary();
    return Add(n, {n.A});
}

int Parser::Primary() {
    const Token t = Peek();
    if (t.Kind == TokenKind::Number) {
        Next();
        Node n;
        n.Kind = Op::Const;
        n.Value = t.Value;
        n.Pos = t.Pos;
        return Add(n);
    }
    if (Accept(TokenKind::LParen)) {
        const int inner = Expression();
        Expect(TokenKind::RParen, "to close the bracket");
        return inner;
    }
    if (t.Kind != TokenKind::Word) Expected("an expression");
    if (const auto it = defined_.find(t.Text); it != defined_.end()) {
        Next();
        Node n;
        n.Kind = Op::Ref;
        n.A = it->second;
        n.Pos = t.Pos;
        return Add(n);
    }
    if (!Keywords.count(t.Text)) throw ScriptError(t.Pos, "'" + t.Text + "' is not defined");
    Next();
    return Function(t);
}

int Parser::Function(const Token& name) {
    const std::string& w = name.Text;
    Node n;
    n.Pos = name.Pos;
    if (SuitOfWord(w) >= 0) {
        n.Kind = Op::Length;
        n.Suit = static_cast<std::int8_t>(SuitOfWord(w));
        return SeatFunction(name, n, false, false);
    }
    n.Kind = Op::Count;
    if (w == "hcp" || w == "hcps")
        n.A = PointCount;
    else if (AltCountOfWord(w) >= 0)
        n.A = AltCount0 + AltCountOfWord(w);
    else if (w == "control" || w == "controls")
        n.A = Controls;
    else if (w == "loser" || w == "losers")
        n.A = Losers;
    if (n.A >= 0) return SeatFunction(name, n, true, false);
    if (w == "quality") {
        n.A = Quality;
        return SeatFunction(name, n, true, true);
    }
    if (w == "cccc") {
        n.Kind = Op::Cccc;
        return SeatFunction(name, n, false, false);
    }
    if (w == "shape") return ShapeCall(name);
    if (w == "hascard") return HasCardCall(name);
    if (w == "trick" || w == "tricks") return TricksCall(name);
    if (w == "score") return ScoreCall(name);
    if (w == "imp" || w == "imps") {
        Expect(TokenKind::LParen, "after " + w);
        n.Kind = Op::Imps;
        n.A = Expression();
        Expect(TokenKind::RParen, "after the score difference");
        return Add(n, {n.A});
    }
    throw ScriptError(name.Pos, "expected an expression, found " + DescribeToken(name));
}

// f(seat) or f(seat, suit)
int Parser::SeatFunction(const Token& name, Node n, bool suitAllowed, bool suitRequired) {
    Expect(TokenKind::LParen, "after " + name.Text);
    n.Seat = static_cast<std::int8_t>(ExpectSeat("in " + name.Text + "()"));
    if (suitRequired) Expect(TokenKind::Comma, "and a suit after the seat in " + name.Text + "()");
    if (suitAllowed && (suitRequired || Accept(TokenKind::Comma)))
        n.Suit = static_cast<std::int8_t>(ExpectSuit("in " + name.Text + "()"));
    Expect(TokenKind::RParen, "to close " + name.Text + "()");
    return Add(n);
}

void Parser::ShapeItem(ShapeSet& set, bool add) {
    const bool any = IsWord("any") && Next().Kind == TokenKind::Word;
    const Token& t = Peek();
    const bool ok = (t.Kind == TokenKind::Number || t.Kind == TokenKind::Word) && t.Text.size() == 4 &&
                    std::all_of(t.Text.begin(), t.Text.end(), [](char c) {
                        return std::isdigit(static_cast<unsigned char>(c)) || c == 'x' || c == 'X';
                    });
    if (!ok) Expected("a shape such as 4333, 5xxx or any 4432");
    int sum = 0, fixed = 0;
    for (const char c : t.Text)
        if (std::isdigit(static_cast<unsigned char>(c))) sum += c - '0', ++fixed;
    if (sum > 13 || (fixed == 4 && sum != 13))
        throw ScriptError(t.Pos, "the shape " + t.Text + " does not hold 13 cards");
    for (int s = 0; s <= 13; ++s)
        for (int h = 0; s + h <= 13; ++h)
            for (int d = 0; s + h + d <= 13; ++d)
                if (ShapeMatches(t.Text, {s, h, d, 13 - s - h - d}, any))
                    set[static_cast<std::size_t>(s * 196 + h * 14 + d)] = add;
    Next();
}

int Parser::ShapeCall(const Token& name) {
    Node n;
    n.Kind = Op::Shape;
    n.Pos = name.Pos;
    Expect(TokenKind::LParen, "after shape");
    n.Seat = static_cast<std::int8_t>(ExpectSeat("in shape()"));
    Expect(TokenKind::Comma, "after the seat in shape()");
    ShapeSet set{};
    bool add = true;
    for (;;) {
        ShapeItem(set, add);
        if (Accept(TokenKind::Plus) || Accept(TokenKind::Comma))
            add = true;
        else if (Accept(TokenKind::Minus))
            add = false;
        else
            break;
    }
    Expect(TokenKind::RParen, "or '+' or '-' and another shape in shape()");
    script_.Shapes.push_back(set);
    n.A = static_cast<int>(script_.Shapes.size()) - 1;
    return Add(n);
}

int Parser::HasCardCall(const Token& name) {
    Node n;
    n.Kind = Op::HasCard;
    n.Pos = name.Pos;
    Expect(TokenKind::LParen, "after hascard");
    n.Seat = static_cast<std::int8_t>(ExpectSeat("in hascard()"));
    Expect(TokenKind::Comma, "after the seat in hascard()");
    const Token& t = Peek();
    int suit = -1, rank = -1;
    if ((t.Kind == TokenKind::Word || t.Kind == TokenKind::Number) && t.Text.size() == 2) {
        rank = RankLetter(t.Text[0]), suit = SuitLetter(t.Text[1]);
        if (rank < 0 || suit < 0) rank = RankLetter(t.Text[1]), suit = SuitLetter(t.Text[0]);
    }
    if (rank < 0 || suit < 0) Expected("a card such as AS, TC or 9H in hascard()");
    Next();
    n.A = suit * 13 + rank;
    Expect(TokenKind::RParen, "to close hascard()");
    return Add(n);
}

int Parser::TricksCall(const Token& name) {
    Node n;
    n.Kind = Op::Tricks;
    n.Pos = name.Pos;
    Expect(TokenKind::LParen, "after " + name.Text);
    n.Seat = static_cast<std::int8_t>(ExpectSeat("in tricks()"));
    Expect(TokenKind::Comma, "after the seat in tricks()");
    if (IsWord("notrump") || IsWord("notrumps")) {
        Next();
        n.Suit = 0;
    } else {
        n.Suit = static_cast<std::int8_t>(1 + ExpectSuit("or notrump in tricks()"));
    }
    Expect(TokenKind::RParen, "to close tricks()");
    return Add(n);
}

int Parser::ScoreCall(const Token& name) {
    Node n;
    n.Kind = Op::Score;
    n.Pos = name.Pos;
    Expect(TokenKind::LParen, "after score");
    if (!IsWord("vul") && !IsWord("nv")) Expected("vul or nv (the declarer's vulnerability) in score()");
    n.A = Next().Text == "vul" ? 1 : 0;
    Expect(TokenKind::Comma, "after the vulnerability in score()");
    const Token& c = Peek();
    static constexpr std::string_view strains = "NSHDC";
    const bool ok = c.Kind == TokenKind::Word &&
                    (c.Text.size() == 3 || (c.Text.size() == 4 && (c.Text[3] == 'T' || c.Text[3] == 't'))) &&
                    (c.Text[0] == 'x' || c.Text[0] == 'X') && c.Text[1] >= '1' && c.Text[1] <= '7' &&
                    strains.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c.Text[2])))) !=
                        std::string_view::npos &&
                    (c.Text.size() == 3 || std::toupper(static_cast<unsigned char>(c.Text[2])) == 'N');
    if (!ok) Expected("a contract such as x3N or x4S in score()");
    n.B = c.Text[1] - '0';
    n.Suit =
        static_cast<std::int8_t>(strains.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c.Text[2])))));
    Next();
    Expect(TokenKind::Comma, "after the contract in score()");
    n.C = Expression();
    Expect(TokenKind::RParen, "to close score()");
    return Add(n, {n.C});
}

} // namespace

Script ParseScript(std::string_view text) { return Parser(text).Run(); }

bool ParseScript(std::string_view text, const std::string& name, Script& out, std::string* error) {
    try {
        out = ParseScript(text);
        return true;
    } catch (const ScriptError& e) {
        if (error) *error = LocatedMessage(name, e.Pos, e.what());
        return false;
    }
}

std::string LocatedMessage(const std::string& name, SourcePos pos, const std::string& message) {
    return name + ":" + std::to_string(pos.Line) + ":" + std::to_string(pos.Column) + ": " + message;
}

std::array<std::array<int, 13>, 11> DefaultScales() {
    std::array<std::array<int, 13>, 11> s{};
    s[PointCount] = {4, 3, 2, 1};
    // ranks: 0 ace, 1 king, 2 queen, 3 jack, 4 ten
    s[AltCount0 + 0][4] = 1;
    s[AltCount0 + 1][3] = 1;
    s[AltCount0 + 2][2] = 1;
    s[AltCount0 + 3][1] = 1;
    s[AltCount0 + 4][0] = 1;
    for (int top = 2; top <= 5; ++top)
        for (int r = 0; r < top; ++r) s[static_cast<std::size_t>(AltCount0 + 3 + top)][static_cast<std::size_t>(r)] = 1;
    s[AltCount0 + 9] = {6, 4, 2, 1};
    return s;
}

} // namespace zelv
