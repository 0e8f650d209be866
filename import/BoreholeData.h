#pragma once

// Boreholes read from ground-investigation data files (AGS4, DIGGS, delimited text), in one model
// that does not depend on the format. Depths stay in the unit the file gives them; the log
// builder converts them to the project's unit system.
//
// Reading a file is a pure function: bytes in, a DataFile out. Nothing here throws; a file that
// cannot be read comes back with `error` set.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zenka::dataimport {

enum class LengthUnit { Unknown, Feet, Metres };

// "ft", "feet", "foot", "ft_us", "m", "metre(s)", "meter(s)"... Anything else is Unknown: a unit
// the file does not give is never assumed.
LengthUnit parseLengthUnit(std::string_view text);
const char* unitWord(LengthUnit unit); // "ft", "m", "?"
// value in `from` expressed in `to`; both must be known.
double convertLength(double value, LengthUnit from, LengthUnit to);

// The formats read; each has its unit in DataFormats.h, with its name.
enum class Format { Unknown, Ags3, Ags4, Diggs, Delimited };

// One drive increment of an SPT: blows and penetration in millimetres, as the file gives them.
struct DriveSet {
    int index = 0; // 1 and 2 are usually the seating drive, 3 and 4 the test drive (AGS: 1..6)
    std::optional<double> blows;
    std::optional<double> penetrationMm;
    bool inches = false; // the file gives the penetration in inches
};

struct SptTest {
    double top = 0; // depth below ground, in the borehole's depthUnit
    std::optional<double> base;
    // The blow count the log takes (before any hammer factor); none when the test gave no N.
    std::optional<double> n;
    bool refusal = false;    // drive shorter than 300 mm: n is the test blows scaled to 300 mm
    bool shortDrive = false; // n as the file gives it, although its penetration says short
    bool statedOnly = false; // n as the file states it: its drive sets do not cover the test drive
    std::optional<double> statedN; // the file's own N value (AGS ISPT_NVAL, DIGGS N-Value)
    std::string report;            // AGS ISPT_REP as written
    std::vector<DriveSet> driveSets;
    std::string hammer;                // hammer type or id where the file gives one
    std::optional<double> energyRatio; // percent
    const char* note = "";             // how n was found, when it was not simply given
};

struct Stratum {
    double top = 0;
    std::optional<double> base;
    std::string description;
    // The text the soil code is chosen for: a classification symbol, legend code or, with
    // neither, the description.
    std::string classification;
    // Words that explain a legend code (the AGS ABBR description of GEOL_LEG), if any.
    std::string legendText;
};

struct Borehole {
    std::string id;   // AGS LOCA_ID; DIGGS gml:id
    std::string name; // AGS LOCA_ID; DIGGS gml:name (the id when it has none)
    std::optional<double> groundElevation;
    LengthUnit elevationUnit = LengthUnit::Unknown;
    std::optional<double> finalDepth;
    LengthUnit depthUnit = LengthUnit::Unknown;
    std::vector<double> waterDepths; // in depthUnit, as found
    std::vector<SptTest> tests;      // sorted by depth; one per depth
    std::vector<Stratum> strata;     // sorted by top
    std::string boringDate;          // as the file writes it (ISO dates in practice)
};

// Something in the file the engineer should know about: a skipped row, a missing elevation, a
// reference to a borehole that is not in the file. `borehole` is empty for the whole file.
struct Problem {
    std::string borehole;
    std::string message;
};

struct DataFile {
    Format format = Format::Unknown;
    std::string error; // set when the file could not be read at all
    // With error: the bytes are none of the kinds read here, and error says what they are.
    bool notDataFile = false;
    std::string projectNumber;
    std::string jobName;
    std::vector<Borehole> boreholes;
    std::vector<Problem> problems;

    // By name, else by id; blanks around either side do not count, as listings trim them.
    const Borehole* find(std::string_view idOrName) const;
};

// --- helpers the readers share ---

std::string_view trim(std::string_view text);
// A whole field as a number ("12", "-3.5", "1e2"); blanks and anything else give nothing.
// With decimalComma, "1,5" reads as 1.5.
std::optional<double> parseNumber(std::string_view text, bool decimalComma = false);
// Valid UTF-8 stays as it is; a field that is not valid UTF-8 is read as cp1252.
std::string toUtf8(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);
std::string lower(std::string_view text);
std::string upper(std::string_view text);

// Sorts the tests by depth (stable, so the first in the file stays first), keeps the first test
// at each depth and lists the others; sorts the strata by top.
void tidyBorehole(Borehole& b, std::vector<Problem>& problems);

// The ways a file format decides a test's N from its drive increments (shared by the readers and
// the tests). Blows of a drive of `penetrationMm` scaled to the full test drive `fullMm` (300 mm,
// or 12 in for data in feet or inches), at most 100.
inline constexpr double kTestDriveMm = 300;
inline constexpr double kTestDriveInchMm = 12 * 25.4;
double scaledRefusalN(double blows, double penetrationMm, double fullMm = kTestDriveMm);

} // namespace zenka::dataimport
