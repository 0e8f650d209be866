#include "base/Format.h"
#include "engine/AnalysisState.h"
#include "engine/Report.h"
#include "run/outputs/Outputs.h"

#include <iterator>
#include <string>

namespace zenka {

namespace {

std::string csvTable(const AnalysisState& s) {
    const ReportUnits& u = ReportUnits::of(s.IUNITS);
    std::string out =
        "width,length,tip_elevation,side_friction,end_bearing,davisson,allowable,ultimate\n";
    for (const CaseResult& c : s.cases) {
        const double values[] = {u.small(c.WP),    u.len(c.TPL),   u.len(c.EBP),   u.force(c.USF),
                                 u.force(c.CMAXB), u.force(c.MPC), u.force(c.TCP), u.force(c.UPC)};
        for (std::size_t i = 0; i < std::size(values); ++i) {
            if (i) out += ',';
            out += printfFixed(values[i], 4);
        }
        out += '\n';
    }
    return out;
}

} // namespace

RunOutput csvOutput(const std::string& path) {
    return {"CSV file", path,
            [](const RunResult& run) { return std::optional<std::string>(csvTable(run.state)); }};
}

} // namespace zenka
