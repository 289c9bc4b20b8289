#pragma once
// The sample hand definitions shipped in "Hand Definitions", built the way a
// user would build them in the editor: shapes moved to the No list, length
// fields reset to the new limits, then the wanted ranges typed in.
#include "core/definitions/DefinitionText.h"
#include "core/definitions/ShapeCatalogue.h"

#include <string>
#include <vector>

namespace zelv::samples {

struct Sample {
    std::string Name; // definition name: the file name without ".HDS"
    DefinitionText Defn;
};

inline DefinitionText WithShapes(const std::vector<std::string>& yes) {
    DefinitionText d = DefinitionText::Defaults();
    d.YesShapes.clear();
    d.NoShapes.clear();
    for (const auto& s : CatalogueInDisplayOrder()) {
        bool wanted = false;
        for (const auto& y : yes) wanted = wanted || y == s;
        InsertShapeSorted(wanted ? d.YesShapes : d.NoShapes, s);
    }
    const LengthLimits limits = LengthLimitsOf(d.YesShapes);
    for (int s = 0; s < 4; ++s) {
        d.Limit(SuitLimitIndex(GroupLength, s, false)) = limits.MinLengthLimit;
        d.Limit(SuitLimitIndex(GroupLength, s, true)) = limits.MaxLengthLimit;
    }
    return d;
}

inline std::vector<std::string> AllShapes() { return CatalogueInDisplayOrder(); }

inline void Points(DefinitionText& d, const char* min, const char* max) {
    d.Limit(LimMinPoints) = min;
    d.Limit(LimMaxPoints) = max;
}

inline void SuitRange(DefinitionText& d, LimitGroup group, int suit, const char* min, const char* max) {
    d.Limit(SuitLimitIndex(group, suit, false)) = min;
    d.Limit(SuitLimitIndex(group, suit, true)) = max;
}

inline std::vector<Sample> SampleDefinitions() {
    std::vector<Sample> list;
    const int S = 0, H = 1, D = 2, C = 3;

    { // A strong no-trump opening: balanced, 15 to 17 points.
        DefinitionText d = WithShapes({" 4333", " 4432", " 5332"});
        Points(d, "15", "17");
        list.push_back({"1NT 15-17", d});
    }
    { // A 2NT opening: balanced, 20 to 21 points.
        DefinitionText d = WithShapes({" 4333", " 4432", " 5332"});
        Points(d, "20", "21");
        list.push_back({"2NT 20-21", d});
    }
    { // A strong artificial opening of 22 or more, any shape.
        DefinitionText d = WithShapes(AllShapes());
        Points(d, "22", "37");
        list.push_back({"2C Strong 22+", d});
    }
    { // A weak two in spades: six spades with two of the top five
      // honours, 5 to 10 points, no four-card heart suit, no void.
        DefinitionText d = WithShapes({" 6322", " 6331", " 6421"});
        Points(d, "5", "10");
        SuitRange(d, GroupLength, S, "6", "6");
        SuitRange(d, GroupLength, H, "1", "3");
        SuitRange(d, GroupTop5, S, "2", "5");
        d.Hon3 = false;
        list.push_back({"Weak 2S", d});
    }
    { // Any 4-4-4-1 hand with opening values.
        DefinitionText d = WithShapes({" 4441"});
        Points(d, "11", "15");
        list.push_back({"4-4-4-1", d});
    }
    { // A three-level preempt: seven hearts headed by two of the top three
      // honours, 5 to 9 points.
        DefinitionText d = WithShapes({" 7222", " 7321", " 7330", " 7411", " 7420"});
        Points(d, "5", "9");
        SuitRange(d, GroupLength, H, "7", "7");
        SuitRange(d, GroupTop3, H, "2", "3");
        for (int s : {S, D, C}) SuitRange(d, GroupLength, s, "0", "4");
        list.push_back({"Preempt 3H", d});
    }
    { // A one-spade opening: five or more spades, 12 to 19 points.
        DefinitionText d = WithShapes(AllShapes());
        Points(d, "12", "19");
        SuitRange(d, GroupLength, S, "5", "13");
        list.push_back({"1S Opener", d});
    }
    { // Responder with nothing much: 0 to 5 points and no five-card suit.
        DefinitionText d = WithShapes({" 4333", " 4432", " 4441"});
        Points(d, "0", "5");
        list.push_back({"Weak Balanced 0-5", d});
    }
    (void)D;
    (void)C;
    return list;
}

} // namespace zelv::samples
