#include "graphs/PdfOutput.h"

#include <optional>

namespace zenka {

RunOutput pdfOutput(const CPelbrinDoc& doc, const std::string& path, Paper paper, bool& drawn) {
    return {"PDF file", path, [&doc, paper, &drawn](const RunResult& run) {
                std::string bytes = reportPdf(reportPrint(doc, run.state, run.report, paper));
                // An empty file is no PDF.
                drawn = !bytes.empty();
                if (!drawn) return std::optional<std::string>();
                return std::optional<std::string>(std::move(bytes));
            }};
}

} // namespace zenka
