// The language: C's precedence and associativity, every fault reported
// with its line and column and what was expected, dealer's own examples
// parsed, and the runs: seeds that repeat on any number of threads, a
// condition never met, faults found while dealing.
#include "core/conditions/Parser.h"
#include "core/conditions/Program.h"
#include "core/conditions/ScriptSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace zelv {
namespace {

std::int64_t Constant(const std::string& expression) {
    const Script script = ParseScript("x = " + expression + "\ncondition x\n");
    const Program program(script);
    DealState deal;
    program.Prepare(deal);
    return program.Evaluate(script.Condition, deal);
}

TEST(ScriptLanguage, OperatorsGroupAsInC) {
    // Each expression is also C++; the compiler gives the expected value.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wparentheses"
#define SAME_AS_C(e) EXPECT_EQ(Constant(#e), (e)) << #e
    SAME_AS_C(1 - 2 - 3);
    SAME_AS_C(2 * 3 % 4);
    SAME_AS_C(100 / 10 / 5);
    SAME_AS_C(-7 / 2);
    SAME_AS_C(-7 % 2);
    SAME_AS_C(1 + 2 * 3 - 4 / 2);
    SAME_AS_C(1 ? 0 ? 3 : 2 : 1);
    SAME_AS_C(0 ? 3 : 1 ? 2 : 1);
    SAME_AS_C(1 || 0 ? 5 : 6);
    SAME_AS_C(0 && 0 || 1);
    SAME_AS_C(1 || 0 && 0);
    SAME_AS_C(2 == 2 != 0);
    SAME_AS_C(-2 < -1 <= 0);
    SAME_AS_C(1 + 0 < 1);
    SAME_AS_C(!0 * 2);
    SAME_AS_C(2 - -1);
    SAME_AS_C(3 > 2 == 1 && 4 <= 4);
#undef SAME_AS_C
#pragma GCC diagnostic pop
    EXPECT_EQ(Constant("not 0 and 1 or 0"), 1);
    EXPECT_EQ(Constant("1 /* inner */ + // to the end\n 2 # also\n"), 3);
}

struct Fault {
    std::string Text;
    int Line, Column;
    std::string Says;
};

TEST(ScriptLanguage, FaultsNameTheirLineColumnAndWhatWasExpected) {
    const std::string deep = "condition " + std::string(5000, '(') + "1" + std::string(5000, ')');
    std::string chain = "a0 = 1\n";
    for (int i = 1; i < 1000; ++i) chain += "a" + std::to_string(i) + " = a" + std::to_string(i - 1) + " + 1\n";
    const std::vector<Fault> faults = {
        {"condition hcp(north) >= 10 &&\n   (spades(north) > 3\naction printall", 3, 1, "expected ')'"},
        {"condition hcp(nrth) > 3", 1, 15, "expected a seat"},
        {"condition foo > 3", 1, 11, "'foo' is not defined"},
        {"condition shape(north, 44x)", 1, 24, "expected a shape"},
        {"condition shape(north, 4441 + 5555)", 1, 31, "does not hold 13 cards"},
        {"predeal north SAK\npredeal south SQ, HK, SA", 2, 23, "the ace of spades is predealt twice"},
        {"predeal north SAKQJT98765432, HA", 1, 31, "more than 13 cards"},
        {"predeal north SAX", 1, 15, "'X' in SAX is not a card"},
        {"generate 99999999999", 1, 10, "too large"},
        {"action printes(\"open", 1, 16, "never closed"},
        {"/* open\ncondition 1", 1, 1, "never closed"},
        {"condition 1 $ 2", 1, 13, "unexpected character '$'"},
        {"hcp = 3", 1, 1, "cannot be defined"},
        {"x = 1\nx = 2", 2, 1, "already defined (line 1)"},
        {"action average", 1, 15, "expected an expression"},
        {"action frequency (hcp(north), 10, 5)", 1, 35, "highest value is below the lowest"},
        {"action evalcontract", 1, 8, "'evalcontract' is not supported yet"},
        {"action printall printew", 1, 17, "expected"},
        {"condition hascard(north, ZZ)", 1, 26, "expected a card"},
        {"condition score(vul, 3N, 9)", 1, 22, "expected a contract"},
        {"vulnerable both", 1, 12, "expected none, NS, EW or all"},
        {"altcount 12 1", 1, 10, "counts 0 to 9"},
        {deep, 1, 0, "nest too deeply"},
        {chain, 0, 0, "nests too deeply"},
    };
    for (const Fault& f : faults) {
        Script script;
        std::string error;
        EXPECT_FALSE(ParseScript(f.Text, "f.dl", script, &error)) << f.Text.substr(0, 60);
        EXPECT_NE(error.find(f.Says), std::string::npos) << error;
        if (f.Line > 0 && f.Column > 0)
            EXPECT_EQ(error.rfind("f.dl:" + std::to_string(f.Line) + ":" + std::to_string(f.Column) + ": ", 0), 0u)
                << error;
        else
            EXPECT_EQ(error.rfind("f.dl:", 0), 0u) << error;
    }
}

TEST(ScriptLanguage, DealersExamplesAllParse) {
    const std::filesystem::path folder = "/usr/share/doc/dealer/examples";
    if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "dealer's examples are not installed";
    int parsed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("Descr.", 0) != 0 && name.rfind("Test.", 0) != 0) continue;
        std::ifstream in(entry.path());
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Script script;
        std::string error;
        EXPECT_TRUE(ParseScript(text, name, script, &error)) << error;
        ++parsed;
    }
    EXPECT_GE(parsed, 15);
}

TEST(ScriptRuns, SeedsRepeatOnAnyNumberOfThreads) {
    const std::string script = "condition hcp(north) + hcp(south) >= 26\nproduce 30\naction printoneline\n";
    const std::string one = testing::RunOurs(script, 42, 1);
    auto cards = [](const std::string& out) { return out.substr(0, out.find("Time needed")); };
    EXPECT_EQ(cards(one), cards(testing::RunOurs(script, 42, 2)));
    EXPECT_EQ(cards(one), cards(testing::RunOurs(script, 42, 3)));
    EXPECT_NE(cards(one), cards(testing::RunOurs(script, 43, 2)));
    EXPECT_EQ(testing::ReadOneLiners(one).size(), 30u);
}

TEST(ScriptRuns, NeverMetConditionsAndRuntimeFaultsStopWithAMessage) {
    ScriptRunResult r;
    testing::RunOurs("generate 5000\ncondition hcp(north) > 37\n", 1, 2, &r);
    EXPECT_EQ(r.Status, ScriptRunStatus::NeverMet);
    EXPECT_NE(r.Message.find("never met in 5000 deals"), std::string::npos) << r.Message;

    testing::RunOurs("produce 3\ncondition 10 / (hcp(north) - hcp(north)) > 1\n", 1, 2, &r);
    EXPECT_EQ(r.Status, ScriptRunStatus::Failed);
    EXPECT_EQ(r.Message, "t.dl:2:14: division by zero");

    testing::RunOurs("produce 3\naction printes(2000000000 * 2000000000 * 2000000000)\n", 1, 2, &r);
    EXPECT_EQ(r.Status, ScriptRunStatus::Failed);
    EXPECT_NE(r.Message.find("too large"), std::string::npos) << r.Message;

    testing::RunOurs("predeal spades(north) == 9\npredeal spades(south) == 5\n", 1, 2, &r);
    EXPECT_EQ(r.Status, ScriptRunStatus::BadScript);
    EXPECT_NE(r.Message.find("cannot add up to the 13 cards"), std::string::npos) << r.Message;
}

TEST(ScriptRuns, PredealtCardsStayWhereTheyWere) {
    const std::string out = testing::RunOurs(
        "predeal north SAKQJ, HAKQJ, DAKQJ, CA\npredeal west C2\nproduce 20\naction printoneline\n", 9);
    const std::vector<testing::TextDeal> deals = testing::ReadOneLiners(out);
    ASSERT_EQ(deals.size(), 20u);
    for (const testing::TextDeal& d : deals) {
        EXPECT_EQ(d.Suits[0][0] + d.Suits[0][1] + d.Suits[0][2] + d.Suits[0][3], "AKQJAKQJAKQJA");
        EXPECT_NE(d.Suits[3][3].find('2'), std::string::npos);
    }
    EXPECT_NE(testing::ReadOneLiners(testing::RunOurs("predeal west C2\nproduce 1\naction printoneline\n", 9))[0].Suits,
              deals[0].Suits);
}

} // namespace
} // namespace zelv
