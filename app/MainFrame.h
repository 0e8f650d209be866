#pragma once

// The main window: menus, keys, toolbar and status bar around the main form. Every command is
// one of the project's commands, run through the Shell.

#include "graphs/GraphCommand.h"
#include "model/ProjectHistory.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;
class QToolBar;

namespace zenka {

struct AnalysisState;
class CPelbrinDoc;
class CPelbrinView;
class GuiShell;

// Command identifiers of the program's own commands.
enum CommandId : int {
    ID_ZENKA_RUN = 32771,
    ID_ZENKA_VIEW = 32772,
    ID_GRAPH_PILE_DATA = 32778,
    ID_RUN_TOOLBAR = 32780,
    ID_WINDOW_CASCADE = 32784,
};

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CPelbrinDoc& doc, AnalysisState& state, GuiShell& shell, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CPelbrinView* view() const { return view_; }
    const CGraphSet& graphs() const { return graphs_; }
    QToolBar* toolBar() const { return toolBar_; }
    // The action that carries command identifier `id`, or none.
    QAction* command(int id) const;
    // The caption of the window for the project's current title, "*" after it while the
    // project has changes not saved.
    void updateCaption();
    // Opens a project named on the command line, dropped on the window or picked from the
    // recent projects, as File > Open does after its dialog. `others`: further names given at
    // once, which are not opened (one project at a time), said so once the first is open.
    bool openProjectFile(const QString& path, const QStringList& others = {});
    // The recent projects, the latest first, as the File menu lists them.
    QStringList recentProjects() const;
    // The steps Edit > Undo and Redo take back and do again.
    ProjectHistory& history() { return history_; }
    QAction* undoAction() const { return undoAction_; }
    QAction* redoAction() const { return redoAction_; }

public slots:
    void onFileNew();
    void onFileOpen();
    void onFileSave();
    void onFileSaveAs();
    void onFileImport();
    void onFileSiteSummary(); // the form is stored first: the project is the template
    void onFileExportPdf();   // the form is stored first, as for Save
    void onFilePrintReport(); // likewise
    void onRunAndView();      // the ZENKA menu: the project as it stands
    void onRunToolbar();      // the toolbar: the form is stored first
    void onViewExistingData();
    void onGraphPileData(); // the toolbar: the form is stored first
    void onCascadeViews();  // the Window menu
    void onAppAbout();
    void onEditUndo();
    void onEditRedo();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* addCommand(QMenu* menu, const char* text, const char* prompt,
                        void (CMainFrame::*slot)());
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void graphCommand();
    void showIdle();
    // Runs a command that runs the analysis, unless one is running: a click made while it ran
    // is dropped, not queued for a second run.
    void runOnce(const std::function<void()>& command);
    // After a project was opened or saved under a name: that name heads the recent projects.
    void rememberProject();
    void showRecentProjects();
    void buildEditMenu();
    // Undo and Redo name their step, and are off when there is none.
    void showEditSteps();
    void openRecentProject(int index);

    CPelbrinDoc& doc_;
    AnalysisState& state_;
    GuiShell& shell_;
    CGraphSet graphs_;
    ProjectHistory history_;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    CPelbrinView* view_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QAction* newAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QList<QAction*> recentActions_;
    QAction* recentSeparator_ = nullptr;
    int listenerId_ = 0;
    bool running_ = false;

public:
    // True while a command that runs the analysis is going.
    bool running() const { return running_; }
};

} // namespace zenka
