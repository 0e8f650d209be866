#include "model/SoilCatalogue.h"

namespace zenka {

namespace {

constexpr SoilCodeName kNames[] = {
    {1, "Clay (CH)"},
    {11, "Silty Clay (CL-ML)"},
    {2, "Clayey Sand (SC)"},
    {21, "Clayey Gravel (GC)"},
    {22, "Clayey Silt (ML)"},
    {23, "Gravelly Clay (CL-GP)"},
    {24, "Muck (PT)"},
    {25, "Sandy Clay (CL)"},
    {26, "Sandy Silt (ML)"},
    {27, "Shelly Clay (CL-GC)"},
    {28, "Silt (ML)"},
    {3, "Sand (SW)"},
    {31, "Gravel (GP)"},
    {32, "Gravelly Sand (SW-GP)"},
    {33, "Sandy Gravel (GW)"},
    {34, "Silty Gravel (GM)"},
    {35, "Silty Sand"},
    {4, "Shelly Sand (SP-GP)"},
    {41, "Coquina"},
    {42, "Hard Limestone"},
    {43, "Shell"},
    {44, "Shelly Gravel (GP)"},
    {45, "Soft Limestone"},
    {5, "Cavity (VOID)"},
};

} // namespace

std::span<const SoilCodeName> soilCodeNames() {
    return kNames;
}

bool validSoilCode(int code) {
    for (const SoilCodeName& n : kNames)
        if (n.code == code) return true;
    return false;
}

std::string soilCodeName(int code) {
    for (const SoilCodeName& n : kNames)
        if (n.code == code) return n.name;
    return {};
}

std::string soilCodeListing(const SoilCodeName& soil) {
    return (soil.code < 10 ? " " : "") + std::to_string(soil.code) + "- " + soil.name;
}

int soilGroupOf(int code) {
    if (code == 0) return 0;
    if (!validSoilCode(code)) return -1;
    return code < 10 ? code : code / 10;
}

} // namespace zenka
