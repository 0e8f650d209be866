#include "engine/Report.h"
#include "engine/AnalysisState.h"
#include "engine/Sections.h"

#include "support/ReportLines.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace zenka;
using namespace zenka::test;

namespace {

std::unique_ptr<AnalysisState> headerState() {
    auto s = std::make_unique<AnalysisState>();
    s->TITLE = "STATIC PILE BEARING CAPACITY ANALYSIS";
    s->PROGID = "ZENKA";
    s->PROJNO = "97-0412";
    s->JOBNAME = "SR 44 OVER MILL CREEK, BENT 2, WEST ABUTMENT AND PIER";
    s->BORNO = "B-7";
    s->IUNITS = 1;
    return s;
}

} // namespace

TEST(ReportLineModel, ColumnsBlanksAndLineEnds) {
    ReportOut out;
    out.line().text(10, "AB").I(14, 7, 3).F(20, 1.5, 6, 2);
    out.blank();
    out.line().A(3, "XY", 5); // a text field keeps its trailing blanks
    out.line().text(1, "Z").text(0, "");
    {
        ReportLine line = out.line(); // a line is ended when its builder goes
        line.text(5, "Q");
        EXPECT_EQ(out.text().size(), 41u);
    }
    EXPECT_EQ(out.text(), std::string(9, ' ') + "AB" + "    7" + "   " + "  1.50" + "\r\n" +
                              "\r\n" + "  XY   \r\n" + "Z\r\n" + "    Q\r\n");
}

TEST(ReportPageHeader, CountsLinesAndWritesTheBox) {
    auto s = headerState();
    ReportOut out;

    // Fits: LINES below 60 after adding n.
    s->LINES = 52;
    EXPECT_EQ(pageHeader(*s, out, 7), 1);
    EXPECT_EQ(s->LINES, 59);
    EXPECT_EQ(s->IPAGE, 0);
    EXPECT_TRUE(out.text().empty());

    // Reaching 60 starts a page.
    EXPECT_EQ(pageHeader(*s, out, 1), 0);
    EXPECT_EQ(s->LINES, 8);
    EXPECT_EQ(s->IPAGE, 1);

    const std::string rule = Cols().at(2, "+").at(3, std::string(77, '-')).at(80, "+");
    const std::vector<std::string> expected = {
        " \f",
        rule,
        Cols()
            .at(2, "| ")
            .at(4, "STATIC PILE BEARING CAPACITY ANALYSIS   ")
            .at(44, " - ")
            .at(47, "ZENKA   ")
            .at(70, "Page ")
            .at(75, "   1")
            .at(79, " |"),
        rule,
        Cols()
            .at(2, "| Project No: ")
            .at(16, "97-0412             ")
            .at(39, "SR 44 OVER MILL CREEK, BENT 2, WEST ABUTMENT AND P")
            .at(89, " |"),
        Cols().at(2, "| Boring No:  ").at(16, "B-7                 ").at(80, "|"),
        rule,
    };
    const auto lines = linesOf(out.text());
    EXPECT_EQ(lines, expected);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[2].size(), 80u);
    EXPECT_EQ(lines[4].size(), 90u); // the project line runs past the box

    // A forced page: the count restarts from n, the page number goes on.
    out.clear();
    s->LINES = 100;
    s->IPAGE = 1233;
    EXPECT_EQ(pageHeader(*s, out, 17), 0);
    EXPECT_EQ(s->LINES, 24);
    EXPECT_EQ(linesOf(out.text())[2].substr(69), "Page 1234 |");
    out.clear();
    s->IPAGE = 9999;
    pageHeader(*s, out, 100);
    EXPECT_EQ(linesOf(out.text())[2].substr(69), "Page **** |");
}

TEST(ReportPageHeader, EveryReportStartsWithFormFeedAndPageOne) {
    for (int units : {1, 2}) {
        auto s = headerState();
        s->IUNITS = units;
        s->LINES = 100; // as the driver leaves them before section A
        s->IPAGE = 0;
        ReportOut out;
        writeSection(*s, out, Section::GeneralInformation);
        const auto lines = linesOf(out.text());
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[0], " \f");
        EXPECT_EQ(lines[2].substr(69, 9), "Page    1");
        EXPECT_EQ(s->LINES, 107);
        EXPECT_EQ(s->IPAGE, 1);
    }
}

TEST(ReportUnitsTable, FactorsOfTheTwoSystems) {
    const ReportUnits& e = ReportUnits::of(1);
    const ReportUnits& m = ReportUnits::of(2);
    EXPECT_TRUE(e.english);
    EXPECT_FALSE(m.english);
    EXPECT_EQ(&ReportUnits::of(0), &m); // anything but 1 is Metric
    EXPECT_EQ(e.len(12.345), 12.345);
    EXPECT_EQ(e.force(7.5), 7.5);
    EXPECT_DOUBLE_EQ(m.len(10.0), 3.048);
    EXPECT_DOUBLE_EQ(m.small(10.0), 254.0);
    EXPECT_DOUBLE_EQ(m.area(2.0), 1290.32);
    EXPECT_DOUBLE_EQ(m.force(100.0), 889.64);
    EXPECT_DOUBLE_EQ(m.stress(10.0), 957.6);
}
