#include "import/Ags4.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace zenka::dataimport {
namespace {

using ::testing::HasSubstr;

// A file of the groups the reader takes, with the ISPT rows given.
std::string agsFile(const std::string& isptRows, const std::string& extraHeadings = "",
                    const std::string& extraUnits = "") {
    return "\"GROUP\",\"PROJ\"\n"
           "\"HEADING\",\"PROJ_ID\",\"PROJ_NAME\"\n"
           "\"UNIT\",\"\",\"\"\n"
           "\"DATA\",\"P-1\",\"Bridge, \"\"North\"\" approach\"\n"
           "\n"
           "\"GROUP\",\"LOCA\"\n"
           "\"HEADING\",\"LOCA_ID\",\"LOCA_GL\",\"LOCA_FDEP\",\"LOCA_STAR\"\n"
           "\"UNIT\",\"\",\"m\",\"m\",\"yyyy-mm-dd\"\n"
           "\"DATA\",\"BH1\",\"12.50\",\"10.00\",\"2019-05-14\"\n"
           "\n"
           "\"GROUP\",\"ISPT\"\n"
           "\"HEADING\",\"LOCA_ID\",\"ISPT_TOP\",\"ISPT_NVAL\",\"ISPT_REP\"" +
           extraHeadings +
           "\n"
           "\"UNIT\",\"\",\"m\",\"\",\"\"" +
           extraUnits + "\n" + isptRows;
}

const SptTest& onlyTest(const DataFile& f) {
    static const SptTest none;
    if (f.boreholes.size() != 1 || f.boreholes[0].tests.size() != 1) {
        ADD_FAILURE() << "expected one test";
        return none;
    }
    return f.boreholes[0].tests[0];
}

TEST(Ags4, NFromTheReportAndTheFileNumbers) {
    struct Case {
        const char* row; // the ISPT data row of BH1 at 2.00 m
        double n;
        bool refusal;
        bool shortDrive;
    };
    const Case cases[] = {
        {"\"DATA\",\"BH1\",\"2.00\",\"17\",\"N=17 (3,4/4,4,4,5)\"", 17, false, false},
        // blank N, drive shorter than 300 mm: the test blows scaled to 300 mm
        {"\"DATA\",\"BH1\",\"2.00\",\"\",\"50/270\"", 56, true, false},
        {"\"DATA\",\"BH1\",\"2.00\",\"\",\"N=50 (7,14/50 for 215mm)\"", 70, true, false},
        {"\"DATA\",\"BH1\",\"2.00\",\"\",\"25/0*\"", 100, true, false},
        {"\"DATA\",\"BH1\",\"2.00\",\"\",\"N>50 (4,5/8,13,18,26 for 25mm)\"", 78, true, false},
        {"\"DATA\",\"BH1\",\"2.00\",\"\",\"50 for 285mm (13/11,12,12,15 for 60mm)\"", 53, true,
         false},
        {"\"DATA\",\"BH1\",\"2.00\",\"\",\"4,15/34,16   for 75mm\"", 100, true, false},
        // a report that states a complete test gives that N
        {"\"DATA\",\"BH1\",\"2.00\",\"\",\"N=0\"", 0, false, false},
        {"\"DATA\",\"BH1\",\"2.00\",\"\",\"N=49 (25 for 135mm/13,12,12,12)\"", 49, false, false},
        // a leading 0 with zero penetration is a refusal, not N = 0
        {"\"DATA\",\"BH1\",\"2.00\",\"\",\"0 (25 for 0mm/0 for 0mm)\"", 100, true, false},
        // an increment left blank: the stated number, never a refusal
        {"\"DATA\",\"BH1\",\"2.00\",\"\",\"23 (5,6/7,8,8,)\"", 23, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        const DataFile f = readAgs(agsFile(std::string(c.row) + "\n"));
        const SptTest& t = onlyTest(f);
        ASSERT_TRUE(t.n.has_value());
        EXPECT_DOUBLE_EQ(*t.n, c.n);
        EXPECT_EQ(t.refusal, c.refusal);
        EXPECT_EQ(t.shortDrive, c.shortDrive);
    }
}

TEST(Ags4, GivenNWithAShortPenetrationIsMarkedNotChanged) {
    const std::string h = ",\"ISPT_NPEN\"";
    const std::string u = ",\"mm\"";
    struct Case {
        const char* row;
        double n;
        bool shortDrive;
    };
    const Case cases[] = {
        {"\"DATA\",\"BH1\",\"2.00\",\"50\",\"\",\"85\"", 50, true},
        {"\"DATA\",\"BH1\",\"2.00\",\"50\",\"\",\"450\"", 50, false},
        // the report's complete drive outweighs a penetration written wrong
        {"\"DATA\",\"BH1\",\"2.00\",\"62\",\"N=62 (8,11/14,15,14,19)\",\"250\"", 62, false},
        {"\"DATA\",\"BH1\",\"2.00\",\"50\",\"N=50 (25 for 65mm/50 for 50mm)\",\"\"", 50, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        const DataFile f = readAgs(agsFile(std::string(c.row) + "\n", h, u));
        const SptTest& t = onlyTest(f);
        ASSERT_TRUE(t.n.has_value());
        EXPECT_DOUBLE_EQ(*t.n, c.n);
        EXPECT_FALSE(t.refusal);
        EXPECT_EQ(t.shortDrive, c.shortDrive);
    }
}

TEST(Ags4, RowsWithoutResultOrDepthAreListedAndSkipped) {
    const std::string rows = "\"DATA\",\"BH1\",\"2.00\",\"\",\"\"\n"
                             "\"DATA\",\"BH1\",\"3.00\",\"\",\"Rods sank\"\n"
                             "\"DATA\",\"BH1\",\"\",\"\",\"0 (,/,,,)\"\n"
                             "\"DATA\",\"BH1\",\"4.00\",\"12\",\"\"\n"
                             "\"DATA\",\"BH1\",\"5.00\",\"-3\",\"\"\n"
                             "\"DATA\",\"BH1\",\"-1.00\",\"8\",\"\"\n";
    const DataFile f = readAgs(agsFile(rows));
    ASSERT_EQ(f.boreholes.size(), 1u);
    ASSERT_EQ(f.boreholes[0].tests.size(), 1u);
    EXPECT_DOUBLE_EQ(f.boreholes[0].tests[0].top, 4.0);
    ASSERT_EQ(f.problems.size(), 5u);
    EXPECT_THAT(f.problems[3].message, HasSubstr("N -3.00 is not a blow count"));
    EXPECT_THAT(f.problems[4].message, HasSubstr("not a depth below ground"));
    EXPECT_THAT(f.problems[0].message, HasSubstr("2.00 m skipped"));
    EXPECT_THAT(f.problems[1].message, HasSubstr("Rods sank"));
    EXPECT_THAT(f.problems[2].message, HasSubstr("without a depth"));
}

TEST(Ags4, RowsInAnyOrderAreSortedAndTheFirstAtADepthIsKept) {
    const std::string rows = "\"DATA\",\"BH1\",\"6.00\",\"30\",\"\"\n"
                             "\"DATA\",\"BH1\",\"1.50\",\"10\",\"\"\n"
                             "\"DATA\",\"BH1\",\"3.00\",\"20\",\"\"\n"
                             "\"DATA\",\"BH1\",\"1.50\",\"11\",\"\"\n";
    const DataFile f = readAgs(agsFile(rows));
    const auto& tests = f.boreholes.at(0).tests;
    ASSERT_EQ(tests.size(), 3u);
    EXPECT_DOUBLE_EQ(tests[0].top, 1.5);
    EXPECT_DOUBLE_EQ(*tests[0].n, 10);
    EXPECT_DOUBLE_EQ(tests[1].top, 3.0);
    EXPECT_DOUBLE_EQ(tests[2].top, 6.0);
    ASSERT_EQ(f.problems.size(), 1u);
    EXPECT_THAT(f.problems[0].message, HasSubstr("1.50 m repeats"));
}

TEST(Ags4, FileQuirks) {
    // CRLF and LF, a byte-order mark, quotes doubled inside, a cp1252 byte, ids with "/" or
    // digits only, "DRY" water rows, a row for a borehole without a LOCA row.
    const std::string file = "\xEF\xBB\xBF\"GROUP\",\"PROJ\"\r\n"
                             "\"HEADING\",\"PROJ_ID\",\"PROJ_NAME\"\r\n"
                             "\"UNIT\",\"\",\"\"\r\n"
                             "\"DATA\",\"7500/75\",\"Site \"\"A\"\", 20\xB0 slope\"\r\n"
                             "\"GROUP\",\"LOCA\"\n"
                             "\"HEADING\",\"LOCA_ID\",\"LOCA_FDEP\"\n"
                             "\"UNIT\",\"\",\"ft\"\n"
                             "\"DATA\",\"ARC/2015/WS01\",\"30\"\n"
                             "\"DATA\",\"18411295\",\"40\"\n"
                             "\"GROUP\",\"ISPT\"\n"
                             "\"HEADING\",\"LOCA_ID\",\"ISPT_TOP\",\"ISPT_NVAL\"\n"
                             "\"UNIT\",\"\",\"ft\",\"\"\n"
                             "\"DATA\",\"ARC/2015/WS01\",\"5\",\"8\"\n"
                             "\"DATA\",\"18411295\",\"10\",\"9\"\n"
                             "\"DATA\",\"GHOST\",\"10\",\"9\"\n"
                             "\"GROUP\",\"WSTG\"\n"
                             "\"HEADING\",\"LOCA_ID\",\"WSTG_DPTH\",\"WSTG_REM\"\n"
                             "\"UNIT\",\"\",\"ft\",\"\"\n"
                             "\"DATA\",\"ARC/2015/WS01\",\"\",\"DRY\"\n"
                             "\"DATA\",\"18411295\",\"7.5\",\"\"\n";
    const DataFile f = readAgs(file);
    ASSERT_TRUE(f.error.empty());
    EXPECT_EQ(f.projectNumber, "7500/75");
    EXPECT_EQ(f.jobName, "Site \"A\", 20\xC2\xB0 slope"); // cp1252 degree sign, as UTF-8
    ASSERT_EQ(f.boreholes.size(), 2u);
    const Borehole& a = f.boreholes[0];
    const Borehole& b = f.boreholes[1];
    EXPECT_EQ(a.id, "ARC/2015/WS01");
    EXPECT_EQ(b.id, "18411295");
    EXPECT_EQ(a.depthUnit, LengthUnit::Feet); // from the UNIT row, not assumed
    EXPECT_TRUE(a.waterDepths.empty());       // dry: no water, not water at the surface
    ASSERT_EQ(b.waterDepths.size(), 1u);
    EXPECT_DOUBLE_EQ(b.waterDepths[0], 7.5);
    EXPECT_EQ(a.tests.size(), 1u);
    EXPECT_EQ(b.tests.size(), 1u);
    EXPECT_FALSE(a.groundElevation.has_value());
    bool ghost = false, noGl = false;
    for (const Problem& p : f.problems) {
        ghost = ghost || p.message.find("GHOST") != std::string::npos;
        noGl = noGl || p.message.find("LOCA_GL") != std::string::npos;
    }
    EXPECT_TRUE(ghost);
    EXPECT_TRUE(noGl);
}

TEST(Ags4, StrataTakeTheLegendCodeWithItsAbbreviationElseTheDescription) {
    const std::string file = "\"GROUP\",\"ABBR\"\n"
                             "\"HEADING\",\"ABBR_HDNG\",\"ABBR_CODE\",\"ABBR_DESC\"\n"
                             "\"DATA\",\"GEOL_LEG\",\"203\",\"Sandy CLAY\"\n"
                             "\"GROUP\",\"LOCA\"\n"
                             "\"HEADING\",\"LOCA_ID\"\n"
                             "\"DATA\",\"BH1\"\n"
                             "\"GROUP\",\"GEOL\"\n"
                             "\"HEADING\",\"LOCA_ID\",\"GEOL_TOP\",\"GEOL_BASE\",\"GEOL_DESC\","
                             "\"GEOL_LEG\"\n"
                             "\"UNIT\",\"\",\"m\",\"m\",\"\",\"\"\n"
                             "\"DATA\",\"BH1\",\"2.0\",\"5.0\",\"Firm sandy CLAY\",\"\"\n"
                             "\"DATA\",\"BH1\",\"0.0\",\"2.0\",\"Soft brown sandy CLAY\",\"203\"\n";
    const DataFile f = readAgs(file);
    const auto& s = f.boreholes.at(0).strata;
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].classification, "203");
    EXPECT_EQ(s[0].legendText, "Sandy CLAY");
    EXPECT_EQ(s[1].classification, "Firm sandy CLAY");
    EXPECT_DOUBLE_EQ(*s[1].base, 5.0);
}

// Groups in any order, LOCA last: rows reach their borehole by LOCA_ID, rows of an id without a
// LOCA row are counted, a LOCA row without an id or with one seen before is left out, each
// problem once in the file's order; and the strata of a site share one copy of their words.
TEST(Ags4, RowsFindTheirBoreholeWhereverTheLocaGroupStands) {
    const std::string file = "\"GROUP\",\"GEOL\"\n"
                             "\"HEADING\",\"LOCA_ID\",\"GEOL_TOP\",\"GEOL_BASE\",\"GEOL_DESC\"\n"
                             "\"UNIT\",\"\",\"ft\",\"ft\",\"\"\n"
                             "\"DATA\",\"B2\",\"0\",\"10\",\"Soft gray CLAY\"\n"
                             "\"DATA\",\"GHOST\",\"0\",\"10\",\"Soft gray CLAY\"\n"
                             "\"DATA\",\"B1\",\"\",\"10\",\"Soft gray CLAY\"\n"
                             "\"DATA\",\"B1\",\"0\",\"10\",\"Soft gray CLAY\"\n"
                             "\"DATA\",\"B2\",\"10\",\"30\",\"Dense SAND\"\n"
                             "\"GROUP\",\"ISPT\"\n"
                             "\"HEADING\",\"LOCA_ID\",\"ISPT_TOP\",\"ISPT_NVAL\"\n"
                             "\"UNIT\",\"\",\"ft\",\"\"\n"
                             "\"DATA\",\"B2\",\"5\",\"7\"\n"
                             "\"DATA\",\"GHOST\",\"5\",\"7\"\n"
                             "\"DATA\",\"B1\",\"5\",\"8\"\n"
                             "\"DATA\",\"B2\",\"15\",\"21\"\n"
                             "\"DATA\",\"GHOST\",\"15\",\"9\"\n"
                             "\"DATA\",\"B1\",\"2\",\"x\"\n"
                             "\"GROUP\",\"LOCA\"\n"
                             "\"HEADING\",\"LOCA_ID\",\"LOCA_GL\",\"LOCA_FDEP\"\n"
                             "\"UNIT\",\"\",\"ft\",\"m\"\n"
                             "\"DATA\",\"B1\",\"100\",\"10\"\n"
                             "\"DATA\",\"\",\"101\",\"10\"\n"
                             "\"DATA\",\"B2\",\"102\",\"12\"\n"
                             "\"DATA\",\"B1\",\"103\",\"12\"\n";
    const DataFile f = readAgs(file);
    ASSERT_TRUE(f.error.empty()) << f.error;
    ASSERT_EQ(f.boreholes.size(), 2u);
    const Borehole& b1 = f.boreholes[0];
    const Borehole& b2 = f.boreholes[1];
    EXPECT_EQ(b1.id, "B1");
    EXPECT_DOUBLE_EQ(*b1.groundElevation, 100); // the first LOCA row of B1
    EXPECT_NEAR(*b1.finalDepth, 32.81, 0.01);   // LOCA_FDEP in m, read in the file's ft
    ASSERT_EQ(b1.tests.size(), 1u);
    EXPECT_DOUBLE_EQ(*b1.tests[0].n, 8);
    ASSERT_EQ(b2.tests.size(), 2u);
    EXPECT_DOUBLE_EQ(*b2.tests[1].n, 21);
    ASSERT_EQ(b1.strata.size(), 1u);
    ASSERT_EQ(b2.strata.size(), 2u);
    EXPECT_EQ(b2.strata[1].classification, "Dense SAND");
    EXPECT_EQ(b1.strata[0].description.view().data(), b2.strata[0].description.view().data());
    EXPECT_EQ(b1.strata[0].classification.view().data(), b1.strata[0].description.view().data());
    std::vector<std::string> problems;
    for (const Problem& p : f.problems) problems.push_back(p.borehole + ": " + p.message);
    EXPECT_THAT(problems,
                ::testing::ElementsAre(
                    ": a LOCA row without LOCA_ID is skipped",
                    "B1: LOCA_ID B1 appears twice; the first is kept",
                    "B1: SPT at 2.00 ft skipped: no N value and no report",
                    "B1: line 6: stratum without a top skipped",
                    "GHOST: 3 row(s) for LOCA_ID GHOST, which has no LOCA row, not attached"));
}

TEST(Ags4, NotAnAgsFile) {
    EXPECT_FALSE(readAgs("depth,n\n1,2\n").error.empty());
    EXPECT_FALSE(readAgs("").error.empty());
}

} // namespace
} // namespace zenka::dataimport

namespace zenka::dataimport {
namespace {

// Every report form the parser knows, with the N it gives when the file states none.
TEST(SptReport, EveryFormGivesItsN) {
    struct Case {
        const char* text;
        bool inchData; // the borehole's depths are in feet
        std::optional<double> n;
        bool refusal;
        const char* note; // part of the note
    };
    const Case cases[] = {
        // blows over the test drive's penetration, with or without "N=", in mm or inches
        {"N=50/280", false, 54, true, "300 mm"},
        {"n = 50 / 235", false, 64, true, "300 mm"},
        {"50/280", false, 54, true, "300 mm"},
        {"50/280mm", false, 54, true, "300 mm"},
        {"50/3in", false, 100, true, "12 in"},
        {"20/6 in", false, 40, true, "12 in"},
        {"20/6\"", false, 40, true, "12 in"},
        {"20/6", true, 40, true, "12 in"}, // bare: in inches in data in feet
        {"20/150", false, 40, true, "300 mm"},
        {"50/300", false, 50, false, "from the report"},
        // the increments in parentheses
        {"N=50 (7,14/50 for 215mm)", false, 70, true, "300 mm"},
        {"N=17 (3,4/4,4,4,5)", false, 17, false, "from the report"},
        {"N>50 (4,5/8,13,18,26 for 25mm)", false, 78, true, "300 mm"},
        {"(3,4/4,4,4,5)", false, 17, false, "from the report"},
        {"4,15/34,16   for 75mm", false, 100, true, "300 mm"},
        {"23 (5,6/7,8,8,)", false, 23, false, "from the report"},
        // words
        {"50 BLOWS for 225mm", false, 67, true, "300 mm"},
        {"50 blows in 225 mm", false, 67, true, "300 mm"},
        {"50 Blows/75mm", false, 100, true, "300 mm"},
        {"50 for 75mm", false, 100, true, "300 mm"},
        {"25 FOR 6in", false, 50, true, "12 in"},
        {"50 for 285mm (13/11,12,12,15 for 60mm)", false, 53, true, "300 mm"},
        {"N=0", false, 0, false, "from the report"},
        {"SPT N = 12", false, 12, false, "from the report"},
        {"N>50", false, 50, false, "lower bound"},
        // the seating drive never ended: no test drive, N 100
        {"25/0*", false, 100, true, "seating"},
        {"0 (55 for 125mm/,,,)", false, 100, true, "seating"},
        {"0 (75 for 76mm/,,,)", false, 100, true, "seating"},
        {"0 (25 for 0mm/0 for 0mm)", false, 100, true, "300 mm"},
        // no N at all
        {"0 (,/,,,)", false, std::nullopt, false, ""},
        {"Rods sank", false, std::nullopt, false, ""},
        {"N=", false, std::nullopt, false, ""},
        {"50/", false, std::nullopt, false, ""},
        {"50 blows", false, std::nullopt, false, ""},
        {"Nil", false, std::nullopt, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ReportN r;
        const bool found = nFromReport(parseSptReport(c.text, c.inchData), c.inchData, r);
        ASSERT_EQ(found, c.n.has_value());
        if (!found) continue;
        EXPECT_DOUBLE_EQ(r.n, *c.n);
        EXPECT_EQ(r.refusal, c.refusal);
        EXPECT_THAT(r.note, HasSubstr(c.note));
    }
}

} // namespace
} // namespace zenka::dataimport

namespace zenka::dataimport {
namespace {

// AGS3: "**GROUP", "*HEADING" rows (continued on a second line), "<UNITS>", "<CONT>" rows, a
// dictionary whose data rows begin with "GROUP", and the HOLE group for LOCA.
const char* const kAgs3 = R"ags("**PROJ"
"*PROJ_ID","*PROJ_NAME"
"<UNITS>",""
"7421","Harbour wall"

"**DICT"
"*DICT_TYPE","*DICT_GRP","*DICT_HDNG"
"<UNITS>","",""
"GROUP","ISPT",""
"HEADING","ISPT","ISPT_REP"

"**HOLE"
"*HOLE_ID","*HOLE_TYPE","*HOLE_GL",
"*HOLE_FDEP"
"<UNITS>","","m","m"
"BH1 ","CP","4.20","15.00"
"BH2","CP","3.10","8.00"

"**GEOL"
"*HOLE_ID","*GEOL_TOP","*GEOL_BASE","*GEOL_DESC","*GEOL_LEG","*GEOL_GEOL"
"<UNITS>","m","m","","",""
"BH1 ","0.00","6.00","Soft grey slightly sandy","101",""
"<CONT>","","","CLAY","",""
"BH1 ","6.00","15.00","Dense SAND","","TG"

"**ISPT"
"*HOLE_ID","*ISPT_TOP","*ISPT_NVAL","*ISPT_REP"
"<UNITS>","m","",""
"BH1 ","1.50","6",""
"BH1 ","7.50","","N=50/280"
"BH1 ","9.00","","0 (55 for 125mm/,,,)"
"BH2","2.00","","50 BLOWS for 225mm"

"**WSTG"
"*HOLE_ID","*WSTG_DPTH"
"<UNITS>","m"
"BH2","-1.50"
)ags";

TEST(Ags3, GroupsHeadingsUnitsAndContinuationsReadAsAgs4) {
    const DataFile f = readAgs(kAgs3);
    ASSERT_TRUE(f.error.empty()) << f.error;
    EXPECT_EQ(f.format, Format::Ags3);
    EXPECT_EQ(f.projectNumber, "7421");
    EXPECT_EQ(f.jobName, "Harbour wall");
    ASSERT_EQ(f.boreholes.size(), 2u);
    for (const Problem& p : f.problems) ADD_FAILURE() << p.borehole << ": " << p.message;

    const Borehole& b1 = f.boreholes[0];
    EXPECT_EQ(b1.id, "BH1");
    EXPECT_EQ(f.find(" BH1  "), &b1);
    EXPECT_EQ(b1.depthUnit, LengthUnit::Metres);
    EXPECT_DOUBLE_EQ(*b1.groundElevation, 4.20);
    EXPECT_DOUBLE_EQ(*b1.finalDepth, 15.0);
    ASSERT_EQ(b1.tests.size(), 3u);
    EXPECT_DOUBLE_EQ(*b1.tests[0].n, 6);
    EXPECT_TRUE(b1.tests[1].refusal);
    EXPECT_DOUBLE_EQ(*b1.tests[1].n, 54);
    EXPECT_TRUE(b1.tests[2].refusal);
    EXPECT_DOUBLE_EQ(*b1.tests[2].n, 100);
    ASSERT_EQ(b1.strata.size(), 2u);
    EXPECT_EQ(b1.strata[0].description, "Soft grey slightly sandyCLAY");
    EXPECT_EQ(b1.strata[0].classification, "101");
    EXPECT_EQ(b1.strata[1].classification, "TG"); // GEOL_GEOL without a legend

    const Borehole& b2 = f.boreholes[1];
    ASSERT_EQ(b2.tests.size(), 1u);
    EXPECT_DOUBLE_EQ(*b2.tests[0].n, 67);
    ASSERT_EQ(b2.waterDepths.size(), 1u);
    EXPECT_DOUBLE_EQ(b2.waterDepths[0], -1.5); // above the ground, kept
}

TEST(DataFile, FindIgnoresBlanksAroundIdsButPrefersAnExactMatch) {
    DataFile f;
    for (const char* id : {"FC2BH01 ", "A", "A "}) {
        Borehole b;
        b.id = b.name = id;
        f.boreholes.push_back(b);
    }
    EXPECT_EQ(f.find("FC2BH01"), &f.boreholes[0]);
    EXPECT_EQ(f.find("\tFC2BH01  "), &f.boreholes[0]);
    EXPECT_EQ(f.find("A "), &f.boreholes[2]);
    EXPECT_EQ(f.find("A"), &f.boreholes[1]);
    EXPECT_EQ(f.find("FC2"), nullptr);
}

TEST(Ags3, RowsOutsideAGroupAndStrayContinuationsAreListed) {
    // The second <CONT> holds more fields than its row: the extra ones continue nothing.
    const DataFile f = readAgs("\"**HOLE\"\n\"<CONT>\",\"x\"\n\"*HOLE_ID\"\n\"BH1\"\n"
                               "\"<CONT>\",\"a\",\"b\",\"c\"\n");
    EXPECT_EQ(f.format, Format::Ags3);
    ASSERT_EQ(f.problems.size(), 2u);
    EXPECT_THAT(f.problems[0].message, HasSubstr("<CONT> row without a row"));
    ASSERT_EQ(f.boreholes.size(), 1u);
    EXPECT_EQ(f.boreholes[0].id, "BH1");
}

} // namespace
} // namespace zenka::dataimport

namespace zenka::dataimport {
namespace {

TEST(Ags4, IncrementColumnsGiveNWhenTheFileStatesNone) {
    std::string h, u;
    for (const char* col : {"INC1", "INC2", "INC3", "INC4", "INC5", "INC6"}) {
        h += std::string(",\"ISPT_") + col + "\"";
        u += ",\"\"";
    }
    for (const char* col : {"PEN1", "PEN2", "PEN3", "PEN4", "PEN5", "PEN6"}) {
        h += std::string(",\"ISPT_") + col + "\"";
        u += ",\"mm\"";
    }
    struct Case {
        const char* what;
        const char* values; // after LOCA_ID, ISPT_TOP, ISPT_NVAL, ISPT_REP
        std::optional<double> n;
        bool refusal;
    };
    const Case cases[] = {
        {"four full increments",
         "\"2\",\"3\",\"4\",\"4\",\"5\",\"6\",\"\",\"\",\"\",\"\",\"\",\"\"", 19, false},
        {"stopped in the fourth",
         "\"5\",\"8\",\"10\",\"12\",\"14\",\"14\",\"\",\"\",\"\",\"\",\"\",\"20\"", 61,
         true}, // 50 blows over 245 mm
        {"stopped in the third",
         "\"5\",\"8\",\"10\",\"12\",\"28\",\"\",\"\",\"\",\"\",\"\",\"60\",\"\"", 71,
         true}, // 50 blows over 210 mm
        {"seating drive stopped",
         "\"25\",\"25\",\"\",\"\",\"\",\"\",\"75\",\"40\",\"\",\"\",\"\",\"\"", 100, true},
        {"an increment missing", "\"2\",\"3\",\"4\",\"\",\"5\",\"6\",\"\",\"\",\"\",\"\",\"\",\"\"",
         std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DataFile f = readAgs(
            agsFile(std::string("\"DATA\",\"BH1\",\"2.00\",\"\",\"\",") + c.values + "\n", h, u));
        ASSERT_EQ(f.boreholes.size(), 1u);
        if (!c.n) {
            EXPECT_TRUE(f.boreholes[0].tests.empty());
            continue;
        }
        const SptTest& t = onlyTest(f);
        EXPECT_DOUBLE_EQ(*t.n, *c.n);
        EXPECT_EQ(t.refusal, c.refusal);
    }
}

} // namespace
} // namespace zenka::dataimport
