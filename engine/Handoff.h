#pragma once

// The front end's single entry into the engine: validates the project, copies it into the
// analysis state in English units and runs the driver.

#include "engine/Driver.h"

#include <span>

namespace zenka {

class CPelbrinDoc;
class Shell;

// Sets doc.inputValid. False only when it stopped at an invalid soil code; true otherwise, also
// when the validation failed (inputValid 0) or the run stopped for another reason. Whether a
// report was written is in doc.state().reportWritten. `more` are files the run writes besides the
// report and the depth data file; no run starts while any two files of the run, the input file
// among them, are one file.
bool AnalysisHandoff(CPelbrinDoc& doc, Shell& shell, std::span<const RunOutput> more = {});

} // namespace zenka
