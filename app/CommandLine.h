#pragma once

// The desktop program's command line, read before anything of the GUI starts: the help, the
// version and a mistyped option need no display.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace zenka {

struct CommandLine {
    enum class Action {
        Gui,       // start the desktop program
        ExportPdf, // the headless export, with the fields below
        SitePdf,   // the headless site summary, likewise
        Exit,      // done: exit with exitCode
    };
    Action action = Action::Gui;
    int exitCode = 0;
    std::string input;                 // the project of --export-pdf, the data file of --site-pdf
    std::string output;                // -o, or empty for the default
    std::string paper;                 // "letter", "a4" or empty for the default
    std::vector<std::string> projects; // the desktop's: the first opens
    // --site-pdf's own.
    std::string templateFile;
    std::string soilMap;
    std::vector<std::string> boreholes; // none: every borehole with SPT tests
    double nFactor = 1.0;
    std::optional<double> required;
    std::string capacity = "allowable"; // davisson, allowable or ultimate
};

// Reads argv. Help and version go to `out` (exit 0), a usage error to `err` with how to get
// the help (exit 2). Options Qt reads for every program are left for Qt.
CommandLine parseCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err);

} // namespace zenka
