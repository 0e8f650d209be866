#include "model/Numbers.h"
#include "model/PelbrinDoc.h"
#include "model/PileShapes.h"
#include "model/SoilCatalogue.h"

#include <gtest/gtest.h>

#include <array>

namespace zenka {
namespace {

TEST(SoilCatalogue, GroupIsTheFirstDigitOfAValidCode) {
    struct Case {
        int code;
        int group;
    };
    const Case cases[] = {{0, 0},   {1, 1},   {11, 1},  {2, 2},   {21, 2},  {28, 2},
                          {3, 3},   {31, 3},  {35, 3},  {4, 4},   {41, 4},  {45, 4},
                          {5, 5},   {-1, -1}, {6, -1},  {10, -1}, {12, -1}, {20, -1},
                          {29, -1}, {36, -1}, {46, -1}, {50, -1}, {51, -1}, {100, -1}};
    for (const Case& c : cases) EXPECT_EQ(soilGroupOf(c.code), c.group) << c.code;
    for (const SoilCodeName& s : soilCodeNames()) {
        EXPECT_TRUE(validSoilCode(s.code));
        EXPECT_EQ(soilGroupOf(s.code), s.code < 10 ? s.code : s.code / 10) << s.code;
    }
    EXPECT_EQ(soilCodeListing(soilCodeNames()[1]), "11- Silty Clay (CL-ML)");
    EXPECT_EQ(soilCodeListing({3, "Sand (SW)"}), " 3- Sand (SW)");
}

TEST(LogEntries, TheLogEndsAtItsFirstZeroCode) {
    std::array<int, kDocSamples> codes{};
    EXPECT_EQ(closingEntryIndex(codes), 0);
    EXPECT_EQ(logEntriesInUse(codes), 1);
    // The first entry may be skipped: a graph draws it whatever its code.
    codes[1] = 3;
    EXPECT_EQ(closingEntryIndex(codes, 1), 2);
    codes = {3, 3, 0, 4, 0};
    EXPECT_EQ(closingEntryIndex(codes), 2);
    EXPECT_EQ(closingEntryIndex(codes, 3), 4);
    EXPECT_EQ(logEntriesInUse(codes), 3);
    codes.fill(3);
    EXPECT_EQ(closingEntryIndex(codes), kDocSamples);
    EXPECT_EQ(logEntriesInUse(codes), kDocSamples);
    EXPECT_EQ(closingEntryIndex(codes, -5), kDocSamples);
    EXPECT_EQ(closingEntryIndex(codes, 1000), kDocSamples);
}

TEST(PileShapes, TheTableAnswersForEveryCode) {
    struct Case {
        int code;
        bool known, hollow, hSection, steel;
    };
    const Case cases[] = {{PileShape::None, false, false, false, false},
                          {0, false, false, false, false},
                          {PileShape::SquareConcrete, true, false, false, false},
                          {PileShape::RoundConcrete, true, false, false, false},
                          {PileShape::SteelPipe, true, true, false, true},
                          {PileShape::SteelH, true, false, true, true},
                          {PileShape::Cylinder, true, true, false, false},
                          {6, false, false, false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(PileShape::known(c.code), c.known) << c.code;
        EXPECT_EQ(PileShape::hollow(c.code), c.hollow) << c.code;
        EXPECT_EQ(PileShape::hSection(c.code), c.hSection) << c.code;
        EXPECT_EQ(PileShape::steel(c.code), c.steel) << c.code;
    }
    // Only pipes choose their end; the form's buttons come in the stored codes' order.
    for (int i = 0; i < kPileShapeCount; ++i) {
        EXPECT_EQ(kPileShapes[i].code, i + 1);
        EXPECT_EQ(kPileShapes[i].pipeEnd, kPileShapes[i].code == PileShape::SteelPipe);
        EXPECT_EQ(PileShape::flangePlug(i + 1), i + 1 == PileShape::SteelH);
    }
    EXPECT_FALSE(PileShape::flangePlug(PileShape::None));
    EXPECT_DOUBLE_EQ(plugBlockArea(12, 12), 1);
}

TEST(PileShapes, SectionPropertiesByHand) {
    // A 12 in square pile: 1 ft², 4 ft around.
    SectionProperties p = sectionPropertiesOf(PileShape::SquareConcrete, 12, 0, 0, 0, 40, 150);
    EXPECT_DOUBLE_EQ(p.AREA, 1);
    EXPECT_DOUBLE_EQ(p.PERIM, 4);
    EXPECT_EQ(p.AWALL, 0);
    EXPECT_EQ(p.WGP, 0);
    // A 24 in round pile: pi ft², 2 pi ft, with the program's pi of 3.1416.
    p = sectionPropertiesOf(PileShape::RoundConcrete, 24, 0, 0, 0, 40, 150);
    EXPECT_DOUBLE_EQ(p.AREA, 3.1416);
    EXPECT_DOUBLE_EQ(p.PERIM, 2 * 3.1416);
    // A 24 in pipe with a 1 in wall, 100 ft of steel at 490 pcf: the steel ring's weight.
    p = sectionPropertiesOf(PileShape::SteelPipe, 24, 1, 0, 0, 100, 490);
    EXPECT_DOUBLE_EQ(p.AREA, 3.1416);
    EXPECT_NEAR(p.WGP, 3.1416 * (576 - 484) / 576 * 100 * 490 / 2000, 1e-12);
    // An H-pile: the true area for its weight, the enclosing box for its perimeter.
    p = sectionPropertiesOf(PileShape::SteelH, 12, 0, 12, 14.4, 100, 490);
    EXPECT_DOUBLE_EQ(p.AREA, 0.1);
    EXPECT_DOUBLE_EQ(p.PERIM, 4);
    EXPECT_NEAR(p.WGP, 14.4 * 100 * 490 / 288000, 1e-12);
    // A 54 in cylinder with a 6 in wall.
    p = sectionPropertiesOf(PileShape::Cylinder, 54, 6, 0, 0, 100, 150);
    EXPECT_NEAR(p.AWALL, 3.1416 * 48 * 6 / 144, 1e-12);
    EXPECT_EQ(p.WGP, 0);
    p = sectionPropertiesOf(9, 24, 1, 12, 10, 100, 150);
    EXPECT_EQ(p.AREA, 0);
    EXPECT_EQ(p.PERIM, 0);
}

TEST(PileShapes, ReportBlockOfEveryShape) {
    EXPECT_EQ(sectionBlockOf(PileShape::SquareConcrete, 0), SectionBlock::Square);
    EXPECT_EQ(sectionBlockOf(PileShape::RoundConcrete, PipeEnd::Open), SectionBlock::Round);
    EXPECT_EQ(sectionBlockOf(PileShape::SteelPipe, PipeEnd::Open), SectionBlock::OpenPipe);
    EXPECT_EQ(sectionBlockOf(PileShape::SteelPipe, PipeEnd::Closed), SectionBlock::ClosedPipe);
    EXPECT_EQ(sectionBlockOf(PileShape::SteelPipe, 7), SectionBlock::Round);
    EXPECT_EQ(sectionBlockOf(PileShape::SteelH, 0), SectionBlock::HPile);
    EXPECT_EQ(sectionBlockOf(PileShape::Cylinder, 0), SectionBlock::Cylinder);
    EXPECT_EQ(sectionBlockOf(PileShape::None, 0), SectionBlock::None);
}

TEST(Numbers, DataFilesMayWriteADecimalComma) {
    EXPECT_EQ(parseNumber("1,5", true), 1.5);
    EXPECT_EQ(parseNumber(" -0,25 ", true), -0.25);
    EXPECT_FALSE(parseNumber("1,5").has_value());
    // A point is a point: the commas are then no decimal marks.
    for (const char* bad : {"1.234,5", "1,234,5", "+-5", "", ",", "5 m"})
        EXPECT_FALSE(parseNumber(bad, true).has_value()) << bad;
    EXPECT_EQ(parseNumber("\f12\v"), 12.0);
}

} // namespace
} // namespace zenka
