#pragma once

// Small sites for the site summary's tests: an AGS4 file of a few boreholes and a template of a
// range of lengths in two widths.

#include "model/PelbrinDoc.h"
#include "project/InputFile.h"
#include "site/Site.h"
#include "support/Projects.h"
#include "support/TempDir.h"

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace zenka::test {

// Boreholes BH1..BHn: soft clay over dense sand, three SPT tests each, the ground a little lower
// from one to the next; with `untested`, one more (NT1) without a test.
inline std::string siteAgs(int boreholes, bool untested = true) {
    std::string loca, geol, ispt;
    auto row = [](std::string& to, std::initializer_list<std::string> fields) {
        std::string line;
        for (const std::string& f : fields) line += (line.empty() ? "" : ",") + ("\"" + f + "\"");
        to += line + "\n";
    };
    for (int i = 1; i <= boreholes + (untested ? 1 : 0); ++i) {
        const bool tested = i <= boreholes;
        const std::string id = tested ? "BH" + std::to_string(i) : "NT1";
        row(loca, {"DATA", id, std::to_string(10 - i % 4) + ".00", "20.00"});
        row(geol, {"DATA", id, "0.00", "4.00", "Soft grey CLAY"});
        row(geol, {"DATA", id, "4.00", "20.00", "Dense SAND"});
        if (!tested) continue;
        row(ispt, {"DATA", id, "1.50", std::to_string(4 + i % 5), ""});
        row(ispt, {"DATA", id, "6.00", std::to_string(14 + i % 9), ""});
        row(ispt, {"DATA", id, "12.00", std::to_string(30 + i % 11), ""});
        row(ispt, {"DATA", id, "18.00", std::to_string(40 + i % 7), ""});
    }
    return "\"GROUP\",\"PROJ\"\n\"HEADING\",\"PROJ_ID\",\"PROJ_NAME\"\n\"UNIT\",\"\",\"\"\n"
           "\"TYPE\",\"ID\",\"X\"\n\"DATA\",\"P-1\",\"Test site\"\n\n"
           "\"GROUP\",\"LOCA\"\n\"HEADING\",\"LOCA_ID\",\"LOCA_GL\",\"LOCA_FDEP\"\n"
           "\"UNIT\",\"\",\"m\",\"m\"\n\"TYPE\",\"ID\",\"2DP\",\"2DP\"\n" +
           loca +
           "\n\"GROUP\",\"GEOL\"\n\"HEADING\",\"LOCA_ID\",\"GEOL_TOP\",\"GEOL_BASE\",\"GEOL_"
           "DESC\"\n"
           "\"UNIT\",\"\",\"m\",\"m\",\"\"\n\"TYPE\",\"ID\",\"2DP\",\"2DP\",\"X\"\n" +
           geol +
           "\n\"GROUP\",\"ISPT\"\n\"HEADING\",\"LOCA_ID\",\"ISPT_TOP\",\"ISPT_NVAL\",\"ISPT_REP\"\n"
           "\"UNIT\",\"\",\"m\",\"\",\"\"\n\"TYPE\",\"ID\",\"2DP\",\"0DP\",\"X\"\n" +
           ispt;
}

// A square concrete pile of 14 and 18 in, 10 to 50 ft by 5 ft, English units, as its file.
inline std::string siteTemplate() {
    CPelbrinDoc doc;
    doc.ResetProject();
    fillWorkedCase(doc);
    doc.jobName = "Site test";
    doc.analysisType = AnalysisType::RangeOfLengths;
    doc.pileWidths = {14, 18, 0, 0, 0};
    doc.widthCount = 2;
    doc.minLength = 10;
    doc.maxLength = 50;
    doc.lengthIncrement = 5;
    return writeInputFile(doc);
}

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A command's standard output; nothing when it could not be run or failed.
inline std::optional<std::string> commandOutput(const std::string& command) {
    std::FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    return pclose(pipe) == 0 ? std::optional(out) : std::nullopt;
}

#define NEED_PDFTOTEXT()                                                                           \
    if (!commandOutput("command -v pdftotext")) GTEST_SKIP() << "poppler-utils are not installed"

// Each page's text as pdftotext lays it out.
inline std::vector<std::string> pdfPages(const std::string& pdf) {
    const std::optional<std::string> text = commandOutput("pdftotext -layout '" + pdf + "' -");
    std::vector<std::string> pages;
    if (!text) return pages;
    std::size_t pos = 0;
    for (std::size_t ff; (ff = text->find('\f', pos)) != std::string::npos; pos = ff + 1)
        pages.push_back(text->substr(pos, ff - pos));
    return pages;
}

// The lines of a page that start with `first`, as their words; "not reached" is one.
inline std::vector<std::vector<std::string>> tableRows(const std::string& page,
                                                       const std::string& first) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(page);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::vector<std::string> row;
        for (std::string w; words >> w;) {
            if (w == "reached" && !row.empty() && row.back() == "not")
                row.back() = "not reached";
            else
                row.push_back(w);
        }
        if (!row.empty() && row.front().rfind(first, 0) == 0) rows.push_back(row);
    }
    return rows;
}

} // namespace zenka::test
