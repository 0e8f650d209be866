#pragma once

// The desktop program's Shell: message boxes, file dialogs, the working notice and the text
// viewer, all with Qt.

#include "graphs/GuiShell.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace zenka {

// The "Working..." notice: a small frameless window in the middle of the screen.
class CWorkingNotice : public QWidget {
public:
    CWorkingNotice();
};

class QtShell : public GuiShell {
public:
    QtShell() = default;
    ~QtShell() override;

    // Dialogs are centred on this window.
    void setParentWindow(QWidget* window) { parent_ = window; }

    void showMessage(const std::string& text, MessageKind kind) override;
    Answer askYesNoCancel(const std::string& text) override;
    bool confirmDiscard(const std::string& text) override;
    std::optional<std::string> chooseSaveFile(const FileDialogOptions& options) override;
    std::optional<std::string> chooseOpenFile(const FileDialogOptions& options) override;
    void beginWorking() override;
    void endWorking() override;
    // The program named by ZENKA_VIEWER with the path, or else the desktop's application for
    // the file; neither is waited for.
    void openTextViewer(const std::string& path) override;
    bool choosePrinter(QPrinter& printer) override;
    int runDialog(QDialog& dialog) override;
    std::optional<SaveChoice> chooseSaveFileOfKind(const FileDialogOptions& options) override;

    QWidget* workingNotice() const { return notice_; }

private:
    QWidget* dialogParent() const;
    std::optional<SaveChoice> chooseFile(const FileDialogOptions& options, bool save);

    QPointer<QWidget> parent_;
    QPointer<CWorkingNotice> notice_;
    QString lastFolder_;
};

} // namespace zenka
