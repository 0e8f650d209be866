#pragma once

// Number formatting that never depends on the process locale: the desktop toolkit switches the
// C locale to the user's, and a decimal comma must never reach a file.

#include <charconv>
#include <string>
#include <string_view>

namespace zenka {

// As C's "%.*f": correctly rounded, ties of exact binary values to even; "nan", "inf" as C.
std::string printfFixed(double value, int decimals);

// As C's "%w.df": printfFixed right-aligned in at least w columns.
std::string printfFixed(double value, int width, int decimals);

// As C's "%wd".
std::string printfInt(long long value, int width);

// A report field Fw.d: right-aligned in exactly w columns, w asterisks when the number does not
// fit or is not finite, and no minus sign on a value that prints as zero.
std::string fieldF(double value, int width, int decimals);

// A report field Iw: right-aligned in exactly w columns, w asterisks when it does not fit.
std::string fieldI(long long value, int width);

// A report field Aw: the text cut or blank padded to exactly w columns.
std::string fieldA(std::string_view text, int width);

// std::to_chars(first, last, value, std::chars_format::fixed, decimals), the same characters,
// but without the general algorithm's cost for the numbers a report is made of: finite values
// below 2^52 with at most 9 decimals take an exact integer path.
std::to_chars_result toCharsFixed(char* first, char* last, double value, int decimals);

// fieldF, fieldI and fieldA written into dst[0, width), which holds blanks on entry, instead of
// into a new string: the report's line builder writes its fields in place with these.
void putFieldF(char* dst, double value, int width, int decimals);
void putFieldI(char* dst, long long value, int width);
void putFieldA(char* dst, std::string_view text, int width);

// As C's "%.15g", the shortest form of at most 15 significant digits.
std::string formatG15(double value);

// A CSV field: quoted, with its quotes doubled, when it holds a comma, a quote or a line break.
std::string csvField(const std::string& text);

} // namespace zenka
