#include "formats/Board.h"

#include "engine/Cards.h"

namespace zelv {

int DealerSeat(std::uint64_t board) {
    static constexpr int seats[4] = {North, East, South, West};
    return seats[(board + 3) % 4];
}

char DealerLetter(std::uint64_t board) { return "NESW"[(board + 3) % 4]; }

std::string VulnerabilityText(std::uint64_t board) {
    // Index by n mod 16 (0 standing for 16).
    static const char* const vul[16] = {"E/W", "Nil", "N/S", "E/W", "All", "N/S", "E/W", "All",
                                        "Nil", "E/W", "All", "Nil", "N/S", "All", "Nil", "N/S"};
    return vul[board % 16];
}

std::string PbnVulnerable(std::uint64_t board) {
    std::string v = VulnerabilityText(board);
    if (v == "Nil") return "None";
    if (v == "N/S") return "NS";
    if (v == "E/W") return "EW";
    return "All";
}

std::string DealerVulText(std::uint64_t board) {
    return std::string("Dealer ") + DealerLetter(board) + " - Vul. " + VulnerabilityText(board);
}

} // namespace zelv
