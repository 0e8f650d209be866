#include "import/Delimited.h"
#include "import/LogBuilder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

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
        {"CSV, unit in brackets", "Depth (ft),N,Soil code\n0,2,2\n2.5,5,3\n", LengthUnit::Feet, 2.5,
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

TEST(Delimited, RowsSplitAtTheSeparatorOutsideQuotes) {
    using Fields = std::vector<std::string>;
    const std::tuple<const char*, char, Fields> cases[] = {
        {"a,b,,c", ',', {"a", "b", "", "c"}},
        {"  CL , 11 ", ',', {"CL", "11"}},
        {"\"Sandy CLAY, stiff\",12", ',', {"Sandy CLAY, stiff", "12"}},
        {"  \"say \"\"N\"\"\" ;3,5", ';', {"say \"N\"", "3,5"}},
        {"ab\"c\",d", ',', {"ab\"c\"", "d"}}, // a quote inside a field is text
        {"\"open, never closed", ',', {"open, never closed"}},
        {"", '\t', {""}},
    };
    for (const auto& [line, sep, fields] : cases)
        EXPECT_EQ(splitDelimitedRow(line, sep), fields) << line;
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
    // A header alone, without a line break: no rows, and nothing read past the end.
    const DataFile header = readDelimited("Depth (m),N");
    ASSERT_TRUE(header.error.empty()) << header.error;
    EXPECT_TRUE(header.boreholes.at(0).tests.empty());
}

} // namespace
} // namespace zenka::dataimport

namespace zenka::dataimport {
namespace {

TEST(Delimited, ABoreholeColumnSplitsTheRows) {
    struct Case {
        const char* what;
        std::string text;
    };
    // Two holes, B-1 with tests at 1.5 and 3.0, B-2 with one at 1.0, under various headers.
    const Case cases[] = {
        {"LocationID", "LocationID,Depth (m),N,USCS\nB-1,1.5,5,CL\nB-2,1.0,7,SP\nB-1,3.0,9,CL\n"},
        {"Borehole", "Depth (m);Borehole;SPT N\n1,5;B-1;5\n3,0;B-1;9\n1,0;B-2;7\n"},
        {"BH, blank ids continue the hole above",
         "BH\tDepth, m\tBlows\nB-1\t1.5\t5\n\t3.0\t9\nB-2\t1.0\t7\n"},
        {"LOCA_ID", "LOCA_ID,Depth (m),N\nB-1,1.5,5\nB-1,3.0,9\nB-2,1.0,7\n"},
        {"Hole No.", "Hole No.,Depth (m),N\nB-1,1.5,5\nB-1,3.0,9\nB-2,1.0,7\n"},
        {"Boring ID", "Boring ID,Depth (m),N\nB-1,1.5,5\nB-1,3.0,9\nB-2,1.0,7\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DataFile f = readDelimited(c.text);
        ASSERT_TRUE(f.error.empty()) << f.error;
        ASSERT_EQ(f.boreholes.size(), 2u);
        EXPECT_EQ(f.boreholes[0].name, "B-1");
        EXPECT_EQ(f.boreholes[1].name, "B-2");
        ASSERT_EQ(f.boreholes[0].tests.size(), 2u);
        EXPECT_DOUBLE_EQ(*f.boreholes[0].tests[1].n, 9);
        ASSERT_EQ(f.boreholes[1].tests.size(), 1u);
        EXPECT_DOUBLE_EQ(f.boreholes[1].tests[0].top, 1.0);
        // The file's own problems once, not once per borehole.
        for (const Problem& p : f.problems) EXPECT_EQ(p.borehole, "") << p.message;
    }
    // A header holding "hole" in another sense is no borehole column.
    const DataFile depth = readDelimited("Hole depth (m),N\n1.5,5\n3.0,9\n");
    ASSERT_EQ(depth.boreholes.size(), 1u);
    EXPECT_EQ(depth.boreholes[0].tests.size(), 2u);
}

TEST(Delimited, RowsOfOneSoilMakeOneStratumWhateverTheOrder) {
    struct Case {
        const char* what;
        const char* text;
        std::size_t strata;
    };
    const Case cases[] = {
        {"in order", "BH,Depth (m),N,USCS\nB1,1.0,5,CL\nB1,2.0,6,CL\nB1,1.5,7,SP\n", 3},
        {"one soil", "BH,Depth (m),N,USCS\nB1,1.0,5,CL\nB1,1.5,7,CL\nB1,2.0,6,CL\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DataFile f = readDelimited(c.text);
        const Borehole& b = f.boreholes.at(0);
        EXPECT_EQ(b.strata.size(), c.strata);
        // Each test keeps the soil of its own row.
        ASSERT_EQ(b.tests.size(), 3u);
        const std::vector<ClassificationRow> rows = classifications(b);
        int clay = 0;
        for (const ClassificationRow& r : rows)
            if (r.text == "CL") clay = r.tests;
        EXPECT_EQ(clay, c.strata == 1 ? 3 : 2);
    }
}

// A borehole's strata: " top-base soil/description" each, -1 for no base.
std::string strataOf(const Borehole& b) {
    std::string out;
    char buf[96];
    for (const Stratum& s : b.strata) {
        std::snprintf(buf, sizeof buf, " %g-%g %s/%s", s.top, s.base.value_or(-1),
                      s.classification.c_str(), s.description.c_str());
        out += buf;
    }
    return out;
}

// Each borehole's strata and tests (top=N), then the problems: all a reading decides.
std::string readingOf(const DataFile& f) {
    std::string out = f.error;
    char buf[96];
    for (const Borehole& b : f.boreholes) {
        out += "\n" + std::string(b.name.view()) + ":" + strataOf(b) + " |";
        for (const SptTest& t : b.tests) {
            std::snprintf(buf, sizeof buf, " %g=%g%s", t.top, t.n.value_or(-1),
                          t.details->report.c_str());
            out += buf;
        }
    }
    for (const Problem& p : f.problems) out += "\n" + p.borehole + " " + p.message;
    return out;
}

TEST(Delimited, StrataMergeOnlyWhileEveryBoreholeGoesDown) {
    struct Case {
        const char* what;
        const char* rows;   // under "BH,Depth (m),N,USCS"
        const char* strata; // each borehole's, as readingOf writes them
    };
    const Case cases[] = {
        {"boreholes taking turns, each going down",
         "B1,1,5,CL\nB1,2,6,CL\nB2,1,5,SP\nB2,2,6,SP\nB1,3,7,CL\nB2,3,8,CL\n",
         "B1: 1--1 CL/|B2: 1-3 SP/ 3--1 CL/|"},
        {"the last row going back up: no rows merged, in any borehole",
         "B1,1,5,CL\nB1,2,6,CL\nB2,1,5,SP\nB2,2,6,SP\nB1,3,7,CL\nB2,1.5,8,SP\n",
         "B1: 1-2 CL/ 2-3 CL/ 3--1 CL/|B2: 1-1.5 SP/ 1.5-2 SP/ 2--1 SP/|"},
        {"the first rows going back up", "B1,2,5,CL\nB1,1,6,CL\nB2,1,5,SP\nB2,2,6,SP\nB2,3,6,SP\n",
         "B1: 1-2 CL/ 2--1 CL/|B2: 1-2 SP/ 2-3 SP/ 3--1 SP/|"},
        {"a row of no soil between rows of one soil",
         "B1,1,5,CL\nB1,2,6,\nB1,3,7,CL\nB1,4,8,SP\nB1,5,9,SP\n", "B1: 1-4 CL/ 4--1 SP/|"},
        {"the same, then a depth repeated",
         "B1,1,5,CL\nB1,2,6,\nB1,3,7,CL\nB1,4,8,SP\nB1,5,9,SP\nB1,5,9,SP\n",
         "B1: 1-3 CL/ 3-4 CL/ 4-5 SP/ 5--1 SP/ 5--1 SP/|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DataFile f = readDelimited(std::string("BH,Depth (m),N,USCS\n") + c.rows);
        std::string strata;
        for (const Borehole& b : f.boreholes)
            strata += std::string(b.name.view()) + ":" + strataOf(b) + "|";
        EXPECT_EQ(strata, c.strata);
    }
}

// Bytes the reader may let go of as it reads are read as any others, across the pages it gives
// back: boreholes taking turns, rows of one soil, problems, a file that goes back up at its end.
TEST(Delimited, OwnedBytesReadAlike) {
    for (const bool backUp : {false, true}) {
        SCOPED_TRACE(backUp ? "going back up at the end" : "going down");
        std::string text = "\xEF\xBB\xBF"
                           "Borehole,Depth (ft),N,USCS,Description\r\n";
        char row[128];
        for (int k = 0; k < 12000; ++k) {
            const int hole = k / 7 % 500; // runs of 7 rows, each hole coming back
            std::snprintf(row, sizeof row, "B-%d,%d.5,%s,%s,Soil %d\r\n", hole, k / 3500 + k % 7,
                          k % 997 == 0    ? "50/3in"
                          : k % 1009 == 0 ? "x"
                                          : "12",
                          k % 5 < 3 ? "CL" : "SP", k % 5 < 3 ? 1 : 2);
            text += row;
        }
        if (backUp) text += "B-3,0.5,9,CL,Soil 1\n";
        ASSERT_GT(text.size(), std::size_t{256} << 10);
        const std::string expected = readingOf(readDelimited(text));
        EXPECT_EQ(readingOf(readDelimitedOwned(std::string(text))), expected);
    }
}

TEST(Delimited, DepthsGoingBackUpWithoutABoreholeColumnAreRefusedWithTheLine) {
    const DataFile f = readDelimited("Depth (m),N\n1.5,5\n3.0,9\n3.0,8\n1.0,7\n4.5,12\n");
    EXPECT_TRUE(f.boreholes.empty());
    EXPECT_THAT(f.error, HasSubstr("line 5: the depth 1.00 lies above the depth 3.00 of line 4"));
    EXPECT_THAT(f.error, HasSubstr("column naming the borehole"));
}

TEST(Delimited, NWrittenAsAReport) {
    struct Case {
        const char* header;
        const char* n;
        double expected;
        bool refusal;
    };
    const Case cases[] = {
        {"Depth (m),N", "50/280", 54, true},
        {"Depth (m),N", "50 blows for 225mm", 67, true},
        {"Depth (m),N", "N=50 (7,14/50 for 215mm)", 70, true},
        {"Depth (ft),N", "50/4", 100, true}, // inches in data in feet: 150 capped
        {"Depth (ft),N", "20/6", 40, true},
        {"Depth (ft),N", "25/0*", 100, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        const DataFile f = readDelimited(std::string(c.header) + "\n1.0,4\n2.0,\"" + c.n + "\"\n");
        const auto& t = f.boreholes.at(0).tests;
        ASSERT_EQ(t.size(), 2u);
        EXPECT_DOUBLE_EQ(*t[1].n, c.expected);
        EXPECT_EQ(t[1].refusal, c.refusal);
        EXPECT_EQ(t[1].details->report, c.n);
    }
}

} // namespace
} // namespace zenka::dataimport
