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
    // 1. The command line: the projects named, without the embedding and automation switches,
    //    which change nothing, as there is no automation service.
    QStringList projects = arguments.mid(1);
    for (const char* service : {"/Embedding", "-Embedding", "/Automation", "-Automation"})
        projects.removeAll(QString::fromLatin1(service));
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
    // 4. The project named first opens as File > Open would, once the program runs: its
    //    questions and messages belong to the window.
    if (!projects.isEmpty()) {
        const QString first = projects.takeFirst();
        QMetaObject::invokeMethod(
            frame_.get(),
            [frame = frame_.get(), first, projects] { frame->openProjectFile(first, projects); },
            Qt::QueuedConnection);
    }
    return true;
}

} // namespace zenka
