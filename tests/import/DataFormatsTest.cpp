#include "import/DataFormats.h"

#include "support/Gzip.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace zenka::dataimport {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The file dialog, the batch help and the message about a file of no known kind all read the
// same list.
TEST(DataFormats, TheListGivesTheFiltersNamesAndHelp) {
    EXPECT_THAT(dataFileFilters(),
                ElementsAre("Boring Data Files (*.xml *.ags *.csv *.tsv *.txt *.gz)",
                            "DIGGS (*.xml)", "AGS3, AGS4 (*.ags)",
                            "Delimited Text (*.csv *.tsv *.txt)", "All Files (*.*)"));
    EXPECT_EQ(formatFamilies(), "DIGGS, AGS or delimited text");
    EXPECT_EQ(formatListText(), "DIGGS .xml, AGS3/AGS4 .ags, delimited text .csv .tsv .txt; any "
                                "of them packed with gzip .gz");
    EXPECT_STREQ(formatName(Format::Ags3), "AGS3");
    EXPECT_STREQ(formatName(Format::Ags4), "AGS4");
    EXPECT_STREQ(formatName(Format::Diggs), "DIGGS");
    EXPECT_STREQ(formatName(Format::Delimited), "delimited text");
    EXPECT_STREQ(formatName(Format::Unknown), "unknown");
    EXPECT_EQ(formatUnit(Format::Unknown), nullptr);
}

// Each format is read by exactly one unit, and only the last unit takes any text: one placed
// before another would hide it.
TEST(DataFormats, EveryFormatHasOneUnitAndTheCatchAllComesLast) {
    std::set<Format> seen;
    const auto& units = dataFormats();
    for (const DataFormat* unit : units) {
        SCOPED_TRACE(unit->name);
        EXPECT_FALSE(unit->variants.empty());
        EXPECT_FALSE(unit->extensions.empty());
        for (const DataFormat::Variant& v : unit->variants) {
            EXPECT_TRUE(seen.insert(v.format).second) << v.name;
            EXPECT_EQ(formatUnit(v.format), unit);
        }
        const bool takesAnything = unit->recognise("no format at all") != Format::Unknown;
        EXPECT_EQ(takesAnything, unit == units.back());
    }
    EXPECT_EQ(seen,
              (std::set<Format>{Format::Ags3, Format::Ags4, Format::Diggs, Format::Delimited}));
}

TEST(DataFormats, TheContentDecidesTheFormat) {
    struct Case {
        std::string bytes;
        Format format;
        const char* found = "";
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\"?><Diggs/>", Format::Diggs},
        {"\xEF\xBB\xBF  \r\n<Diggs/>", Format::Diggs},
        {"\"**PROJ\"\r\n\"*PROJ_ID\"\r\n", Format::Ags3},
        // A "GROUP" row inside an AGS3 dictionary group is data, not AGS4.
        {"\"**ABBR\"\r\n\"GROUP\",\"x\"\r\n", Format::Ags3},
        {"\"GROUP\",\"PROJ\"\r\n", Format::Ags4},
        {"\"PROJ\" notes\r\n\"GROUP\",\"LOCA\"\r\n", Format::Ags4},
        {"Depth,N,Soil\n1.5,12,3\n", Format::Delimited},
        {"", Format::Delimited},
        {"%PDF-1.7", Format::Unknown, "a PDF document"},
        {std::string("1,2\0", 4), Format::Unknown, "zero byte at offset 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        std::string found;
        EXPECT_EQ(recogniseFormat(c.bytes, found), c.format);
        EXPECT_THAT(found, HasSubstr(c.found));
    }
}

TEST(DataFormats, APackedFileNamesItsBoreholeWithoutEitherExtension) {
    test::TempDir dir;
    const std::string csv = "Depth (m),N,Soil\n1.5,12,3\n3.0,20,3\n";
    const std::string packed = test::gzip(csv);
    for (const char* name : {"north.csv.gz", "north.CSV.GZ"}) {
        test::writeFile(dir.file(name), packed);
        const DataFile f = readDataFile(dir.file(name));
        ASSERT_EQ(f.error, "") << name;
        EXPECT_EQ(f.format, Format::Delimited);
        ASSERT_EQ(f.boreholes.size(), 1u);
        EXPECT_EQ(f.boreholes[0].name, "north") << name;
    }
}

} // namespace
} // namespace zenka::dataimport
