#pragma once

// Every field of the main form in one table: its control, where the form keeps its value, how
// that value meets the project, its check, in the order the controls are read. Reading stops at
// the first field refused, so this order decides which values a refusal leaves as they were.

#include "forms/FormLogic.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace zenka {

// The radio groups list the project's codes in the order of their buttons: a radio index is a
// position in one of these lists, -1 when no button is checked.
inline constexpr std::array<int, 2> kUnitRadios = {Units::English, Units::Metric};
inline constexpr std::array<int, 2> kAnalysisRadios = {AnalysisType::SpecificLengths,
                                                       AnalysisType::RangeOfLengths};
inline constexpr std::array<int, kPileShapeCount> kShapeRadios = [] {
    std::array<int, kPileShapeCount> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = kPileShapes[i].code;
    return codes;
}();
inline constexpr std::array<int, 2> kPipeEndRadios = {PipeEnd::Open, PipeEnd::Closed};

// The one place where radio indices and the project's codes meet. A code without a radio gives
// -1; no radio checked gives 0, which a layout writes as "no shape" or "no analysis type".
template <std::size_t N> constexpr int radioIndex(const std::array<int, N>& radios, int code) {
    for (std::size_t i = 0; i < N; ++i)
        if (radios[i] == code) return static_cast<int>(i);
    return -1;
}
template <std::size_t N> constexpr int radioCode(const std::array<int, N>& radios, int index) {
    return index >= 0 && index < static_cast<int>(N) ? radios[static_cast<std::size_t>(index)] : 0;
}

// Where the form keeps a field's value. A number array is a row of numbered controls.
using FormSlot = std::variant<std::string FormValues::*, double FormValues::*,
                              std::array<double, kDocLengths> FormValues::*,
                              std::array<double, kDocWidths> FormValues::*, int FormValues::*>;
// The project value a field is copied to and from as it stands.
using DocSlot = std::variant<std::monostate, std::string CPelbrinDoc::*, double CPelbrinDoc::*,
                             std::array<double, kDocLengths> CPelbrinDoc::*,
                             std::array<double, kDocWidths> CPelbrinDoc::*>;

// How a form value becomes a project value and back.
enum class Conversion {
    Copy,          // the same value both ways
    UnitRadio,     // English loads as English, anything else as Metric; stored by the unit handlers
    AnalysisRadio, // stored by the analysis layout
    ShapeRadio,    // stored by the shape layout
    PipeEndRadio,  // Open End loads as Open End, anything else as Closed End
    WaterTable,    // the project's signed height as it is, without a negative zero
};

struct FormField {
    const char* control; // object name of the control or radio group; a row of numbered
                         // controls adds 1, 2, ... to it
    const char* label;   // names the field in its messages; a numbered control adds its number
    FormSlot value;
    DocSlot project = {};
    Conversion conversion = Conversion::Copy;
    int maxChars = 0;                // text: longest text accepted
    std::optional<double> high = {}; // number: accepted from 0 to high
    int offered = 0;                 // numbered controls a layout can show and whose typing
                                     // stores the form; 0 means all
};

// Lengths 11 to 20 are kept for the project but never offered.
inline constexpr int kOfferedLengths = 10;
inline constexpr double kMillion = 1000000.0;
inline constexpr double kTenMillion = 10000000.0;

// In the order of reading.
inline constexpr FormField kFormFields[] = {
    {"boringDate", "Date of Boring", &FormValues::boringDate, &CPelbrinDoc::boringDate,
     Conversion::Copy, 30},
    {"boringNumber", "Boring Number", &FormValues::boringNumber, &CPelbrinDoc::boringNumber,
     Conversion::Copy, 30},
    {"engineer", "Submitting Engineer", &FormValues::engineer, &CPelbrinDoc::engineer,
     Conversion::Copy, 30},
    {"jobName", "Job Name", &FormValues::jobName, &CPelbrinDoc::jobName, Conversion::Copy, 50},
    {"projectNumber", "Project Number", &FormValues::projectNumber, &CPelbrinDoc::projectNumber,
     Conversion::Copy, 30},
    {"analysisRadios", "Analysis Type", &FormValues::analysisIndex, {}, Conversion::AnalysisRadio},
    {"unitRadios", "Measurement Units", &FormValues::unitIndex, {}, Conversion::UnitRadio},
    {"station", "Station Number and Offset", &FormValues::station, &CPelbrinDoc::station,
     Conversion::Copy, 30},
    {"shapeRadios", "Pile Type", &FormValues::shapeIndex, {}, Conversion::ShapeRadio},
    {"unitWeight", "Unit Weight", &FormValues::unitWeight, &CPelbrinDoc::unitWeight,
     Conversion::Copy, 0, kMillion},
    {"hPileEndArea", "True End Area of H Pile", &FormValues::hPileEndArea,
     &CPelbrinDoc::hPileEndArea, Conversion::Copy, 0, kTenMillion},
    {"groundElevation", "Ground Surface Elevation", &FormValues::groundElevation,
     &CPelbrinDoc::groundElevation},
    {"hPileDepth", "Depth of H Pile Section", &FormValues::hPileDepth, &CPelbrinDoc::hPileDepth},
    {"lengthIncrement", "Pile Length Increment", &FormValues::lengthIncrement,
     &CPelbrinDoc::lengthIncrement},
    {"maxLength", "Maximum Pile Length", &FormValues::maxLength, &CPelbrinDoc::maxLength},
    {"pipeThickness", "Thickness of Pipe Pile", &FormValues::pipeThickness,
     &CPelbrinDoc::pipeThickness, Conversion::Copy, 0, kMillion},
    {"width", "Pile Width", &FormValues::widths, &CPelbrinDoc::pileWidths, Conversion::Copy, 0,
     kMillion},
    {"minLength", "Minimum Pile Length", &FormValues::minLength, &CPelbrinDoc::minLength,
     Conversion::Copy, 0, kMillion},
    {"length", "Pile Length", &FormValues::lengths, &CPelbrinDoc::pileLengths, Conversion::Copy, 0,
     kMillion, kOfferedLengths},
    {"pipeEndRadios", "Type of Pipe Pile", &FormValues::pipeEndIndex, {}, Conversion::PipeEndRadio},
    {"waterTable", "Water Table Height", &FormValues::waterTable, {}, Conversion::WaterTable},
};

// The row of a control, by its object name (a numbered control by the name of its row).
constexpr const FormField* formField(std::string_view control) {
    for (const FormField& f : kFormFields)
        if (control == f.control) return &f;
    return nullptr;
}

} // namespace zenka
