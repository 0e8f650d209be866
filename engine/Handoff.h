#pragma once

// The front end's single entry into the engine: validates the project, copies it into the
// analysis state in English units and runs the driver.

namespace zenka {

class CPelbrinDoc;
class Shell;

// Sets doc.inputValid. False only when it stopped at an invalid soil code; true otherwise, also
// when the validation failed (inputValid 0) or the run stopped for another reason. Whether a
// report was written is in doc.state().reportWritten.
bool AnalysisHandoff(CPelbrinDoc& doc, Shell& shell);

} // namespace zenka
