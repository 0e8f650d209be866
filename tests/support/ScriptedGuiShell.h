#pragma once

// The scripted shell of the desktop program's windows: with the print dialog, which sets up the
// printer as the person would, or is cancelled when no choice is scripted.

#include "graphs/GuiShell.h"
#include "support/ScriptedShell.h"

#include <functional>

namespace zenka::test {

class ScriptedGuiShell : public BasicScriptedShell<GuiShell> {
public:
    std::function<bool(QPrinter&)> printerChoice;
    int printDialogs = 0;

    bool choosePrinter(QPrinter& printer) override {
        ++printDialogs;
        return printerChoice && printerChoice(printer);
    }
};

} // namespace zenka::test
