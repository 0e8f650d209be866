#include "app/PelbrinApp.h"

#include "app/MainFrame.h"
#include "app/SplashWnd.h"
#include "project/PelbrinDoc.h"

namespace zenka {

CPelbrinApp::CPelbrinApp(AnalysisState& state, GuiShell& shell)
    : shell_(shell), doc_(std::make_unique<CPelbrinDoc>(state)) {}

CPelbrinApp::~CPelbrinApp() {
    // The window and its form go before the project they refer to.
    frame_.reset();
}

bool CPelbrinApp::InitInstance(const QStringList& arguments, int splashMilliseconds) {
    Q_UNUSED(arguments);
    frame_ = std::make_unique<CMainFrame>(*doc_, shell_);
    frame_->show();
    if (!splash_) {
        splash_ = new CSplashWnd(frame_.get(), splashMilliseconds);
        splash_->show();
        splash_->raise();
    }
    return true;
}

} // namespace zenka
