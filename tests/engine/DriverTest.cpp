#include "engine/Driver.h"
#include "engine/AnalysisState.h"
#include "engine/Report.h"
#include "model/PelbrinDoc.h"
#include "run/Handoff.h"
#include "support/Projects.h"
#include "support/ReportLines.h"
#include "support/ScriptedShell.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

namespace zenka {
namespace {

using test::ScriptedShell;
using test::TempDir;
using ::testing::HasSubstr;
using ::testing::Not;

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::fillDeepSand(doc);
        doc.files.INFILE = "deep.in";
        doc.files.OUTFILE = "deep.out";
        doc.files.OUTDIR = dir.path();
        setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

    // Runs the project through the hand-off and returns the report.
    std::string run() {
        const RunOutcome outcome = AnalysisHandoff(doc, *state, shell);
        EXPECT_NE(outcome, RunOutcome::InvalidSoil);
        EXPECT_THAT(shell.messageTexts(), ::testing::IsEmpty());
        EXPECT_EQ(outcome, RunOutcome::Written);
        return test::readFile(dir.file("deep.out"));
    }

    void range(double min, double max, double inc) {
        doc.analysisType = 2;
        doc.minLength = min;
        doc.maxLength = max;
        doc.lengthIncrement = inc;
    }

    std::vector<double> lengthsOf(int iw) const {
        std::vector<double> out;
        for (const CaseResult& c : state->cases)
            if (c.IW == iw) out.push_back(c.TPL);
        return out;
    }

    TempDir dir;
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    ScriptedShell shell;
};

TEST_F(DriverTest, RangeEndsAtTheMaximumLength) {
    range(20, 30, 2.5);
    const std::string report = run();
    EXPECT_THAT(lengthsOf(1), ::testing::ElementsAre(20, 22.5, 25, 27.5, 30));
    EXPECT_EQ(countOf(report, "*** THE MAXIMUM PILE LENGTH HAS BEEN REACHED"), 1);
    EXPECT_THAT(report, Not(HasSubstr("MAXIMUM NUMBER OF PILE LENGTHS")));
}

TEST_F(DriverTest, RangeStopsAfterOneHundredSteps) {
    range(1, 200, 1);
    const std::string report = run();
    EXPECT_EQ(lengthsOf(1).size(), 100u);
    EXPECT_DOUBLE_EQ(lengthsOf(1).back(), 100);
    const auto ls = test::linesOf(report);
    const auto it = std::find(ls.begin(), ls.end(),
                              "         *** ERROR *** MAXIMUM NUMBER OF PILE LENGTHS EXCEEDS  100");
    ASSERT_NE(it, ls.end());
    EXPECT_EQ(*(it - 1), ""); // every message starts with a blank line
    EXPECT_THAT(report, Not(HasSubstr("*** THE MAXIMUM PILE LENGTH HAS BEEN REACHED")));
}

TEST_F(DriverTest, RangeStepsOfEqualEndsAndRoundingNoise) {
    range(25, 25, 5);
    run();
    EXPECT_THAT(lengthsOf(1), ::testing::ElementsAre(25));

    // 1.0 + 10 x 0.1 lands a hair above 2.0 in binary; the last length is still analysed.
    range(1.0, 2.0, 0.1);
    run();
    EXPECT_EQ(lengthsOf(1).size(), 11u);
    EXPECT_NEAR(lengthsOf(1).back(), 2.0, 1e-9);
}

TEST_F(DriverTest, EveryWidthOfARangeRunsItsOwnTable) {
    range(20, 30, 5);
    doc.pileWidths = {12, 14, 16, 0, 0};
    doc.widthCount = 3;
    run();
    for (int iw = 1; iw <= 3; ++iw) EXPECT_EQ(lengthsOf(iw).size(), 3u) << iw;
    for (const CaseResult& c : state->cases) EXPECT_DOUBLE_EQ(c.WP, doc.pileWidths[c.IW - 1]);
}

TEST_F(DriverTest, SpecificLengthsStopAtTheFirstZero) {
    doc.pileLengths = {};
    doc.pileLengths[0] = 30;
    doc.pileLengths[1] = 40;
    doc.pileLengths[3] = 50;
    run();
    EXPECT_EQ(state->NLEN, 2);
    EXPECT_THAT(lengthsOf(1), ::testing::ElementsAre(30, 40));
}

TEST_F(DriverTest, ClosingLinesCountAnalysesAcrossRuns) {
    doc.pileWidths = {12, 14, 0, 0, 0};
    doc.widthCount = 2;
    const std::string first = run();
    const std::string second = run();
    const std::string completed1 =
        "         PROBLEM COMPLETED                      ANALYSIS NO.  1";
    const std::string completed4 =
        "         PROBLEM COMPLETED                      ANALYSIS NO.  4";
    EXPECT_THAT(first, HasSubstr("\r\n\r\n" + completed1 + "\r\n\r\n"));
    EXPECT_THAT(first, HasSubstr("ANALYSIS NO.  2"));
    EXPECT_THAT(second, HasSubstr("ANALYSIS NO.  3"));
    EXPECT_THAT(second, HasSubstr(completed4));
    EXPECT_THAT(second, Not(HasSubstr("ANALYSIS NO.  1\r\n")));
    EXPECT_EQ(state->NANAL, 5);
    // The report ends with a blank and a form feed on a line of their own.
    EXPECT_TRUE(second.ends_with("\r\n \f\r\n"));
}

TEST_F(DriverTest, RunDateAndTimeComeFromSourceDateEpoch) {
    run();
    EXPECT_EQ(state->RUNDATE.view(), "11/14/23");
    EXPECT_EQ(state->RUNTIME.view(), "22:13:20");
    setenv("SOURCE_DATE_EPOCH", "0", 1);
    run();
    EXPECT_EQ(state->RUNDATE.view(), "01/01/70");
    EXPECT_EQ(state->RUNTIME.view(), "00:00:00");
    EXPECT_EQ(state->PROGID.view(), "ZENKA   ");
    EXPECT_EQ(state->TITLE.view(), "STATIC PILE BEARING CAPACITY ANALYSIS   ");
}

TEST_F(DriverTest, IdenticalRunsWriteIdenticalReports) {
    const std::string a = run();
    state->NANAL = 1;
    const std::string b = run();
    EXPECT_EQ(a, b);
}

TEST_F(DriverTest, ReportThatCannotBeWrittenIsReportedWithItsPath) {
    doc.files.OUTDIR = dir.file("missing-folder");
    const RunOutcome outcome = AnalysisHandoff(doc, *state, shell);
    EXPECT_NE(outcome, RunOutcome::InvalidSoil);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_THAT(shell.messages[0].text, HasSubstr(dir.file("missing-folder/deep.out")));
    EXPECT_NE(outcome, RunOutcome::Written);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing-folder")));
}

TEST_F(DriverTest, RunReplacesTheWholeReport) {
    test::writeFile(dir.file("deep.out"), std::string(100000, 'x'));
    const std::string report = run();
    EXPECT_THAT(report, Not(HasSubstr("x")));
    // No temporary files are left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 2); // the report and the depth data file
}

TEST_F(DriverTest, NoWidthGivesOnlyTheClosingFormFeed) {
    ReportOut out;
    state->NW = 0;
    runAnalysis(*state, out);
    EXPECT_THAT(out.text(), Not(HasSubstr("PROBLEM COMPLETED")));
    EXPECT_TRUE(out.text().ends_with(" \f\r\n"));
    EXPECT_EQ(state->report, nullptr);
}

} // namespace
} // namespace zenka
