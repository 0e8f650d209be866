#include "forms/DataTables.h"

#include "base/AtomicFile.h"
#include "base/Shell.h"
#include "import/DataFormats.h"
#include "model/SoilCatalogue.h"

#include <QApplication>

#include <QComboBox>
#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

namespace zenka {

QTableWidget* makeDataTable(const char* name, const QStringList& headers) {
    auto* t = new QTableWidget(0, static_cast<int>(headers.size()));
    t->setObjectName(QString::fromLatin1(name));
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->setVisible(false);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 8);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Otherwise Tab walks every cell: 76 boreholes by 3 columns before the next button.
    t->setTabKeyNavigation(false);
    t->setWordWrap(false);
    t->horizontalHeader()->setHighlightSections(false);
    return t;
}

void limitIdColumn(QTableWidget* table, int column, int chars) {
    table->setTextElideMode(Qt::ElideMiddle);
    const QFontMetrics metrics = table->fontMetrics();
    // Room for the tick box in front of the text, when there is one.
    const int most = metrics.averageCharWidth() * chars + metrics.height() * 2;
    table->setColumnWidth(column, std::min(table->columnWidth(column), most));
}

void tabThroughCellWidgets(QTableWidget* table, int column) {
    QWidget* before = table;
    for (int r = 0; r < table->rowCount(); ++r)
        if (QWidget* w = table->cellWidget(r, column)) {
            QWidget::setTabOrder(before, w);
            before = w;
        }
}

QTableWidgetItem* dataCell(const QString& text, bool right) {
    auto* item = new QTableWidgetItem(text);
    item->setToolTip(text);
    if (right) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString soilCodeText(int code) {
    if (code == 0) return QStringLiteral("(none)");
    return QString::number(code) + QStringLiteral("  ") +
           QString::fromStdString(soilCodeName(code));
}

QComboBox* soilCodeCombo(int code) {
    auto* combo = new QComboBox;
    combo->addItem(soilCodeText(0), 0);
    for (const SoilCodeName& n : soilCodeNames()) combo->addItem(soilCodeText(n.code), n.code);
    combo->setCurrentIndex(std::max(0, combo->findData(code)));
    return combo;
}

std::optional<std::pair<std::string, dataimport::DataFile>> openDataFile(Shell& shell) {
    FileDialogOptions options;
    options.filters = dataimport::dataFileFilters();
    const std::optional<std::string> path = shell.chooseOpenFile(options);
    if (!path) return std::nullopt;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    dataimport::DataFile file = dataimport::readDataFile(*path);
    QApplication::restoreOverrideCursor();
    if (!file.error.empty()) {
        shell.showMessage(file.error, MessageKind::Warning);
        return std::nullopt;
    }
    if (file.boreholes.empty()) {
        shell.showMessage("There is no borehole in " + displayPath(*path) + ".",
                          MessageKind::Warning);
        return std::nullopt;
    }
    return std::make_pair(*path, std::move(file));
}

} // namespace zenka
