#pragma once
// The double-dummy analysis a board already has, so that it is not solved
// again: the one its PBN game carries (DoubleDummyTricks, checked against
// the game's other analysis tags), or the table the cache keeps for its
// deal. What is not known is solved, and kept in the cache.
#include "core/analysis/AnalysisCache.h"
#include "core/analysis/DoubleDummy.h"
#include "core/formats/BoardSource.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zelv {

struct PbnSource;

// The analysis the PBN game of `board` (the board at `index` of the file's
// boards, from 0) carries: its DoubleDummyTricks tag, 20 hexadecimal digits
// each 0 to 13, with the par worked out for the board's dealer and
// vulnerability. None when the game has no such tag; none with `problem`
// set when it is malformed or disagrees with the game's OptimumResultTable
// or OptimumScore (a deal changed after it was analysed, say).
std::optional<BoardAnalysis> PbnGameAnalysis(const PbnSource& pbn, std::size_t index, const Board& board,
                                             std::string* problem);

// The analysis of the board at `position` (from 1) of `file`, read as
// `board`, that is known without solving it: its PBN game's, else the
// cache's (either may be refused, with a note). None when neither has it.
std::optional<BoardAnalysis> KnownAnalysis(const BoardSource& file, std::uint64_t position, const Board& board,
                                           const AnalysisCache* cache, std::vector<std::string>& notes);

// As AnalyseBoardFile for `count` boards of `file` from `first` (from 0):
// boards whose analysis is known take it, the others are solved `batch`
// to a DDS call and their tables kept in `cache` (none: no cache). The
// report's Notes say what was refused; Results are by board from `first`.
AnalysisReport AnalyseFileBoards(BoardSource& file, std::size_t first, std::size_t count, const AnalysisCache* cache,
                                 const AnalysisProgress& progress = {}, std::size_t batch = AnalysisBatch(),
                                 const std::atomic<bool>* stop = nullptr);
// The same for the boards at `positions` (from 1) of `file`; Results are
// by position given.
AnalysisReport AnalyseFileBoards(BoardSource& file, const std::vector<std::uint64_t>& positions,
                                 const AnalysisCache* cache, const AnalysisProgress& progress = {},
                                 std::size_t batch = AnalysisBatch(), const std::atomic<bool>* stop = nullptr);

} // namespace zelv
