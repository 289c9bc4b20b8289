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

BoardList ReadDlm(std::string_view text, const std::string& name) {
    BoardList list;
    std::map<std::string, std::string> keys;    // lower-cased key -> value; the first of each
    std::map<std::uint64_t, std::string> lines; // board number -> value
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
            if (auto n = ParseNumber(std::string_view(key).substr(6))) lines.emplace(*n, value);
        } else {
            keys.emplace(key, value);
        }
    }
    auto number = [&keys](const char* key) -> std::optional<std::uint64_t> {
        auto it = keys.find(key);
        return it == keys.end() ? std::nullopt : ParseNumber(it->second);
    };
    const auto from = number("from board"), to = number("to board");
    if (!from || !to) {
        list.Error = name + ": no \"From board\" and \"To board\" in its [Document] section; it is no .DLM file";
        return list;
    }
    if (auto sum = keys.find("checksum"); sum != keys.end()) {
        const auto status = keys.find("status");
        const std::uint64_t show = status != keys.end() && EqualsNoCase(status->second, "Show") ? 1 : 0;
        const std::uint64_t expected = number("duplicates").value_or(0) ^ *from ^ *to ^ show;
        if (ParseNumber(sum->second) != expected) {
            list.Error = name + ": its [Document] checksum is " + sum->second + ", but Duplicates, From board and " +
                         "To board give " + std::to_string(expected) + "; the file is damaged";
            return list;
        }
    }
    if (*from < 1 || *from > *to || *to > DlmHighestBoard) {
        list.Error = name + ": boards " + std::to_string(*from) + " to " + std::to_string(*to) +
                     " are not a set within 1 to " + std::to_string(DlmHighestBoard);
        return list;
    }
    for (std::uint64_t n = *from; n <= *to; ++n) {
        auto it = lines.find(n);
        if (it == lines.end()) {
            list.Problems.push_back(LeftOut(name, n, "there is no line \"Board " + TwoDigits(n) + "=\""));
            continue;
        }
        const std::string& v = it->second;
        bool shaped = v.size() == 29;
        for (std::size_t i = 0; shaped && i < 29; ++i)
            shaped = i < 26 ? v[i] >= 'a' && v[i] <= 'p' : v[i] >= '0' && v[i] <= '9';
        if (!shaped) {
            list.Problems.push_back(
                LeftOut(name, n, "\"" + v + "\" is not 26 letters from a to p and a three-digit checksum"));
            continue;
        }
        const std::string_view letters = std::string_view(v).substr(0, 26);
        const unsigned expected = DlmChecksum(n, letters);
        if (std::stoul(v.substr(26)) != expected) {
            list.Problems.push_back(LeftOut(
                name, n, "its checksum is " + v.substr(26) + ", but its letters give " + std::to_string(expected)));
            continue;
        }
        std::array<CardMask, 4> hands{};
        for (int i = 0; i < 26; ++i) {
            const int pair = letters[static_cast<std::size_t>(i)] - 'a';
            hands[static_cast<std::size_t>(SeatOfClockwise(pair / 4))] |= CardBit(static_cast<CardCode>(2 * i + 1));
            hands[static_cast<std::size_t>(SeatOfClockwise(pair % 4))] |= CardBit(static_cast<CardCode>(2 * i + 2));
        }
        if (std::string problem = HandsProblem(hands); !problem.empty()) {
            list.Problems.push_back(LeftOut(name, n, problem));
            continue;
        }
        list.Boards.push_back(NumberedBoard(hands.data(), n));
    }
    return list;
}

} // namespace zelv
