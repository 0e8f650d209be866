#include "import/SoilClassification.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zenka::dataimport {
namespace {

struct Case {
    const char* classification;
    const char* legendText;
    const char* description;
    int code;
};

// At least one case for every row of the table, and the ones that must not fire.
const Case kCases[] = {
    {"CH", "", "", 1},
    {"CL-ML", "", "", 11},
    {"ML-CL", "", "", 11},
    {"CL-GP", "", "", 23},
    {"CL-GC", "", "", 27},
    {"CL", "", "Stiff gravelly lean clay", 23},
    {"CL", "", "shelly clay", 27},
    {"CL", "", "", 25},
    {"(ML)", "", "Soft sandy SILT", 26},
    {"ml", "", "clayey silt", 22},
    {"ML", "", "", 28},
    {"MH", "", "", 28},
    {"PT", "", "", 24},
    {"OL", "", "", 24},
    {"OH", "", "", 24},
    {"SC", "", "", 2},
    {"SC-SM", "", "", 2},
    {"SW-SC", "", "", 2},
    {"SP/SC", "", "", 2},
    {"GC", "", "", 21},
    {"GC-GM", "", "", 21},
    {"GW-GC", "", "", 21},
    {"GP-GC", "", "", 21},
    {"SW-GP", "", "", 32},
    {"SP-GP", "", "", 4},
    {"SW", "", "shelly sand", 4},
    {"SP", "", "fine SAND, shelly", 4},
    {"SW", "", "gravelly SAND", 32},
    {"SP", "", "gravelly sand", 32},
    {"SW", "", "", 3},
    {"SP", "", "", 3},
    {"SW-SM", "", "", 35},
    {"SP-SM", "", "", 35},
    {"SM", "", "", 35},
    {"GP", "", "shelly gravel", 44},
    {"GP", "", "", 31},
    {"GW", "", "", 33},
    {"GM", "", "", 34},
    {"GW-GM", "", "", 34},
    {"GP-GM", "", "", 34},
    {"Void", "", "", 5},
    {"Solution voids", "", "", 5},
    {"CAVITY", "", "", 5},
    {"Cavities in limestone", "", "", 5},
    {"Coquina", "", "", 41},
    {"Hard white LIMESTONE", "", "", 42},
    {"Weathered limestone", "", "", 45},
    {"805", "CHALK", "Structureless CHALK", 45},
    {"Shelly SAND", "", "", 4},
    {"Shelly grey CLAY", "", "", 27},
    {"shelly gravel", "", "", 44},
    {"SHELL with some sand", "", "", 43},
    {"601", "PEAT", "", 24},
    {"Silty sandy organic CLAY", "", "", 24},
    {"Muck", "", "", 24},
    {"TOPSOIL", "", "", 24},
    {"Sandy lean clay", "", "", 25},
    {"202", "Silty CLAY", "", 11},
    {"203", "Sandy CLAY", "", 25},
    {"204", "Gravelly CLAY", "", 23},
    {"Fat clay", "", "", 1},
    {"clayey SILT", "", "", 22},
    {"Moist, med stiff, brown, fine micaceous sandy SILT", "", "", 26},
    {"SILT and fine micaceous SAND", "", "", 28},
    {"408", "Clayey silty gravelly SAND", "", 2},
    {"Poorly graded sand with clay", "", "", 2},
    {"Silty sand", "", "", 35},
    {"SAND (SP-SM) w/ silt", "", "", 35},
    {"Fine SAND with silt", "", "", 35},
    {"Very gravelly SAND", "", "", 32},
    {"SAND and GRAVEL", "", "", 3},
    {"509", "Clayey sandy GRAVEL", "", 21},
    {"Silty GRAVEL", "", "", 34},
    {"Sandy GRAVEL", "", "", 33},
    {"GRAVEL", "", "", 31},
    {"MARL", "", "", 28},
    {"102", "MADE GROUND", "Brick and concrete rubble", 2},
    // the legend's words, not one stratum's, decide
    {"102", "MADE GROUND", "MADE GROUND: soft brown silty clay", 2},
    // the description when the classification says nothing
    {"Base", "", "4\" GRAVEL", 31},
    {"silty clay", "", "REDDISH BROWN silty clay, LITTLE SAND", 11},
    // a symbol inside a description
    {"Stiff brown FAT CLAY (CH), trace sand", "", "", 1},
    // a code typed as the classification
    {"26", "", "", 26},
    // nothing to go on: the engineer chooses
    {"801", "MUDSTONE", "", 0},
    {"Bituminous concrete", "", "", 0},
    {"ROCK - Mica GNEISS", "", "", 0},
    {"7", "", "", 0},
    {"2555555555555555555555555", "", "", 0},
    {"-3", "", "", 0},
};

TEST(SoilClassification, EveryRuleOfTheTableIsUsed) {
    std::set<int> used;
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.classification) + " / " + c.legendText + " / " + c.description);
        const Proposal p = proposeSoilCode(c.classification, c.legendText, c.description);
        EXPECT_EQ(p.code, c.code);
        if (p.rule >= 0) {
            EXPECT_EQ(proposalRules()[static_cast<std::size_t>(p.rule)].code, p.code);
            used.insert(p.rule);
        }
    }
    for (std::size_t i = 0; i < proposalRules().size(); ++i) {
        const ProposalRule& r = proposalRules()[i];
        EXPECT_TRUE(used.count(static_cast<int>(i)))
            << "rule " << i << " (" << r.symbol << "|" << r.phrases << "|" << r.principal
            << ") is never used";
    }
}

TEST(SoilClassification, EveryProposalIsACodeTheLogAccepts) {
    for (const ProposalRule& r : proposalRules()) {
        EXPECT_TRUE(validSoilCode(r.code)) << r.code;
        EXPECT_FALSE(soilCodeName(r.code).empty());
    }
    EXPECT_EQ(soilCodeNames().size(), 24u);
    EXPECT_EQ(soilCodeName(11), "Silty Clay (CL-ML)");
    EXPECT_TRUE(soilCodeName(0).empty());
    EXPECT_FALSE(validSoilCode(6));
}

} // namespace
} // namespace zenka::dataimport
