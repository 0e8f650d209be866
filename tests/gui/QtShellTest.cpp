#include "GuiSupport.h"

#include "app/QtShell.h"
#include "support/TempDir.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QScreen>
#include <QTreeView>

#include <gmock/gmock.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace zenka::test {
namespace {

TEST(QtShellTest, MessageBoxesCarryTheProgramTitle) {
    QtShell shell;
    QString caption, message;
    whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        message = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    shell.showMessage("Unit weight must be greater than 0", MessageKind::Information);
    EXPECT_EQ(caption, qs("Zenka Windows Application"));
    EXPECT_EQ(message, qs("Unit weight must be greater than 0"));

    // A short message leaves room for the whole caption in a bold title font, with the window's
    // icon and buttons beside it.
    int width = 0;
    QFont titleFont;
    whenModal([&](QWidget* w) {
        width = w->width();
        titleFont = w->font();
        static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
    });
    shell.showMessage("Please enter a number.", MessageKind::Information);
    titleFont.setBold(true);
    const QFontMetrics title(titleFont);
    EXPECT_GE(width, title.horizontalAdvance(caption) + 4 * title.height());

    // The question has Yes, No and Cancel; Escape is Cancel.
    QMessageBox::StandardButtons buttons;
    whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        buttons = box->standardButtons();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(shell.askYesNoCancel("Save changes to /x.in ?"), Answer::No);
    EXPECT_EQ(caption, qs("Zenka Windows Application"));
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    whenModal([&](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(shell.askYesNoCancel("Save changes to  ?"), Answer::Cancel);

    // Giving work up takes a Yes: Return and Escape keep it.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        whenModal([&](QWidget* w) {
            buttons = static_cast<QMessageBox*>(w)->standardButtons();
            QTest::keyClick(w, key);
        });
        EXPECT_FALSE(shell.confirmDiscard("Discard the changes to the boring log?")) << key;
        EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);
    }
    whenModal([&](QWidget* w) { static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
    EXPECT_TRUE(shell.confirmDiscard("Discard the changes to the boring log?"));

    // A message during a run is answered with the ordinary pointer; the wait cursor comes back.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Qt::CursorShape during = Qt::WaitCursor;
    whenModal([&](QWidget* w) {
        during = QApplication::overrideCursor()->shape();
        static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
    });
    shell.showMessage("Invalid Soiltype", MessageKind::Information);
    EXPECT_EQ(during, Qt::ArrowCursor);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtShellTest, FileDialogsFilterProjectFilesAndConfirmOverwriting) {
    TempDir dir;
    writeFile(dir.file("old.in"), "1\r\n");
    QtShell shell;
    QStringList filters;
    QString suffix;
    bool confirms = false;
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->windowTitle(), qs("Save As"));
        dialog->setDirectory(QString::fromStdString(dir.path()));
        // Typed into the name field, as a person does: selectFile() leaves a focused field as
        // it is, and accepting an empty name only opens the folder.
        auto* name = dialog->findChild<QLineEdit*>(qs("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        typeInto(name, qs("bridge"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const auto saved = shell.chooseSaveFile({{"Input File (*.in)"}, "in", true});
    EXPECT_EQ(filters, QStringList{qs("Input File (*.in)")});
    EXPECT_EQ(suffix, qs("in"));
    EXPECT_TRUE(confirms);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(*saved, dir.file("bridge.in"));

    // Open offers all files too, starts in the folder last used, and can be cancelled. Its list
    // shows every column whole.
    QString folder;
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), qs("Open"));
        filters = dialog->nameFilters();
        folder = dialog->directory().absolutePath();
        auto* list = dialog->findChild<QTreeView*>(qs("treeView"));
        if (list && QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) > 0; },
                                    10000)) {
            QTest::qWait(50);
            const QAbstractItemView* view = list; // the hint is public here
            for (int column = 0; column < list->header()->count(); ++column) {
                EXPECT_GT(view->sizeHintForColumn(column), 0) << column;
                EXPECT_GE(list->columnWidth(column), view->sizeHintForColumn(column)) << column;
            }
        } else {
            ADD_FAILURE() << "no file list";
        }
        dialog->reject();
    });
    EXPECT_FALSE(shell.chooseOpenFile({{"Input File (*.in)", "All Files (*)"}, "in", false}));
    EXPECT_EQ(filters, QStringList({qs("Input File (*.in)"), qs("All Files (*)")}));
    EXPECT_EQ(folder, QString::fromStdString(std::filesystem::canonical(dir.path()).string()));
}

TEST(QtShellTest, EachKindOfFileDialogStartsWhereItWasLastUsedAfterARestart) {
    FirstStart firstStart;
    TempDir projects, data;
    writeFile(data.file("site.ags"), "\"GROUP\",\"PROJ\"\r\n");
    const FileDialogOptions project{{"Input File (*.in)"}, "in", true};
    const FileDialogOptions dataFile{{"Data files (*.ags)"}, "", false};
    // Goes to `folder` and takes `name` there; tells where the dialog started.
    const auto choose = [](const std::string& folder, const char* name) {
        auto started = std::make_shared<QString>();
        whenModal([=](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            *started = dialog->directory().absolutePath();
            dialog->setDirectory(QString::fromStdString(folder));
            typeInto(dialog->findChild<QLineEdit*>(qs("fileNameEdit")), qs(name));
            static_cast<QDialog*>(dialog)->accept();
        });
        return started;
    };
    {
        QtShell shell;
        choose(projects.path(), "bridge");
        ASSERT_TRUE(shell.chooseSaveFile(project).has_value());
        choose(data.path(), "site.ags");
        ASSERT_TRUE(shell.chooseOpenFile(dataFile).has_value());
    }
    QtShell restarted;
    auto started = choose(projects.path(), "pier");
    ASSERT_TRUE(restarted.chooseSaveFile(project).has_value());
    EXPECT_EQ(*started, QString::fromStdString(projects.path()));
    started = choose(data.path(), "site.ags");
    ASSERT_TRUE(restarted.chooseOpenFile(dataFile).has_value());
    EXPECT_EQ(*started, QString::fromStdString(data.path()));
}

TEST(QtShellTest, ANameWithoutExtensionGetsTheKindChosenInTheList) {
    TempDir dir;
    QtShell shell;
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->setDirectory(QString::fromStdString(dir.path()));
        // The person picks the second kind in the list, then types a bare name.
        auto* kinds = dialog->findChild<QComboBox*>(qs("fileTypeCombo"));
        ASSERT_NE(kinds, nullptr);
        kinds->setFocus();
        QTest::keyClick(kinds, Qt::Key_Down);
        dialog->selectFile(qs("chart"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const auto chosen =
        shell.chooseSaveFile({{"PNG Image (*.png)", "SVG Drawing (*.svg)"}, "png", true});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, dir.file("chart.svg"));

    // Asked for, the kind comes back with the file: the second of the list, or the first.
    for (const int kind : {1, 0}) {
        whenModal([&](QWidget* w) {
            auto* kinds = w->findChild<QComboBox*>(qs("fileTypeCombo"));
            ASSERT_NE(kinds, nullptr);
            kinds->setCurrentIndex(kind);
            typeInto(w->findChild<QLineEdit*>(qs("fileNameEdit")), qs("report"));
            static_cast<QDialog*>(w)->accept();
        });
        const auto pdf = shell.chooseSaveFileOfKind(
            {{"PDF Document, Letter paper (*.pdf)", "PDF Document, A4 paper (*.pdf)"},
             "pdf",
             true});
        ASSERT_TRUE(pdf.has_value());
        EXPECT_EQ(pdf->path, dir.file("report.pdf"));
        EXPECT_EQ(pdf->filter, kind);
    }
}

TEST(QtShellTest, WorkingNoticeIsShownCentredUntilTheRunEndsButNeverOverADialog) {
    QtShell shell;
    shell.beginWorking();
    QPointer<QWidget> notice = shell.workingNotice();
    ASSERT_FALSE(notice.isNull());
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(notice->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_NE(labelWithText(notice, "Working..."), nullptr);
    EXPECT_EQ(notice->geometry().center(),
              QGuiApplication::primaryScreen()->availableGeometry().center());

    // A message or a file dialog during the run has the notice out of its way until answered.
    std::vector<bool> shownDuring;
    const auto look = [&] {
        whenModal([&](QWidget* w) {
            shownDuring.push_back(notice->isVisible());
            if (auto* box = qobject_cast<QMessageBox*>(w))
                box->button(QMessageBox::Ok)->click();
            else if (auto* dialog = qobject_cast<QDialog*>(w))
                dialog->reject();
        });
    };
    look();
    shell.showMessage("Unit weight must be greater than 0", MessageKind::Information);
    EXPECT_TRUE(notice->isVisible());
    look();
    EXPECT_FALSE(shell.chooseSaveFile({{"Input File (*.in)"}, "in", true}));
    EXPECT_TRUE(notice->isVisible());
    // The program's own dialogs too; each gives its result.
    QDialog own;
    look();
    EXPECT_EQ(shell.runDialog(own), QDialog::Rejected);
    whenModal([](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
    EXPECT_EQ(shell.runDialog(own), QDialog::Accepted);
    EXPECT_EQ(shownDuring, std::vector<bool>({false, false, false}));
    shell.endWorking();
    EXPECT_TRUE(notice.isNull());
    shell.endWorking(); // twice is harmless
}

TEST(QtShellTest, ViewerNamedInTheEnvironmentGetsTheReportPath) {
    TempDir dir;
    const std::string script = dir.file("viewer.sh");
    writeFile(script, "#!/bin/sh\necho \"$1\" > \"" + dir.file("seen") + "\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    qputenv("ZENKA_VIEWER", QByteArray::fromStdString(script));
    QtShell shell;
    shell.openTextViewer(dir.file("bridge.out"));
    qunsetenv("ZENKA_VIEWER");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return std::filesystem::exists(dir.file("seen")) && !readFile(dir.file("seen")).empty();
        },
        10000));
    EXPECT_EQ(readFile(dir.file("seen")), dir.file("bridge.out") + "\n");
}

} // namespace
} // namespace zenka::test
