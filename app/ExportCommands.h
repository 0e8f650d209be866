#pragma once

// The report of a run on paper: as one PDF file written with the run's other files, through the
// print dialog, or from the command line without a display.

#include "base/AtomicFile.h"
#include "graphs/ReportPages.h"

#include <optional>
#include <string>
#include <vector>

namespace zenka {

struct AnalysisState;
class CPelbrinDoc;
struct CommandLine;
class GuiShell;
class Shell;

// Runs the analysis as "Run and View Data" does and writes its report, depth data and the PDF
// at pdfPath in one write. True when every file was written.
bool runAndExportPdf(CPelbrinDoc& doc, AnalysisState& s, Shell& shell, const std::string& pdfPath,
                     Paper paper);

// File > "Export Report as PDF...": the save dialog (the paper chosen by its filter), then
// runAndExportPdf.
bool ExportReportPdf(CPelbrinDoc& doc, AnalysisState& s, GuiShell& shell);

// File > "Print Report...": the analysis, then its pages through the print dialog.
bool PrintReport(CPelbrinDoc& doc, AnalysisState& s, GuiShell& shell);

// The save dialog's filters, the default paper's first.
std::vector<std::string> pdfFilters(Paper first);

struct PdfChoice {
    std::string path;
    Paper paper; // as the dialog's filter chose it
};
// The save dialog for a PDF, asked again (with the reason) while the name chosen is one of the
// files to avoid. Nothing when cancelled.
std::optional<PdfChoice> choosePdfFile(GuiShell& shell, const std::string& title,
                                       std::vector<RoleFile> avoid);

// zenka --export-pdf PROJECT.in [-o OUT.pdf] [--paper letter|a4], as parseCommandLine read it;
// needs a QApplication. The exit status: 0 written, 1 refused, 2 a usage or file error.
int exportPdfCommandLine(const CommandLine& command);

// zenka --site-pdf DATA --template T.in ..., as parseCommandLine read it; needs a
// QApplication. The exit status: 0 written, 1 refused, 2 a usage or file error.
int sitePdfCommandLine(const CommandLine& command);

} // namespace zenka
