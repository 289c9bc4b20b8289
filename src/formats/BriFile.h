#pragma once
// The dealing-machine file (".BRI"): 128-byte records with no header, record
// n board n. A record holds the card codes of North, East and South, two
// decimal digits a card (West holds the rest), then 32 spaces and 18 zeros.
#include "engine/Cards.h"
#include "formats/Board.h"

#include <string>

namespace zelv {

// Appends the 128-byte ".BRI" record of one board to `out`.
void AppendBriRecord(std::string& out, const Hand& north, const Hand& east, const Hand& south);
// The same from card sets by seat index (each of 13 cards).
void AppendBriRecord(std::string& out, const CardMask* hands);

} // namespace zelv
