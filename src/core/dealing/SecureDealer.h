#pragma once
// The secure dealer: a ChaCha20 keystream keyed once per run from the
// operating system, and a dealing attempt that draws only the cards it
// needs. Accepted boards are uniformly distributed over all boards that meet
// the set-up, as with the classic dealer, but the sequence cannot be
// recovered from a dealt hand and does not repeat.
#include "core/cards/Cards.h"
#include "core/dealing/DealEngine.h"
#include "core/dealing/HandCounts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace zelv {

using SecureKey = std::array<std::uint8_t, 32>;
__extension__ typedef unsigned __int128 Wide;

// A buffered ChaCha20 keystream read as bytes or 32-bit words.
class SecureRandom {
  public:
    // The stream for `key`; the same key always gives the same stream.
    explicit SecureRandom(const SecureKey& key);
    ~SecureRandom();
    SecureRandom(const SecureRandom&) = delete;
    SecureRandom& operator=(const SecureRandom&) = delete;

    // Fills `key` with 256 bits from the operating system. False, with the
    // reason, when the cryptographic library cannot be started.
    static bool SystemKey(SecureKey& key, std::string* error);

    std::uint32_t Next32() {
        if (pos_ + 4 > BufferBytes) Refill();
        std::uint32_t w;
        std::memcpy(&w, bytes_ + pos_, 4);
        pos_ += 4;
        return w;
    }
    // Uniform in 0..n-1 (n >= 1), without modulo bias.
    std::uint32_t Below(std::uint32_t n) {
        std::uint64_t m = std::uint64_t{Next32()} * n;
        auto low = static_cast<std::uint32_t>(m);
        if (low < n) {
            const std::uint32_t threshold = (0u - n) % n;
            while (low < threshold) {
                m = std::uint64_t{Next32()} * n;
                low = static_cast<std::uint32_t>(m);
            }
        }
        return static_cast<std::uint32_t>(m >> 32);
    }
    // Uniform in 0..n-1 (n >= 1) for bounds past 32 bits.
    std::uint64_t Below64(std::uint64_t n) {
        std::uint64_t x = Next64();
        Wide m = static_cast<Wide>(x) * n;
        if (static_cast<std::uint64_t>(m) < n) {
            const std::uint64_t threshold = (0 - n) % n;
            while (static_cast<std::uint64_t>(m) < threshold) m = static_cast<Wide>(Next64()) * n;
        }
        return static_cast<std::uint64_t>(m >> 64);
    }
    std::uint64_t Next64() { return std::uint64_t{Next32()} << 32 | Next32(); }
    // Uniform in 0..n-1 for 1 <= n <= 65536, from sixteen bits of the
    // stream (rarely more): the small bounds dealing needs cost two bytes.
    unsigned SmallBelow(unsigned n) {
        if (pos_ + 2 > BufferBytes) Refill();
        std::uint16_t x;
        std::memcpy(&x, bytes_ + pos_, 2);
        pos_ += 2;
        std::uint32_t m = std::uint32_t{x} * n;
        if ((m & 0xFFFFu) < n) {
            std::size_t pos = pos_;
            m = RedrawBelow(n, m, pos, 0);
            pos_ = pos;
        }
        return m >> 16;
    }
    // Takes `count` cards out of `pack`, a uniform choice among all sets of
    // that many of its cards, and returns them. Asking for more than the
    // pack holds takes the whole pack.
    CardMask DrawFromPack(CardMask& pack, int count);
    // The same for a `pack` known to hold exactly `size` cards.
    CardMask DrawFromPack(CardMask& pack, int size, int count);

  private:
    static constexpr std::size_t BufferBytes = 4096;
    // The rejection step of a sixteen-bit draw below n, for a first product
    // `m` whose low half fell below n: redraws from `pos` on while it is
    // below 65536 mod n, refilling first when fewer than `reserve` bytes
    // would be left after the draw.
    std::uint32_t RedrawBelow(unsigned n, std::uint32_t m, std::size_t& pos, std::size_t reserve);
    void Refill();

    SecureKey key_;
    std::uint64_t nonce_ = 0;
    std::size_t pos_ = BufferBytes;
    alignas(64) unsigned char bytes_[BufferBytes];
};

// Spreads the low bits of `positions` over the cards of `pack`: bit i picks
// the pack's i-th lowest card, and positions beyond its size pick nothing.
// ScatterOnPackPlain is the portable form; ScatterOnPack uses the
// processor's bit-deposit instruction where it has one.
CardMask ScatterOnPack(std::uint64_t positions, CardMask pack);
CardMask ScatterOnPackPlain(std::uint64_t positions, CardMask pack);

// How the secure dealer finds the hand of the constrained seat that accepts
// the fewest hands: by building it, drawn uniformly from the hands its
// definitions accept (HandCounts), or by dealing it at random and testing
// it, as every other seat is. Both give the same distribution of boards.
enum class Construction {
    Automatic, // build it where that is quicker: where few hands pass
    Always,    // build it whenever the seat has a definition
    Never      // deal and test every seat
};

// What the secure dealer works out from a set-up, once per run; every
// dealer of the run (one per thread) reads the same plan.
struct SecurePlan {
    // Reads `board`'s set-up (Constrained flags, SeedFirst and slots).
    explicit SecurePlan(DealEngine& board, Construction how = Construction::Automatic);

    SeatArray<CardMask> Seeded{}; // placed before any draw
    // Cards a seat must end up holding to pass at all (those every one of
    // its definitions requires), less its seeded cards, by seat index.
    SeatArray<CardMask> Required{};
    SeatArray<int> Need{};      // cards to draw
    std::array<int, 4> Order{}; // the built seat, then constrained seats, then the rest
    int ConstrainedCount = 0;
    CardMask Unseeded = 0; // the cards every attempt draws from
    int UnseededCount = 0;

    // The seat whose hand is built, or -1; its defined slots' hands (holding
    // its seeded cards and no other seat's) and their running total.
    int Built = -1;
    std::vector<HandCounts> Slots;
    std::vector<std::uint64_t> SlotCumulative;
    // Of the hands the seat may be dealt that hold its required cards, the
    // share its definitions accept (a hand that meets two counts twice).
    double Share = 1.0;
};

// Deals attempts for a board whose set-up (Constrained flags, SeedFirst and
// the definition slots) is complete and stays fixed: it is read once, into
// the plan. The built seat, if any, comes first: a slot is chosen with the
// chance of the hands it accepts, a hand drawn uniformly from them, and the
// hand kept with chance one in the number of the seat's slots it meets, so
// that a hand two slots accept is not dealt twice as often. The other
// constrained seats are dealt next, each tested as soon as it holds its
// thirteen cards; the attempt stops at the first seat that fails, and only a
// board whose constrained seats all pass is completed. Before a dealt
// constrained seat's draw, the cards it cannot pass without are settled one
// by one, each with the chance it has of landing in that hand, so an attempt
// whose hand lacks one ends there. None of this changes the distribution of
// the boards accepted: each is a plain random deal's, restricted to the
// set-up.
class SecureDealer {
  public:
    SecureDealer(DealEngine& board, SecureRandom& random, Construction how = Construction::Automatic);
    // With a plan made from `board`'s set-up (or from a copy of it).
    SecureDealer(DealEngine& board, SecureRandom& random, std::shared_ptr<const SecurePlan> plan);

    // One attempt; sets and returns board.Accepted, and on acceptance hands
    // the board to DealEngine::AcceptBoard.
    bool DealBoard();
    // One attempt that leaves the board alone: true, with the four hands by
    // seat index, when it is accepted.
    bool DealHands(std::array<CardMask, 4>& hands);

    // The cards placed before any draw, by seat index.
    CardMask Seeded(int seat) const { return plan_->Seeded[seat]; }
    // The seat whose hand is built, or -1.
    int BuiltSeat() const { return plan_->Built; }

  private:
    DealEngine& board_;
    SecureRandom& random_;
    std::shared_ptr<const SecurePlan> plan_;
};

} // namespace zelv
