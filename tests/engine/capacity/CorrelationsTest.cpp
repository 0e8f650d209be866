#include "engine/capacity/Correlations.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zenka {
namespace {

constexpr Correlation kAll[] = {Correlation::SKFRIC, Correlation::ENDBRG, Correlation::HPILSF,
                                Correlation::PIPESF, Correlation::PIPEEB};

TEST(Correlations, NothingBelowFiveBlowsSomethingAtFive) {
    for (Correlation g : kAll) {
        for (int soil = 1; soil <= 4; ++soil) {
            EXPECT_EQ(correlate(g, 4.99, soil), 0) << static_cast<int>(g) << " soil " << soil;
            if (g == Correlation::PIPESF && soil == 3)
                EXPECT_EQ(correlate(g, 5, soil), 0);
            else
                EXPECT_GT(correlate(g, 5, soil), 0) << static_cast<int>(g) << " soil " << soil;
        }
    }
    EXPECT_NEAR(SKFRIC(5, 1), 0.2621, 0.00005);
    EXPECT_NEAR(ENDBRG(5, 4), 6, 1e-12);
}

TEST(Correlations, VoidAndBottomOfBoringGiveNothing) {
    for (Correlation g : kAll) {
        for (int soil : {0, 5, 6, -1}) {
            for (double N : {0.0, 5.0, 30.0, 60.0, 100.0})
                EXPECT_EQ(correlate(g, N, soil), 0) << static_cast<int>(g) << " soil " << soil;
        }
    }
}

TEST(Correlations, CapsAtSixtyExceptMixedSoilsForHPiles) {
    for (Correlation g : kAll) {
        for (int soil = 1; soil <= 4; ++soil) {
            if (g == Correlation::HPILSF && soil == 2) continue;
            EXPECT_EQ(correlate(g, 80, soil), correlate(g, 60, soil));
        }
    }
    EXPECT_NEAR(HPILSF(80, 2), 0.9182, 0.00005);
    EXPECT_EQ(HPILSF(80, 2), HPILSF(75, 2));
    EXPECT_NEAR(HPILSF(60, 2), 0.8424, 0.00005);
    EXPECT_LT(HPILSF(60, 2), HPILSF(70, 2));
}

TEST(Correlations, HandWorkedValues) {
    EXPECT_NEAR(SKFRIC(30, 1), 1.1980, 0.00005);
    EXPECT_NEAR(SKFRIC(60, 2), 1.3091, 0.00005);
    EXPECT_NEAR(SKFRIC(20, 3), 0.38, 1e-12);
    EXPECT_NEAR(SKFRIC(20, 4), 0.2, 1e-12);
    EXPECT_NEAR(ENDBRG(60, 3), 64, 1e-12);
    EXPECT_NEAR(ENDBRG(30, 1), 7, 1e-12);
    EXPECT_NEAR(ENDBRG(30, 2), 16, 1e-12);
    // 2 * 20 * 90 / 5335.9
    EXPECT_NEAR(HPILSF(20, 1), 0.674675, 0.0000005);
    EXPECT_NEAR(HPILSF(50, 3), 0.56, 1e-12);
    EXPECT_NEAR(HPILSF(50, 4), 0.38, 1e-12);
    // 0.443 ln 20 - 0.507 and 0.401 ln 20 - 0.463
    EXPECT_NEAR(PIPESF(20, 1), 0.820109, 0.0000005);
    EXPECT_NEAR(PIPESF(20, 2), 0.738289, 0.0000005);
    EXPECT_NEAR(PIPESF(100, 4), 0.48, 1e-12);
    EXPECT_NEAR(PIPEEB(60, 3), 36, 1e-12);
    EXPECT_NEAR(PIPEEB(60, 4), 43, 1e-12);
    EXPECT_NEAR(PIPEEB(45, 4), 39.5, 1e-12);
}

TEST(Correlations, PipeSandFrictionJumpsAtThirtyEndBearingDoesNot) {
    EXPECT_NEAR(PIPESF(30, 3), 0.1170, 0.00005);
    EXPECT_NEAR(PIPESF(30.000001, 3), 0.5700, 0.00005);
    EXPECT_NEAR(PIPESF(6, 3), 0.05, 1e-12);
    EXPECT_NEAR(PIPESF(60, 3), 0.878, 1e-12);
    // Just above five blows the logarithm is negative and the value is kept.
    EXPECT_LT(PIPESF(5.05, 3), 0);

    EXPECT_NEAR(PIPEEB(30, 3), 32, 1e-12);
    EXPECT_NEAR(PIPEEB(30.000001, 3), 32, 1e-5);
    EXPECT_NEAR(PIPEEB(30, 4), 36, 1e-12);
    EXPECT_NEAR(PIPEEB(30.000001, 4), 36, 1e-5);
    for (int soil = 1; soil <= 4; ++soil) {
        for (double N : {5.0, 12.5, 30.0}) EXPECT_NEAR(PIPEEB(N, soil), ENDBRG(N, soil), 1e-12);
    }
    EXPECT_LT(PIPEEB(40, 3), ENDBRG(40, 3));
}

TEST(Correlations, EachPileSectionUsesItsPair) {
    for (int ISECT : {1, 2, 5}) {
        EXPECT_EQ(pileCorrelations(ISECT).skinFriction, Correlation::SKFRIC);
        EXPECT_EQ(pileCorrelations(ISECT).endBearing, Correlation::ENDBRG);
    }
    EXPECT_EQ(pileCorrelations(3).skinFriction, Correlation::PIPESF);
    EXPECT_EQ(pileCorrelations(3).endBearing, Correlation::PIPEEB);
    EXPECT_EQ(pileCorrelations(4).skinFriction, Correlation::HPILSF);
    EXPECT_EQ(pileCorrelations(4).endBearing, Correlation::ENDBRG);
}

} // namespace
} // namespace zenka
