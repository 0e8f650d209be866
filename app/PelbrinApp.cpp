#include "app/PelbrinApp.h"

#include "app/MainFrame.h"
#include "app/SplashWnd.h"
#include "model/PelbrinDoc.h"

namespace zenka {

CPelbrinApp::CPelbrinApp(AnalysisState& state, GuiShell& shell)
    : state_(state), shell_(shell), doc_(std::make_unique<CPelbrinDoc>()) {}

CPelbrinApp::~CPelbrinApp() {
    // The window and its form go before the project they refer to.
    frame_.reset();
}

bool CPelbrinApp::InitInstance(const QStringList& arguments, int splashMilliseconds) {
    // Start-up of the program, in this order:
    // 1. The command line: nothing on it opens a project, and the embedding and automation
    //    switches change nothing, as there is no automation service.
    Q_UNUSED(arguments);
    // 2. The main window with its form over the one project; its own steps are listed in
    //    CMainFrame's constructor.
    frame_ = std::make_unique<CMainFrame>(*doc_, state_, shell_);
    // 3. The window shown, then the splash picture above it.
    frame_->show();
    if (!splash_) {
        splash_ = new CSplashWnd(frame_.get(), splashMilliseconds);
        splash_->show();
        splash_->raise();
    }
    return true;
}

} // namespace zenka
