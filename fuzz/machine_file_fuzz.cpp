// Any bytes as a ".DGE", ".BRI", ".DUP" and ".DLM" file: every board read
// is a whole deal, and the boards read, written back in the same format
// where it can hold them, read again as the same deals.
#include "core/formats/BoardSource.h"
#include "core/formats/BriFile.h"
#include "core/formats/DlmFile.h"
#include "core/formats/DupFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::array<zelv::CardMask, 4>> Deals(const zelv::BoardList& list) {
    std::vector<std::array<zelv::CardMask, 4>> deals;
    for (const zelv::Board& b : list.Boards) deals.push_back(b.Hands);
    return deals;
}

zelv::BoardList Read(zelv::BoardFormat format, std::string_view bytes) {
    switch (format) {
    case zelv::BoardFormat::Dge:
        return zelv::ReadDge(bytes, "FUZZ.DGE");
    case zelv::BoardFormat::Bri:
        return zelv::ReadBri(bytes, "FUZZ.BRI");
    case zelv::BoardFormat::Dup:
        return zelv::ReadDup(bytes, "FUZZ.DUP");
    default:
        return zelv::ReadDlm(bytes, "FUZZ.DLM");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (zelv::BoardFormat format :
         {zelv::BoardFormat::Dge, zelv::BoardFormat::Bri, zelv::BoardFormat::Dup, zelv::BoardFormat::Dlm}) {
        const zelv::BoardList list = Read(format, bytes);
        if (!list.Error.empty() && !list.Boards.empty()) std::abort();
        for (const zelv::Board& b : list.Boards)
            if (!zelv::HandsProblem(b.Hands).empty()) std::abort();
        std::string written;
        if (!zelv::FormatBoardFile(list.Boards, format, "FUZZ", written, nullptr)) continue;
        const zelv::BoardList again = Read(format, written);
        if (Deals(again) != Deals(list) || !again.Problems.empty()) std::abort();
    }
    return 0;
}
