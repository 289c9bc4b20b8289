#pragma once
// What every board format shares: the length of a machine record and the
// board numbering rules (dealer and vulnerability rotate with the number).
#include <cstddef>
#include <cstdint>
#include <string>

namespace zelv {

// A ".DGE" record and a ".BRI" record alike.
inline constexpr std::size_t RecordSize = 128;

// Dealer of board n: (n-1) mod 4 gives N, E, S, W; as a seat index.
int DealerSeat(std::uint64_t board);
char DealerLetter(std::uint64_t board);
// "Nil", "N/S", "E/W" or "All" for board n (n mod 16, 0 counting as 16).
std::string VulnerabilityText(std::uint64_t board);
// The same as PBN writes it: "None", "NS", "EW", "All".
std::string PbnVulnerable(std::uint64_t board);
// "Dealer N - Vul. Nil".
std::string DealerVulText(std::uint64_t board);

} // namespace zelv
