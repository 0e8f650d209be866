#include "engine/capacity/PileCapacity.h"

#include "engine/AnalysisState.h"

// Placeholder until the capacity computations land: every case succeeds with no result.

namespace zenka {

void computeSteelPile(int& IERR, AnalysisState&) { IERR = 0; }
void computeConcretePile(int& IERR, AnalysisState&) { IERR = 0; }

} // namespace zenka
