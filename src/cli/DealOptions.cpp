#include "cli/DealOptions.h"

#include "core/dealing/RunChecks.h"
#include "core/files/FileUtil.h"
#include "core/formats/DealFiles.h"
#include "core/setup/GeneratorFile.h"
#include "core/setup/SessionSetup.h"

#include <cerrno>
#include <filesystem>

namespace zelv {

namespace {

constexpr std::uint64_t MaxThreads = 1024;
constexpr const char* SeatOptions[4] = {"--north", "--south", "--east", "--west"}; // by seat index

// Decimal digits only, at most `max`.
bool ParseCount(const std::string& text, std::uint64_t max, std::uint64_t& value) {
    if (text.empty() || text.size() > 19) return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (v > max) return false;
    value = v;
    return true;
}

bool ValidName(const std::string& name) {
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

// "A,,B" gives three slots, the middle one empty; blanks around a name go.
bool SplitNames(const std::string& option, const std::string& text, std::array<std::string, 5>& names,
                std::string& error) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = text.find(',', start);
        items.push_back(TrimBlanks(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (items.size() > names.size()) {
        error = option + ": at most five definition names, not " + std::to_string(items.size()) + ": " + text;
        return false;
    }
    names = {};
    for (std::size_t i = 0; i < items.size(); ++i) names[i] = items[i];
    return true;
}

// A seat whose first slot is empty takes any hand, whatever its later slots
// name; say so rather than deal something the user did not mean.
void WarnIfFirstSlotEmpty(const std::string& where, int seat, const std::array<std::string, 5>& names,
                          std::vector<std::string>& warnings) {
    if (!names[0].empty()) return;
    for (std::size_t p = 1; p < names.size(); ++p)
        if (!names[p].empty()) {
            warnings.push_back(where + ": " + SeatNames[seat] + "'s first slot is empty, so " + SeatNames[seat] +
                               " takes any hand; \"" + names[p] + "\" and any later definitions are not used");
            return;
        }
}

// Takes the seats of the generator file `line` names into `m`: "" or
// why it cannot be used. A definition the file names and the folder lacks
// is refused, as --north with that name is: left out, the seat would deal
// other hands than the file meant. A seat given on the command line
// replaces the file's.
std::string MergeGenerator(const DealCommandLine& line, MergedDeal& m) {
    std::error_code ec;
    if (!std::filesystem::exists(line.Generator, ec)) return "generator file not found: " + line.Generator;
    GeneratorSetup gen;
    std::string error;
    if (!ReadGeneratorFile(line.Generator, gen, &error)) return error;
    const std::vector<std::string> available = ListDefinitionNames(line.Definitions);
    m.Options.Setup = ToDealSetup(gen, available);
    m.Options.Level = m.Options.Level || gen.Level;
    if (!CompileGeneratorCondition(gen, line.Generator, m.Condition, &error)) return error;
    if (m.Condition) m.Options.Condition = SetupCondition::Tests(m.Condition);
    std::string missing;
    for (const MissingDefinition& gone : MissingDefinitions(gen, available))
        if (!line.Seats[gone.Seat])
            missing += (missing.empty() ? "" : "; ") + MissingDefinitionText(line.Generator, gone, line.Definitions);
    if (!missing.empty()) return missing;
    for (int seat = 0; seat < 4; ++seat)
        if (!line.Seats[seat] && !gen.Seats[seat].AnyHand)
            WarnIfFirstSlotEmpty(line.Generator, seat, gen.Seats[seat].Names, m.Warnings);
    return {};
}

// The seats typed on the command line, over those of a generator file; the
// verdict, with what is wrong in `error` when it is not Run.
MergedDeal::Verdict MergeSeatOptions(const DealCommandLine& line, MergedDeal& m, std::string& error) {
    for (int seat = 0; seat < 4; ++seat) {
        const auto& typed = line.Seats[seat];
        if (!typed) continue;
        SeatSetup& s = m.Options.Setup[seat];
        if (!SplitNames(SeatOptions[seat], *typed, s.Names, error)) return MergedDeal::Verdict::Usage;
        for (const auto& name : s.Names)
            if (!ValidName(name)) {
                error = std::string(SeatOptions[seat]) + ": '" + name + "' is not a definition name";
                return MergedDeal::Verdict::BadInput;
            }
        s.Constrained = true;
        WarnIfFirstSlotEmpty(SeatOptions[seat], seat, s.Names, m.Warnings);
    }
    return MergedDeal::Verdict::Run;
}

} // namespace

std::string DefinitionsFolderProblem(const std::string& folder) {
    const std::string why = FolderProblem(folder);
    if (why.empty()) return {};
    if (why == SystemReason(ENOENT)) return "hand definitions folder not found: " + folder;
    return UnableToOpen(folder, why);
}

MergedDeal MergeDealOptions(const DealCommandLine& line) {
    MergedDeal m;
    auto refuse = [&m](MergedDeal::Verdict verdict, std::string error) {
        m.Outcome = verdict;
        m.Error = std::move(error);
        return m;
    };
    using V = MergedDeal::Verdict;
    std::uint64_t seed = 0, boards = 1, maxAttempts = 0, threads = 0, firstBoard = 1;
    if (line.Seed && !ParseCount(*line.Seed, 0xFFFFFFFFull, seed))
        return refuse(V::Usage, "--seed: '" + *line.Seed + "' is not a whole number from 0 to 4294967295");
    if (!ParseCount(line.Boards, 0x7FFFFFFFFFFFFFFFull, boards))
        return refuse(V::Usage, "--boards: '" + line.Boards + "' is not a whole number of boards (0 or more)");
    if (line.MaxAttempts && (!ParseCount(*line.MaxAttempts, 0x7FFFFFFFFFFFFFFFull, maxAttempts) || maxAttempts == 0))
        return refuse(V::Usage, "--max-attempts: '" + *line.MaxAttempts + "' is not a whole number of 1 or more");
    if (line.Threads && (!ParseCount(*line.Threads, MaxThreads, threads) || threads == 0))
        return refuse(V::Usage, "--threads: '" + *line.Threads + "' is not a whole number from 1 to " +
                                    std::to_string(MaxThreads));
    if (line.FirstBoard && (!ParseCount(*line.FirstBoard, 0xFFFFFFFFull, firstBoard) || firstBoard == 0))
        return refuse(V::Usage, "--first-board: '" + *line.FirstBoard + "' is not a whole number from 1 to 4294967295");
    // The files are first written as CODE.BRI.tmp-XXXXXX, which must still
    // fit the 255 bytes a file name may have.
    if (line.Code.empty() || line.Code.size() > 240)
        return refuse(V::Usage, "--code: '" + line.Code + "' cannot name a file");
    if (const std::string why = FileCodeProblem(line.Code); !why.empty()) return refuse(V::Usage, "--code: " + why);
    if (const std::string note = HiddenFileCodeNote(line.Code); !note.empty()) m.Warnings.push_back("--code: " + note);

    if (line.PbnAnalysis && !line.Pbn)
        return refuse(V::Usage, "--dd: the analysis goes into CODE.PBN, which --no-pbn turns off");
    if (const std::string why = PbnRangeRefusal(line.Code, firstBoard, boards); line.Pbn && !why.empty())
        return refuse(V::Usage, "--first-board: " + why + " (give a smaller first board, or --no-pbn)");

    DealRunOptions& o = m.Options;
    o.SeedFirst = !line.NoSeedFirst;
    o.Boards = static_cast<std::int64_t>(boards);
    o.DefinitionsFolder = line.Definitions;
    o.OutputFolder = line.Output;
    o.FileCode = line.Code;
    o.WritePbn = line.Pbn;
    o.PbnAnalysis = line.PbnAnalysis;
    o.FirstBoard = firstBoard;
    o.WriteDup = line.Dup;
    o.WriteDlm = line.Dlm;
    // Said before dealing: the other files are still written.
    for (std::string& note : DropMachineFilesOutOfRange(o)) m.Warnings.push_back(std::move(note));
    o.MaxAttempts = maxAttempts;
    o.Level = line.Level;
    o.Secure = line.Secure;
    o.Threads = static_cast<unsigned>(threads);
    if (line.Threads && !line.Secure)
        m.Warnings.push_back("--threads: the classic dealer deals on one thread, whose sequence --seed repeats; "
                             "threads are for --secure runs");
    if (line.Seed) o.Seed = static_cast<std::uint32_t>(seed);

    bool anyNames = !line.Generator.empty();
    for (const auto& seat : line.Seats) anyNames = anyNames || seat.has_value();
    if (const std::string why = DefinitionsFolderProblem(line.Definitions); anyNames && !why.empty())
        return refuse(V::BadInput, why);

    if (!line.Generator.empty())
        if (std::string error = MergeGenerator(line, m); !error.empty()) return refuse(V::BadInput, std::move(error));
    std::string error;
    if (const V verdict = MergeSeatOptions(line, m, error); verdict != V::Run) return refuse(verdict, std::move(error));
    return m;
}

} // namespace zelv
