#pragma once

// The per-length capacity computations. Each reads the analysis state for the current width
// (IW) and length (TPL) and leaves its results in the state. IERR carries the report's output
// unit in and the error code out: 0 success, 23 tip at or below the deepest sample, 22 tip zone
// reaching below it. On an error the message is already in the report.

namespace zenka {

struct AnalysisState;

// Steel pipe (ISECT 3) and steel H-piles (ISECT 4).
void computeSteelPile(int& IERR, AnalysisState& s);
// Square (1), round (2) and cylinder (5) concrete piles.
void computeConcretePile(int& IERR, AnalysisState& s);

} // namespace zenka
