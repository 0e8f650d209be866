#pragma once

// Data the graphs read after a run: the capacity result table R and the depth data file.

#include <string>

namespace zenka {

struct AnalysisState;

// Rows 1..100 of every quantity and width set to 0.
void clearResultTable(AnalysisState& s);
// Stores step i of a range for width s.IW, in display units of s.IUNITS.
void storeRangeStep(AnalysisState& s, int step);
// The bytes of the depth data file for the current log.
std::string depthDataFile(const AnalysisState& s);

} // namespace zenka
