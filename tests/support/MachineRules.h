#pragma once
// Deals decoded straight from the written rules of each file, apart from
// the readers under test: a deal is the seat letter ('N', 'E', 'S', 'W') of
// every card, card 1 the ace of spades to card 52 the two of clubs.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelv::test {

using SeatOfCard = std::array<char, 53>; // [0] unused

// 39 two-digit card codes, North, East, South; West holds the rest.
inline SeatOfCard FromCardCodes(std::string_view digits) {
    SeatOfCard d{};
    d.fill('W');
    d[0] = '-';
    for (int k = 0; k < 39; ++k) d[(digits[2 * k] - '0') * 10 + (digits[2 * k + 1] - '0')] = "NES"[k / 13];
    return d;
}

// Four blocks of 17 bytes, North, East, South, West: byte 6 and the spades,
// 3 and the hearts, 4 and the diamonds, 5 and the clubs.
inline SeatOfCard FromHoldings(std::string_view blocks) {
    SeatOfCard d{};
    d.fill('?');
    d[0] = '-';
    const std::string ranks = "AKQJT98765432";
    for (int b = 0; b < 4; ++b) {
        int suit = -1;
        for (int i = 0; i < 17; ++i) {
            const char c = blocks[b * 17 + i];
            if (c >= 3 && c <= 6)
                suit = c == 6 ? 0 : c - 2;
            else
                d[suit * 13 + static_cast<int>(ranks.find(c)) + 1] = "NESW"[b];
        }
    }
    return d;
}

// 26 letters, two cards each in the order AS, KS, ..., 2C: 'a' + 4 x the
// first card's seat + the second's, seats N 0, E 1, S 2, W 3.
inline SeatOfCard FromLetters(std::string_view letters) {
    SeatOfCard d{};
    d[0] = '-';
    for (int i = 0; i < 26; ++i) {
        d[2 * i + 1] = "NESW"[(letters[i] - 'a') / 4];
        d[2 * i + 2] = "NESW"[(letters[i] - 'a') % 4];
    }
    return d;
}

} // namespace zelv::test
