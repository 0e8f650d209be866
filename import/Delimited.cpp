#include "import/Delimited.h"

#include <cstdio>

namespace zenka::dataimport {

namespace {

std::vector<std::string> splitRow(std::string_view line, char sep) {
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
            out.push_back(toUtf8(trim(field)));
            field.clear();
        } else {
            field += c;
        }
    }
    out.push_back(toUtf8(trim(field)));
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

enum class Column { None, Depth, N, Soil, Symbol, Description };

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

// "50/75mm", "50/3in": blows and the penetration they drove, in millimetres.
bool shortDrive(std::string_view text, double& blows, double& penMm) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return false;
    auto b = parseNumber(text.substr(0, slash));
    std::string_view rest = trim(text.substr(slash + 1));
    std::size_t k = 0;
    while (k < rest.size() && ((rest[k] >= '0' && rest[k] <= '9') || rest[k] == '.')) ++k;
    auto p = parseNumber(rest.substr(0, k));
    const std::string unit = lower(trim(rest.substr(k)));
    if (!b || !p) return false;
    if (unit == "mm")
        penMm = *p;
    else if (unit == "in" || unit == "\"" || unit == "inch" || unit == "inches")
        penMm = *p * 25.4;
    else if (unit == "cm")
        penMm = *p * 10;
    else
        return false;
    blows = *b;
    return true;
}

} // namespace

DataFile readDelimited(std::string_view bytes, const DelimitedOptions& options) {
    DataFile out;
    out.format = Format::Delimited;
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);

    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
            bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }

    std::size_t first = 0;
    while (first < lines.size() && trim(lines[first]).empty()) ++first;
    if (first == lines.size()) {
        out.error = "the file holds no rows";
        return out;
    }
    const char sep = separatorOf(lines[first]);
    const bool decimalComma = sep != ',';

    Borehole b;
    b.id = b.name = options.boreholeName;
    b.depthUnit = options.depthUnit;

    // Columns: from a header, or depth, N, soil when the first row is data.
    int depthCol = 0, nCol = 1, soilCol = 2, symbolCol = -1, descCol = -1;
    std::size_t dataFrom = first;
    const std::vector<std::string> head = splitRow(lines[first], sep);
    if (!parseNumber(head[0], decimalComma)) {
        depthCol = nCol = soilCol = -1;
        LengthUnit headerUnit = LengthUnit::Unknown;
        for (std::size_t k = 0; k < head.size(); ++k) {
            const auto [name, unit] = nameAndUnit(head[k]);
            const int col = static_cast<int>(k);
            switch (classify(name)) {
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
            out.error = "the header names no depth and N columns";
            return out;
        }
        if (headerUnit != LengthUnit::Unknown) b.depthUnit = headerUnit;
        dataFrom = first + 1;
    }
    if (b.depthUnit == LengthUnit::Unknown)
        out.problems.push_back({b.name, "the depth unit is not given; choose feet or metres"});
    out.problems.push_back({b.name, "no ground elevation in the file; enter it"});

    auto at = [](const std::vector<std::string>& row, int col) -> std::string {
        return col >= 0 && static_cast<std::size_t>(col) < row.size()
                   ? row[static_cast<std::size_t>(col)]
                   : std::string();
    };
    for (std::size_t li = dataFrom; li < lines.size(); ++li) {
        if (trim(lines[li]).empty()) continue;
        const std::vector<std::string> row = splitRow(lines[li], sep);
        const std::string line = "line " + std::to_string(li + 1);
        const auto depth = parseNumber(at(row, depthCol), decimalComma);
        if (!depth) {
            out.problems.push_back({b.name, line + " skipped: no depth"});
            continue;
        }
        SptTest t;
        t.top = *depth;
        const std::string nText = at(row, nCol);
        double blows = 0, penMm = 0;
        if (auto n = parseNumber(nText, decimalComma)) {
            t.n = t.statedN = n;
        } else if (shortDrive(nText, blows, penMm)) {
            t.report = nText;
            if (penMm < 300) {
                t.refusal = true;
                t.n = scaledRefusalN(blows, penMm);
                t.note = "refusal: the blows scaled to 300 mm";
            } else {
                t.n = blows;
            }
        } else {
            out.problems.push_back({b.name, line + " (depth " + depthText(*depth) +
                                                ") skipped: no N" +
                                                (nText.empty() ? "" : " in \"" + nText + "\"")});
            continue;
        }
        Stratum s;
        s.top = *depth;
        s.description = at(row, descCol);
        const std::string symbol = at(row, symbolCol);
        const std::string soil = at(row, soilCol);
        s.classification = !soil.empty() ? soil : !symbol.empty() ? symbol : s.description;
        if (!s.classification.empty()) b.strata.push_back(std::move(s));
        b.tests.push_back(std::move(t));
    }
    tidyBorehole(b, out.problems);
    // Each row's soil reaches down to the next row.
    for (std::size_t k = 0; k + 1 < b.strata.size(); ++k)
        if (b.strata[k + 1].top > b.strata[k].top) b.strata[k].base = b.strata[k + 1].top;
    out.boreholes.push_back(std::move(b));
    return out;
}

} // namespace zenka::dataimport
