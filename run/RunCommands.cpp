#include "run/RunCommands.h"

#include "base/Shell.h"
#include "model/PelbrinDoc.h"
#include "project/FileCommands.h"

#include <filesystem>
#include <string>

namespace zenka {

RunOutcome RunProject(CPelbrinDoc& doc, AnalysisState& s, Shell& shell,
                      std::span<const RunOutput> more, const std::string& purpose,
                      std::string* report) {
    RunRequest request;
    request.more = more;
    request.nameProject = [&] { return SaveProjectAs(doc, shell, purpose); };
    request.report = report;
    return AnalysisHandoff(doc, s, shell, request);
}

bool RunAndView(CPelbrinDoc& doc, AnalysisState& s, Shell& shell) {
    shell.beginWorking();
    const RunOutcome outcome = RunProject(doc, s, shell);
    shell.endWorking();
    if (outcome != RunOutcome::Written) return false;
    shell.openTextViewer(reportPathOf(doc.files));
    return true;
}

bool ViewExistingReport(const CPelbrinDoc& doc, Shell& shell) {
    // A viewer started on a missing file would only report its own error, or show an empty
    // new document that passes for a report.
    const std::string path = reportPathOf(doc.files);
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
        shell.showMessage(kNoReportYet, MessageKind::Information);
        return false;
    }
    shell.openTextViewer(path);
    return true;
}

} // namespace zenka
