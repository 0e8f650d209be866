// Runs the built zenka-batch and checks its exit status, stdout and stderr exactly.

#include "engine/AnalysisState.h"
#include "project/InputFile.h"
#include "project/PelbrinDoc.h"
#include "support/Projects.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace zenka {
namespace {

using test::TempDir;
using ::testing::HasSubstr;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

class BatchTest : public ::testing::Test {
protected:
    Result runBatch(std::vector<std::string> args) {
        const std::string outPath = dir.file(".stdout");
        const std::string errPath = dir.file(".stderr");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        args.insert(args.begin(), ZENKA_BATCH_EXE);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        Result r;
        if (posix_spawn(&pid, ZENKA_BATCH_EXE, &actions, nullptr, argv.data(), environ) == 0) {
            int status = 0;
            waitpid(pid, &status, 0);
            r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        posix_spawn_file_actions_destroy(&actions);
        r.out = test::readFile(outPath);
        r.err = test::readFile(errPath);
        return r;
    }

    std::string saveProject(const std::string& name) {
        test::writeFile(dir.file(name), writeInputFile(doc));
        return dir.file(name);
    }

    void SetUp() override {
        setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
        test::fillWorkedCase(doc);
    }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

    TempDir dir;
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc{*state};
};

const char* const kWorkedCaseTable =
    "  width (in)  length (ft)  Davisson (tons) allowable (tons)  ultimate (tons)\n"
    "       18.00        30.00           148.17            74.08           292.89\n";

TEST_F(BatchTest, GoodProjectWritesTheReportAndPrintsASummary) {
    const std::string input = saveProject("case.in");
    const Result r = runBatch({input});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "Report written to " + dir.file("case.out") + "\n" + kWorkedCaseTable);
    EXPECT_THAT(test::readFile(dir.file("case.out")), HasSubstr("ANALYSIS NO.  1"));
    EXPECT_TRUE(std::filesystem::exists(dir.file("SPTDEPTH.TMP")));
}

TEST_F(BatchTest, QuietOutputAndCsv) {
    const std::string input = saveProject("case.in");
    const Result r =
        runBatch({"-q", "--csv", dir.file("case.csv"), "-o", dir.file("other.out"), input});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(std::filesystem::exists(dir.file("other.out")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("case.out")));
    const std::string csv = test::readFile(dir.file("case.csv"));
    ASSERT_THAT(csv, HasSubstr("\n"));
    EXPECT_EQ(csv.substr(0, csv.find('\n') + 1),
              "width,length,tip_elevation,side_friction,end_bearing,davisson,allowable,ultimate\n");
    EXPECT_THAT(csv, HasSubstr("\n18.0000,30.0000,-20.0000,75.8"));
    EXPECT_EQ(csv.find('\r'), std::string::npos);
}

TEST_F(BatchTest, RefusedProjectPrintsEachMessageOnItsOwnLine) {
    doc.unitWeight = 0;
    doc.pileShape = 9;
    const std::string input = saveProject("bad.in");
    const Result r = runBatch({input});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Unit weight must be greater than 0\nIllegal pileshape encountered\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("bad.out")));
}

TEST_F(BatchTest, MissingFileAndUsageErrors) {
    Result r = runBatch({dir.file("missing.in")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, dir.file("missing.in") + " was not found.\n");

    r = runBatch({});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "zenka-batch: no input file\nTry 'zenka-batch --help' for more information.\n");

    r = runBatch({"--frobnicate", "x.in"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "zenka-batch: unknown option '--frobnicate'\n"
                     "Try 'zenka-batch --help' for more information.\n");

    r = runBatch({"-o", "a.out", "a.in", "b.in"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "zenka-batch: --output takes one input file only\n"
                     "Try 'zenka-batch --help' for more information.\n");

    r = runBatch({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "zenka-batch 1.4.0\n");

    r = runBatch({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_THAT(r.out, HasSubstr("Usage: zenka-batch [options] INPUT.in...\n"));
}

TEST_F(BatchTest, SeveralInputsCountAnalysesOnAndReportTheWorstStatus) {
    const std::string good = saveProject("one.in");
    doc.pileWidths = {18, 24, 0, 0, 0};
    doc.widthCount = 2;
    const std::string two = saveProject("two.in");
    const Result r = runBatch({"-q", good, dir.file("missing.in"), two});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, dir.file("missing.in") + " was not found.\n");
    EXPECT_THAT(test::readFile(dir.file("one.out")), HasSubstr("ANALYSIS NO.  1"));
    const std::string second = test::readFile(dir.file("two.out"));
    EXPECT_THAT(second, HasSubstr("ANALYSIS NO.  2"));
    EXPECT_THAT(second, HasSubstr("ANALYSIS NO.  3"));
}

TEST_F(BatchTest, UnwritableReportIsAFileError) {
    const std::string input = saveProject("case.in");
    const Result r = runBatch({"-o", dir.file("no-such-folder/case.out"), input});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.err, HasSubstr(dir.file("no-such-folder/case.out")));
}

} // namespace
} // namespace zenka
