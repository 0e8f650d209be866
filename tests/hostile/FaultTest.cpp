// Saves and runs that meet a full disk, a missing or read-only folder, or a folder where the file
// was: the message names the path and the reason, the old file stays byte for byte, the project
// stays marked modified, no report that was not written is shown, and no temporary file is left.
//
// Permissions do not stop root, so as root the cases that need them run in a child process that
// has become an unprivileged user first.

#include "base/AtomicFile.h"
#include "engine/AnalysisState.h"
#include "engine/Driver.h"
#include "model/PelbrinDoc.h"
#include "project/FileCommands.h"
#include "run/RunCommands.h"
#include "support/Projects.h"
#include "support/ScriptedShell.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zenka {
namespace {

namespace fs = std::filesystem;
using test::ScriptedShell;
using ::testing::HasSubstr;

constexpr uid_t kNobody = 65534;
constexpr int kCannotDropRoot = 3;

// What a command left behind for the test to look at.
struct Seen {
    bool result = false;
    bool modified = false;
    std::vector<std::string> messages;
    std::vector<std::string> viewers;
};

std::string encode(const Seen& s) {
    std::string out = std::string(s.result ? "1" : "0") + (s.modified ? "1" : "0");
    for (const auto& m : s.messages) out += "\x1fm" + m;
    for (const auto& v : s.viewers) out += "\x1fv" + v;
    return out;
}

Seen decode(const std::string& text) {
    Seen s;
    s.result = text.size() > 0 && text[0] == '1';
    s.modified = text.size() > 1 && text[1] == '1';
    std::size_t at = text.find('\x1f');
    while (at != std::string::npos) {
        const std::size_t next = text.find('\x1f', at + 1);
        const std::string item =
            text.substr(at + 2, next == std::string::npos ? next : next - at - 2);
        (text[at + 1] == 'm' ? s.messages : s.viewers).push_back(item);
        at = next;
    }
    return s;
}

// Runs command in a child process, as an unprivileged user when the tests run as root, and
// returns what it saw; nothing when the child could not give up root.
std::optional<Seen> inChild(const std::function<Seen()>& command) {
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
             ::setresuid(kNobody, kNobody, kNobody) != 0))
            ::_exit(kCannotDropRoot);
        const std::string out = encode(command());
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = ::write(fds[1], out.data() + done, out.size() - done);
            if (n <= 0) ::_exit(2);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string text;
    char buf[4096];
    ssize_t n = 0;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return decode(text);
}

// True when permissions hold for the commands inChild runs.
bool permissionsHold() {
    static const bool hold = [] {
        if (::geteuid() != 0) return true;
        return inChild([] { return Seen{}; }).has_value();
    }();
    return hold;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

class Faults : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
        test::fillWorkedCase(doc);
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
        // As root, the folder belongs to the user the children become.
        if (::geteuid() == 0) {
            ASSERT_EQ(::chmod(dir.path().c_str(), 0711), 0);
            ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
        }
    }
    void TearDown() override {
        setWriteFailureAfterBytesForTesting(-1);
        ::chmod(folder.c_str(), 0755);
        unsetenv("SOURCE_DATE_EPOCH");
    }

    // The project saved at path, then edited.
    std::string savedThenEdited(const std::string& path) {
        ScriptedShell shell;
        shell.saveChoices.push_back(path);
        EXPECT_TRUE(SaveProjectAs(doc, shell));
        doc.jobName = "edited";
        doc.pileWidths[0] = 20;
        doc.SetModified(true);
        return test::readFile(path);
    }

    Seen save() {
        ScriptedShell shell;
        Seen s;
        s.result = SaveProject(doc, shell);
        s.modified = doc.IsModified();
        for (const auto& m : shell.messages) {
            EXPECT_EQ(m.kind, MessageKind::Warning);
            s.messages.push_back(m.text);
        }
        return s;
    }

    Seen runAndView() {
        ScriptedShell shell;
        Seen s;
        s.result = RunAndView(doc, *state, shell);
        s.messages = shell.messageTexts();
        s.viewers = shell.viewerPaths;
        return s;
    }

    test::TempDir dir;
    const std::string folder = dir.file("project");
    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    CPelbrinDoc doc;
};

TEST_F(Faults, FailedSaveKeepsTheOldFileWholeAndTheProjectModified) {
    const std::string path = folder + "/bridge.in";
    struct Case {
        const char* what;
        std::function<std::string()> arrange; // returns the path the message must name
        std::string reason;
        bool needsPermissions;
    };
    const Case cases[] = {
        {"read-only folder",
         [&] {
             ::chmod(folder.c_str(), 0555);
             return path;
         },
         std::strerror(EACCES), true},
        {"read-only file",
         [&] {
             ::chmod(path.c_str(), 0444);
             // Not the child's to change.
             if (::geteuid() == 0) {
                 EXPECT_EQ(::chown(path.c_str(), 0, 0), 0);
             }
             return path;
         },
         std::strerror(EACCES), true},
        {"disk full half way",
         [&] {
             setWriteFailureAfterBytesForTesting(200);
             return path;
         },
         "Disk full while accessing", false},
        {"disk full at once",
         [&] {
             setWriteFailureAfterBytesForTesting(0);
             return path;
         },
         "Disk full while accessing", false},
        {"file replaced by a folder",
         [&] {
             fs::remove(path);
             fs::create_directory(path);
             return path;
         },
         std::strerror(EISDIR), false},
        {"missing folder",
         [&] {
             const std::string gone = folder + "/gone/bridge.in";
             doc.pathName = gone;
             return gone;
         },
         std::strerror(ENOENT), false},
        {"the full-disk device",
         [&] {
             doc.pathName = "/dev/full";
             return std::string("/dev/full");
         },
         "Disk full while accessing", false},
    };
    bool skipped = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsPermissions && !permissionsHold()) {
            skipped = true;
            continue;
        }
        fs::remove_all(path);
        ::chmod(folder.c_str(), 0755);
        test::fillWorkedCase(doc);
        const std::string old = savedThenEdited(path);
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
        }
        const std::vector<std::string> before = namesIn(folder);
        const std::string named = c.arrange();

        const std::optional<Seen> seen = inChild([&] { return save(); });
        setWriteFailureAfterBytesForTesting(-1);
        ASSERT_TRUE(seen);
        EXPECT_FALSE(seen->result);
        EXPECT_TRUE(seen->modified);
        ASSERT_EQ(seen->messages.size(), 1u);
        EXPECT_THAT(seen->messages[0], HasSubstr(named));
        EXPECT_THAT(seen->messages[0], HasSubstr(c.reason));
        ::chmod(folder.c_str(), 0755);
        EXPECT_EQ(namesIn(folder), before) << "a temporary file was left";
        if (fs::is_regular_file(path)) {
            EXPECT_EQ(test::readFile(path), old);
        }
    }
    if (skipped) GTEST_SKIP() << "root could not become an unprivileged user for the permissions";
}

TEST_F(Faults, ReportThatCannotBeWrittenIsNeverShown) {
    // A first run leaves a report and a depth data file.
    const std::string input = folder + "/bridge.in";
    ScriptedShell shell;
    shell.saveChoices.push_back(input);
    ASSERT_TRUE(SaveProjectAs(doc, shell));
    ASSERT_TRUE(runAndView().result);
    const std::string report = folder + "/bridge.out";
    const std::string depthData = folder + "/SPTDEPTH.TMP";
    ASSERT_EQ(reportPathOf(doc.files), report);
    ASSERT_EQ(depthDataPathOf(doc.files), depthData);
    const std::string oldReport = test::readFile(report);
    const std::string oldDepthData = test::readFile(depthData);
    // The children replace these files, so as root they belong to the user the children become.
    auto handOver = [&] {
        if (::geteuid() != 0) return;
        for (const std::string& f : {input, report, depthData})
            EXPECT_EQ(::chown(f.c_str(), kNobody, kNobody), 0);
    };
    handOver();
    // A second run would write a different report.
    doc.pileWidths[0] = 20;
    ::chmod(folder.c_str(), 0755);

    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::string path;
        std::string reason;
        bool needsPermissions = false;
    };
    const Case cases[] = {
        {"disk full in the report", [] { setWriteFailureAfterBytesForTesting(4096); }, report,
         "Disk full while accessing " + report + "."},
        {"disk full at the first byte", [] { setWriteFailureAfterBytesForTesting(0); }, report,
         "Disk full while accessing " + report + "."},
        {"read-only folder", [&] { ::chmod(folder.c_str(), 0555); }, report, std::strerror(EACCES),
         true},
        {"depth data file replaced by a folder",
         [&] {
             fs::remove(depthData);
             fs::create_directory(depthData);
         },
         depthData, std::strerror(EISDIR)},
        {"missing folder", [&] { doc.files.OUTDIR = folder + "/gone"; },
         folder + "/gone/bridge.out", std::strerror(ENOENT)},
    };
    bool skipped = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsPermissions && !permissionsHold()) {
            skipped = true;
            continue;
        }
        c.arrange();
        const std::optional<Seen> seen = inChild([&] { return runAndView(); });
        setWriteFailureAfterBytesForTesting(-1);
        ::chmod(folder.c_str(), 0755);
        ASSERT_TRUE(seen);
        EXPECT_FALSE(seen->result);
        EXPECT_TRUE(seen->viewers.empty());
        ASSERT_EQ(seen->messages.size(), 1u);
        EXPECT_THAT(seen->messages[0], HasSubstr(c.path));
        EXPECT_THAT(seen->messages[0], HasSubstr(c.reason));
        if (c.path == report) {
            // The old report stands as it was, whole: nothing half written replaced it.
            EXPECT_EQ(test::readFile(report), oldReport);
            EXPECT_EQ(test::readFile(depthData), oldDepthData);
        }
        EXPECT_EQ(namesIn(folder),
                  (std::vector<std::string>{"SPTDEPTH.TMP", "bridge.in", "bridge.out"}));
        doc.files.OUTDIR = folder;
        fs::remove_all(depthData);
        test::writeFile(depthData, oldDepthData);
        handOver();
    }

    // With the faults gone the same run shows its new report.
    const std::optional<Seen> fine = inChild([&] { return runAndView(); });
    ASSERT_TRUE(fine);
    EXPECT_TRUE(fine->result);
    EXPECT_EQ(fine->viewers, std::vector<std::string>{report});
    EXPECT_NE(test::readFile(report), oldReport);
    if (skipped) GTEST_SKIP() << "root could not become an unprivileged user for the permissions";
}

} // namespace
} // namespace zenka
