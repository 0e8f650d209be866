#pragma once

// The report and the graphs of one run as pages: the report's pages in a monospaced font, one
// page per form feed, then each graph on a page of its own. One rendering for the PDF file and
// for the printer.

#include "graphs/Chart2D.h"

#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QPagedPaintDevice;

namespace zenka {

class CPelbrinDoc;
struct AnalysisState;

enum class Paper { Letter, A4 };

// The system's default printer's paper when it is Letter or A4, otherwise the locale's.
Paper defaultPaper();
const char* paperName(Paper paper);

// The report's pages, each a list of lines without their line ends. A line holding a form feed
// ends a page; what the line holds before the form feed is the page's last line.
std::vector<std::vector<std::string>> reportPages(std::string_view report);

// The graphs of the run: the blow-count graph and, after a range of lengths, one capacity graph
// per pile width, as the graph windows show them.
QList<ChartContent> runCharts(const CPelbrinDoc& doc, const AnalysisState& s);

struct ReportPrint {
    std::vector<std::vector<std::string>> pages;
    QList<ChartContent> charts;
    QString title;   // the job name
    QString created; // PDF date of the run in UTC, "D:20240102030405Z"
    Paper paper = Paper::Letter;
};

// The PDF date "D:YYYYMMDDHHMMSSZ" of a run dated by its report's "MM/DD/YY" and "HH:MM:SS",
// which are UTC when `utc` is set and local time otherwise.
QString pdfDate(std::string_view date, std::string_view time, bool utc);

// Whether a run dates itself in UTC: by SOURCE_DATE_EPOCH when that holds a whole number of
// seconds, else by the local clock.
bool runClockIsUtc();

// A run's date "MM/DD/YY" and time "HH:MM:SS" as the report prints them, taken now by the
// report's rule: SOURCE_DATE_EPOCH in UTC, else the local clock.
struct RunStamp {
    std::string date;
    std::string time;
    bool utc = false;
};
RunStamp runStampNow();

// What a PDF file says of itself.
struct PdfInfo {
    QString title;
    QString subject;
    QString created; // "D:20240102030405Z"
};

// Pages painted by `paint` onto a PDF of the paper, as bytes that are the same for the same
// pages and info (no clock, no random identifier); empty when they could not be painted.
std::string pdfBytes(const PdfInfo& info, Paper paper,
                     const std::function<bool(QPagedPaintDevice&)>& paint);

// What the run made, its report's text among it, ready to be put on paper.
ReportPrint reportPrint(const CPelbrinDoc& doc, const AnalysisState& s, std::string_view report,
                        Paper paper);

// "Page 3 of 7".
QString pageOf(int page, int pages);

// Every page onto the device, each numbered of the whole in its foot, which must have its page size
// and margins set. False when the device could not be painted on.
bool paintReport(QPagedPaintDevice& device, const ReportPrint& print);

// The whole document as PDF bytes, the same for the same run; empty when it could not be made.
std::string reportPdf(const ReportPrint& print);

inline constexpr const char* kPdfSubject = "Static pile capacity";

} // namespace zenka
