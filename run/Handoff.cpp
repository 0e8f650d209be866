#include "run/Handoff.h"

#include "base/AtomicFile.h"
#include "base/Format.h"
#include "base/Shell.h"
#include "engine/AnalysisState.h"
#include "engine/Driver.h"
#include "engine/Report.h"
#include "model/PelbrinDoc.h"
#include "model/SoilCatalogue.h"
#include "run/RunDriver.h"
#include "run/outputs/Outputs.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace zenka {

static_assert(kDocWidths == kMaxWidths && kDocSamples == kMaxSamples && kDocLengths == kMaxLengths,
              "the project's arrays are copied whole into the engine's");

namespace {

// The largest magnitude of a length, width, elevation, depth, blow count or unit weight, and of
// an area; the main form's own limits.
constexpr double kLargest = 1000000;
constexpr double kLargestArea = 10000000;
// Hundredths, less what decimal fractions lose in binary.
constexpr double kLeastDepthStep = 0.01 - 1e-9;

// "Greater than 0" as the checks mean it: a NaN fails.
bool positive(double v) {
    return v > 0;
}

bool hasClosingEntry(const CPelbrinDoc& doc) {
    return closingEntryIndex(doc.soilCodes) < kDocSamples;
}

// Runs every check in order, one message for each that fails. True when all passed.
bool validate(const CPelbrinDoc& doc, int nsamp, Shell& shell) {
    bool ok = true;
    auto fail = [&](const char* message) {
        ok = false;
        shell.showMessage(message, MessageKind::Information);
    };

    if (nsamp <= 2) fail("A minimum of 2 borelog entries must be entered");
    if (!positive(doc.pileWidths[0])) fail("At least one pile width must be entered");
    if (!positive(doc.unitWeight)) fail("Unit weight must be greater than 0");
    if (!PileShape::known(doc.pileShape)) fail("Illegal pileshape encountered");
    if (doc.analysisType == AnalysisType::SpecificLengths && !positive(doc.pileLengths[0]))
        fail("Pile lengths must be greater than 0");
    if (doc.analysisType == AnalysisType::RangeOfLengths) {
        if (!positive(doc.minLength)) fail("Minimum pile length must be greater than 0");
        if (!positive(doc.maxLength) || doc.maxLength < doc.minLength)
            fail("Maximum pile length must be greater than 0 and greater than the minimum "
                 "pilelength");
        if (!positive(doc.lengthIncrement)) fail("Pile length increment must be greater than 0");
    }
    if (doc.analysisType != AnalysisType::SpecificLengths &&
        doc.analysisType != AnalysisType::RangeOfLengths)
        fail("Illegal analysis option encountered");

    if (!Units::known(doc.units)) fail("Illegal unit system encountered");
    const bool closed = hasClosingEntry(doc);
    if (!closed) fail("The boring log must end with an entry of soil type 0");

    const int nw = std::clamp(doc.widthCount, 0, kDocWidths);
    if (nw >= 2) {
        for (int i = 1; i < nw; ++i) {
            if (!positive(doc.pileWidths[static_cast<std::size_t>(i)])) {
                fail("All pile widths in use must be greater than 0");
                break;
            }
        }
    }
    if (PileShape::hollow(doc.pileShape)) {
        bool bad = !positive(doc.pipeThickness);
        for (int i = 0; i < std::max(nw, 1) && !bad; ++i) {
            const double w = doc.pileWidths[static_cast<std::size_t>(i)];
            if (positive(w) && !(2 * doc.pipeThickness < w)) bad = true;
        }
        if (bad) fail("Wall thickness must be greater than 0 and less than half the pile width");
    }
    if (PileShape::hSection(doc.pileShape) &&
        (!positive(doc.hPileDepth) || !positive(doc.hPileEndArea)))
        fail("H-pile section depth and end area must be greater than 0");
    bool increasing = closed;
    if (closed) {
        for (int i = 0; i + 1 < nsamp; ++i) {
            if (!(doc.depths[static_cast<std::size_t>(i + 1)] >
                  doc.depths[static_cast<std::size_t>(i)])) {
                fail("Boring log depths must increase from entry to entry");
                increasing = false;
                break;
            }
        }
    }

    // Bounds that keep every computed value finite. A value that fails a check above (a NaN
    // among them) gets no second message here.
    auto tooLarge = [](double v, double limit) { return positive(v) && !(v <= limit); };
    auto outside = [](double v, double limit) { return !(std::fabs(v) <= limit); };
    if (outside(doc.groundElevation, kLargest))
        fail("Ground surface elevation must be between -1000000 and 1000000");
    if (tooLarge(doc.unitWeight, kLargest)) fail("Unit weight must be no more than 1000000");
    for (int i = 0; i < std::max(nw, 1); ++i) {
        if (tooLarge(doc.pileWidths[static_cast<std::size_t>(i)], kLargest)) {
            fail("Pile widths must be no more than 1000000");
            break;
        }
    }
    if (PileShape::hSection(doc.pileShape) &&
        (tooLarge(doc.hPileDepth, kLargest) || tooLarge(doc.hPileEndArea, kLargestArea)))
        fail("H-pile section depth must be no more than 1000000 and end area no more than "
             "10000000");
    if (doc.analysisType == AnalysisType::SpecificLengths) {
        // The lengths the driver takes: the leading positive ones.
        for (std::size_t j = 0; j < doc.pileLengths.size() && positive(doc.pileLengths[j]); ++j) {
            if (tooLarge(doc.pileLengths[j], kLargest)) {
                fail("Pile lengths must be no more than 1000000");
                break;
            }
        }
    }
    if (doc.analysisType == AnalysisType::RangeOfLengths &&
        (tooLarge(doc.minLength, kLargest) || tooLarge(doc.maxLength, kLargest) ||
         tooLarge(doc.lengthIncrement, kLargest)))
        fail("Minimum and maximum pile length and increment must be no more than 1000000");
    for (int i = 0; i < nsamp; ++i) {
        const auto k = static_cast<std::size_t>(i);
        // A depth that is not a number has had its message from the order of the depths.
        const double depth = std::isnan(doc.depths[k]) ? 0 : doc.depths[k];
        if (outside(depth, kLargest) || outside(doc.blowCounts[k], kLargest)) {
            fail("Boring log depths and blow counts must be between -1000000 and 1000000");
            break;
        }
    }
    // Below the deepest sample the averages extrapolate from the two deepest samples; samples
    // closer than the hundredths the project file keeps would make that slope unbounded.
    if (increasing) {
        for (int i = 0; i + 1 < nsamp; ++i) {
            const auto k = static_cast<std::size_t>(i);
            if (doc.depths[k + 1] - doc.depths[k] < kLeastDepthStep) {
                fail("Boring log depths must increase by at least 0.01 from entry to entry");
                break;
            }
        }
    }
    return ok;
}

// The files of the run, the input file first. Every one must be a file of its own: a report
// written over the project file, or the depth data over the report, would lose it.
std::string sameFileProblem(const CPelbrinDoc& doc, std::span<const RunOutput> outputs) {
    std::vector<RoleFile> files = {{"input file", doc.pathName}};
    for (const RunOutput& o : outputs) files.push_back({o.role, o.path});
    return sameFileMessage(files);
}

} // namespace

namespace {

// The identification and the number of samples into the state, then the project's checks.
bool checkInto(const CPelbrinDoc& doc, AnalysisState& s, Shell& shell) {
    s.PROJNO = doc.projectNumber;
    s.JOBNAME = doc.jobName;
    s.ENGR = doc.engineer;
    s.BORNO = doc.boringNumber;
    s.DRDATE = doc.boringDate;
    s.STANO = doc.station;

    s.NSAMP = logEntriesInUse(doc.soilCodes);
    return validate(doc, s.NSAMP, shell);
}

// The checked project into the state in English units; false at a soil code the log does not
// accept, which is named.
bool copyInto(const CPelbrinDoc& doc, AnalysisState& s, Shell& shell) {
    const bool metric = Units::metric(doc.units);
    auto len = [&](double v) { return metric ? v / doc.lengthFactor : v; };
    auto small = [&](double v) { return metric ? v / doc.smallLengthFactor : v; };

    s.IUNITS = metric ? Iunits::Metric : Iunits::English;
    s.ISECT = doc.pileShape;
    s.IOPT = doc.analysisType;
    s.IPIPE = doc.pipeEnd;
    s.NW = std::clamp(doc.widthCount, 0, kDocWidths);
    s.UWP = metric ? doc.unitWeight / doc.unitWeightFactor : doc.unitWeight;
    s.GSE = len(doc.groundElevation);
    s.THICK = small(doc.pipeThickness);
    s.DEPTH = small(doc.hPileDepth);
    s.TAREA = metric ? doc.hPileEndArea / doc.areaFactor : doc.hPileEndArea;

    for (int i = 1; i <= kMaxSamples; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        s.D(i) = len(doc.depths[k]);
        s.N(i) = doc.blowCounts[k];
        const int group = soilGroupOf(doc.soilCodes[k]);
        if (group < 0) {
            shell.showMessage("Invalid Soiltype " + printfInt(doc.soilCodes[k], 4) +
                                  " encountered at Entry #" + printfInt(i - 1, 2),
                              MessageKind::Information);
            return false;
        }
        s.ST(i) = group;
    }
    for (int j = 1; j <= kMaxLengths; ++j)
        s.PL(j) = len(doc.pileLengths[static_cast<std::size_t>(j - 1)]);
    for (int w = 1; w <= kMaxWidths; ++w)
        s.PWID(w) = small(doc.pileWidths[static_cast<std::size_t>(w - 1)]);
    s.PLMIN = len(doc.minLength);
    s.PLMAX = len(doc.maxLength);
    s.PLINC = len(doc.lengthIncrement);
    return true;
}

} // namespace

RunOutcome AnalysisHandoff(CPelbrinDoc& doc, AnalysisState& s, Shell& shell,
                           const RunRequest& request) {
    if (!checkInto(doc, s, shell)) return RunOutcome::Refused;

    // A project read from or saved to a file has its path; a file name may begin with a blank.
    auto hasFile = [&] {
        return !doc.pathName.empty() || (!doc.files.INFILE.empty() && doc.files.INFILE[0] != ' ');
    };
    // Without a file name there is nowhere to put the report.
    if (!hasFile() && !(request.nameProject && request.nameProject() && hasFile()))
        return RunOutcome::NotWritten;
    s.INFILE = doc.files.INFILE;
    std::vector<RunOutput> outputs = {reportOutput(doc.files), depthDataOutput(doc.files)};
    outputs.insert(outputs.end(), request.more.begin(), request.more.end());
    if (const std::string problem = sameFileProblem(doc, outputs); !problem.empty()) {
        shell.showMessage(problem, MessageKind::Warning);
        return RunOutcome::NotWritten;
    }
    if (!copyInto(doc, s, shell)) return RunOutcome::InvalidSoil;

    if (doc.files.OUTFILE.empty()) {
        shell.showMessage("The project has no report file name yet. Save the project first.",
                          MessageKind::Warning);
        return RunOutcome::NotWritten;
    }
    return writeRun(s, shell, outputs, request.report) ? RunOutcome::Written
                                                       : RunOutcome::NotWritten;
}

RunOutcome analyseInMemory(const CPelbrinDoc& doc, AnalysisState& s, Shell& shell,
                           std::string* report) {
    if (!checkInto(doc, s, shell)) return RunOutcome::Refused;
    s.INFILE = doc.files.INFILE;
    if (!copyInto(doc, s, shell)) return RunOutcome::InvalidSoil;
    ReportOut out;
    runAnalysis(s, out);
    if (report) *report = out.text();
    return RunOutcome::Analysed;
}

} // namespace zenka
