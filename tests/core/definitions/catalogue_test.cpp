#include "core/dealing/DealEngine.h"
#include "core/definitions/ShapeCatalogue.h"

#include <gtest/gtest.h>
#include <set>

using namespace zelv;

TEST(ShapeCatalogue, holdsEveryPatternOnceInStoredOrder) {
    EXPECT_EQ(ShapeCatalogue.front(), " 4432");
    EXPECT_EQ(ShapeCatalogue[1], " 4333");
    EXPECT_EQ(ShapeCatalogue[32], "10210");
    EXPECT_EQ(ShapeCatalogue.back(), "13000");
    std::set<std::string> engine(PatternStrings().begin(), PatternStrings().end());
    std::set<std::string> trimmed;
    for (auto s : ShapeCatalogue) {
        ASSERT_EQ(s.size(), 5u);
        trimmed.insert(std::string(s[0] == ' ' ? s.substr(1) : s));
    }
    EXPECT_EQ(trimmed, engine);
}

TEST(ShapeCatalogue, displayOrderPutsTheBlankBeforeTheDigits) {
    std::vector<std::string> expected = {" 4333", " 4432", " 4441", " 5332", " 5422", " 5431", " 5440", " 5521",
                                         " 5530", " 6322", " 6331", " 6421", " 6430", " 6511", " 6520", " 6610",
                                         " 7222", " 7321", " 7330", " 7411", " 7420", " 7510", " 7600", " 8221",
                                         " 8311", " 8320", " 8410", " 8500", " 9211", " 9220", " 9310", " 9400",
                                         "10111", "10210", "10300", "11110", "11200", "12100", "13000"};
    EXPECT_EQ(CatalogueInDisplayOrder(), expected);
}

struct LimitCase {
    std::vector<std::string> Yes;
    std::string Min, Max;
};
class Limits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(Limits, followTheAcceptedPatterns) {
    LengthLimits l = LengthLimitsOf(GetParam().Yes);
    EXPECT_EQ(l.MinLengthLimit, GetParam().Min);
    EXPECT_EQ(l.MaxLengthLimit, GetParam().Max);
}

INSTANTIATE_TEST_SUITE_P(Examples, Limits,
                         ::testing::Values(LimitCase{{" 4333", " 4432"}, "2", "4"}, LimitCase{{"13000"}, "0", "13"},
                                           LimitCase{{" 4333"}, "3", "4"}, LimitCase{{}, "0", "13"},
                                           LimitCase{{" 5332", " 5431"}, "1", "5"},
                                           LimitCase{CatalogueInDisplayOrder(), "0", "13"},
                                           LimitCase{{" 4441", " 9211", "10111"}, "1", "10"}));

TEST(MoveSelectedShapes, selectedEntriesGoToTheirSortedPlaces) {
    std::vector<std::string> yes = CatalogueInDisplayOrder(), no;
    ASSERT_TRUE(MoveSelectedShapes(yes, no, {0}));
    EXPECT_EQ(yes.size(), 38u);
    EXPECT_EQ(no, std::vector<std::string>{" 4333"});
    EXPECT_EQ(LengthLimitsOf(yes).MinLengthLimit, "0");
    EXPECT_EQ(LengthLimitsOf(yes).MaxLengthLimit, "13");
    // Everything but 4333 back and 4432 kept: limits 2 and 4.
    std::vector<int> all;
    for (int i = 1; i < static_cast<int>(yes.size()); ++i) all.push_back(i);
    ASSERT_TRUE(MoveSelectedShapes(yes, no, all));
    EXPECT_EQ(yes, std::vector<std::string>{" 4432"});
    ASSERT_TRUE(MoveSelectedShapes(no, yes, {0}));
    EXPECT_EQ(yes, (std::vector<std::string>{" 4333", " 4432"}));
    EXPECT_EQ(LengthLimitsOf(yes).MinLengthLimit, "2");
    EXPECT_EQ(LengthLimitsOf(yes).MaxLengthLimit, "4");
    EXPECT_TRUE(std::is_sorted(no.begin(), no.end()));
    std::set<std::string> both(yes.begin(), yes.end());
    both.insert(no.begin(), no.end());
    EXPECT_EQ(both.size(), 39u);
    EXPECT_EQ(yes.size() + no.size(), 39u);
}

TEST(MoveSelectedShapes, nothingSelectedChangesNothing) {
    std::vector<std::string> yes = CatalogueInDisplayOrder(), no;
    EXPECT_FALSE(MoveSelectedShapes(yes, no, {}));
    EXPECT_FALSE(MoveSelectedShapes(no, yes, {0}));
    EXPECT_FALSE(MoveSelectedShapes(yes, no, {-1, 39}));
    EXPECT_EQ(yes.size(), 39u);
    EXPECT_TRUE(no.empty());
}
