#include "import/Diggs.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <unordered_map>

namespace zenka::dataimport {

namespace {

const char* localName(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

bool is(const pugi::xml_node& n, const char* local) {
    return std::strcmp(localName(n.name()), local) == 0;
}

pugi::xml_node child(const pugi::xml_node& n, const char* local) {
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && is(c, local)) return c;
    return {};
}

// Visits the elements of that local name below n, depth first, without descending into them;
// f returns false to stop. Iterative: a file may nest deeper than the stack would allow.
template <class F> void walk(const pugi::xml_node& n, const char* local, F&& f) {
    pugi::xml_node cur = n.first_child();
    while (cur) {
        bool descend = cur.type() == pugi::node_element;
        if (descend && is(cur, local)) {
            if (!f(cur)) return;
            descend = false;
        }
        if (descend && cur.first_child()) {
            cur = cur.first_child();
            continue;
        }
        while (cur != n && !cur.next_sibling()) cur = cur.parent();
        if (cur == n) return;
        cur = cur.next_sibling();
    }
}

pugi::xml_node descendant(const pugi::xml_node& n, const char* local) {
    pugi::xml_node found;
    walk(n, local, [&](const pugi::xml_node& c) {
        found = c;
        return false;
    });
    return found;
}

template <class F> void eachDescendant(const pugi::xml_node& n, const char* local, F&& f) {
    walk(n, local, [&](const pugi::xml_node& c) {
        f(c);
        return true;
    });
}

std::string numText(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

const char* attr(const pugi::xml_node& n, const char* local) {
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        if (std::strcmp(localName(a.name()), local) == 0) return a.value();
    return "";
}

std::string text(const pugi::xml_node& n) {
    return std::string(trim(n.child_value()));
}

// Whitespace-separated numbers; words such as "None" are dropped.
std::vector<double> numbers(std::string_view s) {
    std::vector<double> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < s.size() && !(s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
        if (i > start)
            if (auto v = parseNumber(s.substr(start, i - start))) out.push_back(*v);
    }
    return out;
}

std::optional<double> toMm(double v, std::string_view uom) {
    const std::string u = lower(trim(uom));
    if (u == "in" || u == "inch" || u == "inches" || u == "\"") return v * 25.4;
    if (u == "mm") return v;
    if (u == "cm") return v * 10;
    const LengthUnit lu = parseLengthUnit(u);
    if (lu == LengthUnit::Feet) return v * 304.8;
    if (lu == LengthUnit::Metres) return v * 1000;
    return std::nullopt;
}

std::string ref(const pugi::xml_node& n) {
    std::string href = attr(n, "href");
    if (!href.empty() && href.front() == '#') href.erase(0, 1);
    return href;
}

std::string depthText(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", d);
    return buf;
}

constexpr double kIncrementMm = 152.4; // 6 in
constexpr double kShortBy = 1.0;       // millimetres of slack in "reached its 6 in"

// N from the drive sets when they cover the test drive (or end it short: a refusal), else the
// file's stated N, marked as such when drive sets were there but did not cover it. False when
// neither gives one.
bool decideN(SptTest& t, std::optional<double> totalPenMm, std::optional<double> intervalMm,
             bool inchData, std::string& why) {
    std::map<int, const DriveSet*> byIndex;
    for (const DriveSet& d : t.details->driveSets)
        if (d.blows) byIndex.emplace(d.index, &d);
    const double fullMm = inchData ? kTestDriveInchMm : kTestDriveMm;

    auto reached = [](const DriveSet& d) {
        return !d.penetrationMm || *d.penetrationMm >= kIncrementMm - kShortBy;
    };
    if (!byIndex.empty()) {
        // The first increment of 1 to 3 that fell short ends the test.
        int shortAt = 0;
        int present = 0;
        for (int i = 1; i <= 3; ++i) {
            auto it = byIndex.find(i);
            if (it == byIndex.end()) break;
            ++present;
            if (!reached(*it->second)) {
                shortAt = i;
                break;
            }
        }
        if (shortAt) {
            double blows = 0, pen = 0;
            for (int i = 2; i <= shortAt; ++i) {
                const DriveSet& d = *byIndex[i];
                blows += *d.blows;
                pen += d.penetrationMm ? *d.penetrationMm : kIncrementMm;
            }
            t.refusal = true;
            t.n = scaledRefusalN(blows, pen, fullMm);
            t.note = shortAt == 1 ? "refusal in the seating drive"
                     : inchData   ? "refusal: the test blows scaled to 12 in"
                                  : "refusal: the test blows scaled to 300 mm";
            return true;
        }
        // The test drive alone, when the file leaves out the seating drive.
        const bool testDrive =
            byIndex.count(2) && byIndex.count(3) && reached(*byIndex[2]) && reached(*byIndex[3]);
        if (present == 3 || (present == 0 && testDrive)) {
            t.n = *byIndex[2]->blows + *byIndex[3]->blows;
            t.note = "N from increments 2 and 3";
            return true;
        }
        if (t.details->statedN) {
            t.n = t.details->statedN;
            t.statedOnly = true;
            t.note = "N as stated in the file: its drive sets do not cover the test drive";
            return true;
        }
        why = "fewer than three drive increments and no N value";
        return false;
    }
    if (!t.details->statedN) {
        why = "no drive sets and no N value";
        return false;
    }
    t.n = t.details->statedN;
    const double fullDriveMm = 3 * kIncrementMm - kShortBy;
    if (*t.n >= 50 &&
        ((totalPenMm && *totalPenMm < fullDriveMm) || (intervalMm && *intervalMm < fullDriveMm))) {
        t.shortDrive = true;
        t.note = "N as given; the file's penetration shows a short drive";
    }
    return true;
}

// The N value of a test's result set, if it has one.
std::optional<double> statedN(const pugi::xml_node& outcome) {
    std::optional<double> found;
    eachDescendant(outcome, "ResultSet", [&](const pugi::xml_node& rs) {
        if (found) return;
        // Which column holds N: the property named so, else the only one.
        int column = -1, count = 0;
        eachDescendant(rs, "Property", [&](const pugi::xml_node& p) {
            const std::string name = lower(text(child(p, "propertyName")));
            const std::string cls = lower(text(child(p, "propertyClass")));
            if (column < 0 && (name.find("n-value") != std::string::npos ||
                               name.find("n value") != std::string::npos ||
                               cls.find("n_value") != std::string::npos ||
                               cls.find("n-value") != std::string::npos))
                column = count;
            ++count;
        });
        if (column < 0 && count == 1) column = 0;
        if (column < 0) return;
        pugi::xml_node dv = descendant(rs, "dataValues");
        if (!dv) return;
        std::string cs = attr(dv, "cs");
        if (cs.empty()) cs = ",";
        std::string_view values = trim(dv.child_value());
        // The first tuple only; tuples are separated by blanks.
        values = values.substr(0, values.find_first_of(" \t\r\n"));
        std::size_t start = 0;
        for (int k = 0; k < column && start != std::string_view::npos; ++k) {
            start = values.find(cs[0], start);
            if (start != std::string_view::npos) ++start;
        }
        if (start == std::string_view::npos) return;
        found = parseNumber(values.substr(start, values.find(cs[0], start) - start));
    });
    return found;
}

struct Context {
    DataFile out;
    std::unordered_map<std::string, std::size_t> byId;
    std::map<std::string, int> dangling;
    int soundings = 0;
    TextPool texts;      // the words of strata, written alike in many boreholes
    DetailsPool details; // what tests write beside their N
};

void readBorehole(const pugi::xml_node& bh, Context& cx) {
    Borehole b;
    b.id = attr(bh, "id");
    b.name = text(child(bh, "name"));
    if (b.name.empty()) b.name = b.id;
    if (b.id.empty()) b.id = b.name;

    if (pugi::xml_node pl = descendant(child(bh, "referencePoint"), "PointLocation")) {
        pugi::xml_node pos = child(pl, "pos");
        std::string labels = attr(pos, "uomLabels");
        if (labels.empty()) labels = attr(pl, "uomLabels");
        const std::vector<double> v = numbers(pos.child_value());
        if (v.size() >= 3) {
            b.groundElevation = v[2];
            std::vector<std::string> words;
            std::size_t i = 0;
            while (i < labels.size()) {
                const std::size_t j = labels.find(' ', i);
                std::string w = labels.substr(i, j == std::string::npos ? j : j - i);
                if (!w.empty()) words.push_back(w);
                if (j == std::string::npos) break;
                i = j + 1;
            }
            const std::string label = words.size() >= 3   ? words[2]
                                      : words.size() == 1 ? words[0]
                                                          : "";
            b.elevationUnit = parseLengthUnit(label);
            if (b.elevationUnit == LengthUnit::Unknown)
                cx.out.problems.push_back(
                    {b.name, "ground elevation " + numText(v[2]) + " has no length unit" +
                                 (label.empty() ? std::string() : " (\"" + label + "\")") +
                                 "; enter the elevation"});
        }
    }
    if (!b.groundElevation) cx.out.problems.push_back({b.name, "no ground elevation; enter it"});

    pugi::xml_node tmd = child(bh, "totalMeasuredDepth");
    const LengthUnit tmdUnit = parseLengthUnit(attr(tmd, "uom"));
    if (pugi::xml_node lrm = descendant(child(bh, "linearReferencing"), "LinearReferencingMethod"))
        b.depthUnit = parseLengthUnit(text(child(lrm, "units")));
    if (b.depthUnit == LengthUnit::Unknown) b.depthUnit = tmdUnit;
    if (auto d = parseNumber(tmd.child_value())) {
        if (tmdUnit != LengthUnit::Unknown && b.depthUnit != LengthUnit::Unknown)
            b.finalDepth = convertLength(*d, tmdUnit, b.depthUnit);
        else if (tmdUnit == b.depthUnit)
            b.finalDepth = d;
    }
    if (pugi::xml_node when = child(bh, "whenConstructed")) {
        std::string date = text(descendant(when, "start"));
        if (date.empty()) date = text(descendant(when, "end"));
        b.boringDate = date.substr(0, date.find('T'));
    }
    eachDescendant(bh, "WaterStrike", [&](const pugi::xml_node& ws) {
        pugi::xml_node pos = descendant(ws, "pos");
        if (!pos) pos = descendant(ws, "posList");
        const std::vector<double> v = numbers(pos.child_value());
        if (!v.empty()) b.waterDepths.push_back(v[0]);
    });

    if (cx.byId.count(b.id)) {
        cx.out.problems.push_back(
            {b.name, "borehole id " + b.id + " appears twice; the first is kept"});
        return;
    }
    cx.byId.emplace(b.id, cx.out.boreholes.size());
    cx.out.boreholes.push_back(std::move(b));
}

Borehole* owner(const pugi::xml_node& n, Context& cx) {
    const std::string id = ref(child(n, "samplingFeatureRef"));
    auto it = cx.byId.find(id);
    if (it == cx.byId.end()) {
        ++cx.dangling[id.empty() ? std::string("(none)") : id];
        return nullptr;
    }
    return &cx.out.boreholes[it->second];
}

void readTest(const pugi::xml_node& test, Context& cx) {
    pugi::xml_node dpt = descendant(child(test, "procedure"), "DrivenPenetrationTest");
    if (!dpt) return; // not an SPT
    const std::string type = upper(text(child(dpt, "penetrationTestType")));
    if (!type.empty() && type.find("SPT") == std::string::npos) return;
    Borehole* b = owner(test, cx);
    if (!b) return;

    pugi::xml_node outcome = child(test, "outcome");
    const std::vector<double> at =
        numbers(descendant(descendant(outcome, "location"), "posList").child_value());
    const std::string label = text(child(test, "name"));
    if (at.empty()) {
        cx.out.problems.push_back({b->name, "SPT " + label + " without a depth skipped"});
        return;
    }
    SptTest t;
    t.top = at[0];
    if (at.size() >= 2 && at[1] > at[0]) t.base = at[1];
    SptDetails details{statedN(outcome),
                       parseNumber(child(dpt, "hammerEfficiency").child_value()),
                       {},
                       cx.texts.get(text(child(dpt, "hammerType"))),
                       {}};
    std::optional<double> totalPenMm;
    if (pugi::xml_node tp = child(dpt, "totalPenetration"))
        if (auto v = parseNumber(tp.child_value())) totalPenMm = toMm(*v, attr(tp, "uom"));
    eachDescendant(dpt, "DriveSet", [&](const pugi::xml_node& ds) {
        DriveSet d;
        // An index no drive set can have reads as none, like a missing one.
        const double index = parseNumber(child(ds, "index").child_value()).value_or(0);
        d.index = index >= 0 && index <= 1000 ? static_cast<int>(index) : 0;
        d.blows = parseNumber(child(ds, "blowCount").child_value());
        pugi::xml_node pen = child(ds, "penetration");
        if (auto v = parseNumber(pen.child_value())) d.penetrationMm = toMm(*v, attr(pen, "uom"));
        const std::string uom = lower(trim(attr(pen, "uom")));
        d.inches = uom == "in" || uom == "inch" || uom == "inches" || uom == "\"";
        details.driveSets.push_back(d);
    });
    t.details = cx.details.get(std::move(details));
    std::optional<double> intervalMm;
    if (t.base && b->depthUnit != LengthUnit::Unknown)
        intervalMm = convertLength(*t.base - t.top, b->depthUnit, LengthUnit::Metres) * 1000;
    std::string why;
    bool inchData = b->depthUnit == LengthUnit::Feet;
    for (const DriveSet& d : t.details->driveSets) inchData = inchData || d.inches;
    if (!decideN(t, totalPenMm, intervalMm, inchData, why)) {
        cx.out.problems.push_back({b->name, "SPT at " + depthText(t.top) + " " +
                                                unitWord(b->depthUnit) + " skipped: " + why});
        return;
    }
    b->tests.push_back(std::move(t));
}

std::string describe(const pugi::xml_node& lith, std::string& major) {
    std::string desc = text(child(lith, "lithDescription"));
    std::string parts;
    eachDescendant(lith, "Constituent", [&](const pugi::xml_node& c) {
        const std::string v = text(child(c, "codeValue"));
        if (v.empty()) return;
        if (major.empty() && lower(text(child(c, "abundanceCode"))) == "major") major = v;
        if (!parts.empty()) parts += ", ";
        parts += v;
    });
    if (!desc.empty()) return desc;
    const std::string colour = text(descendant(lith, "colorName"));
    if (!colour.empty()) return parts.empty() ? colour : colour + " " + parts;
    return parts;
}

void readLithology(const pugi::xml_node& sys, Context& cx) {
    Borehole* b = owner(sys, cx);
    if (!b) return;
    eachDescendant(sys, "LithologyObservation", [&](const pugi::xml_node& obs) {
        const std::vector<double> at =
            numbers(descendant(child(obs, "location"), "posList").child_value());
        if (at.empty()) return;
        Stratum s;
        s.top = at[0];
        // A one-value interval is a top; a base above the top is no base.
        if (at.size() >= 2 && at[1] > at[0]) s.base = at[1];
        pugi::xml_node lith = descendant(child(obs, "primaryLithology"), "Lithology");
        std::string major;
        const std::string description = describe(lith, major);
        std::string classification;
        for (const char* key : {"classificationSymbol", "legendCode", "classificationCode"}) {
            classification = text(child(lith, key));
            if (!classification.empty()) break;
        }
        if (classification.empty()) classification = !major.empty() ? major : description;
        if (classification.empty()) classification = "(not described)";
        s.description = cx.texts.get(description);
        s.classification = cx.texts.get(classification);
        b->strata.push_back(std::move(s));
    });
}

// What the file's top-level elements give: the project and the boreholes first, as tests and
// lithology refer to them wherever they stand in the file; then the tests and lithology.
void readFirstPass(const pugi::xml_node& top, Context& cx) {
    if (is(top, "project") && cx.out.projectNumber.empty()) {
        pugi::xml_node p = child(top, "Project");
        cx.out.projectNumber = text(child(p, "name"));
        cx.out.jobName = text(child(p, "description"));
    } else if (is(top, "samplingFeature")) {
        for (pugi::xml_node f = top.first_child(); f; f = f.next_sibling()) {
            if (is(f, "Borehole"))
                readBorehole(f, cx);
            else if (is(f, "Sounding"))
                ++cx.soundings;
        }
    }
}

bool readInSecondPass(const pugi::xml_node& top) {
    return is(top, "measurement") || is(top, "observation");
}

void readSecondPass(const pugi::xml_node& top, Context& cx) {
    if (is(top, "measurement")) {
        for (pugi::xml_node t = top.first_child(); t; t = t.next_sibling())
            if (is(t, "Test")) readTest(t, cx);
    } else if (is(top, "observation")) {
        for (pugi::xml_node o = top.first_child(); o; o = o.next_sibling())
            if (is(o, "LithologySystem")) readLithology(o, cx);
    }
}

DataFile finish(Context& cx) {
    for (Borehole& b : cx.out.boreholes) {
        tidyBorehole(b, cx.out.problems);
        if (!b.tests.empty() && b.depthUnit == LengthUnit::Unknown)
            cx.out.problems.push_back(
                {b.name, "the file gives no unit for its depths; choose one"});
    }
    for (const auto& [id, count] : cx.dangling)
        cx.out.problems.push_back({"", std::to_string(count) + " record(s) refer to borehole " +
                                           id + ", which is not in the file; not attached"});
    if (cx.soundings)
        cx.out.problems.push_back(
            {"", std::to_string(cx.soundings) + " sounding(s) (CPT) are not boreholes; not read"});
    return std::move(cx.out);
}

DataFile readWhole(std::string_view bytes) {
    Context cx;
    cx.out.format = Format::Diggs;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed) {
        cx.out.error = std::string("not well-formed XML (") + parsed.description() + " at byte " +
                       std::to_string(parsed.offset) + ")";
        return std::move(cx.out);
    }
    pugi::xml_node root = doc.document_element();
    if (!is(root, "Diggs")) {
        cx.out.error = "the root element is not Diggs";
        return std::move(cx.out);
    }
    for (pugi::xml_node top = root.first_child(); top; top = top.next_sibling())
        readFirstPass(top, cx);
    for (pugi::xml_node top = root.first_child(); top; top = top.next_sibling())
        readSecondPass(top, cx);
    return finish(cx);
}

// ---- reading a large file a top-level element at a time ----

// The document tree of a whole file takes nearly three times the file. Each element under the
// root is parsed on its own instead, and what lies around them (the prolog, the root's tags,
// whatever stands between them) is parsed as the file less those elements; the file is read
// that way only when all of these parse, and gives what the whole tree gives. Only the plain
// shape of a document is cut up (UTF-8, no DOCTYPE); anything else, and every file that does not
// parse, is read whole, for the same result and the same message.
struct Outline {
    struct Piece {
        std::size_t begin, end;
    };
    std::vector<Piece> pieces; // the root's child elements, in order
    std::string rest;          // the file without them
};

bool isNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || u >= 0x80;
}

bool startsAt(std::string_view s, std::size_t i, std::string_view what) {
    return s.compare(i, what.size(), what) == 0;
}

// Past the markup at i that holds no element: a comment, CDATA or processing instruction;
// npos when it is none of these, or unterminated.
std::size_t skipMarkup(std::string_view s, std::size_t i) {
    auto past = [&](std::size_t from, std::string_view end) {
        const std::size_t at = s.find(end, from);
        return at == std::string_view::npos ? at : at + end.size();
    };
    if (startsAt(s, i, "<!--")) return past(i + 4, "-->");
    if (startsAt(s, i, "<![CDATA[")) return past(i + 9, "]]>");
    if (startsAt(s, i, "<?")) return past(i + 2, "?>");
    return std::string_view::npos;
}

// Past the start tag at i ("<name ...>" or "<name .../>"); npos when it does not end.
std::size_t skipStartTag(std::string_view s, std::size_t i, bool& empty) {
    for (std::size_t k = i + 1; k < s.size(); ++k) {
        const char c = s[k];
        if (c == '"' || c == '\'') {
            k = s.find(c, k + 1);
            if (k == std::string_view::npos) return k;
        } else if (c == '<') {
            return std::string_view::npos;
        } else if (c == '>') {
            empty = s[k - 1] == '/';
            return k + 1;
        }
    }
    return std::string_view::npos;
}

bool outline(std::string_view s, Outline& out) {
    std::size_t i = startsAt(s, 0, "\xEF\xBB\xBF") ? 3 : 0;
    // The prolog: a declaration saying UTF-8 or nothing, comments and processing instructions.
    bool first = true;
    while (true) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
        if (i + 1 >= s.size() || s[i] != '<') return false;
        if (isNameStart(s[i + 1])) break;
        const std::size_t past = skipMarkup(s, i);
        if (past == std::string_view::npos || startsAt(s, i, "<![CDATA[")) return false;
        if (first && startsAt(s, i, "<?xml")) {
            const std::string decl = lower(s.substr(i, past - i));
            const std::size_t enc = decl.find("encoding");
            if (enc != std::string::npos) {
                const std::size_t open = decl.find_first_of("\"'", enc);
                if (open == std::string::npos) return false;
                const std::size_t close = decl.find(decl[open], open + 1);
                if (close == std::string::npos) return false;
                const std::string name = decl.substr(open + 1, close - open - 1);
                if (name != "utf-8" && name != "utf8") return false;
            }
        }
        first = false;
        i = past;
    }
    bool empty = false;
    i = skipStartTag(s, i, empty);
    if (i == std::string_view::npos || empty) return false;

    std::size_t restFrom = 0;
    std::size_t depth = 0, pieceBegin = 0;
    while (true) {
        i = s.find('<', i);
        if (i == std::string_view::npos || i + 1 >= s.size()) return false;
        if (s[i + 1] == '!' || s[i + 1] == '?') {
            if (startsAt(s, i, "<!") && !startsAt(s, i, "<!--") && !startsAt(s, i, "<![CDATA["))
                return false; // a DOCTYPE or worse
            i = skipMarkup(s, i);
            if (i == std::string_view::npos) return false;
            continue;
        }
        if (s[i + 1] == '/') {
            const std::size_t close = s.find('>', i);
            if (close == std::string_view::npos) return false;
            if (depth == 0) break; // the root's end tag
            i = close + 1;
            if (--depth == 0) {
                out.rest.append(s.substr(restFrom, pieceBegin - restFrom));
                out.pieces.push_back({pieceBegin, i});
                restFrom = i;
            }
            continue;
        }
        if (!isNameStart(s[i + 1])) return false;
        if (depth == 0) pieceBegin = i;
        i = skipStartTag(s, i, empty);
        if (i == std::string_view::npos) return false;
        if (!empty) {
            ++depth;
        } else if (depth == 0) {
            out.rest.append(s.substr(restFrom, pieceBegin - restFrom));
            out.pieces.push_back({pieceBegin, i});
            restFrom = i;
        }
    }
    out.rest.append(s.substr(restFrom));
    return true;
}

// A piece parsed on its own: its one element, or nothing when it does not parse so.
pugi::xml_node parsePiece(std::string_view s, const Outline::Piece& piece, std::string& buffer,
                          pugi::xml_document& doc) {
    buffer.assign(s.substr(piece.begin, piece.end - piece.begin));
    if (!doc.load_buffer_inplace(buffer.data(), buffer.size(), pugi::parse_default,
                                 pugi::encoding_utf8))
        return {};
    pugi::xml_node top = doc.first_child();
    if (!top || top.type() != pugi::node_element || top.next_sibling()) return {};
    return top;
}

std::optional<DataFile> readInPieces(std::string_view bytes) {
    Outline o;
    if (!outline(bytes, o)) return std::nullopt;
    {
        pugi::xml_document doc;
        if (!doc.load_buffer(o.rest.data(), o.rest.size(), pugi::parse_default,
                             pugi::encoding_auto) ||
            !is(doc.document_element(), "Diggs"))
            return std::nullopt;
    }
    o.rest = std::string();
    Context cx;
    cx.out.format = Format::Diggs;
    std::string buffer;
    pugi::xml_document doc;
    std::vector<std::size_t> second;
    for (std::size_t k = 0; k < o.pieces.size(); ++k) {
        const pugi::xml_node top = parsePiece(bytes, o.pieces[k], buffer, doc);
        if (!top) return std::nullopt;
        readFirstPass(top, cx);
        if (readInSecondPass(top)) second.push_back(k);
    }
    for (std::size_t k : second) {
        const pugi::xml_node top = parsePiece(bytes, o.pieces[k], buffer, doc);
        if (!top) return std::nullopt;
        readSecondPass(top, cx);
    }
    return finish(cx);
}

} // namespace

DataFile readDiggs(std::string_view bytes) {
    if (std::optional<DataFile> read = readInPieces(bytes)) return std::move(*read);
    return readWhole(bytes);
}

} // namespace zenka::dataimport
