#include "project/InputFile.h"

#include "base/Format.h"
#include "model/PelbrinDoc.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <limits>

namespace zenka {

namespace {

// ---------------------------------------------------------------------------------------------
// Writing

constexpr const char* kEol = "\r\n";
constexpr std::string_view kWaterTableTag = "watertable=";

// A text stays on its own line whatever it holds.
std::string lineText(const std::string& text) {
    std::string s = text;
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

std::string f16(double v) {
    return printfFixed(v, 16, 4);
}

// A boring-log field: a value that fills its columns gets a blank in front, so that it can never
// run into the field before it.
std::string logField(std::string s, std::size_t width) {
    if (s.size() >= width && s.front() != ' ') s.insert(0, 1, ' ');
    return s;
}

int leadingNonZeroWidths(const CPelbrinDoc& doc) {
    int n = 0;
    while (n < kDocWidths && doc.pileWidths[static_cast<std::size_t>(n)] != 0) ++n;
    return n;
}

bool allZeroEntry(const CPelbrinDoc& doc, std::size_t i) {
    return doc.depths[i] == 0 && doc.blowCounts[i] == 0 && doc.soilCodes[i] == 0;
}

// ---------------------------------------------------------------------------------------------
// Reading

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Lines of a file's bytes: a line ends at LF, a CR in front of it is dropped; past the end every
// line is empty. Each byte is looked at once.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : rest_(bytes) {}

    // 1-based number of the line last returned.
    int number() const { return number_; }

    std::string_view next() {
        ++number_;
        if (rest_.empty()) return {};
        const std::size_t lf = rest_.find('\n');
        std::string_view line = rest_.substr(0, lf);
        rest_ = lf == std::string_view::npos ? std::string_view{} : rest_.substr(lf + 1);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return line;
    }

private:
    std::string_view rest_;
    int number_ = 0;
};

// One whole number as the scanner reads one: a sign, digits with an optional point, an optional
// exponent with digits.
bool isNumberToken(std::string_view t) {
    std::size_t p = 0;
    if (p < t.size() && (t[p] == '+' || t[p] == '-')) ++p;
    std::size_t digits = 0;
    while (p < t.size() && isDigit(t[p])) ++p, ++digits;
    if (p < t.size() && t[p] == '.')
        for (++p; p < t.size() && isDigit(t[p]); ++p) ++digits;
    if (digits == 0) return false;
    if (p < t.size() && (t[p] == 'e' || t[p] == 'E')) {
        ++p;
        if (p < t.size() && (t[p] == '+' || t[p] == '-')) ++p;
        if (p == t.size() || !isDigit(t[p])) return false;
        while (p < t.size() && isDigit(t[p])) ++p;
    }
    return p == t.size();
}

bool onlyNumbers(std::string_view line) {
    std::size_t p = 0;
    while (p < line.size()) {
        while (p < line.size() && isSpace(line[p])) ++p;
        const std::size_t begin = p;
        while (p < line.size() && !isSpace(line[p])) ++p;
        if (p > begin && !isNumberToken(line.substr(begin, p - begin))) return false;
    }
    return true;
}

// Notes a line of numbers that holds something else.
class Warnings {
public:
    void check(const LineReader& lines, std::string_view line) {
        if (onlyNumbers(line)) return;
        constexpr std::size_t kShown = 60;
        std::string text;
        std::size_t b = 0, e = line.size();
        while (b < e && isSpace(line[b])) ++b;
        while (e > b && isSpace(line[e - 1])) --e;
        for (std::size_t i = b; i < e && text.size() < kShown; ++i) {
            const auto u = static_cast<unsigned char>(line[i]);
            text += u < 32 || u == 127 ? ' ' : line[i];
        }
        if (e - b > kShown) text += "...";
        list.push_back({lines.number(), std::move(text)});
    }
    std::vector<ReadWarning> list;
};

// Numbers taken one after the other from a line, each from where the previous one ended.
// Decimal only and independent of the locale: blanks, an optional sign, digits with an optional
// point, an optional exponent. Where no number stands the value is 0 and the position stays.
class NumberScanner {
public:
    explicit NumberScanner(std::string_view line) : line_(line) {}

    double real() {
        const std::size_t n = line_.size();
        std::size_t p = pos_;
        while (p < n && isSpace(line_[p])) ++p;
        bool negative = false;
        if (p < n && (line_[p] == '+' || line_[p] == '-')) {
            negative = line_[p] == '-';
            ++p;
        }
        const std::size_t intBegin = p;
        while (p < n && isDigit(line_[p])) ++p;
        const std::size_t intEnd = p;
        std::size_t fracBegin = p;
        std::size_t fracEnd = p;
        if (p < n && line_[p] == '.') {
            fracBegin = ++p;
            while (p < n && isDigit(line_[p])) ++p;
            fracEnd = p;
        }
        if (intBegin == intEnd && fracBegin == fracEnd) return 0;

        // The exponent counts only when digits follow the e and its sign.
        long long exponent = 0;
        if (p < n && (line_[p] == 'e' || line_[p] == 'E')) {
            std::size_t q = p + 1;
            const bool expNegative = q < n && line_[q] == '-';
            if (q < n && (line_[q] == '+' || line_[q] == '-')) ++q;
            if (q < n && isDigit(line_[q])) {
                for (; q < n && isDigit(line_[q]); ++q)
                    if (exponent < 1'000'000'000'000LL) exponent = exponent * 10 + (line_[q] - '0');
                if (expNegative) exponent = -exponent;
                p = q;
            }
        }
        pos_ = p;

        double value = 0;
        const auto res = std::from_chars(line_.data() + intBegin, line_.data() + p, value);
        if (res.ec == std::errc::result_out_of_range) {
            // Too large gives infinity, too small zero: decided by the decimal exponent of the
            // first significant digit.
            long long lead = 0;
            const std::size_t i = firstNonZero(intBegin, intEnd);
            if (i < intEnd)
                lead = static_cast<long long>(intEnd - i) - 1;
            else
                lead = -static_cast<long long>(firstNonZero(fracBegin, fracEnd) - fracBegin) - 1;
            value = lead + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        } else if (res.ec != std::errc()) {
            value = 0;
        }
        return negative ? -value : value;
    }

    // A number truncated toward zero and held to the 32-bit range.
    int integer() {
        const double v = real();
        if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
        if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
        return static_cast<int>(v);
    }

private:
    std::size_t firstNonZero(std::size_t from, std::size_t to) const {
        while (from < to && line_[from] == '0') ++from;
        return from;
    }

    std::string_view line_;
    std::size_t pos_ = 0;
};

// Line 1: optional blanks, an optional sign and the leading digits.
int leadingInteger(std::string_view line) {
    std::size_t p = 0;
    while (p < line.size() && isSpace(line[p])) ++p;
    bool negative = false;
    if (p < line.size() && (line[p] == '+' || line[p] == '-')) {
        negative = line[p] == '-';
        ++p;
    }
    long long v = 0;
    while (p < line.size() && isDigit(line[p])) {
        if (v <= static_cast<long long>(INT_MAX) + 1) v = v * 10 + (line[p] - '0');
        ++p;
    }
    if (negative) v = -v;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A line as a message may quote it: printable, short.
std::string quoted(std::string_view line) {
    constexpr std::size_t kShown = 40;
    std::string text;
    for (std::size_t i = 0; i < line.size() && text.size() < kShown; ++i) {
        const auto u = static_cast<unsigned char>(line[i]);
        text += u < 32 || u == 127 ? ' ' : line[i];
    }
    if (line.size() > kShown) text += "...";
    return "\"" + text + "\"";
}

// Blanks, an optional sign, then a digit, a point with a digit behind it, or the word a C
// library writes for a number that is not finite ("nan", "inf"): the reader takes those as 0 and
// warns, as it does for a decimal comma.
bool startsWithNumber(std::string_view line) {
    std::size_t p = 0;
    while (p < line.size() && isSpace(line[p])) ++p;
    if (p < line.size() && (line[p] == '+' || line[p] == '-')) ++p;
    const auto word = [&](std::string_view w) {
        if (line.size() - p < w.size()) return false;
        for (std::size_t i = 0; i < w.size(); ++i)
            if ((line[p + i] | 0x20) != w[i]) return false;
        return true;
    };
    if (word("nan") || word("inf")) return true;
    if (p < line.size() && line[p] == '.') ++p;
    return p < line.size() && isDigit(line[p]);
}

bool isUnitCode(std::string_view line) {
    std::size_t b = 0, e = line.size();
    while (b < e && isSpace(line[b])) ++b;
    while (e > b && isSpace(line[e - 1])) --e;
    const std::string_view t = line.substr(b, e - b);
    return t == "1" || t == "2" || t == "-1" || t == "+1" || t == "+2";
}

} // namespace

std::string projectFileProblem(std::string_view bytes) {
    if (bytes.empty()) return "the file is empty";
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
    // An old editor's end-of-file mark is no binary data.
    if (!bytes.empty() && bytes.back() == '\x1A') bytes.remove_suffix(1);

    // Lines 1 to 11, any of CR LF, LF or CR ending each.
    std::vector<std::string_view> lines;
    std::size_t p = 0;
    while (lines.size() < 11 && p < bytes.size()) {
        std::size_t end = p;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
        lines.push_back(bytes.substr(p, end - p));
        p = end + 1;
        if (end < bytes.size() && bytes[end] == '\r' && p < bytes.size() && bytes[p] == '\n') ++p;
    }
    if (lines.empty()) return "the file is empty";
    if (!isUnitCode(lines[0]))
        return "line 1 holds " + quoted(lines[0]) + " where the unit code belongs";
    // Binary data: a NUL byte, or control bytes beyond what a stray escape or bell holds. Lines
    // 2 to 7 hold the names, which keep whatever was typed or imported: not counted there, so
    // a project saved with such names opens again.
    int line = 1;
    std::size_t controls = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto u = static_cast<unsigned char>(bytes[i]);
        if (u == '\n' || (u == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) ++line;
        if (u == 0)
            return "line " + std::to_string(line) +
                   " holds binary data (a NUL byte), a project "
                   "is text only";
        const bool names = line >= 2 && line <= 7;
        if (!names && ((u < 32 && u != '\t' && u != '\n' && u != '\r') || u == 127)) ++controls;
    }
    if (controls * 16 > bytes.size())
        return std::to_string(controls) + " of its " + std::to_string(bytes.size()) +
               " bytes are control characters, a project is text";
    static constexpr const char* kNumbersOf[] = {"pile shape and unit weight",
                                                 "analysis type and pipe end", "pile widths",
                                                 "ground elevation"};
    for (std::size_t i = 7; i < 11; ++i) {
        const std::string number = std::to_string(i + 1);
        if (i >= lines.size())
            return "it ends after line " + std::to_string(lines.size()) + ", before line " +
                   number + " (" + kNumbersOf[i - 7] + ")";
        if (!startsWithNumber(lines[i]))
            return "line " + number + " holds " + quoted(lines[i]) + " where numbers belong (" +
                   kNumbersOf[i - 7] + ")";
    }
    return {};
}

std::string writeInputFile(CPelbrinDoc& doc) {
    if (doc.units == Units::NotChosen) doc.units = Units::Metric;
    doc.pipeEnd = doc.pipeEnd == PipeEnd::Open ? PipeEnd::Open : PipeEnd::Closed;

    std::string out;
    out += printfInt(doc.units, 0) + kEol;
    out += lineText(doc.projectNumber) + kEol;
    out += lineText(doc.boringDate) + kEol;
    out += lineText(doc.engineer) + kEol;
    out += lineText(doc.boringNumber) + kEol;
    out += lineText(doc.station) + " " + std::string(kWaterTableTag) + f16(doc.waterTable) + kEol;
    out += lineText(doc.jobName) + kEol;
    out += printfInt(doc.pileShape, 1) + " " + f16(doc.unitWeight) + kEol;
    out += printfInt(doc.analysisType, 1) + " " + printfInt(doc.pipeEnd, 1) + kEol;

    // Widths: only the leading non-zero ones, which are the ones the analysis takes.
    if (PileShape::hSection(doc.pileShape)) {
        out += " 1 " + f16(doc.pileWidths[0]) + " " + kEol;
    } else {
        const int n = leadingNonZeroWidths(doc);
        out += printfInt(n, 1) + " ";
        for (int i = 0; i < n; ++i) out += f16(doc.pileWidths[static_cast<std::size_t>(i)]) + " ";
        out += kEol;
    }

    if (PileShape::hSection(doc.pileShape))
        out += f16(doc.groundElevation) + " " + f16(doc.hPileDepth) + " " + f16(doc.hPileEndArea) +
               " " + kEol;
    else if (PileShape::hollow(doc.pileShape))
        out += f16(doc.groundElevation) + " " + f16(doc.pipeThickness) + " " + kEol;
    else
        out += f16(doc.groundElevation) + " " + kEol;

    if (doc.analysisType == AnalysisType::SpecificLengths) {
        int n = 0;
        for (double l : doc.pileLengths)
            if (l > 0) ++n;
        doc.lengthCount = n;
        out += " ";
        for (int i = 0; i < n; ++i) out += f16(doc.pileLengths[static_cast<std::size_t>(i)]) + " ";
        out += kEol;
    } else if (doc.analysisType == AnalysisType::RangeOfLengths) {
        out += f16(doc.minLength) + " " + f16(doc.maxLength) + " " + f16(doc.lengthIncrement) +
               " " + kEol;
    }

    // The log up to and including its closing entry (soil code 0), then an all-zero line unless
    // the closing entry is one; never more lines than the log has entries.
    const auto entries = static_cast<std::size_t>(logEntriesInUse(doc.soilCodes));
    const bool closingLine = entries < kDocSamples && !allZeroEntry(doc, entries - 1);
    auto logLine = [](double depth, double blows, int code) {
        return logField(printfFixed(depth, 7, 2), 7) + logField(printfFixed(blows, 7, 2), 7) +
               logField(printfInt(code, 4), 4) + " " + kEol;
    };
    for (std::size_t i = 0; i < entries; ++i)
        out += logLine(doc.depths[i], doc.blowCounts[i], doc.soilCodes[i]);
    if (closingLine) out += logLine(0, 0, 0);
    return out;
}

std::vector<ReadWarning> readInputFile(std::string_view bytes, CPelbrinDoc& doc) {
    // Saved as UTF-8 by a text editor: the mark is not part of the unit code.
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
    LineReader lines(bytes);
    Warnings warnings;
    // The next line, to be read as numbers.
    auto numbers = [&] {
        const std::string_view line = lines.next();
        warnings.check(lines, line);
        return line;
    };

    doc.units = leadingInteger(numbers());
    doc.projectNumber = std::string(lines.next());
    doc.boringDate = std::string(lines.next());
    doc.engineer = std::string(lines.next());
    doc.boringNumber = std::string(lines.next());

    const std::string_view stationLine = lines.next();
    doc.station = std::string(stationLine);
    const std::size_t tag = stationLine.find(kWaterTableTag);
    if (tag != std::string_view::npos && tag > 0) {
        const std::string_view value = stationLine.substr(tag + kWaterTableTag.size());
        warnings.check(lines, value);
        doc.waterTable = NumberScanner(value).real();
        std::size_t end = tag;
        if (stationLine[end - 1] == ' ') --end;
        doc.station = std::string(stationLine.substr(0, end));
    }

    doc.jobName = std::string(lines.next());

    NumberScanner line8(numbers());
    doc.pileShape = line8.integer();
    doc.unitWeight = line8.real();

    NumberScanner line9(numbers());
    doc.analysisType = line9.integer();
    doc.pipeEnd = line9.integer();

    NumberScanner line10(numbers());
    int widths = line10.integer();
    if (widths > kDocWidths) widths = kDocWidths;
    if (widths < 0) widths = 0;
    doc.widthCount = widths;
    for (int i = 0; i < widths; ++i) doc.pileWidths[static_cast<std::size_t>(i)] = line10.real();

    NumberScanner line11(numbers());
    doc.groundElevation = line11.real();
    if (PileShape::hollow(doc.pileShape)) {
        doc.pipeThickness = line11.real();
    } else if (PileShape::hSection(doc.pileShape)) {
        doc.hPileDepth = line11.real();
        doc.hPileEndArea = line11.real();
    }

    // The writer has a lengths line only for these two analysis types.
    if (doc.analysisType == AnalysisType::SpecificLengths) {
        NumberScanner line12(numbers());
        for (std::size_t i = 0; i < 10; ++i) doc.pileLengths[i] = line12.real();
    } else if (doc.analysisType == AnalysisType::RangeOfLengths) {
        NumberScanner line12(numbers());
        doc.minLength = line12.real();
        doc.maxLength = line12.real();
        doc.lengthIncrement = line12.real();
    }

    for (std::size_t i = 0; i < kDocSamples; ++i) {
        NumberScanner entry(numbers());
        doc.depths[i] = entry.real();
        doc.blowCounts[i] = entry.real();
        doc.soilCodes[i] = entry.integer();
        if (doc.soilCodes[i] == 0) break;
    }
    return std::move(warnings.list);
}

std::string reportNameFor(const std::string& inputFileName) {
    const std::size_t slash = inputFileName.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = inputFileName.find_last_of('.');
    std::string report = dot == std::string::npos || dot < nameStart
                             ? inputFileName + ".out"
                             : inputFileName.substr(0, dot) + ".out";
    if (report == inputFileName) report = inputFileName + ".out";
    return report;
}

} // namespace zenka
