#include "engine/capacity/PileCapacity.h"

#include "CapacityFixtures.h"
#include "engine/Report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

namespace zenka {
namespace {

using test::compute;
using test::LogEntry;
using test::makeState;
using test::workedCase;
using ::testing::HasSubstr;

TEST(PileCapacity, WorkedCaseSquareConcretePile) {
    auto s = workedCase();
    ReportOut out;
    s->report = &out;
    s->IERR = kReportUnit;
    computeConcretePile(s->IERR, *s); // as the driver calls it
    ASSERT_EQ(s->IERR, 0);
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(s->WP, 18);

    ASSERT_EQ(s->NLAY, 2);
    EXPECT_NEAR(s->ELEVBL(1), -5, 0.5);
    EXPECT_NEAR(s->ELEVBL(2), -50, 0.5);
    EXPECT_NEAR(s->T(1), 15, 0.5);
    EXPECT_NEAR(s->T(2), 45, 0.5);
    EXPECT_EQ(s->LST(1), 1);
    EXPECT_EQ(s->LST(2), 3);
    EXPECT_NEAR(s->AN(1), 12.0, 0.05);
    EXPECT_NEAR(s->AN(2), 42.5, 0.05);
    EXPECT_NEAR(s->AQL(1), 5.578, 0.0005);
    EXPECT_NEAR(s->AQL(2), 45.333, 0.0005);
    EXPECT_NEAR(s->SFL(1), 44.396, 0.0005);
    EXPECT_NEAR(s->TSF, 44.396, 0.0005);
    EXPECT_EQ(s->SFL(2), 0);
    EXPECT_EQ(s->IBL, 2);
    EXPECT_NEAR(s->ETBL, -5, 0.5);
    EXPECT_NEAR(s->ANBL, 27.5, 0.05);
    EXPECT_NEAR(s->AFBL, 0.5225, 0.00005);
    EXPECT_NEAR(s->UL, -8, 0.5);
    EXPECT_NEAR(s->LL, -25.25, 0.005);
    EXPECT_EQ(s->above.NP, 4);
    EXPECT_EQ(s->below.NP, 3);
    EXPECT_NEAR(s->AQPTA, 30.933, 0.0005);
    EXPECT_NEAR(s->AQPTB, 40.133, 0.0005);
    EXPECT_NEAR(s->AQPT, 35.533, 0.0005);
    EXPECT_NEAR(s->AQTBL, 15.302, 0.0005);
    EXPECT_NEAR(s->DA, 15, 0.5);
    EXPECT_EQ(s->CDF, 12);
    EXPECT_NEAR(s->DC, 18, 0.5);
    EXPECT_NEAR(s->MAXB, 79.95, 0.005);
    EXPECT_NEAR(s->SFBL, 47.025, 0.0005);
    EXPECT_NEAR(s->CSFBL, 31.407, 0.0005);
    EXPECT_NEAR(s->CMAXB, 72.363, 0.0005);
    EXPECT_NEAR(s->USF, 75.803, 0.0005);
    EXPECT_NEAR(s->MPC, 148.166, 0.0005);
    EXPECT_NEAR(s->TCP, 74.083, 0.0005);
    EXPECT_NEAR(s->UPC, 292.892, 0.0005);

    // Hand-worked beyond the listed values: the points around the tip (elevation, N, unit end
    // bearing), the critical-depth zone (ECD -23, limits -11 and -28.25) and the section.
    const double above[4][2] = {{-8, 23}, {-10, 25}, {-15, 30}, {-20, 35}};
    for (int k = 1; k <= 4; ++k) {
        EXPECT_NEAR(s->above.Z(k), above[k - 1][0], 1e-12);
        EXPECT_NEAR(s->above.N(k), above[k - 1][1], 1e-12);
        EXPECT_NEAR(s->above.Q(k), above[k - 1][1] * 3.2 / 3, 1e-12);
    }
    const double below[3][2] = {{-20, 35}, {-25, 40}, {-25.25, 40.25}};
    for (int k = 1; k <= 3; ++k) {
        EXPECT_NEAR(s->below.Z(k), below[k - 1][0], 1e-12);
        EXPECT_NEAR(s->below.N(k), below[k - 1][1], 1e-12);
    }
    EXPECT_EQ(s->ECD, -23);
    EXPECT_EQ(s->ULCD, -11);
    EXPECT_EQ(s->LLCD, -28.25);
    EXPECT_NEAR(s->AQPTCD, (32 * 3.2 / 3 + 40.625 * 3.2 / 3) / 2, 1e-12);
    EXPECT_EQ(s->AREA, 2.25);
    EXPECT_EQ(s->PERIM, 6);
    EXPECT_EQ(s->WGP, 0);
    EXPECT_EQ(s->EBP, -20);
}

// A log whose deepest sample is at 30 ft, ground at 10 ft.
std::unique_ptr<AnalysisState> shortLog(int ISECT, double TPL) {
    auto s = makeState({{0, 20, 3}, {10, 20, 3}, {20, 20, 3}, {30, 20, 3}, {40, 0, 0}}, ISECT, 10,
                       12, TPL);
    s->DEPTH = 12;
    s->TAREA = 15.5;
    s->THICK = 0.5;
    return s;
}

TEST(PileCapacity, TipLimitsAtTheirExactBoundaries) {
    const double hair = std::ldexp(1.0, -20);
    for (int ISECT = 1; ISECT <= 5; ++ISECT) {
        // 3.5 widths below the tip reach exactly the deepest sample: accepted.
        auto ok = shortLog(ISECT, 26.5);
        EXPECT_EQ(compute(*ok), 0) << "ISECT " << ISECT;
        EXPECT_EQ(ok->LL, -20);

        struct Case {
            double TPL;
            int code;
            const char* message;
        };
        for (Case c :
             {Case{26.5 + hair, 22,
                   "    *** ERROR *** PILE TIP TOO NEAR END OF BORING LOG FOR LENGTH "
                   "=  26.50 FT"},
              Case{30 - hair, 22, "PILE TIP TOO NEAR END OF BORING LOG FOR LENGTH =  30.00"},
              Case{30, 23,
                   "         *** ERROR *** PILE TIP EXCEEDS BORING LOG FOR LENGTH =  "
                   "30.00 FT"},
              Case{45, 23, "PILE TIP EXCEEDS BORING LOG FOR LENGTH =  45.00 FT"}}) {
            auto s = shortLog(ISECT, c.TPL);
            ReportOut out;
            s->report = &out;
            s->NLAY = -7;
            s->USF = -7;
            s->IERR = kReportUnit;
            if (ISECT == 3 || ISECT == 4)
                computeSteelPile(s->IERR, *s);
            else
                computeConcretePile(s->IERR, *s);
            EXPECT_EQ(s->IERR, c.code) << "ISECT " << ISECT << " TPL " << c.TPL;
            EXPECT_THAT(out.text(), HasSubstr(c.message));
            // Nothing after the check is computed.
            EXPECT_EQ(s->USF, -7);
            EXPECT_EQ(s->NLAY, c.code == 23 ? -7 : 1);
        }
    }

    // The message goes only to the report's own unit, and only when a report is open.
    auto s = shortLog(1, 30);
    ReportOut out;
    s->report = &out;
    int IERR = 6;
    computeConcretePile(IERR, *s);
    EXPECT_EQ(IERR, 23);
    EXPECT_EQ(out.text(), "");
    s->report = nullptr;
    IERR = kReportUnit;
    computeSteelPile(IERR, *s);
    EXPECT_EQ(IERR, 23);

    // A log without two samples above its closing entry takes no pile.
    auto tiny = makeState({{0, 20, 3}, {10, 0, 0}}, 1, 0, 12, 1);
    EXPECT_EQ(compute(*tiny), 23);
}

// Uniform sand of 40 blows down to 30 ft.
std::unique_ptr<AnalysisState> pipeInSand(int IPIPE) {
    auto s = makeState(
        {{0, 40, 3}, {5, 40, 3}, {10, 40, 3}, {15, 40, 3}, {20, 40, 3}, {25, 40, 3}, {30, 0, 0}}, 3,
        0, 12, 10);
    s->IPIPE = IPIPE;
    s->THICK = 0.5;
    return s;
}

TEST(PileCapacity, OpenEndPipeLimitedByInnerWallFriction) {
    auto closed = pipeInSand(2);
    auto open = pipeInSand(1);
    ASSERT_EQ(compute(*closed), 0);
    ASSERT_EQ(compute(*open), 0);

    // Hand-worked: PIPESF(40) = 0.67267 tsf over 10 ft of a 3.1416 ft perimeter; PIPEEB(40) =
    // 33.333 tsf under 0.7854 sq ft; the steel ring weighs 0.30734 tons.
    const double USF = 10 * 3.1416 * (10 * 0.308 / 30 + 0.57);
    const double WGP = 3.1416 * (144 - 121) / 576.0 * 10 * 490 / 2000;
    const double MAXB = 0.7854 * (10 * 4 / 30.0 + 32);
    EXPECT_NEAR(closed->WGP, WGP, 1e-12);
    EXPECT_NEAR(closed->USF, USF, 1e-9);
    EXPECT_NEAR(closed->CMAXB, MAXB, 1e-9);
    EXPECT_NEAR(closed->MPC, USF + MAXB - WGP, 1e-9);
    EXPECT_NEAR(closed->UPC, USF + 3 * MAXB - WGP, 1e-9);
    EXPECT_NEAR(closed->MPC, 47.005, 0.0005);

    const double QPLUG = USF * 11 / 12;
    ASSERT_LT(QPLUG, MAXB);
    EXPECT_NEAR(open->QPLUG, QPLUG, 1e-9);
    EXPECT_NEAR(open->CMAXB, QPLUG, 1e-9);
    EXPECT_NEAR(open->MPC, USF + QPLUG - WGP, 1e-9);
    EXPECT_NEAR(open->TCP, (USF + QPLUG - WGP) / 2, 1e-9);
    EXPECT_NEAR(open->UPC, USF + 3 * QPLUG - WGP, 1e-9);
    EXPECT_NEAR(open->UPC, 78.940, 0.0005);

    // Twice as long, the friction inside holds the plug: the end bearing stays.
    auto longer = pipeInSand(1);
    longer->TPL = 20;
    ASSERT_EQ(compute(*longer), 0);
    EXPECT_GT(longer->QPLUG, longer->MAXB);
    EXPECT_EQ(longer->CMAXB, longer->MAXB);
}

TEST(PileCapacity, CylinderEndBearingLimits) {
    // 36 in cylinder, 60 ft into sand of 60 blows: 64 tsf under 7.0686 sq ft would be 452.4 tons,
    // more than 52.2 tsf allows (368.98 tons).
    struct Case {
        double THICK;
        double CMAXB;
    };
    const double AREA = 3.1416 * 36 * 36 / 576;
    for (Case c : {Case{1, 52.2 * AREA},                  // no plug limit, capped
                   Case{6, 3.1416 * 30 * 6 / 144 * 64.0}, // wall alone, under the cap
                   Case{14, 52.2 * AREA}}) {              // wall alone, still capped
        auto s = makeState({}, 5, 0, 36, 60);
        for (int i = 1; i <= 10; ++i) s->D(i) = 10.0 * (i - 1), s->N(i) = 60, s->ST(i) = 3;
        s->D(11) = 100;
        s->ST(11) = 0;
        s->NSAMP = 11;
        s->THICK = c.THICK;
        ASSERT_EQ(compute(*s), 0);
        EXPECT_NEAR(s->MAXB, AREA * 64, 1e-9);
        EXPECT_NEAR(s->USF, 60 * 3.1416 * 36 / 12 * 1.14, 1e-9);
        EXPECT_NEAR(s->CMAXB, c.CMAXB, 1e-9) << "THICK " << c.THICK;
        EXPECT_NEAR(s->MPC, s->USF + c.CMAXB, 1e-9);
        EXPECT_NEAR(s->TCP, (s->USF + c.CMAXB) / 2, 1e-9);
        EXPECT_NEAR(s->UPC, s->USF + 3 * c.CMAXB, 1e-9);
    }
}

TEST(PileCapacity, NegativeSteelCapacities) {
    // A heavy H-pile in clay: friction and end bearing both carry something, the weight more.
    auto heavy =
        makeState({{0, 10, 1}, {10, 10, 1}, {20, 10, 1}, {30, 10, 1}, {40, 0, 0}}, 4, 0, 12, 20);
    heavy->DEPTH = 12;
    heavy->TAREA = 15.5;
    heavy->UWP = 100000;
    ASSERT_EQ(compute(*heavy), 0);
    ASSERT_GT(heavy->USF, 0);
    ASSERT_GT(heavy->CMAXB, 0);
    EXPECT_NEAR(heavy->WGP, 15.5 * 20 * 100000 / 288000.0, 1e-9);
    EXPECT_LT(heavy->MPC, 0);
    EXPECT_NEAR(heavy->MPC, heavy->USF + heavy->CMAXB - heavy->WGP, 1e-9);
    EXPECT_EQ(heavy->TCP, heavy->MPC / 2);
    EXPECT_LT(heavy->UPC, 0);

    // Void from the surface: no friction and no end bearing.
    auto noFriction =
        makeState({{0, 20, 5}, {5, 20, 5}, {10, 20, 5}, {15, 20, 5}, {20, 0, 0}}, 4, 0, 12, 8);
    noFriction->TAREA = 15.5;
    ASSERT_EQ(compute(*noFriction), 0);
    EXPECT_EQ(noFriction->USF, 0);
    EXPECT_GT(noFriction->WGP, 0);
    EXPECT_EQ(noFriction->MPC, 0);
    EXPECT_EQ(noFriction->TCP, 0);
    EXPECT_EQ(noFriction->UPC, 0);

    // Friction in sand above a void: no end bearing, the weight more than the friction.
    auto noBearing = makeState(
        {{0, 20, 3}, {5, 20, 3}, {10, 20, 5}, {15, 20, 5}, {20, 20, 5}, {25, 0, 0}}, 3, 0, 12, 14);
    noBearing->THICK = 2;
    noBearing->UWP = 100000;
    ASSERT_EQ(compute(*noBearing), 0);
    ASSERT_GT(noBearing->USF, 0);
    EXPECT_EQ(noBearing->CMAXB, 0);
    ASSERT_GT(noBearing->WGP, noBearing->USF);
    EXPECT_EQ(noBearing->MPC, 0);
    EXPECT_EQ(noBearing->TCP, 0);
    EXPECT_EQ(noBearing->UPC, 0);

    // The same pile light enough keeps its positive capacities.
    noBearing->UWP = 490;
    ASSERT_EQ(compute(*noBearing), 0);
    EXPECT_NEAR(noBearing->MPC, noBearing->USF - noBearing->WGP, 1e-12);
    EXPECT_GT(noBearing->MPC, 0);
}

TEST(PileCapacity, ConcretePilesCarryNoWeight) {
    for (int ISECT : {1, 2}) {
        auto s = test::workedCase();
        s->ISECT = ISECT;
        s->UWP = 100000;
        s->THICK = 8; // plays no part for solid piles
        ASSERT_EQ(compute(*s), 0);
        EXPECT_EQ(s->WGP, 0);
        EXPECT_EQ(s->MPC, s->USF + s->CMAXB);
        EXPECT_EQ(s->TCP, s->MPC / 2);
        EXPECT_EQ(s->UPC, s->USF + 3 * s->CMAXB);
    }
}

} // namespace
} // namespace zenka
