#include "forms/FieldText.h"

#include "base/Format.h"
#include "base/Shell.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace zenka {

QString numberText(double value) {
    return QString::fromStdString(formatG15(value));
}

void refuseField(Shell& shell, QLineEdit* field, const std::string& message, Selection selection) {
    shell.showMessage(message, MessageKind::Information);
    field->setFocus(Qt::OtherFocusReason);
    if (selection == Selection::All) field->selectAll();
}

namespace {

QString elided(const QWidget* w, const QString& text, int maxWidth, Qt::TextElideMode mode) {
    return w->fontMetrics().elidedText(text, mode, maxWidth);
}

} // namespace

void setElidedText(QAbstractButton* button, const QString& text, int maxWidth,
                   Qt::TextElideMode mode) {
    button->setText(elided(button, text, maxWidth, mode));
    button->setToolTip(text);
}

void setElidedText(QLabel* label, const QString& text, int maxWidth, Qt::TextElideMode mode) {
    label->setText(elided(label, text, maxWidth, mode));
    label->setToolTip(text);
}

void fitToScreen(QWidget* window, QSize wanted) {
    const QScreen* screen = window->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) {
        window->resize(wanted);
        return;
    }
    // The frame the window manager adds is not part of the size: leave room for a title bar
    // and borders.
    const int titleBar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize room = screen->availableGeometry().size() - QSize(16, titleBar + 16);
    window->setMaximumSize(room);
    window->resize(wanted.boundedTo(room));
}

} // namespace zenka
