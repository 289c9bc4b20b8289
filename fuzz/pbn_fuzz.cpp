// Any text as a PBN file: every board read is a whole deal, and the boards
// read, written back as PBN, read again as the same boards.
#include "formats/Pbn.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zelv::BoardList list = zelv::ReadPbn(text, "FUZZ.PBN");
    for (const zelv::Board& b : list.Boards)
        if (!zelv::HandsProblem(b.Hands).empty()) std::abort();
    if (!list.Error.empty() && !list.Boards.empty()) std::abort();
    const zelv::BoardList again = zelv::ReadPbn(zelv::WritePbn(list.Boards), "AGAIN.PBN");
    if (again.Boards != list.Boards || !again.Problems.empty()) std::abort();
    return 0;
}
