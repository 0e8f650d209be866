#include "engine/Sections.h"

#include "engine/AnalysisState.h"
#include "engine/Report.h"
#include "engine/ResultSections.h"

#include <algorithm>

namespace zenka {

int pageHeader(AnalysisState& s, ReportOut& out, int n) {
    s.LINES += n;
    if (s.LINES < 60) return 1;
    ++s.IPAGE;
    const std::string_view rule =
        "-----------------------------------------------------------------------------";
    out.line().text(2, "\f");
    out.line().text(2, "+").text(3, rule).text(80, "+");
    out.line()
        .text(2, "| ")
        .A(4, s.TITLE, 40)
        .text(44, " - ")
        .A(47, s.PROGID, 8)
        .text(70, "Page ")
        .I(75, s.IPAGE, 4)
        .text(79, " |");
    out.line().text(2, "+").text(3, rule).text(80, "+");
    out.line().text(2, "| Project No: ").A(16, s.PROJNO, 20).A(39, s.JOBNAME, 50).text(89, " |");
    out.line().text(2, "| Boring No:  ").A(16, s.BORNO, 20).text(80, "|");
    out.line().text(2, "+").text(3, rule).text(80, "+");
    s.LINES = n + 7;
    return 0;
}

namespace {

constexpr std::string_view kContinued = "(CONTINUED)";

// "OA": banner, general information and type of analysis on a page of their own.
void writeGeneralInformation(SectionContext& c) {
    AnalysisState& s = c.s;
    ReportOut& out = c.out;
    const ReportUnits& u = c.u;
    pageHeader(s, out, 100);

    out.blank();
    out.blank();
    out.line().text(22, "ORVANIA DEPARTMENT OF TRANSPORTATION");
    out.line().text(28, "HALVERN DESIGN OFFICE");
    out.line().text(18, "STATIC PILE BEARING CAPACITY ANALYSIS PROGRAM");
    out.line().text(u.bannerVersion);
    out.line().text(24, "BASED ON RESEARCH BULLETIN RB-407");
    out.line().text(17, "\"GUIDELINES FOR USE IN THE SOILS INVESTIGATION");
    out.line().text(26, "AND DESIGN OF FOUNDATIONS FOR");
    out.line().text(u.bannerStates);
    out.line().text(u.bannerResearch);
    out.line().text(25, "\"DESIGN OF STEEL PIPE AND H PILES\"");
    out.blank();
    out.line().text(u.bannerNote1);
    out.line().text(u.bannerNote2);
    out.line().text(15, "           TO INCLUDE STEEL H AND PIPE PILES");
    out.blank();
    out.blank();

    out.blank();
    out.line().text(5, "A. GENERAL INFORMATION");
    out.line().text(4, "========================");
    out.blank();
    out.line().text(10, "INPUT FILE NAME").A(40, s.INFILE, 30);
    out.line().text(10, "RUN DATE").A(40, s.RUNDATE, 8);
    out.line().text(10, "RUN TIME").A(40, s.RUNTIME, 8);
    out.blank();
    out.line().text(10, "PROJECT NUMBER").A(40, s.PROJNO, 20);
    out.line().text(10, "JOB NAME").A(40, s.JOBNAME, 50);
    out.line().text(10, "SUBMITTING ENGINEER").A(40, s.ENGR, 20);
    out.line().text(10, "BORING NO.").A(40, s.BORNO, 20);
    out.line().text(10, "DRILLING DATE").A(40, s.DRDATE, 20);
    out.line().text(10, "STATION NO.").A(40, s.STANO, 20);
    out.line()
        .text(10, "GROUND SURFACE ELEVATION")
        .F(40, u.len(s.GSE), 6, 2)
        .text(47, u.elevationWord);

    const bool specific = s.IOPT == Iopt::SpecificLengths;
    out.line().text(10, "TYPE OF ANALYSIS").I(40, s.IOPT, 2).text(43, "- DETERMINATION OF STATIC");
    out.line().text(43, specific ? "  PILE BEARING CAPACITY" : "  PILE BEARING CAPACITIES");
    out.line().text(43, specific ? "  FOR SPECIFIC PILE LENGTHS" : "  FOR A RANGE OF PILE LENGTHS");
    out.line().text(43, specific ? "  (DETAILED OUTPUT)" : "  (CAPACITY VS. TIP ELEVATION)");
}

void writeBoringLogHeading(SectionContext& c) {
    ReportOut& out = c.out;
    const ReportUnits& u = c.u;
    out.blank();
    out.blank();
    out.line().text(5, "B. BORING LOG").A(20, c.cont, 11);
    out.line().text(4, "===============");
    out.blank();
    out.line()
        .text(23, u.logDepthHead)
        .text(37, "ELEVATION")
        .text(49, u.logBlowsHead)
        .text(64, "SOIL TYPE");
    out.line()
        .text(10, "ENTRY NO.")
        .text(26, "D(I)")
        .text(40, u.logElevUnit)
        .text(53, "N(I)")
        .text(66, "ST(I)");
    out.line()
        .text(10, "---------")
        .text(23, "----------")
        .text(37, "---------")
        .text(49, "------------")
        .text(64, "---------");
    out.blank();
}

// "OB": one row per log entry, the closing entry included, then the soil type legend.
void writeBoringLog(SectionContext& c) {
    AnalysisState& s = c.s;
    ReportOut& out = c.out;
    const ReportUnits& u = c.u;
    s.LINES = 100;
    const int nsamp = std::min(s.NSAMP, kMaxSamples);
    for (int I = 1; I <= nsamp; ++I) {
        if (pageHeader(s, out, 1) == 0) {
            writeBoringLogHeading(c);
            c.cont = kContinued;
            s.LINES += 9;
        }
        out.line()
            .I(12, I, 3)
            .F(24, u.len(s.D(I)), 6, 1)
            .F(38, u.len(s.GSE - s.D(I)), 6, 1)
            .F(51, s.N(I), 6, 1)
            .I(68, s.ST(I), 1);
    }

    pageHeader(s, out, 10);
    out.blank();
    out.blank();
    out.line().text(32, "SOIL TYPE LEGEND");
    out.line().text(31, "------------------");
    out.line().text(17, "0  -  BOTTOM OF BORING");
    out.line().text(17, "1  -  PLASTIC CLAYS");
    out.line().text(17, "2  -  CLAY/SILT SAND MIXTURES, SILTS & MARLS");
    out.line().text(17, "3  -  CLEAN SAND");
    out.line().text(17, "4  -  SOFT LIMESTONE, VERY SHELLY SANDS");
    out.line().text(17, "5  -  VOID (NO CAPACITY)");
}

void writeDiameterLine(SectionContext& c) {
    c.out.line()
        .text(10, "DIAMETER OF PILE")
        .text(52, "WP =")
        .F(58, c.u.small(c.s.WP), 7, 2)
        .text(66, c.u.sizeWord);
}

void writeThicknessLine(SectionContext& c) {
    c.out.line()
        .text(10, "THICKNESS OF PILE")
        .text(49, "THICK =")
        .F(58, c.u.small(c.s.THICK), 7, 2)
        .text(66, c.u.sizeWord);
}

// "OC": the pile section on a new page, and the length for a specific-length case.
void writePileInformation(SectionContext& c) {
    AnalysisState& s = c.s;
    ReportOut& out = c.out;
    const ReportUnits& u = c.u;
    s.LINES = 100;
    pageHeader(s, out, 7);
    out.blank();
    out.blank();
    out.line().text(5, "C. PILE INFORMATION");
    out.line().text(4, "=====================");

    out.blank();
    out.line().text(10, "TEST PILE SECTION ").text(49, "ISECT =").I(58, s.ISECT, 3);
    switch (sectionBlockOf(s.ISECT, s.IPIPE)) {
    case SectionBlock::Square:
        out.line().text(40, "{concrete pile, square section}");
        out.line()
            .text(10, "WIDTH OF PILE")
            .text(52, "WP =")
            .F(58, u.small(s.WP), 7, 2)
            .text(66, u.sizeWord);
        break;
    case SectionBlock::Round:
        out.line().text(40, "{concrete pile, round section}");
        writeDiameterLine(c);
        break;
    case SectionBlock::OpenPipe:
        out.line().text(45, "{open-end steel pipe pile}");
        writeDiameterLine(c);
        writeThicknessLine(c);
        break;
    case SectionBlock::ClosedPipe:
        out.line().text(44, "{closed-end steel pipe pile}");
        writeDiameterLine(c);
        writeThicknessLine(c);
        break;
    case SectionBlock::HPile:
        out.line().text(53, "{steel H-pile}");
        out.line()
            .text(10, "WIDTH OF FLANGE")
            .text(49, "WIDTH =")
            .F(58, u.small(s.WP), 7, 2)
            .text(66, u.sizeWord);
        out.line()
            .text(10, "DEPTH OF SECTION")
            .text(49, "DEPTH =")
            .F(58, u.small(s.DEPTH), 7, 2)
            .text(66, u.sizeWord);
        // The unit starts one blank after the nine-column area, which ends at column 66.
        out.line()
            .text(10, "TRUE X-SECTIONAL AREA")
            .text(49, "TAREA =")
            .F(58, u.area(s.TAREA), 9, 2)
            .text(68, u.areaWord);
        break;
    case SectionBlock::Cylinder:
        out.line().text(45, "{CONCRETE CYLINDER PILE}");
        writeDiameterLine(c);
        writeThicknessLine(c);
        break;
    case SectionBlock::None:
        break;
    }

    if (s.IOPT == Iopt::SpecificLengths) {
        s.LINES += 2;
        out.blank();
        out.line()
            .text(10, "TEST PILE LENGTH")
            .text(51, "TPL =")
            .F(58, u.len(s.TPL), 7, 2)
            .text(66, u.pileLengthWord);
        out.line()
            .text(10, "PILE TIP ELEVATION")
            .text(51, "EBP =")
            .F(58, u.len(s.EBP), 7, 2)
            .text(66, u.pileLengthWord);
    }
}

} // namespace

void writeSection(AnalysisState& s, ReportOut& out, Section section) {
    SectionContext c{s, out, ReportUnits::of(s.IUNITS)};
    switch (section) {
    case Section::GeneralInformation:
        return writeGeneralInformation(c);
    case Section::BoringLog:
        return writeBoringLog(c);
    case Section::PileInformation:
        return writePileInformation(c);
    case Section::SoilLayers:
        return writeSoilLayers(c);
    case Section::SkinFriction:
        return writeSkinFriction(c);
    case Section::EndBearing:
        return writeEndBearing(c);
    case Section::PileCapacity:
        return writePileCapacity(c);
    case Section::TableHeading:
        return writeTableHeading(c);
    case Section::TableLine:
        return writeTableLine(c);
    case Section::TableNotes:
        return writeTableNotes(c);
    }
}

} // namespace zenka
