#include "graphs/Chart2D.h"

#include "base/AtomicFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGraphicsItem>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsWidget>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace zenka {

namespace {

struct AxisRange {
    double low = 0;
    double high = 1;
    double step = 1;
};

// The smallest of 1, 2, 5 times a power of ten that is at least `raw`.
double niceStep(double raw) {
    if (!(raw > 0)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw * (1 - 1e-9)) return m * power;
    return 10 * power;
}

// Round limits a little outside the data, with at most about `most` labelled intervals.
AxisRange niceRange(double low, double high, double minimumStep, int most) {
    if (!std::isfinite(low) || !std::isfinite(high)) return {};
    if (high - low < 1e-9) {
        const double pad = std::max({minimumStep, std::abs(high) * 0.1, 1.0});
        low -= pad;
        high += pad;
    }
    // A little room at both ends, so no marker sits on the frame; an axis from zero stays so.
    const double room = (high - low) * 0.02;
    if (low != 0) low -= room;
    high += room;
    const double step = std::max(niceStep((high - low) / std::max(most, 1)), minimumStep);
    AxisRange r;
    r.step = step;
    r.low = std::floor(low / step + 1e-9) * step;
    r.high = std::ceil(high / step - 1e-9) * step;
    if (r.high <= r.low) r.high = r.low + step;
    return r;
}

int intervals(const AxisRange& r) {
    return static_cast<int>(std::lround((r.high - r.low) / r.step));
}

int decimals(const AxisRange& r) {
    return r.step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(r.step) - 1e-9));
}

// The finest labelling of at most `most` intervals whose labels fit beside each other along
// `length` pixels (the axis cuts short every label wider than its share of the axis), and the
// `most` that gave it.
std::pair<AxisRange, int> fittedRange(double low, double high, double minimumStep, double length,
                                      const QFont& font, Qt::Orientation orientation, int most) {
    const QFontMetricsF metrics(font);
    AxisRange r;
    for (; most >= 1; --most) {
        r = niceRange(low, high, minimumStep, most);
        const int n = intervals(r);
        double room = metrics.height() * 1.5;
        if (orientation == Qt::Horizontal) {
            double widest = 0;
            for (int i = 0; i <= n; ++i) {
                const QString label = QString::asprintf("%.*f", decimals(r), r.low + i * r.step);
                widest = std::max(widest, metrics.horizontalAdvance(label));
            }
            room = widest + metrics.horizontalAdvance(QStringLiteral("00"));
        }
        if ((n + 1) * room <= length) break;
    }
    return {r, std::max(most, 1)};
}

void applyRange(QValueAxis* axis, const AxisRange& r) {
    const QString format =
        QStringLiteral("%.") + QString::number(decimals(r)) + QStringLiteral("f");
    const int ticks = intervals(r) + 1;
    // Setting a value the axis has would lay the chart out again for nothing.
    if (axis->min() != r.low || axis->max() != r.high) axis->setRange(r.low, r.high);
    if (axis->tickCount() != ticks) axis->setTickCount(ticks);
    if (axis->labelFormat() != format) axis->setLabelFormat(format);
}

// Keeps both axes labelled as finely as the plot's size allows, whenever it changes.
class AxisFitter : public QObject {
public:
    AxisFitter(QChart* chart, QValueAxis* x, QValueAxis* y, const QRectF& data, double yStep)
        : QObject(chart), chart_(chart), x_(x), y_(y), data_(data), yStep_(yStep) {
        setObjectName(QStringLiteral("axisFitter"));
        connect(chart, &QChart::plotAreaChanged, this, &AxisFitter::fit);
    }

    void fit(const QRectF& plot) {
        // New labels change the plot's size a little, and the chart may lay itself out again
        // at once: such a change is taken up by the round under way.
        if (fitting_) {
            again_ = true;
            return;
        }
        fitting_ = true;
        QRectF area = plot;
        for (int round = 0; round < 4; ++round) {
            again_ = false;
            fitOnce(area);
            if (!again_) break;
            area = chart_->plotArea();
        }
        fitting_ = false;
    }

private:
    // A plot that changed by less than this since the labels were last chosen afresh is taken
    // to have changed through its own labels: they then only ever get coarser, so the labels
    // and the plot's size settle instead of taking turns.
    static constexpr double kSettle = 40;

    void fitOnce(const QRectF& plot) {
        if (plot.width() <= 0 || plot.height() <= 0) return;
        const bool afresh = chosenAt_.isEmpty() ||
                            std::abs(plot.width() - chosenAt_.width()) > kSettle ||
                            std::abs(plot.height() - chosenAt_.height()) > kSettle;
        if (afresh) {
            chosenAt_ = plot.size();
            xMost_ = yMost_ = 12;
        }
        const auto [xRange, xMost] = fittedRange(data_.left(), data_.right(), 0, plot.width(),
                                                 x_->labelsFont(), Qt::Horizontal, xMost_);
        const auto [yRange, yMost] = fittedRange(data_.top(), data_.bottom(), yStep_, plot.height(),
                                                 y_->labelsFont(), Qt::Vertical, yMost_);
        xMost_ = xMost;
        yMost_ = yMost;
        applyRange(x_, xRange);
        applyRange(y_, yRange);
    }

    QChart* chart_;
    QValueAxis* x_;
    QValueAxis* y_;
    QRectF data_; // x from left to right, y from top to bottom
    double yStep_;
    QSizeF chosenAt_;
    int xMost_ = 12;
    int yMost_ = 12;
    bool fitting_ = false;
    bool again_ = false;
};

// Told apart on paper and on screen, also by readers with a red-green weakness.
QColor seriesColour(qsizetype k) {
    static const QColor colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e),
                                     QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28),
                                     QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b)};
    return colours[k % 6];
}

QPen seriesPen(const ChartSeries& s, qsizetype k) {
    QPen pen(s.colour.isValid() ? s.colour : seriesColour(k), s.width);
    pen.setStyle(s.style);
    return pen;
}

// The chart's identification at its foot: framed cells flowing into as many rows as the width
// needs, so no cell is ever cut short where the chart is wide enough for the widest one.
class TitleBlock : public QGraphicsWidget {
public:
    TitleBlock(QGraphicsItem* parent, const QStringList& cells, const QFont& font)
        : QGraphicsWidget(parent), texts_(cells), font_(font) {
        setObjectName(QStringLiteral("titleBlock"));
        frame_ = new QGraphicsRectItem(this);
        frame_->setPen(QPen(Qt::black, 1));
        for (const QString& cell : cells) {
            auto* label = new QGraphicsSimpleTextItem(cell, this);
            label->setFont(font);
            labels_.append(label);
        }
    }

    // Lays the cells out across `width`; the height it takes.
    double fit(double width) {
        qDeleteAll(dividers_);
        dividers_.clear();
        const QFontMetricsF metrics(font_);
        QList<QList<qsizetype>> rows(1);
        double x = 0;
        for (qsizetype i = 0; i < labels_.size(); ++i) {
            // Only a cell wider than the whole frame is cut short.
            const QString text = metrics.horizontalAdvance(texts_[i]) + 2 * kPad <= width
                                     ? texts_[i]
                                     : metrics.elidedText(texts_[i], Qt::ElideRight,
                                                          std::max(width - 2 * kPad, 0.0));
            if (labels_[i]->text() != text) labels_[i]->setText(text);
            const double w = cellWidth(i);
            if (!rows.back().isEmpty() && x + w > width) {
                rows.append(QList<qsizetype>());
                x = 0;
            }
            rows.back().append(i);
            x += w;
        }
        double y = 0;
        for (qsizetype r = 0; r < rows.size(); ++r) {
            double h = 0;
            for (const qsizetype i : rows[r])
                h = std::max(h, labels_[i]->boundingRect().height() + 2 * kPad);
            if (r > 0) addDivider(QLineF(0, y, width, y));
            double cx = 0;
            for (const qsizetype i : rows[r]) {
                if (cx > 0) addDivider(QLineF(cx, y, cx, y + h));
                labels_[i]->setPos(cx + kPad, y + (h - labels_[i]->boundingRect().height()) / 2);
                cx += cellWidth(i);
            }
            y += h;
        }
        frame_->setRect(QRectF(0, 0, width, y));
        resize(width, y);
        return y;
    }

private:
    static constexpr double kPad = 4;

    double cellWidth(qsizetype i) const { return labels_[i]->boundingRect().width() + 3 * kPad; }
    void addDivider(const QLineF& line) {
        auto* d = new QGraphicsLineItem(line, this);
        d->setPen(QPen(Qt::black, 0.75));
        dividers_.append(d);
    }

    QStringList texts_;
    QFont font_;
    QGraphicsRectItem* frame_ = nullptr;
    QList<QGraphicsSimpleTextItem*> labels_;
    QList<QGraphicsLineItem*> dividers_;
};

// Below the plot, in as many columns as the chart's width holds: it never covers a curve nor
// cuts a label short, and leaves the plot the chart's whole width.
class ChartLegend : public QGraphicsWidget {
public:
    struct Item {
        QPen pen;
        QString label;
        bool dot = true; // the curve's points are drawn
    };

    ChartLegend(QChart* chart, const QList<Item>& entries, TitleBlock* block)
        : QGraphicsWidget(chart), chart_(chart), block_(block),
          bottomMargin_(chart->margins().bottom()) {
        setObjectName(QStringLiteral("legend"));
        const QFont font = chart->legend()->font();
        for (const Item& item : entries) {
            Entry e;
            e.line = new QGraphicsLineItem(0, 0, kMarker, 0, this);
            e.line->setPen(item.pen);
            e.dot = new QGraphicsEllipseItem(-kDot, -kDot, 2 * kDot, 2 * kDot, this);
            e.dot->setPen(Qt::NoPen);
            e.dot->setBrush(item.pen.color());
            e.dot->setVisible(item.dot);
            e.label = new QGraphicsSimpleTextItem(item.label, this);
            e.label->setFont(font);
            e.label->setBrush(chart->legend()->labelColor());
            entries_.append(e);
        }
        connect(chart, &QGraphicsWidget::geometryChanged, this, &ChartLegend::fit);
    }

    void fit() {
        const double available = chart_->size().width() - 2 * kSide;
        const qsizetype n = entries_.size();
        qsizetype columns = n;
        for (; columns > 1; --columns)
            if (totalWidth(columnWidths(columns)) <= available) break;
        const QList<double> widths = columnWidths(columns);
        const qsizetype rows = n == 0 ? 0 : (n + columns - 1) / columns;
        double rowHeight = 0;
        for (const Entry& e : entries_)
            rowHeight = std::max(rowHeight, e.label->boundingRect().height() + kRowGap);
        for (qsizetype i = 0; i < n; ++i) {
            const qsizetype column = i % columns;
            double x = 0;
            for (qsizetype c = 0; c < column; ++c) x += widths[c] + kColumnGap;
            const double middle = static_cast<double>(i / columns) * rowHeight + rowHeight / 2;
            const Entry& e = entries_[i];
            e.line->setPos(x, middle);
            e.dot->setPos(x + kMarker / 2, middle);
            e.label->setPos(x + kMarker + kMarkerGap,
                            middle - e.label->boundingRect().height() / 2);
        }
        // The title block at the very foot, the full width less the sides; the legend above it.
        double foot = 0;
        if (block_) {
            const double height = block_->fit(available);
            block_->setPos(kSide, chart_->size().height() - height - kBelow);
            foot = std::ceil(height) + kBelow;
        }
        const QSizeF size(totalWidth(widths), static_cast<double>(rows) * rowHeight);
        setGeometry(QRectF(QPointF((chart_->size().width() - size.width()) / 2,
                                   chart_->size().height() - size.height() - kBelow - foot),
                           size));
        QMargins margins = chart_->margins();
        const int legendHeight =
            rows == 0 ? 0 : static_cast<int>(std::ceil(size.height())) + kBelow + kAbove;
        margins.setBottom(rows == 0 && foot == 0
                              ? bottomMargin_
                              : legendHeight + static_cast<int>(foot) + (rows == 0 ? kAbove : 0));
        if (margins != chart_->margins()) chart_->setMargins(margins);
    }

private:
    static constexpr double kMarker = 18;
    static constexpr double kDot = 2.5;
    static constexpr double kMarkerGap = 5;
    static constexpr double kColumnGap = 18;
    static constexpr double kRowGap = 3;
    static constexpr int kSide = 10;
    static constexpr int kBelow = 6;
    static constexpr int kAbove = 8;

    struct Entry {
        QGraphicsLineItem* line = nullptr;
        QGraphicsEllipseItem* dot = nullptr;
        QGraphicsSimpleTextItem* label = nullptr;
    };

    QList<double> columnWidths(qsizetype columns) const {
        QList<double> widths(columns, 0.0);
        for (qsizetype i = 0; i < entries_.size(); ++i) {
            double& w = widths[i % columns];
            w = std::max(w, kMarker + kMarkerGap + entries_[i].label->boundingRect().width());
        }
        return widths;
    }
    static double totalWidth(const QList<double>& widths) {
        double total = 0;
        for (double w : widths) total += w;
        return widths.isEmpty() ? 0 : total + static_cast<double>(widths.size() - 1) * kColumnGap;
    }

    QChart* chart_;
    TitleBlock* block_;
    QList<Entry> entries_;
    int bottomMargin_;
};

bool finitePoint(const QPointF& p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// A chart is laid out at the size the target has on a screen of this resolution, then scaled
// onto it: texts on paper come out at the sizes they have on the screen.
constexpr double kScreenDpi = 96;
// Narrower layouts would leave the plot little room beside the axis titles.
constexpr double kMinimumLayoutWidth = 480;

// A drawing made in memory, written whole or not at all. Empty on success, otherwise the
// message for the person.
std::string writeDrawing(const std::string& path, bool made, const QByteArray& bytes) {
    if (!made || bytes.isEmpty()) return "The graph could not be drawn into " + path + ".";
    const FileResult written =
        writeFileAtomically(path, std::string_view(bytes.constData(), bytes.size()));
    return written.ok ? std::string() : written.message;
}

} // namespace

QStringList ChartTitleBlock::cells() const {
    QStringList out;
    auto add = [&](const char* label, const QString& value) {
        if (!value.isEmpty()) out << QString::fromLatin1(label) + value;
    };
    add("Job: ", job);
    add("Project No.: ", project);
    add("Boring No.: ", boring);
    add("Data file: ", dataFile);
    add("Template: ", templateFile);
    add("Run: ", run);
    if (!page.isEmpty()) out << page;
    return out;
}

CChart2D::CChart2D(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chart"));
    view_ = new QChartView(this);
    view_->setObjectName(QStringLiteral("chartView"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setBackgroundBrush(Qt::white);
    view_->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    setContent({});
}

void CChart2D::setContent(const ChartContent& content) {
    content_ = content;
    QChart* old = view_->chart();
    view_->setChart(buildChart());
    delete old;
}

QChart* CChart2D::buildChart() const {
    auto* chart = new QChart;
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    // Shown as given: the title's runs of blanks are part of its layout.
    QString title = content_.title;
    title.replace(QLatin1Char(' '), QChar(QChar::Nbsp));
    chart->setTitle(title);
    QFont titleFont = chart->titleFont();
    titleFont.setBold(content_.titleBold);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    chart->setTitleFont(titleFont);
    chart->legend()->setVisible(false); // ours lays its labels out in columns

    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setTitleText(content_.xTitle);
    y->setTitleText(content_.yTitle);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    double xLow = 0, xHigh = 0; // capacities and blow counts read from zero
    double yLow = std::numeric_limits<double>::infinity();
    double yHigh = -yLow;
    for (qsizetype k = 0; k < content_.series.size(); ++k) {
        const ChartSeries& s = content_.series[k];
        auto* line = new QLineSeries;
        line->setName(s.label);
        line->setPointsVisible(s.pointsVisible);
        for (const QPointF& p : s.points) {
            if (!finitePoint(p)) continue;
            line->append(p);
            xLow = std::min(xLow, p.x());
            xHigh = std::max(xHigh, p.x());
            yLow = std::min(yLow, p.y());
            yHigh = std::max(yHigh, p.y());
        }
        chart->addSeries(line);
        // After adding: the chart's theme would otherwise replace the colour.
        line->setPen(seriesPen(s, k));
        line->setMarkerSize(5);
        line->attachAxis(x);
        line->attachAxis(y);
    }
    if (!(yLow <= yHigh)) yLow = yHigh = 0;
    applyRange(x, niceRange(xLow, xHigh, 0, 12));
    applyRange(y, niceRange(yLow, yHigh, content_.yMinimumStep, 12));
    new AxisFitter(chart, x, y, QRectF(QPointF(xLow, yLow), QPointF(xHigh, yHigh)),
                   content_.yMinimumStep);
    QList<ChartLegend::Item> entries;
    for (qsizetype k = 0; k < content_.series.size(); ++k) {
        const ChartSeries& s = content_.series[k];
        if (s.label.isEmpty()) continue;
        QPen pen = seriesPen(s, k);
        pen.setWidthF(std::max(pen.widthF(), 2.0)); // a thin curve's marker still shows
        entries.append({pen, s.label, s.pointsVisible});
    }
    TitleBlock* block = nullptr;
    if (!content_.titleBlock.isEmpty()) {
        QFont font = chart->legend()->font();
        font.setPointSizeF(font.pointSizeF() * 0.9);
        // No ligatures: "Data file" stays searchable in a PDF.
        font.setStyleStrategy(QFont::PreferNoShaping);
        block = new TitleBlock(chart, content_.titleBlock.cells(), font);
    }
    (new ChartLegend(chart, entries, block))->fit();
    return chart;
}

void CChart2D::keepReadable(QSize base) {
    const QChart* chart = view_->chart();
    const QFontMetricsF title(chart->titleFont());
    const QFontMetricsF legend(chart->legend()->font());
    QFont blockFont = chart->legend()->font();
    blockFont.setPointSizeF(blockFont.pointSizeF() * 0.9);
    const QFontMetricsF block(blockFont);
    // Room beside the texts for the chart's margins, a legend marker and a cell's frame.
    double width = title.horizontalAdvance(content_.title) + 60;
    for (const ChartSeries& s : content_.series)
        width = std::max(width, legend.horizontalAdvance(s.label) + 70);
    for (const QString& cell : content_.titleBlock.cells())
        width = std::max(width, block.horizontalAdvance(cell) + 40);
    // The axis below needs room for its title beside the vertical axis' numbers and title, or
    // the chart cuts it short.
    for (const QAbstractAxis* axis : chart->axes(Qt::Horizontal))
        width = std::max(
            width, QFontMetricsF(axis->titleFont()).horizontalAdvance(axis->titleText()) + 140);
    setMinimumSize(base.expandedTo(QSize(static_cast<int>(std::ceil(width)), 0)));
}

void CChart2D::render(QPainter& painter, const QRectF& target) const {
    if (target.width() <= 0 || target.height() <= 0) return;
    // A chart of its own, laid out for the target's shape, so the one on the screen keeps its
    // size and nothing on the screen flickers.
    QGraphicsScene scene;
    QChart* chart = buildChart();
    scene.addItem(chart);
    const QPaintDevice* device = painter.device();
    const double dpi = device && device->logicalDpiX() > 0 ? device->logicalDpiX() : kScreenDpi;
    const double width = std::max(target.width() * kScreenDpi / dpi, kMinimumLayoutWidth);
    const QSizeF layoutSize(width, width * target.height() / target.width());
    chart->resize(layoutSize);
    // Laid out now rather than from the event loop: the axes and the legend fit themselves to
    // each layout, which may ask for one more.
    for (int i = 0; i < 3; ++i) chart->layout()->activate();
    scene.setSceneRect(QRectF(QPointF(0, 0), layoutSize));
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, target, scene.sceneRect(), Qt::KeepAspectRatio);
}

bool CChart2D::drawPdf(QPdfWriter& pdf) const {
    pdf.setTitle(content_.title);
    pdf.setCreator(QStringLiteral("Zenka"));
    QPainter painter;
    if (!painter.begin(&pdf)) return false;
    render(painter, QRectF(QPointF(0, 0), QSizeF(pdf.width(), pdf.height())));
    return painter.end();
}

std::string CChart2D::print(QPrinter& printer) const {
    const QString file = printer.outputFileName();
    if (!file.isEmpty()) {
        // The toolkit's file output neither reports a failed write nor keeps the old file
        // until the new one is whole: the page goes through the atomic write instead.
        const std::string path = QFile::encodeName(file).toStdString();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPageLayout(printer.pageLayout());
        pdf.setResolution(printer.resolution());
        return writeDrawing(path, drawPdf(pdf), bytes);
    }
    const std::string name = QFile::encodeName(printer.printerName()).toStdString();
    QPainter painter;
    if (!painter.begin(&printer)) return "The printer " + name + " could not be started.";
    render(painter, QRectF(QPointF(0, 0), QSizeF(printer.width(), printer.height())));
    if (!painter.end()) return "The graph could not be sent to the printer " + name + ".";
    return {};
}

std::vector<std::string> CChart2D::imageFilters() {
    return {"PNG Image (*.png)", "SVG Drawing (*.svg)", "PDF Document (*.pdf)"};
}

std::string CChart2D::saveImage(const std::string& path) const {
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    const QString kind = QFileInfo(name).suffix().toLower();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool made = false;
    if (kind == QStringLiteral("png")) {
        made = view_->grab().toImage().save(&buffer, "PNG");
    } else if (kind == QStringLiteral("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        const QSize size = view_->size().expandedTo(QSize(1, 1));
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(content_.title);
        // At the screen's resolution, so its texts keep their size on the screen.
        svg.setResolution(static_cast<int>(kScreenDpi));
        QPainter painter;
        made = painter.begin(&svg);
        if (made) {
            render(painter, QRectF(QPointF(0, 0), QSizeF(size)));
            made = painter.end();
        }
    } else if (kind == QStringLiteral("pdf")) {
        QPdfWriter pdf(&buffer);
        const QSize size = view_->size();
        pdf.setPageOrientation(size.width() >= size.height() ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait);
        made = drawPdf(pdf);
    } else {
        return path + " is not a PNG, SVG or PDF file name: end it in .png, .svg or .pdf.";
    }
    return writeDrawing(path, made, bytes);
}

} // namespace zenka
