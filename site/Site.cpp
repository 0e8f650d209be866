#include "site/Site.h"

#include "base/Format.h"
#include "engine/AnalysisState.h"
#include "engine/Report.h"
#include "import/BoreholeData.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace zenka {

SiteBorehole siteBorehole(const AnalysisState& s, std::string name) {
    const ReportUnits& u = ReportUnits::of(s.IUNITS);
    SiteBorehole b;
    b.name = std::move(name);
    b.metric = !u.english;
    b.groundElevation = u.len(s.GSE);
    b.cases.reserve(s.cases.size());
    for (const CaseResult& c : s.cases)
        b.cases.push_back({u.small(c.WP), u.len(c.TPL), u.len(c.EBP), u.force(c.USF),
                           u.force(c.CMAXB), u.force(c.MPC), u.force(c.TCP), u.force(c.UPC)});
    return b;
}

std::optional<CapacityKind> capacityKindNamed(std::string_view word) {
    const std::string w = dataimport::lower(word);
    if (w == "davisson") return CapacityKind::Davisson;
    if (w == "allowable") return CapacityKind::Allowable;
    if (w == "ultimate") return CapacityKind::Ultimate;
    return std::nullopt;
}

const char* capacityKindText(CapacityKind kind) {
    switch (kind) {
    case CapacityKind::Davisson:
        return "Davisson";
    case CapacityKind::Ultimate:
        return "ultimate";
    case CapacityKind::Allowable:
        break;
    }
    return "allowable";
}

double capacityOf(const SiteCase& c, CapacityKind kind) {
    switch (kind) {
    case CapacityKind::Davisson:
        return c.davisson;
    case CapacityKind::Ultimate:
        return c.ultimate;
    case CapacityKind::Allowable:
        break;
    }
    return c.allowable;
}

std::vector<RequiredLength> requiredLengths(const SiteResult& site, double required,
                                            CapacityKind kind) {
    // The site's widths in the order the runs met them. Every borehole gets a row at each: one
    // whose log is too shallow for a wide pile has no case at that width, and is "not reached"
    // there (it may govern) rather than missing from it.
    std::vector<double> widths;
    for (const SiteBorehole& b : site.boreholes)
        for (const SiteCase& c : b.cases)
            if (std::find(widths.begin(), widths.end(), c.width) == widths.end())
                widths.push_back(c.width);
    std::vector<RequiredLength> rows;
    for (const SiteBorehole& b : site.boreholes) {
        const std::size_t first = rows.size();
        for (const double width : widths) {
            RequiredLength r;
            r.borehole = b.name;
            r.groundElevation = b.groundElevation;
            r.width = width;
            rows.push_back(r);
        }
        for (const SiteCase& c : b.cases) {
            const auto at = std::find(widths.begin(), widths.end(), c.width) - widths.begin();
            RequiredLength& r = rows[first + static_cast<std::size_t>(at)];
            const double q = capacityOf(c, kind);
            const bool firstCase = r.longest == 0;
            if (c.length > r.longest) {
                r.longest = c.length;
                r.deepestTip = c.tipElevation;
            }
            if (q >= required && (!r.reached || c.length < r.length)) {
                r.reached = true;
                r.length = c.length;
                r.tipElevation = c.tipElevation;
                r.capacity = q;
            } else if (!r.reached && (firstCase || q > r.capacity)) {
                r.capacity = q;
            }
        }
    }
    // Per width: a borehole that never reaches the capacity governs (the weakest of them);
    // else the deepest required tip, then the longest pile.
    std::map<double, std::size_t> governing;
    auto governs = [](const RequiredLength& a, const RequiredLength& b) {
        if (a.reached != b.reached) return !a.reached;
        if (!a.reached) return a.capacity < b.capacity;
        if (a.tipElevation != b.tipElevation) return a.tipElevation < b.tipElevation;
        return a.length > b.length;
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto [it, fresh] = governing.emplace(rows[i].width, i);
        if (!fresh && governs(rows[i], rows[it->second])) it->second = i;
    }
    for (const auto& [width, i] : governing) rows[i].governing = true;
    return rows;
}

std::string siteCsv(const SiteResult& site) {
    std::string out = "borehole,ground_elevation,width,length,tip_elevation,side_friction,"
                      "end_bearing,davisson,allowable,ultimate\n";
    for (const SiteBorehole& b : site.boreholes) {
        const std::string lead = csvField(b.name) + "," + printfFixed(b.groundElevation, 4);
        for (const SiteCase& c : b.cases) {
            out += lead;
            for (double v : {c.width, c.length, c.tipElevation, c.sideFriction, c.endBearing,
                             c.davisson, c.allowable, c.ultimate})
                out += "," + printfFixed(v, 4);
            out += '\n';
        }
    }
    return out;
}

std::string requiredCsv(const std::vector<RequiredLength>& rows) {
    std::string out = "borehole,width,required_length,tip_elevation,capacity,governing\n";
    for (const RequiredLength& r : rows) {
        out += csvField(r.borehole) + "," + printfFixed(r.width, 4) + ",";
        if (r.reached)
            out += printfFixed(r.length, 4) + "," + printfFixed(r.tipElevation, 4);
        else
            out += ",";
        out += "," + printfFixed(r.capacity, 4) + (r.governing ? ",1\n" : ",0\n");
    }
    return out;
}

std::string requiredCsvPath(const std::string& summaryPath) {
    const std::size_t slash = summaryPath.find_last_of('/');
    const std::size_t dot = summaryPath.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    if (!hasExtension) return summaryPath + "-required";
    return summaryPath.substr(0, dot) + "-required" + summaryPath.substr(dot);
}

} // namespace zenka
