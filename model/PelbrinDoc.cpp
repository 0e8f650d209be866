#include "model/PelbrinDoc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zenka {

int closingEntryIndex(std::span<const int> soilCodes, int from) {
    const int size = static_cast<int>(soilCodes.size());
    int i = std::clamp(from, 0, size);
    while (i < size && soilCodes[static_cast<std::size_t>(i)] != 0) ++i;
    return i;
}

int logEntriesInUse(std::span<const int> soilCodes) {
    return std::min(closingEntryIndex(soilCodes) + 1, static_cast<int>(soilCodes.size()));
}

CPelbrinDoc::CPelbrinDoc() {
    ResetProject();
}

CPelbrinDoc::~CPelbrinDoc() {
    if (graphs) graphs->closeAll();
}

void CPelbrinDoc::ResetProject() {
    blowCounts.fill(0);
    soilCodes.fill(0);
    depths.fill(0);
    unitWeight = 0;
    groundElevation = 0;
    pipeEnd = PipeEnd::Open;
    pipeThickness = 0;
    hPileDepth = 0;
    hPileEndArea = 0;
    units = Units::NotChosen;
    projectNumber.clear();
    jobName.clear();
    engineer.clear();
    boringDate.clear();
    boringNumber.clear();
    station.clear();
    pileShape = PileShape::None;
    analysisType = AnalysisType::None;
    pileLengths.fill(0);
    maxLength = 0;
    minLength = 0;
    lengthIncrement = 0;
    pileWidths.fill(0);
    lengthCount = 0;
    widthCount = 0;
    waterTable = 0;
    unitWeightFactor = kUnitWeightFactor;
    lengthFactor = kLengthFactor;
    smallLengthFactor = kSmallLengthFactor;
    areaFactor = kAreaFactor;
    if (graphs) graphs->closeAll();
    pathName.clear();
    files.INFILE = " ";
    SetModified(false);
}

void CPelbrinDoc::SetModified(bool flag) {
    const bool was = modified_;
    modified_ = flag;
    if (was != flag && modifiedListener_) modifiedListener_();
}

double CPelbrinDoc::RoundTo3(double value) {
    // Half away from zero, the same for negative values, in 64 bits so that large areas in mm²
    // survive. Beyond 2^53 thousandths a double has no third decimal left to round.
    if (!std::isfinite(value)) return value;
    const double scaled = std::fabs(value) * 1000.0 + 0.5;
    if (scaled >= 9007199254740992.0) return value;
    const auto t = static_cast<std::int64_t>(scaled);
    const double rounded = static_cast<double>(t) / 1000.0;
    return value < 0 ? -rounded : rounded;
}

void CPelbrinDoc::ConvertUnits(int direction) {
    if (direction != 0 && direction != 1) return;
    const bool toMetric = direction == 1;
    auto conv = [toMetric](double& v, double factor) {
        v = RoundTo3(toMetric ? v * factor : v / factor);
    };
    conv(unitWeight, unitWeightFactor);
    conv(groundElevation, lengthFactor);
    conv(pipeThickness, smallLengthFactor);
    conv(hPileDepth, smallLengthFactor);
    conv(hPileEndArea, areaFactor);
    for (auto& w : pileWidths) conv(w, smallLengthFactor);
    for (auto& l : pileLengths) conv(l, lengthFactor);
    conv(minLength, lengthFactor);
    conv(maxLength, lengthFactor);
    conv(lengthIncrement, lengthFactor);
    for (auto& d : depths) conv(d, lengthFactor);
    units = toMetric ? Units::Metric : Units::English;
    notifyChanged();
}

int CPelbrinDoc::addChangedListener(Listener listener) {
    const int id = nextListenerId_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void CPelbrinDoc::removeChangedListener(int id) {
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void CPelbrinDoc::notifyChanged() {
    // A listener may add or remove listeners while it runs: walk a copy.
    const auto current = listeners_;
    for (const auto& entry : current) entry.second();
}

} // namespace zenka
