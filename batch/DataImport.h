#pragma once

// zenka-batch --list and --import: boreholes of ground-investigation data files, listed, or
// turned into project files built on a template and analysed.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zenka {

class BatchShell;

struct ImportOptions {
    std::string dataFile;
    std::string csv; // --list: the list as CSV too
    std::string templateFile;
    std::vector<std::string> boreholes; // empty: every borehole with SPT tests
    std::string soilMap;
    // Where the site's soil map goes when codes are missing; empty: OUTDIR/soil-map.csv, and
    // only if no such file exists.
    std::string soilMapOut;
    double nFactor = 1.0;
    std::string outDir = ".";
    bool run = true;
    bool quiet = false;
};

// Prints one line per borehole; returns the exit status.
int listDataFile(const ImportOptions& opt, BatchShell& shell);

// Writes OUTDIR/ID.in for each chosen borehole and, unless told not to, analyses each through
// `analyse` (which returns its exit status). Returns the worst status.
int importDataFile(const ImportOptions& opt, BatchShell& shell,
                   const std::function<int(const std::string& input)>& analyse);

// A borehole id as a file name: "/" and other characters a name cannot hold become "_".
std::string safeFileName(const std::string& id);

} // namespace zenka
