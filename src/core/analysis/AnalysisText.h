#pragma once
// The analysis of a board as people and programs read it: the par line and
// contract names printed under a diagram, the plain-text table of
// `zelvano-deal show --dd`, and the PBN tags hand-record and scoring
// programs read.
#include "core/analysis/DoubleDummy.h"

#include <cstdint>
#include <string>

namespace zelv {

// How a strain is written: letters ("NT", "S", "H", "D", "C"), or suit
// signs ("NT", "♠", "♥", "♦", "♣" as UTF-8).
enum class StrainStyle { Letters, Signs };
std::string StrainText(int strain, StrainStyle style);

// "4♠", "3NT+1", "5♦x-2": level, strain, doubled, and the tricks over or down.
std::string ContractText(const ParContract& contract, StrainStyle style);
// "+620: 4♠ by N", "+400: 3NT by NS, 5♣ by NS", "0: passed out". The score is
// North-South's. A par DDS could not work out is "par not computed: <why>".
std::string ParText(const ParResult& par, StrainStyle style);
// "Par +620: 4♠ by N", or "Par not computed: <why>".
std::string ParLine(const ParResult& par, StrainStyle style);

// The table (a row per declarer N, S, E, W; columns NT, S, H, D, C), the
// par line and each hand's high-card points, as text lines under a diagram.
std::string AnalysisTextBlock(const BoardAnalysis& analysis, const Board& board);

// The tags added to a board's PBN game, CR LF ended: DoubleDummyTricks (20
// hexadecimal digits, declarers N, S, E, W, each notrump, spades, hearts,
// diamonds, clubs), OptimumResultTable with its 20 rows in that order,
// OptimumScore ("NS 620") and ParContract ("NS 4S", "EW 5DX", "Pass"); the
// last two are left out when the par could not be worked out, rather than
// stand for a wrong one.
std::string PbnAnalysisTags(const BoardAnalysis& analysis);

// What to tell the user of a board whose par could not be worked out:
// "<name>: board <n>: par not computed: <why>", and when its PBN game is
// written without the par tags "; its game has no OptimumScore or
// ParContract tag". Empty when the par was worked out.
std::string ParNotComputedNote(const std::string& name, std::uint64_t board, const ParResult& par, bool inPbn);

} // namespace zelv
