#pragma once

#include <QDialog>

namespace zenka {

// "About Zenka": the icon, the version line and an OK button.
class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace zenka
