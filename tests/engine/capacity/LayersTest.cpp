#include "engine/capacity/Layers.h"

#include "CapacityFixtures.h"
#include "engine/capacity/PileCapacity.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zenka {
namespace {

using test::makeState;
using test::workedCase;

TEST(Layering, LayerChangesAtTheFirstEntryOfTheNewSoil) {
    auto s = makeState({{0, 10, 1}, {5, 10, 1}, {10, 10, 3}, {15, 10, 3}, {20, 10, 4}, {25, 0, 0}},
                       1, 0, 12, 10);
    formLayers(*s);
    ASSERT_EQ(s->NLAY, 3);
    EXPECT_EQ(s->ELEVBL(1), -10);
    EXPECT_EQ(s->ELEVBL(2), -20);
    EXPECT_EQ(s->ELEVBL(3), -25);
    EXPECT_EQ(s->T(1), 10);
    EXPECT_EQ(s->T(2), 10);
    EXPECT_EQ(s->T(3), 5);
    EXPECT_EQ(s->LST(1), 1);
    EXPECT_EQ(s->LST(2), 3);
    EXPECT_EQ(s->LST(3), 4);

    // The same sand in the fifth entry: the second layer runs on to the closing entry.
    s->ST(5) = 3;
    formLayers(*s);
    ASSERT_EQ(s->NLAY, 2);
    EXPECT_EQ(s->ELEVBL(2), -25);
    EXPECT_EQ(s->T(2), 15);
    EXPECT_EQ(s->LST(2), 3);

    // One soil throughout, first sample below the surface: one layer, thickness from the surface.
    auto one = makeState({{3, 10, 3}, {8, 10, 3}, {13, 10, 3}, {20, 0, 0}}, 1, 7, 12, 10);
    formLayers(*one);
    ASSERT_EQ(one->NLAY, 1);
    EXPECT_EQ(one->ELEVBL(1), -13);
    EXPECT_EQ(one->T(1), 20);
}

// 225 entries whose soil alternates at every entry: every sample is its own layer.
std::unique_ptr<AnalysisState> alternatingLog(bool closed) {
    auto s = makeState({}, 3, 100, 12, 10);
    for (int i = 1; i <= kMaxSamples; ++i) {
        s->D(i) = 0.5 * (i - 1);
        s->N(i) = 10 + (i % 7) * 5;
        s->ST(i) = i % 2 == 1 ? 1 : 3;
    }
    if (closed) s->ST(kMaxSamples) = 0;
    s->NSAMP = kMaxSamples;
    return s;
}

TEST(Layering, FullLogAlternatingEveryEntryIsLayeredCompletely) {
    for (bool closed : {true, false}) {
        auto s = alternatingLog(closed);
        formLayers(*s);
        ASSERT_EQ(s->NLAY, kMaxSamples - 1);
        double total = 0;
        for (int K = 1; K <= s->NLAY; ++K) {
            EXPECT_EQ(s->T(K), 0.5);
            EXPECT_EQ(s->LST(K), K % 2 == 1 ? 1 : 3);
            total += s->T(K);
        }
        EXPECT_EQ(total, s->D(kMaxSamples));
        EXPECT_EQ(s->ELEVBL(s->NLAY), 100 - s->D(kMaxSamples));

        // Deep in the log, with the tip in the last layers, for both materials.
        for (int ISECT : {3, 4, 1, 5}) {
            s->ISECT = ISECT;
            s->TPL = s->D(kMaxSamples - 1) - 4;
            int IERR = kReportUnit;
            if (ISECT >= 3 && ISECT <= 4)
                computeSteelPile(IERR, *s);
            else
                computeConcretePile(IERR, *s);
            EXPECT_EQ(IERR, 0);
            EXPECT_EQ(s->IBL, s->NLAY - 8);
            EXPECT_TRUE(std::isfinite(s->UPC));
        }
    }
}

TEST(Layering, LastLayerTakingInTheLastEntryEndsAtIt) {
    // All 225 entries carry soil; the last two are alike, so entry 225 joins the last layer,
    // which has no entry after it to end at.
    auto s = alternatingLog(false);
    s->ST(kMaxSamples) = s->ST(kMaxSamples - 1);
    formLayers(*s);
    ASSERT_EQ(s->NLAY, kMaxSamples - 1);
    EXPECT_EQ(s->LST(s->NLAY), 3);
    EXPECT_EQ(s->ELEVBL(s->NLAY), 100 - s->D(kMaxSamples));
    EXPECT_EQ(s->T(s->NLAY), 0.5);

    s->TPL = s->D(kMaxSamples - 1) - 4;
    int IERR = kReportUnit;
    computeSteelPile(IERR, *s);
    EXPECT_EQ(IERR, 0);
    EXPECT_EQ(s->IBL, s->NLAY - 8);
    EXPECT_TRUE(std::isfinite(s->MPC));
}

TEST(DepthRangeAverage, LastPointBelowTheDeepestSampleIsExtrapolated) {
    auto s = workedCase();
    RangeAverage r;
    depthRangeAverage(*s, PileMaterial::Concrete, Correlation::ENDBRG, 15, 60, r);
    // 15, 20, ..., 50 ft, then 60 ft extrapolated from the samples at 50 and 55 ft, which is
    // not itself a point.
    ASSERT_EQ(r.points.NP, 9);
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(r.points.Z(k), 10 - (15 + 5 * (k - 1)));
        EXPECT_EQ(r.points.N(k), 20 + 5 * (k - 1));
    }
    EXPECT_EQ(r.points.Z(9), -50);
    EXPECT_NEAR(r.points.N(9), 65, 1e-12);
    EXPECT_NEAR(r.points.Q(9), 65 * 3.2 / 3, 1e-12);
    EXPECT_NEAR(r.AVGN, 42.5, 1e-12);

    // Inside one pair of samples: the two interpolated end points.
    depthRangeAverage(*s, PileMaterial::Steel, Correlation::ENDBRG, 16, 19, r);
    ASSERT_EQ(r.points.NP, 2);
    EXPECT_NEAR(r.points.N(1), 21, 1e-12);
    EXPECT_NEAR(r.points.N(2), 24, 1e-12);
    EXPECT_NEAR(r.AVGN, 22.5, 1e-12);
    EXPECT_NEAR(r.AVGQ, 22.5 * 3.2 / 3, 1e-12);

    // The end point at a sample of another soil takes that sample's own unit value.
    depthRangeAverage(*s, PileMaterial::Concrete, Correlation::SKFRIC, 5, 15, r);
    ASSERT_EQ(r.points.NP, 3);
    EXPECT_NEAR(r.points.Q(3), 0.019 * 20, 1e-12);
}

TEST(DepthRangeAverage, SingleSampleLastLayerNeverReachesTheClosingEntry) {
    // The sand at 10 ft is the last layer on its own, down to the bottom of the boring at 15 ft.
    auto s = makeState({{0, 10, 1}, {5, 10, 1}, {10, 20, 3}, {15, 0, 0}}, 1, 0, 12, 3);
    formLayers(*s);
    ASSERT_EQ(s->NLAY, 2);
    RangeAverage r;
    for (PileMaterial m : {PileMaterial::Steel, PileMaterial::Concrete}) {
        depthRangeAverage(*s, m, Correlation::ENDBRG, 10, 15, r);
        ASSERT_EQ(r.points.NP, 2);
        EXPECT_NEAR(r.points.N(1), 20, 1e-12);
        // Extrapolated from the samples at 5 and 10 ft.
        EXPECT_NEAR(r.points.N(2), 30, 1e-12);
        EXPECT_NEAR(r.AVGN, 25, 1e-12);
        EXPECT_NEAR(r.points.Q(2), 10 * 0.7 / 3 + (20 * 3.2 / 3 - 10 * 0.7 / 3) * 2, 1e-12);
    }
}

TEST(DepthRangeAverage, RangeAboveTheFirstSample) {
    auto s = makeState({{4, 10, 3}, {8, 20, 3}, {12, 30, 3}, {16, 0, 0}}, 1, 0, 12, 10);
    RangeAverage r;
    for (PileMaterial m : {PileMaterial::Steel, PileMaterial::Concrete}) {
        // Averaged from the first sample and divided by the height from there.
        depthRangeAverage(*s, m, Correlation::ENDBRG, 0, 8, r);
        ASSERT_EQ(r.points.NP, 2);
        EXPECT_EQ(r.points.Z(1), -4);
        EXPECT_NEAR(r.AVGN, 15, 1e-12);

        // Nothing left once raised to the first sample.
        for (double BOT : {3.0, 4.0}) {
            depthRangeAverage(*s, m, Correlation::ENDBRG, 0, BOT, r);
            ASSERT_EQ(r.points.NP, 1);
            EXPECT_EQ(r.points.Z(1), -4);
            EXPECT_EQ(r.points.N(1), 0);
            EXPECT_EQ(r.points.Q(1), 0);
            EXPECT_EQ(r.AVGN, 0);
            EXPECT_EQ(r.AVGQ, 0);
        }
    }
}

TEST(DepthRangeAverage, EmptyAndInvertedRangesSteelVersusConcrete) {
    auto s = makeState({{4, 10, 3}, {8, 20, 3}, {12, 30, 3}, {16, 0, 0}}, 1, 0, 12, 10);
    RangeAverage r;
    auto isEmpty = [&](PileMaterial m, double TOP, double BOT) {
        depthRangeAverage(*s, m, Correlation::ENDBRG, TOP, BOT, r);
        return r.points.NP == 1 && r.points.Z(1) == -TOP && r.AVGN == 0 && r.AVGQ == 0;
    };
    const double tiny = std::ldexp(1.0, -40);  // rounding noise
    const double small = std::ldexp(1.0, -20); // about 1e-6 ft

    EXPECT_TRUE(isEmpty(PileMaterial::Steel, 10, 10));
    EXPECT_TRUE(isEmpty(PileMaterial::Steel, 10, 10 + tiny));
    EXPECT_FALSE(isEmpty(PileMaterial::Steel, 10, 10 + small));
    EXPECT_EQ(r.points.NP, 2);
    EXPECT_NEAR(r.AVGN, 25, 1e-5);
    EXPECT_TRUE(isEmpty(PileMaterial::Steel, 10, 6));

    EXPECT_TRUE(isEmpty(PileMaterial::Concrete, 10, 10));
    EXPECT_TRUE(isEmpty(PileMaterial::Concrete, 10, 10 + small));
    EXPECT_TRUE(isEmpty(PileMaterial::Concrete, 10, 10.00005));
    EXPECT_TRUE(isEmpty(PileMaterial::Concrete, 10, 9.99995));
    EXPECT_FALSE(isEmpty(PileMaterial::Concrete, 10, 10.001));
    // An inverted concrete range gives the mean of its two end points.
    EXPECT_FALSE(isEmpty(PileMaterial::Concrete, 10, 6));
    ASSERT_EQ(r.points.NP, 2);
    EXPECT_NEAR(r.AVGN, (25 + 15) / 2.0, 1e-12);
}

TEST(BearingLayer, TipOnALayerBottomBelongsToTheLayerBelow) {
    auto s = workedCase();
    s->TPL = 15; // elevation -5, the bottom of the clay
    int IERR = kReportUnit;
    computeConcretePile(IERR, *s);
    ASSERT_EQ(IERR, 0);
    EXPECT_EQ(s->IBL, 2);
    EXPECT_EQ(s->ETBL, -5);
    EXPECT_EQ(s->DA, 0);
    EXPECT_NEAR(s->SFL(1), 44.396, 0.0005);
    EXPECT_EQ(s->TSF, s->SFL(1));
    EXPECT_EQ(s->SFBL, 0);
    EXPECT_EQ(s->ANBL, 0);

    // A shorter pile ends in the clay: no friction above it, nothing left of the longer one.
    s->TPL = 10;
    computeConcretePile(IERR, *s);
    ASSERT_EQ(IERR, 0);
    EXPECT_EQ(s->IBL, 1);
    EXPECT_EQ(s->ETBL, 10);
    EXPECT_EQ(s->SFL(1), 0);
    EXPECT_EQ(s->TSF, 0);
    // The clay from the surface to the tip: N 8, 10, 12 at 0, 5, 10 ft.
    EXPECT_NEAR(s->ANBL, 10, 1e-12);
}

} // namespace
} // namespace zenka
