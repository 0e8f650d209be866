// Values as a person types them on the main form and in the boring log editor, at each field's
// bounds and just beyond, read as those fields read them and run to the report. Each ends in a
// message (the field's own or the hand-off's), or in a report with no NaN, no infinity and no
// field of asterisks; asterisks only where a value that passed is too wide for its column.

#include "Hostile.h"
#include "engine/AnalysisState.h"
#include "engine/Driver.h"
#include "forms/BoringLogEdit.h"
#include "forms/FormLogic.h"
#include "model/PelbrinDoc.h"
#include "run/Handoff.h"
#include "support/ScriptedShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace zenka {
namespace {

// How far a typed value got.
enum class Outcome {
    Field,    // the field refused it with its own message
    Handoff,  // the hand-off refused the project
    Report,   // a report with every field printed
    Overflow, // a report in which a value too wide for its column prints as asterisks
};

void PrintTo(Outcome o, std::ostream* os) {
    const char* names[] = {"field message", "hand-off message", "report", "report with asterisks"};
    *os << names[static_cast<int>(o)];
}

// The main form's number fields take any number, or one from 0 to a million or ten million; the
// widgets' own tests check which field takes which.
enum class Range { Any, Million, TenMillion };

struct Typed {
    const char* text;
    Outcome outcome;
};

// A run of asterisks is a field that could not print its value, once the report's own texts
// made of asterisks are taken out; single ones are report text as well.
bool hasAsteriskField(std::string report) {
    for (const std::string text : {"*** ERROR ***", "*** THE MAXIMUM PILE LENGTH"})
        for (std::size_t at; (at = report.find(text)) != std::string::npos;)
            report.erase(at, text.size());
    return report.find("**") != std::string::npos;
}

class TypedBounds : public test::ProjectInFolder {
protected:
    void project(int variant) {
        ProjectInFolder::project(variant);
        std::remove(reportPathOf(doc.files).c_str());
    }

    // The main form's reading of a number field, then its store step.
    std::optional<std::string> typeOnForm(const std::string& text, Range range,
                                          const std::function<void(FormValues&, double)>& set) {
        const std::optional<double> number = parseNumber(text);
        if (!number) return kEnterNumber;
        const double high = range == Range::TenMillion ? 10000000.0 : 1000000.0;
        if (range != Range::Any && (*number < 0 || *number > high))
            return numberRangeMessage(0, high);
        FormValues v = loadFormValues(doc);
        set(v, *number);
        storeFormValues(v, doc);
        return std::nullopt;
    }

    // A field of a boring log page, then OK: the end-of-log repair and the write back.
    std::optional<std::string> typeInLog(const std::string& text, int entry, char column) {
        WorkingLog log = logOf(doc);
        LogEntry e = log.entry(entry);
        if (column == 's') {
            const std::optional<int> code = parseInteger(text);
            if (!code) return kEnterInteger;
            e.soilType = *code;
        } else {
            const std::optional<double> number = parseNumber(text);
            if (!number) return kEnterNumber;
            (column == 'd' ? e.depth : e.blowCount) = *number;
        }
        log.setEntry(entry, e);
        repairEndOfLog(log);
        writeLogBack(log, doc);
        return std::nullopt;
    }

    Outcome run(const std::optional<std::string>& fieldMessage) {
        if (fieldMessage) return Outcome::Field;
        test::ScriptedShell shell;
        const RunOutcome outcome = AnalysisHandoff(doc, *state, shell);
        const std::vector<std::string> messages = shell.messageTexts();
        for (const std::string& m : messages) EXPECT_TRUE(test::isHandoffMessage(m)) << m;
        if (outcome != RunOutcome::Written) {
            EXPECT_FALSE(messages.empty()) << "no report and no message";
            return Outcome::Handoff;
        }
        EXPECT_TRUE(messages.empty());
        // With every computed value finite, asterisks can only be finite values too wide.
        EXPECT_TRUE(test::resultsFinite(*state));
        const std::string report = test::readFile(reportPathOf(doc.files));
        EXPECT_FALSE(report.empty());
        EXPECT_EQ(report.find("nan"), std::string::npos);
        EXPECT_EQ(report.find("inf"), std::string::npos);
        return hasAsteriskField(report) ? Outcome::Overflow : Outcome::Report;
    }
};

TEST_F(TypedBounds, MainFormFieldsAtTheirBoundsAndJustBeyond) {
    struct Field {
        const char* name;
        int variant; // a project that uses the field: see test::fillShape
        Range range;
        std::function<void(FormValues&, double)> set;
        std::vector<Typed> typed;
    };
    using O = Outcome;
    const Field fields[] = {
        {"unit weight",
         0,
         Range::Million,
         [](FormValues& v, double x) { v.unitWeight = x; },
         {{"-0.000001", O::Field},
          {"0", O::Handoff},
          {"0.000001", O::Report},
          {"1000000", O::Report},
          {"1000000.000001", O::Field}}},
        // Elevations print in six columns: the ground surface and every elevation below it.
        {"ground surface elevation",
         0,
         Range::Any,
         [](FormValues& v, double x) { v.groundElevation = x; },
         {{"-1000000.01", O::Handoff},
          {"-1000000", O::Overflow},
          {"1000000", O::Overflow},
          {"1000000.01", O::Handoff},
          {"1e308", O::Handoff}}},
        {"metric ground surface elevation",
         3,
         Range::Any,
         [](FormValues& v, double x) { v.groundElevation = x; },
         {{"-1000000", O::Overflow}, {"1000000.01", O::Handoff}}},
        // A width of a million inches does not fit the width's column.
        {"first width",
         0,
         Range::Million,
         [](FormValues& v, double x) { v.widths[0] = x; },
         {{"-0.01", O::Field},
          {"0", O::Handoff},
          {"0.000001", O::Report},
          {"1000000", O::Overflow},
          {"1000000.01", O::Field}}},
        {"second width",
         2,
         Range::Million,
         [](FormValues& v, double x) { v.widths[1] = x; },
         {{"0", O::Report}, {"1000000", O::Overflow}, {"1000000.01", O::Field}}},
        {"pipe wall thickness",
         2, // widths 18 and 24 in
         Range::Million,
         [](FormValues& v, double x) { v.pipeThickness = x; },
         {{"-0.01", O::Field},
          {"0", O::Handoff},
          {"0.01", O::Report},
          {"8.99", O::Report},
          {"9", O::Handoff},
          {"1000000", O::Handoff},
          {"1000000.01", O::Field}}},
        {"metric wall thickness",
         3, // width 1371.6 mm
         Range::Million,
         [](FormValues& v, double x) { v.pipeThickness = x; },
         {{"0.000001", O::Report}, {"685.79", O::Report}, {"685.8", O::Handoff}}},
        // A million-inch section depth fills its column, and the capacities it gives (millions
        // of tons) fill theirs in the capacity table.
        {"H-pile section depth",
         1,
         Range::Any,
         [](FormValues& v, double x) { v.hPileDepth = x; },
         {{"-0.01", O::Handoff},
          {"0", O::Handoff},
          {"0.000001", O::Report},
          {"1000000", O::Overflow},
          {"1000000.01", O::Handoff}}},
        // Ten million square inches fill the area's column and the pile weight's; the pile then
        // weighs more than it carries, and the capacities print negative.
        {"H-pile end area",
         1,
         Range::TenMillion,
         [](FormValues& v, double x) { v.hPileEndArea = x; },
         {{"-0.01", O::Field},
          {"0", O::Handoff},
          {"0.000001", O::Report},
          {"10000000", O::Overflow},
          {"10000000.01", O::Field}}},
        // A million-foot pile fills the length and tip elevation columns before the log ends it.
        {"first pile length",
         0,
         Range::Million,
         [](FormValues& v, double x) { v.lengths[0] = x; },
         {{"-0.01", O::Field},
          {"0", O::Handoff},
          {"0.000001", O::Report},
          {"1000000", O::Overflow},
          {"1000000.01", O::Field}}},
        {"tenth pile length",
         2,
         Range::Million,
         [](FormValues& v, double x) { v.lengths[9] = x; },
         {{"1000000", O::Report}, {"1000000.01", O::Field}}},
        {"minimum pile length",
         1,
         Range::Million,
         [](FormValues& v, double x) { v.minLength = x; },
         {{"-0.01", O::Field},
          {"0", O::Handoff},
          {"0.000001", O::Report},
          {"60", O::Report},
          {"60.01", O::Handoff},
          {"1000000.01", O::Field}}},
        {"maximum pile length",
         1,
         Range::Any,
         [](FormValues& v, double x) { v.maxLength = x; },
         {{"-0.01", O::Handoff},
          {"19.99", O::Handoff},
          {"20", O::Report},
          {"1000000", O::Report},
          {"1000000.01", O::Handoff}}},
        {"pile length increment",
         3,
         Range::Any,
         [](FormValues& v, double x) { v.lengthIncrement = x; },
         {{"-0.01", O::Handoff},
          {"0", O::Handoff},
          {"0.000001", O::Report},
          {"1000000", O::Report},
          {"1000000.01", O::Handoff}}},
        {"water table",
         0,
         Range::Any,
         [](FormValues& v, double x) { v.waterTable = x; },
         {{"1e308", O::Report}, {"-1e308", O::Report}, {"1e309", O::Field}}},
    };
    for (const Field& f : fields) {
        for (const Typed& t : f.typed) {
            SCOPED_TRACE(testing::Message() << f.name << " typed as " << t.text);
            project(f.variant);
            EXPECT_EQ(run(typeOnForm(t.text, f.range, f.set)), t.outcome);
        }
    }
}

TEST_F(TypedBounds, BoringLogFieldsAtTheirBoundsAndJustBeyond) {
    // The worked case: entries 1 to 12 at depths 0 to 55 ft, the end of the log at 60 ft.
    struct Field {
        const char* name;
        int variant;
        int entry;
        char column; // d depth, b blow count, s soil type
        std::vector<Typed> typed;
    };
    using O = Outcome;
    // Depths of a million fill the depth and elevation columns of the log and the layers; blow
    // counts of a million fill the log's blow count column and the averages taken from them.
    const Field fields[] = {
        {"first depth",
         0,
         1,
         'd',
         {{"-1000000.01", O::Handoff},
          {"-1000000", O::Overflow},
          {"4.99", O::Report},
          {"4.995", O::Handoff},
          {"5", O::Handoff},
          {"1e400", O::Field}}},
        {"closing depth",
         0,
         13,
         'd',
         {{"55", O::Handoff},
          {"55.01", O::Report},
          {"1000000", O::Overflow},
          {"1000000.01", O::Handoff}}},
        {"blow count",
         0,
         5,
         'b',
         {{"-1000000.01", O::Handoff},
          {"-1000000", O::Overflow},
          {"0", O::Report},
          {"1000000", O::Overflow},
          {"1000000.01", O::Handoff},
          {"1e-320", O::Report}}},
        {"closing blow count",
         0,
         13,
         'b',
         {{"-1000000", O::Overflow}, {"1000000", O::Overflow}, {"1000000.01", O::Handoff}}},
        {"metric depth", 3, 13, 'd', {{"1000000", O::Overflow}, {"1000000.01", O::Handoff}}},
        {"soil type",
         0,
         5,
         's',
         {{"-1", O::Handoff},
          {"0", O::Report},
          {"5", O::Report},
          {"6", O::Handoff},
          {"45", O::Report},
          {"46", O::Handoff},
          {"2147483647", O::Handoff},
          {"2147483648", O::Field},
          {"-2147483648", O::Handoff}}},
        {"soil type behind the log", 0, 20, 's', {{"3", O::Report}, {"99", O::Handoff}}},
    };
    for (const Field& f : fields) {
        for (const Typed& t : f.typed) {
            SCOPED_TRACE(testing::Message() << f.name << " typed as " << t.text);
            project(f.variant);
            EXPECT_EQ(run(typeInLog(t.text, f.entry, f.column)), t.outcome);
        }
    }
}

} // namespace
} // namespace zenka
