#include "project/FileCommands.h"

#include "SampleProjects.h"
#include "TestFiles.h"
#include "base/AtomicFile.h"
#include "project/InputFile.h"
#include "support/ScriptedShell.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace zenka::test::projectfiles {
namespace {

class FileCommands : public ::testing::Test {
protected:
    FileCommands() {
        doc.addChangedListener([this] { ++notices; });
    }
    void TearDown() override { setWriteFailureAfterBytesForTesting(-1); }

    // A project saved at path, then edited (modified and different from the file).
    void savedThenEdited(const std::string& path) {
        fillExample(doc);
        shell.saveChoices.push_back(path);
        ASSERT_TRUE(SaveProjectAs(doc, shell));
        doc.jobName = "edited";
        doc.SetModified(true);
        notices = 0;
    }

    TempFolder dir;
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
    ScriptedShell shell;
    int notices = 0;
};

// Graph windows that count how often the project closed them.
struct ClosingCount : GraphWindows {
    void closeAll() override { ++closed; }
    int closed = 0;
};

TEST_F(FileCommands, SaveAsNamesTheProjectAndWritesTheFile) {
    fillExample(doc);
    doc.SetModified(true);
    const std::string path = dir.file("a.b.in");
    shell.saveChoices.push_back(path);
    ASSERT_TRUE(SaveProject(doc, shell)); // no file yet: Save is Save As

    ASSERT_EQ(shell.saveDialogs.size(), 1u);
    EXPECT_EQ(shell.saveDialogs[0].filters, std::vector<std::string>{"Input File (*.in)"});
    EXPECT_EQ(shell.saveDialogs[0].defaultSuffix, "in");
    EXPECT_TRUE(shell.saveDialogs[0].confirmOverwrite);
    EXPECT_EQ(readBytes(path), kExampleFile);
    EXPECT_EQ(doc.pathName, path);
    EXPECT_EQ(doc.fileName, "a.b.in");
    EXPECT_EQ(doc.title, path);
    EXPECT_EQ(doc.files.INFILE, "a.b.in");
    EXPECT_EQ(doc.files.OUTFILE, "a.b.out");
    EXPECT_EQ(doc.files.OUTDIR, dir.path());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(notices, 1);
    EXPECT_TRUE(shell.messages.empty());

    // Save again goes to the same file without a dialog, normalising what it writes.
    doc.units = -1;
    doc.pipeEnd = 0;
    doc.SetModified(true);
    ASSERT_TRUE(SaveProject(doc, shell));
    EXPECT_EQ(shell.saveDialogs.size(), 1u);
    EXPECT_EQ(crlfLines(readBytes(path))[0], "2");
    EXPECT_EQ(crlfLines(readBytes(path))[8], "1 2");
    EXPECT_EQ(doc.units, 2);
    EXPECT_EQ(doc.pipeEnd, 2);
    EXPECT_EQ(notices, 2);
}

TEST_F(FileCommands, CancelledSaveAsChangesNothing) {
    fillExample(doc);
    doc.units = -1;
    doc.SetModified(true);
    doc.files.INFILE = " ";
    doc.files.OUTFILE = "old.out";
    EXPECT_FALSE(SaveProject(doc, shell));
    EXPECT_EQ(shell.saveDialogs.size(), 1u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.pathName, "");
    EXPECT_EQ(doc.units, -1);
    EXPECT_EQ(doc.files.INFILE, " ");
    EXPECT_EQ(doc.files.OUTFILE, "old.out");
    EXPECT_EQ(notices, 0);
    EXPECT_TRUE(dir.names().empty());
}

TEST_F(FileCommands, FailedSaveKeepsTheOldFileAndTheModifiedMark) {
    const std::string path = dir.file("bridge.in");
    savedThenEdited(path);
    setWriteFailureAfterBytesForTesting(30);
    EXPECT_FALSE(SaveProject(doc, shell));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text,
              "Disk full while accessing " + path + ".\n" + std::strerror(ENOSPC));
    EXPECT_EQ(shell.messages[0].kind, MessageKind::Warning);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(readBytes(path), kExampleFile);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"bridge.in"});

    // Save As into a folder that does not exist: the new names stay, so does the mark.
    setWriteFailureAfterBytesForTesting(-1);
    const std::string bad = dir.file("missing/other.in");
    shell.saveChoices.push_back(bad);
    EXPECT_FALSE(SaveProjectAs(doc, shell));
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[1].text,
              "All or part of the path " + bad + " is not valid.\n" + std::strerror(ENOENT));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.pathName, bad);
    EXPECT_EQ(doc.files.INFILE, "other.in");
    EXPECT_EQ(doc.files.OUTFILE, "other.out");
}

TEST_F(FileCommands, OpenReadsTheFileAndNamesTheProject) {
    const std::string path = dir.file("bridge.in");
    writeBytes(path, kExampleFile);
    ClosingCount graphs;
    doc.graphs = &graphs;
    doc.jobName = "unsaved work";
    doc.SetModified(true);
    shell.openChoices.push_back(path);
    shell.answers.push_back(Answer::No);
    ASSERT_TRUE(OpenProject(doc, shell));

    EXPECT_EQ(shell.questions, std::vector<std::string>{"Save changes to  ?"});
    ASSERT_EQ(shell.openDialogs.size(), 1u);
    EXPECT_EQ(shell.openDialogs[0].filters,
              (std::vector<std::string>{"Input File (*.in)", "All Files (*)"}));
    EXPECT_EQ(shell.openDialogs[0].defaultSuffix, "in");
    EXPECT_FALSE(shell.openDialogs[0].confirmOverwrite);
    EXPECT_EQ(notices, 2);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(graphs.closed, 1);
    doc.graphs = nullptr;
    EXPECT_EQ(doc.pathName, path);
    EXPECT_EQ(doc.fileName, "bridge.in");
    EXPECT_EQ(doc.title, path);
    EXPECT_EQ(doc.files.INFILE, "bridge.in");
    EXPECT_EQ(doc.files.OUTFILE, "bridge.out");
    EXPECT_EQ(doc.files.OUTDIR, dir.path());

    DocWithState expected;
    fillExample(expected.doc);
    expected.doc.lengthCount = 0;
    expectSameProject(doc, expected.doc);

    // Save As under the same name keeps the same report name.
    shell.saveChoices.push_back(path);
    ASSERT_TRUE(SaveProjectAs(doc, shell));
    EXPECT_EQ(doc.files.OUTFILE, "bridge.out");
    EXPECT_EQ(readBytes(path), kExampleFile);
}

TEST_F(FileCommands, OpenTellsOfTextReadAsNumbersOnceTheProjectIsLoaded) {
    const std::string path = dir.file("comma.in");
    std::string bytes = kExampleFile;
    const std::string widths = "2          18.0000          24.0000 ";
    ASSERT_NE(bytes.find(widths), std::string::npos);
    bytes.replace(bytes.find(widths), widths.size(), "1 1,018.0000");
    writeBytes(path, bytes);
    double widthWhenTold = 0;
    shell.onMessage = [&] { widthWhenTold = doc.pileWidths[0]; };
    shell.openChoices.push_back(path);
    ASSERT_TRUE(OpenProject(doc, shell));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, readWarningsMessage(path, {{10, "1 1,018.0000"}}));
    EXPECT_EQ(shell.messages[0].kind, MessageKind::Warning);
    EXPECT_EQ(widthWhenTold, 1); // the project is there to look at
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(FileCommands, OpenAsksBeforeDiscardingChanges) {
    const std::string other = dir.file("other.in");
    writeBytes(other, kExampleFile);
    const std::string path = dir.file("bridge.in");
    savedThenEdited(path);

    // Cancel: nothing changes, the edit stays.
    shell.openChoices.push_back(other);
    shell.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(OpenProject(doc, shell));
    EXPECT_EQ(shell.questions.back(), "Save changes to " + path + " ?");
    EXPECT_EQ(doc.jobName, "edited");
    EXPECT_EQ(doc.pathName, path);
    EXPECT_TRUE(doc.IsModified());

    // Yes whose save fails: the open does not happen either.
    setWriteFailureAfterBytesForTesting(0);
    shell.openChoices.push_back(other);
    shell.answers.push_back(Answer::Yes);
    EXPECT_FALSE(OpenProject(doc, shell));
    EXPECT_EQ(doc.jobName, "edited");
    EXPECT_EQ(doc.pathName, path);
    EXPECT_EQ(readBytes(path), kExampleFile);
    setWriteFailureAfterBytesForTesting(-1);

    // Yes: the edit is saved, then the other file opens.
    shell.openChoices.push_back(other);
    shell.answers.push_back(Answer::Yes);
    EXPECT_TRUE(OpenProject(doc, shell));
    EXPECT_EQ(doc.pathName, other);
    EXPECT_NE(readBytes(path).find("edited"), std::string::npos);

    // Not modified: no question.
    const auto asked = shell.questions.size();
    shell.openChoices.push_back(path);
    EXPECT_TRUE(OpenProject(doc, shell));
    EXPECT_EQ(shell.questions.size(), asked);
    EXPECT_EQ(doc.jobName, "edited");
}

TEST_F(FileCommands, OpenThatCannotReadLeavesTheProjectAlone) {
    fillExample(doc);
    doc.pathName = dir.file("current.in");
    doc.SetModified(true);
    doc.files.INFILE = "current.in";
    doc.files.OUTFILE = "current.out";
    ClosingCount graphs;
    doc.graphs = &graphs;

    const std::string missing = dir.file("gone.in");
    shell.openChoices.push_back(missing);
    EXPECT_FALSE(OpenProject(doc, shell));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, missing + " was not found.\n" + std::strerror(ENOENT));
    EXPECT_EQ(shell.messages[0].kind, MessageKind::Warning);

    shell.openChoices.push_back(dir.path());
    EXPECT_FALSE(OpenProject(doc, shell));
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[1].text,
              dir.path() + " is a folder, not a file.\n" + std::strerror(EISDIR));

    // Cancelled dialog.
    EXPECT_FALSE(OpenProject(doc, shell));
    EXPECT_EQ(shell.messages.size(), 2u);

    DocWithState expected;
    fillExample(expected.doc);
    expectSameProject(doc, expected.doc);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.pathName, dir.file("current.in"));
    EXPECT_EQ(doc.files.INFILE, "current.in");
    EXPECT_EQ(doc.files.OUTFILE, "current.out");
    EXPECT_EQ(graphs.closed, 0);
    EXPECT_EQ(notices, 0);
    doc.graphs = nullptr;
}

TEST_F(FileCommands, NewAsksBeforeDiscardingChanges) {
    // Not modified: no question.
    fillExample(doc);
    ASSERT_TRUE(NewProject(doc, shell));
    EXPECT_TRUE(shell.questions.empty());
    EXPECT_EQ(doc.jobName, "");
    EXPECT_EQ(doc.title, " ");
    EXPECT_EQ(doc.files.INFILE, " ");
    EXPECT_EQ(notices, 1);

    const std::string path = dir.file("bridge.in");
    savedThenEdited(path);
    const std::string question = "Save changes to " + path + " ?";

    shell.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(NewProject(doc, shell));
    EXPECT_EQ(shell.questions.back(), question);
    EXPECT_EQ(doc.jobName, "edited");
    EXPECT_EQ(doc.pathName, path);
    EXPECT_EQ(doc.title, path);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(notices, 0);

    shell.answers.push_back(Answer::Yes);
    ASSERT_TRUE(NewProject(doc, shell));
    EXPECT_EQ(crlfLines(readBytes(path))[6], "edited");
    EXPECT_EQ(doc.jobName, "");
    EXPECT_EQ(doc.pathName, "");
    EXPECT_EQ(doc.title, " ");
    EXPECT_FALSE(doc.IsModified());

    savedThenEdited(path);
    shell.answers.push_back(Answer::No);
    ASSERT_TRUE(NewProject(doc, shell));
    EXPECT_EQ(crlfLines(readBytes(path))[6], "Bridge over creek");
    EXPECT_EQ(doc.jobName, "");
    EXPECT_FALSE(doc.IsModified());

    // Save after New asks for a file name.
    EXPECT_FALSE(SaveProject(doc, shell));
    EXPECT_EQ(shell.saveDialogs.size(), 3u);
}

TEST_F(FileCommands, NewStopsWhenTheSaveItAskedForFails) {
    // Yes on a project without a file, then Save As cancelled.
    fillExample(doc);
    doc.SetModified(true);
    shell.answers.push_back(Answer::Yes);
    EXPECT_FALSE(NewProject(doc, shell));
    EXPECT_EQ(shell.questions.back(), "Save changes to  ?");
    EXPECT_EQ(doc.jobName, "Bridge over creek");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(notices, 0);

    // Yes, and the write fails.
    const std::string path = dir.file("bridge.in");
    savedThenEdited(path);
    setWriteFailureAfterBytesForTesting(0);
    shell.answers.push_back(Answer::Yes);
    EXPECT_FALSE(NewProject(doc, shell));
    EXPECT_EQ(shell.messageTexts().back(),
              "Disk full while accessing " + path + ".\n" + std::strerror(ENOSPC));
    EXPECT_EQ(doc.jobName, "edited");
    EXPECT_EQ(doc.pathName, path);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(readBytes(path), kExampleFile);
}

TEST_F(FileCommands, AskToSaveChangesBeforeClosing) {
    EXPECT_TRUE(AskToSaveChanges(doc, shell));
    EXPECT_TRUE(shell.questions.empty());

    const std::string path = dir.file("bridge.in");
    savedThenEdited(path);
    shell.answers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(AskToSaveChanges(doc, shell));
    EXPECT_TRUE(AskToSaveChanges(doc, shell));
    EXPECT_EQ(shell.questions, (std::vector<std::string>{"Save changes to " + path + " ?",
                                                         "Save changes to " + path + " ?"}));
    EXPECT_EQ(readBytes(path), kExampleFile);
    EXPECT_TRUE(doc.IsModified());

    setWriteFailureAfterBytesForTesting(3);
    shell.answers = {Answer::Yes};
    EXPECT_FALSE(AskToSaveChanges(doc, shell)); // the program stays open
    EXPECT_EQ(readBytes(path), kExampleFile);
    setWriteFailureAfterBytesForTesting(-1);

    shell.answers = {Answer::Yes};
    EXPECT_TRUE(AskToSaveChanges(doc, shell));
    EXPECT_EQ(crlfLines(readBytes(path))[6], "edited");
    EXPECT_FALSE(doc.IsModified());

    // A project without a file: Yes opens Save As; cancelling it keeps the program open.
    EXPECT_TRUE(NewProject(doc, shell));
    doc.SetModified(true);
    shell.answers = {Answer::Yes, Answer::Yes};
    EXPECT_FALSE(AskToSaveChanges(doc, shell));
    shell.saveChoices.push_back(dir.file("new.in"));
    EXPECT_TRUE(AskToSaveChanges(doc, shell));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.files.OUTFILE, "new.out");
}

} // namespace
} // namespace zenka::test::projectfiles

namespace zenka::test::projectfiles {
namespace {

// A mis-click in the Open dialog: the file is refused with one message, and neither the project
// nor the file changes.
TEST_F(FileCommands, OpenRefusesWhatIsNoProject) {
    const std::string report =
        readBytes(std::string(ZENKA_SOURCE_DIR) + "/tests/golden/expected/cylinder-cap.out");
    struct Case {
        const char* name;
        std::string bytes;
        std::string why;
    };
    const Case cases[] = {
        {"bridge.out", report, "line 1 holds \"  \" where the unit code belongs"},
        {"SPTDEPTH.TMP", "OPT1,ENGLISH\r\nP\r\n",
         "line 1 holds \"OPT1,ENGLISH\" where the unit code belongs"},
        {"site.ags", "\"GROUP\",\"PROJ\"\r\n",
         "line 1 holds \"\"GROUP\",\"PROJ\"\" where the unit code belongs"},
        {"log.pdf", "%PDF-1.4\n\x01\x02", "line 1 holds \"%PDF-1.4\" where the unit code belongs"},
        {"empty.in", "", "the file is empty"},
    };
    for (const Case& c : cases) {
        fillExample(doc);
        doc.pathName = dir.file("current.in");
        doc.SetModified(true);
        doc.files.INFILE = "current.in";
        ClosingCount graphs;
        doc.graphs = &graphs;
        shell.messages.clear();
        notices = 0;
        const std::string path = dir.file(c.name);
        writeBytes(path, c.bytes);
        shell.openChoices.push_back(path);
        EXPECT_FALSE(OpenProject(doc, shell)) << c.name;
        ASSERT_EQ(shell.messages.size(), 1u) << c.name;
        EXPECT_EQ(shell.messages[0].text, path + " is not a Zenka project: " + c.why + ".");
        EXPECT_EQ(shell.messages[0].kind, MessageKind::Warning);
        EXPECT_TRUE(shell.questions.empty()) << "nothing to save for a file that is not opened";
        DocWithState expected;
        fillExample(expected.doc);
        expectSameProject(doc, expected.doc);
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(doc.pathName, dir.file("current.in"));
        EXPECT_EQ(doc.files.INFILE, "current.in");
        EXPECT_EQ(graphs.closed, 0);
        EXPECT_EQ(notices, 0);
        doc.graphs = nullptr;
        EXPECT_EQ(readBytes(path), c.bytes);
    }
}

// Save and Save As replace a file that holds something else only when told to.
TEST_F(FileCommands, SaveAsksBeforeReplacingWhatIsNoProject) {
    const std::string ags = "\"GROUP\",\"PROJ\"\r\n\"HEADING\",\"PROJ_ID\"\r\n";
    const std::string path = dir.file("site.ags");
    const std::string question =
        path + " is not a Zenka project: line 1 holds \"\"GROUP\",\"PROJ\"\" where the unit code "
               "belongs.\nReplace it with this project?";

    // Save As onto it, answered No: nothing written, the project keeps its names.
    savedThenEdited(dir.file("mine.in"));
    writeBytes(path, ags);
    shell.saveChoices.push_back(path);
    shell.answers.push_back(Answer::No);
    EXPECT_FALSE(SaveProjectAs(doc, shell));
    EXPECT_EQ(shell.questions, std::vector<std::string>{question});
    EXPECT_EQ(readBytes(path), ags);
    EXPECT_EQ(doc.pathName, dir.file("mine.in"));
    EXPECT_EQ(doc.files.INFILE, "mine.in");
    EXPECT_TRUE(doc.IsModified());

    // The file of the project turned into something else since: Save asks too.
    writeBytes(dir.file("mine.in"), ags);
    shell.answers.push_back(Answer::No);
    EXPECT_FALSE(SaveProject(doc, shell));
    EXPECT_EQ(readBytes(dir.file("mine.in")), ags);
    EXPECT_EQ(shell.questions.size(), 2u);

    // Yes replaces it.
    shell.answers.push_back(Answer::Yes);
    EXPECT_TRUE(SaveProject(doc, shell));
    EXPECT_EQ(projectFileProblem(readBytes(dir.file("mine.in"))), "");
    EXPECT_FALSE(doc.IsModified());

    // A project, an empty file or no file at all: no question.
    const auto asked = shell.questions.size();
    writeBytes(dir.file("empty.in"), "");
    for (const char* name : {"mine.in", "empty.in", "new.in"}) {
        shell.saveChoices.push_back(dir.file(name));
        EXPECT_TRUE(SaveProjectAs(doc, shell)) << name;
    }
    EXPECT_EQ(shell.questions.size(), asked);
}

} // namespace
} // namespace zenka::test::projectfiles
