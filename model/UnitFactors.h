#pragma once

// English to Metric: the one table of factors the project, the report and every output use.

namespace zenka::units {

inline constexpr double kMetresPerFoot = 0.3048;
inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kSquareMillimetresPerSquareInch = 645.16;
// Unit weight: pounds per cubic foot to kilonewtons per cubic metre.
inline constexpr double kKilonewtonsPerCubicMetrePerPcf = 0.15708740670207796;
inline constexpr double kKilonewtonsPerTon = 8.8964;
inline constexpr double kKilopascalsPerTsf = 95.76;

} // namespace zenka::units
