#pragma once

// One file a run writes, made from the run's results. Every file of a run goes through this
// seam, so that all of them are written together or none, and no two of them are one file.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zenka {

struct AnalysisState;

// What a run leaves for its files: the engine's state after the run and the report's text.
struct RunResult {
    const AnalysisState& state;
    std::string_view report;
};

struct RunOutput {
    std::string role; // what it is, for messages: "CSV file"
    std::string path;
    // Nothing when the file could not be made; whoever made it says why.
    std::function<std::optional<std::string>(const RunResult&)> bytes;
};

} // namespace zenka
