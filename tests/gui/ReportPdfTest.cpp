#include "GuiSupport.h"

#include "app/ExportCommands.h"
#include "engine/AnalysisState.h"
#include "engine/Driver.h"
#include "graphs/ReportPages.h"
#include "project/FileCommands.h"
#include "support/Projects.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>

namespace zenka::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

using Pages = std::vector<std::vector<std::string>>;

// A command's standard output; nothing when it could not be run or failed.
std::optional<std::string> output(const std::string& command) {
    std::FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    return pclose(pipe) == 0 ? std::optional(out) : std::nullopt;
}

bool haveTool(const char* tool) {
    return output(std::string("command -v ") + tool).has_value();
}

#define NEED_POPPLER()                                                                             \
    if (!haveTool("pdftotext") || !haveTool("pdfinfo") || !haveTool("pdffonts"))                   \
    GTEST_SKIP() << "poppler-utils are not installed"

// Pages compared as text: trailing blanks, blank lines at a page's ends and the page's common
// left margin (the extraction starts at the leftmost character) left out.
Pages normalized(Pages pages) {
    Pages out;
    for (auto& page : pages) {
        for (auto& line : page) line.erase(line.find_last_not_of(' ') + 1);
        while (!page.empty() && page.back().empty()) page.pop_back();
        while (!page.empty() && page.front().empty()) page.erase(page.begin());
        std::size_t margin = std::string::npos;
        for (const auto& line : page)
            if (!line.empty()) margin = std::min(margin, line.find_first_not_of(' '));
        for (auto& line : page)
            if (!line.empty()) line.erase(0, margin);
        if (!page.empty()) out.push_back(page);
    }
    return out;
}

// The text of the first `count` pages, laid out on the character grid of the report's font:
// the pitch is measured on the page header's box line.
Pages extractedText(const std::string& pdf, std::size_t count) {
    const auto boxes = output("pdftotext -bbox -f 1 -l 1 '" + pdf + "' -");
    if (!boxes) return {};
    static const std::regex box(
        R"re(<word xMin="([0-9.]+)" yMin="[0-9.]+" xMax="([0-9.]+)" yMax="[0-9.]+">(\+-+\+)</word>)re");
    std::smatch m;
    if (!std::regex_search(*boxes, m, box)) return {};
    const double pitch = (std::stod(m[2]) - std::stod(m[1])) / static_cast<double>(m[3].length());
    char fixed[32];
    std::snprintf(fixed, sizeof fixed, "%.4f", pitch);
    const auto text = output("pdftotext -layout -fixed " + std::string(fixed) + " -l " +
                             std::to_string(count) + " '" + pdf + "' -");
    if (!text) return {};
    Pages pages(1);
    std::size_t pos = 0;
    while (pos < text->size()) {
        const std::size_t end = std::min(text->find_first_of("\n\f", pos), text->size());
        pages.back().push_back(text->substr(pos, end - pos));
        if (end < text->size() && (*text)[end] == '\f') pages.emplace_back();
        pos = end + 1;
    }
    return pages;
}

int pageCount(const std::string& pdf) {
    const auto info = output("pdfinfo '" + pdf + "'");
    std::smatch m;
    static const std::regex pages(R"(Pages:\s+(\d+))");
    return info && std::regex_search(*info, m, pages) ? std::stoi(m[1]) : -1;
}

// The cross-reference table must point at every object after the information dictionary was
// rewritten: a reader that trusts it would read garbage otherwise.
void expectSoundXref(const std::string& pdf) {
    const std::size_t startxref = pdf.rfind("startxref\n");
    ASSERT_NE(startxref, std::string::npos);
    const auto xref = static_cast<std::size_t>(std::atoll(pdf.c_str() + startxref + 10));
    ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
    int first = 0, count = 0, used = 0;
    ASSERT_EQ(std::sscanf(pdf.c_str() + xref + 5, "%d %d\n%n", &first, &count, &used), 2);
    std::size_t entry = xref + 5 + static_cast<std::size_t>(used);
    for (int k = 0; k < count; ++k, entry += 20) {
        if (pdf[entry + 17] != 'n') continue;
        const auto offset = static_cast<std::size_t>(std::atoll(pdf.c_str() + entry));
        EXPECT_EQ(pdf.compare(offset, std::to_string(k).size() + 6, std::to_string(k) + " 0 obj"),
                  0)
            << "object " << k;
    }
}

class ReportPdfTest : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    ScriptedGuiShell shell;

    void SetUp() override { setenv("SOURCE_DATE_EPOCH", "1700000000", 1); }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

    void openExample(const char* name) {
        const std::string copy = dir.file(name);
        std::filesystem::copy_file(std::string(ZENKA_SOURCE_DIR) + "/examples/" + name, copy);
        shell.openChoices.push_back(copy);
        ASSERT_TRUE(OpenProject(doc, shell));
    }
    // A detailed run of ten lengths, saved under name.
    void tenLengths(const char* name) {
        fillWorkedCase(doc);
        for (std::size_t j = 0; j < 10; ++j) doc.pileLengths[j] = 10 + 4.5 * static_cast<double>(j);
        doc.lengthCount = 10;
        shell.saveChoices.push_back(dir.file(name));
        ASSERT_TRUE(SaveProjectAs(doc, shell));
    }
};

TEST(ReportPages, AFormFeedLineEndsOnePageAndStartsTheNext) {
    struct Case {
        const char* report;
        Pages pages;
    };
    const Case cases[] = {
        {" \f\r\nA\r\n\r\nB\r\n \f\r\nC\r\n \f\r\n", {{"A", "", "B"}, {"C"}}},
        // Lines after a page's text but before the form feed are no part of it.
        {" \f\r\nA\r\n\r\n\r\n \f\r\n", {{"A"}}},
        // Leading blanks stay, they are the report's columns.
        {" \f\r\n   x  \r\n", {{"   x  "}}},
        {"no form feed\r\n", {{"no form feed"}}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(reportPages(c.report), c.pages) << c.report;
}

TEST_F(ReportPdfTest, EveryReportPageReadsAsTheReportThenOnePagePerGraph) {
    NEED_POPPLER();
    struct Case {
        const char* name;
        int graphs;
    };
    // The worked case; a metric range of one width (a capacity graph); ten detailed lengths.
    for (const Case c : {Case{"worked-case.in", 1}, Case{"metric-h-pile-range.in", 2},
                         Case{"ten-lengths.in", 1}}) {
        SCOPED_TRACE(c.name);
        if (std::string(c.name) == "ten-lengths.in")
            tenLengths(c.name);
        else
            openExample(c.name);
        const std::string pdf = dir.file(std::string(c.name) + ".pdf");
        ASSERT_TRUE(runAndExportPdf(doc, *state, shell, pdf, Paper::Letter));
        EXPECT_THAT(shell.messages, IsEmpty());
        const std::string report = readFile(reportPathOf(doc.files));
        const Pages expected = normalized(reportPages(report));
        ASSERT_GT(expected.size(), 2u);
        EXPECT_EQ(pageCount(pdf), static_cast<int>(expected.size()) + c.graphs);
        Pages text = normalized(extractedText(pdf, expected.size()));
        ASSERT_EQ(text.size(), expected.size());
        const std::size_t total = expected.size() + static_cast<std::size_t>(c.graphs);
        for (std::size_t p = 0; p < expected.size(); ++p) {
            // Under the report's own lines, in the margin: the page of the whole document.
            ASSERT_FALSE(text[p].empty());
            std::string footer = text[p].back();
            footer.erase(0, footer.find_first_not_of(' '));
            EXPECT_EQ(footer, "Page " + std::to_string(p + 1) + " of " + std::to_string(total));
            text[p].pop_back();
            while (!text[p].empty() && text[p].back().empty()) text[p].pop_back();
            EXPECT_EQ(normalized({text[p]}).at(0), expected[p]) << p;
        }
        expectSoundXref(readFile(pdf));
    }
}

TEST_F(ReportPdfTest, TheFileCarriesItsFontTitleSubjectAndTheRunsDate) {
    NEED_POPPLER();
    openExample("worked-case.in");
    const std::string pdf = dir.file("worked.pdf");
    ASSERT_TRUE(runAndExportPdf(doc, *state, shell, pdf, Paper::A4));
    const auto info = output("pdfinfo '" + pdf + "'");
    ASSERT_TRUE(info);
    EXPECT_THAT(*info, HasSubstr("Title:           Worked case: square concrete pile\n"));
    EXPECT_THAT(*info, HasSubstr("Subject:         Static pile capacity\n"));
    // SOURCE_DATE_EPOCH 1700000000 is 2023-11-14 22:13:20 UTC.
    EXPECT_THAT(*info, HasSubstr("CreationDate:    Tue Nov 14 22:13:20 2023"));
    EXPECT_THAT(*info, HasSubstr("(A4)"));
    const auto fonts = output("pdffonts '" + pdf + "'");
    ASSERT_TRUE(fonts);
    static const std::regex embeddedMono(R"(Mono\S*\s+CID TrueType\s+Identity-H\s+yes)");
    EXPECT_TRUE(std::regex_search(*fonts, embeddedMono)) << *fonts;
    // Every font of the file is in it, the graphs' too.
    static const std::regex row(R"(\n\S+\s+CID TrueType\s+Identity-H\s+(yes|no))");
    int rows = 0;
    for (auto it = std::sregex_iterator(fonts->begin(), fonts->end(), row);
         it != std::sregex_iterator(); ++it, ++rows)
        EXPECT_EQ((*it)[1], "yes") << it->str();
    EXPECT_GE(rows, 1);
}

TEST_F(ReportPdfTest, EveryGraphPageNamesItsProjectRunAndPlace) {
    NEED_POPPLER();
    openExample("metric-h-pile-range.in");
    const std::string pdf = dir.file("graphs.pdf");
    ASSERT_TRUE(runAndExportPdf(doc, *state, shell, pdf, Paper::A4));
    const int pages = pageCount(pdf);
    const AnalysisState& s = *state;
    auto trimmed = [](std::string_view v) {
        const auto first = v.find_first_not_of(' ');
        return first == std::string_view::npos
                   ? std::string()
                   : std::string(v.substr(first, v.find_last_not_of(' ') - first + 1));
    };
    const std::string project = trimmed(s.PROJNO.view()), boring = trimmed(s.BORNO.view());
    ASSERT_FALSE(project.empty());
    ASSERT_FALSE(boring.empty());
    // The two graphs come last: the blow counts, then the one width's capacities.
    for (int page = pages - 1; page <= pages; ++page) {
        SCOPED_TRACE(page);
        const auto text = output("pdftotext -raw -f " + std::to_string(page) + " -l " +
                                 std::to_string(page) + " '" + pdf + "' -");
        ASSERT_TRUE(text);
        EXPECT_THAT(*text, HasSubstr("Job: " + trimmed(s.JOBNAME.view())));
        EXPECT_THAT(*text, HasSubstr("Project No.: " + project));
        EXPECT_THAT(*text, HasSubstr("Boring No.: " + boring));
        // SOURCE_DATE_EPOCH 1700000000, as the report prints it.
        EXPECT_THAT(*text, HasSubstr("Run: 11/14/23 22:13:20"));
        EXPECT_THAT(*text,
                    HasSubstr("Page " + std::to_string(page) + " of " + std::to_string(pages)));
    }
    const auto blows = output("pdftotext -raw -f " + std::to_string(pages - 1) + " -l " +
                              std::to_string(pages - 1) + " '" + pdf + "' -");
    ASSERT_TRUE(blows);
    EXPECT_THAT(*blows, HasSubstr("Blow Count (blows/0.3 m)"));
}

TEST(PdfDate, TheRunsTimeIsWrittenInUtc) {
    struct Case {
        const char* zone;
        const char* date;
        const char* time;
        bool utc;
        const char* expected;
    };
    const Case cases[] = {
        // A local evening in New York is the next day in UTC.
        {"America/New_York", "12/09/26", "19:02:40", false, "D:20261210000240Z"},
        {"America/New_York", "07/01/26", "12:00:00", false, "D:20260701160000Z"}, // summer time
        {"Asia/Kolkata", "01/01/30", "03:00:00", false, "D:20291231213000Z"},
        {"UTC", "02/29/24", "23:59:59", false, "D:20240229235959Z"},
        // A run dated by SOURCE_DATE_EPOCH is in UTC already, whatever the zone.
        {"America/New_York", "11/14/23", "22:13:20", true, "D:20231114221320Z"},
    };
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        setenv("TZ", c.zone, 1);
        tzset();
        EXPECT_EQ(pdfDate(c.date, c.time, c.utc).toStdString(), c.expected);
    }
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST_F(ReportPdfTest, TwoExportsOfOneRunAreOneFile) {
    openExample("metric-h-pile-range.in");
    const std::string a = dir.file("a.pdf"), b = dir.file("b.pdf");
    // Two runs of a fresh program: the analysis number starts again.
    const int number = state->NANAL;
    ASSERT_TRUE(runAndExportPdf(doc, *state, shell, a, Paper::Letter));
    state->NANAL = number;
    ASSERT_TRUE(runAndExportPdf(doc, *state, shell, b, Paper::Letter));
    const std::string first = readFile(a);
    ASSERT_GT(first.size(), 1000u);
    EXPECT_EQ(first.rfind("%PDF-", 0), 0u);
    EXPECT_TRUE(first == readFile(b));
    // A4 is another file.
    ASSERT_TRUE(runAndExportPdf(doc, *state, shell, b, Paper::A4));
    EXPECT_FALSE(first == readFile(b));
}

TEST_F(ReportPdfTest, AFailedWriteLeavesNoFileAndNamesThePathAndReason) {
    openExample("worked-case.in");
    const std::string reportPath = dir.file("worked-case.out");
    std::ofstream(reportPath, std::ios::binary) << "old report";
    const std::string pdf = dir.file("missing/folder/report.pdf");
    EXPECT_FALSE(runAndExportPdf(doc, *state, shell, pdf, Paper::Letter));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_THAT(shell.messages[0].text, HasSubstr(pdf));
    EXPECT_THAT(shell.messages[0].text, HasSubstr("No such file or directory"));
    EXPECT_FALSE(std::filesystem::exists(pdf));
    // All or nothing: the report of the run is not written either.
    EXPECT_EQ(readFile(reportPath), "old report");
}

TEST_F(ReportPdfTest, APdfThatIsAnotherFileOfTheRunIsRefused) {
    openExample("worked-case.in");
    const std::string input = dir.file("worked-case.in");
    const std::string before = readFile(input);
    for (const std::string& target : {input, dir.file("worked-case.out")}) {
        shell.messages.clear();
        EXPECT_FALSE(runAndExportPdf(doc, *state, shell, target, Paper::Letter));
        ASSERT_EQ(shell.messages.size(), 1u);
        EXPECT_THAT(shell.messages[0].text, HasSubstr("PDF file"));
    }
    EXPECT_EQ(readFile(input), before);
}

TEST_F(ReportPdfTest, ARefusedProjectWritesNothing) {
    openExample("worked-case.in");
    doc.pileWidths.fill(0);
    const std::string pdf = dir.file("refused.pdf");
    EXPECT_FALSE(runAndExportPdf(doc, *state, shell, pdf, Paper::Letter));
    EXPECT_THAT(shell.messageTexts(), ElementsAre("At least one pile width must be entered"));
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

} // namespace
} // namespace zenka::test
