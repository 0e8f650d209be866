#include "engine/ErrorWriter.h"

#include "engine/Report.h"

#include <cmath>

namespace zenka {

void writeError(ReportOut& out, int iunits, int code, double value) {
    const bool english = iunits == 1;
    switch (code) {
    case 21:
        out.blank();
        out.line().text(10, "*** THE MAXIMUM PILE LENGTH HAS BEEN REACHED");
        break;
    case 22:
        out.blank();
        out.line()
            .text(5, "*** ERROR *** PILE TIP TOO NEAR END OF BORING LOG FOR LENGTH =")
            .F(67, english ? value : value * 0.3048, 7, 2)
            .text(74, english ? " FT" : "  M");
        break;
    case 23:
        out.blank();
        out.line()
            .text(10, "*** ERROR *** PILE TIP EXCEEDS BORING LOG FOR LENGTH =")
            .F(64, english ? value : value * 0.3048, 7, 2)
            .text(71, english ? " FT" : " M");
        break;
    case 24: {
        // Truncated toward zero, as an integer field takes it.
        const double whole = std::isfinite(value) ? std::trunc(value) : 0.0;
        out.blank();
        out.line()
            .text(10, "*** ERROR *** MAXIMUM NUMBER OF PILE LENGTHS EXCEEDS ")
            .I(63, static_cast<long long>(whole), 4);
        break;
    }
    default:
        break;
    }
}

} // namespace zenka
