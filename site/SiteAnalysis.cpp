#include "site/SiteAnalysis.h"

#include "base/AtomicFile.h"
#include "base/Format.h"
#include "base/Shell.h"
#include "engine/AnalysisState.h"
#include "import/Delimited.h"
#include "import/LogBuilder.h"
#include "model/Numbers.h"
#include "model/PelbrinDoc.h"
#include "model/SoilCatalogue.h"
#include "project/InputFile.h"
#include "run/Handoff.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace zenka {

using namespace dataimport;

namespace {

// The words of a header row: "classification,code" or the site map's own
// "classification,proposed code,tests,what it is".
bool isHeader(const std::vector<std::string>& fields) {
    if (fields.size() < 2 || lower(trim(fields[0])) != "classification") return false;
    const std::string code = lower(trim(fields[1]));
    return code == "code" || code == "proposed code" || code == "soil code";
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

// Where the soil map's record that starts at `start` ends: at the first line break outside
// quotes. A quoted field may hold line breaks (a description written over two lines, as this
// program writes the map and a spreadsheet saves it); a quote that is never closed ends the
// record at its own line, as though it were text.
std::size_t recordEnd(std::string_view bytes, std::size_t start) {
    const std::size_t lineEnd = std::min(bytes.find('\n', start), bytes.size());
    bool quoted = false;
    bool fieldStart = true;
    for (std::size_t i = start; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (quoted) {
            if (c != '"') continue;
            if (i + 1 < bytes.size() && bytes[i + 1] == '"')
                ++i;
            else
                quoted = false;
        } else if (c == '\n') {
            return i;
        } else if (c == '"' && fieldStart) {
            quoted = true;
            fieldStart = false;
        } else if (c == ',') {
            fieldStart = true;
        } else if (c != ' ' && c != '\t' && c != '\r') {
            fieldStart = false;
        }
    }
    return quoted ? lineEnd : bytes.size();
}

// Keeps what a run says, for the borehole's one line of why.
class MessageLog : public Shell {
public:
    std::string text;
    void showMessage(const std::string& message, MessageKind) override {
        if (!text.empty()) text += ' ';
        text += message;
    }
    Answer askYesNoCancel(const std::string&) override { return Answer::Cancel; }
    std::optional<std::string> chooseSaveFile(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> chooseOpenFile(const FileDialogOptions&) override { return {}; }
    void beginWorking() override {}
    void endWorking() override {}
    void openTextViewer(const std::string&) override {}
};

} // namespace

bool readSoilMap(const std::string& path, SoilMap& map, Shell& shell) {
    std::string bytes;
    // A fifo or device is no soil map: refused before it is read, never taken as an empty map.
    const ReadLimits limits{std::size_t{16} << 20, true, "a soil map"};
    if (const FileResult r = readWholeFile(path, bytes, limits); !r.ok) {
        shell.showMessage(r.message, MessageKind::Warning);
        return false;
    }
    // A spreadsheet's UTF-8 mark would otherwise become part of the first classification.
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    int nextLine = 1;
    std::size_t start = 0;
    // The line each classification's code was given on: a second, other code is refused.
    std::map<std::string, int> givenOn;
    bool anyRow = false;
    while (start < bytes.size()) {
        const std::size_t end = recordEnd(bytes, start);
        // A line break inside quotes is one in the text, whichever the file's own are.
        std::string line;
        for (std::size_t i = start; i < end; ++i)
            if (bytes[i] != '\r' || (i + 1 < end && bytes[i + 1] != '\n')) line += bytes[i];
        const int lineNo = nextLine;
        nextLine += 1 + static_cast<int>(std::count(line.begin(), line.end(), '\n'));
        start = end + 1;
        if (trim(line).empty()) continue;
        const std::vector<std::string> fields = splitDelimitedRow(line, ',');
        // Blank lines are no rows: the header is the first row, wherever it stands.
        const bool firstRow = !std::exchange(anyRow, true);
        if (firstRow && isHeader(fields)) continue;
        const std::optional<double> code =
            fields.size() >= 2 ? parseNumber(fields[1]) : std::optional<double>{};
        // Range first: a value beyond any integer must not be converted to see if it is one.
        const bool valid = code && *code >= 1 && *code <= 100 && *code == std::floor(*code) &&
                           validSoilCode(static_cast<int>(*code)) && !trim(fields[0]).empty();
        auto refuse = [&](const std::string& what) {
            shell.showMessage(displayPath(path) + ":" + std::to_string(lineNo) + ": " + what +
                                  ", found: " + line,
                              MessageKind::Warning);
            return false;
        };
        if (!valid) return refuse("expected classification,code with a soil code of the log");
        const std::string key(trim(fields[0]));
        int& given = key == "*" ? map.other : map.codes[key];
        const auto [first, fresh] = givenOn.emplace(key, lineNo);
        // The same code twice is harmless; two codes would leave the choice to row order.
        if (!fresh && given != static_cast<int>(*code))
            return refuse(key + " has the code " + std::to_string(given) + " on line " +
                          std::to_string(first->second) + " already");
        given = static_cast<int>(*code);
    }
    return true;
}

// Every classification in use in the chosen boreholes once, in order of first use, with its
// tests summed. What it is: the legend's words, else the description of a stratum of that
// classification that names it (a log may hold a stratum coded CL described as a silt).
std::vector<SiteClassification> siteClassifications(const std::vector<const Borehole*>& chosen) {
    std::vector<SiteClassification> rows;
    std::unordered_map<std::string, std::size_t> at;
    for (const Borehole* b : chosen) {
        for (const ClassificationRow& r : classifications(*b)) {
            auto [it, fresh] = at.emplace(r.text, rows.size());
            if (fresh) rows.push_back({r.text, 0, r.proposedCode, {}, false});
            SiteClassification& row = rows[it->second];
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

std::string siteSoilMapCsv(const std::vector<SiteClassification>& rows, const SoilMap& given) {
    std::string csv = "classification,proposed code,tests,what it is\n";
    for (const SiteClassification& row : rows) {
        const auto g = given.codes.find(row.text);
        const int code = g != given.codes.end() ? g->second : row.proposal;
        csv += csvField(row.text) + "," + (code ? std::to_string(code) : "") + "," +
               std::to_string(row.tests) + "," + csvField(row.what) + "\n";
    }
    return csv;
}

std::optional<std::vector<const Borehole*>> chooseBoreholes(const DataFile& file,
                                                            const std::vector<std::string>& names,
                                                            const std::string& dataFile,
                                                            Shell& shell) {
    std::vector<const Borehole*> chosen;
    if (names.empty()) {
        for (const Borehole& b : file.boreholes)
            for (const SptTest& t : b.tests)
                if (t.n) {
                    chosen.push_back(&b);
                    break;
                }
    } else {
        std::unordered_set<const Borehole*> seen;
        for (const std::string& name : names) {
            const Borehole* b = file.find(name);
            if (!b) {
                shell.showMessage("There is no borehole " + name + " in " + displayPath(dataFile) +
                                      ".",
                                  MessageKind::Warning);
                return std::nullopt;
            }
            if (seen.insert(b).second) chosen.push_back(b);
        }
    }
    if (chosen.empty()) {
        shell.showMessage("No borehole in " + displayPath(dataFile) + " has an SPT test.",
                          MessageKind::Warning);
        return std::nullopt;
    }
    return chosen;
}

std::vector<std::string> missingSoilCodes(const DataFile& file,
                                          const std::vector<const Borehole*>& chosen,
                                          const SoilMap& map, int units) {
    std::vector<std::string> missing;
    // A row *,CODE gives every classification a code.
    if (map.other) return missing;
    ImportChoices choices;
    choices.codes = map.codes;
    std::unordered_set<std::string> seen;
    for (const Borehole* b : chosen)
        for (std::string& m : buildLog(file, *b, choices, units).missingCodes)
            if (seen.insert(m).second) missing.push_back(std::move(m));
    return missing;
}

SiteResult analyseSite(const SiteRequest& request, const DataFile& file,
                       const std::vector<const Borehole*>& chosen, const SiteProgress& progress) {
    SiteResult site;
    site.dataFile = request.dataFile;
    site.templateFile = request.templateFile;
    CPelbrinDoc templ;
    templ.ResetProject();
    readInputFile(request.templateBytes, templ);
    site.metric = Units::metric(templ.units);
    site.jobName = templ.jobName;
    site.projectNumber = templ.projectNumber;
    site.templateLongest =
        templ.analysisType == AnalysisType::RangeOfLengths
            ? templ.maxLength
            : *std::max_element(templ.pileLengths.begin(), templ.pileLengths.end());

    ImportChoices choices;
    choices.codes = request.soilMap.codes;
    choices.otherCode = request.soilMap.other;
    choices.hammerFactor = request.hammerFactor;
    // One state for the site, as the batch program keeps one for all its runs.
    auto state = std::make_unique<AnalysisState>();
    site.boreholes.reserve(chosen.size());
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (progress && !progress(i, chosen.size())) break;
        const Borehole& b = *chosen[i];
        CPelbrinDoc doc;
        doc.ResetProject();
        readInputFile(request.templateBytes, doc);
        const BuiltLog log = buildLog(file, b, choices, doc.units);
        std::string why;
        if (!log.ready) {
            for (const std::string& m : log.messages) why += (why.empty() ? "" : " ") + m;
            site.skipped.emplace_back(b.name, why.empty() ? "the log is not complete" : why);
            continue;
        }
        if (!applyLog(log, doc, defaultFlags(log), &why)) {
            site.skipped.emplace_back(b.name, why);
            continue;
        }
        // The numbers of the project file its import writes, to the digit.
        CPelbrinDoc project;
        project.ResetProject();
        readInputFile(writeInputFile(doc), project);
        MessageLog said;
        if (analyseInMemory(project, *state, said) != RunOutcome::Analysed) {
            site.skipped.emplace_back(b.name, said.text);
            continue;
        }
        if (state->cases.empty()) {
            site.skipped.emplace_back(b.name, "no width and length could be computed");
            continue;
        }
        site.boreholes.push_back(siteBorehole(*state, b.name));
        site.boreholes.back().groundFromTemplate = !log.groundElevation;
        site.metric = site.boreholes.back().metric;
    }
    return site;
}

} // namespace zenka
