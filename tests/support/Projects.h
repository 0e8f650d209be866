#pragma once

// Projects the tests share, filled in directly as the main form would.

#include "model/PelbrinDoc.h"

#include <initializer_list>

namespace zenka::test {

struct Sample {
    double depth;
    double blows;
    int code;
};

inline void setLog(CPelbrinDoc& doc, std::initializer_list<Sample> samples) {
    doc.depths.fill(0);
    doc.blowCounts.fill(0);
    doc.soilCodes.fill(0);
    std::size_t i = 0;
    for (const Sample& s : samples) {
        doc.depths[i] = s.depth;
        doc.blowCounts[i] = s.blows;
        doc.soilCodes[i] = s.code;
        ++i;
    }
}

// The hand-worked case: square concrete pile 18 in wide and 30 ft long, ground at 10 ft, clay
// over sand.
inline void fillWorkedCase(CPelbrinDoc& doc) {
    doc.units = 1;
    doc.projectNumber = "1234-56";
    doc.jobName = "Worked case";
    doc.engineer = "D. E.";
    doc.boringDate = "02/15/97";
    doc.boringNumber = "B-1";
    doc.station = "12+50";
    doc.pileShape = 1;
    doc.unitWeight = 150;
    doc.analysisType = 1;
    doc.pipeEnd = 1;
    doc.pileWidths = {18, 0, 0, 0, 0};
    doc.widthCount = 1;
    doc.groundElevation = 10;
    doc.pileLengths.fill(0);
    doc.pileLengths[0] = 30;
    doc.lengthCount = 1;
    setLog(doc, {{0, 8, 1},
                 {5, 10, 1},
                 {10, 12, 1},
                 {15, 20, 3},
                 {20, 25, 3},
                 {25, 30, 3},
                 {30, 35, 3},
                 {35, 40, 3},
                 {40, 45, 3},
                 {45, 50, 3},
                 {50, 55, 3},
                 {55, 60, 3},
                 {60, 10, 0}});
}

// A sand log 300 ft deep: every length up to 250 ft computes.
inline void fillDeepSand(CPelbrinDoc& doc) {
    fillWorkedCase(doc);
    doc.depths.fill(0);
    doc.blowCounts.fill(0);
    doc.soilCodes.fill(0);
    for (std::size_t i = 0; i < 61; ++i) {
        doc.depths[i] = 5.0 * static_cast<double>(i);
        doc.blowCounts[i] = 10 + static_cast<double>(i % 7) * 5;
        doc.soilCodes[i] = 3;
    }
    doc.depths[61] = 305;
    doc.soilCodes[61] = 0;
}

} // namespace zenka::test
