#pragma once

// The pieces the dialogs on ground-investigation data share: read-only tables of the file's
// boreholes and classifications, and the choice of a soil code.

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <utility>

class QComboBox;
class QTableWidget;
class QTableWidgetItem;

namespace zenka {

class Shell;

namespace dataimport {
struct DataFile;
}

// A table with one row selected at a time, nothing edited in place and rows a line high. Tab
// leaves it for the next control; the arrows move inside it.
QTableWidget* makeDataTable(const char* name, const QStringList& headers);

// After the columns were sized to their contents: the id column no wider than `chars`
// characters, so that a long id leaves the columns beside it in sight. A cut id loses its middle
// (ids of one site often differ only at their ends); its tool tip holds it whole.
void limitIdColumn(QTableWidget* table, int column, int chars);

// The widgets in the cells of `column` as Tab stops right after the table, row by row: made
// after the dialog's other controls, they would otherwise come last.
void tabThroughCellWidgets(QTableWidget* table, int column);

// A cell whose tool tip holds its whole text (a narrow column elides it).
QTableWidgetItem* dataCell(const QString& text, bool right = false);

// "21  Clay, silty" for a soil code; "(none)" for 0.
QString soilCodeText(int code);

// "(none)" and every soil code of the log, `code` chosen.
QComboBox* soilCodeCombo(int code);

// Asks for a ground-investigation data file and reads it: its path and its boreholes. Nothing
// when the person cancels, or, with a message naming the file, when it cannot be read or holds
// no borehole.
std::optional<std::pair<std::string, dataimport::DataFile>> openDataFile(Shell& shell);

} // namespace zenka
