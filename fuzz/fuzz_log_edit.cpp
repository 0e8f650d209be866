// The boring log editor's edits on any sequence of operations: setting, inserting and deleting
// entries at any entry number (0, 226, negative and INT_MAX among them), repairing the end of
// the log, and writing the log back into a project. After every operation the log must be what
// the editor promises, compared bit for bit so that NaN and -0 count as values like any other.
//
// Input: one byte per operation, then its arguments (see Reader); missing bytes read as 0.
//   0 set n e   1 insert n e   2 delete n   3 repair   4 fill k   5 insert then delete n e
//   6 clear     7 look up the end of the log from n

#include "engine/AnalysisState.h"
#include "forms/BoringLogEdit.h"
#include "model/PelbrinDoc.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>

namespace {

using namespace zenka;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_log_edit: %s\n", what);
    std::abort();
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool done() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    // 0 to 225 as they are, then numbers outside the log, then any 32 bits.
    int number() {
        static constexpr int kOutside[] = {-1, 226, INT_MAX, INT_MIN, 250, -225, 451, INT_MAX - 1};
        const int b = byte();
        if (b <= kDocSamples) return b;
        if (b == 255) return static_cast<int>(bits<std::uint32_t>());
        return kOutside[static_cast<std::size_t>(b - kDocSamples - 1) % std::size(kOutside)];
    }

    // Quarters up to 50, exact in binary, then the values no field should hold, then any 64 bits.
    double value() {
        static constexpr double kOdd[] = {kNaN,  -kNaN,   kInf, -kInf, 0.0,    -0.0,
                                          1e308, -1e308,  kMax, -kMax, 5e-324, 1e-300,
                                          1e6,   1000001, -1,   -0.1,  1e17,   -1e17};
        const int b = byte();
        if (b < 200) return b / 4.0;
        if (b == 255) return bits<double>();
        return kOdd[static_cast<std::size_t>(b - 200) % std::size(kOdd)];
    }

    int soil() {
        static constexpr int kCodes[] = {0, 1, 2, 3, 4, 5, 11, 21, 35, 45};
        static constexpr int kOdd[] = {-1, 6, 99, INT_MIN, INT_MAX, 250};
        const int b = byte();
        if (b < 200) return kCodes[static_cast<std::size_t>(b) % std::size(kCodes)];
        if (b == 255) return static_cast<int>(bits<std::uint32_t>());
        return kOdd[static_cast<std::size_t>(b - 200) % std::size(kOdd)];
    }

    LogEntry entry() {
        LogEntry e;
        e.depth = value();
        e.blowCount = value();
        e.soilType = soil();
        return e;
    }

private:
    template <class T> T bits() {
        unsigned char raw[sizeof(T)];
        for (unsigned char& c : raw) c = byte();
        T v;
        std::memcpy(&v, raw, sizeof v);
        return v;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

bool inLog(int n) {
    return n >= 1 && n <= kDocSamples;
}

bool same(const LogEntry& a, const LogEntry& b) {
    return std::memcmp(&a.depth, &b.depth, sizeof a.depth) == 0 &&
           std::memcmp(&a.blowCount, &b.blowCount, sizeof a.blowCount) == 0 &&
           a.soilType == b.soilType;
}

// The 225 entries in order, read one at a time: an independent view of the three arrays. Kept
// off the heap, as it is taken several times for every operation.
using Entries = std::array<LogEntry, kDocSamples>;

Entries entriesOf(const WorkingLog& log) {
    Entries v;
    for (int i = 1; i <= kDocSamples; ++i) v[static_cast<std::size_t>(i - 1)] = log.entry(i);
    return v;
}

bool same(const Entries& a, const Entries& b, int from = 1, int to = kDocSamples) {
    for (int i = from; i <= to; ++i)
        if (!same(a[static_cast<std::size_t>(i - 1)], b[static_cast<std::size_t>(i - 1)]))
            return false;
    return true;
}

// Entry number of the first entry with soil type 0 from `from` on, written out afresh.
int firstEnd(const Entries& v, int from) {
    for (int i = from; i <= kDocSamples; ++i)
        if (v[static_cast<std::size_t>(i - 1)].soilType == 0) return i;
    return 0;
}

// The log as the project file keeps it: up to and including its first end-of-log entry.
int savedLength(const Entries& v) {
    const int end = firstEnd(v, 1);
    return end == 0 ? kDocSamples : end;
}

// The working log between two guards, so that a write beside its arrays shows.
struct Guarded {
    std::array<unsigned char, 64> before;
    WorkingLog log;
    std::array<unsigned char, 64> after;

    Guarded() {
        before.fill(0xA5);
        after.fill(0x5A);
    }
    void checkGuards() const {
        for (unsigned char c : before)
            if (c != 0xA5) fail("a write before the log");
        for (unsigned char c : after)
            if (c != 0x5A) fail("a write behind the log");
    }
};

void checkInsert(const Entries& was, const WorkingLog& log, int n, const LogEntry& e,
                 LogEdit result) {
    const Entries now = entriesOf(log);
    const int t = firstEnd(was, 2);
    const bool full = t == 0 || t == kDocSamples;
    if (!inLog(n)) {
        if (result != LogEdit::OutOfLog || !same(was, now)) fail("insert outside the log edited");
        return;
    }
    if (full) {
        if (result != LogEdit::Full || !same(was, now)) fail("insert into a full log edited");
        return;
    }
    if (result != LogEdit::Done) fail("insert with room refused");
    Entries expected = was;
    if (n <= t) {
        // Entries n to t move down one: the one behind the end-of-log entry is overwritten.
        std::rotate(expected.begin() + (n - 1), expected.begin() + t, expected.begin() + (t + 1));
        expected[static_cast<std::size_t>(n - 1)] = e;
    } else {
        expected[static_cast<std::size_t>(n - 1)] = e;
    }
    if (!same(expected, now)) fail("insert moved the wrong entries");
    // The log grows by one; entry 1 is not searched, so this holds from entry 2 on.
    if (n >= 2 && n <= t && e.soilType != 0 && firstEnd(now, 2) != t + 1)
        fail("insert did not move the end of the log down one");
}

void checkDelete(const Entries& was, const WorkingLog& log, int n, LogEdit result) {
    const Entries now = entriesOf(log);
    if (!inLog(n)) {
        if (result != LogEdit::OutOfLog || !same(was, now)) fail("delete outside the log edited");
        return;
    }
    if (result != LogEdit::Done) fail("delete refused");
    const int found = firstEnd(was, n);
    const int e = found == 0 ? kDocSamples : found;
    // Entries n + 1 to e move up one and entry e is freed.
    Entries expected = was;
    std::rotate(expected.begin() + (n - 1), expected.begin() + n, expected.begin() + e);
    expected[static_cast<std::size_t>(e - 1)] = LogEntry{};
    if (!same(expected, now)) fail("delete moved the wrong entries");
    // The log shrinks by one; an end-of-log entry deleted is cleared, and so stays one.
    const int end = found == 0 ? kDocSamples : e > n ? e - 1 : n;
    if (firstEnd(now, n) != end) fail("delete left the end of the log in the wrong place");
}

void checkRepair(const Entries& was, WorkingLog& log) {
    const Entries now = entriesOf(log);
    Entries expected = was;
    for (int i = 1; i <= kDocSamples; ++i) {
        LogEntry& x = expected[static_cast<std::size_t>(i - 1)];
        if (x.soilType > 0) continue;
        if (i > 1 && x.blowCount <= 0 && x.depth <= 0)
            x.depth = expected[static_cast<std::size_t>(i - 2)].depth + 0.1;
        break;
    }
    if (!same(expected, now)) fail("repair changed more than the end-of-log depth");
    repairEndOfLog(log);
    if (!same(now, entriesOf(log))) fail("a second repair changed the log again");
}

void checkRoundTrip(const WorkingLog& log, CPelbrinDoc& doc) {
    doc.SetModified(false);
    writeLogBack(log, doc);
    if (!doc.IsModified()) fail("writing the log back left the project unmodified");
    if (!same(entriesOf(log), entriesOf(logOf(doc)))) fail("the log changed through the project");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto state = std::make_unique<AnalysisState>();
    static CPelbrinDoc doc;
    const auto guarded = std::make_unique<Guarded>();
    WorkingLog& log = guarded->log;

    Reader in(data, size);
    // Bounded, so that one input stays quick however long it is.
    for (int step = 0; step < 512 && !in.done(); ++step) {
        const Entries was = entriesOf(log);
        switch (in.byte() % 8) {
        case 0: {
            const int n = in.number();
            const LogEntry e = in.entry();
            log.setEntry(n, e);
            Entries expected = was;
            if (inLog(n)) expected[static_cast<std::size_t>(n - 1)] = e;
            if (!same(expected, entriesOf(log))) fail("setting an entry changed another one");
            if (!inLog(n) && !same(log.entry(n), LogEntry{}))
                fail("an entry outside the log is not empty");
            break;
        }
        case 1: {
            const int n = in.number();
            const LogEntry e = in.entry();
            const bool full = logIsFull(log);
            const LogEdit result = insertEntry(log, n, e);
            if (inLog(n) && full != (result == LogEdit::Full)) fail("logIsFull disagrees");
            checkInsert(was, log, n, e, result);
            break;
        }
        case 2: {
            const int n = in.number();
            checkDelete(was, log, n, deleteEntry(log, n));
            break;
        }
        case 3:
            repairEndOfLog(log);
            checkRepair(was, log);
            break;
        case 4: {
            // A log of k entries and its end: reaches long and full logs quickly.
            const int k = in.byte() % (kDocSamples + 1);
            log = WorkingLog{};
            for (int i = 1; i <= k; ++i) log.setEntry(i, {double(i), double(i % 50), 3});
            if (k < kDocSamples) log.setEntry(k + 1, {k + 1.0, 0, 0});
            break;
        }
        case 5: {
            const int n = in.number();
            const LogEntry e = in.entry();
            const bool roomy = !logIsFull(log);
            const LogEdit inserted = insertEntry(log, n, e);
            checkInsert(was, log, n, e, inserted);
            const Entries between = entriesOf(log);
            checkDelete(between, log, n, deleteEntry(log, n));
            // Deleting what was inserted gives the log back as the project keeps it. An
            // inserted end-of-log entry is not: deleting an end-of-log entry only clears it.
            const Entries now = entriesOf(log);
            if (roomy && inLog(n) && e.soilType != 0 &&
                (savedLength(now) != savedLength(was) || !same(was, now, 1, savedLength(was))))
                fail("insert then delete did not restore the log");
            break;
        }
        case 6:
            log = WorkingLog{};
            break;
        default: {
            const int from = in.number();
            const int end = endOfLogFrom(log, from);
            if (end != firstEnd(was, from < 1 ? 1 : from)) fail("end of the log found elsewhere");
            break;
        }
        }
        guarded->checkGuards();
        checkRoundTrip(log, doc);
    }
    return 0;
}
