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

#include <algorithm>
#include <map>
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
    EXPECT_EQ(r.err, dir.file("missing.in") + " was not found.\nNo such file or directory\n");

    // Empty and blank names are never taken for "no file" or for the current folder.
    const std::string input = saveProject("case.in");
    const std::pair<std::vector<std::string>, std::string> badNames[] = {
        {{""}, "input file 1 has an empty name"},
        {{input, " \t"}, "input file 2 has a blank name"},
        {{"-o", "", input}, "option '--output' has an empty file name"},
        {{"--output=", input}, "option '--output' has an empty file name"},
        {{"--output=", "-o", input}, "option '--output' has an empty file name"},
        {{input, "--csv"}, "option '--csv' needs a file"},
        {{"--csv", " ", input}, "option '--csv' has a blank file name"},
        {{"--csv=", input}, "option '--csv' has an empty file name"},
    };
    for (const auto& [args, message] : badNames) {
        r = runBatch(args);
        EXPECT_EQ(r.status, 2) << message;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err,
                  "zenka-batch: " + message + "\nTry 'zenka-batch --help' for more information.\n");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("case.out")));

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
    Result r = runBatch({"-q", good, dir.file("missing.in"), two});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, dir.file("missing.in") + ":\n" + dir.file("missing.in") +
                         " was not found.\nNo such file or directory\n");
    EXPECT_THAT(test::readFile(dir.file("one.out")), HasSubstr("ANALYSIS NO.  1"));
    const std::string second = test::readFile(dir.file("two.out"));
    EXPECT_THAT(second, HasSubstr("ANALYSIS NO.  2"));
    EXPECT_THAT(second, HasSubstr("ANALYSIS NO.  3"));

    // Every message and summary says which input it belongs to; the lines under it stay exactly
    // what they are for one input.
    doc.unitWeight = 0;
    const std::string bad = saveProject("bad.in");
    r = runBatch({good, bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              good + ":\nReport written to " + dir.file("one.out") + "\n" + kWorkedCaseTable);
    EXPECT_EQ(r.err, bad + ":\nUnit weight must be greater than 0\n");
}

// The names in the folder with their bytes, the test's own captures left out.
std::map<std::string, std::string> snapshot(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        if (name == ".stdout" || name == ".stderr") continue;
        files[name] = e.is_regular_file() ? test::readFile(e.path().string()) : "<other>";
    }
    return files;
}

TEST_F(BatchTest, NoOutputMayBeTheInputOrAnotherOutput) {
    const std::string in = dir.file("case.in");
    const std::string depth = dir.file("SPTDEPTH.TMP");
    const std::string r = dir.file("r.out");
    auto same = [](const std::string& a, const std::string& pa, const std::string& b,
                   const std::string& pb) {
        return a + " " + pa + " and the " + b + " " + pb +
               " are the same file; nothing was written.\n";
    };
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"-o", in, in}, same("Input file", in, "report", in)},
        {{"--csv", in, in}, same("Input file", in, "CSV file", in)},
        {{depth}, same("Input file", depth, "depth data file", depth)},
        {{"-o", r, "--csv", r, in}, same("Report", r, "CSV file", r)},
        {{"-o", depth, in}, same("Report", depth, "depth data file", depth)},
        {{"--csv", depth, in}, same("Depth data file", depth, "CSV file", depth)},
        // Another spelling of the same file.
        {{"-o", dir.path() + "/./sub/../case.in", in}, same("Input file", in, "report", in)},
    };
    std::filesystem::create_directory(dir.file("sub"));
    for (const auto& c : cases) {
        test::writeFile(in, writeInputFile(doc));
        test::writeFile(depth, writeInputFile(doc)); // a project of that name, or old depth data
        test::writeFile(r, "old report");
        test::writeFile(dir.file("case.out"), "old case report");
        const auto before = snapshot(dir);
        const Result res = runBatch(c.args);
        EXPECT_EQ(res.status, 2) << c.err;
        EXPECT_EQ(res.out, "");
        EXPECT_EQ(res.err, c.err);
        EXPECT_EQ(snapshot(dir), before) << c.err;
    }
}

TEST_F(BatchTest, AFailingOutputLeavesEveryOldFileWhole) {
    const std::string input = saveProject("case.in");
    test::writeFile(dir.file("case.out"), "old report");
    test::writeFile(dir.file("SPTDEPTH.TMP"), "old depth data");
    const auto before = snapshot(dir);
    const Result r = runBatch({"--csv", "/dev/full", input});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Disk full while accessing /dev/full.\nNo space left on device\n");
    EXPECT_EQ(snapshot(dir), before) << "a file replaced, or a temporary file left behind";
}

TEST_F(BatchTest, AReportToADeviceLeavesTheDepthDataBesideTheInput) {
    const std::string input = saveProject("case.in");
    const bool strayBefore = std::filesystem::exists("/dev/SPTDEPTH.TMP");
    const Result r = runBatch({"-q", "-o", "/dev/null", input});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_THAT(test::readFile(dir.file("SPTDEPTH.TMP")), HasSubstr("OPT1,ENGLISH"));
    if (!strayBefore) {
        EXPECT_FALSE(std::filesystem::exists("/dev/SPTDEPTH.TMP"));
    }
}

TEST_F(BatchTest, TextThatIsNotANumberIsReadAsBeforeWithAWarning) {
    std::string bytes = writeInputFile(doc);
    const std::string widths = "\r\n1          18.0000 \r\n";
    ASSERT_NE(bytes.find(widths), std::string::npos);
    bytes.replace(bytes.find(widths), widths.size(), "\r\n1 1,018.0000\r\n");
    const std::string input = dir.file("comma.in");
    test::writeFile(input, bytes);
    const Result r = runBatch({"-q", input});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, input + ":10: warning: text that is not a number was skipped: 1 1,018.0000\n");
    // Read as the reader always read it: a 1-inch pile.
    EXPECT_THAT(test::readFile(dir.file("comma.out")), HasSubstr("WP =     1.00 INCHES"));
}

TEST_F(BatchTest, ControlCharactersNeverReachTheReport) {
    doc.projectNumber = "P\x1b[2J\x1b]0;x\x07";
    doc.jobName = "Job\fwith\x7f breaks\tand tabs";
    doc.engineer = "E\x01\x02\x1f";
    const std::string input = saveProject("odd\x1bname.in");
    const Result r = runBatch({"-q", input});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string name : {"odd\x1bname.out", "SPTDEPTH.TMP"}) {
        const std::string text = test::readFile(dir.file(name));
        ASSERT_FALSE(text.empty()) << name;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            const bool lineEnd = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
            const bool ownBreak = c == '\n' || c == '\f';
            EXPECT_TRUE((c >= 32 && c != 127) || lineEnd || ownBreak)
                << name << ": code " << int(c) << " at " << i;
        }
    }
    const std::string report = test::readFile(dir.file("odd\x1bname.out"));
    EXPECT_THAT(report, HasSubstr("P [2J ]0;x "));
    EXPECT_THAT(report, HasSubstr("odd name.in"));
    // The layout is the plain project's, line for line and page for page.
    test::fillWorkedCase(doc);
    const std::string plain = saveProject("plain.in");
    ASSERT_EQ(runBatch({"-q", plain}).status, 0);
    const std::string expected = test::readFile(dir.file("plain.out"));
    for (char c : {'\n', '\f'})
        EXPECT_EQ(std::count(report.begin(), report.end(), c),
                  std::count(expected.begin(), expected.end(), c));
    EXPECT_EQ(report.size(), expected.size());
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
