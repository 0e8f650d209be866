#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "app/ExportCommands.h"
#include "app/Settings.h"
#include "forms/ImportDlg.h"
#include "forms/PelbrinView.h"
#include "forms/SiteDlg.h"
#include "graphs/GraphCommand.h"
#include "graphs/GuiShell.h"
#include "model/PelbrinDoc.h"
#include "project/FileCommands.h"
#include "resources/Pictures.h"
#include "run/RunCommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>

namespace zenka {

namespace {

// The window title of the document type, with its two blanks.
const char* const kWindowTitle = "Zenka  Windows Application";

constexpr int kRecentProjects = 4;
const char* const kRecentKey = "recentProjects";
const char* const kGeometryKey = "mainWindow/geometry";

QSettings settings() {
    return programSettings();
}

QString fromLocal(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The toolbar's buttons show no tool tips.
class NoToolTips : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTip) return true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

CMainFrame::CMainFrame(CPelbrinDoc& doc, AnalysisState& state, GuiShell& shell, QWidget* parent)
    : QMainWindow(parent), doc_(doc), state_(state), shell_(shell), graphs_(doc, state, shell),
      history_(doc) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(programIcon());
    // Start-up of the window, in this order.
    // 1. Menus, toolbar and status bar.
    buildMenus();
    buildToolBar();
    buildStatusBar();

    // 2. The form: its controls, then one pass through every layout to learn the largest, after
    // which only what every project shows stays visible.
    view_ = new CPelbrinView(doc_, shell_);
    view_->prepareLayouts();
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("formArea"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // Not a stop of its own on the way round the form's fields; it still scrolls to them.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(view_);
    setCentralWidget(scroll);

    // 3. Initial update: the form shows the new project. A program just started has nothing
    // unsaved, although the form's layouts mark the project.
    view_->loadStep();
    doc_.SetModified(false);
    listenerId_ = doc_.addChangedListener([this] { updateCaption(); });
    doc_.setModifiedListener([this] {
        // The mark goes off when the project is written (or replaced, which clears the steps).
        if (!doc_.IsModified()) history_.saved();
        updateCaption();
    });
    history_.clear();
    view_->setHistory(&history_);
    history_.setListener([this] { showEditSteps(); });
    showEditSteps();
    updateCaption();
    setAcceptDrops(true);
    // 4. Typing starts in the project number.
    view_->focusFirstField();

    // 5. Big enough for the form in every layout, as far as the screen allows.
    const QSize form = view_->fullSizeHint();
    const int chrome = menuBar()->sizeHint().height() + toolBar_->sizeHint().height() +
                       statusBar()->sizeHint().height();
    QSize size(form.width() + 4, form.height() + chrome + 4);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.95);
    resize(size);
    // Where the person left it; Qt brings a place that no longer fits back onto the screen.
    const QByteArray geometry = settings().value(QString::fromLatin1(kGeometryKey)).toByteArray();
    if (!geometry.isEmpty()) restoreGeometry(geometry);
    showRecentProjects();
}

CMainFrame::~CMainFrame() {
    doc_.removeChangedListener(listenerId_);
    doc_.setModifiedListener(nullptr);
    history_.setListener(nullptr);
    view_->setHistory(nullptr);
}

QAction* CMainFrame::addCommand(QMenu* menu, const char* text, const char* prompt,
                                void (CMainFrame::*slot)()) {
    auto* action = new QAction(QString::fromLatin1(text), this);
    if (prompt) action->setStatusTip(QString::fromLatin1(prompt));
    if (slot) connect(action, &QAction::triggered, this, slot);
    if (menu) menu->addAction(action);
    return action;
}

void CMainFrame::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    newAction_ = addCommand(file, "&New\tCtrl+N", "Create a new document", &CMainFrame::onFileNew);
    newAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    openAction_ =
        addCommand(file, "&Open...\tCtrl+O", "Open an existing document", &CMainFrame::onFileOpen);
    openAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    saveAction_ =
        addCommand(file, "&Save\tCtrl+S", "Save the active document", &CMainFrame::onFileSave);
    saveAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addCommand(file, "Save &As...", "Save the active document with a new name",
               &CMainFrame::onFileSaveAs);
    file->addSeparator();
    addCommand(file, "&Import Boring Log...", "Import a boring log from a DIGGS, AGS4 or CSV file",
               &CMainFrame::onFileImport);
    addCommand(file, "Site S&ummary...",
               "The pile length each borehole of a data file needs, on this project, as one PDF",
               &CMainFrame::onFileSiteSummary)
        ->setObjectName(QStringLiteral("siteSummaryAction"));
    file->addSeparator();
    addCommand(file, "&Export Report as PDF...",
               "Run the analysis and write its report and graphs as one PDF file",
               &CMainFrame::onFileExportPdf)
        ->setObjectName(QStringLiteral("exportPdfAction"));
    addCommand(file, "&Print Report...", "Run the analysis and print its report and graphs",
               &CMainFrame::onFilePrintReport)
        ->setObjectName(QStringLiteral("printReportAction"));
    file->addSeparator();
    for (int i = 0; i < kRecentProjects; ++i) {
        QAction* recent = addCommand(file, "", nullptr, nullptr);
        recent->setObjectName(QStringLiteral("recentProject%1").arg(i + 1));
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, i] { openRecentProject(i); });
        recentActions_ << recent;
    }
    recentSeparator_ = file->addSeparator();
    QAction* exit =
        addCommand(file, "E&xit", "Quit the application; prompts to save documents", nullptr);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    buildEditMenu();

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    QAction* toolbar = new QAction(QStringLiteral("&Toolbar"), this);
    toolbar->setObjectName(QStringLiteral("toggleToolbar"));
    toolbar->setStatusTip(QStringLiteral("Show or hide the toolbar"));
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    viewMenu->addAction(toolbar);
    connect(toolbar, &QAction::toggled, this, [this](bool on) { toolBar_->setVisible(on); });

    QMenu* zenkaMenu = menuBar()->addMenu(QStringLiteral("&ZENKA"));
    addCommand(zenkaMenu, "&Run and View Data", nullptr, &CMainFrame::onRunAndView)
        ->setData(ID_ZENKA_RUN);
    addCommand(zenkaMenu, "&View Existing Data", "View ZENKA Run Data",
               &CMainFrame::onViewExistingData)
        ->setData(ID_ZENKA_VIEW);

    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    addCommand(window, "&Cascade Views", "Tile Views from upper left corner",
               &CMainFrame::onCascadeViews)
        ->setData(ID_WINDOW_CASCADE);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    aboutAction_ = addCommand(help, "&About Pelbrin...",
                              "Display program information, version number and copyright",
                              &CMainFrame::onAppAbout);

    for (QMenu* menu : menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        connect(menu, &QMenu::aboutToHide, this, &CMainFrame::showIdle);
}

void CMainFrame::buildEditMenu() {
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    undoAction_ =
        addCommand(edit, "&Undo", "Undo the last change of the project", &CMainFrame::onEditUndo);
    undoAction_->setObjectName(QStringLiteral("undoAction"));
    undoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    redoAction_ = addCommand(edit, "&Redo", "Redo the change last undone", &CMainFrame::onEditRedo);
    redoAction_->setObjectName(QStringLiteral("redoAction"));
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
}

void CMainFrame::showEditSteps() {
    const auto text = [](const char* verb, const std::string& step) {
        QString shown = QString::fromLatin1(verb);
        if (!step.empty()) shown += QLatin1Char(' ') + QString::fromStdString(step);
        return shown;
    };
    undoAction_->setText(text("&Undo", history_.undoName()));
    undoAction_->setEnabled(history_.canUndo());
    redoAction_->setText(text("&Redo", history_.redoName()));
    redoAction_->setEnabled(history_.canRedo());
}

void CMainFrame::onEditUndo() {
    history_.undo();
    updateCaption();
}

void CMainFrame::onEditRedo() {
    history_.redo();
    updateCaption();
}

void CMainFrame::buildToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(kButtonWidth, kButtonHeight));
    toolBar_->setMovable(false);
    toolBar_->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, toolBar_);

    newAction_->setIcon(QIcon(toolbarPicture(ToolbarPicture::NewSheet)));
    openAction_->setIcon(QIcon(toolbarPicture(ToolbarPicture::OpenFolder)));
    saveAction_->setIcon(QIcon(toolbarPicture(ToolbarPicture::Diskette)));
    aboutAction_->setIcon(QIcon(toolbarPicture(ToolbarPicture::Question)));
    QAction* graph =
        addCommand(nullptr, "Graph Pile Data", "Graph Pile Data", &CMainFrame::onGraphPileData);
    graph->setData(ID_GRAPH_PILE_DATA);
    graph->setIcon(QIcon(toolbarPicture(ToolbarPicture::Graph)));
    QAction* run = addCommand(nullptr, "Run", nullptr, &CMainFrame::onRunToolbar);
    run->setData(ID_RUN_TOOLBAR);
    run->setIcon(QIcon(toolbarPicture(ToolbarPicture::Run)));

    toolBar_->addAction(newAction_);
    toolBar_->addAction(openAction_);
    toolBar_->addAction(saveAction_);
    toolBar_->addSeparator();
    toolBar_->addAction(graph);
    toolBar_->addSeparator();
    toolBar_->addAction(run);
    toolBar_->addSeparator();
    toolBar_->addAction(aboutAction_);

    auto* filter = new NoToolTips(toolBar_);
    for (QAction* a : toolBar_->actions())
        if (QWidget* w = toolBar_->widgetForAction(a)) w->installEventFilter(filter);
    // The toolbar is shown and hidden only through the View menu, which keeps its check mark.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void CMainFrame::buildStatusBar() {
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(QString::fromLatin1(indicator), this);
        pane->setObjectName(QStringLiteral("indicator") + QString::fromLatin1(indicator));
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        statusBar()->addPermanentWidget(pane);
    }
    showIdle();
}

void CMainFrame::showIdle() {
    statusBar()->showMessage(QStringLiteral("Ready"));
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // A command without a prompt clears the pane while its menu is open; outside a menu
        // the pane goes back to the idle text.
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (!tip.isEmpty() || QApplication::activePopupWidget())
            statusBar()->showMessage(tip);
        else
            showIdle();
        return true;
    }
    return QMainWindow::event(event);
}

QAction* CMainFrame::command(int id) const {
    for (QAction* a : findChildren<QAction*>())
        if (a->data().toInt() == id) return a;
    return nullptr;
}

void CMainFrame::updateCaption() {
    const QString title =
        fromLocal(doc_.title) + (doc_.IsModified() ? QStringLiteral("*") : QString());
    setWindowTitle(title + QStringLiteral(" - ") + QString::fromLatin1(kWindowTitle));
}

bool CMainFrame::openProjectFile(const QString& path, const QStringList& others) {
    const bool opened = OpenProjectFile(doc_, shell_, QFile::encodeName(path).toStdString());
    if (opened) {
        history_.clear();
        rememberProject();
    }
    updateCaption();
    if (opened && !others.isEmpty())
        shell_.showMessage("One project opens at a time; not opened: " +
                               others.join(QStringLiteral(", ")).toLocal8Bit().toStdString() + ".",
                           MessageKind::Information);
    return opened;
}

QStringList CMainFrame::recentProjects() const {
    QStringList list = settings().value(QString::fromLatin1(kRecentKey)).toStringList();
    list.removeAll(QString());
    return list.mid(0, kRecentProjects);
}

void CMainFrame::rememberProject() {
    if (doc_.pathName.empty()) return;
    const QString path = fromLocal(doc_.pathName);
    QStringList list = recentProjects();
    list.removeAll(path);
    list.prepend(path);
    settings().setValue(QString::fromLatin1(kRecentKey), list.mid(0, kRecentProjects));
    showRecentProjects();
}

void CMainFrame::showRecentProjects() {
    const QStringList list = recentProjects();
    for (int i = 0; i < recentActions_.size(); ++i) {
        QAction* action = recentActions_[i];
        action->setVisible(i < list.size());
        if (i >= list.size()) continue;
        // The name as the menu shows it, shortened in the middle; the whole path in the prompt.
        QString shown = QFontMetrics(font()).elidedText(list[i], Qt::ElideMiddle, 420);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        action->setStatusTip(list[i]);
    }
    recentSeparator_->setVisible(!list.isEmpty());
}

void CMainFrame::openRecentProject(int index) {
    const QStringList list = recentProjects();
    if (index >= list.size()) return;
    const QString path = list[index];
    if (!QFileInfo::exists(path)) {
        QStringList kept = list;
        kept.removeAt(index);
        settings().setValue(QString::fromLatin1(kRecentKey), kept);
        showRecentProjects();
        shell_.showMessage(path.toLocal8Bit().toStdString() +
                               " no longer exists; it was taken off the recent projects.",
                           MessageKind::Warning);
        return;
    }
    openProjectFile(path);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.front().isLocalFile()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    const QString first = paths.takeFirst();
    // Not inside the drop: the save question and the reader's messages need the event loop.
    QMetaObject::invokeMethod(
        this, [this, first, paths] { openProjectFile(first, paths); }, Qt::QueuedConnection);
}

void CMainFrame::onFileNew() {
    if (NewProject(doc_, shell_)) {
        view_->hideVariableControls();
        history_.clear();
    }
    updateCaption();
}

void CMainFrame::onFileOpen() {
    if (OpenProject(doc_, shell_)) {
        history_.clear();
        rememberProject();
    }
    updateCaption();
}

void CMainFrame::onFileSave() {
    view_->storeStep();
    if (SaveProject(doc_, shell_)) rememberProject();
    updateCaption();
}

void CMainFrame::onFileSaveAs() {
    view_->storeStep();
    if (SaveProjectAs(doc_, shell_)) rememberProject();
    updateCaption();
}

void CMainFrame::onFileImport() {
    // What the form holds is kept where the import does not replace it.
    view_->storeStep();
    history_.record("Import", [this] { ImportBoringLog(doc_, shell_, this); });
    updateCaption();
}

void CMainFrame::onFileSiteSummary() {
    // The project as the form holds it is the template.
    view_->storeStep();
    SiteSummary(doc_, shell_, this);
}

void CMainFrame::onFileExportPdf() {
    runOnce([this] {
        view_->storeStep();
        ExportReportPdf(doc_, state_, shell_);
    });
    updateCaption();
}

void CMainFrame::onFilePrintReport() {
    runOnce([this] {
        view_->storeStep();
        PrintReport(doc_, state_, shell_);
    });
    updateCaption();
}

void CMainFrame::onRunAndView() {
    runOnce([this] { RunAndView(doc_, state_, shell_); });
    updateCaption();
}

void CMainFrame::onRunToolbar() {
    runOnce([this] {
        view_->storeStep();
        RunAndView(doc_, state_, shell_);
    });
    updateCaption();
}

void CMainFrame::onViewExistingData() {
    ViewExistingReport(doc_, shell_);
}

void CMainFrame::onGraphPileData() {
    runOnce([this] {
        view_->storeStep();
        graphCommand();
    });
}

void CMainFrame::onCascadeViews() {
    runOnce([this] { graphCommand(); });
}

void CMainFrame::graphCommand() {
    graphs_.run();
    // The run may have asked for a file name.
    updateCaption();
}

void CMainFrame::runOnce(const std::function<void()>& command) {
    if (running_) return;
    running_ = true;
    command();
    // The analysis held the event loop: clicks made meanwhile are waiting. They are delivered
    // now, while this guard still drops them.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    running_ = false;
}

void CMainFrame::onAppAbout() {
    CAboutDlg about(this);
    shell_.runDialog(about);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Whatever the form holds reaches the project before the question about saving it.
    view_->storeStep();
    if (!AskToSaveChanges(doc_, shell_)) {
        event->ignore();
        return;
    }
    settings().setValue(QString::fromLatin1(kGeometryKey), saveGeometry());
    event->accept();
}

} // namespace zenka
