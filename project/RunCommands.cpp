#include "project/RunCommands.h"

#include "engine/AnalysisState.h"
#include "engine/Driver.h"
#include "engine/Handoff.h"
#include "project/PelbrinDoc.h"
#include "project/Shell.h"

namespace zenka {

bool RunAndView(CPelbrinDoc& doc, Shell& shell) {
    shell.beginWorking();
    const bool ran = AnalysisHandoff(doc, shell);
    shell.endWorking();
    // A report that could not be written is never shown: an old one would pass for this run's.
    if (doc.inputValid != 1 || !ran || !doc.state().reportWritten) return false;
    shell.openTextViewer(reportPathOf(doc.state()));
    return true;
}

void ViewExistingReport(CPelbrinDoc& doc, Shell& shell) {
    shell.openTextViewer(reportPathOf(doc.state()));
}

} // namespace zenka
