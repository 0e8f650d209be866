#pragma once

// A site on paper: the pile length each borehole needs for a required capacity, one chart per
// pile width of the chosen capacity against tip elevation with every borehole's curve, and the
// capacities per borehole. A title block on every page ties it to its data and template.

#include "graphs/Chart2D.h"
#include "graphs/ReportPages.h"
#include "site/Site.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace zenka {

struct SitePrint {
    SiteResult site;
    std::optional<double> required; // Q, in the site's display units; none: no required length
    CapacityKind kind = CapacityKind::Allowable;
    Paper paper = Paper::Letter;
    RunStamp stamp; // the date and time the pages carry
};

// One line of a page's table column: a row of cells, a borehole's or a width's heading that
// spans the column, or a line of running text.
struct SiteLine {
    enum class Kind { Row, Group, Text };
    Kind kind = Kind::Row;
    // A row's; a text's one text; a group's name, and what follows it, kept whole when the
    // name must be cut to fit.
    QStringList cells;
    bool strong = false;
};

struct SiteColumnHead {
    QString name;
    QString unit; // second line; may be empty
    bool right = true;
};

// A table's columns and its lines, as one column of a page holds them.
struct SiteBlock {
    QList<SiteColumnHead> heads; // repeated at the top of every column of the table
    QList<double> widths;        // of each cell, in points
    QList<SiteLine> lines;
    double points = 7.5; // the size of its text
};

struct SitePage {
    QString heading;
    QStringList notes;       // paragraphs under the heading, already wrapped into lines
    QList<SiteBlock> blocks; // side by side
    int chartWidth = -1;     // a chart page: the index of its pile width
    bool landscape = false;
};

// The pile widths of the site in run order (of its first borehole with cases).
std::vector<double> siteWidths(const SiteResult& site);

// The chart of width index w: every borehole's curve thin and light, the lower envelope and the
// governing borehole drawn to stand out, Q as a vertical line.
ChartContent siteChart(const SitePrint& print, std::size_t w);

// The least capacity of the curves at every elevation (each curve read on the straight lines
// between its points), from the top down: its points at every elevation of a curve's point and
// where two curves cross. Where a curve starts or ends the least may jump: both values are
// given at that elevation. A curve of one point has no line and counts for nothing.
QList<QPointF> lowerEnvelope(const QList<QList<QPointF>>& curves);

// The pages, laid out for the paper, without their title blocks.
std::vector<SitePage> sitePages(const SitePrint& print);

// The title block's cells of page `page` (1-based) of `pages`.
ChartTitleBlock siteTitleBlock(const SitePrint& print, int page, int pages);

// The whole document as PDF bytes, the same for the same site and stamp; empty when it could
// not be made.
std::string sitePdf(const SitePrint& print);

// The document drawn and written to `path` in one write. Empty on success, otherwise the
// message for the person, naming the file.
std::string writeSitePdf(const SitePrint& print, const std::string& path);

// "bridge.xml" -> "bridge-site.pdf", beside the data file; a compressed file's ".gz" or ".xz"
// goes first.
std::string defaultSitePdfPath(const std::string& dataFile);

} // namespace zenka
