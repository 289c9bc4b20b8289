// zelvano-deal: deals a set of boards from the command line, shows the
// boards of a board file, prints them into PDF, converts them to other
// board files, or says how rare a set-up's hands and boards are. Exit status: 0 done, 1 bad input, 2 usage, 3 the
// attempt limit was reached, 4 the classic generator's sequence ran out, 130 interrupted.
#include "cli/BoardText.h"
#include "cli/DealOptions.h"
#include "cli/Messages.h"
#include "cli/ScriptCommand.h"
#include "core/files/FileUtil.h"
#include "core/settings/Settings.h"
#include "core/settings/Version.h"
#include "core/formats/BoardSource.h"
#include "core/formats/Convert.h"
#include "core/dealing/DealRun.h"
#include "core/setup/GeneratorFile.h"
#include "core/odds/SetupOdds.h"
#include "print/PdfPrint.h"

#include <CLI/CLI.hpp>

#include <array>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace zelv;

constexpr int ExitDone = 0, ExitBadInput = 1, ExitUsage = 2, ExitAttemptLimit = 3, ExitSequenceSpent = 4,
              ExitInterrupted = 130;

std::atomic<bool> Interrupted{false};
extern "C" void OnInterrupt(int) { Interrupted.store(true); }

// Ctrl-C, SIGTERM and a closed terminal (SIGHUP) raise Interrupted, and the
// command ends as its own stop does: what it writes is put in place whole or
// not at all, its temporary files go, and it exits with 130. Past a
// file-size limit a write fails and is reported ("File too large") instead
// of SIGXFSZ killing the command and leaving its temporary files behind.
// A signal the caller had ignored (nohup, a background job of a script)
// stays ignored.
void CatchStopSignals() {
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction before {};
        if (::sigaction(sig, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) std::signal(sig, OnInterrupt);
    }
    std::signal(SIGXFSZ, SIG_IGN);
}

int BadInput(const std::string& message) {
    Say(std::cerr, message);
    return ExitBadInput;
}

int UsageError(const std::string& message) {
    Say(std::cerr, message);
    std::cerr << "Run with --help for more information.\n";
    return ExitUsage;
}

// An option given twice, or two that exclude each other, in plain words;
// anything else as CLI11 words it.
std::string PlainWords(const CLI::App& app, const CLI::ParseError& e) {
    const std::vector<const CLI::Option*> options = app.get_options();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e))
        for (const CLI::Option* opt : options)
            if (opt->get_items_expected_max() == 1 && opt->count() > 1) {
                const std::string name = opt->get_name();
                const bool seat = name == "--north" || name == "--east" || name == "--south" || name == "--west";
                return name + " is given " + std::to_string(opt->count()) + " times; give it once" +
                       (seat ? ", with the seat's definitions separated by commas (" + name + " A,B)" : "");
            }
    if (dynamic_cast<const CLI::ExcludesError*>(&e))
        for (const CLI::Option* opt : options)
            for (const CLI::Option* other : opt->get_excludes())
                if (opt->count() > 0 && other->count() > 0) {
                    const std::string both = opt->get_name() + " and " + other->get_name() + " cannot be used together";
                    if (opt->get_name() == "--secure" || other->get_name() == "--secure")
                        return both + ": --seed repeats the classic generator's sequence, and the secure source has "
                                      "none to repeat";
                    return both;
                }
    return e.what();
}

// CLI11 reports --help as an "error" of its own; only real errors are usage
// errors, said as every other message is.
int ParseFailed(const CLI::App& app, const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
        app.exit(e, std::cout, std::cerr);
        return ExitDone;
    }
    return UsageError(PlainWords(app, e));
}

// "--code=" with nothing after it would otherwise take the next argument
// as its value: "--code= --no-pbn" would name the files "--no-pbn".
std::string EmptyValueOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") break;
        if (a.size() > 3 && a.rfind("--", 0) == 0 && a.back() == '=') return a.substr(0, a.size() - 1);
    }
    return {};
}

int EmptyValue(const std::string& option) { return UsageError(option + ": an empty value is not allowed"); }

// Parses a command's arguments. Returns the exit status when the command ends
// here: --help, a usage error, or any option or argument given an empty value
// ("--code ''" is as empty as "--code=").
std::optional<int> ParseArguments(CLI::App& app, int argc, char** argv) {
    if (const std::string empty = EmptyValueOption(argc, argv); !empty.empty()) return EmptyValue(empty);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return ParseFailed(app, e);
    }
    for (const CLI::Option* opt : app.get_options()) {
        if (opt->get_type_size() == 0 || opt->count() == 0) continue;
        for (const std::string& value : opt->results())
            if (value.empty()) return EmptyValue(opt->get_name());
    }
    return std::nullopt;
}

// --generator and the four seats' options, which deal and odds share.
struct SetupOptions {
    std::array<std::string, 4> Seats; // by seat index
    std::array<CLI::Option*, 4> Given{};

    void Add(CLI::App& app, DealCommandLine& line) {
        app.add_option("--generator", line.Generator, "Take the four seats' set-up from this generator file (.GEN)")
            ->type_name("FILE");
        static const char* const names[4] = {"--north", "--south", "--east", "--west"};
        for (int seat : {North, East, South, West}) {
            const auto i = static_cast<std::size_t>(seat);
            Given[i] = app.add_option(names[seat], Seats[i],
                                      "Up to five comma-separated definition names for " + SeatNames[seat] +
                                          "; an empty item is an empty slot")
                           ->type_name("NAMES");
        }
    }
    // The seats given into `line`, which merging tells from seats left to a
    // generator file; true when any was given.
    bool Take(DealCommandLine& line) const {
        bool any = false;
        for (std::size_t i = 0; i < 4; ++i)
            if (*Given[i]) {
                line.Seats[i] = Seats[i];
                any = true;
            }
        return any;
    }
};

// "Analysed 32 of 100 boards" on standard error while the solver works, when
// that is a terminal; the line is ended once the last board is done.
AnalysisProgress AnalysisProgressLine() {
    if (!::isatty(STDERR_FILENO)) return {};
    return [](std::size_t done, std::size_t total) {
        std::fprintf(stderr, "\rAnalysed %zu of %s   %s", done, CountOf(total, "board", "boards").c_str(),
                     done == total ? "\n" : "");
        std::fflush(stderr);
        return !Interrupted.load();
    };
}

int Show(int argc, char** argv) {
    CLI::App app{"Prints the boards of a board file (.DGE, .BRI, .DUP, .DLM or .PBN) to standard output.",
                 "zelvano-deal show"};
    std::string path, format = "pbn";
    bool analysis = false;
    app.add_option("FILE", path, "The board file to read")->required()->type_name("FILE");
    app.add_option("--format", format, "pbn (the default) or text, for diagrams")
        ->check(CLI::IsMember({"pbn", "text"}));
    app.add_flag("--dd", analysis,
                 "With each board its double-dummy analysis: the tricks each declarer makes in each strain and "
                 "the par result (PBN tags, or lines under the diagram)");
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    // Standard output past a file-size limit is a write that fails and is said.
    std::signal(SIGXFSZ, SIG_IGN);
    return ShowBoardFile(path, format == "text" ? ShowFormat::Text : ShowFormat::Pbn, std::cout, std::cerr, analysis,
                         analysis ? AnalysisProgressLine() : AnalysisProgress{});
}

int Analyse(int argc, char** argv) {
    CLI::App app{"Writes a PBN file of the boards of a board file (.DGE, .BRI, .DUP, .DLM or .PBN), each with\n"
                 "its double-dummy analysis: the tricks each declarer makes in each strain, and the par result.",
                 "zelvano-deal analyse"};
    std::string path, output;
    app.add_option("FILE", path, "The board file to read")->required()->type_name("FILE");
    app.add_option("-o,--output", output, "The PBN file to write")->required()->type_name("OUT.PBN");
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    if (FormatOfPath(output) != BoardFormat::Pbn)
        return UsageError("--output: the analysis is written as PBN; name a .PBN file, not " + output);
    CatchStopSignals();
    const AnalysisProgress line = AnalysisProgressLine();
    const int status = WriteAnalysedPbn(
        path, output, std::cout, std::cerr,
        [&line](std::size_t done, std::size_t total) { return line ? line(done, total) : !Interrupted.load(); },
        &Interrupted);
    return Interrupted.load() ? ExitInterrupted : status;
}

#ifdef ZELV_WITH_PRINT
bool SameFile(const std::string& a, const std::string& b) {
    struct stat x {};
    struct stat y {};
    return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

// Why the PDF files of a print may not be written where -o puts them: a
// board file's name, or the file being printed (through any link).
std::string PdfOutputRefusal(const std::string& input, const PdfPrintJob& job) {
    std::vector<std::string> documents{job.Output};
    if (job.Request.Option == PrintOption::Partnership)
        for (int seat = 0; seat < 4; ++seat)
            if (job.Request.Seats[static_cast<std::size_t>(seat)]) documents.push_back(PdfNameFor(job.Output, seat));
    for (const std::string& document : documents) {
        if (const auto format = FormatOfPath(document))
            return "--output: " + document + " would be a PDF in a board file's name (" +
                   std::string(ExtensionOf(*format)) + "); name a .pdf file";
        if (SameFile(document, input)) return "--output: " + document + " is the file being printed";
    }
    return {};
}
#endif

int Print(int argc, char** argv) {
    CLI::App app{"Prints the boards of a board file (.DGE, .BRI, .DUP, .DLM or .PBN) into PDF, as the print\n"
                 "dialog does: whole deals sixteen to a page, for partnership practice one document per seat\n"
                 "(OUT-North.pdf, ...), or hand records six to a page with each board's double-dummy analysis.",
                 "zelvano-deal print"};
    std::string path, output, layout = "standard", seatsText = "N", paper = "a4";
    app.add_option("FILE", path, "The board file to print")->required()->type_name("FILE");
    app.add_option("-o,--output", output, "The PDF file to write")->required()->type_name("OUT.pdf");
    app.add_option("--layout", layout,
                   "standard (whole deals, the default), partnership, or records (hand records: points, "
                   "double-dummy tricks and par)")
        ->check(CLI::IsMember({"standard", "partnership", "records"}));
    app.add_option("--seats", seatsText, "Partnership practice: the seats to print, e.g. N,S (default N)")
        ->type_name("N,S,E,W");
    app.add_option("--paper", paper, "a4 (the default) or letter")->check(CLI::IsMember({"a4", "letter"}));
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    PdfPrintJob job;
    job.BoardFile = path;
    job.Output = output;
    job.Paper = paper == "letter" ? Paper::Letter : Paper::A4;
    job.Request.Option = layout == "partnership" ? PrintOption::Partnership
                         : layout == "records"   ? PrintOption::HandRecords
                                                 : PrintOption::Standard;
    CatchStopSignals();
    job.Stop = &Interrupted;
    if (job.Request.Option == PrintOption::HandRecords) {
        // Minutes of analysis are not spent on a file that cannot be written.
        if (std::string error; !CanWriteFile(output, &error)) return BadInput(error);
        const AnalysisProgress line = AnalysisProgressLine();
        job.Progress = [line](std::size_t done, std::size_t total) {
            return line ? line(done, total) : !Interrupted.load();
        };
    }
    std::size_t start = 0;
    while (start <= seatsText.size()) {
        const std::size_t comma = seatsText.find(',', start);
        const std::string item =
            TrimBlanks(seatsText.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        int seat = -1;
        for (int s = 0; s < 4; ++s)
            if (EqualsNoCase(item, SeatNames[static_cast<std::size_t>(s)]) ||
                EqualsNoCase(item, SeatNames[static_cast<std::size_t>(s)].substr(0, 1)))
                seat = s;
        if (seat < 0) return UsageError("--seats: '" + item + "' is not a seat (N, E, S or W)");
        job.Request.Seats[static_cast<std::size_t>(seat)] = true;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
#ifdef ZELV_WITH_PRINT
    if (const std::string why = PdfOutputRefusal(path, job); !why.empty()) return UsageError(why);
    const PdfPrintResult result = PrintBoardFileToPdfWithoutWindow(job);
    if (result.Cancelled) {
        Say(std::cerr, "stopped before every board of " + path + " was printed; nothing was written");
        return ExitInterrupted;
    }
    for (const std::string& note : result.Notes) Say(std::cerr, note);
    for (const std::string& problem : result.NotAnalysed) Say(std::cerr, problem);
    for (const auto& file : result.Files) std::cout << WrotePagesText(Printable(file.Path), file.Pages) << "\n";
    std::cout.flush();
    for (const std::string& left : result.LeftOut) Say(std::cerr, left);
    if (!result.Error.empty()) return BadInput(result.Error);
    if (!result.LeftOut.empty()) return ExitBadInput;
    if (!result.NotAnalysed.empty() && result.Damaged == 0) return ExitBadInput;
    if (result.Damaged != 0) {
        Say(std::cerr, path + ": " + DamagedPrintedText(result.Damaged));
        return ExitBadInput;
    }
    return ExitDone;
#else
    return BadInput("this zelvano-deal was built without printing (no Qt)");
#endif
}

int Convert(int argc, char** argv) {
    CLI::App app{"Converts a board file into others, each in the format of its extension (.PBN, .DGE, .BRI,\n"
                 ".DUP or .DLM in any case): zelvano-deal convert FED.PBN ZELV.DGE ZELV.BRI ZELV.DUP\n"
                 "The outputs are put in place together, or none of them when any cannot be written.",
                 "zelvano-deal convert"};
    std::string input;
    std::vector<std::string> outputs;
    ConvertOptions options;
    app.add_option("IN", input, "The board file to read")->required()->type_name("IN");
    app.add_option("OUT", outputs, "The board files to write")->required()->expected(1, -1)->type_name("OUT");
    app.add_flag("--renumber", options.Renumber,
                 "Number the boards 1, 2, 3... in every file written, in the order of IN; dealer and "
                 "vulnerability follow the new numbers. A .DGE or .BRI file numbers its boards so, and takes "
                 "boards numbered otherwise only with it");
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    outputs.insert(outputs.begin(), input);
    for (const std::string& path : outputs)
        if (!FormatOfPath(path))
            return UsageError(path + ": the extension names no board file format (" + KnownExtensions() + ")");
    outputs.erase(outputs.begin());
    CatchStopSignals();
    options.Stop = &Interrupted;
    const ConvertResult result = ConvertBoardFile(input, outputs, options);
    for (const std::string& note : result.Notes) Say(std::cerr, note);
    for (const std::string& problem : result.Problems) Say(std::cerr, problem);
    if (result.Stopped) {
        Say(std::cerr, "stopped; no file was written");
        return ExitInterrupted;
    }
    if (result.Renumbers)
        return BadInput(result.Error + ". With --renumber the boards are numbered 1 to " +
                        std::to_string(result.Boards) + " in every file written, dealer and vulnerability following");
    if (!result.Error.empty()) return BadInput(result.Error);
    for (const std::string& path : outputs) {
        std::cout << "Wrote " << Printable(path) << ", " << CountOf(result.Boards, "board", "boards");
        if (FormatOfPath(path) == BoardFormat::Pbn && result.Games > result.Boards)
            std::cout << " (" << result.Games << " games)";
        std::cout << "\n";
    }
    std::cout.flush();
    if (!std::cout) {
        Say(std::cerr, "the files were written, but the summary could not be written to standard output");
        return ExitBadInput;
    }
    return ExitDone;
}

// "1,234 hands, 1 hand in 514,000 (0.00019%)", or "no hand: <reason>".
std::string OddsText(const DefinitionOdds& odds) {
    return odds.Hands ? GroupedDigits(odds.Hands) + (odds.Hands == 1 ? " hand, " : " hands, ") + HandsText(odds.Hands)
                      : "no hand: " + odds.Reason;
}

// The odds of every definition in `folder`; 1 when one cannot be read or
// there is none.
int PrintEveryDefinition(const std::string& folder) {
    const std::vector<std::string> names = ListDefinitionNames(folder);
    // Nothing printed with success would look like a folder that was read.
    if (names.empty()) return BadInput("no hand definitions (.HDS files) in " + folder);
    bool bad = false;
    for (const std::string& name : names) {
        HandDefinition defn;
        std::string error, detail;
        const std::string path = DealEngine::DefinitionPath(folder, name);
        if (!DealEngine::ReadDefinition(path, defn, &error, &detail)) {
            Say(std::cerr, "\"" + name + "\": " + error + " (" + detail + ")");
            bad = true;
            continue;
        }
        for (const std::string& warning : DefinitionWarnings(defn, std::filesystem::path(path).filename()))
            Say(std::cerr, "warning: " + warning);
        std::cout << "\"" << Printable(name) << "\": " << Printable(OddsText(OddsOfDefinition(defn))) << "\n";
    }
    std::cout.flush();
    return bad ? ExitBadInput : ExitDone;
}

// Prints the exact odds of each definition of a set-up and of each seat's
// alternatives together, and an estimate for the whole set-up; without a
// set-up, the odds of every definition in the folder.
int Odds(int argc, char** argv) {
    const Settings& settings = SharedSettings();
    CLI::App app{"Prints how many hands each hand definition accepts, exactly, and how rare a set-up's boards\n"
                 "are: per definition its count and \"1 hand in N\", per seat its alternatives together, and an\n"
                 "estimate for the whole set-up from a short run of the secure dealer. Without a set-up, every\n"
                 "definition in the folder.",
                 "zelvano-deal odds"};
    DealCommandLine line;
    line.Definitions = settings.HandDefinitionsFolder;
    line.Boards = "16";
    SetupOptions setup;
    setup.Add(app, line);
    app.add_option("--definitions", line.Definitions, "Folder of the hand definition files")
        ->type_name("DIR")
        ->capture_default_str();
    app.add_option("--boards", line.Boards, "Boards the time estimate is for")->type_name("N")->capture_default_str();
    app.add_flag("--no-seed-first", line.NoSeedFirst, "Estimate without placing the first definition's cards");
    app.add_flag("--level", line.Level,
                 "As when boards are shared equally: every alternative must accept a hand, and the estimate "
                 "takes the alternatives in turn");
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    const bool anySeat = setup.Take(line);
    if (line.Definitions == settings.HandDefinitionsFolder) {
        std::string error;
        if (!PrepareWorkFolders(settings, &error)) return BadInput(error);
    }
    if (const std::string why = DefinitionsFolderProblem(line.Definitions); !why.empty()) return BadInput(why);

    if (!anySeat && line.Generator.empty()) return PrintEveryDefinition(line.Definitions);

    MergedDeal merged = MergeDealOptions(line);
    if (merged.Outcome == MergedDeal::Verdict::Usage) return UsageError(merged.Error);
    if (merged.Outcome == MergedDeal::Verdict::BadInput) return BadInput(merged.Error);
    for (const std::string& warning : merged.Warnings) Say(std::cerr, "warning: " + warning);
    const DealRunOptions& options = merged.Options;
    DealEngine board;
    board.SeedFirst = options.SeedFirst;
    std::string error, detail;
    if (!board.LoadSetup(options.Setup, options.DefinitionsFolder, &error, &detail))
        return BadInput(detail.empty() ? error : error + " (" + detail + ")");
    for (const std::string& warning : SetupWarnings(board, options.Setup, options.DefinitionsFolder))
        Say(std::cerr, "warning: " + warning);
    const std::vector<SeatOdds> counted = OddsOfSeats(board, options.Setup);
    for (const SeatOdds& seat : counted) {
        for (const SlotOdds& slot : seat.Slots)
            std::cout << SeatNames[seat.Seat] << ", definition " << slot.Position + 1 << " \"" << Printable(slot.Name)
                      << "\": " << Printable(OddsText(slot.Odds)) << "\n";
        if (seat.Slots.size() > 1)
            std::cout << SeatNames[seat.Seat] << ", any of them: "
                      << OddsText({seat.Hands, seat.Hands ? "" : "none of its definitions accepts a hand"}) << "\n";
    }
    if (counted.empty()) std::cout << "Every seat takes any hand.\n";
    if (const std::string why = SetupCannotBeDealt(board, options.Setup, counted, options.Level,
                                                   static_cast<std::uint64_t>(options.Boards));
        !why.empty()) {
        std::cout.flush();
        return BadInput("the set-up cannot be dealt: " + why);
    }
    const SetupEstimate estimate =
        options.Level ? EstimateLevelled(board, options.Boards, 0.5) : EstimateSetup(board, 0.5);
    std::cout << "Set-up: " << EstimateText(estimate, options.Boards) << "\n";
    if (const std::string advice = SecureSourceAdvice(estimate, options.Boards); !advice.empty())
        std::cout << advice << " (--secure).\n";
    std::cout.flush();
    return std::cout ? ExitDone : ExitBadInput;
}

// An output folder that does not exist yet is made with its parents, as
// mkdir -p makes it, and said; one that cannot be made is left to the run,
// which names the file it could not write.
void MakeFolderSaying(const std::string& folder) {
    std::error_code ec;
    if (folder.empty() || std::filesystem::exists(folder, ec)) return;
    if (std::filesystem::create_directories(folder, ec)) std::cerr << "Made folder " << Printable(folder) << "\n";
}

// A definition read otherwise than it is written, and an alternative no
// hand meets, are worth a word before a run; a seat left no hand at all is
// the run's to refuse.
void WarnOfSetup(const DealRunOptions& options) {
    DealEngine board;
    if (!board.LoadSetup(options.Setup, options.DefinitionsFolder, nullptr)) return;
    for (const std::string& line : SetupWarnings(board, options.Setup, options.DefinitionsFolder))
        Say(std::cerr, "warning: " + line);
    if (!options.Level)
        for (const std::string& line : DefinitionsNeverDealt(OddsOfSeats(board, options.Setup, false)))
            Say(std::cerr, "warning: " + line);
}

int Deal(int argc, char** argv) {
    const Settings& settings = SharedSettings();
    CLI::App app{"Deals a set of bridge boards that meet a set-up of hand definitions.\n"
                 "With --dd the PBN file carries each board's double-dummy tricks and par.\n"
                 "Also: zelvano-deal show FILE [--format pbn|text] [--dd]\n"
                 "      zelvano-deal print FILE -o OUT.pdf [--layout standard|partnership|records] [--seats N,S,E,W]\n"
                 "                         [--paper a4|letter]\n"
                 "      zelvano-deal convert IN OUT... [--renumber]   (board files: .PBN .DGE .BRI .DUP .DLM)\n"
                 "      zelvano-deal analyse FILE -o OUT.PBN   (double-dummy tricks and par)\n"
                 "      zelvano-deal odds [--definitions DIR] [--generator FILE] [--north NAMES ...]\n"
                 "      zelvano-deal script FILE [--boards N] [--seed S | --secure] [--output DIR --code CODE]\n"
                 "Exit status: 0 done, 1 bad input, 2 usage, 3 stopped by --max-attempts, 4 the classic\n"
                 "generator's numbers ran out (use --secure), 130 interrupted.",
                 "zelvano-deal"};
    app.set_version_flag("--version", "zelvano-deal " + std::string(ZelvanoVersion));
    DealCommandLine line;
    line.Code = std::string(InitialFileCode);
    line.Definitions = settings.HandDefinitionsFolder;
    line.Output = settings.HandsFolder;
    std::string seedText, maxAttemptsText, threadsText, firstBoardText;
    bool quiet = false;

    SetupOptions setup;
    setup.Add(app, line);
    app.add_option("--boards", line.Boards, "Number of boards to deal")->type_name("N")->capture_default_str();
    app.add_option("--code", line.Code,
                   "File code: the output files are CODE.DGE, CODE.BRI and CODE.PBN (and CODE.DUP, CODE.DLM)")
        ->type_name("CODE")
        ->capture_default_str();
    app.add_option("--definitions", line.Definitions, "Folder of the hand definition files")
        ->type_name("DIR")
        ->capture_default_str();
    app.add_option("--output", line.Output, "Folder the boards are written to")
        ->type_name("DIR")
        ->capture_default_str();
    app.add_flag("--no-seed-first", line.NoSeedFirst, "Do not place the first definition's cards before dealing");
    CLI::Option* seedOpt =
        app.add_option("--seed", seedText, "Start the classic generator from this seed (0 to 4294967295)")
            ->type_name("N");
    CLI::Option* secureOpt =
        app.add_flag("--secure", line.Secure, "Draw from a cryptographically secure generator instead");
    secureOpt->excludes(seedOpt);
    CLI::Option* maxOpt =
        app.add_option("--max-attempts", maxAttemptsText, "Stop after this many attempts, keeping the boards dealt")
            ->type_name("N");
    CLI::Option* threadsOpt =
        app.add_option("--threads", threadsText, "Secure runs: deal on this many threads (default: one per core)")
            ->type_name("N");
    // Two flags rather than CLI11's negated pair, whose help reads as if PBN were off.
    app.add_flag_callback(
        "--pbn", [&line] { line.Pbn = true; }, "Also write CODE.PBN (the default)");
    app.add_flag_callback(
        "--no-pbn", [&line] { line.Pbn = false; }, "Do not write CODE.PBN");
    app.add_flag("--dd", line.PbnAnalysis,
                 "Give each game of CODE.PBN the board's double-dummy analysis: the tricks each declarer makes in "
                 "each strain and the par result");
    app.add_flag("--dup", line.Dup, "Also write CODE.DUP, for the newer Duplimate machines (up to board 999)");
    app.add_flag("--dlm", line.Dlm, "Also write CODE.DLM, for the machines that read text (up to board 99)");
    CLI::Option* firstOpt =
        app.add_option("--first-board", firstBoardText,
                       "Number the set from this board (default 1): the PBN, DUP and DLM files, dealer and "
                       "vulnerability follow it")
            ->type_name("N");
    app.add_flag("--level", line.Level,
                 "Share boards equally among each seat's alternatives: board k takes alternative ((k-1) mod m)+1");
    app.add_flag("--quiet", quiet, "No progress line and no summary");
    if (const std::optional<int> exit = ParseArguments(app, argc, argv)) return *exit;
    setup.Take(line);
    if (*seedOpt) line.Seed = seedText;
    if (*maxOpt) line.MaxAttempts = maxAttemptsText;
    if (*threadsOpt) line.Threads = threadsText;
    if (*firstOpt) line.FirstBoard = firstBoardText;

    // The default folders of an installed program are the user's, made on first use.
    if (line.Definitions == settings.HandDefinitionsFolder || line.Output == settings.HandsFolder) {
        std::string error;
        if (!PrepareWorkFolders(settings, &error)) return BadInput(error);
    }
    MergedDeal merged = MergeDealOptions(line);
    if (merged.Outcome == MergedDeal::Verdict::Usage) return UsageError(merged.Error);
    if (merged.Outcome == MergedDeal::Verdict::BadInput) return BadInput(merged.Error);
    for (const std::string& warning : merged.Warnings) Say(std::cerr, "warning: " + warning);
    const DealRunOptions& options = merged.Options;
    WarnOfSetup(options);

    MakeFolderSaying(options.OutputFolder);
    // A stopped run keeps the boards dealt so far.
    CatchStopSignals();
    const bool showProgress = !quiet && ::isatty(STDERR_FILENO);
    bool progressShown = false;
    ProgressFn progress;
    if (showProgress)
        progress = [&](const DealProgress& p) {
            double rate = p.Seconds > 0 ? static_cast<double>(p.Attempts) / p.Seconds : 0.0;
            // "10 of 24 boards, ..." or "Dealt 24 of 24 · analysing 7 of 24, ...".
            std::fprintf(stderr, "\r%s, %s, %.0f attempts/s", ProgressText(p).c_str(),
                         CountOf(p.Attempts, "attempt", "attempts").c_str(), rate);
            if (options.Level)
                if (const std::string shares = DescribeShares(options.Setup, p.Shares); !shares.empty())
                    std::fprintf(stderr, " (%s)", Printable(shares).c_str());
            std::fputs("   ", stderr);
            std::fflush(stderr);
            progressShown = true;
        };
    DealRunResult result = RunDeal(options, &Interrupted, progress);
    if (progressShown) std::fputs("\n", stderr);

    if (result.Status == DealStatus::Failed) return BadInput(DescribeResult(result, options.Boards));
    if (result.Written)
        for (const std::string& note : result.Notes) Say(std::cerr, "warning: " + note);
    if (!quiet) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.3f", result.Seconds);
        std::cout << CountOf(result.Accepted, "board", "boards") << ", "
                  << CountOf(result.Attempts, "attempt", "attempts") << ", " << seconds << " seconds: "
                  << (result.Written ? Printable(result.BoardPath) : "no file written, the previous files were kept")
                  << "\n";
        if (options.Level)
            if (const std::string shares = DescribeShares(options.Setup, result.Shares); !shares.empty())
                std::cout << "Shared equally: " << Printable(shares) << "\n";
        if (result.WithAnalysis && result.Written)
            std::cout << "Double-dummy analysis: " << result.Analysed << " of "
                      << CountOf(result.Accepted, "board", "boards") << "\n";
        std::cout.flush();
        if (!std::cout) {
            Say(std::cerr, "the boards were written to " + result.BoardPath +
                               ", but the summary could not be written to standard "
                               "output");
            return ExitBadInput;
        }
    }
    if (result.Status == DealStatus::AttemptLimit) {
        Say(std::cerr, DescribeResult(result, options.Boards));
        return ExitAttemptLimit;
    }
    if (result.Status == DealStatus::SequenceSpent) {
        Say(std::cerr, DescribeResult(result, options.Boards));
        return ExitSequenceSpent;
    }
    if (result.Status == DealStatus::Stopped) {
        Say(std::cerr, DescribeResult(result, options.Boards));
        return ExitInterrupted;
    }
    return ExitDone;
}

int Dispatch(int argc, char** argv) {
    try {
        if (argc > 1 && std::string(argv[1]) == "show") return Show(argc - 1, argv + 1);
        if (argc > 1 && std::string(argv[1]) == "print") return Print(argc - 1, argv + 1);
        if (argc > 1 && std::string(argv[1]) == "convert") return Convert(argc - 1, argv + 1);
        if (argc > 1 && std::string(argv[1]) == "analyse") return Analyse(argc - 1, argv + 1);
        if (argc > 1 && std::string(argv[1]) == "odds") return Odds(argc - 1, argv + 1);
        if (argc > 1 && std::string(argv[1]) == "deal") return Deal(argc - 1, argv + 1);
        if (argc > 1 && std::string(argv[1]) == "script") return RunScriptCommand(argc - 1, argv + 1);
        return Deal(argc, argv);
    } catch (const std::exception& e) {
        Say(std::cerr, e.what());
        return ExitBadInput;
    }
}

} // namespace

int main(int argc, char** argv) {
    const int status = Dispatch(argc, argv);
    // Stopped, an analysis leaves DDS finishing a board nobody waits for.
    ExitWithoutWaitingForDds(status);
    return status;
}
