#pragma once
// The shared settings of a run of the program: the three working folders
// beside the program and the file code of the output files. Computed afresh
// at every start and never saved.
#include <string>
#include <string_view>

namespace zelv {

inline constexpr std::string_view ExtDefinition = ".HDS";
inline constexpr std::string_view ExtGenerator = ".GEN";
inline constexpr std::string_view ExtBoards = ".DGE";
inline constexpr std::string_view ExtMachine = ".BRI";
inline constexpr std::string_view ExtPbn = ".PBN";
inline constexpr std::string_view InitialFileCode = "ZELV";

struct tSettings {
    std::string ProgramFolder;
    std::string HandDefinitionsFolder;
    std::string HandGeneratorsFolder;
    std::string HandsFolder;
    std::string DefaultFileCode{InitialFileCode};

    // Working folders are the "Hand Definitions", "Hand Generators" and
    // "Hands" subfolders of `programFolder`.
    static tSettings ForProgramFolder(const std::string& programFolder);
};

// The process-wide settings, first computed from the executable's folder.
tSettings& SharedSettings();

} // namespace zelv
