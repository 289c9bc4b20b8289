#include "formats/Pbn.h"

namespace zelv {

const std::string& PbnFileHeader() {
    static const std::string header = "% PBN 2.1\r\n% EXPORT\r\n";
    return header;
}

std::string PbnGame(std::uint64_t board, const DisplayTable& table) {
    static constexpr int clockwise[4] = {North, East, South, West};
    static constexpr char letters[4] = {'N', 'E', 'S', 'W'};
    std::size_t first = (board + 3) % 4;
    std::string deal;
    deal += letters[first];
    deal += ':';
    for (std::size_t i = 0; i < 4; ++i) {
        const DisplayRow& row = table[clockwise[(first + i) % 4]];
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
    g += tag("Dealer", std::string(1, letters[first]));
    g += tag("Vulnerable", PbnVulnerable(board));
    g += tag("Deal", deal);
    g += tag("Scoring", "?");
    g += tag("Declarer", "?");
    g += tag("Contract", "?");
    g += tag("Result", "?");
    g += "\r\n";
    return g;
}

} // namespace zelv
