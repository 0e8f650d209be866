#include "engine/Driver.h"

#include "engine/AnalysisState.h"
#include "engine/ErrorWriter.h"
#include "engine/GraphData.h"
#include "engine/Report.h"
#include "engine/Sections.h"
#include "engine/capacity/PileCapacity.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace zenka {

namespace {

// Range stepping accumulates PLINC; a last length that lands a hair above PLMAX by rounding
// (1.0 + 10 x 0.1) is still the maximum the engineer asked for.
constexpr double kRangeTolerance = 1e-6;

// The run's date and time: the local clock, or SOURCE_DATE_EPOCH (UTC) so that reports of two
// runs can be compared.
std::tm runClock() {
    std::tm tm{};
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        long long seconds = 0;
        const char* end = epoch + std::strlen(epoch);
        const auto res = std::from_chars(epoch, end, seconds);
        if (res.ec == std::errc() && res.ptr == end) {
            const auto t = static_cast<std::time_t>(seconds);
            if (gmtime_r(&t, &tm)) return tm;
        }
    }
    const std::time_t now = std::time(nullptr);
    localtime_r(&now, &tm);
    return tm;
}

std::string twoDigits(int a, int b, int c, char sep) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%c%02d%c%02d", a % 100, sep, b % 100, sep, c % 100);
    return buf;
}

void compute(AnalysisState& s) {
    if (PileShape::steel(s.ISECT))
        computeSteelPile(s.IERR, s);
    else
        computeConcretePile(s.IERR, s);
}

void recordCase(AnalysisState& s) {
    s.cases.push_back(
        {s.IW, s.WP, s.TPL, s.EBP, s.USF, s.CMAXB, s.MPC, s.TCP, s.UPC, s.TSF, s.CSFBL});
}

void specificLengths(AnalysisState& s, ReportOut& out) {
    const int count = s.NLEN > 0 ? s.NLEN : 1;
    for (int j = 1; j <= count; ++j) {
        s.TPL = s.PL(j);
        s.EBP = s.GSE - s.TPL;
        s.IERR = kReportUnit;
        writeSection(s, out, Section::PileInformation);
        compute(s);
        if (s.IERR != 0) continue; // the computation has written its message
        recordCase(s);
        writeSection(s, out, Section::SoilLayers);
        writeSection(s, out, Section::SkinFriction);
        writeSection(s, out, Section::EndBearing);
        writeSection(s, out, Section::PileCapacity);
    }
}

void rangeOfLengths(AnalysisState& s, ReportOut& out) {
    s.TPL = s.PLMIN;
    writeSection(s, out, Section::PileInformation);
    writeSection(s, out, Section::TableHeading);
    for (int i = 1;; ++i) {
        s.IERR = kReportUnit;
        if (i > kMaxRangeSteps) {
            s.IERR = 24;
            writeError(out, s.IUNITS, 24, kMaxRangeSteps);
            break;
        }
        compute(s);
        if (s.IERR >= 20) break; // the computation has written its message
        writeSection(s, out, Section::TableLine);
        storeRangeStep(s, i);
        recordCase(s);
        s.TPL += s.PLINC;
        if (!(s.TPL <= s.PLMAX + kRangeTolerance)) {
            writeError(out, s.IUNITS, 21, 0);
            break;
        }
    }
    writeSection(s, out, Section::TableNotes);
}

// Room for the report up front: grown by doubling, a megabyte of text is copied again and again
// onto fresh pages. A little more than the run prints when every entry is a layer of its own
// (a detailed case prints a line per layer); what is never written is never touched.
std::size_t reportSizeEstimate(const AnalysisState& s) {
    constexpr std::size_t kLine = 80;
    const auto entries = static_cast<std::size_t>(std::clamp(s.NSAMP, 0, kMaxSamples));
    const auto widths = static_cast<std::size_t>(std::clamp(s.NW, 0, kMaxWidths));
    const std::size_t perWidth =
        s.IOPT == Iopt::SpecificLengths
            ? static_cast<std::size_t>(std::max(s.NLEN, 1)) * (entries + 70) * kLine
            : (kMaxRangeSteps + 60) * kLine;
    return (entries + 100) * kLine + widths * perWidth;
}

} // namespace

void runAnalysis(AnalysisState& s, ReportOut& out) {
    s.report = &out;
    s.cases.clear();

    s.PROGID = "ZENKA";
    s.TITLE = "STATIC PILE BEARING CAPACITY ANALYSIS";
    s.LINES = 100;
    s.IPAGE = 0;
    clearResultTable(s);

    const std::tm tm = runClock();
    s.RUNDATE = twoDigits(tm.tm_mon + 1, tm.tm_mday, tm.tm_year % 100, '/');
    s.RUNTIME = twoDigits(tm.tm_hour, tm.tm_min, tm.tm_sec, ':');

    s.NLEN = 0;
    while (s.NLEN < kMaxLengths && s.PL(s.NLEN + 1) > 0) ++s.NLEN;
    out.reserve(out.text().size() + reportSizeEstimate(s));

    writeSection(s, out, Section::GeneralInformation);
    writeSection(s, out, Section::BoringLog);

    s.IW = 1;
    for (int n = 0; n < s.NW; ++n) {
        // Section C prints the width being analysed, so it must be set before the first
        // section of the width, not only inside the computation.
        s.WP = s.PWID(s.IW);
        if (s.IOPT == Iopt::SpecificLengths)
            specificLengths(s, out);
        else if (s.IOPT == Iopt::RangeOfLengths)
            rangeOfLengths(s, out);

        out.blank();
        out.blank();
        out.line().text(10, "PROBLEM COMPLETED").text(49, "ANALYSIS NO.").I(61, s.NANAL, 3);
        out.blank();
        ++s.NANAL;
        ++s.IW;
    }

    out.line().text(1, " \f");
    s.report = nullptr;
}

} // namespace zenka
