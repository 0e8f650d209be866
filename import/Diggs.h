#pragma once

// DIGGS XML (2.5.a, 2.6, 3 and the DIGGS 3 development schema). Elements are matched by local
// name, so every namespace the producers use is accepted. Read: the project, boreholes (not CPT
// soundings), SPT tests (measurement/Test with a DrivenPenetrationTest procedure), lithology
// observations and water strikes.

#include "import/BoreholeData.h"

#include <string_view>

namespace zenka::dataimport {

DataFile readDiggs(std::string_view bytes);

} // namespace zenka::dataimport
