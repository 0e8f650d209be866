// The real data files, read where they lie; the compressed ones are unpacked into a fresh folder
// for the test.

#include "import/LogBuilder.h"

#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"
#include "run/Handoff.h"
#include "support/Projects.h"
#include "support/ScriptedShell.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace zenka::dataimport {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

const fs::path kSamples = ZENKA_IMPORT_SAMPLES;

bool haveXz() {
    return std::system("command -v xz >/dev/null 2>&1") == 0;
}

// The sample as a plain file: itself, or unpacked into dir. Empty when it cannot be had.
std::string plain(const fs::path& sample, const test::TempDir& dir) {
    if (sample.extension() != ".xz") return sample.string();
    const std::string out = dir.file(sample.stem().string());
    const std::string cmd = "xz -dkc '" + sample.string() + "' > '" + out + "'";
    if (std::system(cmd.c_str()) != 0) return {};
    return out;
}

#define REQUIRE_SAMPLES()                                                                          \
    if (!fs::is_directory(kSamples)) GTEST_SKIP() << "no sample folder at " << kSamples;           \
    if (!haveXz()) GTEST_SKIP() << "xz is not installed: the compressed samples cannot be read"

// Every code a classification is given: the proposal, else sand; "no stratum": sand.
ImportChoices allCoded(const Borehole& b) {
    ImportChoices c = proposedChoices(b);
    c.otherCode = 3;
    return c;
}

TEST(Samples, EveryBoreholeWithTestsImportsIntoALogTheAnalysisAccepts) {
    REQUIRE_SAMPLES();
    test::TempDir dir;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(kSamples)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".ags") == std::string::npos && name.find(".xml") == std::string::npos)
            continue;
        SCOPED_TRACE(name);
        ++files;
        const std::string path = plain(entry.path(), dir);
        ASSERT_FALSE(path.empty());
        const DataFile f = readDataFile(path);
        ASSERT_TRUE(f.error.empty()) << f.error;
        const auto list = listBoreholes(f);
        ASSERT_EQ(list.size(), f.boreholes.size());
        ASSERT_FALSE(list.empty());
        int imported = 0;
        for (std::size_t i = 0; i < f.boreholes.size(); ++i) {
            const Borehole& b = f.boreholes[i];
            if (list[i].sptTests == 0) continue;
            SCOPED_TRACE(b.name);
            for (int units : {Units::English, Units::Metric}) {
                auto state = std::make_unique<AnalysisState>();
                CPelbrinDoc doc;
                test::fillWorkedCase(doc);
                if (units == Units::Metric) doc.ConvertUnits(1);
                ImportChoices c = allCoded(b);
                if (!b.groundElevation || b.elevationUnit == LengthUnit::Unknown)
                    c.groundElevation = 100;
                const BuiltLog log = buildLog(f, b, c, doc.units);
                ASSERT_TRUE(log.ready) << (log.messages.empty() ? "" : log.messages.front());
                std::string why;
                ASSERT_TRUE(applyLog(log, doc, defaultFlags(log), &why)) << why;
                doc.files.INFILE = "import.in";
                doc.files.OUTFILE = "import.out";
                doc.files.OUTDIR = dir.path();
                test::ScriptedShell shell;
                const RunOutcome outcome = AnalysisHandoff(doc, *state, shell);
                EXPECT_NE(outcome, RunOutcome::InvalidSoil);
                EXPECT_NE(outcome, RunOutcome::Refused);
                EXPECT_THAT(shell.messageTexts(), ::testing::IsEmpty());
            }
            ++imported;
        }
        EXPECT_GT(imported, 0);
    }
    EXPECT_EQ(files, 20);
}

// Hand-read from the raw file: the ISPT rows of BH16650, their reports and what they make.
TEST(Samples, Ags4BoreholeEntryByEntry) {
    REQUIRE_SAMPLES();
    const fs::path path = kSamples / "ags_A9_PassOfBirnam_BH16650.ags";
    const std::string raw = test::readFile(path.string());
    struct Row {
        const char* top;
        const char* report;
        double n;
        bool refusal;
        int code;
    };
    // Legend 430 "SAND and GRAVEL" 0-1.2 m, 509 "Clayey sandy GRAVEL" 1.2-10.5 and 14.6-29.9,
    // 410 "Clayey gravelly SAND" 10.5-14.6.
    const Row rows[] = {
        {"1.20", "N=50 (25 for 5mm/50 for 0mm)", 100, true, 21},
        {"3.00", "N=32 (11,9/9,9,6,8)", 32, false, 21},
        {"4.50", "N=41 (10,9/9,10,12,10)", 41, false, 21},
        {"6.00", "N=40 (12,10/10,9,10,11)", 40, false, 21},
        {"7.50", "N=43 (8,9/10,10,12,11)", 43, false, 21},
        {"9.00", "N=39 (7,9/10,8,11,10)", 39, false, 21},
        {"10.50", "N=42 (12,8/10,10,10,12)", 42, false, 2},
        {"12.00", "N=49 (25 for 135mm/13,12,12,12)", 49, false, 2},
        {"13.50", "N=50 (25 for 125mm/50 for 270mm)", 56, true, 2},
        {"15.00", "N=28 (8,10/6,7,7,8)", 28, false, 21},
        {"16.50", "N=50 (25 for 10mm/50 for 15mm)", 100, true, 21},
        {"18.00", "N=50 (25 for 5mm/50 for 10mm)", 100, true, 21},
        {"19.50", "N=31 (6,8/8,7,8,8)", 31, false, 21},
        {"21.00", "N=34 (10,10/1,10,12,11)", 34, false, 21},
        {"22.50", "N=45 (12,10/9,10,14,12)", 45, false, 21},
        {"24.00", "N=50 (25 for 110mm/50 for 210mm)", 71, true, 21},
        {"25.50", "N=50 (25 for 90mm/50 for 180mm)", 83, true, 21},
        {"27.00", "N=50 (25 for 95mm/50 for 175mm)", 86, true, 21},
        {"28.50", "N=50 (25 for 95mm/50 for 180mm)", 83, true, 21},
    };
    const DataFile f = readDataFile(path.string());
    ASSERT_EQ(f.boreholes.size(), 1u);
    const Borehole& b = f.boreholes[0];
    const BuiltLog log = buildLog(f, b, proposedChoices(b), Units::NotChosen);
    ASSERT_TRUE(log.ready);
    EXPECT_EQ(log.units, Units::Metric);
    ASSERT_EQ(log.entries.size(), std::size(rows) + 1);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        SCOPED_TRACE(r.top);
        EXPECT_THAT(raw, HasSubstr(std::string("\"DATA\",\"BH16650\",\"") + r.top));
        EXPECT_THAT(raw, HasSubstr(std::string("\"") + r.report + "\""));
        const LogEntry& e = log.entries[i];
        EXPECT_DOUBLE_EQ(e.depth, std::stod(r.top));
        EXPECT_DOUBLE_EQ(e.n, r.n);
        EXPECT_EQ(e.refusal, r.refusal);
        EXPECT_EQ(e.code, r.code);
    }
    EXPECT_DOUBLE_EQ(log.entries.back().depth, 30.0); // LOCA_FDEP
    EXPECT_DOUBLE_EQ(*log.groundElevation, 65.95);
    EXPECT_DOUBLE_EQ(*log.waterTable, -20.0);
    EXPECT_EQ(log.projectNumber, "G151043UA");
    EXPECT_EQ(log.boringDate, "2015-11-17");
    EXPECT_THAT(log.hammerSummary, HasSubstr("GS TRIP 15, energy ratio 77.0 %"));
}

// Hand-read from the raw file: the five SPT tests of the one borehole, in feet.
TEST(Samples, DiggsBoreholeEntryByEntry) {
    REQUIRE_SAMPLES();
    const fs::path path = kSamples / "diggs3_Geosetta_VDOT_2026-02-13.xml";
    const std::string raw = test::readFile(path.string());
    struct Row {
        const char* posList;
        double n;
        bool refusal;
    };
    const Row rows[] = {
        {"1.0 2.5", 11, false}, // 2, 5, 6
        {"2.6 4.1", 100, true}, // 8, 23, 50 for 2 in: 73 blows in 8 in
        {"4.5 6.0", 51, false}, // 18, 23, 28
        {"6.0 7.5", 100, true}, // 50 for 3 in: the seating drive
        {"6.3 7.8", 100, true}, // 50 for 2 in, then 33 and 50 for 4 in
    };
    const DataFile f = readDataFile(path.string());
    ASSERT_EQ(f.boreholes.size(), 1u);
    const Borehole& b = f.boreholes[0];
    EXPECT_EQ(b.depthUnit, LengthUnit::Feet);
    const BuiltLog log = buildLog(f, b, proposedChoices(b), Units::NotChosen);
    ASSERT_TRUE(log.ready) << (log.missingCodes.empty() ? "" : log.missingCodes.front());
    EXPECT_EQ(log.units, Units::English);
    ASSERT_EQ(log.entries.size(), std::size(rows) + 1);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].posList);
        EXPECT_THAT(raw, HasSubstr(std::string("<gml:posList>") + rows[i].posList));
        EXPECT_DOUBLE_EQ(log.entries[i].depth,
                         std::stod(std::string(rows[i].posList).substr(0, 3)));
        EXPECT_DOUBLE_EQ(log.entries[i].n, rows[i].n);
        EXPECT_EQ(log.entries[i].refusal, rows[i].refusal);
        EXPECT_EQ(log.entries[i].code, 3); // classificationSymbol SW
    }
    EXPECT_THAT(raw, HasSubstr(">8.6</totalMeasuredDepth>"));
    EXPECT_DOUBLE_EQ(log.entries.back().depth, 8.6);
    EXPECT_THAT(raw, HasSubstr("uomLabels=\"dega dega ft\""));
    EXPECT_DOUBLE_EQ(*log.groundElevation, 659.6);
}

TEST(Samples, TheLargeDiggsFile) {
    REQUIRE_SAMPLES();
    test::TempDir dir;
    const std::string path = plain(kSamples / "diggsdev_Hackathon_I10Bridge_V1.xml.xz", dir);
    const DataFile f = readDataFile(path);
    ASSERT_TRUE(f.error.empty()) << f.error;
    int tests = 0, withTests = 0;
    for (const BoreholeSummary& s : listBoreholes(f)) {
        tests += s.sptTests;
        withTests += s.sptTests > 0;
    }
    EXPECT_EQ(f.boreholes.size(), 76u); // the 85 soundings are not boreholes
    EXPECT_EQ(withTests, 75);
    EXPECT_EQ(tests, 1441);
    const Borehole* b = f.find("B-030");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(f.find("Location_B-030"), b); // the gml:id names it too
    ASSERT_EQ(b->waterDepths.size(), 1u);
    EXPECT_DOUBLE_EQ(b->waterDepths[0], 4.1);
    EXPECT_DOUBLE_EQ(*b->groundElevation, 5.6);
    EXPECT_EQ(b->tests.front().details->hammer, "Automatic hammer");
}

} // namespace
} // namespace zenka::dataimport
