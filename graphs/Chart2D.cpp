#include "graphs/Chart2D.h"

#include "project/AtomicFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsScene>
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

// Round limits a little outside the data, with at most about twelve labelled intervals.
AxisRange niceRange(double low, double high, double minimumStep) {
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
    const double step = std::max(niceStep((high - low) / 12), minimumStep);
    AxisRange r;
    r.step = step;
    r.low = std::floor(low / step + 1e-9) * step;
    r.high = std::ceil(high / step - 1e-9) * step;
    if (r.high <= r.low) r.high = r.low + step;
    return r;
}

void applyRange(QValueAxis* axis, const AxisRange& r) {
    axis->setRange(r.low, r.high);
    axis->setTickCount(static_cast<int>(std::lround((r.high - r.low) / r.step)) + 1);
    const int decimals = r.step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(r.step) - 1e-9));
    axis->setLabelFormat(QStringLiteral("%.") + QString::number(decimals) + QStringLiteral("f"));
}

// Told apart on paper and on screen, also by readers with a red-green weakness.
QColor seriesColour(qsizetype k) {
    static const QColor colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e),
                                     QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28),
                                     QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b)};
    return colours[k % 6];
}

bool finitePoint(const QPointF& p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// A chart is laid out at the size the target has on a screen of this resolution, then scaled
// onto it: texts on paper come out at the sizes they have on the screen.
constexpr double kScreenDpi = 96;
// Narrower layouts would crowd the legend into the plot.
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
    // Beside the plot, one label to a line: it never covers a curve nor cuts a label short.
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    chart->legend()->setVisible(content_.series.size() > 1);

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
        line->setPointsVisible(true);
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
        line->setPen(QPen(seriesColour(k), 2));
        line->setMarkerSize(5);
        line->attachAxis(x);
        line->attachAxis(y);
    }
    if (!(yLow <= yHigh)) yLow = yHigh = 0;
    applyRange(x, niceRange(xLow, xHigh, 0));
    applyRange(y, niceRange(yLow, yHigh, content_.yMinimumStep));
    return chart;
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
