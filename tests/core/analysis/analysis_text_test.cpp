// How an analysis is written: contracts and par for people, tags for
// programs reading PBN.
#include "core/analysis/AnalysisText.h"

#include <gtest/gtest.h>

using namespace zelv;

namespace {

BoardAnalysis Sample(ParResult par) {
    BoardAnalysis a;
    // Rows N, S, E, W; columns NT, S, H, D, C.
    a.Tricks = {{{9, 10, 6, 5, 4}, {8, 10, 6, 5, 4}, {4, 3, 7, 8, 9}, {4, 3, 7, 8, 13}}};
    a.Par = std::move(par);
    return a;
}

} // namespace

TEST(AnalysisText, Contracts_levelStrainDoubledAndResult) {
    EXPECT_EQ(ContractText({4, SpadeStrain, false, "N", 0}, StrainStyle::Signs), "4\u2660");
    EXPECT_EQ(ContractText({3, NoTrump, false, "NS", 1}, StrainStyle::Letters), "3NT+1");
    EXPECT_EQ(ContractText({5, DiamondStrain, true, "EW", -2}, StrainStyle::Signs), "5\u2666x-2");
    EXPECT_EQ(ContractText({6, ClubStrain, false, "W", 0}, StrainStyle::Letters), "6C");
    EXPECT_EQ(ContractText({2, HeartStrain, false, "S", 0}, StrainStyle::Signs), "2\u2665");
}

TEST(AnalysisText, ParLine_scoreFromNorthSouthAndEveryContract) {
    EXPECT_EQ(ParLine({620, {{4, SpadeStrain, false, "N", 0}}}, StrainStyle::Signs), "Par +620: 4\u2660 by N");
    EXPECT_EQ(ParLine({-400, {{3, NoTrump, false, "EW", 0}, {5, ClubStrain, false, "EW", 0}}}, StrainStyle::Letters),
              "Par -400: 3NT by EW, 5C by EW");
    EXPECT_EQ(ParLine({0, {}}, StrainStyle::Signs), "Par 0: passed out");
}

TEST(AnalysisText, PbnTags_inOrderWithTwentyRows) {
    const std::string tags = PbnAnalysisTags(Sample({620, {{4, SpadeStrain, false, "NS", 0}}}));
    EXPECT_EQ(tags, "[DoubleDummyTricks \"9A6548A654437894378D\"]\r\n"
                    "[OptimumResultTable \"Declarer;Denomination\\2R;Result\\2R\"]\r\n"
                    "N NT 9\r\nN S 10\r\nN H 6\r\nN D 5\r\nN C 4\r\n"
                    "S NT 8\r\nS S 10\r\nS H 6\r\nS D 5\r\nS C 4\r\n"
                    "E NT 4\r\nE S 3\r\nE H 7\r\nE D 8\r\nE C 9\r\n"
                    "W NT 4\r\nW S 3\r\nW H 7\r\nW D 8\r\nW C 13\r\n"
                    "[OptimumScore \"NS 620\"]\r\n"
                    "[ParContract \"NS 4S\"]\r\n");
}

TEST(AnalysisText, PbnParContract_sacrificesSeveralAndPassedOut) {
    auto parTag = [](const ParResult& par) {
        const std::string tags = PbnAnalysisTags(Sample(par));
        const std::size_t at = tags.find("[OptimumScore");
        return tags.substr(at);
    };
    EXPECT_EQ(parTag({300, {{5, DiamondStrain, true, "EW", -2}}}),
              "[OptimumScore \"NS 300\"]\r\n[ParContract \"EW 5DX\"]\r\n");
    EXPECT_EQ(parTag({-430, {{4, NoTrump, false, "W", 1}, {5, ClubStrain, false, "EW", 0}}}),
              "[OptimumScore \"NS -430\"]\r\n[ParContract \"W 4NT, EW 5C\"]\r\n");
    EXPECT_EQ(parTag({0, {}}), "[OptimumScore \"NS 0\"]\r\n[ParContract \"Pass\"]\r\n");
}

// A par DDS could not work out is said as such wherever par is shown, and
// PBN gets the tricks without par tags rather than a wrong par.
TEST(AnalysisText, ParNotComputed_saysWhyAndLeavesOutTheParTags) {
    ParResult failed;
    failed.Error = "the double-dummy solver says \"Unknown fault\" (DDS error -1)";
    const BoardAnalysis a = Sample(failed);
    EXPECT_EQ(ParText(a.Par, StrainStyle::Signs), "par not computed: " + failed.Error);
    EXPECT_EQ(ParLine(a.Par, StrainStyle::Letters), "Par not computed: " + failed.Error);
    EXPECT_NE(AnalysisTextBlock(a, Board{}).find("Par not computed: " + failed.Error + "\n"), std::string::npos);
    const std::string tags = PbnAnalysisTags(a);
    EXPECT_EQ(tags, PbnAnalysisTags(Sample({620, {{4, SpadeStrain, false, "NS", 0}}})).substr(0, tags.size()));
    EXPECT_EQ(tags.find("[OptimumScore"), std::string::npos);
    EXPECT_EQ(tags.find("[ParContract"), std::string::npos);
    EXPECT_EQ(ParNotComputedNote("X.PBN", 7, a.Par, true), "X.PBN: board 7: par not computed: " + failed.Error +
                                                               "; its game has no OptimumScore or ParContract tag");
    EXPECT_EQ(ParNotComputedNote("X.PBN", 7, Sample({0, {}}).Par, true), "");
}
