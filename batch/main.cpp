// zenka-batch: analyses project files without a display and writes their reports.

#include "batch/BatchShell.h"
#include "engine/AnalysisState.h"
#include "engine/Format.h"
#include "engine/Handoff.h"
#include "project/AtomicFile.h"
#include "project/FileCommands.h"
#include "project/PelbrinDoc.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace zenka;

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitFileOrUsage = 2;

const char* const kUsage =
    "Usage: zenka-batch [options] INPUT.in...\n"
    "Analyses each project file and writes its report beside it.\n"
    "\n"
    "Options:\n"
    "  -o, --output REPORT   report path (one input only); default: beside the input,\n"
    "                        named after it with the extension .out\n"
    "  --csv FILE            also write the capacity table as CSV (one input only)\n"
    "  -q, --quiet           print nothing on success\n"
    "  -h, --help            show this help and exit\n"
    "  --version             show the version and exit\n"
    "\n"
    "Exit status: 0 every report written; 1 a project was refused; 2 a usage error or a\n"
    "file that could not be read or written.\n";

struct Options {
    std::string output;
    std::string csv;
    bool quiet = false;
    std::vector<std::string> inputs;
};

int usageError(const std::string& message) {
    std::fprintf(stderr, "zenka-batch: %s\nTry 'zenka-batch --help' for more information.\n",
                 message.c_str());
    return kExitFileOrUsage;
}

// Display units of the run: English prints the engine's values, Metric converts them.
struct DisplayUnits {
    bool metric;
    const char* width() const { return metric ? "mm" : "in"; }
    const char* length() const { return metric ? "m" : "ft"; }
    const char* force() const { return metric ? "kN" : "tons"; }
    double w(double v) const { return metric ? v * 25.4 : v; }
    double l(double v) const { return metric ? v * 0.3048 : v; }
    double f(double v) const { return metric ? v * 8.8964 : v; }
};

std::string csvTable(const AnalysisState& s) {
    const DisplayUnits u{s.IUNITS != 1};
    std::string out =
        "width,length,tip_elevation,side_friction,end_bearing,davisson,allowable,ultimate\n";
    for (const CaseResult& c : s.cases) {
        const double values[] = {u.w(c.WP),    u.l(c.TPL), u.l(c.EBP), u.f(c.USF),
                                 u.f(c.CMAXB), u.f(c.MPC), u.f(c.TCP), u.f(c.UPC)};
        for (std::size_t i = 0; i < std::size(values); ++i) {
            if (i) out += ',';
            out += printfFixed(values[i], 4);
        }
        out += '\n';
    }
    return out;
}

void printSummary(const AnalysisState& s, const std::string& reportPath) {
    const DisplayUnits u{s.IUNITS != 1};
    std::printf("Report written to %s\n", reportPath.c_str());
    if (s.cases.empty()) {
        std::printf("No width and length could be computed; the report tells why.\n");
        return;
    }
    const std::string force = std::string("(") + u.force() + ")";
    std::printf("%12s %12s %16s %16s %16s\n", (std::string("width (") + u.width() + ")").c_str(),
                (std::string("length (") + u.length() + ")").c_str(), ("Davisson " + force).c_str(),
                ("allowable " + force).c_str(), ("ultimate " + force).c_str());
    for (const CaseResult& c : s.cases) {
        std::printf("%12s %12s %16s %16s %16s\n", printfFixed(u.w(c.WP), 2).c_str(),
                    printfFixed(u.l(c.TPL), 2).c_str(), printfFixed(u.f(c.MPC), 2).c_str(),
                    printfFixed(u.f(c.TCP), 2).c_str(), printfFixed(u.f(c.UPC), 2).c_str());
    }
}

// Analyses one project file; returns its exit status.
int analyse(const std::string& input, const Options& opt, CPelbrinDoc& doc, BatchShell& shell) {
    namespace fs = std::filesystem;
    AnalysisState& s = doc.state();
    std::error_code ec;
    const fs::path absolute = fs::absolute(fs::path(input), ec);
    shell.setFileToOpen(ec ? input : absolute.string());
    if (!OpenProject(doc, shell)) return kExitFileOrUsage;

    std::string reportPath = (fs::path(input).parent_path() / s.OUTFILE).string();
    if (!opt.output.empty()) {
        const fs::path out(opt.output);
        const fs::path outAbs = fs::absolute(out, ec);
        s.OUTDIR = (ec ? out : outAbs).parent_path().string();
        s.OUTFILE = out.filename().string();
        reportPath = opt.output;
        if (s.OUTFILE.empty()) return usageError("'" + opt.output + "' is not a file name");
    }

    const bool ran = AnalysisHandoff(doc, shell);
    if (!ran || doc.inputValid == 0) return kExitRefused;
    if (!s.reportWritten) return kExitFileOrUsage;

    if (!opt.csv.empty()) {
        if (const FileResult r = writeFileAtomically(opt.csv, csvTable(s)); !r.ok) {
            shell.showMessage(r.message, MessageKind::Warning);
            return kExitFileOrUsage;
        }
    }
    if (!opt.quiet) printSummary(s, reportPath);
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    Options opt;
    bool endOfOptions = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        if (endOfOptions || arg.empty() || arg[0] != '-' || arg == "-") {
            opt.inputs.emplace_back(arg);
        } else if (arg == "--") {
            endOfOptions = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return kExitOk;
        } else if (arg == "--version") {
            std::printf("zenka-batch %s\n", ZENKA_VERSION);
            return kExitOk;
        } else if (arg == "-q" || arg == "--quiet") {
            opt.quiet = true;
        } else if (arg == "-o" || arg == "--output") {
            if (!value(opt.output))
                return usageError("option '" + std::string(arg) + "' needs a file");
        } else if (arg.starts_with("--output=")) {
            opt.output = arg.substr(9);
        } else if (arg == "--csv") {
            if (!value(opt.csv)) return usageError("option '--csv' needs a file");
        } else if (arg.starts_with("--csv=")) {
            opt.csv = arg.substr(6);
        } else {
            return usageError("unknown option '" + std::string(arg) + "'");
        }
    }
    if (opt.inputs.empty()) return usageError("no input file");
    if (opt.inputs.size() > 1 && !opt.output.empty())
        return usageError("--output takes one input file only");
    if (opt.inputs.size() > 1 && !opt.csv.empty())
        return usageError("--csv takes one input file only");

    // One analysis state for the whole call, so the analysis numbers count on across inputs.
    auto state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc(*state);
    BatchShell shell(stderr);

    int status = kExitOk;
    for (const std::string& input : opt.inputs) {
        const int result = analyse(input, opt, doc, shell);
        if (result > status) status = result;
    }
    return status;
}
