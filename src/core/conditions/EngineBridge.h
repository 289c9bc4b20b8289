#pragma once
// Everything the script language takes from the rest of the core, in one
// place: card sets, suit holdings and lengths, seat order, the secure
// keystream, scattering chosen positions over a pack, the double-dummy
// solver and the board files. The language numbers seats as dealer does
// (0 north, 1 east, 2 south, 3 west); the engine's seat index differs, and
// only this file converts.
#include "core/cards/CardTables.h"
#include "core/cards/Cards.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zelv {

class DealFiles;
class SecureRandom;
class PbnSupplement;

// A set of cards: bit suit * 13 + rank, rank 0 the ace; the engine's CardMask.
using CardSet = CardMask;
// Four hands in dealer's seat order.
using Hands = std::array<CardSet, 4>;

inline constexpr CardSet WholePack = AllCardsMask;
// The 13-bit holding of a suit (bit 0 the ace).
inline unsigned Holding(CardSet hand, int suit) { return SuitBits(hand, suit); }
inline int HoldingLength(unsigned holding) { return SuitLength(holding); }
// The rank letters of a holding, highest first ("AKT2").
std::string HoldingLetters(unsigned holding);

// Bit i of `positions` picks the i-th lowest card of `pack`.
CardSet PickFromPack(std::uint64_t positions, CardSet pack);

// The secure keystream of a run, one per dealing thread.
class SecureStream {
  public:
    // Keyed from the operating system; null, with the reason, when that fails.
    static std::unique_ptr<SecureStream> Open(std::string* error);
    ~SecureStream();
    unsigned Below(unsigned n); // uniform in 0..n-1, n <= 65536

  private:
    explicit SecureStream(std::unique_ptr<SecureRandom> random);
    std::unique_ptr<SecureRandom> random_;
};

// Double-dummy tricks [seat][strain] (strain 0 notrump, 1 spades .. 4 clubs)
// of a whole deal. False, with DDS's reason, when the solver fails.
bool SolveTricks(const Hands& hands, std::array<std::array<int, 5>, 4>& tricks, std::string* error);

// The board files of a script run: the produced boards written as a set.
class BoardSetWriter {
  public:
    struct Choice {
        std::string Folder, Code;
        bool Pbn = true, Dup = false, Dlm = false, DoubleDummy = false;
    };
    BoardSetWriter();
    ~BoardSetWriter();
    bool Open(const Choice& choice, std::string* error);
    void Write(const Hands& hands);
    // Puts every file in place, or none; false with the message.
    bool Close(std::string* error);
    void Abandon();
    std::string BoardPath() const;

  private:
    std::unique_ptr<DealFiles> files_;
    std::unique_ptr<PbnSupplement> analysis_;
};

} // namespace zelv
