#pragma once

// Delimited text: CSV (comma or semicolon), TSV, or rows pasted from a spreadsheet. A column
// naming the borehole ("Borehole", "LocationID", "Hole", "BH", "LOCA_ID") splits the rows into
// boreholes; without one the file is one borehole, and depths that go back up (a second hole
// started) refuse the file. A header names the other columns: depth ("Depth (ft)", "Depth (m)",
// "Top"), N ("N", "N-value", "SPT N", "Blows") and the soil (a "Soil code" / "Code" column of soil
// codes or symbols, a "USCS" / "Symbol" / "Classification" column, a "Description" column). Without
// a header the columns are depth, N, soil. With ";" or tabs as separator a decimal comma is read.
// N may be written as an SPT report ("50/75mm", "50/3in", "50 blows for 225mm") for a drive that
// stopped short; a penetration without a unit is in mm, or in inches when the depths are in feet.

#include "import/BoreholeData.h"

#include <string>
#include <string_view>
#include <vector>

namespace zenka::dataimport {

struct DelimitedOptions {
    // Used when the header does not say the depth unit.
    LengthUnit depthUnit = LengthUnit::Unknown;
    std::string boreholeName = "B-1";
};

DataFile readDelimited(std::string_view bytes, const DelimitedOptions& options = {});
// The same for bytes it may let go of as it reads them, so that they and the boreholes made of
// them are never held at once.
DataFile readDelimitedOwned(std::string&& bytes, const DelimitedOptions& options = {});

// The fields of one line of delimited text: `sep` between fields, blanks around a field
// dropped, double quotes around a field keeping the separators inside it (a doubled
// quote stands for one). The bytes as they are, in no particular encoding.
std::vector<std::string> splitDelimitedRow(std::string_view line, char sep);

} // namespace zenka::dataimport
