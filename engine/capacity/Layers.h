#pragma once

// Section properties, soil layers, the depth-range average and the side friction above the
// bearing layer. Depths are feet below the ground surface, elevations GSE minus a depth.

#include "engine/AnalysisState.h"
#include "engine/capacity/Correlations.h"

namespace zenka {

// Steel piles (ISECT 3, 4) and concrete piles (ISECT 1, 2, 5) average alike except for the test
// that declares a range empty.
enum class PileMaterial { Steel, Concrete };

// The outcome of one depth-range average: the points (elevation, N, unit value) and the two
// trapezoidal averages.
struct RangeAverage {
    PointList<kMaxPoints> points;
    double AVGN = 0;
    double AVGQ = 0;
};

// How an average reads the log: the entries in use, the unit values at the samples, and whether
// the depths of the samples increase, which lets the bracket of a depth be found by bisection.
struct LogSamples {
    const AnalysisState& s;
    Correlation g;
    int ns = 0;                                // entries in use, the closing one included
    const Array1<double, kMaxSamples>* q = {}; // g at each sample; none: evaluated when needed
    bool increasing = false;                   // D(1) < D(2) < ... < D(ns - 1)

    // The log of s read as it stands, nothing precomputed.
    LogSamples(const AnalysisState& state, Correlation corr);
    LogSamples(const AnalysisState& state, Correlation corr, const Array1<double, kMaxSamples>& q,
               bool increasing);

    double unit(int k) const { return q ? (*q)(k) : correlate(g, s.N(k), s.ST(k)); }
    // The first i in 1..ns-2 with D(i) <= TOP < D(i + 1), or ns - 1 when there is none.
    int bracket(double TOP) const;
};

// Depth-range average of N and of g over [TOP, BOT]. A TOP above the first sample is raised to
// it inside; the caller's value is not changed.
void depthRangeAverage(const AnalysisState& s, PileMaterial m, Correlation g, double TOP,
                       double BOT, RangeAverage& out);
void depthRangeAverage(const LogSamples& log, PileMaterial m, double TOP, double BOT,
                       RangeAverage& out);

// AREA, PERIM, AWALL and WGP for ISECT, WP and TPL.
void sectionProperties(AnalysisState& s);

// NLAY, ELEVBL(K), T(K), LST(K) from the boring log.
void formLayers(AnalysisState& s);

// AN(K) and AQL(K) over every layer with the end-bearing correlation g.
void layerAverages(AnalysisState& s, PileMaterial m, Correlation g);

// IBL and ETBL for the tip elevation EBP.
void findBearingLayer(AnalysisState& s);

// SFL(K), TSF above the bearing layer and ANBL, AFBL within it, with the skin-friction
// correlation g.
void skinFriction(AnalysisState& s, PileMaterial m, Correlation g);

} // namespace zenka
