#include "forms/FormLogic.h"

#include "engine/Format.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

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

std::string replaceArgs(std::string text, const std::string& a, const std::string& b) {
    text.replace(text.find("%1"), 2, a);
    text.replace(text.find("%2"), 2, b);
    return text;
}

} // namespace

FormValues loadFormValues(const CPelbrinDoc& doc) {
    FormValues v;
    v.unitIndex = doc.units == 1 ? 0 : 1;
    v.projectNumber = doc.projectNumber;
    v.jobName = doc.jobName;
    v.engineer = doc.engineer;
    v.boringDate = doc.boringDate;
    v.boringNumber = doc.boringNumber;
    v.station = doc.station;
    if (doc.waterTable > 0) {
        v.waterMagnitude = doc.waterTable;
        v.aboveGround = true;
    } else {
        // 0 - x rather than -x: a new project's 0 shows as "0", not "-0".
        v.waterMagnitude = 0.0 - doc.waterTable;
        v.aboveGround = false;
    }
    v.analysisIndex = doc.analysisType == 1 ? 0 : doc.analysisType == 2 ? 1 : -1;
    v.lengths = doc.pileLengths;
    v.minLength = doc.minLength;
    v.maxLength = doc.maxLength;
    v.lengthIncrement = doc.lengthIncrement;
    v.shapeIndex = doc.pileShape >= 1 && doc.pileShape <= 5 ? doc.pileShape - 1 : -1;
    v.unitWeight = doc.unitWeight;
    v.groundElevation = doc.groundElevation;
    v.pipeThickness = doc.pipeThickness;
    v.hPileDepth = doc.hPileDepth;
    v.hPileEndArea = doc.hPileEndArea;
    v.pipeEndIndex = doc.pipeEnd == 1 ? 0 : 1;
    v.widths = doc.pileWidths;
    return v;
}

void storeFormValues(const FormValues& v, CPelbrinDoc& doc) {
    doc.projectNumber = v.projectNumber;
    doc.jobName = v.jobName;
    doc.engineer = v.engineer;
    doc.boringDate = v.boringDate;
    doc.boringNumber = v.boringNumber;
    doc.station = v.station;
    doc.waterTable = v.aboveGround ? v.waterMagnitude : 0.0 - v.waterMagnitude;
    doc.pileLengths = v.lengths;
    doc.minLength = v.minLength;
    doc.maxLength = v.maxLength;
    doc.lengthIncrement = v.lengthIncrement;
    doc.unitWeight = v.unitWeight;
    doc.groundElevation = v.groundElevation;
    doc.pipeThickness = v.pipeThickness;
    doc.hPileDepth = v.hPileDepth;
    doc.hPileEndArea = v.hPileEndArea;
    doc.pipeEnd = v.pipeEndIndex + 1;
    doc.pileWidths = v.widths;
    doc.lengthCount = leadingNonZero(doc.pileLengths);
    doc.widthCount = leadingNonZero(doc.pileWidths);
}

std::optional<double> parseNumber(std::string_view text) {
    bool negative = false;
    const std::string_view digits = withoutPlus(trimmed(text), negative);
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

std::string numberRangeMessage(double low, double high) {
    return replaceArgs("Please enter a number between %1 and %2.", formatG15(low), formatG15(high));
}

std::string integerRangeMessage(long long low, long long high) {
    return replaceArgs("Please enter an integer between %1 and %2.", std::to_string(low),
                       std::to_string(high));
}

std::string maxCharsMessage(int maxChars) {
    std::string text = "Please enter no more than %1 characters.";
    text.replace(text.find("%1"), 2, std::to_string(maxChars));
    return text;
}

} // namespace zenka
