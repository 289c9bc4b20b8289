// Where the program keeps its files: beside it when it may, else in the
// user's data folder, with the samples copied there once.
#include "core/settings/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace zelv;
namespace fs = std::filesystem;

namespace {
Environment Env(const std::string& home, const std::string& xdg, bool writable) {
    Environment env;
    env.Home = home;
    env.XdgDataHome = xdg;
    env.Writable = [writable](const std::string&) { return writable; };
    return env;
}
} // namespace

TEST(Folders, aProgramWithItsHelpBesideItKeepsItsFoldersThereWhenItMayWrite) {
    test::TempDir dir;
    const std::string prog = dir.file("prog");
    fs::create_directories(prog + "/help");
    test::WriteText(prog + "/help/zelv.html", "<html/>");
    Settings s = Settings::ForProgram(prog + "/", Env(dir.file("home"), "", true));
    EXPECT_EQ(s.ProgramFolder, prog);
    EXPECT_EQ(s.HandDefinitionsFolder, prog + "/Hand Definitions");
    EXPECT_EQ(s.HandsFolder, prog + "/Hands");
    EXPECT_EQ(s.HelpFile(), prog + "/help/zelv.html");
    EXPECT_FALSE(s.InUserFolder());

    // A read-only copy keeps its help but works in the user's folder.
    s = Settings::ForProgram(prog, Env(dir.file("home"), "", false));
    EXPECT_EQ(s.HelpFile(), prog + "/help/zelv.html");
    EXPECT_EQ(s.HandGeneratorsFolder, dir.file("home") + "/.local/share/Zelvano/Hand Generators");
    EXPECT_TRUE(s.InUserFolder());
}

TEST(Folders, anInstalledProgramWorksInTheUsersDataFolder) {
    test::TempDir dir;
    const std::string prefix = dir.file("usr");
    fs::create_directories(prefix + "/bin");
    fs::create_directories(prefix + "/share/zelvano/help");
    // Writable or not (root may write anywhere), an installed program never
    // fills its own folders.
    for (bool writable : {true, false}) {
        Settings s = Settings::ForProgram(prefix + "/bin", Env(dir.file("home"), "", writable));
        EXPECT_EQ(s.DataFolder, prefix + "/share/zelvano");
        EXPECT_EQ(s.HelpFile(), prefix + "/share/zelvano/help/zelv.html");
        EXPECT_EQ(s.HandsFolder, dir.file("home") + "/.local/share/Zelvano/Hands");
    }
    // XDG_DATA_HOME, when set to an absolute folder, is the base instead.
    Settings s = Settings::ForProgram(prefix + "/bin", Env(dir.file("home"), dir.file("xdg") + "/", true));
    EXPECT_EQ(s.HandsFolder, dir.file("xdg") + "/Zelvano/Hands");
    s = Settings::ForProgram(prefix + "/bin", Env(dir.file("home"), "relative/data", true));
    EXPECT_EQ(s.HandsFolder, dir.file("home") + "/.local/share/Zelvano/Hands");
}

TEST(Folders, theUsersFolderIsMadeAndGetsTheSamplesOnceNeverOverAFileOfTheirs) {
    test::TempDir dir;
    const std::string prefix = dir.file("usr");
    fs::create_directories(prefix + "/bin");
    fs::create_directories(prefix + "/share/zelvano/Hand Definitions");
    test::WriteText(prefix + "/share/zelvano/Hand Definitions/1NT 15-17.HDS", "sample 1NT");
    test::WriteText(prefix + "/share/zelvano/Hand Definitions/Weak 2S.HDS", "sample weak 2S");
    const Settings s = Settings::ForProgram(prefix + "/bin", Env(dir.file("home"), "", true));
    fs::create_directories(s.HandDefinitionsFolder);
    test::WriteText(s.HandDefinitionsFolder + "/1NT 15-17.HDS", "my own 1NT");

    std::string error;
    ASSERT_TRUE(PrepareWorkFolders(s, &error)) << error;
    for (const std::string& f : {s.HandDefinitionsFolder, s.HandGeneratorsFolder, s.HandsFolder})
        EXPECT_TRUE(fs::is_directory(f)) << f;
    EXPECT_EQ(test::ReadText(s.HandDefinitionsFolder + "/1NT 15-17.HDS"), "my own 1NT");
    EXPECT_EQ(test::ReadText(s.HandDefinitionsFolder + "/Weak 2S.HDS"), "sample weak 2S");

    // A sample the user deleted stays deleted.
    fs::remove(s.HandDefinitionsFolder + "/Weak 2S.HDS");
    ASSERT_TRUE(PrepareWorkFolders(s, &error));
    EXPECT_FALSE(fs::exists(s.HandDefinitionsFolder + "/Weak 2S.HDS"));

    // A folder that cannot be made is named.
    test::WriteText(dir.file("blocked"), "a file where the folder would go");
    Settings blocked = Settings::ForProgram(prefix + "/bin", Env(dir.file("home"), dir.file("blocked"), true));
    EXPECT_FALSE(PrepareWorkFolders(blocked, &error));
    EXPECT_NE(error.find(dir.file("blocked")), std::string::npos) << error;
}
