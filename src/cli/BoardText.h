#pragma once
// What `zelvano-deal show` prints: a board file's boards as PBN or as plain
// diagrams, with every record checked before it is printed.
#include "core/analysis/DoubleDummy.h"
#include "core/dealing/DealEngine.h"
#include "core/formats/Board.h"

#include <atomic>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace zelv {

// Empty when the table is a whole deal: 13 cards a hand, rank letters high
// to low, each of the 52 cards once. Otherwise what is wrong with it.
std::string DealProblem(const DisplayTable& table);

// Board n as a diagram: a title line with dealer and vulnerability, North
// above, West and East side by side, South below; a void shows as "-". The
// first takes dealer and vulnerability from the board's number.
std::string BoardDiagram(std::uint64_t board, const DisplayTable& table);
std::string BoardDiagram(std::uint64_t board, int dealer, Vulnerability vul, const DisplayTable& table);

enum class ShowFormat { Pbn, Text };

// Prints every sound board of the file to `out`, of any of the five formats
// by its extension (another name is read as a ".DGE" file). A record or
// game that cannot be read or is not a whole deal is reported on `err` with
// its board number and skipped. With `analysis`, each board carries its
// double-dummy tricks and par: as PBN tags, or as lines under the diagram;
// `progress` follows the analysis. A par DDS could not work out is named
// on `err`. 0 when every board was printed (and wholly analysed), 1 when
// the file could not be opened, held no board or any board was skipped.
int ShowBoardFile(const std::string& path, ShowFormat format, std::ostream& out, std::ostream& err,
                  bool analysis = false, const AnalysisProgress& progress = {});

// Writes `output`, a PBN file of every board of `path` (any of the five
// formats) with its double-dummy analysis as tags, put in place whole or
// not at all, and says "Wrote OUT, N boards" on `out`. Refused before any
// board is analysed when `output` cannot be written. A board that cannot
// be read or analysed is left out and named on `err`, as is a par DDS could
// not work out (the game is written without its par tags). Raising `stop`
// ends it within a few hundredths of a second, writing nothing. 0 when every
// board was written whole, 1 otherwise; nothing is written when no board
// could be.
int WriteAnalysedPbn(const std::string& path, const std::string& output, std::ostream& out, std::ostream& err,
                     const AnalysisProgress& progress = {}, const std::atomic<bool>* stop = nullptr);

} // namespace zelv
