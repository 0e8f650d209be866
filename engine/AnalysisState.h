#pragma once

// The one record of the analysis engine. Field names are the engineers' own, as printed in the
// report, so a formula in the code reads like the formula on paper: s.USF = s.CSFBL + s.TSF.

#include "engine/Arrays.h"
#include "model/PileShapes.h"

#include <memory>
#include <string>
#include <vector>

namespace zenka {

class ReportOut;
struct LogTablesMemo;

constexpr int kMaxSamples = 225;
constexpr int kMaxLengths = 20;
constexpr int kMaxWidths = 5;
constexpr int kMaxLayers = 225; // as many layers as a log can form
constexpr int kMaxRangeSteps = 100;
constexpr int kMaxPoints = 250; // scratch point list of the depth-range average
constexpr int kMaxTipPoints = 225;

// The report's output channel, handed to a computation in IERR.
constexpr int kReportUnit = 9;

// The engine's coded values, as the hand-off copies them in. Compare by name.
struct Iunits {
    enum : int { English = 1, Metric = 2 };
};
struct Iopt {
    enum : int { SpecificLengths = 1, RangeOfLengths = 2 };
};
struct Ipipe {
    enum : int { OpenEnd = 1, ClosedEnd = 2 };
};
// Soil groups of the log (ST) and of the layers (LST).
struct SoilGroup {
    enum : int {
        BottomOfBoring = 0,
        PlasticClay = 1,
        ClaySiltSandMixture = 2,
        CleanSand = 3,
        SoftLimestone = 4,
        Void = 5,
    };
    // Sands and limestone, where an H-pile bears on its full box area.
    static constexpr bool sandOrLimestone(int group) {
        return group == CleanSand || group == SoftLimestone;
    }
};

// Points of a depth-range average: elevation, blow count and unit value.
template <int Size> struct PointList {
    int NP = 0;
    Array1<double, Size> Z;
    Array1<double, Size> N;
    Array1<double, Size> Q;
};

// One computed width and length, English units, as the driver met it.
struct CaseResult {
    int IW = 0;
    double WP = 0;
    double TPL = 0;
    double EBP = 0;
    double USF = 0;
    double CMAXB = 0;
    double MPC = 0;
    double TCP = 0;
    double UPC = 0;
    double TSF = 0;
    double CSFBL = 0;
};

struct AnalysisState {
    // Identification and file names.
    FixedText<20> PROJNO;
    FixedText<50> JOBNAME;
    FixedText<20> ENGR;
    FixedText<20> BORNO;
    FixedText<20> DRDATE;
    FixedText<20> STANO;
    // Input file name without folder, as the hand-off copies it from the project; a single
    // blank means none yet. Kept at full length: the report cuts it to 30 characters.
    std::string INFILE;
    FixedText<8> RUNDATE;
    FixedText<8> RUNTIME;
    FixedText<8> PROGID;
    FixedText<40> TITLE;

    // Control values.
    int IUNITS = 0;
    int IOPT = 0;
    int ISECT = 0; // a PileShape code
    int IPIPE = 0;

    // Site and pile values, English units.
    double GSE = 0;
    double UWP = 0;
    double THICK = 0;
    double DEPTH = 0;
    double TAREA = 0;

    // Boring log.
    Array1<double, kMaxSamples> D;
    Array1<double, kMaxSamples> N;
    Array1<int, kMaxSamples> ST;
    int NSAMP = 0;

    // Lengths and widths.
    Array1<double, kMaxLengths> PL;
    int NLEN = 0;
    Array1<double, kMaxWidths> PWID;
    int NW = 0;
    int IW = 0;
    double PLMIN = 0;
    double PLMAX = 0;
    double PLINC = 0;

    // Current case.
    double TPL = 0;
    double EBP = 0;
    double WP = 0;
    int IERR = 0;

    // Section properties.
    double AREA = 0;
    double PERIM = 0;
    double AWALL = 0;
    double WGP = 0;

    // Layers.
    int NLAY = 0;
    Array1<double, kMaxLayers> ELEVBL;
    Array1<double, kMaxLayers> T;
    Array1<int, kMaxLayers> LST;
    Array1<double, kMaxLayers> AN;
    Array1<double, kMaxLayers> AQL;
    Array1<double, kMaxLayers> SFL;
    double TSF = 0;
    int IBL = 0;
    double ETBL = 0;
    double ANBL = 0;
    double AFBL = 0;

    // End bearing.
    double UL = 0;
    double LL = 0;
    // The point lists around the tip for the report; NPA is above.NP, NPB is below.NP.
    PointList<kMaxTipPoints> above;
    PointList<kMaxTipPoints> below;
    double AQPTA = 0;
    double AQPTB = 0;
    double AQPT = 0;
    double ULTB = 0;
    double LLTB = 0;
    double AQTBL = 0;
    double DA = 0;
    double CDF = 0;
    double DC = 0;
    double ECD = 0;
    double ULCD = 0;
    double LLCD = 0;
    double AQPTCD = 0;
    double MAXB = 0;
    double SFBL = 0;
    double CSFBL = 0;
    double CMAXB = 0;

    // Pile capacities.
    double USF = 0;
    double MPC = 0;
    double TCP = 0;
    double UPC = 0;
    double QPLUG = 0;

    // Report bookkeeping. NANAL counts every width analysed since the program started.
    int LINES = 0;
    int IPAGE = 0;
    int NANAL = 1;

    // Capacity result table of a range of lengths, display units (step, quantity, width).
    Array3<double, 500, 8, kMaxWidths> R;

    // Where unit kReportUnit writes while the driver runs; null otherwise.
    ReportOut* report = nullptr;
    // Every case the last run computed successfully, in run order.
    std::vector<CaseResult> cases;
    // What the computations take from the log alone, kept across the widths and lengths of a
    // run; keyed on the log itself, so it is never stale.
    std::shared_ptr<LogTablesMemo> logTablesMemo;
};

} // namespace zenka
