#include "import/BoreholeData.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace zenka::dataimport {

namespace {

constexpr double kMetresPerFoot = 0.3048;

} // namespace

std::string_view trim(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

LengthUnit parseLengthUnit(std::string_view text) {
    const std::string u = lower(trim(text));
    if (u == "ft" || u == "feet" || u == "foot" || u == "ft_us" || u == "ftus" || u == "us-ft" ||
        u == "us_ft" || u == "usft" || u == "'")
        return LengthUnit::Feet;
    if (u == "m" || u == "metre" || u == "metres" || u == "meter" || u == "meters")
        return LengthUnit::Metres;
    return LengthUnit::Unknown;
}

const char* unitWord(LengthUnit unit) {
    switch (unit) {
    case LengthUnit::Feet:
        return "ft";
    case LengthUnit::Metres:
        return "m";
    case LengthUnit::Unknown:
        break;
    }
    return "?";
}

double convertLength(double value, LengthUnit from, LengthUnit to) {
    if (from == to) return value;
    if (from == LengthUnit::Feet && to == LengthUnit::Metres) return value * kMetresPerFoot;
    if (from == LengthUnit::Metres && to == LengthUnit::Feet) return value / kMetresPerFoot;
    return value;
}

const Borehole* DataFile::find(std::string_view idOrName) const {
    for (const Borehole& b : boreholes)
        if (b.name == idOrName) return &b;
    for (const Borehole& b : boreholes)
        if (b.id == idOrName) return &b;
    idOrName = trim(idOrName);
    for (const Borehole& b : boreholes)
        if (trim(b.name) == idOrName) return &b;
    for (const Borehole& b : boreholes)
        if (trim(b.id) == idOrName) return &b;
    return nullptr;
}

std::optional<double> parseNumber(std::string_view text, bool decimalComma) {
    text = trim(text);
    if (text.empty() || text.size() > 64) return std::nullopt;
    std::string buf(text);
    if (decimalComma && buf.find('.') == std::string::npos) {
        std::replace(buf.begin(), buf.end(), ',', '.');
    }
    std::string_view s = buf;
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        int more = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(more) >= bytes.size()) return false;
        for (int k = 1; k <= more; ++k) {
            const auto d = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((d & 0xC0) != 0x80) return false;
        }
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

std::string toUtf8(std::string_view bytes) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    // cp1252's 0x80..0x9F; 0 where the code page has no character.
    static constexpr char16_t k80[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() + 8);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        char32_t cp = c;
        if (c >= 0x80 && c < 0xA0) cp = k80[c - 0x80] ? k80[c - 0x80] : 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

namespace {
std::string depthText(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", d);
    return buf;
}
} // namespace

void tidyBorehole(Borehole& b, std::vector<Problem>& problems) {
    // What no boring log can hold: a depth above the ground or beyond any boring, a negative or
    // impossible blow count. The log editor takes blow counts up to 1000.
    constexpr double kDeepest = 100000;
    constexpr double kMostBlows = 1000;
    auto outside = [](double v, double most) { return !(v >= 0 && v <= most); };
    std::erase_if(b.tests, [&](const SptTest& t) {
        if (outside(t.top, kDeepest)) {
            problems.push_back({b.name, "SPT at depth " + depthText(t.top) +
                                            " skipped: not a "
                                            "depth below ground"});
            return true;
        }
        if (t.n && outside(*t.n, kMostBlows)) {
            problems.push_back({b.name, "SPT at " + depthText(t.top) + " " + unitWord(b.depthUnit) +
                                            " skipped: N " + depthText(*t.n) +
                                            " is not a blow count"});
            return true;
        }
        return false;
    });
    if (b.finalDepth && outside(*b.finalDepth, kDeepest)) {
        problems.push_back({b.name, "final depth " + depthText(*b.finalDepth) + " ignored"});
        b.finalDepth.reset();
    }
    // A negative water depth is water standing above the ground (a boring over water).
    std::erase_if(b.waterDepths, [&](double d) { return !(d >= -kDeepest && d <= kDeepest); });
    auto byTop = [](const SptTest& x, const SptTest& y) { return x.top < y.top; };
    // Files are nearly always in depth order already; sorting would take a second copy.
    if (!std::is_sorted(b.tests.begin(), b.tests.end(), byTop))
        std::stable_sort(b.tests.begin(), b.tests.end(), byTop);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < b.tests.size(); ++i) {
        SptTest& t = b.tests[i];
        if (kept > 0 && b.tests[kept - 1].top == t.top) {
            problems.push_back({b.name, "SPT at " + depthText(t.top) + " " + unitWord(b.depthUnit) +
                                            " repeats a test at the same depth; the first in "
                                            "the file is kept"});
            continue;
        }
        if (kept != i) b.tests[kept] = std::move(t);
        ++kept;
    }
    b.tests.erase(b.tests.begin() + static_cast<std::ptrdiff_t>(kept), b.tests.end());
    std::stable_sort(b.strata.begin(), b.strata.end(),
                     [](const Stratum& x, const Stratum& y) { return x.top < y.top; });
    std::sort(b.waterDepths.begin(), b.waterDepths.end());
}

double scaledRefusalN(double blows, double penetrationMm, double fullMm) {
    if (!(penetrationMm > 0)) return 100;
    return std::min(100.0, std::round(blows * fullMm / penetrationMm));
}

} // namespace zenka::dataimport
