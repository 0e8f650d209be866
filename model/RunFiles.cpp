#include "model/RunFiles.h"

#include <filesystem>

namespace zenka {

namespace {

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

} // namespace

std::string reportPathOf(const RunFiles& files) {
    if (files.OUTFILE.empty()) return {};
    return joinPath(files.OUTDIR, files.OUTFILE);
}

std::string depthDataPathOf(const RunFiles& files) {
    const std::string report = reportPathOf(files);
    std::error_code ec;
    const auto kind = std::filesystem::status(report, ec).type();
    const bool device = !report.empty() && !ec && kind != std::filesystem::file_type::regular &&
                        kind != std::filesystem::file_type::directory &&
                        kind != std::filesystem::file_type::not_found;
    return joinPath(device ? files.INDIR : files.OUTDIR, kDepthDataFileName);
}

} // namespace zenka
