#pragma once

// Expected report lines built by column, and a report split into its lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace zenka::test {

// An expected report line: texts placed at 1-based columns over blanks.
class Cols {
public:
    Cols& at(int col, const std::string& t) {
        const std::size_t start = static_cast<std::size_t>(col - 1);
        if (s_.size() < start + t.size()) s_.resize(start + t.size(), ' ');
        s_.replace(start, t.size(), t);
        return *this;
    }
    operator std::string() const { return s_; }

private:
    std::string s_;
};

using Lines = std::vector<std::string>;

// The lines of a report; every line must end with CR LF.
inline Lines linesOf(const std::string& text) {
    Lines lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line has no CR LF";
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

inline Lines slice(const Lines& v, std::size_t from, std::size_t count) {
    if (from >= v.size()) return {};
    return {v.begin() + static_cast<std::ptrdiff_t>(from),
            v.begin() + static_cast<std::ptrdiff_t>(std::min(v.size(), from + count))};
}

inline Lines concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

} // namespace zenka::test
