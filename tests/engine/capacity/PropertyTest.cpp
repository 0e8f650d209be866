#include "engine/capacity/PileCapacity.h"

#include "CapacityFixtures.h"
#include "engine/Report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

namespace zenka {
namespace {

// A random valid project: increasing depths, soil groups 1..5 closed by a 0 entry, any pile.
void randomState(std::mt19937& rng, AnalysisState& s) {
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<>(lo, hi)(rng);
    };
    auto integer = [&](int lo, int hi) { return std::uniform_int_distribution<>(lo, hi)(rng); };

    s = AnalysisState{};
    s.NSAMP = integer(0, 3) == 0 ? kMaxSamples : integer(3, kMaxSamples);
    double depth = integer(0, 1) == 0 ? 0 : uniform(0, 5);
    int soil = integer(1, 5);
    for (int i = 1; i <= kMaxSamples; ++i) {
        s.D(i) = depth;
        // Blow counts from none through the caps, some exactly at the breaks.
        s.N(i) = integer(0, 5) == 0 ? double(integer(0, 8) * 5) : uniform(0, 90);
        if (integer(0, 2) == 0) soil = integer(1, 5); // runs of one soil, as logs have
        s.ST(i) = i < s.NSAMP ? soil : (i == s.NSAMP ? 0 : integer(0, 5));
        depth += integer(0, 3) == 0 ? double(integer(1, 4)) : uniform(0.1, 6);
    }
    s.ISECT = integer(1, 5);
    s.IPIPE = integer(1, 2);
    s.IUNITS = integer(1, 2);
    s.GSE = integer(0, 1) == 0 ? 0 : uniform(-100, 300);
    s.UWP = uniform(50, 600);
    s.NW = integer(1, kMaxWidths);
    // A width left empty after the first still reaches the computation.
    for (int k = 1; k <= s.NW; ++k)
        s.PWID(k) = k > 1 && integer(0, 9) == 0 ? 0 : integer(0, 3) == 0 ? 12.0 : uniform(4, 60);
    s.IW = integer(1, s.NW);
    s.THICK = uniform(0.1, std::max(s.PWID(s.IW), 1.0) / 3);
    s.DEPTH = uniform(6, 24);
    s.TAREA = uniform(5, 40);
    // Mostly tips that fit the log, some too deep; some exactly at a layer change.
    const double deepest = s.D(s.NSAMP - 1);
    s.TPL = uniform(0, deepest * 1.05);
    if (integer(0, 5) == 0) s.TPL = s.D(integer(1, s.NSAMP - 1));
}

template <int Size> bool finitePoints(const PointList<Size>& p) {
    if (p.NP < 1 || p.NP > Size) return false;
    for (int k = 1; k <= p.NP; ++k) {
        if (!std::isfinite(p.Z(k)) || !std::isfinite(p.N(k)) || !std::isfinite(p.Q(k)))
            return false;
    }
    return true;
}

TEST(PileCapacityProperties, RandomProjectsGiveFiniteConsistentResults) {
    std::mt19937 rng(20240607);
    auto s = std::make_unique<AnalysisState>();
    auto before = std::make_unique<AnalysisState>();
    int succeeded = 0;
    int failed22 = 0;
    int failed23 = 0;
    for (int run = 0; run < 4000; ++run) {
        randomState(rng, *s);
        ReportOut out;
        s->report = &out;
        *before = *s;
        const int code = test::compute(*s);
        SCOPED_TRACE(testing::Message() << "run " << run << " ISECT " << s->ISECT << " NSAMP "
                                        << s->NSAMP << " TPL " << s->TPL << " WP " << s->WP);

        ASSERT_TRUE(s->D == before->D);
        ASSERT_TRUE(s->N == before->N);
        ASSERT_TRUE(s->ST == before->ST);
        ASSERT_EQ(s->NSAMP, before->NSAMP);
        ASSERT_EQ(s->TPL, before->TPL);

        const bool tooDeep = s->D(s->NSAMP - 1) <= s->TPL;
        if (code != 0) {
            ASSERT_EQ(code, tooDeep ? 23 : 22);
            ASSERT_NE(out.text(), "");
            (code == 23 ? failed23 : failed22)++;
            continue;
        }
        ASSERT_FALSE(tooDeep);
        ASSERT_EQ(out.text(), "");
        ++succeeded;

        ASSERT_GE(s->NLAY, 1);
        ASSERT_LE(s->NLAY, s->NSAMP - 1);
        ASSERT_GE(s->IBL, 1);
        ASSERT_LE(s->IBL, s->NLAY);
        ASSERT_LT(s->ELEVBL(s->IBL), s->EBP);
        ASSERT_GE(s->ETBL, s->EBP - 1e-9); // layer thicknesses carry rounding
        for (int K = 1; K <= s->NLAY; ++K) {
            ASSERT_TRUE(std::isfinite(s->ELEVBL(K)) && std::isfinite(s->T(K)) &&
                        std::isfinite(s->AN(K)) && std::isfinite(s->AQL(K)) &&
                        std::isfinite(s->SFL(K)))
                << "layer " << K;
            ASSERT_GT(s->T(K), 0);
        }
        ASSERT_TRUE(finitePoints(s->above));
        ASSERT_TRUE(finitePoints(s->below));
        for (double v :
             {s->AREA, s->PERIM, s->AWALL, s->WGP,   s->TSF,  s->ETBL, s->ANBL,   s->AFBL,
              s->UL,   s->LL,    s->AQPTA, s->AQPTB, s->AQPT, s->ULTB, s->LLTB,   s->AQTBL,
              s->DA,   s->CDF,   s->DC,    s->ECD,   s->ULCD, s->LLCD, s->AQPTCD, s->MAXB,
              s->SFBL, s->CSFBL, s->CMAXB, s->USF,   s->MPC,  s->TCP,  s->UPC,    s->QPLUG})
            ASSERT_TRUE(std::isfinite(v)) << v;

        ASSERT_EQ(s->TCP, s->MPC / 2);
        ASSERT_EQ(s->USF, s->TSF + s->CSFBL);
        if (s->ISECT == 5) {
            ASSERT_LE(s->CMAXB, 52.2 * s->AREA);
        }
    }
    // The draw reaches every outcome often enough to mean something.
    EXPECT_GT(succeeded, 2000);
    EXPECT_GT(failed22, 50);
    EXPECT_GT(failed23, 50);
}

} // namespace
} // namespace zenka
