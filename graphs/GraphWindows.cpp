#include "graphs/GraphWindows.h"

#include "engine/AnalysisState.h"
#include "graphs/Chart2D.h"
#include "graphs/GraphContent.h"
#include "graphs/GuiShell.h"
#include "model/PelbrinDoc.h"
#include "resources/Pictures.h"

#include <QApplication>
#include <QMenuBar>
#include <QPrinter>
#include <QWindow>

#include <algorithm>

namespace zenka {

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

QList<QPointF> toPoints(const std::vector<PlotPoint>& points) {
    QList<QPointF> out;
    out.reserve(static_cast<qsizetype>(points.size()));
    for (const PlotPoint& p : points) out.append(QPointF(p.x, p.y));
    return out;
}

QMargins frameMargins(const QWidget* w) {
    return w->windowHandle() ? w->windowHandle()->frameMargins() : QMargins();
}

// The border the window manager draws around the program's framed windows, as far as one of
// them shows it yet.
QMargins knownBorder() {
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w->windowType() != Qt::Window) continue;
        const QMargins m = frameMargins(w);
        if (!m.isNull()) return m;
    }
    return {};
}

// Elevation labels no finer than 5 ft or 2 m.
double elevationStep(int units) {
    return units == Units::English ? 5.0 : 2.0;
}

// The texts of the project files are single bytes, Latin-1.
QString latin1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// The run the chart was drawn from: the graph command runs the analysis before it draws.
ChartTitleBlock runTitleBlock(const AnalysisState& s) {
    const TitleBlockText t = titleBlockOf(s);
    ChartTitleBlock block;
    block.job = latin1(t.job);
    block.project = latin1(t.project);
    block.boring = latin1(t.boring);
    block.run = latin1(t.run);
    return block;
}

} // namespace

CGraphWnd::CGraphWnd(GuiShell& shell, const char* printText) : shell_(shell) {
    // Closing destroys the window; the project keeps its place for the next graph command.
    setAttribute(Qt::WA_DeleteOnClose);
    // The program ends with its main window, whatever graphs are still open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowIcon(programIcon());
    chart_ = new CChart2D(this);
    setCentralWidget(chart_);

    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Graph"));
    QAction* print = menu->addAction(QString::fromLatin1(printText), this, &CGraphWnd::printGraph);
    print->setObjectName(QStringLiteral("printAction"));
    QAction* save = menu->addAction(QStringLiteral("Save &Image..."), this, &CGraphWnd::saveImage);
    save->setObjectName(QStringLiteral("saveImageAction"));
    menu->addSeparator();
    QAction* exit = menu->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("exitAction"));
}

void CGraphWnd::placeFrame(const QRect& frame) {
    frame_ = frame;
    const QMargins own = frameMargins(this);
    const QMargins border = isVisible() && !own.isNull() ? own : knownBorder();
    framePending_ = own.isNull();
    // A window's position is that of its frame; its size is that of what is inside.
    move(frame.topLeft());
    const QSize inside = frame.size().shrunkBy(border).expandedTo(QSize(1, 1));
    // On a screen too small for a readable chart the window keeps its place on the screen.
    chart_->setMinimumSize(
        chart_->minimumSize().boundedTo(inside - QSize(0, menuBar()->sizeHint().height())));
    resize(inside);
}

bool CGraphWnd::event(QEvent* event) {
    // Only these leave the window alive to look at afterwards; a deferred delete does not.
    const QEvent::Type type = event->type();
    if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Show)
        return QMainWindow::event(event);
    const bool handled = QMainWindow::event(event);
    const QMargins border = frameMargins(this);
    if (framePending_ && !border.isNull()) {
        framePending_ = false;
        if (frameGeometry() != frame_) {
            move(frame_.topLeft());
            resize(frame_.size().shrunkBy(border).expandedTo(QSize(1, 1)));
        }
    }
    return handled;
}

void CGraphWnd::printGraph() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    const QSize size = chart_->size();
    printer.setPageOrientation(size.width() >= size.height() ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait);
    if (!shell_.choosePrinter(printer)) return;
    const std::string failure = chart_->print(printer);
    if (!failure.empty()) shell_.showMessage(failure, MessageKind::Warning);
}

void CGraphWnd::saveImage() {
    FileDialogOptions options;
    options.filters = CChart2D::imageFilters();
    options.defaultSuffix = "png";
    options.confirmOverwrite = true;
    const std::optional<std::string> path = shell_.chooseSaveFile(options);
    if (!path) return;
    const std::string failure = chart_->saveImage(*path);
    if (!failure.empty()) shell_.showMessage(failure, MessageKind::Warning);
}

ChartContent blowCountChart(const CPelbrinDoc& doc, const AnalysisState& s) {
    ChartContent c;
    c.title = QStringLiteral("SPT N-Value vs. Elevation");
    c.xTitle = text(blowCountAxisTitle(doc.units));
    c.yTitle = text(elevationAxisTitle(doc.units));
    c.yMinimumStep = elevationStep(doc.units);
    c.series.append({QStringLiteral("Blows"), toPoints(blowCountPoints(doc))});
    c.titleBlock = runTitleBlock(s);
    return c;
}

ChartContent capacityChart(const CPelbrinDoc& doc, const AnalysisState& s, int w) {
    const double width = doc.pileWidths[static_cast<std::size_t>(std::clamp(w, 1, kDocWidths) - 1)];
    ChartContent c;
    c.title = text(capacityChartTitle(width, doc.units));
    c.titleBold = false;
    c.xTitle = text(capacityAxisTitle(doc.units));
    c.yTitle = text(elevationAxisTitle(doc.units));
    c.yMinimumStep = elevationStep(doc.units);
    const auto curves = capacityCurves(s, w);
    const auto& labels = capacityLegend();
    for (std::size_t k = 0; k < curves.size(); ++k)
        c.series.append({text(labels[k]), toPoints(curves[k])});
    c.titleBlock = runTitleBlock(s);
    return c;
}

CBlowCountWnd::CBlowCountWnd(const CPelbrinDoc& doc, const AnalysisState& s, GuiShell& shell)
    : CGraphWnd(shell, "&Print") {
    setObjectName(QStringLiteral("blowCountGraph"));
    setWindowTitle(QStringLiteral("SPT N-Value vs. Elevation"));
    chart()->setContent(blowCountChart(doc, s));
    chart()->keepReadable(kReadable);
}

CCapacityWnd::CCapacityWnd(const CPelbrinDoc& doc, const AnalysisState& s, int w, GuiShell& shell)
    : CGraphWnd(shell, "&Print Graph"), widthIndex_(std::clamp(w, 1, kDocWidths) - 1) {
    setObjectName(QStringLiteral("capacityGraph%1").arg(w));
    setWindowTitle(text(
        capacityWindowTitle(doc.pileWidths[static_cast<std::size_t>(widthIndex_)], doc.units)));
    chart()->setContent(capacityChart(doc, s, w));
    chart()->keepReadable(kReadable);
}

} // namespace zenka
