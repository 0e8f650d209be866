#include "engine/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace zenka {

namespace {

std::string nonFinite(double value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    return value < 0 ? "-inf" : "inf";
}

std::string padLeft(std::string s, int width) {
    if (static_cast<int>(s.size()) < width)
        s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
    return s;
}

} // namespace

std::string printfFixed(double value, int decimals) {
    if (!std::isfinite(value)) return nonFinite(value);
    decimals = std::max(decimals, 0);
    // Sign, 309 digits before the point for the largest double, the point and the decimals.
    std::string buf(static_cast<std::size_t>(decimals) + 320, '\0');
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                   std::chars_format::fixed, decimals);
    buf.resize(static_cast<std::size_t>(res.ptr - buf.data()));
    return buf;
}

std::string printfFixed(double value, int width, int decimals) {
    return padLeft(printfFixed(value, decimals), width);
}

std::string printfInt(long long value, int width) {
    return padLeft(std::to_string(value), width);
}

std::string fieldF(double value, int width, int decimals) {
    width = std::max(width, 0);
    if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(width), '*');
    std::string s = printfFixed(value, decimals);
    if (s.front() == '-' &&
        std::all_of(s.begin() + 1, s.end(), [](char c) { return c == '0' || c == '.'; }))
        s.erase(0, 1);
    if (static_cast<int>(s.size()) > width)
        return std::string(static_cast<std::size_t>(width), '*');
    return padLeft(std::move(s), width);
}

std::string fieldI(long long value, int width) {
    width = std::max(width, 0);
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) > width)
        return std::string(static_cast<std::size_t>(width), '*');
    return padLeft(std::move(s), width);
}

std::string fieldA(std::string_view text, int width) {
    std::string s(text.substr(0, static_cast<std::size_t>(std::max(width, 0))));
    s.resize(static_cast<std::size_t>(std::max(width, 0)), ' ');
    return s;
}

std::string formatG15(double value) {
    if (!std::isfinite(value)) return nonFinite(value);
    // to_chars has no %g with precision that matches C exactly for every case, so do what %g
    // does: choose by the exponent of the value rounded to 15 significant digits.
    char sci[64];
    auto r = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 14);
    std::string s(sci, r.ptr);
    const auto epos = s.find('e');
    const int exponent = std::stoi(s.substr(epos + 1));
    std::string out;
    if (exponent < -4 || exponent >= 15) {
        std::string mant = s.substr(0, epos);
        if (mant.find('.') != std::string::npos) {
            while (mant.back() == '0') mant.pop_back();
            if (mant.back() == '.') mant.pop_back();
        }
        char expbuf[16];
        std::snprintf(expbuf, sizeof expbuf, "e%c%02d", exponent < 0 ? '-' : '+',
                      exponent < 0 ? -exponent : exponent);
        out = mant + expbuf;
    } else {
        out = printfFixed(value, 14 - exponent);
        if (out.find('.') != std::string::npos) {
            while (out.back() == '0') out.pop_back();
            if (out.back() == '.') out.pop_back();
        }
    }
    return out;
}

} // namespace zenka
