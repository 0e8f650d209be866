#include "forms/FormLogic.h"
#include "engine/AnalysisState.h"
#include "forms/BoringLogEdit.h"
#include "forms/FormFields.h"
#include "model/PelbrinDoc.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace zenka {
namespace {

class FormLogicTest : public ::testing::Test {
protected:
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
};

TEST_F(FormLogicTest, FieldsReadPlainDecimalNumbersOnly) {
    EXPECT_EQ(parseNumber("  12.5 "), 12.5);
    EXPECT_EQ(parseNumber("-4"), -4.0);
    EXPECT_EQ(parseNumber("+.5"), 0.5);
    EXPECT_EQ(parseNumber("1e3"), 1000.0);
    EXPECT_EQ(parseNumber("7."), 7.0);
    for (const char* bad :
         {"", "   ", "1,5", "12abc", "abc", "--1", "+-1", "inf", "nan", "1e400", "0x10", "1 2"})
        EXPECT_FALSE(parseNumber(bad).has_value()) << bad;

    EXPECT_EQ(parseInteger(" 42 "), 42);
    EXPECT_EQ(parseInteger("-3"), -3);
    EXPECT_EQ(parseInteger("+7"), 7);
    for (const char* bad : {"", "4.0", "1e2", "x", "2147483648", "99999999999999999999"})
        EXPECT_FALSE(parseInteger(bad).has_value()) << bad;
    EXPECT_EQ(parseInteger("-2147483648"), std::numeric_limits<int>::min());

    EXPECT_EQ(numberRangeMessage(0, 1000000), "Please enter a number between 0 and 1000000.");
    EXPECT_EQ(numberRangeMessage(0, 10000000), "Please enter a number between 0 and 10000000.");
    EXPECT_EQ(integerRangeMessage(0, 250), "Please enter an integer between 0 and 250.");
    EXPECT_EQ(maxCharsMessage(50), "Please enter no more than 50 characters.");
}

TEST_F(FormLogicTest, WaterTableShowsAndStoresItsSign) {
    // Above, below and at the ground: the form holds the project's signed value both ways.
    for (const double water : {5.0, -5.85, 0.0}) {
        doc.waterTable = water;
        FormValues v = loadFormValues(doc);
        EXPECT_EQ(v.waterTable, water);
        doc.waterTable = 99;
        storeFormValues(v, doc);
        EXPECT_EQ(doc.waterTable, water);
    }
    // A sign or a point typed first is a number on its way; anything more is judged as typed.
    for (const char* start : {"-", "+", ".", "-.", "+."}) EXPECT_TRUE(numberUnderway(start));
    for (const char* other : {"", "-5", "--", "-a", " - ", "5."})
        EXPECT_FALSE(numberUnderway(other));

    // A negative zero, read from a file or typed, is the ground surface: "0", never "-0".
    doc.waterTable = -0.0;
    EXPECT_FALSE(std::signbit(loadFormValues(doc).waterTable));
    FormValues v = loadFormValues(doc);
    v.waterTable = -0.0;
    storeFormValues(v, doc);
    EXPECT_FALSE(std::signbit(doc.waterTable));
}

TEST_F(FormLogicTest, LoadAndStoreMapCodesAndCounts) {
    // Codes: English loads as 0, anything else as Metric; shapes and analysis types out of
    // range load as none; a pipe end other than 1 loads as Closed End.
    doc.units = 1;
    doc.pileShape = 4;
    doc.analysisType = 2;
    doc.pipeEnd = 0;
    FormValues v = loadFormValues(doc);
    EXPECT_EQ(v.unitIndex, 0);
    EXPECT_EQ(v.shapeIndex, 3);
    EXPECT_EQ(v.analysisIndex, 1);
    EXPECT_EQ(v.pipeEndIndex, 1);
    doc.units = -1;
    doc.pileShape = 9;
    doc.analysisType = 0;
    v = loadFormValues(doc);
    EXPECT_EQ(v.unitIndex, 1);
    EXPECT_EQ(v.shapeIndex, -1);
    EXPECT_EQ(v.analysisIndex, -1);

    // The store step leaves units, shape and analysis type alone and counts leading values.
    v.lengths = {10, 0, 30};
    v.lengths[19] = 99; // lengths 11 to 20 go through untouched
    v.widths = {0, 12};
    v.pipeEndIndex = 0;
    storeFormValues(v, doc);
    EXPECT_EQ(doc.lengthCount, 1);
    EXPECT_EQ(doc.widthCount, 0);
    EXPECT_EQ(doc.pileLengths[19], 99);
    EXPECT_EQ(doc.units, -1);
    EXPECT_EQ(doc.pileShape, 9);
    EXPECT_EQ(doc.pipeEnd, 1);
    v.widths = {12, 14, 16, 18, 20};
    v.lengths.fill(1);
    storeFormValues(v, doc);
    EXPECT_EQ(doc.widthCount, 5);
    EXPECT_EQ(doc.lengthCount, 20);
}

TEST_F(FormLogicTest, RadioIndicesAndCodesMeetInTheRadioLists) {
    struct Case {
        int code;
        int shapeIndex, analysisIndex, unitIndex, pipeEndIndex; // -1: no radio of that group
    };
    const Case cases[] = {
        {-1, -1, -1, -1, -1}, {0, -1, -1, -1, -1}, {1, 0, 0, 0, 0},    {2, 1, 1, 1, 1},
        {3, 2, -1, -1, -1},   {4, 3, -1, -1, -1},  {5, 4, -1, -1, -1}, {6, -1, -1, -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(radioIndex(kShapeRadios, c.code), c.shapeIndex) << c.code;
        EXPECT_EQ(radioIndex(kAnalysisRadios, c.code), c.analysisIndex) << c.code;
        EXPECT_EQ(radioIndex(kUnitRadios, c.code), c.unitIndex) << c.code;
        EXPECT_EQ(radioIndex(kPipeEndRadios, c.code), c.pipeEndIndex) << c.code;
        // Back again: every index of a radio gives the code it came from.
        if (c.shapeIndex >= 0) {
            EXPECT_EQ(radioCode(kShapeRadios, c.shapeIndex), c.code);
        }
        if (c.analysisIndex >= 0) {
            EXPECT_EQ(radioCode(kAnalysisRadios, c.analysisIndex), c.code);
        }
    }
    // No radio checked is written as 0, which is neither a shape nor an analysis type.
    EXPECT_EQ(radioCode(kShapeRadios, -1), 0);
    EXPECT_EQ(radioCode(kAnalysisRadios, -1), AnalysisType::None);
    EXPECT_EQ(radioCode(kShapeRadios, 5), 0);
    EXPECT_FALSE(PileShape::known(radioCode(kShapeRadios, -1)));
}

TEST_F(FormLogicTest, EveryCopiedFieldReachesItsOwnProjectValue) {
    // Each project value a distinct number or text, so that two rows crossed show up.
    double x = 1;
    for (double* d : {&doc.unitWeight, &doc.groundElevation, &doc.pipeThickness, &doc.hPileDepth,
                      &doc.hPileEndArea, &doc.minLength, &doc.maxLength, &doc.lengthIncrement})
        *d = x++;
    for (double& d : doc.pileLengths) d = x++;
    for (double& d : doc.pileWidths) d = x++;
    int t = 0;
    for (std::string* s : {&doc.projectNumber, &doc.jobName, &doc.engineer, &doc.boringDate,
                           &doc.boringNumber, &doc.station})
        *s = "text" + std::to_string(t++);

    const FormValues v = loadFormValues(doc);
    EXPECT_EQ(v.unitWeight, 1);
    EXPECT_EQ(v.groundElevation, 2);
    EXPECT_EQ(v.pipeThickness, 3);
    EXPECT_EQ(v.hPileDepth, 4);
    EXPECT_EQ(v.hPileEndArea, 5);
    EXPECT_EQ(v.minLength, 6);
    EXPECT_EQ(v.maxLength, 7);
    EXPECT_EQ(v.lengthIncrement, 8);
    EXPECT_EQ(v.lengths.front(), 9);
    EXPECT_EQ(v.lengths.back(), 28);
    EXPECT_EQ(v.widths.front(), 29);
    EXPECT_EQ(v.widths.back(), 33);
    EXPECT_EQ(v.projectNumber, "text0");
    EXPECT_EQ(v.jobName, "text1");
    EXPECT_EQ(v.engineer, "text2");
    EXPECT_EQ(v.boringDate, "text3");
    EXPECT_EQ(v.boringNumber, "text4");
    EXPECT_EQ(v.station, "text5");

    // And back into a project that had none of them.
    auto otherState = std::make_unique<AnalysisState>();
    CPelbrinDoc other;
    storeFormValues(v, other);
    EXPECT_EQ(loadFormValues(other), v);
}

TEST_F(FormLogicTest, TheFieldTableReadsInTheFormsOrder) {
    std::vector<std::string> order;
    for (const FormField& f : kFormFields) order.emplace_back(f.control);
    EXPECT_EQ(order, (std::vector<std::string>{
                         "boringDate",    "boringNumber",    "engineer",     "jobName",
                         "projectNumber", "analysisRadios",  "unitRadios",   "station",
                         "shapeRadios",   "unitWeight",      "hPileEndArea", "groundElevation",
                         "hPileDepth",    "lengthIncrement", "maxLength",    "pipeThickness",
                         "width",         "minLength",       "length",       "pipeEndRadios",
                         "waterTable"}));
    // Texts carry their lengths, numbers their bounds.
    EXPECT_EQ(formField("jobName")->maxChars, 50);
    EXPECT_EQ(formField("station")->maxChars, 30);
    EXPECT_EQ(formField("hPileEndArea")->high, 10000000.0);
    EXPECT_EQ(formField("width")->high, 1000000.0);
    EXPECT_FALSE(formField("groundElevation")->high.has_value());
    EXPECT_FALSE(formField("waterTable")->high.has_value());
    EXPECT_EQ(formField("length")->offered, 10);
    EXPECT_EQ(formField("nothing"), nullptr);
}

// e1 .. e<count> at depths 1, 2, ... with blow counts 10 + i and soil 3, then the end of the log.
WorkingLog numberedLog(int count) {
    WorkingLog log;
    for (int i = 1; i <= count; ++i) log.setEntry(i, {double(i), 10.0 + i, 3});
    log.setEntry(count + 1, {count + 1.0, 0, 0});
    return log;
}

TEST(BoringLogEditTest, InsertMovesTheLogDownToItsEnd) {
    WorkingLog log = numberedLog(50);
    const LogEntry x{9.5, 77, 2};
    EXPECT_EQ(insertEntry(log, 10, x), LogEdit::Done);
    for (int i = 1; i <= 9; ++i) EXPECT_EQ(log.entry(i).depth, i);
    EXPECT_EQ(log.entry(10).blowCount, 77);
    for (int i = 11; i <= 51; ++i) EXPECT_EQ(log.entry(i).depth, i - 1) << i;
    EXPECT_EQ(log.entry(46).depth, 45); // page 2 begins with e45
    EXPECT_EQ(log.entry(52).soilType, 0);
    EXPECT_EQ(log.entry(52).depth, 51);
    EXPECT_EQ(log.entry(53).depth, 0);

    // Behind the end of the log: written there, nothing moves.
    WorkingLog beyond = numberedLog(5);
    EXPECT_EQ(insertEntry(beyond, 9, x), LogEdit::Done);
    EXPECT_EQ(beyond.entry(6).soilType, 0);
    EXPECT_EQ(beyond.entry(6).depth, 6);
    EXPECT_EQ(beyond.entry(7).depth, 0);
    EXPECT_EQ(beyond.entry(9).depth, 9.5);

    // No room: the end-of-log entry is entry 225, or there is none.
    WorkingLog full = numberedLog(224);
    const WorkingLog before = full;
    EXPECT_EQ(insertEntry(full, 3, x), LogEdit::Full);
    EXPECT_EQ(full.depths, before.depths);
    WorkingLog endless;
    endless.soilCodes.fill(3);
    EXPECT_EQ(insertEntry(endless, 1, x), LogEdit::Full);
    EXPECT_EQ(endless.soilCodes[0], 3);

    // Entry numbers outside the log change nothing.
    WorkingLog small = numberedLog(3);
    EXPECT_EQ(insertEntry(small, 0, x), LogEdit::OutOfLog);
    EXPECT_EQ(insertEntry(small, 226, x), LogEdit::OutOfLog);
    EXPECT_EQ(small.depths, numberedLog(3).depths);

    // Into a log with one entry less than full the end moves to 225.
    WorkingLog nearlyFull = numberedLog(223);
    EXPECT_EQ(insertEntry(nearlyFull, 1, x), LogEdit::Done);
    EXPECT_EQ(nearlyFull.entry(225).soilType, 0);
    EXPECT_EQ(nearlyFull.entry(225).depth, 224);
    EXPECT_TRUE(logIsFull(nearlyFull));
}

TEST(BoringLogEditTest, DeleteMovesUpToTheNextEndOfLog) {
    // A zero blow count is no end of the log; only soil type 0 is.
    WorkingLog log;
    log.setEntry(1, {0, 5, 3});
    log.setEntry(2, {2, 0, 3});
    log.setEntry(3, {4, 8, 3});
    log.setEntry(4, {6, 0, 0});
    log.setEntry(6, {99, 9, 9}); // behind the end: untouched
    EXPECT_EQ(deleteEntry(log, 1), LogEdit::Done);
    EXPECT_EQ(log.entry(1).depth, 2);
    EXPECT_EQ(log.entry(1).blowCount, 0);
    EXPECT_EQ(log.entry(2).depth, 4);
    EXPECT_EQ(log.entry(3).depth, 6);
    EXPECT_EQ(log.entry(3).soilType, 0);
    EXPECT_EQ(log.entry(4).depth, 0);
    EXPECT_EQ(log.entry(6).depth, 99);

    // Deleting the end-of-log entry itself clears it and moves nothing.
    EXPECT_EQ(deleteEntry(log, 3), LogEdit::Done);
    EXPECT_EQ(log.entry(3).depth, 0);
    EXPECT_EQ(log.entry(2).depth, 4);
    EXPECT_EQ(log.entry(6).depth, 99);

    // Without an end the whole rest of the log moves up and entry 225 becomes free.
    WorkingLog endless;
    for (int i = 1; i <= kDocSamples; ++i) endless.setEntry(i, {double(i), 1, 3});
    EXPECT_EQ(deleteEntry(endless, 224), LogEdit::Done);
    EXPECT_EQ(endless.entry(224).depth, 225);
    EXPECT_EQ(endless.entry(225).soilType, 0);
    EXPECT_EQ(endless.entry(225).depth, 0);
    EXPECT_EQ(deleteEntry(endless, 0), LogEdit::OutOfLog);
}

TEST(BoringLogEditTest, EntryNumbersOutsideTheLogReadEmptyAndWriteNothing) {
    // These once indexed past the arrays: 226 read and wrote the first blow count, 0 and -1
    // the memory before the log.
    WorkingLog log = numberedLog(5);
    log.setEntry(225, {225, 5, 3});
    const WorkingLog before = log;
    for (int n : {0, -1, 226, 227, INT_MAX, INT_MIN}) {
        log.setEntry(n, {7, 8, 9});
        const LogEntry e = log.entry(n);
        EXPECT_EQ(e.depth, 0) << n;
        EXPECT_EQ(e.blowCount, 0) << n;
        EXPECT_EQ(e.soilType, 0) << n;
    }
    EXPECT_EQ(log.depths, before.depths);
    EXPECT_EQ(log.blowCounts, before.blowCounts);
    EXPECT_EQ(log.soilCodes, before.soilCodes);
}

TEST(BoringLogEditTest, EndOfLogWithoutDepthIsRepaired) {
    WorkingLog log;
    log.setEntry(1, {40, 5, 3});
    log.setEntry(2, {42.5, 9, 3});
    repairEndOfLog(log);
    EXPECT_DOUBLE_EQ(log.entry(3).depth, 42.6);

    // An end-of-log entry with a depth, or one with a blow count, is left as typed; so is an
    // empty first entry, which has no previous depth.
    WorkingLog typed = numberedLog(2);
    repairEndOfLog(typed);
    EXPECT_EQ(typed.entry(3).depth, 3);
    WorkingLog counted;
    counted.setEntry(1, {1, 2, 3});
    counted.setEntry(2, {0, 4, 0});
    repairEndOfLog(counted);
    EXPECT_EQ(counted.entry(2).depth, 0);
    WorkingLog empty;
    repairEndOfLog(empty);
    EXPECT_EQ(empty.entry(1).depth, 0);
    // A negative soil code counts as the end as well.
    WorkingLog negative;
    negative.setEntry(1, {3, 2, 1});
    negative.setEntry(2, {0, 0, -1});
    repairEndOfLog(negative);
    EXPECT_DOUBLE_EQ(negative.entry(2).depth, 3.1);
}

TEST_F(FormLogicTest, WorkingLogRoundTripsThroughTheProject) {
    doc.depths[0] = 1.5;
    doc.blowCounts[224] = 3;
    doc.soilCodes[10] = 21;
    WorkingLog log = logOf(doc);
    EXPECT_EQ(log.entry(1).depth, 1.5);
    EXPECT_EQ(log.entry(225).blowCount, 3);
    EXPECT_EQ(log.entry(11).soilType, 21);
    log.setEntry(2, {4, 5, 6});
    EXPECT_FALSE(doc.IsModified());
    writeLogBack(log, doc);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.depths[1], 4);
    EXPECT_EQ(doc.soilCodes[1], 6);
}

} // namespace
} // namespace zenka
