#pragma once
// A condition across seats that a board must meet besides each seat's own
// definitions ("North-South hold 25 points between them"), checked once the
// seats have accepted their hands. The dealing code only calls it; what it
// says comes from elsewhere (a script's condition, a test).
#include "core/cards/Cards.h"

#include <functional>

namespace zelv {

// Whether four hands (card sets by seat index) meet the condition.
using BoardTest = std::function<bool(const CardMask* hands)>;
// Makes a test for one dealing thread: a test may keep what it has worked
// out about the deal in hand, so threads do not share one.
using BoardCondition = std::function<BoardTest()>;

} // namespace zelv
