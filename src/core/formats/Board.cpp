#include "core/formats/Board.h"

#include <bit>

namespace zelv {

int DealerSeat(std::uint64_t board) { return SeatOfClockwise(static_cast<int>((board + 3) % 4)); }

char DealerLetter(std::uint64_t board) { return "NESW"[(board + 3) % 4]; }

char SeatLetter(int seat) { return "NESW"[ClockwisePos(seat & 3)]; }

Vulnerability VulnerabilityOf(std::uint64_t board) {
    // Index by n mod 16 (0 standing for 16).
    using V = Vulnerability;
    static constexpr V vul[16] = {V::EW,   V::None, V::NS,  V::EW,   V::All, V::NS,  V::EW,   V::All,
                                  V::None, V::EW,   V::All, V::None, V::NS,  V::All, V::None, V::NS};
    return vul[board % 16];
}

std::string VulnerabilityText(Vulnerability vul) {
    static const char* const text[4] = {"Nil", "N/S", "E/W", "All"};
    return text[static_cast<int>(vul) & 3];
}

std::string VulnerabilityText(std::uint64_t board) { return VulnerabilityText(VulnerabilityOf(board)); }

std::string PbnVulnerable(Vulnerability vul) {
    static const char* const text[4] = {"None", "NS", "EW", "All"};
    return text[static_cast<int>(vul) & 3];
}

std::string PbnVulnerable(std::uint64_t board) { return PbnVulnerable(VulnerabilityOf(board)); }

std::string DealerVulText(int dealer, Vulnerability vul) {
    return std::string("Dealer ") + SeatLetter(dealer) + " - Vul. " + VulnerabilityText(vul);
}

std::string DealerVulText(std::uint64_t board) { return DealerVulText(DealerSeat(board), VulnerabilityOf(board)); }

Board NumberedBoard(const CardMask* hands, std::uint64_t number) {
    Board b;
    for (int seat = 0; seat < 4; ++seat) b.Hands[seat] = hands[seat];
    b.Number = number;
    b.Dealer = DealerSeat(number);
    b.Vul = VulnerabilityOf(number);
    return b;
}

DisplayTable HoldingsOf(const Board& board) {
    DisplayTable t;
    for (int seat = 0; seat < 4; ++seat)
        for (int suit = 0; suit < 4; ++suit) {
            std::string& h = t[seat][static_cast<std::size_t>(suit)];
            for (int rank = 0; rank < 13; ++rank)
                if (board.Hands[seat] & CardBit(MakeCard(suit, rank))) h += RankLetters[static_cast<std::size_t>(rank)];
        }
    return t;
}

std::string BoardRangeProblem(const char* extension, std::uint64_t highest, std::uint64_t first, std::uint64_t count) {
    if (count == 0 || (first <= highest && count - 1 <= highest - first)) return {};
    return std::string("a ") + extension + " file holds board numbers up to " + std::to_string(highest) +
           ", and boards " + std::to_string(first) + " to " + std::to_string(first + count - 1) + " go past it";
}

std::string HandsProblem(const std::array<CardMask, 4>& hands) {
    CardMask seen = 0;
    for (int seat : {North, East, South, West}) {
        const CardMask h = hands[seat];
        if (h & ~AllCardsMask) return SeatNames[seat] + " holds a card that is no card";
        if (const CardMask twice = h & seen)
            return NameOfCard(static_cast<CardCode>(std::countr_zero(twice) + 1)) + " is held twice";
        seen |= h;
        const int cards = std::popcount(h);
        if (cards != 13) return SeatNames[seat] + " holds " + std::to_string(cards) + " cards, not 13";
    }
    return {};
}

std::string HandsFromHoldings(const DisplayTable& table, std::array<CardMask, 4>& hands) {
    unsigned seen[4] = {0, 0, 0, 0};
    hands = {};
    for (int seat = 0; seat < 4; ++seat) {
        std::size_t cards = 0;
        for (int s = 0; s < 4; ++s) {
            const std::string& h = table[seat][static_cast<std::size_t>(s)];
            const std::string suit(SuitNames[static_cast<std::size_t>(s)]);
            std::size_t last = std::string::npos;
            for (char c : h) {
                const std::size_t r = RankLetters.find(c);
                if (r == std::string_view::npos)
                    return SeatNames[seat] + "'s " + suit + " hold a character that is not a rank letter";
                if (last != std::string::npos && r <= last)
                    return SeatNames[seat] + "'s " + suit + " are not in order from high to low";
                if (seen[s] & (1u << r)) return "the " + suit + " rank " + c + " is held twice";
                seen[s] |= 1u << r;
                last = r;
                hands[seat] |= CardBit(MakeCard(s, static_cast<int>(r)));
            }
            cards += h.size();
        }
        if (cards != 13) return SeatNames[seat] + " holds " + std::to_string(cards) + " cards, not 13";
    }
    return {};
}

std::string LeftOut(const std::string& name, std::uint64_t board, const std::string& what) {
    return LeftOut(name, "board " + std::to_string(board), what);
}

std::string LeftOut(const std::string& name, const std::string& board, const std::string& what) {
    return name + ": " + board + " left out: " + what;
}

} // namespace zelv
