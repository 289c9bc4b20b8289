// What a run leaves when it is killed, interrupted, raced by another run or
// runs out of room: the set it writes is the old one or the new one, whole,
// and a failure is never reported as a success.
#include "CliSupport.h"

#include "core/formats/DgeFile.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>

namespace zelv::clitest {
namespace {

const std::vector<std::string> SetNames = {"ZELV.DGE", "ZELV.BRI", "ZELV.PBN", "ZELV.DUP"};

bool SameSet(const fs::path& a, const fs::path& b) {
    for (const std::string& name : SetNames)
        if (!fs::exists(a / name) || ReadBytes(a / name) != ReadBytes(b / name)) return false;
    return true;
}

// strace that can stop or slow the program at a chosen system call: the
// program is installed and this machine lets it trace.
const std::string Strace = "/usr/bin/strace";
bool StraceInjects() {
    static const bool works =
        fs::exists(Strace) &&
        std::system((Strace + " -f -o /dev/null -e inject=rename:error=EPERM:when=99 true >/dev/null 2>&1").c_str()) ==
            0;
    return works;
}

// The arguments that run zelvano-deal under strace with `inject` (the leak
// checker of a sanitizer build cannot run under a tracer).
std::vector<std::string> Traced(const std::string& inject, std::vector<std::string> args) {
    args.insert(args.begin(), {"-f", "-o", "/dev/null", "-E", "ASAN_OPTIONS=detect_leaks=0", "-e", "inject=" + inject,
                               ZELV_DEAL_EXE});
    return args;
}

// Runs the program with a file-size limit of `blocks` 512-byte blocks.
std::vector<std::string> Limited(int blocks, std::vector<std::string> args) {
    args.insert(args.begin(), {"-c", "ulimit -f " + std::to_string(blocks) + "; exec \"$0\" \"$@\"", ZELV_DEAL_EXE});
    return args;
}

// Waits until a file whose name holds `part` is in `folder`.
bool WaitForFile(const fs::path& folder, const std::string& part) {
    for (int i = 0; i < 2000; ++i) {
        for (const auto& e : fs::directory_iterator(folder))
            if (e.path().filename().string().find(part) != std::string::npos) return true;
        ::usleep(10000);
    }
    return false;
}

using SetsCli = CliTest;

// Killed at each rename of putting the set in place, the run leaves the old
// set or the new one to the next run that reads it (show, convert) or
// writes there (a run of no boards), and nothing else.
TEST_F(SetsCli, aRunKilledAtAnyRenameLeavesTheWholeOldOrNewSet) {
    if (!StraceInjects()) GTEST_SKIP() << "strace cannot stop a program here (not installed, or tracing not allowed)";
    const fs::path oldSet = root / "old", newSet = root / "new", work = root / "work";
    fs::create_directories(oldSet);
    fs::create_directories(newSet);
    ASSERT_EQ(Run({"--output", oldSet.string(), "--boards", "4", "--seed", "1", "--quiet", "--dup"}).Status, 0);
    ASSERT_EQ(Run({"--output", newSet.string(), "--boards", "5", "--seed", "2", "--quiet", "--dup"}).Status, 0);
    bool finished = false;
    for (int n = 1; n < 40 && !finished; ++n) {
        fs::remove_all(work);
        fs::copy(oldSet, work);
        const RunResult killed =
            Run(Traced("rename:signal=SIGKILL:when=" + std::to_string(n),
                       {"--output", work.string(), "--boards", "5", "--seed", "2", "--quiet", "--dup"}),
                Strace);
        finished = killed.Status == 0;
        if (n % 3 == 0) Run({"show", (work / "ZELV.DGE").string()});
        if (n % 3 == 1) Run({"convert", (work / "ZELV.PBN").string(), (root / "copy.DGE").string()});
        if (n % 3 == 2) Run({"--output", work.string(), "--boards", "0", "--quiet"});
        EXPECT_TRUE(SameSet(work, oldSet) || SameSet(work, newSet)) << "killed at rename " << n;
        if (finished) {
            EXPECT_TRUE(SameSet(work, newSet));
        }
        std::vector<std::string> allowed = SetNames;
        allowed.push_back(".ZELV.lock"); // the killed run's, free for the next
        EXPECT_EQ(Leftovers(work, allowed), std::vector<std::string>{}) << "killed at rename " << n;
    }
    EXPECT_TRUE(finished);
}

// Two runs of one code started together: the second is refused at once,
// by name and process, and the set is one run's whole.
TEST_F(SetsCli, twoRunsOfOneCodeStartedTogetherNeverMixTheirSets) {
    if (!StraceInjects()) GTEST_SKIP() << "strace cannot slow a program here (not installed, or tracing not allowed)";
    const fs::path first = root / "first", second = root / "second";
    const std::vector<std::string> a = {"--boards", "200", "--seed", "1", "--quiet", "--dup"};
    const std::vector<std::string> b = {"--boards", "200", "--seed", "2", "--quiet", "--dup"};
    auto into = [](const fs::path& folder, std::vector<std::string> args) {
        args.insert(args.end(), {"--output", folder.string()});
        return args;
    };
    fs::create_directories(first);
    fs::create_directories(second);
    ASSERT_EQ(Run(into(first, a)).Status, 0);
    ASSERT_EQ(Run(into(second, b)).Status, 0);
    for (int round = 0; round < 8; ++round) {
        fs::remove_all(out);
        fs::create_directories(out);
        // The first puts its files in place slowly; the second starts at
        // some moment of that, or of the dealing before it.
        const pid_t slow = Start(Traced("rename:delay_enter=60000", into(out, a)), Strace, "slow");
        ::usleep(static_cast<useconds_t>(60000 * round));
        const pid_t fast = Start(into(out, b), ZELV_DEAL_EXE, "fast");
        const RunResult one = Wait(slow, "slow"), two = Wait(fast, "fast");
        EXPECT_TRUE(SameSet(out, first) || SameSet(out, second)) << "round " << round;
        EXPECT_TRUE(one.Status == 0 || two.Status == 0) << one.Err << two.Err;
        for (const RunResult* r : {&one, &two})
            if (r->Status != 0) {
                EXPECT_EQ(r->Status, 1);
                EXPECT_NE(r->Err.find("ZELV is being written by another run (pid "), std::string::npos) << r->Err;
            }
    }
}

// A killed run's temporary files go with the next run in the folder; those
// of a run still dealing there stay, and so does what is not ours.
TEST_F(SetsCli, aKilledRunsTemporaryFilesGoWithTheNextRunAndALiveRunsStay) {
    WriteStrongAndWeak();
    WriteBytes(fs::path(out) / "notes.txt.tmp-AbC123", "another program's");
    auto endless = [&](const std::string& code) {
        return Start({"--north", "STRONG", "--definitions", defs, "--output", out, "--code", code, "--boards",
                      "100000000", "--quiet", "--no-seed-first"},
                     ZELV_DEAL_EXE, code);
    };
    const pid_t killed = endless("GONE");
    ASSERT_TRUE(WaitForFile(out, "GONE.DGE.tmp-"));
    ::kill(killed, SIGKILL);
    Wait(killed, "GONE");
    ASSERT_TRUE(WaitForFile(out, "GONE.DGE.tmp-")); // what the kill left
    const pid_t live = endless("LIVE");
    ASSERT_TRUE(WaitForFile(out, "LIVE.DGE.tmp-"));
    const RunResult next = Run({"--output", out, "--code", "NEXT", "--boards", "2", "--seed", "3", "--quiet"});
    std::vector<std::string> left =
        Leftovers(out, {"NEXT.DGE", "NEXT.BRI", "NEXT.PBN", "notes.txt.tmp-AbC123", ".GONE.lock", ".LIVE.lock"});
    ::kill(live, SIGTERM);
    const RunResult stopped = Wait(live, "LIVE");
    EXPECT_EQ(next.Status, 0) << next.Err;
    EXPECT_EQ(left.size(), 3u) << ::testing::PrintToString(left);
    for (const std::string& name : left) EXPECT_EQ(name.rfind("LIVE.", 0), 0u) << name;
    EXPECT_EQ(stopped.Status, 130);
    EXPECT_EQ(fs::file_size(fs::path(out) / "LIVE.DGE") % RecordSize, 0u);
}

// convert, print and analyse stop on a signal and fail past a file-size
// limit as deal does: the old files kept, nothing left, the reason said.
TEST_F(SetsCli, writingCommandsStoppedOrPastTheFileSizeLimitKeepTheOldFiles) {
    ASSERT_EQ(Run({"--output", out, "--boards", "3000", "--seed", "1", "--quiet", "--no-pbn"}).Status, 0);
    const std::string dge = (fs::path(out) / "ZELV.DGE").string();
    const fs::path pbn = root / "X.PBN", bri = root / "X.BRI", pdf = root / "X.pdf";
    for (const fs::path& p : {pbn, bri, pdf}) WriteBytes(p, "old " + p.filename().string());
    auto kept = [&](const std::string& how) {
        for (const fs::path& p : {pbn, bri, pdf}) EXPECT_EQ(ReadBytes(p), "old " + p.filename().string()) << how;
        EXPECT_EQ(Leftovers(root, {"X.PBN", "X.BRI", "X.pdf", "defs", "out", "stdout.txt", "stderr.txt"}),
                  std::vector<std::string>{})
            << how;
    };
    if (StraceInjects()) { // Ctrl-C as convert takes its first lock, before it writes
        const RunResult r =
            Run(Traced("flock:signal=SIGINT:when=1", {"convert", dge, pbn.string(), bri.string()}), Strace);
        EXPECT_EQ(r.Status, 130) << r.Err;
        kept("convert interrupted");
    }
    RunResult r = Run(Limited(40, {"convert", dge, pbn.string(), bri.string()}), "/bin/sh");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Unable to write to " + pbn.string() + " (File too large)"), std::string::npos) << r.Err;
    kept("convert past the limit");
#ifdef ZELV_WITH_PRINT
    r = Run(Limited(40, {"print", dge, "-o", pdf.string()}), "/bin/sh");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_NE(r.Err.find("Unable to write to " + pdf.string() + " (File too large)"), std::string::npos) << r.Err;
    kept("print past the limit");
    ASSERT_EQ(Run({"--output", out, "--boards", "50000", "--seed", "1", "--quiet", "--no-pbn"}).Status, 0);
    const pid_t printing = Start({"print", dge, "-o", pdf.string(), "--layout", "partnership", "--seats", "N,S"});
    EXPECT_TRUE(WaitForFile(root, "X-North.pdf.tmp-"));
    ::kill(printing, SIGTERM);
    r = Wait(printing);
    EXPECT_EQ(r.Status, 130) << r.Err;
    EXPECT_EQ(r.Out, "");
    kept("print stopped");
#endif
    ASSERT_EQ(Run({"--output", out, "--boards", "2", "--seed", "1", "--quiet", "--no-pbn"}).Status, 0);
    r = Run(Limited(1, {"analyse", dge, "-o", pbn.string()}), "/bin/sh");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("File too large"), std::string::npos) << r.Err;
    kept("analyse past the limit");
}

#ifdef ZELV_WITH_PRINT
// A PDF that cannot be written whole replaces no file, however many seats
// the print has, and the command fails with the reason.
TEST_F(SetsCli, aPrintThatCannotWriteEveryPdfWholeKeepsTheOldOnesAndFails) {
    ASSERT_EQ(Run({"--output", out, "--boards", "1000", "--seed", "2", "--quiet"}).Status, 0);
    const std::string dge = (fs::path(out) / "ZELV.DGE").string();
    // One seat's file that may not be replaced stops the others too.
    const fs::path seats = root / "seats";
    fs::create_directories(seats);
    WriteBytes(seats / "p-North.pdf", "old north");
    WriteBytes(seats / "p-West.pdf", "old west");
    fs::permissions(seats / "p-West.pdf", fs::perms::owner_read);
    RunResult r = Run({"print", dge, "-o", (seats / "p.pdf").string(), "--layout", "partnership", "--seats", "N,W"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_NE(r.Err.find("Unable to write to " + (seats / "p-West.pdf").string() + " (read-only)"), std::string::npos)
        << r.Err;
    EXPECT_EQ(ReadBytes(seats / "p-North.pdf"), "old north");
    EXPECT_EQ(Leftovers(seats, {"p-North.pdf", "p-West.pdf"}), std::vector<std::string>{});

    const fs::path disk = root / "disk";
    fs::create_directories(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
    struct Unmount {
        const fs::path& at;
        ~Unmount() { ::umount(at.c_str()); }
    } unmount{disk};
    WriteBytes(disk / "out.pdf", "old pdf");
    WriteBytes(disk / "p-East.pdf", "old east");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"print", dge, "-o", (disk / "out.pdf").string()},
             {"print", dge, "-o", (disk / "p.pdf").string(), "--layout", "partnership", "--seats", "N,E,S,W"}}) {
        r = Run(args);
        EXPECT_EQ(r.Status, 1) << args.back();
        EXPECT_EQ(r.Out, "");
        EXPECT_NE(r.Err.find("(No space left on device)"), std::string::npos) << r.Err;
        EXPECT_EQ(ReadBytes(disk / "out.pdf"), "old pdf");
        EXPECT_EQ(ReadBytes(disk / "p-East.pdf"), "old east");
        EXPECT_EQ(Leftovers(disk, {"out.pdf", "p-East.pdf"}), std::vector<std::string>{});
    }
}

// print -o naming a board file, or the very file printed, would turn boards
// into a PDF: refused as a usage error, the file untouched.
TEST_F(SetsCli, printToABoardFileOrToItsInputIsRefused) {
    ASSERT_EQ(Run({"--output", out, "--boards", "3", "--seed", "1", "--quiet", "--dup"}).Status, 0);
    const fs::path dge = fs::path(out) / "ZELV.DGE", pbn = fs::path(out) / "ZELV.PBN";
    const std::string board = ReadBytes(dge), games = ReadBytes(pbn);
    fs::create_symlink(dge, root / "link.pdf");
    fs::create_hard_link(dge, root / "hard.pdf");
    const std::vector<std::vector<std::string>> refused = {
        {"print", pbn.string(), "-o", pbn.string()},
        {"print", dge.string(), "-o", (fs::path(out) / "ZELV.dup").string()},
        {"print", dge.string(), "-o", (root / "new.Dlm").string()},
        {"print", dge.string(), "-o", (root / "p.BRI").string(), "--layout", "partnership"},
        {"print", dge.string(), "-o", (root / "link.pdf").string()},
        {"print", dge.string(), "-o", (root / "hard.pdf").string()},
        {"print", dge.string(), "-o", (root / "link").string(), "--layout", "partnership", "--seats", "S"}};
    fs::create_symlink(dge, root / "link-South.pdf");
    for (const auto& args : refused) {
        const RunResult r = Run(args);
        EXPECT_EQ(r.Status, 2) << args[3];
        EXPECT_NE(r.Err.find("--output: "), std::string::npos) << r.Err;
    }
    EXPECT_EQ(ReadBytes(dge), board);
    EXPECT_EQ(ReadBytes(pbn), games);
    EXPECT_FALSE(fs::exists(root / "new.Dlm"));
}
#endif

TEST_F(SetsCli, aMissingOutputFolderIsMadeWithItsParentsAndSaidOnce) {
    const fs::path folder = fs::path(out) / "club" / "2024" / "monday";
    const RunResult r = Run({"--output", folder.string(), "--boards", "2", "--seed", "1", "--quiet"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "Made folder " + folder.string() + "\n");
    EXPECT_EQ(fs::file_size(folder / "ZELV.DGE"), 2 * RecordSize);
    EXPECT_EQ(Run({"--output", folder.string(), "--boards", "2", "--seed", "1", "--quiet"}).Err, "");
}

} // namespace
} // namespace zelv::clitest
