#include "base/Shell.h"

namespace zenka {

std::string readWarningsMessage(const std::string& path, const std::vector<ReadWarning>& warnings) {
    constexpr std::size_t kListed = 10;
    std::string text = "Some lines of " + path +
                       " hold text that is not a number. The values on them were read only up "
                       "to it and may be short or 0; check them before you run the analysis.\n";
    for (std::size_t i = 0; i < warnings.size() && i < kListed; ++i)
        text += "\nline " + std::to_string(warnings[i].line) + ": " + warnings[i].text;
    if (warnings.size() > kListed)
        text += "\n... and " + std::to_string(warnings.size() - kListed) + " more lines.";
    return text;
}

} // namespace zenka
