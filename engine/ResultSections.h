#pragma once

// The report sections of the results: D to G for one specific length, and the capacity against
// penetration table of a range of lengths. Called through writeSection.

#include "engine/Arrays.h"

namespace zenka {

struct AnalysisState;
class ReportOut;
struct ReportUnits;

// What one section-writer call works with. The continuation field starts blank at every call.
struct SectionContext {
    AnalysisState& s;
    ReportOut& out;
    const ReportUnits& u;
    FixedText<11> cont{};
};

void writeSoilLayers(SectionContext& c);   // "OD"
void writeSkinFriction(SectionContext& c); // "OE"
void writeEndBearing(SectionContext& c);   // "OF"
void writePileCapacity(SectionContext& c); // "OG"
void writeTableHeading(SectionContext& c); // "TH"
void writeTableLine(SectionContext& c);    // "TL"
void writeTableNotes(SectionContext& c);   // "TN"

} // namespace zenka
