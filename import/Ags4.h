#pragma once

// AGS files, both syntaxes: AGS4 (4.0 to 4.2: rows "GROUP", "HEADING", "UNIT", "TYPE", "DATA")
// and AGS3 (rows "**GROUP", "*HEADING", "<UNITS>", data rows continued by "<CONT>" rows). AGS3's
// HOLE group and HOLE_ headings read as AGS4's LOCA. Read: PROJ, LOCA/HOLE, ISPT, GEOL, WSTG,
// WSTD and the GEOL_LEG abbreviations. Rows are read one at a time into the boreholes, so the
// memory taken grows with the tests, not with the text.

#include "import/BoreholeData.h"

#include <optional>
#include <string_view>

namespace zenka::dataimport {

DataFile readAgs(std::string_view bytes);
// The same, freeing the bytes as soon as the rows are read.
DataFile readAgsOwned(std::string&& bytes);

// The SPT report text as drillers write it: "N=50 (9,9/50 for 285mm)", "N=50/280", "50/270",
// "25/0*", "50 blows for 225mm", "N=0", "4,15/34,16 for 75mm", "0 (55 for 125mm/,,,)".
// Penetrations are in mm unless written in inches ("3in", "3\""); with bareInches a
// penetration without a unit is in inches too. Increments without a stated penetration count
// 75 mm (3 in).
struct SptReport {
    bool parsed = false;             // the text had a shape this parser knows
    std::optional<double> lead;      // the leading number ("N=50", "50 for 285mm")
    std::optional<double> leadPenMm; // "... for 285mm" after the leading number
    bool leadAtLeast = false;        // "N>50"
    bool hasTest = false;            // a test drive part was found
    double testBlows = 0;            // blows of the test drive
    double testPenMm = 0;            // its penetration
    bool testIncomplete = false;     // an increment left blank, or too few without a "for"
    bool seatingOnly = false;        // "25/0*", "0 (55 for 125mm/,,,)": no test drive was made
    bool noResult = false;           // increments present but all blank
    bool inches = false;             // a penetration was given in inches
};
SptReport parseSptReport(std::string_view text, bool bareInches = false);

// The N a report gives when the file states none: the test blows, scaled to the full test drive
// (300 mm, or 12 in when `inchData` or the report is in inches) when the drive stopped short,
// at most 100; a refusal in the seating drive is N 100. False when the report gives no N.
struct ReportN {
    double n = 0;
    bool refusal = false;
    bool lowerBound = false; // "N>50"
    const char* note = "";
};
bool nFromReport(const SptReport& r, bool inchData, ReportN& out);

} // namespace zenka::dataimport
