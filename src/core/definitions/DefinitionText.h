#pragma once
// A hand definition as the editor holds it (every number as the text of its
// field) and its file: ".HDS", INI text with the sections YesShapes,
// NoShapes, Hand, Suit, Cards and Checks.
#include "core/cards/Cards.h"
#include "core/dealing/DealEngine.h"
#include "core/definitions/DefinitionKeys.h"

#include <array>
#include <string>
#include <vector>

namespace zelv {

struct DefinitionText {
    std::vector<std::string> YesShapes; // display order, five-character texts
    std::vector<std::string> NoShapes;
    std::array<std::string, LimitCount> Limits; // texts, in the order of LimitKeys
    std::array<bool, 53> Cards{};               // must-have flags by card code
    bool AKControls = true;
    bool Hon3 = true;

    // A new or cleared definition: every shape accepted, lengths "0" to
    // "13", the other fields at their defaults, no card, AK and Top3 active.
    static DefinitionText Defaults();

    std::string& Limit(int index) { return Limits[static_cast<std::size_t>(index)]; }
    const std::string& Limit(int index) const { return Limits[static_cast<std::size_t>(index)]; }
    int CardCount() const;
};

inline constexpr int MaxMustHaveCards = 13;

// Replaces `defn` by the file's content; a missing file reads as a file with
// no sections. Cards beyond the thirteenth set, in reading order (SA, HA,
// SK, HK, ..., then DA, CA, DK, CK, ...), are left clear and listed in
// `refused`. False only when an existing file cannot be read.
bool ReadDefinitionFile(const std::string& path, DefinitionText& defn, std::vector<CardCode>* refused,
                        std::string* error);

// Writes the whole file afresh and replaces the old one atomically. On
// failure `error` is "Unable to write to <path>" and the old file stays.
bool WriteDefinitionFile(const std::string& path, const DefinitionText& defn, std::string* error);

// The file text WriteDefinitionFile writes.
std::string DefinitionFileText(const DefinitionText& defn);

// The definition as the engine would read it from its file: what it deals,
// whatever the texts say. False, with "'<text>' is not a whole number
// (<key>)", when a limit would stop the engine reading it.
bool ToEngineDefinition(const DefinitionText& defn, HandDefinition& out, std::string* error);

} // namespace zelv
