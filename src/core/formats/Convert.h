#pragma once
// Converting a board file into others: read whole in the format of its
// extension, written in the formats of theirs, all put in place together.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace zelv {

struct ConvertOptions {
    // Number the boards 1, 2, 3... in file order in every output, dealer
    // and vulnerability following the new numbers.
    bool Renumber = false;
    // Raised (by a signal), the files are not put in place.
    const std::atomic<bool>* Stop = nullptr;
};

struct ConvertResult {
    // Empty when every output was written. Otherwise why, naming the file;
    // nothing was written then.
    std::string Error;
    // The boards of the input that could not be read, one message each. Any
    // of them stops the conversion: machine files numbered by their records
    // would otherwise shift every board after a missing one.
    std::vector<std::string> Problems;
    // What was read or numbered otherwise than the input has it, with
    // nothing lost: a results file's tables of a board read as one board,
    // boards renumbered.
    std::vector<std::string> Notes;
    std::uint64_t Boards = 0;
    // The games each PBN output written from a PBN input holds: all of the
    // input's, a results file's tables each one.
    std::uint64_t Games = 0;
    // The Error is that a ".DGE" or ".BRI" output, which numbers its boards
    // by their place, would give boards other numbers than the input's.
    bool Renumbers = false;
    bool Stopped = false; // Stop was raised before the files went in place; none did
};

// Reads `input` and writes its boards to every output, each in the format of
// its extension (.PBN, .DGE, .BRI, .DUP, .DLM in any case), through
// temporary files that are put in place together or not at all. A ".DLM"
// output's headline names its file code, the output's name before its
// extension. A PBN output of a PBN input keeps every game of it as it was,
// but for the numbers, dealers and vulnerability of renumbered boards. The
// boards must be numbered 1, 2, 3... for a ".DGE" or ".BRI" output unless
// they are renumbered. Each output's file code is locked against other runs (as
// a deal run locks its own) until the files are in place.
ConvertResult ConvertBoardFile(const std::string& input, const std::vector<std::string>& outputs,
                               const ConvertOptions& options = {});

} // namespace zelv
