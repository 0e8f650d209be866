// zenka-report-dump: the full report, depth data file and messages of project files and of
// seeded random projects, one set of files per project, so that two builds of the engine can
// be compared byte for byte with `diff -r`. The run date is fixed (SOURCE_DATE_EPOCH), and all
// projects share one analysis state, as in the desktop program.
//
//   zenka-report-dump OUTDIR [--random N] [--seed S] [INPUT.in...]

#include "base/Shell.h"
#include "bench/BenchProjects.h"
#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"
#include "project/FileCommands.h"
#include "run/Handoff.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace zenka;
namespace fs = std::filesystem;

// Answers the open dialog with one file and records every message.
class DumpShell : public Shell {
public:
    std::string fileToOpen;
    std::string messages;

    void showMessage(const std::string& text, MessageKind) override { messages += text + "\n"; }
    Answer askYesNoCancel(const std::string&) override { return Answer::No; }
    std::optional<std::string> chooseSaveFile(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> chooseOpenFile(const FileDialogOptions&) override {
        return fileToOpen;
    }
    void beginWorking() override {}
    void endWorking() override {}
    void openTextViewer(const std::string&) override {}
};

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Runs the hand-off on the project as it stands; its files go under the project's name.
void dump(CPelbrinDoc& doc, AnalysisState& s, DumpShell& shell, const fs::path& dir,
          const std::string& name) {
    doc.files.INFILE = name + ".in";
    doc.files.OUTFILE = name + ".out";
    doc.files.OUTDIR = dir.string();
    shell.messages.clear();
    const RunOutcome outcome = AnalysisHandoff(doc, s, shell);
    const bool ran = outcome != RunOutcome::InvalidSoil;
    const int inputValid = outcome == RunOutcome::Refused ? 0 : 1;
    std::error_code ec;
    fs::rename(dir / "SPTDEPTH.TMP", dir / (name + ".SPTDEPTH.TMP"), ec);
    writeText(dir / (name + ".msg"), std::string(ran ? "ran" : "stopped") + " inputValid " +
                                         std::to_string(inputValid) + "\n" + shell.messages);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: zenka-report-dump OUTDIR [--random N] [--seed S] [INPUT.in...]\n");
        return 2;
    }
    const fs::path dir = argv[1];
    int randomCount = 0;
    unsigned seed = 1;
    std::vector<std::string> inputs;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--random" && i + 1 < argc)
            randomCount = std::atoi(argv[++i]);
        else if (arg == "--seed" && i + 1 < argc)
            seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else
            inputs.push_back(arg);
    }
    fs::create_directories(dir);
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);

    auto state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    DumpShell shell;

    for (const std::string& input : inputs) {
        shell.fileToOpen = fs::absolute(input).string();
        const std::string name = fs::path(input).stem().string();
        if (!OpenProject(doc, shell)) {
            std::fprintf(stderr, "zenka-report-dump: cannot open %s\n", input.c_str());
            return 2;
        }
        dump(doc, *state, shell, dir, "file-" + name);
    }

    bench::RandomProjects random(seed);
    for (int i = 0; i < randomCount; ++i) {
        random.fill(doc);
        char name[32];
        std::snprintf(name, sizeof name, "random-%05d", i);
        dump(doc, *state, shell, dir, name);
    }

    for (bench::LogKind log : {bench::LogKind::Alternating, bench::LogKind::Realistic}) {
        for (bench::LengthKind lengths : {bench::LengthKind::Range, bench::LengthKind::Specific}) {
            bench::fillLargest(doc, log, lengths);
            const std::string name = std::string("largest-") +
                                     (log == bench::LogKind::Alternating ? "alt" : "real") +
                                     (lengths == bench::LengthKind::Range ? "-range" : "-specific");
            dump(doc, *state, shell, dir, name);
        }
    }
    return 0;
}
