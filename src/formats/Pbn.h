#pragma once
// PBN 2.1 export of boards.
#include "engine/uBoard.h"
#include "formats/Board.h"

#include <cstdint>
#include <string>

namespace zelv {

// "% PBN 2.1" and "% EXPORT", CR LF.
const std::string& PbnFileHeader();
// One game in export format, followed by an empty line; the Deal tag starts
// with the dealer's seat and lists the hands clockwise.
std::string PbnGame(std::uint64_t board, const DisplayTable& table);

} // namespace zelv
