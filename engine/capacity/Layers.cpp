#include "engine/capacity/Layers.h"

#include <algorithm>
#include <cmath>

namespace zenka {

namespace {

// A steel range this short is rounding noise (GSE - (GSE - TPL) against TPL), so a zone part of
// no height is empty; concrete piles keep their wider tolerance.
constexpr double kSteelEmptyRange = 1e-9;
constexpr double kConcreteEmptyRange = 0.0001;

// The log entries in use; the computations make sure there are at least three.
int entriesInUse(const AnalysisState& s) {
    return std::min(s.NSAMP, kMaxSamples);
}

// Linear in depth through (da, va) and (db, vb); also used beyond db to extrapolate.
double interpolate(double va, double vb, double x, double da, double db) {
    const double h = db - da;
    if (h == 0) return va; // two samples at one depth: nothing to interpolate between
    return va + (vb - va) * (x - da) / h;
}

template <int Size> void append(PointList<Size>& p, double z, double n, double q) {
    if (p.NP >= Size) return;
    ++p.NP;
    p.Z(p.NP) = z;
    p.N(p.NP) = n;
    p.Q(p.NP) = q;
}

void emptyRange(const AnalysisState& s, double TOP, RangeAverage& out) {
    append(out.points, s.GSE - TOP, 0, 0);
}

} // namespace

LogSamples::LogSamples(const AnalysisState& state, Correlation corr)
    : s(state), g(corr), ns(entriesInUse(state)) {}

LogSamples::LogSamples(const AnalysisState& state, Correlation corr,
                       const Array1<double, kMaxSamples>& values, bool depthsIncrease)
    : s(state), g(corr), ns(entriesInUse(state)), q(&values), increasing(depthsIncrease) {}

int LogSamples::bracket(double TOP) const {
    if (!increasing) {
        for (int k = 1; k <= ns - 2; ++k)
            if (s.D(k) <= TOP && TOP < s.D(k + 1)) return k;
        return ns - 1;
    }
    // Increasing depths: at most one k brackets TOP, the last one with D(k) <= TOP.
    int lo = 1;
    int hi = ns - 2;
    int last = 0;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        if (s.D(mid) <= TOP) {
            last = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return last >= 1 && TOP < s.D(last + 1) ? last : ns - 1;
}

void depthRangeAverage(const AnalysisState& s, PileMaterial m, Correlation g, double TOP,
                       double BOT, RangeAverage& out) {
    depthRangeAverage(LogSamples(s, g), m, TOP, BOT, out);
}

void depthRangeAverage(const LogSamples& log, PileMaterial m, double TOP, double BOT,
                       RangeAverage& out) {
    const AnalysisState& s = log.s;
    out.points.NP = 0;
    out.AVGN = 0;
    out.AVGQ = 0;

    const bool empty = m == PileMaterial::Steel ? BOT - TOP <= kSteelEmptyRange
                                                : std::fabs(BOT - TOP) <= kConcreteEmptyRange;
    if (empty) {
        emptyRange(s, TOP, out);
        return;
    }
    // Nothing is known above the first sample. A range that ends there has no height left.
    if (TOP < s.D(1)) {
        TOP = s.D(1);
        if (BOT <= TOP) {
            emptyRange(s, TOP, out);
            return;
        }
    }

    const int ns = log.ns;
    auto unit = [&](int k) { return log.unit(k); };

    const int i = log.bracket(TOP);
    append(out.points, s.GSE - TOP, interpolate(s.N(i), s.N(i + 1), TOP, s.D(i), s.D(i + 1)),
           interpolate(unit(i), unit(i + 1), TOP, s.D(i), s.D(i + 1)));

    int j = i + 1;
    for (; j <= ns - 2; ++j) {
        if (s.D(j) <= TOP) continue;
        if (s.D(j) >= BOT) break;
        append(out.points, s.GSE - s.D(j), s.N(j), unit(j));
    }

    // The closing entry is the bottom of the boring, not a sample: below the deepest sample the
    // values are extrapolated from the two deepest samples.
    const int b = std::min(j, ns - 1);
    append(out.points, s.GSE - BOT, interpolate(s.N(b - 1), s.N(b), BOT, s.D(b - 1), s.D(b)),
           interpolate(unit(b - 1), unit(b), BOT, s.D(b - 1), s.D(b)));

    const PointList<kMaxPoints>& p = out.points;
    double sumN = 0;
    double sumQ = 0;
    for (int k = 1; k < p.NP; ++k) {
        const double dz = p.Z(k) - p.Z(k + 1);
        sumN += (p.N(k) + p.N(k + 1)) / 2 * dz;
        sumQ += (p.Q(k) + p.Q(k + 1)) / 2 * dz;
    }
    out.AVGN = sumN / (BOT - TOP);
    out.AVGQ = sumQ / (BOT - TOP);
}

void sectionProperties(AnalysisState& s) {
    const SectionProperties p =
        sectionPropertiesOf(s.ISECT, s.WP, s.THICK, s.DEPTH, s.TAREA, s.TPL, s.UWP);
    s.AREA = p.AREA;
    s.PERIM = p.PERIM;
    s.AWALL = p.AWALL;
    s.WGP = p.WGP;
}

void formLayers(AnalysisState& s) {
    const int ns = entriesInUse(s);
    s.NLAY = 0;
    double previousBottom = 0;
    int first = 1;
    while (s.NLAY < kMaxLayers) {
        int e = first;
        while (e < ns && s.ST(e + 1) == s.ST(e)) ++e;
        // A log filling all entries has no entry after its closing one; a layer that takes in
        // the closing entry then ends there.
        const double bottom = s.D(std::min(e + 1, kMaxSamples));
        ++s.NLAY;
        s.ELEVBL(s.NLAY) = s.GSE - bottom;
        s.T(s.NLAY) = bottom - previousBottom;
        s.LST(s.NLAY) = s.ST(e);
        previousBottom = bottom;
        if (e >= ns - 1) break;
        first = e + 1;
    }
}

void layerAverages(AnalysisState& s, PileMaterial m, Correlation g) {
    RangeAverage r;
    for (int K = 1; K <= s.NLAY; ++K) {
        depthRangeAverage(s, m, g, s.GSE - s.ELEVBL(K) - s.T(K), s.GSE - s.ELEVBL(K), r);
        s.AN(K) = r.AVGN;
        s.AQL(K) = r.AVGQ;
    }
}

void findBearingLayer(AnalysisState& s) {
    // The tip lies above the deepest sample, so some layer bottom lies below it; the last layer
    // stands in only for a log whose depths do not increase.
    s.IBL = std::max(s.NLAY, 1);
    for (int K = 1; K <= s.NLAY; ++K) {
        if (s.ELEVBL(K) < s.EBP) {
            s.IBL = K;
            break;
        }
    }
    s.ETBL = s.ELEVBL(s.IBL) + s.T(s.IBL);
}

void skinFriction(AnalysisState& s, PileMaterial m, Correlation g) {
    s.TSF = 0;
    s.SFL.fill(0);
    RangeAverage r;
    for (int K = 1; K <= s.IBL - 1; ++K) {
        const double top = K == 1 ? 0 : s.GSE - s.ELEVBL(K - 1);
        depthRangeAverage(s, m, g, top, s.GSE - s.ELEVBL(K), r);
        s.SFL(K) = s.PERIM * s.T(K) * r.AVGQ;
        s.TSF = s.TSF + s.SFL(K);
    }
    depthRangeAverage(s, m, g, s.GSE - s.ETBL, s.GSE - s.EBP, r);
    s.ANBL = r.AVGN;
    s.AFBL = r.AVGQ;
}

} // namespace zenka
