#pragma once

// Numbered messages written into the report during an analysis.

namespace zenka {

class ReportOut;

// iunits 1 English, anything else Metric; value in feet for codes 22 and 23, a count for 24.
// A code without a message writes nothing.
void writeError(ReportOut& out, int iunits, int code, double value);

} // namespace zenka
