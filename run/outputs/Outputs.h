#pragma once

// The files a run can write, one file of this folder each. The report and the depth data file go
// with every run; the others are asked for (the batch program's --csv, the desktop's PDF export).

#include "run/RunOutput.h"

#include <string>

namespace zenka {

struct RunFiles;

RunOutput reportOutput(const RunFiles& files);
RunOutput depthDataOutput(const RunFiles& files);
// The capacity of every width and length computed, one CSV row each, in the run's units.
RunOutput csvOutput(const std::string& path);

} // namespace zenka
