#include "import/SoilClassification.h"

#include "import/BoreholeData.h"

#include <array>
#include <cmath>
#include <vector>

namespace zenka::dataimport {

namespace {

// Tried in order: the more particular row before the general one.
constexpr ProposalRule kRules[] = {
    // USCS symbols, as the soil code names carry them
    {"CH", "", "", 1},
    {"CL-ML", "", "", 11},
    {"ML-CL", "", "", 11},
    {"CL-GP", "", "", 23},
    {"CL-GC", "", "", 27},
    {"CL", "gravelly", "", 23},
    {"CL", "shelly", "", 27},
    {"CL", "", "", 25},
    {"ML", "sandy", "", 26},
    {"ML", "clayey", "", 22},
    {"ML", "", "", 28},
    {"MH", "", "", 28},
    {"PT", "", "", 24},
    {"OL", "", "", 24},
    {"OH", "", "", 24},
    {"SC", "", "", 2},
    {"SC-SM", "", "", 2},
    {"SW-SC", "", "", 2},
    {"SP-SC", "", "", 2},
    {"GC", "", "", 21},
    {"GC-GM", "", "", 21},
    {"GW-GC", "", "", 21},
    {"GP-GC", "", "", 21},
    {"SW-GP", "", "", 32},
    {"SP-GP", "", "", 4},
    {"SW", "shelly", "", 4},
    {"SP", "shelly", "", 4},
    {"SW", "gravelly", "", 32},
    {"SP", "gravelly", "", 32},
    {"SW", "", "", 3},
    {"SP", "", "", 3},
    {"SW-SM", "", "", 35},
    {"SP-SM", "", "", 35},
    {"SM", "", "", 35},
    {"GP", "shelly", "", 44},
    {"GP", "", "", 31},
    {"GW", "", "", 33},
    {"GM", "", "", 34},
    {"GW-GM", "", "", 34},
    {"GP-GM", "", "", 34},
    // words of a description, where there is no symbol
    {"", "void", "", 5},
    {"", "voids", "", 5},
    {"", "cavity", "", 5},
    {"", "cavities", "", 5},
    {"", "coquina", "", 41},
    {"", "hard|limestone", "", 42},
    {"", "limestone", "", 45},
    {"", "chalk", "", 45},
    {"", "shelly", "sand", 4},
    {"", "shelly", "clay", 27},
    {"", "shelly", "gravel", 44},
    {"", "", "shell", 43},
    {"", "peat", "", 24},
    {"", "organic", "", 24},
    {"", "muck", "", 24},
    {"", "topsoil", "", 24},
    {"", "lean clay", "", 25},
    {"", "silty", "clay", 11},
    {"", "sandy", "clay", 25},
    {"", "gravelly", "clay", 23},
    {"", "", "clay", 1},
    {"", "clayey", "silt", 22},
    {"", "sandy", "silt", 26},
    {"", "", "silt", 28},
    {"", "clayey", "sand", 2},
    {"", "with clay", "sand", 2},
    {"", "silty", "sand", 35},
    {"", "with silt", "sand", 35},
    {"", "gravelly", "sand", 32},
    {"", "", "sand", 3},
    {"", "clayey", "gravel", 21},
    {"", "silty", "gravel", 34},
    {"", "sandy", "gravel", 33},
    {"", "", "gravel", 31},
    {"", "marl", "", 28},
    {"", "made ground", "", 2},
};

struct Word {
    std::string lower;
    bool capitals; // written in capitals: the principal soil in British descriptions
};

std::vector<Word> words(std::string_view text) {
    std::vector<Word> out;
    std::size_t i = 0;
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    while (i < text.size()) {
        while (i < text.size() && !letter(text[i])) ++i;
        const std::size_t start = i;
        bool caps = true;
        while (i < text.size() && letter(text[i])) {
            caps = caps && !(text[i] >= 'a' && text[i] <= 'z');
            ++i;
        }
        if (i > start) out.push_back({lower(text.substr(start, i - start)), caps && i - start > 1});
    }
    return out;
}

// The principal soil: the first soil noun in capitals, else the first soil noun.
std::string principalOf(const std::vector<Word>& ws) {
    auto noun = [](const std::string& w) -> std::string {
        static constexpr std::array<const char*, 5> kNouns = {"clay", "silt", "sand", "gravel",
                                                              "shell"};
        for (const char* n : kNouns)
            if (w == n) return n;
        if (w == "shells") return "shell";
        return {};
    };
    for (const Word& w : ws)
        if (w.capitals && !noun(w.lower).empty()) return noun(w.lower);
    for (const Word& w : ws)
        if (!noun(w.lower).empty()) return noun(w.lower);
    return {};
}

bool hasPhrase(const std::vector<Word>& ws, std::string_view phrase) {
    const std::vector<Word> p = words(phrase);
    if (p.empty() || p.size() > ws.size()) return false;
    for (std::size_t i = 0; i + p.size() <= ws.size(); ++i) {
        bool all = true;
        for (std::size_t k = 0; k < p.size() && all; ++k) all = ws[i + k].lower == p[k].lower;
        if (all) return true;
    }
    return false;
}

bool hasAll(const std::vector<Word>& ws, std::string_view phrases) {
    std::size_t start = 0;
    while (start <= phrases.size()) {
        std::size_t bar = phrases.find('|', start);
        if (bar == std::string_view::npos) bar = phrases.size();
        const std::string_view ph = phrases.substr(start, bar - start);
        if (!ph.empty() && !hasPhrase(ws, ph)) return false;
        start = bar + 1;
    }
    return true;
}

// A USCS symbol as written: "CL", "(SP-SM)", "sp-sm", "CL/ML".
std::string asSymbol(std::string_view text) {
    std::string s = upper(trim(text));
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') s = s.substr(1, s.size() - 2);
    for (char& c : s)
        if (c == '/') c = '-';
    for (const ProposalRule& r : kRules)
        if (*r.symbol && s == r.symbol) return s;
    return {};
}

// A symbol in brackets inside a description: "Very dense gray SAND (SP-SM) w/ silt".
std::string symbolInside(std::string_view text) {
    std::size_t open = text.find('(');
    while (open != std::string_view::npos) {
        const std::size_t close = text.find(')', open);
        if (close == std::string_view::npos) break;
        if (std::string s = asSymbol(text.substr(open, close - open + 1)); !s.empty()) return s;
        open = text.find('(', close);
    }
    return {};
}

int matchWords(const std::vector<Word>& ws) {
    const std::string principal = principalOf(ws);
    for (std::size_t i = 0; i < std::size(kRules); ++i) {
        const ProposalRule& r = kRules[i];
        if (*r.symbol) continue;
        if (*r.principal && principal != r.principal) continue;
        if (!hasAll(ws, r.phrases)) continue;
        return static_cast<int>(i);
    }
    return -1;
}

} // namespace

std::span<const ProposalRule> proposalRules() {
    return kRules;
}

Proposal proposeSoilCode(std::string_view classification, std::string_view legendText,
                         std::string_view description) {
    Proposal p;
    auto take = [&](int rule) {
        if (rule < 0) return false;
        p.rule = rule;
        p.code = kRules[static_cast<std::size_t>(rule)].code;
        return true;
    };

    // A code typed as the classification (delimited files) is its own proposal.
    if (auto n = parseNumber(classification);
        n && *n >= 0 && *n <= 100 && *n == std::floor(*n) && validSoilCode(static_cast<int>(*n))) {
        p.code = static_cast<int>(*n);
        return p;
    }

    std::string symbol = asSymbol(classification);
    if (symbol.empty() && legendText.empty()) symbol = symbolInside(classification);
    if (symbol.empty() && legendText.empty()) symbol = symbolInside(description);
    if (!symbol.empty()) {
        std::string all(classification);
        all += ' ';
        all += legendText;
        all += ' ';
        all += description;
        const std::vector<Word> ws = words(all);
        for (std::size_t i = 0; i < std::size(kRules); ++i) {
            const ProposalRule& r = kRules[i];
            if (symbol == r.symbol && hasAll(ws, r.phrases)) {
                take(static_cast<int>(i));
                return p;
            }
        }
    }

    // The words that define the class first: the legend's meaning, else the classification
    // itself; the description of one stratum only when those say nothing.
    const std::string_view primary = !legendText.empty() ? legendText : classification;
    if (take(matchWords(words(primary)))) return p;
    if (!description.empty() && description != primary) take(matchWords(words(description)));
    return p;
}

} // namespace zenka::dataimport
