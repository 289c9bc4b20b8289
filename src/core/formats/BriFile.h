#pragma once
// The dealing-machine file (".BRI"): 128-byte records with no header, record
// n board n. A record holds the card codes of North, East and South, two
// decimal digits a card (West holds the rest), then 32 spaces and 18 zeros.
#include "core/cards/Cards.h"
#include "core/formats/Board.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zelv {

// Appends the 128-byte ".BRI" record of one board to `out`.
void AppendBriRecord(std::string& out, const Hand& north, const Hand& east, const Hand& south);
// The same from card sets by seat index (each of 13 cards).
void AppendBriRecord(std::string& out, const CardMask* hands);

// The four hands (by seat index) from the 78 digits that start a ".BRI"
// record: West holds the 13 cards the others do not. Empty when they are a
// whole deal, otherwise what is wrong.
std::string DecodeBriCards(std::string_view digits, std::array<CardMask, 4>& hands);

// Every board of a whole ".BRI" file, record n board n; a record that is
// not a whole deal and a trailing partial record are left out, each with a
// message naming `name` and the board.
BoardList ReadBri(std::string_view bytes, const std::string& name);
// The ".BRI" file of `boards`, in their order.
std::string WriteBri(const std::vector<Board>& boards);

} // namespace zelv
