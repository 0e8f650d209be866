#include "model/RunFiles.h"
#include "run/outputs/Outputs.h"

#include <string>

namespace zenka {

RunOutput reportOutput(const RunFiles& files) {
    return {"report", reportPathOf(files),
            [](const RunResult& run) { return std::optional<std::string>(run.report); }};
}

} // namespace zenka
