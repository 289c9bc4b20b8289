// zelvano-deal script: runs a dealer script.
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "core/conditions/ScriptRun.h"
#include "core/files/FileUtil.h"
#include "core/settings/Settings.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace zelv::cli {

namespace {

int Refuse(int status, const std::string& message) {
    if (status == ExitUsage) return UsageError(message);
    Say(std::cerr, message);
    return status;
}

// A whole number within `largest`, or none.
std::optional<std::uint64_t> Count(const std::string& text, std::uint64_t largest) {
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const unsigned long long v = std::stoull(text);
    if (v > largest) return std::nullopt;
    return v;
}

bool ReadScript(const std::string& path, std::string& text, std::string* error) {
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return true;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read the script " + path;
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

struct ScriptArgs {
    std::string File, Boards, Seed, Threads, MaxAttempts, Output, Code;
    bool Secure = false, Pbn = true, Dup = false, Dlm = false, Dd = false, Quiet = false;
};

void AddOptions(CLI::App& app, ScriptArgs& a) {
    app.add_option("FILE", a.File, "The dealer script, or - for standard input")->required()->type_name("FILE");
    app.add_option("--boards", a.Boards, "Deals to keep, instead of the script's produce")->type_name("N");
    auto* seed =
        app.add_option("--seed", a.Seed, "Seed the generator: the same seed deals the same boards")->type_name("S");
    app.add_flag("--secure", a.Secure, "Draw from the cryptographically secure generator")->excludes(seed);
    app.add_option("--threads", a.Threads, "Deal on this many threads (default: one per core)")->type_name("N");
    app.add_option("--max-attempts", a.MaxAttempts, "Deal at most this many times, instead of the script's generate")
        ->type_name("N");
    app.add_option("--output", a.Output, "Also write the deals kept as a board set in this folder")->type_name("DIR");
    app.add_option("--code", a.Code, "File code of the board set (CODE.DGE, CODE.BRI, CODE.PBN, ...)")
        ->type_name("CODE");
    app.add_flag_callback(
        "--pbn", [&a] { a.Pbn = true; }, "With the set, also write CODE.PBN (the default)");
    app.add_flag_callback(
        "--no-pbn", [&a] { a.Pbn = false; }, "Do not write CODE.PBN");
    app.add_flag("--dup", a.Dup, "With the set, also write CODE.DUP");
    app.add_flag("--dlm", a.Dlm, "With the set, also write CODE.DLM");
    app.add_flag("--dd", a.Dd, "Give each game of CODE.PBN its double-dummy analysis");
    app.add_flag("--quiet", a.Quiet, "Leave out the closing statistics (Generated, Produced, ...)");
}

// The run's options from the arguments; a usage fault in `error`.
std::optional<ScriptRunOptions> Options(const ScriptArgs& a, std::string& error) {
    ScriptRunOptions o;
    o.Name = a.File;
    struct Numeric {
        const std::string& text;
        const char* name;
        std::uint64_t largest;
        std::optional<std::uint64_t>* into;
    };
    std::optional<std::uint64_t> threads;
    const Numeric numbers[] = {{a.Boards, "--boards", 100000000ull, &o.Boards},
                               {a.Seed, "--seed", 0xFFFFFFFFFFFFFFFFull, &o.Seed},
                               {a.Threads, "--threads", 1024, &threads},
                               {a.MaxAttempts, "--max-attempts", 0xFFFFFFFFFFFFull, &o.MaxAttempts}};
    for (const Numeric& n : numbers) {
        if (n.text.empty()) continue;
        *n.into = Count(n.text, n.largest);
        if (!*n.into || (n.into == &threads && **n.into == 0)) {
            error = std::string(n.name) + ": '" + n.text + "' is not a whole number from " +
                    (n.into == &threads ? "1" : "0") + " to " + std::to_string(n.largest);
            return std::nullopt;
        }
    }
    o.Threads = threads ? static_cast<int>(*threads) : 0;
    o.Secure = a.Secure;
    o.Quiet = a.Quiet;
    if (!a.Output.empty() || !a.Code.empty()) {
        const Settings& settings = SharedSettings();
        BoardSetWriter::Choice files;
        files.Folder = a.Output.empty() ? settings.HandsFolder : a.Output;
        files.Code = a.Code.empty() ? std::string(InitialFileCode) : a.Code;
        files.Pbn = a.Pbn;
        files.Dup = a.Dup;
        files.Dlm = a.Dlm;
        files.DoubleDummy = a.Dd;
        o.Files = files;
    }
    return o;
}

int Finish(const ScriptRunResult& r) {
    switch (r.Status) {
    case ScriptRunStatus::BadScript:
    case ScriptRunStatus::Failed:
        return Refuse(ExitBadInput, r.Message);
    case ScriptRunStatus::NeverMet:
        return Refuse(ExitAttemptLimit, r.Message);
    case ScriptRunStatus::Interrupted:
        return Refuse(ExitInterrupted, r.Message);
    case ScriptRunStatus::Done:
        break;
    }
    if (!r.Message.empty()) Say(std::cerr, r.Message);
    if (!r.BoardPath.empty()) Say(std::cerr, CountOf(r.Produced, "board", "boards") + " written: " + r.BoardPath);
    return ExitDone;
}

} // namespace

int ScriptCommand(int argc, char** argv) {
    CLI::App app{"Runs a dealer script (the input language of Debian's dealer): deals until the condition has held\n"
                 "produce times, prints the actions as dealer does, and with --output or --code writes the deals\n"
                 "kept as a board set. Exit status: 0 done, 1 bad script or input, 2 usage, 3 the condition was\n"
                 "never met, 130 interrupted.",
                 "zelvano-deal script"};
    ScriptArgs args;
    AddOptions(app, args);
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    std::string error;
    const std::optional<ScriptRunOptions> options = Options(args, error);
    if (!options) return Refuse(ExitUsage, error);
    if (options->Files && (args.Output.empty() || args.Code.empty())) {
        const Settings& settings = SharedSettings();
        if (args.Output.empty() && !PrepareWorkFolders(settings, &error)) return Refuse(ExitBadInput, error);
    }
    std::string text;
    if (!ReadScript(args.File, text, &error)) return Refuse(ExitBadInput, error);
    CatchStopSignals();
    const ScriptRunResult result = RunScriptText(text, *options, std::cout, &Interrupted);
    std::cout.flush();
    return Finish(result);
}

} // namespace zelv::cli
