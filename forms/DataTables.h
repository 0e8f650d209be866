#pragma once

// The pieces the dialogs on ground-investigation data share: read-only tables of the file's
// boreholes and classifications, and the choice of a soil code.

#include <QString>
#include <QStringList>

#include <map>
#include <string>

class QComboBox;
class QTableWidget;
class QTableWidgetItem;

namespace zenka {

// A table with one row selected at a time, nothing edited in place and rows a line high.
QTableWidget* makeDataTable(const char* name, const QStringList& headers);

// A cell whose tool tip holds its whole text (a narrow column elides it).
QTableWidgetItem* dataCell(const QString& text, bool right = false);

// "21  Clay, silty" for a soil code; "(none)" for 0.
QString soilCodeText(int code);

// "(none)" and every soil code of the log, `code` chosen.
QComboBox* soilCodeCombo(int code);

} // namespace zenka
