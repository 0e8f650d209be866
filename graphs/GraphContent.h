#pragma once

// What the graph windows plot and how they are named and placed: plain values, so the rules can
// be checked without a window.

#include <string>
#include <vector>

namespace zenka {

class CPelbrinDoc;
struct AnalysisState;

struct PlotPoint {
    double x = 0;
    double y = 0;
};

// Blow count against elevation (ground surface less depth), in the project's units: entry 1,
// then every entry up to the first with soil type 0.
std::vector<PlotPoint> blowCountPoints(const CPelbrinDoc& doc);

// Number of range steps plotted for width w (1..5): every length the run computed for it (a
// stored step has its pile length, which is never zero), and at least step 1.
int capacityPointCount(const AnalysisState& s, int w);

// The five capacity curves of width w, in the order of capacityLegend.
std::vector<std::vector<PlotPoint>> capacityCurves(const AnalysisState& s, int w);

// Legend labels of the five capacity curves.
const std::vector<std::string>& capacityLegend();

// "Pile Capacity Graph for:  18.00  in Pile Width"
std::string capacityWindowTitle(double width, int units);
// "Pile Capacities for Pile Width of:  18.00  in"
std::string capacityChartTitle(double width, int units);
std::string elevationAxisTitle(int units);
// "Blow Count (blows/ft)"; in SI units the count is per 0.3 m of the sampler's drive.
std::string blowCountAxisTitle(int units);
std::string capacityAxisTitle(int units);

// What ties a graph on paper to its project: the run's job name, project and boring numbers and
// the run's date and time as its report prints them. Blank fields are empty.
struct TitleBlockText {
    std::string job;
    std::string project;
    std::string boring;
    std::string run;
};
TitleBlockText titleBlockOf(const AnalysisState& s);

struct WindowPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The capacity windows cascade down and to the right from the screen's top left.
WindowPlace capacityWindowPlace(int w, int screenWidth, int screenHeight);
// The blow-count window sits at the screen's left, tall and narrow like a boring log.
WindowPlace blowCountWindowPlace(int screenWidth, int screenHeight);
// A window's frame moved up, or left, as far as it takes to end inside `area` (the screen less
// its panels), but never past the area's top or left.
WindowPlace keepInside(WindowPlace frame, const WindowPlace& area);

} // namespace zenka
