#include "forms/BoreSheet.h"

#include "forms/FieldText.h"
#include "forms/FormLogic.h"
#include "forms/LogEntryDlgs.h"
#include "forms/PelbrinView.h"
#include "graphs/GuiShell.h"
#include "model/PelbrinDoc.h"
#include "model/SoilCatalogue.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zenka {

namespace {

constexpr int kRowsPerColumn = 15;
constexpr int kColumns = 3;

// Typing a soil code offers the codes that begin with it, shown with their names; choosing one
// puts the code alone into the field.
QStandardItemModel* soilModel(QObject* parent) {
    auto* model = new QStandardItemModel(parent);
    for (const SoilCodeName& s : soilCodeNames()) {
        auto* item = new QStandardItem(QString::fromStdString(soilCodeListing(s)));
        item->setData(QString::number(s.code), Qt::UserRole);
        model->appendRow(item);
    }
    return model;
}

// The list of soil codes is a popup: left alone, a click outside it only closes it, and the OK
// button or the field that was aimed at never hears of it. This passes the click on. It also
// keeps the list, which is wider than its field, on the screen.
class SoilListFilter : public QObject {
public:
    explicit SoilListFilter(QCompleter* completer) : QObject(completer), completer_(completer) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        QAbstractItemView* list = completer_->popup();
        if (watched != list) return false;
        if (event->type() == QEvent::Show) {
            keepOnScreen(list);
            return false;
        }
        if (event->type() != QEvent::MouseButtonPress &&
            event->type() != QEvent::MouseButtonDblClick)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF global = mouse->globalPosition();
        if (list->rect().contains(list->mapFromGlobal(global.toPoint()))) return false;
        list->hide();
        QWidget* field = completer_->widget();
        QWidget* target = QApplication::widgetAt(global.toPoint());
        if (!field || !target || target->window() != field->window() || !target->isEnabled())
            return true;
        for (QWidget* w = target; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
            if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) {
                w->setFocus(Qt::MouseFocusReason);
                break;
            }
        }
        // The release goes to the closed list's window, so the click is made whole here.
        const QPointF local = target->mapFromGlobal(global);
        const QPointF inWindow = target->window()->mapFromGlobal(global);
        QMouseEvent press(QEvent::MouseButtonPress, local, inWindow, global, mouse->button(),
                          mouse->buttons(), mouse->modifiers());
        QPointer<QWidget> alive = target;
        QApplication::sendEvent(target, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, local, inWindow, global, mouse->button(),
                            mouse->buttons() & ~mouse->button(), mouse->modifiers());
        if (alive) QApplication::sendEvent(target, &release);
        return true;
    }

private:
    static void keepOnScreen(QWidget* list) {
        const QScreen* screen = list->screen();
        if (!screen) return;
        const QRect area = screen->availableGeometry();
        QRect g = list->geometry();
        if (g.right() > area.right()) g.moveRight(area.right());
        if (g.left() < area.left()) g.moveLeft(area.left());
        list->move(g.topLeft());
    }

    QCompleter* completer_;
};

// One completer serves every soil field of a page; each field takes it over when focused.
QCompleter* soilCompleter(QWidget* page) {
    auto* completer = new QCompleter(soilModel(page), page);
    completer->setCompletionRole(Qt::UserRole);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setMaxVisibleItems(12);
    QAbstractItemView* list = completer->popup();
    // Wide enough for the longest name, whatever the width of the field it hangs under.
    int names = 0;
    for (const SoilCodeName& s : soilCodeNames())
        names =
            qMax(names,
                 list->fontMetrics().horizontalAdvance(QString::fromStdString(soilCodeListing(s))));
    const int textMargin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list);
    list->setMinimumWidth(names + 2 * (textMargin + 1) + 2 * list->frameWidth() +
                          list->verticalScrollBar()->sizeHint().width() + 4);
    // Replaying the press is this filter's work alone.
    list->setAttribute(Qt::WA_NoMouseReplay);
    list->installEventFilter(new SoilListFilter(completer));
    return completer;
}

} // namespace

CBlowPage::CBlowPage(int index, WorkingLog& log, PasteHistory& pastes, GuiShell& shell,
                     bool english, QWidget* parent)
    : QWidget(parent), index_(index), log_(log), pastes_(pastes), shell_(shell) {
    setObjectName(QStringLiteral("blowPage%1").arg(index + 1));
    auto* page = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    page->addLayout(columns);
    QCompleter* completer = soilCompleter(this);
    const int fieldWidth = fontMetrics().averageCharWidth() * 10;

    for (int c = 0; c < kColumns; ++c) {
        auto* grid = new QGridLayout;
        grid->setVerticalSpacing(2);
        grid->addWidget(
            new QLabel(english ? QStringLiteral("Depth (feet)") : QStringLiteral("Depth (meters)"),
                       this),
            0, 1);
        grid->addWidget(new QLabel(QStringLiteral(" Blow Count"), this), 0, 2);
        grid->addWidget(new QLabel(QStringLiteral("Soil Type"), this), 0, 3);
        for (int r = 0; r < kRowsPerColumn; ++r) {
            const int k = c * kRowsPerColumn + r;
            const auto i = static_cast<std::size_t>(k);
            auto* number = new QLabel(QString::number(firstEntry() + k), this);
            number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            depths_[i] = new QLineEdit(this);
            blows_[i] = new QLineEdit(this);
            soils_[i] = new QLineEdit(this);
            depths_[i]->setObjectName(QStringLiteral("depth%1").arg(firstEntry() + k));
            blows_[i]->setObjectName(QStringLiteral("blowCount%1").arg(firstEntry() + k));
            soils_[i]->setObjectName(QStringLiteral("soilType%1").arg(firstEntry() + k));
            for (QLineEdit* e : {depths_[i], blows_[i], soils_[i]}) e->setFixedWidth(fieldWidth);
            soils_[i]->setCompleter(completer);
            for (QLineEdit* e : {depths_[i], blows_[i], soils_[i]}) e->installEventFilter(this);
            grid->addWidget(number, r + 1, 0);
            grid->addWidget(depths_[i], r + 1, 1);
            grid->addWidget(blows_[i], r + 1, 2);
            grid->addWidget(soils_[i], r + 1, 3);
        }
        columns->addLayout(grid);
        if (c + 1 < kColumns) columns->addSpacing(fieldWidth / 2);
    }

    auto* bottom = new QHBoxLayout;
    page->addSpacing(6);
    page->addLayout(bottom);
    auto* legend = new QGroupBox(QStringLiteral("Soil Type Legend"), this);
    auto* legendColumn = new QGridLayout(legend);
    const char* legendTexts[] = {"1 - Plastic Clays", "2- Clay, Silt, Sand Mix, Silts and Marls",
                                 "3 - Clean Sands", "4 - Soft Limestone, Very Shelly Sands",
                                 "5 - Void (No Capacity)"};
    for (int k = 0; k < 5; ++k)
        legendColumn->addWidget(new QLabel(QString::fromLatin1(legendTexts[k]), legend), k % 3,
                                k / 3);
    bottom->addWidget(legend, 1);

    auto* side = new QVBoxLayout;
    auto* note = new QLabel(QStringLiteral("Note: Last entry must have non-zero depth, blow "
                                           "count zero, and soil type zero."),
                            this);
    note->setWordWrap(true);
    side->addWidget(note);
    auto* buttons = new QHBoxLayout;
    auto* insert = new QPushButton(QStringLiteral("Insert Entry"), this);
    auto* remove = new QPushButton(QStringLiteral("Delete Entry"), this);
    insert->setObjectName(QStringLiteral("insertEntry"));
    remove->setObjectName(QStringLiteral("deleteEntry"));
    insert->setAutoDefault(false);
    remove->setAutoDefault(false);
    connect(insert, &QPushButton::clicked, this, &CBlowPage::insertEntry);
    connect(remove, &QPushButton::clicked, this, &CBlowPage::deleteEntry);
    buttons->addWidget(insert);
    buttons->addWidget(remove);
    buttons->addStretch();
    side->addLayout(buttons);
    side->addStretch();
    bottom->addLayout(side, 1);
}

QString CBlowPage::title() const {
    return QStringLiteral("Entries %1-%2").arg(firstEntry()).arg(firstEntry() + kPageEntries - 1);
}

QLineEdit* CBlowPage::depthField(int entry) const {
    return depths_[static_cast<std::size_t>(entry - firstEntry())];
}
QLineEdit* CBlowPage::blowCountField(int entry) const {
    return blows_[static_cast<std::size_t>(entry - firstEntry())];
}
QLineEdit* CBlowPage::soilTypeField(int entry) const {
    return soils_[static_cast<std::size_t>(entry - firstEntry())];
}

void CBlowPage::enterPage() {
    for (int k = 0; k < kPageEntries; ++k)
        entries_[static_cast<std::size_t>(k)] = log_.entry(firstEntry() + k);
    writeFields();
}

void CBlowPage::leavePage() {
    readFields();
    for (int k = 0; k < kPageEntries; ++k)
        log_.setEntry(firstEntry() + k, entries_[static_cast<std::size_t>(k)]);
}

bool CBlowPage::readFields() {
    // The first field that holds no number of its kind gets the focus and its message.
    const auto refuse = [this](QLineEdit* edit, const char* message) {
        refuseField(shell_, edit, message);
        return false;
    };
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const auto depth = parseNumber(depths_[i]->text().toStdString());
        if (!depth) return refuse(depths_[i], kEnterNumber);
        entries_[i].depth = *depth;
        const auto blows = parseNumber(blows_[i]->text().toStdString());
        if (!blows) return refuse(blows_[i], kEnterNumber);
        entries_[i].blowCount = *blows;
        const auto soil = parseInteger(soils_[i]->text().toStdString());
        if (!soil) return refuse(soils_[i], kEnterInteger);
        entries_[i].soilType = *soil;
    }
    return true;
}

bool CBlowPage::fieldsDiffer() const {
    // Compared as the fields show numbers: "3.0" typed over "3" is no change.
    for (int k = 0; k < kPageEntries; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const LogEntry e = log_.entry(firstEntry() + k);
        const auto soil = parseInteger(soils_[i]->text().toStdString());
        if (!soil || *soil != e.soilType) return true;
        const auto depth = parseNumber(depths_[i]->text().toStdString());
        const auto blows = parseNumber(blows_[i]->text().toStdString());
        if (!depth || !blows || numberText(*depth) != numberText(e.depth) ||
            numberText(*blows) != numberText(e.blowCount))
            return true;
    }
    return false;
}

void CBlowPage::writeFields() {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        depths_[i]->setText(numberText(entries_[i].depth));
        blows_[i]->setText(numberText(entries_[i].blowCount));
        soils_[i]->setText(QString::number(entries_[i].soilType));
    }
}

int CBlowPage::rowOf(const QObject* field) const {
    for (int k = 0; k < kPageEntries; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (field == depths_[i] || field == blows_[i] || field == soils_[i])
            return firstEntry() + k;
    }
    return 0;
}

bool CBlowPage::eventFilter(QObject* watched, QEvent* event) {
    const bool key = event->type() == QEvent::KeyPress;
    const bool overriding = event->type() == QEvent::ShortcutOverride;
    if (!key && !overriding) return QWidget::eventFilter(watched, event);
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const bool paste = keyEvent->matches(QKeySequence::Paste);
    const bool copy = keyEvent->matches(QKeySequence::Copy);
    const int row = rowOf(watched);
    if (row == 0) return QWidget::eventFilter(watched, event);
    auto* field = static_cast<QLineEdit*>(watched);
    // Undo and redo: the field's own typing first, then the pastes.
    const QKeyCombination combo = keyEvent->keyCombination();
    const bool undo = keyEvent->matches(QKeySequence::Undo);
    const bool redo = keyEvent->matches(QKeySequence::Redo) ||
                      combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
                      combo == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
    if ((undo && !field->isUndoAvailable() && pastes_.canUndo()) ||
        (redo && !field->isRedoAvailable() && pastes_.canRedo())) {
        event->accept();
        if (key) undo ? undoPaste() : redoPaste();
        return true;
    }
    if (!paste && !copy) return QWidget::eventFilter(watched, event);
    const QString clip = QGuiApplication::clipboard()->text();
    // A single value, or a text selection to copy, is the field's own business.
    const bool ours = paste ? !isSingleValue(clip.toStdString()) : !field->hasSelectedText();
    if (!ours) return QWidget::eventFilter(watched, event);
    if (overriding) {
        event->accept();
        return true;
    }
    if (paste) {
        pasteRows(row, clip);
    } else {
        const std::vector<LogEntry> rows = rowsFrom(row);
        if (!rows.empty())
            QGuiApplication::clipboard()->setText(QString::fromStdString(rowsText(rows)));
    }
    return true;
}

bool CBlowPage::pasteRows(int entry, const QString& text) {
    QPointer<QWidget> focused = window()->focusWidget();
    QLineEdit* origin = depthField(entry);
    if (QWidget* f = focused; f && rowOf(f) == entry) origin = static_cast<QLineEdit*>(f);
    const PastedRows parsed = parsePastedRows(text.toStdString(), entry);
    if (parsed.error != PasteError::None) {
        refuseField(shell_, origin, pasteMessage(parsed, entry));
        return false;
    }
    if (parsed.rows.empty()) return false;
    // The rows typed so far go in first; a field they would refuse stops the paste.
    if (!storeFields()) return false;
    pastes_.paste(log_, entry, parsed.rows);
    enterPage();
    if (focused) focused->setFocus(Qt::OtherFocusReason);
    return true;
}

bool CBlowPage::storeFields() {
    if (!readFields()) return false;
    for (int k = 0; k < kPageEntries; ++k)
        log_.setEntry(firstEntry() + k, entries_[static_cast<std::size_t>(k)]);
    return true;
}

bool CBlowPage::undoPaste() {
    // What was typed since goes in first, so that only the pasted entries go back.
    if (!pastes_.canUndo() || !storeFields()) return false;
    pastes_.undo(log_);
    enterPage();
    return true;
}

bool CBlowPage::redoPaste() {
    if (!pastes_.canRedo() || !storeFields()) return false;
    pastes_.redo(log_);
    enterPage();
    return true;
}

std::vector<LogEntry> CBlowPage::rowsFrom(int entry) {
    std::vector<LogEntry> rows;
    for (int k = entry - firstEntry(); k >= 0 && k < kPageEntries; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const auto depth = parseNumber(depths_[i]->text().toStdString());
        const auto blows = parseNumber(blows_[i]->text().toStdString());
        const auto soil = parseInteger(soils_[i]->text().toStdString());
        QLineEdit* bad = !depth ? depths_[i] : !blows ? blows_[i] : !soil ? soils_[i] : nullptr;
        if (bad) {
            refuseField(shell_, bad, bad == soils_[i] ? kEnterInteger : kEnterNumber);
            return {};
        }
        rows.push_back({*depth, *blows, *soil});
        if (*soil == 0) break;
    }
    return rows;
}

void CBlowPage::insertEntry() {
    leavePage();
    if (logIsFull(log_)) {
        shell_.showMessage("The boring log is full: delete an entry first.",
                           MessageKind::Information);
        return;
    }
    CInsertEntryDlg dialog(shell_, this);
    if (shell_.runDialog(dialog) != QDialog::Accepted) return;
    zenka::insertEntry(log_, dialog.entryNumber(), dialog.entry());
    enterPage();
}

void CBlowPage::deleteEntry() {
    leavePage();
    CDeleteEntryDlg dialog(shell_, this);
    if (shell_.runDialog(dialog) != QDialog::Accepted) return;
    zenka::deleteEntry(log_, dialog.entryNumber());
    enterPage();
}

CBoreSheet::CBoreSheet(CPelbrinDoc& doc, CPelbrinView& view, GuiShell& shell, QWidget* parent)
    : QDialog(parent), doc_(doc), view_(view), shell_(shell), log_(logOf(doc)) {
    setObjectName(QStringLiteral("boreSheet"));
    setWindowTitle(QStringLiteral("Boring Log"));
    // Whatever was typed on the form last is kept, not put back to the form's previous value.
    view_.storeStep();
    const bool english = !Units::metric(view_.shownUnits());

    tabs_ = new QTabWidget(this);
    for (std::size_t i = 0; i < pages_.size(); ++i)
        pages_[i] = new CBlowPage(static_cast<int>(i), log_, pastes_, shell, english, tabs_);
    for (CBlowPage* p : pages_) tabs_->addTab(p, p->title());
    pages_[0]->enterPage();
    tabs_->setCurrentIndex(0);
    // Typing starts in the first depth, not on nothing.
    pages_[0]->depthField(1)->setFocus(Qt::OtherFocusReason);
    connect(tabs_, &QTabWidget::currentChanged, this, &CBoreSheet::pageChanged);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CBoreSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CBoreSheet::reject);
    // On a small or enlarged screen the pages scroll; OK and Cancel stay in sight below them.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("pagesArea"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(tabs_);
    // A field that gets the focus otherwise than by Tab (a refusal, Enter) comes into sight too.
    connect(qApp, &QApplication::focusChanged, scroll, [scroll](QWidget*, QWidget* now) {
        if (now && scroll->widget()->isAncestorOf(now)) scroll->ensureWidgetVisible(now);
    });
    auto* column = new QVBoxLayout(this);
    column->addWidget(scroll, 1);
    column->addWidget(buttons);
    const QMargins margins = column->contentsMargins();
    fitToScreen(this, QSize(tabs_->sizeHint().width() + margins.left() + margins.right(),
                            tabs_->sizeHint().height() + column->spacing() +
                                buttons->sizeHint().height() + margins.top() + margins.bottom()));
}

void CBoreSheet::pageChanged(int index) {
    if (index < 0) return;
    pages_[static_cast<std::size_t>(current_)]->leavePage();
    current_ = index;
    pages_[static_cast<std::size_t>(current_)]->enterPage();
}

void CBoreSheet::reject() {
    const bool changed =
        pages_[static_cast<std::size_t>(current_)]->fieldsDiffer() || logDiffers(log_, doc_);
    if (changed && !shell_.confirmDiscard(kDiscardLogQuestion)) return;
    QDialog::reject();
}

void CBoreSheet::accept() {
    pages_[static_cast<std::size_t>(current_)]->leavePage();
    view_.readControls();
    repairEndOfLog(log_);
    writeLogBack(log_, doc_);
    QDialog::accept();
}

} // namespace zenka
