// The INI reader on any text: every read, a write, and reading back what it wrote.
#include "core/files/IniFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    zelv::IniFile ini;
    ini.LoadFromText(text);
    for (const char* section : {"Main", "YesShapes", "Hand", "Suit", "Cards", ""}) {
        (void)ini.HasSection(section);
        for (const auto& key : ini.ReadSectionKeys(section)) {
            std::string v = ini.ReadString(section, key, "d");
            if (v.size() > zelv::IniFile::MaxValueLength) std::abort();
            (void)ini.ReadBool(section, key, true);
        }
    }
    // A section and key taken from the input itself.
    std::string_view name = text.substr(0, std::min<std::size_t>(size, 8));
    (void)ini.ReadString(name, name, "");
    // A key of the input's letters and digits, written and read back.
    std::string key = "K";
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c))) key += c;
    ini.WriteString("Fuzz", key, "value");
    zelv::IniFile again;
    again.LoadFromText(ini.ToText());
    if (again.ReadString("Fuzz", key, "missing") != "value") std::abort();
    return 0;
}
