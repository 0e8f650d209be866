#pragma once

// What the desktop program asks of a person beyond the toolkit-free Shell: the print dialog, the
// program's own dialogs and a save dialog whose kinds differ in more than the extension. The
// graph windows, the forms and the main window talk through it; tests answer it from a script.

#include "base/Shell.h"

#include <optional>
#include <string>

class QDialog;
class QPrinter;

namespace zenka {

// A file chosen in a save dialog, with the kind chosen in its list.
struct SaveChoice {
    std::string path;
    int filter = 0; // by its place in FileDialogOptions::filters
};

class GuiShell : public Shell {
public:
    // The print dialog on `printer`: true when the person chose to print.
    virtual bool choosePrinter(QPrinter& printer) = 0;
    // Shows `dialog` modally until the person closes it; its result (QDialog::Accepted when
    // accepted).
    virtual int runDialog(QDialog& dialog) = 0;
    // The save dialog, for files whose kinds differ beyond their extension (a PDF's paper).
    virtual std::optional<SaveChoice> chooseSaveFileOfKind(const FileDialogOptions& options) = 0;
};

} // namespace zenka
