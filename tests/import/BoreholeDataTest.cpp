#include "import/BoreholeData.h"
#include "import/Ags4.h"
#include "import/Delimited.h"
#include "import/Diggs.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zenka::dataimport {
namespace {

TEST(CompactTest, NumbersComeBackBitForBitAndAbsentStaysAbsent) {
    const double values[] = {0.0,
                             -0.0,
                             0.1,
                             1e-300,
                             5e-324,
                             1e308,
                             -3.25,
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (double v : values) {
        SCOPED_TRACE(v);
        const OptionalNumber n = v;
        ASSERT_TRUE(n.has_value());
        EXPECT_EQ(std::bit_cast<std::uint64_t>(*n), std::bit_cast<std::uint64_t>(v));
        const std::optional<double> back = n;
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(std::bit_cast<std::uint64_t>(*back), std::bit_cast<std::uint64_t>(v));
        // Compared with an optional as the optional compares: a NaN equals nothing.
        EXPECT_EQ(n == std::optional<double>(v), v == v);
        EXPECT_FALSE(n == std::optional<double>());
    }
    for (const OptionalNumber& none : {OptionalNumber(), OptionalNumber(std::nullopt),
                                       OptionalNumber(std::optional<double>())}) {
        EXPECT_FALSE(none.has_value());
        EXPECT_FALSE(std::optional<double>(none).has_value());
        EXPECT_EQ(none.value_or(7), 7);
        EXPECT_TRUE(none == std::optional<double>());
        EXPECT_FALSE(none == std::optional<double>(0.0));
    }
}

TEST(CompactTest, TextsDetailsAndDriveSetsCopyAsValues) {
    std::string made = "N=50 (25 for 110mm/50 for 210mm)";
    SharedText a;
    {
        TextPool pool;
        a = pool.get(made);
        const SharedText b = pool.get(std::string(made)); // another buffer, the same text
        EXPECT_EQ(a.view().data(), b.view().data());
        EXPECT_NE(pool.get("N=12").view().data(), a.view().data());
        EXPECT_TRUE(pool.get("").empty());
    }
    made.assign(made.size(), 'x'); // neither the source nor the pool holds the text
    EXPECT_EQ(a, "N=50 (25 for 110mm/50 for 210mm)");
    SharedText c = a;
    a = "other";
    EXPECT_EQ(c, "N=50 (25 for 110mm/50 for 210mm)");
    EXPECT_EQ(std::string(c), "N=50 (25 for 110mm/50 for 210mm)");
    EXPECT_EQ("[" + c + "]", "[N=50 (25 for 110mm/50 for 210mm)]");

    DriveSets sets;
    for (int i = 1; i <= 6; ++i) sets.push_back({i, i == 6, double(i), std::nullopt});
    DriveSets copy = sets;
    copy[0].index = 9;
    copy.push_back({});
    ASSERT_EQ(sets.size(), 6u);
    EXPECT_EQ(sets[0].index, 1);
    EXPECT_TRUE(sets[5].inches);
    EXPECT_DOUBLE_EQ(*sets[4].blows, 5);
    EXPECT_FALSE(sets[4].penetrationMm);
    EXPECT_EQ(copy.size(), 7u);
    sets.clear();
    EXPECT_TRUE(sets.empty());

    // Details equal in every part share one copy; any part differing, down to the sign of a
    // zero or an absent number against 0, makes another.
    DriveSets sets2;
    sets2.push_back({2, false, 3.0, 150.0});
    DriveSets sets3 = sets2;
    sets3[0].penetrationMm = 75.0;
    const SptDetails variants[] = {{12.0, 82.0, "N=12", "Automatic", {}},
                                   {12.0, 82.0, "N=12", {}, {}},
                                   {12.0, 82.0, {}, "Automatic", {}},
                                   {12.0, {}, "N=12", "Automatic", {}},
                                   {{}, 82.0, "N=12", "Automatic", {}},
                                   {13.0, 82.0, "N=12", "Automatic", {}},
                                   {0.0, {}, {}, {}, {}},
                                   {-0.0, {}, {}, {}, {}},
                                   {{}, {}, {}, {}, sets2},
                                   {{}, {}, {}, {}, sets3}};
    SharedDetails kept;
    {
        DetailsPool pool;
        std::vector<const SptDetails*> seen;
        for (const SptDetails& v : variants) {
            const SharedDetails first = pool.get(v);
            SptDetails again = v;
            again.report = std::string(v.report); // another copy of the same text
            EXPECT_EQ(&*pool.get(again), &*first);
            for (const SptDetails* other : seen) EXPECT_NE(other, &*first);
            seen.push_back(&*first);
        }
        kept = pool.get(variants[0]);
    }
    EXPECT_EQ(kept->report, "N=12"); // outlives its pool
    EXPECT_DOUBLE_EQ(*kept->energyRatio, 82);
    const SharedDetails none;
    EXPECT_FALSE(none->statedN);
    EXPECT_TRUE(none->report.empty() && none->hammer.empty());

    const NoteText note = "refusal: the test blows scaled to 300 mm";
    EXPECT_STREQ(note, "refusal: the test blows scaled to 300 mm");
    EXPECT_STREQ(NoteText(), "");
}

// Tests gathered in blocks come out in the order they went in, in a vector of their number,
// through small blocks, blocks of pages of their own, and a borehole left and taken up again.
TEST(CompactTest, GatheredTestsKeepTheirOrder) {
    TestBlocks one, other;
    int pushed = 0;
    auto push = [&](TestBlocks& blocks, int count) {
        for (int i = 0; i < count; ++i, ++pushed) {
            SptTest t;
            t.top = pushed;
            t.details = SptDetails{{}, {}, std::to_string(pushed), {}, {}};
            blocks.push_back(std::move(t));
        }
    };
    push(one, 20000);
    one.settle();
    EXPECT_DOUBLE_EQ(one.back().top, 19999);
    push(other, 3);
    push(one, 9000);
    one.settle(); // once only: these stay in their blocks
    push(one, 5);
    EXPECT_EQ(one.size(), 29005u);
    const std::vector<SptTest> tests = one.take();
    EXPECT_TRUE(one.empty());
    ASSERT_EQ(tests.size(), 29005u);
    EXPECT_EQ(tests.capacity(), tests.size());
    double last = -1;
    for (const SptTest& t : tests) {
        ASSERT_GT(t.top, last);
        ASSERT_EQ(t.details->report, std::to_string(static_cast<int>(t.top)));
        last = t.top;
    }
    EXPECT_EQ(other.take().size(), 3u);
}

// What rows write beside their N is held once per distinct value in every reader: a site of a
// hundred thousand boreholes would otherwise hold it once a row.
TEST(CompactTest, RowsThatWriteAlikeShareOneDetails) {
    std::string ags =
        "\"GROUP\",\"LOCA\"\n\"HEADING\",\"LOCA_ID\"\n\"UNIT\",\"\"\n"
        "\"DATA\",\"A\"\n\"DATA\",\"B\"\n\"DATA\",\"C\"\n\"GROUP\",\"ISPT\"\n"
        "\"HEADING\",\"LOCA_ID\",\"ISPT_TOP\",\"ISPT_NVAL\",\"ISPT_REP\",\"ISPT_HAM\","
        "\"ISPT_ERAT\"\n\"UNIT\",\"\",\"m\",\"\",\"\",\"\",\"%\"\n";
    std::string csv = "Borehole,Depth (m),N\n";
    std::string diggs = "<Diggs xmlns:gml=\"http://www.opengis.net/gml/3.2\" "
                        "xmlns:xlink=\"http://www.w3.org/1999/xlink\">";
    for (const char* id : {"A", "B", "C"})
        diggs += std::string("<samplingFeature><Borehole gml:id=\"") + id +
                 "\"><totalMeasuredDepth uom=\"m\">400</totalMeasuredDepth></Borehole>"
                 "</samplingFeature>";
    for (int i = 1; i <= 300; ++i) {
        const std::string id(1, static_cast<char>('A' + i % 3));
        const std::string depth = std::to_string(i), n = std::to_string(10 + i % 5);
        ags += "\"DATA\",\"" + id + "\",\"" + depth + "\",\"" + n + "\",\"N=" + n +
               "\",\"AR256\",\"65\"\n";
        csv += id + "," + depth + "," + n + "\n";
        diggs += "<measurement><Test gml:id=\"T" + depth + "\"><samplingFeatureRef xlink:href=\"#" +
                 id + "\"/><outcome><TestResult><location><LinearExtent><gml:posList uom=\"m\">" +
                 depth + " " + depth +
                 ".45</gml:posList></LinearExtent></location><results>"
                 "<ResultSet><parameters><PropertyParameters><properties><Property>"
                 "<propertyName>N-Value</propertyName></Property></properties>"
                 "</PropertyParameters></parameters><dataValues>" +
                 n +
                 "</dataValues></ResultSet></results></TestResult></outcome><procedure>"
                 "<DrivenPenetrationTest><hammerType>Automatic</hammerType>"
                 "</DrivenPenetrationTest></procedure></Test></measurement>";
    }
    diggs += "</Diggs>";
    for (const DataFile& f : {readAgs(ags), readDelimited(csv), readDiggs(diggs)}) {
        SCOPED_TRACE(static_cast<int>(f.format));
        ASSERT_EQ(f.boreholes.size(), 3u) << f.error;
        std::set<const SptDetails*> distinct;
        std::size_t tests = 0;
        for (const Borehole& b : f.boreholes)
            for (const SptTest& t : b.tests) {
                ++tests;
                distinct.insert(&*t.details);
                EXPECT_EQ(t.details->statedN, t.n);
            }
        EXPECT_EQ(tests, 300u);
        EXPECT_EQ(distinct.size(), 5u);
    }
}

// Rows of boreholes that take turns, in both readers that gather tests.
TEST(CompactTest, BoreholesTakingTurnsKeepEachTheirTests) {
    std::string ags =
        "\"GROUP\",\"LOCA\"\n\"HEADING\",\"LOCA_ID\"\n\"UNIT\",\"\"\n"
        "\"DATA\",\"A\"\n\"DATA\",\"B\"\n\"DATA\",\"C\"\n\"GROUP\",\"ISPT\"\n"
        "\"HEADING\",\"LOCA_ID\",\"ISPT_TOP\",\"ISPT_NVAL\"\n\"UNIT\",\"\",\"m\",\"\"\n";
    std::string csv = "Borehole,Depth (m),N\n";
    // B comes back 66 times, past the few tests a borehole coming back gathers in its own list;
    // C comes back twice.
    auto idOf = [](int i) { return i % 3 == 0 ? "B" : i % 50 == 1 ? "C" : "A"; };
    for (int i = 1; i <= 200; ++i) {
        const std::string id = idOf(i);
        ags +=
            "\"DATA\",\"" + id + "\",\"" + std::to_string(i) + "\",\"" + std::to_string(i) + "\"\n";
        csv += id + "," + std::to_string(i) + "," + std::to_string(i) + "\n";
    }
    const std::map<std::string, std::size_t> counts = {{"A", 131}, {"B", 66}, {"C", 3}};
    for (const DataFile& f : {readAgs(ags), readDelimited(csv)}) {
        ASSERT_EQ(f.boreholes.size(), 3u);
        for (const Borehole& b : f.boreholes) {
            SCOPED_TRACE(b.id);
            ASSERT_EQ(b.tests.size(), counts.at(std::string(b.id)));
            if (f.format == Format::Delimited) {
                EXPECT_EQ(b.tests.capacity(), b.tests.size());
            }
            double last = 0;
            for (const SptTest& t : b.tests) {
                EXPECT_EQ(idOf(static_cast<int>(t.top)), b.id);
                EXPECT_DOUBLE_EQ(*t.n, t.top);
                EXPECT_GT(t.top, last);
                last = t.top;
            }
        }
    }
}

} // namespace
} // namespace zenka::dataimport
