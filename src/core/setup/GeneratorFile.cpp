#include "core/setup/GeneratorFile.h"

#include "core/files/FileUtil.h"
#include "core/files/IniFile.h"
#include "core/settings/Settings.h"

#include <algorithm>
#include <cctype>

namespace zelv {

namespace {
constexpr std::string_view Section = "Main";
constexpr std::string_view LevelKey = "ShareEqually";
constexpr std::string_view ConditionKey = "Condition";
// The run options' keys, in the order they are appended.
struct OptionKey {
    std::string_view Key;
    bool GeneratorOptions::*Flag;
};
constexpr OptionKey FlagKeys[] = {
    {"SeedFirst", &GeneratorOptions::SeedFirst},     {"WritePbn", &GeneratorOptions::WritePbn},
    {"PbnAnalysis", &GeneratorOptions::PbnAnalysis}, {"WriteDup", &GeneratorOptions::WriteDup},
    {"WriteDlm", &GeneratorOptions::WriteDlm},       {"SecureSource", &GeneratorOptions::Secure}};
constexpr std::string_view BoardsKey = "Boards";
constexpr std::string_view FirstBoardKey = "FirstBoard";
constexpr char SeatLetter[4] = {'N', 'S', 'E', 'W'}; // by seat index, also the written order

std::string FlagKey(int seat) { return std::string(1, SeatLetter[seat]) + "AnyCB"; }
std::string NameKey(int seat, int slot) { return std::string(1, SeatLetter[seat]) + "C" + std::to_string(slot + 1); }

std::string HexEscape(char c) {
    constexpr char Digits[] = "0123456789abcdef";
    const auto u = static_cast<unsigned char>(c);
    return {'\\', 'x', Digits[u >> 4], Digits[u & 15]};
}

// A condition on one line of the file: line ends and tabs written as \n,
// \r and \t, other control characters as \xHH, a backslash doubled, and
// what the reader would take away escaped too: blanks at either end (\s)
// and a quote that opens the value.
std::string EscapeCondition(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool end = i == 0 || i + 1 == text.size();
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (end && c == ' ')
            out += "\\s";
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            out += HexEscape(c);
        else if (i == 0 && (c == '"' || c == '\''))
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out;
}

std::string UnescapeCondition(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'x' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
            continue;
        }
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c == 's' ? ' ' : c;
    }
    return out;
}

bool Blank(std::string_view text) { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }
} // namespace

GeneratorSetup GeneratorSetup::Defaults() {
    GeneratorSetup s;
    s.Seats[North].AnyHand = false;
    return s;
}

bool ReadGeneratorFile(const std::string& path, GeneratorSetup& setup, std::string* error) {
    IniFile ini;
    if (!ini.LoadFromFile(path, error)) return false;
    // Anything else named by mistake (a hand definition, a board file, any
    // other file) would read as every seat taking any hand.
    if (FileExists(path)) {
        bool anyKey = false;
        for (int seat = 0; seat < 4 && !anyKey; ++seat) {
            anyKey = ini.HasKey(Section, FlagKey(seat));
            for (int slot = 0; slot < 5 && !anyKey; ++slot) anyKey = ini.HasKey(Section, NameKey(seat, slot));
        }
        if (!anyKey || ini.HoldsBinary()) {
            if (error)
                *error = path + " is not a generator file: it holds no seat of a [Main] section (NAnyCB, NC1 to "
                                "NC5 and the same for S, E and W)";
            return false;
        }
    }
    GeneratorSetup s = GeneratorSetup::Defaults();
    for (int seat = 0; seat < 4; ++seat) {
        s.Seats[seat].AnyHand = ini.ReadBool(Section, FlagKey(seat), seat != North, true);
        for (int slot = 0; slot < 5; ++slot)
            s.Seats[seat].Names[slot] = ini.ReadString(Section, NameKey(seat, slot), "");
    }
    s.Level = ini.ReadBool(Section, LevelKey, false);
    s.Condition = UnescapeCondition(ini.ReadString(Section, ConditionKey, ""));
    const GeneratorOptions defaults;
    for (const OptionKey& k : FlagKeys) s.Options.*k.Flag = ini.ReadBool(Section, k.Key, defaults.*k.Flag);
    s.Options.Boards = ini.ReadString(Section, BoardsKey, defaults.Boards);
    s.Options.FirstBoard = ini.ReadString(Section, FirstBoardKey, defaults.FirstBoard);
    setup = s;
    return true;
}

bool WriteGeneratorFile(const std::string& path, const GeneratorSetup& setup, std::string* error) {
    IniFile ini;
    std::string why;
    if (!ini.LoadFromFile(path, &why)) {
        if (error) *error = why;
        return false;
    }
    for (int seat = 0; seat < 4; ++seat) {
        ini.WriteString(Section, FlagKey(seat), setup.Seats[seat].AnyHand ? "1" : "0");
        for (int slot = 0; slot < 5; ++slot)
            ini.WriteString(Section, NameKey(seat, slot), setup.Seats[seat].Names[slot]);
    }
    if (setup.Level || ini.HasKey(Section, LevelKey)) ini.WriteString(Section, LevelKey, setup.Level ? "1" : "0");
    const std::string condition = Blank(setup.Condition) ? std::string() : EscapeCondition(setup.Condition);
    if (condition.size() > IniFile::MaxValueLength) {
        if (error)
            *error = "The condition is too long to save in " + path + ": " + std::to_string(condition.size()) +
                     " characters as written, at most " + std::to_string(IniFile::MaxValueLength);
        return false;
    }
    if (!condition.empty() || ini.HasKey(Section, ConditionKey)) ini.WriteString(Section, ConditionKey, condition);
    // A key is written once it differs from its default, and kept up to date after.
    const GeneratorOptions defaults;
    auto write = [&](std::string_view key, const std::string& value, const std::string& def) {
        if (value != def || ini.HasKey(Section, key)) ini.WriteString(Section, key, value);
    };
    for (const OptionKey& k : FlagKeys) write(k.Key, setup.Options.*k.Flag ? "1" : "0", defaults.*k.Flag ? "1" : "0");
    write(BoardsKey, setup.Options.Boards, defaults.Boards);
    write(FirstBoardKey, setup.Options.FirstBoard, defaults.FirstBoard);
    return ini.SaveToFile(path, error);
}

std::vector<std::string> ListDefinitionNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& file : ListFilesWithExtension(folder, ExtDefinition))
        names.push_back(file.substr(0, file.size() - ExtDefinition.size()));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
    // Names that differ only in case would be one entry of a drop-down.
    names.erase(std::unique(names.begin(), names.end(),
                            [](const std::string& a, const std::string& b) { return EqualsNoCase(a, b); }),
                names.end());
    return names;
}

std::string MatchDefinitionName(const std::vector<std::string>& available, const std::string& name) {
    if (name.empty()) return {};
    for (const auto& a : available)
        if (a == name) return a;
    for (const auto& a : available)
        if (EqualsNoCase(a, name)) return a;
    return {};
}

DealSetup ToDealSetup(const GeneratorSetup& setup, const std::vector<std::string>& available) {
    DealSetup deal;
    for (int seat = 0; seat < 4; ++seat) {
        deal[seat].Constrained = !setup.Seats[seat].AnyHand;
        if (!deal[seat].Constrained) continue;
        for (int slot = 0; slot < 5; ++slot)
            deal[seat].Names[slot] = MatchDefinitionName(available, setup.Seats[seat].Names[slot]);
    }
    return deal;
}

std::vector<MissingDefinition> MissingDefinitions(const GeneratorSetup& setup,
                                                  const std::vector<std::string>& available) {
    std::vector<MissingDefinition> missing;
    for (int seat = 0; seat < 4; ++seat) {
        if (setup.Seats[seat].AnyHand) continue;
        for (int slot = 0; slot < 5; ++slot) {
            const std::string& name = setup.Seats[seat].Names[slot];
            if (!name.empty() && MatchDefinitionName(available, name).empty()) missing.push_back({seat, slot, name});
        }
    }
    return missing;
}

std::string MissingDefinitionText(const std::string& file, const MissingDefinition& missing,
                                  const std::string& folder) {
    return file + ": " + NameKey(missing.Seat, missing.Slot) + "=" + missing.Name + " names " +
           SeatNames[missing.Seat] + "'s definition " + std::to_string(missing.Slot + 1) + ", but there is no " +
           missing.Name + std::string(ExtDefinition) + " in " + folder;
}

} // namespace zelv
