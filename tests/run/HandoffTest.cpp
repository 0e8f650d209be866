#include "run/Handoff.h"
#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"
#include "run/RunCommands.h"
#include "support/Projects.h"
#include "support/ScriptedShell.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>

namespace zenka {
namespace {

using test::ScriptedShell;
using test::TempDir;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class HandoffTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::fillWorkedCase(doc);
        // A project that already has a file, so the run goes straight to the driver.
        doc.files.INFILE = "case.in";
        doc.files.OUTFILE = "case.out";
        doc.files.OUTDIR = dir.path();
    }

    std::vector<std::string> run() {
        shell.messages.clear();
        lastResult = RunProject(doc, *state, shell);
        return shell.messageTexts();
    }

    TempDir dir;
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    ScriptedShell shell;
    RunOutcome lastResult = RunOutcome::Refused;
};

TEST_F(HandoffTest, ValidProjectRunsTheDriverAndWritesTheReport) {
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_NE(lastResult, RunOutcome::InvalidSoil);
    EXPECT_NE(lastResult, RunOutcome::Refused);
    EXPECT_EQ(lastResult, RunOutcome::Written);
    EXPECT_TRUE(std::filesystem::exists(dir.file("case.out")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("SPTDEPTH.TMP")));
}

TEST_F(HandoffTest, NewProjectFailsEveryBasicCheckInOrder) {
    doc.ResetProject();
    doc.files.INFILE = "case.in";
    EXPECT_THAT(run(),
                ElementsAre("A minimum of 2 borelog entries must be entered",
                            "At least one pile width must be entered",
                            "Unit weight must be greater than 0", "Illegal pileshape encountered",
                            "Illegal analysis option encountered"));
    EXPECT_NE(lastResult, RunOutcome::InvalidSoil);
    EXPECT_EQ(lastResult, RunOutcome::Refused);
    EXPECT_NE(lastResult, RunOutcome::Written);
    EXPECT_FALSE(std::filesystem::exists(dir.file("case.out")));
    for (const auto& m : shell.messages) EXPECT_EQ(m.kind, MessageKind::Information);
}

TEST_F(HandoffTest, SampleCountBoundaryAndSpecificLengths) {
    // Two samples and the closing entry pass; one sample and the closing entry do not.
    test::setLog(doc, {{0, 10, 3}, {5, 12, 3}, {10, 0, 0}});
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_EQ(state->NSAMP, 3);

    test::setLog(doc, {{0, 10, 3}, {5, 0, 0}});
    doc.pileLengths[0] = 0;
    EXPECT_THAT(run(), ElementsAre("A minimum of 2 borelog entries must be entered",
                                   "Pile lengths must be greater than 0"));
    EXPECT_EQ(state->NSAMP, 2);
}

TEST_F(HandoffTest, RangeChecks) {
    doc.analysisType = 2;
    doc.minLength = 0;
    doc.maxLength = -1;
    doc.lengthIncrement = 0;
    EXPECT_THAT(run(),
                ElementsAre("Minimum pile length must be greater than 0",
                            "Maximum pile length must be greater than 0 and greater than the "
                            "minimum pilelength",
                            "Pile length increment must be greater than 0"));

    doc.minLength = 30;
    doc.maxLength = 20;
    doc.lengthIncrement = 5;
    EXPECT_THAT(run(), ElementsAre("Maximum pile length must be greater than 0 and greater than "
                                   "the minimum pilelength"));

    doc.maxLength = 30; // equal to the minimum is accepted
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_NE(lastResult, RunOutcome::Refused);
}

TEST_F(HandoffTest, NotANumberFailsEveryGreaterThanTest) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    doc.pileWidths[0] = nan;
    doc.unitWeight = nan;
    doc.pileLengths[0] = nan;
    EXPECT_THAT(run(), ElementsAre("At least one pile width must be entered",
                                   "Unit weight must be greater than 0",
                                   "Pile lengths must be greater than 0"));

    test::fillWorkedCase(doc);
    doc.depths[5] = nan;
    EXPECT_THAT(run(), ElementsAre("Boring log depths must increase from entry to entry"));
}

TEST_F(HandoffTest, AddedChecksForWidthsWallsAndLog) {
    // Every code of all 225 entries non-zero: no closing entry.
    for (std::size_t i = 0; i < 225; ++i) {
        doc.depths[i] = static_cast<double>(i);
        doc.soilCodes[i] = 3;
    }
    EXPECT_THAT(run(), ElementsAre("The boring log must end with an entry of soil type 0"));
    EXPECT_EQ(state->NSAMP, 225);

    test::fillWorkedCase(doc);
    doc.pileWidths = {12, 0, 14, 0, 0};
    doc.widthCount = 3;
    EXPECT_THAT(run(), ElementsAre("All pile widths in use must be greater than 0"));
    doc.widthCount = 1; // the zero is not in use
    EXPECT_THAT(run(), IsEmpty());

    const char* wall = "Wall thickness must be greater than 0 and less than half the pile width";
    doc.pileWidths = {12, 10, 0, 0, 0};
    doc.widthCount = 2;
    for (int shape : {3, 5}) {
        doc.pileShape = shape;
        doc.pipeThickness = 0;
        EXPECT_THAT(run(), ElementsAre(wall)) << shape;
        doc.pipeThickness = 5; // twice the thickness equals width 2
        EXPECT_THAT(run(), ElementsAre(wall)) << shape;
        doc.pipeThickness = 4.99;
        EXPECT_THAT(run(), IsEmpty()) << shape;
    }

    doc.pileShape = 4;
    doc.hPileDepth = 0;
    doc.hPileEndArea = 15.5;
    EXPECT_THAT(run(), ElementsAre("H-pile section depth and end area must be greater than 0"));
    doc.hPileDepth = 14;
    doc.hPileEndArea = -1;
    EXPECT_THAT(run(), ElementsAre("H-pile section depth and end area must be greater than 0"));
}

TEST_F(HandoffTest, DepthsMustIncreaseUpToTheClosingEntry) {
    const char* msg = "Boring log depths must increase from entry to entry";
    test::setLog(doc, {{0, 10, 3}, {5, 12, 3}, {5, 14, 3}, {20, 0, 0}});
    EXPECT_THAT(run(), ElementsAre(msg));
    // A closing entry without a depth.
    test::setLog(doc, {{0, 10, 3}, {5, 12, 3}, {10, 14, 3}, {0, 0, 0}});
    EXPECT_THAT(run(), ElementsAre(msg));
    // Entries behind the closing entry are not part of the log.
    test::setLog(doc, {{0, 10, 3}, {5, 12, 3}, {10, 14, 3}, {40, 0, 0}, {1, 1, 3}});
    EXPECT_THAT(run(), IsEmpty());
}

TEST_F(HandoffTest, InvalidSoilCodeStopsWithItsZeroBasedPosition) {
    doc.soilCodes[5] = 29;
    EXPECT_THAT(run(), ElementsAre("Invalid Soiltype   29 encountered at Entry # 5"));
    EXPECT_EQ(lastResult, RunOutcome::InvalidSoil);
    EXPECT_NE(lastResult, RunOutcome::Refused);
    EXPECT_NE(lastResult, RunOutcome::Written);
    EXPECT_FALSE(std::filesystem::exists(dir.file("case.out")));

    // Behind the closing entry a bad code still stops the run; negative codes too.
    test::fillWorkedCase(doc);
    doc.soilCodes[100] = -3;
    EXPECT_THAT(run(), ElementsAre("Invalid Soiltype   -3 encountered at Entry #100"));
    EXPECT_EQ(lastResult, RunOutcome::InvalidSoil);
}

TEST_F(HandoffTest, SoilCodesMapToGroupsAndLaterEntriesAreCopied) {
    test::setLog(doc, {{0, 10, 11},
                       {5, 12, 28},
                       {10, 14, 35},
                       {15, 16, 0},
                       {20, 18, 41},
                       {25, 20, 5},
                       {30, 22, 2}});
    doc.pileLengths[0] = 5;
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_EQ(state->NSAMP, 4);
    EXPECT_EQ(state->ST(1), 1);
    EXPECT_EQ(state->ST(2), 2);
    EXPECT_EQ(state->ST(3), 3);
    EXPECT_EQ(state->ST(4), 0);
    EXPECT_EQ(state->ST(5), 4);
    EXPECT_EQ(state->ST(6), 5);
    EXPECT_EQ(state->ST(7), 2);
    EXPECT_DOUBLE_EQ(state->D(7), 30);
}

TEST_F(HandoffTest, MetricValuesAreConvertedToEnglish) {
    doc.units = 2;
    doc.depths[1] = 3.048;
    doc.pileWidths[0] = 254;
    doc.unitWeight = 23.56;
    doc.groundElevation = 3.048;
    doc.pileLengths[0] = 9.144;
    doc.pipeThickness = 12.7;
    doc.hPileEndArea = 6451.6;
    doc.waterTable = 7;
    for (std::size_t i = 2; i < 12; ++i) doc.depths[i] = 1.524 * static_cast<double>(i + 1);
    doc.depths[12] = 20;
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_NEAR(state->D(2), 10, 1e-12);
    EXPECT_NEAR(state->PWID(1), 10, 1e-12);
    EXPECT_NEAR(state->UWP, 23.56 / 0.15708740670207796, 1e-9);
    EXPECT_NEAR(state->UWP, 150, 0.05);
    EXPECT_NEAR(state->GSE, 10, 1e-12);
    EXPECT_NEAR(state->PL(1), 30, 1e-12);
    EXPECT_NEAR(state->THICK, 0.5, 1e-12);
    EXPECT_NEAR(state->TAREA, 10, 1e-12);
    EXPECT_DOUBLE_EQ(state->N(2), 10); // blows are never converted
    EXPECT_EQ(state->IUNITS, 2);
}

TEST_F(HandoffTest, AUnitSystemNeverChosenRunsAsMetricAndOnlyUnknownCodesAreRefused) {
    // A new project shows Metric on the form and is saved as Metric: it runs as Metric.
    doc.units = -1;
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_EQ(state->IUNITS, 2);
    EXPECT_EQ(lastResult, RunOutcome::Written);
    EXPECT_EQ(doc.units, -1); // the run does not change the project
    EXPECT_NEAR(state->GSE, doc.groundElevation / 0.3048, 1e-12);
    for (int code : {0, 3, -2}) {
        doc.units = code;
        EXPECT_THAT(run(), ElementsAre("Illegal unit system encountered")) << code;
    }
}

TEST_F(HandoffTest, NoFileOfTheRunMayBeAnotherOne) {
    // Each case: the project's names, then the message; nothing may be written.
    const std::string in = dir.file("case.in");
    struct Case {
        std::string pathName, outDir, outFile;
        std::string message;
    } cases[] = {
        {in, dir.path(), "case.in",
         "Input file " + in + " and the report " + in + " are the same file; nothing was written."},
        {dir.file("SPTDEPTH.TMP"), dir.path(), "x.out",
         "Input file " + dir.file("SPTDEPTH.TMP") + " and the depth data file " +
             dir.file("SPTDEPTH.TMP") + " are the same file; nothing was written."},
        {in, dir.path(), "SPTDEPTH.TMP",
         "Report " + dir.file("SPTDEPTH.TMP") + " and the depth data file " +
             dir.file("SPTDEPTH.TMP") + " are the same file; nothing was written."},
        // The same file under another spelling.
        {in, dir.path() + "/sub/..", "case.in",
         "Input file " + in + " and the report " + in + " are the same file; nothing was written."},
    };
    for (const Case& c : cases) {
        test::writeFile(c.pathName, "the input");
        doc.pathName = c.pathName;
        doc.files.OUTDIR = c.outDir;
        doc.files.OUTFILE = c.outFile;
        std::filesystem::create_directory(dir.file("sub"));
        EXPECT_THAT(run(), ElementsAre(c.message)) << c.outFile;
        EXPECT_EQ(shell.messages.back().kind, MessageKind::Warning);
        EXPECT_NE(lastResult, RunOutcome::InvalidSoil);
        EXPECT_NE(lastResult, RunOutcome::Written);
        EXPECT_EQ(test::readFile(c.pathName), "the input");
        std::filesystem::remove(c.pathName);
        EXPECT_FALSE(std::filesystem::exists(dir.file("case.out")));
    }

    // A hard link is the same file too; so is a further output of the run.
    test::writeFile(in, "the input");
    std::filesystem::create_hard_link(in, dir.file("link.csv"));
    doc.pathName = in;
    doc.files.OUTDIR = dir.path();
    doc.files.OUTFILE = "case.out";
    const RunOutput csv[] = {
        {"CSV file", dir.file("link.csv"), [](const RunResult&) { return std::string("csv"); }}};
    shell.messages.clear();
    lastResult = RunProject(doc, *state, shell, csv);
    EXPECT_THAT(shell.messageTexts(),
                ElementsAre("Input file " + in + " and the CSV file " + dir.file("link.csv") +
                            " are the same file; nothing was written."));
    EXPECT_EQ(test::readFile(in), "the input");
    EXPECT_FALSE(std::filesystem::exists(dir.file("case.out")));

    // Files of their own: all three written together.
    std::filesystem::remove(dir.file("link.csv"));
    lastResult = RunProject(doc, *state, shell, csv);
    EXPECT_EQ(lastResult, RunOutcome::Written);
    EXPECT_EQ(test::readFile(dir.file("link.csv")), "csv");
    EXPECT_TRUE(std::filesystem::exists(dir.file("case.out")));
    EXPECT_EQ(test::readFile(in), "the input");
}

TEST_F(HandoffTest, AnOutputThatCannotBeMadeLeavesEveryFileAsItWas) {
    test::writeFile(dir.file("case.out"), "old report");
    const RunOutput broken[] = {{"PDF file", dir.file("case.pdf"),
                                 [](const RunResult&) { return std::optional<std::string>(); }}};
    lastResult = RunProject(doc, *state, shell, broken);
    EXPECT_EQ(lastResult, RunOutcome::NotWritten);
    EXPECT_EQ(test::readFile(dir.file("case.out")), "old report");
    EXPECT_FALSE(std::filesystem::exists(dir.file("SPTDEPTH.TMP")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("case.pdf")));

    // Every output is made from the report the run writes, which the caller may keep.
    const RunOutput copy[] = {{"copy", dir.file("copy.txt"), [](const RunResult& run) {
                                   return std::optional<std::string>(std::string(run.report));
                               }}};
    std::string report;
    RunRequest request;
    request.more = copy;
    request.report = &report;
    EXPECT_EQ(AnalysisHandoff(doc, *state, shell, request), RunOutcome::Written);
    EXPECT_EQ(test::readFile(dir.file("case.out")), report);
    EXPECT_EQ(test::readFile(dir.file("copy.txt")), report);
    EXPECT_NE(report.find("PROBLEM COMPLETED"), std::string::npos);
}

TEST_F(HandoffTest, TextsAreCutAndPadded) {
    doc.projectNumber = "A project number longer than twenty";
    doc.jobName = "Short";
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_EQ(state->PROJNO.view(), "A project number lon");
    EXPECT_EQ(state->JOBNAME.view(), "Short" + std::string(45, ' '));
}

TEST_F(HandoffTest, UnsavedProjectAsksForAFileAndStopsWhenCancelled) {
    doc.files.INFILE = " ";
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_NE(lastResult, RunOutcome::InvalidSoil);
    EXPECT_EQ(shell.saveDialogs.size(), 1u);
    EXPECT_NE(lastResult, RunOutcome::Written);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    // A file whose name begins with a blank is a file all the same.
    doc.pathName = dir.file(" lead.in");
    doc.files.INFILE = " lead.in";
    doc.files.OUTFILE = " lead.out";
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_EQ(shell.saveDialogs.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(dir.file(" lead.out")));

    doc.pathName.clear();
    doc.files.INFILE = " ";
    shell.saveChoices.push_back(dir.file("bridge.in"));
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_EQ(doc.files.INFILE, "bridge.in");
    EXPECT_EQ(doc.files.OUTFILE, "bridge.out");
    EXPECT_EQ(lastResult, RunOutcome::Written);
    EXPECT_TRUE(std::filesystem::exists(dir.file("bridge.in")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("bridge.out")));
}

} // namespace
} // namespace zenka
