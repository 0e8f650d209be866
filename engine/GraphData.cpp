#include "engine/GraphData.h"

#include "engine/AnalysisState.h"
#include "engine/Report.h"

#include <algorithm>

namespace zenka {

void clearResultTable(AnalysisState& s) {
    for (int w = 1; w <= kMaxWidths; ++w)
        for (int j = 1; j <= 8; ++j)
            for (int i = 1; i <= kMaxRangeSteps; ++i) s.R(i, j, w) = 0;
}

void storeRangeStep(AnalysisState& s, int step) {
    if (step < 1 || step > kMaxRangeSteps || s.IW < 1 || s.IW > kMaxWidths) return;
    // Display units, the same rule as the report, so the graph plots what the table printed.
    const ReportUnits& u = ReportUnits::of(s.IUNITS);
    s.R(step, 1, s.IW) = u.len(s.TPL);
    s.R(step, 2, s.IW) = u.len(s.EBP);
    s.R(step, 3, s.IW) = u.force(s.USF);
    s.R(step, 4, s.IW) = u.force(s.CMAXB);
    s.R(step, 5, s.IW) = u.force(s.MPC);
    s.R(step, 6, s.IW) = u.force(s.TCP);
    s.R(step, 7, s.IW) = u.force(s.UPC);
}

std::string depthDataFile(const AnalysisState& s) {
    const ReportUnits& u = ReportUnits::of(s.IUNITS);
    ReportOut out;
    out.line().text(1, u.english ? "OPT1,ENGLISH" : "OPT1,METRIC");
    out.line().A(1, s.PROJNO, 20);
    out.line().A(1, s.DRDATE, 20);
    out.line().A(1, s.ENGR, 20);
    out.line().A(1, s.BORNO, 20);
    out.line().A(1, s.STANO, 20);
    out.line().A(1, s.JOBNAME, 50);
    out.line().I(1, 0, 4);
    // Every sample; the closing entry is the bottom of the boring, not a sample.
    const int samples = std::min(s.NSAMP, kMaxSamples) - 1;
    for (int I = 1; I <= samples; ++I)
        out.line()
            .F(1, u.len(s.GSE - s.D(I)), 10, 2)
            .F(11, s.N(I), 10, 2)
            .F(21, 0.0, 10, 2)
            .F(31, 0.0, 10, 2)
            .F(41, 0.0, 10, 2)
            .F(51, 0.0, 10, 2);
    return out.text();
}

} // namespace zenka
