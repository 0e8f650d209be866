#pragma once

// The SPT correlations: blow count N and soil group to a unit value in tsf. Soil groups: 1
// plastic clays, 2 clay/silt/sand mixtures, silts and marls, 3 clean sands, 4 soft limestone and
// very shelly sands, 5 void; 0 (bottom of the boring) and anything else give 0.
//
// Each clamps a copy of N; the caller's value is never touched. They are applied to samples
// only, never to an interpolated N.

namespace zenka {

enum class Correlation { SKFRIC, ENDBRG, HPILSF, PIPESF, PIPEEB };

// Unit skin friction of concrete piles.
double SKFRIC(double N, int soil);
// Mobilized unit end bearing (a third of the ultimate) of concrete piles and H-piles.
double ENDBRG(double N, int soil);
// Unit skin friction of steel H-piles.
double HPILSF(double N, int soil);
// Unit skin friction of steel pipe piles.
double PIPESF(double N, int soil);
// Mobilized unit end bearing of steel pipe piles.
double PIPEEB(double N, int soil);

double correlate(Correlation g, double N, int soil);

// The pair of correlations a pile section uses; the end-bearing one also gives the layer
// averages AN(K) and AQL(K).
struct PileCorrelations {
    Correlation skinFriction;
    Correlation endBearing;
};

PileCorrelations pileCorrelations(int ISECT);

} // namespace zenka
