#include "core/dealing/ClassicRandom.h"

#include <chrono>

namespace zelv {

ClassicRandom ClassicRandom::Randomized() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return ClassicRandom(static_cast<std::uint32_t>(ticks));
}

} // namespace zelv
