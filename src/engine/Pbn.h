#pragma once
// Board numbering rules (dealer and vulnerability rotate with the board
// number) and PBN 2.1 export of boards.
#include "engine/uBoard.h"

#include <cstdint>
#include <string>

namespace zelv {

// Dealer of board n: (n-1) mod 4 gives N, E, S, W; as a seat index.
int DealerSeat(std::uint64_t board);
char DealerLetter(std::uint64_t board);
// "Nil", "N/S", "E/W" or "All" for board n (n mod 16, 0 counting as 16).
std::string VulnerabilityText(std::uint64_t board);
// The same as PBN writes it: "None", "NS", "EW", "All".
std::string PbnVulnerable(std::uint64_t board);
// "Dealer N - Vul. Nil".
std::string DealerVulText(std::uint64_t board);

// "% PBN 2.1" and "% EXPORT", CR LF.
const std::string& PbnFileHeader();
// One game in export format, followed by an empty line; the Deal tag starts
// with the dealer's seat and lists the hands clockwise.
std::string PbnGame(std::uint64_t board, const DisplayTable& table);

} // namespace zelv
