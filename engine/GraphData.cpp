#include "engine/GraphData.h"

#include "engine/AnalysisState.h"

// Placeholder until the graph data lands.

namespace zenka {

void clearResultTable(AnalysisState& s) {
    for (int w = 1; w <= kMaxWidths; ++w)
        for (int j = 1; j <= 8; ++j)
            for (int i = 1; i <= kMaxRangeSteps; ++i) s.R(i, j, w) = 0;
}

void storeRangeStep(AnalysisState&, int) {}

std::string depthDataFile(const AnalysisState&) { return {}; }

} // namespace zenka
