#pragma once
// Bridge arithmetic the language offers: duplicate scores, IMPs, and the
// per-suit tables its counting functions read (points by a scale, losers,
// suit quality and the four-C's evaluation).
#include <array>
#include <cstdint>
#include <vector>

namespace zelv {

// Declarer's score of an undoubled contract: `level` 1-7, `strain` 0
// notrump, 1 spades, 2 hearts, 3 diamonds, 4 clubs; negative when it fails.
std::int64_t ContractScore(bool vulnerable, int level, int strain, std::int64_t tricks);
// IMPs of a score difference, with its sign.
std::int64_t ImpsOf(std::int64_t difference);

// One value per 13-bit suit holding (bit 0 the ace).
using HoldingTable = std::vector<std::int32_t>;
// Points of a holding by a scale (ace first).
HoldingTable ScaleTable(const std::array<int, 13>& scale);
// Losers: none in a void; a singleton ace none, else one; AK none, Ax or Kx
// one, else two; three cards or more, three less one for each of A, K, Q.
HoldingTable LoserTable();
// Suit quality times 100 (The Bridge World, October 1982).
HoldingTable QualityTable();
// A suit's share of the four-C's evaluation (honours and quality) times
// 100; the shape part is added over the whole hand (CcccShape).
HoldingTable CcccSuitTable();
// The shape part of the four-C's evaluation, from the four suit lengths.
int CcccShape(const int* lengths);

} // namespace zelv
