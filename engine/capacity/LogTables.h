#pragma once

// What the computations take from the boring log alone: the layers, the layer averages AN(K)
// and AQL(K), the skin friction average over every layer and the correlations at every sample.
// None of it depends on the pile width or length, so a run works it out once for all of them.

#include "engine/AnalysisState.h"
#include "engine/capacity/Correlations.h"
#include "engine/capacity/Layers.h"

namespace zenka {

struct LogTables {
    int NLAY = 0;
    Array1<double, kMaxLayers> ELEVBL;
    Array1<double, kMaxLayers> T;
    Array1<int, kMaxLayers> LST;
    Array1<double, kMaxLayers> AN;
    Array1<double, kMaxLayers> AQL;
    // Average unit skin friction over layer K, from the bottom of the layer above it.
    Array1<double, kMaxLayers> AFL;
    // The end-bearing and skin-friction correlations at each sample.
    Array1<double, kMaxSamples> qEndBearing;
    Array1<double, kMaxSamples> qSkinFriction;
    bool increasing = false; // D(1) < ... < D(NSAMP - 1)

    LogSamples endBearingSamples(const AnalysisState& s) const;
    LogSamples skinFrictionSamples(const AnalysisState& s) const;
    Correlation endBearing = Correlation::ENDBRG;
    Correlation skinFriction = Correlation::SKFRIC;
};

// The tables for the log of s (NSAMP between 3 and the log's size), and NLAY, ELEVBL, T, LST, AN
// and AQL set in s from them. They are remembered, together with the log, GSE and the pile's
// correlations they came from, and made again whenever any of these differs, so the answer is
// always that of the log as it stands.
const LogTables& layersOfLog(AnalysisState& s, PileMaterial m, PileCorrelations g);

// skinFriction for the tip EBP of s, its layer averages taken from t.
void skinFriction(AnalysisState& s, PileMaterial m, const LogTables& t);

} // namespace zenka
