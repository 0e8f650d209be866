#include "engine/capacity/EndBearing.h"

#include <algorithm>
#include <cmath>

namespace zenka {

namespace {

// Elevations closer than this count as one.
constexpr double kSameElevation = 0.0001;

// Critical depth of embedment in pile widths, by the bearing layer's soil and mean blow count.
double criticalDepthFactor(int soil, double AN) {
    switch (soil) {
    case SoilGroup::PlasticClay:
        return 2;
    case SoilGroup::ClaySiltSandMixture:
        return 4;
    case SoilGroup::CleanSand:
        if (AN <= 12) return 6;
        if (AN <= 30) return 9;
        return 12;
    case SoilGroup::SoftLimestone:
        return 6;
    default: // void (or no soil): no critical depth to speak of, yet DC must not be zero
        return 0.0000001;
    }
}

template <int From, int To> void copyPoints(const PointList<From>& from, PointList<To>& to) {
    to.NP = std::min(from.NP, To);
    for (int k = 1; k <= to.NP; ++k) {
        to.Z(k) = from.Z(k);
        to.N(k) = from.N(k);
        to.Q(k) = from.Q(k);
    }
}

struct Zone {
    const AnalysisState& s;
    PileMaterial m;
    const LogSamples& log;

    // A weaker bearing layer keeps the zone out of the stronger layer above it.
    bool weakerThanAbove() const { return s.IBL >= 2 && s.AQL(s.IBL) < s.AQL(s.IBL - 1); }

    void cutAtLayerTop(double& upper) const {
        if (weakerThanAbove() && upper > s.ETBL) upper = s.ETBL;
    }

    // The upper limit of the tip zone and of the zone at the top of the bearing layer. Concrete
    // piles are not cut at the layer top once the ground surface has limited them.
    void limitUpper(double& upper) const {
        bool atGround = false;
        if (upper > s.GSE) {
            upper = s.GSE;
            atGround = true;
        }
        if (m == PileMaterial::Steel || !atGround) cutAtLayerTop(upper);
    }

    double average(double TOP, double BOT, RangeAverage& r) const {
        depthRangeAverage(log, m, TOP, BOT, r);
        return r.AVGQ;
    }
    double upperPart(double Hi, double X, RangeAverage& r) const {
        return average(s.GSE - Hi, s.GSE - X, r);
    }
    double lowerPart(double X, double Lo, RangeAverage& r) const {
        return average(s.GSE - X, s.GSE - Lo, r);
    }
};

} // namespace

int endBearing(AnalysisState& s, PileMaterial m, Correlation g) {
    return endBearing(s, m, LogSamples(s, g));
}

int endBearing(AnalysisState& s, PileMaterial m, const LogSamples& log) {
    const Zone zone{s, m, log};
    const double WP = s.WP;
    const int deepest = std::min(s.NSAMP, kMaxSamples) - 1;
    const double deepestElevation = s.GSE - s.D(deepest);
    // A void bearing layer has zones of no height.
    const bool isVoid = s.LST(s.IBL) == SoilGroup::Void;
    RangeAverage r;

    // Zone around the tip.
    s.UL = isVoid ? s.EBP : s.EBP + 8 * WP / 12;
    s.LL = isVoid ? s.EBP : s.EBP - 3.5 * WP / 12;
    if (s.LL < deepestElevation) return kTipTooNearEndOfLog;
    zone.limitUpper(s.UL);

    s.AQPTA = zone.average(s.GSE - s.UL, s.TPL, r);
    copyPoints(r.points, s.above);
    s.AQPTB = zone.average(s.TPL, s.GSE - s.LL, r);
    copyPoints(r.points, s.below);
    // No height above the tip (a tip on top of a weaker bearing layer): the part below alone.
    if (std::fabs(s.EBP - s.UL) < kSameElevation)
        s.AQPT = s.AQPTB;
    else
        s.AQPT = (s.AQPTA + s.AQPTB) / 2;

    // Zone around the top of the bearing layer.
    s.ULTB = isVoid ? s.ETBL : s.ETBL + 8 * WP / 12;
    s.LLTB = isVoid ? s.ETBL : s.ETBL - 3.5 * WP / 12;
    zone.limitUpper(s.ULTB);
    const double lowerTB = zone.lowerPart(s.ETBL, s.LLTB, r);
    if (std::fabs(s.ETBL - s.ULTB) < kSameElevation)
        s.AQTBL = lowerTB;
    else
        s.AQTBL = (zone.upperPart(s.ULTB, s.ETBL, r) + lowerTB) / 2;

    s.DA = s.ETBL - s.EBP;

    // Critical depth and the zone around it.
    s.CDF = criticalDepthFactor(s.LST(s.IBL), s.AN(s.IBL));
    s.DC = WP * s.CDF / 12;
    s.ECD = s.ETBL - s.DC;
    s.ULCD = isVoid ? s.ECD : s.ECD + 8 * WP / 12;
    s.LLCD = isVoid ? s.ECD : s.ECD - 3.5 * WP / 12;
    if (s.ULCD > s.GSE)
        s.ULCD = s.GSE;
    else
        zone.cutAtLayerTop(s.ULCD);
    if (s.LLCD < deepestElevation) s.LLCD = deepestElevation;
    if (s.ECD >= s.ELEVBL(s.IBL)) {
        const double upper = zone.upperPart(s.ULCD, s.ECD, r);
        s.AQPTCD = (upper + zone.lowerPart(s.ECD, s.LLCD, r)) / 2;
    } else {
        s.AQPTCD = s.AQL(s.IBL); // the critical depth lies below the bearing layer
    }

    // An H-pile in sand or limestone plugs between its flanges and bears on the full block.
    const int bearingSoil = s.LST(s.IBL);
    if (PileShape::flangePlug(s.ISECT) && SoilGroup::sandOrLimestone(bearingSoil))
        s.AREA = plugBlockArea(WP, s.DEPTH);
    s.MAXB = s.AREA * s.AQPT;

    // Corrections for embedment in a bearing layer whose top is weaker than the tip region.
    // The corrections divide by AQPTCD and AQPT, which are positive whenever the top is
    // weaker, unless an extrapolated value below the deepest sample made the top negative.
    const double F = s.PERIM * s.AFBL;
    if (s.DA > s.DC) {
        const double a = (s.ECD - s.EBP) * F;
        const double b = (s.ETBL - s.ECD) * F;
        s.SFBL = a + b;
        double bCorrected = b;
        if (s.AQTBL < s.AQPTCD && s.AQPTCD > 0)
            bCorrected = ((s.AQPTCD - s.AQTBL) * 0.5 + s.AQTBL) * b / s.AQPTCD;
        s.CSFBL = a + bCorrected;
        s.CMAXB = s.MAXB;
    } else {
        s.SFBL = s.DA * F;
        s.CSFBL = s.SFBL;
        s.CMAXB = s.MAXB;
        if (s.AQTBL < s.AQPT && s.AQPT > 0 && s.DC > 0) {
            s.CMAXB = ((s.AQPT - s.AQTBL) * s.DA / s.DC + s.AQTBL) * s.AREA;
            s.CSFBL = ((s.AQPT - s.AQTBL) * 0.5 * s.DA / s.DC + s.AQTBL) * s.SFBL / s.AQPT;
        }
    }
    return 0;
}

} // namespace zenka
