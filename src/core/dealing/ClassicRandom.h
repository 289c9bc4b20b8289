#pragma once
// The 32-bit linear congruential generator the classic dealer draws from.
// Its exact sequence is part of the file format: boards dealt from a given
// seed must come out the same on every machine. It is a plain value: whoever
// deals owns one (a run, a test, the application's one for the session).
#include <cstdint>

namespace zelv {

inline constexpr std::uint32_t RandMultiplier = 134775813u; // 0x08088405
// From any seed the generator comes back to it after this many steps, and
// not before: its multiplier is one more than a multiple of 4 and its
// increment odd, so every 32-bit seed lies on its one cycle.
inline constexpr std::uint64_t RandPeriod = std::uint64_t{1} << 32;

struct ClassicRandom {
    std::uint32_t Seed = 0;

    constexpr ClassicRandom() = default;
    constexpr explicit ClassicRandom(std::uint32_t seed) : Seed(seed) {}

    // One step of the generator, then the upper 32 bits of n * Seed: 0..n-1.
    std::uint32_t Random(std::uint32_t n) {
        Seed = Seed * RandMultiplier + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(n) * Seed) >> 32);
    }

    // Seeded from the low 32 bits of a high-resolution clock.
    static ClassicRandom Randomized();
};

} // namespace zelv
