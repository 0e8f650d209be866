#include "import/Delimited.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zenka::dataimport {
namespace {

using ::testing::HasSubstr;

TEST(Delimited, SeparatorsUnitsAndColumns) {
    struct Case {
        const char* what;
        std::string text;
        LengthUnit unit;
        double secondDepth;
        std::string secondSoil;
    };
    const Case cases[] = {
        {"CSV, unit in brackets", "Depth (ft),N,Soil code\n0,2,3\n2.5,5,3\n", LengthUnit::Feet, 2.5,
         "3"},
        {"semicolons and decimal commas", "Tiefe;Depth [m];SPT N;USCS\n;0;2;SP\n;1,5;7;SM\n",
         LengthUnit::Metres, 1.5, "SM"},
        {"tabs, header after a blank line",
         "\n\nDepth, m\tBlows\tDescription\r\n0\t1\tPEAT\r\n"
         "1.5\t4\tSoft CLAY\r\n",
         LengthUnit::Metres, 1.5, "Soft CLAY"},
        {"quoted fields", "\"Depth (ft)\",\"N\",\"Soil\"\n0,2,\"Sand, fine\"\n5,9,\"Clay\"\n",
         LengthUnit::Feet, 5, "Clay"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DataFile f = readDelimited(c.text);
        ASSERT_TRUE(f.error.empty()) << f.error;
        const Borehole& b = f.boreholes.at(0);
        EXPECT_EQ(b.depthUnit, c.unit);
        ASSERT_EQ(b.tests.size(), 2u);
        EXPECT_DOUBLE_EQ(b.tests[1].top, c.secondDepth);
        ASSERT_EQ(b.strata.size(), 2u);
        EXPECT_EQ(b.strata[1].classification, c.secondSoil);
        EXPECT_DOUBLE_EQ(*b.strata[0].base, c.secondDepth);
    }
}

TEST(Delimited, UnitChosenByTheEngineerWhenTheHeaderHasNone) {
    const std::string rows = "0\t2\t3\n1.5\t4\t3\n";
    const DataFile none = readDelimited(rows);
    EXPECT_EQ(none.boreholes.at(0).depthUnit, LengthUnit::Unknown);
    bool asked = false;
    for (const Problem& p : none.problems)
        asked = asked || p.message.find("unit") != std::string::npos;
    EXPECT_TRUE(asked);
    DelimitedOptions o;
    o.depthUnit = LengthUnit::Feet;
    o.boreholeName = "TB-7";
    const DataFile chosen = readDelimited(rows, o);
    EXPECT_EQ(chosen.boreholes.at(0).depthUnit, LengthUnit::Feet);
    EXPECT_EQ(chosen.boreholes.at(0).name, "TB-7");
    EXPECT_EQ(chosen.boreholes.at(0).tests.size(), 2u);
}

TEST(Delimited, RowsWithoutDepthOrNAreListedAndShortDrivesScaled) {
    const DataFile f = readDelimited("Depth (m),N,Soil\n"
                                     "0,2,3\n"
                                     "note,,\n"
                                     "1.5,,3\n"
                                     "3.0,50/75mm,3\n"
                                     "4.5,50/3in,3\n"
                                     "6.0,R,3\n");
    const auto& t = f.boreholes.at(0).tests;
    ASSERT_EQ(t.size(), 3u);
    EXPECT_TRUE(t[1].refusal);
    EXPECT_DOUBLE_EQ(*t[1].n, 100); // 50 blows for 75 mm: 200, capped
    EXPECT_DOUBLE_EQ(*t[2].n, 100); // 50 for 76.2 mm
    int skipped = 0;
    for (const Problem& p : f.problems) skipped += p.message.find("skipped") != std::string::npos;
    EXPECT_EQ(skipped, 3);
}

TEST(Delimited, AHeaderWithoutDepthAndNIsRefused) {
    EXPECT_THAT(readDelimited("Name,Value\na,1\n").error, HasSubstr("depth"));
    EXPECT_FALSE(readDelimited("  \n\n").error.empty());
}

} // namespace
} // namespace zenka::dataimport
