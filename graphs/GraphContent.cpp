#include "graphs/GraphContent.h"

#include "base/Format.h"
#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"

#include <algorithm>

namespace zenka {

std::vector<PlotPoint> blowCountPoints(const CPelbrinDoc& doc) {
    // The first entry is drawn whatever its code.
    const int n = closingEntryIndex(doc.soilCodes, 1);
    std::vector<PlotPoint> points;
    points.reserve(static_cast<std::size_t>(n));
    for (std::size_t j = 0; j < static_cast<std::size_t>(n); ++j)
        points.push_back({doc.blowCounts[j], doc.groundElevation - doc.depths[j]});
    return points;
}

int capacityPointCount(const AnalysisState& s, int w) {
    if (w < 1 || w > kDocWidths) return 0;
    // A tip elevation may well be zero; the pile length of a computed step never is. Only the
    // rows a run fills and clears count; beyond them the table holds nothing of it.
    int n = 1;
    while (n < kMaxRangeSteps && s.R(n + 1, 1, w) != 0) ++n;
    return n;
}

std::vector<std::vector<PlotPoint>> capacityCurves(const AnalysisState& s, int w) {
    std::vector<std::vector<PlotPoint>> curves(5);
    const int n = capacityPointCount(s, w);
    for (int series = 1; series <= 5; ++series) {
        auto& curve = curves[static_cast<std::size_t>(series - 1)];
        curve.reserve(static_cast<std::size_t>(n));
        for (int j = 1; j <= n; ++j) curve.push_back({s.R(j, series + 2, w), s.R(j, 2, w)});
    }
    return curves;
}

const std::vector<std::string>& capacityLegend() {
    static const std::vector<std::string> labels = {
        "Ultimate Side Friction", "Mobilized End Bearing", "Estimated Davisson Capacity",
        "Allowable Pile Capacity", "Ultimate Pile Capacity"};
    return labels;
}

namespace {

std::string widthText(double width, int units) {
    return printfFixed(width, 7, 2) + " " + (units == Units::English ? " in" : " mm");
}

} // namespace

std::string capacityWindowTitle(double width, int units) {
    return "Pile Capacity Graph for:" + widthText(width, units) + " Pile Width";
}

std::string capacityChartTitle(double width, int units) {
    return "Pile Capacities for Pile Width of: " + widthText(width, units);
}

std::string elevationAxisTitle(int units) {
    return units == Units::English ? "Elevation (feet)" : "Elevation (meters)";
}

std::string blowCountAxisTitle(int units) {
    return units == Units::English ? "Blow Count (blows/ft)" : "Blow Count (blows/0.3 m)";
}

namespace {

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

} // namespace

TitleBlockText titleBlockOf(const AnalysisState& s) {
    TitleBlockText t;
    t.job = trimmed(s.JOBNAME.view());
    t.project = trimmed(s.PROJNO.view());
    t.boring = trimmed(s.BORNO.view());
    const std::string date = trimmed(s.RUNDATE.view()), time = trimmed(s.RUNTIME.view());
    t.run = date.empty() || time.empty() ? date + time : date + " " + time;
    return t;
}

std::string capacityAxisTitle(int units) {
    return units == Units::English ? "Pile Capacity (tons)" : "Pile Capacity (kN)";
}

WindowPlace capacityWindowPlace(int w, int screenWidth, int screenHeight) {
    static constexpr double lefts[kDocWidths] = {0.07, 0.11, 0.15, 0.19, 0.23};
    static constexpr double tops[kDocWidths] = {0.15, 0.19, 0.23, 0.27, 0.31};
    const auto k = static_cast<std::size_t>(std::clamp(w, 1, kDocWidths) - 1);
    return {static_cast<int>(screenWidth * lefts[k]), static_cast<int>(screenHeight * tops[k]),
            static_cast<int>(screenWidth * 0.5), static_cast<int>(screenHeight * 0.8)};
}

WindowPlace blowCountWindowPlace(int screenWidth, int screenHeight) {
    return {static_cast<int>(screenWidth * 0.02), static_cast<int>(screenHeight * 0.1),
            static_cast<int>(screenWidth * 0.3), static_cast<int>(screenHeight * 0.8)};
}

WindowPlace keepInside(WindowPlace frame, const WindowPlace& area) {
    frame.top = std::max(std::min(frame.top, area.top + area.height - frame.height), area.top);
    frame.left = std::max(std::min(frame.left, area.left + area.width - frame.width), area.left);
    return frame;
}

} // namespace zenka
