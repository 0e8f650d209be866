#pragma once

// Analysis states for the capacity tests: a boring log, a pile and one length.

#include "engine/AnalysisState.h"
#include "engine/capacity/PileCapacity.h"

#include <initializer_list>
#include <memory>

namespace zenka::test {

struct LogEntry {
    double depth;
    double N;
    int soil;
};

// A state holding the log (the last entry closes it) and one pile width; English units.
inline std::unique_ptr<AnalysisState> makeState(std::initializer_list<LogEntry> log, int ISECT,
                                                double GSE, double WP, double TPL) {
    auto s = std::make_unique<AnalysisState>();
    int i = 0;
    for (const LogEntry& e : log) {
        ++i;
        s->D(i) = e.depth;
        s->N(i) = e.N;
        s->ST(i) = e.soil;
    }
    s->NSAMP = i;
    s->ISECT = ISECT;
    s->IPIPE = 2;
    s->IUNITS = 1;
    s->GSE = GSE;
    s->UWP = 490;
    s->PWID(1) = WP;
    s->NW = 1;
    s->IW = 1;
    s->TPL = TPL;
    return s;
}

// Square concrete pile 18 in wide, 30 ft long, ground at elevation 10 ft, over a clay layer of
// 15 ft and sand down to the closing entry at 60 ft.
inline std::unique_ptr<AnalysisState> workedCase() {
    return makeState({{0, 8, 1},
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
                      {60, 10, 0}},
                     1, 10, 18, 30);
}

// Runs the computation the driver would call for s.ISECT and returns its code.
inline int compute(AnalysisState& s) {
    int IERR = kReportUnit;
    if (s.ISECT == 3 || s.ISECT == 4)
        computeSteelPile(IERR, s);
    else
        computeConcretePile(IERR, s);
    return IERR;
}

} // namespace zenka::test
