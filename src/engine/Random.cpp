#include "engine/Random.h"

#include <chrono>

namespace zelv {

std::uint32_t RandSeed = 0;

void Randomize() {
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    RandSeed = static_cast<std::uint32_t>(ticks);
}

} // namespace zelv
