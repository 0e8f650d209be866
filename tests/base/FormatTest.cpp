#include "base/Format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

using namespace zenka;

TEST(FormatFieldF, RoundsCorrectlyWithExactBinaryTiesToEven) {
    // Exact binary ties go to the even digit.
    EXPECT_EQ(fieldF(0.125, 4, 2), "0.12");
    EXPECT_EQ(fieldF(0.375, 4, 2), "0.38");
    EXPECT_EQ(fieldF(2.5, 3, 0), "  2");
    EXPECT_EQ(fieldF(3.5, 3, 0), "  4");
    EXPECT_EQ(fieldF(-0.125, 5, 2), "-0.12");
    // Decimal ties that are not binary ties round by the binary value.
    EXPECT_EQ(fieldF(2.675, 4, 2), "2.67"); // stored just below
    EXPECT_EQ(fieldF(1.005, 4, 2), "1.00"); // stored just below
    EXPECT_EQ(fieldF(0.05, 4, 1), " 0.1");  // stored just above
    EXPECT_EQ(fieldF(87.5, 10, 2), "     87.50");
    EXPECT_EQ(fieldF(3.048, 6, 2), "  3.05");
    EXPECT_EQ(fieldF(1234.5678, 9, 1), "   1234.6");
}

TEST(FormatFieldF, LeadingZeroAsterisksAndNegativeZero) {
    // A zero before the point below 1, when the field has room for it.
    EXPECT_EQ(fieldF(0.5, 5, 2), " 0.50");
    EXPECT_EQ(fieldF(-0.5, 5, 2), "-0.50");
    EXPECT_EQ(fieldF(0.0, 7, 2), "   0.00");
    // Asterisks when the number does not fit, also after rounding.
    EXPECT_EQ(fieldF(10000.0, 7, 2), "*******");
    EXPECT_EQ(fieldF(9999.99, 7, 2), "9999.99");
    EXPECT_EQ(fieldF(9999.996, 7, 2), "*******");
    EXPECT_EQ(fieldF(-999.99, 7, 2), "-999.99");
    EXPECT_EQ(fieldF(-1000.0, 7, 2), "*******");
    EXPECT_EQ(fieldF(-0.5, 4, 2), "****");
    EXPECT_EQ(fieldF(1e300, 10, 2), "**********");
    EXPECT_EQ(fieldF(std::numeric_limits<double>::quiet_NaN(), 7, 2), "*******");
    EXPECT_EQ(fieldF(std::numeric_limits<double>::infinity(), 6, 1), "******");
    EXPECT_EQ(fieldF(-std::numeric_limits<double>::infinity(), 6, 1), "******");
    // Never a minus sign on a value that prints as zero.
    EXPECT_EQ(fieldF(-0.001, 5, 2), " 0.00");
    EXPECT_EQ(fieldF(-0.0, 4, 1), " 0.0");
    EXPECT_EQ(fieldF(-0.004999, 4, 2), "0.00");
    EXPECT_EQ(fieldF(-0.2, 3, 0), "  0");
    EXPECT_EQ(fieldF(-0.005, 5, 2), "-0.01"); // stored just beyond -0.005
    // A field too narrow for anything.
    EXPECT_EQ(fieldF(1.0, 0, 2), "");
    EXPECT_EQ(fieldF(1.0, -3, 2), "");
}

TEST(FormatFieldIAndA, WidthsAndOverflow) {
    EXPECT_EQ(fieldI(100, 4), " 100");
    EXPECT_EQ(fieldI(-5, 3), " -5");
    EXPECT_EQ(fieldI(1234, 4), "1234");
    EXPECT_EQ(fieldI(12345, 4), "****");
    EXPECT_EQ(fieldI(-100, 3), "***");
    EXPECT_EQ(fieldI(std::numeric_limits<long long>::min(), 4), "****");
    EXPECT_EQ(fieldI(3, -1), "");

    EXPECT_EQ(fieldA("ABC", 5), "ABC  ");
    EXPECT_EQ(fieldA("ABCDEFG", 3), "ABC");
    EXPECT_EQ(fieldA("", 2), "  ");
    EXPECT_EQ(fieldA("X", -1), "");
}

TEST(FormatPrintf, FixedAsCAndLongPrecision) {
    EXPECT_EQ(printfFixed(-0.001, 2), "-0.00"); // C keeps the sign; only report fields drop it
    EXPECT_EQ(printfFixed(2.5, 0), "2");
    EXPECT_EQ(printfFixed(1.5, 6, 1), "   1.5");
    EXPECT_EQ(printfFixed(std::numeric_limits<double>::quiet_NaN(), 2), "nan");
    EXPECT_EQ(printfFixed(-std::numeric_limits<double>::infinity(), 2), "-inf");
    EXPECT_EQ(printfInt(42, 5), "   42");

    // The largest doubles with many decimals still print in full.
    const std::string big = printfFixed(std::numeric_limits<double>::max(), 120);
    EXPECT_EQ(big.size(), 309u + 1u + 120u);
    EXPECT_EQ(big.substr(0, 6), "179769");
    EXPECT_EQ(big.substr(309), "." + std::string(120, '0'));
    const std::string tiny = printfFixed(-1e-300, 310);
    EXPECT_EQ(tiny.substr(0, 3), "-0.");
    EXPECT_EQ(tiny.size(), 313u);
}

TEST(FormatToCharsFixed, PrintsWhatToCharsPrints) {
    // The integer path must agree with the general algorithm character for character: on
    // report-sized values, on exact binary ties, on any bit pattern, and on buffers too small.
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> reportSized(-20000.0, 20000.0);
    auto same = [](double v, int decimals, std::size_t room) {
        char a[400];
        char b[400];
        const auto want = std::to_chars(a, a + room, v, std::chars_format::fixed, decimals);
        const auto got = toCharsFixed(b, b + room, v, decimals);
        if (want.ec != got.ec) return false;
        return want.ec != std::errc() || std::string(a, want.ptr) == std::string(b, got.ptr);
    };
    int failures = 0;
    for (int decimals = 0; decimals <= 11; ++decimals) {
        for (int i = 0; i < 4000; ++i) {
            const double tie =
                std::ldexp(static_cast<double>(static_cast<long long>(rng() % 2000001) - 1000000),
                           -static_cast<int>(rng() % 40));
            double bits = 0;
            const std::uint64_t pattern = rng();
            std::memcpy(&bits, &pattern, sizeof bits);
            for (double v : {reportSized(rng), tie, -tie, bits, reportSized(rng) / 1000}) {
                if (!std::isfinite(v)) continue;
                failures += !same(v, decimals, 400);
                failures += !same(v, decimals, static_cast<std::size_t>(rng() % 12));
            }
        }
        for (double v : {0.0, -0.0, 4.9e-324, 0x1p52 - 0.5, 0x1p52, 0x1p53 - 1,
                         1.8446744073709552e10, 1.8446744073709552e19, 1e300})
            failures += !same(v, decimals, 400);
    }
    EXPECT_EQ(failures, 0);

    // A wide field still takes a number too long for the short path.
    EXPECT_EQ(fieldF(1e300, 400, 2), printfFixed(1e300, 400, 2));
    EXPECT_EQ(fieldF(-1e300, 300, 2), std::string(300, '*'));
}
