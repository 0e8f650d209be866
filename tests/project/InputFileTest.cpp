#include "project/InputFile.h"

#include "SampleProjects.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace zenka::test::projectfiles {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// The sample file's lines with some of them replaced, as one CR LF file.
std::string exampleWith(const std::vector<std::pair<int, std::string>>& replaced) {
    std::vector<std::string> lines = crlfLines(kExampleFile);
    for (const auto& [number, text] : replaced) lines[static_cast<std::size_t>(number - 1)] = text;
    return joinCrlf(lines);
}

// The boring-log lines of a written file (they follow the lengths line for these projects).
std::vector<std::string> logLines(const std::string& bytes, int firstLogLine) {
    const auto lines = crlfLines(bytes);
    return {lines.begin() + firstLogLine - 1, lines.end()};
}

TEST(InputFile, ExampleIsWrittenByteForByteAndReadsBackTheSameProject) {
    DocWithState original;
    fillExample(original.doc);
    const std::string first = writeInputFile(original.doc);
    EXPECT_EQ(first, kExampleFile);
    EXPECT_EQ(original.doc.lengthCount, 3);

    DocWithState copy;
    readInputFile(first, copy.doc);
    EXPECT_EQ(copy.doc.station, "12+50, 10 LT");
    EXPECT_EQ(copy.doc.waterTable, -4.0);
    EXPECT_EQ(copy.doc.widthCount, 2);
    EXPECT_EQ(copy.doc.lengthCount, 0); // only the writer counts the lengths
    EXPECT_EQ(writeInputFile(copy.doc), first);
    expectSameProject(copy.doc, original.doc);

    // LF alone reads the same.
    std::string lfOnly;
    for (char c : kExampleFile)
        if (c != '\r') lfOnly += c;
    DocWithState fromLf;
    readInputFile(lfOnly, fromLf.doc);
    EXPECT_EQ(writeInputFile(fromLf.doc), first);
}

TEST(InputFile, TextsStayOnTheirLines) {
    DocWithState d;
    fillExample(d.doc);
    d.doc.station.clear();
    d.doc.waterTable = 2.5;
    d.doc.jobName = "North\r\nbank\rpier\n";
    const auto lines = crlfLines(writeInputFile(d.doc));
    EXPECT_EQ(lines[5], " watertable=          2.5000");
    EXPECT_EQ(lines[6], "North  bank pier ");

    DocWithState back;
    readInputFile(joinCrlf(lines), back.doc);
    EXPECT_EQ(back.doc.station, "");
    EXPECT_EQ(back.doc.waterTable, 2.5);
    EXPECT_EQ(back.doc.jobName, "North  bank pier ");
    EXPECT_EQ(back.doc.boringNumber, "B-1");

    // Without the tag, or with the tag at the very start, the whole line is the station.
    for (const std::string line : {"12+50 LT", "watertable=  3.0"}) {
        DocWithState s;
        readInputFile(exampleWith({{6, line}}), s.doc);
        EXPECT_EQ(s.doc.station, line);
        EXPECT_EQ(s.doc.waterTable, 0.0);
    }
    // Only the one blank the writer puts there is taken off.
    DocWithState two;
    readInputFile(exampleWith({{6, "A  watertable=1.5"}}), two.doc);
    EXPECT_EQ(two.doc.station, "A ");
    EXPECT_EQ(two.doc.waterTable, 1.5);
}

TEST(InputFile, NumbersAreTakenOneAfterTheOther) {
    // Line 9 with analysis type 2, so that line 12 holds three plain numbers.
    auto range = [](const std::string& line12) {
        DocWithState d;
        readInputFile(exampleWith({{9, "2 1"}, {12, line12}}), d.doc);
        return std::vector<double>{d.doc.minLength, d.doc.maxLength, d.doc.lengthIncrement};
    };
    using V = std::vector<double>;
    EXPECT_EQ(range("  +1.5\t-2.25e1 3E+2"), (V{1.5, -22.5, 300}));
    EXPECT_EQ(range(".5 5. 00012.5000"), (V{0.5, 5, 12.5}));
    EXPECT_EQ(range("1.2.3 4"), (V{1.2, 0.3, 4}));
    EXPECT_EQ(range("1e5x 2 3"), (V{1e5, 0, 0}));
    // An e without digits after it (and its sign) is not part of the number.
    EXPECT_EQ(range("1e 7 8"), (V{1, 0, 0}));
    EXPECT_EQ(range("1e+ 7 8"), (V{1, 0, 0}));
    EXPECT_EQ(range("2E-1 7"), (V{0.2, 7, 0}));
    // No number: 0, and the position stays, so the rest of the line is 0 too.
    EXPECT_EQ(range("abc 5 6"), (V{0, 0, 0}));
    EXPECT_EQ(range("- 5 6"), (V{0, 0, 0}));
    EXPECT_EQ(range("+-5 6 7"), (V{0, 0, 0}));
    EXPECT_EQ(range(". 5 6"), (V{0, 0, 0}));
    EXPECT_EQ(range("0x10 7 8"), (V{0, 0, 0}));
    EXPECT_EQ(range("inf 3 4"), (V{0, 0, 0}));
    EXPECT_EQ(range("-nan 3 4"), (V{0, 0, 0}));
    EXPECT_EQ(range("3 infinity 4"), (V{3, 0, 0}));
    EXPECT_EQ(range(""), (V{0, 0, 0}));
    // Out of range: too large is infinite, too small is zero.
    EXPECT_EQ(range("1e999 -1e999 1e-999"), (V{kInf, -kInf, 0}));
    EXPECT_EQ(range("1" + std::string(400, '0') + " 0." + std::string(400, '0') + "1 7"),
              (V{kInf, 0, 7}));
    EXPECT_EQ(range("0." + std::string(400, '0') + "1e400 1e99999999999999999999 -0.5"),
              (V{1e-1, kInf, -0.5}));
    EXPECT_EQ(range("1e-320 0 0")[0], 1e-320); // subnormal, not zero
    EXPECT_TRUE(std::signbit(range("-0 1 1")[0]));
}

TEST(InputFile, TextThatIsNotANumberIsNotedWithItsLine) {
    // What the line holds, and whether the reader had to stop at something not a number.
    const std::pair<std::string, bool> lines12[] = {
        {"  +1.5\t-2.25e1 3E+2", false},
        {".5 5. 00012.5000", false},
        {"1e-320 0 0", false},
        {"", false},
        {"1,018.0000 2 3", true},
        {"1.2.3 4", true},
        {"1e5x 2 3", true},
        {"1e 7 8", true},
        {"abc 5 6", true},
        {"- 5 6", true},
        {"0x10 7 8", true},
        {"inf 3 4", true},
        {"3 4 5 six", true},
        {"1 000 2", false}, // digit grouping by blanks reads as numbers
    };
    for (const auto& [line, noted] : lines12) {
        DocWithState d;
        const auto warnings = readInputFile(exampleWith({{9, "2 1"}, {12, line}}), d.doc);
        ASSERT_EQ(warnings.size(), noted ? 1u : 0u) << line;
        if (noted) {
            EXPECT_EQ(warnings[0].line, 12) << line;
        }
    }

    DocWithState example;
    EXPECT_TRUE(readInputFile(kExampleFile, example.doc).empty());

    // Texts are texts; numbers anywhere else are noted by their line, the water table too.
    DocWithState d;
    const auto warnings =
        readInputFile(exampleWith({{1, "2,"},
                                   {2, "P,1 x"},
                                   {6, "12+50 watertable=-4,5"},
                                   {7, "Job 1,2"},
                                   {10, "1 1,018.0000"},
                                   {13, "   0.00   2.00   3 \x1b[2J" + std::string(100, 'z')}}),
                      d.doc);
    ASSERT_EQ(warnings.size(), 4u);
    EXPECT_EQ(warnings[0].line, 1);
    EXPECT_EQ(warnings[1].line, 6);
    EXPECT_EQ(warnings[1].text, "-4,5");
    EXPECT_EQ(warnings[2].line, 10);
    EXPECT_EQ(warnings[2].text, "1 1,018.0000");
    // Shown printable and cut to a readable length.
    EXPECT_EQ(warnings[3].text, "0.00   2.00   3  [2J" + std::string(40, 'z') + "...");
    // Read exactly as before: the comma ends the number.
    EXPECT_EQ(d.doc.pileWidths[0], 1);
    EXPECT_EQ(d.doc.waterTable, -4);

    // Lines past the closing entry are not read, so not noted.
    DocWithState after;
    EXPECT_TRUE(readInputFile(kExampleFile + std::string("garbage, more\r\n"), after.doc).empty());

    const std::string message = readWarningsMessage("/p/bridge.in", {{10, "1 1,018.0000"}});
    EXPECT_EQ(message, "Some lines of /p/bridge.in hold text that is not a number. The values on "
                       "them were read only up to it and may be short or 0; check them before "
                       "you run the analysis.\n\nline 10: 1 1,018.0000");
    const std::vector<ReadWarning> many(12, ReadWarning{13, "x"});
    EXPECT_TRUE(
        readWarningsMessage("/p/b.in", many).ends_with("line 13: x\n... and 2 more lines."));
}

TEST(InputFile, IntegerFieldsTruncateAndSaturate) {
    // Line 8 gives the pile shape, the log lines the soil codes.
    auto shape = [](const std::string& line8) {
        DocWithState d;
        readInputFile(exampleWith({{8, line8}}), d.doc);
        return std::pair{d.doc.pileShape, d.doc.unitWeight};
    };
    EXPECT_EQ(shape("2.9 150"), (std::pair{2, 150.0}));
    EXPECT_EQ(shape("-2.9 150"), (std::pair{-2, 150.0}));
    EXPECT_EQ(shape("+1e0 150"), (std::pair{1, 150.0}));
    EXPECT_EQ(shape("1e999 150"), (std::pair{INT_MAX, 150.0}));
    EXPECT_EQ(shape("-1e999 150"), (std::pair{INT_MIN, 150.0}));
    EXPECT_EQ(shape("3e9 150"), (std::pair{INT_MAX, 150.0}));
    EXPECT_EQ(shape("-2147483648 150"), (std::pair{INT_MIN, 150.0}));
    EXPECT_EQ(shape("2147483647.9 150"), (std::pair{INT_MAX, 150.0}));
    EXPECT_EQ(shape("x 150"), (std::pair{0, 0.0}));

    DocWithState log;
    readInputFile(exampleWith({{13, "   0.00   2.00   3.99 "}, {14, "   2.50   5.00  -0.5 "}}),
                  log.doc);
    EXPECT_EQ(log.doc.soilCodes[0], 3);
    EXPECT_EQ(log.doc.soilCodes[1], 0); // -0.5 truncates to 0: the log ends there
    EXPECT_EQ(log.doc.depths[1], 2.5);
    EXPECT_EQ(log.doc.depths[2], 0.0);

    // Line 1 alone takes blanks, a sign and the leading digits only.
    auto units = [](const std::string& line1) {
        DocWithState d;
        readInputFile(exampleWith({{1, line1}}), d.doc);
        return d.doc.units;
    };
    EXPECT_EQ(units(" \t+2xyz"), 2);
    EXPECT_EQ(units("2.9"), 2);
    EXPECT_EQ(units("1e3"), 1);
    EXPECT_EQ(units("-7"), -7);
    EXPECT_EQ(units("99999999999999999999"), INT_MAX);
    EXPECT_EQ(units("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(units("abc"), 0);
    EXPECT_EQ(units(""), 0);
}

TEST(InputFile, ShortAndOddFilesReadWithoutFailing) {
    // Missing lines read as empty: texts empty, numbers 0, and the log ends at once.
    DocWithState few;
    readInputFile("1\r\nP-7\r\n", few.doc);
    EXPECT_EQ(few.doc.units, 1);
    EXPECT_EQ(few.doc.projectNumber, "P-7");
    EXPECT_EQ(few.doc.station, "");
    EXPECT_EQ(few.doc.jobName, "");
    EXPECT_EQ(few.doc.pileShape, 0);
    EXPECT_EQ(few.doc.pipeEnd, 0);
    EXPECT_EQ(few.doc.widthCount, 0);
    EXPECT_EQ(few.doc.soilCodes[0], 0);
    EXPECT_EQ(few.doc.depths[0], 0.0);

    // A file that ends inside line 11, with no line end.
    std::string cut = kExampleFile.substr(0, kExampleFile.find("10.5000") + 4);
    DocWithState inside;
    readInputFile(cut, inside.doc);
    EXPECT_EQ(inside.doc.groundElevation, 10.5);
    EXPECT_EQ(inside.doc.pileWidths[1], 24.0);
    EXPECT_EQ(inside.doc.pileLengths[0], 0.0);
    EXPECT_EQ(inside.doc.soilCodes[0], 0);

    // CR alone is no line end: the whole file is line 1.
    std::string crOnly;
    for (char c : kExampleFile)
        if (c != '\n') crOnly += c;
    DocWithState cr;
    readInputFile(crOnly, cr.doc);
    EXPECT_EQ(cr.doc.units, 1);
    EXPECT_EQ(cr.doc.projectNumber, "");
    EXPECT_EQ(cr.doc.pileShape, 0);
    EXPECT_EQ(cr.doc.soilCodes[0], 0);

    DocWithState empty;
    readInputFile("", empty.doc);
    EXPECT_EQ(empty.doc.units, 0);
    EXPECT_EQ(empty.doc.projectNumber, "");
    EXPECT_EQ(empty.doc.analysisType, 0);
    EXPECT_EQ(empty.doc.depths[0], 0.0);
}

TEST(InputFile, HugeInputsReadInOnePass) {
    // Megabyte lines and a CR-only file of several megabytes: no crash, and the values come out
    // as the rules say. (Speed is measured by the benchmarks.)
    const std::string megaDigits(1 << 20, '7');
    DocWithState d;
    readInputFile(exampleWith({{2, std::string(1 << 20, 'x')},
                               {6, std::string(1 << 20, ' ') + " watertable=" + megaDigits},
                               {11, std::string(1 << 20, ' ') + "12.5"},
                               {13, "0." + megaDigits + " " + megaDigits + "e-1048575 3"}}),
                  d.doc);
    EXPECT_EQ(d.doc.projectNumber.size(), std::size_t{1} << 20);
    EXPECT_EQ(d.doc.waterTable, kInf);
    EXPECT_EQ(d.doc.station, std::string(1 << 20, ' '));
    EXPECT_EQ(d.doc.groundElevation, 12.5);
    EXPECT_NEAR(d.doc.depths[0], 0.7777777, 1e-6);
    EXPECT_NEAR(d.doc.blowCounts[0], 7.7777777, 1e-6);
    EXPECT_EQ(d.doc.soilCodes[0], 3);

    std::string crOnly;
    crOnly.reserve(8 << 20);
    while (crOnly.size() < (8u << 20)) crOnly += "1\r";
    DocWithState cr;
    readInputFile(crOnly, cr.doc);
    EXPECT_EQ(cr.doc.units, 1);

    // Far more log lines than the log holds, none closing it: 225 entries are read.
    std::string many = exampleWith({});
    many.erase(many.find("   0.00   2.00"));
    for (int i = 0; i < 100000; ++i) many += "   1.00   2.00   3 \r\n";
    DocWithState full;
    readInputFile(many, full.doc);
    EXPECT_EQ(full.doc.soilCodes[kDocSamples - 1], 3);
    EXPECT_EQ(full.doc.depths[kDocSamples - 1], 1.0);
}

TEST(InputFile, WidthsLineHoldsTheLeadingWidths) {
    DocWithState d;
    fillExample(d.doc);
    d.doc.pileWidths = {12, 14, 0, 0, 16};
    const std::string bytes = writeInputFile(d.doc);
    EXPECT_EQ(crlfLines(bytes)[9], "2          12.0000          14.0000 ");
    DocWithState back;
    readInputFile(bytes, back.doc);
    EXPECT_EQ(back.doc.widthCount, 2);
    EXPECT_EQ(back.doc.pileWidths, (std::array<double, 5>{12, 14, 0, 0, 0}));

    // A negative width is a width (the analysis refuses it); a first width of 0 leaves none.
    d.doc.pileWidths = {12, -3, 14, 0, 0};
    EXPECT_EQ(crlfLines(writeInputFile(d.doc))[9],
              "3          12.0000          -3.0000          14.0000 ");
    d.doc.pileWidths = {0, 14, 0, 0, 0};
    EXPECT_EQ(crlfLines(writeInputFile(d.doc))[9], "0 ");

    // A steel H pile has one width, and its section on line 11.
    d.doc.pileShape = 4;
    d.doc.pileWidths = {12, 14, 0, 0, 0};
    d.doc.hPileDepth = 11.78;
    d.doc.hPileEndArea = 15.5;
    const auto hLines = crlfLines(writeInputFile(d.doc));
    EXPECT_EQ(hLines[9], " 1          12.0000 ");
    EXPECT_EQ(hLines[10], "         10.5000          11.7800          15.5000 ");
    DocWithState h;
    readInputFile(joinCrlf(hLines), h.doc);
    EXPECT_EQ(h.doc.widthCount, 1);
    EXPECT_EQ(h.doc.pileWidths, (std::array<double, 5>{12, 0, 0, 0, 0}));
    EXPECT_EQ(h.doc.hPileDepth, 11.78);
    EXPECT_EQ(h.doc.hPileEndArea, 15.5);

    // A pipe pile has its wall thickness on line 11.
    d.doc.pileShape = 3;
    d.doc.pipeThickness = 0.5;
    const auto pipeLines = crlfLines(writeInputFile(d.doc));
    EXPECT_EQ(pipeLines[10], "         10.5000           0.5000 ");
    DocWithState pipe;
    readInputFile(joinCrlf(pipeLines), pipe.doc);
    EXPECT_EQ(pipe.doc.pipeThickness, 0.5);
    EXPECT_EQ(pipe.doc.hPileDepth, 0.0);

    // The reader keeps to the five widths the project has.
    DocWithState seven;
    readInputFile(exampleWith({{10, "7 1 2 3 4 5 6 7"}}), seven.doc);
    EXPECT_EQ(seven.doc.widthCount, 5);
    EXPECT_EQ(seven.doc.pileWidths, (std::array<double, 5>{1, 2, 3, 4, 5}));
    EXPECT_EQ(seven.doc.groundElevation, 10.5);
    DocWithState negative;
    readInputFile(exampleWith({{10, "-3 1 2"}}), negative.doc);
    EXPECT_EQ(negative.doc.widthCount, 0);
    EXPECT_EQ(negative.doc.pileWidths, (std::array<double, 5>{}));
    DocWithState huge;
    readInputFile(exampleWith({{10, "1e999 1 2"}}), huge.doc);
    EXPECT_EQ(huge.doc.widthCount, 5);
    EXPECT_EQ(huge.doc.pileWidths, (std::array<double, 5>{1, 2, 0, 0, 0}));
}

TEST(InputFile, LengthsLineAndAnalysisTypes) {
    DocWithState d;
    fillExample(d.doc);
    d.doc.pileLengths = {};
    d.doc.pileLengths[0] = 30;
    d.doc.pileLengths[1] = 40;
    d.doc.pileLengths[2] = 50;
    d.doc.lengthCount = 9;
    const std::string bytes = writeInputFile(d.doc);
    EXPECT_EQ(crlfLines(bytes)[11], "          30.0000          40.0000          50.0000 ");
    EXPECT_EQ(d.doc.lengthCount, 3);
    DocWithState back;
    readInputFile(bytes, back.doc);
    std::array<double, kDocLengths> expected{};
    expected[0] = 30;
    expected[1] = 40;
    expected[2] = 50;
    EXPECT_EQ(back.doc.pileLengths, expected);

    // Twelve values: only ten are read, the log follows as usual.
    DocWithState twelve;
    readInputFile(exampleWith({{12, " 1 2 3 4 5 6 7 8 9 10 11 12 "}}), twelve.doc);
    for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(twelve.doc.pileLengths[i], double(i + 1));
    for (std::size_t i = 10; i < kDocLengths; ++i) EXPECT_EQ(twelve.doc.pileLengths[i], 0.0);
    EXPECT_EQ(twelve.doc.depths[4], 10.0);

    // A range.
    d.doc.analysisType = 2;
    d.doc.minLength = 20;
    d.doc.maxLength = 30;
    d.doc.lengthIncrement = 2.5;
    const std::string rangeBytes = writeInputFile(d.doc);
    EXPECT_EQ(crlfLines(rangeBytes)[11], "         20.0000          30.0000           2.5000 ");
    DocWithState range;
    readInputFile(rangeBytes, range.doc);
    EXPECT_EQ(range.doc.minLength, 20.0);
    EXPECT_EQ(range.doc.maxLength, 30.0);
    EXPECT_EQ(range.doc.lengthIncrement, 2.5);
    EXPECT_EQ(range.doc.pileLengths[0], 0.0);

    // No lengths line for any other analysis type, and the reader agrees.
    for (int type : {0, 3, -1}) {
        d.doc.analysisType = type;
        const std::string noLengths = writeInputFile(d.doc);
        const auto lines = crlfLines(noLengths);
        ASSERT_EQ(lines.size(), 17u);
        EXPECT_EQ(lines[11], "   0.00   2.00   3 ");
        DocWithState other;
        readInputFile(noLengths, other.doc);
        EXPECT_EQ(other.doc.analysisType, type);
        EXPECT_EQ(other.doc.depths, d.doc.depths);
        EXPECT_EQ(other.doc.soilCodes, d.doc.soilCodes);
        EXPECT_EQ(other.doc.minLength, 0.0);
        EXPECT_EQ(writeInputFile(other.doc), noLengths);
    }
}

TEST(InputFile, BoringLogEndsWithOneAllZeroLine) {
    DocWithState d;
    fillExample(d.doc);
    d.doc.depths = {};
    d.doc.blowCounts = {};
    d.doc.soilCodes = {};

    // A log that starts below the surface: its entries, the closing entry, nothing more.
    d.doc.depths[0] = 1.5;
    d.doc.blowCounts[0] = 4;
    d.doc.soilCodes[0] = 3;
    d.doc.depths[1] = 3;
    d.doc.blowCounts[1] = 6;
    d.doc.soilCodes[1] = 3;
    EXPECT_EQ(logLines(writeInputFile(d.doc), 13),
              (std::vector<std::string>{"   1.50   4.00   3 ", "   3.00   6.00   3 ",
                                        "   0.00   0.00   0 "}));

    // A closing entry with a depth keeps it, then gets the all-zero line; entries behind the
    // closing entry are not written.
    d.doc.depths[2] = 4.5;
    d.doc.depths[3] = 9;
    d.doc.soilCodes[3] = 2;
    const std::string withDepth = writeInputFile(d.doc);
    EXPECT_EQ(logLines(withDepth, 13),
              (std::vector<std::string>{"   1.50   4.00   3 ", "   3.00   6.00   3 ",
                                        "   4.50   0.00   0 ", "   0.00   0.00   0 "}));
    DocWithState back;
    readInputFile(withDepth, back.doc);
    EXPECT_EQ(back.doc.depths[2], 4.5);
    EXPECT_EQ(back.doc.soilCodes[2], 0);
    EXPECT_EQ(back.doc.depths[3], 0.0);
    EXPECT_EQ(back.doc.soilCodes[3], 0);

    // A closing entry with a blow count is not all zero either.
    d.doc.depths[2] = 0;
    d.doc.blowCounts[2] = 7;
    EXPECT_EQ(logLines(writeInputFile(d.doc), 13).size(), 4u);
}

TEST(InputFile, FullLogWritesNoMoreThanItsEntries) {
    DocWithState d;
    fillExample(d.doc);
    for (std::size_t i = 0; i < kDocSamples; ++i) {
        d.doc.depths[i] = 0.5 * double(i);
        d.doc.blowCounts[i] = double(i % 50);
        d.doc.soilCodes[i] = 3;
    }
    const std::string noClosing = writeInputFile(d.doc);
    const auto lines = logLines(noClosing, 13);
    ASSERT_EQ(lines.size(), std::size_t(kDocSamples));
    EXPECT_EQ(lines.back(), " 112.00  24.00   3 ");
    DocWithState back;
    readInputFile(noClosing, back.doc);
    EXPECT_EQ(back.doc.depths, d.doc.depths);
    EXPECT_EQ(back.doc.soilCodes, d.doc.soilCodes);

    // Closed by its last entry: still 225 lines, with no all-zero line after them.
    d.doc.soilCodes[kDocSamples - 1] = 0;
    const auto closed = logLines(writeInputFile(d.doc), 13);
    ASSERT_EQ(closed.size(), std::size_t(kDocSamples));
    EXPECT_EQ(closed.back(), " 112.00  24.00   0 ");
}

TEST(InputFile, WideLogValuesStaySeparate) {
    DocWithState d;
    fillExample(d.doc);
    d.doc.depths = {};
    d.doc.blowCounts = {};
    d.doc.soilCodes = {};
    const double depths[] = {1000, 1500.5, -100, 5, 2000};
    const double blows[] = {1000, -100, 12345.678, 5, 0};
    const int codes[] = {3, 1000, -100, 12345, 0};
    for (std::size_t i = 0; i < 5; ++i) {
        d.doc.depths[i] = depths[i];
        d.doc.blowCounts[i] = blows[i];
        d.doc.soilCodes[i] = codes[i];
    }
    const std::string bytes = writeInputFile(d.doc);
    EXPECT_EQ(logLines(bytes, 13),
              (std::vector<std::string>{" 1000.00 1000.00   3 ", " 1500.50 -100.00 1000 ",
                                        " -100.00 12345.68 -100 ", "   5.00   5.00 12345 ",
                                        " 2000.00   0.00   0 ", "   0.00   0.00   0 "}));
    DocWithState back;
    readInputFile(bytes, back.doc);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(back.doc.depths[i], depths[i]) << i;
        EXPECT_NEAR(back.doc.blowCounts[i], blows[i], 0.005) << i;
        EXPECT_EQ(back.doc.soilCodes[i], codes[i]) << i;
    }
}

TEST(InputFile, WritingNormalisesUnitsAndPipeEnd) {
    DocWithState d;
    fillExample(d.doc);
    d.doc.units = -1;
    d.doc.pipeEnd = 0;
    auto lines = crlfLines(writeInputFile(d.doc));
    EXPECT_EQ(lines[0], "2");
    EXPECT_EQ(lines[8], "1 2");
    EXPECT_EQ(d.doc.units, 2);
    EXPECT_EQ(d.doc.pipeEnd, 2);

    d.doc.pipeEnd = 7;
    d.doc.units = 1;
    lines = crlfLines(writeInputFile(d.doc));
    EXPECT_EQ(lines[0], "1");
    EXPECT_EQ(lines[8], "1 2");
    d.doc.pipeEnd = 1;
    EXPECT_EQ(crlfLines(writeInputFile(d.doc))[8], "1 1");
}

TEST(InputFile, ReportNameReplacesTheLastExtension) {
    EXPECT_EQ(reportNameFor("bridge.in"), "bridge.out");
    EXPECT_EQ(reportNameFor("a.b.in"), "a.b.out");
    EXPECT_EQ(reportNameFor("bridge"), "bridge.out");
    EXPECT_EQ(reportNameFor("x.out"), "x.out.out");
    EXPECT_EQ(reportNameFor("a."), "a.out");
    const std::string longName = "a-very-long-project-name-for-the-bridge-2024.in";
    EXPECT_EQ(reportNameFor(longName), "a-very-long-project-name-for-the-bridge-2024.out");
}

} // namespace
} // namespace zenka::test::projectfiles

namespace zenka::test::projectfiles {
namespace {

// Every project the program ships or tests with must open; these are the files a mis-click in the
// Open dialog may pick instead.
TEST(ProjectFileCheck, EveryShippedAndTestProjectPasses) {
    namespace fs = std::filesystem;
    const fs::path source = ZENKA_SOURCE_DIR;
    int seen = 0;
    for (const char* folder :
         {"examples", "tests/golden/inputs", "tests/hostile/data", "fuzz/seeds"}) {
        for (const auto& entry : fs::directory_iterator(source / folder)) {
            if (entry.path().extension() != ".in") continue;
            ++seen;
            EXPECT_EQ(projectFileProblem(readBytes(entry.path().string())), "") << entry.path();
        }
    }
    EXPECT_GE(seen, 25);

    // Files a person edited: LF alone, CR alone, a byte order mark, blanks and a sign on line 1,
    // texts in Latin-1, an end-of-file mark, the unit code not chosen, text in a log line.
    std::string lfOnly;
    for (char c : kExampleFile)
        if (c != '\r') lfOnly += c;
    std::string crOnly;
    for (char c : kExampleFile)
        if (c != '\n') crOnly += c;
    for (const std::string& bytes :
         {kExampleFile, lfOnly, crOnly, "\xEF\xBB\xBF" + kExampleFile, exampleWith({{1, "  +2\t"}}),
          exampleWith({{1, "-1"}}), exampleWith({{7, "Br\xFC\x63ke \xA7 3"}}),
          kExampleFile + "\x1A", exampleWith({{10, "1 1,018.0000"}, {13, "end of boring"}}),
          exampleWith({{8, "-Inf 150"}, {11, "nan"}}), kExampleFile + std::string(3 << 20, ' ')})
        EXPECT_EQ(projectFileProblem(bytes), "") << bytes.substr(0, 40);
}

TEST(ProjectFileCheck, FilesThatAreNoProjectSayWhy) {
    namespace fs = std::filesystem;
    const fs::path expected = fs::path(ZENKA_SOURCE_DIR) / "tests/golden/expected";
    const std::string report = readBytes((expected / "cylinder-cap.out").string());
    const std::string depths = readBytes((expected / "cylinder-cap.SPTDEPTH.TMP").string());
    ASSERT_FALSE(report.empty());
    ASSERT_FALSE(depths.empty());
    struct Case {
        std::string bytes;
        std::string why;
    };
    const Case cases[] = {
        {"", "the file is empty"},
        {"\xEF\xBB\xBF", "the file is empty"},
        {report, "line 1 holds \"  \" where the unit code belongs"},
        {depths, "line 1 holds \"OPT1,ENGLISH\" where the unit code belongs"},
        {"\"GROUP\",\"PROJ\"\r\n\"HEADING\",\"PROJ_ID\"\r\n",
         "line 1 holds \"\"GROUP\",\"PROJ\"\" where the unit code belongs"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Diggs>",
         "line 1 holds \"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\" where the unit code "
         "belongs"},
        {"depth,blows,soil\n0,8,1\n",
         "line 1 holds \"depth,blows,soil\" where the unit code belongs"},
        {"%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n",
         "line 1 holds \"%PDF-1.7\" where the unit code belongs"},
        // A file of numbers, one a line, as a spreadsheet exports a column.
        {"1\n2\n3\n", "it ends after line 3, before line 8 (pile shape and unit weight)"},
        {"1\r\nP-7\r\n", "it ends after line 2, before line 8 (pile shape and unit weight)"},
        {"10\r\n", "line 1 holds \"10\" where the unit code belongs"},
        {"0\r\n", "line 1 holds \"0\" where the unit code belongs"},
        {"1.0\r\n", "line 1 holds \"1.0\" where the unit code belongs"},
        {exampleWith({{4, std::string("D. \0E.", 6)}}),
         "line 4 holds binary data (a NUL byte), a project is text only"},
        {exampleWith({{12, std::string(100, '\x1B')}}),
         "100 of its " + std::to_string(exampleWith({{12, std::string(100, 'x')}}).size()) +
             " bytes are control characters, a project is text"},
        // Names keep whatever was typed or imported, and such a project opens again.
        {exampleWith({{2, std::string(30, '\x1B')}, {7, std::string(50, '\a')}}), ""},
        {exampleWith({{8, "square 150"}}),
         "line 8 holds \"square 150\" where numbers belong (pile shape and unit weight)"},
        {exampleWith({{9, ""}}),
         "line 9 holds \"\" where numbers belong (analysis type and pipe end)"},
        {exampleWith({{11, "-.x"}}),
         "line 11 holds \"-.x\" where numbers belong (ground elevation)"},
        {exampleWith({{8, "one 150"}}),
         "line 8 holds \"one 150\" where numbers belong (pile shape and unit weight)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(projectFileProblem(c.bytes), c.why) << c.bytes.substr(0, 40);
}

TEST(ProjectFileCheck, TheReaderSkipsAByteOrderMark) {
    DocWithState plain, marked;
    readInputFile(kExampleFile, plain.doc);
    EXPECT_TRUE(readInputFile("\xEF\xBB\xBF" + kExampleFile, marked.doc).empty());
    EXPECT_EQ(marked.doc.units, 1);
    EXPECT_EQ(writeInputFile(marked.doc), writeInputFile(plain.doc));
}

} // namespace
} // namespace zenka::test::projectfiles
