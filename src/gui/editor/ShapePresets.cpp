#include "gui/editor/ShapePresets.h"

#include <algorithm>

namespace zelv {

std::vector<std::string> BalancedShapes() { return {"4333", "4432", "5332"}; }

std::vector<std::string> SemiBalancedShapes() {
    std::vector<std::string> shapes = BalancedShapes();
    shapes.insert(shapes.end(), {"5422", "6322"});
    return shapes;
}

ShapeLists SplitShapes(const std::vector<std::string>& yes, const std::vector<std::string>& no,
                       const std::vector<std::string>& wanted) {
    auto pattern = [](const std::string& entry) {
        const auto first = entry.find_first_not_of(' ');
        return first == std::string::npos ? std::string() : entry.substr(first);
    };
    std::vector<std::string> all = yes;
    all.insert(all.end(), no.begin(), no.end());
    ShapeLists lists;
    for (const std::string& entry : all)
        (std::find(wanted.begin(), wanted.end(), pattern(entry)) != wanted.end() ? lists.Yes : lists.No)
            .push_back(entry);
    return lists;
}

} // namespace zelv
