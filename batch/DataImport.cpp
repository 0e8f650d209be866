#include "batch/DataImport.h"

#include "base/AtomicFile.h"
#include "base/Format.h"
#include "batch/BatchShell.h"
#include "engine/AnalysisState.h"
#include "import/LogBuilder.h"
#include "import/SoilClassification.h"
#include "project/InputFile.h"
#include "project/PelbrinDoc.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string_view>

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

// The fields of one CSV line: commas, double quotes around a field, doubled quotes inside.
std::vector<std::string> csvFields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::optional<DataFile> readData(const std::string& path, BatchShell& shell) {
    DataFile file = readDataFile(path);
    if (!file.error.empty()) {
        shell.showMessage(file.error, MessageKind::Warning);
        return std::nullopt;
    }
    return file;
}

// What the file itself says is wrong, once, before anything else.
void printProblems(const std::string& path, const DataFile& file) {
    for (const Problem& p : file.problems)
        std::fprintf(stderr, "%s: %s%s%s\n", path.c_str(), p.borehole.c_str(),
                     p.borehole.empty() ? "" : ": ", p.message.c_str());
}

struct SoilMap {
    std::map<std::string, int> codes;
    int other = 0;
};

// classification,code per line, and a note after a third comma if wanted; "*,CODE" for every
// classification not named. A first line whose code is no number is a header.
bool readSoilMap(const std::string& path, SoilMap& map, BatchShell& shell) {
    std::string bytes;
    if (const FileResult r = readWholeFile(path, bytes); !r.ok) {
        shell.showMessage(r.message, MessageKind::Warning);
        return false;
    }
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
        const std::vector<std::string> fields = csvFields(line);
        const bool shape = fields.size() == 2 || fields.size() == 3;
        const std::optional<double> code = shape ? parseNumber(fields[1]) : std::optional<double>{};
        // Range first: a value beyond any integer must not be converted to see if it is one.
        const bool valid = code && *code >= 1 && *code <= 100 && *code == std::floor(*code) &&
                           validSoilCode(static_cast<int>(*code));
        if (!valid) {
            if (lineNo == 1 && shape && !code) continue; // a header
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
    printProblems(opt.dataFile, *file);

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
        out += pad(b.name, 18, false) + " " + pad(elevation, 16, true) + " " +
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
        for (const std::string& name : opt.boreholes) {
            const Borehole* b = file->find(name);
            if (!b) {
                shell.showMessage("There is no borehole " + name + " in " +
                                      displayPath(opt.dataFile) + ".",
                                  MessageKind::Warning);
                return kExitFileOrUsage;
            }
            if (std::find(chosen.begin(), chosen.end(), b) == chosen.end()) chosen.push_back(b);
        }
    }
    if (chosen.empty()) {
        shell.showMessage("No borehole in " + displayPath(opt.dataFile) + " has an SPT test.",
                          MessageKind::Warning);
        return kExitRefused;
    }

    // Every file this call writes, checked before the first is written: two boreholes whose
    // names give one file name, or a project file over the template, would lose one of them.
    std::vector<RoleFile> files = {{"template", opt.templateFile}, {"data file", opt.dataFile}};
    if (!opt.soilMap.empty()) files.push_back({"soil map", opt.soilMap});
    std::vector<std::string> paths;
    for (const Borehole* b : chosen) {
        paths.push_back((fs::path(opt.outDir) / (safeFileName(b->name) + ".in")).string());
        files.push_back({"project file of " + b->name, paths.back()});
    }
    if (const std::string same = sameFileMessage(files); !same.empty()) {
        shell.showMessage(same, MessageKind::Warning);
        return kExitFileOrUsage;
    }
    printProblems(opt.dataFile, *file);

    int status = kExitOk;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const Borehole& b = *chosen[i];
        if (chosen.size() > 1) shell.setLabel(b.name + ":");
        auto state = std::make_unique<AnalysisState>();
        CPelbrinDoc doc(*state);
        doc.ResetProject();
        const std::vector<ReadWarning> warnings = readInputFile(templateBytes, doc);
        if (i == 0 && !warnings.empty())
            shell.showReadWarnings(displayPath(opt.templateFile), warnings);

        ImportChoices choices;
        choices.codes = map.codes;
        choices.otherCode = map.other;
        choices.hammerFactor = opt.nFactor;
        const BuiltLog log = buildLog(*file, b, choices, doc.units);
        if (!log.missingCodes.empty()) {
            // In the soil map's own form, with the proposals, ready to be checked and copied.
            std::string text = "No soil code for " + std::to_string(log.missingCodes.size()) +
                               " classification(s) of borehole " + b.name +
                               "; give them in the soil map (classification,proposed code,what "
                               "it is):";
            const std::vector<ClassificationRow> rows = classifications(b);
            for (const std::string& missing : log.missingCodes) {
                const ClassificationRow* row = nullptr;
                for (const ClassificationRow& r : rows)
                    if (r.text == missing) row = &r;
                const int proposal = row ? row->proposedCode : 0;
                const std::string what = !row                       ? ""
                                         : !row->legendText.empty() ? row->legendText
                                                                    : row->description;
                text += "\n" + csvField(missing) + "," +
                        (proposal ? std::to_string(proposal) : "") + "," + csvField(what);
            }
            shell.showMessage(text, MessageKind::Information);
            status = std::max(status, kExitRefused);
            continue;
        }
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
        if (!opt.quiet) {
            shell.announce(stdout);
            std::printf("Project written to %s: %s\n", paths[i].c_str(),
                        importSummary(log).c_str());
        }
        if (opt.run) status = std::max(status, analyse(paths[i]));
    }
    return status;
}

} // namespace zenka
