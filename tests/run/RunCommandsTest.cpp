#include "run/RunCommands.h"
#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"
#include "support/Projects.h"
#include "support/ScriptedShell.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace zenka {
namespace {

using test::ScriptedShell;
using test::TempDir;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RunCommandsTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    ScriptedShell shell;
};

TEST_F(RunCommandsTest, NeverSavedProjectAsksForANameThenShowsTheReport) {
    test::fillWorkedCase(doc);
    shell.saveChoices.push_back(dir.file("bridge.in"));
    EXPECT_TRUE(RunAndView(doc, *state, shell));
    EXPECT_EQ(shell.saveDialogs.size(), 1u);
    EXPECT_EQ(shell.workingBegun, 1);
    EXPECT_EQ(shell.workingEnded, 1);
    EXPECT_THAT(shell.viewerPaths, ElementsAre(dir.file("bridge.out")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("bridge.out")));
}

TEST_F(RunCommandsTest, RefusedOrStoppedRunsOpenNoViewer) {
    // No pile width: the hand-off's message, the notice closed, no viewer.
    test::fillWorkedCase(doc);
    doc.pileWidths[0] = 0;
    doc.files.INFILE = "a.in";
    doc.files.OUTFILE = "a.out";
    doc.files.OUTDIR = dir.path();
    EXPECT_FALSE(RunAndView(doc, *state, shell));
    EXPECT_THAT(shell.messageTexts(), ElementsAre("At least one pile width must be entered"));
    EXPECT_EQ(shell.workingEnded, 1);
    EXPECT_THAT(shell.viewerPaths, IsEmpty());

    // An invalid soil code stops the run after its message.
    test::fillWorkedCase(doc);
    doc.soilCodes[2] = 6;
    EXPECT_FALSE(RunAndView(doc, *state, shell));
    EXPECT_THAT(shell.viewerPaths, IsEmpty());

    // A report that cannot be written is not shown, even if an old one exists elsewhere.
    test::fillWorkedCase(doc);
    doc.files.OUTDIR = dir.file("gone");
    EXPECT_FALSE(RunAndView(doc, *state, shell));
    EXPECT_THAT(shell.viewerPaths, IsEmpty());
    EXPECT_EQ(shell.workingBegun, shell.workingEnded);
}

TEST_F(RunCommandsTest, ViewExistingReportOpensOnlyAReportThatExists) {
    // Right after start-up there is no report name at all.
    EXPECT_FALSE(ViewExistingReport(doc, shell));
    EXPECT_THAT(shell.messageTexts(), ElementsAre(kNoReportYet));
    EXPECT_THAT(shell.viewerPaths, IsEmpty());

    // A named project whose report was never written.
    doc.files.OUTFILE = "bridge.out";
    doc.files.OUTDIR = dir.path();
    EXPECT_FALSE(ViewExistingReport(doc, shell));
    EXPECT_EQ(shell.messages.size(), 2u);
    EXPECT_THAT(shell.viewerPaths, IsEmpty());

    // A folder of that name is no report either.
    std::filesystem::create_directory(dir.file("bridge.out"));
    EXPECT_FALSE(ViewExistingReport(doc, shell));
    std::filesystem::remove(dir.file("bridge.out"));

    // Once the report exists it is opened as it is, without running anything.
    test::writeFile(dir.file("bridge.out"), "old report");
    EXPECT_TRUE(ViewExistingReport(doc, shell));
    EXPECT_THAT(shell.viewerPaths, ElementsAre(dir.file("bridge.out")));
    EXPECT_EQ(test::readFile(dir.file("bridge.out")), "old report");
    EXPECT_EQ(shell.workingBegun, 0);
    EXPECT_EQ(shell.messages.size(), 3u);
}

} // namespace
} // namespace zenka
