#include "core/settings/Settings.h"

#include "core/files/FileUtil.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace zelv {

namespace fs = std::filesystem;

namespace {
constexpr const char* HelpPath = "help/zelv.html";
constexpr const char* UserFolderName = "Zelvano";
// Left in the user's folder once the samples were copied, so that a sample
// the user deleted is not brought back at the next start.
constexpr const char* SamplesCopiedMark = ".samples-copied";

std::string Clean(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

void SetWorkFolder(Settings& s, const std::string& folder) {
    s.WorkFolder = folder;
    s.HandDefinitionsFolder = JoinPath(folder, "Hand Definitions");
    s.HandGeneratorsFolder = JoinPath(folder, "Hand Generators");
    s.HandsFolder = JoinPath(folder, "Hands");
}
} // namespace

Environment Environment::Current() {
    Environment env;
    if (const char* xdg = std::getenv("XDG_DATA_HOME")) env.XdgDataHome = xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        env.Home = home;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        env.Home = pw->pw_dir;
    env.Writable = [](const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; };
    return env;
}

Settings Settings::ForProgramFolder(const std::string& folder) {
    Settings s;
    s.ProgramFolder = s.DataFolder = Clean(folder);
    SetWorkFolder(s, s.ProgramFolder);
    return s;
}

Settings Settings::ForProgram(const std::string& programFolder, const Environment& env) {
    Settings s = ForProgramFolder(programFolder);
    std::error_code ec;
    const bool portable =
        fs::exists(JoinPath(s.ProgramFolder, HelpPath), ec) || fs::is_directory(s.HandDefinitionsFolder, ec);
    if (!portable) {
        const fs::path installed = fs::path(s.ProgramFolder).parent_path() / "share" / "zelvano";
        if (fs::is_directory(installed, ec)) s.DataFolder = installed.lexically_normal().string();
    }
    if (portable && env.Writable && env.Writable(s.ProgramFolder)) return s;
    // The data folder of the XDG base directories; a relative one is to be ignored.
    const std::string base = !env.XdgDataHome.empty() && env.XdgDataHome.front() == '/'
                                 ? Clean(env.XdgDataHome)
                                 : JoinPath(JoinPath(env.Home, ".local"), "share");
    SetWorkFolder(s, JoinPath(base, UserFolderName));
    return s;
}

std::string Settings::HelpFile() const { return JoinPath(DataFolder, HelpPath); }
std::string Settings::SampleDefinitionsFolder() const { return JoinPath(DataFolder, "Hand Definitions"); }

bool PrepareWorkFolders(const Settings& s, std::string* error) {
    for (const std::string& folder : {s.HandDefinitionsFolder, s.HandGeneratorsFolder, s.HandsFolder}) {
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec || !fs::is_directory(folder, ec)) {
            if (error) *error = "Unable to create the folder " + folder + (ec ? " (" + ec.message() + ")" : "");
            return false;
        }
    }
    if (!s.InUserFolder()) return true;
    const std::string mark = JoinPath(s.WorkFolder, SamplesCopiedMark);
    if (FileExists(mark)) return true;
    for (const std::string& name : ListFilesWithExtension(s.SampleDefinitionsFolder(), ExtDefinition)) {
        const fs::path to = fs::path(s.HandDefinitionsFolder) / name;
        std::error_code ec;
        if (!fs::exists(to, ec)) fs::copy_file(fs::path(s.SampleDefinitionsFolder()) / name, to, ec);
    }
    std::string ignored;
    AtomicWriteFile(mark, "", &ignored);
    return true;
}

Settings& SharedSettings() {
    static Settings settings = Settings::ForProgram(ExecutableFolder());
    return settings;
}

} // namespace zelv
