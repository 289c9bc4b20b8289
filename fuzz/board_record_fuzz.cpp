// Any bytes as board records: one record decoded directly, and the whole
// input as a board file through `show`, in both formats.
#include "cli/BoardText.h"
#include "core/files/FileUtil.h"
#include "core/formats/DealFiles.h"
#include "core/formats/DgeFile.h"
#include "core/formats/Pbn.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

// Memory-backed when the system has it: a file written per input on a disk
// costs milliseconds. scripts/fuzz.sh names a folder that it removes after.
static std::filesystem::path ScratchFolder() {
    if (const char* dir = std::getenv("ZELV_FUZZ_SCRATCH")) return dir;
    std::error_code ec;
    if (std::filesystem::is_directory("/dev/shm", ec)) return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    unsigned char record[zelv::RecordSize] = {};
    std::memcpy(record, data, std::min(size, zelv::RecordSize));
    zelv::DisplayTable board;
    bool sound = zelv::DecodeBoardRecord(record, board);
    for (const auto& row : board)
        for (const auto& h : row)
            if (h.size() > 13) std::abort();
    if (sound && zelv::DealProblem(board).empty()) (void)zelv::PbnGame(1, board);
    (void)zelv::BoardDiagram(1, board);

    static const std::string path = [] {
        static const std::filesystem::path p = ScratchFolder() / ("zelv-fuzz-" + std::to_string(::getpid()) + ".DGE");
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove(p, ec);
        });
        return p.string();
    }();
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!file) return 0;
    }
    std::ostringstream out, err;
    (void)zelv::ShowBoardFile(path, zelv::ShowFormat::Pbn, out, err);
    (void)zelv::ShowBoardFile(path, zelv::ShowFormat::Text, out, err);
    return 0;
}
