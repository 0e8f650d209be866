#pragma once

// The analysis driver: loops over the widths and the lengths (or a range of lengths), calls the
// capacity computations and writes the report.

#include <functional>
#include <optional>
#include <span>
#include <string>

namespace zenka {

struct AnalysisState;
class ReportOut;
class Shell;

// The whole analysis into out, no files touched: what the report file will hold.
void runAnalysis(AnalysisState& s, ReportOut& out);

// Full path of the report of the current input file (OUTDIR/OUTFILE); empty without a name.
std::string reportPathOf(const AnalysisState& s);
// The depth data file beside the report; beside the input file when the report goes to a device
// or a fifo, which has no folder of its own to share.
std::string depthDataPathOf(const AnalysisState& s);

// A file a run writes besides its report and depth data file, made from the run's results;
// while it is made, s.report holds the run's report.
struct RunOutput {
    std::string role; // what it is, for messages: "CSV file"
    std::string path;
    // Nothing when the file could not be made; whoever made it says why.
    std::function<std::optional<std::string>(const AnalysisState&)> bytes;
};

// runAnalysis, then the report OUTDIR/OUTFILE, the depth data file and the further outputs, all
// in one write: either every file is replaced or none, also when a further output could not be
// made. A file that cannot be written is reported through the shell with its path and the
// reason. Returns 0 when every file was written.
int AnalysisDriver(AnalysisState& s, Shell& shell, std::span<const RunOutput> more = {});

} // namespace zenka
