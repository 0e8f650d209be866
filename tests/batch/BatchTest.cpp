// Runs the built zenka-batch and checks its exit status, stdout and stderr exactly.

#include "base/Format.h"
#include "engine/AnalysisState.h"
#include "import/DataFormats.h"
#include "model/PelbrinDoc.h"
#include "project/InputFile.h"
#include "site/SiteAnalysis.h"
#include "support/Projects.h"
#include "support/ScriptedShell.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
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
    CPelbrinDoc doc;
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
    // The data formats the import reads are listed, wrapped to a terminal's width.
    EXPECT_THAT(r.out, HasSubstr("(DIGGS .xml, AGS3/AGS4 .ags,\ndelimited text"));
    const std::size_t from = r.out.find("Boring logs from");
    const std::size_t to = r.out.find(" .gz):\n  --list DATAFILE ");
    ASSERT_LT(from, to);
    for (std::size_t at = from, end; at < to; at = end + 1) {
        end = r.out.find('\n', at);
        EXPECT_LE(end - at, 80u) << r.out.substr(at, end - at);
    }
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

// Two boreholes in metres: one with a ground level, one without.
const char* const kAgsFile = R"("GROUP","PROJ"
"HEADING","PROJ_ID","PROJ_NAME"
"UNIT","",""
"TYPE","ID","X"
"DATA","P-42","Test Road"
"GROUP","LOCA"
"HEADING","LOCA_ID","LOCA_GL","LOCA_FDEP"
"UNIT","","m","m"
"TYPE","ID","2DP","2DP"
"DATA","BH/1","12.50","10.00"
"DATA","BH2","","6.00"
"GROUP","GEOL"
"HEADING","LOCA_ID","GEOL_TOP","GEOL_BASE","GEOL_DESC"
"UNIT","","m","m",""
"TYPE","ID","2DP","2DP","X"
"DATA","BH/1","0.00","4.00","Soft grey CLAY"
"DATA","BH/1","4.00","10.00","Dense SAND"
"DATA","BH2","0.00","6.00","Dense SAND"
"GROUP","ISPT"
"HEADING","LOCA_ID","ISPT_TOP","ISPT_NVAL","ISPT_REP"
"UNIT","","m","",""
"TYPE","ID","2DP","0DP","X"
"DATA","BH/1","1.00","4",""
"DATA","BH/1","2.50","6",""
"DATA","BH/1","5.00","30",""
"DATA","BH2","1.50","20",""
"DATA","BH2","3.00","25",""
)";

TEST_F(BatchTest, BoreholesOfADataFileAreListedAndImportedIntoProjects) {
    const std::string ags = dir.file("site.ags");
    test::writeFile(ags, kAgsFile);
    Result r = runBatch({"--list", ags, "--csv", dir.file("list.csv")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "borehole            ground elevation  final depth        SPT tests  water depth\n"
              "BH/1                        12.50 m      10.00 m                3            -\n"
              "BH2                               -       6.00 m                2            -\n");
    EXPECT_EQ(test::readFile(dir.file("list.csv")),
              "borehole,name,ground_elevation,elevation_unit,final_depth,depth_unit,spt_tests,"
              "refusals,water_depth\n"
              "BH/1,BH/1,12.50,m,10.00,m,3,0,\n"
              "BH2,BH2,,m,6.00,m,2,0,\n");

    // Without a code for every classification nothing is written, and the message is a soil
    // map to start from.
    const std::string templ = saveProject("template.in");
    const std::string out = dir.file("projects");
    std::filesystem::create_directory(out);
    r = runBatch({"--import", ags, "--template", templ, "--outdir", out, "--borehole", "BH/1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("No soil code for 2 classification(s) in use"));
    EXPECT_THAT(test::readFile(out + "/soil-map.csv"), HasSubstr("\nSoft grey CLAY,"));
    std::filesystem::remove(out + "/soil-map.csv");
    EXPECT_TRUE(std::filesystem::is_empty(out));

    test::writeFile(dir.file("map.csv"), "classification,code\n\"Soft grey CLAY\",1\n*,3\n");
    r = runBatch({"--import", ags, "--template", templ, "--outdir", out, "--soil-map",
                  dir.file("map.csv"), "--n-factor", "1.5", "-q"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    // BH2 has no ground level: the template's stays, and the engineer is told.
    EXPECT_THAT(r.err, HasSubstr("BH2:\n"));
    EXPECT_THAT(r.err, HasSubstr("The template's ground elevation 10.00 is kept."));
    auto project = std::make_unique<AnalysisState>();
    CPelbrinDoc got;
    got.ResetProject();
    readInputFile(test::readFile(out + "/BH_1.in"), got);
    EXPECT_EQ(got.units, 1); // the template's system: metres became feet
    EXPECT_NEAR(got.depths[0], 1 / 0.3048, 0.005);
    EXPECT_DOUBLE_EQ(got.blowCounts[0], 6); // 4 blows x 1.5
    EXPECT_EQ(got.soilCodes[0], 1);
    EXPECT_EQ(got.soilCodes[2], 3);
    EXPECT_EQ(got.soilCodes[3], 0);
    EXPECT_NEAR(got.groundElevation, 12.5 / 0.3048, 0.005);
    EXPECT_EQ(got.boringNumber, "BH/1");
    EXPECT_EQ(got.projectNumber, "P-42");
    EXPECT_EQ(got.pileWidths[0], 18); // the rest is the template's
    EXPECT_TRUE(std::filesystem::exists(out + "/BH_1.out"));
    EXPECT_TRUE(std::filesystem::exists(out + "/BH2.out"));

    // A project file may not replace the template, nor the data file.
    const std::string before = test::readFile(templ);
    r = runBatch({"--import", ags, "--template", dir.file("BH2.in"), "--outdir", dir.path(),
                  "--borehole", "BH2", "--soil-map", dir.file("map.csv")});
    EXPECT_EQ(r.status, 2);
    test::writeFile(dir.file("BH2.in"), before);
    r = runBatch({"--import", ags, "--template", dir.file("BH2.in"), "--outdir", dir.path(),
                  "--borehole", "BH2", "--soil-map", dir.file("map.csv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Template " + dir.file("BH2.in") + " and the project file of BH2 " +
                         dir.file("BH2.in") + " are the same file; nothing was written.\n");
    EXPECT_EQ(test::readFile(dir.file("BH2.in")), before);

    const std::pair<std::vector<std::string>, std::string> usage[] = {
        {{"--import", ags}, "--import needs --template"},
        {{"--borehole", "BH2", templ}, "--borehole goes with --import"},
        {{"--list", ags, templ}, "--list takes no input file: the data file is its input"},
        {{"--list", ags, "--import", ags}, "--list and --import go one at a time"},
        {{"--import", ags, "--template", templ, "--n-factor", "0"},
         "option '--n-factor' needs a number greater than 0 and at most 10, not '0'"},
        {{"--import", ags, "--template"}, "option '--template' needs a file"},
        {{"--soil-map=", "x"}, "option '--soil-map' has an empty file name"},
    };
    for (const auto& [args, message] : usage) {
        r = runBatch(args);
        EXPECT_EQ(r.status, 2) << message;
        EXPECT_EQ(r.err,
                  "zenka-batch: " + message + "\nTry 'zenka-batch --help' for more information.\n");
    }
    // A code no integer holds is refused like any other that is not a soil code.
    test::writeFile(dir.file("bad.csv"), "Dense SAND,1e30\n");
    r = runBatch({"--import", ags, "--template", templ, "--soil-map", dir.file("bad.csv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, dir.file("bad.csv") +
                         ":1: expected classification,code with a soil code of the log, found: "
                         "Dense SAND,1e30\n");

    r = runBatch({"--import", ags, "--template", templ, "--borehole", "BH9"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "There is no borehole BH9 in " + ags + ".\n");
}

// Three boreholes in metres sharing classifications; S1's one CL stratum is described as a silt.
const char* const kSiteFile = R"ags("GROUP","PROJ"
"HEADING","PROJ_ID","PROJ_NAME"
"UNIT","",""
"TYPE","ID","X"
"DATA","P-7","Site"
"GROUP","LOCA"
"HEADING","LOCA_ID","LOCA_GL","LOCA_FDEP"
"UNIT","","m","m"
"TYPE","ID","2DP","2DP"
"DATA","S1","5.00","10.00"
"DATA","S2","6.00","10.00"
"DATA","S3","7.00","10.00"
"DATA","S4","7.00","10.00"
"GROUP","GEOL"
"HEADING","LOCA_ID","GEOL_TOP","GEOL_BASE","GEOL_DESC","GEOL_LEG"
"UNIT","","m","m","",""
"TYPE","ID","2DP","2DP","X","PA"
"DATA","S1","0.00","4.00","Loose SANDY SILT (ML)","CL"
"DATA","S1","4.00","10.00","Dense SAND (SP)","SP"
"DATA","S2","0.00","3.00","Stiff LEAN CLAY (CL)","CL"
"DATA","S2","3.00","10.00","Medium dense SAND (SP)","SP"
"DATA","S3","0.00","10.00","Silty SAND (SM)","SM"
"DATA","S4","0.00","10.00","Odd (XX)","XX"
"GROUP","ISPT"
"HEADING","LOCA_ID","ISPT_TOP","ISPT_NVAL","ISPT_REP"
"UNIT","","m","",""
"TYPE","ID","2DP","0DP","X"
"DATA","S1","1.00","4",""
"DATA","S1","2.50","6",""
"DATA","S1","5.00","30",""
"DATA","S2","1.50","20",""
"DATA","S2","4.00","25",""
"DATA","S2","6.00","28",""
"DATA","S3","1.50","12",""
"DATA","S3","3.00","14",""
"DATA","S4","3.00","14",""
"DATA","S4","4.00","14",""
"DATA","S9","3.00","14",""
)ags";

TEST_F(BatchTest, OneSoilMapForTheWholeSiteThenTheRerunImportsEveryBorehole) {
    const std::string ags = dir.file("site.ags");
    test::writeFile(ags, kSiteFile);
    const std::string templ = saveProject("template.in");
    const std::string out = dir.file("new/site"); // made with its parent
    const std::vector<std::string> chosen = {"--borehole", "S1",         "--borehole",
                                             "S2",         "--borehole", "S3"};
    auto import = [&](std::vector<std::string> more) {
        std::vector<std::string> args = {"--import", ags, "--template", templ, "--outdir", out};
        args.insert(args.end(), chosen.begin(), chosen.end());
        args.insert(args.end(), more.begin(), more.end());
        return runBatch(args);
    };
    Result r = import({});
    EXPECT_EQ(r.status, 1) << r.err;
    const std::string map = out + "/soil-map.csv";
    EXPECT_EQ(r.out, "Folder " + out + " created.\n");
    // S4's classification is not asked for, S9 (not in the file) is a problem of the file's own.
    EXPECT_EQ(
        r.err,
        ags +
            ": S9: 1 row(s) for LOCA_ID S9, which has no LOCA row, not attached\n"
            "No soil code for 3 classification(s) in use (CL, SP, SM); nothing was imported.\n"
            "The soil map of the 3 borehole(s), with proposed codes, was written "
            "to " +
            map +
            ": check and edit the codes (a row *,CODE stands for "
            "the rest), then run again with --soil-map " +
            map + ".\n");
    const std::string written = test::readFile(map);
    // Each classification once, tests summed, the description of a stratum that is its own.
    EXPECT_THAT(written, ::testing::StartsWith("classification,proposed code,tests,what it is\n"
                                               "CL,25,3,Stiff LEAN CLAY (CL)\nSP,"));
    EXPECT_THAT(written, HasSubstr(",3,Dense SAND (SP)\nSM,"));
    EXPECT_THAT(written, HasSubstr(",2,Silty SAND (SM)\n"));
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 4);
    EXPECT_EQ(std::filesystem::directory_iterator(out)->path().filename(), "soil-map.csv");

    // Again without the map: the one written is never overwritten.
    test::writeFile(map, written + "*,3\n");
    r = import({});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("The soil map " + map + " exists already"));
    EXPECT_EQ(test::readFile(map), written + "*,3\n");

    r = import({"--soil-map", map, "-q"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    for (const char* id : {"S1", "S2", "S3"}) {
        EXPECT_TRUE(std::filesystem::exists(out + "/" + id + ".in")) << id;
        EXPECT_TRUE(std::filesystem::exists(out + "/" + id + ".out")) << id;
    }
    EXPECT_FALSE(std::filesystem::exists(out + "/S4.in"));

    // A code the map lacks, with the map named: the new map goes where --soil-map-out says and
    // keeps the codes already given.
    test::writeFile(dir.file("part.csv"), "CL,1\nSP,3\n");
    r = import({"--soil-map", dir.file("part.csv"), "--soil-map-out", dir.file("next.csv")});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(test::readFile(dir.file("next.csv")),
                ::testing::StartsWith("classification,proposed code,tests,what it is\nCL,1,3,"));
    // ... but never over one of the run's inputs.
    const auto before = test::readFile(dir.file("part.csv"));
    r = import({"--soil-map", dir.file("part.csv"), "--soil-map-out", dir.file("part.csv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Soil map " + dir.file("part.csv") + " and the soil map to write " +
                         dir.file("part.csv") + " are the same file; nothing was written.\n");
    EXPECT_EQ(test::readFile(dir.file("part.csv")), before);
}

TEST_F(BatchTest, AnImportWritesNothingWhenAnyOfItsFilesWouldBeAnother) {
    const std::string ags = dir.file("site.ags");
    test::writeFile(ags, kSiteFile);
    const std::string templ = saveProject("template.in");
    test::writeFile(dir.file("map.csv"), "*,3\n");
    std::filesystem::create_directory(dir.file("sub"));
    std::filesystem::create_symlink(dir.file("site.ags"), dir.file("link.out"));
    std::filesystem::create_hard_link(templ, dir.file("hard.out"));
    const auto same = [&](const std::string& a, const std::string& pa, const std::string& b,
                          const std::string& pb) {
        return a + " " + dir.file(pa) + " and the " + b + " " + dir.file(pb) +
               " are the same file; nothing was written.\n";
    };
    struct Clash {
        std::string data, templ, map, borehole, err, summary = {};
    };
    // Each input in turn where an output of the import goes.
    test::writeFile(dir.file("S1.out"), kSiteFile);
    test::writeFile(dir.file("SPTDEPTH.TMP"), writeInputFile(doc));
    test::writeFile(dir.file("S2.out"), "*,3\n");
    test::writeFile(dir.file("S3.in"), "*,3\n");
    test::writeFile(dir.file("map-required.csv"), "*,3\n");
    const Clash clashes[] = {
        {"S1.out", "template.in", "map.csv", "S1",
         same("Data file", "S1.out", "report of S1", "S1.out")},
        {"site.ags", "SPTDEPTH.TMP", "map.csv", "S1",
         same("Template", "SPTDEPTH.TMP", "depth data file", "SPTDEPTH.TMP")},
        {"site.ags", "template.in", "S2.out", "S2",
         same("Soil map", "S2.out", "report of S2", "S2.out")},
        {"site.ags", "template.in", "S3.in", "S3",
         same("Soil map", "S3.in", "project file of S3", "S3.in")},
        // Through a link, a hard link and "..".
        {"site.ags", "template.in", "map.csv", "link",
         same("Data file", "site.ags", "report of link", "link.out")},
        {"site.ags", "template.in", "map.csv", "hard",
         same("Template", "template.in", "report of hard", "hard.out")},
        // The site summary and its required lengths are outputs too.
        {"site.ags", "template.in", "map.csv", "S1",
         same("Data file", "site.ags", "site summary", "site.ags"), "site.ags"},
        {"site.ags", "template.in", "map-required.csv", "S1",
         same("Soil map", "map-required.csv", "required lengths", "map-required.csv"), "map.csv"},
        // A summary it could not write stops the import before its first file, not after.
        {"site.ags", "template.in", "map.csv", "S1",
         "All or part of the path " + dir.file("none/site.csv") +
             " is not valid.\nNo such file or directory\n",
         "none/site.csv"},
        {"site.ags", "template.in", "map.csv", "S1",
         dir.file("sub") + " is a folder, not a file.\nIs a directory\n", "sub"},
    };
    // Boreholes named after the clashing files.
    std::string data = kSiteFile;
    for (const char* id : {"link", "hard"}) {
        data.insert(data.find("\"GROUP\",\"GEOL\""),
                    std::string("\"DATA\",\"") + id + "\",\"5.00\",\"10.00\"\n");
        data += std::string("\"DATA\",\"") + id + "\",\"1.00\",\"4\",\"\"\n" + "\"DATA\",\"" + id +
                "\",\"2.00\",\"5\",\"\"\n";
    }
    test::writeFile(dir.file("site.ags"), data);
    test::writeFile(dir.file("S1.out"), data);
    for (const Clash& c : clashes) {
        const auto before = snapshot(dir);
        std::vector<std::string> args = {"--import",        dir.file(c.data),       "--template",
                                         dir.file(c.templ), "--soil-map",           dir.file(c.map),
                                         "--outdir",        dir.path() + "/sub/..", "--borehole",
                                         c.borehole};
        if (!c.summary.empty())
            args.insert(args.end(), {"--summary", dir.file(c.summary), "--required", "10"});
        const Result r = runBatch(args);
        EXPECT_EQ(r.status, 2) << c.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(snapshot(dir), before) << c.err;
    }
    // With --no-run only the projects are written: a report's name is free.
    const Result r = runBatch({"--import", dir.file("S1.out"), "--template", templ, "--soil-map",
                               dir.file("map.csv"), "--outdir", dir.path(), "--borehole", "S1",
                               "--no-run", "-q"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readFile(dir.file("S1.out")), data);
}

// The site summary holds each borehole's run to the digit: the same rows as each project's own
// --csv, and the same as the site analysed in memory (the desktop's path).
void expectSummaryMatchesTheRuns(const std::string& data, const std::string& templ,
                                 const std::string& map, const std::string& out,
                                 const std::function<Result(std::vector<std::string>)>& run) {
    const std::string summary = out + "/site.csv";
    const Result r = run({"--import", data, "--template", templ, "--soil-map", map, "--outdir", out,
                          "--summary", summary, "--required", "60"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string csv = test::readFile(summary);
    const std::string required = test::readFile(out + "/site-required.csv");
    EXPECT_THAT(r.out, HasSubstr("Required allowable capacity 60.00 "));

    std::map<std::string, std::string> rowsOf; // borehole -> its rows without the first columns
    for (std::size_t at = csv.find('\n') + 1; at < csv.size();) {
        const std::size_t end = csv.find('\n', at);
        const std::string line = csv.substr(at, end - at);
        const std::size_t second = line.find(',', line.find(',') + 1);
        rowsOf[line.substr(0, line.find(','))] += line.substr(second + 1) + "\n";
        at = end + 1;
    }
    ASSERT_FALSE(rowsOf.empty());
    for (const auto& [name, rows] : rowsOf) {
        const Result one = run({out + "/" + name + ".in", "--csv", out + "/one.csv", "-q"});
        ASSERT_EQ(one.status, 0) << name << one.err;
        const std::string own = test::readFile(out + "/one.csv");
        EXPECT_EQ(own.substr(own.find('\n') + 1), rows) << name;
    }

    test::ScriptedShell shell;
    const dataimport::DataFile file = dataimport::readDataFile(data);
    SiteRequest request;
    request.templateBytes = test::readFile(templ);
    ASSERT_TRUE(readSoilMap(map, request.soilMap, shell));
    const auto chosen = chooseBoreholes(file, {}, data, shell);
    ASSERT_TRUE(chosen);
    const SiteResult site = analyseSite(request, file, *chosen);
    EXPECT_EQ(siteCsv(site), csv);

    // And each borehole's report, as its capacity tables print them.
    for (const SiteBorehole& b : site.boreholes) {
        const std::string report = test::readFile(out + "/" + b.name + ".out");
        std::vector<std::string> printed;
        for (std::size_t at = report.find("PILE CAPACITY VS. PENETRATION"); at != std::string::npos;
             at = report.find("PILE CAPACITY VS. PENETRATION", at + 1)) {
            std::size_t line = report.find("------", at);
            line = report.find('\n', line) + 1;
            for (bool rows = false;;) {
                const std::size_t end = report.find('\n', line);
                std::istringstream cells(report.substr(line, end - line));
                std::vector<std::string> words{std::istream_iterator<std::string>(cells), {}};
                line = end + 1;
                if (words.empty() && !rows) continue;
                rows = true;
                if (words.size() != 7 && words.size() != 8) break;
                // A steel pile's table has its weight as the third column.
                if (words.size() == 8) words.erase(words.begin() + 2);
                std::string row;
                for (const std::string& w : words) row += w + " ";
                printed.push_back(row);
            }
        }
        std::vector<std::string> expected;
        for (const SiteCase& c : b.cases)
            expected.push_back(printfFixed(c.length, 1) + " " + printfFixed(c.tipElevation, 1) +
                               " " + printfFixed(c.sideFriction, 2) + " " +
                               printfFixed(c.endBearing, 2) + " " + printfFixed(c.davisson, 2) +
                               " " + printfFixed(c.allowable, 2) + " " +
                               printfFixed(c.ultimate, 2) + " ");
        EXPECT_EQ(printed, expected) << b.name;
    }
    EXPECT_EQ(requiredCsv(requiredLengths(site, 60, CapacityKind::Allowable)), required);
}

TEST_F(BatchTest, TheSiteSummaryHoldsEachBoreholesRun) {
    doc.analysisType = AnalysisType::RangeOfLengths;
    doc.minLength = 10;
    doc.maxLength = 40;
    doc.lengthIncrement = 2.5;
    doc.widthCount = 2;
    doc.pileWidths[0] = 14;
    doc.pileWidths[1] = 18;
    const std::string templ = saveProject("template.in");
    test::writeFile(dir.file("map.csv"), "*,3\n");
    test::writeFile(dir.file("site.ags"), kSiteFile);
    const auto run = [&](std::vector<std::string> args) { return runBatch(std::move(args)); };
    expectSummaryMatchesTheRuns(dir.file("site.ags"), templ, dir.file("map.csv"), dir.file("small"),
                                run);

    // A template whose unit system was never chosen takes the file's: metres and kilonewtons.
    doc.units = Units::NotChosen;
    doc.minLength = 3;
    doc.maxLength = 12;
    doc.lengthIncrement = 1;
    doc.pileWidths[0] = 350;
    doc.pileWidths[1] = 450;
    const Result metric =
        runBatch({"--import", dir.file("site.ags"), "--template", saveProject("unset.in"),
                  "--soil-map", dir.file("map.csv"), "--outdir", dir.file("metric"), "--summary",
                  dir.file("metric.csv"), "--required", "100"});
    EXPECT_EQ(metric.status, 0) << metric.err;
    EXPECT_THAT(metric.out, HasSubstr("Required allowable capacity 100.00 kN"));
    EXPECT_THAT(metric.out, HasSubstr("width (mm)    length (m)   tip elev. (m)    capacity (kN)"));

    // Every borehole of the bridge site, when the sample can be read.
    const std::filesystem::path bridge =
        std::filesystem::path(ZENKA_IMPORT_SAMPLES) / "diggsdev_Hackathon_I10Bridge_V1.xml.xz";
    if (!std::filesystem::exists(bridge) ||
        std::system(
            ("xz -dc '" + bridge.string() + "' > '" + dir.file("bridge.xml") + "'").c_str()) != 0)
        GTEST_SKIP() << "the bridge sample cannot be read";
    expectSummaryMatchesTheRuns(dir.file("bridge.xml"), templ, dir.file("map.csv"),
                                dir.file("bridge"), run);
}

TEST_F(BatchTest, ControlCharactersOfADataFileNeverReachTheTerminal) {
    // An id that would clear the screen, a name with a tab and a problem text with a bell.
    std::string data = kSiteFile;
    auto replaceAll = [&](const std::string& from, const std::string& to) {
        for (std::size_t at = data.find(from); at != std::string::npos;
             at = data.find(from, at + to.size()))
            data.replace(at, from.size(), to);
    };
    replaceAll("\"S1\"", "\"S\x1b[2J1\"");
    replaceAll("\"S9\"", "\"S\a9\t\x7f\"");
    const std::string ags = dir.file("site.ags");
    test::writeFile(ags, data);
    const std::string templ = saveProject("template.in");
    test::writeFile(dir.file("map.csv"), "*,3\n");
    const std::vector<std::vector<std::string>> runs = {
        {"--list", ags},
        {"--import", ags, "--template", templ, "--soil-map", dir.file("map.csv"), "--outdir",
         dir.path()},
        {"--import", ags, "--template", templ, "--outdir", dir.file("fresh")},
        {"--import", ags, "--template", templ, "--borehole", "S\x1b[2J9"},
    };
    for (const auto& args : runs) {
        const Result r = runBatch(args);
        for (const std::string* text : {&r.out, &r.err})
            for (char c : *text) {
                const auto u = static_cast<unsigned char>(c);
                EXPECT_FALSE((u < 32 && c != '\n') || u == 127)
                    << args[0] << ": control character " << int(u) << " in " << *text;
            }
        EXPECT_NE(r.out + r.err, "");
    }
    const Result r = runBatch(runs[0]);
    EXPECT_THAT(r.out, HasSubstr("\nS [2J1 "));
    EXPECT_THAT(r.err, HasSubstr(": S 9  : 1 row(s) for LOCA_ID S 9  , which"));
}

TEST_F(BatchTest, SoilMapsAreReadStrictly) {
    const std::string ags = dir.file("site.ags");
    test::writeFile(ags, kSiteFile);
    const std::string templ = saveProject("template.in");
    const std::string map = dir.file("map.csv");
    const struct {
        std::string bytes;
        int status;
        std::string err; // after "MAP:" for a refused row
    } cases[] = {
        // A spreadsheet's byte-order mark is no part of the first classification.
        {"\xEF\xBB\xBF*,11\n", 0, ""},
        {"\xEF\xBB\xBF\"classification\",\"code\"\r\n*,11\r\n", 0, ""},
        {"Classification,Proposed code,tests,what it is\nCL,25,3,clay\n*,3\n", 0, ""},
        {"\xEF\xBB\xBF\r\n\r\nclassification,code\r\n*,11\r\n", 0, ""},
        // A first row of anything else is a row, and refused when its code is not a soil code.
        {"*,11abc\n", 2,
         "1: expected classification,code with a soil code of the log, "
         "found: *,11abc"},
        {"*,nan\n", 2,
         "1: expected classification,code with a soil code of the log, found: "
         "*,nan"},
        {"soil,kind\n*,3\n", 2,
         "1: expected classification,code with a soil code of the log, "
         "found: soil,kind"},
        {"*,3\nCL,2.5\n", 2,
         "2: expected classification,code with a soil code of the log, "
         "found: CL,2.5"},
        {"*,3\n\nCL,\n", 2,
         "3: expected classification,code with a soil code of the log, "
         "found: CL,"},
        {"*,3\nCL,0\n", 2,
         "2: expected classification,code with a soil code of the log, "
         "found: CL,0"},
        {"*,3\n,5\n", 2,
         "2: expected classification,code with a soil code of the log, "
         "found: ,5"},
        {"classification,code\nclassification,code\n", 2,
         "2: expected classification,code with a soil code of the log, found: "
         "classification,code"},
        // One code a classification: the same twice is harmless, two are refused.
        {"CL,25\r\nCL,25\r\n*,3\r\n", 0, ""},
        {"*,3\nCL,25\n\nCL,3\n", 2, "4: CL has the code 25 on line 2 already, found: CL,3"},
        {"*,3\n*,11\n", 2, "2: * has the code 3 on line 1 already, found: *,11"},
        // A quoted line break is text: the lines after it keep their numbers.
        {"\"two\r\nlines\",3,\"a\nb\"\r\n*,3\r\nCL,0\r\n", 2,
         "5: expected classification,code with a soil code of the log, found: CL,0"},
        {"\"CL,3\n*,3\n", 2,
         "1: expected classification,code with a soil code of the log, found: \"CL,3"},
    };
    for (const auto& c : cases) {
        test::writeFile(map, c.bytes);
        const Result r = runBatch({"--import", ags, "--template", templ, "--soil-map", map,
                                   "--outdir", dir.path(), "--no-run", "-q"});
        EXPECT_EQ(r.status, c.status) << c.bytes << r.err;
        if (c.status == 2) {
            EXPECT_EQ(r.err, map + ":" + c.err + "\n");
        }
    }
    // A fifo is refused at once, never read as an empty map.
    const std::string fifo = dir.file("map.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const Result r = runBatch({"--import", ags, "--template", templ, "--soil-map", fifo, "--outdir",
                               dir.path(), "--no-run", "-q"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, fifo + " is not a regular file.\nIt is a fifo; only a file can be read.\n");
}

TEST_F(BatchTest, ADataFileThatIsNoFileIsRefusedAtOnce) {
    const std::string templ = saveProject("template.in");
    test::writeFile(dir.file("map.csv"), "*,3\n");
    const std::string fifo = dir.file("pipe.ags");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    test::writeFile(dir.file("empty.ags.gz"), "");
    test::writeFile(dir.file("cut.ags.gz"), "\x1f\x8b");
    const std::pair<std::string, std::string> cases[] = {
        {dir.path(), dir.path() + " is a folder, not a file.\nIs a directory\n"},
        {fifo, fifo + " is not a regular file.\nIt is a fifo; only a file can be read.\n"},
        {"/dev/zero",
         "/dev/zero is not a regular file.\nIt is a character device; only a file can be read.\n"},
        {"/proc/self/mem", "/proc/self/mem is not a regular file.\nIt is a file the system makes "
                           "up as it is read; only a file can be read.\n"},
        {dir.file("empty.ags.gz"), dir.file("empty.ags.gz") +
                                       " could not be read as delimited text data.\nThe file "
                                       "holds no rows.\n"},
        {dir.file("cut.ags.gz"), dir.file("cut.ags.gz") +
                                     " could not be read.\nThe compressed data ends early: the "
                                     "file is cut short.\n"},
    };
    for (const auto& [data, err] : cases) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"--list", data},
              std::vector<std::string>{"--import", data, "--template", templ, "--soil-map",
                                       dir.file("map.csv"), "--outdir", dir.file("out")}}) {
            const auto start = std::chrono::steady_clock::now();
            const Result r = runBatch(args);
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << data;
            EXPECT_EQ(r.status, 2) << data;
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, err);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
}

// The import's other inputs and its folder: a template that is no project, a link or a file
// where the folder belongs, a soil map that lacks codes, each refused with why and nothing
// written; a folder named through a link and ".." is made where its projects go.
TEST_F(BatchTest, TheImportsTemplateAndFolderAreRefusedWithWhy) {
    namespace fs = std::filesystem;
    const std::string ags = dir.file("site.ags");
    test::writeFile(ags, kSiteFile);
    const std::string templ = saveProject("template.in");
    test::writeFile(dir.file("map.csv"), "*,3\n");
    const std::string fifo = dir.file("pipe.in");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    test::writeFile(dir.file("empty.in"), "");
    test::writeFile(dir.file("file"), "x");
    fs::create_symlink(dir.file("nowhere"), dir.file("dangling"));
    struct Case {
        std::string templ, outDir, err;
    };
    const Case cases[] = {
        {fifo, dir.file("out"), fifo + " is not a regular file."},
        {"/dev/zero", dir.file("out"), "/dev/zero is not a regular file."},
        {dir.file("empty.in"), dir.file("out"), dir.file("empty.in") + " is not a Zenka project: "},
        {templ, dir.file("dangling"),
         "All or part of the path " + dir.file("dangling") + " is not valid.\nNo such file"},
        {templ, dir.file("file"),
         "All or part of the path " + dir.file("file") + " is not valid.\nNot a directory"},
    };
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const Result r = runBatch({"--import", ags, "--template", c.templ, "--soil-map",
                                   dir.file("map.csv"), "--outdir", c.outDir, "--no-run"});
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.templ;
        EXPECT_EQ(r.status, 2) << c.templ;
        EXPECT_THAT(r.err, HasSubstr(c.err));
    }
    EXPECT_FALSE(fs::exists(dir.file("out")));

    // A soil map in the folder that lacks codes: named, with what it lacks, not "exists already".
    fs::create_directory(dir.file("site"));
    test::writeFile(dir.file("site/soil-map.csv"), "CL,1\n");
    Result r = runBatch({"--import", ags, "--template", templ, "--soil-map",
                         dir.file("site/soil-map.csv"), "--outdir", dir.file("site"), "--no-run"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err,
                HasSubstr("No soil code for 3 classification(s) in use (SP, SM, XX); nothing "
                          "was imported.\nAdd their codes to the soil map " +
                          dir.file("site/soil-map.csv")));
    EXPECT_EQ(test::readFile(dir.file("site/soil-map.csv")), "CL,1\n");

    fs::create_directories(dir.file("deep/real/sub"));
    fs::create_directory_symlink(dir.file("deep/real/sub"), dir.file("lk"));
    r = runBatch({"--import", ags, "--template", templ, "--soil-map", dir.file("map.csv"),
                  "--outdir", dir.file("lk/../new"), "--no-run"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Folder " + dir.file("new") + " created."));
    EXPECT_TRUE(fs::exists(dir.file("new/S1.in")));
    EXPECT_FALSE(fs::exists(dir.file("deep/real/new")));

    // An id too long for a file name stops the import before its first file.
    test::writeFile(dir.file("long.csv"),
                    "Borehole,Depth (ft),N\nB1,5,10\n" + std::string(300, 'X') + ",5,12\n");
    r = runBatch({"--import", dir.file("long.csv"), "--template", templ, "--soil-map",
                  dir.file("map.csv"), "--outdir", dir.file("long"), "--no-run"});
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, HasSubstr(": its project's file name would be 303 bytes long"));
    EXPECT_FALSE(fs::exists(dir.file("long")));
}

TEST_F(BatchTest, ImportingNamedBoreholesPrintsOnlyTheirProblems) {
    std::string data = kSiteFile;
    // S2 and S3 without a ground level: each a problem of its own.
    data.replace(data.find("\"S2\",\"6.00\""), 11, "\"S2\",\"\"");
    data.replace(data.find("\"S3\",\"7.00\""), 11, "\"S3\",\"\"");
    const std::string ags = dir.file("site.ags");
    test::writeFile(ags, data);
    const std::string templ = saveProject("template.in");
    test::writeFile(dir.file("map.csv"), "*,3\n");
    const Result r =
        runBatch({"--import", ags, "--template", templ, "--soil-map", dir.file("map.csv"),
                  "--outdir", dir.path(), "--borehole", "S2", "--no-run", "-q"});
    EXPECT_EQ(r.status, 0) << r.err;
    // S9 is in no LOCA row: a problem of the file itself.
    EXPECT_EQ(r.err, ags + ": S9: 1 row(s) for LOCA_ID S9, which has no LOCA row, not attached\n" +
                         ags +
                         ": S2: no ground elevation (LOCA_GL); enter it\n"
                         "The file gives no usable ground elevation: enter it.\n"
                         "The template's ground elevation 10.00 is kept.\n");
}

} // namespace
} // namespace zenka
