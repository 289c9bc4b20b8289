#include "core/definitions/ShapeCatalogue.h"

#include <algorithm>

namespace zelv {

const std::array<std::string_view, 39> ShapeCatalogue = {
    " 4432", " 4333", " 4441", " 5332", " 5431", " 5422", " 5521", " 5440", " 5530", " 6322", " 6421", " 6331", " 6430",
    " 6511", " 6520", " 6610", " 7321", " 7222", " 7411", " 7420", " 7330", " 7510", " 7600", " 8221", " 8311", " 8320",
    " 8410", " 8500", " 9211", " 9310", " 9220", " 9400", "10210", "10111", "10300", "11110", "11200", "12100", "13000",
};

bool ShapeLess(std::string_view a, std::string_view b) { return a < b; }

std::vector<std::string> CatalogueInDisplayOrder() {
    std::vector<std::string> list(ShapeCatalogue.begin(), ShapeCatalogue.end());
    std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) { return ShapeLess(a, b); });
    return list;
}

void InsertShapeSorted(std::vector<std::string>& list, const std::string& shape) {
    auto at = std::upper_bound(list.begin(), list.end(), shape,
                               [](const std::string& a, const std::string& b) { return ShapeLess(a, b); });
    list.insert(at, shape);
}

LengthLimits LengthLimitsOf(const std::vector<std::string>& yes) {
    LengthLimits limits;
    if (yes.empty()) return limits;
    char shortest = 0;
    for (const auto& s : yes) {
        if (s.empty()) continue;
        if (shortest == 0 || s.back() < shortest) shortest = s.back();
    }
    if (shortest) limits.MinLengthLimit = std::string(1, shortest);
    const std::string& last = yes.back();
    if (last.size() >= 2)
        limits.MaxLengthLimit = last[0] == ' ' ? last.substr(1, 1) : last.substr(0, 2);
    else if (!last.empty())
        limits.MaxLengthLimit = last;
    return limits;
}

bool MoveSelectedShapes(std::vector<std::string>& source, std::vector<std::string>& target,
                        const std::vector<int>& selected) {
    std::vector<bool> chosen(source.size(), false);
    bool any = false;
    for (int i : selected)
        if (i >= 0 && static_cast<std::size_t>(i) < source.size()) chosen[static_cast<std::size_t>(i)] = any = true;
    if (!any) return false;
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (chosen[i])
            InsertShapeSorted(target, source[i]);
        else
            kept.push_back(source[i]);
    }
    source.swap(kept);
    return true;
}

} // namespace zelv
