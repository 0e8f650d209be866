// Any bytes as a project file, through the analysis hand-off and the driver, which writes the
// report and the depth data file into a scratch folder. One analysis state serves every input,
// as in the desktop program. A project is either refused with the hand-off's messages, or its
// every computed case is finite.

#include "base/Shell.h"
#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"
#include "project/InputFile.h"
#include "run/Handoff.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

using namespace zenka;
namespace fs = std::filesystem;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_analysis: %s\n", what);
    std::abort();
}

class FuzzShell : public Shell {
public:
    int messages = 0;
    bool invalidSoil = false;
    void showMessage(const std::string& text, MessageKind) override {
        ++messages;
        if (text.starts_with("Invalid Soiltype ")) invalidSoil = true;
    }
    Answer askYesNoCancel(const std::string&) override { return Answer::No; }
    std::optional<std::string> chooseSaveFile(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> chooseOpenFile(const FileDialogOptions&) override { return {}; }
    void beginWorking() override {}
    void endWorking() override {}
    void openTextViewer(const std::string&) override {}
};

// A folder of its own for the reports, under ZENKA_FUZZ_DIR when it is set (fuzz/run.sh sets
// it and removes it afterwards), else in memory when the system offers some: the reports are
// flushed to disk, which a disk would make slow.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string base = "/dev/shm";
        if (const char* dir = std::getenv("ZENKA_FUZZ_DIR"))
            base = dir;
        else if (::access(base.c_str(), W_OK) != 0)
            base = fs::temp_directory_path().string();
        path_ = base + "/zenka-fuzz-XXXXXX";
        if (!::mkdtemp(path_.data())) fail("no scratch folder");
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// What the engine was handed for the widths and lengths it steps through.
bool inputsFinite(const AnalysisState& s) {
    for (double v : {s.GSE, s.UWP, s.THICK, s.DEPTH, s.TAREA, s.PLMIN, s.PLMAX, s.PLINC})
        if (!std::isfinite(v)) return false;
    for (int I = 1; I <= s.NSAMP; ++I)
        if (!std::isfinite(s.D(I)) || !std::isfinite(s.N(I))) return false;
    for (int IW = 1; IW <= s.NW; ++IW)
        if (!std::isfinite(s.PWID(IW))) return false;
    for (int J = 1; J <= s.NLEN; ++J)
        if (!std::isfinite(s.PL(J))) return false;
    return true;
}

bool finite(const CaseResult& c) {
    for (double v : {c.WP, c.TPL, c.EBP, c.USF, c.CMAXB, c.MPC, c.TCP, c.UPC})
        if (!std::isfinite(v)) return false;
    return true;
}

// What the report prints of the last case computed.
bool lastCaseFinite(const AnalysisState& s) {
    for (int K = 1; K <= s.NLAY; ++K)
        for (double v : {s.ELEVBL(K), s.T(K), s.AN(K), s.AQL(K), s.SFL(K)})
            if (!std::isfinite(v)) return false;
    for (const auto* p : {&s.above, &s.below})
        for (int k = 1; k <= p->NP; ++k)
            for (double v : {p->Z(k), p->N(k), p->Q(k)})
                if (!std::isfinite(v)) return false;
    for (double v : {s.TSF, s.ANBL, s.AFBL, s.SFBL, s.CSFBL, s.AQPTA, s.AQPTB, s.AQPT, s.DC, s.DA,
                     s.AQPTCD, s.MAXB, s.WGP})
        if (!std::isfinite(v)) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto state = std::make_unique<AnalysisState>();
    static CPelbrinDoc doc;
    AnalysisState& s = *state;

    doc.ResetProject();
    readInputFile(std::string_view(reinterpret_cast<const char*>(data), size), doc);
    doc.files.INFILE = "fuzz.in";
    doc.files.OUTFILE = "fuzz.out";
    static const ScratchFolder folder;
    doc.files.OUTDIR = folder.path();

    FuzzShell shell;
    const RunOutcome outcome = AnalysisHandoff(doc, s, shell);
    if (outcome == RunOutcome::InvalidSoil) {
        // Stopped at a soil code: that one message, and no report.
        if (!shell.invalidSoil) fail("stopped without its soil message");
        return 0;
    }
    if (outcome == RunOutcome::Refused) {
        if (shell.messages == 0) fail("refused without a message");
        return 0;
    }
    if (shell.messages != 0 || outcome != RunOutcome::Written)
        fail("a valid project did not get its report");
    if (s.IOPT != Iopt::RangeOfLengths) s.PLMIN = s.PLMAX = s.PLINC = 0; // not in use
    if (s.ISECT != PileShape::SteelPipe && s.ISECT != PileShape::Cylinder) s.THICK = 0;
    if (s.ISECT != PileShape::SteelH) s.DEPTH = s.TAREA = 0;
    if (!inputsFinite(s)) fail("a valid project handed over a value that is not finite");
    for (const CaseResult& c : s.cases)
        if (!finite(c)) fail("a valid project computed a value that is not finite");
    if (!s.cases.empty() && !lastCaseFinite(s))
        fail("the last case printed a value that is not finite");
    return 0;
}
