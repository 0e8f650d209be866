// Sections A to C: general information, boring log, pile information.

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

std::string pad(const std::string& t, std::size_t w) {
    std::string s = t.substr(0, w);
    s.resize(w, ' ');
    return s;
}

std::unique_ptr<AnalysisState> siteState(int units) {
    auto s = std::make_unique<AnalysisState>();
    s->TITLE = "STATIC PILE BEARING CAPACITY ANALYSIS";
    s->PROGID = "ZENKA";
    s->PROJNO = "97-0412";
    s->JOBNAME = "SR 44 OVER MILL CREEK";
    s->ENGR = "R. HALE";
    s->BORNO = "B-7";
    s->DRDATE = "03/11/97";
    s->STANO = "112+50";
    s->INFILE = "MILLCREEK_BENT2_WEST_ABUTMENT_FINAL.in";
    s->RUNDATE = "04/05/26";
    s->RUNTIME = "09:03:07";
    s->IUNITS = units;
    s->IOPT = 1;
    s->GSE = 10.0;
    s->LINES = 100;
    return s;
}

} // namespace

TEST(SectionGeneralInformation, EnglishSectionLineByLine) {
    auto s = siteState(1);
    ReportOut out;
    writeSection(*s, out, Section::GeneralInformation);
    const auto lines = linesOf(out.text());
    const std::vector<std::string> expected = {
        "",
        "",
        Cols().at(22, "ORVANIA DEPARTMENT OF TRANSPORTATION"),
        Cols().at(28, "HALVERN DESIGN OFFICE"),
        Cols().at(18, "STATIC PILE BEARING CAPACITY ANALYSIS PROGRAM"),
        Cols().at(25, "ZENKA - VERSION 1.2 FEBRUARY, 1997"),
        Cols().at(24, "BASED ON RESEARCH BULLETIN RB-407"),
        Cols().at(17, "\"GUIDELINES FOR USE IN THE SOILS INVESTIGATION"),
        Cols().at(26, "AND DESIGN OF FOUNDATIONS FOR"),
        Cols().at(20, "BRIDGE STRUCTURES IN THE STATE OF ORVANIA\" AND"),
        Cols().at(20, "RESEARCH STUDY REPORT BY UNIVERSITY OF ORVANIA"),
        Cols().at(25, "\"DESIGN OF STEEL PIPE AND H PILES\""),
        "",
        Cols().at(15, "NOTE   -   THIS PROGRAM IS EXPANDED FROM TELKO"),
        Cols().at(15, "             IS ALSO KNOWN AS MORVA"),
        Cols().at(15, "           TO INCLUDE STEEL H AND PIPE PILES"),
        "",
        "",
        "",
        Cols().at(5, "A. GENERAL INFORMATION"),
        Cols().at(4, "========================"),
        "",
        Cols().at(10, "INPUT FILE NAME").at(40, "MILLCREEK_BENT2_WEST_ABUTMENT_"),
        Cols().at(10, "RUN DATE").at(40, "04/05/26"),
        Cols().at(10, "RUN TIME").at(40, "09:03:07"),
        "",
        Cols().at(10, "PROJECT NUMBER").at(40, pad("97-0412", 20)),
        Cols().at(10, "JOB NAME").at(40, pad("SR 44 OVER MILL CREEK", 50)),
        Cols().at(10, "SUBMITTING ENGINEER").at(40, pad("R. HALE", 20)),
        Cols().at(10, "BORING NO.").at(40, pad("B-7", 20)),
        Cols().at(10, "DRILLING DATE").at(40, pad("03/11/97", 20)),
        Cols().at(10, "STATION NO.").at(40, pad("112+50", 20)),
        Cols().at(10, "GROUND SURFACE ELEVATION").at(40, " 10.00").at(47, "FEET"),
        Cols().at(10, "TYPE OF ANALYSIS").at(40, " 1").at(43, "- DETERMINATION OF STATIC"),
        Cols().at(43, "  PILE BEARING CAPACITY"),
        Cols().at(43, "  FOR SPECIFIC PILE LENGTHS"),
        Cols().at(43, "  (DETAILED OUTPUT)"),
    };
    ASSERT_EQ(lines.size(), 7u + expected.size());
    EXPECT_EQ(slice(lines, 7, expected.size()), expected);
    EXPECT_EQ(s->LINES, 107);
}

TEST(SectionGeneralInformation, MetricBannerElevationAndRangeAnalysis) {
    auto s = siteState(2);
    s->IOPT = 2;
    s->INFILE = " "; // no input file yet
    ReportOut out;
    writeSection(*s, out, Section::GeneralInformation);
    const auto lines = linesOf(out.text());
    ASSERT_EQ(lines.size(), 44u);
    EXPECT_EQ(lines[7 + 5], std::string(Cols().at(25, "ZENKA - VERSION 1.4, JUNE, 2000")));
    EXPECT_EQ(lines[7 + 9],
              std::string(Cols().at(16, "BRIDGE STRUCTURES IN THE STATE OF ORVANIA\", AND")));
    EXPECT_EQ(lines[7 + 10], std::string(Cols().at(36, "RESEARCH REPORT")));
    EXPECT_EQ(lines[7 + 13],
              std::string(Cols().at(15, "NOTE   -   THIS PROGRAM IS AN EXPANSION OF TELKO")));
    EXPECT_EQ(lines[7 + 14],
              std::string(Cols().at(15, "                  IS ALSO KNOWN AS MORVA")));
    EXPECT_EQ(lines[7 + 15],
              std::string(Cols().at(15, "           TO INCLUDE STEEL H AND PIPE PILES")));
    EXPECT_EQ(lines[7 + 22], std::string(Cols().at(10, "INPUT FILE NAME").at(40, pad("", 30))));
    // 10 ft of ground surface elevation is 3.048 m.
    EXPECT_EQ(
        lines[7 + 32],
        std::string(Cols().at(10, "GROUND SURFACE ELEVATION").at(40, "  3.05").at(47, "METERS")));
    const std::vector<std::string> analysis = {
        Cols().at(10, "TYPE OF ANALYSIS").at(40, " 2").at(43, "- DETERMINATION OF STATIC"),
        Cols().at(43, "  PILE BEARING CAPACITIES"),
        Cols().at(43, "  FOR A RANGE OF PILE LENGTHS"),
        Cols().at(43, "  (CAPACITY VS. TIP ELEVATION)"),
    };
    EXPECT_EQ(slice(lines, 40, 4), analysis);

    // A negative elevation that does not fit F6.2.
    out.clear();
    s->GSE = -3281.0; // -1000.05 m
    writeSection(*s, out, Section::GeneralInformation);
    EXPECT_EQ(linesOf(out.text())[7 + 32].substr(39), "****** METERS");
}

TEST(SectionBoringLog, SixtyEntriesPageAtRow44UnderContinuedHeading) {
    auto s = siteState(1);
    s->GSE = 100.0;
    s->NSAMP = 60;
    for (int I = 1; I <= 60; ++I) {
        s->D(I) = 2.5 * I;
        s->N(I) = I + 0.25;
        s->ST(I) = I % 5 + 1;
    }
    s->ST(60) = 0;
    s->IPAGE = 1; // section A filled page 1
    s->LINES = 107;
    ReportOut out;
    writeSection(*s, out, Section::BoringLog);
    const auto lines = linesOf(out.text());
    ASSERT_EQ(lines.size(), 7u + 9u + 43u + 7u + 9u + 17u + 10u);

    auto heading = [](const std::string& cont) {
        return std::vector<std::string>{
            "",
            "",
            Cols().at(5, "B. BORING LOG").at(20, cont),
            Cols().at(4, "==============="),
            "",
            Cols()
                .at(23, "DEPTH (FT)")
                .at(37, "ELEVATION")
                .at(49, "SPT BLOWS/FT")
                .at(64, "SOIL TYPE"),
            Cols().at(10, "ENTRY NO.").at(26, "D(I)").at(40, "(FT)").at(53, "N(I)").at(66, "ST(I)"),
            Cols()
                .at(10, "---------")
                .at(23, "----------")
                .at(37, "---------")
                .at(49, "------------")
                .at(64, "---------"),
            "",
        };
    };
    EXPECT_EQ(lines[0], " \f");
    EXPECT_EQ(lines[2].substr(69, 9), "Page    2");
    EXPECT_EQ(slice(lines, 7, 9), heading(std::string(11, ' ')));
    // 1.25 is an exact binary tie and prints 1.2.
    EXPECT_EQ(
        lines[16],
        std::string(
            Cols().at(12, "  1").at(24, "   2.5").at(38, "  97.5").at(51, "   1.2").at(68, "2")));
    EXPECT_EQ(
        lines[58],
        std::string(
            Cols().at(12, " 43").at(24, " 107.5").at(38, "  -7.5").at(51, "  43.2").at(68, "4")));

    // Row 44 starts page 3.
    EXPECT_EQ(lines[59], " \f");
    EXPECT_EQ(lines[61].substr(69, 9), "Page    3");
    EXPECT_EQ(slice(lines, 66, 9), heading("(CONTINUED)"));
    EXPECT_EQ(
        lines[75],
        std::string(
            Cols().at(12, " 44").at(24, " 110.0").at(38, " -10.0").at(51, "  44.2").at(68, "5")));
    EXPECT_EQ(
        lines[91],
        std::string(
            Cols().at(12, " 60").at(24, " 150.0").at(38, " -50.0").at(51, "  60.2").at(68, "0")));

    // The legend fits under the last row.
    const std::vector<std::string> legend = {
        "",
        "",
        Cols().at(32, "SOIL TYPE LEGEND"),
        Cols().at(31, "------------------"),
        Cols().at(17, "0  -  BOTTOM OF BORING"),
        Cols().at(17, "1  -  PLASTIC CLAYS"),
        Cols().at(17, "2  -  CLAY/SILT SAND MIXTURES, SILTS & MARLS"),
        Cols().at(17, "3  -  CLEAN SAND"),
        Cols().at(17, "4  -  SOFT LIMESTONE, VERY SHELLY SANDS"),
        Cols().at(17, "5  -  VOID (NO CAPACITY)"),
    };
    EXPECT_EQ(slice(lines, 92, 10), legend);
    EXPECT_EQ(s->LINES, 43);
    EXPECT_EQ(s->IPAGE, 3);
}

TEST(SectionBoringLog, MetricHeadingAndLegendOnItsOwnPage) {
    auto s = siteState(2);
    s->GSE = 50.0;
    s->NSAMP = 43; // the last row lands on counted line 59
    for (int I = 1; I <= 43; ++I) {
        s->D(I) = 10.0 * I;
        s->N(I) = 12;
        s->ST(I) = 3;
    }
    s->ST(43) = 0;
    ReportOut out;
    writeSection(*s, out, Section::BoringLog);
    const auto lines = linesOf(out.text());
    ASSERT_EQ(lines.size(), 7u + 9u + 43u + 7u + 10u);
    EXPECT_EQ(lines[7 + 5], std::string(Cols()
                                            .at(23, "DEPTH (M)")
                                            .at(37, "ELEVATION")
                                            .at(49, "SPT BLOWS/.3M")
                                            .at(64, "SOIL TYPE")));
    EXPECT_EQ(lines[7 + 6], std::string(Cols()
                                            .at(10, "ENTRY NO.")
                                            .at(26, "D(I)")
                                            .at(40, "(M)")
                                            .at(53, "N(I)")
                                            .at(66, "ST(I)")));
    // 10 ft = 3.048 m deep at 40 ft = 12.192 m elevation; blow counts unchanged.
    EXPECT_EQ(
        lines[16],
        std::string(
            Cols().at(12, "  1").at(24, "   3.0").at(38, "  12.2").at(51, "  12.0").at(68, "3")));
    // The legend's ten lines do not fit: a new page, without the log title.
    EXPECT_EQ(lines[59], " \f");
    EXPECT_EQ(lines[66], "");
    EXPECT_EQ(lines[68], std::string(Cols().at(32, "SOIL TYPE LEGEND")));
    EXPECT_EQ(s->LINES, 17);
}

namespace {

std::unique_ptr<AnalysisState> pileState(int units, int isect, int ipipe) {
    auto s = siteState(units);
    s->ISECT = isect;
    s->IPIPE = ipipe;
    s->WP = 18.0;
    s->THICK = 0.5;
    s->DEPTH = 14.21;
    s->TAREA = 26.1;
    s->TPL = 45.0;
    s->EBP = -35.0;
    return s;
}

// The lines of section C after its header and title.
std::vector<std::string> pileBlock(AnalysisState& s) {
    ReportOut out;
    writeSection(s, out, Section::PileInformation);
    const auto lines = linesOf(out.text());
    EXPECT_EQ(slice(lines, 7, 4),
              (std::vector<std::string>{"", "", Cols().at(5, "C. PILE INFORMATION"),
                                        Cols().at(4, "=====================")}));
    return slice(lines, 11, lines.size());
}

std::string sectionLine(int isect) {
    return Cols()
        .at(10, "TEST PILE SECTION ")
        .at(49, "ISECT =")
        .at(58, "  " + std::to_string(isect));
}

} // namespace

TEST(SectionPileInformation, EveryPileSectionBlockEnglish) {
    const std::string width =
        Cols().at(10, "WIDTH OF PILE").at(52, "WP =").at(58, "  18.00").at(66, "INCHES");
    const std::string diameter =
        Cols().at(10, "DIAMETER OF PILE").at(52, "WP =").at(58, "  18.00").at(66, "INCHES");
    const std::string thickness =
        Cols().at(10, "THICKNESS OF PILE").at(49, "THICK =").at(58, "   0.50").at(66, "INCHES");
    struct Case {
        int isect, ipipe;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {1, 0, {"", sectionLine(1), Cols().at(40, "{concrete pile, square section}"), width}},
        {2, 1, {"", sectionLine(2), Cols().at(40, "{concrete pile, round section}"), diameter}},
        {3,
         1,
         {"", sectionLine(3), Cols().at(45, "{open-end steel pipe pile}"), diameter, thickness}},
        {3,
         2,
         {"", sectionLine(3), Cols().at(44, "{closed-end steel pipe pile}"), diameter, thickness}},
        {3, 0, {"", sectionLine(3), Cols().at(40, "{concrete pile, round section}"), diameter}},
        {4,
         0,
         {"", sectionLine(4), Cols().at(53, "{steel H-pile}"),
          Cols().at(10, "WIDTH OF FLANGE").at(49, "WIDTH =").at(58, "  18.00").at(66, "INCHES"),
          Cols().at(10, "DEPTH OF SECTION").at(49, "DEPTH =").at(58, "  14.21").at(66, "INCHES"),
          Cols()
              .at(10, "TRUE X-SECTIONAL AREA")
              .at(49, "TAREA =")
              .at(58, "    26.10")
              .at(68, "INCH^2")}},
        {5,
         0,
         {"", sectionLine(5), Cols().at(45, "{CONCRETE CYLINDER PILE}"), diameter, thickness}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ISECT " << c.isect << " IPIPE " << c.ipipe);
        auto s = pileState(1, c.isect, c.ipipe);
        s->IOPT = 2;
        EXPECT_EQ(pileBlock(*s), c.lines);
        EXPECT_EQ(s->LINES, 14); // always a new page: 7 counted lines plus the header
    }
}

TEST(SectionPileInformation, LengthBlockOnlyForSpecificLengths) {
    auto s = pileState(1, 1, 0);
    s->IOPT = 1;
    s->LINES = 30;
    auto lines = pileBlock(*s);
    const std::vector<std::string> lengthBlock = {
        "",
        Cols().at(10, "TEST PILE LENGTH").at(51, "TPL =").at(58, "  45.00").at(66, "FEET"),
        Cols().at(10, "PILE TIP ELEVATION").at(51, "EBP =").at(58, " -35.00").at(66, "FEET"),
    };
    EXPECT_EQ(slice(lines, 4, 3), lengthBlock);
    EXPECT_EQ(lines.size(), 7u);
    EXPECT_EQ(s->LINES, 16);

    s = pileState(2, 1, 0);
    s->IOPT = 1;
    lines = pileBlock(*s);
    const std::vector<std::string> metricBlock = {
        "",
        Cols().at(10, "TEST PILE LENGTH").at(51, "TPL =").at(58, "  13.72").at(66, "M"),
        Cols().at(10, "PILE TIP ELEVATION").at(51, "EBP =").at(58, " -10.67").at(66, "M"),
    };
    EXPECT_EQ(slice(lines, 4, 3), metricBlock);

    s = pileState(1, 1, 0);
    s->IOPT = 2;
    lines = pileBlock(*s);
    EXPECT_EQ(lines.size(), 4u);
    for (const auto& l : lines) EXPECT_EQ(l.find("TEST PILE LENGTH"), std::string::npos);
}

TEST(SectionPileInformation, MetricHPileAreaAndOverflow) {
    auto s = pileState(2, 4, 0);
    s->IOPT = 2;
    s->WP = 14.59;
    const auto lines = pileBlock(*s);
    ASSERT_EQ(lines.size(), 6u);
    // 14.59 in = 370.586 mm; 14.21 in = 360.934 mm; 26.1 in^2 = 16838.676 mm^2.
    EXPECT_EQ(
        lines[3],
        std::string(
            Cols().at(10, "WIDTH OF FLANGE").at(49, "WIDTH =").at(58, " 370.59").at(66, "mm")));
    EXPECT_EQ(
        lines[4],
        std::string(
            Cols().at(10, "DEPTH OF SECTION").at(49, "DEPTH =").at(58, " 360.93").at(66, "mm")));
    EXPECT_EQ(lines[5], std::string(Cols()
                                        .at(10, "TRUE X-SECTIONAL AREA")
                                        .at(49, "TAREA =")
                                        .at(58, " 16838.68")
                                        .at(68, "mm^2")));
    EXPECT_EQ(lines[5].substr(57, 9) + "|" + lines[5].substr(66), " 16838.68| mm^2");

    // Ten thousand in an F7.2 field is seven asterisks.
    s = pileState(1, 1, 0);
    s->IOPT = 2;
    s->WP = 10000.0;
    EXPECT_EQ(
        pileBlock(*s)[3],
        std::string(
            Cols().at(10, "WIDTH OF PILE").at(52, "WP =").at(58, "*******").at(66, "INCHES")));
}

TEST(SectionWriter, EachSectionHasAWriterOfItsOwn) {
    // The same state through every section: a section sent to another's writer would print
    // that writer's lines twice.
    const Section all[] = {Section::GeneralInformation, Section::BoringLog,
                           Section::PileInformation,    Section::SoilLayers,
                           Section::SkinFriction,       Section::EndBearing,
                           Section::PileCapacity,       Section::TableHeading,
                           Section::TableLine,          Section::TableNotes};
    std::vector<std::string> texts;
    for (Section section : all) {
        auto s = siteState(1);
        s->LINES = 33;
        ReportOut out;
        writeSection(*s, out, section);
        EXPECT_FALSE(out.text().empty()) << static_cast<int>(section);
        texts.push_back(out.text());
    }
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (std::size_t j = i + 1; j < texts.size(); ++j) EXPECT_NE(texts[i], texts[j]) << i << j;
}
