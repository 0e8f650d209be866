#include "import/LogBuilder.h"

#include "base/AtomicFile.h"
#include "import/SoilClassification.h"
#include "model/PelbrinDoc.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <set>

namespace zenka::dataimport {

namespace {

double round2(double v) {
    return std::round(v * 100) / 100;
}
double round3(double v) {
    return std::round(v * 1000) / 1000;
}

std::string num(double v, int decimals = 2) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// The stratum a depth lies in, or none: above the first, in a gap, below the last.
const Stratum* stratumAt(const Borehole& b, double d) {
    const auto& s = b.strata;
    // The deepest stratum whose top is at or above d.
    auto it = std::upper_bound(s.begin(), s.end(), d,
                               [](double v, const Stratum& st) { return v < st.top; });
    if (it == s.begin()) return nullptr;
    const Stratum& st = *std::prev(it);
    std::optional<double> base = st.base;
    if (!base) {
        if (it != s.end())
            base = it->top;
        else
            base = b.finalDepth; // the last stratum, given by its top alone
    }
    if (base && d > *base) return nullptr;
    return &st;
}

int codeFor(const ImportChoices& c, const std::string& classification) {
    auto it = c.codes.find(classification);
    if (it != c.codes.end()) return it->second;
    return c.otherCode;
}

} // namespace

BoreholeSummary summarise(const Borehole& b) {
    BoreholeSummary s;
    s.id = b.id;
    s.name = b.name;
    s.groundElevation = b.groundElevation;
    s.elevationUnit = b.elevationUnit;
    s.finalDepth = b.finalDepth;
    s.depthUnit = b.depthUnit;
    for (const SptTest& t : b.tests) {
        if (!t.n) continue;
        ++s.sptTests;
        s.refusals += t.refusal;
    }
    if (!b.waterDepths.empty()) s.waterDepth = b.waterDepths.front();
    return s;
}

std::vector<BoreholeSummary> listBoreholes(const DataFile& file) {
    std::vector<BoreholeSummary> out;
    out.reserve(file.boreholes.size());
    for (const Borehole& b : file.boreholes) out.push_back(summarise(b));
    return out;
}

std::string testCountText(const BoreholeSummary& s) {
    std::string text = std::to_string(s.sptTests);
    if (s.refusals)
        text += " (" + std::to_string(s.refusals) + (s.refusals == 1 ? " refusal)" : " refusals)");
    return text;
}

std::vector<ClassificationRow> classifications(const Borehole& b) {
    std::vector<ClassificationRow> rows;
    ClassificationRow none;
    none.text = kNoStratum;
    none.noStratum = true;
    for (const SptTest& t : b.tests) {
        if (!t.n) continue;
        const Stratum* s = stratumAt(b, t.top);
        if (!s) {
            ++none.tests;
            continue;
        }
        auto it = std::find_if(rows.begin(), rows.end(), [&](const ClassificationRow& r) {
            return r.text == s->classification;
        });
        if (it == rows.end()) {
            ClassificationRow r;
            r.text = s->classification;
            r.legendText = s->legendText;
            r.description = s->description;
            const Proposal p = proposeSoilCode(r.text, r.legendText, r.description);
            r.proposedCode = p.code;
            r.proposedName = soilCodeName(p.code);
            rows.push_back(std::move(r));
            it = std::prev(rows.end());
        }
        ++it->tests;
    }
    if (none.tests) rows.push_back(std::move(none));
    return rows;
}

ImportChoices proposedChoices(const Borehole& b) {
    ImportChoices c;
    for (const ClassificationRow& r : classifications(b))
        if (r.proposedCode) c.codes[r.text] = r.proposedCode;
    return c;
}

const char* entryMark(const LogEntry& e) {
    if (e.refusal) return "refusal";
    if (e.shortDrive) return "short drive";
    if (e.statedOnly) return "N as stated in the file";
    return "";
}

std::string importSummary(const BuiltLog& log) {
    std::string text =
        std::to_string(log.testsKept) + " tests of " + std::to_string(log.testsWithN) + " kept";
    std::string marks;
    if (log.refusals)
        marks = std::to_string(log.refusals) + (log.refusals == 1 ? " refusal" : " refusals");
    if (log.statedOnly)
        marks += (marks.empty() ? "" : ", ") + std::to_string(log.statedOnly) +
                 " with N as stated in the file";
    if (!marks.empty()) text += " (" + marks + ")";
    if (log.waterTable && *log.waterTable > 0)
        text += "; water " + num(*log.waterTable, 1) + " " +
                (log.units == Units::English ? "ft" : "m") + " above the ground";
    return text + "; " + log.hammerSummary;
}

BuiltLog buildLog(const DataFile& file, const Borehole& b, const ImportChoices& choices,
                  int projectUnits) {
    BuiltLog log;
    log.hammerFactor = choices.hammerFactor;
    const LengthUnit from = b.depthUnit != LengthUnit::Unknown ? b.depthUnit : choices.depthUnit;
    if (projectUnits == Units::English || projectUnits == Units::Metric)
        log.units = projectUnits;
    else
        log.units = from == LengthUnit::Feet ? Units::English : Units::Metric;
    const LengthUnit to = log.units == Units::English ? LengthUnit::Feet : LengthUnit::Metres;
    const char* toWord = unitWord(to);
    bool ready = true;
    if (from == LengthUnit::Unknown) {
        log.messages.push_back("The file gives no depth unit: choose feet or metres.");
        ready = false;
    }
    auto conv = [&](double v) {
        return from == LengthUnit::Unknown ? v : convertLength(v, from, to);
    };

    // The tests, in the log's units; one per hundredth of depth.
    std::vector<LogEntry> tests;
    std::set<std::string> hammers;
    // Entries past the log's cap are counted, not kept: a borehole may have millions of rows.
    std::size_t count = 0;
    double lastDepth = 0;
    for (const SptTest& t : b.tests) {
        if (!t.n) continue;
        ++log.testsWithN;
        LogEntry e;
        e.depth = round2(conv(t.top));
        if (count > 0 && e.depth <= lastDepth) {
            log.messages.push_back("The test at " + num(e.depth) + " " + toWord +
                                   " falls on the depth of the one above it and is left out.");
            continue;
        }
        ++count;
        lastDepth = e.depth;
        std::string h = t.details->hammer;
        if (t.details->energyRatio)
            h += (h.empty() ? "" : ", ") + std::string("energy ratio ") +
                 num(*t.details->energyRatio, 1) + " %";
        if (!h.empty()) hammers.insert(h);
        if (tests.size() > static_cast<std::size_t>(kMaxSamples)) continue;
        e.n = round2(*t.n * choices.hammerFactor);
        e.refusal = t.refusal;
        e.shortDrive = t.shortDrive;
        e.statedOnly = t.statedOnly;
        e.statedN = t.details->statedN;
        e.note = t.note;
        if (const Stratum* s = stratumAt(b, t.top)) {
            e.classification = s->classification;
            e.description = s->description;
        } else {
            e.classification = kNoStratum;
        }
        tests.push_back(std::move(e));
    }

    if (count > static_cast<std::size_t>(kMaxSamples)) {
        log.truncated = true;
        std::size_t keep = kMaxSamples;
        if (choices.keepDownTo) {
            keep = 0;
            while (keep < tests.size() && tests[keep].depth <= *choices.keepDownTo) ++keep;
            keep = std::min<std::size_t>(keep, kMaxSamples);
        }
        log.messages.push_back(
            "The borehole has " + std::to_string(count) + " tests; the log holds " +
            std::to_string(kMaxSamples) + ". Kept: the first " + std::to_string(keep) +
            (keep ? ", down to " + num(tests[keep - 1].depth) + " " + toWord : std::string()) +
            ".");
        tests.resize(keep);
    }
    log.testsKept = static_cast<int>(tests.size());
    for (const LogEntry& e : tests) {
        log.refusals += e.refusal;
        log.statedOnly += e.statedOnly;
    }

    if (tests.empty()) {
        log.messages.push_back("The borehole has no SPT test with an N value.");
        ready = false;
    } else if (tests.size() == 1 && tests.front().depth > 0) {
        // The analysis needs two samples: the soil at the surface, with no blows counted.
        LogEntry s;
        s.surface = true;
        const Stratum* st = stratumAt(b, 0);
        s.classification = st ? st->classification : kNoStratum;
        if (st) s.description = st->description;
        s.note = "added at the ground surface with N 0: the borehole has one test";
        tests.insert(tests.begin(), s);
        log.messages.push_back("One test only: an entry with N 0 is added at the ground "
                               "surface.");
    } else if (tests.size() == 1) {
        log.messages.push_back("One test only, at the ground surface: the analysis needs two.");
        ready = false;
    }

    // Codes for the classifications in use.
    for (LogEntry& e : tests) {
        e.code = codeFor(choices, e.classification);
        if (!validSoilCode(e.code)) {
            e.code = 0;
            if (std::find(log.missingCodes.begin(), log.missingCodes.end(), e.classification) ==
                log.missingCodes.end())
                log.missingCodes.push_back(e.classification);
        }
    }
    if (!log.missingCodes.empty()) ready = false;

    // The closing entry: the bottom of the boring, else one test length below the last test.
    if (!tests.empty()) {
        const double last = tests.back().depth;
        const double testLength = to == LengthUnit::Feet ? 1.5 : 0.45;
        LogEntry c;
        c.closing = true;
        c.depth = round2(last + testLength);
        if (b.finalDepth && !log.truncated && from != LengthUnit::Unknown) {
            const double bottom = round2(conv(*b.finalDepth));
            if (bottom >= last + 0.01) c.depth = bottom;
        }
        tests.push_back(c);
    }
    log.entries = std::move(tests);

    // Elevation, water, identification.
    if (choices.groundElevation) {
        log.groundElevation = choices.groundElevation;
    } else if (b.groundElevation && b.elevationUnit != LengthUnit::Unknown) {
        log.groundElevation = round3(convertLength(*b.groundElevation, b.elevationUnit, to));
    } else {
        log.messages.push_back("The file gives no usable ground elevation: enter it.");
    }
    if (!b.waterDepths.empty() && from != LengthUnit::Unknown) {
        const double d = round3(conv(b.waterDepths.front()));
        log.waterTable = d == 0 ? 0.0 : -d;
    }
    log.boringNumber = b.name;
    log.projectNumber = file.projectNumber;
    log.jobName = file.jobName;
    log.boringDate = b.boringDate;

    log.hammerSummary =
        "Hammer factor " + num(choices.hammerFactor) +
        (choices.hammerFactor == 1.0 ? " (N as in the file)" : " applied to every N");
    for (const std::string& h : hammers) log.hammerSummary += "; source hammer: " + h;

    const int samples = static_cast<int>(log.entries.size()) - 1;
    log.ready = ready && samples >= 2;
    return log;
}

ApplyFlags defaultFlags(const BuiltLog& log) {
    ApplyFlags f;
    f.groundElevation = log.groundElevation.has_value();
    f.waterTable = log.waterTable.has_value();
    f.identification = !log.boringNumber.empty() || !log.projectNumber.empty() ||
                       !log.jobName.empty() || !log.boringDate.empty();
    return f;
}

bool applyLog(const BuiltLog& log, CPelbrinDoc& doc, const ApplyFlags& flags, std::string* why) {
    auto refuse = [&](std::string text) {
        if (why) *why = std::move(text);
        return false;
    };
    if (!log.ready) {
        if (!log.missingCodes.empty()) {
            std::string list;
            for (const std::string& m : log.missingCodes) list += (list.empty() ? "" : ", ") + m;
            return refuse("No soil code for: " + list);
        }
        return refuse(log.messages.empty() ? "The log is not complete." : log.messages.front());
    }
    if (doc.units != Units::NotChosen && doc.units != log.units)
        return refuse("The log was built for the other unit system.");
    if (log.entries.size() > static_cast<std::size_t>(kDocSamples))
        return refuse("The log has more entries than the project holds.");

    if (doc.units == Units::NotChosen) doc.units = log.units;
    doc.depths.fill(0);
    doc.blowCounts.fill(0);
    doc.soilCodes.fill(0);
    for (std::size_t i = 0; i < log.entries.size(); ++i) {
        doc.depths[i] = log.entries[i].depth;
        doc.blowCounts[i] = log.entries[i].closing ? 0 : log.entries[i].n;
        doc.soilCodes[i] = log.entries[i].closing ? 0 : log.entries[i].code;
    }
    if (flags.groundElevation && log.groundElevation) doc.groundElevation = *log.groundElevation;
    if (flags.waterTable && log.waterTable) doc.waterTable = *log.waterTable;
    if (flags.identification) {
        if (!log.boringNumber.empty()) doc.boringNumber = log.boringNumber;
        if (!log.projectNumber.empty()) doc.projectNumber = log.projectNumber;
        if (!log.jobName.empty()) doc.jobName = log.jobName;
        if (!log.boringDate.empty()) doc.boringDate = log.boringDate;
    }
    doc.SetModified(true);
    doc.notifyChanged();
    return true;
}

} // namespace zenka::dataimport
