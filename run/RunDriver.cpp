#include "run/RunDriver.h"

#include "base/AtomicFile.h"
#include "base/Shell.h"
#include "engine/AnalysisState.h"
#include "engine/Driver.h"
#include "engine/Report.h"

#include <optional>
#include <vector>

namespace zenka {

bool writeRun(AnalysisState& s, Shell& shell, std::span<const RunOutput> outputs,
              std::string* report) {
    ReportOut out;
    runAnalysis(s, out);

    // Every file of the run goes out together: none is replaced unless all can be.
    const RunResult result{s, out.text()};
    std::vector<std::string> bytes;
    bytes.reserve(outputs.size());
    for (const RunOutput& o : outputs) {
        std::optional<std::string> made = o.bytes(result);
        if (!made) return false;
        bytes.push_back(std::move(*made));
    }
    std::vector<FileToWrite> files;
    files.reserve(outputs.size());
    for (std::size_t i = 0; i < outputs.size(); ++i) files.push_back({outputs[i].path, bytes[i]});
    if (const FileResult r = writeFilesAtomically(files); !r.ok) {
        shell.showMessage(r.message, MessageKind::Warning);
        return false;
    }
    if (report) *report = out.text();
    return true;
}

} // namespace zenka
