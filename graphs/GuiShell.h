#pragma once

// What the desktop program asks of a person beyond the toolkit-free Shell: the print dialog.
// The graph windows and the main window talk through it; tests answer it from a script.

#include "base/Shell.h"

class QPrinter;

namespace zenka {

class GuiShell : public Shell {
public:
    // The print dialog on `printer`: true when the person chose to print.
    virtual bool choosePrinter(QPrinter& printer) = 0;
    // The filter, by its place in the list, under which the last save dialog chose its file.
    virtual int chosenSaveFilter() const { return 0; }
};

} // namespace zenka
