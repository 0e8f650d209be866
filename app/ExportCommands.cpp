#include "app/ExportCommands.h"

#include "app/CommandLine.h"

#include "base/AtomicFile.h"
#include "batch/BatchShell.h"
#include "engine/AnalysisState.h"
#include "graphs/GuiShell.h"
#include "graphs/PdfOutput.h"
#include "graphs/SitePdf.h"
#include "import/DataFormats.h"
#include "model/PelbrinDoc.h"
#include "project/FileCommands.h"
#include "project/InputFile.h"
#include "run/RunCommands.h"
#include "site/SiteAnalysis.h"

#include <QFile>
#include <QPageSize>
#include <QPrinter>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace zenka {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitFileOrUsage = 2;

int usageError(const std::string& message, const char* command = "--export-pdf") {
    std::fprintf(stderr, "zenka: %s\nTry 'zenka %s --help' for more information.\n",
                 message.c_str(), command);
    return kExitFileOrUsage;
}

Paper paperOf(const QPageSize& size) {
    return size.id() == QPageSize::A4 ? Paper::A4 : Paper::Letter;
}

std::string trimmedJobName(const CPelbrinDoc& doc) {
    const std::string& j = doc.jobName;
    const std::size_t b = j.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return j.substr(b, j.find_last_not_of(" \t") - b + 1);
}

// A job name as a file name: no folder separators or characters file dialogs trip over.
std::string fileSafe(std::string name) {
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
            c == '>' || c == '|' || static_cast<unsigned char>(c) < 32)
            c = '_';
    return name;
}

} // namespace

namespace {

// The run with the PDF among its files.
RunOutcome exportRun(CPelbrinDoc& doc, AnalysisState& s, Shell& shell, const std::string& pdfPath,
                     Paper paper) {
    bool drawn = true;
    const RunOutput pdf = pdfOutput(doc, pdfPath, paper, drawn);
    shell.beginWorking();
    const RunOutcome outcome = RunProject(doc, s, shell, std::span(&pdf, 1));
    shell.endWorking();
    if (!drawn)
        shell.showMessage("The report could not be drawn into " + displayPath(pdfPath) + ".",
                          MessageKind::Warning);
    return outcome;
}

} // namespace

bool runAndExportPdf(CPelbrinDoc& doc, AnalysisState& s, Shell& shell, const std::string& pdfPath,
                     Paper paper) {
    return exportRun(doc, s, shell, pdfPath, paper) == RunOutcome::Written;
}

std::vector<std::string> pdfFilters(Paper first) {
    std::vector<std::string> filters = {"PDF Document, Letter paper (*.pdf)",
                                        "PDF Document, A4 paper (*.pdf)"};
    if (first == Paper::A4) std::swap(filters[0], filters[1]);
    return filters;
}

std::optional<PdfChoice> choosePdfFile(GuiShell& shell, const std::string& title,
                                       std::vector<RoleFile> avoid) {
    const Paper first = defaultPaper();
    FileDialogOptions options;
    options.filters = pdfFilters(first);
    options.defaultSuffix = "pdf";
    options.confirmOverwrite = true;
    options.title = title;
    avoid.push_back({"PDF file", {}});
    for (;;) {
        const std::optional<SaveChoice> chosen = shell.chooseSaveFileOfKind(options);
        if (!chosen) return std::nullopt;
        avoid.back().path = chosen->path;
        const std::string clash = sameFileMessage(avoid);
        if (clash.empty()) {
            const Paper other = first == Paper::A4 ? Paper::Letter : Paper::A4;
            return PdfChoice{chosen->path, chosen->filter == 1 ? other : first};
        }
        shell.showMessage(clash + "\nChoose another name for the PDF.", MessageKind::Warning);
    }
}

namespace {

constexpr const char* kSaveFirst = "Save the project first: the report is written beside it";

// A project never saved is saved first, under a name asked for with the reason: the print and
// export dialogs propose its folder.
bool savedFirst(CPelbrinDoc& doc, Shell& shell) {
    return !doc.pathName.empty() || SaveProjectAs(doc, shell, kSaveFirst);
}

} // namespace

bool ExportReportPdf(CPelbrinDoc& doc, AnalysisState& s, GuiShell& shell) {
    if (!savedFirst(doc, shell)) return false;
    // The PDF must not take the place of a file of the run: asked again, nothing written.
    const std::optional<PdfChoice> chosen =
        choosePdfFile(shell, "Export the report as PDF",
                      {{"project", doc.pathName}, {"report", reportPathOf(doc.files)}});
    return chosen && runAndExportPdf(doc, s, shell, chosen->path, chosen->paper);
}

bool PrintReport(CPelbrinDoc& doc, AnalysisState& s, GuiShell& shell) {
    if (!savedFirst(doc, shell)) return false;
    // The print dialog comes before the run: cancelled, it leaves every file as it was.
    QPrinter printer(QPrinter::HighResolution);
    const Paper first = defaultPaper();
    printer.setPageSize(QPageSize(first == Paper::A4 ? QPageSize::A4 : QPageSize::Letter));
    const std::string title = trimmedJobName(doc);
    printer.setDocName(QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size())));
    // Printing to a file proposes the project's folder and the job name.
    const std::string folder = doc.files.OUTDIR.empty() ? "." : doc.files.OUTDIR;
    printer.setOutputFileName(QFile::decodeName(QByteArray::fromStdString(
        folder + "/" + (title.empty() ? "report" : fileSafe(title)) + ".pdf")));
    if (!shell.choosePrinter(printer)) return false;

    shell.beginWorking();
    std::string report;
    const RunOutcome outcome = RunProject(doc, s, shell, {}, {}, &report);
    shell.endWorking();
    if (outcome != RunOutcome::Written) return false;
    const ReportPrint print = reportPrint(doc, s, report, paperOf(printer.pageLayout().pageSize()));

    const QString file = printer.outputFileName();
    if (!file.isEmpty()) {
        // Written whole or not at all, as every other file.
        const std::string path = QFile::encodeName(file).toStdString();
        const std::string bytes = reportPdf(print);
        if (bytes.empty()) {
            shell.showMessage("The report could not be drawn into " + displayPath(path) + ".",
                              MessageKind::Warning);
            return false;
        }
        if (const FileResult r = writeFileAtomically(path, bytes); !r.ok) {
            shell.showMessage(r.message, MessageKind::Warning);
            return false;
        }
        return true;
    }
    if (!paintReport(printer, print)) {
        shell.showMessage("The report could not be sent to the printer " +
                              QFile::encodeName(printer.printerName()).toStdString() + ".",
                          MessageKind::Warning);
        return false;
    }
    return true;
}

int exportPdfCommandLine(const CommandLine& command) {
    const std::string& input = command.input;
    std::string output = command.output;
    const bool haveOutput = !output.empty();
    Paper paper = defaultPaper();
    if (command.paper == "letter") paper = Paper::Letter;
    if (command.paper == "a4") paper = Paper::A4;

    namespace fs = std::filesystem;
    auto state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    BatchShell shell(stderr);
    std::error_code ec;
    const fs::path absolute = fs::absolute(fs::path(input), ec);
    shell.setFileToOpen(ec ? input : absolute.string());
    if (!OpenProject(doc, shell)) return kExitFileOrUsage;
    doc.files.INDIR = (ec ? fs::path(input) : absolute).parent_path().string();
    if (!haveOutput) output = (fs::path(input).replace_extension(".pdf")).string();
    if (fs::path(output).filename().empty())
        return usageError("'" + output + "' is not a file name");

    return exitStatus(exportRun(doc, *state, shell, output, paper));
}

int sitePdfCommandLine(const CommandLine& command) {
    namespace fs = std::filesystem;
    BatchShell shell(stderr);
    const std::string& data = command.input;
    const std::string output = command.output.empty() ? defaultSitePdfPath(data) : command.output;
    if (fs::path(output).filename().empty())
        return usageError("'" + output + "' is not a file name", "--site-pdf");
    // The PDF never takes the place of what it is made from.
    std::vector<RoleFile> files = {{"data file", data}, {"template", command.templateFile}};
    if (!command.soilMap.empty()) files.push_back({"soil map", command.soilMap});
    files.push_back({"PDF file", output});
    if (const std::string same = sameFileMessage(files); !same.empty()) {
        shell.showMessage(same, MessageKind::Warning);
        return kExitFileOrUsage;
    }

    SiteRequest request;
    request.dataFile = data;
    request.templateFile = command.templateFile;
    request.hammerFactor = command.nFactor;
    if (const FileResult r = readWholeFile(command.templateFile, request.templateBytes,
                                           ReadLimits{.regularOnly = true});
        !r.ok) {
        shell.showMessage(r.message, MessageKind::Warning);
        return kExitFileOrUsage;
    }
    // A template that is no project would have every borehole refused for a reason that hides
    // this one (an empty file holds no unit system, and a log is built for none).
    if (const std::string why = projectFileProblem(request.templateBytes); !why.empty()) {
        shell.showMessage(displayPath(command.templateFile) + " is not a Zenka project: " + why +
                              ".",
                          MessageKind::Warning);
        return kExitFileOrUsage;
    }
    int units = 0;
    {
        CPelbrinDoc templ;
        templ.ResetProject();
        const std::vector<ReadWarning> warnings = readInputFile(request.templateBytes, templ);
        if (!warnings.empty()) shell.showReadWarnings(displayPath(command.templateFile), warnings);
        units = templ.units;
    }
    if (!command.soilMap.empty() && !readSoilMap(command.soilMap, request.soilMap, shell))
        return kExitFileOrUsage;
    const dataimport::DataFile file = dataimport::readDataFile(data);
    if (!file.error.empty()) {
        shell.showMessage(file.error, MessageKind::Warning);
        return kExitFileOrUsage;
    }
    const auto chosen = chooseBoreholes(file, command.boreholes, data, shell);
    // A name the file lacks is a mistake on the command line; a file without tests, the site's.
    if (!chosen) return command.boreholes.empty() ? kExitRefused : kExitFileOrUsage;

    const std::vector<std::string> missing =
        missingSoilCodes(file, *chosen, request.soilMap, units);
    if (!missing.empty()) {
        std::string names;
        for (const std::string& m : missing) names += (names.empty() ? "" : ", ") + m;
        shell.showMessage(
            "No soil code for " + std::to_string(missing.size()) +
                " classification(s) in use: " + terminalText(names) +
                ". Nothing was written.\nPass the site's soil map with --soil-map MAP (rows "
                "classification,code; a row *,CODE for the rest): 'zenka-batch --import " +
                displayPath(data) + " --template " + displayPath(command.templateFile) +
                "' writes one with proposed codes to check.",
            MessageKind::Warning);
        return kExitRefused;
    }

    SitePrint print;
    print.site = analyseSite(request, file, *chosen);
    for (const auto& [name, why] : print.site.skipped)
        shell.showMessage("Borehole " + terminalText(name) +
                              " was not analysed: " + terminalText(why),
                          MessageKind::Warning);
    if (print.site.boreholes.empty()) {
        shell.showMessage("No borehole of " + displayPath(data) + " could be analysed on " +
                              displayPath(command.templateFile) + ". Nothing was written.",
                          MessageKind::Warning);
        return kExitRefused;
    }
    print.required = command.required;
    print.kind = capacityKindNamed(command.capacity).value_or(CapacityKind::Allowable);
    print.paper = command.paper == "a4"       ? Paper::A4
                  : command.paper == "letter" ? Paper::Letter
                                              : defaultPaper();
    print.stamp = runStampNow();
    if (const std::string failed = writeSitePdf(print, output); !failed.empty()) {
        shell.showMessage(failed, MessageKind::Warning);
        return kExitFileOrUsage;
    }
    return kExitOk;
}

} // namespace zenka
