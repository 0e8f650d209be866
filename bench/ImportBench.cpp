// Import speed on the real data files: the large DIGGS file to its borehole list and then to one
// borehole's log, and every AGS4 file to its list. The compressed files are unpacked once into
// a temporary folder. Peak memory of reading the large file is reported against its size.

#include "import/LogBuilder.h"
#include "model/PelbrinDoc.h"
#include "project/InputFile.h"
#include "site/SiteAnalysis.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace zenka::dataimport;

const fs::path kSamples = ZENKA_IMPORT_SAMPLES;

fs::path unpackDir() {
    static const fs::path dir = [] {
        std::string pattern = (fs::temp_directory_path() / "zenka-import-bench-XXXXXX").string();
        const char* made = mkdtemp(pattern.data());
        return fs::path(made ? made : "");
    }();
    return dir;
}

// The sample as a plain file, unpacked with xz when it is compressed.
std::string plain(const fs::path& sample) {
    if (sample.extension() != ".xz") return sample.string();
    const fs::path out = unpackDir() / sample.stem();
    if (!fs::exists(out)) {
        const std::string cmd = "xz -dkc '" + sample.string() + "' > '" + out.string() + "'";
        if (std::system(cmd.c_str()) != 0) return {};
    }
    return out.string();
}

double residentMb() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * 4096.0 / 1e6;
}

double peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1e3;
}

const std::string& largeDiggs() {
    static const std::string path = plain(kSamples / "diggsdev_Hackathon_I10Bridge_V1.xml.xz");
    return path;
}

void BM_DiggsToBoreholeList(benchmark::State& state) {
    const std::string& path = largeDiggs();
    if (path.empty()) return state.SkipWithError("the large DIGGS sample is not available");
    const double fileMb = static_cast<double>(fs::file_size(path)) / 1e6;
    const double before = residentMb();
    std::size_t boreholes = 0;
    for (auto _ : state) {
        const DataFile f = readDataFile(path);
        const auto list = listBoreholes(f);
        boreholes = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["boreholes"] = static_cast<double>(boreholes);
    state.counters["file_MB"] = fileMb;
    state.counters["peak_MB"] = peakMb();
    state.counters["peak_over_file"] = (peakMb() - before) / fileMb;
}
BENCHMARK(BM_DiggsToBoreholeList)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DiggsOneBoreholeLog(benchmark::State& state) {
    const std::string& path = largeDiggs();
    if (path.empty()) return state.SkipWithError("the large DIGGS sample is not available");
    const DataFile f = readDataFile(path);
    const Borehole* b = f.find("B-030");
    if (!b) return state.SkipWithError("no borehole B-030");
    for (auto _ : state) {
        const auto rows = classifications(*b);
        ImportChoices c = proposedChoices(*b);
        c.otherCode = 3;
        const BuiltLog log = buildLog(f, *b, c, zenka::Units::NotChosen);
        benchmark::DoNotOptimize(rows.data());
        benchmark::DoNotOptimize(log.entries.data());
    }
}
BENCHMARK(BM_DiggsOneBoreholeLog)->Unit(benchmark::kMicrosecond);

// The bridge site on a template of 5 widths and 100 lengths: every borehole analysed in memory
// and the site CSV made, as the desktop's site summary and the batch's --summary do (the batch
// adds the projects and reports it writes).
void BM_BridgeSiteCsv(benchmark::State& state) {
    const std::string& path = largeDiggs();
    if (path.empty()) return state.SkipWithError("the large DIGGS sample is not available");
    std::string example;
    {
        std::ifstream in(std::string(ZENKA_SOURCE_DIR) + "/examples/open-pipe-two-widths.in");
        example.assign(std::istreambuf_iterator<char>(in), {});
    }
    zenka::CPelbrinDoc templ;
    templ.ResetProject();
    zenka::readInputFile(example, templ);
    templ.analysisType = zenka::AnalysisType::RangeOfLengths;
    templ.widthCount = 5;
    for (int w = 0; w < 5; ++w) templ.pileWidths[static_cast<std::size_t>(w)] = 12 + 2 * w;
    templ.minLength = 5;
    templ.maxLength = 104;
    templ.lengthIncrement = 1;
    zenka::SiteRequest request;
    request.templateBytes = zenka::writeInputFile(templ);
    request.soilMap.other = 3;
    std::size_t cases = 0;
    std::size_t boreholes = 0;
    for (auto _ : state) {
        const DataFile f = readDataFile(path);
        std::vector<const Borehole*> chosen;
        for (const Borehole& b : f.boreholes)
            if (!b.tests.empty()) chosen.push_back(&b);
        const zenka::SiteResult site = zenka::analyseSite(request, f, chosen);
        const std::string csv = zenka::siteCsv(site);
        benchmark::DoNotOptimize(csv.data());
        boreholes = site.boreholes.size();
        cases = static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')) - 1;
    }
    state.counters["boreholes"] = static_cast<double>(boreholes);
    state.counters["rows"] = static_cast<double>(cases);
}
BENCHMARK(BM_BridgeSiteCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Ags4ToBoreholeList(benchmark::State& state, std::string path) {
    if (path.empty()) return state.SkipWithError("the sample is not available");
    for (auto _ : state) {
        const DataFile f = readDataFile(path);
        const auto list = listBoreholes(f);
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["file_kB"] = static_cast<double>(fs::file_size(path)) / 1e3;
}

} // namespace

int main(int argc, char** argv) {
    if (fs::is_directory(kSamples)) {
        for (const auto& e : fs::directory_iterator(kSamples)) {
            const std::string name = e.path().filename().string();
            if (name.find(".ags") == std::string::npos) continue;
            benchmark::RegisterBenchmark(("BM_Ags4ToBoreholeList/" + name).c_str(),
                                         BM_Ags4ToBoreholeList, plain(e.path()))
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(unpackDir(), ec);
    return 0;
}
