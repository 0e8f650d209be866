#pragma once

// AGS4 (4.0 to 4.2) files: rows of quoted, comma-separated fields ("GROUP", "HEADING", "UNIT",
// "TYPE", "DATA"). Read: PROJ, LOCA, ISPT, GEOL, WSTG, WSTD and the GEOL_LEG abbreviations.

#include "import/BoreholeData.h"

#include <optional>
#include <string_view>

namespace zenka::dataimport {

DataFile readAgs4(std::string_view bytes);

// The ISPT_REP text as drillers write it: "N=50 (9,9/50 for 285mm)", "50/270", "25/0*", "N=0",
// "4,15/34,16 for 75mm". Increments without a stated penetration count 75 mm.
struct SptReport {
    bool parsed = false;             // the text had a shape this parser knows
    std::optional<double> lead;      // the leading number ("N=50", "50 for 285mm")
    std::optional<double> leadPenMm; // "... for 285mm" after the leading number
    bool leadAtLeast = false;        // "N>50"
    bool hasTest = false;            // a test drive part was found
    double testBlows = 0;            // blows of the test drive
    double testPenMm = 0;            // its penetration
    bool testIncomplete = false;     // an increment left blank, or too few without a "for"
    bool seatingOnly = false;        // "25/0*": the seating drive was never completed
    bool noResult = false;           // increments present but all blank
};
SptReport parseSptReport(std::string_view text);

} // namespace zenka::dataimport
