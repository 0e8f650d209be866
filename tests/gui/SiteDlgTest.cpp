#include "GuiSupport.h"
#include "SiteFixtures.h"

#include "forms/SiteDlg.h"
#include "import/DataFormats.h"
#include "project/FileCommands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

#include <gmock/gmock.h>

namespace zenka::test {
namespace {

using ::testing::HasSubstr;

class SiteDlgTest : public MainFrameTest {
protected:
    TempDir dir;
    std::string data = dir.file("site.ags");
    std::string templ = dir.file("t.in");
    dataimport::DataFile file;

    void SetUp() override {
        MainFrameTest::SetUp();
        writeText(data, siteAgs(3));
        writeText(templ, siteTemplate());
        file = dataimport::readDataFile(data);
        ASSERT_EQ(file.error, "");
    }

    std::unique_ptr<CSiteDlg> dialog() {
        return std::make_unique<CSiteDlg>(file, data, siteTemplate(), templ, "t.in", shell);
    }

    static QTableWidget* table(QWidget* dlg, const char* name) {
        return child<QTableWidget>(dlg, name);
    }
    static std::vector<bool> ticks(QWidget* dlg) {
        std::vector<bool> out;
        QTableWidget* t = table(dlg, "boreholes");
        for (int r = 0; r < t->rowCount(); ++r)
            out.push_back(t->item(r, 0)->checkState() == Qt::Checked);
        return out;
    }
    static QComboBox* code(QWidget* dlg, int row) {
        return qobject_cast<QComboBox*>(table(dlg, "classifications")->cellWidget(row, 3));
    }
    // Every classification given a code: clean sand.
    static void codeEverything(QWidget* dlg) {
        for (int r = 0; r < table(dlg, "classifications")->rowCount(); ++r)
            code(dlg, r)->setCurrentIndex(code(dlg, r)->findData(3));
    }
    static QString status(QWidget* dlg) { return child<QLabel>(dlg, "status")->text(); }
    static bool canSave(QWidget* dlg) { return child<QPushButton>(dlg, "savePdf")->isEnabled(); }
};

TEST_F(SiteDlgTest, TheTicksTheCodesAndQDecideWhetherThePdfCanBeSaved) {
    const auto dlg = dialog();
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    // Those with SPT tests are ticked to start with; NT1 has none.
    EXPECT_EQ(ticks(dlg.get()), (std::vector<bool>{true, true, true, false}));
    QTableWidget* classes = table(dlg.get(), "classifications");
    ASSERT_EQ(classes->rowCount(), 2);
    EXPECT_EQ(classes->item(0, 1)->text(), qs("3")); // a test of each borehole in the clay
    codeEverything(dlg.get());
    typeInto(child<QLineEdit>(dlg.get(), "required"), qs("40"));
    EXPECT_TRUE(canSave(dlg.get())) << status(dlg.get()).toStdString();
    EXPECT_EQ(dlg->required(), 40);

    struct Step {
        const char* what;
        std::function<void()> act;
        bool canSave;
        const char* status;
    };
    const Step steps[] = {
        {"a classification without a code", [&] { code(dlg.get(), 0)->setCurrentIndex(0); }, false,
         "Choose a soil code for every classification in use (1 without)."},
        {"its code chosen again",
         [&] { code(dlg.get(), 0)->setCurrentIndex(code(dlg.get(), 0)->findData(21)); }, true,
         "Ready: 3 borehole(s)."},
        {"no borehole ticked", [&] { click(child<QPushButton>(dlg.get(), "checkNone")); }, false,
         "Tick the boreholes to analyse."},
        // The codes chosen stay while boreholes come and go.
        {"those with tests again", [&] { click(child<QPushButton>(dlg.get(), "checkWithTests")); },
         true, "Ready: 3 borehole(s)."},
        {"one borehole unticked",
         [&] { table(dlg.get(), "boreholes")->item(1, 0)->setCheckState(Qt::Unchecked); }, true,
         "Ready: 2 borehole(s)."},
        {"no Q", [&] { typeInto(child<QLineEdit>(dlg.get(), "required"), {}); }, false,
         "Enter the required capacity Q"},
        {"Q not asked for", [&] { click(child<QCheckBox>(dlg.get(), "useRequired")); }, true,
         "Ready: 2 borehole(s)."},
        {"a hammer factor out of range",
         [&] { typeInto(child<QLineEdit>(dlg.get(), "hammerFactor"), qs("40")); }, false,
         "Enter a hammer factor"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(canSave(dlg.get()), s.canSave);
        EXPECT_THAT(status(dlg.get()).toStdString(), HasSubstr(s.status));
    }
    EXPECT_EQ(code(dlg.get(), 0)->currentData().toInt(), 21);
    EXPECT_EQ(dlg->chosen().size(), 2u);
    EXPECT_FALSE(dlg->required());
}

TEST_F(SiteDlgTest, TheMenuCommandWritesThePdfButNeverOverItsSources) {
    shell.openChoices.push_back(templ);
    ASSERT_TRUE(OpenProject(doc, shell));
    // After the import command in the File menu.
    QMenu* fileMenu = frame->menuBar()->findChildren<QMenu*>().value(0);
    ASSERT_NE(fileMenu, nullptr);
    const QList<QAction*> actions = fileMenu->actions();
    const auto at = std::find_if(actions.begin(), actions.end(), [](QAction* a) {
        return a->objectName() == qs("siteSummaryAction");
    });
    ASSERT_NE(at, actions.end());
    ASSERT_NE(at, actions.begin());
    EXPECT_EQ((*(at - 1))->text(), qs("&Import Boring Log..."));
    EXPECT_EQ((*at)->text(), qs("Site S&ummary..."));

    const std::string pdf = dir.file("site summary.pdf");
    shell.openChoices.push_back(data);
    // The project, then the data file, are refused as the PDF's name; then one that is free.
    shell.saveChoices = {templ, data, pdf};
    bool ran = false;
    shell.dialogActs.push_back([&](QDialog& modal) {
        auto* dlg = qobject_cast<CSiteDlg*>(&modal);
        ASSERT_NE(dlg, nullptr);
        EXPECT_THAT(child<QLabel>(dlg, "templateLabel")->toolTip().toStdString(),
                    HasSubstr("t.in"));
        codeEverything(dlg);
        typeInto(child<QLineEdit>(dlg, "required"), qs("40"));
        click(child<QPushButton>(dlg, "savePdf"));
        EXPECT_EQ(dlg->written(), pdf);
        EXPECT_THAT(status(dlg).toStdString(), HasSubstr("Last written: " + pdf));
        ran = true;
        dlg->reject();
    });
    const std::string dataBefore = readFile(data), templBefore = readFile(templ);
    (*at)->trigger();
    EXPECT_TRUE(ran);
    EXPECT_EQ(readFile(data), dataBefore);
    EXPECT_EQ(readFile(templ), templBefore);
    EXPECT_EQ(readFile(pdf).compare(0, 5, "%PDF-"), 0);
    const std::vector<std::string> said = shell.messageTexts();
    ASSERT_EQ(said.size(), 2u);
    EXPECT_THAT(said[0], HasSubstr("Choose another name for the PDF."));
    EXPECT_THAT(said[1], HasSubstr("site.ags"));
}

// Opening the site summary on a new project leaves its unit system not chosen: picking English
// afterwards still converts nothing.
TEST_F(SiteDlgTest, TheTemplateIsTakenWithoutChangingTheProject) {
    ASSERT_EQ(doc.units, Units::NotChosen);
    doc.pileWidths[0] = 18;
    doc.notifyChanged();
    shell.openChoices.push_back(data);
    bool ran = false;
    shell.dialogActs.push_back([&](QDialog& modal) {
        ran = qobject_cast<CSiteDlg*>(&modal) != nullptr;
        modal.reject();
    });
    frame->findChild<QAction*>(qs("siteSummaryAction"))->trigger();
    ASSERT_TRUE(ran);
    EXPECT_EQ(doc.units, Units::NotChosen);
    clickRadio("unitEnglish");
    EXPECT_EQ(doc.units, Units::English);
    EXPECT_EQ(doc.pileWidths[0], 18);
}

TEST_F(SiteDlgTest, CancellingTheAnalysisWritesNothing) {
    const auto dlg = dialog();
    codeEverything(dlg.get());
    typeInto(child<QLineEdit>(dlg.get(), "required"), qs("40"));
    const std::string pdf = dir.file("cancelled.pdf");
    shell.saveChoices = {pdf};
    dlg->show();
    // The person presses Cancel as soon as the progress shows.
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<QProgressDialog*>(w)) p->cancel();
    });
    EXPECT_FALSE(dlg->savePdf());
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_EQ(status(dlg.get()), qs("Cancelled: nothing was written."));
}

// Tab goes from control to control, not from cell to cell, and through the soil codes row by
// row; an id of 60 characters leaves the columns beside it in sight.
TEST_F(SiteDlgTest, TabGoesRoundTheControlsAndALongIdLeavesTheColumnsInSight) {
    const std::string longId = "BRIDGE-" + std::string(46, 'X') + "-PIER-2";
    std::string text = siteAgs(3);
    for (std::size_t at = 0; (at = text.find("\"BH2\"", at)) != std::string::npos;)
        text.replace(at, 5, "\"" + longId + "\"");
    writeText(data, text);
    file = dataimport::readDataFile(data);
    ASSERT_EQ(file.error, "");
    const auto dlg = dialog();
    dlg->resize(1000, 600);
    dlg->show();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));

    QTableWidget* boreholes = table(dlg.get(), "boreholes");
    boreholes->setFocus();
    QTest::keyClick(boreholes, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), qs("checkWithTests"));
    QTableWidget* classes = table(dlg.get(), "classifications");
    ASSERT_GE(classes->rowCount(), 2);
    classes->setFocus();
    for (int r = 0; r < classes->rowCount(); ++r) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), code(dlg.get(), r)) << "row " << r;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), qs("hammerFactor"));
    // Ticking the boreholes again makes the code boxes anew: still in their rows.
    child<QPushButton>(dlg.get(), "checkWithTests")->click();
    classes->setFocus();
    QTest::keyClick(classes, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), code(dlg.get(), 0));

    const int seen = boreholes->viewport()->width();
    EXPECT_LT(boreholes->columnViewportPosition(2), seen) << "the test counts are out of sight";
    EXPECT_LE(boreholes->columnViewportPosition(1) + boreholes->columnWidth(1), seen);
    EXPECT_EQ(boreholes->item(1, 0)->toolTip(), qs(longId.c_str()));
}

TEST_F(SiteDlgTest, TheDialogFitsTheScreen) {
    const auto dlg = dialog();
    // Made as small as it goes, Q and the hammer factor still show the numbers they take.
    dlg->show();
    dlg->resize(dlg->minimumSizeHint());
    QApplication::processEvents();
    const std::pair<const char*, const char*> fields[] = {{"required", "1234567.89"},
                                                          {"hammerFactor", "10.000"}};
    for (const auto& [name, widest] : fields) {
        auto* field = child<QLineEdit>(dlg.get(), name);
        EXPECT_GE(field->width(), field->fontMetrics().horizontalAdvance(qs(widest))) << name;
    }
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_LE(dlg->width(), screen.width());
    EXPECT_LE(dlg->height(), screen.height());
    EXPECT_LE(dlg->minimumSizeHint().width(), screen.width());
    EXPECT_LE(dlg->minimumSizeHint().height(), screen.height());
}

} // namespace
} // namespace zenka::test
