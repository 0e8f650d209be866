#include "forms/BoringLogEdit.h"

#include "base/Format.h"
#include "forms/FormLogic.h"

#include <algorithm>

namespace zenka {

namespace {

std::size_t at(int number) {
    return static_cast<std::size_t>(number - 1);
}

bool inLog(int number) {
    return number >= 1 && number <= kDocSamples;
}

} // namespace

// A number outside the log would index past the arrays: it reads as an empty entry and takes
// no writes, as insertEntry and deleteEntry refuse it.
LogEntry WorkingLog::entry(int number) const {
    if (!inLog(number)) return {};
    return {depths[at(number)], blowCounts[at(number)], soilCodes[at(number)]};
}

void WorkingLog::setEntry(int number, const LogEntry& e) {
    if (!inLog(number)) return;
    depths[at(number)] = e.depth;
    blowCounts[at(number)] = e.blowCount;
    soilCodes[at(number)] = e.soilType;
}

WorkingLog logOf(const CPelbrinDoc& doc) {
    WorkingLog log;
    log.depths = doc.depths;
    log.blowCounts = doc.blowCounts;
    log.soilCodes = doc.soilCodes;
    return log;
}

bool logDiffers(const WorkingLog& log, const CPelbrinDoc& doc) {
    for (std::size_t i = 0; i < log.depths.size(); ++i)
        if (log.soilCodes[i] != doc.soilCodes[i] ||
            formatG15(log.depths[i]) != formatG15(doc.depths[i]) ||
            formatG15(log.blowCounts[i]) != formatG15(doc.blowCounts[i]))
            return true;
    return false;
}

void writeLogBack(const WorkingLog& log, CPelbrinDoc& doc) {
    doc.depths = log.depths;
    doc.blowCounts = log.blowCounts;
    doc.soilCodes = log.soilCodes;
    doc.SetModified(true);
}

int endOfLogFrom(const WorkingLog& log, int from) {
    const int closing = closingEntryIndex(log.soilCodes, std::max(from, 1) - 1);
    return closing < kDocSamples ? closing + 1 : 0;
}

bool logIsFull(const WorkingLog& log) {
    const int t = endOfLogFrom(log, 2);
    return t == 0 || t == kDocSamples;
}

LogEdit insertEntry(WorkingLog& log, int n, const LogEntry& e) {
    if (!inLog(n)) return LogEdit::OutOfLog;
    if (logIsFull(log)) return LogEdit::Full;
    const int t = endOfLogFrom(log, 2);
    for (int i = t; i >= n; --i) log.setEntry(i + 1, log.entry(i));
    log.setEntry(n, e);
    return LogEdit::Done;
}

LogEdit deleteEntry(WorkingLog& log, int n) {
    if (!inLog(n)) return LogEdit::OutOfLog;
    int e = endOfLogFrom(log, n);
    if (e == 0) e = kDocSamples;
    for (int i = n + 1; i <= e; ++i) log.setEntry(i - 1, log.entry(i));
    log.setEntry(e, {});
    return LogEdit::Done;
}

void repairEndOfLog(WorkingLog& log) {
    for (int i = 1; i <= kDocSamples; ++i) {
        if (log.soilCodes[at(i)] > 0) continue;
        if (i > 1 && log.blowCounts[at(i)] <= 0 && log.depths[at(i)] <= 0)
            log.depths[at(i)] = log.depths[at(i - 1)] + 0.1;
        return;
    }
}

namespace {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    return lines;
}

bool blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// Empty cells between tabs stay (the field would refuse them); blanks are one separator however
// many there are. Empty cells at the end of a row are a spreadsheet's habit and go.
std::vector<std::string_view> splitCells(std::string_view line) {
    std::vector<std::string_view> cells;
    char sep = 0;
    for (char c : {'\t', ';', ','})
        if (line.find(c) != std::string_view::npos) {
            sep = c;
            break;
        }
    if (sep == 0) {
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && blank(line[i])) ++i;
            const std::size_t start = i;
            while (i < line.size() && !blank(line[i])) ++i;
            if (i > start) cells.push_back(line.substr(start, i - start));
        }
        return cells;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i < line.size() && line[i] != sep) continue;
        cells.push_back(trim(line.substr(start, i - start)));
        start = i + 1;
    }
    while (!cells.empty() && cells.back().empty()) cells.pop_back();
    return cells;
}

} // namespace

PastedRows parsePastedRows(std::string_view text, int first) {
    PastedRows out;
    const auto refuse = [&out](PasteError e, int column) {
        out.error = e;
        out.badRow = static_cast<int>(out.rows.size());
        out.badColumn = column;
        return out;
    };
    bool seenRow = false;
    for (std::string_view line : splitLines(text)) {
        if (trim(line).empty()) continue;
        const std::vector<std::string_view> cells = splitCells(line);
        if (!seenRow) {
            seenRow = true;
            bool anyNumber = false;
            for (std::string_view c : cells) anyNumber = anyNumber || parseNumber(c).has_value();
            if (!anyNumber) continue;
        }
        if (cells.size() != 3) return refuse(PasteError::Columns, 0);
        if (!inLog(first + static_cast<int>(out.rows.size()))) {
            out.error = PasteError::TooMany;
            out.badRow = static_cast<int>(out.rows.size());
            return out;
        }
        const auto depth = parseNumber(cells[0]);
        if (!depth) return refuse(PasteError::NotNumber, 0);
        const auto blows = parseNumber(cells[1]);
        if (!blows) return refuse(PasteError::NotNumber, 1);
        const auto soil = parseInteger(cells[2]);
        if (!soil) return refuse(PasteError::NotInteger, 2);
        out.rows.push_back({*depth, *blows, *soil});
    }
    return out;
}

bool isSingleValue(std::string_view text) {
    std::size_t lines = 0;
    std::size_t cells = 0;
    for (std::string_view line : splitLines(text)) {
        if (trim(line).empty()) continue;
        ++lines;
        cells = splitCells(line).size();
    }
    return lines <= 1 && cells <= 1;
}

std::string pasteMessage(const PastedRows& parsed, int first) {
    // Which of the pasted rows, and where it was going: the engineer finds it in either place.
    static constexpr const char* kColumns[] = {"depth", "blow count", "soil type"};
    const std::string row = "Pasted row " + std::to_string(parsed.badRow + 1) + " (entry " +
                            std::to_string(first + parsed.badRow) + ")";
    const std::string cell = row + ", " + kColumns[parsed.badColumn % 3];
    switch (parsed.error) {
    case PasteError::None:
        return {};
    case PasteError::NotNumber:
        return namedFieldMessage(cell, kEnterNumber);
    case PasteError::NotInteger:
        return namedFieldMessage(cell, kEnterInteger);
    case PasteError::Columns:
        return namedFieldMessage(row, kPasteColumns);
    case PasteError::TooMany:
        break;
    }
    const int room = kDocSamples - first + 1;
    return "Only " + std::to_string(room) + (room == 1 ? " row fits" : " rows fit") +
           " from entry " + std::to_string(first) + " to entry " + std::to_string(kDocSamples) +
           ": nothing was pasted.";
}

LogEdit applyPastedRows(WorkingLog& log, int first, const std::vector<LogEntry>& rows) {
    if (!inLog(first)) return LogEdit::OutOfLog;
    if (rows.size() > static_cast<std::size_t>(kDocSamples - first + 1)) return LogEdit::Full;
    for (std::size_t i = 0; i < rows.size(); ++i)
        log.setEntry(first + static_cast<int>(i), rows[i]);
    return LogEdit::Done;
}

LogEdit PasteHistory::paste(WorkingLog& log, int first, const std::vector<LogEntry>& rows) {
    Step step{first, {}, rows};
    for (std::size_t i = 0; i < rows.size(); ++i)
        step.before.push_back(log.entry(first + static_cast<int>(i)));
    const LogEdit done = applyPastedRows(log, first, rows);
    if (done != LogEdit::Done || rows.empty()) return done;
    steps_.resize(index_);
    steps_.push_back(std::move(step));
    index_ = steps_.size();
    return done;
}

int PasteHistory::undo(WorkingLog& log) {
    if (!canUndo()) return 0;
    const Step& step = steps_[--index_];
    applyPastedRows(log, step.first, step.before);
    return step.first;
}

int PasteHistory::redo(WorkingLog& log) {
    if (!canRedo()) return 0;
    const Step& step = steps_[index_++];
    applyPastedRows(log, step.first, step.after);
    return step.first;
}

std::string rowsText(const std::vector<LogEntry>& rows) {
    std::string out;
    for (const LogEntry& e : rows)
        out += formatG15(e.depth) + '\t' + formatG15(e.blowCount) + '\t' +
               std::to_string(e.soilType) + '\n';
    return out;
}

} // namespace zenka
