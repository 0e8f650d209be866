#include "engine/ResultSections.h"

#include "engine/AnalysisState.h"
#include "engine/Report.h"
#include "engine/Sections.h"

#include <algorithm>

namespace zenka {

namespace {

constexpr std::string_view kContinued = "(CONTINUED)";

bool steelPile(const AnalysisState& s) {
    return PileShape::steel(s.ISECT);
}

// The H-pile's ultimate capacity takes twice the end bearing when the tip is in soil type 3 or 4.
bool tipInSoilType3or4(const AnalysisState& s) {
    if (s.IBL < 1 || s.IBL > kMaxLayers) return false;
    return SoilGroup::sandOrLimestone(s.LST(s.IBL));
}

// "LABEL ... NAME = value UNIT": a quantity of sections E to G, its F7.2 value at valueCol and
// its unit word two columns after the value.
void quantity(ReportOut& out, std::string_view label, int nameCol, std::string_view name,
              int valueCol, double value, std::string_view unit) {
    out.line()
        .text(10, label)
        .text(nameCol, name)
        .F(valueCol, value, 7, 2)
        .text(valueCol + 9, unit);
}

void writePointList(SectionContext& c, const PointList<kMaxTipPoints>& p, std::string_view arrow) {
    const int np = std::clamp(p.NP, 0, kMaxTipPoints);
    for (int i = 1; i <= np; ++i) {
        ReportLine line = c.out.line();
        line.F(18, c.u.len(p.Z(i)), 7, 2).F(33, p.N(i), 7, 2).F(48, c.u.stress(p.Q(i)), 7, 2);
        if (i == np / 2 + 1) line.text(60, arrow);
    }
}

void writeTableTitle(SectionContext& c) {
    c.out.blank();
    c.out.blank();
    c.out.line().text(5, "D. PILE CAPACITY VS. PENETRATION").A(40, c.cont, 11);
    c.out.line().text(4, "==================================");
}

void writeUnitAndRuleLines(SectionContext& c) {
    if (steelPile(c.s)) {
        c.out.line().text(c.u.steelUnitLine);
        c.out.line()
            .text(7, "------")
            .text(17, "----")
            .text(24, "------")
            .text(32, "-------")
            .text(39, "--------")
            .text(50, "---------")
            .text(61, "---------")
            .text(72, "--------");
    } else {
        c.out.line().text(c.u.concreteUnitLine);
        c.out.line()
            .text(9, "------")
            .text(20, "----")
            .text(28, "--------")
            .text(39, "---------")
            .text(50, "---------")
            .text(61, "---------")
            .text(72, "--------");
    }
    c.out.blank();
}

void writeColumnHeading(SectionContext& c) {
    ReportOut& out = c.out;
    out.blank();
    if (steelPile(c.s)) {
        out.line()
            .text(7, " TEST")
            .text(17, "PILE")
            .text(25, "WT.")
            .text(33, "ULT.")
            .text(39, "MOBILIZED")
            .text(50, "ESTIMATED")
            .text(61, "ALLOWABLE")
            .text(72, "ULTIMATE");
        out.line()
            .text(7, " PILE")
            .text(17, "TIP")
            .text(25, "OF")
            .text(31, "  SIDE")
            .text(39, "   END")
            .text(50, "DAVISSON")
            .text(61, "  PILE")
            .text(72, "  PILE");
        out.line()
            .text(7, "LENGTH")
            .text(17, "ELEV")
            .text(24, "PILE")
            .text(31, "FRICTION")
            .text(39, " BEARING")
            .text(50, "CAPACITY")
            .text(61, "CAPACITY")
            .text(72, "CAPACITY");
    } else {
        out.line()
            .text(9, " TEST")
            .text(20, "PILE")
            .text(28, "ULTIMATE")
            .text(39, "MOBILIZED")
            .text(50, "ESTIMATED")
            .text(61, "ALLOWABLE")
            .text(72, "ULTIMATE");
        out.line()
            .text(9, " PILE")
            .text(20, "TIP")
            .text(28, "  SIDE")
            .text(39, "   END")
            .text(50, "DAVISSON")
            .text(61, "  PILE")
            .text(72, "  PILE");
        out.line()
            .text(9, "LENGTH")
            .text(20, "ELEV")
            .text(28, "FRICTION")
            .text(39, " BEARING")
            .text(50, "CAPACITY")
            .text(61, "CAPACITY")
            .text(72, "CAPACITY");
    }
    writeUnitAndRuleLines(c);
}

void writeNotesHead(ReportOut& out) {
    out.blank();
    out.line().text(10, "NOTES");
    out.line().text(9, "-------");
    out.blank();
}

void writeNotes2and3(ReportOut& out) {
    out.line()
        .text(10, "2. DAVISSON PILE CAPACITY IS AN ESTIMATE BASED ON FAILURE")
        .text(67, " CRITERIA,");
    out.line()
        .text(13, "AND EQUALS ULTIMATE SIDE FRICTION PLUS")
        .text(51, " MOBILIZED END BEARING.");
    out.blank();
    out.line().text(10, "3. ALLOWABLE PILE CAPACITY IS 1/2 THE DAVISSON PILE CAPACITY.");
    out.blank();
}

void writeGeneralNotes(SectionContext& c) {
    ReportOut& out = c.out;
    writeNotesHead(out);
    out.line().text(10, "1. MOBILIZED END BEARING IS 1/3 OF THE ORIGINAL RB-407 VALUES.");
    out.blank();
    writeNotes2and3(out);
    out.line().text(10, "4. ULTIMATE PILE CAPACITY IS ULTIMATE SIDE FRICTION PLUS");
    out.line().text(13, "3 x THE MOBILIZED END BEARING.");
}

void writeHPileNotes(SectionContext& c) {
    ReportOut& out = c.out;
    writeNotesHead(out);
    out.line().text(10, "1. FOR PILE TIP EMBEDDED IN SOIL TYPE 3 AND 4, END BEARING IS");
    out.line()
        .text(13, "CALCULATED BASED ON BLOCK AREA WHILE TRUE X-SECTIONAL")
        .text(66, " AREA IS USED");
    out.line().text(13, "FOR SOIL TYPE 1 AND 2.");
    out.blank();
    writeNotes2and3(out);
    out.line()
        .text(10, "4. ULT. CAPACITY = ULT. SKIN FRICTION + 2*MOBILIZED END")
        .text(c.u.hPileNote4Tail);
    out.line().text(33, "FOR TIP IN SOIL TYPE 3 OR 4,");
    out.line().text(c.u.hPileNote4Line3);
    out.line().text(33, "FOR TIP IN SOIL TYPE 1 OR 2.");
    out.blank();
    out.line()
        .text(10, "5. PILE CAPACITIES ARE SET TO ZERO IF THEIR COMPUTED VALUES ")
        .text(70, "ARE");
    out.line().text(13, "NEGATIVE.");
}

} // namespace

void writeSoilLayers(SectionContext& c) {
    const AnalysisState& s = c.s;
    ReportOut& out = c.out;
    const ReportUnits& u = c.u;
    out.blank();
    out.blank();
    out.line().text(5, "D. SOIL LAYER INFORMATION");
    out.line().text(4, "===========================");
    out.blank();
    out.line()
        .text(10, "LAYER")
        .text(21, "ELEVATION")
        .text(35, "AVERAGE")
        .text(46, "LAYER")
        .text(55, "ULT SKIN");
    out.line()
        .text(10, "NUMBER")
        .text(18, "BOTTOM OF LAYER")
        .text(35, u.blowsHead)
        .text(44, "SOIL TYPE")
        .text(55, "FRICTION")
        .text(65, "THICKNESS");
    out.line()
        .text(12, "K")
        .text(21, "ELEVBL(K)")
        .text(36, "AN(K)")
        .text(46, "LST(K)")
        .text(55, "SFL(K) *")
        .text(68, "T(K)");
    out.line()
        .text(10, "------")
        .text(18, "---------------")
        .text(35, "-------")
        .text(44, "---------")
        .text(55, "--------")
        .text(65, "---------");
    out.blank();
    // One output statement over all layers: with no layer it still ends one (empty) line.
    const int nlay = std::clamp(s.NLAY, 0, kMaxLayers);
    if (nlay == 0) out.blank();
    for (int K = 1; K <= nlay; ++K)
        out.line()
            .I(10, K, 3)
            .F(20, u.len(s.ELEVBL(K)), 7, 2)
            .F(33, s.AN(K), 7, 2)
            .I(46, s.LST(K), 3)
            .F(56, u.force(s.SFL(K)), u.sflWidth, 2)
            .F(65, u.len(s.T(K)), 7, 2);
    out.blank();
    out.line().text(23, "(* IN LAYERS ABOVE BEARING LAYER)");
}

void writeSkinFriction(SectionContext& c) {
    const AnalysisState& s = c.s;
    ReportOut& out = c.out;
    const ReportUnits& u = c.u;
    out.blank();
    out.blank();
    out.line().text(5, "E. SKIN FRICTION CAPACITY");
    out.line().text(4, "===========================");
    out.blank();
    quantity(out, "ULT SKIN FRICTION IN LAYERS ABOVE", 59, " TSF =", 65, u.force(s.TSF),
             u.forceWord);
    out.line().text(12, "BEARING LAYER");
    out.blank();
    quantity(out, "AVG SPT IN BEARING LAYER ABOVE TIP", 57, "  ANBL =", 65, s.ANBL, u.blowsWord);
    out.blank();
    quantity(out, "ULT SKIN FRICTION IN BEARING LAYER", 59, "SFBL =", 65, u.force(s.SFBL),
             u.forceWord);
    quantity(out, "CORRECTED ULT SKIN FRICTION IN BEARING LAYER", 57, " CSFBL =", 65,
             u.force(s.CSFBL), u.forceWord);
    out.blank();
    quantity(out, "TOTAL ULT SKIN FRICTION (TSF + CSFBL)", 59, " USF =", 65, u.force(s.USF),
             u.forceWord);
}

void writeEndBearing(SectionContext& c) {
    AnalysisState& s = c.s;
    ReportOut& out = c.out;
    const ReportUnits& u = c.u;
    pageHeader(s, out, 100);

    out.blank();
    out.line()
        .text(5, "F. END BEARING CAPACITY")
        .text(33, "(FOR WIDTH =")
        .F(45, u.small(s.WP), 7, 2)
        .text(u.endBearingWidthTail)
        .F(u.endBearingLengthCol, u.len(s.TPL), 7, 2)
        .text(u.endBearingTitleEnd);
    out.line().text(4, "=========================");

    out.blank();
    out.line().text(18, "ELEVATION").text(36, "SPT").text(45, "UNIT END BEARING");
    out.line().text(22, "Z").text(37, "N").text(52, "qt");
    out.line().text(21, u.lengthWord).text(35, u.blowsWord).text(51, u.stressWord);
    out.line().text(18, "---------").text(35, "-----").text(45, "----------------");

    writePointList(c, s.above, "<-- ABOVE PILE TIP");
    out.blank();
    out.blank();
    writePointList(c, s.below, "<-- BELOW PILE TIP");

    out.blank();
    out.blank();
    quantity(out, "AVG UNIT END BEARING ABOVE PILE TIP", 56, "AQPTA =", 64, u.stress(s.AQPTA),
             u.stressWord);
    quantity(out, "AVG UNIT END BEARING BELOW PILE TIP", 56, "AQPTB =", 64, u.stress(s.AQPTB),
             u.stressWord);
    out.blank();
    quantity(out, "AVG UNIT END BEARING IN VICINITY OF PILE TIP", 57, "AQPT =", 64,
             u.stress(s.AQPT), u.stressWord);
    out.blank();
    quantity(out, "CRITICAL DEPTH OF EMBEDMENT IN BRG LYR", 59, "DC =", 64, u.len(s.DC),
             u.lengthWord);
    quantity(out, "ACTUAL DEPTH OF EMBEDMENT", 59, "DA =", 64, u.len(s.DA), u.lengthWord);
    if (s.DA > s.DC) {
        quantity(out, "AVG UNIT END BEARING IN VICINITY OF", 55, "AQPTCD =", 64, u.stress(s.AQPTCD),
                 u.stressWord);
        out.line().text(12, "CRITICAL DEPTH");
    }

    out.blank();
    quantity(out, "MAX MOBILIZED END BEARING CAPACITY", 55, "  MAXB = ", 64, u.force(s.MAXB),
             u.forceWord);
    quantity(out, "CORRECTED MOBILIZED END BEARING CAPACITY", 55, " CMAXB = ", 64, u.force(s.CMAXB),
             u.forceWord);
    out.blank();
}

void writePileCapacity(SectionContext& c) {
    const AnalysisState& s = c.s;
    ReportOut& out = c.out;
    const ReportUnits& u = c.u;
    out.blank();
    out.line().text(5, "G. PILE CAPACITY");
    out.line().text(4, "==================");
    if (u.english) {
        out.blank();
        out.line().text(10, "IN ENGLISH UNIT");
    }

    if (!steelPile(s)) {
        quantity(out, "ESTIMATED DAVISSON PILE CAPACITY (USF + CMAXB)", 58, "MPC = ", 64,
                 u.force(s.MPC), u.forceWord);
        quantity(out, "ALLOWABLE PILE CAPACITY (MPC/2)", 58, "TCP = ", 64, u.force(s.TCP),
                 u.forceWord);
        out.line()
            .text(10, "ULTIMATE PILE CAPACITY (USF + 3*CMAXB)")
            .text(58, "UPC = ")
            .F(64, u.force(s.UPC), u.upcWidth, 2)
            .text(73, u.forceWord);
        return;
    }
    const bool twice = PileShape::flangePlug(s.ISECT) && tipInSoilType3or4(s);
    quantity(out, "WEIGHT OF THE PILE", 58, "WGP = ", 64, u.force(s.WGP), u.forceWord);
    quantity(out, "ESTIMATED DAVISSON CAPACITY (USF+CMAXB-WGP)", 58, "MPC = ", 64, u.force(s.MPC),
             u.forceWord);
    quantity(out, "ALLOWABLE PILE CAPACITY (MPC/2)", 58, "TCP = ", 64, u.force(s.TCP), u.forceWord);
    out.line()
        .text(10, twice ? "ULTIMATE PILE CAPACITY (USF+2*CMAXB-WPG)"
                        : "ULTIMATE PILE CAPACITY (USF+3*CMAXB-WPG)")
        .text(58, "UPC = ")
        .F(64, u.force(s.UPC), u.upcWidth, 2)
        .text(73, u.forceWord);
}

void writeTableHeading(SectionContext& c) {
    c.s.LINES += 11;
    writeTableTitle(c);
    writeColumnHeading(c);
}

void writeTableLine(SectionContext& c) {
    AnalysisState& s = c.s;
    const ReportUnits& u = c.u;
    if (pageHeader(s, c.out, 1) == 0) {
        c.cont = kContinued;
        writeTableTitle(c);
        writeUnitAndRuleLines(c);
    }
    if (steelPile(s))
        c.out.line()
            .F(3, u.len(s.TPL), 9, 1)
            .F(12, u.len(s.EBP), 9, 1)
            .F(21, u.force(s.WGP), 7, 2)
            .F(28, u.force(s.USF), 9, 2)
            .F(37, u.force(s.CMAXB), 10, 2)
            .F(47, u.force(s.MPC), 11, 2)
            .F(58, u.force(s.TCP), 10, 2)
            .F(68, u.force(s.UPC), 10, 2);
    else
        c.out.line()
            .F(4, u.len(s.TPL), 10, 1)
            .F(14, u.len(s.EBP), 10, 1)
            .F(24, u.force(s.USF), 11, 2)
            .F(35, u.force(s.CMAXB), 11, 2)
            .F(46, u.force(s.MPC), 11, 2)
            .F(57, u.force(s.TCP), 11, 2)
            .F(68, u.force(s.UPC), 11, 2);
}

void writeTableNotes(SectionContext& c) {
    if (pageHeader(c.s, c.out, 17) == 0) {
        c.cont = kContinued;
        writeTableTitle(c);
    }
    if (c.s.ISECT == PileShape::SteelH)
        writeHPileNotes(c);
    else
        writeGeneralNotes(c);
}

} // namespace zenka
