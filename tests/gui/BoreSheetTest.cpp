#include "GuiSupport.h"

#include "forms/BoreSheet.h"
#include "forms/LogEntryDlgs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gmock/gmock.h>

#include <algorithm>

namespace zenka::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Counts the mouse presses that reach a widget.
class PressCounter : public QObject {
public:
    PressCounter(QWidget* widget, int& count) : count_(count) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) ++count_;
        return false;
    }

private:
    int& count_;
};

// The editor opened from the main form's button; `act` runs inside it, then OK or Cancel.
class BoreSheetTest : public MainFrameTest {
protected:
    void withEditor(const std::function<void(CBoreSheet&)>& act, bool ok = true) {
        bool ran = false;
        shell.dialogActs.push_back([&](QDialog& dialog) {
            auto* sheet = qobject_cast<CBoreSheet*>(&dialog);
            ASSERT_NE(sheet, nullptr);
            act(*sheet);
            ran = true;
            auto* buttons = sheet->findChild<QDialogButtonBox*>(qs("buttons"));
            click(buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel));
            EXPECT_FALSE(sheet->isVisible()) << "the editor stayed open";
        });
        click(field<QAbstractButton>("boringLog"));
        EXPECT_TRUE(ran);
        EXPECT_TRUE(shell.dialogActs.empty()) << "a dialog that was to come did not";
        shell.dialogActs.clear();
    }

    // Fills the next insert or delete dialog when it comes up, then presses OK. Values the
    // dialog refuses leave it open: then Cancel.
    void answerDialog(QWidget* sheet, std::vector<std::pair<const char*, const char*>> values) {
        shell.dialogActs.push_back([values, sheet](QDialog& w) {
            EXPECT_NE(&w, sheet);
            for (const auto& [name, value] : values)
                w.findChild<QLineEdit*>(qs(name))->setText(qs(value));
            auto* buttons = w.findChild<QDialogButtonBox*>(qs("buttons"));
            click(buttons->button(QDialogButtonBox::Ok));
            if (w.isVisible()) click(buttons->button(QDialogButtonBox::Cancel));
        });
    }

    void press(CBlowPage* page, const char* button) {
        click(page->findChild<QPushButton*>(qs(button)));
    }

    // e1 .. e<count> at depths 1, 2, ... with blow counts 10 + i, then the end of the log.
    void numberedLog(int count) {
        for (int i = 0; i < count; ++i) {
            doc.depths[std::size_t(i)] = i + 1;
            doc.blowCounts[std::size_t(i)] = 10 + i + 1;
            doc.soilCodes[std::size_t(i)] = 3;
        }
        doc.depths[std::size_t(count)] = count + 1;
        doc.soilCodes[std::size_t(count)] = 0;
    }
};

TEST_F(BoreSheetTest, PagesShowTheLogInTheFormsUnits) {
    numberedLog(50);
    withEditor(
        [&](CBoreSheet& sheet) {
            EXPECT_EQ(sheet.windowTitle(), qs("Boring Log"));
            QTabWidget* tabs = sheet.tabs();
            ASSERT_EQ(tabs->count(), 5);
            EXPECT_EQ(tabs->tabText(0), qs("Entries 1-45"));
            EXPECT_EQ(tabs->tabText(1), qs("Entries 46-90"));
            EXPECT_EQ(tabs->tabText(4), qs("Entries 181-225"));
            EXPECT_EQ(tabs->currentIndex(), 0);
            CBlowPage* first = sheet.page(0);
            EXPECT_EQ(first->findChildren<QLineEdit*>().size(), 135);
            EXPECT_EQ(first->depthField(3)->text(), qs("3"));
            EXPECT_EQ(first->blowCountField(3)->text(), qs("13"));
            EXPECT_EQ(first->soilTypeField(3)->text(), qs("3"));
            // A new project shows Metric on the form, so the depths are in meters.
            const QList<QLabel*> labels = first->findChildren<QLabel*>();
            EXPECT_EQ(std::count_if(labels.begin(), labels.end(),
                                    [](QLabel* l) { return l->text() == qs("Depth (meters)"); }),
                      3);
            EXPECT_NE(labelWithText(first, " Blow Count"), nullptr);
            EXPECT_NE(labelWithText(first, "Soil Type"), nullptr);
            EXPECT_NE(labelWithText(first, "2- Clay, Silt, Sand Mix, Silts and Marls"), nullptr);
            EXPECT_NE(labelWithText(first, "Note: Last entry must have non-zero depth, blow count "
                                           "zero, and soil type zero."),
                      nullptr);
            // Page 2 takes entries 46 on when shown; an edit on page 1 travels with the page
            // change.
            first->depthField(2)->setText(qs("2.25"));
            tabs->setCurrentIndex(1);
            EXPECT_EQ(sheet.page(1)->depthField(46)->text(), qs("46"));
            EXPECT_EQ(sheet.page(1)->depthField(51)->text(), qs("51"));
            EXPECT_EQ(sheet.workingLog().depths[1], 2.25);
            EXPECT_EQ(doc.depths[1], 2);
            shell.answers.push_back(Answer::Yes); // discard them
        },
        false);
    // Cancel changes nothing.
    EXPECT_EQ(doc.depths[1], 2);
    EXPECT_FALSE(doc.IsModified());

    clickRadio("unitEnglish");
    withEditor(
        [&](CBoreSheet& sheet) {
            EXPECT_NE(labelWithText(sheet.page(0), "Depth (feet)"), nullptr);
            EXPECT_EQ(labelWithText(sheet.page(0), "Depth (meters)"), nullptr);
        },
        false);
}

TEST_F(BoreSheetTest, InsertAtTenInAFiftyEntryLog) {
    numberedLog(50);
    withEditor([&](CBoreSheet& sheet) {
        answerDialog(
            &sheet,
            {{"entryNumber", "10"}, {"depth", "9.5"}, {"blowCount", "77"}, {"soilType", "2"}});
        press(sheet.page(0), "insertEntry");
        EXPECT_EQ(sheet.page(0)->blowCountField(10)->text(), qs("77"));
        EXPECT_EQ(sheet.page(0)->depthField(11)->text(), qs("10"));
    });
    for (int i = 1; i <= 9; ++i) EXPECT_EQ(doc.depths[std::size_t(i - 1)], i);
    EXPECT_EQ(doc.depths[9], 9.5);
    EXPECT_EQ(doc.soilCodes[9], 2);
    for (int i = 11; i <= 51; ++i) EXPECT_EQ(doc.depths[std::size_t(i - 1)], i - 1) << i;
    EXPECT_EQ(doc.depths[45], 45);
    EXPECT_EQ(doc.soilCodes[51], 0);
    EXPECT_EQ(doc.depths[51], 51);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_THAT(shell.messages, IsEmpty());
}

TEST_F(BoreSheetTest, DeleteEntriesAndRepairTheEndOnOk) {
    // e1, e2 with blow count 0, e3, then an end-of-log entry typed without depth.
    doc.depths[0] = 0;
    doc.blowCounts[0] = 5;
    doc.soilCodes[0] = 3;
    doc.depths[1] = 40;
    doc.blowCounts[1] = 0;
    doc.soilCodes[1] = 3;
    doc.depths[2] = 42.5;
    doc.blowCounts[2] = 9;
    doc.soilCodes[2] = 3;
    withEditor([&](CBoreSheet& sheet) {
        answerDialog(&sheet, {{"entryNumber", "1"}});
        press(sheet.page(0), "deleteEntry");
        EXPECT_EQ(sheet.page(0)->depthField(1)->text(), qs("40"));
        EXPECT_EQ(sheet.page(0)->depthField(2)->text(), qs("42.5"));
        EXPECT_EQ(sheet.page(0)->soilTypeField(3)->text(), qs("0"));
    });
    EXPECT_EQ(doc.depths[0], 40);
    EXPECT_EQ(doc.blowCounts[0], 0);
    EXPECT_EQ(doc.depths[1], 42.5);
    EXPECT_DOUBLE_EQ(doc.depths[2], 42.6);
    EXPECT_EQ(doc.soilCodes[2], 0);

    // Deleting the end-of-log entry itself clears it; OK repairs its depth again.
    withEditor([&](CBoreSheet& sheet) {
        answerDialog(&sheet, {{"entryNumber", "3"}});
        press(sheet.page(0), "deleteEntry");
        EXPECT_EQ(sheet.page(0)->depthField(3)->text(), qs("0"));
        EXPECT_EQ(sheet.workingLog().depths[2], 0);
    });
    EXPECT_DOUBLE_EQ(doc.depths[2], 42.6);
}

TEST_F(BoreSheetTest, InsertBeyondTheEndAndTheRefusedCases) {
    numberedLog(3);
    withEditor([&](CBoreSheet& sheet) {
        CBlowPage* page = sheet.page(0);
        // Entry 0 and entries past 225 are not entries of the log: one message names the
        // range. Each leaves the dialog open; Cancel then does nothing.
        answerDialog(&sheet, {{"entryNumber", "0"}});
        press(page, "insertEntry");
        answerDialog(&sheet, {{"entryNumber", "226"}});
        press(page, "deleteEntry");
        answerDialog(&sheet, {{"entryNumber", "300"}});
        press(page, "insertEntry");
        answerDialog(&sheet, {{"entryNumber", "5"}, {"blowCount", "1001"}});
        press(page, "insertEntry");
        answerDialog(&sheet, {{"entryNumber", "5"}, {"soilType", "6"}});
        press(page, "insertEntry");
        answerDialog(&sheet, {{"entryNumber", "x"}});
        press(page, "insertEntry");
        answerDialog(&sheet, {{"entryNumber", "5"}, {"depth", ""}});
        press(page, "insertEntry");
        EXPECT_THAT(shell.messageTexts(),
                    ElementsAre("Please enter an integer between 1 and 225.",
                                "Please enter an integer between 1 and 225.",
                                "Please enter an integer between 1 and 225.",
                                "Please enter a number between 0 and 1000.",
                                "Please enter an integer between 0 and 5.",
                                "Please enter an integer.", "Please enter a number."));
        EXPECT_EQ(sheet.workingLog().depths, logOf(doc).depths);

        // Beyond the end of the log: written there, nothing moves.
        answerDialog(&sheet, {{"entryNumber", "9"}, {"depth", "30"}, {"soilType", "1"}});
        press(page, "insertEntry");
        EXPECT_EQ(page->depthField(9)->text(), qs("30"));
        EXPECT_EQ(page->depthField(4)->text(), qs("4"));
        EXPECT_EQ(page->soilTypeField(4)->text(), qs("0"));
    });
    EXPECT_EQ(doc.depths[8], 30);
    EXPECT_EQ(doc.soilCodes[3], 0);
    EXPECT_EQ(doc.depths[3], 4);

    // A full log refuses an insertion before asking for the entry.
    numberedLog(224);
    shell.messages.clear();
    withEditor(
        [&](CBoreSheet& sheet) {
            press(sheet.page(0), "insertEntry");
            EXPECT_THAT(shell.messageTexts(),
                        ElementsAre("The boring log is full: delete an entry first."));
        },
        false);
    EXPECT_EQ(shell.dialogsRun.back(), "boreSheet"); // no insert dialog came up
}

TEST_F(BoreSheetTest, PageFieldsThatAreNoNumbersStopTheReadingButNotTheLeaving) {
    numberedLog(5);
    withEditor([&](CBoreSheet& sheet) {
        CBlowPage* page = sheet.page(0);
        page->depthField(1)->setText(qs("0.5"));
        page->soilTypeField(2)->setText(qs("2.5"));
        page->depthField(3)->setText(qs("3.5"));
        sheet.tabs()->setCurrentIndex(2);
        EXPECT_THAT(shell.messageTexts(), ElementsAre("Please enter an integer."));
        EXPECT_EQ(sheet.tabs()->currentIndex(), 2);
        EXPECT_EQ(sheet.workingLog().depths[0], 0.5);
        EXPECT_EQ(sheet.workingLog().soilCodes[1], 3);
        EXPECT_EQ(sheet.workingLog().depths[2], 3); // after the failing field
        // Back on page 1 the fields show the working log again.
        sheet.tabs()->setCurrentIndex(0);
        EXPECT_EQ(page->soilTypeField(2)->text(), qs("3"));
    });
    EXPECT_EQ(doc.depths[0], 0.5);
}

TEST_F(BoreSheetTest, OpeningTheEditorKeepsAWaterTableNotYetStored) {
    doc.waterTable = -3;
    doc.notifyChanged();
    doc.SetModified(false);
    field("waterTable")->setText(qs("-8")); // as if no keystroke had stored it
    withEditor([&](CBoreSheet&) { EXPECT_EQ(text("waterTable"), qs("-8")); }, false);
    EXPECT_EQ(text("waterTable"), qs("-8"));
    EXPECT_EQ(doc.waterTable, -8);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(BoreSheetTest, EscapeAndCancelAskBeforeDiscardingChanges) {
    numberedLog(5);
    const auto openEditor = [&](const std::function<void(CBoreSheet&)>& act) {
        bool ran = false;
        shell.dialogActs.push_back([&](QDialog& dialog) {
            auto* sheet = qobject_cast<CBoreSheet*>(&dialog);
            ASSERT_NE(sheet, nullptr);
            act(*sheet);
            ran = true;
            if (sheet->isVisible()) sheet->accept();
        });
        click(field<QAbstractButton>("boringLog"));
        EXPECT_TRUE(ran);
    };
    const auto escape = [](CBoreSheet& sheet) {
        QTest::keyClick(sheet.page(0)->depthField(1), Qt::Key_Escape);
    };
    const auto cancel = [](CBoreSheet& sheet) {
        click(sheet.findChild<QDialogButtonBox*>(qs("buttons"))->button(QDialogButtonBox::Cancel));
    };

    // Nothing changed, or a value retyped as it stood: closes at once.
    openEditor([&](CBoreSheet& sheet) {
        typeInto(sheet.page(0)->depthField(2), qs("2.0"));
        escape(sheet);
        EXPECT_FALSE(sheet.isVisible());
    });
    EXPECT_THAT(shell.questions, IsEmpty());

    // A typed value: Escape asks; any answer but Yes keeps the editor and the typing.
    openEditor([&](CBoreSheet& sheet) {
        typeInto(sheet.page(0)->depthField(2), qs("2.5"));
        escape(sheet);
        EXPECT_THAT(shell.questions, ElementsAre(kDiscardLogQuestion));
        EXPECT_TRUE(sheet.isVisible());
        shell.answers.push_back(Answer::No);
        cancel(sheet);
        EXPECT_TRUE(sheet.isVisible());
        EXPECT_EQ(sheet.page(0)->depthField(2)->text(), qs("2.5"));
        shell.answers.push_back(Answer::Yes);
        cancel(sheet);
        EXPECT_FALSE(sheet.isVisible());
    });
    EXPECT_EQ(shell.questions.size(), 3u);
    EXPECT_EQ(doc.depths[1], 2);
    EXPECT_FALSE(doc.IsModified());

    // A change that has left its page (another page shown) or come from Insert Entry asks too,
    // and so does a field that holds no number.
    shell.questions.clear();
    openEditor([&](CBoreSheet& sheet) {
        typeInto(sheet.page(0)->blowCountField(3), qs("99"));
        sheet.tabs()->setCurrentIndex(1);
        shell.answers.push_back(Answer::Cancel);
        QTest::keyClick(sheet.page(1)->depthField(46), Qt::Key_Escape);
        EXPECT_TRUE(sheet.isVisible());
    });
    EXPECT_EQ(doc.blowCounts[2], 99); // still open above, then OK
    shell.questions.clear();
    openEditor([&](CBoreSheet& sheet) {
        typeInto(sheet.page(0)->soilTypeField(1), qs("x"));
        shell.answers.push_back(Answer::Yes);
        escape(sheet);
        EXPECT_FALSE(sheet.isVisible());
    });
    EXPECT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(doc.soilCodes[0], 3);
}

TEST_F(BoreSheetTest, SoilTypeFieldsOfferTheCodesWithTheirNames) {
    withEditor([&](CBoreSheet& sheet) {
        QLineEdit* soil = sheet.page(0)->soilTypeField(1);
        QCompleter* completer = soil->completer();
        ASSERT_NE(completer, nullptr);
        completer->setCompletionPrefix(qs("2"));
        QStringList offered;
        for (int i = 0; completer->setCurrentRow(i); ++i)
            offered << completer->currentIndex().data(Qt::DisplayRole).toString();
        EXPECT_EQ(offered.size(), 9);
        EXPECT_EQ(offered.first(), qs(" 2- Clayey Sand (SC)"));
        EXPECT_EQ(offered.last(), qs("28- Silt (ML)"));
        ASSERT_TRUE(completer->setCurrentRow(3));
        EXPECT_EQ(completer->currentCompletion(), qs("23"));
        soil->setText(qs("21"));
    });
    EXPECT_EQ(doc.soilCodes[0], 21);
}

TEST_F(BoreSheetTest, TheSoilListShowsWholeNamesAndAClickOutsideItStillLands) {
    numberedLog(3);
    bool closedByOk = false;
    shell.dialogActs.push_back([&](QDialog& dialog) {
        auto* sheet = qobject_cast<CBoreSheet*>(&dialog);
        ASSERT_NE(sheet, nullptr) << "no editor";
        EXPECT_TRUE(QTest::qWaitForWindowActive(sheet));
        CBlowPage* page = sheet->page(0);
        QLineEdit* soil = page->soilTypeField(1);
        QAbstractItemView* list = soil->completer()->popup();
        typeInto(soil, qs("3"));
        if (!QTest::qWaitFor([&] { return list->isVisible(); }, 2000)) {
            ADD_FAILURE() << "no list of soil codes";
            sheet->done(QDialog::Rejected);
            return;
        }
        EXPECT_GE(list->viewport()->width(), list->sizeHintForColumn(0));
        EXPECT_GT(list->width(), soil->width());

        // Clicks go through the window, as the window system delivers them, so the list sees
        // them first. One on another field closes the list and reaches the field.
        const auto clickThroughWindow = [sheet](QWidget* target) {
            QTest::mouseClick(sheet->windowHandle(), Qt::LeftButton, {},
                              target->mapTo(sheet, target->rect().center()));
        };
        QLineEdit* depth = page->depthField(16);
        int pressed = 0;
        PressCounter counter(depth, pressed);
        clickThroughWindow(depth);
        EXPECT_FALSE(list->isVisible());
        EXPECT_EQ(pressed, 1);
        EXPECT_EQ(soil->text(), qs("3"));

        // One on OK with the list open is OK. (The offscreen platform leaves the activation with
        // the list when it goes; a window system gives it back to the editor.)
        sheet->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(sheet));
        typeInto(soil, qs("3"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, 2000));
        clickThroughWindow(
            sheet->findChild<QDialogButtonBox*>(qs("buttons"))->button(QDialogButtonBox::Ok));
        closedByOk = !sheet->isVisible();
        if (!closedByOk) sheet->done(QDialog::Rejected);
    });
    click(field<QAbstractButton>("boringLog"));
    EXPECT_TRUE(closedByOk);
    EXPECT_EQ(doc.soilCodes[0], 3);
}

} // namespace
} // namespace zenka::test

namespace zenka::test {
namespace {

class BoreSheetPasteTest : public BoreSheetTest {
protected:
    static void ctrl(QLineEdit* field, Qt::Key key) {
        field->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(field, key, Qt::ControlModifier);
    }
    static QString clip() { return QGuiApplication::clipboard()->text(); }
    static void setClip(const char* text) { QGuiApplication::clipboard()->setText(qs(text)); }
};

TEST_F(BoreSheetPasteTest, RowsFillTheFocusedRowAndTheOnesBelowAcrossPages) {
    numberedLog(50);
    withEditor([&](CBoreSheet& sheet) {
        CBlowPage* first = sheet.page(0);
        first->depthField(2)->setText(qs("2.25")); // typed, not yet in the working log
        setClip("Depth (m)\tN\tSoil\r\n10\t5\t1\r\n11;6;22\r\n12   7   0\r\n\r\n");
        // Any field of the row: the rows go in from its depth on.
        ctrl(first->blowCountField(44), Qt::Key_V);
        EXPECT_EQ(first->depthField(43)->text(), qs("43"));
        EXPECT_EQ(first->depthField(44)->text(), qs("10"));
        EXPECT_EQ(first->blowCountField(44)->text(), qs("5"));
        EXPECT_EQ(first->soilTypeField(44)->text(), qs("1"));
        EXPECT_EQ(first->soilTypeField(45)->text(), qs("22"));
        EXPECT_EQ(first->depthField(2)->text(), qs("2.25"));
        EXPECT_EQ(sheet.focusWidget(), first->blowCountField(44));
        const WorkingLog& log = sheet.workingLog();
        EXPECT_EQ(log.depths[1], 2.25);
        EXPECT_EQ(log.depths[43], 10);
        EXPECT_EQ(log.blowCounts[44], 6);
        EXPECT_EQ(log.depths[45], 12);
        EXPECT_EQ(log.blowCounts[45], 7);
        EXPECT_EQ(log.soilCodes[45], 0);
        // Nothing behind the pasted rows moved.
        EXPECT_EQ(log.depths[46], 47);
        EXPECT_EQ(log.blowCounts[46], 57);
        EXPECT_EQ(log.soilCodes[46], 3);
        sheet.tabs()->setCurrentIndex(1);
        EXPECT_EQ(sheet.page(1)->depthField(46)->text(), qs("12"));
        EXPECT_EQ(sheet.page(1)->depthField(47)->text(), qs("47"));
    });
    EXPECT_EQ(doc.depths[43], 10);
    EXPECT_EQ(doc.soilCodes[44], 22);
    EXPECT_EQ(doc.depths[45], 12);
    EXPECT_EQ(doc.depths[50], 51);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_THAT(shell.messages, IsEmpty());
}

TEST_F(BoreSheetPasteTest, UndoTakesBackThePastedRowsAndKeepsWhatWasTypedElsewhere) {
    numberedLog(50);
    const ProjectValues before = doc.values();
    withEditor([&](CBoreSheet& sheet) {
        CBlowPage* page = sheet.page(0);
        const WorkingLog& log = sheet.workingLog();
        setClip("10\t5\t1\n11\t6\t22\n");
        ctrl(page->depthField(3), Qt::Key_V);
        typeInto(page->depthField(20), qs("19.5")); // after the paste, elsewhere
        // Typed in the field itself: its own undo first.
        typeInto(page->blowCountField(3), qs("8"));
        ctrl(page->blowCountField(3), Qt::Key_Z);
        EXPECT_EQ(page->blowCountField(3)->text(), qs("5"));
        EXPECT_EQ(page->depthField(3)->text(), qs("10"));
        // Nothing more of its own: the paste goes back, the typing elsewhere stays.
        ctrl(page->blowCountField(3), Qt::Key_Z);
        EXPECT_EQ(page->depthField(3)->text(), qs("3"));
        EXPECT_EQ(page->soilTypeField(4)->text(), qs("3"));
        EXPECT_EQ(log.depths[2], before.depths[2]);
        EXPECT_EQ(log.soilCodes[3], before.soilCodes[3]);
        EXPECT_EQ(page->depthField(20)->text(), qs("19.5"));
        EXPECT_EQ(log.depths[19], 19.5);
        ctrl(page->depthField(1), Qt::Key_Y);
        EXPECT_EQ(page->depthField(3)->text(), qs("10"));
        EXPECT_EQ(page->soilTypeField(4)->text(), qs("22"));
        EXPECT_EQ(page->depthField(20)->text(), qs("19.5"));
    });
    EXPECT_EQ(doc.depths[2], 10);
    EXPECT_EQ(doc.soilCodes[3], 22);
    // The editor's OK is one step of the project's history.
    frame->undoAction()->trigger();
    EXPECT_TRUE(doc.values() == before);
    EXPECT_THAT(shell.messages, IsEmpty());
}

TEST_F(BoreSheetPasteTest, RefusedRowsPasteNothing) {
    numberedLog(50);
    struct Case {
        const char* text;
        int page;
        int entry;
        const char* message;
    };
    const Case cases[] = {
        {"1\t2\t3\n4\tx\t3", 0, 1, "Pasted row 2 (entry 2), blow count: please enter a number."},
        {"1\t2\t3\n4\t5\t3.5", 0, 44,
         "Pasted row 2 (entry 45), soil type: please enter an integer."},
        {"1\t2\n", 0, 1,
         "Pasted row 1 (entry 1): each pasted row needs a depth, a blow count and a soil type."},
        {"1\t2\t3\n4\t5\t0", 4, 225,
         "Only 1 row fits from entry 225 to entry 225: nothing was pasted."},
    };
    withEditor(
        [&](CBoreSheet& sheet) {
            for (const Case& c : cases) {
                shell.messages.clear();
                sheet.tabs()->setCurrentIndex(c.page);
                const WorkingLog before = sheet.workingLog();
                QLineEdit* field = sheet.page(c.page)->soilTypeField(c.entry);
                const QString shown = field->text();
                setClip(c.text);
                ctrl(field, Qt::Key_V);
                EXPECT_THAT(shell.messageTexts(), ElementsAre(c.message)) << c.text;
                EXPECT_EQ(field->text(), shown) << c.text;
                EXPECT_EQ(sheet.page(c.page)->depthField(c.entry)->text(),
                          qs(c.entry <= 50 ? std::to_string(c.entry).c_str() : "0"));
                EXPECT_EQ(sheet.workingLog().depths, before.depths) << c.text;
                EXPECT_EQ(sheet.workingLog().soilCodes, before.soilCodes) << c.text;
            }
            // A page field the reading refuses stops the paste as well.
            sheet.tabs()->setCurrentIndex(0);
            shell.messages.clear();
            sheet.page(0)->blowCountField(30)->setText(qs("abc"));
            setClip("1\t2\t3");
            ctrl(sheet.page(0)->depthField(1), Qt::Key_V);
            EXPECT_THAT(shell.messageTexts(), ElementsAre(kEnterNumber));
            EXPECT_EQ(sheet.page(0)->depthField(1)->text(), qs("1"));
            EXPECT_EQ(sheet.focusWidget(), sheet.page(0)->blowCountField(30));
            shell.answers.push_back(Answer::Yes);
        },
        false);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(BoreSheetPasteTest, OneValuePastesIntoTheFieldAsUsual) {
    numberedLog(5);
    withEditor(
        [&](CBoreSheet& sheet) {
            QLineEdit* field = sheet.page(0)->blowCountField(3);
            field->setFocus(Qt::OtherFocusReason);
            field->selectAll();
            setClip("27.5");
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(field->text(), qs("27.5"));
            EXPECT_EQ(sheet.page(0)->depthField(3)->text(), qs("3"));
            EXPECT_EQ(sheet.page(0)->depthField(4)->text(), qs("4"));
            EXPECT_THAT(shell.messages, IsEmpty());
            shell.answers.push_back(Answer::Yes);
        },
        false);
}

TEST_F(BoreSheetPasteTest, CopyTakesTheRowsFromTheFocusedOneToTheEndOfTheLog) {
    numberedLog(50);
    withEditor(
        [&](CBoreSheet& sheet) {
            sheet.page(0)->depthField(43)->setText(qs("43.5"));
            ctrl(sheet.page(0)->soilTypeField(43), Qt::Key_C);
            // The page ends before the log does.
            EXPECT_EQ(clip(), qs("43.5\t53\t3\n44\t54\t3\n45\t55\t3\n"));
            sheet.tabs()->setCurrentIndex(1);
            CBlowPage* second = sheet.page(1);
            ctrl(second->depthField(49), Qt::Key_C);
            EXPECT_EQ(clip(), qs("49\t59\t3\n50\t60\t3\n51\t0\t0\n"));
            // Behind the end of the log: that row alone.
            ctrl(second->blowCountField(60), Qt::Key_C);
            EXPECT_EQ(clip(), qs("0\t0\t0\n"));
            // A text selection is copied as text.
            QLineEdit* depth = second->depthField(47);
            depth->setFocus(Qt::OtherFocusReason);
            depth->selectAll();
            QTest::keyClick(depth, Qt::Key_C, Qt::ControlModifier);
            EXPECT_EQ(clip(), qs("47"));
            // What was copied pastes back as the same rows.
            ctrl(second->depthField(49), Qt::Key_C);
            ctrl(second->depthField(70), Qt::Key_V);
            EXPECT_EQ(second->depthField(70)->text(), qs("49"));
            EXPECT_EQ(second->blowCountField(71)->text(), qs("60"));
            EXPECT_EQ(second->depthField(72)->text(), qs("51"));
            // A field that holds no number is named, and the clipboard keeps what it had.
            second->blowCountField(48)->setText(qs("x"));
            ctrl(second->depthField(46), Qt::Key_C);
            EXPECT_THAT(shell.messageTexts(), ElementsAre(kEnterNumber));
            EXPECT_EQ(sheet.focusWidget(), second->blowCountField(48));
            EXPECT_EQ(clip(), qs("49\t59\t3\n50\t60\t3\n51\t0\t0\n"));
            shell.answers.push_back(Answer::Yes);
        },
        false);
}

} // namespace
} // namespace zenka::test
