#pragma once

// Boring logs from ground-investigation data files: the two steps the import dialog and the
// batch program share.
//
//   1. readDataFile(path)            the file's boreholes and the problems found in it
//                                    (DataFormats.h, with the formats read)
//      listBoreholes(file)           one summary row per borehole
//   2. classifications(borehole)     one row per classification, with test counts and proposals
//      proposedChoices(borehole)     the proposals as choices, for the engineer to change
//      buildLog(file, borehole, choices, doc.units)
//                                    the entries (the preview), elevation, water table,
//                                    identification, in the project's unit system
//      applyLog(log, doc, flags)     writes them into the project
//
// Nothing here asks anyone anything: what needs the engineer (a missing elevation, a depth unit
// the file does not give, a classification without a code, more than 224 tests) comes back in
// the results, and the caller asks and builds again.

#include "import/BoreholeData.h"
#include "import/DataFormats.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zenka {
class CPelbrinDoc;
}

namespace zenka::dataimport {

// ---- step 1 ----

struct BoreholeSummary {
    std::string id;
    std::string name;
    std::optional<double> groundElevation;
    LengthUnit elevationUnit = LengthUnit::Unknown; // Unknown: the elevation cannot be used
    std::optional<double> finalDepth;
    LengthUnit depthUnit = LengthUnit::Unknown;
    int sptTests = 0; // tests with an N
    int refusals = 0;
    std::optional<double> waterDepth; // the shallowest, in depthUnit
};
BoreholeSummary summarise(const Borehole& b);
std::vector<BoreholeSummary> listBoreholes(const DataFile& file);
// "14", or "14 (2 refusals)".
std::string testCountText(const BoreholeSummary& summary);

// ---- step 2 ----

// The classification row of tests that lie in no stratum.
inline constexpr const char* kNoStratum = "(no stratum)";

struct ClassificationRow {
    std::string text;        // the key of ImportChoices::codes
    std::string legendText;  // what a legend code stands for, if the file says
    std::string description; // the description of the first such stratum
    int tests = 0;           // SPT tests in strata of this classification
    int proposedCode = 0;    // 0: no proposal
    std::string proposedName;
    bool noStratum = false;
};
// In order of depth of the first test in each; the "no stratum" row last, when some test lies
// outside every stratum. Only classifications that tests lie in are listed.
std::vector<ClassificationRow> classifications(const Borehole& borehole);

// The cap of the boring log: 224 samples and the closing entry.
inline constexpr int kMaxSamples = 224;

struct ImportChoices {
    std::map<std::string, int> codes;           // classification text (or kNoStratum) -> soil code
    int otherCode = 0;                          // for every classification not in codes; 0: none
    double hammerFactor = 1.0;                  // applied to every N
    LengthUnit depthUnit = LengthUnit::Unknown; // when the file gives none
    // The ground elevation in the log's unit system, used instead of the file's.
    std::optional<double> groundElevation;
    // With more than 224 tests: keep those down to this depth (log units), at most 224.
    // Without it the first 224 are kept.
    std::optional<double> keepDownTo;
};
// The proposals as codes; classifications without a proposal are left out.
ImportChoices proposedChoices(const Borehole& borehole);

struct LogEntry {
    double depth = 0; // below the ground surface, in the log's units, to hundredths
    double n = 0;     // with the hammer factor applied
    int code = 0;     // 0 on the closing entry, and where the classification has no code yet
    bool refusal = false;
    bool shortDrive = false;
    bool statedOnly = false; // the file's N: its drive sets do not cover the test drive
    bool closing = false;
    bool surface = false;          // added at the ground surface: the borehole has one test only
    std::optional<double> statedN; // the file's own N, shown beside
    std::string classification;    // key into the choices; kNoStratum outside every stratum
    std::string description;
    std::string note;
};
// "refusal", "short drive", "N as stated in the file" or "".
const char* entryMark(const LogEntry& entry);

struct BuiltLog {
    // Every classification in use has a code, the depth unit is known and the log has at least
    // two entries besides the closing one: applyLog accepts it.
    bool ready = false;
    std::vector<std::string> missingCodes; // classifications in use without a code
    std::vector<std::string> messages;     // for the engineer: limits, factors, gaps
    int units = 0;                         // Units::English or Units::Metric
    std::vector<LogEntry> entries;         // the closing entry last
    std::optional<double> groundElevation; // log units; none: the engineer must enter it
    std::optional<double> waterTable;      // negative below the ground surface
    std::string boringNumber;
    std::string projectNumber;
    std::string jobName;
    std::string boringDate;
    int testsWithN = 0; // in the borehole
    int testsKept = 0;  // in the log
    int refusals = 0;   // in the log
    int statedOnly = 0; // in the log: N as the file states it
    bool truncated = false;
    double hammerFactor = 1.0;
    std::string hammerSummary; // the factor, and the source's hammer and energy ratio
};
// projectUnits: the project's `units`; a project whose system was never chosen takes the file's.
BuiltLog buildLog(const DataFile& file, const Borehole& borehole, const ImportChoices& choices,
                  int projectUnits);

// One line for the engineer once the log is in the project: "12 tests of 14 kept (2 refusals);
// water 25.0 ft above the ground; Hammer factor 1.00 (N as in the file)".
std::string importSummary(const BuiltLog& log);

// Which project values besides the boring log are replaced.
struct ApplyFlags {
    bool groundElevation = true;
    bool waterTable = true;
    bool identification = true; // boring number, project number, job name, boring date
};
// Ticked where the log has the value.
ApplyFlags defaultFlags(const BuiltLog& log);

// Writes the log (always) and the flagged values the log has into the project, sets its unit
// system when it was never chosen, sets the modified mark and sends the project changed notice.
// False (and the project untouched) when the log is not ready or was built for the other unit
// system; `why` then says so.
bool applyLog(const BuiltLog& log, CPelbrinDoc& doc, const ApplyFlags& flags,
              std::string* why = nullptr);

} // namespace zenka::dataimport
