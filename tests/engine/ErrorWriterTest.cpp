#include "engine/ErrorWriter.h"
#include "engine/Report.h"

#include "support/ReportLines.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace zenka;
using namespace zenka::test;

namespace {

std::string written(int iunits, int code, double value) {
    ReportOut out;
    writeError(out, iunits, code, value);
    return out.text();
}

// A blank line, then the message line.
std::string message(const std::string& line) {
    return "\r\n" + line + "\r\n";
}

} // namespace

TEST(ErrorWriter, EveryMessageInBothUnits) {
    const std::string maxReached = Cols().at(10, "*** THE MAXIMUM PILE LENGTH HAS BEEN REACHED");
    EXPECT_EQ(written(1, 21, 0), message(maxReached));
    EXPECT_EQ(written(2, 21, 0), message(maxReached));

    const std::string tooNear = "*** ERROR *** PILE TIP TOO NEAR END OF BORING LOG FOR LENGTH =";
    EXPECT_EQ(written(1, 22, 57.5), message(Cols().at(5, tooNear).at(67, "  57.50").at(74, " FT")));
    // 20 ft = 6.096 m, and two blanks before the M.
    EXPECT_EQ(written(2, 22, 20.0), message(Cols().at(5, tooNear).at(67, "   6.10").at(74, "  M")));

    const std::string exceeds = "*** ERROR *** PILE TIP EXCEEDS BORING LOG FOR LENGTH =";
    EXPECT_EQ(written(1, 23, 80.0),
              message(Cols().at(10, exceeds).at(64, "  80.00").at(71, " FT")));
    EXPECT_EQ(written(2, 23, 20.0), message(Cols().at(10, exceeds).at(64, "   6.10").at(71, " M")));
    EXPECT_EQ(written(0, 23, 20.0), written(2, 23, 20.0)); // anything but 1 is Metric
    EXPECT_EQ(written(1, 23, 12345.0),
              message(Cols().at(10, exceeds).at(64, "*******").at(71, " FT")));

    const std::string tooMany =
        Cols().at(10, "*** ERROR *** MAXIMUM NUMBER OF PILE LENGTHS EXCEEDS ").at(63, " 100");
    EXPECT_EQ(written(1, 24, 100), message(tooMany));
    EXPECT_EQ(written(2, 24, 100.9), message(tooMany)); // truncated, not rounded
    EXPECT_EQ(
        written(1, 24, 1e30),
        message(
            Cols().at(10, "*** ERROR *** MAXIMUM NUMBER OF PILE LENGTHS EXCEEDS ").at(63, "****")));
    EXPECT_EQ(written(1, 24, std::numeric_limits<double>::quiet_NaN()).substr(64), "****\r\n");
}

TEST(ErrorWriter, CodesWithoutMessageWriteNothing) {
    for (int code : {0, 1, 19, 20, 25, -22, 99})
        for (int units : {1, 2}) EXPECT_EQ(written(units, code, 40.0), "") << code;
}
