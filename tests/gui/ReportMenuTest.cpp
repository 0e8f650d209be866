#include "GuiSupport.h"

#include "app/ExportCommands.h"
#include "engine/AnalysisState.h"
#include "project/FileCommands.h"
#include "support/Projects.h"
#include "support/TempDir.h"

#include <QAction>
#include <QPrinter>

#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>

namespace zenka::test {
namespace {

using ::testing::IsEmpty;

class ReportMenuTest : public MainFrameTest {
protected:
    TempDir dir;
    void SetUp() override {
        MainFrameTest::SetUp();
        setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
        fillWorkedCase(doc);
        view->loadStep();
        shell.saveChoices.push_back(dir.file("menu.in"));
        ASSERT_TRUE(SaveProjectAs(doc, shell));
    }
    void TearDown() override {
        unsetenv("SOURCE_DATE_EPOCH");
        MainFrameTest::TearDown();
    }
    QAction* action(const char* name) { return frame->findChild<QAction*>(qs(name)); }
};

TEST_F(ReportMenuTest, ExportAsksForTheFileWithBothPapersThenWritesIt) {
    QAction* exportPdf = action("exportPdfAction");
    ASSERT_TRUE(exportPdf);
    EXPECT_EQ(exportPdf->text(), qs("&Export Report as PDF..."));
    const std::string pdf = dir.file("menu.pdf");
    shell.saveChoices.push_back(pdf);
    exportPdf->trigger();
    EXPECT_THAT(shell.messages, IsEmpty());
    ASSERT_EQ(shell.saveDialogs.size(), 2u);
    EXPECT_EQ(shell.saveDialogs[1].filters, pdfFilters(defaultPaper()));
    EXPECT_EQ(shell.saveDialogs[1].defaultSuffix, "pdf");
    EXPECT_EQ(readFile(pdf).rfind("%PDF-", 0), 0u);
    EXPECT_TRUE(std::filesystem::exists(dir.file("menu.out")));

    // The paper is the kind chosen in the list: the first the default, the second the other.
    const char* const a4 = "/MediaBox [0 0 595.000000 842.000000]";
    const char* const letter = "/MediaBox [0 0 612.000000 792.000000]";
    const bool a4First = defaultPaper() == Paper::A4;
    EXPECT_NE(readFile(pdf).find(a4First ? a4 : letter), std::string::npos);
    const std::string second = dir.file("second.pdf");
    shell.saveChoices.push_back(second);
    shell.saveKinds.push_back(1);
    exportPdf->trigger();
    EXPECT_NE(readFile(second).find(a4First ? letter : a4), std::string::npos);

    // Cancelled: nothing runs.
    std::filesystem::remove(pdf);
    shell.saveChoices.push_back(std::nullopt);
    exportPdf->trigger();
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(ReportMenuTest, PrintingToAFileGivesTheExportedPages) {
    QAction* print = action("printReportAction");
    ASSERT_TRUE(print);
    const std::string printed = dir.file("printed.pdf");
    shell.printerChoice = [&](QPrinter& printer) {
        printer.setOutputFileName(QString::fromStdString(printed));
        printer.setPageSize(QPageSize(QPageSize::A4));
        return true;
    };
    const int number = state->NANAL;
    print->trigger();
    EXPECT_THAT(shell.messages, IsEmpty());
    EXPECT_EQ(shell.printDialogs, 1);
    const std::string exported = dir.file("exported.pdf");
    state->NANAL = number;
    ASSERT_TRUE(runAndExportPdf(doc, *state, shell, exported, Paper::A4));
    // Run again as the same run: the same pages, the same file.
    const std::string a = readFile(printed);
    ASSERT_GT(a.size(), 1000u);
    EXPECT_TRUE(a == readFile(exported));

    // The dialog cancelled: nothing printed, nothing said.
    shell.printerChoice = nullptr;
    std::filesystem::remove(printed);
    print->trigger();
    EXPECT_FALSE(std::filesystem::exists(printed));
    EXPECT_THAT(shell.messages, IsEmpty());
}

} // namespace
} // namespace zenka::test

namespace zenka::test {
namespace {

// A project never saved: first its own name, asked for with the reason, then the PDF's; the
// PDF may not take the project's or the report's place.
TEST_F(ReportMenuTest, ExportOfAProjectNeverSavedAsksOneThingAtATime) {
    frame->onFileNew();
    fillWorkedCase(doc);
    view->loadStep();
    const std::size_t before = shell.saveDialogs.size();
    const std::string project = dir.file("new.in");
    const std::string pdf = dir.file("new.pdf");
    for (const std::string& choice : {project, project, dir.file("new.out"), pdf})
        shell.saveChoices.push_back(choice);
    action("exportPdfAction")->trigger();
    ASSERT_EQ(shell.saveDialogs.size(), before + 4);
    EXPECT_EQ(shell.saveDialogs[before].title,
              "Save the project first: the report is written beside it");
    EXPECT_EQ(shell.saveDialogs[before].defaultSuffix, "in");
    for (std::size_t i = before + 1; i < before + 4; ++i) {
        EXPECT_EQ(shell.saveDialogs[i].title, "Export the report as PDF");
        EXPECT_EQ(shell.saveDialogs[i].defaultSuffix, "pdf");
    }
    ASSERT_EQ(shell.messages.size(), 2u);
    for (const auto& m : shell.messages) {
        EXPECT_NE(m.text.find("Choose another name for the PDF."), std::string::npos) << m.text;
        EXPECT_EQ(m.kind, MessageKind::Warning);
    }
    EXPECT_EQ(doc.pathName, project);
    EXPECT_EQ(readFile(project).rfind("1\r\n", 0), 0u); // still the project
    EXPECT_EQ(readFile(pdf).rfind("%PDF-", 0), 0u);

    // Cancelled at the first question: nothing is saved and nothing more is asked.
    frame->onFileNew();
    fillWorkedCase(doc);
    view->loadStep();
    shell.messages.clear();
    const std::size_t asked = shell.saveDialogs.size();
    shell.saveChoices.push_back(std::nullopt);
    action("exportPdfAction")->trigger();
    EXPECT_EQ(shell.saveDialogs.size(), asked + 1);
    EXPECT_TRUE(doc.pathName.empty());
    EXPECT_THAT(shell.messages, IsEmpty());
}

// Print writes nothing before the print dialog is accepted, and printing to a file proposes the
// project's folder and the job name.
TEST_F(ReportMenuTest, PrintWritesNothingUntilThePrintDialogIsAccepted) {
    doc.jobName = "  Bridge: pier 3/4  ";
    view->loadStep();
    std::string proposed;
    shell.printerChoice = [&](QPrinter& printer) {
        proposed = printer.outputFileName().toStdString();
        EXPECT_FALSE(std::filesystem::exists(dir.file("menu.out")));
        return false;
    };
    action("printReportAction")->trigger();
    EXPECT_EQ(shell.printDialogs, 1);
    EXPECT_EQ(proposed, dir.file("Bridge_ pier 3_4.pdf"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("menu.out")));
    EXPECT_EQ(shell.workingBegun, 0);
    EXPECT_THAT(shell.messages, IsEmpty());
}

} // namespace
} // namespace zenka::test
