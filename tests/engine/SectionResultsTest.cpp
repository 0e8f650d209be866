// Sections D to G of a specific pile length.

#include "engine/AnalysisState.h"
#include "engine/Report.h"
#include "engine/Sections.h"

#include "support/ReportLines.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace zenka;
using namespace zenka::test;

namespace {

std::unique_ptr<AnalysisState> resultState(int units) {
    auto s = std::make_unique<AnalysisState>();
    s->TITLE = "STATIC PILE BEARING CAPACITY ANALYSIS";
    s->PROGID = "ZENKA";
    s->IUNITS = units;
    s->IOPT = 1;
    s->ISECT = 1;
    s->WP = 18.0;
    s->TPL = 45.0;
    s->LINES = 16;
    s->IPAGE = 3;
    return s;
}

Lines run(AnalysisState& s, Section code) {
    ReportOut out;
    writeSection(s, out, code);
    return linesOf(out.text());
}

} // namespace

TEST(SectionSoilLayers, LayerTableBothUnits) {
    auto s = resultState(1);
    s->NLAY = 2;
    s->ELEVBL(1) = 85.5;
    s->AN(1) = 12.333;
    s->LST(1) = 2;
    s->SFL(1) = 14.256;
    s->T(1) = 14.5;
    s->ELEVBL(2) = -5.25;
    s->AN(2) = 31.0;
    s->LST(2) = 3;
    s->SFL(2) = 105.5;
    s->T(2) = 90.75;

    auto head = [](const std::string& blows) {
        return Lines{
            "",
            "",
            Cols().at(5, "D. SOIL LAYER INFORMATION"),
            Cols().at(4, "==========================="),
            "",
            Cols()
                .at(10, "LAYER")
                .at(21, "ELEVATION")
                .at(35, "AVERAGE")
                .at(46, "LAYER")
                .at(55, "ULT SKIN"),
            Cols()
                .at(10, "NUMBER")
                .at(18, "BOTTOM OF LAYER")
                .at(35, blows)
                .at(44, "SOIL TYPE")
                .at(55, "FRICTION")
                .at(65, "THICKNESS"),
            Cols()
                .at(12, "K")
                .at(21, "ELEVBL(K)")
                .at(36, "AN(K)")
                .at(46, "LST(K)")
                .at(55, "SFL(K) *")
                .at(68, "T(K)"),
            Cols()
                .at(10, "------")
                .at(18, "---------------")
                .at(35, "-------")
                .at(44, "---------")
                .at(55, "--------")
                .at(65, "---------"),
            "",
        };
    };
    const std::string footnote = Cols().at(23, "(* IN LAYERS ABOVE BEARING LAYER)");

    Lines expected = head("BLOW/FT");
    expected.push_back(Cols()
                           .at(10, "  1")
                           .at(20, "  85.50")
                           .at(33, "  12.33")
                           .at(46, "  2")
                           .at(56, " 14.26")
                           .at(65, "  14.50"));
    expected.push_back(Cols()
                           .at(10, "  2")
                           .at(20, "  -5.25")
                           .at(33, "  31.00")
                           .at(46, "  3")
                           .at(56, "105.50")
                           .at(65, "  90.75"));
    expected.push_back("");
    expected.push_back(footnote);
    EXPECT_EQ(run(*s, Section::SoilLayers), expected);
    EXPECT_EQ(s->LINES, 16); // no page check, nothing counted

    // English friction is F6.2: a thousand tons no longer fits.
    s->SFL(2) = 1000.0;
    EXPECT_EQ(run(*s, Section::SoilLayers)[11].substr(55, 6), "******");

    // Metric: lengths in m, friction in kN as F7.2, blow counts unchanged.
    s->IUNITS = 2;
    s->SFL(2) = 1000.0;
    expected = head("BLOW/.3M");
    expected.push_back(Cols()
                           .at(10, "  1")
                           .at(20, "  26.06")
                           .at(33, "  12.33")
                           .at(46, "  2")
                           .at(56, " 126.83")
                           .at(65, "   4.42"));
    expected.push_back(Cols()
                           .at(10, "  2")
                           .at(20, "  -1.60")
                           .at(33, "  31.00")
                           .at(46, "  3")
                           .at(56, "8896.40")
                           .at(65, "  27.66"));
    expected.push_back("");
    expected.push_back(footnote);
    EXPECT_EQ(run(*s, Section::SoilLayers), expected);

    // No layers: one empty line stands for the layer lines.
    s->NLAY = 0;
    expected = head("BLOW/.3M");
    expected.insert(expected.end(), {"", "", footnote});
    EXPECT_EQ(run(*s, Section::SoilLayers), expected);
}

TEST(SectionSkinFriction, BothUnits) {
    auto s = resultState(1);
    s->TSF = 50.125; // exact binary ties
    s->ANBL = 23.5;
    s->SFBL = 30.0;
    s->CSFBL = 27.75;
    s->USF = 77.875;
    auto expected = [](const std::string& tsf, const std::string& bl, const std::string& sfbl,
                       const std::string& csfbl, const std::string& usf, const std::string& force,
                       const std::string& blows) {
        return Lines{
            "",
            "",
            Cols().at(5, "E. SKIN FRICTION CAPACITY"),
            Cols().at(4, "==========================="),
            "",
            Cols()
                .at(10, "ULT SKIN FRICTION IN LAYERS ABOVE")
                .at(59, " TSF =")
                .at(65, tsf)
                .at(74, force),
            Cols().at(12, "BEARING LAYER"),
            "",
            Cols()
                .at(10, "AVG SPT IN BEARING LAYER ABOVE TIP")
                .at(57, "  ANBL =")
                .at(65, bl)
                .at(74, blows),
            "",
            Cols()
                .at(10, "ULT SKIN FRICTION IN BEARING LAYER")
                .at(59, "SFBL =")
                .at(65, sfbl)
                .at(74, force),
            Cols()
                .at(10, "CORRECTED ULT SKIN FRICTION IN BEARING LAYER")
                .at(57, " CSFBL =")
                .at(65, csfbl)
                .at(74, force),
            "",
            Cols()
                .at(10, "TOTAL ULT SKIN FRICTION (TSF + CSFBL)")
                .at(59, " USF =")
                .at(65, usf)
                .at(74, force),
        };
    };
    EXPECT_EQ(run(*s, Section::SkinFriction),
              expected("  50.12", "  23.50", "  30.00", "  27.75", "  77.88", "TONS", "BL/FT"));
    EXPECT_EQ(s->LINES, 16);
    s->IUNITS = 2;
    EXPECT_EQ(run(*s, Section::SkinFriction),
              expected(" 445.93", "  23.50", " 266.89", " 246.88", " 692.81", "kN", "BL/.3M"));
}

namespace {

void fillPoints(PointList<kMaxTipPoints>& p, int np, double z0) {
    p.NP = np;
    for (int i = 1; i <= np; ++i) {
        p.Z(i) = z0 - i;
        p.N(i) = 10 + i;
        p.Q(i) = 20 + 0.5 * i;
    }
}

std::string point(const std::string& z, const std::string& n, const std::string& q) {
    return Cols().at(18, z).at(33, n).at(48, q);
}

std::unique_ptr<AnalysisState> endBearingState(int units) {
    auto s = resultState(units);
    s->AQPTA = 21.0;
    s->AQPTB = 25.5;
    s->AQPT = 23.25;
    s->DC = 4.0;
    s->DA = 4.0;
    s->AQPTCD = 22.0;
    s->MAXB = 40.0;
    s->CMAXB = 35.5;
    return s;
}

} // namespace

TEST(SectionEndBearing, NewPageTitlePointsAndArrows) {
    auto s = endBearingState(1);
    fillPoints(s->above, 5, -30.0);
    fillPoints(s->below, 4, -35.0);
    const Lines lines = run(*s, Section::EndBearing);
    EXPECT_EQ(s->IPAGE, 4);
    EXPECT_EQ(s->LINES, 107);
    ASSERT_GE(lines.size(), 28u);
    EXPECT_EQ(lines[0], " \f");
    const Lines head = {
        "",
        Cols()
            .at(5, "F. END BEARING CAPACITY")
            .at(33, "(FOR WIDTH =")
            .at(45, "  18.00")
            .at(52, " INCHES, LENGTH =")
            .at(69, "  45.00")
            .at(76, " FT)"),
        Cols().at(4, "========================="),
        "",
        Cols().at(18, "ELEVATION").at(36, "SPT").at(45, "UNIT END BEARING"),
        Cols().at(22, "Z").at(37, "N").at(52, "qt"),
        Cols().at(21, "FT").at(35, "BL/FT").at(51, "TSF"),
        Cols().at(18, "---------").at(35, "-----").at(45, "----------------"),
    };
    EXPECT_EQ(slice(lines, 7, 8), head);
    const Lines points = {
        point(" -31.00", "  11.00", "  20.50"),
        point(" -32.00", "  12.00", "  21.00"),
        Cols().at(18, " -33.00").at(33, "  13.00").at(48, "  21.50").at(60, "<-- ABOVE PILE TIP"),
        point(" -34.00", "  14.00", "  22.00"),
        point(" -35.00", "  15.00", "  22.50"),
        "",
        "",
        point(" -36.00", "  11.00", "  20.50"),
        point(" -37.00", "  12.00", "  21.00"),
        Cols().at(18, " -38.00").at(33, "  13.00").at(48, "  21.50").at(60, "<-- BELOW PILE TIP"),
        point(" -39.00", "  14.00", "  22.00"),
        "",
        "",
    };
    EXPECT_EQ(slice(lines, 15, points.size()), points);
}

TEST(SectionEndBearing, ArrowOnFirstLineOfOnePointAndNoneWhenEmpty) {
    auto s = endBearingState(1);
    fillPoints(s->above, 1, 0.0);
    fillPoints(s->below, 0, 0.0);
    const Lines lines = run(*s, Section::EndBearing);
    const Lines part = {
        Cols().at(18, "  -1.00").at(33, "  11.00").at(48, "  20.50").at(60, "<-- ABOVE PILE TIP"),
        "",
        "",
        "", // the averages begin with two blank lines
        "",
        Cols()
            .at(10, "AVG UNIT END BEARING ABOVE PILE TIP")
            .at(56, "AQPTA =")
            .at(64, "  21.00")
            .at(73, "TSF"),
    };
    EXPECT_EQ(slice(lines, 15, part.size()), part);
    for (const auto& l : lines) EXPECT_EQ(l.find("<-- BELOW PILE TIP"), std::string::npos);
}

TEST(SectionEndBearing, AveragesWithAndWithoutCriticalDepthLines) {
    auto s = endBearingState(1);
    const Lines lines = run(*s, Section::EndBearing); // no points, DA equal to DC
    const Lines averages = {
        "",
        "",
        "",
        "",
        Cols()
            .at(10, "AVG UNIT END BEARING ABOVE PILE TIP")
            .at(56, "AQPTA =")
            .at(64, "  21.00")
            .at(73, "TSF"),
        Cols()
            .at(10, "AVG UNIT END BEARING BELOW PILE TIP")
            .at(56, "AQPTB =")
            .at(64, "  25.50")
            .at(73, "TSF"),
        "",
        Cols()
            .at(10, "AVG UNIT END BEARING IN VICINITY OF PILE TIP")
            .at(57, "AQPT =")
            .at(64, "  23.25")
            .at(73, "TSF"),
        "",
        Cols()
            .at(10, "CRITICAL DEPTH OF EMBEDMENT IN BRG LYR")
            .at(59, "DC =")
            .at(64, "   4.00")
            .at(73, "FT"),
        Cols().at(10, "ACTUAL DEPTH OF EMBEDMENT").at(59, "DA =").at(64, "   4.00").at(73, "FT"),
        "",
        Cols()
            .at(10, "MAX MOBILIZED END BEARING CAPACITY")
            .at(55, "  MAXB = ")
            .at(64, "  40.00")
            .at(73, "TONS"),
        Cols()
            .at(10, "CORRECTED MOBILIZED END BEARING CAPACITY")
            .at(55, " CMAXB = ")
            .at(64, "  35.50")
            .at(73, "TONS"),
        "",
    };
    EXPECT_EQ(slice(lines, 15, 100), averages);

    // Deeper than the critical depth: the two critical-depth lines follow DA.
    s->DA = 6.5;
    Lines deeper = averages;
    deeper[10] =
        Cols().at(10, "ACTUAL DEPTH OF EMBEDMENT").at(59, "DA =").at(64, "   6.50").at(73, "FT");
    deeper.insert(deeper.begin() + 11, {Cols()
                                            .at(10, "AVG UNIT END BEARING IN VICINITY OF")
                                            .at(55, "AQPTCD =")
                                            .at(64, "  22.00")
                                            .at(73, "TSF"),
                                        Cols().at(12, "CRITICAL DEPTH")});
    EXPECT_EQ(slice(run(*s, Section::EndBearing), 15, 100), deeper);

    // Shallower than the critical depth: no such lines.
    s->DA = 3.99;
    EXPECT_EQ(run(*s, Section::EndBearing).size(), 15u + averages.size());
}

TEST(SectionEndBearing, MetricTitleHeadingAndAverages) {
    auto s = endBearingState(2);
    fillPoints(s->above, 2, -30.0);
    s->DA = 5.0;
    const Lines lines = run(*s, Section::EndBearing);
    EXPECT_EQ(lines[8], std::string(Cols()
                                        .at(5, "F. END BEARING CAPACITY")
                                        .at(33, "(FOR WIDTH =")
                                        .at(45, " 457.20")
                                        .at(52, " mm, LENGTH =")
                                        .at(65, "  13.72")
                                        .at(72, " M)")));
    EXPECT_EQ(lines[13], std::string(Cols().at(21, "M").at(35, "BL/.3M").at(51, "kPa")));
    // -31 ft = -9.4488 m; 20.5 tsf = 1963.08 kPa; blow counts unchanged.
    EXPECT_EQ(lines[15], point("  -9.45", "  11.00", "1963.08"));
    EXPECT_EQ(lines[16], std::string(Cols()
                                         .at(18, "  -9.75")
                                         .at(33, "  12.00")
                                         .at(48, "2010.96")
                                         .at(60, "<-- ABOVE PILE TIP")));
    const Lines tail = {
        Cols()
            .at(10, "CRITICAL DEPTH OF EMBEDMENT IN BRG LYR")
            .at(59, "DC =")
            .at(64, "   1.22")
            .at(73, "M"),
        Cols().at(10, "ACTUAL DEPTH OF EMBEDMENT").at(59, "DA =").at(64, "   1.52").at(73, "M"),
        Cols()
            .at(10, "AVG UNIT END BEARING IN VICINITY OF")
            .at(55, "AQPTCD =")
            .at(64, "2106.72")
            .at(73, "kPa"),
        Cols().at(12, "CRITICAL DEPTH"),
        "",
        Cols()
            .at(10, "MAX MOBILIZED END BEARING CAPACITY")
            .at(55, "  MAXB = ")
            .at(64, " 355.86")
            .at(73, "kN"),
        Cols()
            .at(10, "CORRECTED MOBILIZED END BEARING CAPACITY")
            .at(55, " CMAXB = ")
            .at(64, " 315.82")
            .at(73, "kN"),
        "",
    };
    EXPECT_EQ(slice(lines, lines.size() - tail.size(), tail.size()), tail);
}

namespace {

Lines capacityHead(bool english) {
    Lines l = {"", Cols().at(5, "G. PILE CAPACITY"), Cols().at(4, "==================")};
    if (english) l.insert(l.end(), {"", Cols().at(10, "IN ENGLISH UNIT")});
    return l;
}

std::string capLine(const std::string& text, const std::string& name, const std::string& value,
                    const std::string& unit) {
    return Cols().at(10, text).at(58, name + " = ").at(64, value).at(73, unit);
}

} // namespace

TEST(SectionPileCapacity, ConcretePilesBothUnits) {
    for (int isect : {1, 2, 5}) {
        SCOPED_TRACE(isect);
        auto s = resultState(1);
        s->ISECT = isect;
        s->MPC = 120.5;
        s->TCP = 60.25;
        s->UPC = 191.5;
        Lines expected = capacityHead(true);
        expected.insert(
            expected.end(),
            {capLine("ESTIMATED DAVISSON PILE CAPACITY (USF + CMAXB)", "MPC", " 120.50", "TONS"),
             capLine("ALLOWABLE PILE CAPACITY (MPC/2)", "TCP", "  60.25", "TONS"),
             capLine("ULTIMATE PILE CAPACITY (USF + 3*CMAXB)", "UPC", " 191.50", "TONS")});
        EXPECT_EQ(run(*s, Section::PileCapacity), expected);
        EXPECT_EQ(s->LINES, 16);

        // Metric: kN, and the ultimate capacity takes eight columns.
        s->IUNITS = 2;
        s->UPC = 1200.0;
        expected = capacityHead(false);
        expected.insert(
            expected.end(),
            {capLine("ESTIMATED DAVISSON PILE CAPACITY (USF + CMAXB)", "MPC", "1072.02", "kN"),
             capLine("ALLOWABLE PILE CAPACITY (MPC/2)", "TCP", " 536.01", "kN"),
             capLine("ULTIMATE PILE CAPACITY (USF + 3*CMAXB)", "UPC", "10675.68", "kN")});
        EXPECT_EQ(run(*s, Section::PileCapacity), expected);
        s->UPC = 1.0e4 / 8.8964 * 10.0; // 100000 kN
        EXPECT_EQ(run(*s, Section::PileCapacity).back().substr(63, 8), "********");
    }
}

TEST(SectionPileCapacity, SteelPilesAndTheHPileUltimateLine) {
    const std::string twice = "ULTIMATE PILE CAPACITY (USF+2*CMAXB-WPG)";
    const std::string thrice = "ULTIMATE PILE CAPACITY (USF+3*CMAXB-WPG)";
    struct Case {
        int units, isect, ibl, lst;
        std::string ultimate;
    };
    const std::vector<Case> cases = {
        {1, 3, 2, 3, thrice}, // a pipe pile always takes three times
        {1, 4, 2, 3, twice},  {1, 4, 2, 4, twice},  {1, 4, 2, 1, thrice},
        {1, 4, 2, 2, thrice}, {1, 4, 0, 3, thrice}, // no bearing layer
        {2, 4, 2, 4, twice},  {2, 4, 2, 2, thrice}, {2, 3, 2, 4, thrice},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.units << " " << c.isect << " " << c.ibl << " " << c.lst);
        auto s = resultState(c.units);
        s->ISECT = c.isect;
        s->IBL = c.ibl;
        s->LST(2) = c.lst;
        s->LST(1) = c.lst == 3 ? 1 : 3; // the other layer must not matter
        s->WGP = 3.5;
        s->MPC = 80.0;
        s->TCP = 40.0;
        s->UPC = 150.25;
        const bool english = c.units == 1;
        const std::string unit = english ? "TONS" : "kN";
        Lines expected = capacityHead(english);
        expected.insert(
            expected.end(),
            {capLine("WEIGHT OF THE PILE", "WGP", english ? "   3.50" : "  31.14", unit),
             capLine("ESTIMATED DAVISSON CAPACITY (USF+CMAXB-WGP)", "MPC",
                     english ? "  80.00" : " 711.71", unit),
             capLine("ALLOWABLE PILE CAPACITY (MPC/2)", "TCP", english ? "  40.00" : " 355.86",
                     unit),
             capLine(c.ultimate, "UPC", english ? " 150.25" : " 1336.68", unit)});
        EXPECT_EQ(run(*s, Section::PileCapacity), expected);
    }
}
