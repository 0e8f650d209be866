#include "engine/Report.h"

#include "engine/Format.h"

#include <algorithm>
#include <cassert>

namespace zenka {

ReportLine::~ReportLine() {
    out_.append(buf_);
}

void ReportLine::place(int col, std::string_view s) {
    const std::size_t start = col > 1 ? static_cast<std::size_t>(col - 1) : 0;
    if (buf_.size() < start + s.size()) buf_.resize(start + s.size(), ' ');
    // Layouts never overlap; a literal landing on earlier text is a layout fault.
    assert(std::all_of(buf_.begin() + static_cast<std::ptrdiff_t>(start),
                       buf_.begin() + static_cast<std::ptrdiff_t>(start + s.size()),
                       [](char c) { return c == ' '; }));
    buf_.replace(start, s.size(), s);
}

ReportLine& ReportLine::text(int col, std::string_view literal) {
    place(col, literal);
    return *this;
}

ReportLine& ReportLine::text(std::span<const Placed> items) {
    for (const Placed& p : items) place(p.col, p.text);
    return *this;
}

ReportLine& ReportLine::F(int col, double value, int width, int decimals) {
    place(col, fieldF(value, width, decimals));
    return *this;
}

ReportLine& ReportLine::I(int col, long long value, int width) {
    place(col, fieldI(value, width));
    return *this;
}

ReportLine& ReportLine::A(int col, std::string_view value, int width) {
    place(col, fieldA(value, width));
    return *this;
}

void ReportOut::append(std::string_view lineText) {
    text_.append(lineText);
    text_.append("\r\n");
}

namespace {

constexpr Placed kConcreteUnitLineEnglish[] = {
    {9, " (FT)"},    {20, "(FT)"},    {28, " (TONS)"}, {39, " (TONS)"},
    {50, " (TONS)"}, {61, " (TONS)"}, {72, " (TONS)"},
};
constexpr Placed kConcreteUnitLineMetric[] = {
    {9, " (M)"},   {20, "(M)"},   {28, " (kN)"}, {39, " (kN)"},
    {50, " (kN)"}, {61, " (kN)"}, {72, " (kN)"},
};
constexpr Placed kSteelUnitLineEnglish[] = {
    {7, " (FT)"},     {17, "(FT)"},    {23, "(TONS)"},  {32, "(TONS)"},
    {39, "  (TONS)"}, {50, " (TONS)"}, {61, " (TONS)"}, {72, " (TONS)"},
};
constexpr Placed kSteelUnitLineMetric[] = {
    {7, " (M)"},    {18, "(M)"},   {25, "(kN)"},  {34, "(kN)"},
    {41, "  (kN)"}, {52, " (kN)"}, {63, " (kN)"}, {74, " (kN)"},
};
constexpr Placed kHPileNote4Line3English[] = {
    {27, "= ULT."},
    {33, " SKIN FRICTION + 3*MOBILIZED END BEARING,"},
};
constexpr Placed kHPileNote4Line3Metric[] = {
    {27, "= ULT SKIN FRICTION + 3*MOBILIZED END BEARING - PILE WEIGHT,"},
};

const ReportUnits kEnglish{
    .english = true,
    .lengthFactor = 1.0,
    .smallLengthFactor = 1.0,
    .areaFactor = 1.0,
    .forceFactor = 1.0,
    .stressFactor = 1.0,
    .bannerVersion = {25, "ZENKA - VERSION 1.2 FEBRUARY, 1997"},
    .bannerStates = {20, "BRIDGE STRUCTURES IN THE STATE OF ORVANIA\" AND"},
    .bannerResearch = {20, "RESEARCH STUDY REPORT BY UNIVERSITY OF ORVANIA"},
    .bannerNote1 = {15, "NOTE   -   THIS PROGRAM IS EXPANDED FROM TELKO"},
    .bannerNote2 = {15, "             IS ALSO KNOWN AS MORVA"},
    .elevationWord = "FEET",
    .logDepthHead = "DEPTH (FT)",
    .logBlowsHead = "SPT BLOWS/FT",
    .logElevUnit = "(FT)",
    .sizeWord = "INCHES",
    .areaWord = "INCH^2",
    .pileLengthWord = "FEET",
    .blowsHead = "BLOW/FT",
    .blowsWord = "BL/FT",
    .forceWord = "TONS",
    .stressWord = "TSF",
    .lengthWord = "FT",
    .sflWidth = 6,
    .endBearingWidthTail = {52, " INCHES, LENGTH ="},
    .endBearingLengthCol = 69,
    .endBearingTitleEnd = {76, " FT)"},
    .upcWidth = 7,
    .concreteUnitLine = kConcreteUnitLineEnglish,
    .steelUnitLine = kSteelUnitLineEnglish,
    .hPileNote4Tail = {65, " BEARING,"},
    .hPileNote4Line3 = kHPileNote4Line3English,
    .tooNearTail = " FT",
    .exceedsTail = " FT",
};

const ReportUnits kMetric{
    .english = false,
    .lengthFactor = 0.3048,
    .smallLengthFactor = 25.4,
    .areaFactor = 645.16,
    .forceFactor = 8.8964,
    .stressFactor = 95.76,
    .bannerVersion = {25, "ZENKA - VERSION 1.4, JUNE, 2000"},
    .bannerStates = {16, "BRIDGE STRUCTURES IN THE STATE OF ORVANIA\", AND"},
    .bannerResearch = {36, "RESEARCH REPORT"},
    .bannerNote1 = {15, "NOTE   -   THIS PROGRAM IS AN EXPANSION OF TELKO"},
    .bannerNote2 = {15, "                  IS ALSO KNOWN AS MORVA"},
    .elevationWord = "METERS",
    .logDepthHead = "DEPTH (M)",
    .logBlowsHead = "SPT BLOWS/.3M",
    .logElevUnit = "(M)",
    .sizeWord = "mm",
    .areaWord = "mm^2",
    .pileLengthWord = "M",
    .blowsHead = "BLOW/.3M",
    .blowsWord = "BL/.3M",
    .forceWord = "kN",
    .stressWord = "kPa",
    .lengthWord = "M",
    .sflWidth = 7,
    .endBearingWidthTail = {52, " mm, LENGTH ="},
    .endBearingLengthCol = 65,
    .endBearingTitleEnd = {72, " M)"},
    .upcWidth = 8,
    .concreteUnitLine = kConcreteUnitLineMetric,
    .steelUnitLine = kSteelUnitLineMetric,
    .hPileNote4Tail = {65, " BEARING - PILE WEIGHT,"},
    .hPileNote4Line3 = kHPileNote4Line3Metric,
    .tooNearTail = "  M",
    .exceedsTail = " M",
};

} // namespace

const ReportUnits& ReportUnits::of(int iunits) {
    return iunits == 1 ? kEnglish : kMetric;
}

} // namespace zenka
