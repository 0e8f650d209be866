#include "engine/capacity/EndBearing.h"

#include "CapacityFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zenka {
namespace {

using test::compute;
using test::LogEntry;
using test::makeState;

constexpr double kClay10 = 10 * 0.7 / 3; // ENDBRG of clay at 10 blows

// Dense sand over 5 ft, then weaker clay: the bearing layer is weaker than the layer above.
std::unique_ptr<AnalysisState> sandOverClay(int ISECT, double TPL) {
    auto s = makeState(
        {{0, 40, 3}, {5, 10, 1}, {10, 10, 1}, {15, 10, 1}, {20, 10, 1}, {25, 10, 1}, {30, 0, 0}},
        ISECT, 0, 12, TPL);
    s->DEPTH = 12;
    s->TAREA = 15.5;
    return s;
}

TEST(EndBearing, LayerCutNearTheSurfaceSteelVersusConcrete) {
    // Tip 6 ft down: 8 widths above it reach past the ground surface.
    auto steel = sandOverClay(4, 6);
    auto concrete = sandOverClay(1, 6);
    ASSERT_EQ(compute(*steel), 0);
    ASSERT_EQ(compute(*concrete), 0);
    ASSERT_EQ(steel->IBL, 2);
    ASSERT_LT(steel->AQL(2), steel->AQL(1));

    // Steel: cut down to the top of the clay, so the points above the tip start there.
    EXPECT_EQ(steel->UL, -5);
    EXPECT_EQ(steel->above.Z(1), -5);
    EXPECT_NEAR(steel->AQPTA, kClay10, 1e-12);
    EXPECT_NEAR(steel->AQPT, kClay10, 1e-12);
    EXPECT_EQ(steel->ULTB, -5);
    EXPECT_NEAR(steel->AQTBL, kClay10, 1e-12); // the part below the layer top alone

    // Concrete: limited by the ground surface only, so the sand enters the averages.
    EXPECT_EQ(concrete->UL, 0);
    EXPECT_EQ(concrete->above.Z(1), 0);
    // (42.667 + 2.333) / 2 * 5 ft + 2.333 * 1 ft over 6 ft
    EXPECT_NEAR(concrete->AQPTA, (40 * 3.2 / 3 + kClay10) / 2 * 5 / 6 + kClay10 / 6, 1e-12);
    EXPECT_EQ(concrete->ULTB, 0);
    EXPECT_NEAR(concrete->AQTBL, ((40 * 3.2 / 3 + kClay10) / 2 + kClay10) / 2, 1e-12);

    // Deeper, with the limit below the surface, both piles are cut.
    for (int ISECT : {4, 1}) {
        auto s = sandOverClay(ISECT, 9);
        ASSERT_EQ(compute(*s), 0);
        EXPECT_EQ(s->UL, -5);
        EXPECT_EQ(s->above.Z(1), -5);
    }
}

TEST(EndBearing, TipOnTopOfAWeakerLayerUsesThePartBelow) {
    for (int ISECT : {1, 4}) {
        auto s = makeState({{0, 40, 3},
                            {5, 40, 3},
                            {10, 40, 3},
                            {15, 10, 1},
                            {20, 10, 1},
                            {25, 10, 1},
                            {30, 10, 1},
                            {35, 0, 0}},
                           ISECT, 0, 12, 15);
        s->DEPTH = 12;
        s->TAREA = 15.5;
        ASSERT_EQ(compute(*s), 0);
        EXPECT_EQ(s->IBL, 2);
        EXPECT_EQ(s->DA, 0);
        EXPECT_EQ(s->UL, -15);
        EXPECT_EQ(s->above.NP, 1);
        EXPECT_NEAR(s->AQPTB, kClay10, 1e-12);
        EXPECT_EQ(s->AQPT, s->AQPTB);
    }
}

TEST(EndBearing, CriticalDepthFactorOfSand) {
    struct Case {
        double AN;
        double CDF;
    };
    for (Case c : {Case{12, 6}, Case{12.5, 9}, Case{30, 9}, Case{30.01, 12}}) {
        auto s = makeState(
            {{0, 10, 1}, {5, c.AN, 3}, {10, c.AN, 3}, {15, c.AN, 3}, {20, c.AN, 3}, {25, 0, 0}}, 1,
            0, 12, 12);
        ASSERT_EQ(compute(*s), 0);
        ASSERT_EQ(s->IBL, 2);
        if (c.AN == 12 || c.AN == 30) {
            EXPECT_EQ(s->AN(2), c.AN); // exactly on the boundary
        }
        EXPECT_NEAR(s->AN(2), c.AN, 1e-12);
        EXPECT_EQ(s->CDF, c.CDF) << "AN " << c.AN;
        EXPECT_EQ(s->DC, c.CDF);
        EXPECT_EQ(s->ECD, -5 - c.CDF);
    }

    // Clay 2, mixtures 4, limestone 6 widths.
    for (int soil : {1, 2, 4}) {
        auto s = makeState({{0, 20, soil}, {5, 20, soil}, {10, 20, soil}, {20, 0, 0}}, 1, 0, 6, 5);
        ASSERT_EQ(compute(*s), 0);
        EXPECT_EQ(s->CDF, soil == 1 ? 2 : soil == 2 ? 4 : 6);
        EXPECT_EQ(s->DC, s->CDF * 6 / 12);
    }
}

TEST(EndBearing, CriticalDepthBelowTheBearingLayer) {
    // Five feet of dense sand between clays: 12 widths reach through it.
    auto s = makeState(
        {{0, 10, 1}, {5, 10, 1}, {10, 40, 3}, {15, 40, 1}, {20, 10, 1}, {25, 10, 1}, {30, 0, 0}}, 1,
        0, 12, 12);
    ASSERT_EQ(compute(*s), 0);
    ASSERT_EQ(s->IBL, 2);
    EXPECT_EQ(s->CDF, 12);
    EXPECT_EQ(s->ECD, -22);
    EXPECT_LT(s->ECD, s->ELEVBL(2));
    EXPECT_EQ(s->AQPTCD, s->AQL(2));
    EXPECT_NEAR(s->AQL(2), (40 * 3.2 / 3 + 40 * 0.7 / 3) / 2, 1e-12);
}

TEST(EndBearing, EmbedmentEqualToCriticalDepth) {
    // Clay to 10 ft over loose sand (AN 10, CDF 6): the critical depth is 6 ft.
    const auto log = {LogEntry{0, 10, 1},  LogEntry{5, 10, 1},  LogEntry{10, 10, 3},
                      LogEntry{15, 10, 3}, LogEntry{20, 10, 3}, LogEntry{25, 10, 3},
                      LogEntry{30, 10, 3}, LogEntry{35, 0, 0}};
    auto s = makeState(log, 1, 0, 12, 16);
    ASSERT_EQ(compute(*s), 0);
    EXPECT_EQ(s->DA, 6);
    EXPECT_EQ(s->DC, 6);
    // Hand-worked: AQPTA 82 / 8, AQPTB 32 / 3; AQTBL from 39.5 / 8 above and 32 / 3 below.
    const double AQPT = (82.0 / 8 + 32.0 / 3) / 2;
    const double AQTBL = (39.5 / 8 + 32.0 / 3) / 2;
    const double SFBL = 6 * 4 * 0.19;
    EXPECT_NEAR(s->AQPT, AQPT, 1e-12);
    EXPECT_NEAR(s->AQTBL, AQTBL, 1e-12);
    EXPECT_NEAR(s->SFBL, SFBL, 1e-12);
    // Full embedment: the whole end bearing, and the friction scaled by the mean growth.
    EXPECT_NEAR(s->CMAXB, AQPT * 1, 1e-12);
    EXPECT_NEAR(s->CSFBL, ((AQPT - AQTBL) * 0.5 + AQTBL) * SFBL / AQPT, 1e-12);

    // Half the critical depth: half the growth.
    auto half = makeState(log, 1, 0, 12, 13);
    ASSERT_EQ(compute(*half), 0);
    EXPECT_EQ(half->DA, 3);
    EXPECT_NEAR(half->CMAXB, ((half->AQPT - half->AQTBL) * 0.5 + half->AQTBL) * 1, 1e-12);
    EXPECT_LT(half->CMAXB, half->MAXB);

    // Deeper than the critical depth: friction split at it, no end-bearing correction.
    auto deep = makeState(log, 1, 0, 12, 20);
    ASSERT_EQ(compute(*deep), 0);
    EXPECT_GT(deep->DA, deep->DC);
    EXPECT_EQ(deep->CMAXB, deep->MAXB);
    const double F = deep->PERIM * deep->AFBL;
    EXPECT_NEAR(deep->SFBL, (deep->ECD - deep->EBP) * F + (deep->ETBL - deep->ECD) * F, 1e-12);
    EXPECT_LT(deep->AQTBL, deep->AQPTCD);
    EXPECT_LT(deep->CSFBL, deep->SFBL);
}

TEST(EndBearing, VoidBearingLayer) {
    for (int ISECT : {1, 4}) {
        auto s =
            makeState({{0, 20, 3}, {5, 20, 3}, {10, 20, 5}, {15, 20, 5}, {20, 20, 5}, {25, 0, 0}},
                      ISECT, 0, 12, 14);
        s->DEPTH = 12;
        s->TAREA = 15.5;
        ASSERT_EQ(compute(*s), 0);
        ASSERT_EQ(s->IBL, 2);
        EXPECT_EQ(s->UL, -14);
        EXPECT_EQ(s->LL, -14);
        EXPECT_EQ(s->above.NP, 1);
        EXPECT_EQ(s->below.NP, 1);
        EXPECT_EQ(s->below.Z(1), -14);
        EXPECT_EQ(s->AQPT, 0);
        EXPECT_EQ(s->AQTBL, 0);
        EXPECT_EQ(s->MAXB, 0);
        EXPECT_EQ(s->CMAXB, 0);
        EXPECT_EQ(s->DC, 12 * 0.0000001 / 12);
        EXPECT_GT(s->TSF, 0);
        EXPECT_EQ(s->CSFBL, 0);
    }
}

TEST(EndBearing, HPileBlockAreaInSandTrueAreaInClay) {
    for (int soil : {3, 4, 1}) {
        auto s = makeState({{0, 20, soil},
                            {5, 20, soil},
                            {10, 20, soil},
                            {15, 20, soil},
                            {20, 20, soil},
                            {25, 20, soil},
                            {30, 20, soil},
                            {35, 0, 0}},
                           4, 0, 12, 15);
        s->DEPTH = 12;
        s->TAREA = 15.5;
        ASSERT_EQ(compute(*s), 0);
        const double WGP = 15.5 * 15 * 490 / 288000.0;
        EXPECT_NEAR(s->WGP, WGP, 1e-12);
        EXPECT_EQ(s->PERIM, 4);
        if (soil == 3) {
            EXPECT_EQ(s->AREA, 1); // 12 in by 12 in
            EXPECT_NEAR(s->CMAXB, 20 * 3.2 / 3, 1e-9);
            EXPECT_NEAR(s->USF, 15 * 4 * 0.0112 * 20, 1e-9);
            EXPECT_NEAR(s->UPC, s->USF + 2 * s->CMAXB - WGP, 1e-9);
            EXPECT_NEAR(s->UPC, 55.711, 0.0005);
        } else if (soil == 4) {
            EXPECT_EQ(s->AREA, 1);
            EXPECT_NEAR(s->CMAXB, 20 * 3.6 / 3, 1e-9);
            EXPECT_NEAR(s->USF, 15 * 4 * 0.0076 * 20, 1e-9);
            EXPECT_NEAR(s->UPC, s->USF + 2 * s->CMAXB - WGP, 1e-9);
        } else {
            EXPECT_EQ(s->AREA, 15.5 / 144);
            EXPECT_NEAR(s->CMAXB, 15.5 / 144 * 20 * 0.7 / 3, 1e-9);
            EXPECT_NEAR(s->USF, 15 * 4 * (2 * 20 * 90 / 5335.9), 1e-9);
            EXPECT_NEAR(s->UPC, s->USF + 3 * s->CMAXB - WGP, 1e-9);
            EXPECT_NEAR(s->UPC, 41.592, 0.0005);
        }
        EXPECT_NEAR(s->MPC, s->USF + s->CMAXB - WGP, 1e-9);
    }
}

} // namespace
} // namespace zenka
