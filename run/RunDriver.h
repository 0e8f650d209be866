#pragma once

// A run's files: the analysis, then every output written in one go.

#include "run/RunOutput.h"

#include <span>
#include <string>

namespace zenka {

struct AnalysisState;
class Shell;

// runAnalysis, then every output made from its results and all written together: either every
// file is replaced or none, also when an output could not be made. A file that cannot be written
// is reported through the shell with its path and the reason. `report`, when given, receives the
// report's text. True when every file was written.
bool writeRun(AnalysisState& s, Shell& shell, std::span<const RunOutput> outputs,
              std::string* report = nullptr);

} // namespace zenka
