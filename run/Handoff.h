#pragma once

// The front end's single entry into the engine: validates the project, copies it into the
// analysis state in English units, runs the analysis and writes the run's files.

#include "run/RunOutput.h"

#include <functional>
#include <span>

namespace zenka {

struct AnalysisState;
class CPelbrinDoc;
class Shell;

// How a run ended; every caller decides by this alone.
enum class RunOutcome {
    Refused,     // a check failed; each failed check has said so
    InvalidSoil, // stopped at a soil code the log does not accept, which was named
    NotWritten,  // no file to put the report beside, two files of the run are one, or a file
                 // could not be made or written; whatever was there is as it was
    Written,     // the report, the depth data file and every further output were written
    Analysed,    // analysed in memory; no file was touched
};

struct RunRequest {
    // Files the run writes besides the report and the depth data file.
    std::span<const RunOutput> more;
    // Asked when the project has no file yet, after the checks passed: names the project's file
    // (a Save As) and says whether it did. Without it such a run writes nothing.
    std::function<bool()> nameProject;
    // Receives the report's text when the run's files were written.
    std::string* report = nullptr;
};

// No run starts while any two files of the run, the input file among them, are one file.
RunOutcome AnalysisHandoff(CPelbrinDoc& doc, AnalysisState& s, Shell& shell,
                           const RunRequest& request = {});

// The same checks and analysis with no file: the results stay in the state (and the report's
// text in `report`). Refused, InvalidSoil or Analysed.
RunOutcome analyseInMemory(const CPelbrinDoc& doc, AnalysisState& s, Shell& shell,
                           std::string* report = nullptr);

// The command-line programs' exit status for a run: 0 written, 1 refused, 2 a file that could
// not be written.
inline int exitStatus(RunOutcome outcome) {
    switch (outcome) {
    case RunOutcome::Refused:
    case RunOutcome::InvalidSoil:
        return 1;
    case RunOutcome::NotWritten:
        return 2;
    case RunOutcome::Written:
    case RunOutcome::Analysed:
        break;
    }
    return 0;
}

} // namespace zenka
