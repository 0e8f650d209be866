#pragma once

// The boring log editor: a modal sheet of five pages of 45 entries each, working on a copy of
// the project's log. OK writes the copy back; Cancel leaves the project as it was.

#include "forms/BoringLogEdit.h"

#include <QDialog>
#include <QWidget>

#include <array>
#include <vector>

class QLabel;
class QLineEdit;
class QTabWidget;

namespace zenka {

class CPelbrinDoc;
class CPelbrinView;
class GuiShell;

inline constexpr int kPageEntries = 45;
inline constexpr const char* kDiscardLogQuestion = "Discard the changes to the boring log?";

class CBlowPage : public QWidget {
    Q_OBJECT
public:
    // Page `index` (0 to 4) shows entries index * 45 + 1 to index * 45 + 45 of `log`. `pastes`:
    // the sheet's pastes, which every page can take back.
    CBlowPage(int index, WorkingLog& log, PasteHistory& pastes, GuiShell& shell, bool english,
              QWidget* parent);

    QString title() const;
    int firstEntry() const { return index_ * kPageEntries + 1; }
    // The page's slice of the working log into its fields.
    void enterPage();
    // The fields into the page's slice; a field that is not a number stops the reading after its
    // message, but the page is left all the same.
    void leavePage();

    void insertEntry();
    void deleteEntry();
    // True when a field reads differently from the page's slice of the working log.
    bool fieldsDiffer() const;

    // Ctrl+V of rows at the focused field's row; false when the page's fields or the text were
    // refused (with their message) and nothing was pasted.
    bool pasteRows(int entry, const QString& text);
    // The rows Ctrl+C copies from entry `entry`: down to the end-of-log entry or the page's last
    // row; empty, after the field's message, when one of their fields holds no number.
    std::vector<LogEntry> rowsFrom(int entry);
    // Ctrl+Z and Ctrl+Shift+Z (or Ctrl+Y) in a field with no typing of its own to take back:
    // the latest paste is taken back, or done again. False when there was none, or the page's
    // fields were refused.
    bool undoPaste();
    bool redoPaste();

    QLineEdit* depthField(int entry) const;
    QLineEdit* blowCountField(int entry) const;
    QLineEdit* soilTypeField(int entry) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Entry number of the row the field belongs to, or 0.
    int rowOf(const QObject* field) const;
    bool readFields();
    // The fields into the page's slice of the working log; false, after the message, when a
    // field holds no number of its kind.
    bool storeFields();
    void writeFields();

    int index_;
    WorkingLog& log_;
    PasteHistory& pastes_;
    GuiShell& shell_;
    std::array<LogEntry, kPageEntries> entries_{};
    std::array<QLineEdit*, kPageEntries> depths_{};
    std::array<QLineEdit*, kPageEntries> blows_{};
    std::array<QLineEdit*, kPageEntries> soils_{};
};

class CBoreSheet : public QDialog {
    Q_OBJECT
public:
    // Copies the project's log and puts the main form's values back into its controls.
    CBoreSheet(CPelbrinDoc& doc, CPelbrinView& view, GuiShell& shell, QWidget* parent = nullptr);

    const WorkingLog& workingLog() const { return log_; }
    CBlowPage* page(int index) const { return pages_[static_cast<std::size_t>(index)]; }
    QTabWidget* tabs() const { return tabs_; }

    // Leaves the page on display, repairs the end of the log and writes it into the project.
    void accept() override;
    // Cancel, Escape or closing the window: asks first when the log was changed.
    void reject() override;

private:
    void pageChanged(int index);

    CPelbrinDoc& doc_;
    CPelbrinView& view_;
    GuiShell& shell_;
    WorkingLog log_;
    PasteHistory pastes_;
    QTabWidget* tabs_;
    std::array<CBlowPage*, 5> pages_{};
    int current_ = 0;
};

} // namespace zenka
