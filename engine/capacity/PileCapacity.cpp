#include "engine/capacity/PileCapacity.h"

#include "engine/AnalysisState.h"
#include "engine/ErrorWriter.h"
#include "engine/capacity/Correlations.h"
#include "engine/capacity/EndBearing.h"
#include "engine/capacity/Layers.h"
#include "engine/capacity/LogTables.h"

namespace zenka {

namespace {

constexpr int kTipExceedsLog = 23;

// Unit end bearing a concrete cylinder may carry over its gross area, tsf.
constexpr double kCylinderBearingCap = 52.2;

void reportError(int unit, int code, AnalysisState& s) {
    if (unit == kReportUnit && s.report != nullptr) writeError(*s.report, s.IUNITS, code, s.TPL);
}

// Everything up to and including the corrected end bearing; 0 or the error code.
int layersAndEndBearing(AnalysisState& s, PileMaterial m) {
    // A log needs two samples before its closing entry, and the tip must lie above the deepest.
    if (s.NSAMP < 3 || s.NSAMP > kMaxSamples || s.D(s.NSAMP - 1) <= s.TPL) return kTipExceedsLog;

    const PileCorrelations g = pileCorrelations(s.ISECT);
    sectionProperties(s);
    // The layers and their averages are the same for every width and length of a run.
    const LogTables& log = layersOfLog(s, m, g);
    s.EBP = s.GSE - s.TPL;
    findBearingLayer(s);
    skinFriction(s, m, log);
    return endBearing(s, m, log.endBearingSamples(s));
}

bool start(int& IERR, AnalysisState& s, PileMaterial m) {
    const int unit = IERR;
    IERR = 0;
    s.WP = s.PWID(s.IW);
    if (const int code = layersAndEndBearing(s, m); code != 0) {
        reportError(unit, code, s);
        IERR = code;
        return false;
    }
    s.USF = s.CSFBL + s.TSF;
    // Friction on the inner wall limits what an open end can mobilize.
    s.QPLUG = s.WP > 0 ? s.USF * (s.WP - 2 * s.THICK) / s.WP : 0;
    return true;
}

} // namespace

void computeSteelPile(int& IERR, AnalysisState& s) {
    if (!start(IERR, s, PileMaterial::Steel)) return;

    s.MPC = s.USF + s.CMAXB - s.WGP;
    if (s.ISECT == PileShape::SteelPipe && s.IPIPE == Ipipe::OpenEnd && s.QPLUG < s.CMAXB) {
        s.CMAXB = s.QPLUG;
        s.MPC = s.USF + s.CMAXB - s.WGP;
    }
    s.TCP = s.MPC * 0.5;
    const int bearingSoil = s.LST(s.IBL);
    if (PileShape::flangePlug(s.ISECT) && SoilGroup::sandOrLimestone(bearingSoil))
        s.UPC = s.USF + 2 * s.CMAXB - s.WGP;
    else
        s.UPC = s.USF + 3 * s.CMAXB - s.WGP;

    // Without friction or without end bearing a pile heavier than its capacity carries nothing;
    // with both, the negative values are shown as they are.
    if ((s.USF == 0 || s.CMAXB == 0) && (s.UPC < 0 || s.MPC < 0 || s.TCP < 0)) {
        s.UPC = 0;
        s.MPC = 0;
        s.TCP = 0;
    }
}

void computeConcretePile(int& IERR, AnalysisState& s) {
    if (!start(IERR, s, PileMaterial::Concrete)) return;

    s.MPC = s.USF + s.CMAXB;
    if (s.ISECT == PileShape::Cylinder) {
        if (s.QPLUG < s.CMAXB) {
            s.CMAXB = s.AWALL * s.AQPTB; // the wall alone bears
            s.MPC = s.USF + s.CMAXB;
        }
        if (s.CMAXB > kCylinderBearingCap * s.AREA) {
            s.CMAXB = kCylinderBearingCap * s.AREA;
            s.MPC = s.USF + s.CMAXB;
        }
    }
    s.TCP = s.MPC * 0.5;
    s.UPC = s.USF + 3 * s.CMAXB;
}

} // namespace zenka
