#include "forms/FormLogic.h"

#include "forms/FormFields.h"

#include "base/Format.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>
#include <variant>

namespace zenka {

namespace {

std::string replaceArgs(std::string text, const std::string& a, const std::string& b) {
    text.replace(text.find("%1"), 2, a);
    text.replace(text.find("%2"), 2, b);
    return text;
}

template <class T, class Variant> struct IsAlternative;
template <class T, class... A>
struct IsAlternative<T, std::variant<A...>> : std::bool_constant<(std::is_same_v<T, A> || ...)> {};

// The project member that a form member of type T is copied with, if a project value can be one.
template <class T> using DocMember = T CPelbrinDoc::*;
template <class T> inline constexpr bool kCopyable = IsAlternative<DocMember<T>, DocSlot>::value;

// Every Copy row names a project value of its form value's type.
constexpr bool copyRowsMatch() {
    for (const FormField& f : kFormFields) {
        if (f.conversion != Conversion::Copy) continue;
        const bool match = std::visit(
            [&](auto formMember) {
                using T =
                    std::remove_reference_t<decltype(std::declval<FormValues&>().*formMember)>;
                if constexpr (kCopyable<T>)
                    return std::holds_alternative<DocMember<T>>(f.project);
                else
                    return false;
            },
            f.value);
        if (!match) return false;
    }
    return true;
}
static_assert(copyRowsMatch());

// A Copy row's value, from the project into the form or back.
template <class From, class To> void copyValue(const FormField& f, From& from, To& to) {
    std::visit(
        [&](auto formMember) {
            using T = std::remove_reference_t<decltype(std::declval<FormValues&>().*formMember)>;
            if constexpr (kCopyable<T>) {
                const DocMember<T> docMember = std::get<DocMember<T>>(f.project);
                if constexpr (std::is_same_v<From, const CPelbrinDoc>)
                    to.*formMember = from.*docMember;
                else
                    to.*docMember = from.*formMember;
            }
        },
        f.value);
}

} // namespace

FormValues loadFormValues(const CPelbrinDoc& doc) {
    FormValues v;
    for (const FormField& f : kFormFields) {
        switch (f.conversion) {
        case Conversion::Copy:
            copyValue(f, doc, v);
            break;
        case Conversion::UnitRadio:
            v.unitIndex =
                radioIndex(kUnitRadios, Units::metric(doc.units) ? Units::Metric : Units::English);
            break;
        case Conversion::AnalysisRadio:
            v.analysisIndex = radioIndex(kAnalysisRadios, doc.analysisType);
            break;
        case Conversion::ShapeRadio:
            v.shapeIndex = radioIndex(kShapeRadios, doc.pileShape);
            break;
        case Conversion::PipeEndRadio:
            v.pipeEndIndex = radioIndex(
                kPipeEndRadios, doc.pipeEnd == PipeEnd::Open ? PipeEnd::Open : PipeEnd::Closed);
            break;
        case Conversion::WaterTable:
            // + 0.0 turns a negative zero into 0: a water table at the ground shows as "0".
            v.waterTable = doc.waterTable + 0.0;
            break;
        }
    }
    return v;
}

void storeFormValues(const FormValues& v, CPelbrinDoc& doc) {
    for (const FormField& f : kFormFields) {
        switch (f.conversion) {
        case Conversion::Copy:
            copyValue(f, v, doc);
            break;
        case Conversion::PipeEndRadio:
            doc.pipeEnd = radioCode(kPipeEndRadios, v.pipeEndIndex);
            break;
        case Conversion::WaterTable:
            // Typed "-0" is written "0.0000", as older files hold it.
            doc.waterTable = v.waterTable + 0.0;
            break;
        case Conversion::UnitRadio:     // the unit handlers
        case Conversion::AnalysisRadio: // the analysis layout
        case Conversion::ShapeRadio:    // the shape layout
            break;
        }
    }
    doc.lengthCount = leadingNonZero(doc.pileLengths);
    doc.widthCount = leadingNonZero(doc.pileWidths);
}

bool numberUnderway(std::string_view text) {
    for (const std::string_view start : {"-", "+", ".", "-.", "+."})
        if (text == start) return true;
    return false;
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

std::string namedFieldMessage(const std::string& label, const std::string& message) {
    std::string text = message;
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return label + ": " + text;
}

} // namespace zenka
