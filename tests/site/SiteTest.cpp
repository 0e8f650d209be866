// Required lengths worked out by hand on a two-borehole, two-width site.

#include "site/Site.h"

#include "import/DataFormats.h"
#include "project/InputFile.h"
#include "site/SiteAnalysis.h"
#include "support/Projects.h"
#include "support/ScriptedShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zenka {
namespace {

// Per width and length: the allowable capacity; Davisson is twice it, ultimate three times.
SiteBorehole borehole(std::string name, double ground,
                      std::vector<std::tuple<double, double, double>> widthLengthAllowable) {
    SiteBorehole b{std::move(name), false, ground, {}};
    for (auto [w, l, q] : widthLengthAllowable)
        b.cases.push_back({w, l, ground - l, q * 0.6, q * 0.4, 2 * q, q, 3 * q});
    return b;
}

SiteResult site() {
    SiteResult s;
    s.boreholes.push_back(borehole(
        "A", 0,
        {{12, 10, 40}, {12, 20, 80}, {12, 30, 120}, {14, 10, 110}, {14, 20, 150}, {14, 30, 190}}));
    s.boreholes.push_back(borehole(
        "B", 5,
        {{12, 10, 30}, {12, 20, 50}, {12, 30, 70}, {14, 10, 104}, {14, 20, 105}, {14, 30, 130}}));
    return s;
}

// borehole:width -> required length (0: not reached), capacity, governing.
struct Expected {
    const char* row;
    double length;
    double capacity;
    bool governing;
};

TEST(RequiredLengths, ShortestLengthThatCarriesTheLoadAndTheGoverningBoring) {
    struct Case {
        double q;
        CapacityKind kind;
        std::vector<Expected> rows;
    };
    const Case cases[] = {
        // A 12: between 20 and 30; A 14 at the first length; B 12 never (its largest shown);
        // B governs 12 (never reaches), A governs 14 (tip -10 below B's -5).
        {100,
         CapacityKind::Allowable,
         {{"A:12", 30, 120, false},
          {"A:14", 10, 110, true},
          {"B:12", 0, 70, true},
          {"B:14", 10, 104, false}}},
        // The same through the other kinds.
        {200,
         CapacityKind::Davisson,
         {{"A:12", 30, 240, false},
          {"A:14", 10, 220, true},
          {"B:12", 0, 140, true},
          {"B:14", 10, 208, false}}},
        // Reached exactly; B 12 at 20 (tip -15) is deeper than A 12 at 10 (tip -10).
        {120,
         CapacityKind::Ultimate,
         {{"A:12", 10, 120, false},
          {"A:14", 10, 330, true},
          {"B:12", 20, 150, true},
          {"B:14", 10, 312, false}}},
        // Nowhere reached: the weakest boring governs each width.
        {1000,
         CapacityKind::Allowable,
         {{"A:12", 0, 120, false},
          {"A:14", 0, 190, false},
          {"B:12", 0, 70, true},
          {"B:14", 0, 130, true}}},
    };
    for (const Case& c : cases) {
        const std::vector<RequiredLength> rows = requiredLengths(site(), c.q, c.kind);
        ASSERT_EQ(rows.size(), c.rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const RequiredLength& r = rows[i];
            const std::string where = r.borehole + ":" + std::to_string(int(r.width));
            SCOPED_TRACE(std::to_string(c.q) + " " + where);
            EXPECT_EQ(where, c.rows[i].row);
            EXPECT_EQ(r.reached, c.rows[i].length > 0);
            EXPECT_EQ(r.length, c.rows[i].length);
            EXPECT_EQ(r.tipElevation, r.reached ? r.groundElevation - r.length : 0);
            EXPECT_EQ(r.capacity, c.rows[i].capacity);
            EXPECT_EQ(r.governing, c.rows[i].governing);
            // Every width runs to 30: how deep a boring that never reaches Q was looked at.
            EXPECT_EQ(r.longest, 30);
            EXPECT_EQ(r.deepestTip, r.groundElevation - 30);
        }
    }
}

// A boring whose log is too short for the wider pile has no case at that width: it is not
// reached there, with nothing analysed, and governs, instead of missing from the width.
TEST(RequiredLengths, ABoringWithNoCaseAtAWidthIsNotReachedThereAndGoverns) {
    SiteResult s = site();
    s.boreholes.push_back(borehole("C", 2, {{12, 10, 500}}));
    const std::vector<RequiredLength> rows = requiredLengths(s, 100, CapacityKind::Allowable);
    ASSERT_EQ(rows.size(), 6u);
    const RequiredLength& c12 = rows[4];
    const RequiredLength& c14 = rows[5];
    EXPECT_EQ(c12.borehole + ":" + std::to_string(int(c12.width)), "C:12");
    EXPECT_TRUE(c12.reached);
    EXPECT_EQ(c14.borehole + ":" + std::to_string(int(c14.width)), "C:14");
    EXPECT_FALSE(c14.reached);
    EXPECT_EQ(c14.longest, 0);
    EXPECT_EQ(c14.capacity, 0);
    EXPECT_TRUE(c14.governing);
    EXPECT_FALSE(rows[1].governing) << "A no longer governs 14";
    EXPECT_EQ(requiredCsv(rows).substr(requiredCsv(rows).rfind("C,14")), "C,14.0000,,,0.0000,1\n");
}

TEST(RequiredLengths, CsvFiles) {
    EXPECT_EQ(requiredCsv(requiredLengths(site(), 100, CapacityKind::Allowable)),
              "borehole,width,required_length,tip_elevation,capacity,governing\n"
              "A,12.0000,30.0000,-30.0000,120.0000,0\n"
              "A,14.0000,10.0000,-10.0000,110.0000,1\n"
              "B,12.0000,,,70.0000,1\n"
              "B,14.0000,10.0000,-5.0000,104.0000,0\n");
    SiteResult one;
    one.boreholes.push_back(borehole("B,\"7\"", 5.125, {{12, 10, 1.23456}}));
    EXPECT_EQ(siteCsv(one), "borehole,ground_elevation,width,length,tip_elevation,side_friction,"
                            "end_bearing,davisson,allowable,ultimate\n"
                            "\"B,\"\"7\"\"\",5.1250,12.0000,10.0000,-4.8750,0.7407,0.4938,"
                            "2.4691,1.2346,3.7037\n");
    const std::pair<const char*, const char*> paths[] = {
        {"site.csv", "site-required.csv"},
        {"out/x.tar.csv", "out/x.tar-required.csv"},
        {"a.b/site", "a.b/site-required"},
        {"dir/.csv", "dir/.csv-required"},
    };
    for (auto [in, out] : paths) EXPECT_EQ(requiredCsvPath(in), out) << in;
    EXPECT_EQ(capacityKindNamed("Davisson"), CapacityKind::Davisson);
    EXPECT_EQ(capacityKindNamed("ULTIMATE"), CapacityKind::Ultimate);
    EXPECT_EQ(capacityKindNamed("allow"), std::nullopt);
}

// The site's soil map as written reads back with its codes, though a DIGGS classification or
// description runs over lines and a spreadsheet saved it with the line ends of Windows.
TEST(SiteSoilMap, WhatIsWrittenReadsBack) {
    const std::vector<SiteClassification> rows = {
        {"Soft gray\nCLAY, \"fat\"", 3, 25, "two\nlines", true}, {"SP", 1, 3, "Dense\nSAND", true}};
    SoilMap given;
    given.codes["Soft gray\nCLAY, \"fat\""] = 1;
    std::string csv;
    for (char c : siteSoilMapCsv(rows, given))
        csv += c == '\n' ? std::string("\r\n") : std::string(1, c);
    test::TempDir dir;
    test::writeFile(dir.file("map.csv"), csv);
    test::ScriptedShell shell;
    SoilMap read;
    ASSERT_TRUE(readSoilMap(dir.file("map.csv"), read, shell)) << shell.messageTexts().at(0);
    EXPECT_EQ(read.codes, (std::map<std::string, int>{{"Soft gray\nCLAY, \"fat\"", 1}, {"SP", 3}}));
}

// A borehole without a ground elevation in the data file gets the template's, as the import
// gives it, and says so for the PDF to tell.
TEST(SiteAnalysis, EachBoreholeSaysWhatTheTemplateGaveIt) {
    test::TempDir dir;
    const std::string data = dir.file("site.ags");
    std::string ispt;
    for (const char* id : {"OWN", "BARE"})
        for (int d = 1; d <= 15; ++d)
            ispt +=
                "\"DATA\",\"" + std::string(id) + "\",\"" + std::to_string(d) + ".00\",\"20\"\n";
    test::writeFile(data, "\"GROUP\",\"LOCA\"\n\"HEADING\",\"LOCA_ID\",\"LOCA_GL\"\n"
                          "\"UNIT\",\"\",\"m\"\n\"TYPE\",\"ID\",\"2DP\"\n"
                          "\"DATA\",\"OWN\",\"2.00\"\n\"DATA\",\"BARE\",\"\"\n\n"
                          "\"GROUP\",\"ISPT\"\n\"HEADING\",\"LOCA_ID\",\"ISPT_TOP\","
                          "\"ISPT_NVAL\"\n\"UNIT\",\"\",\"m\",\"\"\n"
                          "\"TYPE\",\"ID\",\"2DP\",\"0DP\"\n" +
                              ispt +
                              "\n\"GROUP\",\"WSTG\"\n\"HEADING\",\"LOCA_ID\",\"WSTG_DPTH\"\n"
                              "\"UNIT\",\"\",\"m\"\n\"TYPE\",\"ID\",\"2DP\"\n"
                              "\"DATA\",\"OWN\",\"3.00\"\n");
    const dataimport::DataFile file = dataimport::readDataFile(data);
    ASSERT_EQ(file.error, "");
    CPelbrinDoc templ;
    templ.ResetProject();
    test::fillWorkedCase(templ);
    SiteRequest request;
    request.templateBytes = writeInputFile(templ);
    request.soilMap.other = 3;
    std::vector<const dataimport::Borehole*> chosen;
    for (const dataimport::Borehole& b : file.boreholes) chosen.push_back(&b);
    const SiteResult site = analyseSite(request, file, chosen);
    ASSERT_EQ(site.boreholes.size(), 2u);
    const SiteBorehole& own = site.boreholes[0];
    const SiteBorehole& bare = site.boreholes[1];
    ASSERT_EQ(own.name, "OWN");
    EXPECT_FALSE(own.groundFromTemplate);
    EXPECT_NEAR(own.groundElevation, 6.562, 1e-9); // 2 m in feet
    EXPECT_TRUE(bare.groundFromTemplate);
    EXPECT_DOUBLE_EQ(bare.groundElevation, templ.groundElevation);
    EXPECT_DOUBLE_EQ(site.templateLongest, 30);
}

} // namespace
} // namespace zenka
