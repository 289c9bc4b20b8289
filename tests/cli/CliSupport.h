#pragma once
// Running zelvano-deal as a child process and the files it works on.
#include "core/definitions/DefinitionKeys.h"
#include "core/definitions/DefinitionText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zelv::clitest {

namespace fs = std::filesystem;

struct RunResult {
    int Status = -1; // exit status, or -1 when the program did not exit normally
    std::string Out, Err;
};

inline std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A fresh folder per test with "defs" and "out" inside.
class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = fs::temp_directory_path() /
               ("zelv-cli-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
        fs::remove_all(root);
        fs::create_directories(root / "defs");
        fs::create_directories(root / "out");
        defs = (root / "defs").string();
        out = (root / "out").string();
    }
    void TearDown() override { fs::remove_all(root); }

    // Where the program's standard output goes; empty: a file the result holds.
    std::string stdoutTo;

    RunResult Run(const std::vector<std::string>& args, const std::string& exe = ZELV_DEAL_EXE) const {
        return Wait(Start(args, exe));
    }

    // Starts the program without waiting for it; Wait collects it. Runs at
    // the same time name their own `streams` files.
    pid_t Start(const std::vector<std::string>& args, const std::string& exe = ZELV_DEAL_EXE,
                const std::string& streams = "std") const {
        const std::string outPath = stdoutTo.empty() ? (root / (streams + "out.txt")).string() : stdoutTo;
        const std::string errPath = (root / (streams + "err.txt")).string();
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&fa, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> all{exe};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (posix_spawn(&pid, exe.c_str(), &fa, nullptr, argv.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&fa);
        return pid;
    }

    RunResult Wait(pid_t pid, const std::string& streams = "std") const {
        RunResult r;
        if (pid > 0) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            if (WIFEXITED(status)) r.Status = WEXITSTATUS(status);
        }
        if (stdoutTo.empty()) r.Out = ReadBytes(root / (streams + "out.txt"));
        r.Err = ReadBytes(root / (streams + "err.txt"));
        return r;
    }

    // Names in `folder` other than the given ones: temporary files left behind.
    static std::vector<std::string> Leftovers(const fs::path& folder, const std::vector<std::string>& expected) {
        std::vector<std::string> extra;
        for (const auto& e : fs::directory_iterator(folder)) {
            const std::string name = e.path().filename().string();
            if (std::find(expected.begin(), expected.end(), name) == expected.end()) extra.push_back(name);
        }
        return extra;
    }

    // A definition file in "defs", starting from the editor's defaults.
    void WriteDefinition(const std::string& name, const std::function<void(DefinitionText&)>& change) const {
        DefinitionText d = DefinitionText::Defaults();
        change(d);
        std::string error;
        ASSERT_TRUE(WriteDefinitionFile((root / "defs" / (name + ".HDS")).string(), d, &error)) << error;
    }
    void WriteStrongAndWeak() const {
        WriteDefinition("STRONG", [](DefinitionText& d) { d.Limit(LimMinPoints) = "20"; });
        WriteDefinition("WEAK", [](DefinitionText& d) { d.Limit(LimMaxPoints) = "5"; });
    }

    fs::path root;
    std::string defs, out;
};

} // namespace zelv::clitest
