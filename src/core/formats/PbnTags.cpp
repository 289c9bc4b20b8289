#include "core/formats/PbnTags.h"

#include "core/files/FileUtil.h"

#include <algorithm>
#include <bit>

namespace zelv::pbn {

int ReadTagOf(std::string_view name) {
    for (int t = 0; t < TagCount; ++t)
        if (name == TagNames[t]) return t;
    return -1;
}

namespace {

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Reads the tag pairs of a text character by character, across lines.
class TagScanner {
  public:
    explicit TagScanner(std::vector<SplitGame>& games) : games_(games) {}
    bool Free() const { return state_ == State::Free && !inComment_; }
    // One line, starting at `at` in the text; ends with the line.
    void Line(std::string_view line, std::size_t at);
    void EndOfText() {
        if (state_ != State::Free) Broken();
    }

  private:
    enum class State { Free, Name, BeforeValue, Value, BeforeClose };
    SplitGame& Game() { return games_.back(); }
    // A pair, even a broken one, makes the game.
    void Started() {
        if (!Game().Any) Game().Where.FirstPair = tag_.Open;
        Game().Any = true;
    }
    void Broken();
    void Close(std::size_t at);

    std::vector<SplitGame>& games_;
    State state_ = State::Free;
    bool inComment_ = false;
    PbnSource::Tag tag_;
};

void TagScanner::Broken() {
    Started();
    if (const int t = ReadTagOf(tag_.Name); t >= 0 && !Game().Values[static_cast<std::size_t>(t)])
        Game().Broken[static_cast<std::size_t>(t)] = true;
    state_ = State::Free;
}

void TagScanner::Close(std::size_t at) {
    Started();
    SplitGame& g = Game();
    tag_.Close = at;
    if (const int t = ReadTagOf(tag_.Name); t >= 0) {
        const auto i = static_cast<std::size_t>(t);
        if (g.Values[i])
            g.Repeated[i] = true;
        else if (!g.Broken[i])
            g.Values[i] = tag_.Value;
    }
    g.Where.Tags.push_back(tag_);
    state_ = State::Free;
}

void TagScanner::Line(std::string_view line, std::size_t at) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (inComment_) {
            if (c == '}') inComment_ = false;
            continue;
        }
        switch (state_) {
        case State::Free:
            if (c == ';')
                i = line.size();
            else if (c == '{')
                inComment_ = true;
            else if (c == '[') {
                state_ = State::Name;
                tag_ = PbnSource::Tag{};
                tag_.Open = at + i;
            }
            break;
        case State::Name:
            if (IsNameChar(c))
                tag_.Name += c;
            else if (c == ' ' || c == '\t') {
                if (!tag_.Name.empty()) state_ = State::BeforeValue;
            } else if (c == '"' && !tag_.Name.empty()) {
                state_ = State::Value;
                tag_.ValueBegin = at + i + 1;
            } else
                Broken();
            break;
        case State::BeforeValue:
            if (c == '"') {
                state_ = State::Value;
                tag_.ValueBegin = at + i + 1;
            } else if (c != ' ' && c != '\t')
                Broken();
            break;
        case State::Value:
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\'))
                tag_.Value += line[++i];
            else if (c == '"') {
                state_ = State::BeforeClose;
                tag_.ValueEnd = at + i;
            } else
                tag_.Value += c;
            break;
        case State::BeforeClose:
            if (c == ']')
                Close(at + i + 1);
            else if (c != ' ' && c != '\t')
                Broken();
            break;
        }
    }
    // A string never runs on to the next line; a tag pair may.
    if (state_ == State::Value) Broken();
    if (state_ == State::Name && !tag_.Name.empty()) state_ = State::BeforeValue;
}

} // namespace

std::vector<SplitGame> SplitGames(std::string_view text) {
    std::vector<SplitGame> games(1);
    auto hasPairs = [&games] { return games.back().Any; };
    TagScanner scanner(games);
    // A file with no LF at all ends its lines with CR alone; otherwise any CR
    // before an LF belongs to the line end.
    const bool crOnly = text.find('\n') == std::string_view::npos;
    const char lineEnd = crOnly ? '\r' : '\n';
    bool begun = false;
    std::size_t at = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0; // a UTF-8 byte order mark
    while (at <= text.size()) {
        const std::size_t start = at;
        std::size_t end = text.find(lineEnd, at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        at = end + 1;
        while (!crOnly && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t first = line.find_first_not_of(" \t");
        if (scanner.Free()) {
            // A semi-empty line ends a game; a "%" line is for programs only.
            if (first == std::string_view::npos) {
                if (hasPairs()) {
                    games.back().Where.End = start;
                    games.emplace_back();
                    begun = false;
                }
                continue;
            }
            if (line[first] == '%') continue;
        }
        if (!begun) games.back().Where.Begin = start;
        begun = true;
        scanner.Line(line, start);
    }
    scanner.EndOfText();
    games.back().Where.End = text.size();
    if (!hasPairs()) games.pop_back();
    return games;
}

TagValues Resolve(const TagValues& own, const TagFlags& broken, Inheritance& state) {
    TagValues v;
    for (std::size_t i = 0; i < TagCount; ++i) {
        v[i] = own[i];
        if (!v[i]) {
            if (!broken[i]) v[i] = state.Lasting[i];
        } else if (*v[i] == "#") {
            v[i] = state.Last[i].value_or("");
        } else {
            if (v[i]->rfind("##", 0) == 0) state.Lasting[i] = v[i] = v[i]->substr(2);
            state.Last[i] = v[i];
        }
    }
    return v;
}

namespace {

int SeatOfLetter(char c) {
    switch (c) {
    case 'N':
    case 'n':
        return North;
    case 'E':
    case 'e':
        return East;
    case 'S':
    case 's':
        return South;
    case 'W':
    case 'w':
        return West;
    }
    return -1;
}

// The hands of a Deal tag value, or what is wrong with it.
std::string ParseDeal(std::string_view deal, std::array<CardMask, 4>& hands) {
    hands = {};
    const std::string text = TrimBlanks(deal);
    if (text.size() < 2 || SeatOfLetter(text[0]) < 0 || text[1] != ':')
        return "its Deal tag \"" + text + "\" does not start with N:, E:, S: or W:";
    std::vector<std::string> given;
    std::size_t at = 2;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(" \t", at);
        if (start == std::string::npos) break;
        const std::size_t stop = std::min(text.find_first_of(" \t", start), text.size());
        given.push_back(text.substr(start, stop - start));
        at = stop;
    }
    if (given.size() > 4) return "its Deal tag gives " + std::to_string(given.size()) + " hands, not 4";
    given.resize(4, "-");
    const int firstPos = ClockwisePos(SeatOfLetter(text[0]));
    CardMask seen = 0;
    int unknown = -1, unknownCount = 0;
    for (int i = 0; i < 4; ++i) {
        const int seat = SeatOfClockwise((firstPos + i) % 4);
        const std::string& hand = given[static_cast<std::size_t>(i)];
        const std::string& who = SeatNames[seat];
        if (hand == "-") {
            unknown = seat;
            ++unknownCount;
            continue;
        }
        int suit = 0;
        CardMask mask = 0;
        for (char c : hand) {
            if (c == '.') {
                if (++suit > 3) return "its Deal tag gives " + who + " more than four suits";
                continue;
            }
            const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            const std::size_t rank = RankLetters.find(upper);
            if (rank == std::string_view::npos)
                return "its Deal tag gives " + who + " \"" + std::string(1, c) + "\", which is no rank";
            const CardMask bit = CardBit(MakeCard(suit, static_cast<int>(rank)));
            if (bit & (mask | seen))
                return "its Deal tag gives " + NameOfCard(MakeCard(suit, static_cast<int>(rank))) + " twice";
            mask |= bit;
        }
        if (suit != 3) return "its Deal tag gives " + who + " " + std::to_string(suit + 1) + " suits, not 4";
        if (std::popcount(mask) != 13)
            return "its Deal tag gives " + who + " " + std::to_string(std::popcount(mask)) + " cards, not 13";
        seen |= mask;
        hands[seat] = mask;
    }
    // Three hands settle the fourth; fewer leave the board unknown.
    if (unknownCount > 1)
        return "its Deal tag gives " + std::to_string(4 - unknownCount) + " of the four hands, too few to deal";
    if (unknownCount == 1) hands[static_cast<std::size_t>(unknown)] = AllCardsMask & ~seen;
    return {};
}

// The spellings of the standard, of its import format, and of the club
// programs that write "N-S" or "N/S".
std::optional<Vulnerability> ParseVulnerable(const std::string& v) {
    for (const char* none : {"None", "Love", "-", "Nil", "Neither"})
        if (EqualsNoCase(v, none)) return Vulnerability::None;
    for (const char* ns : {"NS", "N-S", "N/S"})
        if (EqualsNoCase(v, ns)) return Vulnerability::NS;
    for (const char* ew : {"EW", "E-W", "E/W"})
        if (EqualsNoCase(v, ew)) return Vulnerability::EW;
    if (EqualsNoCase(v, "All") || EqualsNoCase(v, "Both")) return Vulnerability::All;
    return std::nullopt;
}

std::string NotATagPair(ReadTag t) {
    const std::string name(TagNames[t]);
    return "its " + name + " tag is not a tag pair [" + name + " \"...\"]";
}

} // namespace

GameReading ReadGame(const TagValues& v, const TagFlags& broken, std::uint64_t previous) {
    GameReading r;
    Board& b = r.Read;
    b.Number = previous + 1;
    const std::string boardText = TrimBlanks(v[BoardTag].value_or(""));
    if (broken[BoardTag]) {
        r.Problem = NotATagPair(BoardTag);
    } else if (!boardText.empty() && boardText != "?") {
        long long n = 0;
        if (boardText.find_first_not_of("0123456789") != std::string::npos || !ParseWholeNumber(boardText, n, false) ||
            n < 1)
            r.Problem = "its Board tag \"" + boardText + "\" is not a board number";
        else {
            b.Number = static_cast<std::uint64_t>(n);
            r.Numbered = true;
        }
    }
    b.Dealer = DealerSeat(b.Number);
    b.Vul = VulnerabilityOf(b.Number);
    if (!r.Problem.empty()) return r;
    for (ReadTag t : {DealerTag, VulnerableTag, DealTag})
        if (broken[t]) {
            r.Problem = NotATagPair(t);
            return r;
        }
    const std::string dealer = TrimBlanks(v[DealerTag].value_or(""));
    const std::string vul = TrimBlanks(v[VulnerableTag].value_or(""));
    if (!dealer.empty() && dealer != "?" && (dealer.size() != 1 || SeatOfLetter(dealer[0]) < 0))
        r.Problem = "its Dealer tag \"" + dealer + "\" is not N, E, S or W";
    else if (!vul.empty() && vul != "?" && !ParseVulnerable(vul))
        r.Problem = "its Vulnerable tag \"" + vul + "\" is not None, NS, EW or All";
    else if (!v[DealTag] || TrimBlanks(*v[DealTag]).empty())
        r.Problem = "it has no Deal tag";
    else
        r.Problem = ParseDeal(*v[DealTag], b.Hands);
    if (!r.Problem.empty()) return r;
    if (dealer.size() == 1 && dealer != "?") b.Dealer = SeatOfLetter(dealer[0]);
    if (const auto parsed = ParseVulnerable(vul); parsed && vul != "?") b.Vul = *parsed;
    return r;
}

std::string DealValue(int dealer, const DisplayTable& table) {
    const int first = ClockwisePos(dealer & 3);
    std::string deal;
    deal += SeatLetter(dealer);
    deal += ':';
    for (int i = 0; i < 4; ++i) {
        const DisplayRow& row = table[static_cast<std::size_t>(SeatOfClockwise((first + i) % 4))];
        if (i) deal += ' ';
        deal += row[0] + "." + row[1] + "." + row[2] + "." + row[3];
    }
    return deal;
}

std::string ValueFor(ReadTag tag, const Board& board) {
    switch (tag) {
    case BoardTag:
        return std::to_string(board.Number);
    case DealerTag:
        return std::string(1, SeatLetter(board.Dealer));
    case VulnerableTag:
        return PbnVulnerable(board.Vul);
    default:
        return DealValue(board.Dealer, HoldingsOf(board));
    }
}

std::string LineEndOf(std::string_view text) {
    const std::size_t lf = text.find('\n');
    if (lf != std::string_view::npos) return lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
    return text.find('\r') != std::string_view::npos ? "\r" : "\r\n";
}

} // namespace zelv::pbn
