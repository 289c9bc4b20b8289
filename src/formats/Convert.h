#pragma once
// Converting a board file into others: read whole in the format of its
// extension, written in the formats of theirs, all put in place together.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace zelv {

struct ConvertResult {
    // Empty when every output was written. Otherwise why, naming the file;
    // nothing was written then.
    std::string Error;
    // The boards of the input that could not be read, one message each. Any
    // of them stops the conversion: machine files numbered by their records
    // would otherwise shift every board after a missing one.
    std::vector<std::string> Problems;
    std::uint64_t Boards = 0;
    bool Stopped = false; // `stop` was raised before the files went in place; none did
};

// Reads `input` and writes its boards to every output, each in the format of
// its extension (.PBN, .DGE, .BRI, .DUP, .DLM in any case), through
// temporary files that are put in place together or not at all. A ".DLM"
// output's headline names its file code, the output's name before its
// extension. Each output's file code is locked against other runs (as a
// deal run locks its own) until the files are in place.
ConvertResult ConvertBoardFile(const std::string& input, const std::vector<std::string>& outputs,
                               const std::atomic<bool>* stop = nullptr);

} // namespace zelv
