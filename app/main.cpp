#include "app/CommandLine.h"
#include "app/ExportCommands.h"
#include "app/MainFrame.h"
#include "app/PelbrinApp.h"
#include "app/QtShell.h"
#include "engine/AnalysisState.h"
#include "resources/Pictures.h"

#include <QApplication>
#include <QFile>
#include <QHashFunctions>

#include <clocale>
#include <cstdio>

int main(int argc, char** argv) {
    // Read before the GUI starts: the help, the version and a mistyped option need no display.
    const zenka::CommandLine command = zenka::parseCommandLine(argc, argv, stdout, stderr);
    if (command.action == zenka::CommandLine::Action::Exit) return command.exitCode;
    // The headless export needs no display and shows no window.
    const bool exporting = command.action == zenka::CommandLine::Action::ExportPdf ||
                           command.action == zenka::CommandLine::Action::SitePdf;
    // Hash order decides the order of the fonts in a PDF: fixed, two exports of one run are
    // the same file. Every hash keeps the seed it was made with.
    QHashSeed::setDeterministicGlobalSeed();
    if (exporting) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Its error stream carries the project's messages and nothing else.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& m) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", m.toLocal8Bit().constData());
        });
    }
    QApplication app(argc, argv);
    // Qt takes the user's locale for C; numbers in files must keep their decimal point.
    std::setlocale(LC_NUMERIC, "C");
    if (command.action == zenka::CommandLine::Action::SitePdf)
        return zenka::sitePdfCommandLine(command);
    if (exporting) return zenka::exportPdfCommandLine(command);
    QApplication::setApplicationName(QStringLiteral("Zenka"));
    QApplication::setApplicationVersion(QStringLiteral(ZENKA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("zenka"));
    QApplication::setWindowIcon(zenka::programIcon());

    // The analysis state lasts as long as the program: the analysis number counts on.
    static zenka::AnalysisState state;
    zenka::QtShell shell;
    zenka::CPelbrinApp pelbrin(state, shell);
    QStringList arguments{QApplication::applicationFilePath()};
    for (const std::string& project : command.projects)
        arguments << QFile::decodeName(QByteArray::fromStdString(project));
    if (!pelbrin.InitInstance(arguments)) return 1;
    shell.setParentWindow(pelbrin.mainFrame());
    return app.exec();
}
