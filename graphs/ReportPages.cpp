#include "graphs/ReportPages.h"

#include "engine/AnalysisState.h"
#include "engine/Report.h"
#include "graphs/GraphContent.h"
#include "graphs/GraphWindows.h"
#include "model/PelbrinDoc.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinterInfo>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

namespace zenka {

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// The widest report line is the page header's project line.
constexpr int kReportColumns = 90;
// Half an inch around the text and the graphs.
constexpr double kMarginPoints = 36;

QPageSize pageSize(Paper paper) {
    return QPageSize(paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter);
}

QFont reportFont() {
    // The program's own choice first, so that every machine with it makes the same file.
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

// SOURCE_DATE_EPOCH when it holds a whole number of seconds.
std::optional<long long> sourceDateEpoch() {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (!epoch || !*epoch) return std::nullopt;
    long long seconds = 0;
    const char* end = epoch + std::strlen(epoch);
    const auto res = std::from_chars(epoch, end, seconds);
    if (res.ec != std::errc() || res.ptr != end) return std::nullopt;
    return seconds;
}

} // namespace

bool runClockIsUtc() {
    return sourceDateEpoch().has_value();
}

RunStamp runStampNow() {
    std::tm tm{};
    const std::optional<long long> epoch = sourceDateEpoch();
    const auto at = static_cast<std::time_t>(epoch ? *epoch : std::time(nullptr));
    if (epoch ? !gmtime_r(&at, &tm) : !localtime_r(&at, &tm)) tm = std::tm{};
    char date[16], time[16];
    std::snprintf(date, sizeof date, "%02d/%02d/%02d", (tm.tm_mon + 1) % 100, tm.tm_mday % 100,
                  tm.tm_year % 100);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", tm.tm_hour % 100, tm.tm_min % 100,
                  tm.tm_sec % 100);
    return {date, time, epoch.has_value()};
}

QString pdfDate(std::string_view date, std::string_view time, bool utc) {
    int month = 1, day = 1, year = 0, hour = 0, minute = 0, second = 0;
    const std::string d(date), t(time);
    std::sscanf(d.c_str(), "%d/%d/%d", &month, &day, &year);
    std::sscanf(t.c_str(), "%d:%d:%d", &hour, &minute, &second);
    std::tm tm{};
    // The report keeps two digits of the year; its runs are this century's.
    tm.tm_year = 100 + year;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    if (!utc) {
        // A local time: readers take a date without a zone for UTC, so it is written as one.
        tm.tm_isdst = -1;
        const std::time_t at = std::mktime(&tm);
        std::tm zulu{};
        if (at != static_cast<std::time_t>(-1) && gmtime_r(&at, &zulu)) tm = zulu;
    }
    return QString::asprintf("D:%04d%02d%02d%02d%02d%02dZ", tm.tm_year + 1900, tm.tm_mon + 1,
                             tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

namespace {

void paintText(QPainter& painter, const QRectF& area,
               const std::vector<std::vector<std::string>>& pages,
               const std::vector<std::string>& page) {
    QFont font = reportFont();
    // Sized once for the whole report, so every page has the same print.
    std::size_t columns = kReportColumns, lines = 1;
    for (const auto& p : pages) {
        lines = std::max(lines, p.size());
        for (const std::string& l : p) columns = std::max(columns, l.size());
    }
    font.setPointSizeF(10);
    const QFontMetricsF probe(font, painter.device());
    const double advance = probe.horizontalAdvance(QLatin1Char('M'));
    const double scale = std::min(area.width() / (static_cast<double>(columns) * advance),
                                  area.height() / (static_cast<double>(lines) * probe.height()));
    font.setPointSizeF(10 * scale);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    // One font height apart: the font's own line pitch, which text extraction counts on.
    const double step = metrics.height();
    double baseline = area.top() + metrics.ascent();
    for (const std::string& line : page) {
        if (!line.empty())
            painter.drawText(QPointF(area.left(), baseline),
                             QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
        baseline += step;
    }
}

// A PDF text string: UTF-16 with its byte order mark, in hexadecimal.
std::string pdfText(const QString& s) {
    std::string out = "<FEFF";
    for (const QChar c : s) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(c.unicode()));
        out += hex;
    }
    return out + ">";
}

// The toolkit's PDF with its information dictionary (object 1) replaced: it dates the file by
// the clock and has no subject. The objects after it move, so the cross-reference table and
// its offset are written again. Empty when the file is not laid out as expected.
std::string withInfo(std::string pdf, const QString& title, const QString& subject,
                     const QString& created) {
    const std::size_t start = pdf.find("\n1 0 obj\n");
    if (start == std::string::npos) return {};
    const std::size_t objStart = start + 1;
    const std::size_t objEnd = pdf.find("endobj\n", objStart);
    if (objEnd == std::string::npos) return {};
    const std::size_t oldEnd = objEnd + 7;
    std::string info = "1 0 obj\n<<\n/Title " + pdfText(title) + "\n/Subject " + pdfText(subject) +
                       "\n/Creator " + pdfText(QStringLiteral("Zenka")) + "\n/Producer " +
                       pdfText(QStringLiteral("Zenka " ZENKA_VERSION)) + "\n/CreationDate (" +
                       created.toStdString() + ")\n>>\nendobj\n";
    const long long delta =
        static_cast<long long>(info.size()) - static_cast<long long>(oldEnd - objStart);
    pdf.replace(objStart, oldEnd - objStart, info);

    const std::size_t startxref = pdf.rfind("startxref\n");
    if (startxref == std::string::npos) return {};
    const long long xref = std::atoll(pdf.c_str() + startxref + 10);
    const auto xrefAt = static_cast<std::size_t>(xref + delta);
    if (xref <= 0 || pdf.compare(xrefAt, 5, "xref\n") != 0) return {};
    int first = 0, count = 0, used = 0;
    if (std::sscanf(pdf.c_str() + xrefAt + 5, "%d %d\n%n", &first, &count, &used) != 2) return {};
    std::size_t entry = xrefAt + 5 + static_cast<std::size_t>(used);
    constexpr std::size_t kEntry = 20; // "0000012345 00000 n \n"
    if (entry + static_cast<std::size_t>(count) * kEntry > pdf.size()) return {};
    for (int k = 0; k < count; ++k, entry += kEntry) {
        if (pdf[entry + 17] != 'n') continue;
        const long long offset = std::atoll(pdf.c_str() + entry);
        if (offset <= static_cast<long long>(objStart)) continue;
        char digits[16];
        std::snprintf(digits, sizeof digits, "%010lld", offset + delta);
        pdf.replace(entry, 10, digits);
    }
    const std::size_t numberEnd = pdf.find('\n', startxref + 10);
    pdf.replace(startxref + 10, numberEnd - (startxref + 10), std::to_string(xref + delta) + " ");
    return pdf;
}

} // namespace

Paper defaultPaper() {
    const QPageSize printer = QPrinterInfo::defaultPrinter().defaultPageSize();
    if (printer.id() == QPageSize::A4) return Paper::A4;
    if (printer.id() == QPageSize::Letter) return Paper::Letter;
    const QLocale::MeasurementSystem system = QLocale::system().measurementSystem();
    return system == QLocale::ImperialUSSystem ? Paper::Letter : Paper::A4;
}

const char* paperName(Paper paper) {
    return paper == Paper::A4 ? "A4" : "Letter";
}

std::vector<std::vector<std::string>> reportPages(std::string_view report) {
    std::vector<std::vector<std::string>> pages;
    std::vector<std::string> page;
    auto endPage = [&] {
        // Nothing before the first form feed but its own blank: no page.
        const bool empty = std::all_of(page.begin(), page.end(),
                                       [](const std::string& l) { return trimmed(l).empty(); });
        if (!empty) pages.push_back(std::move(page));
        page.clear();
    };
    std::size_t pos = 0;
    bool afterFormFeed = false;
    while (pos < report.size()) {
        std::size_t end = report.find('\n', pos);
        if (end == std::string_view::npos) end = report.size();
        std::string_view line = report.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t ff = line.find('\f');
        if (ff != std::string_view::npos) {
            page.emplace_back(line.substr(0, ff));
            endPage();
            // What follows the form feed on its line starts the next page.
            const std::string_view rest = line.substr(ff + 1);
            afterFormFeed = rest.empty();
            if (!rest.empty()) page.emplace_back(rest);
            continue;
        }
        if (afterFormFeed && page.empty() && line.empty()) {
            // The form feed's line end.
            afterFormFeed = false;
            continue;
        }
        afterFormFeed = false;
        page.emplace_back(line);
    }
    endPage();
    for (auto& p : pages)
        while (!p.empty() && trimmed(p.back()).empty()) p.pop_back();
    return pages;
}

QList<ChartContent> runCharts(const CPelbrinDoc& doc, const AnalysisState& s) {
    QList<ChartContent> charts{blowCountChart(doc, s)};
    if (doc.analysisType != AnalysisType::RangeOfLengths) return charts;
    const int widths = std::clamp(doc.widthCount, 1, kDocWidths);
    for (int w = 1; w <= widths; ++w) charts.append(capacityChart(doc, s, w));
    return charts;
}

ReportPrint reportPrint(const CPelbrinDoc& doc, const AnalysisState& s, std::string_view report,
                        Paper paper) {
    ReportPrint print;
    print.pages = reportPages(report);
    print.charts = runCharts(doc, s);
    print.title = text(trimmed(doc.jobName));
    print.created = pdfDate(s.RUNDATE.view(), s.RUNTIME.view(), runClockIsUtc());
    print.paper = paper;
    return print;
}

QString pageOf(int page, int pages) {
    return QStringLiteral("Page %1 of %2").arg(page).arg(pages);
}

namespace {

// "Page N of M" in the bottom margin, under the report's text: the report's own layout, header
// page number included, stays as it is. The report's pages come first, so N is the number its
// header prints.
void paintFooter(QPainter& painter, const QRectF& area, const QString& text) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(8);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double pointsToDevice = painter.device()->logicalDpiY() / 72.0;
    const double baseline =
        area.bottom() + kMarginPoints * pointsToDevice / 2 + metrics.ascent() / 2;
    painter.drawText(QPointF(area.right() - metrics.horizontalAdvance(text), baseline), text);
}

} // namespace

bool paintReport(QPagedPaintDevice& device, const ReportPrint& print) {
    const QMarginsF margins(kMarginPoints, kMarginPoints, kMarginPoints, kMarginPoints);
    // The paper is the device's: the printer's as chosen in the print dialog.
    const QPageSize paper = device.pageLayout().pageSize();
    device.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, margins));
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const int total = static_cast<int>(print.pages.size()) + static_cast<int>(print.charts.size());
    int number = 0;
    auto area = [&] { return QRectF(0, 0, device.width(), device.height()); };
    for (const auto& page : print.pages) {
        if (number > 0) device.newPage();
        ++number;
        paintText(painter, area(), print.pages, page);
        paintFooter(painter, area(), pageOf(number, total));
    }
    CChart2D chart;
    for (const ChartContent& content : print.charts) {
        // The capacity graphs read best wide, the boring log's blow counts tall.
        const bool wide = content.series.size() > 1;
        device.setPageLayout(
            QPageLayout(paper, wide ? QPageLayout::Landscape : QPageLayout::Portrait, margins));
        if (number > 0) device.newPage();
        ++number;
        ChartContent numbered = content;
        numbered.titleBlock.page = pageOf(number, total);
        chart.setContent(numbered);
        chart.render(painter, area());
    }
    return painter.end();
}

std::string pdfBytes(const PdfInfo& info, Paper paper,
                     const std::function<bool(QPagedPaintDevice&)>& paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(info.title);
        pdf.setCreator(QStringLiteral("Zenka"));
        pdf.setResolution(1200);
        pdf.setPageSize(pageSize(paper));
        if (!paint(pdf)) return {};
    }
    return withInfo(bytes.toStdString(), info.title, info.subject, info.created);
}

std::string reportPdf(const ReportPrint& print) {
    return pdfBytes({print.title, QString::fromLatin1(kPdfSubject), print.created}, print.paper,
                    [&print](QPagedPaintDevice& device) { return paintReport(device, print); });
}

} // namespace zenka
