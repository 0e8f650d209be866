#pragma once

// The commands that connect the project with its report: run the analysis and show the report,
// or show the report of the last run again.

namespace zenka {

class CPelbrinDoc;
class Shell;

// Whether the last hand-off ran the whole analysis and wrote its report: `ran` is what the
// hand-off returned. A report that could not be written, or an earlier run's results, must
// never pass for this run's.
bool runFinished(const CPelbrinDoc& doc, bool ran);

// The working notice, the analysis hand-off, then the text viewer on the report when the run
// wrote it. True when the viewer was started.
bool RunAndView(CPelbrinDoc& doc, Shell& shell);

// The viewer on the current input file's report, without running anything. Without a report on
// disk it says so and starts nothing. True when the viewer was started.
bool ViewExistingReport(CPelbrinDoc& doc, Shell& shell);

inline constexpr const char* kNoReportYet =
    "There is no report for this project yet: run the analysis first.";

} // namespace zenka
