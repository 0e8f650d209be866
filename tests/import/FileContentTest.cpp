#include "import/FileContent.h"
#include "import/LogBuilder.h"

#include "base/AtomicFile.h"
#include "support/Gzip.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace zenka::dataimport {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

using test::gzip;

std::string utf16(std::string_view ascii, bool bigEndian, bool bom = true) {
    std::string out = bom ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (char c : ascii) {
        if (bigEndian) out += '\0';
        out += c;
        if (!bigEndian) out += '\0';
    }
    return out;
}

const char* const kAgs4 =
    "\"GROUP\",\"LOCA\"\r\n\"HEADING\",\"LOCA_ID\",\"LOCA_GL\"\r\n"
    "\"UNIT\",\"\",\"m\"\r\n\"DATA\",\"BH1\",\"4.0\"\r\n"
    "\"GROUP\",\"ISPT\"\r\n\"HEADING\",\"LOCA_ID\",\"ISPT_TOP\",\"ISPT_NVAL\"\r\n"
    "\"UNIT\",\"\",\"m\",\"\"\r\n\"DATA\",\"BH1\",\"1.5\",\"12\"\r\n";
const char* const kAgs3 =
    "\"**HOLE\"\r\n\"*HOLE_ID\",\"*HOLE_GL\"\r\n\"<UNITS>\",\"m\"\r\n"
    "\"BH1\",\"4.0\"\r\n\"**ISPT\"\r\n\"*HOLE_ID\",\"*ISPT_TOP\",\"*ISPT_NVAL\"\r\n"
    "\"<UNITS>\",\"m\",\"\"\r\n\"BH1\",\"1.5\",\"12\"\r\n";
const char* const kDiggs =
    "<?xml version=\"1.0\"?><Diggs><samplingFeature><Borehole gml:id=\"BH1\"><gml:name>BH1"
    "</gml:name><totalMeasuredDepth uom=\"m\">9</totalMeasuredDepth></Borehole></samplingFeature>"
    "<measurement><Test><samplingFeatureRef xlink:href=\"#BH1\"/><outcome><location><posList>"
    "1.5 1.95</posList></location><TestResult><ResultSet><parameters><Property><propertyName>"
    "N-Value</propertyName></Property></parameters><dataValues>12</dataValues></ResultSet>"
    "</TestResult></outcome><procedure><DrivenPenetrationTest/></procedure></Test></measurement>"
    "</Diggs>";
const char* const kCsv = "Depth (m)\tN\r\n1.5\t12\r\n3.0\t14\r\n";

TEST(FileContent, EveryFormOfTheSameDataIsReadByContent) {
    struct Case {
        const char* what;
        std::string bytes;
        Format format;
    };
    const std::string bom = "\xEF\xBB\xBF";
    const Case cases[] = {
        {"AGS4", kAgs4, Format::Ags4},
        {"AGS4 with a byte order mark", bom + kAgs4, Format::Ags4},
        {"AGS4, UTF-16LE", utf16(kAgs4, false), Format::Ags4},
        {"AGS4, UTF-16BE", utf16(kAgs4, true), Format::Ags4},
        {"AGS4, UTF-16LE without a mark", utf16(kAgs4, false, false), Format::Ags4},
        {"AGS4, gzip", gzip(kAgs4), Format::Ags4},
        {"AGS4, gzip in two members",
         gzip(std::string(kAgs4).substr(0, 60)) + gzip(std::string(kAgs4).substr(60)),
         Format::Ags4},
        {"AGS4, gzip of gzip", gzip(gzip(kAgs4)), Format::Ags4},
        {"AGS3", kAgs3, Format::Ags3},
        {"AGS3, gzip of UTF-16", gzip(utf16(kAgs3, false)), Format::Ags3},
        {"DIGGS", kDiggs, Format::Diggs},
        {"DIGGS with a byte order mark", bom + kDiggs, Format::Diggs},
        {"DIGGS, UTF-16LE", utf16(kDiggs, false), Format::Diggs},
        {"DIGGS, gzip", gzip(kDiggs), Format::Diggs},
        {"tab-separated, UTF-16LE as spreadsheets save it", utf16(kCsv, false), Format::Delimited},
        {"delimited, gzip", gzip(kCsv), Format::Delimited},
    };
    // From a file the reader owns the bytes and frees them as it goes (once unpacked, once
    // converted, once the rows are read): the same boreholes either way.
    test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.file("BH1");
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        for (const DataFile& f :
             {readDataBytes(c.bytes, Format::Unknown, "BH1"), readDataFile(path)}) {
            ASSERT_TRUE(f.error.empty()) << f.error;
            EXPECT_EQ(f.format, c.format);
            ASSERT_EQ(f.boreholes.size(), 1u);
            EXPECT_EQ(f.boreholes[0].name, "BH1");
            ASSERT_FALSE(f.boreholes[0].tests.empty());
            EXPECT_DOUBLE_EQ(f.boreholes[0].tests[0].top, 1.5);
            EXPECT_DOUBLE_EQ(*f.boreholes[0].tests[0].n, 12);
        }
    }
}

TEST(FileContent, WhatIsNoDataFileIsNamed) {
    struct Case {
        std::string bytes;
        const char* found;
    };
    const std::string packed = gzip(kAgs4);
    const Case cases[] = {
        {"%PDF-1.7\n...", "a PDF document"},
        {std::string("PK\x03\x04\x14\0\0\0", 8), "ZIP archive"},
        {std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8), ".xls"},
        {std::string("Depth,N\n1\0\0\0\x01\x02", 13), "zero byte at offset 9"},
        {gzip(gzip(gzip(kAgs4))), "more than twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.found);
        const DataFile f = readDataBytes(c.bytes, Format::Unknown, "x");
        EXPECT_TRUE(f.notDataFile);
        EXPECT_THAT(f.error, HasSubstr(c.found));
        EXPECT_TRUE(f.boreholes.empty());
    }
    // Damaged and cut-short gzip data is a read error, not an empty file.
    std::string damaged = packed;
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x55);
    damaged[damaged.size() / 2 + 1] = static_cast<char>(damaged[damaged.size() / 2 + 1] ^ 0x55);
    EXPECT_FALSE(readDataBytes(damaged, Format::Unknown, "x").error.empty());
    EXPECT_THAT(readDataBytes(packed.substr(0, packed.size() - 12), Format::Unknown, "x").error,
                HasSubstr("cut short"));
}

TEST(FileContent, GzipUnpacksNoFurtherThanItsCap) {
    // 64 MB of zeros pack into some 64 kB: a bomb must stop at the cap, not fill the memory.
    const std::string bomb = gzip(std::string(std::size_t{64} << 20, '\0'));
    std::string out, why;
    bool tooLarge = false;
    EXPECT_FALSE(gunzip(bomb, std::size_t{1} << 20, out, why, tooLarge));
    EXPECT_TRUE(tooLarge);
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(gunzip(bomb, std::size_t{64} << 20, out, why, tooLarge));
    EXPECT_EQ(out.size(), std::size_t{64} << 20);
}

TEST(FileContent, DataFilesAreReadLikeProjectFiles) {
    test::TempDir dir;
    auto seconds = [](auto start) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const std::string fifo = dir.file("pipe.ags");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string big = dir.file("big.csv");
    {
        const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, (off_t{1} << 30) + 1), 0); // sparse: nothing is written
        ::close(fd);
    }
    const std::string gz = dir.file("site.ags.gz");
    std::ofstream(gz, std::ios::binary) << gzip(kAgs4);
    const std::string pdf = dir.file("log.csv");
    std::ofstream(pdf, std::ios::binary) << "%PDF-1.4 binary";
    struct Case {
        std::string path;
        const char* first; // the first line, with %1 for the full path
        const char* reason;
    };
    const Case cases[] = {
        {dir.path(), "%1 is a folder, not a file.", "Is a directory"},
        {fifo, "%1 is not a regular file.", "a fifo"},
        {"/dev/zero", "%1 is not a regular file.", "a character device"},
        {"/proc/self/mem", "%1 is not a regular file.", "the system makes up"},
        {dir.file("missing.ags"), "%1 was not found.", "No such file"},
        {big, "%1 is larger than 1 GB, more than a data file can be.", ""},
        {pdf, "%1 is not a DIGGS, AGS or delimited text file.", "Found: a PDF document."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto start = std::chrono::steady_clock::now();
        const DataFile f = readDataFile(c.path);
        EXPECT_LT(seconds(start), 1.0);
        std::string first = c.first;
        first.replace(first.find("%1"), 2, displayPath(c.path));
        const std::size_t newline = f.error.find('\n');
        ASSERT_NE(newline, std::string::npos) << f.error;
        EXPECT_EQ(f.error.substr(0, newline), first);
        EXPECT_THAT(f.error.substr(newline + 1), HasSubstr(c.reason));
    }
    // A .gz is read by its content; a delimited one names its borehole without the extensions.
    const DataFile packed = readDataFile(gz);
    ASSERT_TRUE(packed.error.empty()) << packed.error;
    EXPECT_EQ(packed.format, Format::Ags4);
    const DataFile csv = readDataBytes(gzip(kCsv), Format::Unknown, "site");
    EXPECT_EQ(csv.boreholes.at(0).name, "site");
}

} // namespace
} // namespace zenka::dataimport
