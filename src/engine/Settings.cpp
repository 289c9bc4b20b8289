#include "engine/Settings.h"

#include "engine/FileUtil.h"

namespace zelv {

tSettings tSettings::ForProgramFolder(const std::string& programFolder) {
    tSettings s;
    s.ProgramFolder = programFolder;
    while (s.ProgramFolder.size() > 1 && s.ProgramFolder.back() == '/') s.ProgramFolder.pop_back();
    s.HandDefinitionsFolder = JoinPath(s.ProgramFolder, "Hand Definitions");
    s.HandGeneratorsFolder = JoinPath(s.ProgramFolder, "Hand Generators");
    s.HandsFolder = JoinPath(s.ProgramFolder, "Hands");
    return s;
}

tSettings& SharedSettings() {
    static tSettings settings = tSettings::ForProgramFolder(ExecutableFolder());
    return settings;
}

} // namespace zelv
