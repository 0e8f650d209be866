#include "forms/BoringLogEdit.h"

#include "base/Format.h"

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
    for (int i = from < 1 ? 1 : from; i <= kDocSamples; ++i)
        if (log.soilCodes[at(i)] == 0) return i;
    return 0;
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

} // namespace zenka
