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

#include <cctype>
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

// A CSV field, quoted when it must be.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
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

struct SoilMap {
    std::map<std::string, int> codes;
    int other = 0;
};

// The words of a header row: "classification,code" or the site map's own
// "classification,proposed code,tests,what it is".
bool isHeader(const std::vector<std::string>& fields) {
    if (fields.size() < 2 || lower(trim(fields[0])) != "classification") return false;
    const std::string code = lower(trim(fields[1]));
    return code == "code" || code == "proposed code" || code == "soil code";
}

// classification,code per line, and notes in further columns if wanted; "*,CODE" for every
// classification not named. Only a first line of header words is a header: a code that is not
// a soil code is refused wherever it stands, with its line.
bool readSoilMap(const std::string& path, SoilMap& map, BatchShell& shell) {
    std::string bytes;
    if (const FileResult r = readWholeFile(path, bytes); !r.ok) {
        shell.showMessage(r.message, MessageKind::Warning);
        return false;
    }
    // A spreadsheet's UTF-8 mark would otherwise become part of the first classification.
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    int lineNo = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string_view line(bytes.data() + start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (trim(line).empty()) continue;
        const std::vector<std::string> fields = splitDelimitedRow(line, ',');
        if (lineNo == 1 && isHeader(fields)) continue;
        const std::optional<double> code =
            fields.size() >= 2 ? parseNumber(fields[1]) : std::optional<double>{};
        // Range first: a value beyond any integer must not be converted to see if it is one.
        const bool valid = code && *code >= 1 && *code <= 100 && *code == std::floor(*code) &&
                           validSoilCode(static_cast<int>(*code)) && !trim(fields[0]).empty();
        if (!valid) {
            shell.showMessage(displayPath(path) + ":" + std::to_string(lineNo) +
                                  ": expected classification,code with a soil code of the log, "
                                  "found: " +
                                  std::string(line),
                              MessageKind::Warning);
            return false;
        }
        const std::string key(trim(fields[0]));
        if (key == "*")
            map.other = static_cast<int>(*code);
        else
            map.codes[key] = static_cast<int>(*code);
    }
    return true;
}

// Whether text names the classification as a word of its own ("(CL)" in a description of CL).
bool mentions(const std::string& text, const std::string& classification) {
    const std::string hay = upper(text);
    const std::string needle = upper(classification);
    if (needle.empty()) return false;
    auto wordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
    for (std::size_t at = hay.find(needle); at != std::string::npos;
         at = hay.find(needle, at + 1)) {
        const std::size_t after = at + needle.size();
        if ((at == 0 || !wordChar(hay[at - 1])) && (after == hay.size() || !wordChar(hay[after])))
            return true;
    }
    return false;
}

// One row of the site's soil map: a classification over every chosen borehole.
struct SiteRow {
    std::string text;
    int tests = 0;
    int proposal = 0;
    std::string what;
    bool whatIsOwn = false; // the description names the classification itself
};

// Every classification in use in the chosen boreholes once, in order of first use, with its
// tests summed. What it is: the legend's words, else the description of a stratum of that
// classification that names it (a log may hold a stratum coded CL described as a silt).
std::vector<SiteRow> siteClassifications(const std::vector<const Borehole*>& chosen) {
    std::vector<SiteRow> rows;
    std::unordered_map<std::string, std::size_t> at;
    for (const Borehole* b : chosen) {
        for (const ClassificationRow& r : classifications(*b)) {
            auto [it, fresh] = at.emplace(r.text, rows.size());
            if (fresh) rows.push_back({r.text, 0, r.proposedCode, {}, false});
            SiteRow& row = rows[it->second];
            row.tests += r.tests;
            if (!row.proposal) row.proposal = r.proposedCode;
            if (row.whatIsOwn) continue;
            if (!r.legendText.empty()) {
                row.what = r.legendText;
                row.whatIsOwn = true;
                continue;
            }
            for (const Stratum& s : b->strata) {
                if (s.classification != r.text || s.description.empty()) continue;
                if (row.what.empty()) row.what = s.description;
                if (mentions(s.description, r.text)) {
                    row.what = s.description;
                    row.whatIsOwn = true;
                    break;
                }
            }
            if (row.what.empty() && r.noStratum) row.what = "tests in no stratum of the log";
        }
    }
    return rows;
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

    const std::vector<BoreholeSummary> rows = listBoreholes(*file);
    std::string out =
        "borehole            ground elevation  final depth        SPT tests  water depth\n";
    std::string csv =
        "borehole,name,ground_elevation,elevation_unit,final_depth,depth_unit,spt_tests,"
        "refusals,water_depth\n";
    auto pad = [](std::string text, std::size_t width, bool right) {
        if (text.size() >= width) return text + " ";
        const std::string fill(width - text.size(), ' ');
        return right ? fill + text : text + fill;
    };
    auto plain = [](const std::optional<double>& v) { return v ? printfFixed(*v, 2) : ""; };
    for (const BoreholeSummary& b : rows) {
        // An elevation in no length unit shows "?": as it stands it cannot be used.
        const std::string elevation = number(b.groundElevation, b.elevationUnit);
        out += pad(terminalText(b.name), 18, false) + " " + pad(elevation, 16, true) + " " +
               pad(number(b.finalDepth, b.depthUnit), 12, true) + " " +
               pad(testCountText(b), 16, true) + " " +
               pad(number(b.waterDepth, b.depthUnit), 12, true) + "\n";
        csv += csvField(b.name) + "," + csvField(b.id) + "," + plain(b.groundElevation) + "," +
               (b.elevationUnit == LengthUnit::Unknown ? "" : unitWord(b.elevationUnit)) + "," +
               plain(b.finalDepth) + "," +
               (b.depthUnit == LengthUnit::Unknown ? "" : unitWord(b.depthUnit)) + "," +
               std::to_string(b.sptTests) + "," + std::to_string(b.refusals) + "," +
               plain(b.waterDepth) + "\n";
    }
    if (!opt.csv.empty()) {
        const RoleFile files[] = {{"data file", opt.dataFile}, {"CSV file", opt.csv}};
        if (const std::string same = sameFileMessage(files); !same.empty()) {
            shell.showMessage(same, MessageKind::Warning);
            return kExitFileOrUsage;
        }
        if (const FileResult r = writeFileAtomically(opt.csv, csv); !r.ok) {
            shell.showMessage(r.message, MessageKind::Warning);
            return kExitFileOrUsage;
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

namespace {

// The site's soil map, to be checked and passed back with --soil-map; or why it could not be
// written. Returns the exit status of the refused run.
int writeSiteSoilMap(const ImportOptions& opt, const std::vector<const Borehole*>& chosen,
                     const SoilMap& map, std::size_t missing, std::vector<RoleFile> inputs,
                     const std::function<void()>& problems, const std::function<int()>& makeOutDir,
                     BatchShell& shell) {
    namespace fs = std::filesystem;
    const bool named = !opt.soilMapOut.empty();
    const std::string path =
        named ? opt.soilMapOut : (fs::path(opt.outDir) / "soil-map.csv").string();
    const std::string shown = terminalText(displayPath(path));
    const std::string lead = "No soil code for " + std::to_string(missing) +
                             " classification(s) in use; nothing was imported.";
    std::error_code ec;
    if (!named && fs::symlink_status(path, ec).type() != fs::file_type::not_found) {
        problems();
        shell.showMessage(lead + "\nThe soil map " + shown +
                              " exists already: pass it with --soil-map once its codes are "
                              "checked, or name a new file with --soil-map-out FILE.",
                          MessageKind::Information);
        return kExitRefused;
    }
    inputs.push_back({"soil map to write", path});
    if (const std::string same = sameFileMessage(inputs); !same.empty()) {
        shell.showMessage(same, MessageKind::Warning);
        return kExitFileOrUsage;
    }
    problems();
    std::string csv = "classification,proposed code,tests,what it is\n";
    for (const SiteRow& row : siteClassifications(chosen)) {
        const auto given = map.codes.find(row.text);
        const int code = given != map.codes.end() ? given->second : row.proposal;
        csv += csvField(row.text) + "," + (code ? std::to_string(code) : "") + "," +
               std::to_string(row.tests) + "," + csvField(row.what) + "\n";
    }
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

int importDataFile(const ImportOptions& opt, BatchShell& shell,
                   const std::function<int(const std::string& input)>& analyse) {
    namespace fs = std::filesystem;
    std::string templateBytes;
    if (const FileResult r = readWholeFile(opt.templateFile, templateBytes); !r.ok) {
        shell.showMessage(r.message, MessageKind::Warning);
        return kExitFileOrUsage;
    }
    const std::optional<DataFile> file = readData(opt.dataFile, shell);
    if (!file) return kExitFileOrUsage;
    SoilMap map;
    if (!opt.soilMap.empty() && !readSoilMap(opt.soilMap, map, shell)) return kExitFileOrUsage;

    std::vector<const Borehole*> chosen;
    if (opt.boreholes.empty()) {
        for (const Borehole& b : file->boreholes)
            for (const SptTest& t : b.tests)
                if (t.n) {
                    chosen.push_back(&b);
                    break;
                }
    } else {
        std::unordered_set<const Borehole*> seen;
        for (const std::string& name : opt.boreholes) {
            const Borehole* b = file->find(name);
            if (!b) {
                shell.showMessage("There is no borehole " + terminalText(name) + " in " +
                                      displayPath(opt.dataFile) + ".",
                                  MessageKind::Warning);
                return kExitFileOrUsage;
            }
            if (seen.insert(b).second) chosen.push_back(b);
        }
    }
    if (chosen.empty()) {
        shell.showMessage("No borehole in " + displayPath(opt.dataFile) + " has an SPT test.",
                          MessageKind::Warning);
        return kExitRefused;
    }
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
    auto makeOutDir = [&]() {
        std::error_code ec;
        outDirMade = fs::create_directories(opt.outDir, ec);
        if (ec) {
            shell.showMessage(fileWriteErrorMessage(opt.outDir, ec.value()), MessageKind::Warning);
            return kExitFileOrUsage;
        }
        if (outDirMade && !opt.quiet)
            std::printf("Folder %s created.\n", terminalText(displayPath(opt.outDir)).c_str());
        return kExitOk;
    };

    // One soil map for the whole site: every classification without a code, once, before any
    // project is written.
    std::unordered_set<std::string> missing;
    // A row *,CODE gives every classification a code.
    if (!map.other)
        for (const Borehole* b : chosen)
            for (std::string& m : buildLog(*file, *b, choices, units).missingCodes)
                missing.insert(std::move(m));
    if (!missing.empty())
        return writeSiteSoilMap(opt, chosen, map, missing.size(), inputs, problems, makeOutDir,
                                shell);

    // Every file this call writes, checked before the first is written: two boreholes whose
    // names give one file name, a project or report over the template, the data file or the
    // soil map, would lose one of them.
    std::vector<RoleFile> files = inputs;
    std::vector<std::string> paths;
    paths.reserve(chosen.size());
    // Absolute once, not once for every file.
    const fs::path outDir = displayPath(opt.outDir);
    files.reserve(inputs.size() + chosen.size() * 2 + 1);
    for (const Borehole* b : chosen) {
        const std::string name = terminalText(b->name);
        paths.push_back((outDir / (safeFileName(b->name) + ".in")).string());
        files.push_back({"project file of " + name, paths.back()});
        if (opt.run) files.push_back({"report of " + name, reportNameFor(paths.back())});
    }
    if (opt.run) files.push_back({"depth data file", (outDir / kDepthDataFileName).string()});
    if (const std::string same = sameFileMessage(files); !same.empty()) {
        shell.showMessage(same, MessageKind::Warning);
        return kExitFileOrUsage;
    }
    problems();
    if (const int status = makeOutDir(); status != kExitOk) return status;

    int status = kExitOk;
    std::size_t written = 0;
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
        if (opt.run) status = std::max(status, analyse(paths[i]));
    }
    if (!opt.quiet) {
        shell.setLabel({});
        std::printf("%zu of %zu project file(s) written to %s%s.\n", written, chosen.size(),
                    terminalText(displayPath(opt.outDir)).c_str(),
                    outDirMade ? ", a folder this run created" : "");
    }
    return status;
}

} // namespace zenka
