#pragma once

// What the fields of every form share: how a number is shown in a field, and how a field refuses
// what was typed into it.

#include <QSize>
#include <QString>

#include <string>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QWidget;

namespace zenka {

class Shell;

// The shortest form with at most 15 significant digits.
QString numberText(double value);

enum class Selection { Keep, All };

// Shows the message, then puts the focus back into the field to mend it; `All` selects its text
// so that typing replaces it.
void refuseField(Shell& shell, QLineEdit* field, const std::string& message,
                 Selection selection = Selection::Keep);

// Shows text whole when it fits in maxWidth pixels, else cut with an ellipsis; the tool tip holds
// the whole text either way, so nothing is hidden from the engineer.
void setElidedText(QAbstractButton* button, const QString& text, int maxWidth,
                   Qt::TextElideMode mode = Qt::ElideRight);
void setElidedText(QLabel* label, const QString& text, int maxWidth,
                   Qt::TextElideMode mode = Qt::ElideRight);

// A window no larger than the available part of its screen: given size is bounded by it, and the
// window cannot be made larger. Its content must be able to shrink (scrolling tables, elided
// texts) for the bound to hold.
void fitToScreen(QWidget* window, QSize wanted);

} // namespace zenka
