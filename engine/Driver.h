#pragma once

// The analysis driver: loops over the widths and the lengths (or a range of lengths), calls the
// capacity computations and writes the report's text. The run's files are written in run/.

namespace zenka {

struct AnalysisState;
class ReportOut;

// The whole analysis into out, no files touched: what the report file will hold.
void runAnalysis(AnalysisState& s, ReportOut& out);

} // namespace zenka
