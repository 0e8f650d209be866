// The analysis of the largest projects the data model allows, in process: the capacity
// computations alone (every width and length, as the driver steps them), and the whole run with
// the report written into memory.

#include "base/Shell.h"
#include "bench/BenchProjects.h"
#include "engine/AnalysisState.h"
#include "engine/Driver.h"
#include "engine/Report.h"
#include "engine/capacity/PileCapacity.h"
#include "model/PelbrinDoc.h"
#include "run/Handoff.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace zenka;
namespace fs = std::filesystem;

class QuietShell : public Shell {
public:
    int messages = 0;
    void showMessage(const std::string&, MessageKind) override { ++messages; }
    Answer askYesNoCancel(const std::string&) override { return Answer::No; }
    std::optional<std::string> chooseSaveFile(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> chooseOpenFile(const FileDialogOptions&) override { return {}; }
    void beginWorking() override {}
    void endWorking() override {}
    void openTextViewer(const std::string&) override {}
};

// The analysis state of a project as the hand-off leaves it (it runs once, into a scratch folder).
std::unique_ptr<AnalysisState> handedOver(bench::LogKind log, bench::LengthKind lengths) {
    auto state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    bench::fillLargest(doc, log, lengths);
    std::string dir = (fs::temp_directory_path() / "zenka-bench-XXXXXX").string();
    if (!mkdtemp(dir.data())) std::abort();
    doc.files.INFILE = "bench.in";
    doc.files.OUTFILE = "bench.out";
    doc.files.OUTDIR = dir;
    QuietShell shell;
    if (AnalysisHandoff(doc, *state, shell) != RunOutcome::Written || shell.messages != 0)
        std::abort();
    fs::remove_all(dir);
    return state;
}

void compute(AnalysisState& s) {
    if (PileShape::steel(s.ISECT))
        computeSteelPile(s.IERR, s);
    else
        computeConcretePile(s.IERR, s);
}

// Every width and length the driver would compute, without the report.
int analyseOnly(AnalysisState& s) {
    int computed = 0;
    s.NLEN = 0;
    while (s.NLEN < kMaxLengths && s.PL(s.NLEN + 1) > 0) ++s.NLEN;
    for (s.IW = 1; s.IW <= s.NW; ++s.IW) {
        s.WP = s.PWID(s.IW);
        if (s.IOPT == Iopt::SpecificLengths) {
            for (int j = 1; j <= s.NLEN; ++j) {
                s.TPL = s.PL(j);
                s.EBP = s.GSE - s.TPL;
                s.IERR = kReportUnit;
                compute(s);
                computed += s.IERR == 0;
            }
        } else {
            s.TPL = s.PLMIN;
            for (int i = 1; i <= kMaxRangeSteps; ++i) {
                s.IERR = kReportUnit;
                compute(s);
                if (s.IERR >= 20) break;
                ++computed;
                s.TPL += s.PLINC;
                if (!(s.TPL <= s.PLMAX + 1e-6)) break;
            }
        }
    }
    return computed;
}

void analysisAlone(benchmark::State& st, bench::LogKind log, bench::LengthKind lengths) {
    auto s = handedOver(log, lengths);
    const int expected = lengths == bench::LengthKind::Range ? 500 : 50;
    for (auto _ : st) {
        const int computed = analyseOnly(*s);
        if (computed != expected) st.SkipWithError("not every case computed");
        benchmark::DoNotOptimize(s->UPC);
    }
    st.counters["cases"] = expected;
    st.counters["layers"] = s->NLAY;
}

void analysisAndReport(benchmark::State& st, bench::LogKind log, bench::LengthKind lengths) {
    auto s = handedOver(log, lengths);
    std::size_t bytes = 0;
    for (auto _ : st) {
        ReportOut out;
        runAnalysis(*s, out);
        bytes = out.text().size();
        benchmark::DoNotOptimize(out.text().data());
    }
    st.counters["report_bytes"] = static_cast<double>(bytes);
    st.counters["layers"] = s->NLAY;
}

void registerAll() {
    struct Case {
        const char* name;
        bench::LogKind log;
        bench::LengthKind lengths;
    };
    const Case cases[] = {
        {"alternating225/range100", bench::LogKind::Alternating, bench::LengthKind::Range},
        {"alternating225/specific10", bench::LogKind::Alternating, bench::LengthKind::Specific},
        {"realistic225/range100", bench::LogKind::Realistic, bench::LengthKind::Range},
        {"realistic225/specific10", bench::LogKind::Realistic, bench::LengthKind::Specific},
    };
    for (const Case& c : cases) {
        benchmark::RegisterBenchmark((std::string("analysis/") + c.name).c_str(), analysisAlone,
                                     c.log, c.lengths)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("analysis+report/") + c.name).c_str(),
                                     analysisAndReport, c.log, c.lengths)
            ->Unit(benchmark::kMicrosecond);
    }
}

} // namespace

int main(int argc, char** argv) {
    // A fixed run date keeps the report the same size from run to run.
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
