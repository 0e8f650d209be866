#include "engine/Report.h"

#include "engine/Format.h"

namespace zenka {

ReportLine::~ReportLine() { out_.append(buf_); }

void ReportLine::place(int col, std::string_view s) {
    const std::size_t start = col > 1 ? static_cast<std::size_t>(col - 1) : 0;
    if (buf_.size() < start + s.size()) buf_.resize(start + s.size(), ' ');
    buf_.replace(start, s.size(), s);
}

ReportLine& ReportLine::text(int col, std::string_view literal) {
    place(col, literal);
    return *this;
}

ReportLine& ReportLine::F(int col, double value, int width, int decimals) {
    place(col, fieldF(value, width, decimals));
    return *this;
}

ReportLine& ReportLine::I(int col, long long value, int width) {
    place(col, fieldI(value, width));
    return *this;
}

ReportLine& ReportLine::A(int col, std::string_view value, int width) {
    place(col, fieldA(value, width));
    return *this;
}

void ReportOut::append(std::string_view lineText) {
    text_.append(lineText);
    text_.append("\r\n");
}

} // namespace zenka
