// Any text as a PBN file: every board read is a whole deal, and the boards
// read, written back as PBN, read again as the same boards. Written again
// from its own text it is the same text (when no game was left out), and
// renumbered it reads as the renumbered boards.
#include "core/formats/Pbn.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zelv::BoardList list = zelv::ReadPbn(text, "FUZZ.PBN");
    for (const zelv::Board& b : list.Boards)
        if (!zelv::HandsProblem(b.Hands).empty()) std::abort();
    if (!list.Error.empty() && !list.Boards.empty()) std::abort();
    const zelv::BoardList again = zelv::ReadPbn(zelv::WritePbn(list.Boards), "AGAIN.PBN");
    if (again.Boards != list.Boards || !again.Problems.empty()) std::abort();
    if (!list.Pbn) return 0;
    if (list.Problems.empty() && zelv::WritePbnFrom(*list.Pbn, list.Boards) != text) std::abort();
    std::vector<zelv::Board> renumbered = list.Boards;
    for (std::size_t k = 0; k < renumbered.size(); ++k)
        renumbered[k] = zelv::NumberedBoard(renumbered[k].Hands.data(), k + 1);
    const zelv::BoardList back = zelv::ReadPbn(zelv::WritePbnFrom(*list.Pbn, renumbered), "RENUMBERED.PBN");
    // Without the games left out, the file may start with zero bytes that
    // read as UTF-16; nothing else may change.
    if (!back.Error.empty() && !list.Problems.empty()) return 0;
    if (back.Boards != renumbered || !back.Problems.empty()) std::abort();
    return 0;
}
