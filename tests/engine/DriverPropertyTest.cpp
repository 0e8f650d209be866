// Random valid projects of every shape, both unit systems and both analysis types, through the
// hand-off and the driver: every computed case must be finite and self-consistent, and the
// analysis must leave the boring log as it was handed over.

#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"
#include "run/Handoff.h"
#include "support/ScriptedShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

namespace zenka {
namespace {

constexpr int kValidCodes[] = {1,  11, 2,  21, 22, 23, 24, 25, 26, 27, 28, 3,
                               31, 32, 33, 34, 35, 4,  41, 42, 43, 44, 45, 5};

class RandomProject {
public:
    explicit RandomProject(unsigned seed) : rng_(seed) {}

    void fill(CPelbrinDoc& doc) {
        doc.ResetProject();
        const bool metric = coin();
        const double len = metric ? 0.3048 : 1.0; // ft to the project's length unit
        const double small = metric ? 25.4 : 1.0; // in to the project's small length unit
        doc.units = metric ? 2 : 1;
        doc.pileShape = uniformInt(1, 5);
        doc.pipeEnd = uniformInt(1, 2);
        doc.unitWeight = (doc.pileShape == 3 || doc.pileShape == 4 ? 490.0 : 150.0) *
                         (metric ? 0.15708740670207796 : 1.0);
        doc.groundElevation = uniform(-50, 100) * len;

        doc.widthCount = uniformInt(1, 5);
        for (int i = 0; i < doc.widthCount; ++i) doc.pileWidths[i] = uniform(8, 60) * small;
        doc.pipeThickness = uniform(0.25, 3.9) * small; // under half of the smallest width
        doc.hPileDepth = uniform(8, 20) * small;
        doc.hPileEndArea = uniform(10, 40) * small * small;

        const int entries = uniformInt(3, 225); // the closing entry included
        double depth = coin() ? 0 : uniform(0, 3);
        for (int i = 0; i < entries; ++i) {
            doc.depths[i] = depth * len;
            doc.blowCounts[i] = std::round(uniform(0, 90));
            doc.soilCodes[i] = i + 1 == entries ? 0 : kValidCodes[uniformInt(0, 23)];
            depth += uniform(0.5, 6);
        }
        const double bottom = doc.depths[entries - 2] / len;

        doc.analysisType = uniformInt(1, 2);
        if (doc.analysisType == 1) {
            const int n = uniformInt(1, 10);
            for (int j = 0; j < n; ++j) doc.pileLengths[j] = uniform(1, bottom * 1.1) * len;
        } else {
            doc.minLength = uniform(1, bottom) * len;
            doc.maxLength = doc.minLength + uniform(0, bottom) * len;
            doc.lengthIncrement = uniform(0.5, 10) * len;
        }
    }

private:
    bool coin() { return uniformInt(0, 1) == 1; }
    int uniformInt(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng_); }
    double uniform(double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(rng_);
    }
    std::mt19937 rng_;
};

TEST(DriverProperties, RandomProjectsGiveFiniteConsistentResults) {
    test::TempDir dir;
    auto state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    RandomProject random(20261209);
    int cases = 0;
    for (int run = 0; run < 2000; ++run) {
        random.fill(doc);
        doc.files.INFILE = "random.in";
        doc.files.OUTFILE = "random.out";
        doc.files.OUTDIR = dir.path();
        test::ScriptedShell shell;
        const RunOutcome outcome = AnalysisHandoff(doc, *state, shell);
        ASSERT_NE(outcome, RunOutcome::InvalidSoil) << run;
        ASSERT_TRUE(shell.messages.empty()) << run << ": " << shell.messages.front().text;
        ASSERT_EQ(outcome, RunOutcome::Written) << run;

        for (const CaseResult& c : state->cases) {
            ++cases;
            for (double v : {c.USF, c.CMAXB, c.MPC, c.TCP, c.UPC, c.TSF, c.CSFBL})
                ASSERT_TRUE(std::isfinite(v)) << run << " width " << c.IW << " length " << c.TPL;
            ASSERT_EQ(c.TCP, c.MPC / 2) << run;
            ASSERT_EQ(c.USF, c.TSF + c.CSFBL) << run;
        }
        const double len = doc.units == 2 ? doc.lengthFactor : 1.0;
        for (int i = 1; i <= kMaxSamples; ++i) {
            ASSERT_EQ(state->D(i), doc.depths[i - 1] / len) << run << " entry " << i;
            ASSERT_EQ(state->N(i), doc.blowCounts[i - 1]) << run << " entry " << i;
            const int code = doc.soilCodes[i - 1];
            ASSERT_EQ(state->ST(i), code < 10 ? code : code / 10) << run << " entry " << i;
        }
    }
    // Most random projects compute something; a generator that only made failures would test
    // nothing.
    EXPECT_GT(cases, 4000);
}

} // namespace
} // namespace zenka
