#pragma once

// The one chart of a graph window: x against y curves with a title, two axis titles and a
// legend. Only this class knows the chart library; the windows hand it plain values.

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

class QChart;
class QChartView;
class QPainter;
class QPdfWriter;
class QPrinter;

namespace zenka {

struct ChartSeries {
    QString label;         // none: left out of the legend
    QList<QPointF> points; // drawn in this order
    // How it is drawn; an invalid colour takes the palette's by the series' place.
    QColor colour = QColor();
    double width = 2;
    Qt::PenStyle style = Qt::SolidLine;
    bool pointsVisible = true;
};

// Identifies a chart on paper, drawn in a frame below the legend; nothing when all are empty.
struct ChartTitleBlock {
    QString job;
    QString project;
    QString boring;
    QString dataFile;     // a site's ground-investigation data file
    QString templateFile; // and the project its boreholes were analysed on
    QString run;          // the run's date and time
    QString page;         // "page 3 of 7" on a page of a document, else empty
    bool isEmpty() const {
        return job.isEmpty() && project.isEmpty() && boring.isEmpty() && dataFile.isEmpty() &&
               templateFile.isEmpty() && run.isEmpty() && page.isEmpty();
    }
    // The frame's cells in their order, each "Label: value"; empty fields are left out.
    QStringList cells() const;
};

struct ChartContent {
    QString title;
    bool titleBold = true;
    QString xTitle;
    QString yTitle;
    double yMinimumStep = 0; // the y axis is never labelled finer than this
    QList<ChartSeries> series;
    ChartTitleBlock titleBlock;
};

class CChart2D : public QWidget {
public:
    explicit CChart2D(QWidget* parent = nullptr);

    void setContent(const ChartContent& content);
    const ChartContent& content() const { return content_; }

    // The chart drawn into `target`, laid out at a size where its texts stay legible.
    void render(QPainter& painter, const QRectF& target) const;
    // The chart on one page of the printer, scaled to the page; a printer that prints to a
    // file gets it written atomically. Empty on success, otherwise the message for the person.
    std::string print(QPrinter& printer) const;
    // The chart as PNG (the size it has on the screen), SVG or PDF, by the name's extension,
    // written atomically. Empty on success, otherwise the message for the person.
    std::string saveImage(const std::string& path) const;

    QChartView* view() const { return view_; }

    // Keeps the chart at least `base` and at least as wide as its longest title, title-block
    // cell and legend entry need: smaller, Qt cuts axis titles and tick labels to "...".
    void keepReadable(QSize base);

    // The file dialog's filters for saveImage, the first one the default.
    static std::vector<std::string> imageFilters();

private:
    QChart* buildChart() const;
    bool drawPdf(QPdfWriter& pdf) const;

    ChartContent content_;
    QChartView* view_ = nullptr;
};

} // namespace zenka
