#pragma once
// The 39 hand patterns of thirteen cards as five-character shape texts
// (" 4432", "10210"), the sorted Yes/No lists a definition divides them
// into, and the length limits the Yes list implies.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zelv {

// In stored order, the order the editor's master list holds them.
extern const std::array<std::string_view, 39> ShapeCatalogue;

// Display order: ascending texts, the blank before the digits.
bool ShapeLess(std::string_view a, std::string_view b);
std::vector<std::string> CatalogueInDisplayOrder();
// Inserts `shape` at its sorted place.
void InsertShapeSorted(std::vector<std::string>& list, const std::string& shape);

struct LengthLimits {
    std::string MinLengthLimit = "0";
    std::string MaxLengthLimit = "13";
};
// Shortest and longest suit length any hand with a pattern in `yes` (a
// sorted list) can have: "0" and "13" for an empty list.
LengthLimits LengthLimitsOf(const std::vector<std::string>& yes);

// Moves the entries of `source` at the indices in `selected` to their
// sorted places in `target`. False, changing nothing, when none is selected.
bool MoveSelectedShapes(std::vector<std::string>& source, std::vector<std::string>& target,
                        const std::vector<int>& selected);

} // namespace zelv
