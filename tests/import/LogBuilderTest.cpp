#include "import/LogBuilder.h"

#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace zenka::dataimport {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A borehole in metres: clay over sand, water at 2.5 m, bottom at 12 m.
DataFile metresFile(int tests = 4) {
    DataFile f;
    f.format = Format::Ags4;
    f.projectNumber = "P-7";
    f.jobName = "Quay wall";
    Borehole b;
    b.id = b.name = "BH1";
    b.depthUnit = LengthUnit::Metres;
    b.groundElevation = 10;
    b.elevationUnit = LengthUnit::Metres;
    b.finalDepth = 12;
    b.waterDepths = {2.5, 4};
    b.boringDate = "2019-05-14";
    b.strata = {{0, 3, "Soft CLAY", "CL", ""}, {3, 8, "Dense SAND", "SP", ""}};
    for (int i = 0; i < tests; ++i) {
        SptTest t;
        t.top = 1.5 * (i + 1);
        t.n = 10.0 + i;
        t.refusal = i == 2;
        b.tests.push_back(t);
    }
    f.boreholes.push_back(b);
    return f;
}

TEST(LogBuilder, EntriesInTheProjectsUnitsWithTheClosingEntryAtTheBottom) {
    const DataFile f = metresFile();
    const Borehole& b = f.boreholes[0];
    ImportChoices c = proposedChoices(b);
    c.codes[kNoStratum] = 2;
    const BuiltLog log = buildLog(f, b, c, Units::English);
    ASSERT_TRUE(log.ready);
    EXPECT_EQ(log.units, Units::English);
    ASSERT_EQ(log.entries.size(), 5u);
    EXPECT_DOUBLE_EQ(log.entries[0].depth, 4.92); // 1.5 m in feet, to hundredths
    EXPECT_DOUBLE_EQ(log.entries[1].depth, 9.84);
    EXPECT_EQ(log.entries[0].code, 25); // CL
    EXPECT_EQ(log.entries[1].code, 3);  // 3.0 m: the top of the sand
    EXPECT_TRUE(log.entries[2].refusal);
    EXPECT_STREQ(entryMark(log.entries[2]), "refusal");
    EXPECT_EQ(log.entries[3].classification, "SP");
    EXPECT_TRUE(log.entries[4].closing);
    EXPECT_DOUBLE_EQ(log.entries[4].depth, 39.37); // 12 m
    EXPECT_DOUBLE_EQ(*log.groundElevation, 32.808);
    EXPECT_DOUBLE_EQ(*log.waterTable, -8.202); // the shallowest, below the ground surface
    EXPECT_EQ(log.boringNumber, "BH1");
    EXPECT_EQ(log.projectNumber, "P-7");
    EXPECT_EQ(log.boringDate, "2019-05-14");
}

TEST(LogBuilder, TestsOutsideEveryStratumNeedTheNoStratumCode) {
    DataFile f = metresFile();
    f.boreholes[0].tests[3].top = 9; // below the last stratum's base
    const Borehole& b = f.boreholes[0];
    const auto rows = classifications(b);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].text, "CL");
    EXPECT_EQ(rows[0].tests, 1);
    EXPECT_EQ(rows[0].proposedCode, 25);
    EXPECT_EQ(rows[0].proposedName, "Sandy Clay (CL)");
    EXPECT_EQ(rows[1].tests, 2);
    EXPECT_TRUE(rows[2].noStratum);
    EXPECT_EQ(rows[2].tests, 1);

    ImportChoices c = proposedChoices(b);
    BuiltLog log = buildLog(f, b, c, Units::Metric);
    EXPECT_FALSE(log.ready);
    EXPECT_THAT(log.missingCodes, ElementsAre(kNoStratum));
    EXPECT_EQ(log.entries[3].code, 0);
    c.codes[kNoStratum] = 4;
    log = buildLog(f, b, c, Units::Metric);
    EXPECT_TRUE(log.ready);
    EXPECT_EQ(log.entries[3].code, 4);
    // The engineer's choice replaces a proposal; a code the log does not accept is no code.
    c.codes["SP"] = 45;
    c.codes["CL"] = 6;
    log = buildLog(f, b, c, Units::Metric);
    EXPECT_EQ(log.entries[1].code, 45);
    EXPECT_THAT(log.missingCodes, ElementsAre("CL"));
    // "*" of a map file: every classification not named.
    ImportChoices all;
    all.otherCode = 2;
    EXPECT_TRUE(buildLog(f, b, all, Units::Metric).ready);
}

TEST(LogBuilder, ClosingEntryOneTestLengthBelowTheLastTestWhenTheBottomIsNotDeeper) {
    for (int units : {Units::English, Units::Metric}) {
        DataFile f = metresFile();
        f.boreholes[0].finalDepth = 6; // the depth of the last test
        ImportChoices c;
        c.otherCode = 3;
        const BuiltLog log = buildLog(f, f.boreholes[0], c, units);
        ASSERT_TRUE(log.entries.back().closing);
        const double last = log.entries[log.entries.size() - 2].depth;
        EXPECT_NEAR(log.entries.back().depth - last, units == Units::English ? 1.5 : 0.45, 1e-9);
    }
}

TEST(LogBuilder, AtMost224SamplesTheFirstOrThoseDownToADepth) {
    DataFile f = metresFile(300);
    f.boreholes[0].finalDepth = 500;
    ImportChoices c;
    c.otherCode = 3;
    BuiltLog log = buildLog(f, f.boreholes[0], c, Units::Metric);
    EXPECT_TRUE(log.truncated);
    EXPECT_EQ(log.testsWithN, 300);
    EXPECT_EQ(log.testsKept, kMaxSamples);
    EXPECT_EQ(log.entries.size(), static_cast<std::size_t>(kMaxSamples + 1));
    EXPECT_DOUBLE_EQ(log.entries.back().depth, 224 * 1.5 + 0.45); // not the far bottom
    EXPECT_THAT(log.messages.front(), HasSubstr("300 tests"));
    c.keepDownTo = 30;
    log = buildLog(f, f.boreholes[0], c, Units::Metric);
    EXPECT_EQ(log.testsKept, 20);
    EXPECT_DOUBLE_EQ(log.entries[19].depth, 30);
    EXPECT_TRUE(log.ready);
}

TEST(LogBuilder, HammerFactorOnlyWhenChosenAndAlwaysStated) {
    DataFile f = metresFile();
    f.boreholes[0].tests[0].details = SptDetails{{}, 82, {}, "Automatic", {}};
    ImportChoices c;
    c.otherCode = 3;
    BuiltLog log = buildLog(f, f.boreholes[0], c, Units::Metric);
    EXPECT_DOUBLE_EQ(log.entries[0].n, 10);
    EXPECT_THAT(log.hammerSummary, HasSubstr("1.00"));
    EXPECT_THAT(log.hammerSummary, HasSubstr("Automatic, energy ratio 82.0 %"));
    c.hammerFactor = 1.37;
    log = buildLog(f, f.boreholes[0], c, Units::Metric);
    EXPECT_DOUBLE_EQ(log.entries[0].n, 13.7);
    EXPECT_DOUBLE_EQ(log.entries[1].n, 15.07);
    EXPECT_THAT(log.hammerSummary, HasSubstr("1.37 applied"));
}

TEST(LogBuilder, UnknownUnitsAndElevationsAreAskedFor) {
    DataFile f = metresFile();
    f.boreholes[0].depthUnit = LengthUnit::Unknown;
    f.boreholes[0].elevationUnit = LengthUnit::Unknown;
    ImportChoices c;
    c.otherCode = 3;
    BuiltLog log = buildLog(f, f.boreholes[0], c, Units::NotChosen);
    EXPECT_FALSE(log.ready);
    EXPECT_FALSE(log.groundElevation.has_value());
    c.depthUnit = LengthUnit::Feet;
    c.groundElevation = 101.5;
    log = buildLog(f, f.boreholes[0], c, Units::NotChosen);
    EXPECT_TRUE(log.ready);
    EXPECT_EQ(log.units, Units::English); // a project never set takes the file's system
    EXPECT_DOUBLE_EQ(log.entries[0].depth, 1.5);
    EXPECT_DOUBLE_EQ(*log.groundElevation, 101.5);
}

TEST(LogBuilder, OneTestGetsASurfaceEntrySoTheAnalysisHasTwo) {
    DataFile f = metresFile(1);
    ImportChoices c;
    c.otherCode = 1;
    const BuiltLog log = buildLog(f, f.boreholes[0], c, Units::Metric);
    ASSERT_EQ(log.entries.size(), 3u);
    EXPECT_TRUE(log.entries[0].surface);
    EXPECT_DOUBLE_EQ(log.entries[0].depth, 0);
    EXPECT_DOUBLE_EQ(log.entries[0].n, 0);
    EXPECT_EQ(log.entries[0].classification, "CL");
    EXPECT_TRUE(log.ready);
}

TEST(LogBuilder, ApplyWritesTheLogAndTheTickedValues) {
    auto state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    doc.depths.fill(99);
    doc.soilCodes.fill(9);
    doc.groundElevation = 1;
    doc.waterTable = -1;
    doc.boringNumber = "old";
    int notices = 0;
    doc.addChangedListener([&] { ++notices; });

    const DataFile f = metresFile();
    ImportChoices c;
    c.otherCode = 3;
    BuiltLog log = buildLog(f, f.boreholes[0], c, doc.units);
    ApplyFlags flags = defaultFlags(log);
    EXPECT_TRUE(flags.groundElevation && flags.waterTable && flags.identification);
    flags.waterTable = false;
    std::string why;
    ASSERT_TRUE(applyLog(log, doc, flags, &why)) << why;
    EXPECT_EQ(doc.units, Units::Metric);
    EXPECT_DOUBLE_EQ(doc.depths[0], 1.5);
    EXPECT_DOUBLE_EQ(doc.blowCounts[3], 13);
    EXPECT_EQ(doc.soilCodes[3], 3);
    EXPECT_DOUBLE_EQ(doc.depths[4], 12);
    EXPECT_EQ(doc.soilCodes[4], 0);
    EXPECT_DOUBLE_EQ(doc.depths[5], 0); // the old log is gone
    EXPECT_EQ(doc.soilCodes[5], 0);
    EXPECT_DOUBLE_EQ(doc.groundElevation, 10);
    EXPECT_DOUBLE_EQ(doc.waterTable, -1); // not ticked
    EXPECT_EQ(doc.boringNumber, "BH1");
    EXPECT_EQ(doc.jobName, "Quay wall");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(notices, 1);

    // Built for the other system, or with a code missing: the project stays as it is.
    doc.SetModified(false);
    log = buildLog(f, f.boreholes[0], c, Units::English);
    EXPECT_FALSE(applyLog(log, doc, flags, &why));
    EXPECT_THAT(why, HasSubstr("other unit system"));
    log = buildLog(f, f.boreholes[0], ImportChoices{}, Units::Metric);
    EXPECT_FALSE(applyLog(log, doc, flags, &why));
    EXPECT_THAT(why, HasSubstr("CL"));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_DOUBLE_EQ(doc.depths[0], 1.5);
}

TEST(LogBuilder, TestsThatMeetAtOneHundredthAreOne) {
    DataFile f = metresFile();
    f.boreholes[0].tests[1].top = 1.502; // 4.93 ft after 4.92 ft... in metres 1.50
    ImportChoices c;
    c.otherCode = 3;
    const BuiltLog log = buildLog(f, f.boreholes[0], c, Units::Metric);
    EXPECT_EQ(log.testsKept, 3);
    EXPECT_THAT(log.messages.front(), HasSubstr("1.50 m"));
}

} // namespace
} // namespace zenka::dataimport

namespace zenka::dataimport {
namespace {

TEST(LogBuilder, WaterAndMarksInTheSummary) {
    struct Case {
        const char* what;
        std::vector<double> water; // depths in m, as the file gives them
        int units;
        std::optional<double> table;
        const char* summary;
    };
    const Case cases[] = {
        {"below the ground",
         {2.5, 4},
         Units::Metric,
         -2.5,
         "4 tests of 4 kept (1 refusal); Hammer"},
        {"over water: the highest level",
         {-7.62, -1},
         Units::English,
         25,
         "(1 refusal); water 25.0 ft above the ground; Hammer"},
        {"at the ground", {0}, Units::Metric, 0, "(1 refusal); Hammer"},
        {"none", {}, Units::Metric, std::nullopt, "(1 refusal); Hammer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DataFile f = metresFile();
        f.boreholes[0].waterDepths.clear();
        for (double w : c.water) f.boreholes[0].waterDepths.push_back(w);
        std::vector<Problem> problems;
        tidyBorehole(f.boreholes[0], problems);
        ImportChoices choices = proposedChoices(f.boreholes[0]);
        choices.otherCode = 3;
        const BuiltLog log = buildLog(f, f.boreholes[0], choices, c.units);
        EXPECT_EQ(log.waterTable, c.table);
        EXPECT_THAT(importSummary(log), HasSubstr(c.summary));
    }
    // A test whose N is only the file's word carries its own mark.
    DataFile f = metresFile(2);
    f.boreholes[0].tests[1].statedOnly = true;
    ImportChoices choices;
    choices.otherCode = 3;
    const BuiltLog log = buildLog(f, f.boreholes[0], choices, Units::Metric);
    EXPECT_STREQ(entryMark(log.entries[1]), "N as stated in the file");
    EXPECT_THAT(importSummary(log),
                HasSubstr("2 tests of 2 kept (1 with N as stated in the file)"));
}

} // namespace
} // namespace zenka::dataimport
