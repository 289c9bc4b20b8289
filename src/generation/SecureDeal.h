#pragma once
// The secure dealer: a ChaCha20 keystream keyed once per run from the
// operating system, and a dealing attempt that draws only the cards it
// needs. Accepted boards are uniformly distributed over all boards that meet
// the set-up, as with the classic dealer, but the sequence cannot be
// recovered from a dealt hand and does not repeat.
#include "engine/Cards.h"
#include "engine/uBoard.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace zelv {

using SecureKey = std::array<std::uint8_t, 32>;

// A buffered ChaCha20 keystream read as bytes or 32-bit words.
class tSecureRandom {
public:
    // The stream for `key`; the same key always gives the same stream.
    explicit tSecureRandom(const SecureKey& key);
    ~tSecureRandom();
    tSecureRandom(const tSecureRandom&) = delete;
    tSecureRandom& operator=(const tSecureRandom&) = delete;

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
    // Takes `count` cards (at most as many as it holds) out of `pack`, each a
    // uniform pick of the cards still in it: a uniform draw below 52 that
    // names a card already taken is drawn again. Returns the cards taken.
    CardMask DrawFromPack(CardMask& pack, int count);

private:
    static constexpr std::size_t BufferBytes = 4096;
    // 65536 mod n, for n = 1..256 (entry 0 unused): a 16-bit draw x gives
    // (x * n) >> 16 unless the low half of x * n is below it, which removes
    // exactly the surplus values.
    static constexpr std::array<std::uint16_t, 257> Surplus16 = [] {
        std::array<std::uint16_t, 257> t{};
        for (unsigned n = 1; n <= 256; ++n) t[n] = static_cast<std::uint16_t>(65536u % n);
        return t;
    }();
    void Refill();

    SecureKey key_;
    std::uint64_t nonce_ = 0;
    std::size_t pos_ = BufferBytes;
    alignas(64) unsigned char bytes_[BufferBytes];
};

// Deals attempts for a board whose set-up (Constrained flags, SeedFirst and
// the definition slots) is complete and stays fixed: it is read once, when
// the dealer is made. Constrained seats are dealt first, each tested as soon
// as it holds its thirteen cards; the attempt stops at the first seat that
// fails, and only a board whose constrained seats all pass is completed,
// sorted and written (through tBoard::AcceptBoard).
class tSecureDealer {
public:
    tSecureDealer(tBoard& board, tSecureRandom& random);

    // One attempt; sets and returns board.Accepted.
    bool DealBoard();

    // The cards placed before any draw, by seat index.
    CardMask Seeded(int seat) const { return seeded_[seat]; }

private:
    tBoard& board_;
    tSecureRandom& random_;
    std::array<CardMask, 4> seeded_{};
    std::array<int, 4> need_{};   // cards to draw, by seat index
    std::array<int, 4> order_{};  // constrained seats first
    int constrainedCount_ = 0;
    CardMask unseeded_ = 0; // the cards every attempt draws from
};

} // namespace zelv
