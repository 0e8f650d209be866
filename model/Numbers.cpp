#include "model/Numbers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace zenka {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
    };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// from_chars takes no leading '+'; the fields do.
std::string_view withoutPlus(std::string_view text, bool& negative) {
    negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    return text;
}

} // namespace

std::optional<double> parseNumber(std::string_view text, bool decimalComma) {
    text = trimmed(text);
    std::string commaless;
    if (decimalComma && text.find('.') == std::string_view::npos &&
        text.find(',') != std::string_view::npos) {
        commaless.assign(text);
        std::replace(commaless.begin(), commaless.end(), ',', '.');
        text = commaless;
    }
    bool negative = false;
    const std::string_view digits = withoutPlus(text, negative);
    // A second sign, or a word such as "inf", is no number of a field.
    if (digits.empty() ||
        !(std::isdigit(static_cast<unsigned char>(digits.front())) || digits.front() == '.'))
        return std::nullopt;
    double value = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                   std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != digits.data() + digits.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<int> parseInteger(std::string_view text) {
    bool negative = false;
    const std::string_view digits = withoutPlus(trimmed(text), negative);
    if (digits.empty() || !std::isdigit(static_cast<unsigned char>(digits.front())))
        return std::nullopt;
    long long value = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace zenka
