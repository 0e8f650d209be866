#pragma once

// The sample project that the file tests write and read: an English project with two square
// concrete widths, three specific lengths and a five-entry log.

#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace zenka::test::projectfiles {

inline const std::string kExampleFile = "1\r\n"
                                        "1234-56\r\n"
                                        "02/15/97\r\n"
                                        "D. E.\r\n"
                                        "B-1\r\n"
                                        "12+50, 10 LT watertable=         -4.0000\r\n"
                                        "Bridge over creek\r\n"
                                        "1         150.0000\r\n"
                                        "1 1\r\n"
                                        "2          18.0000          24.0000 \r\n"
                                        "         10.5000 \r\n"
                                        "          40.0000          50.0000          60.0000 \r\n"
                                        "   0.00   2.00   3 \r\n"
                                        "   2.50   5.00   3 \r\n"
                                        "   5.00  12.00   3 \r\n"
                                        "   7.50  20.00   2 \r\n"
                                        "  10.00  35.00   4 \r\n"
                                        "   0.00   0.00   0 \r\n";

inline void fillExample(CPelbrinDoc& d) {
    d.units = 1;
    d.projectNumber = "1234-56";
    d.boringDate = "02/15/97";
    d.engineer = "D. E.";
    d.boringNumber = "B-1";
    d.station = "12+50, 10 LT";
    d.waterTable = -4;
    d.jobName = "Bridge over creek";
    d.pileShape = 1;
    d.unitWeight = 150;
    d.analysisType = 1;
    d.pipeEnd = 1;
    d.pileWidths = {18, 24, 0, 0, 0};
    d.widthCount = 2;
    d.groundElevation = 10.5;
    d.pileLengths[0] = 40;
    d.pileLengths[1] = 50;
    d.pileLengths[2] = 60;
    const double depths[] = {0, 2.5, 5, 7.5, 10};
    const double blows[] = {2, 5, 12, 20, 35};
    const int codes[] = {3, 3, 3, 2, 4};
    for (int i = 0; i < 5; ++i) {
        d.depths[static_cast<std::size_t>(i)] = depths[i];
        d.blowCounts[static_cast<std::size_t>(i)] = blows[i];
        d.soilCodes[static_cast<std::size_t>(i)] = codes[i];
    }
}

// A project with the analysis state it is bound to.
struct DocWithState {
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
};

// Every stored field of two projects, compared.
inline void expectSameProject(const CPelbrinDoc& a, const CPelbrinDoc& b) {
    EXPECT_EQ(a.units, b.units);
    EXPECT_EQ(a.projectNumber, b.projectNumber);
    EXPECT_EQ(a.boringDate, b.boringDate);
    EXPECT_EQ(a.engineer, b.engineer);
    EXPECT_EQ(a.boringNumber, b.boringNumber);
    EXPECT_EQ(a.station, b.station);
    EXPECT_EQ(a.waterTable, b.waterTable);
    EXPECT_EQ(a.jobName, b.jobName);
    EXPECT_EQ(a.pileShape, b.pileShape);
    EXPECT_EQ(a.unitWeight, b.unitWeight);
    EXPECT_EQ(a.analysisType, b.analysisType);
    EXPECT_EQ(a.pipeEnd, b.pipeEnd);
    EXPECT_EQ(a.pileWidths, b.pileWidths);
    EXPECT_EQ(a.widthCount, b.widthCount);
    EXPECT_EQ(a.groundElevation, b.groundElevation);
    EXPECT_EQ(a.pipeThickness, b.pipeThickness);
    EXPECT_EQ(a.hPileDepth, b.hPileDepth);
    EXPECT_EQ(a.hPileEndArea, b.hPileEndArea);
    EXPECT_EQ(a.pileLengths, b.pileLengths);
    EXPECT_EQ(a.lengthCount, b.lengthCount);
    EXPECT_EQ(a.minLength, b.minLength);
    EXPECT_EQ(a.maxLength, b.maxLength);
    EXPECT_EQ(a.lengthIncrement, b.lengthIncrement);
    EXPECT_EQ(a.depths, b.depths);
    EXPECT_EQ(a.blowCounts, b.blowCounts);
    EXPECT_EQ(a.soilCodes, b.soilCodes);
}

} // namespace zenka::test::projectfiles
