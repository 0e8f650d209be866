#include "engine/GraphData.h"
#include "engine/AnalysisState.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace zenka;

namespace {

void setStep(AnalysisState& s, double tpl) {
    s.TPL = tpl;
    s.EBP = s.GSE - tpl;
    s.USF = 2 * tpl;
    s.CMAXB = 10;
    s.MPC = s.USF + s.CMAXB;
    s.TCP = s.MPC / 2;
    s.UPC = s.USF + 3 * s.CMAXB;
}

} // namespace

TEST(GraphDataResultTable, FilledRowsAndUntouchedRows) {
    auto s = std::make_unique<AnalysisState>();
    s->GSE = 100;
    s->IUNITS = 1;
    // Leftovers of an earlier run, inside and outside the cleared rows.
    s->R(5, 3, 4) = 7;
    s->R(100, 8, 5) = 7;
    s->R(101, 1, 1) = 7;
    clearResultTable(*s);
    EXPECT_EQ(s->R(5, 3, 4), 0);
    EXPECT_EQ(s->R(100, 8, 5), 0);
    EXPECT_EQ(s->R(101, 1, 1), 7); // only rows 1 to 100 are in use

    // 12 steps for two widths.
    for (int iw = 1; iw <= 2; ++iw) {
        s->IW = iw;
        for (int i = 1; i <= 12; ++i) {
            setStep(*s, 20 + 2.5 * i + iw);
            storeRangeStep(*s, i);
        }
    }
    EXPECT_EQ(s->R(1, 1, 1), 23.5);
    EXPECT_EQ(s->R(1, 2, 1), 76.5);
    EXPECT_EQ(s->R(1, 3, 1), 47.0);
    EXPECT_EQ(s->R(1, 4, 1), 10.0);
    EXPECT_EQ(s->R(1, 5, 1), 57.0);
    EXPECT_EQ(s->R(1, 6, 1), 28.5);
    EXPECT_EQ(s->R(1, 7, 1), 77.0);
    EXPECT_EQ(s->R(12, 1, 2), 52.0);
    for (int j = 1; j <= 8; ++j) {
        EXPECT_EQ(s->R(13, j, 1), 0);
        EXPECT_EQ(s->R(13, j, 2), 0);
        EXPECT_EQ(s->R(12, 8, 1), 0) << "column 8 is never used";
        for (int iw = 3; iw <= 5; ++iw)
            for (int i = 1; i <= 100; ++i) EXPECT_EQ(s->R(i, j, iw), 0);
    }

    // Out-of-range steps and widths store nothing.
    s->IW = 1;
    storeRangeStep(*s, 0);
    storeRangeStep(*s, 101);
    s->IW = 6;
    storeRangeStep(*s, 1);
    EXPECT_EQ(s->R(1, 1, 1), 23.5);
    EXPECT_EQ(s->R(101, 1, 1), 7);
}

TEST(GraphDataResultTable, MetricDisplayUnits) {
    auto s = std::make_unique<AnalysisState>();
    s->GSE = 100;
    s->IUNITS = 2;
    s->IW = 3;
    setStep(*s, 50);
    storeRangeStep(*s, 7);
    EXPECT_DOUBLE_EQ(s->R(7, 1, 3), 15.24);
    EXPECT_DOUBLE_EQ(s->R(7, 2, 3), 15.24);
    EXPECT_DOUBLE_EQ(s->R(7, 3, 3), 889.64);
    EXPECT_DOUBLE_EQ(s->R(7, 4, 3), 88.964);
    EXPECT_DOUBLE_EQ(s->R(7, 5, 3), 978.604);
    EXPECT_DOUBLE_EQ(s->R(7, 6, 3), 489.302);
    EXPECT_DOUBLE_EQ(s->R(7, 7, 3), 1156.532);
    EXPECT_EQ(s->R(7, 8, 3), 0);
}

TEST(GraphDataDepthFile, LinesFieldsAndLineEnds) {
    auto s = std::make_unique<AnalysisState>();
    s->IUNITS = 1;
    s->PROJNO = "97-0412";
    s->DRDATE = "03/11/97";
    s->ENGR = "R. HALE";
    s->BORNO = "B-7";
    s->STANO = "112+50";
    s->JOBNAME = "SR 44 OVER MILL CREEK";
    s->GSE = 100;
    s->NSAMP = 4;
    s->D(1) = 12.5;
    s->N(1) = 17;
    s->D(2) = 100.004; // elevation -0.004: never "-0.00"
    s->N(2) = 123456789;
    s->D(3) = 20;
    s->N(3) = 0;
    s->D(4) = 30; // the closing entry is not a sample
    s->N(4) = 99;

    const std::string zeros = "      0.00      0.00      0.00      0.00";
    const std::string expected = "OPT1,ENGLISH\r\n"
                                 "97-0412             \r\n"
                                 "03/11/97            \r\n"
                                 "R. HALE             \r\n"
                                 "B-7                 \r\n"
                                 "112+50              \r\n"
                                 "SR 44 OVER MILL CREEK                             \r\n"
                                 "   0\r\n"
                                 "     87.50     17.00" +
                                 zeros + "\r\n" + "      0.00**********" + zeros + "\r\n" +
                                 "     80.00      0.00" + zeros + "\r\n";
    EXPECT_EQ(depthDataFile(*s), expected);

    // Metric: elevations in m, blow counts unchanged.
    s->IUNITS = 2;
    s->NSAMP = 2;
    EXPECT_EQ(depthDataFile(*s).substr(0, 13), "OPT1,METRIC\r\n");
    const std::string text = depthDataFile(*s);
    EXPECT_EQ(text.substr(text.size() - 62), "     26.67     17.00" + zeros + "\r\n");

    // A log of the closing entry alone has no data lines.
    s->NSAMP = 1;
    EXPECT_EQ(depthDataFile(*s).substr(depthDataFile(*s).size() - 8), "\r\n   0\r\n");
    s->NSAMP = 0;
    EXPECT_EQ(depthDataFile(*s).substr(depthDataFile(*s).size() - 8), "\r\n   0\r\n");
}
