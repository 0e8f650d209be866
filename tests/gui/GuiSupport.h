#pragma once

// Helpers for the widget tests: the program's windows on a scripted Shell, typing into fields,
// and answering modal dialogs from inside their event loops.

#include "app/MainFrame.h"
#include "app/PelbrinApp.h"
#include "app/Settings.h"
#include "engine/AnalysisState.h"
#include "forms/PelbrinView.h"
#include "model/PelbrinDoc.h"
#include "support/ScriptedGuiShell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace zenka::test {

inline QString qs(const char* text) {
    return QString::fromLatin1(text);
}

template <class T = QWidget> T* child(const QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(qs(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// The label of `parent` with exactly this text, or none.
inline QLabel* labelWithText(const QWidget* parent, const char* text) {
    for (QLabel* l : parent->findChildren<QLabel*>())
        if (l->text() == qs(text)) return l;
    return nullptr;
}

// Replaces a field's text the way a person does: select all, then type (or clear).
inline void typeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

inline void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// Runs `act` on the next modal window other than `outer` once it is up and active, as a person
// meets it, from inside its event loop. The act must close the window: one left open fails the
// test and is closed. Gives up after 30 seconds (a loaded machine is slow to build a file
// dialog) and then closes whatever dialog is open, so a dialog that is missed fails the test
// instead of hanging it. (The toolkit's dialogs only; the program's own come through the
// scripted shell's runDialog.)
inline void whenModal(std::function<void(QWidget*)> act, QWidget* outer = nullptr) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, outer, tries] {
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        const bool found = modal && modal != outer;
        if (found || ++*tries > 3000) {
            timer->stop();
            timer->deleteLater();
            if (found) {
                EXPECT_TRUE(QTest::qWaitForWindowActive(modal)) << "the dialog never came up";
            }
            act(found ? modal.data() : nullptr);
            if (found && modal && modal->isVisible()) {
                ADD_FAILURE() << "the dialog stayed open after the test acted on it";
                if (auto* d = qobject_cast<QDialog*>(modal.data()))
                    d->done(QDialog::Rejected);
                else
                    modal->close();
            }
            if (!found)
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* d = qobject_cast<QDialog*>(w); d && d != outer && d->isVisible())
                        d->reject();
        }
    });
    timer->start(10);
}

// The main window over a fresh project, the way start-up builds it, without the splash.
// Each window starts as on a first start: no recent projects, no remembered place.
struct FirstStart {
    FirstStart() { programSettings().clear(); }
};

class MainFrameTest : public ::testing::Test {
protected:
    FirstStart firstStart;
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    ScriptedGuiShell shell;
    std::unique_ptr<CMainFrame> frame = std::make_unique<CMainFrame>(doc, *state, shell);
    CPelbrinView* view = frame->view();

    void SetUp() override {
        frame->show();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    void TearDown() override {
        // Nothing is left to ask about when the window goes.
        doc.SetModified(false);
        frame->close();
    }

    template <class T = QLineEdit> T* field(const char* name) { return child<T>(view, name); }
    QString text(const char* name) { return field(name)->text(); }
    void type(const char* name, const char* value) { typeInto(field(name), qs(value)); }
    void clickRadio(const char* name) { click(field<QAbstractButton>(name)); }
    bool shown(const char* name) { return field<QWidget>(name)->isVisible(); }
    bool captionShown(const char* text) {
        QLabel* l = labelWithText(view, text);
        EXPECT_NE(l, nullptr) << text;
        return l && l->isVisible();
    }
};

} // namespace zenka::test
