#include "GuiSupport.h"

#include "base/AtomicFile.h"
#include "graphs/Chart2D.h"
#include "graphs/GraphCommand.h"
#include "graphs/GraphContent.h"
#include "graphs/GraphWindows.h"
#include "resources/Pictures.h"
#include "support/Projects.h"
#include "support/TempDir.h"

#include <QAction>
#include <QGraphicsItem>
#include <QGraphicsWidget>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPrinter>
#include <QScreen>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>

#include <gmock/gmock.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace zenka::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<double> ys(const ChartSeries& s) {
    std::vector<double> out;
    for (const QPointF& p : s.points) out.push_back(p.y());
    return out;
}
std::vector<double> xs(const ChartSeries& s) {
    std::vector<double> out;
    for (const QPointF& p : s.points) out.push_back(p.x());
    return out;
}

template <class W> std::vector<W*> openWindows() {
    std::vector<W*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* g = qobject_cast<W*>(w)) out.push_back(g);
    return out;
}

struct ShownText {
    QString text;
    QRectF place; // in the scene
};

// Every text the chart shows, as drawn: a text with too little room is cut short with "...".
std::vector<ShownText> shownTexts(const QChartView* view) {
    std::vector<ShownText> out;
    for (const QGraphicsItem* item : view->scene()->items()) {
        if (!item->isVisible()) continue;
        if (const auto* t = qgraphicsitem_cast<const QGraphicsTextItem*>(item))
            out.push_back({t->toPlainText(), t->sceneBoundingRect()});
        else if (const auto* t = qgraphicsitem_cast<const QGraphicsSimpleTextItem*>(item))
            out.push_back({t->text(), t->sceneBoundingRect()});
    }
    return out;
}

const QGraphicsWidget* legendOf(const QChartView* view) {
    for (const QGraphicsItem* item : view->scene()->items())
        if (const auto* w = dynamic_cast<const QGraphicsWidget*>(item))
            if (w->objectName() == qs("legend")) return w;
    return nullptr;
}

QStringList menuItems(QMainWindow* window) {
    QStringList items;
    for (QAction* menu : window->menuBar()->actions()) {
        items << menu->text();
        for (QAction* a : menu->menu()->actions())
            if (!a->isSeparator()) items << a->text();
    }
    return items;
}

// Runs as the Window menu does: the project as it stands.
class GraphTest : public MainFrameTest {
protected:
    TempDir dir;

    void SetUp() override {
        MainFrameTest::SetUp();
        // The first run names the project.
        shell.saveChoices.push_back(dir.file("graphs.in"));
    }
    void TearDown() override {
        doc.ResetProject();
        MainFrameTest::TearDown();
    }
    void graph() { frame->command(ID_WINDOW_CASCADE)->trigger(); }
    void range(double gse, double from, double to, double step, std::vector<double> widths) {
        fillDeepSand(doc);
        doc.groundElevation = gse;
        doc.analysisType = 2;
        doc.minLength = from;
        doc.maxLength = to;
        doc.lengthIncrement = step;
        doc.pileWidths.fill(0);
        for (std::size_t i = 0; i < widths.size(); ++i) doc.pileWidths[i] = widths[i];
        doc.widthCount = static_cast<int>(widths.size());
    }
    CBlowCountWnd* blowWindow() { return frame->graphs().blowCount(); }
    const ChartContent& cap1Content() { return capacityWindow(1)->chart()->content(); }
    CCapacityWnd* capacityWindow(int w) { return frame->graphs().capacity(w); }
};

TEST(GraphPoints, BlowCountsRunFromEntryOneToTheEndOfTheLog) {
    AnalysisState state;
    CPelbrinDoc doc;
    doc.groundElevation = 100;
    setLog(doc, {{0, 4, 1}, {5, 9, 3}, {10, 14, 2}, {15, 0, 0}, {20, 7, 3}});
    const auto points = blowCountPoints(doc);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].y, 100);
    EXPECT_EQ(points[1].y, 95);
    EXPECT_EQ(points[2].y, 90);
    EXPECT_EQ(points[2].x, 14);

    // A log that ends at its second entry still shows its first sample.
    setLog(doc, {{0, 4, 1}, {5, 9, 0}, {10, 14, 2}});
    EXPECT_EQ(blowCountPoints(doc).size(), 1u);

    // An end-of-log entry at 10 hides what follows it.
    doc.soilCodes.fill(3);
    doc.soilCodes[9] = 0;
    EXPECT_EQ(blowCountPoints(doc).size(), 9u);
    // A full log without an end plots every entry, and never more.
    doc.soilCodes.fill(3);
    EXPECT_EQ(blowCountPoints(doc).size(), 225u);
}

TEST(GraphPoints, CapacityCurvesHoldEveryComputedLength) {
    AnalysisState s;
    for (int i = 1; i <= 4; ++i) {
        s.R(i, 1, 2) = 20.0 + 10 * i;
        s.R(i, 2, 2) = 20.0 - 10.0 * i; // 10, 0, -10, -20
        for (int c = 3; c <= 7; ++c) s.R(i, c, 2) = 100.0 * i + c;
    }
    EXPECT_EQ(capacityPointCount(s, 2), 4);
    const auto curves = capacityCurves(s, 2);
    ASSERT_EQ(curves.size(), 5u);
    EXPECT_EQ(curves[4][3].x, 407);         // UPC of the fourth length
    EXPECT_EQ(curves[0][1].y, 0);           // a tip at elevation 0 is a point like any other
    EXPECT_EQ(curves[0][3].y, -20);         // every curve against the tip elevation
    EXPECT_EQ(capacityPointCount(s, 1), 1); // nothing stored: the first row still shows
    EXPECT_EQ(capacityPointCount(s, 0), 0);
    EXPECT_EQ(capacityPointCount(s, kDocWidths + 1), 0);

    // A length the run did not reach (cleared row) ends the curves.
    s.R(3, 1, 2) = 0;
    EXPECT_EQ(capacityPointCount(s, 2), 2);
    // A table filled beyond the rows a run uses never reaches past them.
    for (int i = 1; i <= 500; ++i) s.R(i, 1, 3) = 1;
    EXPECT_EQ(capacityPointCount(s, 3), kMaxRangeSteps);
}

TEST(GraphPoints, TitlesAndPlacesFollowTheUnitsAndTheScreen) {
    EXPECT_EQ(capacityWindowTitle(18, 1), "Pile Capacity Graph for:  18.00  in Pile Width");
    EXPECT_EQ(capacityWindowTitle(457.2, 2), "Pile Capacity Graph for: 457.20  mm Pile Width");
    EXPECT_EQ(capacityChartTitle(18, 1), "Pile Capacities for Pile Width of:   18.00  in");
    EXPECT_EQ(capacityAxisTitle(2), "Pile Capacity (kN)");
    EXPECT_EQ(elevationAxisTitle(2), "Elevation (meters)");
    // Each product is cut to a whole pixel.
    const WindowPlace third = capacityWindowPlace(3, 1366, 768);
    EXPECT_EQ(third.left, 204); // 1366 x 0.15 = 204.9
    EXPECT_EQ(third.top, 176);  // 768 x 0.23 = 176.64
    EXPECT_EQ(third.width, 683);
    EXPECT_EQ(third.height, 614);
    EXPECT_EQ(capacityWindowPlace(5, 1000, 1000).left, 230);

    // Frames that would reach past the free area move up and left, never beyond its corner.
    const WindowPlace free{0, 0, 1280, 1000}; // a panel along the bottom
    const WindowPlace moved = keepInside(capacityWindowPlace(3, 1280, 1024), free);
    EXPECT_EQ(moved.top, 1000 - 819);
    EXPECT_EQ(moved.left, 192);
    EXPECT_EQ(moved.height, 819);
    EXPECT_EQ(keepInside(capacityWindowPlace(1, 1280, 1024), free).top, 153); // fits as it is
    const WindowPlace tooBig = keepInside({300, 500, 900, 1200}, {0, 30, 1280, 994});
    EXPECT_EQ(tooBig.top, 30);
    EXPECT_EQ(tooBig.left, 300);
    EXPECT_EQ(keepInside({700, 0, 900, 100}, {0, 0, 1280, 994}).left, 380);
}

TEST(ToolbarPictures, EachScreenScaleGetsAPictureDrawnForIt) {
    const ToolbarPicture all[] = {ToolbarPicture::NewSheet, ToolbarPicture::OpenFolder,
                                  ToolbarPicture::Diskette, ToolbarPicture::Graph,
                                  ToolbarPicture::Run,      ToolbarPicture::Question};
    const QSize button(kButtonWidth, kButtonHeight);
    for (ToolbarPicture which : all) {
        const QIcon icon = toolbarPicture(which);
        for (double scale : {1.0, 1.5, 2.0, 3.0}) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(which) << " at " << scale);
            const QImage drawn = toolbarImage(which, scale);
            ASSERT_EQ(drawn.size(), (QSizeF(button) * scale).toSize());
            // Something to see, on a background that shows through.
            int opaque = 0, clear = 0;
            for (int y = 0; y < drawn.height(); ++y)
                for (int x = 0; x < drawn.width(); ++x) {
                    const int alpha = drawn.pixelColor(x, y).alpha();
                    opaque += alpha == 255;
                    clear += alpha == 0;
                }
            EXPECT_GT(opaque, drawn.width() * drawn.height() / 8);
            EXPECT_GT(clear, 0);
            // The toolbar asks the icon for the button's size on a screen of this scale: it
            // gets the picture drawn for the scale, not the small one enlarged.
            const QImage served = icon.pixmap(button, scale)
                                      .toImage()
                                      .convertToFormat(QImage::Format_ARGB32_Premultiplied);
            EXPECT_EQ(served, drawn);
            EXPECT_EQ(icon.pixmap(button, scale, QIcon::Disabled).size(), drawn.size());
        }
    }
}

TEST_F(GraphTest, ARangeShowsBlowCountsAndFiveCapacityCurvesPerWidth) {
    range(10, 20, 60, 10, {18});
    graph();
    EXPECT_THAT(shell.messages, IsEmpty());
    EXPECT_EQ(shell.workingBegun, 1);
    EXPECT_EQ(shell.workingEnded, 1);
    EXPECT_FALSE(QApplication::overrideCursor());
    EXPECT_THAT(shell.viewerPaths, IsEmpty()); // the report is written, not opened
    EXPECT_TRUE(std::filesystem::exists(dir.file("graphs.out")));

    CBlowCountWnd* blows = blowWindow();
    ASSERT_NE(blows, nullptr);
    EXPECT_TRUE(blows->isVisible());
    EXPECT_EQ(blows->windowTitle(), qs("SPT N-Value vs. Elevation"));
    EXPECT_THAT(menuItems(blows),
                ElementsAre(qs("&Graph"), qs("&Print"), qs("Save &Image..."), qs("E&xit")));
    const ChartContent& b = blows->chart()->content();
    EXPECT_EQ(b.title, qs("SPT N-Value vs. Elevation"));
    EXPECT_EQ(b.xTitle, qs("Blow Count (blows/ft)"));
    // Tied to the run: the project's identification and the report's run date and time.
    const AnalysisState& run = *state;
    const QString runAt = QString::fromLatin1(run.RUNDATE.view().data(), 8) + QLatin1Char(' ') +
                          QString::fromLatin1(run.RUNTIME.view().data(), 8);
    for (const ChartContent* content : {&b, &cap1Content()}) {
        const ChartTitleBlock& t = content->titleBlock;
        EXPECT_EQ(t.job.toStdString(), doc.jobName);
        EXPECT_EQ(t.project.toStdString(), doc.projectNumber);
        EXPECT_EQ(t.boring.toStdString(), doc.boringNumber);
        EXPECT_EQ(t.run, runAt);
        EXPECT_TRUE(t.page.isEmpty()); // a window is no page of a document
    }
    QStringList blockTexts;
    for (const ShownText& t : shownTexts(blows->chart()->view())) blockTexts << t.text;
    EXPECT_TRUE(blockTexts.contains(qs("Run: ") + runAt)) << blockTexts.join(qs("|")).toStdString();
    EXPECT_EQ(b.yTitle, qs("Elevation (feet)"));
    ASSERT_EQ(b.series.size(), 1);
    EXPECT_EQ(b.series[0].label, qs("Blows"));
    EXPECT_EQ(b.series[0].points.size(), 61);
    EXPECT_EQ(b.series[0].points[2], QPointF(20, 0)); // 10 ft less 10 ft deep

    CCapacityWnd* cap = capacityWindow(1);
    ASSERT_NE(cap, nullptr);
    EXPECT_TRUE(cap->isVisible());
    EXPECT_EQ(cap->windowTitle(), qs("Pile Capacity Graph for:  18.00  in Pile Width"));
    EXPECT_THAT(menuItems(cap),
                ElementsAre(qs("&Graph"), qs("&Print Graph"), qs("Save &Image..."), qs("E&xit")));
    const ChartContent& c = cap->chart()->content();
    EXPECT_EQ(c.title, qs("Pile Capacities for Pile Width of:   18.00  in"));
    EXPECT_EQ(c.xTitle, qs("Pile Capacity (tons)"));
    EXPECT_EQ(c.yTitle, qs("Elevation (feet)"));
    ASSERT_EQ(c.series.size(), 5);
    const char* labels[] = {"Ultimate Side Friction", "Mobilized End Bearing",
                            "Estimated Davisson Capacity", "Allowable Pile Capacity",
                            "Ultimate Pile Capacity"};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(c.series[k].label, qs(labels[k]));
        EXPECT_THAT(ys(c.series[k]), ElementsAre(-10, -20, -30, -40, -50)) << labels[k];
    }
    // The curves are the run's: allowable is half the Davisson capacity, ultimate the largest.
    const auto mpc = xs(c.series[2]), tcp = xs(c.series[3]);
    for (std::size_t j = 0; j < mpc.size(); ++j) {
        EXPECT_GT(mpc[j], 0);
        EXPECT_NEAR(tcp[j], mpc[j] / 2, 0.0001);
    }
    EXPECT_DOUBLE_EQ(mpc[0], state->R(1, 5, 1));

    // The chart draws every curve, each named below the plot.
    QChart* chart = cap->chart()->view()->chart();
    EXPECT_EQ(chart->series().size(), 5);
    EXPECT_EQ(chart->backgroundBrush().color(), QColor(Qt::white));
    QStringList shown;
    for (const ShownText& t : shownTexts(cap->chart()->view())) shown << t.text;
    for (const char* label : labels) EXPECT_TRUE(shown.contains(qs(label))) << label;
}

TEST_F(GraphTest, EveryLabelIsReadableAtTheWindowsOwnSize) {
    // Capacities past 1000 tons and past 1000 kN; the windows' insides on a 1280 x 1024 and a
    // 1920 x 1080 screen, and a window made smaller by hand.
    const QSize capacitySizes[] = {{638, 794}, {958, 839}, {420, 500}};
    const QSize blowCountSizes[] = {{382, 794}, {574, 839}};
    for (const char* example : {"cylinder-range.in", "metric-h-pile-range.in"}) {
        SCOPED_TRACE(example);
        const std::string copy = dir.file(example);
        std::filesystem::copy_file(std::string(ZENKA_SOURCE_DIR) + "/examples/" + example, copy,
                                   std::filesystem::copy_options::overwrite_existing);
        shell.openChoices.push_back(copy);
        frame->onFileOpen();
        graph();
        ASSERT_THAT(shell.messages, IsEmpty());
        CCapacityWnd* cap = capacityWindow(1);
        CBlowCountWnd* blows = blowWindow();
        ASSERT_TRUE(cap && blows);

        for (const QSize& size : capacitySizes) {
            SCOPED_TRACE(size.width());
            cap->resize(size);
            QCoreApplication::processEvents();
            const QChartView* view = cap->chart()->view();
            const QRectF plot = view->chart()->mapRectToScene(view->chart()->plotArea());
            int xLabels = 0;
            double lineHeight = 0;
            for (const ShownText& t : shownTexts(view)) {
                EXPECT_FALSE(t.text.endsWith(qs("..."))) << t.text.toStdString();
                bool number = false;
                t.text.toDouble(&number);
                if (number && t.place.top() >= plot.bottom()) ++xLabels;
                if (t.text == qs("Ultimate Side Friction")) lineHeight = t.place.height();
            }
            // Readable by leaving labels out only as far as the room asks.
            EXPECT_GE(xLabels, size.width() > 600 ? 6 : 4);

            const QGraphicsWidget* legend = legendOf(view);
            ASSERT_NE(legend, nullptr);
            const QRectF place = legend->sceneBoundingRect();
            EXPECT_FALSE(place.intersects(plot));
            EXPECT_TRUE(view->chart()->sceneBoundingRect().contains(place));
            if (size.width() > 600) {
                EXPECT_LT(place.height(), 2.5 * lineHeight); // two rows
            }
        }

        for (const QSize& size : blowCountSizes) {
            blows->resize(size);
            QCoreApplication::processEvents();
            const QChartView* view = blows->chart()->view();
            const QRectF plot = view->chart()->mapRectToScene(view->chart()->plotArea());
            bool labelled = false;
            for (const ShownText& t : shownTexts(view)) {
                EXPECT_FALSE(t.text.endsWith(qs("..."))) << t.text.toStdString();
                if (t.text == qs("Blows")) labelled = !t.place.intersects(plot);
            }
            EXPECT_TRUE(labelled) << size.width();
        }

        // Made as small as the hand can, the windows stop where every label still fits, also
        // with a job name of the field's whole length in the title block. (The test screen is
        // smaller than any real one, where the window keeps its place instead: set again.)
        for (const std::string& job : {doc.jobName, std::string(50, 'W')}) {
            doc.jobName = job;
            graph();
            const std::pair<CGraphWnd*, QSize> windows[] = {
                {capacityWindow(1), CCapacityWnd::kReadable},
                {blowWindow(), CBlowCountWnd::kReadable}};
            for (const auto& [w, readable] : windows) {
                SCOPED_TRACE(w->objectName().toStdString() + " " + job);
                w->chart()->keepReadable(readable);
                w->resize(120, 90);
                QCoreApplication::processEvents();
                EXPECT_GE(w->chart()->width(), readable.width());
                EXPECT_GE(w->chart()->height(), readable.height());
                for (const ShownText& t : shownTexts(w->chart()->view())) {
                    EXPECT_FALSE(t.text.endsWith(qs("..."))) << t.text.toStdString();
                    EXPECT_FALSE(t.text.endsWith(QChar(0x2026))) << t.text.toStdString();
                }
            }
        }
    }
}

TEST_F(GraphTest, EveryLengthOfTheRunIsPlottedThroughATipElevationOfZero) {
    struct Case {
        double ground, from, to, step;
        std::vector<double> tips;
    };
    const Case cases[] = {
        {20, 10, 40, 10, {10, 0, -10, -20}},
        {10, 10, 30, 10, {0, -10, -20}}, // the first tip at zero
        {10, 20, 60, 10, {-10, -20, -30, -40, -50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ground);
        range(c.ground, c.from, c.to, c.step, {18});
        graph();
        CCapacityWnd* cap = capacityWindow(1);
        ASSERT_NE(cap, nullptr);
        for (const ChartSeries& s : cap->chart()->content().series)
            EXPECT_EQ(ys(s), c.tips) << s.label.toStdString();
    }
}

TEST_F(GraphTest, TheGroundThirtyRangePlotsAllFiftyOneLengths) {
    // Lengths 20 to 120 ft by 2 below a ground at 30 ft: tips from 10 down to -90, through 0.
    const std::string copy = dir.file("cylinder-range.in");
    std::filesystem::copy_file(std::string(ZENKA_SOURCE_DIR) + "/examples/cylinder-range.in", copy);
    shell.openChoices.push_back(copy);
    frame->onFileOpen();
    doc.groundElevation = 30;
    graph();
    ASSERT_THAT(shell.messages, IsEmpty());
    CCapacityWnd* cap = capacityWindow(1);
    ASSERT_NE(cap, nullptr);
    const ChartContent& c = cap->chart()->content();
    ASSERT_EQ(c.series.size(), 5);
    for (const ChartSeries& s : c.series) {
        ASSERT_EQ(s.points.size(), 51) << s.label.toStdString();
        EXPECT_DOUBLE_EQ(s.points.front().y(), 10);
        EXPECT_DOUBLE_EQ(s.points[10].y(), -10);
        EXPECT_DOUBLE_EQ(s.points.back().y(), -90);
    }
    // The chart itself draws them all.
    const auto drawn = cap->chart()->view()->chart()->series();
    ASSERT_EQ(drawn.size(), 5);
    EXPECT_EQ(static_cast<QLineSeries*>(drawn[0])->count(), 51);
}

TEST_F(GraphTest, EveryWidthGetsAWindowCascadingFromTheScreensTopLeft) {
    range(10, 20, 40, 10, {12, 14, 16});
    graph();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const double lefts[] = {0.07, 0.11, 0.15};
    const double tops[] = {0.15, 0.19, 0.23};
    const char* titles[] = {"Pile Capacity Graph for:  12.00  in Pile Width",
                            "Pile Capacity Graph for:  14.00  in Pile Width",
                            "Pile Capacity Graph for:  16.00  in Pile Width"};
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    for (int w = 1; w <= 3; ++w) {
        CCapacityWnd* cap = capacityWindow(w);
        ASSERT_NE(cap, nullptr) << w;
        EXPECT_EQ(cap->windowTitle(), qs(titles[w - 1]));
        EXPECT_EQ(cap->widthIndex(), w - 1);
        // The frame is what is placed and sized; one that would reach below the screen's free
        // area is moved up.
        // A screen too narrow for the chart's texts at half its width widens the frame.
        const QRect frame = cap->frameGeometry();
        EXPECT_EQ(frame.height(), static_cast<int>(screen.height() * 0.8));
        EXPECT_GE(frame.width(), static_cast<int>(screen.width() * 0.5));
        EXPECT_GE(cap->chart()->width(), cap->chart()->minimumWidth());
        EXPECT_EQ(frame.left(), static_cast<int>(screen.width() * lefts[w - 1]));
        EXPECT_EQ(frame.top(), std::min(static_cast<int>(screen.height() * tops[w - 1]),
                                        free.bottom() + 1 - frame.height()));
        EXPECT_LE(frame.bottom(), free.bottom());
    }
    EXPECT_EQ(capacityWindow(4), nullptr);
    EXPECT_EQ(openWindows<CCapacityWnd>().size(), 3u);
}

TEST_F(GraphTest, MetricRunsNameMillimetresKilonewtonsAndMeters) {
    range(10, 20, 40, 10, {18});
    doc.ConvertUnits(1);
    doc.units = 2;
    graph();
    EXPECT_THAT(shell.messages, IsEmpty());
    CCapacityWnd* cap = capacityWindow(1);
    ASSERT_NE(cap, nullptr);
    EXPECT_EQ(cap->windowTitle(), qs("Pile Capacity Graph for: 457.20  mm Pile Width"));
    EXPECT_EQ(cap->chart()->content().xTitle, qs("Pile Capacity (kN)"));
    EXPECT_EQ(cap->chart()->content().yTitle, qs("Elevation (meters)"));
    // Tip elevations in meters: 3.048 m less 6.096 m and so on.
    EXPECT_NEAR(cap->chart()->content().series[0].points[0].y(), -3.048, 0.001);
    ASSERT_NE(blowWindow(), nullptr);
    EXPECT_EQ(blowWindow()->chart()->content().yTitle, qs("Elevation (meters)"));
    // The log as the project holds it, in meters: ground 3.048 m, the third sample 3.048 m deep.
    const QPointF third = blowWindow()->chart()->content().series[0].points[2];
    EXPECT_NEAR(third.y(), doc.groundElevation - doc.depths[2], 1e-9);
    EXPECT_NEAR(third.y(), 0, 1e-9);
    EXPECT_EQ(third.x(), doc.blowCounts[2]);
}

TEST_F(GraphTest, AGraphCommandRebuildsItsWindowsAndLeavesTheOthers) {
    range(10, 20, 60, 10, {12, 14});
    graph();
    QPointer<CBlowCountWnd> firstBlows = blowWindow();
    QPointer<CCapacityWnd> firstWidth2 = capacityWindow(2);
    ASSERT_TRUE(firstBlows && firstWidth2);

    // A second range run with one width: the blow-count window and width 1 are rebuilt with
    // the data of now; width 2 keeps its old curves.
    doc.blowCounts[0] = 33;
    doc.widthCount = 1;
    graph();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(firstBlows.isNull());
    EXPECT_EQ(openWindows<CBlowCountWnd>().size(), 1u);
    EXPECT_EQ(blowWindow()->chart()->content().series[0].points[0].x(), 33);
    EXPECT_EQ(capacityWindow(2), firstWidth2.data());
    EXPECT_EQ(openWindows<CCapacityWnd>().size(), 2u);

    // Specific lengths: only the blow-count graph; the range's capacity windows stay.
    doc.analysisType = 1;
    graph();
    EXPECT_EQ(openWindows<CBlowCountWnd>().size(), 1u);
    EXPECT_EQ(openWindows<CCapacityWnd>().size(), 2u);
    EXPECT_NE(capacityWindow(1), nullptr);

    // A refused run changes nothing on the screen.
    CBlowCountWnd* blows = blowWindow();
    doc.pileWidths.fill(0);
    doc.widthCount = 0;
    graph();
    EXPECT_THAT(shell.messageTexts(), ElementsAre("At least one pile width must be entered"));
    EXPECT_EQ(blowWindow(), blows);
    EXPECT_EQ(openWindows<CCapacityWnd>().size(), 2u);
    EXPECT_EQ(shell.workingBegun, shell.workingEnded);
    EXPECT_FALSE(QApplication::overrideCursor());
}

TEST_F(GraphTest, ClosingAWindowKeepsItsPlaceAndResetClosesEveryWindow) {
    range(10, 20, 40, 10, {12, 14});
    graph();
    QPointer<CCapacityWnd> width1 = capacityWindow(1);
    ASSERT_TRUE(width1);
    width1->findChild<QAction*>(qs("exitAction"))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(width1.isNull());
    EXPECT_EQ(capacityWindow(1), nullptr);
    EXPECT_NE(capacityWindow(2), nullptr);

    // New (nothing to save) resets the project: every graph goes.
    doc.SetModified(false);
    frame->onFileNew();
    EXPECT_TRUE(openWindows<CGraphWnd>().empty());
    EXPECT_EQ(blowWindow(), nullptr);
}

TEST_F(GraphTest, RunsThatDoNotFinishOpenNothing) {
    // Save As cancelled: no report of this run, so no graph either.
    range(10, 20, 40, 10, {12});
    shell.saveChoices.clear();
    graph();
    EXPECT_TRUE(openWindows<CGraphWnd>().empty());
    EXPECT_EQ(shell.workingBegun, shell.workingEnded);

    // A report that cannot be written: the message, and no graph of a run without a report.
    shell.saveChoices.push_back(dir.file("graphs.in"));
    graph();
    ASSERT_NE(blowWindow(), nullptr);
    doc.graphs->closeAll();
    setWriteFailureAfterBytesForTesting(0);
    graph();
    setWriteFailureAfterBytesForTesting(-1);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_NE(shell.messages[0].text.find(dir.file("graphs.out")), std::string::npos);
    EXPECT_TRUE(openWindows<CGraphWnd>().empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(shell.workingBegun, shell.workingEnded);
}

TEST_F(GraphTest, PrintingGoesToThePrinterChosenInTheDialog) {
    range(10, 20, 60, 10, {18});
    graph();
    const std::string pdf = dir.file("printed.pdf");
    shell.printerChoice = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    capacityWindow(1)->findChild<QAction*>(qs("printAction"))->trigger();
    EXPECT_EQ(shell.printDialogs, 1);
    const std::string printed = readFile(pdf);
    EXPECT_GT(printed.size(), 1000u);
    EXPECT_EQ(printed.substr(0, 5), "%PDF-");
    EXPECT_THAT(shell.messages, IsEmpty());
    // The printed sheet carries the title block.
    if (std::FILE* text = popen(("pdftotext -raw '" + pdf + "' - 2>/dev/null").c_str(), "r")) {
        std::string out;
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, text)) > 0;) out.append(buf, n);
        if (pclose(text) == 0) {
            EXPECT_THAT(out, ::testing::HasSubstr("Job: " + doc.jobName));
            EXPECT_THAT(out, ::testing::HasSubstr("Boring No.: " + doc.boringNumber));
            EXPECT_THAT(out, ::testing::HasSubstr("Project No.: " + doc.projectNumber));
        }
    }

    // Cancelled: nothing printed.
    std::filesystem::remove(pdf);
    shell.printerChoice = nullptr;
    blowWindow()->findChild<QAction*>(qs("printAction"))->trigger();
    EXPECT_EQ(shell.printDialogs, 2);
    EXPECT_FALSE(std::filesystem::exists(pdf));

    // A disk that fills while printing to a file: the message names the file and the
    // reason, and the file printed before is still whole.
    shell.printerChoice = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    capacityWindow(1)->printGraph();
    const std::string before = readFile(pdf);
    ASSERT_FALSE(before.empty());
    setWriteFailureAfterBytesForTesting(100);
    capacityWindow(1)->printGraph();
    setWriteFailureAfterBytesForTesting(-1);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text,
              "Disk full while accessing " + pdf + ".\n" + std::strerror(ENOSPC));
    EXPECT_EQ(readFile(pdf), before);
    shell.messages.clear();

    // A file nowhere to be written says so and names it.
    shell.printerChoice = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(dir.file("no/such/folder.pdf")));
        return true;
    };
    blowWindow()->printGraph();
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_NE(shell.messages[0].text.find("no/such/folder.pdf"), std::string::npos);
}

TEST_F(GraphTest, SaveImageWritesTheChartInTheChosenFormat) {
    range(10, 20, 60, 10, {18});
    graph();
    CCapacityWnd* cap = capacityWindow(1);
    ASSERT_NE(cap, nullptr);
    QAction* save = cap->findChild<QAction*>(qs("saveImageAction"));

    shell.saveChoices.push_back(dir.file("capacity.png"));
    save->trigger();
    ASSERT_EQ(shell.saveDialogs.size(), 2u); // the project's name, then the image's
    EXPECT_EQ(shell.saveDialogs[1].filters, CChart2D::imageFilters());
    EXPECT_TRUE(shell.saveDialogs[1].confirmOverwrite);
    QImage png(QString::fromStdString(dir.file("capacity.png")));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), cap->chart()->view()->size() * cap->devicePixelRatio());
    EXPECT_EQ(png.pixelColor(2, 2), QColor(Qt::white));

    shell.saveChoices.push_back(dir.file("capacity.svg"));
    save->trigger();
    EXPECT_NE(readFile(dir.file("capacity.svg")).find("<svg"), std::string::npos);
    shell.saveChoices.push_back(dir.file("capacity.PDF"));
    save->trigger();
    EXPECT_EQ(readFile(dir.file("capacity.PDF")).substr(0, 5), "%PDF-");
    EXPECT_THAT(shell.messages, IsEmpty());

    // A name of another kind, and a folder that does not exist: a message, no file.
    shell.saveChoices.push_back(dir.file("capacity.jpg"));
    save->trigger();
    shell.saveChoices.push_back(dir.file("missing/capacity.png"));
    save->trigger();
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_NE(shell.messages[0].text.find("capacity.jpg"), std::string::npos);
    EXPECT_NE(shell.messages[1].text.find(dir.file("missing/capacity.png")), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("capacity.jpg")));
}

TEST_F(GraphTest, TheChartFollowsTheWindowsSize) {
    range(10, 20, 40, 10, {18});
    graph();
    CBlowCountWnd* blows = blowWindow();
    ASSERT_NE(blows, nullptr);
    blows->resize(500, 700);
    QCoreApplication::processEvents();
    const QSize client = blows->centralWidget()->size();
    EXPECT_EQ(blows->chart()->view()->size(), client);
    EXPECT_GT(client.height(), 600);
}

} // namespace
} // namespace zenka::test
