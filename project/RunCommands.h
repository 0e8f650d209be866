#pragma once

// The commands that connect the project with its report: run the analysis and show the report,
// or show the report of the last run again.

namespace zenka {

class CPelbrinDoc;
class Shell;

// The working notice, the analysis hand-off, then the text viewer on the report when the run
// wrote it. True when the viewer was started.
bool RunAndView(CPelbrinDoc& doc, Shell& shell);

// The viewer on the current input file's report, without running anything; without a report
// name the viewer starts without a file.
void ViewExistingReport(CPelbrinDoc& doc, Shell& shell);

} // namespace zenka
