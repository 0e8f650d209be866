#include "import/BoreholeData.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <ostream>
#include <type_traits>

namespace zenka::dataimport {

namespace {

constexpr double kMetresPerFoot = 0.3048;

} // namespace

std::string_view trim(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

LengthUnit parseLengthUnit(std::string_view text) {
    const std::string u = lower(trim(text));
    if (u == "ft" || u == "feet" || u == "foot" || u == "ft_us" || u == "ftus" || u == "us-ft" ||
        u == "us_ft" || u == "usft" || u == "'")
        return LengthUnit::Feet;
    if (u == "m" || u == "metre" || u == "metres" || u == "meter" || u == "meters")
        return LengthUnit::Metres;
    return LengthUnit::Unknown;
}

const char* unitWord(LengthUnit unit) {
    switch (unit) {
    case LengthUnit::Feet:
        return "ft";
    case LengthUnit::Metres:
        return "m";
    case LengthUnit::Unknown:
        break;
    }
    return "?";
}

double convertLength(double value, LengthUnit from, LengthUnit to) {
    if (from == to) return value;
    if (from == LengthUnit::Feet && to == LengthUnit::Metres) return value * kMetresPerFoot;
    if (from == LengthUnit::Metres && to == LengthUnit::Feet) return value / kMetresPerFoot;
    return value;
}

const Borehole* DataFile::find(std::string_view idOrName) const {
    for (const Borehole& b : boreholes)
        if (b.name == idOrName) return &b;
    for (const Borehole& b : boreholes)
        if (b.id == idOrName) return &b;
    idOrName = trim(idOrName);
    for (const Borehole& b : boreholes)
        if (trim(b.name) == idOrName) return &b;
    for (const Borehole& b : boreholes)
        if (trim(b.id) == idOrName) return &b;
    return nullptr;
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        int more = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(more) >= bytes.size()) return false;
        for (int k = 1; k <= more; ++k) {
            const auto d = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((d & 0xC0) != 0x80) return false;
        }
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

std::string toUtf8(std::string_view bytes) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    // cp1252's 0x80..0x9F; 0 where the code page has no character.
    static constexpr char16_t k80[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() + 8);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        char32_t cp = c;
        if (c >= 0x80 && c < 0xA0) cp = k80[c - 0x80] ? k80[c - 0x80] : 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

namespace {
std::string depthText(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", d);
    return buf;
}
} // namespace

void tidyBorehole(Borehole& b, std::vector<Problem>& problems) {
    // What no boring log can hold: a depth above the ground or beyond any boring, a negative or
    // impossible blow count. The log editor takes blow counts up to 1000.
    constexpr double kDeepest = 100000;
    constexpr double kMostBlows = 1000;
    auto outside = [](double v, double most) { return !(v >= 0 && v <= most); };
    std::erase_if(b.tests, [&](const SptTest& t) {
        if (outside(t.top, kDeepest)) {
            problems.push_back({b.name, "SPT at depth " + depthText(t.top) +
                                            " skipped: not a "
                                            "depth below ground"});
            return true;
        }
        if (t.n && outside(*t.n, kMostBlows)) {
            problems.push_back({b.name, "SPT at " + depthText(t.top) + " " + unitWord(b.depthUnit) +
                                            " skipped: N " + depthText(*t.n) +
                                            " is not a blow count"});
            return true;
        }
        return false;
    });
    if (b.finalDepth && outside(*b.finalDepth, kDeepest)) {
        problems.push_back({b.name, "final depth " + depthText(*b.finalDepth) + " ignored"});
        b.finalDepth.reset();
    }
    // A negative water depth is water standing above the ground (a boring over water).
    b.waterDepths.eraseIf([&](double d) { return !(d >= -kDeepest && d <= kDeepest); });
    auto byTop = [](const SptTest& x, const SptTest& y) { return x.top < y.top; };
    // Files are nearly always in depth order already; sorting would take a second copy.
    if (!std::is_sorted(b.tests.begin(), b.tests.end(), byTop))
        std::stable_sort(b.tests.begin(), b.tests.end(), byTop);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < b.tests.size(); ++i) {
        SptTest& t = b.tests[i];
        if (kept > 0 && b.tests[kept - 1].top == t.top) {
            problems.push_back({b.name, "SPT at " + depthText(t.top) + " " + unitWord(b.depthUnit) +
                                            " repeats a test at the same depth; the first in "
                                            "the file is kept"});
            continue;
        }
        if (kept != i) b.tests[kept] = std::move(t);
        ++kept;
    }
    b.tests.erase(b.tests.begin() + static_cast<std::ptrdiff_t>(kept), b.tests.end());
    std::stable_sort(b.strata.begin(), b.strata.end(),
                     [](const Stratum& x, const Stratum& y) { return x.top < y.top; });
    std::sort(b.waterDepths.begin(), b.waterDepths.end());
}

double scaledRefusalN(double blows, double penetrationMm, double fullMm) {
    if (!(penetrationMm > 0)) return 100;
    return std::min(100.0, std::round(blows * fullMm / penetrationMm));
}

} // namespace zenka::dataimport

// ---- the compact per-test types ----

namespace zenka::dataimport {

struct SharedText::Rep {
    std::atomic<std::uint32_t> refs;
    std::uint32_t size;
    char* text() { return reinterpret_cast<char*>(this + 1); }
};

SharedText::SharedText(std::string_view text) {
    if (text.empty()) return;
    // Texts come from fields of a file of at most 1 GB: never near 4 GB.
    void* raw = ::operator new(sizeof(Rep) + text.size() + 1);
    rep_ = new (raw) Rep{{1}, static_cast<std::uint32_t>(text.size())};
    std::memcpy(rep_->text(), text.data(), text.size());
    rep_->text()[text.size()] = '\0';
}

SharedText::SharedText(const SharedText& other) noexcept : rep_(other.rep_) {
    if (rep_) rep_->refs.fetch_add(1, std::memory_order_relaxed);
}

SharedText& SharedText::operator=(const SharedText& other) noexcept {
    SharedText copy(other);
    std::swap(rep_, copy.rep_);
    return *this;
}

SharedText& SharedText::operator=(SharedText&& other) noexcept {
    std::swap(rep_, other.rep_);
    return *this;
}

SharedText::~SharedText() {
    if (rep_ && rep_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        rep_->~Rep();
        ::operator delete(rep_);
    }
}

std::string_view SharedText::view() const {
    return rep_ ? std::string_view(rep_->text(), rep_->size) : std::string_view();
}

std::ostream& operator<<(std::ostream& out, const SharedText& text) {
    return out << text.view();
}

std::string operator+(const std::string& a, const SharedText& b) {
    std::string out = a;
    out += b.view();
    return out;
}

std::string operator+(const char* a, const SharedText& b) {
    return std::string(a) + b;
}

SharedText TextPool::get(std::string_view text) {
    if (text.empty()) return {};
    if (auto it = texts_.find(text); it != texts_.end()) return it->second;
    SharedText made(text);
    // Past this many, texts are seldom repeated: the pool would cost more than it saves.
    constexpr std::size_t kMostPooled = 4096;
    if (texts_.size() < kMostPooled) texts_.emplace(made.view(), made);
    return made;
}

struct SharedDetails::Rep {
    std::atomic<std::uint32_t> refs;
    SptDetails details;
};

SharedDetails::SharedDetails(SptDetails details) : rep_(new Rep{{1}, std::move(details)}) {}

SharedDetails::SharedDetails(const SharedDetails& other) noexcept : rep_(other.rep_) {
    if (rep_) rep_->refs.fetch_add(1, std::memory_order_relaxed);
}

SharedDetails& SharedDetails::operator=(const SharedDetails& other) noexcept {
    SharedDetails copy(other);
    std::swap(rep_, copy.rep_);
    return *this;
}

SharedDetails& SharedDetails::operator=(SharedDetails&& other) noexcept {
    std::swap(rep_, other.rep_);
    return *this;
}

SharedDetails::~SharedDetails() {
    if (rep_ && rep_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete rep_;
}

const SptDetails& SharedDetails::operator*() const {
    static const SptDetails kNone;
    return rep_ ? rep_->details : kNone;
}

namespace {

std::uint64_t bitsOf(const OptionalNumber& v) {
    return v ? std::bit_cast<std::uint64_t>(*v) : 0;
}

bool sameNumber(const OptionalNumber& a, const OptionalNumber& b) {
    return a.has_value() == b.has_value() && bitsOf(a) == bitsOf(b);
}

} // namespace

std::size_t DetailsPool::Hash::operator()(const SptDetails& d) const {
    const std::hash<std::string_view> text;
    const std::hash<std::uint64_t> number;
    std::size_t h = text(d.report.view());
    for (const std::size_t part : {text(d.hammer.view()), number(bitsOf(d.statedN)),
                                   number(bitsOf(d.energyRatio)), d.driveSets.size()})
        h = h * 1000003u ^ part;
    for (const DriveSet& set : d.driveSets)
        h = h * 1000003u ^ number(bitsOf(set.blows) ^ (bitsOf(set.penetrationMm) >> 1) ^
                                  static_cast<std::uint64_t>(set.index));
    return h;
}

bool DetailsPool::Same::operator()(const SptDetails& a, const SptDetails& b) const {
    auto sameSet = [](const DriveSet& x, const DriveSet& y) {
        return x.index == y.index && x.inches == y.inches && sameNumber(x.blows, y.blows) &&
               sameNumber(x.penetrationMm, y.penetrationMm);
    };
    return sameNumber(a.statedN, b.statedN) && sameNumber(a.energyRatio, b.energyRatio) &&
           a.report.view() == b.report.view() && a.hammer.view() == b.hammer.view() &&
           std::equal(a.driveSets.begin(), a.driveSets.end(), b.driveSets.begin(),
                      b.driveSets.end(), sameSet);
}

SharedDetails DetailsPool::get(SptDetails&& details) {
    if (Same{}(details, SptDetails{})) return {};
    if (auto it = details_.find(details); it != details_.end()) return *it;
    SharedDetails made(std::move(details));
    // As for texts: past this many, rows seldom repeat one.
    constexpr std::size_t kMostPooled = 4096;
    if (details_.size() < kMostPooled) details_.insert(made);
    return made;
}

namespace {

// The notes given so far; a note keeps its index for the life of the program.
constexpr std::size_t kMostNotes = 256;
std::array<std::atomic<const char*>, kMostNotes> gNotes{};
std::atomic<std::size_t> gNoteCount{1}; // 0 is the empty note
std::mutex gNoteMutex;

std::size_t findNote(const char* text, std::size_t count) {
    for (std::size_t i = 1; i < count; ++i) {
        const char* known = gNotes[i].load(std::memory_order_acquire);
        if (known == text || std::strcmp(known, text) == 0) return i;
    }
    return 0;
}

} // namespace

NoteText::NoteText(const char* text) {
    if (!text || !*text) return;
    std::size_t at = findNote(text, gNoteCount.load(std::memory_order_acquire));
    if (!at) {
        const std::lock_guard lock(gNoteMutex);
        const std::size_t count = gNoteCount.load(std::memory_order_relaxed);
        at = findNote(text, count);
        // The notes are a handful of fixed sentences; the table cannot fill.
        if (!at && count < kMostNotes) {
            gNotes[count].store(text, std::memory_order_release);
            gNoteCount.store(count + 1, std::memory_order_release);
            at = count;
        }
    }
    index_ = static_cast<std::uint8_t>(at);
}

NoteText::operator const char*() const {
    return index_ ? gNotes[index_].load(std::memory_order_acquire) : "";
}

static_assert(sizeof(SptTest) <= 40, "one test is held for every row of a file");
static_assert(std::is_nothrow_move_constructible_v<SptTest>);
static_assert(sizeof(Stratum) <= 40 && sizeof(Borehole) <= 104,
              "a site file may hold a hundred thousand boreholes");

TestBlocks::TestBlocks(TestBlocks&& other) noexcept
    : settled_(std::move(other.settled_)), settledOnce_(other.settledOnce_),
      blocks_(std::move(other.blocks_)), size_(other.size_) {
    other.settled_.clear();
    other.blocks_.clear();
    other.size_ = 0;
}

TestBlocks& TestBlocks::operator=(TestBlocks&& other) noexcept {
    std::swap(settled_, other.settled_);
    std::swap(settledOnce_, other.settledOnce_);
    std::swap(blocks_, other.blocks_);
    std::swap(size_, other.size_);
    return *this;
}

TestBlocks::~TestBlocks() {
    for (Block& b : blocks_) release(b);
}

void TestBlocks::release(Block& block) {
    std::destroy_n(block.items, block.count);
    if (block.mapped)
        ::munmap(block.items, block.capacity * sizeof(SptTest));
    else
        ::operator delete(block.items);
    block = Block{};
}

void TestBlocks::push_back(SptTest&& test) {
    if (blocks_.empty() || blocks_.back().count == blocks_.back().capacity) {
        // Each block as large as all before it, from 4 tests to 8192: as few blocks as a
        // growing vector's steps. Large blocks are pages of their own, so that freeing them
        // gives the memory back at once; their unused tail is never touched, never resident.
        Block& b = blocks_.emplace_back();
        b.capacity = std::clamp<std::size_t>(size_, 4, 8192);
        const std::size_t bytes = b.capacity * sizeof(SptTest);
        b.mapped = bytes >= (std::size_t{64} << 10);
        void* p = b.mapped ? ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                           : ::operator new(bytes, std::nothrow);
        if (p == MAP_FAILED || p == nullptr) {
            blocks_.pop_back();
            throw std::bad_alloc();
        }
        b.items = static_cast<SptTest*>(p);
    }
    Block& b = blocks_.back();
    new (b.items + b.count) SptTest(std::move(test));
    ++b.count;
    ++size_;
}

const SptTest& TestBlocks::back() const {
    if (blocks_.empty()) return settled_.back();
    const Block& b = blocks_.back();
    return b.items[b.count - 1];
}

void TestBlocks::settle() {
    if (settledOnce_) return;
    settledOnce_ = true;
    settled_ = take();
}

std::vector<SptTest> TestBlocks::take() {
    std::vector<SptTest> out = std::move(settled_);
    settled_ = {};
    out.reserve(out.size() + size_);
    for (Block& b : blocks_) {
        for (std::size_t i = 0; i < b.count; ++i) out.push_back(std::move(b.items[i]));
        release(b);
    }
    blocks_.clear();
    blocks_.shrink_to_fit();
    size_ = 0;
    return out;
}

} // namespace zenka::dataimport
