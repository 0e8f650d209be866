#include "graphs/SitePdf.h"

#include "base/AtomicFile.h"
#include "engine/AnalysisState.h"
#include "graphs/GraphContent.h"
#include "model/PelbrinDoc.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>

namespace zenka {

namespace {

// Layout is done in points; the PDF is drawn at this resolution, and text is measured at it so
// that what is laid out is what is drawn.
constexpr double kDpi = 1200;
constexpr double kMargin = 36;     // points around the page, as the report's
constexpr double kCellPad = 4;     // points on either side of a title block cell's text
constexpr double kTablePad = 2.5;  // and of a table cell's
constexpr double kBlockGap = 14;   // between tables side by side
constexpr double kTitleGap = 8;    // above the title block
constexpr double kTitleFont = 7.5; // the title block's
constexpr double kTableFont = 7.5; // the tables'
constexpr double kSmallestTableFont = 6;
constexpr double kNoteFont = 8.5;   // the paragraphs'
constexpr double kHeadingFont = 13; // a page's heading
constexpr std::size_t kSkippedShown = 12;
constexpr double kWidestColumn = 130; // points: a longer name is cut short

QFont pageFont(double points, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    // No ligatures: "file" stays four letters for whoever searches or copies the text.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// Text widths and line heights in points, measured as the PDF draws them.
class Measure {
public:
    Measure() : image_(1, 1, QImage::Format_RGB32) {
        const int dotsPerMeter = static_cast<int>(std::lround(kDpi / 0.0254));
        image_.setDotsPerMeterX(dotsPerMeter);
        image_.setDotsPerMeterY(dotsPerMeter);
    }
    double width(const QFont& font, const QString& text) {
        return metrics(font).horizontalAdvance(text) * 72 / kDpi;
    }
    double lineHeight(const QFont& font) { return metrics(font).height() * 72 / kDpi * 1.15; }
    double ascent(const QFont& font) { return metrics(font).ascent() * 72 / kDpi; }

private:
    const QFontMetricsF& metrics(const QFont& font) {
        const QString key = font.key();
        auto it = cache_.find(key);
        if (it == cache_.end()) it = cache_.emplace(key, QFontMetricsF(font, &image_)).first;
        return it->second;
    }
    QImage image_;
    std::map<QString, QFontMetricsF> cache_;
};

QString number(double v, int decimals = 2) {
    // No "-0.00".
    if (std::abs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0;
    return QString::number(v, 'f', decimals);
}

QString fileName(const std::string& path) {
    return QFile::decodeName(
        QByteArray::fromStdString(std::filesystem::path(path).filename().string()));
}

QString latin1(const std::string& s) {
    // Project texts are single bytes.
    std::string t = s;
    const auto b = t.find_first_not_of(' ');
    t = b == std::string::npos ? std::string() : t.substr(b, t.find_last_not_of(' ') - b + 1);
    return QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size()));
}

QString utf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

struct UnitWords {
    QString length, width, force;
};
UnitWords unitWords(const SiteResult& site) {
    if (site.metric) return {QStringLiteral("m"), QStringLiteral("mm"), QStringLiteral("kN")};
    return {QStringLiteral("ft"), QStringLiteral("in"), QStringLiteral("tons")};
}

// "Allowable", "Davisson", "Ultimate": as a heading starts it.
QString kindTitle(CapacityKind kind) {
    QString t = QString::fromLatin1(capacityKindText(kind));
    t[0] = t[0].toUpper();
    return t;
}

// The text cut short with an ellipsis to fit `width`; whole when it fits. `middle`: the ellipsis
// takes the middle, for names that may differ only at their ends ("...-BORING-A", "...-B").
QString fitted(Measure& m, const QFont& font, const QString& text, double width,
               bool middle = false) {
    if (m.width(font, text) <= width) return text;
    const QString ellipsis(QChar(0x2026));
    for (qsizetype keep = text.size() - 1; keep > 0; --keep) {
        const QString cut = middle ? text.left((keep + 1) / 2) + ellipsis + text.right(keep / 2)
                                   : text.left(keep) + ellipsis;
        if (m.width(font, cut) <= width) return cut;
    }
    return ellipsis;
}

QStringList wrap(Measure& m, const QFont& font, const QString& text, double width) {
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && m.width(font, longer) > width) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty()) lines << line;
    return lines;
}

// The page's paintable area in points, less the title block and the gap above it.
struct PageBox {
    double width = 0;
    double height = 0; // above the title block
};

// The title block's cells flowed into rows across `width`: each row's cells.
QList<QStringList> titleRows(Measure& m, const QStringList& cells, double width) {
    const QFont font = pageFont(kTitleFont);
    QList<QStringList> rows(1);
    double x = 0;
    for (const QString& cell : cells) {
        const double w = m.width(font, cell) + 3 * kCellPad;
        if (!rows.back().isEmpty() && x + w > width) {
            rows.append(QStringList());
            x = 0;
        }
        rows.back() << cell;
        x += w;
    }
    return rows;
}

double titleRowHeight(Measure& m) {
    return m.lineHeight(pageFont(kTitleFont)) + 2 * kCellPad;
}

QSizeF areaOf(Paper paper, bool landscape) {
    const QSizeF size =
        QPageSize(paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter).size(QPageSize::Point);
    const QSizeF page = landscape ? size.transposed() : size;
    return {page.width() - 2 * kMargin, page.height() - 2 * kMargin};
}

// Column widths from the widest text of each column.
QList<double> fitWidths(Measure& m, const QList<SiteColumnHead>& heads,
                        const QList<SiteLine>& lines, double points) {
    const QFont bold = pageFont(points, true);
    const QFont plain = pageFont(points);
    QList<double> widths;
    for (const SiteColumnHead& h : heads)
        widths << std::max(m.width(bold, h.name), m.width(bold, h.unit)) + 2 * kTablePad;
    for (const SiteLine& l : lines) {
        if (l.kind != SiteLine::Kind::Row) continue;
        for (qsizetype c = 0; c < l.cells.size() && c < widths.size(); ++c)
            widths[c] =
                std::max(widths[c], m.width(l.strong ? bold : plain, l.cells[c]) + 2 * kTablePad);
    }
    for (double& w : widths) w = std::min(w, kWidestColumn);
    return widths;
}

double headHeight(Measure& m, const QList<SiteColumnHead>& heads, double points) {
    const bool twoLines = std::any_of(heads.begin(), heads.end(),
                                      [](const SiteColumnHead& h) { return !h.unit.isEmpty(); });
    return m.lineHeight(pageFont(points, true)) * (twoLines ? 2 : 1) + 3;
}

// Flows a table's lines into columns of `rows` lines each, `across` columns a page; a column
// that starts inside a group repeats the group's heading, "(continued)", and no group heading
// ends a column.
std::vector<QList<SiteBlock>> flow(const SiteBlock& table, std::size_t firstRows, std::size_t rows,
                                   std::size_t across) {
    std::vector<QList<SiteBlock>> pages;
    QList<SiteBlock> page;
    SiteBlock column{table.heads, table.widths, {}, table.points};
    QStringList group;
    std::size_t limit = std::max<std::size_t>(firstRows, 2);
    auto endColumn = [&] {
        page.append(column);
        column.lines.clear();
        if (static_cast<std::size_t>(page.size()) == across) {
            pages.push_back(page);
            page.clear();
            limit = std::max<std::size_t>(rows, 2);
        }
    };
    for (qsizetype i = 0; i < table.lines.size(); ++i) {
        const SiteLine& line = table.lines[i];
        const bool isGroup = line.kind == SiteLine::Kind::Group;
        // A group heading with no room for a line under it goes to the next column.
        const std::size_t need = isGroup ? 2 : 1;
        if (static_cast<std::size_t>(column.lines.size()) + need > limit) endColumn();
        if (column.lines.isEmpty() && !isGroup && !group.isEmpty())
            column.lines.append({SiteLine::Kind::Group,
                                 {group.value(0), group.value(1) + QStringLiteral(" (continued)")},
                                 true});
        if (isGroup) group = line.cells;
        column.lines.append(line);
    }
    if (!column.lines.isEmpty()) page.append(column);
    if (!page.isEmpty()) pages.push_back(page);
    return pages;
}

struct Text {
    QString heading;
    QString continued;
    QStringList notes; // paragraphs
    SiteBlock table;
};

// The pages of one part: its heading and notes on the first, its table flowed over as many as
// it takes.
void addPart(std::vector<SitePage>& pages, Measure& m, const Text& part, const PageBox& box) {
    const QFont heading = pageFont(kHeadingFont, true);
    const QFont note = pageFont(kNoteFont);
    QStringList noteLines;
    for (const QString& p : part.notes) {
        if (!noteLines.isEmpty()) noteLines << QString();
        noteLines << wrap(m, note, p, box.width);
    }
    const double headingHeight = m.lineHeight(heading) + 4;
    const double notesHeight =
        noteLines.isEmpty() ? 0 : static_cast<double>(noteLines.size()) * m.lineHeight(note) + 8;
    SiteBlock fitted = part.table;
    auto across = [&] {
        double blockWidth = 0;
        for (double w : fitted.widths) blockWidth += w;
        return static_cast<std::size_t>(
            std::max(1.0, std::floor((box.width + kBlockGap) / (blockWidth + kBlockGap))));
    };
    // A narrow table is set a little smaller where that puts one more beside it: half the
    // pages for the same rows.
    for (double points = kTableFont - 0.5; points >= kSmallestTableFont; points -= 0.5) {
        SiteBlock smaller = part.table;
        smaller.points = points;
        smaller.widths = fitWidths(m, smaller.heads, smaller.lines, points);
        const std::size_t before = across();
        std::swap(fitted, smaller);
        if (across() > before) break;
        std::swap(fitted, smaller);
    }
    const double line = m.lineHeight(pageFont(fitted.points));
    const double table = headHeight(m, fitted.heads, fitted.points);
    auto rowsIn = [&](double height) {
        return static_cast<std::size_t>(std::max(0.0, std::floor((height - table) / line)));
    };
    const std::size_t first = rowsIn(box.height - headingHeight - notesHeight);
    const std::size_t rest = rowsIn(box.height - headingHeight);
    const auto flowed = flow(fitted, first, rest, across());
    for (std::size_t i = 0; i < std::max<std::size_t>(flowed.size(), 1); ++i) {
        SitePage page;
        page.heading = i == 0 ? part.heading : part.continued;
        if (i == 0) page.notes = noteLines;
        if (i < flowed.size()) page.blocks = flowed[i];
        pages.push_back(page);
    }
}

QString siteLine(const SitePrint& print) {
    const SiteResult& site = print.site;
    return QStringLiteral("%1 borehole(s) of %2 analysed on the template %3.")
        .arg(site.boreholes.size())
        .arg(fileName(site.dataFile), fileName(site.templateFile));
}

QStringList skippedNotes(const SiteResult& site) {
    QStringList notes;
    if (site.skipped.empty()) return notes;
    notes << QStringLiteral("Not analysed (%1):").arg(site.skipped.size());
    for (std::size_t i = 0; i < site.skipped.size() && i < kSkippedShown; ++i)
        notes << utf8(site.skipped[i].first) + QStringLiteral(": ") + utf8(site.skipped[i].second);
    if (site.skipped.size() > kSkippedShown)
        notes << QStringLiteral("and %1 more.").arg(site.skipped.size() - kSkippedShown);
    return notes;
}

// When no borehole was analysed as deep as the template asks: a range runs at most 100 lengths,
// and each run stops where its log ends.
QStringList shortNotes(const SiteResult& site) {
    double longest = 0;
    for (const SiteBorehole& b : site.boreholes)
        for (const SiteCase& c : b.cases) longest = std::max(longest, c.length);
    if (site.boreholes.empty() || !(longest < site.templateLongest - 0.005)) return {};
    const UnitWords u = unitWords(site);
    return {QStringLiteral("No borehole was analysed beyond a length of %1 %2, short of the "
                           "template's %3 %2: a range of lengths runs at most %4 lengths, and "
                           "each run stops where its log ends (its report says which).")
                .arg(number(longest), u.length, number(site.templateLongest))
                .arg(kMaxRangeSteps)};
}

// The boreholes for which the data file gave no ground elevation: the template's was used, and
// their tip elevations are right for that ground only. (The water table takes no part in the
// analysis.)
QStringList templateNotes(const SiteResult& site) {
    QStringList list;
    std::size_t count = 0;
    const SiteBorehole* first = nullptr;
    for (const SiteBorehole& b : site.boreholes) {
        if (!b.groundFromTemplate) continue;
        if (!first) first = &b;
        if (++count <= kSkippedShown) list << utf8(b.name);
    }
    if (!first) return {};
    QString names = list.join(QStringLiteral(", "));
    if (count > kSkippedShown) names += QStringLiteral(" and %1 more").arg(count - kSkippedShown);
    return {QStringLiteral("No ground elevation in the data file for %1 borehole(s) (%2): the "
                           "template's, %3 %4, is used, and their tip elevations are measured "
                           "from it.")
                .arg(count)
                .arg(names, number(first->groundElevation), unitWords(site).length)};
}

Text requiredPart(const SitePrint& print, Measure& m) {
    const UnitWords u = unitWords(print.site);
    const QString kind = QString::fromLatin1(capacityKindText(print.kind));
    const QString q = number(*print.required) + QLatin1Char(' ') + u.force;
    Text part;
    part.heading = QStringLiteral("Required pile length for Q = %1 (%2 capacity)").arg(q, kind);
    part.continued = QStringLiteral("Required pile length (continued)");
    const std::vector<RequiredLength> rows =
        requiredLengths(print.site, *print.required, print.kind);
    part.notes << siteLine(print)
               << QStringLiteral("Required length: the shortest analysed length whose %1 "
                                 "capacity reaches Q. Lengths are read from the analysed "
                                 "lengths of the template: the length step is the resolution, "
                                 "and a pile up to one step shorter may reach Q as well.")
                      .arg(kind)
               << QStringLiteral("Not reached: no analysed length reaches Q; the capacity shown "
                                 "is the largest found, and the tip needed lies below the "
                                 "deepest one analysed. Governs: per width the borehole that "
                                 "needs the deepest tip (then the longest pile); one that never "
                                 "reaches Q governs first.");
    for (const double width : siteWidths(print.site)) {
        for (const RequiredLength& r : rows) {
            if (!r.governing || r.width != width) continue;
            const QString name = utf8(r.borehole);
            if (r.reached)
                part.notes << QStringLiteral("Width %1 %2: %3 governs, length %4 %5, tip "
                                             "elevation %6 %5, capacity %7 %8.")
                                  .arg(number(width), u.width, name, number(r.length), u.length,
                                       number(r.tipElevation), number(r.capacity), u.force);
            else if (r.longest == 0)
                part.notes << QStringLiteral("Width %1 %2: %3 governs, Q not reached (no length "
                                             "could be analysed at this width: its log is too "
                                             "short for the pile).")
                                  .arg(number(width), u.width, name);
            else
                part.notes << QStringLiteral("Width %1 %2: %3 governs, Q not reached (largest "
                                             "capacity %4 %5; analysed to a length of %6 %7, tip "
                                             "elevation %8 %7).")
                                  .arg(number(width), u.width, name, number(r.capacity), u.force,
                                       number(r.longest), u.length, number(r.deepestTip));
        }
    }
    part.notes << shortNotes(print.site) << templateNotes(print.site) << skippedNotes(print.site);

    SiteBlock& t = part.table;
    t.heads = {{QStringLiteral("Borehole"), {}, false},
               {QStringLiteral("Ground elevation"), QStringLiteral("(%1)").arg(u.length)},
               {QStringLiteral("Width"), QStringLiteral("(%1)").arg(u.width)},
               {QStringLiteral("Required length"), QStringLiteral("(%1)").arg(u.length)},
               {QStringLiteral("Tip elevation"), QStringLiteral("(%1)").arg(u.length)},
               {QStringLiteral("%1 capacity").arg(kindTitle(print.kind)),
                QStringLiteral("(%1)").arg(u.force)},
               {QStringLiteral("Governs"), {}, false}};
    for (const double width : siteWidths(print.site)) {
        t.lines.append({SiteLine::Kind::Group,
                        {QStringLiteral("Pile width %1 %2").arg(number(width), u.width)},
                        true});
        for (const RequiredLength& r : rows) {
            if (r.width != width) continue;
            t.lines.append(
                {SiteLine::Kind::Row,
                 {utf8(r.borehole), number(r.groundElevation), number(r.width),
                  r.reached ? number(r.length) : QStringLiteral("not reached"),
                  r.reached        ? number(r.tipElevation)
                  : r.longest == 0 ? QStringLiteral("-")
                                   : QStringLiteral("below ") + number(r.deepestTip),
                  number(r.capacity), r.governing ? QStringLiteral("governs") : QString()},
                 r.governing});
        }
    }
    t.points = kTableFont;
    t.widths = fitWidths(m, t.heads, t.lines, t.points);
    return part;
}

Text capacityPart(const SitePrint& print, Measure& m) {
    const UnitWords u = unitWords(print.site);
    const std::vector<double> widths = siteWidths(print.site);
    Text part;
    part.heading =
        QStringLiteral("%1 capacity per borehole (%2)").arg(kindTitle(print.kind), u.force);
    part.continued = part.heading + QStringLiteral(" (continued)");
    part.notes << QStringLiteral("By pile length and width: one column per pile width (%1), the "
                                 "capacities in %2.")
                      .arg(u.width, u.force);
    if (!print.required)
        part.notes << siteLine(print) << shortNotes(print.site) << templateNotes(print.site)
                   << skippedNotes(print.site);

    SiteBlock& t = part.table;
    t.heads = {{QStringLiteral("Length"), QStringLiteral("(%1)").arg(u.length)},
               {QStringLiteral("Tip elev."), QStringLiteral("(%1)").arg(u.length)}};
    for (const double w : widths)
        t.heads.append(
            {number(w) + QLatin1Char(' ') + u.width, QStringLiteral("(%1)").arg(u.force)});
    for (const SiteBorehole& b : print.site.boreholes) {
        t.lines.append({SiteLine::Kind::Group,
                        {utf8(b.name),
                         QStringLiteral(", ground %1 %2").arg(number(b.groundElevation), u.length)},
                        true});
        // Lengths in the order the run met them; a width that stopped short leaves a gap.
        std::vector<double> lengths;
        std::map<double, std::size_t> at;
        std::vector<QStringList> cells;
        for (const SiteCase& c : b.cases) {
            auto [it, fresh] = at.emplace(c.length, lengths.size());
            if (fresh) {
                lengths.push_back(c.length);
                QStringList row{number(c.length), number(c.tipElevation)};
                for (std::size_t k = 0; k < widths.size(); ++k) row << QStringLiteral("-");
                cells.push_back(row);
            }
            const auto w = std::find(widths.begin(), widths.end(), c.width);
            if (w != widths.end())
                cells[it->second][2 + static_cast<qsizetype>(w - widths.begin())] =
                    number(capacityOf(c, print.kind));
        }
        for (QStringList& row : cells) t.lines.append({SiteLine::Kind::Row, row, false});
    }
    t.points = kTableFont;
    t.widths = fitWidths(m, t.heads, t.lines, t.points);
    return part;
}

PageBox textBox(Measure& m, const SitePrint& print) {
    const QSizeF area = areaOf(print.paper, false);
    // Room for the widest title block this document can have.
    const ChartTitleBlock widest = siteTitleBlock(print, 9999, 9999);
    const auto rows = titleRows(m, widest.cells(), area.width());
    return {area.width(),
            area.height() - static_cast<double>(rows.size()) * titleRowHeight(m) - kTitleGap};
}

// Points to the device's pixels.
double scaleOf(const QPaintDevice& device) {
    return device.logicalDpiX() / 72.0;
}

void paintTitleBlock(QPainter& p, Measure& m, const QRectF& area, const ChartTitleBlock& block,
                     double s) {
    const QFont font = pageFont(kTitleFont);
    p.setFont(font);
    const auto rows = titleRows(m, block.cells(), area.width() / s);
    const double rowHeight = titleRowHeight(m);
    const double top = area.bottom() / s - static_cast<double>(rows.size()) * rowHeight;
    const double left = area.left() / s;
    const double width = area.width() / s;
    p.setPen(QPen(Qt::black, 0.75 * s));
    p.drawRect(
        QRectF(left * s, top * s, width * s, static_cast<double>(rows.size()) * rowHeight * s));
    double y = top;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (r > 0) p.drawLine(QPointF(left * s, y * s), QPointF((left + width) * s, y * s));
        double x = left;
        for (const QString& cell : rows[r]) {
            if (x > left) p.drawLine(QPointF(x * s, y * s), QPointF(x * s, (y + rowHeight) * s));
            p.drawText(QPointF((x + kCellPad) * s, (y + kCellPad + m.ascent(font)) * s), cell);
            x += m.width(font, cell) + 3 * kCellPad;
        }
        y += rowHeight;
    }
}

void paintBlock(QPainter& p, Measure& m, const SiteBlock& block, QPointF at, double s) {
    const QFont bold = pageFont(block.points, true);
    const QFont plain = pageFont(block.points);
    const double line = m.lineHeight(plain);
    double total = 0;
    for (double w : block.widths) total += w;
    double y = at.y();
    // The column heads: name over unit.
    p.setFont(bold);
    double x = at.x();
    for (qsizetype c = 0; c < block.heads.size(); ++c) {
        const SiteColumnHead& h = block.heads[c];
        const double w = block.widths.value(c);
        auto put = [&](const QString& text, double baseline) {
            const double tx = h.right ? x + w - kTablePad - m.width(bold, text) : x + kTablePad;
            p.drawText(QPointF(tx * s, baseline * s), text);
        };
        put(h.name, y + m.ascent(bold));
        if (!h.unit.isEmpty()) put(h.unit, y + line + m.ascent(bold));
        x += w;
    }
    y += headHeight(m, block.heads, block.points);
    p.setPen(QPen(Qt::black, 0.6 * s));
    p.drawLine(QPointF(at.x() * s, (y - 1.5) * s), QPointF((at.x() + total) * s, (y - 1.5) * s));
    for (const SiteLine& l : block.lines) {
        const QFont& font = l.strong ? bold : plain;
        p.setFont(font);
        const double baseline = y + m.ascent(font) + (line - m.lineHeight(font)) / 2;
        if (l.kind == SiteLine::Kind::Group) {
            p.fillRect(QRectF(at.x() * s, y * s, total * s, line * s), QColor(0xee, 0xee, 0xee));
            // A borehole's name gives way in its middle; its ground stays whole.
            const QString after = l.cells.value(1);
            const double room = total - 2 * kTablePad - m.width(font, after);
            p.drawText(QPointF((at.x() + kTablePad) * s, baseline * s),
                       after.isEmpty() ? fitted(m, font, l.cells.value(0), room)
                                       : fitted(m, font, l.cells.value(0), room, true) + after);
        } else if (l.kind == SiteLine::Kind::Text) {
            p.drawText(QPointF(at.x() * s, baseline * s), l.cells.value(0));
        } else {
            if (l.strong)
                p.fillRect(QRectF(at.x() * s, y * s, total * s, line * s),
                           QColor(0xfb, 0xe3, 0xe3));
            x = at.x();
            for (qsizetype c = 0; c < l.cells.size() && c < block.widths.size(); ++c) {
                const double w = block.widths[c];
                // The borehole column: its ids keep their ends.
                const QString text =
                    fitted(m, font, l.cells[c], w - 2 * kTablePad, !block.heads.value(c).right);
                if (!text.isEmpty()) {
                    const bool right = block.heads.value(c).right;
                    const double tx =
                        right ? x + w - kTablePad - m.width(font, text) : x + kTablePad;
                    p.drawText(QPointF(tx * s, baseline * s), text);
                }
                x += w;
            }
        }
        y += line;
    }
}

void paintTextPage(QPainter& p, Measure& m, const QRectF& area, const SitePage& page,
                   const ChartTitleBlock& block) {
    const double s = scaleOf(*p.device());
    p.setPen(Qt::black);
    const QFont heading = pageFont(kHeadingFont, true);
    const QFont note = pageFont(kNoteFont);
    double y = area.top() / s;
    p.setFont(heading);
    p.drawText(QPointF(area.left(), (y + m.ascent(heading)) * s), page.heading);
    y += m.lineHeight(heading) + 4;
    if (!page.notes.isEmpty()) {
        p.setFont(note);
        for (const QString& line : page.notes) {
            if (!line.isEmpty()) p.drawText(QPointF(area.left(), (y + m.ascent(note)) * s), line);
            y += m.lineHeight(note);
        }
        y += 8;
    }
    double x = area.left() / s;
    for (const SiteBlock& b : page.blocks) {
        paintBlock(p, m, b, QPointF(x, y), s);
        double w = 0;
        for (double c : b.widths) w += c;
        x += w + kBlockGap;
    }
    paintTitleBlock(p, m, area, block, s);
}

bool paintSite(QPagedPaintDevice& device, const SitePrint& print,
               const std::vector<SitePage>& pages) {
    const QMarginsF margins(kMargin, kMargin, kMargin, kMargin);
    const QPageSize paper = device.pageLayout().pageSize();
    auto layout = [&](bool landscape) {
        device.setPageLayout(QPageLayout(
            paper, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, margins));
    };
    layout(!pages.empty() && pages.front().landscape);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    Measure m;
    CChart2D chart;
    const int total = static_cast<int>(pages.size());
    for (int i = 0; i < total; ++i) {
        const SitePage& page = pages[static_cast<std::size_t>(i)];
        if (i > 0) {
            layout(page.landscape);
            device.newPage();
        }
        const QRectF area(0, 0, device.width(), device.height());
        const ChartTitleBlock block = siteTitleBlock(print, i + 1, total);
        if (page.chartWidth >= 0) {
            ChartContent content = siteChart(print, static_cast<std::size_t>(page.chartWidth));
            content.titleBlock = block;
            chart.setContent(content);
            chart.render(painter, area);
        } else {
            paintTextPage(painter, m, area, page, block);
        }
    }
    return painter.end();
}

// A straight piece of a curve, from its upper end a to its lower end b.
struct Piece {
    QPointF a, b;
    double xAt(double y) const { return a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()); }
};

// Whether a curve goes only down: then a search finds the piece that spans an interval.
bool goesDown(const QList<QPointF>& c) {
    for (qsizetype i = 0; i + 1 < c.size(); ++i)
        if (!(c[i + 1].y() < c[i].y())) return false;
    return true;
}

// The pieces of the curves that span the whole of [low, high]: between two neighbouring
// elevations of the curves' points each piece is one straight line or none.
void piecesSpanning(const QList<QList<QPointF>>& curves, const std::vector<bool>& down, double high,
                    double low, std::vector<Piece>& out) {
    out.clear();
    for (qsizetype k = 0; k < curves.size(); ++k) {
        const QList<QPointF>& c = curves[k];
        if (down[static_cast<std::size_t>(k)]) {
            // The first point below `high`; the piece ends there.
            const auto it = std::lower_bound(c.begin(), c.end(), high,
                                             [](const QPointF& p, double v) { return p.y() >= v; });
            if (it == c.begin() || it == c.end() || it->y() > low) continue;
            out.push_back({*(it - 1), *it});
            continue;
        }
        for (qsizetype i = 0; i + 1 < c.size(); ++i) {
            const QPointF& p = c[i];
            const QPointF& q = c[i + 1];
            if (p.y() == q.y()) continue;
            const Piece piece = p.y() > q.y() ? Piece{p, q} : Piece{q, p};
            if (piece.a.y() >= high && piece.b.y() <= low) out.push_back(piece);
        }
    }
}

std::pair<double, std::size_t> leastAt(const std::vector<Piece>& pieces, double y) {
    std::pair<double, std::size_t> least{std::numeric_limits<double>::infinity(), 0};
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (const double x = pieces[i].xAt(y); x < least.first) least = {x, i};
    return least;
}

// The corners of the least of the pieces strictly between high and low, from the top down:
// where the piece that is least changes.
void corners(const std::vector<Piece>& pieces, double high, double low, QList<QPointF>& out,
             int depth = 0) {
    const auto [xHigh, upper] = leastAt(pieces, high);
    const auto [xLow, lower] = leastAt(pieces, low);
    if (upper == lower || depth > static_cast<int>(pieces.size())) return;
    const Piece& u = pieces[upper];
    const Piece& l = pieces[lower];
    // Where the two cross: both are straight over [low, high].
    const double du = u.xAt(low) - xHigh;
    const double dl = xLow - l.xAt(high);
    const double t = (l.xAt(high) - xHigh) / (du - dl);
    if (!(t > 0 && t < 1)) return;
    const double y = high + t * (low - high);
    const auto [x, at] = leastAt(pieces, y);
    if (std::abs(x - u.xAt(y)) > 1e-9 * std::max(1.0, std::abs(x))) {
        // A third piece is lower still there: its corners on either side.
        corners(pieces, high, y, out, depth + 1);
        out.append(QPointF(x, y));
        corners(pieces, y, low, out, depth + 1);
        return;
    }
    out.append(QPointF(x, y));
}

} // namespace

std::vector<double> siteWidths(const SiteResult& site) {
    std::vector<double> widths;
    for (const SiteBorehole& b : site.boreholes)
        for (const SiteCase& c : b.cases)
            if (std::find(widths.begin(), widths.end(), c.width) == widths.end())
                widths.push_back(c.width);
    return widths;
}

QList<QPointF> lowerEnvelope(const QList<QList<QPointF>>& curves) {
    std::vector<double> ys;
    for (const auto& c : curves)
        for (const QPointF& p : c) ys.push_back(p.y());
    std::sort(ys.begin(), ys.end(), std::greater<>());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::vector<bool> down;
    for (const auto& c : curves) down.push_back(goesDown(c));
    QList<QPointF> envelope;
    auto add = [&envelope](QPointF p) {
        if (envelope.isEmpty() || envelope.last() != p) envelope.append(p);
    };
    std::vector<Piece> pieces;
    QList<QPointF> between;
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        // Where a curve starts or ends the least may jump: both values stand at that elevation.
        piecesSpanning(curves, down, ys[i], ys[i + 1], pieces);
        if (pieces.empty()) continue;
        add(QPointF(leastAt(pieces, ys[i]).first, ys[i]));
        between.clear();
        corners(pieces, ys[i], ys[i + 1], between);
        for (const QPointF& p : between) add(p);
        add(QPointF(leastAt(pieces, ys[i + 1]).first, ys[i + 1]));
    }
    return envelope;
}

ChartContent siteChart(const SitePrint& print, std::size_t w) {
    const SiteResult& site = print.site;
    const UnitWords u = unitWords(site);
    const std::vector<double> widths = siteWidths(site);
    const double width = w < widths.size() ? widths[w] : 0;
    const int units = site.metric ? Units::Metric : Units::English;
    ChartContent c;
    c.title = QStringLiteral("%1 capacity against tip elevation: pile width %2 %3, %4 borehole(s)")
                  .arg(kindTitle(print.kind), number(width), u.width)
                  .arg(site.boreholes.size());
    c.titleBold = false;
    c.xTitle = QStringLiteral("%1 capacity (%2)").arg(kindTitle(print.kind), u.force);
    c.yTitle = QString::fromStdString(elevationAxisTitle(units));
    c.yMinimumStep = site.metric ? 2.0 : 5.0;

    std::string governing;
    if (print.required)
        for (const RequiredLength& r : requiredLengths(site, *print.required, print.kind))
            if (r.governing && r.width == width) governing = r.borehole;

    QList<QList<QPointF>> curves;
    QList<QPointF> governingCurve;
    double yLow = std::numeric_limits<double>::infinity(), yHigh = -yLow;
    for (const SiteBorehole& b : site.boreholes) {
        QList<QPointF> points;
        for (const SiteCase& k : b.cases)
            if (k.width == width) {
                points.append(QPointF(capacityOf(k, print.kind), k.tipElevation));
                yLow = std::min(yLow, k.tipElevation);
                yHigh = std::max(yHigh, k.tipElevation);
            }
        if (points.isEmpty()) continue;
        curves.append(points);
        if (b.name == governing && governingCurve.isEmpty()) {
            governingCurve = points;
            continue;
        }
        // Thin and light: 76 of them read as a band, over which the few that matter stand out.
        // One length analysed is one point and no line: its marker is all there is to see.
        ChartSeries s;
        s.pointsVisible = points.size() == 1;
        s.points = points;
        s.colour = QColor(0xa8, 0xa8, 0xa8);
        s.width = 0.8;
        c.series.append(s);
    }
    if (!governing.empty()) {
        ChartSeries s;
        QString name = utf8(governing);
        // The legend stays one line; an id keeps its ends, where ids of one site differ.
        if (name.size() > 40) name = name.left(20) + QChar(0x2026) + name.right(19);
        s.label = QStringLiteral("Governing borehole: ") + name;
        // A log too short for this pile: named all the same, with why it has no curve.
        if (governingCurve.isEmpty()) s.label += QStringLiteral(" (no length analysed)");
        s.points = governingCurve;
        s.colour = QColor(0xd6, 0x27, 0x28);
        s.width = 2.5;
        c.series.append(s);
    }
    if (QList<QPointF> envelope = lowerEnvelope(curves); curves.size() > 1 && !envelope.isEmpty()) {
        ChartSeries s;
        s.label = QStringLiteral("Lower envelope of the %1 boreholes").arg(curves.size());
        s.points = std::move(envelope);
        s.colour = Qt::black;
        s.width = 1.6;
        s.style = Qt::DashLine;
        s.pointsVisible = false;
        c.series.append(s);
    }
    if (print.required && yLow <= yHigh) {
        ChartSeries s;
        s.label = QStringLiteral("Q = %1 %2 (required %3 capacity)")
                      .arg(number(*print.required), u.force,
                           QString::fromLatin1(capacityKindText(print.kind)));
        // Tips all at one elevation (one length, one ground) would make it a line of no length.
        const double pad = yHigh - yLow < 1e-9 ? std::max(c.yMinimumStep, 1.0) : 0;
        s.points = {QPointF(*print.required, yHigh + pad), QPointF(*print.required, yLow - pad)};
        s.colour = QColor(0x1f, 0x77, 0xb4);
        s.width = 1.8;
        s.pointsVisible = false;
        c.series.append(s);
    }
    return c;
}

ChartTitleBlock siteTitleBlock(const SitePrint& print, int page, int pages) {
    ChartTitleBlock b;
    b.job = latin1(print.site.jobName);
    b.project = latin1(print.site.projectNumber);
    b.dataFile = fileName(print.site.dataFile);
    b.templateFile = fileName(print.site.templateFile);
    b.run = QString::fromStdString(print.stamp.date + " " + print.stamp.time);
    b.page = pageOf(page, pages);
    return b;
}

std::vector<SitePage> sitePages(const SitePrint& print) {
    Measure m;
    const PageBox box = textBox(m, print);
    std::vector<SitePage> pages;
    if (print.required) addPart(pages, m, requiredPart(print, m), box);
    const std::size_t widths = siteWidths(print.site).size();
    for (std::size_t w = 0; w < widths; ++w) {
        SitePage chart;
        chart.chartWidth = static_cast<int>(w);
        chart.landscape = true;
        pages.push_back(chart);
    }
    addPart(pages, m, capacityPart(print, m), box);
    return pages;
}

std::string sitePdf(const SitePrint& print) {
    const std::vector<SitePage> pages = sitePages(print);
    const QString job = latin1(print.site.jobName);
    PdfInfo info;
    info.title =
        job.isEmpty() ? QStringLiteral("Site summary") : QStringLiteral("Site summary: ") + job;
    info.subject = QStringLiteral("Static pile capacity: site summary");
    info.created = pdfDate(print.stamp.date, print.stamp.time, print.stamp.utc);
    return pdfBytes(info, print.paper,
                    [&](QPagedPaintDevice& device) { return paintSite(device, print, pages); });
}

std::string writeSitePdf(const SitePrint& print, const std::string& path) {
    const std::string bytes = sitePdf(print);
    if (bytes.empty()) return "The site summary could not be drawn into " + displayPath(path) + ".";
    const FileResult written = writeFileAtomically(path, bytes);
    return written.ok ? std::string() : written.message;
}

std::string defaultSitePdfPath(const std::string& dataFile) {
    namespace fs = std::filesystem;
    fs::path p(dataFile);
    std::string ext = p.extension().string();
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext == ".gz" || ext == ".xz") p.replace_extension();
    const std::string stem = p.stem().string();
    return (p.parent_path() / (stem + "-site.pdf")).string();
}

} // namespace zenka
