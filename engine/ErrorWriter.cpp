#include "engine/ErrorWriter.h"

#include "base/Format.h"
#include "engine/Report.h"

#include <cmath>
#include <string>

namespace zenka {

void writeError(ReportOut& out, int iunits, int code, double value) {
    const ReportUnits& u = ReportUnits::of(iunits);
    switch (code) {
    case 21:
        out.blank();
        out.line().text(10, "*** THE MAXIMUM PILE LENGTH HAS BEEN REACHED");
        break;
    case 22:
        out.blank();
        out.line()
            .text(5, "*** ERROR *** PILE TIP TOO NEAR END OF")
            .text(43, " BORING LOG FOR LENGTH =")
            .F(67, u.len(value), 7, 2)
            .text(74, u.tooNearTail);
        break;
    case 23:
        out.blank();
        out.line()
            .text(10, "*** ERROR *** PILE TIP EXCEEDS BORING LOG FOR")
            .text(55, " LENGTH =")
            .F(64, u.len(value), 7, 2)
            .text(71, u.exceedsTail);
        break;
    case 24: {
        // Truncated toward zero, as an integer field takes it; a count beyond any integer field
        // prints as asterisks rather than overflowing the conversion.
        const bool fits = std::isfinite(value) && std::fabs(value) < 1e9;
        const std::string count =
            fits ? fieldI(static_cast<long long>(std::trunc(value)), 4) : std::string(4, '*');
        out.blank();
        out.line()
            .text(10, "*** ERROR *** MAXIMUM NUMBER OF PILE LENGTHS")
            .text(54, " EXCEEDS ")
            .text(63, count);
        break;
    }
    default:
        break;
    }
}

} // namespace zenka
