#include "engine/GraphData.h"
#include "model/RunFiles.h"
#include "run/outputs/Outputs.h"

namespace zenka {

RunOutput depthDataOutput(const RunFiles& files) {
    return {"depth data file", depthDataPathOf(files), [](const RunResult& run) {
                return std::optional<std::string>(depthDataFile(run.state));
            }};
}

} // namespace zenka
