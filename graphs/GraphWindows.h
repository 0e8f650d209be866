#pragma once

// The graph windows: top-level windows beside the main window, each with one chart and a
// "&Graph" menu. They show the data of the moment they were built.

#include <QMainWindow>
#include <QRect>

namespace zenka {

struct AnalysisState;
class CChart2D;
struct ChartContent;
class CPelbrinDoc;
class GuiShell;

// What the blow-count graph and the capacity graph of width w (1 to 5) draw: the windows show it,
// the report's pages print it.
ChartContent blowCountChart(const CPelbrinDoc& doc, const AnalysisState& s);
ChartContent capacityChart(const CPelbrinDoc& doc, const AnalysisState& s, int w);

class CGraphWnd : public QMainWindow {
    Q_OBJECT
public:
    CChart2D* chart() const { return chart_; }

    // Places the window so that its outer frame, the window manager's border included, covers
    // `frame`. The border is known only once the window is shown, so the size is set again
    // then if the border differs from the one guessed from the program's other windows.
    void placeFrame(const QRect& frame);

public slots:
    // The print dialog, then the chart on one page of the chosen printer.
    void printGraph();
    // The chart as an image file: PNG, SVG or PDF by the chosen name's extension.
    void saveImage();

protected:
    CGraphWnd(GuiShell& shell, const char* printText);
    bool event(QEvent* event) override;

private:
    GuiShell& shell_;
    CChart2D* chart_ = nullptr;
    QRect frame_;
    bool framePending_ = false;
};

// SPT N-value against elevation, from the project's boring log.
class CBlowCountWnd : public CGraphWnd {
    Q_OBJECT
public:
    CBlowCountWnd(const CPelbrinDoc& doc, const AnalysisState& s, GuiShell& shell);

    // The smallest chart whose fixed texts stay whole, where the screen has room for it.
    static constexpr QSize kReadable{320, 420};
};

// The five capacities of one pile width against tip elevation, from a range run's results.
class CCapacityWnd : public CGraphWnd {
    Q_OBJECT
public:
    // w is the pile width number, 1 to 5.
    CCapacityWnd(const CPelbrinDoc& doc, const AnalysisState& s, int w, GuiShell& shell);

    static constexpr QSize kReadable{420, 460};

    int widthIndex() const { return widthIndex_; }

private:
    int widthIndex_;
};

} // namespace zenka
