#include "app/QtShell.h"

#include "app/Settings.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSpacerItem>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace zenka {

namespace {

QString programTitle() {
    return QString::fromLatin1(kProgramTitle);
}

// Messages name files by their paths, which are in the file system's encoding.
QString fromPathText(const std::string& text) {
    return QFile::decodeName(QByteArray::fromStdString(text));
}

// A question asked during a run gets the ordinary pointer for its answer, and the "Working..."
// notice, which stays on top of every window, steps aside until it is answered.
class WhileAsking {
public:
    explicit WhileAsking(QWidget* notice)
        : pushed_(QApplication::overrideCursor() != nullptr), notice_(notice),
          hidden_(notice && notice->isVisible()) {
        if (pushed_) QApplication::setOverrideCursor(Qt::ArrowCursor);
        if (hidden_) notice_->hide();
    }
    ~WhileAsking() {
        if (pushed_) QApplication::restoreOverrideCursor();
        if (hidden_ && notice_) {
            notice_->show();
            notice_->repaint();
        }
    }
    WhileAsking(const WhileAsking&) = delete;
    WhileAsking& operator=(const WhileAsking&) = delete;

private:
    bool pushed_;
    QPointer<QWidget> notice_;
    bool hidden_;
};

// The window manager writes the caption in its own, often bold, font between the window's icon
// and its buttons; a short message must not make the box too narrow for it. Called last: the
// box rebuilds its layout when its icon or buttons change.
void fitCaption(QMessageBox& box) {
    QFont bold = box.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int width = metrics.horizontalAdvance(box.windowTitle()) + 8 * metrics.height();
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

// The toolkit's dialog opens too small for its own columns: sizes and dates came out cut.
void fitFileList(QFileDialog& dialog) {
    if (auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = list->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    QSize size(900, 560);
    if (const QScreen* screen = dialog.screen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.9);
    dialog.resize(size.expandedTo(dialog.minimumSizeHint()));
}

} // namespace

CWorkingNotice::CWorkingNotice()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("workingNotice"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    auto* label = new QLabel(QStringLiteral("Working..."), frame);
    label->setAlignment(Qt::AlignCenter);
    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(label);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    // About 71 by 35 dialog units of the classic 8-point dialog font.
    const int unit = fontMetrics().averageCharWidth();
    setFixedSize(qMax(110, unit * 71 / 4), qMax(56, fontMetrics().height() * 35 / 8));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

QtShell::~QtShell() {
    delete notice_;
}

void QtShell::showMessage(const std::string& text, MessageKind kind) {
    WhileAsking asking(notice_);
    QMessageBox box(dialogParent());
    box.setWindowTitle(programTitle());
    box.setText(fromPathText(text));
    box.setIcon(kind == MessageKind::Warning    ? QMessageBox::Warning
                : kind == MessageKind::Question ? QMessageBox::Question
                                                : QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
    fitCaption(box);
    box.exec();
}

Answer QtShell::askYesNoCancel(const std::string& text) {
    WhileAsking asking(notice_);
    QMessageBox box(dialogParent());
    box.setWindowTitle(programTitle());
    box.setText(fromPathText(text));
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    fitCaption(box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

bool QtShell::confirmDiscard(const std::string& text) {
    WhileAsking asking(notice_);
    QMessageBox box(dialogParent());
    box.setWindowTitle(programTitle());
    box.setText(fromPathText(text));
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    // Return after a slip of the hand must not throw the typed rows away.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    fitCaption(box);
    return box.exec() == QMessageBox::Yes;
}

std::optional<SaveChoice> QtShell::chooseFile(const FileDialogOptions& options, bool save) {
    WhileAsking asking(notice_);
    const QString title = !options.title.empty() ? QString::fromStdString(options.title)
                          : save                 ? QStringLiteral("Save As")
                                                 : QStringLiteral("Open");
    // Each kind of file dialog starts where it was last used, also after a restart; a kind not
    // used yet starts where the last dialog was left.
    const QString kind =
        (save ? QStringLiteral("save ") : QStringLiteral("open ")) +
        (options.filters.empty() ? QString() : QString::fromStdString(options.filters.front()));
    const QString key =
        QStringLiteral("fileDialogs/") + QString::fromLatin1(kind.toUtf8().toHex()).left(120);
    QString start = programSettings().value(key).toString();
    if (start.isEmpty() || !QFileInfo(start).isDir()) start = lastFolder_;
    QFileDialog dialog(dialogParent(), title, start);
    dialog.setObjectName(save ? QStringLiteral("saveDialog") : QStringLiteral("openDialog"));
    // The toolkit's own dialog: the same filters and questions on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const std::string& f : options.filters) filters << QString::fromStdString(f);
    dialog.setNameFilters(filters);
    const QString suffix = QString::fromStdString(options.defaultSuffix);
    dialog.setDefaultSuffix(suffix);
    // A name typed without an extension gets the kind chosen in the list.
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog, [&dialog, suffix](const QString& filter) {
            static const QRegularExpression extension(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
            const QRegularExpressionMatch m = extension.match(filter);
            dialog.setDefaultSuffix(m.hasMatch() ? m.captured(1) : suffix);
        });
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    fitFileList(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    lastFolder_ = QFileInfo(chosen).absolutePath();
    programSettings().setValue(key, lastFolder_);
    return SaveChoice{QFile::encodeName(QFileInfo(chosen).absoluteFilePath()).toStdString(),
                      std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())))};
}

std::optional<std::string> QtShell::chooseSaveFile(const FileDialogOptions& options) {
    if (auto chosen = chooseFile(options, true)) return std::move(chosen->path);
    return std::nullopt;
}

std::optional<SaveChoice> QtShell::chooseSaveFileOfKind(const FileDialogOptions& options) {
    return chooseFile(options, true);
}

std::optional<std::string> QtShell::chooseOpenFile(const FileDialogOptions& options) {
    if (auto chosen = chooseFile(options, false)) return std::move(chosen->path);
    return std::nullopt;
}

int QtShell::runDialog(QDialog& dialog) {
    WhileAsking asking(notice_);
    return dialog.exec();
}

void QtShell::beginWorking() {
    delete notice_;
    notice_ = new CWorkingNotice;
    notice_->show();
    // The analysis blocks the event loop: paint the notice before it starts.
    notice_->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtShell::endWorking() {
    delete notice_;
}

void QtShell::openTextViewer(const std::string& path) {
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    const QString viewer = qEnvironmentVariable("ZENKA_VIEWER").trimmed();
    if (!viewer.isEmpty()) {
        QStringList args = QProcess::splitCommand(viewer);
        if (args.isEmpty()) return;
        const QString program = args.takeFirst();
        if (!file.isEmpty()) args << file;
        QProcess::startDetached(program, args);
        return;
    }
    if (!file.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

QWidget* QtShell::dialogParent() const {
    // Over the window the person is working in: a graph window's dialogs belong to it.
    if (QWidget* active = QApplication::activeWindow()) return active;
    return parent_.data();
}

bool QtShell::choosePrinter(QPrinter& printer) {
    WhileAsking asking(notice_);
    // An output file set beforehand is only proposed for "Print to File": left set, the dialog
    // would start on printing to a file.
    const QString proposed = printer.outputFileName();
    printer.setOutputFileName(QString());
    QPrintDialog dialog(&printer, dialogParent());
    if (!proposed.isEmpty())
        if (auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename")))
            file->setText(proposed);
    dialog.setObjectName(QStringLiteral("printDialog"));
    // One chart per sheet: page ranges and selections mean nothing here.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace zenka
