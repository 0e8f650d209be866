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
    const int number = doc.state().NANAL;
    print->trigger();
    EXPECT_THAT(shell.messages, IsEmpty());
    EXPECT_EQ(shell.printDialogs, 1);
    const std::string exported = dir.file("exported.pdf");
    doc.state().NANAL = number;
    ASSERT_TRUE(runAndExportPdf(doc, shell, exported, Paper::A4));
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
