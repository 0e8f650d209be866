#include "import/Delimited.h"

#include "import/Ags4.h"
#include "import/FileContent.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <unordered_map>

namespace zenka::dataimport {

namespace {

// The fields of one row, in UTF-8.
std::vector<std::string> splitRow(std::string_view line, char sep) {
    std::vector<std::string> out = splitDelimitedRow(line, sep);
    for (std::string& field : out) field = toUtf8(field);
    return out;
}

char separatorOf(std::string_view line) {
    int tabs = 0, semis = 0;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        tabs += c == '\t';
        semis += c == ';';
    }
    if (tabs) return '\t';
    if (semis) return ';';
    return ',';
}

enum class Column { None, Borehole, Depth, N, Soil, Symbol, Description };

// A column naming the borehole: "Borehole", "LocationID", "Hole", "BH", "LOCA_ID", "Boring No.",
// "Test hole"... The name without blanks and punctuation, less an "id"/"no"/"name" ending.
bool namesBorehole(const std::string& name) {
    std::string key;
    for (char c : name)
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) key += c;
    for (const char* end : {"identifier", "number", "name", "ref", "id", "no", "nr", "#"}) {
        const std::string e = end;
        if (key.size() > e.size() && key.compare(key.size() - e.size(), e.size(), e) == 0) {
            key.erase(key.size() - e.size());
            break;
        }
    }
    static const char* const kNames[] = {
        "bh",       "borehole", "bore",     "hole",     "boring",
        "loca",     "location", "testhole", "sounding", "exploratoryhole",
        "explhole", "pointid",  "point"};
    for (const char* n : kNames)
        if (key == n) return true;
    return false;
}

// The header's name without its unit, and the unit it names ("Depth (ft)", "Depth [m]",
// "Depth, ft", "Depth ft").
std::pair<std::string, LengthUnit> nameAndUnit(std::string_view header) {
    std::string h = lower(trim(header));
    LengthUnit unit = LengthUnit::Unknown;
    const std::size_t open = h.find_first_of("([");
    if (open != std::string::npos) {
        const std::size_t close = h.find_first_of(")]", open);
        unit = parseLengthUnit(
            h.substr(open + 1, close == std::string::npos ? close : close - open - 1));
        h = std::string(trim(h.substr(0, open)));
    } else {
        const std::size_t cut = h.find_last_of(" ,");
        if (cut != std::string::npos) {
            const LengthUnit u = parseLengthUnit(h.substr(cut + 1));
            if (u != LengthUnit::Unknown) {
                unit = u;
                h = std::string(trim(h.substr(0, cut)));
                while (!h.empty() && h.back() == ',') h.pop_back();
            }
        }
    }
    return {h, unit};
}

Column classify(const std::string& name) {
    auto has = [&](const char* w) { return name.find(w) != std::string::npos; };
    if (namesBorehole(name)) return Column::Borehole;
    if (has("depth") || name == "top" || name == "from") return Column::Depth;
    if (name == "n" || has("blow") || has("n-value") || has("n value") || name == "spt" ||
        name == "spt n" || name == "spt-n" || name == "nspt" || name == "n60" || name == "n-spt")
        return Column::N;
    if (has("desc")) return Column::Description;
    if (has("uscs") || has("symbol") || has("classification") || name == "class" ||
        name == "legend")
        return Column::Symbol;
    if (has("soil") || name == "code" || name == "type") return Column::Soil;
    return Column::None;
}

// The boreholes of a file by id: their indices in an open-addressed table of a few bytes each, a
// fraction of a map's nodes for a site of a hundred thousand boreholes of a few rows each.
class BoreholeIndex {
public:
    static constexpr std::size_t npos = std::string::npos;
    explicit BoreholeIndex(const std::vector<Borehole>& boreholes) : boreholes_(boreholes) {}

    std::size_t find(std::string_view id) const {
        if (slots_.empty()) return npos;
        for (std::size_t k = slotOf(id);; k = (k + 1) & (slots_.size() - 1)) {
            if (slots_[k] == 0) return npos;
            if (boreholes_[slots_[k] - 1].id.view() == id) return slots_[k] - 1;
        }
    }
    // The borehole at `index` of the list, under its id.
    void add(std::size_t index) {
        // At most half full, so that a search ends after a step or two.
        if ((count_ + 1) * 2 > slots_.size()) {
            std::vector<std::uint32_t> old(std::max<std::size_t>(16, slots_.size() * 2));
            old.swap(slots_);
            for (std::uint32_t s : old)
                if (s) place(s - 1);
        }
        place(index);
        ++count_;
    }

private:
    std::size_t slotOf(std::string_view id) const {
        return std::hash<std::string_view>{}(id) & (slots_.size() - 1);
    }
    void place(std::size_t index) {
        std::size_t k = slotOf(boreholes_[index].id.view());
        while (slots_[k]) k = (k + 1) & (slots_.size() - 1);
        // A file of at most 1 GB holds far fewer than 4 billion rows.
        slots_[k] = static_cast<std::uint32_t>(index + 1);
    }

    const std::vector<Borehole>& boreholes_;
    std::vector<std::uint32_t> slots_; // index + 1; 0 for an empty slot
    std::size_t count_ = 0;
};

std::string depthText(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", d);
    return buf;
}

// A row whose stratum went into the one above, of the same soil.
struct MergedRow {
    std::uint32_t borehole;
    std::uint32_t stratum; // the one it went into
    double top;
};

// Each merged row's stratum back after the one it went into, as though none had been merged.
void unmerge(std::vector<Borehole>& boreholes, const std::deque<MergedRow>& merged) {
    std::vector<MergedRow> rows(merged.begin(), merged.end());
    // By borehole, each one's rows in the order of the file.
    std::stable_sort(rows.begin(), rows.end(), [](const MergedRow& a, const MergedRow& b) {
        return a.borehole < b.borehole;
    });
    for (std::size_t r = 0; r < rows.size();) {
        const std::uint32_t index = rows[r].borehole;
        Borehole& b = boreholes[index];
        std::vector<Stratum> strata;
        for (std::size_t k = 0; k < b.strata.size(); ++k) {
            strata.push_back(b.strata[k]);
            for (; r < rows.size() && rows[r].borehole == index && rows[r].stratum == k; ++r) {
                strata.push_back(b.strata[k]);
                strata.back().top = rows[r].top;
            }
        }
        b.strata = std::move(strata);
        while (r < rows.size() && rows[r].borehole == index) ++r;
    }
}

} // namespace

namespace {

// Rows of one soil in a row make one stratum, as long as every borehole's depths go down; when
// they do not, no rows are merged. `owned`, when given, holds the bytes, whose pages are given
// back as they are read.
DataFile readRows(std::string_view bytes, std::string* owned, const DelimitedOptions& options) {
    DataFile out;
    out.format = Format::Delimited;
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);

    // Lines one at a time: a large file is not split up front.
    std::size_t start = 0;
    std::size_t lineNo = 0;
    auto nextLine = [&](std::string_view& line) {
        if (start > bytes.size()) return false;
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        line = bytes.substr(start, end - start);
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
            bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
        ++lineNo;
        return true;
    };

    std::string_view firstLine;
    bool any = false;
    while ((any = nextLine(firstLine)) && trim(firstLine).empty()) {
    }
    if (!any) {
        out.error = "the file holds no rows";
        return out;
    }
    const char sep = separatorOf(firstLine);
    const bool decimalComma = sep != ',';

    // Columns: from a header, or depth, N, soil when the first row is data.
    int boreholeCol = -1, depthCol = 0, nCol = 1, soilCol = 2, symbolCol = -1, descCol = -1;
    LengthUnit depthUnit = options.depthUnit;
    bool headerRow = false;
    const std::vector<std::string> head = splitRow(firstLine, sep);
    if (!parseNumber(head[0], decimalComma)) {
        depthCol = nCol = soilCol = -1;
        LengthUnit headerUnit = LengthUnit::Unknown;
        for (std::size_t k = 0; k < head.size(); ++k) {
            const auto [name, unit] = nameAndUnit(head[k]);
            const int col = static_cast<int>(k);
            switch (classify(name)) {
            case Column::Borehole:
                if (boreholeCol < 0) boreholeCol = col;
                break;
            case Column::Depth:
                if (depthCol < 0) {
                    depthCol = col;
                    headerUnit = unit;
                }
                break;
            case Column::N:
                if (nCol < 0) nCol = col;
                break;
            case Column::Soil:
                if (soilCol < 0) soilCol = col;
                break;
            case Column::Symbol:
                if (symbolCol < 0) symbolCol = col;
                break;
            case Column::Description:
                if (descCol < 0) descCol = col;
                break;
            case Column::None:
                break;
            }
        }
        if (depthCol < 0 || nCol < 0) {
            std::string shown(trim(firstLine).substr(0, 80));
            out.error =
                "the header names no depth and N columns (first row \"" + toUtf8(shown) + "\")";
            return out;
        }
        if (headerUnit != LengthUnit::Unknown) depthUnit = headerUnit;
        headerRow = true;
    }

    auto at = [](const std::vector<std::string>& row, int col) -> std::string {
        return col >= 0 && static_cast<std::size_t>(col) < row.size()
                   ? row[static_cast<std::size_t>(col)]
                   : std::string();
    };
    // One borehole, or one per value of the borehole column in the order they first appear.
    BoreholeIndex byId(out.boreholes);
    TextPool texts;
    DetailsPool details;
    auto boreholeFor = [&](const std::string& id) -> std::size_t {
        if (const std::size_t i = byId.find(id); i != BoreholeIndex::npos) return i;
        Borehole b;
        b.id = b.name = id;
        b.depthUnit = depthUnit;
        out.boreholes.push_back(std::move(b));
        byId.add(out.boreholes.size() - 1);
        return out.boreholes.size() - 1;
    };
    if (boreholeCol < 0) boreholeFor(options.boreholeName);
    // The tests of the borehole whose rows are being read; when the rows move on to another
    // borehole they become its tests, in one allocation of their number. A borehole whose rows
    // come back after another's (boreholes taking turns) takes its next few tests into its own
    // list, cut to their number each time the rows move on; past that, they gather apart until
    // the end.
    constexpr std::size_t kFewTests = 64;
    TestBlocks run;
    std::size_t runIndex = std::string::npos;
    std::unordered_map<std::size_t, TestBlocks> later;
    TestBlocks* sink = &run;
    // The sink instead, when set: by index, as a new borehole may move the list.
    std::size_t fewIndex = std::string::npos;
    auto endRun = [&] {
        if (runIndex != std::string::npos) out.boreholes[runIndex].tests = run.take();
        runIndex = std::string::npos;
        if (fewIndex != std::string::npos) out.boreholes[fewIndex].tests.shrink_to_fit();
        fewIndex = std::string::npos;
    };
    const std::string fileLevel = boreholeCol < 0 ? options.boreholeName : std::string();
    std::vector<Problem> rowProblems;

    std::string currentId;
    std::size_t lastIndex = std::string::npos; // of the borehole of the last row read
    double lastDepth = 0;
    std::size_t lastDepthLine = 0;
    // Merged while the depths go down; once they go back up, rows merged so far are set apart
    // again at the end and no more are merged.
    bool merging = true;
    std::deque<MergedRow> merged;
    const char* released = bytes.data();
    constexpr std::size_t kReleaseStep = std::size_t{64} << 10;
    std::string_view text = firstLine;
    bool pending = !headerRow; // the first line is data
    while (pending || nextLine(text)) {
        pending = false;
        if (owned && static_cast<std::size_t>(text.data() - released) >= kReleaseStep)
            released = releaseReadPages(released, text.data());
        if (trim(text).empty()) continue;
        const std::vector<std::string> row = splitRow(text, sep);
        const std::string line = "line " + std::to_string(lineNo);
        if (boreholeCol >= 0) {
            // A blank id continues the borehole above, as merged cells of a sheet do.
            if (const std::string id = at(row, boreholeCol); !id.empty()) currentId = id;
            if (currentId.empty()) {
                rowProblems.push_back({"", line + " skipped: no borehole named"});
                continue;
            }
        }
        // Rows of one borehole follow each other in most files: no search for those.
        const std::size_t index =
            boreholeCol < 0 ? 0
            : lastIndex < out.boreholes.size() && out.boreholes[lastIndex].id.view() == currentId
                ? lastIndex
                : boreholeFor(currentId);
        Borehole& b = out.boreholes[index];
        if (index != lastIndex) {
            endRun();
            if (auto it = later.find(index); it != later.end()) {
                sink = &it->second;
            } else if (b.tests.empty()) {
                runIndex = index;
                sink = &run;
            } else if (b.tests.size() < kFewTests) {
                fewIndex = index;
            } else {
                sink = &later.emplace(index, TestBlocks(std::move(b.tests))).first->second;
            }
        }
        lastIndex = index;
        const auto depth = parseNumber(at(row, depthCol), decimalComma);
        if (!depth) {
            rowProblems.push_back({b.name, line + " skipped: no depth"});
            continue;
        }
        if (boreholeCol < 0) {
            // Without a borehole column, depths that go back up are a second hole, never to be
            // merged into the first.
            if (lastDepthLine && *depth < lastDepth) {
                out.boreholes.clear();
                out.problems.clear();
                out.error = line + ": the depth " + depthText(*depth) + " lies above the depth " +
                            depthText(lastDepth) + " of line " + std::to_string(lastDepthLine) +
                            ", as where another borehole starts; give the file a column naming "
                            "the borehole of each row, or one file per borehole";
                return out;
            }
            lastDepth = *depth;
            lastDepthLine = lineNo;
        }
        SptTest t;
        t.top = *depth;
        const std::string nText = at(row, nCol);
        ReportN rn;
        if (auto n = parseNumber(nText, decimalComma)) {
            t.n = n;
            SptDetails d;
            d.statedN = n;
            t.details = details.get(d);
        } else if (nFromReport(parseSptReport(nText, depthUnit == LengthUnit::Feet),
                               depthUnit == LengthUnit::Feet, rn)) {
            SptDetails d;
            d.report = texts.get(nText);
            t.details = details.get(d);
            t.n = rn.n;
            t.refusal = rn.refusal;
            t.shortDrive = rn.lowerBound;
            t.note = rn.note;
        } else {
            rowProblems.push_back({b.name, line + " (depth " + depthText(*depth) +
                                               ") skipped: no N" +
                                               (nText.empty() ? "" : " in \"" + nText + "\"")});
            continue;
        }
        Stratum s;
        s.top = *depth;
        // Rows of one soil repeat its words: one copy of each.
        s.description = texts.get(at(row, descCol));
        const std::string symbol = at(row, symbolCol);
        const std::string soil = at(row, soilCol);
        s.classification = !soil.empty()     ? texts.get(soil)
                           : !symbol.empty() ? texts.get(symbol)
                                             : s.description;
        std::vector<SptTest>* few = fewIndex == index ? &b.tests : nullptr;
        const SptTest* above = few ? (few->empty() ? nullptr : &few->back())
                                   : (sink->empty() ? nullptr : &sink->back());
        if (above && !(t.top > above->top)) merging = false;
        const bool same = !b.strata.empty() && b.strata.back().top < s.top &&
                          b.strata.back().classification.view() == s.classification.view() &&
                          b.strata.back().description.view() == s.description.view();
        if (!s.classification.empty() && merging && same)
            merged.push_back({static_cast<std::uint32_t>(index),
                              static_cast<std::uint32_t>(b.strata.size() - 1), s.top});
        else if (!s.classification.empty())
            b.strata.push_back(std::move(s));
        if (!few) {
            sink->push_back(std::move(t));
        } else if (few->push_back(std::move(t)); few->size() >= kFewTests) {
            few->shrink_to_fit();
            sink = &later.emplace(index, TestBlocks(std::move(*few))).first->second;
            fewIndex = std::string::npos;
        }
    }
    if (!merging) unmerge(out.boreholes, merged);
    merged.clear();
    if (depthUnit == LengthUnit::Unknown)
        out.problems.push_back({fileLevel, "the depth unit is not given; choose feet or metres"});
    out.problems.push_back({fileLevel, "no ground elevation in the file; enter it"});
    for (Problem& p : rowProblems) out.problems.push_back(std::move(p));
    endRun();
    for (auto& [index, tests] : later) out.boreholes[index].tests = tests.take();
    later.clear();
    for (Borehole& b : out.boreholes) {
        tidyBorehole(b, out.problems);
        // Each row's soil reaches down to the next row.
        for (std::size_t k = 0; k + 1 < b.strata.size(); ++k)
            if (b.strata[k + 1].top > b.strata[k].top) b.strata[k].base = b.strata[k + 1].top;
    }
    return out;
}

} // namespace

std::vector<std::string> splitDelimitedRow(std::string_view line, char sep) {
    std::vector<std::string> out;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == '"' && trim(field).empty()) {
            field.clear();
            quoted = true;
        } else if (c == sep) {
            out.emplace_back(trim(field));
            field.clear();
        } else {
            field += c;
        }
    }
    out.emplace_back(trim(field));
    return out;
}

DataFile readDelimited(std::string_view bytes, const DelimitedOptions& options) {
    return readRows(bytes, nullptr, options);
}

DataFile readDelimitedOwned(std::string&& bytes, const DelimitedOptions& options) {
    std::string owned = std::move(bytes);
    return readRows(owned, &owned, options);
}

} // namespace zenka::dataimport
