// File > Import Boring Log: the file dialog, the import dialog and what reaches the project.

#include "forms/ImportDlg.h"
#include "gui/GuiSupport.h"
#include "import/SoilClassification.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <gmock/gmock.h>

namespace zenka::test {
namespace {

using namespace dataimport;
using ::testing::IsEmpty;

// Two boreholes in metres. BH/1 has a ground level, water at 3 m, a stratum ("Grey fill") for
// which no code is proposed and a refusal; BH2 has no ground level.
const char* const kAgs = R"("GROUP","PROJ"
"HEADING","PROJ_ID","PROJ_NAME"
"UNIT","",""
"TYPE","ID","X"
"DATA","P-42","Test Road"
"GROUP","LOCA"
"HEADING","LOCA_ID","LOCA_GL","LOCA_FDEP"
"UNIT","","m","m"
"TYPE","ID","2DP","2DP"
"DATA","BH/1","12.50","10.00"
"DATA","BH2","","6.00"
"GROUP","GEOL"
"HEADING","LOCA_ID","GEOL_TOP","GEOL_BASE","GEOL_DESC"
"UNIT","","m","m",""
"TYPE","ID","2DP","2DP","X"
"DATA","BH/1","0.00","2.00","Grey fill"
"DATA","BH/1","2.00","4.00","Soft grey CLAY"
"DATA","BH/1","4.00","10.00","Dense SAND"
"DATA","BH2","0.00","6.00","Dense SAND"
"GROUP","ISPT"
"HEADING","LOCA_ID","ISPT_TOP","ISPT_NVAL","ISPT_REP"
"UNIT","","m","",""
"TYPE","ID","2DP","0DP","X"
"DATA","BH/1","1.00","4",""
"DATA","BH/1","2.50","6",""
"DATA","BH/1","5.00","30",""
"DATA","BH/1","7.00","","50/270"
"DATA","BH2","1.50","20",""
"DATA","BH2","3.00","25",""
"GROUP","WSTG"
"HEADING","LOCA_ID","WSTG_DPTH"
"UNIT","","m"
"TYPE","ID","2DP"
"DATA","BH/1","3.00"
)";

QString cellText(QTableWidget* t, int row, int column) {
    QTableWidgetItem* item = t->item(row, column);
    return item ? item->text() : QString();
}

// The soil code box of the classification row whose text starts with `text`.
QComboBox* codeBox(QWidget* dlg, const char* text) {
    auto* t = dlg->findChild<QTableWidget*>(qs("classifications"));
    for (int r = 0; t && r < t->rowCount(); ++r)
        if (cellText(t, r, 0).startsWith(qs(text)))
            return qobject_cast<QComboBox*>(t->cellWidget(r, 3));
    ADD_FAILURE() << "no classification " << text;
    return nullptr;
}

void chooseCode(QComboBox* box, int code) {
    box->setCurrentIndex(box->findData(code));
}

QPushButton* okButton(QWidget* dlg) {
    return dlg->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
}

bool listHas(QListWidget* list, const char* part) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().contains(qs(part))) return true;
    return false;
}

class ImportDlgTest : public MainFrameTest {
protected:
    TempDir dir;
    std::string ags = dir.file("site.ags");

    void SetUp() override {
        MainFrameTest::SetUp();
        writeFile(ags, kAgs);
    }

    QAction* importAction() {
        for (QAction* a : frame->findChildren<QAction*>())
            if (a->text() == qs("&Import Boring Log...")) return a;
        ADD_FAILURE() << "no Import Boring Log command";
        return nullptr;
    }

    // Runs the command with `path` chosen in the file dialog and `act` on the import dialog.
    void runImport(const std::string& path, std::function<void(CImportDlg*)> act) {
        shell.openChoices.push_back(path);
        bool ran = false;
        shell.dialogActs.push_back([&](QDialog& modal) {
            auto* dlg = qobject_cast<CImportDlg*>(&modal);
            ASSERT_NE(dlg, nullptr) << "no import dialog";
            act(dlg);
            ran = true;
        });
        importAction()->trigger();
        EXPECT_TRUE(ran) << "no import dialog";
        shell.dialogActs.clear();
    }
};

TEST_F(ImportDlgTest, ChoosingABoreholeUpdatesThePreview) {
    const DataFile file = readDataFile(ags);
    ASSERT_EQ(file.error, "");
    CImportDlg dlg(file, ags, Units::NotChosen);
    auto* boreholes = child<QTableWidget>(&dlg, "boreholes");
    auto* preview = child<QTableWidget>(&dlg, "preview");
    auto* problems = child<QListWidget>(&dlg, "problems");
    ASSERT_EQ(boreholes->rowCount(), 2);
    EXPECT_EQ(cellText(boreholes, 0, 0), qs("BH/1"));
    EXPECT_EQ(cellText(boreholes, 0, 1), qs("12.50 m"));
    EXPECT_EQ(cellText(boreholes, 0, 2), qs("10.00 m"));
    EXPECT_EQ(cellText(boreholes, 0, 4), qs("3.00 m"));
    EXPECT_EQ(cellText(boreholes, 1, 1), qs("-"));

    // BH/1: four tests, the last a refusal scaled to 300 mm, and the bottom of the boring.
    ASSERT_EQ(preview->rowCount(), 5);
    EXPECT_EQ(cellText(preview, 0, 0), qs("1.00"));
    EXPECT_EQ(cellText(preview, 0, 1), qs("4.00"));
    EXPECT_EQ(cellText(preview, 0, 3), qs("-"));     // fill: no code yet
    EXPECT_EQ(cellText(preview, 3, 1), qs("56.00")); // 50 x 300 / 270
    EXPECT_EQ(cellText(preview, 3, 2), qs("refusal"));
    EXPECT_EQ(cellText(preview, 3, 4), qs("Dense SAND"));
    EXPECT_EQ(cellText(preview, 4, 0), qs("10.00"));
    EXPECT_EQ(cellText(preview, 4, 2), qs("end of log"));
    EXPECT_FALSE(child<QWidget>(&dlg, "groundElevation")->isVisibleTo(&dlg));
    EXPECT_FALSE(child<QWidget>(&dlg, "depthUnit")->isVisibleTo(&dlg));
    EXPECT_FALSE(child<QWidget>(&dlg, "keepFirst")->isVisibleTo(&dlg));

    // The hammer factor reaches every N of the preview.
    typeInto(child<QLineEdit>(&dlg, "hammerFactor"), qs("1.5"));
    EXPECT_EQ(cellText(preview, 0, 1), qs("6.00"));
    EXPECT_TRUE(child<QLabel>(&dlg, "hammerSummary")->text().contains(qs("1.5")));

    // BH2: its two tests; no ground level, so a field for it, and the file's word on it listed.
    boreholes->setCurrentCell(1, 0);
    ASSERT_EQ(preview->rowCount(), 3);
    EXPECT_EQ(cellText(preview, 0, 0), qs("1.50"));
    EXPECT_EQ(cellText(preview, 0, 1), qs("30.00")); // the factor stays chosen
    EXPECT_EQ(cellText(preview, 2, 0), qs("6.00"));
    EXPECT_TRUE(child<QWidget>(&dlg, "groundElevation")->isVisibleTo(&dlg));
    EXPECT_TRUE(listHas(problems, "BH2: no ground elevation"));
    EXPECT_EQ(problems->item(0)->text(),
              qs("The file gives no usable ground elevation: enter it."));
    auto* elevation = child<QCheckBox>(&dlg, "replaceElevation");
    EXPECT_FALSE(elevation->isEnabled());
    typeInto(child<QLineEdit>(&dlg, "groundElevation"), qs("7.25"));
    ASSERT_TRUE(dlg.log().groundElevation.has_value());
    EXPECT_EQ(*dlg.log().groundElevation, 7.25);
    EXPECT_TRUE(elevation->isEnabled());
    EXPECT_TRUE(elevation->isChecked());
    EXPECT_TRUE(dlg.flags().groundElevation);
}

TEST_F(ImportDlgTest, ADepthUnitAndTheTestsToKeepAreAskedForWhenNeeded) {
    // 300 tests every 1.5 (feet, as the engineer will say) in a file that names no unit.
    std::string csv = "Depth,N,Soil\n";
    for (int i = 1; i <= 300; ++i)
        csv += std::to_string(i * 1.5) + "," + std::to_string(10 + i % 7) + ",3\n";
    const std::string path = dir.file("long.csv");
    writeFile(path, csv);
    const DataFile file = readDataFile(path);
    ASSERT_EQ(file.error, "");
    CImportDlg dlg(file, path, Units::NotChosen);
    dlg.show(); // clicked below
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    auto* unit = child<QComboBox>(&dlg, "depthUnit");
    auto* preview = child<QTableWidget>(&dlg, "preview");
    EXPECT_TRUE(unit->isVisibleTo(&dlg));
    EXPECT_TRUE(child<QWidget>(&dlg, "keepFirst")->isVisibleTo(&dlg));
    EXPECT_FALSE(okButton(&dlg)->isEnabled());
    EXPECT_EQ(preview->horizontalHeaderItem(0)->text(), qs("Depth (?)"));

    unit->setCurrentIndex(unit->findText(qs("feet")));
    EXPECT_TRUE(okButton(&dlg)->isEnabled());
    EXPECT_EQ(dlg.log().units, Units::English); // the project takes the file's
    EXPECT_EQ(preview->horizontalHeaderItem(0)->text(), qs("Depth (ft)"));
    EXPECT_EQ(dlg.log().testsKept, dataimport::kMaxSamples);
    EXPECT_EQ(preview->rowCount(), dataimport::kMaxSamples + 1);

    // Down to 150 ft: the first 100 tests, closed one test length below the last.
    typeInto(child<QLineEdit>(&dlg, "keepDepth"), qs("150"));
    EXPECT_TRUE(child<QRadioButton>(&dlg, "keepDownTo")->isChecked());
    EXPECT_EQ(dlg.log().testsKept, 100);
    ASSERT_EQ(preview->rowCount(), 101);
    EXPECT_EQ(cellText(preview, 99, 0), qs("150.00"));
    EXPECT_EQ(cellText(preview, 100, 0), qs("151.50"));
    // On its button: the radio may be wider than its text.
    auto* keepFirst = child<QRadioButton>(&dlg, "keepFirst");
    QTest::mouseClick(keepFirst, Qt::LeftButton, {}, QPoint(6, keepFirst->height() / 2));
    EXPECT_EQ(dlg.log().testsKept, dataimport::kMaxSamples);
}

TEST_F(ImportDlgTest, OkWaitsForACodeForEveryClassificationInUse) {
    ASSERT_EQ(proposeSoilCode("Grey fill").code, 0) << "the fixture needs a stratum without one";
    const DataFile file = readDataFile(ags);
    CImportDlg dlg(file, ags, Units::NotChosen);
    QPushButton* ok = okButton(&dlg);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(child<QLabel>(&dlg, "status")->text().contains(qs("1 without")));

    chooseCode(codeBox(&dlg, "Grey fill"), 28);
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(cellText(child<QTableWidget>(&dlg, "preview"), 0, 3), qs("28"));

    // Taking a proposal away stops the import again.
    chooseCode(codeBox(&dlg, "Dense SAND"), 0);
    EXPECT_FALSE(ok->isEnabled());
    chooseCode(codeBox(&dlg, "Dense SAND"), 3);
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(cellText(child<QTableWidget>(&dlg, "preview"), 2, 3), qs("3"));
}

// Tab leaves each table for the next control; the soil code boxes are stops in their rows.
TEST_F(ImportDlgTest, TabLeavesTheTablesAndStopsAtEachSoilCode) {
    const DataFile file = readDataFile(ags);
    CImportDlg dlg(file, ags, Units::NotChosen);
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    for (const char* name : {"boreholes", "classifications", "preview"}) {
        auto* t = child<QTableWidget>(&dlg, name);
        t->setFocus();
        QTest::keyClick(t, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), t) << name << " keeps Tab";
    }
    auto* classes = child<QTableWidget>(&dlg, "classifications");
    classes->setFocus();
    QTest::keyClick(classes, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), classes->cellWidget(0, 3));
}

TEST_F(ImportDlgTest, OkWritesTheLogElevationWaterAndIdentification) {
    ASSERT_EQ(doc.units, Units::NotChosen);
    const int soft = proposeSoilCode("Soft grey CLAY").code;
    const int sand = proposeSoilCode("Dense SAND").code;
    ASSERT_NE(soft, 0);
    ASSERT_NE(sand, 0);
    runImport(ags, [](CImportDlg* dlg) {
        chooseCode(codeBox(dlg, "Grey fill"), 24);
        EXPECT_TRUE(dlg->findChild<QCheckBox*>(qs("replaceWater"))->isChecked());
        EXPECT_TRUE(dlg->findChild<QCheckBox*>(qs("replaceIdentification"))->isChecked());
        click(okButton(dlg));
    });
    ASSERT_EQ(shell.openDialogs.size(), 1u);
    EXPECT_EQ(shell.openDialogs[0].filters[2], "AGS3, AGS4 (*.ags)");
    EXPECT_TRUE(shell.messages.empty());

    EXPECT_EQ(doc.units, Units::Metric); // the file's
    const double depths[] = {1.0, 2.5, 5.0, 7.0, 10.0};
    const double n[] = {4, 6, 30, 56, 0};
    const int codes[] = {24, soft, sand, sand, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(doc.depths[i], depths[i]) << i;
        EXPECT_EQ(doc.blowCounts[i], n[i]) << i;
        EXPECT_EQ(doc.soilCodes[i], codes[i]) << i;
    }
    EXPECT_EQ(doc.depths[5], 0);
    EXPECT_EQ(doc.groundElevation, 12.5);
    EXPECT_EQ(doc.waterTable, -3.0);
    EXPECT_EQ(doc.boringNumber, "BH/1");
    EXPECT_EQ(doc.projectNumber, "P-42");
    EXPECT_EQ(doc.jobName, "Test Road");
    EXPECT_TRUE(doc.IsModified());
    // The form reloaded from the project.
    EXPECT_EQ(text("boringNumber"), qs("BH/1"));
    EXPECT_EQ(text("groundElevation").toDouble(), 12.5);
}

TEST_F(ImportDlgTest, WaterBelowTheGroundReadsAsBelowAndTheImportIsUndone) {
    std::string text = kAgs;
    text.replace(text.find(R"("DATA","BH/1","3.00")"), 20, R"("DATA","BH/1","5.85")");
    writeFile(ags, text);
    doc.jobName = "Typed before";
    doc.units = Units::Metric;
    doc.notifyChanged();
    doc.SetModified(false);
    frame->history().clear(); // as opened
    const ProjectValues before = doc.values();
    runImport(ags, [](CImportDlg* dlg) {
        chooseCode(codeBox(dlg, "Grey fill"), 24);
        click(okButton(dlg));
    });
    EXPECT_EQ(doc.waterTable, -5.85);
    EXPECT_EQ(this->text("waterTable"), qs("-5.85"));
    EXPECT_EQ(this->text("jobName"), qs("Test Road"));
    EXPECT_EQ(frame->undoAction()->text(), qs("&Undo Import"));

    frame->undoAction()->trigger();
    EXPECT_TRUE(doc.values() == before) << "log, elevation, water and identification back";
    EXPECT_EQ(this->text("jobName"), qs("Typed before"));
    EXPECT_EQ(this->text("waterTable"), qs("0"));
    EXPECT_FALSE(doc.IsModified());
    frame->redoAction()->trigger();
    EXPECT_EQ(doc.waterTable, -5.85);
    EXPECT_EQ(doc.depths[0], 1.0);
    EXPECT_TRUE(doc.IsModified());

    // A cancelled import is no step.
    runImport(ags, [](CImportDlg* dlg) { dlg->reject(); });
    frame->undoAction()->trigger();
    EXPECT_FALSE(frame->undoAction()->isEnabled());
}

TEST_F(ImportDlgTest, UntickedValuesAndCancelLeaveTheProjectAlone) {
    doc.boringNumber = "B-7";
    doc.groundElevation = 3.5;
    doc.depths[0] = 2;
    doc.notifyChanged();
    doc.SetModified(false);

    runImport(ags, [](CImportDlg* dlg) {
        chooseCode(codeBox(dlg, "Grey fill"), 24);
        EXPECT_TRUE(okButton(dlg)->isEnabled());
        dlg->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.units, Units::NotChosen);
    EXPECT_EQ(doc.depths[0], 2);
    EXPECT_EQ(doc.depths[1], 0);
    EXPECT_EQ(doc.boringNumber, "B-7");
    EXPECT_EQ(doc.groundElevation, 3.5);

    // OK with only the log ticked: the rest stays.
    runImport(ags, [](CImportDlg* dlg) {
        chooseCode(codeBox(dlg, "Grey fill"), 24);
        for (const char* box : {"replaceElevation", "replaceWater", "replaceIdentification"})
            dlg->findChild<QCheckBox*>(qs(box))->setChecked(false);
        click(okButton(dlg));
    });
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.depths[0], 1.0);
    EXPECT_EQ(doc.boringNumber, "B-7");
    EXPECT_EQ(doc.groundElevation, 3.5);
    EXPECT_EQ(doc.waterTable, 0);
    EXPECT_EQ(doc.projectNumber, "");
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(ImportDlgTest, AFileThatCannotBeReadGivesOneMessage) {
    // No dialog may come up.
    const std::string missing = dir.file("gone.ags");
    shell.openChoices.push_back(missing);
    importAction()->trigger();
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_NE(shell.messages[0].text.find(missing), std::string::npos) << shell.messages[0].text;
    EXPECT_EQ(shell.messages[0].kind, MessageKind::Warning);

    const std::string notXml = dir.file("notes.xml");
    writeFile(notXml, "these are notes, not a borehole\n");
    shell.openChoices.push_back(notXml);
    importAction()->trigger();
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_NE(shell.messages[1].text.find(notXml), std::string::npos) << shell.messages[1].text;
    EXPECT_THAT(shell.dialogsRun, IsEmpty());
    EXPECT_FALSE(doc.IsModified());
}

} // namespace
} // namespace zenka::test

namespace zenka::test {
namespace {

// Texts longer than the form's fields arrive cut, the cut told in the dialog, and the form
// goes on working afterwards.
TEST_F(ImportDlgTest, LongTextsAreCutToTheirFields) {
    const std::string job(66, 'J');
    const std::string project = "PROJECT-" + std::string(30, '7');
    std::string bytes = kAgs;
    bytes.replace(bytes.find("\"P-42\",\"Test Road\""), 18, "\"" + project + "\",\"" + job + "\"");
    writeFile(ags, bytes);
    runImport(ags, [&](CImportDlg* dlg) {
        chooseCode(codeBox(dlg, "Grey fill"), 24);
        auto* problems = dlg->findChild<QListWidget*>(qs("problems"));
        EXPECT_TRUE(listHas(problems, ("Job Name has 66 characters, the field holds 50: cut to \"" +
                                       job.substr(0, 50) + "\".")
                                          .c_str()));
        EXPECT_TRUE(listHas(problems, "Project Number has 38 characters, the field holds 30"));
        const QString shown = dlg->findChild<QCheckBox*>(qs("replaceIdentification"))->toolTip();
        EXPECT_TRUE(shown.contains(qs(job.substr(0, 50).c_str())));
        EXPECT_FALSE(shown.contains(qs(job.substr(0, 51).c_str())));
        click(okButton(dlg));
    });
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(doc.jobName, job.substr(0, 50));
    EXPECT_EQ(doc.projectNumber, project.substr(0, 30));
    EXPECT_EQ(text("jobName").size(), 50);
    EXPECT_EQ(field("jobName")->cursorPosition(), 0); // its beginning in view

    type("engineer", "D. E.");
    clickRadio("shapeSquare");
    view->storeStep();
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(doc.engineer, "D. E.");
    EXPECT_TRUE(shown("unitWeight"));
}

} // namespace
} // namespace zenka::test

namespace zenka::test {
namespace {

// However long the file's texts and path, the dialog fits the screen; long texts are cut with
// the whole text in their tool tip.
TEST_F(ImportDlgTest, TheDialogFitsTheScreen) {
    TempDir deep;
    std::string folder = deep.path();
    for (int i = 0; i < 6; ++i) folder += "/a-rather-long-folder-name-" + std::to_string(i);
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/site.ags";
    std::string bytes = kAgs;
    const std::string name = "BH/1-" + std::string(120, 'x');
    for (std::size_t at = bytes.find("\"BH/1\""); at != std::string::npos;
         at = bytes.find("\"BH/1\"", at + 1))
        bytes.replace(at, 6, "\"" + name + "\"");
    bytes.replace(bytes.find("\"Test Road\""), 11, "\"" + std::string(66, 'J') + "\"");
    writeFile(path, bytes);
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    runImport(path, [&](CImportDlg* dlg) {
        EXPECT_LE(dlg->width(), screen.width());
        EXPECT_LE(dlg->height(), screen.height());
        EXPECT_LE(dlg->maximumWidth(), screen.width());
        EXPECT_LE(dlg->minimumSizeHint().width(), screen.width());
        dlg->resize(4000, 4000);
        EXPECT_LE(dlg->width(), screen.width());
        auto* label = dlg->findChild<QLabel*>(qs("fileLabel"));
        EXPECT_TRUE(label->toolTip().contains(QString::fromStdString(path)));
        EXPECT_TRUE(label->text().contains(QChar(0x2026)));
        auto* ids = dlg->findChild<QCheckBox*>(qs("replaceIdentification"));
        EXPECT_TRUE(ids->toolTip().contains(QString::fromStdString(name.substr(0, 30))));
        EXPECT_LT(ids->text().size(), ids->toolTip().size());
        auto* boreholes = dlg->findChild<QTableWidget*>(qs("boreholes"));
        EXPECT_EQ(boreholes->item(0, 0)->toolTip(), QString::fromStdString(name));
        // The log's title fits its box; the tool tip holds it whole.
        auto* preview = dlg->findChild<QGroupBox*>(qs("previewBox"));
        ASSERT_NE(preview, nullptr);
        EXPECT_LE(preview->fontMetrics().horizontalAdvance(preview->title()), preview->width());
        EXPECT_TRUE(preview->toolTip().endsWith(qs(" tests, depths in metres (the file's)")));
        EXPECT_TRUE(preview->toolTip().contains(QString::fromStdString(name)));
        dlg->reject();
    });
}

} // namespace
} // namespace zenka::test
