#pragma once

// The project: everything the engineer enters for one analysis. One instance lives for the
// whole run of the program; New and Open reset it instead of replacing it.

#include "model/PileShapes.h"
#include "model/RunFiles.h"
#include "model/UnitFactors.h"

#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace zenka {

constexpr int kDocSamples = 225;
constexpr int kDocLengths = 20;
constexpr int kDocWidths = 5;

// The boring log ends at its closing entry, the first entry of soil code 0. The position
// (0-based) of the closing entry at or after `from`; the log's size when there is none.
int closingEntryIndex(std::span<const int> soilCodes, int from = 0);
// The entries in use, the closing entry included; never more than the log holds.
int logEntriesInUse(std::span<const int> soilCodes);

// The project's coded values: the integers the project file stores, named. A file may hold any
// integer; the hand-off refuses what has no name here.
struct Units {
    enum : int { NotChosen = -1, English = 1, Metric = 2 };
    // A project whose system was never chosen is shown, saved and run as Metric.
    static constexpr bool metric(int units) { return units != English; }
    static constexpr bool known(int units) {
        return units == NotChosen || units == English || units == Metric;
    }
};
struct AnalysisType {
    enum : int { None = 0, SpecificLengths = 1, RangeOfLengths = 2 };
};
struct PipeEnd {
    enum : int { Open = 1, Closed = 2 };
};
// The project's graph windows, as far as the project needs to know them: a reset closes them.
// The desktop program's graph set answers; the project does not own it.
class GraphWindows {
public:
    virtual ~GraphWindows() = default;
    virtual void closeAll() = 0;
};

// Everything the engineer enters for one analysis, and nothing else: no file names, no windows,
// no modified mark. Copied whole, it is a snapshot that undo puts back.
struct ProjectValues {
    // --- fields, in the order of the project file's model ---
    std::array<double, kDocSamples> blowCounts{};
    std::array<int, kDocSamples> soilCodes{};
    std::array<double, kDocSamples> depths{};
    double unitWeight = 0;
    double groundElevation = 0;
    int pipeEnd = PipeEnd::Open;
    double pipeThickness = 0;
    double hPileDepth = 0;
    double hPileEndArea = 0;
    int units = Units::NotChosen;
    std::string projectNumber;
    std::string jobName;
    std::string engineer;
    std::string boringDate;
    std::string boringNumber;
    std::string station;
    int pileShape = PileShape::None;
    int analysisType = AnalysisType::None;
    std::array<double, kDocLengths> pileLengths{};
    double maxLength = 0;
    double minLength = 0;
    double lengthIncrement = 0;
    std::array<double, kDocWidths> pileWidths{};
    int lengthCount = 0;
    int widthCount = 0;
    double waterTable = 0; // positive above the ground surface; never converted
    double unitWeightFactor = 0;
    double lengthFactor = 0;
    double smallLengthFactor = 0;
    double areaFactor = 0;

    bool operator==(const ProjectValues&) const = default;
};

class CPelbrinDoc : public ProjectValues {
public:
    CPelbrinDoc();
    ~CPelbrinDoc();
    CPelbrinDoc(const CPelbrinDoc&) = delete;
    CPelbrinDoc& operator=(const CPelbrinDoc&) = delete;

    ProjectValues values() const { return *this; }
    // Puts a snapshot back, without a notice: the caller sends it once everything is in place.
    void setValues(const ProjectValues& values) { static_cast<ProjectValues&>(*this) = values; }

    GraphWindows* graphs = nullptr; // set by whoever shows the project's graphs
    std::string pathName;           // full path of the input file; empty when there is none yet
    std::string fileName;           // the input file's name without its folder
    std::string title = "Zenka";    // document title shown in the main window's caption
    RunFiles files;                 // a reset names no input file but keeps the report's names

    static constexpr double kUnitWeightFactor = units::kKilonewtonsPerCubicMetrePerPcf;
    static constexpr double kLengthFactor = units::kMetresPerFoot;
    static constexpr double kSmallLengthFactor = units::kMillimetresPerInch;
    static constexpr double kAreaFactor = units::kSquareMillimetresPerSquareInch;

    void ResetProject();
    // 1 English to Metric, 0 Metric to English; anything else does nothing.
    void ConvertUnits(int direction);
    static double RoundTo3(double value);

    bool IsModified() const { return modified_; }
    void SetModified(bool flag = true);
    // Told whenever the changed mark turns on or off (one listener: the window's caption).
    void setModifiedListener(std::function<void()> listener) {
        modifiedListener_ = std::move(listener);
    }

    // The project changed notice: every view reloads its controls.
    using Listener = std::function<void()>;
    int addChangedListener(Listener listener);
    void removeChangedListener(int id);
    void notifyChanged();

private:
    bool modified_ = false;
    int nextListenerId_ = 1;
    std::vector<std::pair<int, Listener>> listeners_;
    std::function<void()> modifiedListener_;
};

} // namespace zenka
