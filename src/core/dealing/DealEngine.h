#pragma once
// DealEngine, the deal engine: evaluation of hands, the checks against hand
// definitions, one dealing attempt, decoding of board-file holdings and the
// loading of a generation set-up.
#include "core/cards/Cards.h"
#include "core/cards/HandValue.h"
#include "core/dealing/ClassicRandom.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zelv {

class IniFile;

// What reading a definition file took otherwise than it is written, to be
// said: a limit outside 0 to 255, kept as its low 8 bits as files have
// always been read, and entries of the Yes list that are no hand pattern.
struct tDefinitionNotes {
    std::vector<std::pair<int, std::string>> Wrapped; // limit index, the file's text
    std::vector<std::string> NotShapes;               // "Y0=4332", the first few
    std::size_t MoreNotShapes = 0;                    // those beyond them
};

// One hand definition as the engine holds it.
struct HandDefinition {
    bool Defined = false;
    std::array<bool, 53> MustHave{}; // indexed by card code; entry 0 unused
    std::vector<std::string> YesShapes;
    tDefinitionNotes Notes; // from the file it was read from

    std::uint8_t MinPoints = 0, MaxPoints = 0, MinAK = 0, MaxAK = 0, MinAKQ = 0, MaxAKQ = 0;
    std::uint8_t MinSPoints = 0, MaxSPoints = 0, MinHPoints = 0, MaxHPoints = 0;
    std::uint8_t MinDPoints = 0, MaxDPoints = 0, MinCPoints = 0, MaxCPoints = 0;
    std::uint8_t MinSLength = 0, MaxSLength = 0, MinHLength = 0, MaxHLength = 0;
    std::uint8_t MinDLength = 0, MaxDLength = 0, MinCLength = 0, MaxCLength = 0;
    std::uint8_t MinTop3S = 0, MaxTop3S = 0, MinTop3H = 0, MaxTop3H = 0;
    std::uint8_t MinTop3D = 0, MaxTop3D = 0, MinTop3C = 0, MaxTop3C = 0;
    std::uint8_t MinTop5S = 0, MaxTop5S = 0, MinTop5H = 0, MaxTop5H = 0;
    std::uint8_t MinTop5D = 0, MaxTop5D = 0, MinTop5C = 0, MaxTop5C = 0;

    // The 38 limits in the order of LimitKeys (HandDefnKeys.h).
    std::uint8_t& Limit(int index);
    std::uint8_t Limit(int index) const;
    int MustHaveCount() const;
    CardMask MustHaveMask() const;
    // Empties the slot: not defined, no must-have card, no shapes, limits 0.
    void Clear();
    // A defined slot that every hand meets: every pattern, every limit from
    // 0 to its largest value, no must-have card.
    static HandDefinition AcceptingEveryHand();
};

// One seat of a generation set-up: whether it has conditions and the names
// of up to five definitions (an empty name is an empty drop-down).
struct SeatSetup {
    bool Constrained = false;
    std::array<std::string, 5> Names;
};
// Indexed by seat index (North, South, East, West).
using DealSetup = std::array<SeatSetup, 4>;

using DisplayRow = std::array<std::string, 4>; // spades..clubs
using DisplayTable = SeatArray<DisplayRow>;    // [seat index][suit]

// The deal engine: one board's set-up (constrained seats, definition slots,
// seeding) and the dealing attempt. Boards read back from a file need no
// DealEngine (DgeFile reads them into a DisplayTable); the step-by-step
// evaluation and checks that the attempt is tested against live with the
// tests, as their reference.
class DealEngine {
  public:
    DealEngine();

    // --- state, named as the engine's documentation names it ---
    DisplayTable Display; // holdings of the last accepted or decoded board
    bool Accepted = false;
    bool SeedFirst = false;
    SeatArray<bool> Constrained{}; // by seat index
    // The classic dealer's generator; whoever deals seeds it.
    ClassicRandom Random;
    // The draws Random may still make before its sequence comes back to
    // where the run began: further attempts would repeat boards already
    // dealt. An attempt that would need more is not made: DealBoard sets
    // SequenceSpent instead and leaves Random as it was.
    std::uint64_t DrawsLeft = RandPeriod;
    bool SequenceSpent = false;
    // The hands of the last accepted board, by seat index, for the run to
    // write.
    SeatArray<CardMask> Dealt{};

    // --- seat helpers ---
    bool IsConstrained(int seat) const { return Constrained[seat]; }
    void SetConstrained(int seat, bool on);

    // Definition slots: seat index 0..3, position 0..4 (the dialog's 1..5).
    const HandDefinition& Slot(int seat, int position) const { return Slots[seat * 5 + position]; }
    // Replaces a slot; the next DealBoard sees the change.
    void SetSlot(int seat, int position, const HandDefinition& defn);

    // --- dealing ---
    // The classic dealer follows its draws eight at a time with AVX2 where
    // the processor has it (VectorDrawsAvailable), else one at a time;
    // PortableDraws forces the latter. Both deal the same boards and seeds.
    bool PortableDraws = false;
    static bool VectorDrawsAvailable();
    // One attempt; sets Accepted, and on acceptance fills Dealt and Display. Seats are checked North,
    // South, East, West and the attempt ends at the first that fails. Its
    // draws are taken from DrawsLeft.
    void DealBoard();
    // The cards each seat holds before any draw, by seat index: with
    // SeedFirst, the must-have cards of each constrained seat's first
    // definition, seats taken North, South, East, West, a card an earlier
    // seat holds not placed again and never more than 13 in a hand. Every
    // dealer starts from these.
    const std::array<CardMask, 4>& SeededCards();

    // --- set-up loading ---
    // Sets the Constrained flags from `setup` and reads the definitions named
    // for each constrained seat from `definitionsFolder`. Refuses, with a
    // message naming seat, definition and card, a set-up that cannot be
    // dealt: a definition that is missing, has a limit that is not a whole
    // number or accepts no pattern, and with SeedFirst on, a first definition
    // of more than 13 must-have cards or two first definitions that require
    // the same card. `detail`, when given, receives where a bad limit stands.
    bool LoadSetup(const DealSetup& setup, const std::string& definitionsFolder, std::string* error,
                   std::string* detail = nullptr);
    // Reads one hand definition file into `slot`. A missing file reads as a
    // file with no sections. False when a limit is not a whole number, with
    // "'<text>' is not a valid integer value" in `error` and the key and
    // file in `detail`.
    static bool ReadDefinition(const std::string& path, HandDefinition& slot, std::string* error,
                               std::string* detail = nullptr);
    // The same from a definition already read; `where` names it in `detail`.
    static bool ReadDefinition(const IniFile& ini, const std::string& where, HandDefinition& slot, std::string* error,
                               std::string* detail = nullptr);
    // The file LoadSetup reads for the definition `name`.
    static std::string DefinitionPath(const std::string& definitionsFolder, const std::string& name);

    // Takes an accepted board given as four card sets (by seat index), as
    // DealBoard does its own: Dealt, Hands in ascending order, the display
    // table and Accepted. Used by dealers that draw the hands themselves.
    void AcceptBoard(const CardMask* hands);

    // Whether one seat's hand, given as a card set, meets the seat's
    // conditions (a seat without conditions takes any hand).
    bool SeatMeetsSetup(int seat, CardMask hand);

  private:
    void Compile();
    // Deals the attempt that starts at `seed` card by card into `hands`
    // (card sets by seat index).
    void FillHands(std::uint32_t seed, CardMask* hands) const;
    bool FastCheckSeat(int seat, CardMask hand) const;
    // Dealt, the display table and Accepted from the four card sets (by seat index).
    void Render(const CardMask* hands);

    std::array<HandDefinition, 20> Slots; // North 1-5, South 1-5, East 1-5, West 1-5
    bool dirty_ = true;

    struct CompiledDefn {
        bool Defined = false;
        bool AllPatterns = false;
        std::uint64_t Patterns = 0; // bit per pattern id
        CardMask Must = 0;
        std::uint8_t Lim[38]{};
    };
    struct CompiledSeat {
        bool Constrained = false;
        bool AlwaysPasses = false; // slot 1 empty
        int Count = 0;             // positions to try
        CompiledDefn Defs[5];
    };
    CompiledSeat compiled_[4];         // by seat index
    std::array<CardMask, 4> seeded_{}; // SeededCards, by seat index
    CardMask seededAll_ = 0;
    int cut_[3]{};           // new cards drawn when North's, South's and East's hands are complete
    unsigned want_ = 7;      // the cuts a check needs (bit per cut), the last always
    bool seededFor_ = false; // the SeedFirst the seeded cards were worked out for
};

// One line for each note of `defn`, read from the file named `file`:
// "MaxPoints=273 in X.HDS is read as 17", "Y0=4332 in X.HDS is not a hand
// pattern (such as 4432 or 5332) and is passed over".
std::vector<std::string> DefinitionWarnings(const HandDefinition& defn, const std::string& file);
// The same for every definition of a set-up loaded from `folder`
// (LoadSetup), each file once.
std::vector<std::string> SetupWarnings(const DealEngine& board, const DealSetup& setup, const std::string& folder);

// The holdings of four card sets (by seat index) as rank letters.
void RenderHands(const CardMask* hands, DisplayTable& display);

} // namespace zelv
