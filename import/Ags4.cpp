#include "import/Ags4.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <unordered_map>

namespace zenka::dataimport {

namespace {

// ---- the SPT report ----

class Cursor {
public:
    explicit Cursor(std::string_view s) : s_(s) {}
    void skip() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
    }
    bool end() {
        skip();
        return i_ >= s_.size();
    }
    bool eat(char c) {
        skip();
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    bool eatWord(std::string_view w) {
        skip();
        if (s_.size() - i_ < w.size()) return false;
        for (std::size_t k = 0; k < w.size(); ++k) {
            char c = s_[i_ + k];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != w[k]) return false;
        }
        i_ += w.size();
        return true;
    }
    std::optional<double> number() {
        skip();
        const std::size_t start = i_;
        while (i_ < s_.size() && ((s_[i_] >= '0' && s_[i_] <= '9') || s_[i_] == '.')) ++i_;
        if (i_ == start) return std::nullopt;
        auto v = parseNumber(s_.substr(start, i_ - start));
        if (!v) i_ = start;
        return v;
    }

private:
    std::string_view s_;
    std::size_t i_ = 0;
};

struct Item {
    bool blank = true;
    std::optional<double> blows;
    std::optional<double> penMm; // only when stated ("for 70mm")
    bool ok = true;
};

// "12", "25 for 70mm", "" (blank)
Item parseItem(std::string_view text) {
    Item it;
    Cursor c(text);
    if (c.end()) return it;
    it.blank = false;
    it.blows = c.number();
    if (c.eatWord("for")) {
        it.penMm = c.number();
        c.eatWord("mm");
        if (!it.penMm) it.ok = false;
    }
    if (!it.blows || !c.end()) it.ok = false;
    return it;
}

std::vector<Item> parsePart(std::string_view text, bool& ok) {
    std::vector<Item> items;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        Item it = parseItem(text.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (!it.ok) ok = false;
        items.push_back(it);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return items;
}

constexpr double kIncrementMm = 75;

void readDetail(std::string_view detail, SptReport& r) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = detail.find('/', start);
        parts.push_back(detail.substr(
            start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    if (parts.size() > 2) return;
    bool ok = true;
    std::vector<Item> seat = parts.size() == 2 ? parsePart(parts[0], ok) : std::vector<Item>{};
    std::vector<Item> test = parsePart(parts.back(), ok);
    if (!ok) return;
    bool allBlank = true;
    for (const Item& it : seat) allBlank = allBlank && it.blank;
    for (const Item& it : test) allBlank = allBlank && it.blank;
    r.parsed = true;
    if (allBlank) {
        r.noResult = true;
        return;
    }
    r.hasTest = true;
    bool anyFor = false;
    for (const Item& it : test) {
        if (it.blank) {
            r.testIncomplete = true;
            continue;
        }
        r.testBlows += *it.blows;
        r.testPenMm += it.penMm ? *it.penMm : kIncrementMm;
        anyFor = anyFor || it.penMm.has_value();
    }
    if (!anyFor && r.testPenMm < 300) r.testIncomplete = true;
}

} // namespace

SptReport parseSptReport(std::string_view text) {
    SptReport r;
    text = trim(text);
    if (text.empty()) return r;

    // "50/270" and "25/0*": blows and penetration of the test drive, or of a seating drive that
    // never ended (the star).
    {
        Cursor c(text);
        auto blows = c.number();
        if (blows && c.eat('/')) {
            auto pen = c.number();
            const bool star = c.eat('*');
            if (pen && c.end()) {
                r.parsed = true;
                r.hasTest = true;
                if (star) {
                    r.seatingOnly = true;
                } else {
                    r.testBlows = *blows;
                    r.testPenMm = *pen;
                }
                return r;
            }
        }
    }

    std::string_view rest = text;
    // "N=", "N =", "N>"
    if (!rest.empty() && (rest.front() == 'N' || rest.front() == 'n')) {
        std::string_view after = trim(rest.substr(1));
        if (!after.empty() && (after.front() == '=' || after.front() == '>')) {
            r.leadAtLeast = after.front() == '>';
            rest = trim(after.substr(1));
        } else {
            return r;
        }
    }

    const std::size_t open = rest.find('(');
    std::string_view leadText;
    std::string_view detail;
    if (open != std::string_view::npos) {
        leadText = rest.substr(0, open);
        std::size_t close = rest.find(')', open);
        detail = rest.substr(open + 1, close == std::string_view::npos ? std::string_view::npos
                                                                       : close - open - 1);
    } else if (rest.find('/') != std::string_view::npos) {
        detail = rest;
    } else {
        leadText = rest;
    }

    if (!trim(leadText).empty()) {
        Item lead = parseItem(leadText);
        if (!lead.ok) return SptReport{};
        r.lead = lead.blows;
        r.leadPenMm = lead.penMm;
        r.parsed = true;
    }
    if (!trim(detail).empty()) readDetail(detail, r);
    return r;
}

namespace {

// ---- the rows ----

// Splits the file into rows of fields. Quoted fields may hold commas, doubled quotes and even
// line breaks; unquoted fields are taken as they stand.
class RowReader {
public:
    explicit RowReader(std::string_view bytes) : s_(bytes) {
        if (s_.size() >= 3 && s_.substr(0, 3) == "\xEF\xBB\xBF") s_.remove_prefix(3);
    }
    // False at the end of the file. Blank lines come back as rows without fields.
    bool next(std::vector<std::string>& fields) {
        fields.clear();
        if (i_ >= s_.size()) return false;
        ++line_;
        std::string field;
        bool any = false;
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == '"') {
                ++i_;
                any = true;
                while (i_ < s_.size()) {
                    if (s_[i_] == '"') {
                        if (i_ + 1 < s_.size() && s_[i_ + 1] == '"') {
                            field += '"';
                            i_ += 2;
                            continue;
                        }
                        ++i_;
                        break;
                    }
                    if (s_[i_] == '\n') ++line_;
                    field += s_[i_++];
                }
                // Anything between the closing quote and the next comma is kept.
                while (i_ < s_.size() && s_[i_] != ',' && s_[i_] != '\n' && s_[i_] != '\r')
                    field += s_[i_++];
            } else if (c == ',') {
                fields.push_back(toUtf8(field));
                field.clear();
                any = true;
                ++i_;
            } else if (c == '\r' || c == '\n') {
                ++i_;
                if (c == '\r' && i_ < s_.size() && s_[i_] == '\n') ++i_;
                break;
            } else {
                field += c;
                any = true;
                ++i_;
            }
        }
        if (any) fields.push_back(toUtf8(trim(field)));
        return true;
    }
    int line() const { return line_; }

private:
    std::string_view s_;
    std::size_t i_ = 0;
    int line_ = 0;
};

struct Group {
    std::string name;
    std::vector<std::string> headings;
    std::vector<std::string> units;
    std::unordered_map<std::string, std::size_t> column;
    int rows = 0;
};

struct IsptRow {
    std::string loca;
    int line = 0;
    std::map<std::string, std::string> f; // heading -> value, for the headings read
};

std::string depthText(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", d);
    return buf;
}

const char* const kIsptHeadings[] = {
    "ISPT_TOP",  "ISPT_NVAL", "ISPT_REP",  "ISPT_SEAT", "ISPT_MAIN", "ISPT_NPEN", "ISPT_HAM",
    "ISPT_ERAT", "ISPT_TYPE", "ISPT_INC1", "ISPT_INC2", "ISPT_INC3", "ISPT_INC4", "ISPT_INC5",
    "ISPT_INC6", "ISPT_PEN1", "ISPT_PEN2", "ISPT_PEN3", "ISPT_PEN4", "ISPT_PEN5", "ISPT_PEN6"};

// Decides N from one ISPT row. False when the row gives no N.
bool decideN(const IsptRow& row, SptTest& t, std::string& why) {
    auto get = [&](const char* h) -> std::string {
        auto it = row.f.find(h);
        return it == row.f.end() ? std::string() : it->second;
    };
    t.report = get("ISPT_REP");
    t.statedN = parseNumber(get("ISPT_NVAL"));
    t.hammer = get("ISPT_HAM");
    t.energyRatio = parseNumber(get("ISPT_ERAT"));
    for (int k = 1; k <= 6; ++k) {
        const std::string idx = std::to_string(k);
        auto blows = parseNumber(get(("ISPT_INC" + idx).c_str()));
        auto pen = parseNumber(get(("ISPT_PEN" + idx).c_str()));
        if (blows || pen) t.driveSets.push_back({k, blows, pen});
    }
    const auto npen = parseNumber(get("ISPT_NPEN"));
    const SptReport r = parseSptReport(t.report);
    const bool reportKnowsTest = r.parsed && r.hasTest && !r.testIncomplete;

    if (t.statedN) {
        t.n = t.statedN;
        bool isShort = false;
        if (reportKnowsTest)
            isShort = r.seatingOnly || r.testPenMm < 300;
        else if (npen)
            isShort = *npen < 450;
        if (isShort) {
            t.shortDrive = true;
            t.note = "N as given; the file's penetration shows a short drive";
        }
        return true;
    }
    if (!r.parsed || r.noResult) {
        why = t.report.empty() ? "no N value and no report" : "no N in \"" + t.report + "\"";
        return false;
    }
    if (r.seatingOnly) {
        t.refusal = true;
        t.n = 100;
        t.note = "refusal in the seating drive";
        return true;
    }
    if (reportKnowsTest) {
        if (r.testPenMm < 300) {
            t.refusal = true;
            t.n = scaledRefusalN(r.testBlows, r.testPenMm);
            t.note = "refusal: the test blows scaled to 300 mm";
        } else {
            t.n = r.lead ? *r.lead : r.testBlows;
            t.note = "N from the report";
        }
        return true;
    }
    if (r.lead) {
        if (r.leadPenMm && *r.leadPenMm < 300) {
            t.refusal = true;
            t.n = scaledRefusalN(*r.lead, *r.leadPenMm);
            t.note = "refusal: the test blows scaled to 300 mm";
        } else {
            t.n = r.lead;
            t.note = "N from the report";
            if (r.leadAtLeast) {
                t.shortDrive = true;
                t.note = "N from the report, which gives it as a lower bound";
            }
        }
        return true;
    }
    why = "no N in \"" + t.report + "\"";
    return false;
}

} // namespace

DataFile readAgs4(std::string_view bytes) {
    DataFile out;
    out.format = Format::Ags4;

    RowReader reader(bytes);
    std::vector<std::string> fields;
    Group g;
    bool inGroup = false;

    struct LocaRow {
        std::string id, gl, fdep, star;
    };
    std::vector<LocaRow> loca;
    std::vector<IsptRow> ispt;
    struct GeolRow {
        std::string loca, top, base, desc, leg;
        int line;
    };
    std::vector<GeolRow> geol;
    struct WaterRow {
        std::string loca, depth;
        const char* column;
    };
    std::vector<WaterRow> water;
    std::unordered_map<std::string, std::string> legend;
    std::unordered_map<std::string, std::string> unitOf; // "GROUP.HEADING" -> unit
    bool sawLocaGl = false;
    bool sawGroup = false;

    auto problem = [&](std::string where, std::string what) {
        out.problems.push_back({std::move(where), std::move(what)});
    };

    while (reader.next(fields)) {
        if (fields.empty()) continue;
        const std::string& kind = fields[0];
        if (kind == "GROUP") {
            g = Group{};
            g.name = fields.size() > 1 ? fields[1] : std::string();
            inGroup = true;
            sawGroup = true;
            continue;
        }
        if (!inGroup) {
            problem("", "line " + std::to_string(reader.line()) + " lies outside any GROUP");
            continue;
        }
        if (kind == "HEADING") {
            g.headings.assign(fields.begin() + 1, fields.end());
            g.column.clear();
            for (std::size_t k = 0; k < g.headings.size(); ++k)
                g.column.emplace(g.headings[k], k + 1);
            if (g.name == "LOCA" && g.column.count("LOCA_GL")) sawLocaGl = true;
            continue;
        }
        if (kind == "UNIT") {
            g.units.assign(fields.begin() + 1, fields.end());
            for (std::size_t k = 0; k < g.units.size() && k < g.headings.size(); ++k)
                unitOf[g.name + "." + g.headings[k]] = g.units[k];
            continue;
        }
        if (kind != "DATA") continue; // TYPE, and anything unknown
        if (g.headings.empty()) {
            problem("",
                    "line " + std::to_string(reader.line()) + ": DATA before HEADING in " + g.name);
            continue;
        }
        ++g.rows;
        if (fields.size() != g.headings.size() + 1)
            problem("", "line " + std::to_string(reader.line()) + ": " +
                            std::to_string(fields.size() - 1) + " fields where " + g.name +
                            " has " + std::to_string(g.headings.size()) + " headings");
        auto field = [&](const char* heading) -> std::string {
            auto it = g.column.find(heading);
            if (it == g.column.end() || it->second >= fields.size()) return {};
            return std::string(trim(fields[it->second]));
        };
        if (g.name == "PROJ") {
            if (out.projectNumber.empty()) out.projectNumber = field("PROJ_ID");
            if (out.jobName.empty()) out.jobName = field("PROJ_NAME");
        } else if (g.name == "LOCA") {
            loca.push_back(
                {field("LOCA_ID"), field("LOCA_GL"), field("LOCA_FDEP"), field("LOCA_STAR")});
        } else if (g.name == "ISPT") {
            IsptRow row;
            row.loca = field("LOCA_ID");
            row.line = reader.line();
            for (const char* h : kIsptHeadings) {
                std::string v = field(h);
                if (!v.empty()) row.f.emplace(h, std::move(v));
            }
            ispt.push_back(std::move(row));
        } else if (g.name == "GEOL") {
            geol.push_back({field("LOCA_ID"), field("GEOL_TOP"), field("GEOL_BASE"),
                            field("GEOL_DESC"), field("GEOL_LEG"), reader.line()});
        } else if (g.name == "WSTG") {
            water.push_back({field("LOCA_ID"), field("WSTG_DPTH"), "WSTG.WSTG_DPTH"});
        } else if (g.name == "WSTD") {
            water.push_back({field("LOCA_ID"), field("WSTD_POST"), "WSTD.WSTD_POST"});
        } else if (g.name == "ABBR") {
            if (field("ABBR_HDNG") == "GEOL_LEG")
                legend.emplace(field("ABBR_CODE"), field("ABBR_DESC"));
        }
    }
    if (!sawGroup) {
        out.error = "no AGS4 GROUP rows found";
        return out;
    }

    // One depth unit for the file: that of the SPT depths, else of the other depth columns.
    LengthUnit depthUnit = LengthUnit::Unknown;
    std::string depthColumn;
    for (const char* col : {"ISPT.ISPT_TOP", "LOCA.LOCA_FDEP", "GEOL.GEOL_TOP", "WSTG.WSTG_DPTH"}) {
        auto it = unitOf.find(col);
        if (it != unitOf.end() && parseLengthUnit(it->second) != LengthUnit::Unknown) {
            depthUnit = parseLengthUnit(it->second);
            depthColumn = col;
            break;
        }
    }
    if (depthUnit == LengthUnit::Unknown && !ispt.empty())
        problem("", "the file gives no unit for its depths; choose one");
    // A depth column in another known unit is converted; one without a unit is read in the
    // file's depth unit, and said so.
    std::map<std::string, double> scale;
    auto factor = [&](const std::string& col) {
        if (auto it = scale.find(col); it != scale.end()) return it->second;
        double f = 1;
        auto it = unitOf.find(col);
        const LengthUnit u = it == unitOf.end() ? LengthUnit::Unknown : parseLengthUnit(it->second);
        if (u != LengthUnit::Unknown && depthUnit != LengthUnit::Unknown)
            f = convertLength(1.0, u, depthUnit);
        else if (u == LengthUnit::Unknown && depthUnit != LengthUnit::Unknown && unitOf.count(col))
            problem("", col.substr(col.find('.') + 1) + " has no unit; read in " +
                            unitWord(depthUnit) + " like " +
                            depthColumn.substr(depthColumn.find('.') + 1));
        scale[col] = f;
        return f;
    };
    auto depth = [&](const std::string& col, const std::string& text) -> std::optional<double> {
        auto v = parseNumber(text);
        if (!v) return std::nullopt;
        return *v * factor(col);
    };

    const LengthUnit glUnit = unitOf.count("LOCA.LOCA_GL") ? parseLengthUnit(unitOf["LOCA.LOCA_GL"])
                                                           : LengthUnit::Unknown;

    std::unordered_map<std::string, std::size_t> index;
    for (const LocaRow& l : loca) {
        if (l.id.empty() || index.count(l.id)) {
            problem(l.id, l.id.empty() ? "a LOCA row without LOCA_ID is skipped"
                                       : "LOCA_ID " + l.id + " appears twice; the first is kept");
            continue;
        }
        Borehole b;
        b.id = b.name = l.id;
        b.depthUnit = depthUnit;
        b.groundElevation = parseNumber(l.gl);
        b.elevationUnit = glUnit;
        b.finalDepth = depth("LOCA.LOCA_FDEP", l.fdep);
        b.boringDate = l.star.substr(0, l.star.find('T'));
        index.emplace(l.id, out.boreholes.size());
        out.boreholes.push_back(std::move(b));
    }

    std::map<std::string, int> dangling;
    auto owner = [&](const std::string& id) -> Borehole* {
        auto it = index.find(id);
        if (it == index.end()) {
            ++dangling[id];
            return nullptr;
        }
        return &out.boreholes[it->second];
    };

    for (const IsptRow& row : ispt) {
        Borehole* b = owner(row.loca);
        if (!b) continue;
        auto topIt = row.f.find("ISPT_TOP");
        auto top = topIt == row.f.end() ? std::nullopt : depth("ISPT.ISPT_TOP", topIt->second);
        if (!top) {
            problem(b->name, "line " + std::to_string(row.line) + ": SPT without a depth skipped");
            continue;
        }
        SptTest t;
        t.top = *top;
        std::string why;
        if (!decideN(row, t, why)) {
            problem(b->name,
                    "SPT at " + depthText(t.top) + " " + unitWord(depthUnit) + " skipped: " + why);
            continue;
        }
        b->tests.push_back(std::move(t));
    }
    for (const GeolRow& r : geol) {
        Borehole* b = owner(r.loca);
        if (!b) continue;
        auto top = depth("GEOL.GEOL_TOP", r.top);
        if (!top) {
            problem(b->name, "line " + std::to_string(r.line) + ": stratum without a top skipped");
            continue;
        }
        Stratum s;
        s.top = *top;
        s.base = depth("GEOL.GEOL_BASE", r.base);
        s.description = r.desc;
        s.classification = !r.leg.empty() ? r.leg : !r.desc.empty() ? r.desc : "(not described)";
        if (!r.leg.empty())
            if (auto it = legend.find(r.leg); it != legend.end()) s.legendText = it->second;
        b->strata.push_back(std::move(s));
    }
    for (const WaterRow& w : water) {
        Borehole* b = owner(w.loca);
        if (!b) continue;
        // "DRY" rows carry no depth: no water, not water at the ground surface.
        if (auto d = depth(w.column, w.depth)) b->waterDepths.push_back(*d);
    }
    for (const auto& [id, count] : dangling)
        problem(id, std::to_string(count) + " row(s) for LOCA_ID " + id +
                        ", which has no LOCA row, not attached");

    if (!sawLocaGl)
        problem("", "the file gives no ground elevations (LOCA_GL); enter the elevation");
    for (Borehole& b : out.boreholes) {
        tidyBorehole(b, out.problems);
        if (b.tests.empty()) continue;
        if (sawLocaGl && !b.groundElevation)
            problem(b.name, "no ground elevation (LOCA_GL); enter it");
        else if (b.groundElevation && b.elevationUnit == LengthUnit::Unknown)
            problem(b.name, "LOCA_GL has no unit; enter the ground elevation");
    }
    return out;
}

} // namespace zenka::dataimport
