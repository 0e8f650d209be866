#include "model/ProjectHistory.h"

#include <gtest/gtest.h>

#include <string>

namespace zenka::test {
namespace {

// A project as an opened file leaves it, with its history and the notices it sends.
struct History : ::testing::Test {
    CPelbrinDoc doc;
    ProjectHistory history{doc};
    int notices = 0;
    int told = 0;

    void SetUp() override {
        doc.units = Units::English;
        doc.jobName = "Bridge";
        doc.groundElevation = 10;
        history.clear();
        doc.addChangedListener([this] { ++notices; });
        history.setListener([this] { ++told; });
    }
    void type(const char* field, const std::string& text) {
        history.record(
            std::string("Typing in ") + field,
            [&] {
                (std::string(field) == "jobName" ? doc.jobName : doc.engineer) = text;
                doc.SetModified(true);
            },
            field);
    }
};

TEST_F(History, UndoAndRedoPutBackValuesUnitsAndTheMark) {
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
    history.record("Unit Switch", [&] {
        doc.SetModified(true);
        doc.ConvertUnits(1);
    });
    EXPECT_EQ(doc.groundElevation, 3.048);
    ASSERT_TRUE(history.canUndo());
    EXPECT_EQ(history.undoName(), "Unit Switch");

    history.undo();
    // Exactly as before: 10 ft, not 3.048 m converted back with rounding.
    EXPECT_EQ(doc.groundElevation, 10);
    EXPECT_EQ(doc.units, Units::English);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(history.canUndo());
    EXPECT_EQ(history.redoName(), "Unit Switch");
    EXPECT_GT(notices, 1); // the views reloaded

    history.redo();
    EXPECT_EQ(doc.groundElevation, 3.048);
    EXPECT_EQ(doc.units, Units::Metric);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(history.canRedo());
    EXPECT_GT(told, 0);
}

TEST_F(History, TypingIsOneStepPerFieldAndNothingChangedIsNoStep) {
    type("jobName", "B");
    type("jobName", "Br");
    type("jobName", "Bri");
    type("engineer", "A");
    type("jobName", "Brid");
    EXPECT_EQ(history.undoName(), "Typing in jobName");
    history.undo();
    EXPECT_EQ(doc.jobName, "Bri");
    EXPECT_EQ(history.undoName(), "Typing in engineer");
    history.undo();
    EXPECT_EQ(doc.engineer, "");
    history.undo();
    EXPECT_EQ(doc.jobName, "Bridge");
    EXPECT_FALSE(history.canUndo());

    // A change that leaves every value as it was (a cancelled dialog) is no step; typing that
    // ends where it began leaves none either.
    history.record("Import", [&] { doc.SetModified(true); });
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(history.canRedo()) << "the redo steps stay until a value changes";
    type("jobName", "X");
    EXPECT_FALSE(history.canRedo());
    type("jobName", "Bridge");
    EXPECT_FALSE(history.canUndo());
}

TEST_F(History, ANewStepDropsWhatCouldBeRedoneAndOldStepsGo) {
    type("jobName", "A");
    history.undo();
    type("engineer", "E");
    EXPECT_FALSE(history.canRedo());
    history.undo();
    EXPECT_EQ(doc.jobName, "Bridge");
    EXPECT_FALSE(history.canUndo());

    // Only the latest steps are kept.
    for (std::size_t i = 0; i <= ProjectHistory::kMostSteps; ++i)
        history.record("Step", [&] { doc.groundElevation = static_cast<double>(i + 100); });
    std::size_t undone = 0;
    while (history.canUndo()) {
        history.undo();
        ++undone;
    }
    EXPECT_EQ(undone, ProjectHistory::kMostSteps);
    EXPECT_EQ(doc.groundElevation, 100);
}

TEST_F(History, AChangeOutsideAnyStepIsNeverLostByUndo) {
    type("jobName", "A");
    doc.station = "12+50"; // stored by a command, not as a step
    history.undo();
    EXPECT_EQ(doc.station, "");
    EXPECT_EQ(doc.jobName, "A");
    history.redo();
    EXPECT_EQ(doc.station, "12+50");
    history.undo();
    history.undo();
    EXPECT_EQ(doc.jobName, "Bridge");
}

TEST_F(History, AfterASaveTheMarkSaysWhetherTheFileHoldsTheValues) {
    type("jobName", "A");
    doc.SetModified(false); // written
    history.saved();
    type("jobName", "AB");
    EXPECT_TRUE(doc.IsModified());
    history.undo(); // back to what the file holds
    EXPECT_EQ(doc.jobName, "A");
    EXPECT_FALSE(doc.IsModified());
    history.undo(); // the opened values, which the file no longer holds
    EXPECT_EQ(doc.jobName, "Bridge");
    EXPECT_TRUE(doc.IsModified());
    history.redo();
    EXPECT_FALSE(doc.IsModified());
    history.redo();
    EXPECT_TRUE(doc.IsModified());

    // New and Open start over.
    history.clear();
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
}

TEST_F(History, AChangeMadeWhileOneIsRecordedIsPartOfIt) {
    history.record("Boring Log", [&] {
        doc.depths[0] = 1.5;
        history.record(
            "Typing in jobName", [&] { doc.jobName = "Inner"; }, "jobName");
    });
    EXPECT_EQ(history.undoName(), "Boring Log");
    history.undo();
    EXPECT_EQ(doc.depths[0], 0);
    EXPECT_EQ(doc.jobName, "Bridge");
    EXPECT_FALSE(history.canUndo());
}

} // namespace
} // namespace zenka::test
