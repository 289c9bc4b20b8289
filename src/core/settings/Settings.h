#pragma once
// The shared settings of a run of the program: where its files are (what
// ships with it, and the three working folders) and the file code of the
// output files. Worked out afresh at every start and never saved.
#include <functional>
#include <string>
#include <string_view>

namespace zelv {

inline constexpr std::string_view ExtDefinition = ".HDS";
inline constexpr std::string_view ExtGenerator = ".GEN";
inline constexpr std::string_view ExtBoards = ".DGE";
inline constexpr std::string_view ExtMachine = ".BRI";
inline constexpr std::string_view ExtPbn = ".PBN";
inline constexpr std::string_view InitialFileCode = "ZELV";

// What the folder choice looks at, so that a test can give its own.
struct Environment {
    std::string XdgDataHome; // $XDG_DATA_HOME, empty when unset
    std::string Home;        // the user's home folder
    std::function<bool(const std::string& folder)> Writable;
    // The real one: the process's environment and access(2).
    static Environment Current();
};

struct Settings {
    std::string ProgramFolder; // the executable's folder
    // What ships with the program: the help file and the sample definitions.
    std::string DataFolder;
    // Where the three working folders are.
    std::string WorkFolder;
    std::string HandDefinitionsFolder;
    std::string HandGeneratorsFolder;
    std::string HandsFolder;
    std::string DefaultFileCode{InitialFileCode};

    // A program that carries its help or working folders beside it (the
    // build folder, a copy on a USB stick) keeps them there, as long as it
    // may write there. An installed one (its help under ../share/zelvano),
    // or one in a folder it may not write, keeps them in the user's data
    // folder: $XDG_DATA_HOME/Zelvano, by default ~/.local/share/Zelvano.
    static Settings ForProgram(const std::string& programFolder, const Environment& env = Environment::Current());
    // Everything beside `folder`, as the build folder has it.
    static Settings ForProgramFolder(const std::string& folder);

    std::string HelpFile() const;
    std::string SampleDefinitionsFolder() const;
    // The user's own data folder rather than the program's.
    bool InUserFolder() const { return WorkFolder != ProgramFolder; }
};

// Creates the working folders that are missing. The first time a user's
// folder is used, the sample definitions are copied into its "Hand
// Definitions", never over a file of the same name. False, with the
// reason naming the folder, when one cannot be created.
bool PrepareWorkFolders(const Settings& settings, std::string* error);

// The process-wide settings, first worked out from the executable's folder.
Settings& SharedSettings();

} // namespace zelv
