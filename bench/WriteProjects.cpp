// zenka-write-projects: the benchmark projects, and optionally seeded random ones, as project
// files. The largest of them is what the whole-process measurement runs.
//
//   zenka-write-projects OUTDIR [--random N] [--seed S]

#include "bench/BenchProjects.h"
#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"
#include "project/InputFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace zenka;
namespace fs = std::filesystem;

void save(CPelbrinDoc& doc, const fs::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << writeInputFile(doc);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zenka-write-projects OUTDIR [--random N] [--seed S]\n");
        return 2;
    }
    const fs::path dir = argv[1];
    int randomCount = 0;
    unsigned seed = 1;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--random") randomCount = std::atoi(argv[i + 1]);
        if (arg == "--seed") seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    }
    fs::create_directories(dir);

    auto state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    bench::fillLargest(doc, bench::LogKind::Alternating, bench::LengthKind::Specific);
    save(doc, dir / "largest-alternating-specific.in");
    bench::fillLargest(doc, bench::LogKind::Alternating, bench::LengthKind::Range);
    save(doc, dir / "largest-alternating-range.in");
    bench::fillLargest(doc, bench::LogKind::Realistic, bench::LengthKind::Specific);
    save(doc, dir / "largest-realistic-specific.in");
    bench::fillLargest(doc, bench::LogKind::Realistic, bench::LengthKind::Range);
    save(doc, dir / "largest-realistic-range.in");

    bench::RandomProjects random(seed);
    for (int i = 0; i < randomCount; ++i) {
        random.fill(doc);
        char name[32];
        std::snprintf(name, sizeof name, "random-%03d.in", i);
        save(doc, dir / name);
    }
    return 0;
}
