// Edit > Undo and Redo over the main window's changes of the project.

#include "GuiSupport.h"

#include "forms/BoreSheet.h"
#include "support/Projects.h"
#include "support/TempDir.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <gmock/gmock.h>

namespace zenka::test {
namespace {

using ::testing::ElementsAre;

class UndoTest : public MainFrameTest {
protected:
    QAction* undo() { return frame->undoAction(); }
    QAction* redo() { return frame->redoAction(); }
    bool starred() { return frame->windowTitle().contains(QLatin1Char('*')); }

    // The worked case as an opened file leaves it: saved, nothing to undo.
    void openWorkedCase(TempDir& dir) {
        fillWorkedCase(doc);
        doc.waterTable = -4;
        doc.notifyChanged();
        shell.saveChoices.push_back(dir.file("case.in"));
        frame->onFileSaveAs();
        shell.openChoices.push_back(dir.file("case.in"));
        frame->onFileOpen();
        ASSERT_FALSE(doc.IsModified());
        ASSERT_FALSE(undo()->isEnabled());
    }
};

TEST_F(UndoTest, TypingIsOneStepPerFieldAndUndoShowsTheValuesAndTheMarkAsTheyWere) {
    EXPECT_EQ(undo()->text(), qs("&Undo"));
    EXPECT_FALSE(undo()->isEnabled());
    EXPECT_FALSE(redo()->isEnabled());
    EXPECT_EQ(undo()->shortcut(), QKeySequence(qs("Ctrl+Z")));
    EXPECT_EQ(redo()->shortcuts(),
              QList<QKeySequence>({QKeySequence(qs("Ctrl+Shift+Z")), QKeySequence(qs("Ctrl+Y"))}));

    type("jobName", "Bridge");
    type("waterTable", "-5.85");
    type("jobName", "Bridge 2"); // a field typed in again after another is a step of its own
    EXPECT_EQ(undo()->text(), qs("&Undo Typing in Job Name"));
    EXPECT_TRUE(starred());

    undo()->trigger();
    EXPECT_EQ(text("jobName"), qs("Bridge"));
    EXPECT_EQ(undo()->text(), qs("&Undo Typing in Water Table Height"));
    undo()->trigger();
    EXPECT_EQ(text("waterTable"), qs("0"));
    EXPECT_EQ(doc.waterTable, 0);
    undo()->trigger();
    EXPECT_EQ(doc.jobName, "");
    EXPECT_EQ(text("jobName"), QString());
    EXPECT_FALSE(doc.IsModified()); // as the program started
    EXPECT_FALSE(starred());
    EXPECT_FALSE(undo()->isEnabled());
    EXPECT_EQ(redo()->text(), qs("&Redo Typing in Job Name"));

    // The keys work with the focus in a field, where they would otherwise stay in the field.
    field("engineer")->setFocus();
    QTest::keyClick(field("engineer"), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(text("jobName"), qs("Bridge"));
    QTest::keyClick(field("engineer"), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(text("waterTable"), qs("-5.85"));
    EXPECT_EQ(doc.waterTable, -5.85);
    QTest::keyClick(field("engineer"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc.waterTable, 0);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(starred());
}

TEST_F(UndoTest, AUnitSwitchIsUndoneExactlyWithoutRounding) {
    TempDir dir;
    openWorkedCase(dir);
    ASSERT_EQ(doc.units, Units::English);
    const ProjectValues opened = doc.values();

    click(field<QRadioButton>("unitMetric"));
    EXPECT_EQ(doc.units, Units::Metric);
    EXPECT_NE(doc.depths[1], opened.depths[1]);
    EXPECT_EQ(undo()->text(), qs("&Undo Unit Switch"));

    undo()->trigger();
    EXPECT_TRUE(doc.values() == opened) << "every value back, not converted twice";
    EXPECT_TRUE(field<QRadioButton>("unitEnglish")->isChecked());
    EXPECT_TRUE(captionShown("Pile Lengths (ft)"));
    EXPECT_EQ(text("waterTable"), qs("-4"));
    EXPECT_FALSE(doc.IsModified());

    redo()->trigger();
    EXPECT_EQ(doc.units, Units::Metric);
    EXPECT_TRUE(captionShown("Pile Lengths (m)"));
    EXPECT_TRUE(doc.IsModified());

    // Radio choices are steps too, so undoing past them cannot lose them.
    click(field<QRadioButton>("shapePipe"));
    EXPECT_EQ(doc.pileShape, PileShape::SteelPipe);
    EXPECT_EQ(undo()->text(), qs("&Undo Pile Type"));
    undo()->trigger();
    EXPECT_EQ(doc.pileShape, opened.pileShape);
}

TEST_F(UndoTest, TheEditorsOkIsOneStep) {
    TempDir dir;
    openWorkedCase(dir);
    const ProjectValues opened = doc.values();
    shell.dialogActs.push_back([](QDialog& dialog) {
        auto* sheet = qobject_cast<CBoreSheet*>(&dialog);
        ASSERT_NE(sheet, nullptr);
        typeInto(sheet->page(0)->blowCountField(2), qs("99"));
        typeInto(sheet->page(0)->depthField(3), qs("7.5"));
        click(sheet->findChild<QDialogButtonBox*>(qs("buttons"))->button(QDialogButtonBox::Ok));
    });
    click(field<QAbstractButton>("boringLog"));
    EXPECT_EQ(doc.blowCounts[1], 99);
    EXPECT_EQ(doc.depths[2], 7.5);
    EXPECT_EQ(undo()->text(), qs("&Undo Boring Log"));

    undo()->trigger();
    EXPECT_TRUE(doc.values() == opened);
    EXPECT_FALSE(doc.IsModified());
    redo()->trigger();
    EXPECT_EQ(doc.blowCounts[1], 99);
    EXPECT_EQ(doc.depths[2], 7.5);

    // Cancel changes nothing and adds no step.
    click(field<QAbstractButton>("boringLog"));
    EXPECT_EQ(undo()->text(), qs("&Undo Boring Log"));
    undo()->trigger();
    EXPECT_FALSE(undo()->isEnabled());
}

TEST_F(UndoTest, NewAndOpenClearTheStepsAndNewStillAsks) {
    TempDir dir;
    openWorkedCase(dir);
    type("jobName", "Changed");
    ASSERT_TRUE(undo()->isEnabled());

    shell.answers.push_back(Answer::No);
    frame->onFileNew();
    EXPECT_THAT(shell.questions, ElementsAre("Save changes to " + dir.file("case.in") + " ?"));
    EXPECT_FALSE(undo()->isEnabled());
    EXPECT_EQ(undo()->text(), qs("&Undo"));

    type("jobName", "Other");
    undo()->trigger();
    ASSERT_TRUE(redo()->isEnabled());
    shell.openChoices.push_back(dir.file("case.in"));
    frame->onFileOpen();
    EXPECT_FALSE(undo()->isEnabled());
    EXPECT_FALSE(redo()->isEnabled());
}

TEST_F(UndoTest, AfterASaveUndoMarksTheProjectChangedAgain) {
    TempDir dir;
    openWorkedCase(dir);
    type("jobName", "Saved");
    frame->onFileSave();
    EXPECT_FALSE(starred());
    undo()->trigger(); // the file holds "Saved"
    EXPECT_EQ(text("jobName"), qs("Worked case"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(starred());
    redo()->trigger();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(starred());
}

} // namespace
} // namespace zenka::test
