#pragma once

// A site's results as numbers: every chosen borehole analysed on one template project, and the
// pile length each borehole needs to carry a required capacity.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zenka {

struct AnalysisState;

// One width and length of one borehole, in the template's display units (in or mm, ft or m,
// tons or kN), as the capacity CSV writes them.
struct SiteCase {
    double width = 0;
    double length = 0;
    double tipElevation = 0;
    double sideFriction = 0;
    double endBearing = 0;
    double davisson = 0;
    double allowable = 0;
    double ultimate = 0;
};

struct SiteBorehole {
    std::string name;    // as the data file gives it
    bool metric = false; // the run's display units
    double groundElevation = 0;
    std::vector<SiteCase> cases; // in run order: width by width, length by length
    // No ground elevation in the data file: the import keeps the template's, and the tips are
    // measured from it.
    bool groundFromTemplate = false;
};

struct SiteResult {
    // The runs' display units: the template's, or the data file's when the template's unit
    // system was never chosen.
    bool metric = false;
    std::string dataFile;
    std::string templateFile;
    std::string jobName;                 // the template's
    std::string projectNumber;           // the template's
    double templateLongest = 0;          // the longest length the template asks for
    std::vector<SiteBorehole> boreholes; // analysed, in the order chosen
    // Boreholes that were chosen but not analysed, each with why (one line).
    std::vector<std::pair<std::string, std::string>> skipped;
};

// The cases of the run the state holds, in display units.
SiteBorehole siteBorehole(const AnalysisState& s, std::string name);

enum class CapacityKind { Davisson, Allowable, Ultimate };
// "davisson", "allowable", "ultimate" (any case); nothing for another word.
std::optional<CapacityKind> capacityKindNamed(std::string_view word);
// "Davisson", "allowable", "ultimate": as a sentence names it.
const char* capacityKindText(CapacityKind kind);
double capacityOf(const SiteCase& c, CapacityKind kind);

// Per borehole and width: the shortest analysed length whose capacity reaches the required one.
struct RequiredLength {
    std::string borehole;
    double groundElevation = 0;
    double width = 0;
    bool reached = false;
    double length = 0;       // when reached
    double tipElevation = 0; // when reached
    double capacity = 0;     // at that length; not reached: the largest found
    // The longest length analysed at this width and its tip: a run stops where its log ends.
    // 0: none could be (the log too shallow for this width at every length).
    double longest = 0;
    double deepestTip = 0;
    bool governing = false; // the borehole that governs this width
};

// Rows borehole by borehole, widths in run order. Per width one borehole governs: one that
// never reaches the capacity (the one with the smallest largest capacity), else the deepest
// required tip elevation, then the longest length.
std::vector<RequiredLength> requiredLengths(const SiteResult& site, double required,
                                            CapacityKind kind);

// borehole,ground_elevation,width,length,tip_elevation,side_friction,end_bearing,davisson,
// allowable,ultimate: one row per borehole, width and length, values to 4 decimals.
std::string siteCsv(const SiteResult& site);
// borehole,width,required_length,tip_elevation,capacity,governing.
std::string requiredCsv(const std::vector<RequiredLength>& rows);
// SITE.csv -> SITE-required.csv (beside it; "-required" before the extension).
std::string requiredCsvPath(const std::string& summaryPath);

} // namespace zenka
