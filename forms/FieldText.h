#pragma once

// What the fields of every form share: how a number is shown in a field, and how a field refuses
// what was typed into it.

#include <QString>

#include <string>

class QLineEdit;

namespace zenka {

class Shell;

// The shortest form with at most 15 significant digits.
QString numberText(double value);

enum class Selection { Keep, All };

// Shows the message, then puts the focus back into the field to mend it; `All` selects its text
// so that typing replaces it.
void refuseField(Shell& shell, QLineEdit* field, const std::string& message,
                 Selection selection = Selection::Keep);

} // namespace zenka
