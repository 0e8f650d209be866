#pragma once

// The report's section writers. One writer serves both unit systems: s.IUNITS 1 prints English
// units, anything else Metric. Codes: "OA" general information, "OB" boring log, "OC" pile
// information, "OD" soil layers, "OE" skin friction, "OF" end bearing, "OG" pile capacity, "TH"
// heading of the capacity-against-penetration table, "TL" one line of it, "TN" its notes. A code
// not listed writes nothing.

#include <string_view>

namespace zenka {

struct AnalysisState;
class ReportOut;

void writeSection(AnalysisState& s, ReportOut& out, std::string_view code);

// The page header writer: adds n to LINES; returns 1 when the lines fit on the current page and
// 0 when it has started a new page (header written, LINES = n + 7).
int pageHeader(AnalysisState& s, ReportOut& out, int n);

} // namespace zenka
