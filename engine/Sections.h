#pragma once

// The report's section writers. One writer serves both unit systems: s.IUNITS 1 prints English
// units, anything else Metric.

namespace zenka {

struct AnalysisState;
class ReportOut;

enum class Section {
    GeneralInformation, // OA
    BoringLog,          // OB
    PileInformation,    // OC
    SoilLayers,         // OD
    SkinFriction,       // OE
    EndBearing,         // OF
    PileCapacity,       // OG
    TableHeading,       // TH: heading of the capacity-against-penetration table
    TableLine,          // TL: one line of it
    TableNotes,         // TN: its notes
};

void writeSection(AnalysisState& s, ReportOut& out, Section section);

// The page header writer: adds n to LINES; returns 1 when the lines fit on the current page and
// 0 when it has started a new page (header written, LINES = n + 7).
int pageHeader(AnalysisState& s, ReportOut& out, int n);

} // namespace zenka
