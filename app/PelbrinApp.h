#pragma once

// Start-up: the one project, the main window with its form, and the splash picture.

#include "app/SplashWnd.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace zenka {

struct AnalysisState;
class CMainFrame;
class CPelbrinDoc;

class GuiShell;

class CPelbrinApp : public QObject {
public:
    CPelbrinApp(AnalysisState& state, GuiShell& shell);
    ~CPelbrinApp() override;

    // Creates and shows the main window, then the splash picture for `splashMilliseconds`.
    // `arguments`: the program, then the projects named on the command line, of which the
    // first opens; the embedding and automation switches change nothing: there is no
    // automation service.
    bool InitInstance(const QStringList& arguments, int splashMilliseconds = 5000);

    CPelbrinDoc& doc() const { return *doc_; }
    CMainFrame* mainFrame() const { return frame_.get(); }
    CSplashWnd* splash() const { return splash_; }

private:
    AnalysisState& state_;
    GuiShell& shell_;
    std::unique_ptr<CPelbrinDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
    QPointer<CSplashWnd> splash_;
};

} // namespace zenka
