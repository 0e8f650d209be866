#include "batch/DataImport.h"

#include "base/AtomicFile.h"
#include "base/Format.h"
#include "batch/BatchShell.h"
#include "import/Delimited.h"
#include "import/LogBuilder.h"
#include "import/SoilClassification.h"
#include "model/PelbrinDoc.h"
#include "model/RunFiles.h"
#include "project/InputFile.h"
#include "site/SiteAnalysis.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace zenka {

namespace {

using namespace dataimport;

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitFileOrUsage = 2;

std::string number(const std::optional<double>& v, LengthUnit unit) {
    if (!v) return "-";
    return printfFixed(*v, 2) + " " + unitWord(unit);
}

// A table cell: text padded to width columns (right-aligned or left), never cut; a text that
// fills the cell gets one blank after it.
std::string pad(std::string text, std::size_t width, bool right) {
    if (text.size() >= width) return text + " ";
    const std::string fill(width - text.size(), ' ');
    return right ? fill + text : text + fill;
}

std::optional<DataFile> readData(const std::string& path, BatchShell& shell) {
    DataFile file = readDataFile(path);
    if (!file.error.empty()) {
        shell.showMessage(file.error, MessageKind::Warning);
        return std::nullopt;
    }
    return file;
}

// What the file says is wrong, once, before anything else: the file's own problems and those
// of the boreholes `shown` keeps.
void printProblems(const std::string& path, const DataFile& file,
                   const std::function<bool(const std::string& borehole)>& shown) {
    std::string out;
    for (const Problem& p : file.problems) {
        if (!p.borehole.empty() && shown && !shown(p.borehole)) continue;
        out += terminalText(path) + ": " + terminalText(p.borehole) +
               (p.borehole.empty() ? "" : ": ") + terminalText(p.message) + "\n";
    }
    std::fputs(out.c_str(), stderr);
}

} // namespace

std::string safeFileName(const std::string& id) {
    std::string name;
    for (char c : id) {
        const auto u = static_cast<unsigned char>(c);
        const bool bad = c == '/' || c == '\\' || u < 32 || u == 127 || c == ':' || c == '*' ||
                         c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
        name += bad ? '_' : c;
    }
    // Never hidden, never a folder's own name.
    if (name.empty() || name.front() == '.') name.insert(0, 1, '_');
    return name;
}

int listDataFile(const ImportOptions& opt, BatchShell& shell) {
    const std::optional<DataFile> file = readData(opt.dataFile, shell);
    if (!file) return kExitFileOrUsage;
    printProblems(opt.dataFile, *file, nullptr);

    // Each borehole is summarised where its row is written: a site of 100,000 boreholes holds
    // no list of summaries beside them. The CSV only when asked for, and written before the table
    // is printed: a table on the terminal means the CSV is there too.
    if (!opt.csv.empty()) {
        const RoleFile files[] = {{"data file", opt.dataFile}, {"CSV file", opt.csv}};
        if (const std::string same = sameFileMessage(files); !same.empty()) {
            shell.showMessage(same, MessageKind::Warning);
            return kExitFileOrUsage;
        }
        auto plain = [](const std::optional<double>& v) { return v ? printfFixed(*v, 2) : ""; };
        std::string csv = "borehole,name,ground_elevation,elevation_unit,final_depth,depth_unit,"
                          "spt_tests,refusals,water_depth\n";
        for (const Borehole& borehole : file->boreholes) {
            const BoreholeSummary b = summarise(borehole);
            csv += csvField(b.name) + "," + csvField(b.id) + "," + plain(b.groundElevation) + "," +
                   (b.elevationUnit == LengthUnit::Unknown ? "" : unitWord(b.elevationUnit)) + "," +
                   plain(b.finalDepth) + "," +
                   (b.depthUnit == LengthUnit::Unknown ? "" : unitWord(b.depthUnit)) + "," +
                   std::to_string(b.sptTests) + "," + std::to_string(b.refusals) + "," +
                   plain(b.waterDepth) + "\n";
        }
        if (const FileResult r = writeFileAtomically(opt.csv, csv); !r.ok) {
            shell.showMessage(r.message, MessageKind::Warning);
            return kExitFileOrUsage;
        }
    }
    // Printed in pieces: a site of 100,000 boreholes is never held twice over as text.
    std::string out =
        "borehole            ground elevation  final depth        SPT tests  water depth\n";
    for (const Borehole& borehole : file->boreholes) {
        const BoreholeSummary b = summarise(borehole);
        // An elevation in no length unit shows "?": as it stands it cannot be used.
        const std::string elevation = number(b.groundElevation, b.elevationUnit);
        out += pad(terminalText(b.name), 18, false) + " " + pad(elevation, 16, true) + " " +
               pad(number(b.finalDepth, b.depthUnit), 12, true) + " " +
               pad(testCountText(b), 16, true) + " " +
               pad(number(b.waterDepth, b.depthUnit), 12, true) + "\n";
        if (out.size() >= (std::size_t{64} << 10)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

namespace {

// The site's soil map, to be checked and passed back with --soil-map; or why it could not be
// written. Returns the exit status of the refused run.
int writeSiteSoilMap(const ImportOptions& opt, const std::vector<const Borehole*>& chosen,
                     const SoilMap& map, const std::vector<std::string>& missing,
                     std::vector<RoleFile> inputs, const std::function<void()>& problems,
                     const std::function<int()>& makeOutDir, BatchShell& shell) {
    namespace fs = std::filesystem;
    const bool named = !opt.soilMapOut.empty();
    const std::string path =
        named ? opt.soilMapOut : (fs::path(displayPath(opt.outDir)) / "soil-map.csv").string();
    const std::string shown = terminalText(displayPath(path));
    // The classifications by name, so that a map given can be mended by hand.
    constexpr std::size_t kNamed = 8;
    std::string names;
    for (std::size_t i = 0; i < missing.size() && i < kNamed; ++i)
        names += (i ? ", " : "") + terminalText(missing[i]);
    if (missing.size() > kNamed)
        names += ", and " + std::to_string(missing.size() - kNamed) + " more";
    const std::string lead = "No soil code for " + std::to_string(missing.size()) +
                             " classification(s) in use (" + names + "); nothing was imported.";
    std::error_code ec;
    if (!named && fs::symlink_status(path, ec).type() != fs::file_type::not_found) {
        problems();
        shell.showMessage(
            lead + "\n" +
                (opt.soilMap.empty()
                     ? "The soil map " + shown +
                           " exists already: pass it with --soil-map once its codes are checked, "
                           "or name a new file with --soil-map-out FILE."
                     : "Add their codes to the soil map " + terminalText(displayPath(opt.soilMap)) +
                           " (a row *,CODE stands for the rest), or name a new file with "
                           "--soil-map-out FILE to have the site's map written with proposed "
                           "codes."),
            MessageKind::Information);
        return kExitRefused;
    }
    inputs.push_back({"soil map to write", path});
    if (const std::string same = sameFileMessage(inputs); !same.empty()) {
        shell.showMessage(same, MessageKind::Warning);
        return kExitFileOrUsage;
    }
    problems();
    const std::string csv = siteSoilMapCsv(siteClassifications(chosen), map);
    if (!named)
        if (const int status = makeOutDir(); status != kExitOk) return status;
    if (const FileResult r = writeFileAtomically(path, csv); !r.ok) {
        shell.showMessage(r.message, MessageKind::Warning);
        return kExitFileOrUsage;
    }
    shell.showMessage(lead + "\nThe soil map of the " + std::to_string(chosen.size()) +
                          " borehole(s), with proposed codes, was written to " + shown +
                          ": check and edit the codes (a row *,CODE stands for the rest), then "
                          "run again with --soil-map " +
                          shown + ".",
                      MessageKind::Information);
    return kExitRefused;
}

} // namespace

namespace {

// "12.50"; the required-length table's cells.
std::string cell(double v) {
    return printfFixed(v, 2);
}

// The required lengths as a table for the terminal, with the units of the template.
std::string requiredTable(const std::vector<RequiredLength>& rows, const ImportOptions& opt,
                          bool metric) {
    const std::string len = metric ? "m" : "ft";
    const std::string force = metric ? "kN" : "tons";
    std::string out = "Required " + std::string(capacityKindText(opt.capacity)) + " capacity " +
                      cell(*opt.required) + " " + force +
                      ": the shortest analysed length that carries it (the length step is the "
                      "resolution).\n";
    out += pad("borehole", 18, false) + " " +
           pad(std::string("width (") + (metric ? "mm" : "in") + ")", 10, true) + " " +
           pad("length (" + len + ")", 12, true) + " " + pad("tip elev. (" + len + ")", 15, true) +
           " " + pad("capacity (" + force + ")", 16, true) + "  governs\n";
    for (const RequiredLength& r : rows) {
        out +=
            pad(terminalText(r.borehole), 18, false) + " " + pad(cell(r.width), 10, true) + " " +
            (r.reached ? pad(cell(r.length), 12, true) + " " + pad(cell(r.tipElevation), 15, true)
                       : pad("not reached", 28, true)) +
            " " + pad(cell(r.capacity), 16, true) + (r.governing ? "  *" : "") + "\n";
    }
    // The answer per width last, where the eye lands.
    for (const RequiredLength& r : rows) {
        if (!r.governing) continue;
        out += "Width " + cell(r.width) + (metric ? " mm" : " in") + ": " +
               terminalText(r.borehole) + " governs, " +
               (r.reached ? "length " + cell(r.length) + " " + len + " to tip elevation " +
                                cell(r.tipElevation) + " " + len
                          : "not reached (at most " + cell(r.capacity) + " " + force + ")") +
               ".\n";
    }
    return out;
}

// The site summary and the required lengths, both or neither; the table on stdout.
int writeSummary(const ImportOptions& opt, const SiteResult& site, BatchShell& shell) {
    const std::string csv = siteCsv(site);
    std::string required;
    std::vector<FileToWrite> files = {{opt.summary, csv}};
    std::vector<RequiredLength> rows;
    if (opt.required) {
        rows = requiredLengths(site, *opt.required, opt.capacity);
        required = requiredCsv(rows);
        files.push_back({requiredCsvPath(opt.summary), required});
    }
    if (const FileResult r = writeFilesAtomically(files); !r.ok) {
        shell.showMessage(r.message, MessageKind::Warning);
        return kExitFileOrUsage;
    }
    if (!opt.quiet) {
        std::string out = "Site summary of " + std::to_string(site.boreholes.size()) +
                          " borehole(s) written to " + terminalText(displayPath(opt.summary));
        if (opt.required)
            out +=
                ", required lengths to " + terminalText(displayPath(requiredCsvPath(opt.summary)));
        out += ".\n";
        if (!site.skipped.empty()) {
            out += "Not in the summary (no capacity computed):";
            for (const auto& [name, why] : site.skipped) out += " " + terminalText(name);
            out += "\n";
        }
        if (opt.required) out += requiredTable(rows, opt, site.metric);
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    return kExitOk;
}

} // namespace

int importDataFile(const ImportOptions& opt, BatchShell& shell, const AnalyseProject& analyse) {
    namespace fs = std::filesystem;
    std::string templateBytes;
    if (const FileResult r =
            readWholeFile(opt.templateFile, templateBytes, ReadLimits{.regularOnly = true});
        !r.ok) {
        shell.showMessage(r.message, MessageKind::Warning);
        return kExitFileOrUsage;
    }
    // A template that is no project would have every borehole refused for a reason that hides
    // this one (an empty file holds no unit system, and a log is built for none).
    if (const std::string why = projectFileProblem(templateBytes); !why.empty()) {
        shell.showMessage(displayPath(opt.templateFile) + " is not a Zenka project: " + why + ".",
                          MessageKind::Warning);
        return kExitFileOrUsage;
    }
    const std::optional<DataFile> file = readData(opt.dataFile, shell);
    if (!file) return kExitFileOrUsage;
    SoilMap map;
    if (!opt.soilMap.empty() && !readSoilMap(opt.soilMap, map, shell)) return kExitFileOrUsage;

    const std::optional<std::vector<const Borehole*>> picked =
        chooseBoreholes(*file, opt.boreholes, opt.dataFile, shell);
    if (!picked) return opt.boreholes.empty() ? kExitRefused : kExitFileOrUsage;
    const std::vector<const Borehole*>& chosen = *picked;
    // The template's unit system decides the logs' units.
    int units = 0;
    {
        CPelbrinDoc doc;
        doc.ResetProject();
        const std::vector<ReadWarning> warnings = readInputFile(templateBytes, doc);
        if (!warnings.empty()) shell.showReadWarnings(displayPath(opt.templateFile), warnings);
        units = doc.units;
    }
    ImportChoices choices;
    choices.codes = map.codes;
    choices.otherCode = map.other;
    choices.hammerFactor = opt.nFactor;

    std::vector<RoleFile> inputs = {{"template", opt.templateFile}, {"data file", opt.dataFile}};
    if (!opt.soilMap.empty()) inputs.push_back({"soil map", opt.soilMap});

    // Named boreholes: only their problems, and the file's own; once the outputs are known to
    // be safe to write.
    std::unordered_set<std::string> chosenNames;
    for (const Borehole* b : chosen) {
        chosenNames.insert(b->name);
        chosenNames.insert(b->id);
    }
    auto problems = [&] {
        printProblems(
            opt.dataFile, *file,
            opt.boreholes.empty() ? std::function<bool(const std::string&)>()
                                  : [&](const std::string& borehole) {
                                        // Rows of a borehole the file lacks are the
                                        // file's own problem.
                                        return chosenNames.count(borehole) > 0 ||
                                               !file->find(borehole);
                                    });
    };

    bool outDirMade = false;
    // The folder the projects go to, as their names give it: "link/../new" is made where they
    // will be written, not beside the link's target.
    const std::string outDirPath = displayPath(opt.outDir);
    auto makeOutDir = [&]() {
        std::error_code ec;
        outDirMade = fs::create_directories(outDirPath, ec);
        if (ec) {
            // A file, or a link to nothing, where the folder belongs says so, not "File exists".
            std::error_code statEc;
            const int error = ec.value() != EEXIST ? ec.value()
                              : fs::exists(fs::symlink_status(outDirPath, statEc)) &&
                                      !fs::exists(outDirPath, statEc)
                                  ? ENOENT
                                  : ENOTDIR;
            shell.showMessage(fileWriteErrorMessage(outDirPath, error), MessageKind::Warning);
            return kExitFileOrUsage;
        }
        if (outDirMade && !opt.quiet)
            std::printf("Folder %s created.\n", terminalText(displayPath(opt.outDir)).c_str());
        return kExitOk;
    };

    // One soil map for the whole site: every classification without a code, once, before any
    // project is written.
    if (const std::vector<std::string> missing = missingSoilCodes(*file, chosen, map, units);
        !missing.empty())
        return writeSiteSoilMap(opt, chosen, map, missing, inputs, problems, makeOutDir, shell);

    // Every file this call writes, checked before the first is written: two boreholes whose
    // names give one file name, a project or report over the template, the data file or the
    // soil map, would lose one of them.
    std::vector<RoleFile> files = inputs;
    std::vector<std::string> paths;
    paths.reserve(chosen.size());
    // Absolute once, not once for every file.
    const fs::path outDir = outDirPath;
    files.reserve(inputs.size() + chosen.size() * 2 + 1);
    for (const Borehole* b : chosen) {
        const std::string name = terminalText(b->name);
        const std::string fileName = safeFileName(b->name) + ".in";
        // A name the file system cannot take would fail halfway through the site.
        if (constexpr std::size_t kMostNameBytes = 255; fileName.size() > kMostNameBytes) {
            shell.showMessage(
                "Borehole " + name + ": its project's file name would be " +
                    std::to_string(fileName.size()) + " bytes long, more than the " +
                    std::to_string(kMostNameBytes) +
                    " a file system allows; nothing was written. Name the others with "
                    "--borehole, or shorten its name in the data file.",
                MessageKind::Warning);
            return kExitFileOrUsage;
        }
        paths.push_back((outDir / fileName).string());
        files.push_back({"project file of " + name, paths.back()});
        if (opt.run) files.push_back({"report of " + name, reportNameFor(paths.back())});
    }
    if (opt.run) files.push_back({"depth data file", (outDir / kDepthDataFileName).string()});
    if (!opt.summary.empty()) {
        files.push_back({"site summary", opt.summary});
        if (opt.required) files.push_back({"required lengths", requiredCsvPath(opt.summary)});
    }
    if (const std::string same = sameFileMessage(files); !same.empty()) {
        shell.showMessage(same, MessageKind::Warning);
        return kExitFileOrUsage;
    }
    // The summary goes last: a name it cannot take must stop the import before the first file,
    // not after the last report. The output folder, made below, may hold it.
    for (const std::string& path :
         {opt.summary, opt.required ? requiredCsvPath(opt.summary) : std::string()}) {
        if (path.empty()) continue;
        std::error_code ec;
        const fs::path full = displayPath(path);
        const int error =
            fs::is_directory(full, ec)                                                  ? EISDIR
            : !fs::is_directory(full.parent_path(), ec) && full.parent_path() != outDir ? ENOENT
                                                                                        : 0;
        if (error) {
            shell.showMessage(fileWriteErrorMessage(path, error), MessageKind::Warning);
            return kExitFileOrUsage;
        }
    }
    problems();
    if (const int status = makeOutDir(); status != kExitOk) return status;

    int status = kExitOk;
    std::size_t written = 0;
    SiteResult site;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const Borehole& b = *chosen[i];
        if (chosen.size() > 1) shell.setLabel(terminalText(b.name) + ":");
        CPelbrinDoc doc;
        doc.ResetProject();
        readInputFile(templateBytes, doc);

        const BuiltLog log = buildLog(*file, b, choices, doc.units);
        if (!log.ready) {
            for (const std::string& m : log.messages)
                shell.showMessage(m, MessageKind::Information);
            status = std::max(status, kExitRefused);
            continue;
        }
        for (const std::string& m : log.messages) shell.showMessage(m, MessageKind::Information);
        if (!log.groundElevation)
            shell.showMessage("The template's ground elevation " +
                                  printfFixed(doc.groundElevation, 2) + " is kept.",
                              MessageKind::Information);
        std::string why;
        if (!applyLog(log, doc, defaultFlags(log), &why)) {
            shell.showMessage(why, MessageKind::Information);
            status = std::max(status, kExitRefused);
            continue;
        }
        if (const FileResult r = writeFileAtomically(paths[i], writeInputFile(doc)); !r.ok) {
            shell.showMessage(r.message, MessageKind::Warning);
            status = std::max(status, kExitFileOrUsage);
            continue;
        }
        ++written;
        if (!opt.quiet) {
            shell.announce(stdout);
            std::printf("Project written to %s: %s\n", terminalText(paths[i]).c_str(),
                        terminalText(importSummary(log)).c_str());
        }
        if (!opt.run) continue;
        SiteBorehole result;
        result.name = b.name;
        const int ran = analyse(paths[i], opt.summary.empty() ? nullptr : &result);
        status = std::max(status, ran);
        if (opt.summary.empty()) continue;
        // The runs' units: a template whose system was never chosen takes the file's.
        if (ran == kExitOk) site.metric = result.metric;
        if (ran != kExitOk || result.cases.empty()) {
            site.skipped.emplace_back(b.name, "");
            continue;
        }
        site.boreholes.push_back(std::move(result));
    }
    if (!opt.quiet) {
        shell.setLabel({});
        std::printf("%zu of %zu project file(s) written to %s%s.\n", written, chosen.size(),
                    terminalText(displayPath(opt.outDir)).c_str(),
                    outDirMade ? ", a folder this run created" : "");
    }
    shell.setLabel({});
    if (!opt.summary.empty()) status = std::max(status, writeSummary(opt, site, shell));
    return status;
}

} // namespace zenka
