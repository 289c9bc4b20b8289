#include "core/dealing/DealEngine.h"
#include "core/definitions/DefinitionText.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace zelv;

namespace {
class Setup : public ::testing::Test {
  protected:
    test::TempDir dir;
    DealEngine b;
    std::string error;

    std::string Write(const std::string& name, const std::string& text) {
        std::string path = dir.file(name + ".HDS");
        test::WriteText(path, text);
        return path;
    }
    DefinitionText Def() { return DefinitionText::Defaults(); }
    DealSetup NorthOnly(std::array<std::string, 5> names) {
        DealSetup s;
        s[North].Constrained = true;
        s[North].Names = names;
        return s;
    }
};
} // namespace

TEST_F(Setup, readDefinitionTakesDefaultsForMissingKeys) {
    std::string path = Write("BARE", "[YesShapes]\r\nY0= 4432\r\nY1=5332\r\n[Hand]\r\nMinPoints= 12 \r\n");
    HandDefinition slot;
    ASSERT_TRUE(DealEngine::ReadDefinition(path, slot, &error)) << error;
    EXPECT_TRUE(slot.Defined);
    EXPECT_EQ(slot.YesShapes, (std::vector<std::string>{"4432", "5332"}));
    EXPECT_EQ(slot.MinPoints, 12);
    EXPECT_EQ(slot.MaxPoints, 34);
    EXPECT_EQ(slot.MaxAK, 12);
    EXPECT_EQ(slot.MaxAKQ, 24);
    EXPECT_EQ(slot.MaxSPoints, 10);
    EXPECT_EQ(slot.MaxSLength, 10);
    EXPECT_EQ(slot.MaxCLength, 10);
    EXPECT_EQ(slot.MaxTop3D, 3);
    EXPECT_EQ(slot.MaxTop5H, 5);
    EXPECT_EQ(slot.MustHaveCount(), 0);
}

TEST_F(Setup, limitsKeepTheirLowEightBitsAndCardsReadAsFlags) {
    std::string path =
        Write("ODD", "[YesShapes]\nY0=4333\n[Hand]\nMaxPoints=300\nMinAK=256\n[Cards]\nSA=2\nHK=x\nC2=0x1\n");
    HandDefinition slot;
    ASSERT_TRUE(DealEngine::ReadDefinition(path, slot, &error)) << error;
    EXPECT_EQ(slot.MaxPoints, 44);
    EXPECT_EQ(slot.MinAK, 0);
    EXPECT_TRUE(slot.MustHave[1]);
    EXPECT_FALSE(slot.MustHave[15]);
    EXPECT_TRUE(slot.MustHave[52]);
}

TEST_F(Setup, aLimitThatIsNotAWholeNumberStopsLoading) {
    Write("BAD", "[YesShapes]\nY0=4333\n[Suit]\nMaxHPoints=1.\n");
    std::string where;
    EXPECT_FALSE(b.LoadSetup(NorthOnly({"BAD"}), dir.path(), &error, &where));
    EXPECT_EQ(error, "'1.' is not a valid integer value");
    EXPECT_EQ(where, "MaxHPoints in " + dir.file("BAD.HDS"));
}

TEST_F(Setup, theEditorsFileLoadsWithEveryPatternAccepted) {
    test::WriteDefinition(dir.path(), "ANY", Def());
    ASSERT_TRUE(b.LoadSetup(NorthOnly({"ANY"}), dir.path(), &error)) << error;
    const HandDefinition& slot = b.Slot(North, 0);
    ASSERT_EQ(slot.YesShapes.size(), 39u);
    EXPECT_EQ(slot.YesShapes.front(), "4333");
    EXPECT_EQ(slot.MaxSLength, 13);
}

TEST_F(Setup, positionsWithoutNameAreNotDefinedAndSeatsWithoutConditionsUntouched) {
    test::WriteDefinition(dir.path(), "A", Def());
    DefinitionText withCard = Def();
    withCard.Cards[1] = true;
    test::WriteDefinition(dir.path(), "SEED", withCard);
    DealSetup s = NorthOnly({"", "A", "", "a", ""});
    s[South].Names = {"missing", "", "", "", ""}; // South allows any hand
    ASSERT_TRUE(b.LoadSetup(s, dir.path(), &error)) << error;
    EXPECT_FALSE(b.Slot(North, 0).Defined);
    EXPECT_TRUE(b.Slot(North, 1).Defined);
    EXPECT_FALSE(b.Slot(North, 2).Defined);
    EXPECT_TRUE(b.Slot(North, 3).Defined); // name matched without regard to case
    EXPECT_FALSE(b.Slot(North, 4).Defined);
    EXPECT_FALSE(b.Slot(South, 0).Defined);
    EXPECT_TRUE(b.IsConstrained(North));
    EXPECT_FALSE(b.IsConstrained(South));
    // An empty first drop-down seeds nothing, even where an earlier set-up did.
    b.SeedFirst = true;
    ASSERT_TRUE(b.LoadSetup(NorthOnly({"SEED"}), dir.path(), &error));
    ASSERT_TRUE(b.Slot(North, 0).MustHave[1]);
    ASSERT_TRUE(b.LoadSetup(NorthOnly({"", "A"}), dir.path(), &error));
    EXPECT_FALSE(b.Slot(North, 0).MustHave[1]);
}

// A definition that accepts no pattern loads as one that accepts no hand
// for any other reason: the set-up as a whole is judged, as any other.
TEST_F(Setup, aDefinitionThatAcceptsNoPatternLoadsAndAcceptsNoHand) {
    DefinitionText none = Def();
    none.NoShapes = none.YesShapes;
    none.YesShapes.clear();
    test::WriteDefinition(dir.path(), "NONE", none);
    test::WriteDefinition(dir.path(), "ANY", Def());
    ASSERT_TRUE(b.LoadSetup(NorthOnly({"ANY", "NONE"}), dir.path(), &error)) << error;
    EXPECT_TRUE(b.Slot(North, 1).Defined);
    EXPECT_TRUE(b.Slot(North, 1).YesShapes.empty());
    b.Random = ClassicRandom(9);
    for (int i = 0; i < 50; ++i) {
        b.DealBoard();
        EXPECT_TRUE(b.Accepted); // the first alternative takes every hand
    }
}

// Numbers outside 0 to 255 keep their low 8 bits, and Yes entries that are
// no pattern are passed over; both are said, in the file's own words.
TEST_F(Setup, limitsOutsideAByteAndEntriesThatAreNoPatternAreSaidAsTheFileHasThem) {
    std::string path = Write("ODD", "[YesShapes]\nY0= 4332\nY1=abcd\nY2=4333\n[Hand]\nMinPoints=-5\nMaxPoints=273\n"
                                    "MinAK=0x111\nMaxAK=255\n[Suit]\nMaxSPoints=0\n");
    HandDefinition slot;
    ASSERT_TRUE(DealEngine::ReadDefinition(path, slot, &error)) << error;
    EXPECT_EQ(slot.MinPoints, 251);
    EXPECT_EQ(slot.MaxPoints, 17);
    EXPECT_EQ(slot.YesShapes, (std::vector<std::string>{"4332", "abcd", "4333"}));
    EXPECT_EQ(
        DefinitionWarnings(slot, "ODD.HDS"),
        (std::vector<std::string>{"MinPoints=-5 in ODD.HDS is read as 251", "MaxPoints=273 in ODD.HDS is read as 17",
                                  "MinAK=0x111 in ODD.HDS is read as 17",
                                  "Y0=4332 in ODD.HDS is not a hand pattern (such as 4432 or 5332) and is "
                                  "passed over",
                                  "Y1=abcd in ODD.HDS is not a hand pattern (such as 4432 or 5332) and is "
                                  "passed over"}));
    ASSERT_TRUE(b.LoadSetup(NorthOnly({"odd", "ODD"}), dir.path(), &error)) << error;
    EXPECT_EQ(SetupWarnings(b, NorthOnly({"odd", "ODD"}), dir.path()).size(), 5u); // the file once
    // A file of nothing but junk names its first few entries and counts the rest.
    std::string junk = "[YesShapes]\n";
    for (int i = 0; i < 12; ++i) junk += "Y" + std::to_string(i) + "=x\n";
    ASSERT_TRUE(DealEngine::ReadDefinition(Write("JUNK", junk), slot, &error));
    const std::vector<std::string> said = DefinitionWarnings(slot, "JUNK.HDS");
    ASSERT_EQ(said.size(), 6u);
    EXPECT_EQ(said.back(), "and 7 more entries of the Yes list in JUNK.HDS that are not hand patterns");
}

TEST_F(Setup, refusesAMissingDefinitionFile) {
    EXPECT_FALSE(b.LoadSetup(NorthOnly({"GONE"}), dir.path(), &error));
    EXPECT_NE(error.find("not found"), std::string::npos) << error;
    EXPECT_NE(error.find("GONE.HDS"), std::string::npos) << error;
}

TEST_F(Setup, refusesMoreThanThirteenMustHaveCards) {
    Write("FOURTEEN", "[YesShapes]\nY0=4333\n[Cards]\nSA=1\nSK=1\nSQ=1\nSJ=1\nST=1\nS9=1\nS8=1\nS7=1\nS6=1\nS5=1\n"
                      "S4=1\nS3=1\nS2=1\nHA=1\n");
    b.SeedFirst = true;
    EXPECT_FALSE(b.LoadSetup(NorthOnly({"FOURTEEN"}), dir.path(), &error));
    EXPECT_NE(error.find("14 must-have cards"), std::string::npos) << error;
    // Unseeded, or as a later choice, it only never passes.
    test::WriteDefinition(dir.path(), "ANY", Def());
    EXPECT_TRUE(b.LoadSetup(NorthOnly({"ANY", "FOURTEEN"}), dir.path(), &error)) << error;
    b.SeedFirst = false;
    EXPECT_TRUE(b.LoadSetup(NorthOnly({"FOURTEEN"}), dir.path(), &error)) << error;
}

TEST_F(Setup, withSeedingTwoFirstDefinitionsMayNotShareACard) {
    DefinitionText a = Def(), c = Def();
    a.Cards[15] = true; // HK
    c.Cards[15] = true;
    c.Cards[1] = true;
    test::WriteDefinition(dir.path(), "KINGN", a);
    test::WriteDefinition(dir.path(), "KINGE", c);
    DealSetup s = NorthOnly({"KINGN"});
    s[East].Constrained = true;
    s[East].Names = {"KINGE", "", "", "", ""};
    b.SeedFirst = true;
    EXPECT_FALSE(b.LoadSetup(s, dir.path(), &error));
    EXPECT_NE(error.find("North's first definition \"KINGN\""), std::string::npos) << error;
    EXPECT_NE(error.find("East's first definition \"KINGE\""), std::string::npos) << error;
    EXPECT_NE(error.find("the king of hearts (HK)"), std::string::npos) << error;
    // Without seeding it is only a set-up that never deals.
    b.SeedFirst = false;
    EXPECT_TRUE(b.LoadSetup(s, dir.path(), &error)) << error;
    // As second choices the cards are not seeded, so they may overlap.
    s[East].Names = {"", "KINGE", "", "", ""};
    b.SeedFirst = true;
    EXPECT_TRUE(b.LoadSetup(s, dir.path(), &error)) << error;
}

TEST_F(Setup, decimalAndHexadecimalLimitsKeepTheSameLowBits) {
    std::string path = Write("HUGE", "[YesShapes]\nY0=4333\n[Hand]\nMaxPoints=99999999999\nMaxAK=0xFFFFFFFF\n");
    HandDefinition slot;
    ASSERT_TRUE(DealEngine::ReadDefinition(path, slot, &error)) << error;
    EXPECT_EQ(slot.MaxPoints, 255);
    EXPECT_EQ(slot.MaxAK, 255);
}

TEST_F(Setup, aDefinitionWithAByteOrderMarkKeepsItsShapesAndAPipeIsRefusedAsSuch) {
    Write("BOM", "\xEF\xBB\xBF[YesShapes]\r\nY0= 4333\r\n[Hand]\r\nMinPoints=15\r\n");
    ASSERT_TRUE(b.LoadSetup(NorthOnly({"BOM"}), dir.path(), &error)) << error;
    EXPECT_EQ(b.Slot(North, 0).YesShapes, (std::vector<std::string>{"4333"}));
    EXPECT_EQ(b.Slot(North, 0).MinPoints, 15);

    ASSERT_EQ(::mkfifo(dir.file("PIPE.HDS").c_str(), 0600), 0);
    EXPECT_FALSE(b.LoadSetup(NorthOnly({"pipe"}), dir.path(), &error));
    EXPECT_EQ(error, dir.file("PIPE.HDS") + " is not a regular file");
}

TEST_F(Setup, aLongShapeListMeansWhatItNamesAndThirtyNineEntriesMeanEveryPattern) {
    std::string many = "[YesShapes]\n";
    for (int i = 0; i < 50; ++i) many += "Y" + std::to_string(i) + "=" + (i % 10 == 3 ? "4333" : "nonsense") + "\n";
    HandDefinition slot;
    ASSERT_TRUE(DealEngine::ReadDefinition(Write("MANY", many), slot, &error)) << error;
    EXPECT_EQ(slot.YesShapes, (std::vector<std::string>{"4333"}));
    std::string all = "[YesShapes]\n";
    for (int i = 0; i < 39; ++i) all += "Y" + std::to_string(i) + "=nonsense\n";
    ASSERT_TRUE(DealEngine::ReadDefinition(Write("ALL", all), slot, &error)) << error;
    EXPECT_EQ(slot.YesShapes.size(), 39u);
}
