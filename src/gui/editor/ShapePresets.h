#pragma once
// The shape sets a teacher asks for by name, and the Yes and No lists that
// give them: balanced hands are 4-3-3-3, 4-4-3-2 and 5-3-3-2; semi-balanced
// ones add 5-4-2-2 and 6-3-2-2.
#include <string>
#include <vector>

namespace zelv {

std::vector<std::string> BalancedShapes();     // "4333", "4432", "5332"
std::vector<std::string> SemiBalancedShapes(); // the balanced ones, "5422", "6322"

struct ShapeLists {
    std::vector<std::string> Yes, No;
};
// Every entry of `yes` and `no` as they are written (" 4333"), those whose
// pattern is in `wanted` in Yes and the others in No, each in its order.
ShapeLists SplitShapes(const std::vector<std::string>& yes, const std::vector<std::string>& no,
                       const std::vector<std::string>& wanted);

} // namespace zelv
