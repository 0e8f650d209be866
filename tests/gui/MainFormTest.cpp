#include "GuiSupport.h"

#include "support/Projects.h"
#include "support/TempDir.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLayout>
#include <QRadioButton>

#include <gmock/gmock.h>

#include <iterator>
#include <type_traits>
#include <variant>

namespace zenka::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using MainFormTest = MainFrameTest;

TEST_F(MainFormTest, ANewProjectShowsOnlyTheFixedControlsInMetric) {
    EXPECT_TRUE(field<QRadioButton>("unitMetric")->isChecked());
    for (const char* name : {"unitEnglish", "projectNumber", "jobName", "engineer", "boringDate",
                             "boringNumber", "station", "waterTable", "analysisSpecific",
                             "analysisRange", "shapeSquare", "shapeCylinder", "boringLog"})
        EXPECT_TRUE(shown(name)) << name;
    for (const char* name : {"unitWeight", "groundElevation", "width1", "length1", "minLength",
                             "pipeOpen", "pileDataFrame", "lengthsFrame", "rangeFrame"})
        EXPECT_FALSE(shown(name)) << name;
    EXPECT_EQ(text("waterTable"), qs("0"));
    EXPECT_FALSE(doc.IsModified());

    // The first unit choice converts nothing and only sets the unit system.
    doc.groundElevation = 10;
    doc.notifyChanged();
    clickRadio("unitEnglish");
    EXPECT_EQ(doc.units, 1);
    EXPECT_EQ(doc.groundElevation, 10);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(MainFormTest, ShapeAndAnalysisLayoutsShowTheirFieldsInTheCurrentUnits) {
    clickRadio("shapePipe");
    EXPECT_EQ(doc.pileShape, 3);
    for (const char* name : {"unitWeight", "groundElevation", "pipeThickness", "pipeOpen",
                             "pipeClosed", "width1", "width5"})
        EXPECT_TRUE(shown(name)) << name;
    EXPECT_FALSE(shown("hPileDepth"));
    EXPECT_TRUE(captionShown("Thickness of Pipe Pile (mm)"));
    EXPECT_FALSE(captionShown("Thickness of Pipe Pile (in)"));
    EXPECT_TRUE(captionShown("Pile Widths (mm)"));

    clickRadio("shapeCylinder");
    EXPECT_TRUE(shown("pipeThickness"));
    EXPECT_FALSE(shown("pipeOpen"));
    EXPECT_FALSE(shown("pipeTypeFrame"));

    clickRadio("shapeRound");
    EXPECT_FALSE(shown("pipeThickness"));
    EXPECT_FALSE(captionShown("Thickness of Pipe Pile (mm)"));
    EXPECT_TRUE(shown("width5"));

    clickRadio("analysisSpecific");
    EXPECT_EQ(doc.analysisType, 1);
    EXPECT_TRUE(shown("length1"));
    EXPECT_TRUE(shown("length10"));
    EXPECT_FALSE(shown("length11"));
    EXPECT_TRUE(captionShown("Pile Lengths (m)"));
    EXPECT_FALSE(shown("minLength"));

    clickRadio("analysisRange");
    EXPECT_EQ(doc.analysisType, 2);
    EXPECT_FALSE(shown("length1"));
    EXPECT_FALSE(captionShown("Pile Lengths (m)"));
    EXPECT_TRUE(shown("minLength"));
    EXPECT_TRUE(captionShown("Minimum Pile Length (m)"));
    EXPECT_FALSE(captionShown("Minimum Pile Length (ft)"));

    // English relabels through the conversion's reload.
    clickRadio("unitEnglish");
    clickRadio("unitMetric");
    clickRadio("unitEnglish");
    EXPECT_TRUE(captionShown("Minimum Pile Length (ft)"));
    EXPECT_TRUE(captionShown("Maximum Pile Length (ft)"));
    EXPECT_TRUE(captionShown("Pile Length Increment (ft)"));
    EXPECT_TRUE(captionShown("Unit Weight (lb/ft3)"));
    EXPECT_TRUE(captionShown("Ground Surface Elevation (ft)"));
    EXPECT_TRUE(captionShown("Pile Widths (in)"));
    EXPECT_FALSE(captionShown("Pile Widths (mm)"));
    clickRadio("shapeH");
    EXPECT_TRUE(captionShown("Depth of H Pile Section (in)"));
    EXPECT_TRUE(captionShown("True End Area of H Pile (in2)"));

    // New hides everything a layout can show, whatever was chosen.
    doc.SetModified(false);
    frame->onFileNew();
    for (const char* name :
         {"unitWeight", "hPileDepth", "width1", "minLength", "rangeFrame", "pileDataFrame"})
        EXPECT_FALSE(shown(name)) << name;
    EXPECT_FALSE(field<QRadioButton>("shapeH")->isChecked());
    EXPECT_FALSE(field<QRadioButton>("analysisRange")->isChecked());
    EXPECT_TRUE(shown("shapeH"));
}

TEST_F(MainFormTest, EnglishToMetricToEnglishConvertsAndKeepsTheWaterTable) {
    clickRadio("unitEnglish");
    clickRadio("shapeSquare");
    type("groundElevation", "10");
    type("waterTable", "-6");
    doc.SetModified(false);

    clickRadio("unitMetric");
    EXPECT_EQ(doc.units, 2);
    EXPECT_EQ(doc.groundElevation, 3.048);
    EXPECT_EQ(text("groundElevation"), qs("3.048"));
    EXPECT_EQ(doc.waterTable, -6);
    EXPECT_EQ(text("waterTable"), qs("-6"));
    EXPECT_TRUE(captionShown("Ground Surface Elevation (m)"));
    EXPECT_TRUE(doc.IsModified());

    doc.SetModified(false);
    clickRadio("unitEnglish");
    EXPECT_EQ(doc.units, 1);
    EXPECT_EQ(doc.groundElevation, 10);
    EXPECT_EQ(text("groundElevation"), qs("10"));
    EXPECT_EQ(doc.waterTable, -6);
    EXPECT_TRUE(doc.IsModified());

    // The system the project already has converts nothing.
    clickRadio("unitEnglish");
    EXPECT_EQ(doc.groundElevation, 10);
}

TEST_F(MainFormTest, SteelHAfterSquareKeepsTheHiddenWidthsAndTheCountsFollowTheFields) {
    clickRadio("shapeSquare");
    const char* widths[] = {"width1", "width2", "width3", "width4", "width5"};
    const char* values[] = {"12", "14", "16", "18", "20"};
    for (int i = 0; i < 5; ++i) type(widths[i], values[i]);
    EXPECT_EQ(doc.widthCount, 5);
    clickRadio("shapeH");
    EXPECT_EQ(doc.pileShape, 4);
    EXPECT_TRUE(shown("width1"));
    EXPECT_FALSE(shown("width2"));
    type("width1", "13");
    EXPECT_THAT(doc.pileWidths, ElementsAre(13, 14, 16, 18, 20));
    EXPECT_EQ(doc.widthCount, 5);

    clickRadio("shapeSquare");
    type("width1", "0");
    EXPECT_EQ(doc.widthCount, 0);

    clickRadio("analysisSpecific");
    type("length1", "10");
    type("length3", "30");
    EXPECT_EQ(doc.lengthCount, 1);
    type("length2", "20");
    EXPECT_EQ(doc.lengthCount, 3);
}

TEST_F(MainFormTest, WaterTableShowsWhereItLiesAndKeepsTheSignTyped) {
    // The caption says what the sign means and names no unit: a unit switch keeps the number.
    EXPECT_TRUE(captionShown("Water Table Height relative to Ground Surface\n(+ above, - below)"));
    struct Case {
        double loaded;
        const char* shown;
        const char* typed;
        double stored;
    };
    for (const Case& c : {Case{5.0, "5", "7", 7.0}, Case{-5.85, "-5.85", "-2.5", -2.5},
                          Case{0.0, "0", "-0", 0.0}, Case{-4.0, "-4", "0.3", 0.3}}) {
        doc.waterTable = c.loaded;
        doc.notifyChanged();
        doc.SetModified(false);
        EXPECT_EQ(text("waterTable"), qs(c.shown)) << c.loaded;
        view->storeStep();
        EXPECT_EQ(doc.waterTable, c.loaded);
        EXPECT_FALSE(doc.IsModified()) << c.loaded; // nothing changed
        type("waterTable", c.typed);
        EXPECT_EQ(doc.waterTable, c.stored) << c.typed;
        EXPECT_FALSE(std::signbit(doc.waterTable) && c.stored == 0) << c.typed;
        EXPECT_TRUE(doc.IsModified()) << c.typed;
    }

    // A value that reaches the project only with the store step before closing still marks it,
    // so closing asks about it.
    doc.SetModified(false);
    field("waterTable")->setText(qs("-9"));
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(doc.waterTable, -9.0);
    EXPECT_THAT(shell.questions, ElementsAre("Save changes to  ?"));
}

TEST_F(MainFormTest, EveryRowOfTheFieldTableHasItsControls) {
    for (const FormField& f : kFormFields) {
        const QString name = QString::fromLatin1(f.control);
        std::visit(
            [&](auto member) {
                using T = std::remove_reference_t<decltype(std::declval<FormValues&>().*member)>;
                if constexpr (std::is_same_v<T, int>) {
                    auto* group = view->findChild<QButtonGroup*>(name);
                    ASSERT_NE(group, nullptr) << f.control;
                    EXPECT_GE(group->buttons().size(), 2) << f.control;
                } else if constexpr (std::is_same_v<T, bool>) {
                    EXPECT_NE(view->findChild<QCheckBox*>(name), nullptr) << f.control;
                } else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, double>) {
                    EXPECT_NE(view->findChild<QLineEdit*>(name), nullptr) << f.control;
                } else {
                    for (std::size_t i = 1; i <= std::tuple_size_v<T>; ++i)
                        EXPECT_NE(view->findChild<QLineEdit*>(name + QString::number(i)), nullptr)
                            << f.control << i;
                }
            },
            f.value);
    }
    // Typing stores only in the lengths the form offers.
    clickRadio("analysisSpecific");
    type("length10", "12");
    EXPECT_EQ(doc.pileLengths[9], 12);
    // Length 11 is never shown; its edit signal comes as typing would send it.
    field("length11")->setText(qs("13"));
    emit field("length11")->textEdited(qs("13"));
    EXPECT_EQ(doc.pileLengths[10], 0);
    emit field("length10")->textEdited(qs("12"));
    EXPECT_EQ(doc.pileLengths[10], 13); // stored with the next store step
}

TEST_F(MainFormTest, TabGoesOnceRoundTheShownFieldsFromTheProjectNumber) {
    // Typing starts in the project number when the program comes up.
    EXPECT_EQ(frame->focusWidget(), field("projectNumber"));
    clickRadio("shapePipe");
    clickRadio("analysisSpecific");
    field("projectNumber")->setFocus();
    const char* chain[] = {"projectNumber", "jobName", "engineer", "boringDate", "boringNumber",
                           "station", "waterTable", "boringLog", "analysisSpecific", "length1",
                           "length2", "length3", "length4", "length5", "length6", "length7",
                           "length8", "length9", "length10", "shapePipe", "unitWeight",
                           "groundElevation", "pipeThickness", "pipeOpen", "width1", "width2",
                           "width3", "width4", "width5",
                           // Each radio group is one stop, on its checked button.
                           "unitMetric", "projectNumber"};
    for (std::size_t i = 1; i < std::size(chain); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        ASSERT_NE(now, nullptr) << "after " << chain[i - 1];
        EXPECT_EQ(now->objectName(), qs(chain[i])) << "after " << chain[i - 1];
        EXPECT_TRUE(now->isVisible()) << chain[i];
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), field<QWidget>("unitMetric"));

    // A loaded project moves the stops to what it checks.
    doc.analysisType = 2;
    doc.pileShape = 1;
    doc.notifyChanged();
    field<QWidget>("boringLog")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), field<QWidget>("analysisRange"));
    field("maxLength")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), field<QWidget>("shapeSquare"));
}

TEST_F(MainFormTest, GroupsStayWhereTheyAreWhateverTheLayoutsShow) {
    const auto at = [this](const char* name) {
        QWidget* w = field<QWidget>(name);
        for (int i = 0; i < 4; ++i)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        return w->mapTo(view, QPoint(0, 0));
    };
    const QPoint pileData = at("pileFrame");
    const QPoint analysisType = at("analysisFrame");
    for (const char* analysis : {"analysisSpecific", "analysisRange", "analysisSpecific"}) {
        clickRadio(analysis);
        EXPECT_EQ(at("pileFrame"), pileData) << analysis;
        EXPECT_EQ(at("analysisFrame"), analysisType) << analysis;
    }
    clickRadio("shapePipe");
    const QPoint widths = at("widthsFrame");
    const QPoint pipeType = at("pipeTypeFrame");
    for (const char* shape :
         {"shapeSquare", "shapeH", "shapeCylinder", "shapeRound", "shapePipe"}) {
        clickRadio(shape);
        EXPECT_EQ(at("pileFrame"), pileData) << shape;
        EXPECT_EQ(at("widthsFrame"), widths) << shape;
        EXPECT_EQ(at("pipeTypeFrame"), pipeType) << shape;
    }
    clickRadio("unitEnglish");
    EXPECT_EQ(at("widthsFrame"), widths);
    EXPECT_EQ(at("pileFrame"), pileData);
}

TEST_F(MainFormTest, FieldsAreCheckedInOrderWithTheirMessages) {
    clickRadio("shapeH");
    clickRadio("analysisSpecific");
    shell.messages.clear();

    field("width1")->setText(qs("1000000.5"));
    view->storeStep();
    EXPECT_THAT(shell.messageTexts(),
                ElementsAre("Pile Width 1: please enter a number between 0 and 1000000."));
    EXPECT_EQ(frame->focusWidget(), field("width1"));
    EXPECT_EQ(doc.pileWidths[0], 0); // refused: the previous value stays
    type("width1", "1000000");
    EXPECT_EQ(doc.pileWidths[0], 1000000);
    shell.messages.clear();

    type("hPileEndArea", "10000000");
    EXPECT_THAT(shell.messages, IsEmpty());
    EXPECT_EQ(doc.hPileEndArea, 10000000);
    type("hPileEndArea", "10000001");
    EXPECT_THAT(shell.messageTexts(),
                ElementsAre("True End Area of H Pile: please enter a number between 0 and "
                            "10000000."));
    type("hPileEndArea", "0");
    shell.messages.clear();

    // A refused field keeps its value; every other field, before or after it, still reaches the
    // project, and typing elsewhere does not bring its message back.
    type("unitWeight", "150");
    type("length1", "30");
    typeInto(field("groundElevation"), qs("x"));
    EXPECT_THAT(shell.messageTexts(),
                ElementsAre("Ground Surface Elevation: please enter a number."));
    EXPECT_EQ(frame->focusWidget(), field("groundElevation"));
    shell.messages.clear();
    type("length1", "45");
    type("unitWeight", "160");
    EXPECT_THAT(shell.messages, IsEmpty());
    EXPECT_EQ(doc.unitWeight, 160);    // before ground elevation in the order
    EXPECT_EQ(doc.pileLengths[0], 45); // after it
    // A command reads the form and tells of it again.
    view->storeStep();
    EXPECT_THAT(shell.messageTexts(),
                ElementsAre("Ground Surface Elevation: please enter a number."));
    typeInto(field("groundElevation"), qs("12"));
    EXPECT_EQ(doc.groundElevation, 12);
    shell.messages.clear();

    // A text longer than the field, as a file may bring it, is refused when read, naming the
    // field; the rest of the form goes on working.
    doc.projectNumber = std::string(35, 'P');
    doc.jobName = std::string(66, 'J');
    doc.notifyChanged();
    shell.messages.clear();
    type("engineer", "D. E.");
    clickRadio("shapeSquare");
    clickRadio("unitEnglish");
    EXPECT_THAT(shell.messages, IsEmpty());
    EXPECT_EQ(doc.engineer, "D. E.");
    EXPECT_EQ(doc.pileShape, 1);
    EXPECT_TRUE(shown("unitWeight"));
    EXPECT_EQ(doc.jobName, std::string(66, 'J')); // kept as it was, not cut behind the back
    view->storeStep();
    EXPECT_THAT(shell.messageTexts(),
                ElementsAre("Job Name: please enter no more than 50 characters."));
    EXPECT_EQ(frame->focusWidget(), field("jobName"));
    // Typing stops at the limit.
    typeInto(field("boringDate"), QString(60, QLatin1Char('d')));
    EXPECT_EQ(text("boringDate").size(), 30);
}

// The first unit choice on a new project converts nothing: the captions follow it all the same.
TEST_F(MainFormTest, CaptionsFollowTheFirstUnitChoice) {
    struct Case {
        const char* analysis;
        const char* units;
        std::vector<const char*> shown;
        std::vector<const char*> hidden;
    };
    const Case cases[] = {
        {"analysisSpecific",
         "unitEnglish",
         {"Pile Lengths (ft)", "Unit Weight (lb/ft3)", "Pile Widths (in)"},
         {"Pile Lengths (m)", "Unit Weight (kN/m3)", "Pile Widths (mm)"}},
        {"analysisRange",
         "unitEnglish",
         {"Minimum Pile Length (ft)", "Pile Length Increment (ft)"},
         {"Minimum Pile Length (m)", "Pile Length Increment (m)"}},
        {"analysisSpecific",
         "unitMetric",
         {"Pile Lengths (m)", "Pile Widths (mm)"},
         {"Pile Lengths (ft)", "Pile Widths (in)"}},
    };
    for (const Case& c : cases) {
        frame->onFileNew();
        ASSERT_EQ(doc.units, -1);
        clickRadio(c.analysis);
        clickRadio(c.units);
        clickRadio("shapeSquare");
        for (const char* caption : c.shown) EXPECT_TRUE(captionShown(caption)) << caption;
        for (const char* caption : c.hidden) EXPECT_FALSE(captionShown(caption)) << caption;
        doc.SetModified(false);
    }
}

TEST_F(MainFormTest, OpeningAFileShowsItAndLeavesTheProjectUnmodified) {
    TempDir dir;
    fillWorkedCase(doc);
    doc.pileShape = 3;
    doc.pipeThickness = 0.5;
    doc.pipeEnd = 2;
    doc.waterTable = -4;
    doc.notifyChanged();
    shell.saveChoices.push_back(dir.file("pipe.in"));
    frame->onFileSaveAs();
    ASSERT_FALSE(doc.IsModified());

    frame->onFileNew();
    EXPECT_EQ(text("projectNumber"), QString());
    shell.openChoices.push_back(dir.file("pipe.in"));
    frame->onFileOpen();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_THAT(shell.questions, IsEmpty());
    EXPECT_EQ(text("projectNumber"), qs("1234-56"));
    EXPECT_EQ(text("waterTable"), qs("-4"));
    EXPECT_EQ(text("pipeThickness"), qs("0.5"));
    EXPECT_TRUE(field<QRadioButton>("unitEnglish")->isChecked());
    EXPECT_TRUE(field<QRadioButton>("shapePipe")->isChecked());
    EXPECT_TRUE(field<QRadioButton>("pipeClosed")->isChecked());
    EXPECT_TRUE(shown("pipeThickness"));
    EXPECT_TRUE(shown("length1"));
    EXPECT_TRUE(captionShown("Pile Lengths (ft)"));
    EXPECT_EQ(frame->windowTitle(),
              QString::fromStdString(dir.file("pipe.in")) + qs(" - Zenka  Windows Application"));

    // Pipe end: a click stores it at once and marks the project.
    clickRadio("pipeOpen");
    EXPECT_EQ(doc.pipeEnd, 1);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(MainFormTest, TheWaterTableKeepsItsSignThroughTheFile) {
    // Below, above and at the ground: typed, saved in the file's fixed format, opened again.
    TempDir dir;
    fillWorkedCase(doc);
    doc.notifyChanged();
    const std::pair<const char*, const char*> cases[] = {{"-5.85", "watertable=         -5.8500"},
                                                         {"2", "watertable=          2.0000"},
                                                         {"0", "watertable=          0.0000"}};
    for (const auto& [typed, stored] : cases) {
        type("waterTable", typed);
        shell.saveChoices.push_back(dir.file("w.in"));
        frame->onFileSaveAs();
        EXPECT_NE(readFile(dir.file("w.in")).find(stored), std::string::npos) << typed;
        frame->onFileNew();
        shell.openChoices.push_back(dir.file("w.in"));
        frame->onFileOpen();
        EXPECT_EQ(text("waterTable"), qs(typed));
    }
}

TEST_F(MainFormTest, SaveStoresWhatWasTypedLast) {
    TempDir dir;
    fillWorkedCase(doc);
    doc.notifyChanged();
    typeInto(field("waterTable"), qs("-2.5"));
    shell.saveChoices.push_back(dir.file("w.in"));
    frame->onFileSave();
    EXPECT_EQ(doc.waterTable, -2.5);
    EXPECT_NE(readFile(dir.file("w.in")).find("watertable=         -2.5000"), std::string::npos);
    EXPECT_FALSE(doc.IsModified());
}

} // namespace
} // namespace zenka::test
