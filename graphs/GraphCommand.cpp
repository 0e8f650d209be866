#include "graphs/GraphCommand.h"

#include "engine/AnalysisState.h"
#include "graphs/GraphContent.h"
#include "graphs/GraphWindows.h"
#include "graphs/GuiShell.h"
#include "model/PelbrinDoc.h"
#include "run/RunCommands.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>

#include <QScreen>
#include <algorithm>

#include <algorithm>

namespace zenka {

namespace {

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
void place(CGraphWnd* window, WindowPlace p, const QRect& screen) {
    const QRect free = availableArea();
    // A small or much enlarged screen leaves the fraction too narrow for the chart's texts: the
    // frame takes the width they need, as far as the screen allows.
    p.width = std::max(p.width, std::min(window->minimumSizeHint().width() + 16, free.width()));
    const WindowPlace frame =
        keepInside({screen.left() + p.left, screen.top() + p.top, p.width, p.height},
                   {free.left(), free.top(), free.width(), free.height()});
    window->placeFrame(QRect(frame.left, frame.top, frame.width, frame.height));
}

} // namespace

CGraphSet::CGraphSet(CPelbrinDoc& doc, AnalysisState& state, GuiShell& shell)
    : doc_(doc), state_(state), shell_(shell) {
    doc_.graphs = this;
}

CGraphSet::~CGraphSet() {
    closeAll();
    if (doc_.graphs == this) doc_.graphs = nullptr;
}

CBlowCountWnd* CGraphSet::blowCount() const {
    return blowCount_.data();
}

CCapacityWnd* CGraphSet::capacity(int w) const {
    if (w < 1 || w > kDocWidths) return nullptr;
    return capacity_[static_cast<std::size_t>(w - 1)].data();
}

void CGraphSet::closeAll() {
    delete blowCount_.data();
    for (auto& window : capacity_) delete window.data();
}

bool CGraphSet::run() {
    const QRect screen = screenArea();
    Busy busy(shell_);
    // Without a report of this run the result table may still hold an earlier run's curves.
    if (RunProject(doc_, state_, shell_) != RunOutcome::Written) return false;

    auto* blows = new CBlowCountWnd(doc_, state_, shell_);
    place(blows, blowCountWindowPlace(screen.width(), screen.height()), screen);
    // The window of the last graph command goes.
    delete blowCount_.data();
    blowCount_ = blows;
    busy.end();
    blows->show();

    if (doc_.analysisType != AnalysisType::RangeOfLengths) return true;
    const int widths = std::min(doc_.widthCount, kDocWidths);
    for (int w = 1; w <= widths; ++w) {
        auto* window = new CCapacityWnd(doc_, state_, w, shell_);
        place(window, capacityWindowPlace(w, screen.width(), screen.height()), screen);
        QPointer<CCapacityWnd>& slot = capacity_[static_cast<std::size_t>(w - 1)];
        delete slot.data();
        slot = window;
        window->show();
    }
    return true;
}

} // namespace zenka
