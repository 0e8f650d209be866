#pragma once

// A site analysed in memory: the data file's chosen boreholes, each built into the template
// project with the site's soil map and hammer factor, and analysed as its own project.

#include "site/Site.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zenka {

class Shell;

namespace dataimport {
struct DataFile;
struct Borehole;
} // namespace dataimport

// The site's soil codes: classification -> code, and the code of every other classification.
struct SoilMap {
    std::map<std::string, int> codes;
    int other = 0;
};

// A soil map file: classification,code per line (more columns are notes; a quoted field may run
// over lines); "*,CODE" for every classification not named, each classification once; a first
// row of header words is skipped. A UTF-8 mark is dropped. False, with a message naming the file
// (and line) through the shell, when it cannot be used.
bool readSoilMap(const std::string& path, SoilMap& map, Shell& shell);

// One row of the site's soil map: a classification over every chosen borehole.
struct SiteClassification {
    std::string text;
    int tests = 0;    // summed over the boreholes
    int proposal = 0; // 0: none
    std::string what; // the legend's words, or a description of its own strata
    bool whatIsOwn = false;
};
std::vector<SiteClassification>
siteClassifications(const std::vector<const dataimport::Borehole*>& chosen);
// classification,proposed code,tests,what it is: the codes given win over the proposals.
std::string siteSoilMapCsv(const std::vector<SiteClassification>& rows, const SoilMap& given);

// The boreholes named (by name or id, each once), or, when none is named, every borehole with an
// SPT test. Nothing when a name is not in the file or no borehole has a test; the shell is told.
std::optional<std::vector<const dataimport::Borehole*>>
chooseBoreholes(const dataimport::DataFile& file, const std::vector<std::string>& names,
                const std::string& dataFile, Shell& shell);

// The classifications in use in the chosen boreholes that the map gives no code, each once, in
// order of first use. `units`: the template's unit system.
std::vector<std::string> missingSoilCodes(const dataimport::DataFile& file,
                                          const std::vector<const dataimport::Borehole*>& chosen,
                                          const SoilMap& map, int units);

struct SiteRequest {
    std::string dataFile;     // for the result and messages
    std::string templateFile; // for the result and messages
    std::string templateBytes;
    SoilMap soilMap;
    double hammerFactor = 1.0;
};

// Called before each borehole (index, count); false stops the analysis.
using SiteProgress = std::function<bool(std::size_t done, std::size_t count)>;

// Analyses each chosen borehole as the project its import would write (the project file's
// bytes read back, so the numbers are those a run of that file gives). A borehole that cannot
// be analysed goes to `skipped` with why; nothing is written to disk and nothing is asked.
SiteResult analyseSite(const SiteRequest& request, const dataimport::DataFile& file,
                       const std::vector<const dataimport::Borehole*>& chosen,
                       const SiteProgress& progress = {});

} // namespace zenka
