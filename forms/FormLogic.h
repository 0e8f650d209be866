#pragma once

// What the main form does to the project that needs no widgets: the values it exchanges with its
// controls, how they map onto the project, and how its fields read numbers. Standard library
// only, so that the rules can be tested and fuzzed without a display.

#include "model/Numbers.h"
#include "model/PelbrinDoc.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zenka {

// One value per control of the main form. Indices are radio positions; -1 means none checked.
struct FormValues {
    int unitIndex = 1; // 0 English, 1 Metric
    std::string projectNumber;
    std::string jobName;
    std::string engineer;
    std::string boringDate;
    std::string boringNumber;
    std::string station;
    double waterTable = 0;  // signed as the project holds it: + above the ground, - below
    int analysisIndex = -1; // 0 specific lengths, 1 range
    std::array<double, kDocLengths> lengths{};
    double minLength = 0;
    double maxLength = 0;
    double lengthIncrement = 0;
    int shapeIndex = -1; // square, round, pipe, H, cylinder
    double unitWeight = 0;
    double groundElevation = 0;
    double pipeThickness = 0;
    double hPileDepth = 0;
    double hPileEndArea = 0;
    int pipeEndIndex = 0; // 0 open end, 1 closed end
    std::array<double, kDocWidths> widths{};

    bool operator==(const FormValues&) const = default;
};

// Document to form.
FormValues loadFormValues(const CPelbrinDoc& doc);

// Form to document, without the unit system, the shape and the analysis type (those belong to
// the radio handlers and the layouts). Recomputes lengthCount and widthCount.
void storeFormValues(const FormValues& values, CPelbrinDoc& doc);

// Number of leading non-zero values: counting stops at the first zero.
template <std::size_t N> int leadingNonZero(const std::array<double, N>& values) {
    int n = 0;
    while (n < static_cast<int>(N) && values[static_cast<std::size_t>(n)] != 0) ++n;
    return n;
}

// True for what a number field holds while a number is being typed into it but is none yet: a
// sign or a decimal point alone.
bool numberUnderway(std::string_view text);

// The field messages, with their bounds written as "%.15g" writes them.
std::string numberRangeMessage(double low, double high);
std::string integerRangeMessage(long long low, long long high);
std::string maxCharsMessage(int maxChars);

// A field's message with the field named in front: "Job Name: please enter ...".
std::string namedFieldMessage(const std::string& label, const std::string& message);

inline constexpr const char* kEnterNumber = "Please enter a number.";
inline constexpr const char* kEnterInteger = "Please enter an integer.";

} // namespace zenka
