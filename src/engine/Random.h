#pragma once
// The process-wide 32-bit linear congruential generator the dealer draws
// from. Its exact sequence is part of the file format: a board dealt from a
// given RandSeed must come out the same on every machine.
#include <cstdint>

namespace zelv {

extern std::uint32_t RandSeed;

inline constexpr std::uint32_t RandMultiplier = 134775813u; // 0x08088405

// One step of the generator, then the upper 32 bits of n * RandSeed: 0..n-1.
inline std::uint32_t Random(std::uint32_t n) {
    RandSeed = RandSeed * RandMultiplier + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(n) * RandSeed) >> 32);
}

// Seeds RandSeed from the low 32 bits of a high-resolution clock.
void Randomize();

} // namespace zelv
