#include "formats/BriFile.h"

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

} // namespace zelv
