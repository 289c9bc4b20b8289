#include "core/formats/DlmFile.h"

#include "core/files/FileUtil.h"
#include "core/formats/DupFile.h"

#include <cstdio>
#include <map>
#include <optional>

namespace zelv {

namespace {

std::string TwoDigits(std::uint64_t n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02u", static_cast<unsigned>(n));
    return buf;
}

std::optional<std::uint64_t> ParseNumber(std::string_view text) {
    const std::string t = TrimBlanks(text);
    if (t.empty() || t.size() > 9) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return v;
}

} // namespace

std::string DlmLetters(const std::array<CardMask, 4>& hands) {
    auto clockwiseSeat = [&hands](int code) {
        for (int seat = 0; seat < 4; ++seat)
            if (hands[seat] & CardBit(static_cast<CardCode>(code))) return ClockwisePos(seat);
        return 0;
    };
    std::string letters;
    for (int code = 1; code <= 52; code += 2)
        letters += static_cast<char>('a' + 4 * clockwiseSeat(code) + clockwiseSeat(code + 1));
    return letters;
}

unsigned DlmChecksum(std::uint64_t board, std::string_view letters) {
    unsigned sum = static_cast<unsigned>(board);
    for (char c : letters) sum ^= static_cast<unsigned char>(c);
    return sum;
}

std::string DlmRangeProblem(std::uint64_t first, std::uint64_t count) {
    return BoardRangeProblem(".DLM", DlmHighestBoard, first, count);
}

bool WriteDlm(const std::vector<Board>& boards, const std::string& code, std::string& out, std::string* error) {
    if (std::string problem = ConsecutiveProblem(boards, DlmHighestBoard, ".DLM"); !problem.empty()) {
        if (error) *error = problem;
        return false;
    }
    const std::uint64_t from = boards.empty() ? 0 : boards.front().Number;
    const std::uint64_t to = boards.empty() ? 0 : boards.back().Number;
    auto line = [&out](const std::string& text) { out += text + "\r\n"; };
    out.clear();
    line("[Document]");
    line("Headline=Zelvano - " + code);
    line("Status=Show");
    line("Duplicates=0");
    line("From board=" + std::to_string(from));
    line("To board=" + std::to_string(to));
    line("Next board to duplimate=0");
    line("PrintOuts=0");
    line("Crypto key=0");
    // Duplicates (0) ^ From ^ To, and 1 more for Status=Show.
    line("Checksum=" + std::to_string(0 ^ from ^ to ^ 1));
    for (std::uint64_t n = 1; n <= DlmHighestBoard; ++n) {
        const bool inSet = n >= from && n <= to && !boards.empty();
        const std::string letters = inSet ? DlmLetters(boards[n - from].Hands) : std::string(DlmPlaceholder);
        char sum[8];
        std::snprintf(sum, sizeof sum, "%03u", DlmChecksum(n, letters));
        line("Duplicates " + TwoDigits(n) + "=0");
        line("Board " + TwoDigits(n) + "=" + letters + sum);
    }
    return true;
}

namespace {
// The file's "key=value" lines: keys lower-cased, the first of each kept, and
// the "Board NN" lines by their number.
struct DlmLines {
    std::map<std::string, std::string> Keys;
    std::map<std::uint64_t, std::string> Boards;
    std::optional<std::uint64_t> Number(const char* key) const {
        auto it = Keys.find(key);
        return it == Keys.end() ? std::nullopt : ParseNumber(it->second);
    }
};

DlmLines SplitDlmLines(std::string_view text) {
    DlmLines lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view raw = text.substr(at, end - at);
        at = end + 1;
        const std::size_t eq = raw.find('=');
        if (eq == std::string_view::npos) continue;
        std::string key = TrimBlanks(raw.substr(0, eq));
        for (char& c : key) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        const std::string value = TrimBlanks(raw.substr(eq + 1));
        if (key.rfind("board ", 0) == 0) {
            if (auto n = ParseNumber(std::string_view(key).substr(6))) lines.Boards.emplace(*n, value);
        } else {
            lines.Keys.emplace(key, value);
        }
    }
    return lines;
}

// Why the [Document] section does not describe a set of boards, or "".
std::string DlmDocumentProblem(const DlmLines& lines, const std::string& name) {
    const auto from = lines.Number("from board"), to = lines.Number("to board");
    if (!from || !to)
        return name + ": no \"From board\" and \"To board\" in its [Document] section; it is no .DLM file";
    if (auto sum = lines.Keys.find("checksum"); sum != lines.Keys.end()) {
        const auto status = lines.Keys.find("status");
        const std::uint64_t show = status != lines.Keys.end() && EqualsNoCase(status->second, "Show") ? 1 : 0;
        const std::uint64_t expected = lines.Number("duplicates").value_or(0) ^ *from ^ *to ^ show;
        if (ParseNumber(sum->second) != expected)
            return name + ": its [Document] checksum is " + sum->second + ", but Duplicates, From board and " +
                   "To board give " + std::to_string(expected) + "; the file is damaged";
    }
    if (*from < 1 || *from > *to || *to > DlmHighestBoard)
        return name + ": boards " + std::to_string(*from) + " to " + std::to_string(*to) +
               " are not a set within 1 to " + std::to_string(DlmHighestBoard);
    return {};
}

// Board `n`'s hands from its line's value, or why they cannot be read.
std::string DlmBoardHands(std::uint64_t n, const std::string& v, std::array<CardMask, 4>& hands) {
    bool shaped = v.size() == 29;
    for (std::size_t i = 0; shaped && i < 29; ++i)
        shaped = i < 26 ? v[i] >= 'a' && v[i] <= 'p' : v[i] >= '0' && v[i] <= '9';
    if (!shaped) return "\"" + v + "\" is not 26 letters from a to p and a three-digit checksum";
    const std::string_view letters = std::string_view(v).substr(0, 26);
    const unsigned expected = DlmChecksum(n, letters);
    if (std::stoul(v.substr(26)) != expected)
        return "its checksum is " + v.substr(26) + ", but its letters give " + std::to_string(expected);
    hands = {};
    for (int i = 0; i < 26; ++i) {
        const int pair = letters[static_cast<std::size_t>(i)] - 'a';
        hands[static_cast<std::size_t>(SeatOfClockwise(pair / 4))] |= CardBit(static_cast<CardCode>(2 * i + 1));
        hands[static_cast<std::size_t>(SeatOfClockwise(pair % 4))] |= CardBit(static_cast<CardCode>(2 * i + 2));
    }
    return HandsProblem(hands);
}
} // namespace

BoardList ReadDlm(std::string_view text, const std::string& name) {
    BoardList list;
    const DlmLines lines = SplitDlmLines(text);
    list.Error = DlmDocumentProblem(lines, name);
    if (!list.Error.empty()) return list;
    const std::uint64_t from = *lines.Number("from board"), to = *lines.Number("to board");
    for (std::uint64_t n = from; n <= to; ++n) {
        auto it = lines.Boards.find(n);
        if (it == lines.Boards.end()) {
            list.Problems.push_back(LeftOut(name, n, "there is no line \"Board " + TwoDigits(n) + "=\""));
            continue;
        }
        std::array<CardMask, 4> hands{};
        if (std::string problem = DlmBoardHands(n, it->second, hands); !problem.empty()) {
            list.Problems.push_back(LeftOut(name, n, problem));
            continue;
        }
        list.Boards.push_back(NumberedBoard(hands.data(), n));
    }
    return list;
}

} // namespace zelv
