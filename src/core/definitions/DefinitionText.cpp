#include "core/definitions/DefinitionText.h"

#include "core/definitions/ShapeCatalogue.h"
#include "core/files/FileUtil.h"
#include "core/files/IniFile.h"

#include <algorithm>

namespace zelv {

DefinitionText DefinitionText::Defaults() {
    DefinitionText d;
    d.YesShapes = CatalogueInDisplayOrder();
    LengthLimits limits = LengthLimitsOf(d.YesShapes);
    for (int i = 0; i < LimitCount; ++i) d.Limits[static_cast<std::size_t>(i)] = std::string(LimitKeys[i].Default);
    for (int s = 0; s < 4; ++s) {
        d.Limit(SuitLimitIndex(GroupLength, s, false)) = limits.MinLengthLimit;
        d.Limit(SuitLimitIndex(GroupLength, s, true)) = limits.MaxLengthLimit;
    }
    return d;
}

int DefinitionText::CardCount() const { return static_cast<int>(std::count(Cards.begin() + 1, Cards.end(), true)); }

static void ReadShapes(const IniFile& ini, std::string_view section, std::vector<std::string>& list) {
    list.clear();
    for (const auto& key : ini.ReadSectionKeys(section)) {
        std::string v = ini.ReadString(section, key, "0");
        // Trimming lost the blank in front of four-digit patterns.
        if (v.size() < 5) v = " " + v;
        InsertShapeSorted(list, v);
    }
}

bool ReadDefinitionFile(const std::string& path, DefinitionText& defn, std::vector<CardCode>* refused,
                        std::string* error) {
    IniFile ini;
    if (!ini.LoadFromFile(path, error)) return false;
    DefinitionText d;
    ReadShapes(ini, SectionYesShapes, d.YesShapes);
    ReadShapes(ini, SectionNoShapes, d.NoShapes);
    for (int i = 0; i < LimitCount; ++i)
        d.Limit(i) = ini.ReadString(LimitKeys[i].Section, LimitKeys[i].Key, LimitKeys[i].Default);
    if (refused) refused->clear();
    // Spades with hearts rank by rank, then diamonds with clubs.
    int ticked = 0;
    for (int pair = 0; pair < 2; ++pair)
        for (int rank = 0; rank < 13; ++rank)
            for (int s = 2 * pair; s < 2 * pair + 2; ++s) {
                CardCode c = MakeCard(s, rank);
                if (!ini.ReadBool(SectionCards, CardKey(c), false)) continue;
                if (ticked >= MaxMustHaveCards) {
                    if (refused) refused->push_back(c);
                    continue;
                }
                d.Cards[c] = true;
                ++ticked;
            }
    d.AKControls = ini.ReadBool(SectionChecks, "AKControls", true);
    d.Hon3 = ini.ReadBool(SectionChecks, "Hon3", true);
    defn = std::move(d);
    return true;
}

std::string DefinitionFileText(const DefinitionText& defn) {
    IniFile ini;
    for (std::size_t i = 0; i < defn.YesShapes.size(); ++i)
        ini.WriteString(SectionYesShapes, "Y" + std::to_string(i), defn.YesShapes[i]);
    for (std::size_t i = 0; i < defn.NoShapes.size(); ++i)
        ini.WriteString(SectionNoShapes, "N" + std::to_string(i), defn.NoShapes[i]);
    for (int i = 0; i < LimitCount; ++i) ini.WriteString(LimitKeys[i].Section, LimitKeys[i].Key, defn.Limit(i));
    for (int c = 1; c <= 52; ++c)
        ini.WriteString(SectionCards, CardKey(static_cast<CardCode>(c)), defn.Cards[c] ? "1" : "0");
    ini.WriteString(SectionChecks, "AKControls", defn.AKControls ? "1" : "0");
    ini.WriteString(SectionChecks, "Hon3", defn.Hon3 ? "1" : "0");
    return ini.ToText();
}

bool ToEngineDefinition(const DefinitionText& defn, HandDefinition& out, std::string* error) {
    for (int i = 0; i < LimitCount; ++i) {
        std::uint8_t value = 0;
        // As the reader trims it: blanks around a number are no fault.
        if (!ParseLowByte(TrimBlanks(defn.Limit(i)), value)) {
            if (error) *error = "'" + defn.Limit(i) + "' is not a whole number (" + std::string(LimitKeys[i].Key) + ")";
            return false;
        }
    }
    IniFile ini;
    ini.LoadFromText(DefinitionFileText(defn));
    return DealEngine::ReadDefinition(ini, "the definition", out, error);
}

bool WriteDefinitionFile(const std::string& path, const DefinitionText& defn, std::string* error) {
    return AtomicWriteFile(path, DefinitionFileText(defn), error);
}

} // namespace zelv
