// Files that came from anywhere: each opens, and the run command either analyses it with finite
// results and shows the report, or refuses it with the hand-off's messages and shows nothing.
// Big inputs are made here, not kept in the repository.

#include "Hostile.h"
#include "base/Format.h"
#include "engine/AnalysisState.h"
#include "engine/Driver.h"
#include "model/PelbrinDoc.h"
#include "project/FileCommands.h"
#include "project/InputFile.h"
#include "run/RunCommands.h"
#include "support/Projects.h"
#include "support/ScriptedShell.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace zenka {
namespace {

using test::ScriptedShell;
using ::testing::ElementsAre;
using ::testing::StartsWith;

// NotAProject: Open refused the file, leaving the project as it was.
enum class Outcome { Analysed, Refused, NotAProject };

std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        out.push_back(bytes.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return out;
}

std::string logLine(double depth, double blows, int code) {
    return printfFixed(depth, 7, 2) + printfFixed(blows, 7, 2) + printfInt(code, 4) + " \r\n";
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

class HostileInput : public ::testing::Test {
protected:
    void SetUp() override { setenv("SOURCE_DATE_EPOCH", "1700000000", 1); }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

    std::string projectFile(int variant) {
        auto other = std::make_unique<AnalysisState>();
        CPelbrinDoc d;
        test::fillShape(d, variant);
        return writeInputFile(d);
    }

    // Opens the bytes as a project file and runs it as the run command does. Whatever happens
    // must be one of the two outcomes, whole.
    Outcome openAndRun(const std::string& bytes, const std::string& what) {
        SCOPED_TRACE(what);
        const std::string name = "hostile-" + std::to_string(++files);
        const std::string path = dir.file(name + ".in");
        test::writeFile(path, bytes);
        ScriptedShell shell;
        shell.openChoices.push_back(path);
        const std::string before = doc.pathName;
        if (!OpenProject(doc, shell)) {
            EXPECT_EQ(doc.pathName, before);
            EXPECT_EQ(shell.messages.size(), 1u);
            for (const auto& m : shell.messages)
                EXPECT_THAT(m.text, StartsWith(path + " is not a Zenka project: "));
            EXPECT_EQ(test::readFile(path), bytes);
            return Outcome::NotAProject;
        }
        EXPECT_EQ(doc.pathName, path);
        // Opening may warn of text read as numbers; the run is what is judged here.
        for (const auto& m : shell.messages) EXPECT_THAT(m.text, StartsWith("Some lines of "));
        shell.messages.clear();

        messages.clear();
        const bool shown = RunAndView(doc, *state, shell);
        for (const auto& m : shell.messages) {
            EXPECT_TRUE(test::isHandoffMessage(m.text)) << m.text;
            messages.push_back(m.text);
        }
        const std::string report = dir.file(name + ".out");
        if (shown) {
            EXPECT_THAT(shell.viewerPaths, ElementsAre(report));
            EXPECT_TRUE(messages.empty());
            EXPECT_TRUE(test::resultsFinite(*state));
            EXPECT_TRUE(test::readFile(report).ends_with(" \f\r\n"));
            return Outcome::Analysed;
        }
        EXPECT_TRUE(shell.viewerPaths.empty());
        EXPECT_FALSE(messages.empty());
        EXPECT_FALSE(std::filesystem::exists(report));
        return Outcome::Refused;
    }

    test::TempDir dir;
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    std::vector<std::string> messages;
    int files = 0;
};

TEST_F(HostileInput, EmptyGarbageAndTruncatedFilesAreRefused) {
    EXPECT_EQ(openAndRun("", "empty"), Outcome::NotAProject);

    // Random bytes are no project; behind a unit code they are binary data.
    std::mt19937 rng(7);
    for (int n = 0; n < 20; ++n) {
        std::string garbage(std::size_t{1} << (6 + n % 12), '\0');
        for (char& c : garbage) c = static_cast<char>(rng());
        EXPECT_EQ(openAndRun(garbage, "garbage " + std::to_string(n)), Outcome::NotAProject);
        EXPECT_EQ(openAndRun("1\r\n" + garbage, "1 and garbage " + std::to_string(n)),
                  Outcome::NotAProject);
    }

    // CR alone ends no line: the whole file is line 1, so nothing but the units is read.
    std::string crOnly;
    for (char c : projectFile(0))
        if (c != '\n') crOnly += c;
    EXPECT_EQ(openAndRun(crOnly, "CR only"), Outcome::Refused);
    EXPECT_EQ(doc.units, 1);
    EXPECT_EQ(messages.front(), "A minimum of 2 borelog entries must be entered");

    // Ends inside line 11, the ground surface elevation cut short.
    const std::string full = projectFile(0);
    std::size_t at = 0;
    for (int line = 0; line < 10; ++line) at = full.find('\n', at) + 1;
    EXPECT_EQ(openAndRun(full.substr(0, at + 14), "ends inside line 11"), Outcome::Refused);
    EXPECT_EQ(doc.groundElevation, 10);
    EXPECT_THAT(messages, ElementsAre("A minimum of 2 borelog entries must be entered",
                                      "Pile lengths must be greater than 0"));
}

TEST_F(HostileInput, HugeFilesLinesAndCountsNeitherCrashNorHang) {
    ASSERT_EQ(openAndRun(projectFile(0), "worked case"), Outcome::Analysed);
    const std::vector<CaseResult> plain = state->cases;
    ASSERT_EQ(plain.size(), 1u);
    auto sameResults = [&] {
        ASSERT_EQ(state->cases.size(), plain.size());
        EXPECT_EQ(state->cases[0].MPC, plain[0].MPC);
        EXPECT_EQ(state->cases[0].UPC, plain[0].UPC);
    };

    // Lines of a megabyte: numbers behind a megabyte of blanks, texts a megabyte long.
    const std::string mega(std::size_t{1} << 20, ' ');
    std::vector<std::string> lines = splitLines(projectFile(0));
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i] =
            i >= 1 && i <= 6 && i != 5 ? lines[i] + std::string(mega.size(), 'x') : mega + lines[i];
    EXPECT_EQ(openAndRun(joinLines(lines), "megabyte lines"), Outcome::Analysed);
    EXPECT_EQ(doc.jobName.size(), std::string("Worked case").size() + mega.size());
    sameResults();

    // 50 MB: the project, then log lines past its end that the reader never reaches.
    std::string big = projectFile(0);
    const std::string junk = "   1.00   2.00   3 \r\n";
    big.reserve((std::size_t{50} << 20) + junk.size());
    while (big.size() < (std::size_t{50} << 20)) big += junk;
    EXPECT_EQ(openAndRun(big, "50 MB"), Outcome::Analysed);
    sameResults();
    big = {};

    // 10,000 log lines: without a closing entry among the first 225 the log has none ...
    std::vector<std::string> head = splitLines(projectFile(0));
    head.resize(12); // up to the lengths line
    std::string many = joinLines(head);
    for (int i = 0; i < 10000; ++i) many += logLine(0.5 * i, 10 + i % 30, i == 9999 ? 0 : 3);
    EXPECT_EQ(openAndRun(many, "10,000 log lines"), Outcome::Refused);
    EXPECT_THAT(messages, ElementsAre("The boring log must end with an entry of soil type 0"));

    // ... and with one at entry 200 the rest is never read.
    many = joinLines(head);
    for (int i = 0; i < 10000; ++i) many += logLine(0.5 * i, 10 + i % 30, i == 199 ? 0 : 3);
    EXPECT_EQ(openAndRun(many, "closed at 200 of 10,000"), Outcome::Analysed);
    EXPECT_EQ(state->NSAMP, 200);

    // A widths count of 10^9 reads five widths, the missing ones zero.
    lines = splitLines(projectFile(0));
    lines[9] = "1000000000          18.0000          24.0000 ";
    EXPECT_EQ(openAndRun(joinLines(lines), "widths count 1e9"), Outcome::Refused);
    EXPECT_EQ(doc.widthCount, 5);
    EXPECT_THAT(messages, ElementsAre("All pile widths in use must be greater than 0"));
}

// Each number of each line replaced by each extreme the reader can meet: words it cannot read,
// the largest doubles and numbers beyond them.
TEST_F(HostileInput, ExtremeNumbersInEveryNumericFieldOfTheFile) {
    const char* const extremes[] = {"nan", "inf", "-inf", "1e308", "-1e308", "1e999", "-1e999"};
    int analysed = 0;
    int refused = 0;
    for (int variant = 0; variant < test::kShapeVariants; ++variant) {
        const std::vector<std::string> lines = splitLines(projectFile(variant));
        for (std::size_t li = 0; li < lines.size(); ++li) {
            if (li >= 1 && li <= 6 && li != 5) continue; // texts
            // Of the log, its first entries, one in the middle and the last two.
            const std::size_t log = 12;
            if (li > log + 2 && li != (log + lines.size()) / 2 && li + 2 < lines.size()) continue;
            const std::string& line = lines[li];
            // The numbers of the line: runs of non-blanks (after the water table tag on line 6).
            std::size_t from = li == 5 ? line.find('=') + 1 : 0;
            while ((from = line.find_first_not_of(' ', from)) != std::string::npos) {
                const std::size_t to = std::min(line.find(' ', from), line.size());
                for (const char* x : extremes) {
                    std::vector<std::string> changed = lines;
                    changed[li] = line.substr(0, from) + " " + x + " " + line.substr(to);
                    const Outcome o = openAndRun(joinLines(changed),
                                                 "variant " + std::to_string(variant) + " line " +
                                                     std::to_string(li + 1) + ": " + changed[li]);
                    // Line 1 holds the unit code, which tells a project from other files.
                    if (li == 0)
                        EXPECT_EQ(o, Outcome::NotAProject) << changed[li];
                    else
                        EXPECT_NE(o, Outcome::NotAProject) << li + 1 << ": " << changed[li];
                    if (o == Outcome::NotAProject) continue;
                    (o == Outcome::Analysed ? analysed : refused)++;
                }
                from = to;
            }
        }
    }
    // Both outcomes are reached, so the substitutions reach the checks and the engine alike.
    EXPECT_GT(analysed, 50);
    EXPECT_GT(refused, 50);
}

// Inputs kept as files: each opens and runs to one of the two outcomes, and saving and opening
// it again and again reaches a file that stays as it is.
TEST_F(HostileInput, CommittedInputsRunAndSettleWhenSavedAgain) {
    const std::filesystem::path data =
        std::filesystem::path(ZENKA_SOURCE_DIR) / "tests" / "hostile" / "data";
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const std::string bytes = test::readFile(entry.path().string());
        EXPECT_NE(openAndRun(bytes, name), Outcome::NotAProject);
        ++seen;

        auto other = std::make_unique<AnalysisState>();
        CPelbrinDoc d;
        readInputFile(bytes, d);
        std::string written = writeInputFile(d);
        int rounds = 0;
        for (;; ++rounds) {
            d.ResetProject();
            readInputFile(written, d);
            std::string again = writeInputFile(d);
            if (again == written) break;
            ASSERT_LT(rounds, 2 * kDocLengths);
            written = std::move(again);
        }
        // A zero among the lengths drops the length behind it, and then itself.
        if (name == "zero-length-before-a-length.in") {
            EXPECT_EQ(rounds, 1);
            EXPECT_EQ(splitLines(written)[11], " ");
        }
    }
    EXPECT_GE(seen, 3);
}

} // namespace
} // namespace zenka
