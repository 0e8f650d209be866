#pragma once

// The report's line model: literals and fields placed at columns, lines ended by CR LF.
//
//   out.line().text(10, "INPUT FILE NAME").A(40, s.INFILE, 30);
//
// Column 1 is the first character; positions skipped over are blanks; a line ends after the
// last literal or field placed on it.

#include <string>
#include <string_view>

namespace zenka {

class ReportOut;

class ReportLine {
public:
    explicit ReportLine(ReportOut& out) : out_(out) {}
    ReportLine(const ReportLine&) = delete;
    ReportLine& operator=(const ReportLine&) = delete;
    ~ReportLine();

    ReportLine& text(int col, std::string_view literal);
    ReportLine& F(int col, double value, int width, int decimals);
    ReportLine& I(int col, long long value, int width);
    ReportLine& A(int col, std::string_view value, int width);

private:
    void place(int col, std::string_view s);
    ReportOut& out_;
    std::string buf_;
};

class ReportOut {
public:
    ReportLine line() { return ReportLine(*this); }
    void blank() { append(""); }
    void append(std::string_view lineText);

    const std::string& text() const { return text_; }
    void clear() { text_.clear(); }

private:
    std::string text_;
};

} // namespace zenka
