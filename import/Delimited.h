#pragma once

// Delimited text: CSV (comma or semicolon), TSV, or rows pasted from a spreadsheet. One borehole
// per file. A header names the columns: depth ("Depth (ft)", "Depth (m)", "Top"), N ("N",
// "N-value", "SPT N", "Blows") and the soil (a "Soil code" / "Code" column of soil codes or
// symbols, a "USCS" / "Symbol" / "Classification" column, a "Description" column). Without a
// header the columns are depth, N, soil. With ";" or tabs as separator a decimal comma is read.
// N may be written "50/75mm" or "50/3in" for a drive that stopped short.

#include "import/BoreholeData.h"

#include <string>
#include <string_view>

namespace zenka::dataimport {

struct DelimitedOptions {
    // Used when the header does not say the depth unit.
    LengthUnit depthUnit = LengthUnit::Unknown;
    std::string boreholeName = "B-1";
};

DataFile readDelimited(std::string_view bytes, const DelimitedOptions& options = {});

} // namespace zenka::dataimport
