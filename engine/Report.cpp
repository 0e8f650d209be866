#include "engine/Report.h"

#include "base/Format.h"
#include "engine/AnalysisState.h"
#include "model/UnitFactors.h"

#include <algorithm>
#include <cassert>

namespace zenka {

ReportLine::ReportLine(ReportOut& out) : out_(out) {
    assert(!out_.lineOpen_);
    out_.lineOpen_ = true;
}

ReportLine::~ReportLine() {
    std::string& buf = out_.line_;
    const std::size_t n = out_.lineLength_;
    if (buf.size() < n + 2) buf.resize(n + 2, ' ');
    buf[n] = '\r';
    buf[n + 1] = '\n';
    out_.text_.append(buf, 0, n + 2);
    // Blank again for the next line.
    std::fill_n(buf.begin(), n + 2, ' ');
    out_.lineLength_ = 0;
    out_.lineOpen_ = false;
}

char* ReportLine::field(int col, int width) {
    std::string& buf = out_.line_;
    const std::size_t start = col > 1 ? static_cast<std::size_t>(col - 1) : 0;
    const std::size_t end = start + static_cast<std::size_t>(std::max(width, 0));
    if (buf.size() < end) buf.resize(std::max(end, std::size_t{128}), ' ');
    out_.lineLength_ = std::max(out_.lineLength_, end);
    // Layouts never overlap; a field landing on earlier text is a layout fault.
    assert(std::all_of(buf.begin() + static_cast<std::ptrdiff_t>(start),
                       buf.begin() + static_cast<std::ptrdiff_t>(end),
                       [](char c) { return c == ' '; }));
    return buf.data() + start;
}

ReportLine& ReportLine::text(int col, std::string_view literal) {
    std::copy(literal.begin(), literal.end(), field(col, static_cast<int>(literal.size())));
    return *this;
}

ReportLine& ReportLine::text(std::span<const Placed> items) {
    for (const Placed& p : items) text(p.col, p.text);
    return *this;
}

ReportLine& ReportLine::F(int col, double value, int width, int decimals) {
    putFieldF(field(col, width), value, width, decimals);
    return *this;
}

ReportLine& ReportLine::I(int col, long long value, int width) {
    putFieldI(field(col, width), value, width);
    return *this;
}

ReportLine& ReportLine::A(int col, std::string_view value, int width) {
    putFieldA(field(col, width), value, width);
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
    .lengthFactor = units::kMetresPerFoot,
    .smallLengthFactor = units::kMillimetresPerInch,
    .areaFactor = units::kSquareMillimetresPerSquareInch,
    .forceFactor = units::kKilonewtonsPerTon,
    .stressFactor = units::kKilopascalsPerTsf,
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
    return iunits == Iunits::English ? kEnglish : kMetric;
}

} // namespace zenka
