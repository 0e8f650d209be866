#include "import/Ags4.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <memory_resource>
#include <unordered_map>

namespace zenka::dataimport {

namespace {

// ---- the SPT report ----

constexpr double kIncrementMm = 75;
constexpr double kMmPerInch = 25.4;

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
    // A word, case aside, not followed by a letter ("in" does not eat "inches"' first two).
    bool eatWord(std::string_view w) {
        skip();
        if (s_.size() - i_ < w.size()) return false;
        for (std::size_t k = 0; k < w.size(); ++k) {
            char c = s_[i_ + k];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != w[k]) return false;
        }
        const std::size_t after = i_ + w.size();
        const bool letter =
            w.size() > 1 && after < s_.size() &&
            ((s_[after] >= 'a' && s_[after] <= 'z') || (s_[after] >= 'A' && s_[after] <= 'Z'));
        if (letter) return false;
        i_ = after;
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
    // A penetration: a number and its unit, mm unless it says inches (or bareInches).
    std::optional<double> penetrationMm(bool bareInches, bool& inches) {
        auto v = number();
        if (!v) return std::nullopt;
        if (eatWord("mm")) return v;
        if (eatWord("cm")) return *v * 10;
        if (eatWord("inches") || eatWord("inch") || eatWord("in") || eat('"')) {
            inches = true;
            return *v * kMmPerInch;
        }
        if (bareInches) {
            inches = true;
            return *v * kMmPerInch;
        }
        return v;
    }
    // The text inside the next pair of parentheses; the closing one may be missing.
    std::optional<std::string_view> group() {
        if (!eat('(')) return std::nullopt;
        const std::size_t close = s_.find(')', i_);
        const std::string_view inside =
            s_.substr(i_, close == std::string_view::npos ? std::string_view::npos : close - i_);
        i_ = close == std::string_view::npos ? s_.size() : close + 1;
        return inside;
    }
    std::string_view rest() const { return s_.substr(i_); }
    std::size_t at() const { return i_; }
    void seek(std::size_t i) { i_ = i; }

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
Item parseItem(std::string_view text, bool bareInches, bool& inches) {
    Item it;
    Cursor c(text);
    if (c.end()) return it;
    it.blank = false;
    it.blows = c.number();
    if (c.eatWord("for")) {
        it.penMm = c.penetrationMm(bareInches, inches);
        if (!it.penMm) it.ok = false;
    }
    if (!it.blows || !c.end()) it.ok = false;
    return it;
}

std::vector<Item> parsePart(std::string_view text, bool bareInches, bool& inches, bool& ok) {
    std::vector<Item> items;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        Item it =
            parseItem(text.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                         : comma - start),
                      bareInches, inches);
        if (!it.ok) ok = false;
        items.push_back(it);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return items;
}

// The increments: "seating/test", each a comma list ("7,14/50 for 215mm", "3,4/4,4,4,5").
bool readDetail(std::string_view detail, bool bareInches, SptReport& r) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = detail.find('/', start);
        parts.push_back(detail.substr(
            start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    if (parts.size() > 2) return false;
    bool ok = true;
    std::vector<Item> seat =
        parts.size() == 2 ? parsePart(parts[0], bareInches, r.inches, ok) : std::vector<Item>{};
    std::vector<Item> test = parsePart(parts.back(), bareInches, r.inches, ok);
    if (!ok) return false;
    bool seatBlank = true, testBlank = true;
    for (const Item& it : seat) seatBlank = seatBlank && it.blank;
    for (const Item& it : test) testBlank = testBlank && it.blank;
    if (seatBlank && testBlank) {
        r.noResult = true;
        return true;
    }
    r.hasTest = true;
    if (testBlank && parts.size() == 2) {
        // The seating drive was written, the test drive not at all: it was never made.
        r.seatingOnly = true;
        return true;
    }
    const double incrementMm = r.inches ? 3 * kMmPerInch : kIncrementMm;
    bool anyFor = false;
    for (const Item& it : test) {
        if (it.blank) {
            r.testIncomplete = true;
            continue;
        }
        r.testBlows += *it.blows;
        r.testPenMm += it.penMm ? *it.penMm : incrementMm;
        anyFor = anyFor || it.penMm.has_value();
    }
    if (!anyFor && r.testPenMm < 4 * incrementMm - 1) r.testIncomplete = true;
    return true;
}

// The shapes of a report after its "N=" / "N>" prefix, tried in order. In a pattern, B is the
// test blows, P a penetration with its unit, L the leading number (the N as written), D the
// increments in parentheses, a word with "|" any of its spellings; blanks between tokens are
// optional in the text.
enum class Shape {
    TestDrive,   // the test drive's blows over its penetration
    SeatingOnly, // the star: the seating drive never ended
    Lead,        // a number alone, or with the increments
    LeadFor,     // "50 for 285mm", perhaps with the increments
    Detail,      // the increments alone
};
struct Form {
    const char* pattern;
    Shape shape;
};
constexpr Form kForms[] = {
    {"B / P *", Shape::SeatingOnly},                  // 25/0*
    {"B / P", Shape::TestDrive},                      // 50/280, N=50/280, 50/3in
    {"B blows|blow|bl for|in|/ P", Shape::TestDrive}, // 50 BLOWS for 225mm, 50 blows/75mm
    {"L for P D", Shape::LeadFor},                    // 50 for 285mm (13/11,12,12,15 for 60mm)
    {"L for P", Shape::LeadFor},                      // 50 for 75mm
    {"L D", Shape::Lead},                             // N=50 (7,14/50 for 215mm)
    {"L", Shape::Lead},                               // N=17, 0
    {"D", Shape::Detail},                             // (3,4/4,4,4,5)
};

struct Matched {
    double b = 0, p = 0, l = 0;
    std::string_view detail;
    bool inches = false;
};

bool matchForm(std::string_view pattern, std::string_view text, bool bareInches, Matched& m) {
    Cursor c(text);
    std::size_t start = 0;
    while (start < pattern.size()) {
        std::size_t end = pattern.find(' ', start);
        if (end == std::string_view::npos) end = pattern.size();
        const std::string_view token = pattern.substr(start, end - start);
        start = end + 1;
        if (token == "B" || token == "L") {
            auto v = c.number();
            if (!v) return false;
            (token == "B" ? m.b : m.l) = *v;
        } else if (token == "P") {
            auto v = c.penetrationMm(bareInches, m.inches);
            if (!v) return false;
            m.p = *v;
        } else if (token == "D") {
            // In parentheses, or bare when it holds the slash of its two drives.
            if (auto g = c.group()) {
                m.detail = *g;
            } else {
                const std::string_view rest = trim(c.rest());
                if (rest.find('/') == std::string_view::npos) return false;
                m.detail = rest;
                c.seek(text.size());
            }
        } else {
            bool any = false;
            std::size_t from = 0;
            while (!any && from <= token.size()) {
                std::size_t bar = token.find('|', from);
                if (bar == std::string_view::npos) bar = token.size();
                const std::string_view word = token.substr(from, bar - from);
                any = word.size() == 1 ? c.eat(word[0]) : c.eatWord(word);
                from = bar + 1;
            }
            if (!any) return false;
        }
    }
    return c.end();
}

} // namespace

SptReport parseSptReport(std::string_view text, bool bareInches) {
    SptReport r;
    text = trim(text);
    if (text.empty()) return r;

    // "N=", "N =", "N>", "SPT N=": the N as the driller states it, or a lower bound of it.
    std::string_view rest = text;
    {
        Cursor c(text);
        c.eatWord("spt");
        if (c.eatWord("n")) {
            if (c.eat('=') || c.eat(':')) {
                rest = c.rest();
            } else if (c.eat('>')) {
                c.eat('=');
                r.leadAtLeast = true;
                rest = c.rest();
            } else {
                return r;
            }
        }
    }

    for (const Form& form : kForms) {
        Matched m;
        if (!matchForm(form.pattern, rest, bareInches, m)) continue;
        r.inches = m.inches;
        switch (form.shape) {
        case Shape::SeatingOnly:
            r.parsed = r.hasTest = r.seatingOnly = true;
            return r;
        case Shape::TestDrive:
            r.parsed = r.hasTest = true;
            r.testBlows = m.b;
            r.testPenMm = m.p;
            return r;
        case Shape::LeadFor:
            r.leadPenMm = m.p;
            [[fallthrough]];
        case Shape::Lead:
            r.lead = m.l;
            r.parsed = true;
            if (!m.detail.empty() && !readDetail(m.detail, bareInches, r)) return SptReport{};
            return r;
        case Shape::Detail:
            if (!readDetail(m.detail, bareInches, r)) return SptReport{};
            r.parsed = true;
            return r;
        }
    }
    return SptReport{};
}

bool nFromReport(const SptReport& r, bool inchData, ReportN& out) {
    if (!r.parsed || r.noResult) return false;
    const double fullMm = inchData || r.inches ? kTestDriveInchMm : kTestDriveMm;
    const double shortOf = fullMm - 1; // a millimetre of slack for inches written in mm
    if (r.seatingOnly) {
        out = {100, true, false, "refusal in the seating drive"};
        return true;
    }
    if (r.hasTest && !r.testIncomplete) {
        if (r.testPenMm < shortOf) {
            out = {scaledRefusalN(r.testBlows, r.testPenMm, fullMm), true, false,
                   inchData || r.inches ? "refusal: the test blows scaled to 12 in"
                                        : "refusal: the test blows scaled to 300 mm"};
        } else {
            out = {r.lead ? *r.lead : r.testBlows, false, false, "N from the report"};
        }
        return true;
    }
    if (r.lead) {
        if (r.leadPenMm && *r.leadPenMm < shortOf) {
            out = {scaledRefusalN(*r.lead, *r.leadPenMm, fullMm), true, false,
                   inchData || r.inches ? "refusal: the test blows scaled to 12 in"
                                        : "refusal: the test blows scaled to 300 mm"};
        } else if (r.leadAtLeast) {
            out = {*r.lead, false, true, "N from the report, which gives it as a lower bound"};
        } else {
            out = {*r.lead, false, false, "N from the report"};
        }
        return true;
    }
    return false;
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

std::string depthText(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", d);
    return buf;
}

// The ISPT headings read, by position in this table.
enum Ispt {
    kTop,
    kNval,
    kRep,
    kNpen,
    kHam,
    kErat,
    kInc1,
    kPen1 = kInc1 + 6,
    kIsptCount = kPen1 + 6,
};
const char* const kIsptHeadings[kIsptCount] = {
    "ISPT_TOP",  "ISPT_NVAL", "ISPT_REP",  "ISPT_NPEN", "ISPT_HAM",  "ISPT_ERAT",
    "ISPT_INC1", "ISPT_INC2", "ISPT_INC3", "ISPT_INC4", "ISPT_INC5", "ISPT_INC6",
    "ISPT_PEN1", "ISPT_PEN2", "ISPT_PEN3", "ISPT_PEN4", "ISPT_PEN5", "ISPT_PEN6"};

// The report the increment columns make (ISPT_INC1..6 blows, ISPT_PEN1..6 mm, 75 mm where the
// penetration is blank): 1 and 2 the seating drive, 3 to 6 the test drive.
template <class Get> SptReport fromIncrements(const Get& get) {
    SptReport r;
    double seatPen = 0;
    bool seat = false;
    for (int k = 0; k < 2; ++k) {
        if (!parseNumber(get(kInc1 + k))) continue;
        seat = true;
        seatPen += parseNumber(get(kPen1 + k)).value_or(kIncrementMm);
    }
    int test = 0;
    bool stoppedShort = false;
    for (int k = 2; k < 6; ++k) {
        const auto blows = parseNumber(get(kInc1 + k));
        if (!blows) break;
        ++test;
        r.testBlows += *blows;
        const double pen = parseNumber(get(kPen1 + k)).value_or(kIncrementMm);
        r.testPenMm += pen;
        if (pen < kIncrementMm - 1) {
            stoppedShort = true; // the drive stopped within this increment
            break;
        }
    }
    if (!seat && !test) return r;
    r.parsed = r.hasTest = true;
    if (!test) {
        // A seating drive short of its 150 mm with no test drive: refusal while seating.
        r.seatingOnly = seatPen < 2 * kIncrementMm - 1;
        r.noResult = !r.seatingOnly;
        r.hasTest = r.seatingOnly;
        return r;
    }
    r.testIncomplete = test < 4 && !stoppedShort;
    return r;
}

// Decides N from one ISPT row. False when the row gives no N.
bool decideN(const std::string* const f[kIsptCount], bool inchData, SptTest& t, std::string& why,
             TextPool& pool, DetailsPool& details) {
    static const std::string kNone;
    auto get = [&](int k) -> const std::string& { return f[k] ? *f[k] : kNone; };
    // Once per row: moved into the pool, not copied, and read back from the test.
    t.details = details.get(SptDetails{parseNumber(get(kNval)),
                                       parseNumber(get(kErat)),
                                       pool.get(get(kRep)),
                                       pool.get(get(kHam)),
                                       {}});
    const SptDetails& d = *t.details;
    const auto npen = parseNumber(get(kNpen));
    const SptReport r = parseSptReport(d.report, false);
    const bool reportKnowsTest = r.parsed && r.hasTest && !r.testIncomplete;

    if (d.statedN) {
        t.n = d.statedN;
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
    ReportN n;
    if (!nFromReport(r, inchData, n) && !nFromReport(fromIncrements(get), inchData, n)) {
        why = d.report.empty() ? "no N value and no report" : "no N in \"" + d.report + "\"";
        return false;
    }
    t.n = n.n;
    t.refusal = n.refusal;
    t.shortDrive = n.lowerBound;
    t.note = n.note;
    return true;
}

// What the reader keeps of the current group.
struct Group {
    std::string name;
    std::vector<std::string> headings;
    std::unordered_map<std::string, std::size_t> column; // heading -> field index
    int isptColumn[kIsptCount] = {};                     // field index, 0 when absent
};

// AGS3 names for what AGS4 calls LOCA.
std::string agsName(std::string name, bool ags3) {
    if (ags3 && (name == "HOLE" || name.rfind("HOLE_", 0) == 0)) name.replace(0, 4, "LOCA");
    return name;
}

class AgsReader {
public:
    explicit AgsReader(std::string_view bytes) : reader_(bytes) {}
    // Bytes the reader frees once the rows are read, before the boreholes are made of them.
    explicit AgsReader(std::string&& bytes) : owned_(std::move(bytes)), reader_(owned_) {}
    DataFile read();

private:
    void problem(std::string where, std::string what) {
        out_.problems.push_back({std::move(where), std::move(what)});
    }
    void startGroup(const std::string& name);
    void setHeadings(std::vector<std::string>::const_iterator from,
                     std::vector<std::string>::const_iterator to, bool append);
    void setUnits(std::vector<std::string>::const_iterator from,
                  std::vector<std::string>::const_iterator to);
    // One data row; `fields` holds the values from index 1 on (AGS4's "DATA" at 0).
    void dataRow(const std::vector<std::string>& fields, int line);
    void finish();

    std::string owned_;
    RowReader reader_;
    DataFile out_;
    bool ags3_ = false;
    Group g_;
    bool inGroup_ = false;

    // What is read of the file until its end, in one arena freed in one piece: freed row by
    // row, these records would leave holes among the boreholes' that the system never takes
    // back. Declared before them, so that it outlives them.
    std::pmr::monotonic_buffer_resource arena_;

    // Rows kept until the end of the file, when its depth unit is known, in deques: they grow
    // without moving what they hold. Numbers are parsed as the row is read (depths in their
    // column's unit) and texts shared, so that a row takes a few words, not its fields' text.
    // The rows name their borehole by a number: each LOCA_ID the file names has one, in order
    // of first use, and its tests as they are read (a LOCA row may come after its tests).
    struct Hole {
        SharedText id;
        TestBlocks tests;
    };
    std::uint32_t hole(const std::string& id);
    std::pmr::deque<Hole> holes_{&arena_};
    std::pmr::unordered_map<std::string_view, std::uint32_t> holeOf_{&arena_}; // by holes_' ids
    TestBlocks* lastTests_ = nullptr; // those of the last ISPT row
    bool anyTest_ = false;
    TextPool texts_;      // reports and hammers, written alike on many rows
    DetailsPool details_; // and what each test writes beside its N
    struct LocaRow {
        std::uint32_t hole;
        OptionalNumber gl, fdep;
        SharedText date;
    };
    std::pmr::deque<LocaRow> loca_{&arena_};
    // Said once the file's depth unit is known: text, the unit's word, then after.
    struct Pending {
        std::string loca, text, after;
    };
    std::deque<Pending> isptProblems_;
    struct GeolRow {
        std::uint32_t hole;
        int line;
        OptionalNumber top, base;
        SharedText desc, leg;
    };
    std::pmr::deque<GeolRow> geol_{&arena_};
    struct WaterRow {
        std::uint32_t hole;
        OptionalNumber depth;
        const char* column;
    };
    std::pmr::deque<WaterRow> water_{&arena_};
    TextPool words_; // descriptions, legend codes and dates, written alike in many boreholes
    std::unordered_map<std::string, SharedText> legend_;
    std::unordered_map<std::string, std::string> unitOf_; // "GROUP.HEADING" -> unit
    bool sawLocaGl_ = false;
    bool sawGroup_ = false;
    // An AGS3 data row waits for the "<CONT>" rows that may continue it.
    std::vector<std::string> held_;
    int heldLine_ = 0;
};

std::uint32_t AgsReader::hole(const std::string& id) {
    if (auto it = holeOf_.find(id); it != holeOf_.end()) return it->second;
    const auto number = static_cast<std::uint32_t>(holes_.size());
    holes_.push_back({SharedText(id), {}});
    holeOf_.emplace(holes_.back().id.view(), number);
    return number;
}

void AgsReader::startGroup(const std::string& name) {
    g_ = Group{};
    g_.name = agsName(name, ags3_);
    inGroup_ = true;
    sawGroup_ = true;
}

void AgsReader::setHeadings(std::vector<std::string>::const_iterator from,
                            std::vector<std::string>::const_iterator to, bool append) {
    if (!append) {
        g_.headings.clear();
        g_.column.clear();
        std::fill(std::begin(g_.isptColumn), std::end(g_.isptColumn), 0);
    }
    for (auto it = from; it != to; ++it) {
        std::string h = *it;
        if (ags3_) {
            if (!h.empty() && h.front() == '*') h.erase(0, 1);
            // A heading line ended by a comma leaves an empty field: not a heading.
            if (trim(h).empty()) continue;
        }
        h = agsName(std::string(trim(h)), ags3_);
        g_.headings.push_back(h);
        // A data row's values stand at 1..n, after AGS4's "DATA".
        const std::size_t index = g_.headings.size();
        g_.column.emplace(h, index);
        if (g_.name == "ISPT")
            for (int k = 0; k < kIsptCount; ++k)
                if (h == kIsptHeadings[k] && !g_.isptColumn[k])
                    g_.isptColumn[k] = static_cast<int>(index);
    }
    if (g_.name == "LOCA" && g_.column.count("LOCA_GL")) sawLocaGl_ = true;
}

void AgsReader::setUnits(std::vector<std::string>::const_iterator from,
                         std::vector<std::string>::const_iterator to) {
    std::size_t k = 0;
    for (auto it = from; it != to && k < g_.headings.size(); ++it, ++k)
        unitOf_[g_.name + "." + g_.headings[k]] = *it;
}

void AgsReader::dataRow(const std::vector<std::string>& fields, int line) {
    // In both syntaxes the values stand at 1..n here (AGS3 rows are shifted by one).
    if (fields.size() != g_.headings.size() + 1)
        problem("", "line " + std::to_string(line) + ": " + std::to_string(fields.size() - 1) +
                        " fields where " + g_.name + " has " + std::to_string(g_.headings.size()) +
                        " headings");
    auto field = [&](const char* heading) -> std::string {
        auto it = g_.column.find(heading);
        const std::size_t at = it == g_.column.end() ? 0 : it->second;
        if (at == 0 || at >= fields.size()) return {};
        return std::string(trim(fields[at]));
    };
    const std::string& name = g_.name;
    if (name == "PROJ") {
        if (out_.projectNumber.empty()) out_.projectNumber = field("PROJ_ID");
        if (out_.jobName.empty()) out_.jobName = field("PROJ_NAME");
    } else if (name == "LOCA") {
        const std::string star = field("LOCA_STAR");
        loca_.push_back({hole(field("LOCA_ID")), parseNumber(field("LOCA_GL")),
                         parseNumber(field("LOCA_FDEP")),
                         words_.get(std::string_view(star).substr(0, star.find('T')))});
    } else if (name == "ISPT") {
        const std::string id = field("LOCA_ID");
        const std::string* f[kIsptCount];
        std::string trimmed[kIsptCount];
        for (int k = 0; k < kIsptCount; ++k) {
            const auto at = static_cast<std::size_t>(g_.isptColumn[k]);
            f[k] = nullptr;
            if (at == 0 || at >= fields.size()) continue;
            trimmed[k] = std::string(trim(fields[at]));
            if (!trimmed[k].empty()) f[k] = &trimmed[k];
        }
        // ISPT_TOP is in the file's depth unit, which is its own unit when it has one.
        const auto top = f[kTop] ? parseNumber(*f[kTop]) : std::nullopt;
        if (!top) {
            isptProblems_.push_back(
                {id, "line " + std::to_string(line) + ": SPT without a depth skipped", ""});
            return;
        }
        SptTest t;
        t.top = *top;
        std::string why;
        auto unit = unitOf_.find("ISPT.ISPT_TOP");
        const bool inchData =
            unit != unitOf_.end() && parseLengthUnit(unit->second) == LengthUnit::Feet;
        if (!decideN(f, inchData, t, why, texts_, details_)) {
            isptProblems_.push_back({id, "SPT at " + depthText(t.top) + " ", " skipped: " + why});
            return;
        }
        TestBlocks& tests = holes_[hole(id)].tests;
        if (&tests != lastTests_) {
            if (lastTests_) lastTests_->settle();
            lastTests_ = &tests;
        }
        tests.push_back(std::move(t));
        anyTest_ = true;
    } else if (name == "GEOL") {
        std::string leg = field("GEOL_LEG");
        if (leg.empty()) leg = field("GEOL_GEOL");
        geol_.push_back({hole(field("LOCA_ID")), line, parseNumber(field("GEOL_TOP")),
                         parseNumber(field("GEOL_BASE")), words_.get(field("GEOL_DESC")),
                         words_.get(leg)});
    } else if (name == "WSTG") {
        water_.push_back(
            {hole(field("LOCA_ID")), parseNumber(field("WSTG_DPTH")), "WSTG.WSTG_DPTH"});
    } else if (name == "WSTD") {
        water_.push_back(
            {hole(field("LOCA_ID")), parseNumber(field("WSTD_POST")), "WSTD.WSTD_POST"});
    } else if (name == "ABBR") {
        if (field("ABBR_HDNG") == "GEOL_LEG")
            legend_.emplace(field("ABBR_CODE"), SharedText(field("ABBR_DESC")));
    }
}

DataFile AgsReader::read() {
    std::vector<std::string> fields;
    bool first = true;
    auto flush = [&] {
        if (!held_.empty()) dataRow(held_, heldLine_);
        held_.clear();
    };
    while (reader_.next(fields)) {
        if (fields.empty()) continue;
        if (first) {
            // The first row tells the syntax: "**PROJ" is AGS3, "GROUP" AGS4.
            ags3_ = fields[0].rfind("**", 0) == 0;
            out_.format = ags3_ ? Format::Ags3 : Format::Ags4;
            first = false;
        }
        const std::string& kind = fields[0];
        if (ags3_) {
            if (kind.rfind("**", 0) == 0) {
                flush();
                startGroup(std::string(trim(std::string_view(kind).substr(2))));
                continue;
            }
            if (!inGroup_) {
                problem("", "line " + std::to_string(reader_.line()) + " lies outside any group");
                continue;
            }
            if (kind.rfind("*", 0) == 0) {
                // More headings continue the line before while no data has come.
                flush();
                setHeadings(fields.begin(), fields.end(), !g_.headings.empty());
                continue;
            }
            if (kind == "<UNITS>") {
                flush();
                fields[0].clear(); // the key heading's place
                setUnits(fields.begin(), fields.end());
                continue;
            }
            if (kind == "<CONT>") {
                if (held_.empty()) {
                    problem("", "line " + std::to_string(reader_.line()) +
                                    ": <CONT> row without a row to continue");
                    continue;
                }
                // Field k continues the row's value k (held at k + 1); the key's place holds
                // "<CONT>" itself. Nothing continues a value the row does not have.
                for (std::size_t k = 1; k < fields.size() && k + 1 < held_.size(); ++k)
                    held_[k + 1] += fields[k];
                continue;
            }
            flush();
            if (g_.headings.empty()) {
                problem("", "line " + std::to_string(reader_.line()) + ": data before the " +
                                "headings in " + g_.name);
                continue;
            }
            // As AGS4 rows: the values from index 1 on.
            held_.reserve(fields.size() + 1);
            held_.emplace_back();
            for (std::string& f : fields) held_.push_back(std::move(f));
            heldLine_ = reader_.line();
            continue;
        }
        if (kind == "GROUP") {
            startGroup(fields.size() > 1 ? fields[1] : std::string());
            continue;
        }
        if (!inGroup_) {
            problem("", "line " + std::to_string(reader_.line()) + " lies outside any GROUP");
            continue;
        }
        if (kind == "HEADING") {
            setHeadings(fields.begin() + 1, fields.end(), false);
            continue;
        }
        if (kind == "UNIT") {
            setUnits(fields.begin() + 1, fields.end());
            continue;
        }
        if (kind != "DATA") continue; // TYPE, and anything unknown
        if (g_.headings.empty()) {
            problem("", "line " + std::to_string(reader_.line()) + ": DATA before HEADING in " +
                            g_.name);
            continue;
        }
        dataRow(fields, reader_.line());
    }
    flush();
    std::string().swap(owned_);
    if (!sawGroup_) {
        out_.format = Format::Ags4;
        out_.error = "no AGS GROUP rows found";
        return std::move(out_);
    }
    finish();
    return std::move(out_);
}

void AgsReader::finish() {
    // One depth unit for the file: that of the SPT depths, else of the other depth columns.
    LengthUnit depthUnit = LengthUnit::Unknown;
    std::string depthColumn;
    for (const char* col : {"ISPT.ISPT_TOP", "LOCA.LOCA_FDEP", "GEOL.GEOL_TOP", "WSTG.WSTG_DPTH"}) {
        auto it = unitOf_.find(col);
        if (it != unitOf_.end() && parseLengthUnit(it->second) != LengthUnit::Unknown) {
            depthUnit = parseLengthUnit(it->second);
            depthColumn = col;
            break;
        }
    }
    if (depthUnit == LengthUnit::Unknown && (anyTest_ || !isptProblems_.empty()))
        problem("", "the file gives no unit for its depths; choose one");
    // A depth column in another known unit is converted; one without a unit is read in the
    // file's depth unit, and said so.
    std::map<std::string, double> scale;
    auto factor = [&](const std::string& col) {
        if (auto it = scale.find(col); it != scale.end()) return it->second;
        double f = 1;
        auto it = unitOf_.find(col);
        const LengthUnit u =
            it == unitOf_.end() ? LengthUnit::Unknown : parseLengthUnit(it->second);
        if (u != LengthUnit::Unknown && depthUnit != LengthUnit::Unknown)
            f = convertLength(1.0, u, depthUnit);
        else if (u == LengthUnit::Unknown && depthUnit != LengthUnit::Unknown && unitOf_.count(col))
            problem("", col.substr(col.find('.') + 1) + " has no unit; read in " +
                            unitWord(depthUnit) + " like " +
                            depthColumn.substr(depthColumn.find('.') + 1));
        scale[col] = f;
        return f;
    };
    // A depth in its column's unit, in the file's.
    auto depth = [&](const std::string& col, OptionalNumber v) -> std::optional<double> {
        if (!v) return std::nullopt;
        return *v * factor(col);
    };

    const LengthUnit glUnit = unitOf_.count("LOCA.LOCA_GL")
                                  ? parseLengthUnit(unitOf_["LOCA.LOCA_GL"])
                                  : LengthUnit::Unknown;

    // Each hole's borehole in out_.boreholes; kNone for a LOCA_ID without a LOCA row.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<std::size_t> boreholeOf(holes_.size(), kNone);
    out_.boreholes.reserve(loca_.size());
    for (const LocaRow& l : loca_) {
        const SharedText& id = holes_[l.hole].id;
        if (id.empty() || boreholeOf[l.hole] != kNone) {
            problem(id, id.empty() ? "a LOCA row without LOCA_ID is skipped"
                                   : "LOCA_ID " + id + " appears twice; the first is kept");
        } else {
            Borehole b;
            b.id = b.name = id;
            b.depthUnit = depthUnit;
            b.groundElevation = l.gl;
            b.elevationUnit = glUnit;
            b.finalDepth = depth("LOCA.LOCA_FDEP", l.fdep);
            b.boringDate = l.date;
            boreholeOf[l.hole] = out_.boreholes.size();
            out_.boreholes.push_back(std::move(b));
        }
    }

    std::map<std::string, int> dangling;
    auto owner = [&](std::uint32_t hole) -> Borehole* {
        if (boreholeOf[hole] == kNone) {
            ++dangling[std::string(holes_[hole].id)];
            return nullptr;
        }
        return &out_.boreholes[boreholeOf[hole]];
    };
    auto isBorehole = [&](const std::string& id) {
        const auto it = holeOf_.find(id);
        return it != holeOf_.end() && boreholeOf[it->second] != kNone;
    };

    // The SPT depths are never converted: their unit is the file's.
    if (anyTest_) factor("ISPT.ISPT_TOP");
    for (const Pending& p : isptProblems_) {
        if (!isBorehole(p.loca)) continue;
        problem(p.loca, p.after.empty() ? p.text : p.text + unitWord(depthUnit) + p.after);
    }
    for (std::uint32_t h = 0; h < holes_.size(); ++h) {
        TestBlocks& tests = holes_[h].tests;
        if (tests.empty()) continue;
        if (Borehole* b = owner(h))
            b->tests = tests.take();
        else
            dangling[std::string(holes_[h].id)] += static_cast<int>(tests.size()) - 1;
        tests = TestBlocks();
    }
    for (const Pending& p : isptProblems_)
        if (!isBorehole(p.loca)) ++dangling[p.loca];
    for (const GeolRow& r : geol_) {
        Borehole* b = owner(r.hole);
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
        s.classification = !r.leg.empty()    ? r.leg
                           : !r.desc.empty() ? r.desc
                                             : words_.get("(not described)");
        if (!r.leg.empty())
            if (auto it = legend_.find(std::string(r.leg)); it != legend_.end())
                s.legendText = it->second;
        b->strata.push_back(std::move(s));
    }
    for (const WaterRow& w : water_) {
        Borehole* b = owner(w.hole);
        if (!b) continue;
        // "DRY" rows carry no depth: no water, not water at the ground surface.
        if (auto d = depth(w.column, w.depth)) b->waterDepths.push_back(*d);
    }
    for (const auto& [id, count] : dangling)
        problem(id, std::to_string(count) + " row(s) for LOCA_ID " + id +
                        ", which has no LOCA row, not attached");

    if (!sawLocaGl_)
        problem("", "the file gives no ground elevations (LOCA_GL); enter the elevation");
    for (Borehole& b : out_.boreholes) {
        tidyBorehole(b, out_.problems);
        if (b.tests.empty()) continue;
        if (sawLocaGl_ && !b.groundElevation)
            problem(b.name, "no ground elevation (LOCA_GL); enter it");
        else if (b.groundElevation && b.elevationUnit == LengthUnit::Unknown)
            problem(b.name, "LOCA_GL has no unit; enter the ground elevation");
    }
}

} // namespace

DataFile readAgs(std::string_view bytes) {
    return AgsReader(bytes).read();
}

DataFile readAgsOwned(std::string&& bytes) {
    return AgsReader(std::move(bytes)).read();
}

} // namespace zenka::dataimport
