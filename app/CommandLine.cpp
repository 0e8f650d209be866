#include "app/CommandLine.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zenka {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: zenka [QT-OPTION]... [PROJECT.in]\n"
    "       zenka --export-pdf PROJECT.in [-o OUT.pdf] [--paper letter|a4]\n"
    "Starts the desktop program for the static axial capacity of single driven piles\n"
    "from an SPT boring log, with the project named, or an empty one. With --export-pdf\n"
    "it analyses a project without a display and writes its report and graphs as one PDF.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  --version      show the version and exit\n"
    "  --export-pdf   write a project's PDF; see 'zenka --export-pdf --help'\n"
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

CommandLine usageError(std::FILE* err, const std::string& message, bool exporting) {
    std::fprintf(err, "zenka: %s\n%sTry 'zenka %s--help' for more information.\n", message.c_str(),
                 usageLines(exporting ? kExportUsage : kUsage).c_str(),
                 exporting ? "--export-pdf " : "");
    return exitWith(kExitUsage);
}

bool isBlank(std::string_view name) {
    return name.find_first_not_of(" \t\n\r\v\f") == std::string_view::npos;
}

CommandLine parseExport(int argc, char** argv, std::FILE* out, std::FILE* err) {
    // The help first, wherever it stands: "--export-pdf --help" asks for it, not for a project
    // named --help.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kExportUsage, out);
            return exitWith(kExitOk);
        }
    }
    CommandLine c;
    c.action = CommandLine::Action::ExportPdf;
    bool haveInput = false, haveOutput = false, havePaper = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::string_view value;
        bool inlineValue = false;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inlineValue = true;
        }
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
            return usageError(err, "unknown argument '" + std::string(argv[i]) + "'", true);
        }
        if (!inlineValue) {
            if (i + 1 == argc)
                return usageError(err,
                                  "option '" + std::string(arg) + "' needs " +
                                      (arg == "--paper" ? "letter or a4" : "a file"),
                                  true);
            value = argv[++i];
        }
        if (*seen && arg == "--export-pdf")
            return usageError(err, "--export-pdf takes one project", true);
        *seen = true;
        *into = std::string(value);
        if (arg != "--paper" && isBlank(*into))
            return usageError(err,
                              "option '" + std::string(arg) + "' has " +
                                  (into->empty() ? "an empty" : "a blank") + " file name",
                              true);
    }
    if (havePaper) {
        if (c.paper == "letter" || c.paper == "Letter")
            c.paper = "letter";
        else if (c.paper == "a4" || c.paper == "A4")
            c.paper = "a4";
        else
            return usageError(err, "option '--paper' needs letter or a4, not '" + c.paper + "'",
                              true);
    }
    return c;
}

} // namespace

CommandLine parseCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--export-pdf" || arg.starts_with("--export-pdf="))
            return parseExport(argc, argv, out, err);
    }
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
                return usageError(err, "option '" + std::string(arg) + "' needs a value", false);
            continue;
        }
        return usageError(err, "unknown option '" + std::string(arg) + "'", false);
    }
    return c;
}

} // namespace zenka
