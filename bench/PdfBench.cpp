// The report and graphs of the largest project (5 widths x 100 lengths of a range) as one PDF,
// offscreen: the time of the whole export (analysis, pages, graphs, write) and the file's size.

#include "app/ExportCommands.h"
#include "bench/BenchProjects.h"
#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"
#include "project/FileCommands.h"
#include "support/ScriptedGuiShell.h"

#include <QApplication>
#include <QHashFunctions>

#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace zenka;

void exportLargest(benchmark::State& st, bench::LogKind log) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "zenka-pdf-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        st.SkipWithError("no temporary folder");
        return;
    }
    const fs::path dir = pattern;
    auto state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    test::ScriptedGuiShell shell;
    bench::fillLargest(doc, log, bench::LengthKind::Range);
    shell.saveChoices.push_back((dir / "largest.in").string());
    if (!SaveProjectAs(doc, shell)) {
        st.SkipWithError("the project could not be saved");
        return;
    }
    const std::string pdf = (dir / "largest.pdf").string();
    for (auto _ : st) {
        if (!runAndExportPdf(doc, *state, shell, pdf, Paper::Letter)) {
            st.SkipWithError("the export failed");
            break;
        }
    }
    std::error_code ec;
    st.counters["pdf_bytes"] = static_cast<double>(fs::file_size(pdf, ec));
    fs::remove_all(dir, ec);
}

BENCHMARK_CAPTURE(exportLargest, eight_layers, bench::LogKind::Realistic)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(exportLargest, alternating, bench::LogKind::Alternating)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QHashSeed::setDeterministicGlobalSeed();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
