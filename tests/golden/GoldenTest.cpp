// Every sample project's report and depth data file, byte for byte. After a deliberate change
// of the report, regenerate the expected files with ZENKA_UPDATE_GOLDEN=1 and review the diff.

#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"
#include "project/FileCommands.h"
#include "run/Handoff.h"
#include "support/ScriptedShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace zenka {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = ZENKA_SOURCE_DIR;
const fs::path kExpected = kSource / "tests" / "golden" / "expected";

std::vector<fs::path> inputs() {
    std::vector<fs::path> out;
    for (const fs::path& dir : {kSource / "examples", kSource / "tests" / "golden" / "inputs"}) {
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".in") out.push_back(e.path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

class Golden : public ::testing::TestWithParam<fs::path> {};

void compareOrUpdate(const std::string& actual, const fs::path& expected) {
    if (std::getenv("ZENKA_UPDATE_GOLDEN")) {
        test::writeFile(expected.string(), actual);
        return;
    }
    ASSERT_TRUE(fs::exists(expected)) << expected;
    const std::string want = test::readFile(expected.string());
    if (actual == want) return;
    // Point at the first differing line rather than dumping two reports.
    std::size_t pos = 0;
    while (pos < actual.size() && pos < want.size() && actual[pos] == want[pos]) ++pos;
    const std::size_t lineStart =
        want.rfind('\n', pos) == std::string::npos ? 0 : want.rfind('\n', pos) + 1;
    const int lineNo =
        static_cast<int>(std::count(want.begin(), want.begin() + static_cast<long>(pos), '\n')) + 1;
    auto lineAt = [lineStart](const std::string& s) {
        const std::size_t end = s.find('\n', lineStart);
        return lineStart < s.size() ? s.substr(lineStart, end - lineStart) : std::string("<end>");
    };
    ADD_FAILURE() << expected.filename() << " differs at line " << lineNo << "\n  expected: ["
                  << lineAt(want) << "]\n  actual:   [" << lineAt(actual) << "]";
}

TEST_P(Golden, ReportAndDepthDataMatch) {
    const fs::path input = GetParam();
    test::TempDir dir;
    const std::string copy = dir.file(input.filename().string());
    fs::copy_file(input, copy);

    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    auto state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    test::ScriptedShell shell;
    shell.openChoices.push_back(copy);
    ASSERT_TRUE(OpenProject(doc, shell));
    const RunOutcome outcome = AnalysisHandoff(doc, *state, shell);
    ASSERT_NE(outcome, RunOutcome::InvalidSoil);
    unsetenv("SOURCE_DATE_EPOCH");
    ASSERT_TRUE(shell.messages.empty()) << shell.messages.front().text;
    ASSERT_EQ(outcome, RunOutcome::Written);

    const std::string stem = input.stem().string();
    compareOrUpdate(test::readFile(dir.file(stem + ".out")), kExpected / (stem + ".out"));
    compareOrUpdate(test::readFile(dir.file("SPTDEPTH.TMP")), kExpected / (stem + ".SPTDEPTH.TMP"));
}

INSTANTIATE_TEST_SUITE_P(Samples, Golden, ::testing::ValuesIn(inputs()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.stem().string();
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
} // namespace zenka
