#include "project/RunCommands.h"

#include "base/Shell.h"
#include "engine/AnalysisState.h"
#include "engine/Driver.h"
#include "engine/Handoff.h"
#include "project/PelbrinDoc.h"

#include <filesystem>
#include <string>

namespace zenka {

bool runFinished(const CPelbrinDoc& doc, bool ran) {
    return ran && doc.inputValid == InputValid::Yes && doc.state().reportWritten;
}

bool RunAndView(CPelbrinDoc& doc, Shell& shell) {
    shell.beginWorking();
    const bool ran = AnalysisHandoff(doc, shell);
    shell.endWorking();
    if (!runFinished(doc, ran)) return false;
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
