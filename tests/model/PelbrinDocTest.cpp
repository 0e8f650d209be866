#include "model/PelbrinDoc.h"

#include "engine/AnalysisState.h"
#include "project/SampleProjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace zenka::test::projectfiles {
namespace {

// A graph window that counts how often one of its kind was destroyed.
// Graph windows that count how often the project closed them.
class CountingGraphs : public GraphWindows {
public:
    void closeAll() override { ++closed; }
    int closed = 0;
};

TEST(PelbrinDoc, RoundTo3RoundsHalfAwayFromZero) {
    EXPECT_DOUBLE_EQ(CPelbrinDoc::RoundTo3(-1.2344), -1.234);
    EXPECT_DOUBLE_EQ(CPelbrinDoc::RoundTo3(-1.2346), -1.235);
    EXPECT_DOUBLE_EQ(CPelbrinDoc::RoundTo3(1.2345), 1.235);
    EXPECT_DOUBLE_EQ(CPelbrinDoc::RoundTo3(1.2344), 1.234);
    EXPECT_DOUBLE_EQ(CPelbrinDoc::RoundTo3(0.0004), 0.0);
    EXPECT_DOUBLE_EQ(CPelbrinDoc::RoundTo3(-0.0005), -0.001);
    // Thousandfold beyond 32 bits.
    EXPECT_DOUBLE_EQ(CPelbrinDoc::RoundTo3(2147544.0919999997), 2147544.092);
    EXPECT_DOUBLE_EQ(CPelbrinDoc::RoundTo3(-5e9 - 0.0004), -5e9);
    EXPECT_EQ(CPelbrinDoc::RoundTo3(1e300), 1e300);
    EXPECT_EQ(CPelbrinDoc::RoundTo3(-1e300), -1e300);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(CPelbrinDoc::RoundTo3(inf), inf);
}

TEST(PelbrinDoc, ConvertUnitsBothWays) {
    DocWithState d;
    int notices = 0;
    d.doc.addChangedListener([&] { ++notices; });
    d.doc.units = 1;
    d.doc.depths[0] = 10;
    d.doc.depths[224] = 10;
    d.doc.pileWidths[0] = 18;
    d.doc.pileWidths[4] = 18;
    d.doc.hPileEndArea = 12;
    d.doc.pileLengths[19] = 10;
    d.doc.groundElevation = -1.2346;
    d.doc.unitWeight = 150;
    d.doc.waterTable = -4.1234;
    d.doc.blowCounts[0] = 7.5;

    d.doc.ConvertUnits(1);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(d.doc.units, 2);
    EXPECT_DOUBLE_EQ(d.doc.depths[0], 3.048);
    EXPECT_DOUBLE_EQ(d.doc.depths[224], 3.048);
    EXPECT_DOUBLE_EQ(d.doc.pileWidths[0], 457.2);
    EXPECT_DOUBLE_EQ(d.doc.pileWidths[4], 457.2);
    EXPECT_DOUBLE_EQ(d.doc.hPileEndArea, 7741.92);
    EXPECT_DOUBLE_EQ(d.doc.pileLengths[19], 3.048);
    EXPECT_DOUBLE_EQ(d.doc.groundElevation, -0.376);
    EXPECT_DOUBLE_EQ(d.doc.unitWeight, 23.563);
    EXPECT_EQ(d.doc.waterTable, -4.1234);
    EXPECT_EQ(d.doc.blowCounts[0], 7.5);

    d.doc.ConvertUnits(0);
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(d.doc.units, 1);
    EXPECT_DOUBLE_EQ(d.doc.depths[0], 10);
    EXPECT_DOUBLE_EQ(d.doc.pileWidths[0], 18);
    EXPECT_DOUBLE_EQ(d.doc.hPileEndArea, 12);
    EXPECT_DOUBLE_EQ(d.doc.groundElevation, -1.234);
    EXPECT_EQ(d.doc.waterTable, -4.1234);

    // A large end area converts without overflow.
    d.doc.hPileEndArea = 3328.7;
    d.doc.ConvertUnits(1);
    EXPECT_DOUBLE_EQ(d.doc.hPileEndArea, 2147544.092);
    d.doc.ConvertUnits(0);
    EXPECT_DOUBLE_EQ(d.doc.hPileEndArea, 3328.7);

    // Any other direction does nothing at all.
    for (int direction : {2, -1}) {
        d.doc.ConvertUnits(direction);
        EXPECT_EQ(d.doc.units, 1);
        EXPECT_DOUBLE_EQ(d.doc.depths[0], 10);
    }
    EXPECT_EQ(notices, 4);
    EXPECT_FALSE(d.doc.IsModified());
}

TEST(PelbrinDoc, ResetProjectClosesGraphsAndClearsTheProject) {
    CountingGraphs graphs;
    {
        DocWithState d;
        EXPECT_EQ(d.doc.files.INFILE, " "); // construction resets
        fillExample(d.doc);
        d.doc.pathName = "/p/bridge.in";
        d.doc.fileName = "bridge.in";
        d.doc.pipeEnd = 2;
        d.doc.lengthCount = 3;
        d.doc.unitWeightFactor = 1;
        d.doc.files.INFILE = "bridge.in";
        d.doc.files.OUTFILE = "bridge.out";
        d.doc.SetModified(true);
        d.doc.graphs = &graphs;

        d.doc.ResetProject();
        EXPECT_EQ(graphs.closed, 1);
        EXPECT_EQ(d.doc.files.INFILE, " ");
        EXPECT_EQ(d.doc.files.OUTFILE, "bridge.out");
        EXPECT_EQ(d.doc.fileName, "bridge.in");
        EXPECT_EQ(d.doc.pathName, "");
        EXPECT_FALSE(d.doc.IsModified());
        EXPECT_EQ(d.doc.units, -1);
        EXPECT_EQ(d.doc.pileShape, -1);
        EXPECT_EQ(d.doc.pipeEnd, 1);
        EXPECT_EQ(d.doc.analysisType, 0);
        EXPECT_EQ(d.doc.lengthCount, 0);
        EXPECT_EQ(d.doc.widthCount, 0);
        EXPECT_EQ(d.doc.station, "");
        EXPECT_EQ(d.doc.waterTable, 0.0);
        EXPECT_EQ(d.doc.depths[4], 0.0);
        EXPECT_EQ(d.doc.soilCodes[0], 0);
        EXPECT_EQ(d.doc.pileWidths[1], 0.0);
        EXPECT_EQ(d.doc.pileLengths[0], 0.0);
        EXPECT_EQ(d.doc.unitWeightFactor, 0.15708740670207796);
        EXPECT_EQ(d.doc.lengthFactor, 0.3048);
        EXPECT_EQ(d.doc.smallLengthFactor, 25.4);
        EXPECT_EQ(d.doc.areaFactor, 645.16);

        // The project closes the windows still open when it goes.
    }
    EXPECT_EQ(graphs.closed, 2);
}

} // namespace
} // namespace zenka::test::projectfiles
