// A hand definition file of any content, through both readers, then a few
// dealing attempts, classic and secure, with whatever limits it holds.
#include "core/dealing/DealEngine.h"
#include "core/dealing/SecureDealer.h"
#include "core/definitions/DefinitionText.h"
#include "core/files/FileUtil.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

namespace {
const std::string& Folder() {
    static const std::string folder = [] {
        auto dir = ScratchFolder() / ("zelv-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        static const std::filesystem::path keep = dir;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(keep, ec);
        });
        return dir.string();
    }();
    return folder;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = zelv::JoinPath(Folder(), "F.HDS");
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!file) return 0;
    }

    zelv::DefinitionText defn;
    std::vector<zelv::CardCode> refused;
    if (zelv::ReadDefinitionFile(path, defn, &refused, nullptr)) {
        if (defn.CardCount() > zelv::MaxMustHaveCards) std::abort();
        (void)zelv::DefinitionFileText(defn);
    }

    zelv::HandDefinition slot;
    (void)zelv::DealEngine::ReadDefinition(path, slot, nullptr);

    // North alone with the definition first, West with it second (its first
    // slot empty), and North and East both needing the same cards.
    zelv::DealSetup apart;
    apart[zelv::North] = {true, {"F", "", "", "", ""}};
    apart[zelv::West] = {true, {"", "f", "", "", ""}};
    zelv::DealSetup shared;
    shared[zelv::North] = {true, {"F", "", "", "", ""}};
    shared[zelv::East] = {true, {"F", "F", "", "", ""}};
    for (const zelv::DealSetup* setup : {&apart, &shared})
        for (bool seed : {true, false}) {
            zelv::DealEngine board;
            board.SeedFirst = seed;
            if (!board.LoadSetup(*setup, Folder(), nullptr)) continue;
            for (int i = 0; i < 20; ++i) board.DealBoard();
            zelv::SecureRandom random(zelv::SecureKey{});
            zelv::SecureDealer dealer(board, random);
            for (int i = 0; i < 20; ++i) {
                if (!dealer.DealBoard()) continue;
                // Every card dealt once, and every constrained hand passes.
                zelv::CardMask all = 0;
                for (int s = 0; s < 4; ++s) {
                    const zelv::CardMask hand = board.Dealt[static_cast<std::size_t>(s)];
                    if (!board.SeatMeetsSetup(s, hand)) std::abort();
                    all |= hand;
                }
                if (all != zelv::AllCardsMask) std::abort();
            }
        }
    return 0;
}
