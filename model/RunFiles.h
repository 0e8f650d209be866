#pragma once

// The names of a project's file and of the files its run writes.

#include <string>

namespace zenka {

// Where the project's file and its report are, under the names the report prints. The run copies
// them into the analysis state.
struct RunFiles {
    // Input file name without folder; a single blank means none yet. Kept at full length: the
    // report cuts it to 30 characters where it prints it, the files use the whole name.
    std::string INFILE = " ";
    std::string OUTFILE; // report file name, without folder
    std::string OUTDIR;  // folder that receives the report and the depth data file
    std::string INDIR;   // folder of the input file: the depth data file's when the report is
                         // a device
};

// The file the run writes beside its report, for the graphs of blow count against depth.
inline constexpr const char* kDepthDataFileName = "SPTDEPTH.TMP";

// Full path of the report (OUTDIR/OUTFILE); empty without a name.
std::string reportPathOf(const RunFiles& files);
// The depth data file beside the report; beside the input file when the report goes to a device
// or a fifo, which has no folder of its own to share.
std::string depthDataPathOf(const RunFiles& files);

} // namespace zenka
