#pragma once
// The keys of a hand definition file that hold numbers, in written order,
// with the text each reader takes when the key is absent.
#include <array>
#include <string_view>

namespace zelv {

struct LimitKey {
    std::string_view Section; // "Hand" or "Suit"
    std::string_view Key;     // file key, e.g. "MaxSLength"
    std::string_view Default; // text used when the key is absent
};

inline constexpr int LimitCount = 38;

// Hand keys first, then the four Suit groups (points, lengths, top 3, top 5),
// each suit by suit, minimum before maximum.
extern const std::array<LimitKey, LimitCount> LimitKeys;

// Index into LimitKeys of a suit group's minimum; the maximum follows it.
enum LimitGroup : int { GroupPoints = 6, GroupLength = 14, GroupTop3 = 22, GroupTop5 = 30 };
constexpr int SuitLimitIndex(LimitGroup group, int suit, bool maximum) { return group + 2 * suit + (maximum ? 1 : 0); }
enum HandLimit : int { LimMinPoints = 0, LimMaxPoints, LimMinAK, LimMaxAK, LimMinAKQ, LimMaxAKQ };

inline constexpr std::string_view SectionYesShapes = "YesShapes";
inline constexpr std::string_view SectionNoShapes = "NoShapes";
inline constexpr std::string_view SectionHand = "Hand";
inline constexpr std::string_view SectionSuit = "Suit";
inline constexpr std::string_view SectionCards = "Cards";
inline constexpr std::string_view SectionChecks = "Checks";

} // namespace zelv
