#pragma once

// The analysis driver: loops over the widths and the lengths (or a range of lengths), calls the
// capacity computations and writes the report.

#include <string>

namespace zenka {

struct AnalysisState;
class ReportOut;
class Shell;

// The whole analysis into out, no files touched: what the report file will hold.
void runAnalysis(AnalysisState& s, ReportOut& out);

// Full path of the report of the current input file (OUTDIR/OUTFILE); empty without a name.
std::string reportPathOf(const AnalysisState& s);
// The depth data file beside the report.
std::string depthDataPathOf(const AnalysisState& s);

// runAnalysis, then the report OUTDIR/OUTFILE and the depth data file beside it. A file that
// cannot be written is reported through the shell with its path and the reason. Returns 0 when
// every file was written.
int AnalysisDriver(AnalysisState& s, Shell& shell);

} // namespace zenka
