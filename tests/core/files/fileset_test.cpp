// A set of files put in place by a run that dies at any moment: the next
// run that reads there finds the old set or the new one, whole, and nothing
// else left behind.
#include "core/files/FileSet.h"
#include "core/files/FileUtil.h"
#include "core/formats/BoardSource.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

using namespace zelv;

namespace {

// The n-th rename of the child's run fails (FailAt) or ends the run, just
// before it is made or just after (KillAt, KillAfter), as a crash would.
int Renames = 0, FailAt = 0, KillAt = 0;
bool KillAfter = false;

int CrashingRename(const char* from, const char* to) {
    ++Renames;
    if (Renames == FailAt) {
        errno = EIO;
        return -1;
    }
    if (Renames == KillAt && !KillAfter) ::_exit(9);
    const int result = std::rename(from, to);
    if (Renames == KillAt) ::_exit(9);
    return result;
}

using Contents = std::map<std::string, std::string>; // name within the test folder: bytes

// Two folders: "a" holds a board file and a machine file that are replaced
// and a PBN file that goes; "b" a file that is new.
const Contents OldSet = {{"a/S.DGE", "old board file"}, {"a/S.BRI", "old machine file"}, {"a/S.PBN", "old pbn"}};
const Contents NewSet = {{"a/S.DGE", "new board file"}, {"a/S.BRI", "new machine file"}, {"b/S.DUP", "new dup"}};

Contents FilesIn(const test::TempDir& dir) {
    Contents found;
    for (const char* folder : {"a", "b"})
        for (const auto& e : std::filesystem::directory_iterator(dir.file(folder))) {
            const std::string name = std::string(folder) + "/" + e.path().filename().string();
            found[name] = test::ReadText(e.path().string());
        }
    return found;
}

// Runs the new set's commit in a child process; its exit status (9 when the
// rename killed it).
int CommitInChild(const test::TempDir& dir) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        SetRenameFunction(&CrashingRename);
        FileSet set;
        for (const auto& [name, bytes] : NewSet) {
            const int fd = set.Create(dir.file(name), nullptr);
            if (fd < 0 || WriteFully(fd, bytes) != 0) ::_exit(2);
        }
        if (!set.RemoveOnCommit(dir.file("a/S.PBN"), nullptr)) ::_exit(2);
        ::_exit(set.Commit(nullptr) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void StartFrom(const test::TempDir& dir) {
    for (const char* folder : {"a", "b"}) {
        std::filesystem::remove_all(dir.file(folder));
        std::filesystem::create_directories(dir.file(folder));
    }
    for (const auto& [name, bytes] : OldSet) test::WriteText(dir.file(name), bytes);
}

// The files of either set that are there.
Contents SetIn(const test::TempDir& dir) {
    Contents found;
    for (const Contents* set : {&OldSet, &NewSet})
        for (const auto& [name, bytes] : *set)
            if (std::filesystem::exists(dir.file(name))) found[name] = test::ReadText(dir.file(name));
    return found;
}

// Opening a file of the set for reading, in either folder, puts the set
// right first; a read in the other folder then finds nothing left to tidy.
void ReadFrom(const test::TempDir& dir, int round, Contents& set) {
    const char* const files[2] = {"a/S.DGE", "b/S.DUP"};
    BoardSource source;
    source.Open(dir.file(files[round % 2]), nullptr);
    set = SetIn(dir);
    source.Open(dir.file(files[(round + 1) % 2]), nullptr);
}

// The file in the second folder may not be replaced (as an immutable file).
int RefusingTheNewFile(const char* from, const char* to) {
    const std::string target = to;
    if (target.size() >= 7 && target.compare(target.size() - 7, 7, "b/S.DUP") == 0) {
        errno = EPERM;
        return -1;
    }
    return std::rename(from, to);
}

} // namespace

TEST(FileSet, aRunKilledAtAnyRenameLeavesTheWholeOldOrNewSetToTheNextReader) {
    test::TempDir dir;
    bool finished = false;
    for (KillAt = 1; KillAt < 40 && !finished; ++KillAt)
        for (bool after : {false, true}) {
            StartFrom(dir);
            KillAfter = after;
            const int status = CommitInChild(dir);
            ASSERT_TRUE(status == 9 || status == 0) << status;
            finished = finished || status == 0;
            Contents set;
            ReadFrom(dir, KillAt, set);
            EXPECT_TRUE(set == OldSet || set == NewSet)
                << "killed at rename " << KillAt << (after ? " (made)" : " (not made)") << ": "
                << ::testing::PrintToString(set);
            const Contents now = FilesIn(dir);
            EXPECT_EQ(now, set) << "left behind, killed at rename " << KillAt;
            if (status == 0) {
                EXPECT_EQ(now, NewSet);
            }
        }
    EXPECT_TRUE(finished) << "the run never finished";
}

// A rename that fails makes the run undo the set; killed once its journal
// says so (the first of its two copies rewritten), the next reader finishes
// the undoing, never the set.
TEST(FileSet, aRunKilledWhileUndoingAFailedSetLeavesTheOldSet) {
    test::TempDir dir;
    for (FailAt = 3; FailAt <= 8; ++FailAt) {
        bool undone = false;
        for (KillAt = FailAt + 1; KillAt < FailAt + 12 && !undone; ++KillAt) {
            StartFrom(dir);
            KillAfter = false;
            const int status = CommitInChild(dir);
            ASSERT_TRUE(status == 9 || status == 1) << status;
            undone = status == 1;
            Contents set;
            ReadFrom(dir, KillAt, set);
            const std::string when =
                "rename " + std::to_string(FailAt) + " failed, killed at " + std::to_string(KillAt);
            if (KillAt >= FailAt + 2)
                EXPECT_EQ(set, OldSet) << when;
            else
                EXPECT_TRUE(set == OldSet || set == NewSet) << when;
            EXPECT_EQ(FilesIn(dir), set) << when;
        }
        EXPECT_TRUE(undone) << FailAt;
    }
    FailAt = 0;
}

// A killed run's set that the next reader cannot finish is put back whole.
TEST(FileSet, aKilledRunsSetThatCannotBeFinishedIsPutBack) {
    test::TempDir dir;
    KillAfter = false;
    for (KillAt = 3; KillAt <= 8; ++KillAt) { // after the journal's two copies, before the last file
        StartFrom(dir);
        ASSERT_EQ(CommitInChild(dir), 9);
        const RenameFunction old = SetRenameFunction(&RefusingTheNewFile);
        Contents set;
        ReadFrom(dir, KillAt, set);
        SetRenameFunction(old);
        EXPECT_EQ(set, OldSet) << "killed at rename " << KillAt;
        EXPECT_EQ(FilesIn(dir), OldSet) << "killed at rename " << KillAt;
    }
}
