#include "import/Diggs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>

namespace zenka::dataimport {
namespace {

using ::testing::HasSubstr;

// A DIGGS 3 file in the producers' shape: the SPT elements in the geotechnical namespace.
std::string diggs(const std::string& body, const std::string& ns = "http://diggsml.org/schemas/3") {
    return "<?xml version=\"1.0\"?>\n<Diggs xmlns=\"" + ns +
           "\" xmlns:gml=\"http://www.opengis.net/gml/3.2\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" xmlns:geo=\"" +
           ns + "/geotechnical\">\n" + body + "</Diggs>\n";
}

std::string borehole(const std::string& id, const std::string& name, const std::string& point,
                     const std::string& extra = "") {
    return "<samplingFeature><Borehole gml:id=\"" + id + "\"><gml:name>" + name +
           "</gml:name><role><Role><businessAssociate><BusinessAssociate><gml:name>Driller"
           "</gml:name></BusinessAssociate></businessAssociate></Role></role>"
           "<referencePoint>" +
           point + "</referencePoint><totalMeasuredDepth uom=\"ft\">40</totalMeasuredDepth>" +
           extra + "</Borehole></samplingFeature>\n";
}

std::string spt(const std::string& ref, const std::string& posList, const std::string& sets,
                const std::string& statedN = "") {
    std::string out = "<measurement><Test gml:id=\"t\"><gml:name>SPT</gml:name>"
                      "<samplingFeatureRef xlink:href=\"#" +
                      ref + "\"/><outcome><TestResult><location><LinearExtent><gml:posList>" +
                      posList + "</gml:posList></LinearExtent></location>";
    if (!statedN.empty())
        out += "<results><ResultSet><parameters><PropertyParameters><properties><Property>"
               "<propertyName>N-Value</propertyName></Property></properties>"
               "</PropertyParameters></parameters><dataValues cs=\",\">" +
               statedN + "</dataValues></ResultSet></results>";
    out += "</TestResult></outcome><procedure><geo:DrivenPenetrationTest>"
           "<geo:penetrationTestType>SPT</geo:penetrationTestType>"
           "<geo:hammerType>Automatic</geo:hammerType>"
           "<geo:hammerEfficiency uom=\"%\">82</geo:hammerEfficiency>" +
           sets + "</geo:DrivenPenetrationTest></procedure></Test></measurement>\n";
    return out;
}

std::string set(int index, const std::string& blows, const std::string& pen,
                const std::string& uom = "in") {
    return "<geo:driveSet><geo:DriveSet><geo:index>" + std::to_string(index) +
           "</geo:index><geo:blowCount>" + blows + "</geo:blowCount><geo:penetration uom=\"" + uom +
           "\">" + pen + "</geo:penetration></geo:DriveSet></geo:driveSet>";
}

const std::string kPoint = "<PointLocation uomLabels=\"dega dega ft\"><gml:pos>-93.2 30.2 "
                           "5.60</gml:pos></PointLocation>";

TEST(Diggs, NFromTheDriveSets) {
    struct Case {
        const char* what;
        std::string sets;
        std::string statedN;
        std::optional<double> n;
        bool refusal;
        std::string posList = "2.0 3.5";
        bool statedOnly = false;
    };
    const Case cases[] = {
        {"increments 2 and 3", set(1, "3", "6") + set(2, "4", "6") + set(3, "5", "6"), "", 9,
         false},
        {"drive sets decide over the stated N",
         set(1, "3", "6") + set(2, "4", "6") + set(3, "5", "6"), "12", 9, false},
        {"penetration in feet",
         set(1, "3", "0.5", "ft") + set(2, "4", "0.5", "ft") + set(3, "5", "0.5", "ft"), "", 9,
         false},
        {"short third increment: test blows scaled to 12 in",
         set(1, "8", "6") + set(2, "20", "6") + set(3, "30", "4"), "", 60, true},
        {"millimetres in a borehole in feet: still scaled to 12 in",
         set(1, "8", "152", "mm") + set(2, "20", "152", "mm") + set(3, "30", "98", "mm"), "", 61,
         true},
        {"scaled N capped at 100", set(1, "25", "6") + set(2, "48", "6") + set(3, "50", "4"), "98",
         100, true},
        {"short seating drive", set(1, "50", "3"), "50", 100, true},
        {"an empty fourth set is ignored",
         set(1, "1", "6") + set(2, "1", "6") + set(3, "3.0", "6") + set(4, "", ""), "4", 4, false},
        {"fewer increments with a stated N", set(3, "7", "6"), "12", 12, false, "2.0 3.5", true},
        {"one partial set takes the stated N, marked", set(1, "4", "6"), "9", 9, false, "2.0 3.5",
         true},
        {"the test drive without the seating drive", set(2, "6", "6") + set(3, "7", "6"), "20", 13,
         false},
        {"fewer increments and no N", set(1, "1", "6") + set(2, "1", "6"), "", std::nullopt, false},
        {"no drive sets: the stated N", "", "15", 15, false},
        {"values such as None in the depth", set(1, "3", "6") + set(2, "4", "6") + set(3, "5", "6"),
         "", 9, false, "None 2.0 3.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DataFile f = readDiggs(
            diggs(borehole("bh1", "B-1", kPoint) + spt("bh1", c.posList, c.sets, c.statedN)));
        ASSERT_TRUE(f.error.empty()) << f.error;
        const auto& tests = f.boreholes.at(0).tests;
        if (!c.n) {
            EXPECT_TRUE(tests.empty());
            ASSERT_FALSE(f.problems.empty());
            EXPECT_THAT(f.problems.back().message, HasSubstr("skipped"));
            continue;
        }
        ASSERT_EQ(tests.size(), 1u);
        EXPECT_DOUBLE_EQ(tests[0].top, 2.0);
        EXPECT_DOUBLE_EQ(*tests[0].n, *c.n);
        EXPECT_EQ(tests[0].refusal, c.refusal);
        EXPECT_EQ(tests[0].statedOnly, c.statedOnly);
        if (!c.statedN.empty()) {
            EXPECT_DOUBLE_EQ(*tests[0].details->statedN, std::stod(c.statedN));
        }
        EXPECT_EQ(tests[0].details->hammer, "Automatic");
        EXPECT_DOUBLE_EQ(*tests[0].details->energyRatio, 82);
    }

    // An index no drive set can have (beyond any integer) reads as none.
    std::string sets = set(1, "3", "6") + set(2, "4", "6") + set(3, "5", "6");
    sets.replace(sets.find("<geo:index>3<"), 13, "<geo:index>3e19<");
    const DataFile f =
        readDiggs(diggs(borehole("bh1", "B-1", kPoint) + spt("bh1", "2.0 3.5", sets, "12")));
    ASSERT_TRUE(f.error.empty()) << f.error;
    ASSERT_EQ(f.boreholes.at(0).tests.size(), 1u);
    ASSERT_EQ(f.boreholes[0].tests[0].details->driveSets.size(), 3u);
    EXPECT_EQ(f.boreholes[0].tests[0].details->driveSets[2].index, 0);
}

TEST(Diggs, StatedNOfFiftyOnAShortIntervalIsMarked) {
    const DataFile f =
        readDiggs(diggs(borehole("bh1", "B-1", kPoint) + spt("bh1", "18.5 18.67", "", "50") +
                        spt("bh1", "20 21.5", "", "50")));
    const auto& tests = f.boreholes.at(0).tests;
    ASSERT_EQ(tests.size(), 2u);
    EXPECT_TRUE(tests[0].shortDrive);
    EXPECT_DOUBLE_EQ(*tests[0].n, 50);
    EXPECT_FALSE(tests[1].shortDrive);
}

TEST(Diggs, GroundElevationTakesItsUnitFromTheLabelsOrIsAskedFor) {
    struct Case {
        std::string point;
        std::optional<double> elevation;
        LengthUnit unit;
    };
    const Case cases[] = {
        {kPoint, 5.6, LengthUnit::Feet},
        {"<PointLocation><gml:pos uomLabels=\"deg deg m\">1 2 3.5</gml:pos></PointLocation>", 3.5,
         LengthUnit::Metres},
        {"<PointLocation><gml:pos uomLabels=\"degrees\">-77.4 39.7 1111.03</gml:pos>"
         "</PointLocation>",
         1111.03, LengthUnit::Unknown},
        {"<PointLocation><gml:pos>-77.4 39.7 12</gml:pos></PointLocation>", 12,
         LengthUnit::Unknown},
        {"<PointLocation><gml:pos>-77.4 39.7</gml:pos></PointLocation>", std::nullopt,
         LengthUnit::Unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.point);
        const DataFile f = readDiggs(diggs(borehole("bh1", "B-1", c.point)));
        const Borehole& b = f.boreholes.at(0);
        EXPECT_EQ(b.groundElevation, c.elevation);
        EXPECT_EQ(b.elevationUnit, c.unit);
        // Anything the log cannot use is listed.
        EXPECT_EQ(f.problems.empty(), c.unit != LengthUnit::Unknown);
    }
}

TEST(Diggs, EveryNamespaceIsAcceptedAndReferencesAreResolvedById) {
    for (const char* ns : {"http://diggsml.org/schemas/2.5.a", "http://diggsml.org/schemas/2.6",
                           "http://diggsml.org/schemas/3", "http://diggsml.org/schema-dev"}) {
        SCOPED_TRACE(ns);
        const std::string sets = set(1, "1", "6") + set(2, "2", "6") + set(3, "3", "6");
        const DataFile f = readDiggs(diggs(borehole("Location_B-030", "B-030", kPoint) +
                                               spt("Location_B-030", "1.5 3.0", sets) +
                                               spt("Location_B-999", "1.5 3.0", sets) +
                                               "<samplingFeature><Sounding gml:id=\"c1\"/>"
                                               "</samplingFeature>",
                                           ns));
        ASSERT_EQ(f.boreholes.size(), 1u); // the sounding is no borehole
        const Borehole& b = f.boreholes[0];
        EXPECT_EQ(b.id, "Location_B-030");
        EXPECT_EQ(b.name, "B-030"); // its own name, not the driller's
        EXPECT_EQ(b.depthUnit, LengthUnit::Feet);
        EXPECT_DOUBLE_EQ(*b.finalDepth, 40);
        ASSERT_EQ(b.tests.size(), 1u);
        EXPECT_DOUBLE_EQ(*b.tests[0].n, 5);
        bool dangling = false;
        for (const Problem& p : f.problems)
            dangling = dangling || p.message.find("Location_B-999") != std::string::npos;
        EXPECT_TRUE(dangling);
    }
}

TEST(Diggs, LithologyClassificationFromWhicheverFieldTheProducerUses) {
    auto litho = [](const std::string& posList, const std::string& lith) {
        return "<LithologyObservation><location><LinearExtent><gml:posList>" + posList +
               "</gml:posList></LinearExtent></location><primaryLithology><Lithology>" + lith +
               "</Lithology></primaryLithology></LithologyObservation>";
    };
    const std::string obs =
        "<observation><LithologySystem><samplingFeatureRef xlink:href=\"#bh1\"/>"
        "<lithologyObservation>" +
        litho("0 2", "<lithDescription>Stiff FAT CLAY</lithDescription><classificationSymbol>"
                     "CH</classificationSymbol><legendCode>CL</legendCode>") +
        litho("2 4", "<lithDescription>Loose SAND</lithDescription><legendCode>SP</legendCode>") +
        litho("4 6", "<classificationCode>Lean clay</classificationCode>") +
        // one value: a top; the base is where the next stratum starts
        litho("6 ", "<colorName>BROWN</colorName><constituent><Constituent><codeValue>silty "
                    "clay</codeValue><abundanceCode>Major</abundanceCode></Constituent>"
                    "</constituent><constituent><Constituent><codeValue>LITTLE SAND</codeValue>"
                    "<abundanceCode>Minor</abundanceCode></Constituent></constituent>") +
        litho("10 0.0", "<lithDescription>Weathered ROCK</lithDescription>") +
        "</lithologyObservation></LithologySystem></observation>";
    const DataFile f = readDiggs(diggs(borehole("bh1", "B-1", kPoint) + obs));
    const auto& s = f.boreholes.at(0).strata;
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0].classification, "CH");
    EXPECT_EQ(s[1].classification, "SP");
    EXPECT_EQ(s[2].classification, "Lean clay");
    EXPECT_EQ(s[3].classification, "silty clay");
    EXPECT_FALSE(s[3].base.has_value());
    EXPECT_THAT(s[3].description, HasSubstr("LITTLE SAND"));
    EXPECT_EQ(s[4].classification, "Weathered ROCK");
    EXPECT_FALSE(s[4].base.has_value()); // a base above the top is no base
}

TEST(Diggs, WaterStrikesAndDates) {
    const std::string extra =
        "<whenConstructed><TimeInterval><start/><end>2021-10-12T00:00:00</end></TimeInterval>"
        "</whenConstructed><waterStrike><WaterStrike><waterStrikeReadings><WaterStrikeReading>"
        "<waterLocation><PointLocation><gml:pos>4.10</gml:pos></PointLocation></waterLocation>"
        "</WaterStrikeReading></waterStrikeReadings></WaterStrike></waterStrike>";
    const DataFile f = readDiggs(diggs(borehole("bh1", "B-1", kPoint, extra)));
    const Borehole& b = f.boreholes.at(0);
    ASSERT_EQ(b.waterDepths.size(), 1u);
    EXPECT_DOUBLE_EQ(b.waterDepths[0], 4.1);
    EXPECT_EQ(b.boringDate, "2021-10-12");
}

// Everything a read gives, as text to compare.
std::string summary(const DataFile& f) {
    std::string out =
        "error: " + f.error + "\nproject: " + f.projectNumber + " / " + f.jobName + "\n";
    auto num = [](const OptionalNumber& v) { return v ? std::to_string(*v) : std::string("-"); };
    for (const Borehole& b : f.boreholes) {
        out += "borehole " + b.id + " / " + b.name + " " + unitWord(b.depthUnit) + "\n";
        for (const SptTest& t : b.tests)
            out += "  test " + std::to_string(t.top) + " " + num(t.base) + " " + num(t.n) + " " +
                   num(t.details->statedN) + " " + std::string(t.note) + " " +
                   std::string(t.details->hammer) + " " +
                   std::to_string(t.details->driveSets.size()) + (t.refusal ? " refusal" : "") +
                   (t.shortDrive ? " short" : "") + (t.statedOnly ? " stated" : "") + "\n";
        for (const Stratum& s : b.strata)
            out += "  stratum " + std::to_string(s.top) + " " + s.classification + " / " +
                   s.description + "\n";
        for (double w : b.waterDepths) out += "  water " + std::to_string(w) + "\n";
    }
    for (const Problem& p : f.problems) out += "problem " + p.borehole + ": " + p.message + "\n";
    return out;
}

// A file is read a top-level element at a time when it can be, and whole otherwise (a DOCTYPE
// makes it so): both give the same, and a file that does not parse gives the parser's own
// message about the whole file.
TEST(Diggs, ReadElementByElementAsTheWholeFileReads) {
    const std::string sets = set(1, "1", "6") + set(2, "2", "6") + set(3, "3", "6");
    const std::string bh = borehole("bh1", "B-1", kPoint);
    const std::string test = spt("bh1", "1.5 3.0", sets, "7");
    const std::string cases[] = {
        diggs(bh + test),
        // tests before their borehole; comments, instructions, CDATA and text between
        diggs(test + "<!-- a <note> -->\n<?producer x?>" + bh + "stray text <![CDATA[<x>]]>"),
        diggs("<samplingFeature/>" + bh + "<measurement><!-- <Test> --></measurement>" + test),
        // attribute values holding markup characters; a prefixed root
        "<d:Diggs xmlns:d=\"x\" a='1 > 0' b=\"/>\"><d:samplingFeature><d:Borehole gml:id=\"bh1\">"
        "<gml:name a=\"<\">B-1</gml:name></d:Borehole></d:samplingFeature></d:Diggs>",
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + diggs(bh + test).substr(22) +
            "<!-- after -->\n",
        // another encoding: read whole
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Diggs><samplingFeature><Borehole "
        "gml:id=\"b\"><gml:name>B-\xE9</gml:name></Borehole></samplingFeature></Diggs>",
        // none of these parse
        "<Diggs><samplingFeature><Borehole></samplingFeature></Diggs>",
        "<Diggs><project/>",
        "<Diggs><project/></Other>",
        "<Diggs><project/></Diggs><",
        "<Diggs><project a=\"1></project></Diggs>",
        "<Diggs>< project/></Diggs>",
        "<Diggs><!DOCTYPE x><project/></Diggs>",
        "<Diggs><project><![CDATA[ x </project></Diggs>",
        "<Diggs><?xml version=\"1.0\"?><project/></Diggs>",
        "<Diggs><project/><project></Diggs>",
        "<Other><project/></Other>",
        "text<Diggs/>",
    };
    for (const std::string& doc : cases) {
        SCOPED_TRACE(doc);
        pugi::xml_document whole;
        const pugi::xml_parse_result parsed = whole.load_buffer(doc.data(), doc.size());
        if (!parsed) {
            EXPECT_EQ(readDiggs(doc).error, std::string("not well-formed XML (") +
                                                parsed.description() + " at byte " +
                                                std::to_string(parsed.offset) + ")");
            continue;
        }
        std::string withDoctype = doc;
        std::size_t at = withDoctype.rfind("?>", 80);
        at = at == std::string::npos || doc.compare(0, 5, "<?xml") != 0 ? 0 : at + 2;
        withDoctype.insert(at, "<!DOCTYPE Diggs>");
        EXPECT_EQ(summary(readDiggs(doc)), summary(readDiggs(withDoctype)));
    }
}

TEST(Diggs, BrokenFilesComeBackWithAnError) {
    EXPECT_THAT(readDiggs("<Diggs><samplingFeature>").error, HasSubstr("XML"));
    EXPECT_THAT(readDiggs("<Other/>").error, HasSubstr("Diggs"));
    EXPECT_FALSE(readDiggs("").error.empty());
}

} // namespace
} // namespace zenka::dataimport
