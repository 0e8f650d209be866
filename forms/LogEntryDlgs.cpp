#include "forms/LogEntryDlgs.h"

#include "base/Shell.h"
#include "forms/FieldText.h"
#include "forms/FormLogic.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zenka {

namespace {

QLineEdit* field(QDialog* dialog, QGridLayout* grid, const char* caption, const char* name) {
    const int row = grid->rowCount();
    auto* edit = new QLineEdit(QStringLiteral("0"), dialog);
    edit->setObjectName(QString::fromLatin1(name));
    grid->addWidget(new QLabel(QString::fromLatin1(caption), dialog), row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

void addButtons(QDialog* dialog, QGridLayout* grid) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->setObjectName(QStringLiteral("buttons"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    grid->addWidget(buttons, grid->rowCount(), 0, 1, 2);
}

std::optional<int> checkInteger(QLineEdit* edit, int low, int high, Shell& shell) {
    const auto value = parseInteger(edit->text().toStdString());
    if (!value) {
        refuseField(shell, edit, kEnterInteger, Selection::All);
        return std::nullopt;
    }
    if (*value < low || *value > high) {
        refuseField(shell, edit, integerRangeMessage(low, high), Selection::All);
        return std::nullopt;
    }
    return value;
}

std::optional<double> checkNumber(QLineEdit* edit, std::optional<double> high, Shell& shell) {
    const auto value = parseNumber(edit->text().toStdString());
    if (!value) {
        refuseField(shell, edit, kEnterNumber, Selection::All);
        return std::nullopt;
    }
    if (high && (*value < 0 || *value > *high)) {
        refuseField(shell, edit, numberRangeMessage(0, *high), Selection::All);
        return std::nullopt;
    }
    return value;
}

// One range, one message: only 1 to 225 are entries of the log.
std::optional<int> checkEntryField(QLineEdit* edit, Shell& shell) {
    return checkInteger(edit, 1, kDocSamples, shell);
}

} // namespace

CInsertEntryDlg::CInsertEntryDlg(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell) {
    setObjectName(QStringLiteral("insertEntryDialog"));
    setWindowTitle(QStringLiteral("Insert Log Entry"));
    auto* grid = new QGridLayout(this);
    numberEdit_ = field(this, grid, "Entry Number", "entryNumber");
    depthEdit_ = field(this, grid, "Depth", "depth");
    blowEdit_ = field(this, grid, "Blow Count", "blowCount");
    soilEdit_ = field(this, grid, "Soil Type", "soilType");
    addButtons(this, grid);
}

void CInsertEntryDlg::accept() {
    const auto number = checkEntryField(numberEdit_, shell_);
    if (!number) return;
    const auto depth = checkNumber(depthEdit_, std::nullopt, shell_);
    if (!depth) return;
    const auto blows = checkNumber(blowEdit_, 1000.0, shell_);
    if (!blows) return;
    const auto soil = checkInteger(soilEdit_, 0, 5, shell_);
    if (!soil) return;
    number_ = *number;
    entry_ = {*depth, *blows, *soil};
    QDialog::accept();
}

CDeleteEntryDlg::CDeleteEntryDlg(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell) {
    setObjectName(QStringLiteral("deleteEntryDialog"));
    setWindowTitle(QStringLiteral("Delete Log Entry"));
    auto* grid = new QGridLayout(this);
    numberEdit_ = field(this, grid, "Delete Entry Number", "entryNumber");
    addButtons(this, grid);
}

void CDeleteEntryDlg::accept() {
    const auto number = checkEntryField(numberEdit_, shell_);
    if (!number) return;
    number_ = *number;
    QDialog::accept();
}

} // namespace zenka
