#include "app/AboutDlg.h"

#include "resources/Pictures.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace zenka {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About Zenka"));
    auto* icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 4, 1);
    const QString lines[] = {
        QStringLiteral("Zenka Application v1.4"),
        QStringLiteral("Static axial capacity of single driven piles"),
        QStringLiteral("estimated from Standard Penetration Test boring logs."),
        QStringLiteral("Copyright (C) the Zenka developers"),
    };
    int row = 0;
    for (const QString& text : lines) grid->addWidget(new QLabel(text, this), row++, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    grid->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(16);
    setFixedSize(sizeHint());
}

} // namespace zenka
