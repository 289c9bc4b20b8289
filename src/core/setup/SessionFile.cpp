#include "core/setup/SessionFile.h"

#include "core/files/FileUtil.h"
#include "core/files/IniFile.h"

#include <charconv>
#include <filesystem>
#include <system_error>

namespace zelv {

namespace {
namespace fs = std::filesystem;
constexpr std::string_view SessionSection = "Session";

struct OptionKey {
    std::string_view Key;
    bool SessionOptions::*Flag;
};
constexpr OptionKey OptionKeys[] = {
    {"Secure", &SessionOptions::Secure}, {"PBN", &SessionOptions::Pbn}, {"Analysis", &SessionOptions::Analysis},
    {"DUP", &SessionOptions::Dup},       {"DLM", &SessionOptions::Dlm}, {"Mix", &SessionOptions::Mix},
};

std::string PartSection(std::size_t index) { return "Part" + std::to_string(index + 1); }

// A whole number in [low, high] and nothing else, or false.
bool ParseWhole(std::string_view text, long long low, long long high, long long& value) {
    const char* end = text.data() + text.size();
    auto [at, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && at == end && !text.empty() && value >= low && value <= high;
}

std::string ResolveBeside(const std::string& sessionPath, const std::string& name) {
    fs::path given(name);
    if (given.is_absolute()) return name;
    return (fs::path(sessionPath).parent_path() / given).lexically_normal().string();
}

std::string Identity(const std::string& path) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(path, ec);
    return ec ? path : canonical.string();
}

std::string BaseName(const std::string& path) { return fs::path(path).stem().string(); }

bool IsSessionName(const std::string& path) { return EndsWithNoCase(path, ".SES"); }

class SessionReader {
  public:
    explicit SessionReader(std::string* error) : error_(error) {}

    bool Read(const std::string& path, Session& session, bool options) {
        const std::string identity = Identity(path);
        for (const std::string& open : open_)
            if (open == identity) return Fail(Printable(path) + " names itself through the parts it holds");
        const std::string problem = ReadProblem(path);
        if (!problem.empty()) return Fail(UnableToOpen(Printable(path), problem));
        IniFile ini;
        std::string why;
        if (!ini.LoadFromFile(path, &why)) return Fail(why);
        if (!ini.HasSection(SessionSection) || ini.HoldsBinary())
            return Fail(Printable(path) + " is not a session file: it has no [Session] section");
        if (options) ReadOptions(ini, path, session.Options);
        if (failed_) return false;
        open_.push_back(identity);
        const bool read = ReadParts(ini, path, session);
        open_.pop_back();
        return read;
    }

  private:
    bool Fail(const std::string& why) {
        if (error_ && !failed_) *error_ = why;
        failed_ = true;
        return false;
    }

    void ReadOptions(const IniFile& ini, const std::string& path, SessionOptions& options) {
        for (const OptionKey& key : OptionKeys)
            options.*key.Flag = ini.ReadBool(SessionSection, key.Key, options.*key.Flag);
        const std::string first = ini.ReadString(SessionSection, "FirstBoard", "1");
        if (!ParseWhole(first, 1, 2147483647, options.FirstBoard))
            Fail("FirstBoard=" + Printable(first) + " in " + Printable(path) +
                 " is not a board number (1 to 2147483647)");
    }

    bool ReadParts(const IniFile& ini, const std::string& path, Session& session) {
        const std::string countText = ini.ReadString(SessionSection, "Parts", "");
        long long count = 0;
        if (!ParseWhole(countText, 0, 1000, count))
            return Fail("Parts=" + Printable(countText) + " in " + Printable(path) +
                        " is not a number of parts (1 to 1000)");
        if (count == 0) return Fail(Printable(path) + " holds no parts");
        for (std::size_t index = 0; index < static_cast<std::size_t>(count); ++index)
            if (!ReadPart(ini, path, PartSection(index), session)) return false;
        return true;
    }

    bool ReadPart(const IniFile& ini, const std::string& path, const std::string& section, Session& session) {
        const std::string where = Printable(path) + " [" + section + "]";
        if (!ini.HasSection(section)) return Fail(where + ": the section is missing");
        SessionPart part;
        part.Generator = ini.ReadString(section, "Generator", "");
        if (part.Generator.empty()) return Fail(where + ": no Generator names the part's generator file");
        part.Path = ResolveBeside(path, part.Generator);
        if (IsSessionName(part.Path)) return Read(part.Path, session, false);
        const std::string boards = ini.ReadString(section, "Boards", "");
        long long count = 0;
        if (!ParseWhole(boards, 1, MaxSessionBoards, count))
            return Fail(where + ": Boards=" + Printable(boards) + " is not a number of boards (1 to " +
                        std::to_string(MaxSessionBoards) + ")");
        part.Boards = static_cast<int>(count);
        part.Name = ini.ReadString(section, "Name", "");
        if (part.Name.empty()) part.Name = BaseName(part.Path);
        if (!ReadPartSetup(part, where, error_)) return Fail(error_ ? *error_ : std::string());
        session.Parts.push_back(std::move(part));
        return true;
    }

    std::string* error_;
    std::vector<std::string> open_; // identities of the session files being read, outermost first
    bool failed_ = false;
};
} // namespace

bool ReadPartSetup(SessionPart& part, const std::string& where, std::string* error) {
    const std::string problem = ReadProblem(part.Path);
    std::string why;
    if (problem.empty() && ReadGeneratorFile(part.Path, part.Setup, &why)) return true;
    if (error)
        *error =
            (where.empty() ? "" : where + ": ") + (problem.empty() ? why : UnableToOpen(Printable(part.Path), problem));
    return false;
}

long long Session::TotalBoards() const {
    long long total = 0;
    for (const SessionPart& part : Parts) total += part.Boards;
    return total;
}

bool ReadSessionFile(const std::string& path, Session& session, std::string* error) {
    Session read;
    if (!SessionReader(error).Read(path, read, true)) return false;
    if (read.TotalBoards() > MaxSessionBoards) {
        if (error)
            *error = Printable(path) + " asks for " + std::to_string(read.TotalBoards()) +
                     " boards; a session holds at most " + std::to_string(MaxSessionBoards);
        return false;
    }
    session = std::move(read);
    return true;
}

bool WriteSessionFile(const std::string& path, const Session& session, std::string* error) {
    IniFile ini;
    const SessionOptions& options = session.Options;
    ini.WriteString(SessionSection, "Parts", std::to_string(session.Parts.size()));
    for (const OptionKey& key : OptionKeys) ini.WriteString(SessionSection, key.Key, options.*key.Flag ? "1" : "0");
    ini.WriteString(SessionSection, "FirstBoard", std::to_string(options.FirstBoard));
    for (std::size_t index = 0; index < session.Parts.size(); ++index) {
        const SessionPart& part = session.Parts[index];
        const std::string section = PartSection(index);
        // A name that is the generator file's own is left out, so that it
        // follows the file if the file is renamed.
        if (!part.Name.empty() && part.Name != BaseName(part.Generator)) ini.WriteString(section, "Name", part.Name);
        ini.WriteString(section, "Generator", part.Generator);
        ini.WriteString(section, "Boards", std::to_string(part.Boards));
    }
    return ini.SaveToFile(path, error);
}

bool ReadPartArgument(const std::string& argument, SessionPart& part, std::string* error) {
    const std::size_t colon = argument.rfind(':');
    long long count = 0;
    if (colon == std::string::npos || colon == 0 ||
        !ParseWhole(std::string_view(argument).substr(colon + 1), 1, MaxSessionBoards, count)) {
        if (error)
            *error = "--part " + Printable(argument) + " is not GENERATOR:BOARDS (a generator file, a colon and 1 to " +
                     std::to_string(MaxSessionBoards) + " boards)";
        return false;
    }
    SessionPart read;
    read.Generator = argument.substr(0, colon);
    read.Path = read.Generator;
    read.Boards = static_cast<int>(count);
    read.Name = BaseName(read.Path);
    if (!ReadPartSetup(read, "--part " + Printable(argument), error)) return false;
    part = std::move(read);
    return true;
}

} // namespace zelv
