#pragma once

// Soil codes proposed for the classifications found in a data file. The proposal is only a
// proposal: the engineer confirms or changes every code before anything is imported.
//
// The rules are one table, tried in order; the first row that matches gives the code. A row
// matches on a USCS symbol (with, optionally, words of the description: ML that is "sandy" is a
// sandy silt), or on words and the principal soil of a description ("Silty sandy CLAY": clay,
// silty) where there is no symbol.

#include "model/SoilCatalogue.h"

#include <span>
#include <string>
#include <string_view>

namespace zenka::dataimport {

struct ProposalRule {
    const char* symbol;    // a USCS symbol, or "" for a rule on words
    const char* phrases;   // "|"-separated phrases that must all occur ("made ground|x"), or ""
    const char* principal; // the principal soil ("clay", "sand", ...), or ""
    int code;
};
std::span<const ProposalRule> proposalRules();

struct Proposal {
    int code = 0;  // 0: no proposal, the engineer must choose
    int rule = -1; // index into proposalRules()
};

// classification: the symbol, legend code or description the strata carry; legendText: what a
// legend code stands for (AGS ABBR), if known; description: a description of such a stratum.
Proposal proposeSoilCode(std::string_view classification, std::string_view legendText = {},
                         std::string_view description = {});

} // namespace zenka::dataimport
