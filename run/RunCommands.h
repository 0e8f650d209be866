#pragma once

// The commands that connect the project with its report: run the analysis and show the report,
// or show the report of the last run again.

#include "run/Handoff.h"

#include <span>
#include <string>

namespace zenka {

struct AnalysisState;
class CPelbrinDoc;
class Shell;

// The hand-off, asking for the project's file first (Save As, titled `purpose`) when it has
// none yet.
RunOutcome RunProject(CPelbrinDoc& doc, AnalysisState& s, Shell& shell,
                      std::span<const RunOutput> more = {}, const std::string& purpose = {},
                      std::string* report = nullptr);

// The working notice, the run, then the text viewer on the report when the run wrote it. True
// when the viewer was started.
bool RunAndView(CPelbrinDoc& doc, AnalysisState& s, Shell& shell);

// The viewer on the current input file's report, without running anything. Without a report on
// disk it says so and starts nothing. True when the viewer was started.
bool ViewExistingReport(const CPelbrinDoc& doc, Shell& shell);

inline constexpr const char* kNoReportYet =
    "There is no report for this project yet: run the analysis first.";

} // namespace zenka
