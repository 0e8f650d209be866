#pragma once

// Boreholes read from ground-investigation data files (AGS4, DIGGS, delimited text), in one model
// that does not depend on the format. Depths stay in the unit the file gives them; the log
// builder converts them to the project's unit system.
//
// Reading a file is a pure function: bytes in, a DataFile out. Nothing here throws; a file that
// cannot be read comes back with `error` set.

#include "model/Numbers.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iosfwd>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zenka::dataimport {

enum class LengthUnit { Unknown, Feet, Metres };

// "ft", "feet", "foot", "ft_us", "m", "metre(s)", "meter(s)"... Anything else is Unknown: a unit
// the file does not give is never assumed.
LengthUnit parseLengthUnit(std::string_view text);
const char* unitWord(LengthUnit unit); // "ft", "m", "?"
// value in `from` expressed in `to`; both must be known.
double convertLength(double value, LengthUnit from, LengthUnit to);

// The formats read; each has its unit in DataFormats.h, with its name.
enum class Format { Unknown, Ags3, Ags4, Diggs, Delimited };

// The per-test record is held once for every test of a file, and a file may hold millions:
// these types keep it small (40 bytes) without changing a value.

// A number a file may leave out, as std::optional<double> in half the room: the absent value is
// one NaN bit pattern no arithmetic produces (and no file value is a NaN: parseNumber takes
// finite numbers only).
class OptionalNumber {
public:
    constexpr OptionalNumber() = default;
    constexpr OptionalNumber(std::nullopt_t) {}
    constexpr OptionalNumber(double value) : bits_(std::bit_cast<std::uint64_t>(value)) {}
    constexpr OptionalNumber(const std::optional<double>& value)
        : bits_(value ? std::bit_cast<std::uint64_t>(*value) : kNone) {}
    constexpr bool has_value() const { return bits_ != kNone; }
    constexpr explicit operator bool() const { return has_value(); }
    constexpr double operator*() const { return std::bit_cast<double>(bits_); }
    constexpr double value_or(double other) const { return has_value() ? **this : other; }
    constexpr void reset() { bits_ = kNone; }
    constexpr operator std::optional<double>() const {
        return has_value() ? std::optional<double>(**this) : std::nullopt;
    }
    friend constexpr bool operator==(const OptionalNumber& a, const std::optional<double>& b) {
        return std::optional<double>(a) == b;
    }

private:
    static constexpr std::uint64_t kNone = 0x7FF4'0000'0000'0A5Eull; // a signalling NaN
    std::uint64_t bits_ = kNone;
};

// Immutable text one pointer wide; copies share the characters (reference counted), and a
// TextPool lets the rows of a file that write the same text share one copy.
class SharedText {
public:
    SharedText() = default;
    SharedText(std::string_view text);
    SharedText(const std::string& text) : SharedText(std::string_view(text)) {}
    SharedText(const char* text) : SharedText(std::string_view(text)) {}
    SharedText(const SharedText& other) noexcept;
    SharedText(SharedText&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
    SharedText& operator=(const SharedText& other) noexcept;
    SharedText& operator=(SharedText&& other) noexcept;
    ~SharedText();

    std::string_view view() const;
    operator std::string_view() const { return view(); }
    operator std::string() const { return std::string(view()); }
    bool empty() const { return rep_ == nullptr; }
    std::size_t size() const { return view().size(); }
    const char* c_str() const { return rep_ ? view().data() : ""; }

    friend bool operator==(const SharedText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const SharedText& a, const char* b) { return a.view() == b; }

private:
    struct Rep;
    Rep* rep_ = nullptr;
};
std::ostream& operator<<(std::ostream& out, const SharedText& text);
std::string operator+(const std::string& a, const SharedText& b);
std::string operator+(const char* a, const SharedText& b);

// One SharedText for each distinct text seen while a file is read (up to a bound, so that a
// file of all-different texts costs no more than without the pool).
class TextPool {
public:
    SharedText get(std::string_view text);

private:
    std::unordered_map<std::string_view, SharedText> texts_;
};

// How n was found, when it was not simply given: one of a fixed set of sentences (static
// texts), held as a byte. Reads as the const char* it was given.
class NoteText {
public:
    NoteText() = default;
    NoteText(const char* text);
    operator const char*() const;

private:
    std::uint8_t index_ = 0;
};

// One drive increment of an SPT: blows and penetration in millimetres, as the file gives them.
struct DriveSet {
    int index = 0; // 1 and 2 are usually the seating drive, 3 and 4 the test drive (AGS: 1..6)
    bool inches = false; // the file gives the penetration in inches
    OptionalNumber blows;
    OptionalNumber penetrationMm;
};

// A list one pointer wide, for lists that most records leave empty or short (a test's drive
// sets, a borehole's water levels), of items copied as bytes.
template <class T> class PackedList {
    static_assert(std::is_trivially_copyable_v<T> && alignof(T) <= alignof(std::uint64_t));

public:
    PackedList() = default;
    PackedList(std::initializer_list<T> items) {
        for (const T& item : items) push_back(item);
    }
    PackedList(const PackedList& other) {
        if (other.empty()) return;
        rep_ = make(other.rep_->size);
        std::memcpy(static_cast<void*>(items()), other.items(), other.size() * sizeof(T));
        rep_->size = other.rep_->size;
    }
    PackedList(PackedList&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
    PackedList& operator=(const PackedList& other) {
        PackedList copy(other);
        std::swap(rep_, copy.rep_);
        return *this;
    }
    PackedList& operator=(PackedList&& other) noexcept {
        std::swap(rep_, other.rep_);
        return *this;
    }
    ~PackedList() { ::operator delete(rep_); }

    std::size_t size() const { return rep_ ? rep_->size : 0; }
    bool empty() const { return size() == 0; }
    const T* begin() const { return rep_ ? items() : nullptr; }
    const T* end() const { return begin() + size(); }
    T* begin() { return rep_ ? items() : nullptr; }
    T* end() { return begin() + size(); }
    const T& front() const { return *begin(); }
    const T& operator[](std::size_t i) const { return begin()[i]; }
    T& operator[](std::size_t i) { return begin()[i]; }
    void push_back(const T& item) {
        if (!rep_ || rep_->size == rep_->capacity) {
            const std::uint32_t count = rep_ ? rep_->size : 0;
            Rep* grown = make(count ? 2 * count : 4);
            if (rep_) std::memcpy(static_cast<void*>(grown + 1), items(), count * sizeof(T));
            ::operator delete(rep_);
            grown->size = count;
            rep_ = grown;
        }
        items()[rep_->size++] = item;
    }
    void clear() {
        if (rep_) rep_->size = 0;
    }
    template <class Pred> void eraseIf(Pred pred) {
        if (rep_)
            rep_->size = static_cast<std::uint32_t>(std::remove_if(begin(), end(), pred) - begin());
    }

private:
    struct alignas(std::uint64_t) Rep {
        std::uint32_t size;
        std::uint32_t capacity;
    };
    static Rep* make(std::uint32_t capacity) {
        // Lists of a file of at most 1 GB: never near 4 billion items.
        void* raw = ::operator new(sizeof(Rep) + capacity * sizeof(T));
        return new (raw) Rep{0, capacity};
    }
    T* items() const { return reinterpret_cast<T*>(rep_ + 1); }
    Rep* rep_ = nullptr;
};

// A test's drive sets (DIGGS only; most tests have none).
using DriveSets = PackedList<DriveSet>;

// What a file writes of a test beside its depth and N. Many rows of a file write the same (the
// N and report take a few hundred values, the hammer one), so a test holds it as one pointer
// to a copy that a DetailsPool lets such rows share.
struct SptDetails {
    OptionalNumber statedN;     // the file's own N value (AGS ISPT_NVAL, DIGGS N-Value)
    OptionalNumber energyRatio; // percent
    SharedText report;          // AGS ISPT_REP as written
    SharedText hammer;          // hammer type or id where the file gives one
    DriveSets driveSets;        // DIGGS only
};

// Immutable SptDetails one pointer wide; copies share it (reference counted). Reads as empty
// details when none were given.
class SharedDetails {
public:
    SharedDetails() = default;
    SharedDetails(SptDetails details);
    SharedDetails(const SharedDetails& other) noexcept;
    SharedDetails(SharedDetails&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
    SharedDetails& operator=(const SharedDetails& other) noexcept;
    SharedDetails& operator=(SharedDetails&& other) noexcept;
    ~SharedDetails();

    const SptDetails& operator*() const;
    const SptDetails* operator->() const { return &**this; }

private:
    struct Rep;
    Rep* rep_ = nullptr;
};

// One SharedDetails for each distinct SptDetails seen while a file is read, up to a bound.
class DetailsPool {
public:
    SharedDetails get(SptDetails&& details);
    SharedDetails get(const SptDetails& details) { return get(SptDetails(details)); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(const SptDetails& d) const;
        std::size_t operator()(const SharedDetails& d) const { return (*this)(*d); }
    };
    struct Same {
        using is_transparent = void;
        bool operator()(const SptDetails& a, const SptDetails& b) const;
        bool operator()(const SharedDetails& a, const SptDetails& b) const {
            return (*this)(*a, b);
        }
        bool operator()(const SptDetails& a, const SharedDetails& b) const {
            return (*this)(a, *b);
        }
        bool operator()(const SharedDetails& a, const SharedDetails& b) const {
            return (*this)(*a, *b);
        }
    };
    std::unordered_set<SharedDetails, Hash, Same> details_;
};

struct SptTest {
    double top = 0; // depth below ground, in the borehole's depthUnit
    OptionalNumber base;
    // The blow count the log takes (before any hammer factor); none when the test gave no N.
    OptionalNumber n;
    SharedDetails details;
    NoteText note;           // how n was found, when it was not simply given
    bool refusal = false;    // drive shorter than 300 mm: n is the test blows scaled to 300 mm
    bool shortDrive = false; // n as the file gives it, although its penetration says short
    bool statedOnly = false; // n as the file states it: its drive sets do not cover the test drive
};

// A borehole may hold only a few tests and strata, and a site file a hundred thousand
// boreholes: texts are shared (a TextPool gives the strata of a file one copy of each
// description) and an absent number takes no more room than a present one.
struct Stratum {
    double top = 0;
    OptionalNumber base;
    SharedText description;
    // The text the soil code is chosen for: a classification symbol, legend code or, with
    // neither, the description.
    SharedText classification;
    // Words that explain a legend code (the AGS ABBR description of GEOL_LEG), if any.
    SharedText legendText;
};

struct Borehole {
    SharedText id;   // AGS LOCA_ID; DIGGS gml:id
    SharedText name; // AGS LOCA_ID; DIGGS gml:name (the id when it has none)
    OptionalNumber groundElevation;
    OptionalNumber finalDepth;
    LengthUnit elevationUnit = LengthUnit::Unknown;
    LengthUnit depthUnit = LengthUnit::Unknown;
    PackedList<double> waterDepths; // in depthUnit, as found
    std::vector<SptTest> tests;     // sorted by depth; one per depth
    std::vector<Stratum> strata;    // sorted by top
    SharedText boringDate;          // as the file writes it (ISO dates in practice)
};

// Something in the file the engineer should know about: a skipped row, a missing elevation, a
// reference to a borehole that is not in the file. `borehole` is empty for the whole file.
struct Problem {
    std::string borehole;
    std::string message;
};

struct DataFile {
    Format format = Format::Unknown;
    std::string error; // set when the file could not be read at all
    // With error: the bytes are none of the kinds read here, and error says what they are.
    bool notDataFile = false;
    std::string projectNumber;
    std::string jobName;
    std::vector<Borehole> boreholes;
    std::vector<Problem> problems;

    // By name, else by id; blanks around either side do not count, as listings trim them.
    const Borehole* find(std::string_view idOrName) const;
};

// --- helpers the readers share ---

std::string_view trim(std::string_view text);
// Valid UTF-8 stays as it is; a field that is not valid UTF-8 is read as cp1252.
std::string toUtf8(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);
std::string lower(std::string_view text);
std::string upper(std::string_view text);

// The tests of one borehole while a file is read, in blocks that never move: take() moves them
// into a vector of exactly their number and frees each block as it goes, so that they are held
// once, never the twice a growing vector holds while it moves them.
class TestBlocks {
public:
    TestBlocks() = default;
    // Tests already settled: the ones that come after go to blocks.
    explicit TestBlocks(std::vector<SptTest>&& settled)
        : settled_(std::move(settled)), settledOnce_(true) {}
    TestBlocks(TestBlocks&& other) noexcept;
    TestBlocks& operator=(TestBlocks&& other) noexcept;
    TestBlocks(const TestBlocks&) = delete;
    TestBlocks& operator=(const TestBlocks&) = delete;
    ~TestBlocks();

    void push_back(SptTest&& test);
    std::size_t size() const { return settled_.size() + size_; }
    bool empty() const { return size() == 0; }
    const SptTest& back() const;
    // The file has moved on to another borehole: these tests into one allocation of their
    // number, their blocks freed for the next borehole's. Once only: tests that come after
    // (rows of boreholes taking turns) stay in blocks, never moved again.
    void settle();
    std::vector<SptTest> take();

private:
    struct Block {
        SptTest* items = nullptr;
        std::size_t count = 0;
        std::size_t capacity = 0;
        bool mapped = false; // pages of its own, given back to the system when freed
    };
    static void release(Block& block);
    std::vector<SptTest> settled_;
    bool settledOnce_ = false;
    std::vector<Block> blocks_;
    std::size_t size_ = 0; // in blocks_
};

// Sorts the tests by depth (stable, so the first in the file stays first), keeps the first test
// at each depth and lists the others; sorts the strata by top.
void tidyBorehole(Borehole& b, std::vector<Problem>& problems);

// The ways a file format decides a test's N from its drive increments (shared by the readers and
// the tests). Blows of a drive of `penetrationMm` scaled to the full test drive `fullMm` (300 mm,
// or 12 in for data in feet or inches), at most 100.
inline constexpr double kTestDriveMm = 300;
inline constexpr double kTestDriveInchMm = 12 * 25.4;
double scaledRefusalN(double blows, double penetrationMm, double fullMm = kTestDriveMm);

} // namespace zenka::dataimport
