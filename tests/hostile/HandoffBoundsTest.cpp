// The hand-off's bounds: every value the engine takes is finite and small enough that nothing it
// computes from it overflows. Each bound accepts its own value and refuses what lies beyond,
// and any value in any field ends in a message or in finite results.

#include "Hostile.h"
#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"
#include "run/Handoff.h"
#include "support/Projects.h"
#include "support/ScriptedShell.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace zenka {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using Setter = std::function<void(CPelbrinDoc&, double)>;

class HandoffBounds : public test::ProjectInFolder {
protected:
    RunOutcome outcome = RunOutcome::Refused;
    std::vector<std::string> run() {
        test::ScriptedShell shell;
        outcome = AnalysisHandoff(doc, *state, shell);
        const std::vector<std::string> texts = shell.messageTexts();
        for (const std::string& t : texts) EXPECT_TRUE(test::isHandoffMessage(t)) << t;
        if (outcome != RunOutcome::InvalidSoil && outcome != RunOutcome::Refused) {
            EXPECT_EQ(outcome, RunOutcome::Written);
            EXPECT_TRUE(test::resultsFinite(*state));
        }
        return texts;
    }
};

TEST_F(HandoffBounds, EachLimitAcceptsItsBoundAndRefusesWhatLiesBeyond) {
    struct Limit {
        const char* what;
        int variant;
        Setter set;
        std::vector<double> accepted;
        std::vector<double> refused;
        const char* message;
    };
    const Limit limits[] = {
        {"ground surface elevation",
         0,
         [](CPelbrinDoc& d, double v) { d.groundElevation = v; },
         {1e6, -1e6},
         {1000000.01, -1000000.01, kInf, -kInf, kNaN},
         "Ground surface elevation must be between -1000000 and 1000000"},
        {"unit weight",
         0,
         [](CPelbrinDoc& d, double v) { d.unitWeight = v; },
         {1e6},
         {1000000.5, kInf},
         "Unit weight must be no more than 1000000"},
        {"first width",
         0,
         [](CPelbrinDoc& d, double v) { d.pileWidths[0] = v; },
         {1e6},
         {1000001, kInf},
         "Pile widths must be no more than 1000000"},
        {"second width",
         2,
         [](CPelbrinDoc& d, double v) { d.pileWidths[1] = v; },
         {1e6},
         {kInf},
         "Pile widths must be no more than 1000000"},
        {"H-pile depth",
         1,
         [](CPelbrinDoc& d, double v) { d.hPileDepth = v; },
         {1e6},
         {2e6, kInf},
         "H-pile section depth must be no more than 1000000 and end area no more than 10000000"},
        {"H-pile area",
         1,
         [](CPelbrinDoc& d, double v) { d.hPileEndArea = v; },
         {1e7},
         {10000001, kInf},
         "H-pile section depth must be no more than 1000000 and end area no more than 10000000"},
        {"second length",
         2,
         [](CPelbrinDoc& d, double v) { d.pileLengths[1] = v; },
         {1e6},
         {1000001, kInf},
         "Pile lengths must be no more than 1000000"},
        {"maximum length",
         1,
         [](CPelbrinDoc& d, double v) { d.maxLength = v; },
         {1e6},
         {1000001, kInf},
         "Minimum and maximum pile length and increment must be no more than 1000000"},
        {"length increment",
         1,
         [](CPelbrinDoc& d, double v) { d.lengthIncrement = v; },
         {1e6},
         {kInf},
         "Minimum and maximum pile length and increment must be no more than 1000000"},
        {"closing depth",
         0,
         [](CPelbrinDoc& d, double v) { d.depths[12] = v; },
         {1e6},
         {1000001, kInf},
         "Boring log depths and blow counts must be between -1000000 and 1000000"},
        {"blow count",
         0,
         [](CPelbrinDoc& d, double v) { d.blowCounts[4] = v; },
         {1e6, -1e6},
         {1000001, -1000001, kInf, kNaN},
         "Boring log depths and blow counts must be between -1000000 and 1000000"},
        {"closing blow count",
         0,
         [](CPelbrinDoc& d, double v) { d.blowCounts[12] = v; },
         {-1e6},
         {-kInf},
         "Boring log depths and blow counts must be between -1000000 and 1000000"},
        {"depth step",
         0,
         [](CPelbrinDoc& d, double v) { d.depths[4] = v; },
         {15.01, 24.99},
         {15.009, 24.995},
         "Boring log depths must increase by at least 0.01 from entry to entry"},
    };
    for (const Limit& l : limits) {
        SCOPED_TRACE(l.what);
        for (double v : l.accepted) {
            project(l.variant);
            l.set(doc, v);
            EXPECT_THAT(run(), IsEmpty()) << v;
        }
        for (double v : l.refused) {
            project(l.variant);
            l.set(doc, v);
            EXPECT_THAT(run(), ElementsAre(l.message)) << v;
            EXPECT_EQ(outcome, RunOutcome::Refused);
            EXPECT_NE(outcome, RunOutcome::Written);
        }
    }
}

TEST_F(HandoffBounds, TheBoundsComeAfterTheOtherChecksAndSayNothingTwice) {
    // After every message of the other checks, in their order.
    project(0);
    doc.unitWeight = 0;
    doc.groundElevation = 2e6;
    doc.depths[4] = 15.005;
    EXPECT_THAT(run(), ElementsAre("Unit weight must be greater than 0",
                                   "Ground surface elevation must be between -1000000 and 1000000",
                                   "Boring log depths must increase by at least 0.01 from entry "
                                   "to entry"));

    // A value that an earlier check refuses gets no second message.
    project(0);
    doc.unitWeight = kNaN;
    doc.pileWidths[0] = kNaN;
    doc.depths[6] = kNaN;
    EXPECT_THAT(run(), ElementsAre("At least one pile width must be entered",
                                   "Unit weight must be greater than 0",
                                   "Boring log depths must increase from entry to entry"));
    project(0);
    doc.depths[4] = doc.depths[3];
    EXPECT_THAT(run(), ElementsAre("Boring log depths must increase from entry to entry"));

    // Values the analysis does not take are not looked at.
    project(2);
    doc.pileLengths[2] = 0;
    doc.pileLengths[3] = kInf; // behind a zero: never analysed
    doc.pileWidths[2] = kInf;  // not among the two widths in use
    doc.hPileDepth = kInf;     // not an H-pile
    doc.maxLength = kNaN;      // not a range
    doc.blowCounts[20] = kInf; // behind the closing entry
    doc.waterTable = kInf;     // never handed to the engine
    EXPECT_THAT(run(), IsEmpty());
    EXPECT_EQ(state->cases.size(), 4u);
}

// Any value in any field, as a person might type it or a file might hold it.
TEST_F(HandoffBounds, AnyValueInAnyFieldEndsInAMessageOrFiniteResults) {
    const double values[] = {kNaN, kInf, -kInf,  1e308,  -1e308, 1e6,    1000001,
                             -1,   0,    1e-300, 5e-324, 0.004,  123.456};
    const std::vector<std::pair<const char*, Setter>> fields = {
        {"unitWeight", [](CPelbrinDoc& d, double v) { d.unitWeight = v; }},
        {"groundElevation", [](CPelbrinDoc& d, double v) { d.groundElevation = v; }},
        {"pipeThickness", [](CPelbrinDoc& d, double v) { d.pipeThickness = v; }},
        {"hPileDepth", [](CPelbrinDoc& d, double v) { d.hPileDepth = v; }},
        {"hPileEndArea", [](CPelbrinDoc& d, double v) { d.hPileEndArea = v; }},
        {"waterTable", [](CPelbrinDoc& d, double v) { d.waterTable = v; }},
        {"pileLengths[0]", [](CPelbrinDoc& d, double v) { d.pileLengths[0] = v; }},
        {"pileLengths[1]", [](CPelbrinDoc& d, double v) { d.pileLengths[1] = v; }},
        {"minLength", [](CPelbrinDoc& d, double v) { d.minLength = v; }},
        {"maxLength", [](CPelbrinDoc& d, double v) { d.maxLength = v; }},
        {"lengthIncrement", [](CPelbrinDoc& d, double v) { d.lengthIncrement = v; }},
        {"pileWidths[0]", [](CPelbrinDoc& d, double v) { d.pileWidths[0] = v; }},
        {"pileWidths[1]", [](CPelbrinDoc& d, double v) { d.pileWidths[1] = v; }},
        {"depths[0]", [](CPelbrinDoc& d, double v) { d.depths[0] = v; }},
        {"depths[1]", [](CPelbrinDoc& d, double v) { d.depths[1] = v; }},
        {"depths[6]", [](CPelbrinDoc& d, double v) { d.depths[6] = v; }},
        {"depths[11]", [](CPelbrinDoc& d, double v) { d.depths[11] = v; }},
        {"depths[12]", [](CPelbrinDoc& d, double v) { d.depths[12] = v; }},
        {"blowCounts[0]", [](CPelbrinDoc& d, double v) { d.blowCounts[0] = v; }},
        {"blowCounts[11]", [](CPelbrinDoc& d, double v) { d.blowCounts[11] = v; }},
        {"blowCounts[12]", [](CPelbrinDoc& d, double v) { d.blowCounts[12] = v; }},
    };
    int analysed = 0;
    int refused = 0;
    for (int variant = 0; variant < test::kShapeVariants; ++variant) {
        for (const auto& [name, set] : fields) {
            for (double v : values) {
                SCOPED_TRACE(testing::Message()
                             << "variant " << variant << " " << name << " = " << v);
                project(variant);
                set(doc, v);
                (run().empty() ? analysed : refused)++;
            }
        }
    }
    EXPECT_GT(analysed, 300);
    EXPECT_GT(refused, 300);

    // Integer fields at their extremes.
    const std::vector<std::pair<const char*, std::function<void(CPelbrinDoc&, int)>>> ints = {
        {"units", [](CPelbrinDoc& d, int v) { d.units = v; }},
        {"pileShape", [](CPelbrinDoc& d, int v) { d.pileShape = v; }},
        {"analysisType", [](CPelbrinDoc& d, int v) { d.analysisType = v; }},
        {"pipeEnd", [](CPelbrinDoc& d, int v) { d.pipeEnd = v; }},
        {"widthCount", [](CPelbrinDoc& d, int v) { d.widthCount = v; }},
        {"soilCodes[3]", [](CPelbrinDoc& d, int v) { d.soilCodes[3] = v; }},
    };
    for (int variant = 0; variant < test::kShapeVariants; ++variant) {
        for (const auto& [name, set] : ints) {
            for (int v : {INT_MIN, -1, 0, 6, INT_MAX}) {
                SCOPED_TRACE(testing::Message()
                             << "variant " << variant << " " << name << " = " << v);
                project(variant);
                set(doc, v);
                run();
            }
        }
    }
}

} // namespace
} // namespace zenka
