#include "GuiSupport.h"
#include "SiteFixtures.h"

#include "graphs/SitePdf.h"

#include <gmock/gmock.h>

#include <sys/wait.h>

#include <algorithm>
#include <filesystem>

namespace zenka::test {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

// Three boreholes, widths 14 and 18 in, lengths 10 to 50 ft by 10; the allowable capacity grows
// with the length, 3, 2 and 1 tons per foot at 14 in and twice that at 18 in. Worked by hand
// for Q = 60 tons:
//   14 in: BH1 reaches it at 20 ft (tip -10), BH2 at 30 ft (tip -22), BH3 never (50 at most):
//          BH3 governs.
//   18 in: BH1 at the first length, 10 ft (tip 0), BH2 at 20 ft (tip -12), BH3 at 30 ft (tip
//          -25): BH3 governs, with the deepest tip.
SiteResult handSite() {
    SiteResult site;
    site.dataFile = "/data/site.ags";
    site.templateFile = "/data/t.in";
    site.jobName = "Creek bridge  ";
    site.projectNumber = "77-1";
    const std::pair<double, double> boreholes[] = {{10, 3}, {8, 2}, {5, 1}};
    int k = 0;
    for (const auto& [ground, rate] : boreholes) {
        SiteBorehole b;
        b.name = "BH" + std::to_string(++k);
        b.groundElevation = ground;
        for (const double width : {14.0, 18.0})
            for (double length = 10; length <= 50; length += 10) {
                const double q = rate * length * (width == 18 ? 2 : 1);
                b.cases.push_back(
                    {width, length, ground - length, q / 2, q / 2, q * 1.5, q, q * 2});
            }
        site.boreholes.push_back(b);
    }
    return site;
}

// n boreholes of 100 lengths in one width.
SiteResult manyBoreholes(int n) {
    SiteResult site;
    site.dataFile = "many.ags";
    site.templateFile = "t.in";
    for (int i = 0; i < n; ++i) {
        SiteBorehole b;
        b.name = "B-" + std::to_string(i);
        b.groundElevation = i % 7;
        for (int j = 1; j <= 100; ++j)
            b.cases.push_back({18, j * 0.5, b.groundElevation - j * 0.5, 1, 1, 1, j * 1.0 + i, 2});
        site.boreholes.push_back(b);
    }
    return site;
}

SitePrint printOf(SiteResult site, std::optional<double> q = 60) {
    SitePrint p;
    p.site = std::move(site);
    p.required = q;
    p.paper = Paper::Letter;
    p.stamp = {"11/14/23", "22:13:20", true};
    return p;
}

TEST(SitePdf, EveryPageCarriesTheTitleBlockAndTheTableMarksWhatGoverns) {
    NEED_PDFTOTEXT();
    TempDir dir;
    const SitePrint print = printOf(handSite());
    const std::string pdf = dir.file("site.pdf");
    ASSERT_EQ(writeSitePdf(print, pdf), "");
    const std::vector<std::string> pages = pdfPages(pdf);
    // The required lengths, a chart per width, the capacities.
    ASSERT_EQ(pages.size(), 4u);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        EXPECT_THAT(pages[p], AllOf(HasSubstr("Job: Creek bridge"), HasSubstr("Project No.: 77-1"),
                                    HasSubstr("Data file: site.ags"), HasSubstr("Template: t.in"),
                                    HasSubstr("Run: 11/14/23 22:13:20"),
                                    HasSubstr("Page " + std::to_string(p + 1) + " of 4")));
    }
    const std::string& required = pages[0];
    EXPECT_THAT(required,
                AllOf(HasSubstr("Required pile length for Q = 60.00 tons (allowable capacity)"),
                      HasSubstr("the length step is the resolution"),
                      HasSubstr("Width 14.00 in: BH3 governs, Q not reached (largest capacity "
                                "50.00 tons; analysed to a length of 50.00 ft, tip elevation"),
                      HasSubstr("-45.00 ft)."),
                      HasSubstr("Width 18.00 in: BH3 governs, length 30.00 ft, tip elevation "
                                "-25.00 ft, capacity 60.00 tons.")));
    // Rows as the table lays them out: borehole, ground, width, length, tip, capacity, mark.
    const std::vector<std::vector<std::string>> rows = {
        {"BH1", "10.00", "14.00", "20.00", "-10.00", "60.00"},
        {"BH2", "8.00", "14.00", "30.00", "-22.00", "60.00"},
        {"BH3", "5.00", "14.00", "not reached", "below", "-45.00", "50.00", "governs"},
        {"BH1", "10.00", "18.00", "10.00", "0.00", "60.00"},
        {"BH2", "8.00", "18.00", "20.00", "-12.00", "80.00"},
        {"BH3", "5.00", "18.00", "30.00", "-25.00", "60.00", "governs"},
    };
    const std::vector<std::vector<std::string>> found = tableRows(required, "BH");
    EXPECT_EQ(found, rows);
    EXPECT_THAT(pages[1], AllOf(HasSubstr("pile width 14.00 in, 3 borehole(s)"),
                                HasSubstr("Governing borehole: BH3"),
                                HasSubstr("Lower envelope of the 3 boreholes"),
                                HasSubstr("Q = 60.00 tons (required allowable capacity)")));
    EXPECT_THAT(pages[3], AllOf(HasSubstr("Allowable capacity per borehole (tons)"),
                                HasSubstr("BH2, ground 8.00 ft")));
}

TEST(SitePdf, WithoutQThereIsNoRequiredLengthNorQLine) {
    const SitePrint print = printOf(handSite(), std::nullopt);
    const std::vector<SitePage> pages = sitePages(print);
    ASSERT_EQ(pages.size(), 3u); // two charts and the capacities
    EXPECT_EQ(pages[0].chartWidth, 0);
    EXPECT_EQ(pages[1].chartWidth, 1);
    EXPECT_THAT(pages[2].heading.toStdString(), HasSubstr("capacity per borehole"));
    for (std::size_t w = 0; w < 2; ++w) {
        const ChartContent chart = siteChart(print, w);
        QStringList labels;
        for (const ChartSeries& s : chart.series)
            if (!s.label.isEmpty()) labels << s.label;
        // Nothing governs without Q: the envelope alone is named.
        EXPECT_EQ(labels, QStringList{QStringLiteral("Lower envelope of the 3 boreholes")});
    }
}

TEST(SitePdf, TheChartDrawsEveryBoreholeAndNamesThree) {
    const SitePrint print = printOf(handSite());
    const ChartContent chart = siteChart(print, 1);
    EXPECT_EQ(chart.xTitle, QStringLiteral("Allowable capacity (tons)"));
    EXPECT_EQ(chart.yTitle, QStringLiteral("Elevation (feet)"));
    // Two light curves, the governing borehole, the envelope and Q.
    ASSERT_EQ(chart.series.size(), 5);
    for (int k = 0; k < 2; ++k) {
        EXPECT_TRUE(chart.series[k].label.isEmpty());
        EXPECT_FALSE(chart.series[k].pointsVisible);
        EXPECT_LT(chart.series[k].width, 1.0);
    }
    EXPECT_EQ(chart.series[2].label, QStringLiteral("Governing borehole: BH3"));
    EXPECT_GT(chart.series[2].width, 2.0);
    // BH3 at 18 in: capacity 2 x length against tip elevation 5 - length.
    EXPECT_EQ(chart.series[2].points.first(), QPointF(20, -5));
    EXPECT_EQ(chart.series[2].points.last(), QPointF(100, -45));
    EXPECT_EQ(chart.series[3].style, Qt::DashLine);
    // Q stands across every curve's elevations.
    EXPECT_EQ(chart.series[4].points, (QList<QPointF>{QPointF(60, 0), QPointF(60, -45)}));
}

// A template of one length: each borehole is one point, which shows, and Q still stands across
// the chart when every tip is at one elevation.
TEST(SitePdf, OneAnalysedLengthShowsEveryBoreholeAndQ) {
    for (const bool oneGround : {false, true}) {
        SCOPED_TRACE(oneGround ? "one ground elevation" : "grounds of their own");
        SiteResult site = handSite();
        for (SiteBorehole& b : site.boreholes) {
            if (oneGround) b.groundElevation = 5;
            std::erase_if(b.cases, [](const SiteCase& c) { return c.length != 30; });
            for (SiteCase& c : b.cases) c.tipElevation = b.groundElevation - c.length;
        }
        const ChartContent chart = siteChart(printOf(site), 0);
        int points = 0;
        for (const ChartSeries& s : chart.series)
            if (s.points.size() == 1) {
                ++points;
                EXPECT_TRUE(s.pointsVisible) << "a borehole of one point is not drawn";
            }
        EXPECT_EQ(points, 3);
        const ChartSeries& q = chart.series.last();
        ASSERT_THAT(q.label.toStdString(), HasSubstr("Q = 60.00 tons"));
        ASSERT_EQ(q.points.size(), 2);
        EXPECT_GE(q.points[0].y() - q.points[1].y(), 5.0) << "Q is a line of no length";
        EXPECT_EQ(q.points[0].x(), 60);
    }
}

// A ground elevation the data file did not give, and a site analysed short of the template's
// longest length, are named in the notes, with or without Q (then after the charts).
TEST(SitePdf, WhatTheTemplateGaveIsNamedInTheNotes) {
    SiteResult site = handSite();
    site.templateLongest = 150; // a range cut at its 100 lengths, say
    site.boreholes[0].groundFromTemplate = site.boreholes[1].groundFromTemplate = true;
    for (const std::optional<double> q : {std::optional<double>(60), std::optional<double>()}) {
        std::string notes;
        for (const SitePage& page : sitePages(printOf(site, q)))
            notes += page.notes.join(QLatin1Char(' ')).toStdString();
        EXPECT_THAT(notes, HasSubstr("No ground elevation in the data file for 2 borehole(s) "
                                     "(BH1, BH2): the template's, 10.00 ft, is used"));
        EXPECT_THAT(notes, HasSubstr("No borehole was analysed beyond a length of 50.00 ft, short "
                                     "of the template's 150.00 ft: a range of lengths runs at "
                                     "most 100 lengths"));
    }
    for (const SitePage& page : sitePages(printOf(handSite())))
        EXPECT_THAT(page.notes.join(QLatin1Char(' ')).toStdString(),
                    AllOf(Not(HasSubstr("No ground elevation")),
                          Not(HasSubstr("No borehole was analysed beyond"))));
}

// A borehole whose log is too short for the 14 in pile has no curve there, but governs it: the
// legend names it and says why there is no curve.
TEST(SitePdf, AGoverningBoreholeWithoutACurveIsNamed) {
    SiteResult site = handSite();
    std::erase_if(site.boreholes[0].cases, [](const SiteCase& c) { return c.width == 14; });
    const std::vector<double> widths = siteWidths(site);
    const auto at = std::find(widths.begin(), widths.end(), 14.0);
    ASSERT_NE(at, widths.end());
    const ChartContent chart =
        siteChart(printOf(site), static_cast<std::size_t>(at - widths.begin()));
    const auto named = std::find_if(chart.series.begin(), chart.series.end(), [](const auto& s) {
        return s.label.startsWith(qs("Governing borehole:"));
    });
    ASSERT_NE(named, chart.series.end());
    EXPECT_EQ(named->label, qs("Governing borehole: BH1 (no length analysed)"));
    EXPECT_TRUE(named->points.isEmpty());
}

TEST(SitePdf, TheLowerEnvelopeTakesTheLeastCapacityAtEachElevation) {
    struct Case {
        const char* what;
        QList<QList<QPointF>> curves;
        QList<QPointF> envelope;
    };
    const Case cases[] = {
        {"one curve is its own envelope", {{{1, 0}, {2, -10}}}, {{1, 0}, {2, -10}}},
        {"crossing curves: each below the other in turn, the corner where they cross",
         {{{0, 0}, {10, -10}}, {{4, 0}, {4, -10}}},
         {{0, 0}, {4, -4}, {4, -10}}},
        {"a curve that starts deeper: the least jumps to it there",
         {{{2, 0}, {6, -10}}, {{1, -5}, {3, -20}}},
         {{2, 0}, {4, -5}, {1, -5}, {1.6666666666666667, -10}, {3, -20}}},
        {"a curve that turns back up is read on every line that passes",
         {{{5, 0}, {5, -10}, {1, -5}}},
         {{5, 0}, {5, -5}, {1, -5}, {5, -10}}},
        {"three lines: the middle one is least between the crossings",
         {{{0, 0}, {12, -12}}, {{4, 0}, {4, -12}}, {{12, 0}, {0, -12}}},
         {{0, 0}, {4, -4}, {4, -6}, {4, -8}, {0, -12}}},
        {"curves of one point have no line", {{{3, -1}}, {{2, -2}}}, {}},
        {"no curve, no envelope", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QList<QPointF> got = lowerEnvelope(c.curves);
        ASSERT_EQ(got.size(), c.envelope.size());
        for (qsizetype i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].x(), c.envelope[i].x(), 1e-9) << i;
            EXPECT_EQ(got[i].y(), c.envelope[i].y()) << i;
        }
    }
}

TEST(SitePdf, PagesGrowWithTheBoreholesAndEveryColumnRepeatsItsHeads) {
    std::size_t before = 0;
    for (const int n : {1, 10, 40, 80}) {
        SCOPED_TRACE(n);
        const std::vector<SitePage> pages = sitePages(printOf(manyBoreholes(n), 30));
        EXPECT_GT(pages.size(), before);
        before = pages.size();
        int continued = 0;
        for (const SitePage& page : pages)
            for (const SiteBlock& block : page.blocks) {
                ASSERT_FALSE(block.heads.isEmpty());
                ASSERT_FALSE(block.lines.isEmpty());
                // A column never ends on a heading with nothing under it.
                EXPECT_NE(block.lines.last().kind, SiteLine::Kind::Group);
                if (block.lines.first().cells.join(QString()).endsWith(qs("(continued)")))
                    ++continued;
            }
        // A borehole of 100 lengths takes more than one column whenever there are many.
        if (n >= 10) {
            EXPECT_GT(continued, 0);
        }
    }
}

TEST(SitePdf, ALongBoreholeNameIsCutShortAndTheTablesStayOnThePage) {
    SiteResult site = handSite();
    site.boreholes[0].name = "BH-" + std::string(300, 'W');
    for (const Paper paper : {Paper::Letter, Paper::A4}) {
        SitePrint print = printOf(site);
        print.paper = paper;
        for (const SitePage& page : sitePages(print)) {
            double across = 0;
            for (const SiteBlock& block : page.blocks) {
                double width = 0;
                for (const double w : block.widths) width += w;
                across += width;
            }
            // A4 is the narrower: 595 points less the margins.
            EXPECT_LE(across, 595 - 72) << page.heading.toStdString();
        }
    }
}

// Ids too long for their column lose their middle, not their ends, where the ids of one site
// differ: in the required lengths, the capacity tables' headings and the chart's legend.
TEST(SitePdf, LongIdsKeepTheirEnds) {
    NEED_PDFTOTEXT();
    SiteResult site = handSite();
    const std::string stem = "BRIDGE-NORTH-APPROACH-ABUTMENT-FOUNDATION-BORING-";
    site.boreholes[1].name = stem + "A";
    site.boreholes[2].name = stem + "B";
    TempDir dir;
    const std::string pdf = dir.file("site.pdf");
    const SitePrint print = printOf(site);
    ASSERT_EQ(writeSitePdf(print, pdf), "");
    const std::vector<std::string> pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 4u);
    const std::vector<std::vector<std::string>> rows = tableRows(pages[0], "BRIDGE");
    ASSERT_EQ(rows.size(), 4u);
    for (const auto& row : rows) EXPECT_LT(row[0].size(), stem.size()) << row[0] << " is not cut";
    EXPECT_THAT(rows[0][0], ::testing::EndsWith("BORING-A"));
    EXPECT_THAT(rows[1][0], ::testing::EndsWith("BORING-B"));
    // The narrow capacity columns leave a few letters of each end, and the ground whole.
    EXPECT_THAT(pages[3], AllOf(HasSubstr("A, ground 8.00 ft"), HasSubstr("B, ground 5.00 ft")));
    EXPECT_THAT(siteChart(print, 0).series[2].label.toStdString(),
                AllOf(HasSubstr("Governing borehole: BRIDGE-"), ::testing::EndsWith("BORING-B")));
}

TEST(SitePdf, TheSameSiteMakesTheSameBytes) {
    const SitePrint print = printOf(handSite());
    const std::string first = sitePdf(print);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.compare(0, 5, "%PDF-"), 0);
    EXPECT_EQ(sitePdf(print), first);
    SitePrint later = print;
    later.stamp.time = "22:13:21";
    EXPECT_NE(sitePdf(later), first);
    EXPECT_NE(first.find("(D:20231114221320Z)"), std::string::npos);
}

TEST(SitePdf, TheDefaultNameIsTheDataFilesWithSite) {
    const std::pair<const char*, const char*> cases[] = {
        {"/sites/bridge.xml", "/sites/bridge-site.pdf"},
        {"bridge.ags.xz", "bridge-site.pdf"},
        {"dir/log.AGS.GZ", "dir/log-site.pdf"},
        {"dir.v2/data", "dir.v2/data-site.pdf"},
    };
    for (const auto& [data, pdf] : cases) EXPECT_EQ(defaultSitePdfPath(data), pdf) << data;
}

// zenka --site-pdf as a person runs it, without a display.
class SiteCommandTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string data = dir.file("site.ags");
    std::string templ = dir.file("t.in");
    std::string map = dir.file("map.csv");

    void SetUp() override {
        writeText(data, siteAgs(3));
        writeText(templ, siteTemplate());
        writeText(map, "classification,code\n*,3\n");
    }

    struct Run {
        int status = -1;
        std::string err;
    };
    Run run(const std::string& args) {
        const std::string errFile = dir.file("err.txt");
        const std::string command = "cd '" + dir.path() +
                                    "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
                                    "SOURCE_DATE_EPOCH=1700000000 '" +
                                    std::string(ZENKA_GUI_EXE) + "' --site-pdf " + args +
                                    " >/dev/null 2>'" + errFile + "'";
        const int status = std::system(command.c_str());
        Run r;
        if (WIFEXITED(status)) r.status = WEXITSTATUS(status);
        r.err = readFile(errFile);
        return r;
    }
};

TEST_F(SiteCommandTest, ExitStatusesSayWhatHappened) {
    struct Case {
        const char* args;
        int status;
        const char* err;     // a part of what is said
        const char* written; // the file that must exist afterwards, or ""
    };
    const Case cases[] = {
        {"site.ags --template t.in", 1, "No soil code for 2 classification(s) in use: ", ""},
        {"site.ags --template t.in --soil-map map.csv -o site.ags", 2, "site.ags", ""},
        {"site.ags --template t.in --soil-map map.csv -o t.in", 2, "t.in", ""},
        {"site.ags --template t.in --soil-map map.csv -o map.csv", 2, "map.csv", ""},
        {"site.ags --template t.in --soil-map map.csv --bogus", 2, "unknown argument '--bogus'",
         ""},
        {"site.ags --template t.in --soil-map map.csv --borehole BH9", 2, "no borehole BH9", ""},
        {"site.ags --template none.in --soil-map map.csv", 2, "none.in", ""},
        {"site.ags --template notes.txt --soil-map map.csv", 2,
         "notes.txt is not a Zenka project: line 1 holds", ""},
        {"site.ags --template t.in --soil-map map.csv --capacity ultimate", 2,
         "'--capacity' goes with --required", ""},
        {"site.ags --template t.in --soil-map map.csv --required 40", 0, "", "site-site.pdf"},
        {"site.ags --template t.in --soil-map map.csv --borehole BH2 -o one.pdf --paper a4", 0, "",
         "one.pdf"},
    };
    writeText(dir.file("notes.txt"), "not a project\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string dataBefore = readFile(data);
        const Run r = run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (*c.err) {
            EXPECT_THAT(r.err, HasSubstr(c.err));
        }
        EXPECT_EQ(readFile(data), dataBefore);
        std::vector<std::string> pdfs;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().extension() == ".pdf") pdfs.push_back(e.path().filename().string());
        if (*c.written) {
            EXPECT_THAT(pdfs, Contains(c.written));
            EXPECT_EQ(readFile(dir.file(c.written)).compare(0, 5, "%PDF-"), 0);
            std::filesystem::remove(dir.file(c.written));
        } else {
            EXPECT_TRUE(pdfs.empty());
        }
    }
}

TEST_F(SiteCommandTest, TwoRunsWriteTheSameBytes) {
    for (const char* out : {"a.pdf", "b.pdf"})
        ASSERT_EQ(
            run("site.ags --template t.in --soil-map map.csv --required 40 -o " + std::string(out))
                .status,
            0);
    const std::string a = readFile(dir.file("a.pdf"));
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, readFile(dir.file("b.pdf")));
}

TEST_F(SiteCommandTest, MissingCodesNameTheClassificationsAndTheWayOut) {
    const Run r = run("site.ags --template t.in");
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, AllOf(HasSubstr("CLAY"), HasSubstr("SAND"), HasSubstr("--soil-map"),
                             HasSubstr("zenka-batch --import")));
}

TEST_F(SiteCommandTest, TheRequiredTableOfARealRunIsOnTheFirstPage) {
    NEED_PDFTOTEXT();
    ASSERT_EQ(run("site.ags --template t.in --soil-map map.csv --required 40 --capacity "
                  "ultimate -o s.pdf")
                  .status,
              0);
    const std::vector<std::string> pages = pdfPages(dir.file("s.pdf"));
    ASSERT_GE(pages.size(), 4u);
    EXPECT_THAT(pages[0], AllOf(HasSubstr("Q = 40.00 tons (ultimate capacity)"),
                                HasSubstr("3 borehole(s) of site.ags analysed on the template "
                                          "t.in"),
                                HasSubstr("Run: 11/14/23 22:13:20")));
    EXPECT_THAT(tableRows(pages[0], "BH"), Contains(Contains("governs")));
    // The untested borehole is not among them.
    EXPECT_THAT(pages[0], Not(HasSubstr("NT1")));
}

} // namespace
} // namespace zenka::test
