#pragma once

// What the hostile-input tests share: the hand-off's messages, projects of every pile shape, and
// the checks that a run either refused the project or computed only finite values.

#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"
#include "support/Projects.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>

namespace zenka::test {

// Every message the analysis hand-off shows, apart from the invalid soil code.
inline const std::set<std::string> kHandoffMessages = {
    "A minimum of 2 borelog entries must be entered",
    "At least one pile width must be entered",
    "Unit weight must be greater than 0",
    "Illegal pileshape encountered",
    "Pile lengths must be greater than 0",
    "Minimum pile length must be greater than 0",
    "Maximum pile length must be greater than 0 and greater than the minimum pilelength",
    "Pile length increment must be greater than 0",
    "Illegal analysis option encountered",
    "Illegal unit system encountered",
    "The boring log must end with an entry of soil type 0",
    "All pile widths in use must be greater than 0",
    "Wall thickness must be greater than 0 and less than half the pile width",
    "H-pile section depth and end area must be greater than 0",
    "Boring log depths must increase from entry to entry",
    "Ground surface elevation must be between -1000000 and 1000000",
    "Unit weight must be no more than 1000000",
    "Pile widths must be no more than 1000000",
    "H-pile section depth must be no more than 1000000 and end area no more than 10000000",
    "Pile lengths must be no more than 1000000",
    "Minimum and maximum pile length and increment must be no more than 1000000",
    "Boring log depths and blow counts must be between -1000000 and 1000000",
    "Boring log depths must increase by at least 0.01 from entry to entry",
};

inline bool isHandoffMessage(const std::string& text) {
    return kHandoffMessages.count(text) == 1 || text.starts_with("Invalid Soiltype ");
}

// Every computed case of the last run, and what the report prints of the last one.
inline bool resultsFinite(const AnalysisState& s) {
    for (const CaseResult& c : s.cases)
        for (double v : {c.WP, c.TPL, c.EBP, c.USF, c.CMAXB, c.MPC, c.TCP, c.UPC})
            if (!std::isfinite(v)) return false;
    if (s.cases.empty()) return true;
    for (int K = 1; K <= s.NLAY; ++K)
        for (double v : {s.ELEVBL(K), s.T(K), s.AN(K), s.AQL(K), s.SFL(K)})
            if (!std::isfinite(v)) return false;
    for (const auto* p : {&s.above, &s.below})
        for (int k = 1; k <= p->NP; ++k)
            for (double v : {p->Z(k), p->N(k), p->Q(k)})
                if (!std::isfinite(v)) return false;
    for (double v : {s.TSF, s.ANBL, s.AFBL, s.SFBL, s.CSFBL, s.AQPTA, s.AQPTB, s.AQPT, s.DC, s.DA,
                     s.AQPTCD, s.MAXB, s.WGP})
        if (!std::isfinite(v)) return false;
    return true;
}

// Projects of each pile shape and both analysis types, English and Metric.
inline void fillShape(CPelbrinDoc& doc, int variant) {
    fillWorkedCase(doc);
    switch (variant) {
    case 1: // steel H-pile over a range
        fillDeepSand(doc);
        doc.pileShape = 4;
        doc.unitWeight = 490;
        doc.pileWidths = {14.6, 0, 0, 0, 0};
        doc.hPileDepth = 13.8;
        doc.hPileEndArea = 21.4;
        doc.analysisType = 2;
        doc.minLength = 20;
        doc.maxLength = 60;
        doc.lengthIncrement = 10;
        break;
    case 2: // open steel pipe, two widths, two lengths
        doc.pileShape = 3;
        doc.unitWeight = 490;
        doc.pipeEnd = 1;
        doc.pipeThickness = 0.5;
        doc.pileWidths = {18, 24, 0, 0, 0};
        doc.widthCount = 2;
        doc.pileLengths[0] = 20;
        doc.pileLengths[1] = 30;
        break;
    case 3: // metric concrete cylinder over a range
        doc.ConvertUnits(1);
        doc.units = 2;
        doc.pileShape = 5;
        doc.pipeThickness = 127;
        doc.pileWidths = {1371.6, 0, 0, 0, 0};
        doc.analysisType = 2;
        doc.minLength = 3;
        doc.maxLength = 9;
        doc.lengthIncrement = 1.5;
        break;
    default: // the worked case: square concrete, one length
        break;
    }
}

constexpr int kShapeVariants = 4;

// A project of one of fillShape's variants, named so that its report goes to a fresh folder,
// with the run date fixed.
class ProjectInFolder : public ::testing::Test {
protected:
    void SetUp() override { setenv("SOURCE_DATE_EPOCH", "1700000000", 1); }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

    void project(int variant) {
        fillShape(doc, variant);
        doc.files.INFILE = "case.in";
        doc.files.OUTFILE = "case.out";
        doc.files.OUTDIR = dir.path();
    }

    TempDir dir;
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
};

} // namespace zenka::test
