#include "core/formats/BriFile.h"

#include <bit>
#include <cstring>

namespace zelv {

void AppendBriRecord(std::string& out, const Hand& north, const Hand& east, const Hand& south) {
    static constexpr char Digits[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                     "404142434445464748495051525354555657585960616263";
    const std::size_t at = out.size();
    out.resize(at + RecordSize);
    char* p = out.data() + at;
    for (const Hand* h : {&north, &east, &south})
        for (CardCode c : *h) {
            if (c < 64) {
                *p++ = Digits[2 * c];
                *p++ = Digits[2 * c + 1];
            } else {
                *p++ = static_cast<char>('0' + c / 10 % 10);
                *p++ = static_cast<char>('0' + c % 10);
            }
        }
    std::memset(p, ' ', 32);
    std::memset(p + 32, 0, 18);
}

void AppendBriRecord(std::string& out, const CardMask* hands) {
    static constexpr char Digits[] =
        "0001020304050607080910111213141516171819202122232425262728293031323334353637383940"
        "414243444546474849505152";
    const std::size_t at = out.size();
    out.resize(at + RecordSize);
    char* p = out.data() + at;
    for (int seat : {North, East, South}) {
        // Only card codes 1 to 52 have digits; stray bits are no cards.
        CardMask m = hands[seat] & AllCardsMask;
        for (int i = 0; i < 13 && m; ++i) {
            const int c = std::countr_zero(m) + 1;
            m &= m - 1;
            *p++ = Digits[2 * c];
            *p++ = Digits[2 * c + 1];
        }
    }
    std::memset(p, ' ', 32);
    std::memset(p + 32, 0, 18);
}

std::string DecodeBriCards(std::string_view digits, std::array<CardMask, 4>& hands) {
    hands = {};
    if (digits.size() < 78) return "the record is too short for 39 card codes";
    CardMask seen = 0;
    for (int k = 0; k < 39; ++k) {
        const char hi = digits[static_cast<std::size_t>(2 * k)], lo = digits[static_cast<std::size_t>(2 * k + 1)];
        const int code = (hi - '0') * 10 + (lo - '0');
        if (hi < '0' || hi > '9' || lo < '0' || lo > '9' || !IsCard(code))
            return "\"" + std::string{hi, lo} + "\" at byte " + std::to_string(2 * k + 1) +
                   " is not a card code from 01 to 52";
        const CardMask bit = CardBit(static_cast<CardCode>(code));
        if (seen & bit) return NameOfCard(static_cast<CardCode>(code)) + " is held twice";
        seen |= bit;
        hands[static_cast<std::size_t>(SeatOfClockwise(k / 13))] |= bit;
    }
    hands[West] = AllCardsMask & ~seen;
    return {};
}

BoardList ReadBri(std::string_view bytes, const std::string& name) {
    BoardList list;
    const std::size_t whole = bytes.size() / RecordSize;
    for (std::size_t k = 0; k < whole; ++k) {
        std::array<CardMask, 4> hands{};
        if (std::string problem = DecodeBriCards(bytes.substr(k * RecordSize, 78), hands); !problem.empty())
            list.Problems.push_back(LeftOut(name, k + 1, problem));
        else
            list.Boards.push_back(NumberedBoard(hands.data(), k + 1));
    }
    if (const std::size_t rest = bytes.size() % RecordSize; rest != 0)
        list.Problems.push_back(LeftOut(name, whole + 1,
                                        "the record is cut short (" + std::to_string(rest) + " of " +
                                            std::to_string(RecordSize) + " bytes)"));
    return list;
}

std::string WriteBri(const std::vector<Board>& boards) {
    std::string out;
    out.reserve(boards.size() * RecordSize);
    for (const Board& b : boards) AppendBriRecord(out, b.Hands.data());
    return out;
}

} // namespace zelv
