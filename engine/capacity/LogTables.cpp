#include "engine/capacity/LogTables.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace zenka {

namespace {

// The inputs the tables were made from, compared bit for bit.
struct Key {
    int NSAMP = 0;
    double GSE = 0;
    PileMaterial m = PileMaterial::Concrete;
    PileCorrelations g{};
    int entries = 0; // entries compared: the layering may look one past the closing entry
    Array1<double, kMaxSamples> D;
    Array1<double, kMaxSamples> N;
    Array1<int, kMaxSamples> ST;
};

struct Memo {
    bool valid = false;
    Key key;
    LogTables tables;
};

int entriesCompared(const AnalysisState& s) {
    return std::min(s.NSAMP + 1, kMaxSamples);
}

template <typename T, int Size>
bool sameBits(const Array1<T, Size>& a, const Array1<T, Size>& b, int count) {
    return std::memcmp(&a(1), &b(1), sizeof(T) * static_cast<std::size_t>(count)) == 0;
}

template <typename T, int Size>
void copyFirst(Array1<T, Size>& to, const Array1<T, Size>& from, int count) {
    std::memcpy(&to(1), &from(1), sizeof(T) * static_cast<std::size_t>(count));
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool matches(const Key& k, const AnalysisState& s, PileMaterial m, PileCorrelations g) {
    const int n = entriesCompared(s);
    return k.NSAMP == s.NSAMP && sameBits(k.GSE, s.GSE) && k.m == m &&
           k.g.endBearing == g.endBearing && k.g.skinFriction == g.skinFriction && k.entries == n &&
           sameBits(k.D, s.D, n) && sameBits(k.N, s.N, n) && sameBits(k.ST, s.ST, n);
}

void remember(Key& k, const AnalysisState& s, PileMaterial m, PileCorrelations g) {
    k.NSAMP = s.NSAMP;
    k.GSE = s.GSE;
    k.m = m;
    k.g = g;
    k.entries = entriesCompared(s);
    copyFirst(k.D, s.D, k.entries);
    copyFirst(k.N, s.N, k.entries);
    copyFirst(k.ST, s.ST, k.entries);
}

// The layering and every average over whole layers, as the computation of one length would
// work them out.
void make(LogTables& t, AnalysisState& s, PileMaterial m, PileCorrelations g) {
    const int ns = std::min(s.NSAMP, kMaxSamples);
    t.endBearing = g.endBearing;
    t.skinFriction = g.skinFriction;
    for (int k = 1; k <= ns; ++k) {
        t.qEndBearing(k) = correlate(g.endBearing, s.N(k), s.ST(k));
        t.qSkinFriction(k) = correlate(g.skinFriction, s.N(k), s.ST(k));
    }
    t.increasing = true;
    for (int k = 1; k + 1 <= ns - 1; ++k)
        if (!(s.D(k) < s.D(k + 1))) t.increasing = false;

    formLayers(s);
    t.NLAY = s.NLAY;
    const LogSamples eb = t.endBearingSamples(s);
    const LogSamples sf = t.skinFrictionSamples(s);
    RangeAverage r;
    for (int K = 1; K <= s.NLAY; ++K) {
        t.ELEVBL(K) = s.ELEVBL(K);
        t.T(K) = s.T(K);
        t.LST(K) = s.LST(K);
        depthRangeAverage(eb, m, s.GSE - s.ELEVBL(K) - s.T(K), s.GSE - s.ELEVBL(K), r);
        t.AN(K) = r.AVGN;
        t.AQL(K) = r.AVGQ;
        const double top = K == 1 ? 0 : s.GSE - s.ELEVBL(K - 1);
        depthRangeAverage(sf, m, top, s.GSE - s.ELEVBL(K), r);
        t.AFL(K) = r.AVGQ;
    }
}

} // namespace

struct LogTablesMemo : Memo {};

LogSamples LogTables::endBearingSamples(const AnalysisState& s) const {
    return LogSamples(s, endBearing, qEndBearing, increasing);
}

LogSamples LogTables::skinFrictionSamples(const AnalysisState& s) const {
    return LogSamples(s, skinFriction, qSkinFriction, increasing);
}

const LogTables& layersOfLog(AnalysisState& s, PileMaterial m, PileCorrelations g) {
    if (!s.logTablesMemo) s.logTablesMemo = std::make_shared<LogTablesMemo>();
    Memo& memo = *s.logTablesMemo;
    if (!memo.valid || !matches(memo.key, s, m, g)) {
        memo.valid = false;
        make(memo.tables, s, m, g);
        remember(memo.key, s, m, g);
        memo.valid = true;
    }
    const LogTables& t = memo.tables;
    s.NLAY = t.NLAY;
    copyFirst(s.ELEVBL, t.ELEVBL, t.NLAY);
    copyFirst(s.T, t.T, t.NLAY);
    copyFirst(s.LST, t.LST, t.NLAY);
    copyFirst(s.AN, t.AN, t.NLAY);
    copyFirst(s.AQL, t.AQL, t.NLAY);
    return t;
}

void skinFriction(AnalysisState& s, PileMaterial m, const LogTables& t) {
    s.TSF = 0;
    s.SFL.fill(0);
    for (int K = 1; K <= s.IBL - 1; ++K) {
        s.SFL(K) = s.PERIM * s.T(K) * t.AFL(K);
        s.TSF = s.TSF + s.SFL(K);
    }
    RangeAverage r;
    depthRangeAverage(t.skinFrictionSamples(s), m, s.GSE - s.ETBL, s.GSE - s.EBP, r);
    s.ANBL = r.AVGN;
    s.AFBL = r.AVGQ;
}

} // namespace zenka
