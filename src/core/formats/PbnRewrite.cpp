// A PBN file written again from its own text: each game as it was, but for
// the tags that must change.
#include "core/formats/Pbn.h"
#include "core/formats/PbnTags.h"

#include <algorithm>

namespace zelv {

namespace {

using namespace pbn;

// The tags of export format's games, in the order they must come first.
constexpr std::string_view Roster[] = {"Event", "Site",    "Date",     "Board",    "West",
                                       "North", "East",    "South",    "Dealer",   "Vulnerable",
                                       "Deal",  "Scoring", "Declarer", "Contract", "Result"};
constexpr int PastRoster = static_cast<int>(std::size(Roster));

int RosterIndex(std::string_view name) {
    for (int i = 0; i < PastRoster; ++i)
        if (Roster[i] == name) return i;
    return -1;
}

// Tables (OptimumResultTable, ScoreTable ...) are followed by their rows.
bool IsTable(std::string_view name) { return name.size() > 5 && name.substr(name.size() - 5) == "Table"; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Text put in place of Remove characters at At; with LineAfter, the last
// of the texts put at At ends its line.
struct Edit {
    std::size_t At = 0, Remove = 0;
    std::string Insert;
    bool LineAfter = false;
};

// One game of a text, and the edits that place lines in it without
// splitting a line or leaving an empty one, which would end the game.
class GameText {
  public:
    GameText(const std::string& text, const PbnSource::Game& game, const std::string& eol)
        : text_(text), game_(game), eol_(eol), crOnly_(eol == "\r") {}

    // `lines`, each ending in the line end, as lines of their own after the
    // pair `tag`; what followed it on its line goes to the next.
    Edit After(const PbnSource::Tag& tag, const std::string& lines) const {
        const std::size_t end = EndOfLine(tag.Close);
        if (!Blank(tag.Close, end) || end == text_.size())
            return {tag.Close, 0, eol_ + lines.substr(0, lines.size() - eol_.size()), true};
        return {PastLineEnd(end), 0, lines};
    }

    // Takes away the pair game.Tags[index], with a table's rows, and the
    // line it leaves empty.
    Edit Removal(std::size_t index) const {
        const PbnSource::Tag& tag = game_.Tags[index];
        const std::size_t lineStart = LineStart(tag.Open);
        const bool wholeLine = Blank(lineStart, tag.Open);
        const std::size_t start = wholeLine ? lineStart : tag.Open;
        std::size_t end = tag.Close;
        if (IsTable(tag.Name)) {
            end = game_.End;
            if (index + 1 < game_.Tags.size()) {
                end = game_.Tags[index + 1].Open;
                if (Blank(LineStart(end), end) && LineStart(end) > tag.Open) end = LineStart(end);
            }
        } else if (const std::size_t eol = EndOfLine(tag.Close); wholeLine && Blank(tag.Close, eol)) {
            end = eol == text_.size() ? eol : PastLineEnd(eol);
        }
        return {start, end - start, {}};
    }

    std::string Apply(std::vector<Edit> edits) const {
        std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.At < b.At; });
        std::string out;
        std::size_t at = game_.Begin;
        for (std::size_t i = 0; i < edits.size(); ++i) {
            const Edit& e = edits[i];
            if (e.At > at) out.append(text_, at, e.At - at);
            out += e.Insert;
            if (e.LineAfter && (i + 1 == edits.size() || edits[i + 1].At != e.At)) out += eol_;
            at = std::max(at, e.At + e.Remove);
        }
        out.append(text_, at, game_.End - at);
        return out;
    }

  private:
    bool Blank(std::size_t from, std::size_t to) const {
        return std::all_of(text_.begin() + static_cast<std::ptrdiff_t>(from),
                           text_.begin() + static_cast<std::ptrdiff_t>(to), IsBlank);
    }
    std::size_t LineStart(std::size_t at) const {
        while (at > game_.Begin && text_[at - 1] != '\n' && text_[at - 1] != '\r') --at;
        return at;
    }
    // Where the line holding `at` ends, before its line end.
    std::size_t EndOfLine(std::size_t at) const {
        if (crOnly_) return std::min(text_.find('\r', at), text_.size());
        std::size_t lf = std::min(text_.find('\n', at), text_.size());
        while (lf > at && text_[lf - 1] == '\r') --lf;
        return lf;
    }
    std::size_t PastLineEnd(std::size_t end) const {
        if (crOnly_) return end + 1;
        while (end < text_.size() && text_[end] == '\r') ++end;
        return std::min(end + 1, text_.size());
    }

    const std::string& text_;
    const PbnSource::Game& game_;
    const std::string& eol_;
    bool crOnly_;
};

std::string TagPair(std::string_view name, const std::string& value, const std::string& eol) {
    return "[" + std::string(name) + " \"" + value + "\"]" + eol;
}

// Where a tag of roster place `rank` goes in a game: after the present
// roster tag nearest before it, or else before the game's first pair.
Edit InsertAmongRoster(const GameText& g, const PbnSource::Game& game, int rank, const std::string& lines) {
    const PbnSource::Tag* after = nullptr;
    int best = -1;
    for (const PbnSource::Tag& tag : game.Tags)
        if (const int r = RosterIndex(tag.Name); r >= 0 && r < rank && r > best) {
            best = r;
            after = &tag;
        }
    return after ? g.After(*after, lines) : Edit{game.FirstPair, 0, lines};
}

// The first pair of each read tag in a game, by index.
std::array<std::optional<std::size_t>, TagCount> ReadTagPairs(const PbnSource::Game& game) {
    std::array<std::optional<std::size_t>, TagCount> pairs;
    for (std::size_t i = 0; i < game.Tags.size(); ++i)
        if (const int t = ReadTagOf(game.Tags[i].Name); t >= 0 && !pairs[static_cast<std::size_t>(t)])
            pairs[static_cast<std::size_t>(t)] = i;
    return pairs;
}

TagValues OwnValues(const PbnSource::Game& game) {
    TagValues own;
    const auto pairs = ReadTagPairs(game);
    for (std::size_t t = 0; t < TagCount; ++t)
        if (pairs[t]) own[t] = game.Tags[*pairs[t]].Value;
    return own;
}

// The edits that make a game read as `board` after the games before it
// (`state`), which move on past it. Each tag is weighed as the game reads
// with the tags before it set: dealer and vulnerability follow the number.
void FitReadTags(const GameText& g, const PbnSource::Game& game, const Board& board, const std::string& eol,
                 Inheritance& state, std::vector<Edit>& edits) {
    TagValues own = OwnValues(game);
    const auto pairs = ReadTagPairs(game);
    for (ReadTag t : {BoardTag, DealerTag, VulnerableTag, DealTag}) {
        Inheritance trial = state;
        const GameReading reading = ReadGame(Resolve(own, {}, trial), {}, state.Previous);
        const Board& read = reading.Read;
        const bool same[TagCount] = {read.Number == board.Number, read.Dealer == board.Dealer, read.Vul == board.Vul,
                                     read.Hands == board.Hands};
        if (reading.Problem.empty() && same[t]) continue;
        const std::string value = ValueFor(t, board);
        if (const auto& pair = pairs[t]) {
            const PbnSource::Tag& tag = game.Tags[*pair];
            edits.push_back({tag.ValueBegin, tag.ValueEnd - tag.ValueBegin, value});
        } else {
            edits.push_back(InsertAmongRoster(g, game, RosterIndex(TagNames[t]), TagPair(TagNames[t], value, eol)));
        }
        own[t] = value;
    }
    Resolve(own, {}, state);
    state.Previous = board.Number;
}

// The edits that put `supplement`'s tags in place of the game's own of
// those names, or after its roster tags.
void PlaceSupplement(const GameText& g, const PbnSource::Game& game, std::string supplement, const std::string& eol,
                     std::vector<Edit>& edits) {
    std::vector<std::string> names;
    std::string lines;
    for (std::size_t at = 0; at < supplement.size();) {
        std::size_t end = supplement.find("\r\n", at);
        if (end == std::string::npos) end = supplement.size();
        const std::string line = supplement.substr(at, end - at);
        if (line.rfind('[', 0) == 0) names.push_back(line.substr(1, line.find_first_of(" \"]") - 1));
        lines += line + eol;
        at = end + 2;
    }
    bool placed = false;
    for (std::size_t i = 0; i < game.Tags.size(); ++i)
        if (std::find(names.begin(), names.end(), game.Tags[i].Name) != names.end()) {
            edits.push_back(g.Removal(i));
            if (!placed) edits.back().Insert = lines;
            placed = true;
        }
    if (!placed) edits.push_back(InsertAmongRoster(g, game, PastRoster, lines));
}

// What a game of a board must read as: what it read as by itself, but for
// what has changed in the board since (the first game read gave the board).
Board Expected(const Board& now, const Board& asRead, const Board& own) {
    Board expected = own;
    if (now.Number != asRead.Number) expected.Number = now.Number;
    if (now.Dealer != asRead.Dealer) expected.Dealer = now.Dealer;
    if (now.Vul != asRead.Vul) expected.Vul = now.Vul;
    if (now.Hands != asRead.Hands) expected.Hands = now.Hands;
    return expected;
}

// Past the empty line that ends a game at `end`.
std::size_t PastEmptyLine(const std::string& text, std::size_t end, bool crOnly) {
    const std::size_t lf = text.find(crOnly ? '\r' : '\n', end);
    return lf == std::string::npos ? text.size() : lf + 1;
}

} // namespace

std::string WritePbnFrom(const PbnSource& source, const std::vector<Board>& boards,
                         const std::vector<std::string>& supplements) {
    const std::string& text = source.Text;
    const std::string eol = LineEndOf(text);
    std::vector<const Board*> asRead(boards.size());
    for (const PbnSource::Game& game : source.Games)
        if (game.What == PbnSource::Kind::Board && !asRead.at(game.BoardIndex)) asRead[game.BoardIndex] = &game.Read;
    std::string out;
    std::size_t at = 0;
    Inheritance state;
    for (const PbnSource::Game& game : source.Games) {
        out.append(text, at, game.Begin - at);
        at = game.End;
        if (game.What == PbnSource::Kind::LeftOut) {
            at = PastEmptyLine(text, game.End, eol == "\r");
            continue;
        }
        const GameText g(text, game, eol);
        std::vector<Edit> edits;
        if (game.What == PbnSource::Kind::Heading) {
            Resolve(OwnValues(game), {}, state);
        } else {
            const std::size_t i = game.BoardIndex;
            FitReadTags(g, game, Expected(boards[i], *asRead[i], game.Read), eol, state, edits);
            if (i < supplements.size() && !supplements[i].empty()) PlaceSupplement(g, game, supplements[i], eol, edits);
        }
        out += g.Apply(std::move(edits));
    }
    out.append(text, at);
    return out;
}

} // namespace zelv
