#pragma once

// The boring log editor's edits on its working copy of the log. Standard library only: the
// editor's pages call these, and tests and fuzzers drive them directly.

#include "model/PelbrinDoc.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zenka {

struct LogEntry {
    double depth = 0;
    double blowCount = 0;
    int soilType = 0;
};

// The editor's copy of the 225 entries. Entry numbers are 1-based, as the pages show them; a
// number outside 1 to 225 reads as an empty entry and writing it changes nothing.
struct WorkingLog {
    std::array<double, kDocSamples> depths{};
    std::array<double, kDocSamples> blowCounts{};
    std::array<int, kDocSamples> soilCodes{};

    LogEntry entry(int number) const;
    void setEntry(int number, const LogEntry& e);
};

enum class LogEdit {
    Done,
    OutOfLog, // the entry number is not one of 1 to 225
    Full,     // no room behind the end-of-log entry
};

WorkingLog logOf(const CPelbrinDoc& doc);
// True when an entry reads differently in the editor's fields from the project's: values that
// show alike ("42.6" for 42.5 + 0.1) are no change.
bool logDiffers(const WorkingLog& log, const CPelbrinDoc& doc);
// Copies the entries into the project and sets its modified mark.
void writeLogBack(const WorkingLog& log, CPelbrinDoc& doc);

// Entry number of the end-of-log entry (the first with soil type 0) at or after entry `from`,
// or 0 when there is none.
int endOfLogFrom(const WorkingLog& log, int from);

// True when an insertion has no room: the end-of-log entry (searched from entry 2 on) is entry
// 225, or there is none.
bool logIsFull(const WorkingLog& log);

// Moves entries n to the end-of-log entry one place down and writes e as entry n. An entry
// number behind the end of the log is written there and nothing moves.
LogEdit insertEntry(WorkingLog& log, int n, const LogEntry& e);

// Moves the entries behind n up to the next end-of-log entry (entry 225 when there is none) one
// place up; the entry that becomes free is cleared.
LogEdit deleteEntry(WorkingLog& log, int n);

// An end-of-log entry typed without depth gets the previous entry's depth plus 0.1.
void repairEndOfLog(WorkingLog& log);

// Rows pasted from a spreadsheet: depth, blow count and soil type per line, separated by tabs,
// else semicolons, else commas, else blanks (the first of these a line holds). CR LF or LF line
// ends; blank lines skipped; a first row of which no value is a number is a header and skipped.
enum class PasteError {
    None,
    NotNumber,  // a depth or blow count the field would refuse
    NotInteger, // a soil type the field would refuse
    Columns,    // a row without exactly three values
    TooMany,    // more rows than entries from the first one to entry 225
};

struct PastedRows {
    std::vector<LogEntry> rows;
    PasteError error = PasteError::None;
    int badRow = 0;    // 0-based among the data rows, when refused
    int badColumn = 0; // 0 depth, 1 blow count, 2 soil type
};

inline constexpr const char* kPasteColumns =
    "Each pasted row needs a depth, a blow count and a soil type.";

// Refuses the whole text at its first fault; `first` is the entry the first row goes to.
PastedRows parsePastedRows(std::string_view text, int first);
// True when the text is one value alone, which a field pastes as it is.
bool isSingleValue(std::string_view text);
// The message for a refused paste: the field's own for a value it would refuse.
std::string pasteMessage(const PastedRows& parsed, int first);
// Writes the rows as entries first, first + 1, ...; nothing when they would pass entry 225.
LogEdit applyPastedRows(WorkingLog& log, int first, const std::vector<LogEntry>& rows);
// The editor's pastes of rows, to take back and do again in order: each keeps the entries it
// replaced and the ones it wrote, so typing elsewhere in the log since stays as it is.
class PasteHistory {
public:
    // Writes the rows as applyPastedRows does and keeps the paste; nothing when it is refused.
    LogEdit paste(WorkingLog& log, int first, const std::vector<LogEntry>& rows);
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < steps_.size(); }
    // Puts back the entries the latest paste replaced, or writes the rows of the paste last
    // undone again; the paste's first entry, 0 when there was none.
    int undo(WorkingLog& log);
    int redo(WorkingLog& log);

private:
    struct Step {
        int first = 0;
        std::vector<LogEntry> before;
        std::vector<LogEntry> after;
    };
    std::vector<Step> steps_;
    std::size_t index_ = 0;
};

// Tab-separated rows with LF line ends, numbers as the fields show them.
std::string rowsText(const std::vector<LogEntry>& rows);

} // namespace zenka
