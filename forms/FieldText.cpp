#include "forms/FieldText.h"

#include "base/Format.h"
#include "base/Shell.h"

#include <QLineEdit>

namespace zenka {

QString numberText(double value) {
    return QString::fromStdString(formatG15(value));
}

void refuseField(Shell& shell, QLineEdit* field, const std::string& message, Selection selection) {
    shell.showMessage(message, MessageKind::Information);
    field->setFocus(Qt::OtherFocusReason);
    if (selection == Selection::All) field->selectAll();
}

} // namespace zenka
