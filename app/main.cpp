#include "app/MainFrame.h"
#include "app/PelbrinApp.h"
#include "app/QtShell.h"
#include "engine/AnalysisState.h"
#include "resources/Pictures.h"

#include <QApplication>

#include <clocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt takes the user's locale for C; numbers in files must keep their decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Zenka"));
    QApplication::setApplicationVersion(QStringLiteral(ZENKA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("zenka"));
    QApplication::setWindowIcon(zenka::programIcon());

    // The analysis state lasts as long as the program: the analysis number counts on.
    static zenka::AnalysisState state;
    zenka::QtShell shell;
    zenka::CPelbrinApp pelbrin(state, shell);
    if (!pelbrin.InitInstance(QApplication::arguments())) return 1;
    shell.setParentWindow(pelbrin.mainFrame());
    return app.exec();
}
