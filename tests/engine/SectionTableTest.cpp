// The capacity against penetration table of a range of lengths: heading, lines, notes.

#include "engine/AnalysisState.h"
#include "engine/Report.h"
#include "engine/Sections.h"

#include "support/ReportLines.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace zenka;
using namespace zenka::test;

namespace {

std::unique_ptr<AnalysisState> rangeState(int units, int isect) {
    auto s = std::make_unique<AnalysisState>();
    s->TITLE = "STATIC PILE BEARING CAPACITY ANALYSIS";
    s->PROGID = "ZENKA";
    s->IUNITS = units;
    s->IOPT = 2;
    s->ISECT = isect;
    s->IPIPE = 1;
    s->GSE = 100.0;
    s->WP = 16.0;
    s->THICK = 0.5;
    s->LINES = 100;
    s->IPAGE = 2;
    return s;
}

Lines run(AnalysisState& s, Section code) {
    ReportOut out;
    writeSection(s, out, code);
    return linesOf(out.text());
}

Lines title(const std::string& cont) {
    return {"", "", Cols().at(5, "D. PILE CAPACITY VS. PENETRATION").at(40, cont),
            Cols().at(4, "==================================")};
}

const std::string kBlank11(11, ' ');

const Lines kConcreteHead = {
    "",
    Cols()
        .at(9, " TEST")
        .at(20, "PILE")
        .at(28, "ULTIMATE")
        .at(39, "MOBILIZED")
        .at(50, "ESTIMATED")
        .at(61, "ALLOWABLE")
        .at(72, "ULTIMATE"),
    Cols()
        .at(9, " PILE")
        .at(20, "TIP")
        .at(28, "  SIDE")
        .at(39, "   END")
        .at(50, "DAVISSON")
        .at(61, "  PILE")
        .at(72, "  PILE"),
    Cols()
        .at(9, "LENGTH")
        .at(20, "ELEV")
        .at(28, "FRICTION")
        .at(39, " BEARING")
        .at(50, "CAPACITY")
        .at(61, "CAPACITY")
        .at(72, "CAPACITY"),
};
const std::string kConcreteUnitsEnglish = Cols()
                                              .at(9, " (FT)")
                                              .at(20, "(FT)")
                                              .at(28, " (TONS)")
                                              .at(39, " (TONS)")
                                              .at(50, " (TONS)")
                                              .at(61, " (TONS)")
                                              .at(72, " (TONS)");
const std::string kConcreteUnitsMetric = Cols()
                                             .at(9, " (M)")
                                             .at(20, "(M)")
                                             .at(28, " (kN)")
                                             .at(39, " (kN)")
                                             .at(50, " (kN)")
                                             .at(61, " (kN)")
                                             .at(72, " (kN)");
const std::string kConcreteRule = Cols()
                                      .at(9, "------")
                                      .at(20, "----")
                                      .at(28, "--------")
                                      .at(39, "---------")
                                      .at(50, "---------")
                                      .at(61, "---------")
                                      .at(72, "--------");

const Lines kSteelHead = {
    "",
    Cols()
        .at(7, " TEST")
        .at(17, "PILE")
        .at(25, "WT.")
        .at(33, "ULT.")
        .at(39, "MOBILIZED")
        .at(50, "ESTIMATED")
        .at(61, "ALLOWABLE")
        .at(72, "ULTIMATE"),
    Cols()
        .at(7, " PILE")
        .at(17, "TIP")
        .at(25, "OF")
        .at(31, "  SIDE")
        .at(39, "   END")
        .at(50, "DAVISSON")
        .at(61, "  PILE")
        .at(72, "  PILE"),
    Cols()
        .at(7, "LENGTH")
        .at(17, "ELEV")
        .at(24, "PILE")
        .at(31, "FRICTION")
        .at(39, " BEARING")
        .at(50, "CAPACITY")
        .at(61, "CAPACITY")
        .at(72, "CAPACITY"),
};
const std::string kSteelUnitsEnglish = Cols()
                                           .at(7, " (FT)")
                                           .at(17, "(FT)")
                                           .at(23, "(TONS)")
                                           .at(32, "(TONS)")
                                           .at(39, "  (TONS)")
                                           .at(50, " (TONS)")
                                           .at(61, " (TONS)")
                                           .at(72, " (TONS)");
const std::string kSteelUnitsMetric = Cols()
                                          .at(7, " (M)")
                                          .at(18, "(M)")
                                          .at(25, "(kN)")
                                          .at(34, "(kN)")
                                          .at(41, "  (kN)")
                                          .at(52, " (kN)")
                                          .at(63, " (kN)")
                                          .at(74, " (kN)");
const std::string kSteelRule = Cols()
                                   .at(7, "------")
                                   .at(17, "----")
                                   .at(24, "------")
                                   .at(32, "-------")
                                   .at(39, "--------")
                                   .at(50, "---------")
                                   .at(61, "---------")
                                   .at(72, "--------");

} // namespace

TEST(SectionTableHeading, FourHeadingsCountElevenLines) {
    struct Case {
        int units, isect;
        Lines head;
        std::string unitLine, rule;
    };
    const std::vector<Case> cases = {
        {1, 1, kConcreteHead, kConcreteUnitsEnglish, kConcreteRule},
        {1, 5, kConcreteHead, kConcreteUnitsEnglish, kConcreteRule},
        {2, 2, kConcreteHead, kConcreteUnitsMetric, kConcreteRule},
        {1, 3, kSteelHead, kSteelUnitsEnglish, kSteelRule},
        {2, 4, kSteelHead, kSteelUnitsMetric, kSteelRule},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.units << " " << c.isect);
        auto s = rangeState(c.units, c.isect);
        s->LINES = 55; // no page check, even past the page end
        EXPECT_EQ(run(*s, Section::TableHeading),
                  concat({title(kBlank11), c.head, {c.unitLine, c.rule, ""}}));
        EXPECT_EQ(s->LINES, 66);
        EXPECT_EQ(s->IPAGE, 2);
    }
}

TEST(SectionTableLine, FiftyConcreteLengthsPageAtLine35) {
    auto s = rangeState(1, 1);
    ReportOut out;
    writeSection(*s, out, Section::PileInformation);
    writeSection(*s, out, Section::TableHeading);
    EXPECT_EQ(s->LINES, 25);
    for (int i = 1; i <= 50; ++i) {
        s->TPL = 20 + i;
        s->EBP = s->GSE - s->TPL;
        s->USF = 10 * i + 0.125;
        s->CMAXB = 5 * i;
        s->MPC = s->USF + s->CMAXB;
        s->TCP = s->MPC / 2;
        s->UPC = s->USF + 3 * s->CMAXB;
        writeSection(*s, out, Section::TableLine);
        EXPECT_EQ(s->LINES, i <= 34 ? 25 + i : 8 + (i - 35));
    }
    EXPECT_EQ(s->IPAGE, 4);

    const Lines lines = linesOf(out.text());
    ASSERT_EQ(lines.size(), 15u + 11u + 34u + 7u + 4u + 3u + 16u);
    EXPECT_EQ(lines[26], std::string(Cols()
                                         .at(4, "      21.0")
                                         .at(14, "      79.0")
                                         .at(24, "      10.12")
                                         .at(35, "       5.00")
                                         .at(46, "      15.12")
                                         .at(57, "       7.56")
                                         .at(68, "      25.12")));
    EXPECT_EQ(lines[59].substr(0, 13), "         54.0");
    // Line 35 opens page 4 under the continued title with the concrete unit and rule lines.
    EXPECT_EQ(lines[60], " \f");
    EXPECT_EQ(lines[62].substr(69, 9), "Page    4");
    EXPECT_EQ(slice(lines, 67, 7),
              concat({title("(CONTINUED)"), {kConcreteUnitsEnglish, kConcreteRule, ""}}));
    EXPECT_EQ(lines[74], std::string(Cols()
                                         .at(4, "      55.0")
                                         .at(14, "      45.0")
                                         .at(24, "     350.12")
                                         .at(35, "     175.00")
                                         .at(46, "     525.12")
                                         .at(57, "     262.56")
                                         .at(68, "     875.12")));
    EXPECT_EQ(lines[89].substr(0, 13), "         70.0");
}

TEST(SectionTableLine, MetricSteelLineAndContinuedHeading) {
    auto s = rangeState(2, 4);
    s->TPL = 30.0;
    s->EBP = 70.0;
    s->WGP = 2.0;
    s->USF = 100.0;
    s->CMAXB = 50.0;
    s->MPC = 148.0;
    s->TCP = 74.0;
    s->UPC = 248.0;
    const std::string line = Cols()
                                 .at(3, "      9.1")
                                 .at(12, "     21.3")
                                 .at(21, "  17.79")
                                 .at(28, "   889.64")
                                 .at(37, "    444.82")
                                 .at(47, "    1316.67")
                                 .at(58, "    658.33")
                                 .at(68, "   2206.31");

    s->LINES = 58;
    EXPECT_EQ(run(*s, Section::TableLine), Lines{line});
    EXPECT_EQ(s->LINES, 59);
    const Lines lines = run(*s, Section::TableLine);
    ASSERT_EQ(lines.size(), 7u + 4u + 3u + 1u);
    EXPECT_EQ(slice(lines, 7, 8),
              concat({title("(CONTINUED)"), {kSteelUnitsMetric, kSteelRule, "", line}}));
    EXPECT_EQ(s->LINES, 8);

    // English steel line: lengths F9.1, weight F7.2, the forces F9.2 to F11.2.
    s->IUNITS = 1;
    s->ISECT = 3;
    EXPECT_EQ(run(*s, Section::TableLine), Lines{Cols()
                                                     .at(3, "     30.0")
                                                     .at(12, "     70.0")
                                                     .at(21, "   2.00")
                                                     .at(28, "   100.00")
                                                     .at(37, "     50.00")
                                                     .at(47, "     148.00")
                                                     .at(58, "     74.00")
                                                     .at(68, "    248.00")});
    s->LINES = 59;
    EXPECT_EQ(slice(run(*s, Section::TableLine), 7, 7),
              concat({title("(CONTINUED)"), {kSteelUnitsEnglish, kSteelRule, ""}}));
}

namespace {

const Lines kNotesHead = {"", Cols().at(10, "NOTES"), Cols().at(9, "-------"), ""};
const Lines kNotes2and3 = {
    Cols().at(10, "2. DAVISSON PILE CAPACITY IS AN ESTIMATE BASED ON FAILURE").at(67, " CRITERIA,"),
    Cols().at(13, "AND EQUALS ULTIMATE SIDE FRICTION PLUS").at(51, " MOBILIZED END BEARING."),
    "",
    Cols().at(10, "3. ALLOWABLE PILE CAPACITY IS 1/2 THE DAVISSON PILE CAPACITY."),
    "",
};
const Lines kGeneralNotes = concat({
    kNotesHead,
    {Cols().at(10, "1. MOBILIZED END BEARING IS 1/3 OF THE ORIGINAL RB-407 VALUES."), ""},
    kNotes2and3,
    {Cols().at(10, "4. ULTIMATE PILE CAPACITY IS ULTIMATE SIDE FRICTION PLUS"),
     Cols().at(13, "3 x THE MOBILIZED END BEARING.")},
});

Lines hPileNotes(const std::string& note4Tail, const std::string& note4Line3) {
    return concat({
        kNotesHead,
        {Cols().at(10, "1. FOR PILE TIP EMBEDDED IN SOIL TYPE 3 AND 4, END BEARING IS"),
         Cols()
             .at(13, "CALCULATED BASED ON BLOCK AREA WHILE TRUE X-SECTIONAL")
             .at(66, " AREA IS USED"),
         Cols().at(13, "FOR SOIL TYPE 1 AND 2."), ""},
        kNotes2and3,
        {Cols().at(10, "4. ULT. CAPACITY = ULT. SKIN FRICTION + 2*MOBILIZED END").at(65, note4Tail),
         Cols().at(33, "FOR TIP IN SOIL TYPE 3 OR 4,"), note4Line3,
         Cols().at(33, "FOR TIP IN SOIL TYPE 1 OR 2."), "",
         Cols()
             .at(10, "5. PILE CAPACITIES ARE SET TO ZERO IF THEIR COMPUTED VALUES ")
             .at(70, "ARE"),
         Cols().at(13, "NEGATIVE.")},
    });
}

} // namespace

TEST(SectionTableNotes, MoveToANewPageWhenFewerThan17LinesRemain) {
    for (int units : {1, 2}) {
        SCOPED_TRACE(units);
        auto s = rangeState(units, 1);
        s->LINES = 42; // 17 more make 59: still on this page
        EXPECT_EQ(run(*s, Section::TableNotes), kGeneralNotes);
        EXPECT_EQ(s->LINES, 59);
        EXPECT_EQ(s->IPAGE, 2);

        s->LINES = 43;
        const Lines lines = run(*s, Section::TableNotes);
        ASSERT_EQ(lines.size(), 7u + 4u + kGeneralNotes.size());
        EXPECT_EQ(lines[0], " \f");
        EXPECT_EQ(slice(lines, 7, 100), concat({title("(CONTINUED)"), kGeneralNotes}));
        EXPECT_EQ(s->LINES, 24);
        EXPECT_EQ(s->IPAGE, 3);
    }
}

TEST(SectionTableNotes, HPileNotesBothUnits) {
    auto s = rangeState(1, 4);
    s->LINES = 20;
    EXPECT_EQ(
        run(*s, Section::TableNotes),
        hPileNotes(" BEARING,",
                   Cols().at(27, "= ULT.").at(33, " SKIN FRICTION + 3*MOBILIZED END BEARING,")));
    s->IUNITS = 2;
    s->LINES = 20;
    EXPECT_EQ(
        run(*s, Section::TableNotes),
        hPileNotes(" BEARING - PILE WEIGHT,",
                   Cols().at(27, "= ULT SKIN FRICTION + 3*MOBILIZED END BEARING - PILE WEIGHT,")));
    // A pipe pile has the general notes.
    s->ISECT = 3;
    s->LINES = 20;
    EXPECT_EQ(run(*s, Section::TableNotes), kGeneralNotes);
}
