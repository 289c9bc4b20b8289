#include "engine/Random.h"

#include <chrono>

namespace zelv {

tRandom tRandom::Randomized() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return tRandom(static_cast<std::uint32_t>(ticks));
}

} // namespace zelv
