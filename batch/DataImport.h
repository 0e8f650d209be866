#pragma once

// zenka-batch --list and --import: boreholes of ground-investigation data files, listed, or
// turned into project files built on a template and analysed.

#include "site/Site.h"

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
    // The site's capacities as CSV; with `required`, the required length per borehole and width
    // beside it (requiredCsvPath) and on stdout.
    std::string summary;
    std::optional<double> required;
    CapacityKind capacity = CapacityKind::Allowable;
};

// Prints one line per borehole; returns the exit status.
int listDataFile(const ImportOptions& opt, BatchShell& shell);

// Analyses one project file; returns its exit status. With `result`, a run that was written
// leaves its cases there.
using AnalyseProject = std::function<int(const std::string& input, SiteBorehole* result)>;

// Writes OUTDIR/ID.in for each chosen borehole and, unless told not to, analyses each through
// `analyse`; then the summary files, when asked for. Returns the worst status.
int importDataFile(const ImportOptions& opt, BatchShell& shell, const AnalyseProject& analyse);

// A borehole id as a file name: "/" and other characters a name cannot hold become "_".
std::string safeFileName(const std::string& id);

} // namespace zenka
