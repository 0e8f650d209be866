#pragma once

// The soil codes of the boring log: every code, its name and its soil group. The log editor, the
// import and the hand-off all read this one table.

#include <span>
#include <string>

namespace zenka {

struct SoilCodeName {
    int code;
    const char* name; // "Silty Clay (CL-ML)"
};
// Every code the boring log accepts, in the order the log editor lists them.
std::span<const SoilCodeName> soilCodeNames();
bool validSoilCode(int code);
// The name of a valid code, or an empty text.
std::string soilCodeName(int code);
// The code and its name as the log editor lists them: "11- Silty Clay (CL-ML)", " 3- Sand (SW)".
std::string soilCodeListing(const SoilCodeName& soil);

// The soil group (1 to 5) of a valid code, 0 for the closing entry's code 0, -1 for a code the
// log does not accept. A code's group is its first digit.
int soilGroupOf(int code);

} // namespace zenka
