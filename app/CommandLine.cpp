#include "app/CommandLine.h"

#include "model/Numbers.h"
#include "site/Site.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <string_view>

namespace zenka {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: zenka [QT-OPTION]... [PROJECT.in]\n"
    "       zenka --export-pdf PROJECT.in [-o OUT.pdf] [--paper letter|a4]\n"
    "       zenka --site-pdf DATA --template T.in [OPTION]...\n"
    "Starts the desktop program for the static axial capacity of single driven piles\n"
    "from an SPT boring log, with the project named, or an empty one. With --export-pdf\n"
    "it analyses a project without a display and writes its report and graphs as one PDF;\n"
    "with --site-pdf, the boreholes of a data file on a template, as one site summary PDF.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  --version      show the version and exit\n"
    "  --export-pdf   write a project's PDF; see 'zenka --export-pdf --help'\n"
    "  --site-pdf     write a site's summary PDF; see 'zenka --site-pdf --help'\n"
    "\n"
    "The options Qt reads for every program (such as -platform offscreen) are accepted.\n"
    "One project opens at a time: of several names, the first.\n";

const char* const kExportUsage =
    "Usage: zenka --export-pdf PROJECT.in [-o OUT.pdf] [--paper letter|a4]\n"
    "Analyses the project without a display and writes its report, beside the project,\n"
    "and the report with its graphs as one PDF.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT.pdf  the PDF's path; default: beside the project, named after it\n"
    "                        with the extension .pdf\n"
    "  --paper letter|a4     the paper; default: the default printer's, else the locale's\n"
    "  -h, --help            show this help and exit\n"
    "\n"
    "Exit status: 0 written; 1 the project was refused; 2 a usage error or a file that\n"
    "could not be read or written.\n";

const char* const kSiteUsage =
    "Usage: zenka --site-pdf DATA --template T.in [--soil-map MAP] [--borehole ID]...\n"
    "         [--n-factor F] [--required Q [--capacity davisson|allowable|ultimate]]\n"
    "         [-o SITE.pdf] [--paper letter|a4]\n"
    "Analyses the boreholes of a ground-investigation data file (DIGGS, AGS4 or CSV), each\n"
    "on the template project, without a display, and writes the site summary as one PDF:\n"
    "the pile length each borehole needs to carry Q and which borehole governs each width,\n"
    "one chart per pile width of the capacity against tip elevation, and the capacities\n"
    "per borehole. Nothing else is written.\n"
    "\n"
    "Options:\n"
    "  --template T.in       the project the boreholes are analysed on: its pile, widths,\n"
    "                        lengths and units\n"
    "  --soil-map MAP        CSV rows classification,code; a row *,CODE for the rest\n"
    "  --borehole ID         a borehole to analyse (again for more); default: every\n"
    "                        borehole with SPT tests\n"
    "  --n-factor F          hammer-energy factor applied to every N (default 1.0)\n"
    "  --required Q          the required capacity, in the template's units (tons or kN)\n"
    "  --capacity KIND       the capacity Q is of: davisson, allowable or ultimate\n"
    "                        (default allowable)\n"
    "  -o, --output SITE.pdf the PDF's path; default: beside the data file, named after\n"
    "                        it with -site.pdf\n"
    "  --paper letter|a4     the paper; default: the default printer's, else the locale's\n"
    "  -h, --help            show this help and exit\n"
    "\n"
    "A classification in use without a soil code refuses the run: 'zenka-batch --import\n"
    "DATA --template T.in' writes the site's soil map with proposed codes, to check and\n"
    "pass with --soil-map.\n"
    "\n"
    "Exit status: 0 written; 1 refused (soil codes missing, no borehole could be\n"
    "analysed); 2 a usage error or a file that could not be read or written.\n";

// Qt's own options, with one dash or two; the first take a value, as the next argument or
// after "=".
constexpr std::array<std::string_view, 15> kQtValueOptions = {"platform",
                                                              "platformpluginpath",
                                                              "platformtheme",
                                                              "plugin",
                                                              "qwindowgeometry",
                                                              "geometry",
                                                              "qwindowicon",
                                                              "icon",
                                                              "qwindowtitle",
                                                              "title",
                                                              "name",
                                                              "display",
                                                              "style",
                                                              "stylesheet",
                                                              "session"};
constexpr std::array<std::string_view, 8> kQtFlags = {"reverse",       "nograb",      "dograb",
                                                      "widgetcount",   "sync",        "testability",
                                                      "qmljsdebugger", "qwindowalert"};
// The platform switches of an embedding or automation start; they change nothing here.
constexpr std::array<std::string_view, 4> kServiceSwitches = {"/Embedding", "-Embedding",
                                                              "/Automation", "-Automation"};

bool contains(const auto& list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

CommandLine exitWith(int code) {
    CommandLine c;
    c.action = CommandLine::Action::Exit;
    c.exitCode = code;
    return c;
}

// The usage lines of a help text: up to its first line that starts with neither "Usage:" nor
// a blank.
std::string usageLines(const char* help) {
    const std::string_view text = help;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = text.find('\n', end);
        if (next == std::string_view::npos) break;
        const std::string_view line = text.substr(end, next - end);
        if (!line.starts_with("Usage:") && !line.starts_with(" ")) break;
        end = next + 1;
    }
    return std::string(text.substr(0, end));
}

// Which command a usage error is about: the program's, --export-pdf's or --site-pdf's.
enum class Command { Program, Export, Site };

CommandLine usageError(std::FILE* err, const std::string& message, Command command) {
    const char* help = command == Command::Export ? kExportUsage
                       : command == Command::Site ? kSiteUsage
                                                  : kUsage;
    const char* option = command == Command::Export ? "--export-pdf "
                         : command == Command::Site ? "--site-pdf "
                                                    : "";
    std::fprintf(err, "zenka: %s\n%sTry 'zenka %s--help' for more information.\n", message.c_str(),
                 usageLines(help).c_str(), option);
    return exitWith(kExitUsage);
}

bool isBlank(std::string_view name) {
    return name.find_first_not_of(" \t\n\r\v\f") == std::string_view::npos;
}

// "--name=value" split into its name and value; false for an option without "=".
bool splitInlineValue(std::string_view& arg, std::string_view& value) {
    const auto eq = arg.find('=');
    if (!arg.starts_with("--") || eq == std::string_view::npos) return false;
    value = arg.substr(eq + 1);
    arg = arg.substr(0, eq);
    return true;
}

// Whether -h or --help stands anywhere: "--export-pdf --help" asks for the help, not for a
// project named --help.
bool helpAsked(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") return true;
    }
    return false;
}

// "letter" or "a4" in either case of their first letter; false for another paper.
bool normalPaper(std::string& paper) {
    if (paper == "letter" || paper == "Letter")
        paper = "letter";
    else if (paper == "a4" || paper == "A4")
        paper = "a4";
    else
        return false;
    return true;
}

CommandLine parseExport(int argc, char** argv, std::FILE* out, std::FILE* err) {
    // The help first, wherever it stands: "--export-pdf --help" asks for it, not for a project
    // named --help.
    if (helpAsked(argc, argv)) {
        std::fputs(kExportUsage, out);
        return exitWith(kExitOk);
    }
    CommandLine c;
    c.action = CommandLine::Action::ExportPdf;
    bool haveInput = false, haveOutput = false, havePaper = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::string_view value;
        const bool inlineValue = splitInlineValue(arg, value);
        std::string* into = nullptr;
        bool* seen = nullptr;
        if (arg == "--export-pdf") {
            into = &c.input;
            seen = &haveInput;
        } else if (arg == "-o" || arg == "--output") {
            into = &c.output;
            seen = &haveOutput;
        } else if (arg == "--paper") {
            into = &c.paper;
            seen = &havePaper;
        } else {
            return usageError(err, "unknown argument '" + std::string(argv[i]) + "'",
                              Command::Export);
        }
        if (!inlineValue) {
            if (i + 1 == argc)
                return usageError(err,
                                  "option '" + std::string(arg) + "' needs " +
                                      (arg == "--paper" ? "letter or a4" : "a file"),
                                  Command::Export);
            value = argv[++i];
        }
        if (*seen && arg == "--export-pdf")
            return usageError(err, "--export-pdf takes one project", Command::Export);
        *seen = true;
        *into = std::string(value);
        if (arg != "--paper" && isBlank(*into))
            return usageError(err,
                              "option '" + std::string(arg) + "' has " +
                                  (into->empty() ? "an empty" : "a blank") + " file name",
                              Command::Export);
    }
    if (havePaper && !normalPaper(c.paper))
        return usageError(err, "option '--paper' needs letter or a4, not '" + c.paper + "'",
                          Command::Export);
    return c;
}

// What --site-pdf's options take, for the message when it is missing.
const char* needs(std::string_view option) {
    if (option == "--paper") return "letter or a4";
    if (option == "--n-factor" || option == "--required") return "a number";
    if (option == "--capacity") return "davisson, allowable or ultimate";
    if (option == "--borehole") return "a borehole";
    return "a file";
}

CommandLine parseSite(int argc, char** argv, std::FILE* out, std::FILE* err) {
    if (helpAsked(argc, argv)) {
        std::fputs(kSiteUsage, out);
        return exitWith(kExitOk);
    }
    auto refuse = [err](const std::string& message) {
        return usageError(err, message, Command::Site);
    };
    CommandLine c;
    c.action = CommandLine::Action::SitePdf;
    std::string factor, required, capacity;
    struct Option {
        std::string_view name;
        std::string* into;
        bool seen = false;
    };
    Option options[] = {{"--site-pdf", &c.input},   {"--template", &c.templateFile},
                        {"--soil-map", &c.soilMap}, {"-o", &c.output},
                        {"--output", &c.output},    {"--paper", &c.paper},
                        {"--n-factor", &factor},    {"--required", &required},
                        {"--capacity", &capacity},  {"--borehole", nullptr}};
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::string_view value;
        const bool inlineValue = splitInlineValue(arg, value);
        Option* option = nullptr;
        for (Option& o : options)
            if (o.name == arg) option = &o;
        if (!option) return refuse("unknown argument '" + std::string(argv[i]) + "'");
        if (!inlineValue) {
            if (i + 1 == argc)
                return refuse("option '" + std::string(arg) + "' needs " + needs(arg));
            value = argv[++i];
        }
        if (option->seen && arg == "--site-pdf") return refuse("--site-pdf takes one data file");
        option->seen = true;
        if (!option->into) {
            if (isBlank(value)) return refuse("option '--borehole' has an empty name");
            c.boreholes.emplace_back(value);
            continue;
        }
        *option->into = std::string(value);
        if (std::string_view(needs(arg)) == "a file" && isBlank(value))
            return refuse("option '" + std::string(arg) + "' has " +
                          (value.empty() ? "an empty" : "a blank") + " file name");
    }
    if (c.templateFile.empty()) return refuse("--site-pdf needs --template");
    if (options[5].seen && !normalPaper(c.paper))
        return refuse("option '--paper' needs letter or a4, not '" + c.paper + "'");
    if (options[6].seen) {
        const std::optional<double> f = parseNumber(factor);
        if (!f || !(*f > 0) || *f > 10)
            return refuse("option '--n-factor' needs a number greater than 0 and at most 10, "
                          "not '" +
                          factor + "'");
        c.nFactor = *f;
    }
    if (options[7].seen) {
        const std::optional<double> q = parseNumber(required);
        if (!q || !(*q > 0) || !std::isfinite(*q))
            return refuse("option '--required' needs a capacity greater than 0, not '" + required +
                          "'");
        c.required = *q;
    }
    if (options[8].seen) {
        if (!options[7].seen) return refuse("option '--capacity' goes with --required");
        const std::optional<CapacityKind> kind = capacityKindNamed(capacity);
        if (!kind)
            return refuse("option '--capacity' needs davisson, allowable or ultimate, not '" +
                          capacity + "'");
        c.capacity = capacityKindText(*kind);
        for (char& ch : c.capacity)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    return c;
}

} // namespace

CommandLine parseCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err) {
    bool exporting = false, site = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        exporting = exporting || arg == "--export-pdf" || arg.starts_with("--export-pdf=");
        site = site || arg == "--site-pdf" || arg.starts_with("--site-pdf=");
    }
    if (exporting && site)
        return usageError(err, "--export-pdf and --site-pdf go one at a time", Command::Program);
    if (exporting) return parseExport(argc, argv, out, err);
    if (site) return parseSite(argc, argv, out, err);
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, out);
            return exitWith(kExitOk);
        }
        if (arg == "--version") {
            std::fputs("zenka " ZENKA_VERSION "\n", out);
            return exitWith(kExitOk);
        }
    }
    CommandLine c;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (contains(kServiceSwitches, arg)) continue;
        if (arg == "--") {
            c.projects.insert(c.projects.end(), argv + i + 1, argv + argc);
            break;
        }
        // Anything else that is no option names a project.
        if (arg.size() < 2 || arg[0] != '-') {
            if (!arg.empty()) c.projects.emplace_back(arg);
            continue;
        }
        std::string_view name = arg.substr(arg.starts_with("--") ? 2 : 1);
        const auto eq = name.find('=');
        const bool inlineValue = eq != std::string_view::npos;
        if (inlineValue) name = name.substr(0, eq);
        if (contains(kQtFlags, name)) continue;
        if (contains(kQtValueOptions, name)) {
            if (!inlineValue && ++i == argc)
                return usageError(err, "option '" + std::string(arg) + "' needs a value",
                                  Command::Program);
            continue;
        }
        return usageError(err, "unknown option '" + std::string(arg) + "'", Command::Program);
    }
    return c;
}

} // namespace zenka
