#pragma once
// A generation set-up as a generator file (".GEN"): one section "Main" with
// an any-hand flag and five definition names per seat, and whether boards
// are shared equally among the alternatives. Saving rewrites only those
// keys and keeps every other line of the file; the sharing key and the run
// options are written only when they differ from their defaults or are
// already there, so a file saved with the defaults is as it always was;
// so is the condition across seats, written only when there is one.
#include "core/dealing/DealEngine.h"

#include <array>
#include <string>
#include <vector>

namespace zelv {

struct GeneratorSeat {
    bool AnyHand = true;
    std::array<std::string, 5> Names; // empty: no selection
};

// How a run deals and what it writes, as the generation dialog sets it.
struct GeneratorOptions {
    bool SeedFirst = true;
    bool WritePbn = true;
    bool PbnAnalysis = false;
    bool WriteDup = false;
    bool WriteDlm = false;
    bool Secure = false;
    std::string Boards = "1";     // the Number of Boards field as typed
    std::string FirstBoard = "1"; // the First Board field as typed
    bool operator==(const GeneratorOptions&) const = default;
};

struct GeneratorSetup {
    std::array<GeneratorSeat, 4> Seats; // by seat index: North, South, East, West
    bool Level = false;                 // share boards equally among the alternatives
    // A condition across seats in the script language, as typed (lines
    // and all); empty or blank: none.
    std::string Condition;
    GeneratorOptions Options;
    // As a file without flags reads, and as the dialog starts: North
    // constrained, the other seats any hand.
    static GeneratorSetup Defaults();
};

// A missing file and missing keys give the defaults. False, with the
// reason naming the file, for a file that cannot be read, is no plain file,
// is not 8-bit text or holds none of the generator file's keys.
bool ReadGeneratorFile(const std::string& path, GeneratorSetup& setup, std::string* error);
// False, with "Unable to write to <path> (<reason>)" when the file cannot be
// replaced, or the reason an existing file cannot be read to keep its lines,
// or that the condition is too long for the file's line.
bool WriteGeneratorFile(const std::string& path, const GeneratorSetup& setup, std::string* error);

// Definition names in `folder`: ".HDS" files (any case) without the
// extension, sorted without regard to case, without repeats.
std::vector<std::string> ListDefinitionNames(const std::string& folder);
// The entry of `available` equal to `name` without regard to case, or "".
std::string MatchDefinitionName(const std::vector<std::string>& available, const std::string& name);
// The engine's set-up for `setup`, names matched against `available`; a
// seat that allows any hand has no names.
DealSetup ToDealSetup(const GeneratorSetup& setup, const std::vector<std::string>& available);

// A name a constrained seat's slot gives that matches no definition.
struct MissingDefinition {
    int Seat = 0; // seat index
    int Slot = 0; // 0..4
    std::string Name;
};
// The names of `setup`'s constrained seats that `available` lacks, seats
// North, South, East, West.
std::vector<MissingDefinition> MissingDefinitions(const GeneratorSetup& setup,
                                                  const std::vector<std::string>& available);
// "set.GEN: NC2=Gone names North's definition 2, but there is no Gone.HDS
// in <folder>".
std::string MissingDefinitionText(const std::string& file, const MissingDefinition& missing, const std::string& folder);

} // namespace zelv
