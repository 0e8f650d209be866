#pragma once

// Mobilized end bearing around the pile tip and its corrections for partial embedment in the
// bearing layer.

#include "engine/capacity/Correlations.h"
#include "engine/capacity/Layers.h"

namespace zenka {

// The error code of a tip zone that reaches below the deepest sample.
constexpr int kTipTooNearEndOfLog = 22;

// UL, LL, the point lists around the tip, AQPTA, AQPTB, AQPT, AQTBL, DA, CDF, DC, ECD, AQPTCD,
// AREA (H-pile block area), MAXB, SFBL, CSFBL and CMAXB, with the end-bearing correlation g.
// Needs the layers, IBL, ETBL and AFBL. Returns 0, or kTipTooNearEndOfLog with nothing after
// UL and LL computed.
int endBearing(AnalysisState& s, PileMaterial m, Correlation g);
// The same, reading the log through log (whose correlation is the end-bearing one).
int endBearing(AnalysisState& s, PileMaterial m, const LogSamples& log);

} // namespace zenka
