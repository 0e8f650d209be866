#include "base/Format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
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

// Wide enough for every field of a report; longer numbers take the general path.
constexpr int kShortNumber = 64;

__extension__ using Wide = unsigned __int128;

constexpr std::uint64_t kPow10[] = {1,      10,      100,      1000,      10000,
                                    100000, 1000000, 10000000, 100000000, 1000000000};

// "00" to "99": two digits per division.
constexpr auto kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
        pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// The decimal digits of v ending at end; returns where they begin.
char* writeDigits(char* end, std::uint64_t v) {
    while (v >= 100) {
        const auto pair = static_cast<std::size_t>(v % 100) * 2;
        v /= 100;
        *--end = kDigitPairs[pair + 1];
        *--end = kDigitPairs[pair];
    }
    if (v >= 10) {
        *--end = kDigitPairs[static_cast<std::size_t>(v) * 2 + 1];
        *--end = kDigitPairs[static_cast<std::size_t>(v) * 2];
    } else {
        *--end = static_cast<char>('0' + v);
    }
    return end;
}

// value * 10^d rounded to an integer, ties to even, as C and to_chars round: with
// value = m / 2^shift that is m * 10^d / 2^shift, exact in U as long as m * 10^d fits.
template <typename U> U roundedScaled(std::uint64_t m, std::uint64_t pow10, int shift) {
    constexpr int kBits = static_cast<int>(sizeof(U)) * 8;
    // A scaled value below 2^(kBits - 1) is less than half of 2^shift: it rounds to 0.
    if (shift >= kBits) return 0;
    const U scaled = U{m} * pow10;
    U q = scaled >> shift;
    const U rest = scaled - (q << shift);
    const U half = U{1} << (shift - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
    return q;
}

// Room the exact path needs: a sign, the 20 digits of a 64-bit integer and the point.
constexpr std::ptrdiff_t kExactRoom = 24;

// The exact path of toCharsFixed, in integers only, written backwards so that nothing is
// copied: the characters end at end, with kExactRoom before it. Returns where they begin, or
// null when the value is not one it takes.
char* exactFixed(char* end, double value, int decimals) {
    if (decimals < 0 || decimals >= static_cast<int>(std::size(kPow10))) return nullptr;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    int shift = 1074; // subnormal
    if (biased != 0) {
        m |= std::uint64_t{1} << 52;
        shift = 1075 - biased;
    }
    if (biased == 0x7ff || shift <= 0) return nullptr; // not finite, or at least 2^52

    // m < 2^53: with 10^d below 2^10, 64 bits hold m * 10^d; below 2^30, 128 bits do.
    std::uint64_t q = 0;
    if (decimals <= 3) {
        q = roundedScaled<std::uint64_t>(m, kPow10[decimals], shift);
    } else {
        const Wide wide = roundedScaled<Wide>(m, kPow10[decimals], shift);
        if ((wide >> 64) != 0) return nullptr;
        q = static_cast<std::uint64_t>(wide);
    }

    char* p = end;
    for (int i = 0; i < decimals; ++i, q /= 10) *--p = static_cast<char>('0' + q % 10);
    if (decimals > 0) *--p = '.';
    p = writeDigits(p, q);
    if ((bits >> 63) != 0) *--p = '-';
    return p;
}

void fill(char* dst, int width, char c) {
    std::fill_n(dst, std::max(width, 0), c);
}

// s right-aligned in the blank dst[0, width), or asterisks when it does not fit.
void putRight(char* dst, std::string_view s, int width) {
    width = std::max(width, 0);
    if (s.size() > static_cast<std::size_t>(width)) return fill(dst, width, '*');
    std::copy(s.begin(), s.end(), dst + (static_cast<std::size_t>(width) - s.size()));
}

} // namespace

std::to_chars_result toCharsFixed(char* first, char* last, double value, int decimals) {
    char buf[kExactRoom];
    char* const end = buf + kExactRoom;
    if (const char* p = exactFixed(end, value, decimals)) {
        if (last - first < end - p) return {last, std::errc::value_too_large};
        return {std::copy(p, static_cast<const char*>(end), first), std::errc()};
    }
    return std::to_chars(first, last, value, std::chars_format::fixed, decimals);
}

std::string printfFixed(double value, int decimals) {
    if (!std::isfinite(value)) return nonFinite(value);
    decimals = std::max(decimals, 0);
    char small[kShortNumber];
    if (const auto res = toCharsFixed(small, small + sizeof small, value, decimals);
        res.ec == std::errc())
        return std::string(small, res.ptr);
    // Sign, 309 digits before the point for the largest double, the point and the decimals.
    std::string buf(static_cast<std::size_t>(decimals) + 320, '\0');
    const auto res = toCharsFixed(buf.data(), buf.data() + buf.size(), value, decimals);
    buf.resize(static_cast<std::size_t>(res.ptr - buf.data()));
    return buf;
}

std::string printfFixed(double value, int width, int decimals) {
    return padLeft(printfFixed(value, decimals), width);
}

std::string printfInt(long long value, int width) {
    return padLeft(std::to_string(value), width);
}

void putFieldF(char* dst, double value, int width, int decimals) {
    if (!std::isfinite(value)) return fill(dst, width, '*');
    decimals = std::max(decimals, 0);
    char small[kShortNumber];
    char* const end = small + kShortNumber;
    std::string_view s;
    std::string large;
    if (const char* p = exactFixed(end, value, decimals)) {
        s = std::string_view(p, static_cast<std::size_t>(end - p));
    } else if (const auto res =
                   std::to_chars(small, end, value, std::chars_format::fixed, decimals);
               res.ec == std::errc()) {
        s = std::string_view(small, static_cast<std::size_t>(res.ptr - small));
    } else {
        if (width < kShortNumber) return fill(dst, width, '*');
        large = printfFixed(value, decimals);
        s = large;
    }
    if (s.front() == '-' &&
        std::all_of(s.begin() + 1, s.end(), [](char c) { return c == '0' || c == '.'; }))
        s.remove_prefix(1);
    putRight(dst, s, width);
}

void putFieldI(char* dst, long long value, int width) {
    char digits[24];
    char* const end = digits + sizeof digits;
    // The magnitude in unsigned arithmetic, which holds that of the most negative value too.
    const auto magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    char* p = writeDigits(end, magnitude);
    if (value < 0) *--p = '-';
    putRight(dst, std::string_view(p, static_cast<std::size_t>(end - p)), width);
}

void putFieldA(char* dst, std::string_view text, int width) {
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(std::max(width, 0)));
    // A control character from a typed text or a file name would break the page (a form feed,
    // a carriage return) or drive the terminal the report is shown on (escape sequences).
    std::transform(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), dst, [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 32 || u == 127 ? ' ' : c;
    });
}

std::string fieldF(double value, int width, int decimals) {
    std::string s(static_cast<std::size_t>(std::max(width, 0)), ' ');
    putFieldF(s.data(), value, width, decimals);
    return s;
}

std::string fieldI(long long value, int width) {
    std::string s(static_cast<std::size_t>(std::max(width, 0)), ' ');
    putFieldI(s.data(), value, width);
    return s;
}

std::string fieldA(std::string_view text, int width) {
    std::string s(static_cast<std::size_t>(std::max(width, 0)), ' ');
    putFieldA(s.data(), text, width);
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

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

} // namespace zenka
