#include "formats/Pbn.h"

#include "engine/FileUtil.h"

#include <array>
#include <bit>
#include <optional>

namespace zelv {

const std::string& PbnFileHeader() {
    static const std::string header = "% PBN 2.1\r\n% EXPORT\r\n";
    return header;
}

std::string PbnGame(std::uint64_t board, int dealer, Vulnerability vul, const DisplayTable& table,
                    std::string_view supplement) {
    const int first = StoragePos(dealer & 3);
    std::string deal;
    deal += SeatLetter(dealer);
    deal += ':';
    for (int i = 0; i < 4; ++i) {
        const DisplayRow& row = table[static_cast<std::size_t>(SeatOfClockwise((first + i) % 4))];
        if (i) deal += ' ';
        deal += row[0] + "." + row[1] + "." + row[2] + "." + row[3];
    }
    auto tag = [](const char* name, const std::string& value) {
        return std::string("[") + name + " \"" + value + "\"]\r\n";
    };
    std::string g;
    g += tag("Event", "?");
    g += tag("Site", "?");
    g += tag("Date", "?");
    g += tag("Board", std::to_string(board));
    g += tag("West", "?");
    g += tag("North", "?");
    g += tag("East", "?");
    g += tag("South", "?");
    g += tag("Dealer", std::string(1, SeatLetter(dealer)));
    g += tag("Vulnerable", PbnVulnerable(vul));
    g += tag("Deal", deal);
    g += tag("Scoring", "?");
    g += tag("Declarer", "?");
    g += tag("Contract", "?");
    g += tag("Result", "?");
    g += supplement;
    g += "\r\n";
    return g;
}

std::string PbnGame(std::uint64_t board, const DisplayTable& table) {
    return PbnGame(board, DealerSeat(board), VulnerabilityOf(board), table);
}

std::string PbnGame(const Board& board, std::string_view supplement) {
    return PbnGame(board.Number, board.Dealer, board.Vul, HoldingsOf(board), supplement);
}

std::string WritePbn(const std::vector<Board>& boards) {
    std::string out = PbnFileHeader();
    for (const Board& b : boards) out += PbnGame(b);
    return out;
}

std::string PbnRangeProblem(std::uint64_t first, std::uint64_t count) {
    if (count == 0 || (first <= PbnHighestBoard && count - 1 <= PbnHighestBoard - first)) return {};
    return "a .PBN file holds board numbers up to " + std::to_string(PbnHighestBoard) + ", and boards " +
           std::to_string(first) + " to " + std::to_string(first + count - 1) + " go past it";
}

namespace {

// The tags a game's board is read from.
enum Tag { BoardTag, DealerTag, VulnerableTag, DealTag, TagCount };
constexpr std::string_view TagNames[TagCount] = {"Board", "Dealer", "Vulnerable", "Deal"};

struct Game {
    std::array<std::optional<std::string>, TagCount> Values; // as written in the game
    std::array<bool, TagCount> Broken{};                     // written, but not as a tag pair
    bool Any = false;                                        // any tag pair at all
};

// The games of a file, each with the values of the four tags: the first
// pair of each name counts (import format ignores repeats), "%" lines and
// comments are skipped, and so is section data such as an auction.
std::vector<Game> SplitGames(std::string_view text) {
    std::vector<Game> games(1);
    enum class State { Free, Name, BeforeValue, Value, BeforeClose } state = State::Free;
    bool inComment = false;
    std::string name, value;
    auto nameIndex = [&name]() -> int {
        for (int t = 0; t < TagCount; ++t)
            if (name == TagNames[t]) return t;
        return -1;
    };
    auto broken = [&] {
        games.back().Any = true;
        if (const int t = nameIndex(); t >= 0 && !games.back().Values[static_cast<std::size_t>(t)])
            games.back().Broken[static_cast<std::size_t>(t)] = true;
        state = State::Free;
    };
    auto isName = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    };
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t first = line.find_first_not_of(" \t");
        if (!inComment && state == State::Free) {
            // A semi-empty line ends a game; a "%" line is for programs only.
            if (first == std::string_view::npos) {
                if (games.back().Any) games.emplace_back();
                continue;
            }
            if (line[first] == '%') continue;
        }
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (inComment) {
                if (c == '}') inComment = false;
                continue;
            }
            switch (state) {
            case State::Free:
                if (c == ';')
                    i = line.size();
                else if (c == '{')
                    inComment = true;
                else if (c == '[') {
                    state = State::Name;
                    name.clear();
                }
                break;
            case State::Name:
                if (isName(c))
                    name += c;
                else if (c == ' ' || c == '\t') {
                    if (!name.empty()) state = State::BeforeValue;
                } else if (c == '"' && !name.empty()) {
                    state = State::Value;
                    value.clear();
                } else
                    broken();
                break;
            case State::BeforeValue:
                if (c == '"') {
                    state = State::Value;
                    value.clear();
                } else if (c != ' ' && c != '\t')
                    broken();
                break;
            case State::Value:
                if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\'))
                    value += line[++i];
                else if (c == '"')
                    state = State::BeforeClose;
                else
                    value += c;
                break;
            case State::BeforeClose:
                if (c == ']') {
                    Game& g = games.back();
                    g.Any = true;
                    if (const int t = nameIndex();
                        t >= 0 && !g.Values[static_cast<std::size_t>(t)] && !g.Broken[static_cast<std::size_t>(t)])
                        g.Values[static_cast<std::size_t>(t)] = value;
                    state = State::Free;
                } else if (c != ' ' && c != '\t')
                    broken();
                break;
            }
        }
        // A string never runs on to the next line; a tag pair may.
        if (state == State::Value) broken();
        if (state == State::Name && !name.empty()) state = State::BeforeValue;
    }
    if (state != State::Free) broken();
    if (!games.back().Any) games.pop_back();
    return games;
}

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
    const int firstPos = StoragePos(SeatOfLetter(text[0]));
    CardMask seen = 0;
    int unknown = -1, unknownCount = 0;
    for (int i = 0; i < 4; ++i) {
        const int seat = SeatOfClockwise((firstPos + i) % 4);
        const std::string& hand = given[static_cast<std::size_t>(i)];
        const std::string& who = SeatNames[static_cast<std::size_t>(seat)];
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
        hands[static_cast<std::size_t>(seat)] = mask;
    }
    // Three hands settle the fourth; fewer leave the board unknown.
    if (unknownCount > 1)
        return "its Deal tag gives " + std::to_string(4 - unknownCount) + " of the four hands, too few to deal";
    if (unknownCount == 1) hands[static_cast<std::size_t>(unknown)] = AllCardsMask & ~seen;
    return {};
}

std::optional<Vulnerability> ParseVulnerable(const std::string& v) {
    for (const char* none : {"None", "Love", "-"})
        if (EqualsNoCase(v, none)) return Vulnerability::None;
    if (EqualsNoCase(v, "NS")) return Vulnerability::NS;
    if (EqualsNoCase(v, "EW")) return Vulnerability::EW;
    if (EqualsNoCase(v, "All") || EqualsNoCase(v, "Both")) return Vulnerability::All;
    return std::nullopt;
}

} // namespace

BoardList ReadPbn(std::string_view text, const std::string& name) {
    BoardList list;
    // Per tag: the last real value of an earlier game ("#"), and the value
    // a "##" set for every later game.
    std::array<std::optional<std::string>, TagCount> last, lasting;
    std::uint64_t previous = 0;
    for (const Game& game : SplitGames(text)) {
        std::array<std::optional<std::string>, TagCount> v;
        for (int t = 0; t < TagCount; ++t) {
            const auto i = static_cast<std::size_t>(t);
            v[i] = game.Values[i];
            if (!v[i]) {
                if (!game.Broken[i]) v[i] = lasting[i];
            } else if (*v[i] == "#") {
                v[i] = last[i].value_or("");
            } else {
                if (v[i]->rfind("##", 0) == 0) lasting[i] = v[i] = v[i]->substr(2);
                last[i] = v[i];
            }
        }
        const bool broken =
            game.Broken[BoardTag] || game.Broken[DealerTag] || game.Broken[VulnerableTag] || game.Broken[DealTag];
        // A game of other tags only (a file's heading, say) is no board.
        if (!v[DealTag] && !game.Values[BoardTag] && !broken) continue;

        std::uint64_t number = previous + 1;
        std::string problem;
        const std::string boardText = TrimBlanks(v[BoardTag].value_or(""));
        if (game.Broken[BoardTag]) {
            problem = "its Board tag is not a tag pair [Board \"...\"]";
        } else if (!boardText.empty() && boardText != "?") {
            long long n = 0;
            if (boardText.find_first_not_of("0123456789") != std::string::npos ||
                !ParseWholeNumber(boardText, n, false) || n < 1)
                problem = "its Board tag \"" + boardText + "\" is not a board number";
            else
                number = static_cast<std::uint64_t>(n);
        }
        previous = number;
        Board b;
        b.Number = number;
        b.Dealer = DealerSeat(number);
        b.Vul = VulnerabilityOf(number);
        const std::string dealer = TrimBlanks(v[DealerTag].value_or(""));
        const std::string vul = TrimBlanks(v[VulnerableTag].value_or(""));
        auto check = [&]() -> std::string {
            if (!problem.empty()) return problem;
            for (Tag t : {DealerTag, VulnerableTag, DealTag})
                if (game.Broken[t])
                    return "its " + std::string(TagNames[t]) + " tag is not a tag pair [" + std::string(TagNames[t]) +
                           " \"...\"]";
            if (!dealer.empty() && dealer != "?" && (dealer.size() != 1 || SeatOfLetter(dealer[0]) < 0))
                return "its Dealer tag \"" + dealer + "\" is not N, E, S or W";
            if (!vul.empty() && vul != "?" && !ParseVulnerable(vul))
                return "its Vulnerable tag \"" + vul + "\" is not None, NS, EW or All";
            if (!v[DealTag] || TrimBlanks(*v[DealTag]).empty()) return "it has no Deal tag";
            return ParseDeal(*v[DealTag], b.Hands);
        };
        problem = check();
        if (!problem.empty()) {
            list.Problems.push_back(LeftOut(name, number, problem));
            continue;
        }
        if (dealer.size() == 1 && dealer != "?") b.Dealer = SeatOfLetter(dealer[0]);
        if (auto parsed = ParseVulnerable(vul); parsed && vul != "?") b.Vul = *parsed;
        list.Boards.push_back(b);
    }
    return list;
}

} // namespace zelv
