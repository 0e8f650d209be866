#pragma once

// The two small dialogs of the boring log editor. OK checks every field in order and keeps the
// dialog open at the first one refused.

#include "forms/BoringLogEdit.h"

#include <QDialog>

class QLineEdit;

namespace zenka {

class Shell;

class CInsertEntryDlg : public QDialog {
public:
    CInsertEntryDlg(Shell& shell, QWidget* parent = nullptr);
    int entryNumber() const { return number_; }
    LogEntry entry() const { return entry_; }
    void accept() override;

private:
    Shell& shell_;
    QLineEdit* numberEdit_;
    QLineEdit* depthEdit_;
    QLineEdit* blowEdit_;
    QLineEdit* soilEdit_;
    int number_ = 0;
    LogEntry entry_;
};

class CDeleteEntryDlg : public QDialog {
public:
    CDeleteEntryDlg(Shell& shell, QWidget* parent = nullptr);
    int entryNumber() const { return number_; }
    void accept() override;

private:
    Shell& shell_;
    QLineEdit* numberEdit_;
    int number_ = 0;
};

} // namespace zenka
