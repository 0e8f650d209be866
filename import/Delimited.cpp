#include "import/Delimited.h"

#include "import/Ags4.h"

#include <algorithm>
#include <cstdio>
#include <memory_resource>
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

std::string depthText(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", d);
    return buf;
}

} // namespace

namespace {

// With mergeStrata, rows of one soil in a row make one stratum, as long as the depths go down;
// `unordered` then says they did not, and the file must be read again without merging.
DataFile readRows(std::string_view bytes, const DelimitedOptions& options, bool mergeStrata,
                  bool& unordered) {
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
    // By the boreholes' own ids, whose characters stay where they are; in an arena freed in one
    // piece, so that the boreholes' records are not left among the holes of its entries.
    std::pmr::monotonic_buffer_resource arena;
    std::pmr::unordered_map<std::string_view, std::size_t> byId(&arena);
    // Each borehole's tests as they are read (beside out.boreholes, by index).
    std::vector<TestBlocks> gathered;
    TextPool texts;
    auto boreholeFor = [&](const std::string& id) -> std::size_t {
        if (auto it = byId.find(id); it != byId.end()) return it->second;
        Borehole b;
        b.id = b.name = id;
        b.depthUnit = depthUnit;
        byId.emplace(b.id.view(), out.boreholes.size());
        out.boreholes.push_back(std::move(b));
        gathered.emplace_back();
        return out.boreholes.size() - 1;
    };
    if (boreholeCol < 0) boreholeFor(options.boreholeName);
    const std::string fileLevel = boreholeCol < 0 ? options.boreholeName : std::string();
    std::vector<Problem> rowProblems;

    std::string currentId;
    std::size_t lastIndex = std::string::npos; // of the borehole of the last row read
    double lastDepth = 0;
    std::size_t lastDepthLine = 0;
    std::string_view text = firstLine;
    bool pending = !headerRow; // the first line is data
    while (pending || nextLine(text)) {
        pending = false;
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
        const std::size_t index = boreholeCol >= 0 ? boreholeFor(currentId) : 0;
        Borehole& b = out.boreholes[index];
        TestBlocks& tests = gathered[index];
        if (index != lastIndex && lastIndex < gathered.size()) gathered[lastIndex].settle();
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
                gathered.clear();
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
            t.n = t.statedN = n;
        } else if (nFromReport(parseSptReport(nText, depthUnit == LengthUnit::Feet),
                               depthUnit == LengthUnit::Feet, rn)) {
            t.report = texts.get(nText);
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
        const bool inOrder = tests.empty() || t.top > tests.back().top;
        if (!inOrder && mergeStrata) unordered = true;
        const bool same = !b.strata.empty() && b.strata.back().top < s.top &&
                          b.strata.back().classification.view() == s.classification.view() &&
                          b.strata.back().description.view() == s.description.view();
        if (!s.classification.empty() && !(mergeStrata && inOrder && same))
            b.strata.push_back(std::move(s));
        tests.push_back(std::move(t));
    }
    if (depthUnit == LengthUnit::Unknown)
        out.problems.push_back({fileLevel, "the depth unit is not given; choose feet or metres"});
    out.problems.push_back({fileLevel, "no ground elevation in the file; enter it"});
    for (Problem& p : rowProblems) out.problems.push_back(std::move(p));
    for (std::size_t i = 0; i < out.boreholes.size(); ++i) {
        Borehole& b = out.boreholes[i];
        b.tests = gathered[i].take();
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
    bool unordered = false;
    DataFile f = readRows(bytes, options, true, unordered);
    if (unordered) f = readRows(bytes, options, false, unordered);
    return f;
}

} // namespace zenka::dataimport
