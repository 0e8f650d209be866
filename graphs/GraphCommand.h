#pragma once

// The graph command: runs the analysis, then shows the blow-count graph and, after a range of
// lengths, one capacity graph per pile width.

#include <memory>

namespace zenka {

class CGraphWnd;
class CPelbrinDoc;
class GraphWindow;
class Shell;

// False when the run was refused or did not complete; then no window opens or changes.
bool GraphCommand(CPelbrinDoc& doc, Shell& shell);

// The window behind one of the project's graph references; none when there is no reference or
// its window was closed.
CGraphWnd* graphWindowOf(const std::unique_ptr<GraphWindow>& ref);

} // namespace zenka
