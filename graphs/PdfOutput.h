#pragma once

// The report and the run's graphs as one PDF file among the run's files.

#include "graphs/ReportPages.h"
#include "run/RunOutput.h"

#include <string>

namespace zenka {

class CPelbrinDoc;

// `drawn` turns false when the pages could not be drawn; the run then writes nothing.
RunOutput pdfOutput(const CPelbrinDoc& doc, const std::string& path, Paper paper, bool& drawn);

} // namespace zenka
