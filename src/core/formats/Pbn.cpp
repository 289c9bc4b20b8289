#include "core/formats/Pbn.h"

#include "core/files/FileUtil.h"
#include "core/formats/PbnTags.h"

#include <algorithm>
#include <map>
#include <memory>

namespace zelv {

const std::string& PbnFileHeader() {
    static const std::string header = "% PBN 2.1\r\n% EXPORT\r\n";
    return header;
}

std::string PbnGame(std::uint64_t board, int dealer, Vulnerability vul, const DisplayTable& table,
                    std::string_view supplement) {
    const std::string deal = pbn::DealValue(dealer, table);
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

std::string PbnTagPair(std::string_view name, std::string_view value) {
    std::string pair = "[" + std::string(name) + " \"";
    for (char c : value) {
        if (c == '"' || c == '\\') pair += '\\';
        pair += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
    }
    return pair + "\"]\r\n";
}

std::string WritePbn(const std::vector<Board>& boards) {
    std::string out = PbnFileHeader();
    for (const Board& b : boards) out += PbnGame(b);
    return out;
}

std::string PbnRangeProblem(std::uint64_t first, std::uint64_t count) {
    return BoardRangeProblem(".PBN", PbnHighestBoard, first, count);
}

namespace {

using namespace pbn;

// Whether the text from `at` holds `width`-byte units of ASCII characters,
// in the first `count` of them: a non-zero low byte, zero others.
bool AsciiUnits(std::string_view text, std::size_t at, std::size_t width, bool bigEndian, std::size_t count) {
    const std::size_t units = std::min((text.size() - at) / width, count);
    for (std::size_t u = 0; u < units; ++u)
        for (std::size_t b = 0; b < width; ++b) {
            const bool low = b == (bigEndian ? width - 1 : 0);
            if ((text[at + u * width + b] == 0) == low) return false;
        }
    return units > 0;
}

// "UTF-16 (little-endian)" and the like when the text is written so: its
// byte order mark followed by an ASCII character, or without one, the
// zero bytes that ASCII characters take in it; otherwise empty.
std::string WideEncoding(std::string_view text) {
    struct Encoding {
        std::string_view Name, Mark;
        std::size_t Width;
        bool BigEndian;
    };
    using namespace std::string_view_literals;
    // UTF-32's little-endian mark starts with UTF-16's, so it comes first.
    static constexpr Encoding encodings[] = {{"UTF-32 (little-endian)", "\xFF\xFE\0\0"sv, 4, false},
                                             {"UTF-32 (big-endian)", "\0\0\xFE\xFF"sv, 4, true},
                                             {"UTF-16 (little-endian)", "\xFF\xFE"sv, 2, false},
                                             {"UTF-16 (big-endian)", "\xFE\xFF"sv, 2, true}};
    for (const Encoding& e : encodings)
        if (text.substr(0, e.Mark.size()) == e.Mark && AsciiUnits(text, e.Mark.size(), e.Width, e.BigEndian, 1))
            return std::string(e.Name);
    for (const Encoding& e : encodings)
        if (text.size() >= 2 * e.Width && AsciiUnits(text, 0, e.Width, e.BigEndian, 16)) return std::string(e.Name);
    return {};
}

// How messages name a game: by its number when it has one of its own,
// otherwise by its place in the file.
std::string GameName(std::size_t place, const GameReading& reading, const TagValues& values) {
    if (reading.Numbered) return "board " + std::to_string(reading.Read.Number);
    const std::string game = "game " + std::to_string(place);
    if (!values[BoardTag]) return game + " (no Board tag)";
    const std::string given = TrimBlanks(*values[BoardTag]);
    return given.empty() || given == "?" ? game + " (no board number)" : game;
}

// The first game that dealt each board number, to tell a results file's
// tables of one board from two boards given one number.
struct FirstGame {
    std::size_t Board = 0;
    std::string Name; // "game 3, also board 5"
};

} // namespace

BoardList ReadPbn(std::string_view text, const std::string& name) {
    BoardList list;
    if (const std::string wide = WideEncoding(text); !wide.empty()) {
        list.Error = name + " is written in " + wide + ", and PBN files are read as UTF-8 or ASCII: save it as UTF-8";
        return list;
    }
    auto source = std::make_shared<PbnSource>();
    source->Text.assign(text);
    Inheritance inherited;
    std::map<std::uint64_t, FirstGame> firstGames;
    std::size_t repeats = 0, place = 0;
    for (SplitGame& game : SplitGames(source->Text)) {
        PbnSource::Game& where = source->Games.emplace_back(std::move(game.Where));
        ++place;
        const TagValues v = Resolve(game.Values, game.Broken, inherited);
        const bool broken = std::find(game.Broken.begin(), game.Broken.end(), true) != game.Broken.end();
        // A game of other tags only (a file's heading, say) is no board.
        if (!v[DealTag] && !game.Values[BoardTag] && !broken) continue;
        GameReading reading = ReadGame(v, game.Broken, inherited.Previous);
        inherited.Previous = reading.Read.Number;
        const std::string gameName = GameName(place, reading, game.Values);
        for (ReadTag t : {BoardTag, DealerTag, VulnerableTag, DealTag})
            if (game.Repeated[t])
                list.Notes.push_back(name + ": " + gameName + " has more than one " + std::string(TagNames[t]) +
                                     " tag; only the first is read");
        where.What = PbnSource::Kind::LeftOut;
        const std::string number = std::to_string(reading.Read.Number);
        const auto [first, isNew] = firstGames.try_emplace(
            reading.Read.Number, FirstGame{list.Boards.size(), "game " + std::to_string(place) +
                                                                   (reading.Numbered ? ", also board " + number
                                                                                     : ", read as board " + number +
                                                                                           " after the game before")});
        if (reading.Problem.empty() && !isNew && list.Boards[first->second.Board].Hands != reading.Read.Hands)
            reading.Problem = "game " + std::to_string(place) + " deals other cards than " + first->second.Name;
        if (!reading.Problem.empty()) {
            if (isNew) firstGames.erase(first);
            list.Problems.push_back(LeftOut(name, gameName, reading.Problem));
            continue;
        }
        where.What = PbnSource::Kind::Board;
        where.BoardIndex = first->second.Board;
        where.Read = reading.Read;
        if (isNew)
            list.Boards.push_back(reading.Read);
        else
            ++repeats;
    }
    if (repeats > 0)
        list.Notes.push_back(name + ": " + std::to_string(repeats) +
                             (repeats == 1 ? " game repeats" : " games repeat") +
                             " the number and deal of an earlier game, as a results file gives a board once per "
                             "table; each board is read once (" +
                             std::to_string(list.Boards.size()) + " boards from " +
                             std::to_string(list.Boards.size() + repeats) + " games)");
    list.Pbn = std::move(source);
    return list;
}

} // namespace zelv
