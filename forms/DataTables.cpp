#include "forms/DataTables.h"

#include "model/SoilCatalogue.h"

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
    t->setWordWrap(false);
    t->horizontalHeader()->setHighlightSections(false);
    return t;
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

} // namespace zenka
