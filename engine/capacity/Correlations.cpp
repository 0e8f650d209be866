#include "engine/capacity/Correlations.h"

#include "engine/AnalysisState.h"
#include "model/PileShapes.h"

#include <cmath>

namespace zenka {

namespace {

// Below 5 blows the correlations give nothing; above 60 they give no more.
double clampLowHigh(double N) {
    if (N < 5) N = 0;
    if (N > 60) N = 60;
    return N;
}

} // namespace

double SKFRIC(double N, int soil) {
    N = clampLowHigh(N);
    switch (soil) {
    case SoilGroup::PlasticClay:
        return 2 * N * (110 - N) / 4006.6;
    case SoilGroup::ClaySiltSandMixture:
        return 2 * N * (110 - N) / 4583.3;
    case SoilGroup::CleanSand:
        return 0.019 * N;
    case SoilGroup::SoftLimestone:
        return 0.01 * N;
    default:
        return 0;
    }
}

double ENDBRG(double N, int soil) {
    N = clampLowHigh(N);
    switch (soil) {
    case SoilGroup::PlasticClay:
        return N * 0.7 / 3;
    case SoilGroup::ClaySiltSandMixture:
        return N * 1.6 / 3;
    case SoilGroup::CleanSand:
        return N * 3.2 / 3;
    case SoilGroup::SoftLimestone:
        return N * 3.6 / 3;
    default:
        return 0;
    }
}

double HPILSF(double N, int soil) {
    // Mixed soils keep gaining friction up to 75 blows.
    if (soil == SoilGroup::ClaySiltSandMixture) {
        if (N > 75) N = 75;
    } else if (N > 60) {
        N = 60;
    }
    if (N < 5 || soil < SoilGroup::PlasticClay || soil > SoilGroup::SoftLimestone) return 0;
    switch (soil) {
    case SoilGroup::PlasticClay:
        return 2 * N * (110 - N) / 5335.9;
    case SoilGroup::ClaySiltSandMixture:
        return 0.033 * N - 0.0227 - 0.0004576 * N * N + 0.000002465 * N * N * N;
    case SoilGroup::CleanSand:
        return 0.0112 * N;
    default:
        return 0.0076 * N;
    }
}

double PIPESF(double N, int soil) {
    if (N < 5) return 0;
    if (N > 60) N = 60;
    switch (soil) {
    case SoilGroup::PlasticClay:
        return 0.443 * std::log(N) - 0.507;
    case SoilGroup::ClaySiltSandMixture:
        return 0.401 * std::log(N) - 0.463;
    case SoilGroup::CleanSand:
        // Dense sand jumps to the upper branch just above 30 blows; just above 5 blows the
        // logarithm gives a slightly negative value, used as it is.
        if (N > 30) return (N - 30) * 0.308 / 30 + 0.57;
        if (N > 5) return 0.0208 * std::log(N - 5) + 0.05;
        return 0;
    case SoilGroup::SoftLimestone:
        return 0.008 * N;
    default:
        return 0;
    }
}

double PIPEEB(double N, int soil) {
    N = clampLowHigh(N);
    // As driven concrete, except dense sand above 30 blows and gravel, which go on along their
    // own lines.
    if (soil == SoilGroup::CleanSand && N > 30) return (N - 30) * 4 / 30 + 32;
    if (soil == SoilGroup::SoftLimestone) return N <= 30 ? 1.2 * N : (N - 30) * 7 / 30 + 36;
    return ENDBRG(N, soil);
}

double correlate(Correlation g, double N, int soil) {
    switch (g) {
    case Correlation::SKFRIC:
        return SKFRIC(N, soil);
    case Correlation::ENDBRG:
        return ENDBRG(N, soil);
    case Correlation::HPILSF:
        return HPILSF(N, soil);
    case Correlation::PIPESF:
        return PIPESF(N, soil);
    case Correlation::PIPEEB:
        return PIPEEB(N, soil);
    }
    return 0;
}

PileCorrelations pileCorrelations(int ISECT) {
    switch (ISECT) {
    case PileShape::SteelPipe:
        return {Correlation::PIPESF, Correlation::PIPEEB};
    case PileShape::SteelH:
        return {Correlation::HPILSF, Correlation::ENDBRG};
    default: // square, round and cylinder concrete piles
        return {Correlation::SKFRIC, Correlation::ENDBRG};
    }
}

} // namespace zenka
