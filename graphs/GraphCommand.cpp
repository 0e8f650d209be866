#include "graphs/GraphCommand.h"

#include "engine/AnalysisState.h"
#include "engine/Handoff.h"
#include "graphs/GraphContent.h"
#include "graphs/GraphWindows.h"
#include "project/PelbrinDoc.h"
#include "project/Shell.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <algorithm>

namespace zenka {

namespace {

// The project's reference to a graph window. The window may be closed on its own; the
// reference stays, and destroying it closes the window if it is still open.
class GraphWindowRef : public GraphWindow {
public:
    explicit GraphWindowRef(CGraphWnd* window) : window_(window) {}
    ~GraphWindowRef() override { delete window_.data(); }
    GraphWindowRef(const GraphWindowRef&) = delete;
    GraphWindowRef& operator=(const GraphWindowRef&) = delete;

    CGraphWnd* window() const { return window_.data(); }

private:
    QPointer<CGraphWnd> window_;
};

// The notice and the wait cursor for as long as the analysis runs.
class Busy {
public:
    explicit Busy(Shell& shell) : shell_(shell) {
        shell_.beginWorking();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~Busy() { end(); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
    void end() {
        if (!busy_) return;
        busy_ = false;
        QApplication::restoreOverrideCursor();
        shell_.endWorking();
    }

private:
    Shell& shell_;
    bool busy_ = true;
};

const QScreen* screen() {
    return QGuiApplication::primaryScreen();
}

QRect screenArea() {
    if (const QScreen* s = screen()) return s->geometry();
    return {0, 0, 1024, 768};
}

// The screen less the panels a desktop keeps on it.
QRect availableArea() {
    if (const QScreen* s = screen()) return s->availableGeometry();
    return screenArea();
}

// Places are fractions of the primary screen, which need not start at the desktop's corner;
// a window that would reach below the screen's free area is moved up.
void place(CGraphWnd* window, const WindowPlace& p, const QRect& screen) {
    const QRect free = availableArea();
    const WindowPlace frame =
        keepInside({screen.left() + p.left, screen.top() + p.top, p.width, p.height},
                   {free.left(), free.top(), free.width(), free.height()});
    window->placeFrame(QRect(frame.left, frame.top, frame.width, frame.height));
}

} // namespace

CGraphWnd* graphWindowOf(const std::unique_ptr<GraphWindow>& ref) {
    const auto* graph = dynamic_cast<const GraphWindowRef*>(ref.get());
    return graph ? graph->window() : nullptr;
}

bool GraphCommand(CPelbrinDoc& doc, Shell& shell) {
    const QRect screen = screenArea();
    Busy busy(shell);
    const bool ran = AnalysisHandoff(doc, shell);
    // Without a report of this run the result table may still hold an earlier run's curves.
    if (doc.inputValid != 1 || !ran || !doc.state().reportWritten) return false;

    auto* blows = new CBlowCountWnd(doc, shell);
    place(blows, blowCountWindowPlace(screen.width(), screen.height()), screen);
    // Replacing the reference closes the window of the last graph command.
    doc.blowCountGraph = std::make_unique<GraphWindowRef>(blows);
    busy.end();
    blows->show();

    if (doc.analysisType != 2) return true;
    const int widths = std::min(doc.widthCount, kDocWidths);
    for (int w = 1; w <= widths; ++w) {
        auto* capacity = new CCapacityWnd(doc, doc.state(), w, shell);
        place(capacity, capacityWindowPlace(w, screen.width(), screen.height()), screen);
        doc.capacityGraphs[static_cast<std::size_t>(w - 1)] =
            std::make_unique<GraphWindowRef>(capacity);
        capacity->show();
    }
    return true;
}

} // namespace zenka
