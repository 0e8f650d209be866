#pragma once

// The scripted shell of the desktop program's windows: with the print dialog, which sets up the
// printer as the person would, or is cancelled when no choice is scripted, and the program's own
// dialogs, each shown and handed to the next act of the script.

#include "graphs/GuiShell.h"
#include "support/ScriptedShell.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace zenka::test {

class ScriptedGuiShell : public BasicScriptedShell<GuiShell> {
public:
    std::function<bool(QPrinter&)> printerChoice;
    int printDialogs = 0;

    // What the person does in each dialog the program opens, in order. A dialog comes up shown
    // and active; one the act leaves open (or that has no act) is closed as cancelled, and
    // counted in dialogsLeftOpen when it had an act.
    std::deque<std::function<void(QDialog&)>> dialogActs;
    std::vector<std::string> dialogsRun; // their object names
    int dialogsLeftOpen = 0;
    // The kind chosen in a save dialog's list, by its place; 0 when none is scripted.
    std::deque<int> saveKinds;

    bool choosePrinter(QPrinter& printer) override {
        ++printDialogs;
        return printerChoice && printerChoice(printer);
    }

    int runDialog(QDialog& dialog) override {
        dialogsRun.push_back(dialog.objectName().toStdString());
        dialog.setResult(QDialog::Rejected);
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        dialog.activateWindow();
        // The person acts once the window has come up and has the keyboard.
        QElapsedTimer waited;
        waited.start();
        while (QApplication::activeWindow() != &dialog && waited.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        if (dialogActs.empty()) {
            dialog.done(QDialog::Rejected);
            return dialog.result();
        }
        const auto act = std::move(dialogActs.front());
        dialogActs.pop_front();
        act(dialog);
        if (dialog.isVisible()) {
            ++dialogsLeftOpen;
            dialog.done(QDialog::Rejected);
        }
        return dialog.result();
    }

    std::optional<SaveChoice> chooseSaveFileOfKind(const FileDialogOptions& options) override {
        const std::optional<std::string> path = chooseSaveFile(options);
        const int kind = saveKinds.empty() ? 0 : saveKinds.front();
        if (!saveKinds.empty()) saveKinds.pop_front();
        if (!path) return std::nullopt;
        return SaveChoice{*path, kind};
    }
};

} // namespace zenka::test
