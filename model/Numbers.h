#pragma once

// Numbers as people type them into a field or a data file holds them. The one reader of such
// numbers; the project file's reader keeps its own, more forgiving rules for stored lines.

#include <optional>
#include <string_view>

namespace zenka {

// A decimal number with optional blanks around it: an optional sign, digits with an optional
// decimal point and exponent. Nothing for anything else, NaN and infinity included. With
// decimalComma a comma stands for the decimal point when there is no point. Independent of the
// process locale.
std::optional<double> parseNumber(std::string_view text, bool decimalComma = false);
// An integer with optional sign and blanks around it that fits in 32 bits.
std::optional<int> parseInteger(std::string_view text);

} // namespace zenka
