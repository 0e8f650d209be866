// zenka-batch: analyses project files without a display and writes their reports.

#include "base/AtomicFile.h"
#include "base/Format.h"
#include "batch/BatchShell.h"
#include "batch/DataImport.h"
#include "engine/AnalysisState.h"
#include "engine/Report.h"
#include "import/BoreholeData.h"
#include "import/DataFormats.h"
#include "model/PelbrinDoc.h"
#include "project/FileCommands.h"
#include "run/Handoff.h"
#include "run/outputs/Outputs.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

using namespace zenka;

constexpr int kExitOk = 0;
constexpr int kExitFileOrUsage = 2;

const char* const kUsage =
    "Usage: zenka-batch [options] INPUT.in...\n"
    "       zenka-batch --list DATAFILE [--csv FILE]\n"
    "       zenka-batch --import DATAFILE --template TEMPLATE.in [import options]\n"
    "Analyses each project file and writes its report beside it.\n"
    "\n"
    "Options:\n"
    "  -o, --output REPORT   report path (one input only); default: beside the input,\n"
    "                        named after it with the extension .out\n"
    "  --csv FILE            also write the capacity table as CSV (one input only);\n"
    "                        with --list, the list of boreholes as CSV\n"
    "  -q, --quiet           print nothing on success\n"
    "  -h, --help            show this help and exit\n"
    "  --version             show the version and exit\n"
    "\n";
// After the list of data formats, which the import's units give.
const char* const kImportUsage =
    "  --list DATAFILE       list the boreholes: id, ground elevation, final depth,\n"
    "                        SPT tests, water depth\n"
    "  --import DATAFILE     write OUTDIR/ID.in for each chosen borehole: the template\n"
    "                        with its boring log, ground elevation, water table and\n"
    "                        identification replaced; then analyse each\n"
    "  --template FILE       the project the boreholes' projects are made from\n"
    "  --borehole ID         a borehole to import (again for more); default: every\n"
    "                        borehole with SPT tests\n"
    "  --soil-map FILE       CSV rows classification,code; a row *,CODE for the rest\n"
    "  --soil-map-out FILE   where the site's soil map goes when codes are missing\n"
    "                        (default: OUTDIR/soil-map.csv, never over an existing file)\n"
    "  --n-factor F          hammer-energy factor applied to every N (default 1.0)\n"
    "  --outdir DIR          folder of the project files, made when missing\n"
    "                        (default: the current folder)\n"
    "  --no-run              write the project files without analysing them\n"
    "  --summary FILE        also write the site's capacities as CSV: one row per\n"
    "                        borehole, width and length\n"
    "  --required Q          with --summary: the shortest analysed length of each\n"
    "                        borehole and width that carries Q (the template's force\n"
    "                        unit), also written to FILE-required.csv and printed\n"
    "  --capacity KIND       the capacity Q is: davisson, allowable (default) or\n"
    "                        ultimate\n"
    "\n"
    "Exit status: 0 every report written; 1 a project was refused; 2 a usage error or a\n"
    "file that could not be read or written.\n";

struct Options {
    std::string output;
    std::string csv;
    bool quiet = false;
    std::vector<std::string> inputs;
    std::string list;   // --list DATAFILE
    std::string import; // --import DATAFILE
    ImportOptions imp;
};

// The help: the formats read come from the import, wrapped to the width of the rest.
std::string usageText() {
    std::string text = kUsage;
    std::string line;
    const std::string words =
        "Boring logs from ground-investigation data (" + dataimport::formatListText() + "):";
    for (std::size_t at = 0; at < words.size();) {
        std::size_t end = words.find(' ', at);
        if (end == std::string::npos) end = words.size();
        const std::string word = words.substr(at, end - at);
        if (!line.empty() && line.size() + 1 + word.size() > 78) {
            text += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        at = end + 1;
    }
    return text + line + "\n" + kImportUsage;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "zenka-batch: %s\nTry 'zenka-batch --help' for more information.\n",
                 message.c_str());
    return kExitFileOrUsage;
}

// Empty, or blanks only: no file could have that name in earnest.
bool isBlank(std::string_view name) {
    return name.find_first_not_of(" \t\n\r\v\f") == std::string_view::npos;
}

int blankValue(std::string_view option, std::string_view value) {
    return usageError("option '" + std::string(option) + "' has " +
                      (value.empty() ? "an empty" : "a blank") + " file name");
}

// The summary's unit words; its factors are the report's.
struct DisplayUnits {
    bool metric;
    const char* width() const { return metric ? "mm" : "in"; }
    const char* length() const { return metric ? "m" : "ft"; }
    const char* force() const { return metric ? "kN" : "tons"; }
};

// text right-aligned in width columns, as printf's "%*s" (never cut).
void appendRight(std::string& out, std::string_view text, std::size_t width) {
    if (text.size() < width) out.append(width - text.size(), ' ');
    out.append(text);
}

// One table row: "%12s %12s %16s %16s %16s\n".
void appendRow(std::string& out, const std::string_view (&cells)[5]) {
    static constexpr std::size_t kWidths[] = {12, 12, 16, 16, 16};
    for (std::size_t i = 0; i < 5; ++i) {
        if (i) out += ' ';
        appendRight(out, cells[i], kWidths[i]);
    }
    out += '\n';
}

void printSummary(const AnalysisState& s, const std::string& reportPath) {
    const ReportUnits& f = ReportUnits::of(s.IUNITS);
    const DisplayUnits u{!f.english};
    std::string out = "Report written to " + reportPath + "\n";
    if (s.cases.empty()) {
        out += "No width and length could be computed; the report tells why.\n";
        std::fputs(out.c_str(), stdout);
        return;
    }
    const std::string force = std::string("(") + u.force() + ")";
    const std::string width = std::string("width (") + u.width() + ")";
    const std::string length = std::string("length (") + u.length() + ")";
    const std::string davisson = "Davisson " + force;
    const std::string allowable = "allowable " + force;
    const std::string ultimate = "ultimate " + force;
    appendRow(out, {width, length, davisson, allowable, ultimate});
    // The whole table goes out in one write.
    out.reserve(out.size() + s.cases.size() * 80);
    for (const CaseResult& c : s.cases) {
        const std::string w = printfFixed(f.small(c.WP), 2);
        const std::string l = printfFixed(f.len(c.TPL), 2);
        const std::string mpc = printfFixed(f.force(c.MPC), 2);
        const std::string tcp = printfFixed(f.force(c.TCP), 2);
        const std::string upc = printfFixed(f.force(c.UPC), 2);
        appendRow(out, {w, l, mpc, tcp, upc});
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// Analyses one project file; returns its exit status.
int analyse(const std::string& input, const Options& opt, CPelbrinDoc& doc, AnalysisState& s,
            BatchShell& shell) {
    namespace fs = std::filesystem;
    RunFiles& files = doc.files;
    std::error_code ec;
    const fs::path absolute = fs::absolute(fs::path(input), ec);
    shell.setFileToOpen(ec ? input : absolute.string());
    if (!OpenProject(doc, shell)) return kExitFileOrUsage;
    // Open takes the names of a new input file; the depth data follows the report unless -o
    // names a device.
    files.INDIR = (ec ? fs::path(input) : absolute).parent_path().string();

    std::string reportPath = (fs::path(input).parent_path() / files.OUTFILE).string();
    if (!opt.output.empty()) {
        const fs::path out(opt.output);
        const fs::path outAbs = fs::absolute(out, ec);
        files.OUTDIR = (ec ? out : outAbs).parent_path().string();
        files.OUTFILE = out.filename().string();
        reportPath = opt.output;
        if (files.OUTFILE.empty()) return usageError("'" + opt.output + "' is not a file name");
    }

    std::vector<RunOutput> more;
    if (!opt.csv.empty()) more.push_back(csvOutput(opt.csv));
    RunRequest request;
    request.more = more;
    if (const int status = exitStatus(AnalysisHandoff(doc, s, shell, request)); status != kExitOk)
        return status;

    if (!opt.quiet) {
        shell.announce(stdout);
        // A site's summary holds every table: each report is only named.
        if (!opt.imp.summary.empty())
            std::printf("Report written to %s\n", terminalText(reportPath).c_str());
        else
            printSummary(s, reportPath);
    }
    return kExitOk;
}

} // namespace

// The command line into opt; a status to exit with when there is nothing to run (help, version,
// a usage error), or -1.
int parseOptions(int argc, char** argv, Options& opt) {
    // An option at the very end has no value; "--output=" has an empty one, which CLI11 would
    // otherwise fill with the next argument.
    static constexpr std::string_view kValued[] = {
        "-o",         "--output",   "--csv",      "--list",         "--import",
        "--template", "--borehole", "--soil-map", "--soil-map-out", "--n-factor",
        "--outdir",   "--summary",  "--required", "--capacity"};
    auto valued = [](std::string_view arg) {
        return std::find(std::begin(kValued), std::end(kValued), arg) != std::end(kValued);
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        const bool takesValue = valued(arg);
        if (takesValue && i + 1 == argc)
            return usageError("option '" + std::string(arg) + "' needs " +
                              (arg == "--n-factor"   ? "a number"
                               : arg == "--borehole" ? "a borehole"
                               : arg == "--outdir"   ? "a folder"
                               : arg == "--required" ? "a capacity"
                               : arg == "--capacity" ? "a kind of capacity"
                                                     : "a file"));
        if (takesValue) ++i;
        if (arg.size() > 3 && arg.back() == '=' && valued(arg.substr(0, arg.size() - 1)))
            return blankValue(arg.substr(0, arg.size() - 1), "");
    }

    CLI::App app{"zenka-batch"};
    app.set_help_flag();
    bool help = false;
    bool version = false;
    app.add_flag("-h,--help", help);
    app.add_flag("--version", version);
    app.add_flag("-q,--quiet", opt.quiet);
    // Named twice, the last one counts.
    CLI::Option* output = app.add_option("-o,--output", opt.output)
                              ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    CLI::Option* csv =
        app.add_option("--csv", opt.csv)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    auto last = [&](const char* names, std::string& into) {
        return app.add_option(names, into)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    };
    CLI::Option* list = last("--list", opt.list);
    CLI::Option* import = last("--import", opt.import);
    CLI::Option* templ = last("--template", opt.imp.templateFile);
    CLI::Option* borehole = app.add_option("--borehole", opt.imp.boreholes);
    CLI::Option* soilMap = last("--soil-map", opt.imp.soilMap);
    CLI::Option* soilMapOut = last("--soil-map-out", opt.imp.soilMapOut);
    std::string nFactor;
    CLI::Option* factor = last("--n-factor", nFactor);
    CLI::Option* outDir = last("--outdir", opt.imp.outDir);
    bool noRun = false;
    CLI::Option* noRunFlag = app.add_flag("--no-run", noRun);
    CLI::Option* summary = last("--summary", opt.imp.summary);
    std::string required;
    CLI::Option* requiredOption = last("--required", required);
    std::string capacity;
    CLI::Option* capacityOption = last("--capacity", capacity);
    app.add_option("inputs", opt.inputs);
    app.allow_extras();
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // "--output: 1 required TEXT missing" and the like: the option before the colon.
        const std::string what = e.what();
        return usageError("option '" + what.substr(0, what.find(':')) + "' needs a file");
    }
    for (const std::string& extra : app.remaining())
        if (extra != "--") return usageError("unknown option '" + extra + "'");
    if (help) {
        std::fputs(usageText().c_str(), stdout);
        return kExitOk;
    }
    if (version) {
        std::printf("zenka-batch %s\n", ZENKA_VERSION);
        return kExitOk;
    }
    if (output->count() > 0 && isBlank(opt.output)) return blankValue("--output", opt.output);
    if (csv->count() > 0 && isBlank(opt.csv)) return blankValue("--csv", opt.csv);
    for (auto [option, name, value] :
         {std::tuple{list, "--list", &opt.list}, std::tuple{import, "--import", &opt.import},
          std::tuple{templ, "--template", &opt.imp.templateFile},
          std::tuple{soilMap, "--soil-map", &opt.imp.soilMap},
          std::tuple{soilMapOut, "--soil-map-out", &opt.imp.soilMapOut},
          std::tuple{outDir, "--outdir", &opt.imp.outDir},
          std::tuple{summary, "--summary", &opt.imp.summary}})
        if (option->count() > 0 && isBlank(*value)) return blankValue(name, *value);
    for (const std::string& id : opt.imp.boreholes)
        if (isBlank(id)) return usageError("option '--borehole' has an empty name");

    const bool importing = import->count() > 0;
    if (list->count() > 0 && importing) return usageError("--list and --import go one at a time");
    if ((list->count() > 0 || importing) && !opt.inputs.empty())
        return usageError(std::string(importing ? "--import" : "--list") +
                          " takes no input file: the data file is its input");
    if ((list->count() > 0 || importing) && output->count() > 0)
        return usageError("--output goes with an input file");
    if (importing && csv->count() > 0) return usageError("--csv goes with an input file or --list");
    for (CLI::Option* o :
         {templ, borehole, soilMap, soilMapOut, factor, outDir, noRunFlag, summary})
        if (o->count() > 0 && !importing) return usageError(o->get_name() + " goes with --import");
    if (importing && templ->count() == 0) return usageError("--import needs --template");
    if (factor->count() > 0) {
        const std::optional<double> f = parseNumber(nFactor);
        if (!f || !(*f > 0) || *f > 10)
            return usageError("option '--n-factor' needs a number greater than 0 and at most 10, "
                              "not '" +
                              nFactor + "'");
        opt.imp.nFactor = *f;
    }
    if (requiredOption->count() > 0 && summary->count() == 0)
        return usageError("--required goes with --summary");
    if (capacityOption->count() > 0 && requiredOption->count() == 0)
        return usageError("--capacity goes with --required");
    if (summary->count() > 0 && noRun) return usageError("--summary needs the runs: not --no-run");
    if (requiredOption->count() > 0) {
        const std::optional<double> q = parseNumber(required);
        if (!q || !(*q > 0) || *q > 1e9)
            return usageError("option '--required' needs a capacity greater than 0, not '" +
                              required + "'");
        opt.imp.required = *q;
    }
    if (capacityOption->count() > 0) {
        const std::optional<CapacityKind> kind = capacityKindNamed(capacity);
        if (!kind)
            return usageError("option '--capacity' needs davisson, allowable or ultimate, not '" +
                              capacity + "'");
        opt.imp.capacity = *kind;
    }
    opt.imp.run = !noRun;
    opt.imp.quiet = opt.quiet;
    opt.imp.csv = opt.csv;
    for (std::size_t k = 0; k < opt.inputs.size(); ++k)
        if (isBlank(opt.inputs[k]))
            return usageError("input file " + std::to_string(k + 1) + " has " +
                              (opt.inputs[k].empty() ? "an empty" : "a blank") + " name");
    return -1;
}

int main(int argc, char** argv) {
    Options opt;
    if (const int status = parseOptions(argc, argv, opt); status >= 0) return status;
    if (!opt.list.empty()) {
        BatchShell shell(stderr);
        opt.imp.dataFile = opt.list;
        return listDataFile(opt.imp, shell);
    }
    if (opt.inputs.empty() && opt.import.empty()) return usageError("no input file");
    if (opt.inputs.size() > 1 && !opt.output.empty())
        return usageError("--output takes one input file only");
    if (opt.inputs.size() > 1 && !opt.csv.empty())
        return usageError("--csv takes one input file only");

    // One analysis state for the whole call, so the analysis numbers count on across inputs.
    auto state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    BatchShell shell(stderr);

    if (!opt.import.empty()) {
        opt.imp.dataFile = opt.import;
        return importDataFile(opt.imp, shell, [&](const std::string& input, SiteBorehole* result) {
            const int status = analyse(input, opt, doc, *state, shell);
            // Straight from the run that wrote the report.
            if (result && status == kExitOk) *result = siteBorehole(*state, result->name);
            return status;
        });
    }

    int status = kExitOk;
    for (const std::string& input : opt.inputs) {
        // With several inputs every message and summary says which input it belongs to.
        if (opt.inputs.size() > 1) shell.setLabel(input + ":");
        const int result = analyse(input, opt, doc, *state, shell);
        if (result > status) status = result;
    }
    return status;
}
