// Rows pasted into the boring log editor from a spreadsheet, read as the editor's fields read
// them: every row or none.

#include "forms/BoringLogEdit.h"
#include "forms/FormLogic.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace zenka {
namespace {

struct Row {
    double depth;
    double blows;
    int soil;
};

struct PasteCase {
    const char* name;
    std::string text;
    int first;
    std::vector<Row> rows;
    PasteError error = PasteError::None;
    int badRow = 0;
    int badColumn = 0;
};

const std::vector<PasteCase>& pasteCases() {
    static const std::vector<PasteCase> cases = {
        {"tabs LF", "1\t8\t1\n5.5\t10\t3\n", 1, {{1, 8, 1}, {5.5, 10, 3}}},
        {"tabs CRLF", "1\t8\t1\r\n5.5\t10\t3\r\n", 1, {{1, 8, 1}, {5.5, 10, 3}}},
        {"no last line end", "1\t8\t1\n2\t9\t25", 1, {{1, 8, 1}, {2, 9, 25}}},
        {"CR alone", "1\t8\t1\r2\t9\t3", 1, {{1, 8, 1}, {2, 9, 3}}},
        {"semicolons", "1;8;1\n2 ; 9 ; 3", 1, {{1, 8, 1}, {2, 9, 3}}},
        {"commas", "1,8,1\n2, 9, 3", 1, {{1, 8, 1}, {2, 9, 3}}},
        {"several blanks", "  1   8  1\n2 9     3  ", 1, {{1, 8, 1}, {2, 9, 3}}},
        {"tabs keep blanks in a cell", "1\t2 9\t3", 1, {}, PasteError::NotNumber, 0, 1},
        {"tab beats comma", "1,5\t8\t1", 1, {}, PasteError::NotNumber, 0, 0},
        {"header skipped", "Depth (ft)\tN\tSoil\n0\t8\t1\n60\t0\t0\n", 1, {{0, 8, 1}, {60, 0, 0}}},
        {"header after blank lines", "\n\r\nDepth;N;Soil type\n3;4;5", 1, {{3, 4, 5}}},
        {"second text row refused",
         "Depth\tN\tSoil\nft\tblows\tcode\n1\t2\t3",
         1,
         {},
         PasteError::NotNumber,
         0,
         0},
        {"blank lines between", "1\t2\t3\n\n   \n\t\t\n4\t5\t0\n", 1, {{1, 2, 3}, {4, 5, 0}}},
        {"trailing empty cells", "1\t2\t3\t\t\n", 1, {{1, 2, 3}}},
        {"signs and exponent", "-1.5e1\t+7\t-2", 1, {{-15, 7, -2}}},
        {"header only", "Depth\tN\tSoil\n", 1, {}},
        {"nothing", "", 1, {}},
        {"first row with a typo is data", "1\t1O\t3\n2\t3\t3", 1, {}, PasteError::NotNumber, 0, 1},
        {"bad depth in row 2", "1\t2\t3\nx\t2\t3", 1, {}, PasteError::NotNumber, 1, 0},
        {"empty blow count", "1\t\t3", 1, {}, PasteError::NotNumber, 0, 1},
        {"soil type not integer", "1\t2\t3.5", 1, {}, PasteError::NotInteger, 0, 2},
        {"soil type too big", "1\t2\t99999999999", 1, {}, PasteError::NotInteger, 0, 2},
        {"nan", "nan\t2\t3", 1, {}, PasteError::NotNumber, 0, 0},
        {"two values", "1\t2", 1, {}, PasteError::Columns, 0, 0},
        {"four values", "1\t2\t3\t4", 1, {}, PasteError::Columns, 0, 0},
        {"last entry fits", "1\t2\t3\n4\t5\t0", 224, {{1, 2, 3}, {4, 5, 0}}},
        {"one past entry 225", "1\t2\t3\n4\t5\t0\n6\t7\t0", 224, {}, PasteError::TooMany, 2, 0},
        {"at entry 225", "1\t2\t3\n4\t5\t0", 225, {}, PasteError::TooMany, 1, 0},
    };
    return cases;
}

class PasteRows : public ::testing::TestWithParam<PasteCase> {};

TEST_P(PasteRows, ParsesAllOrNothing) {
    const PasteCase& c = GetParam();
    const PastedRows got = parsePastedRows(c.text, c.first);
    EXPECT_EQ(got.error, c.error);
    if (c.error != PasteError::None) {
        EXPECT_EQ(got.badRow, c.badRow);
        EXPECT_EQ(got.badColumn, c.badColumn);
        return;
    }
    ASSERT_EQ(got.rows.size(), c.rows.size());
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
        EXPECT_EQ(got.rows[i].depth, c.rows[i].depth) << i;
        EXPECT_EQ(got.rows[i].blowCount, c.rows[i].blows) << i;
        EXPECT_EQ(got.rows[i].soilType, c.rows[i].soil) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, PasteRows, ::testing::ValuesIn(pasteCases()), [](const auto& info) {
    std::string name;
    for (char ch : std::string(info.param.name))
        name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
});

TEST(PasteRowsMessage, TheFieldsOwnOrTheRoomLeft) {
    EXPECT_EQ(pasteMessage(parsePastedRows("x\t1\t1", 1), 1),
              "Pasted row 1 (entry 1), depth: please enter a number.");
    EXPECT_EQ(pasteMessage(parsePastedRows("Depth\tN\tSoil\n1\t1\t1\n2\tx\t1", 7), 7),
              "Pasted row 2 (entry 8), blow count: please enter a number.");
    EXPECT_EQ(pasteMessage(parsePastedRows("1\t1\t1\n1\t1\tx", 1), 1),
              "Pasted row 2 (entry 2), soil type: please enter an integer.");
    EXPECT_EQ(pasteMessage(parsePastedRows("1\t1", 1), 1),
              "Pasted row 1 (entry 1): each pasted row needs a depth, a blow count and a soil "
              "type.");
    EXPECT_EQ(pasteMessage(parsePastedRows("1 1 1\n2 2 2\n3 3 3", 224), 224),
              "Only 2 rows fit from entry 224 to entry 225: nothing was pasted.");
    EXPECT_EQ(pasteMessage(parsePastedRows("1 1 1\n2 2 2", 225), 225),
              "Only 1 row fits from entry 225 to entry 225: nothing was pasted.");
    EXPECT_EQ(pasteMessage(parsePastedRows("1 1 1", 1), 1), "");
}

TEST(PasteRowsSingleValue, IsLeftToTheField) {
    struct Case {
        const char* text;
        bool single;
    };
    const Case cases[] = {{"12.5", true}, {" 12.5 \n", true}, {"", true},    {"1\t2", false},
                          {"1 2", false}, {"1\n2", false},    {"1;2", false}};
    for (const Case& c : cases) EXPECT_EQ(isSingleValue(c.text), c.single) << c.text;
}

TEST(ApplyPastedRows, OverwritesOnlyThePastedEntries) {
    WorkingLog log;
    for (int i = 1; i <= kDocSamples; ++i) log.setEntry(i, {double(i), double(100 + i), 3});
    const std::vector<LogEntry> rows = {{0.5, 1, 1}, {0.75, 2, 2}, {9, 0, 0}};
    EXPECT_EQ(applyPastedRows(log, 44, rows), LogEdit::Done);
    EXPECT_EQ(log.entry(43).depth, 43);
    EXPECT_EQ(log.entry(44).depth, 0.5);
    EXPECT_EQ(log.entry(45).blowCount, 2);
    EXPECT_EQ(log.entry(46).soilType, 0);
    EXPECT_EQ(log.entry(47).depth, 47);
    EXPECT_EQ(log.entry(47).soilType, 3);

    const WorkingLog before = log;
    EXPECT_EQ(applyPastedRows(log, 224, rows), LogEdit::Full);
    EXPECT_EQ(applyPastedRows(log, 0, rows), LogEdit::OutOfLog);
    EXPECT_EQ(log.depths, before.depths);
    EXPECT_EQ(log.soilCodes, before.soilCodes);
    EXPECT_EQ(applyPastedRows(log, 223, rows), LogEdit::Done);
    EXPECT_EQ(log.entry(225).depth, 9);
}

TEST(RowsText, PastesBackAsTheSameRows) {
    const std::vector<LogEntry> rows = {{1.25, 8, 11}, {0.1 + 0.2, 1e20, 0}};
    const std::string text = rowsText(rows);
    EXPECT_EQ(text, "1.25\t8\t11\n0.3\t1e+20\t0\n");
    const PastedRows back = parsePastedRows(text, 1);
    ASSERT_EQ(back.rows.size(), 2u);
    EXPECT_EQ(back.rows[1].depth, 0.3);
    EXPECT_EQ(back.rows[1].soilType, 0);
}

} // namespace
} // namespace zenka
