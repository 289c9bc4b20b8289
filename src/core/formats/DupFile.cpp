#include "core/formats/DupFile.h"

#include "core/formats/BriFile.h"
#include "core/formats/DgeFile.h"

#include <array>
#include <cstring>

namespace zelv {

namespace {

std::string LeftAligned(std::uint64_t n, std::size_t width) {
    std::string s = std::to_string(n);
    s.resize(width, ' ');
    return s;
}

// A left-aligned field of digits padded with spaces (spaces before the
// digits are taken too); false when it holds anything else.
bool ParseField(std::string_view field, std::uint64_t& value) {
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ') ++i;
    std::uint64_t v = 0;
    std::size_t digits = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i, ++digits) v = v * 10 + (field[i] - '0');
    while (i < field.size() && field[i] == ' ') ++i;
    if (digits == 0 || i != field.size()) return false;
    value = v;
    return true;
}

} // namespace

std::string DupTrailer(std::uint64_t lowest, std::uint64_t highest) {
    return "YN" + LeftAligned(lowest, 3) + LeftAligned(0, 2) + LeftAligned(highest, 3);
}

void AppendDupRecord(std::string& out, const CardMask* hands, std::uint64_t lowest, std::uint64_t highest) {
    std::string bri, dge;
    AppendBriRecord(bri, hands);
    AppendBoardRecord(dge, hands);
    out.append(bri, 0, 78);
    out.append(dge, 0, 68);
    out += DupTrailer(lowest, highest);
}

std::string DupRangeProblem(std::uint64_t first, std::uint64_t count) {
    return BoardRangeProblem(".DUP", DupHighestBoard, first, count);
}

std::string ConsecutiveProblem(const std::vector<Board>& boards, std::uint64_t highest, const char* extension) {
    if (boards.empty()) return {};
    const std::uint64_t first = boards.front().Number;
    for (std::size_t k = 1; k < boards.size(); ++k)
        if (boards[k].Number != first + k)
            return std::string("a ") + extension + " file numbers its boards one after another, and board " +
                   std::to_string(boards[k].Number) + " follows board " + std::to_string(boards[k - 1].Number);
    if (first < 1 || first + boards.size() - 1 > highest)
        return std::string("a ") + extension + " file holds board numbers from 1 to " + std::to_string(highest) +
               ", not " + std::to_string(first) + " to " + std::to_string(first + boards.size() - 1);
    return {};
}

BoardList ReadDup(std::string_view bytes, const std::string& name) {
    BoardList list;
    const std::size_t whole = bytes.size() / DupRecordSize;
    std::uint64_t lowest = 1, highest = 0;
    bool backwards = false;
    if (whole > 0) {
        const std::string_view first = bytes.substr(0, DupRecordSize);
        if (!ParseField(first.substr(148, 3), lowest) || !ParseField(first.substr(153, 3), highest)) {
            list.Error = name + ": the first record's board numbers (bytes 149 to 156, \"" +
                         std::string(first.substr(148, 8)) + "\") are not numbers";
            return list;
        }
        backwards = first[147] == 'Y';
        if (!backwards && lowest == 0) {
            list.Error = name + ": the set's lowest board number (bytes 149 to 151) is 0";
            return list;
        }
        if (backwards && highest < whole) {
            list.Error =
                name + ": counts " + std::to_string(whole) + " boards backwards from board " + std::to_string(highest);
            return list;
        }
    }
    auto numberOf = [&](std::size_t k) { return backwards ? highest - k : lowest + k; };
    for (std::size_t k = 0; k < whole; ++k) {
        const std::string_view rec = bytes.substr(k * DupRecordSize, DupRecordSize);
        const std::uint64_t n = numberOf(k);
        std::array<CardMask, 4> hands{};
        if (std::string problem = DecodeBriCards(rec.substr(0, 78), hands); !problem.empty()) {
            list.Problems.push_back(LeftOut(name, n, problem));
            continue;
        }
        // The hands are there twice; a machine may read either, so both must agree.
        unsigned char dge[RecordSize] = {};
        std::memcpy(dge, rec.data() + 78, 68);
        DisplayTable holdings;
        std::array<CardMask, 4> fromHoldings{};
        if (!DecodeBoardRecord(dge, holdings) || !HandsFromHoldings(holdings, fromHoldings).empty() ||
            fromHoldings != hands) {
            list.Problems.push_back(LeftOut(name, n, "its hands (bytes 79 to 146) are not the deal of its card codes"));
            continue;
        }
        list.Boards.push_back(NumberedBoard(hands.data(), n));
    }
    if (const std::size_t rest = bytes.size() % DupRecordSize; rest != 0)
        list.Problems.push_back(LeftOut(name, whole > 0 && numberOf(whole) > 0 ? numberOf(whole) : whole + 1,
                                        "the record is cut short (" + std::to_string(rest) + " of " +
                                            std::to_string(DupRecordSize) + " bytes)"));
    return list;
}

bool WriteDup(const std::vector<Board>& boards, std::string& out, std::string* error) {
    if (std::string problem = ConsecutiveProblem(boards, DupHighestBoard, ".DUP"); !problem.empty()) {
        if (error) *error = problem;
        return false;
    }
    out.clear();
    if (boards.empty()) return true;
    const std::uint64_t lowest = boards.front().Number, highest = boards.back().Number;
    for (const Board& b : boards) AppendDupRecord(out, b.Hands.data(), lowest, highest);
    return true;
}

} // namespace zelv
