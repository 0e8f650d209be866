#include "GuiSupport.h"

#include "app/SplashWnd.h"
#include "run/RunCommands.h"
#include "support/Projects.h"
#include "support/TempDir.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <gmock/gmock.h>

#include <filesystem>

namespace zenka::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Item {
    const char* text;
    const char* prompt;
    int id;
};

QStringList menuTitles(QMenuBar* bar) {
    QStringList titles;
    for (QAction* a : bar->actions()) titles << a->text();
    return titles;
}

QMenu* menuNamed(QMenuBar* bar, const char* title) {
    for (QAction* a : bar->actions())
        if (a->text() == qs(title)) return a->menu();
    return nullptr;
}

TEST_F(MainFrameTest, MenusToolbarAndCaptionsAreThoseOfTheProgram) {
    EXPECT_EQ(menuTitles(frame->menuBar()),
              QStringList({qs("&File"), qs("&Edit"), qs("&View"), qs("&ZENKA"), qs("&Window"),
                           qs("&Help")}));

    const std::vector<std::pair<const char*, std::vector<Item>>> menus = {
        {"&File",
         {{"&New\tCtrl+N", "Create a new document", 0},
          {"&Open...\tCtrl+O", "Open an existing document", 0},
          {"&Save\tCtrl+S", "Save the active document", 0},
          {"Save &As...", "Save the active document with a new name", 0},
          {"", "", 0},
          {"&Import Boring Log...", "Import a boring log from a DIGGS, AGS4 or CSV file", 0},
          {"Site S&ummary...",
           "The pile length each borehole of a data file needs, on this project, as one PDF", 0},
          {"", "", 0},
          {"&Export Report as PDF...",
           "Run the analysis and write its report and graphs as one PDF file", 0},
          {"&Print Report...", "Run the analysis and print its report and graphs", 0},
          {"", "", 0},
          // The recent projects, none yet, and their separator.
          {"", "", 0},
          {"", "", 0},
          {"", "", 0},
          {"", "", 0},
          {"", "", 0},
          {"E&xit", "Quit the application; prompts to save documents", 0}}},
        {"&Edit",
         {{"&Undo", "Undo the last change of the project", 0},
          {"&Redo", "Redo the change last undone", 0}}},
        {"&View", {{"&Toolbar", "Show or hide the toolbar", 0}}},
        {"&ZENKA",
         {{"&Run and View Data", "", ID_ZENKA_RUN},
          {"&View Existing Data", "View ZENKA Run Data", ID_ZENKA_VIEW}}},
        {"&Window", {{"&Cascade Views", "Tile Views from upper left corner", ID_WINDOW_CASCADE}}},
        {"&Help",
         {{"&About Pelbrin...", "Display program information, version number and copyright", 0}}},
    };
    for (const auto& [title, items] : menus) {
        QMenu* menu = menuNamed(frame->menuBar(), title);
        ASSERT_NE(menu, nullptr) << title;
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size())) << title;
        for (std::size_t i = 0; i < items.size(); ++i) {
            QAction* a = actions[static_cast<qsizetype>(i)];
            EXPECT_EQ(a->text(), qs(items[i].text)) << title << i;
            EXPECT_EQ(a->statusTip(), qs(items[i].prompt)) << title << i;
            if (items[i].id) {
                EXPECT_EQ(a->data().toInt(), items[i].id);
            }
        }
    }
    QMenu* file = menuNamed(frame->menuBar(), "&File");
    EXPECT_EQ(file->actions()[0]->shortcut(), QKeySequence(qs("Ctrl+N")));
    EXPECT_EQ(file->actions()[1]->shortcut(), QKeySequence(qs("Ctrl+O")));
    EXPECT_EQ(file->actions()[2]->shortcut(), QKeySequence(qs("Ctrl+S")));
    EXPECT_TRUE(file->actions()[4]->isSeparator());

    // Toolbar: new, open, save | graph | run | about, 16 by 15 pictures, no tool tips.
    const QList<QAction*> buttons = frame->toolBar()->actions();
    ASSERT_EQ(buttons.size(), 9);
    EXPECT_EQ(buttons[0], file->actions()[0]);
    EXPECT_EQ(buttons[1], file->actions()[1]);
    EXPECT_EQ(buttons[2], file->actions()[2]);
    EXPECT_TRUE(buttons[3]->isSeparator());
    EXPECT_EQ(buttons[4]->data().toInt(), ID_GRAPH_PILE_DATA);
    EXPECT_EQ(buttons[4]->statusTip(), qs("Graph Pile Data"));
    EXPECT_TRUE(buttons[5]->isSeparator());
    EXPECT_EQ(buttons[6]->data().toInt(), ID_RUN_TOOLBAR);
    EXPECT_TRUE(buttons[6]->statusTip().isEmpty());
    EXPECT_TRUE(buttons[7]->isSeparator());
    EXPECT_EQ(buttons[8], menuNamed(frame->menuBar(), "&Help")->actions()[0]);
    EXPECT_EQ(frame->toolBar()->iconSize(), QSize(16, 15));
    for (int i : {0, 1, 2, 4, 6, 8}) {
        const QList<QSize> sizes = buttons[i]->icon().availableSizes();
        EXPECT_THAT(sizes, testing::Contains(QSize(16, 15))) << i;
        QWidget* button = frame->toolBar()->widgetForAction(buttons[i]);
        QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
        EXPECT_TRUE(QApplication::instance()->notify(button, &tip)) << "tool tip event passed";
    }

    // The toolbar item hides and shows the toolbar and carries its check mark.
    QAction* toggle = menuNamed(frame->menuBar(), "&View")->actions()[0];
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_FALSE(frame->toolBar()->isVisible());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(frame->toolBar()->isVisible());

    // Status bar: idle text and the three indicators.
    EXPECT_EQ(frame->statusBar()->currentMessage(), qs("Ready"));
    for (const char* indicator : {"indicatorCAP", "indicatorNUM", "indicatorSCRL"})
        EXPECT_NE(frame->statusBar()->findChild<QLabel*>(qs(indicator)), nullptr);

    // Caption: the document title, then the window title with its two blanks.
    EXPECT_EQ(frame->windowTitle(), qs("Zenka - Zenka  Windows Application"));
    EXPECT_NE(frame->command(ID_ZENKA_RUN), nullptr);
    EXPECT_NE(frame->command(ID_WINDOW_CASCADE), nullptr);
    EXPECT_EQ(frame->command(12345), nullptr);
}

TEST_F(MainFrameTest, KeysReachTheirCommandsAndCaptionsFollowTheTitle) {
    TempDir dir;
    // Ctrl+S on a new project is Save As.
    shell.saveChoices.push_back(dir.file("bridge.in"));
    QTest::keyClick(frame.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(shell.saveDialogs.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(dir.file("bridge.in")));
    EXPECT_EQ(frame->windowTitle(),
              QString::fromStdString(dir.file("bridge.in")) + qs(" - Zenka  Windows Application"));

    // Ctrl+N: the title becomes a single blank.
    QTest::keyClick(frame.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(frame->windowTitle(), qs("  - Zenka  Windows Application"));

    // Ctrl+O: the open dialog, here cancelled.
    QTest::keyClick(frame.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(shell.openDialogs.size(), 1u);
    EXPECT_THAT(shell.questions, IsEmpty());
}

TEST_F(MainFrameTest, AboutBoxShowsTheVersion) {
    QString title;
    bool versionShown = false;
    shell.dialogActs.push_back([&](QDialog& w) {
        title = w.windowTitle();
        versionShown = labelWithText(&w, "Zenka Application v1.4") != nullptr;
        w.accept();
    });
    frame->onAppAbout();
    EXPECT_EQ(shell.dialogsLeftOpen, 0);
    EXPECT_EQ(title, qs("About Zenka"));
    EXPECT_TRUE(versionShown);
}

TEST_F(MainFrameTest, ExitWithUnsavedChangesAsksAndCancelKeepsTheProgramOpen) {
    type("projectNumber", "P-7");
    EXPECT_TRUE(doc.IsModified());
    shell.answers.push_back(Answer::Cancel);
    QMenu* file = menuNamed(frame->menuBar(), "&File");
    file->actions().back()->trigger(); // E&xit
    EXPECT_THAT(shell.questions, ElementsAre("Save changes to  ?"));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(doc.projectNumber, "P-7");

    // No: the program closes without saving.
    shell.answers.push_back(Answer::No);
    EXPECT_TRUE(frame->close());
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(shell.questions.size(), 2u);
}

TEST_F(MainFrameTest, ExitAnsweredYesWhoseSaveIsCancelledStaysOpen) {
    type("jobName", "Bridge");
    shell.answers.push_back(Answer::Yes); // then the Save As dialog is cancelled
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(shell.saveDialogs.size(), 1u);
}

TEST_F(MainFrameTest, AFreshlyStartedProgramClosesWithoutAsking) {
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(frame->close());
    EXPECT_THAT(shell.questions, IsEmpty());
}

TEST_F(MainFrameTest, RunAsksForANameWritesTheReportAndStartsTheViewer) {
    TempDir dir;
    fillWorkedCase(doc);
    doc.notifyChanged();
    shell.saveChoices.push_back(dir.file("bridge.in"));
    frame->command(ID_RUN_TOOLBAR)->trigger();
    EXPECT_EQ(shell.saveDialogs.size(), 1u);
    EXPECT_EQ(shell.workingBegun, 1);
    EXPECT_EQ(shell.workingEnded, 1);
    EXPECT_THAT(shell.viewerPaths, ElementsAre(dir.file("bridge.out")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("bridge.out")));
    EXPECT_THAT(shell.messages, IsEmpty());
    EXPECT_EQ(frame->windowTitle(),
              QString::fromStdString(dir.file("bridge.in")) + qs(" - Zenka  Windows Application"));

    // View Existing Data now opens that report without running.
    frame->command(ID_ZENKA_VIEW)->trigger();
    EXPECT_THAT(shell.viewerPaths, ElementsAre(dir.file("bridge.out"), dir.file("bridge.out")));
    EXPECT_EQ(shell.workingBegun, 1);
}

TEST_F(MainFrameTest, ARefusedProjectStartsNoViewer) {
    TempDir dir;
    fillWorkedCase(doc);
    doc.notifyChanged();
    // The toolbar stores the form first: a width cleared on the form is what the run sees.
    typeInto(field("width1"), QString());
    shell.messages.clear(); // the field's own "Please enter a number." while it was empty
    typeInto(field("width1"), qs("0"));
    frame->command(ID_RUN_TOOLBAR)->trigger();
    EXPECT_THAT(shell.messageTexts(), ElementsAre("At least one pile width must be entered"));
    EXPECT_EQ(shell.workingEnded, 1);
    EXPECT_THAT(shell.saveDialogs, IsEmpty());
    EXPECT_THAT(shell.viewerPaths, IsEmpty());
}

TEST_F(MainFrameTest, ViewExistingDataRightAfterStartUpStartsNothing) {
    frame->command(ID_ZENKA_VIEW)->trigger();
    EXPECT_THAT(shell.messageTexts(), ElementsAre(kNoReportYet));
    EXPECT_THAT(shell.viewerPaths, IsEmpty());
    EXPECT_EQ(shell.workingBegun, 0);
}

TEST_F(MainFrameTest, GraphEntriesStoreTheFormOnlyFromTheToolbar) {
    // Lengths 11 to 20 store only with a command; the toolbar's graph button is one, the
    // Window menu's item takes the project as it stands.
    field("length11")->setText(qs("40"));
    frame->command(ID_WINDOW_CASCADE)->trigger();
    EXPECT_EQ(doc.pileLengths[10], 0);
    frame->command(ID_GRAPH_PILE_DATA)->trigger();
    EXPECT_EQ(doc.pileLengths[10], 40);
}

// Clicks on RUN, the graph button or Export while a run is going (here: while its message is
// up, and queued as a click is behind a busy event loop) start nothing more.
TEST_F(MainFrameTest, CommandsThatRunIgnoreClicksWhileARunIsGoing) {
    TempDir dir;
    fillWorkedCase(doc);
    doc.notifyChanged();
    typeInto(field("width1"), qs("0"));
    shell.messages.clear();
    const int runIds[] = {ID_RUN_TOOLBAR, ID_ZENKA_RUN, ID_GRAPH_PILE_DATA, ID_WINDOW_CASCADE};
    for (const int id : runIds) {
        shell.messages.clear();
        shell.workingBegun = 0;
        bool clicked = false;
        shell.onMessage = [&] {
            if (clicked) return;
            clicked = true;
            EXPECT_TRUE(frame->running());
            for (const int again : runIds) frame->command(again)->trigger();
            frame->findChild<QAction*>(qs("exportPdfAction"))->trigger();
            QWidget* run = frame->toolBar()->widgetForAction(frame->command(ID_RUN_TOOLBAR));
            const QPoint mid = run->rect().center();
            for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(
                    run, new QMouseEvent(type, mid, run->mapToGlobal(mid), Qt::LeftButton,
                                         type == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                          : Qt::NoButton,
                                         Qt::NoModifier));
        };
        frame->command(id)->trigger();
        EXPECT_THAT(shell.messageTexts(), ElementsAre("At least one pile width must be entered"))
            << id;
        EXPECT_THAT(shell.saveDialogs, IsEmpty()) << id;
        EXPECT_FALSE(frame->running());
    }
    shell.onMessage = nullptr;
    // Once it is over, a click runs again.
    shell.messages.clear();
    frame->command(ID_RUN_TOOLBAR)->trigger();
    EXPECT_THAT(shell.messageTexts(), ElementsAre("At least one pile width must be entered"));
}

// A project named, dropped or picked from the recent ones opens as File > Open does.
TEST_F(MainFrameTest, ProjectsOpenByNameByDropAndFromTheRecentList) {
    TempDir dir;
    std::vector<std::string> paths;
    for (const char* name : {"a.in", "b & c.in", "d.in", "e.in", "f.in"}) {
        paths.push_back(dir.file(name));
        std::filesystem::copy_file(std::string(ZENKA_SOURCE_DIR) + "/examples/worked-case.in",
                                   paths.back());
    }
    const auto q = [](const std::string& s) { return QString::fromStdString(s); };
    const QString suffix = qs(" - Zenka  Windows Application");

    ASSERT_TRUE(frame->openProjectFile(q(paths[0])));
    EXPECT_EQ(frame->windowTitle(), q(paths[0]) + suffix);
    // The changed mark from the first keystroke until the save.
    type("engineer", "Z");
    EXPECT_EQ(frame->windowTitle(), q(paths[0]) + qs("*") + suffix);
    frame->onFileSave();
    EXPECT_EQ(frame->windowTitle(), q(paths[0]) + suffix);

    // A drop on a changed project asks first; Cancel keeps it.
    type("engineer", "Y");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(q(paths[1])), QUrl::fromLocalFile(q(paths[2]))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    shell.answers.push_back(Answer::Cancel);
    // Straight to the window: offscreen, Qt delivers no drop without a drag of its own.
    const auto dropOnWindow = [&] { static_cast<QObject*>(frame.get())->event(&drop); };
    dropOnWindow();
    QCoreApplication::processEvents();
    EXPECT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(doc.pathName, paths[0]);
    shell.answers.push_back(Answer::No);
    dropOnWindow();
    QCoreApplication::processEvents();
    EXPECT_EQ(doc.pathName, paths[1]);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages.back().text,
              "One project opens at a time; not opened: " + paths[2] + ".");

    // The four latest, the latest first, each once; the menu numbers them and tells the path.
    for (const std::string& p : {paths[2], paths[3], paths[4], paths[3]})
        ASSERT_TRUE(frame->openProjectFile(q(p)));
    EXPECT_EQ(frame->recentProjects(),
              QStringList({q(paths[3]), q(paths[4]), q(paths[2]), q(paths[1])}));
    QAction* fourth = frame->findChild<QAction*>(qs("recentProject4"));
    EXPECT_EQ(fourth->text(), qs("&4 ") + q(dir.file("b && c.in")));
    EXPECT_EQ(fourth->statusTip(), q(paths[1]));

    // Kept across starts; one that went away leaves the list with a message.
    std::filesystem::remove(paths[4]);
    CPelbrinDoc other;
    CMainFrame next(other, *state, shell);
    EXPECT_EQ(next.recentProjects(), frame->recentProjects());
    next.findChild<QAction*>(qs("recentProject2"))->trigger();
    EXPECT_EQ(shell.messages.back().text,
              paths[4] + " no longer exists; it was taken off the recent projects.");
    EXPECT_EQ(next.recentProjects(), QStringList({q(paths[3]), q(paths[2]), q(paths[1])}));
    EXPECT_FALSE(next.findChild<QAction*>(qs("recentProject4"))->isVisible());
    next.findChild<QAction*>(qs("recentProject3"))->trigger();
    EXPECT_EQ(other.pathName, paths[1]);
    other.SetModified(false);
}

class SplashTest : public ::testing::Test {
protected:
    FirstStart firstStart;
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    ScriptedGuiShell shell;
    CPelbrinApp app{*state, shell};
};

TEST_F(SplashTest, AKeyPressHidesThePictureAndDoesNotReachTheForm) {
    ASSERT_TRUE(app.InitInstance({qs("zenka"), qs("/Automation")}));
    CSplashWnd* splash = app.splash();
    ASSERT_NE(splash, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(splash));
    EXPECT_EQ(splash->size(), QSize(520, 317));
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash->geometry().center(), QGuiApplication::primaryScreen()->geometry().center());
    EXPECT_EQ(splash->timer().interval(), 5000);
    EXPECT_TRUE(splash->timer().isActive());
    EXPECT_TRUE(app.mainFrame()->isVisible());

    auto* number = app.mainFrame()->view()->findChild<QLineEdit*>(qs("projectNumber"));
    number->setFocus();
    QTest::keyClick(number, Qt::Key_X);
    EXPECT_TRUE(number->text().isEmpty());
    EXPECT_FALSE(splash->isVisible());
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app.splash(), nullptr);

    // The next key reaches the form as usual.
    QTest::keyClick(number, Qt::Key_Y);
    EXPECT_EQ(number->text(), qs("y"));
}

TEST_F(SplashTest, AShortcutOrAClickDuringThePictureDoesNothingElse) {
    ASSERT_TRUE(app.InitInstance({qs("zenka")}));
    CMainFrame* frame = app.mainFrame();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    QTest::keyClick(frame, Qt::Key_O, Qt::ControlModifier);
    EXPECT_THAT(shell.openDialogs, IsEmpty());
    EXPECT_EQ(app.splash() ? app.splash()->isVisible() : false, false);

    // A second start-up picture, hidden by a mouse click on the form this time.
    auto* splash = new CSplashWnd(frame);
    splash->show();
    auto* english = frame->view()->findChild<QAbstractButton*>(qs("unitEnglish"));
    QTest::mouseClick(english, Qt::LeftButton);
    EXPECT_FALSE(english->isChecked());
    EXPECT_FALSE(splash->isVisible());
}

TEST_F(SplashTest, TheFirstProjectNamedOpensOnceTheProgramRuns) {
    TempDir dir;
    const std::string path = dir.file("bridge.in");
    std::filesystem::copy_file(std::string(ZENKA_SOURCE_DIR) + "/examples/worked-case.in", path);
    ASSERT_TRUE(app.InitInstance(
        {qs("zenka"), qs("/Embedding"), QString::fromStdString(path), qs("other.in")}, 20));
    QCoreApplication::processEvents();
    EXPECT_EQ(app.doc().pathName, path);
    EXPECT_FALSE(app.doc().IsModified());
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "One project opens at a time; not opened: other.in.");
}

TEST_F(SplashTest, ThePictureGoesByItselfWhenItsTimeIsUp) {
    ASSERT_TRUE(app.InitInstance({}, 20));
    QPointer<CSplashWnd> splash = app.splash();
    ASSERT_FALSE(splash.isNull());
    EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }, 5000));
}

} // namespace
} // namespace zenka::test
