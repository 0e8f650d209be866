#pragma once

// The project's graph windows and the graph command that makes them: one owner, one place
// where windows are created, replaced and closed.

#include "model/PelbrinDoc.h"

#include <QPointer>

#include <array>

namespace zenka {

struct AnalysisState;
class CBlowCountWnd;
class CCapacityWnd;
class GuiShell;

class CGraphSet : public GraphWindows {
public:
    // Registers itself with the project, which closes the windows when it is reset.
    CGraphSet(CPelbrinDoc& doc, AnalysisState& state, GuiShell& shell);
    ~CGraphSet() override;
    CGraphSet(const CGraphSet&) = delete;
    CGraphSet& operator=(const CGraphSet&) = delete;

    // The graph command: runs the analysis, then shows the blow-count graph and, after a range
    // of lengths, one capacity graph per pile width, each in place of the window the last
    // command showed for it. False when the run was refused or did not complete; then no
    // window opens or changes.
    bool run();
    void closeAll() override;

    // The windows on the screen now; none where a window was never shown or has been closed.
    CBlowCountWnd* blowCount() const;
    // w is the pile width number, 1 to 5.
    CCapacityWnd* capacity(int w) const;

private:
    CPelbrinDoc& doc_;
    AnalysisState& state_;
    GuiShell& shell_;
    // A window may be closed by the person at any time; closing destroys it and the pointer
    // turns null.
    QPointer<CBlowCountWnd> blowCount_;
    std::array<QPointer<CCapacityWnd>, kDocWidths> capacity_;
};

} // namespace zenka
