#pragma once

// The report's line model: literals and fields placed at columns, lines ended by CR LF.
//
//   out.line().text(10, "INPUT FILE NAME").A(40, s.INFILE, 30);
//
// Column 1 is the first character; positions skipped over are blanks; a line ends after the
// last literal or field placed on it.

#include "engine/Arrays.h"

#include <span>
#include <string>
#include <string_view>

namespace zenka {

class ReportOut;

// A literal and its first column, for the lines whose text or columns differ between the two
// unit systems.
struct Placed {
    int col;
    std::string_view text;
};

class ReportLine {
public:
    explicit ReportLine(ReportOut& out);
    ReportLine(const ReportLine&) = delete;
    ReportLine& operator=(const ReportLine&) = delete;
    ~ReportLine();

    ReportLine& text(int col, std::string_view literal);
    ReportLine& text(const Placed& p) { return text(p.col, p.text); }
    ReportLine& text(std::span<const Placed> items);
    ReportLine& F(int col, double value, int width, int decimals);
    ReportLine& I(int col, long long value, int width);
    ReportLine& A(int col, std::string_view value, int width);
    template <int W> ReportLine& A(int col, const FixedText<W>& value, int width) {
        return A(col, value.view(), width);
    }

private:
    // The blank columns [col, col + width) of the line, made to exist.
    char* field(int col, int width);
    ReportOut& out_;
};

class ReportOut {
public:
    ReportLine line() { return ReportLine(*this); }
    void blank() { append(""); }
    void append(std::string_view lineText);

    const std::string& text() const { return text_; }
    void clear() { text_.clear(); }
    void reserve(std::size_t bytes) { text_.reserve(bytes); }

private:
    friend class ReportLine;
    std::string text_;
    // The line being built: its first lineLength_ characters, blanks after them. One buffer for
    // every line, so that a line costs no allocation; so only one line at a time can be open.
    std::string line_;
    std::size_t lineLength_ = 0;
    bool lineOpen_ = false;
};

// What the report prints differently in English and in Metric units: the factors from the
// engine's English units to the printed ones, and the words and lines that change. The English
// factors are exactly 1, so English values print unchanged.
struct ReportUnits {
    bool english;

    double lengthFactor;      // ft
    double smallLengthFactor; // in
    double areaFactor;        // in^2
    double forceFactor;       // tons
    double stressFactor;      // tsf

    double len(double ft) const { return ft * lengthFactor; }
    double small(double in) const { return in * smallLengthFactor; }
    double area(double in2) const { return in2 * areaFactor; }
    double force(double tons) const { return tons * forceFactor; }
    double stress(double tsf) const { return tsf * stressFactor; }

    // Section A.
    Placed bannerVersion;
    Placed bannerStates;
    Placed bannerResearch;
    Placed bannerNote1;
    Placed bannerNote2;
    std::string_view elevationWord; // after the ground surface elevation

    // Section B.
    std::string_view logDepthHead;
    std::string_view logBlowsHead;
    std::string_view logElevUnit;

    // Section C.
    std::string_view sizeWord;       // pile width, thickness, section depth
    std::string_view areaWord;       // H-pile area
    std::string_view pileLengthWord; // length and tip elevation

    // Sections D to G.
    std::string_view blowsHead;  // "BLOW/FT"
    std::string_view blowsWord;  // "BL/FT"
    std::string_view forceWord;  // "TONS"
    std::string_view stressWord; // "TSF"
    std::string_view lengthWord; // "FT"
    int sflWidth;
    Placed endBearingWidthTail;
    int endBearingLengthCol;
    Placed endBearingTitleEnd;
    int upcWidth;

    // Capacity-against-penetration table.
    std::span<const Placed> concreteUnitLine;
    std::span<const Placed> steelUnitLine;
    Placed hPileNote4Tail;
    std::span<const Placed> hPileNote4Line3;

    // Error messages.
    std::string_view tooNearTail;
    std::string_view exceedsTail;

    // 1 English, anything else Metric.
    static const ReportUnits& of(int iunits);
};

} // namespace zenka
