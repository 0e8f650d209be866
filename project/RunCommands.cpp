#include "project/RunCommands.h"

#include "engine/AnalysisState.h"
#include "engine/Driver.h"
#include "engine/Handoff.h"
#include "project/PelbrinDoc.h"
#include "project/Shell.h"

#include <filesystem>
#include <string>

namespace zenka {

bool RunAndView(CPelbrinDoc& doc, Shell& shell) {
    shell.beginWorking();
    const bool ran = AnalysisHandoff(doc, shell);
    shell.endWorking();
    // A report that could not be written is never shown: an old one would pass for this run's.
    if (doc.inputValid != InputValid::Yes || !ran || !doc.state().reportWritten) return false;
    shell.openTextViewer(reportPathOf(doc.state()));
    return true;
}

bool ViewExistingReport(CPelbrinDoc& doc, Shell& shell) {
    // A viewer started on a missing file would only report its own error, or show an empty
    // new document that passes for a report.
    const std::string path = reportPathOf(doc.state());
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
        shell.showMessage(kNoReportYet, MessageKind::Information);
        return false;
    }
    shell.openTextViewer(path);
    return true;
}

} // namespace zenka
