#include "core/cards/HandValue.h"

#include <algorithm>
#include <functional>

namespace zelv {

std::string PatternOfLengths(const std::array<std::uint8_t, 4>& lengths) {
    auto sorted = lengths;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    std::string s;
    for (auto l : sorted) s += std::to_string(l);
    if (s.size() > 5) s.resize(5);
    return s;
}

const std::array<std::string, PatternCount>& PatternStrings() {
    static const std::array<std::string, PatternCount> strings = [] {
        std::array<std::string, PatternCount> t;
        for (int s = 0; s <= 13; ++s)
            for (int h = 0; s + h <= 13; ++h)
                for (int d = 0; s + h + d <= 13; ++d)
                    t[static_cast<std::size_t>(PatternId(s, h, d))] =
                        PatternOfLengths({static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(h),
                                          static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(13 - s - h - d)});
        return t;
    }();
    return strings;
}

int PatternIdOf(const std::string& pattern) {
    const auto& strings = PatternStrings();
    const auto at = std::find(strings.begin(), strings.end(), pattern);
    return at == strings.end() ? -1 : static_cast<int>(at - strings.begin());
}

std::uint64_t PatternsOfYesList(const std::vector<std::string>& yesShapes) {
    if (NamesEveryPattern(yesShapes)) return (std::uint64_t{1} << PatternCount) - 1;
    std::uint64_t bits = 0;
    for (const std::string& shape : yesShapes)
        if (const int id = PatternIdOf(shape); id >= 0) bits |= std::uint64_t{1} << id;
    return bits;
}

} // namespace zelv
