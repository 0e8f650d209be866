#include "base/AtomicFile.h"

#include "project/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zenka::test::projectfiles {
namespace {

// A file-error message: the cause with the full path, then the system's reason.
std::string message(const std::string& cause, const std::string& path, int error) {
    std::string text = cause;
    text.replace(text.find("%1"), 2, path);
    return text + "\n" + std::strerror(error);
}

class AtomicFile : public ::testing::Test {
protected:
    void TearDown() override {
        setWriteFailureAfterBytesForTesting(-1);
        setAnonymousTempFilesForTesting(true);
    }
    TempFolder dir;
};

TEST_F(AtomicFile, WritesNewAndReplacesOldFiles) {
    const mode_t oldMask = ::umask(027);
    const std::string path = dir.file("bridge.in");
    FileResult r = writeFileAtomically(path, std::string("one\r\n\0two", 10));
    ::umask(oldMask);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(readBytes(path), std::string("one\r\n\0two", 10));
    EXPECT_EQ(modeOf(path) & 07777, 0640u); // 0666 less the umask, not mkstemp's 0600
    EXPECT_EQ(dir.names(), std::vector<std::string>{"bridge.in"});

    // Replacing keeps the old file's permissions and leaves nothing else behind.
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    r = writeFileAtomically(path, "new");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(readBytes(path), "new");
    EXPECT_EQ(modeOf(path) & 07777, 0604u);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"bridge.in"});

    r = writeFileAtomically(path, "");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(readBytes(path), "");

    // An administrator's save leaves the file with its owner.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
        ASSERT_TRUE(writeFileAtomically(path, "kept").ok);
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
}

TEST_F(AtomicFile, SavingThroughALinkReplacesTheFileItPointsTo) {
    ASSERT_EQ(::mkdir(dir.file("real").c_str(), 0755), 0);
    const std::string target = dir.file("real/bridge.in");
    writeBytes(target, "old");
    ASSERT_EQ(::symlink("real/bridge.in", dir.file("link.in").c_str()), 0);

    const FileResult r = writeFileAtomically(dir.file("link.in"), "new");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(S_ISLNK(modeOf(dir.file("link.in"))));
    EXPECT_EQ(readBytes(target), "new");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"link.in", "real"}));

    // A dangling link gets the file it points to.
    ASSERT_EQ(::symlink("real/later.in", dir.file("dangling.in").c_str()), 0);
    ASSERT_TRUE(writeFileAtomically(dir.file("dangling.in"), "made").ok);
    EXPECT_TRUE(S_ISLNK(modeOf(dir.file("dangling.in"))));
    EXPECT_EQ(readBytes(dir.file("real/later.in")), "made");

    // A loop of links fails without touching anything.
    ASSERT_EQ(::symlink("loop2", dir.file("loop1").c_str()), 0);
    ASSERT_EQ(::symlink("loop1", dir.file("loop2").c_str()), 0);
    const FileResult loop = writeFileAtomically(dir.file("loop1"), "x");
    EXPECT_FALSE(loop.ok);
    EXPECT_EQ(loop.error, ELOOP);
}

void interruptedWrite(TempFolder& dir);

TEST_F(AtomicFile, InterruptedWriteKeepsTheOldFileWhole) {
    for (bool anonymous : {true, false}) {
        SCOPED_TRACE(anonymous ? "anonymous temporary files" : "named temporary files");
        setAnonymousTempFilesForTesting(anonymous);
        TempFolder fresh;
        interruptedWrite(fresh);
    }
}

void interruptedWrite(TempFolder& dir) {
    const std::string path = dir.file("bridge.in");
    const std::string old = "1\r\nold project\r\n";
    writeBytes(path, old);
    for (long long after : {0LL, 5LL, 20LL}) {
        setWriteFailureAfterBytesForTesting(after);
        const FileResult r = writeFileAtomically(path, std::string(64, 'n'));
        EXPECT_FALSE(r.ok) << after;
        EXPECT_EQ(r.error, ENOSPC);
        EXPECT_EQ(r.message, message("Disk full while accessing %1.", path, ENOSPC));
        EXPECT_EQ(readBytes(path), old);
        EXPECT_EQ(dir.names(), std::vector<std::string>{"bridge.in"}) << "stray temporary file";
    }
    // A new file that fails is not created at all.
    EXPECT_FALSE(writeFileAtomically(dir.file("new.in"), std::string(64, 'n')).ok);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"bridge.in"});

    // Failing after all the bytes is no failure; switched off, writes work again.
    setWriteFailureAfterBytesForTesting(64);
    EXPECT_TRUE(writeFileAtomically(path, std::string(64, 'n')).ok);
    setWriteFailureAfterBytesForTesting(-1);
    EXPECT_TRUE(writeFileAtomically(path, "fine").ok);
    EXPECT_EQ(readBytes(path), "fine");
}

TEST_F(AtomicFile, FilesWrittenTogetherAreReplacedOnlyWhenAllCanBe) {
    const std::string report = dir.file("bridge.out");
    const std::string depth = dir.file("SPTDEPTH.TMP");
    writeBytes(report, "old report");
    writeBytes(depth, "old depth");
    ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0755), 0);
    const std::string other = dir.file("sub/table.csv");

    const FileToWrite files[] = {{report, "new report"}, {depth, "new depth"}, {other, "csv"}};
    FileResult r = writeFilesAtomically(files);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(readBytes(report), "new report");
    EXPECT_EQ(readBytes(depth), "new depth");
    EXPECT_EQ(readBytes(other), "csv");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"SPTDEPTH.TMP", "bridge.out", "sub"}));

    // The second file cannot be written: the first, already flushed, is not put in place either.
    ASSERT_EQ(::unlink(depth.c_str()), 0);
    ASSERT_EQ(::mkdir(depth.c_str(), 0755), 0);
    const FileToWrite blocked[] = {{report, "newer report"}, {depth, "newer depth"}};
    r = writeFilesAtomically(blocked);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EISDIR);
    EXPECT_EQ(r.message, message("%1 is a folder, not a file.", depth, EISDIR));
    EXPECT_EQ(readBytes(report), "new report");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"SPTDEPTH.TMP", "bridge.out", "sub"}))
        << "stray temporary file";

    // A full disk in the second file, likewise.
    ASSERT_EQ(::rmdir(depth.c_str()), 0);
    setWriteFailureAfterBytesForTesting(10);
    const FileToWrite full[] = {{report, "0123456789"}, {depth, "0123456789 and more"}};
    r = writeFilesAtomically(full);
    EXPECT_EQ(r.error, ENOSPC);
    EXPECT_EQ(readBytes(report), "new report");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"bridge.out", "sub"}));

    // ... and in the record of the set, once every file is staged: the message names a file
    // of the person's, not the record in the hidden staging folder.
    setWriteFailureAfterBytesForTesting(20);
    r = writeFilesAtomically(full);
    EXPECT_EQ(r.error, ENOSPC);
    EXPECT_EQ(r.message, message("Disk full while accessing %1.", report, ENOSPC));
    EXPECT_EQ(readBytes(report), "new report");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"bridge.out", "sub"}));
    setWriteFailureAfterBytesForTesting(-1);
}

// A process that has ended, for names that carry its number.
pid_t deadProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    EXPECT_GT(child, 0);
    EXPECT_EQ(::waitpid(child, nullptr, 0), child);
    return child;
}

TEST_F(AtomicFile, TemporaryFilesOfProcessesThatAreGoneAreRemoved) {
    forgetRecoveredFoldersForTesting();
    const pid_t child = deadProcess();
    const std::string staging = dir.file(".zenka-staging");
    ASSERT_EQ(::mkdir(staging.c_str(), 0700), 0);
    const std::string dead = ".zenka-staging/tmp-" + std::to_string(child) + "-Ab3xYz";
    const std::string alive = ".zenka-staging/tmp-" + std::to_string(::getppid()) + "-Qw7rTy";
    // Names that are not ours stay whatever their look, in the staging folder and beside it.
    const std::vector<std::string> others = {
        ".zenka-staging/tmp-x1-Ab3xYz", ".zenka-staging/tmp-" + std::to_string(child) + "-Ab3",
        ".zenka-staging/commit-" + std::to_string(child), ".bridge.out.Ab3xYz",
        ".bridge.out.zenka-" + std::to_string(child) + "-Ab3xYz"};
    for (const std::string& name : others) writeBytes(dir.file(name), "other");
    writeBytes(dir.file(dead), "half a report");
    writeBytes(dir.file(alive), "being written");

    ASSERT_TRUE(writeFileAtomically(dir.file("bridge.out"), "report").ok);
    EXPECT_FALSE(std::filesystem::exists(dir.file(dead)));
    for (const std::string& name : others) EXPECT_TRUE(std::filesystem::exists(dir.file(name)));
    EXPECT_TRUE(std::filesystem::exists(dir.file(alive)));

    // A folder is looked into once per process: what appears later waits for the next one.
    writeBytes(dir.file(dead), "half a report");
    ASSERT_TRUE(writeFileAtomically(dir.file("bridge.out"), "report").ok);
    EXPECT_TRUE(std::filesystem::exists(dir.file(dead)));
    forgetRecoveredFoldersForTesting();
    recoverInterruptedWrites(dir.path());
    EXPECT_FALSE(std::filesystem::exists(dir.file(dead)));

    // A staging folder of another user is not trusted with a staged file.
    if (::geteuid() == 0) {
        TempFolder other;
        ASSERT_EQ(::mkdir(other.file(".zenka-staging").c_str(), 0777), 0);
        ASSERT_EQ(::chown(other.file(".zenka-staging").c_str(), 65534, 65534), 0);
        writeBytes(other.file("bridge.out"), "old");
        setAnonymousTempFilesForTesting(false);
        const FileResult r = writeFileAtomically(other.file("bridge.out"), "new");
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, EACCES);
        EXPECT_EQ(readBytes(other.file("bridge.out")), "old");
    }
}

// Writes a set of three files in a child process that kills itself at the given step of the
// commit; true when the kill came before the commit was through.
bool killedWrite(const std::vector<FileToWrite>& files, int step, bool anonymous) {
    const pid_t child = ::fork();
    if (child == 0) {
        setAnonymousTempFilesForTesting(anonymous);
        setKillAtCommitStepForTesting(step);
        const FileResult r = writeFilesAtomically(files);
        ::_exit(r.ok ? 0 : 1);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    if (WIFEXITED(status)) {
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

TEST_F(AtomicFile, ACommitKilledAtAnyStepIsFinishedByTheNextWrite) {
    for (bool anonymous : {true, false}) {
        SCOPED_TRACE(anonymous ? "anonymous temporary files" : "named temporary files");
        int step = 0;
        for (;; ++step) {
            TempFolder site;
            ASSERT_EQ(::mkdir(site.file("csv").c_str(), 0755), 0);
            const std::string report = site.file("b.out");
            const std::string depth = site.file("SPTDEPTH.TMP");
            const std::string csv = site.file("csv/b.csv");
            writeBytes(report, "old report");
            writeBytes(depth, "old depth");
            // The CSV is new: a file that did not exist is part of the set too.
            const std::vector<FileToWrite> files = {
                {report, "new report"}, {depth, "new depth"}, {csv, "new csv"}};
            const bool killed = killedWrite(files, step, anonymous);
            forgetRecoveredFoldersForTesting();
            // The next process to write into the CSV's folder finishes the whole set.
            recoverInterruptedWrites(site.file("csv"));
            recoverInterruptedWrites(site.path());
            const std::string got = readBytes(report) + "|" + readBytes(depth) + "|" +
                                    (std::filesystem::exists(csv) ? readBytes(csv) : "none");
            // Killed before the record was whole: the old set; after: the new one.
            EXPECT_TRUE(got == "old report|old depth|none" || got == "new report|new depth|new csv")
                << "step " << step << ": " << got;
            EXPECT_EQ(site.names(), (std::vector<std::string>{"SPTDEPTH.TMP", "b.out", "csv"}))
                << "step " << step;
            EXPECT_EQ(std::filesystem::exists(csv) ? 1 : 0, 1 - (got[0] == 'o'));
            EXPECT_FALSE(std::filesystem::exists(site.file("csv/.zenka-staging"))) << step;
            if (!killed) break;
        }
        // Named, two records, three renames, two records removed: every step was tried.
        EXPECT_GE(step, 8);
    }
    forgetRecoveredFoldersForTesting();
}

TEST_F(AtomicFile, TwoProcessesWritingIntoOneFolderShareItsStagingFolder) {
    for (bool anonymous : {true, false}) {
        SCOPED_TRACE(anonymous ? "anonymous temporary files" : "named temporary files");
        TempFolder site;
        std::vector<pid_t> children;
        for (const char* who : {"a", "b"}) {
            const pid_t child = ::fork();
            if (child == 0) {
                setAnonymousTempFilesForTesting(anonymous);
                const std::string report = site.file(std::string(who) + ".out");
                const std::string depth = site.file(std::string(who) + ".tmp");
                int failed = 0;
                for (int i = 0; i < 150; ++i) {
                    const std::string text = who + std::to_string(i);
                    const FileToWrite files[] = {{report, text}, {depth, text}};
                    for (const FileResult& r :
                         {writeFilesAtomically(files), writeFileAtomically(report, text)})
                        if (!r.ok) {
                            std::fprintf(stderr, "%s\n", r.message.c_str());
                            ++failed;
                        }
                }
                ::_exit(failed == 0 ? 0 : 1);
            }
            children.push_back(child);
        }
        for (const pid_t child : children) {
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a write failed";
        }
        EXPECT_EQ(site.names(), (std::vector<std::string>{"a.out", "a.tmp", "b.out", "b.tmp"}));
        EXPECT_EQ(readBytes(site.file("b.tmp")), "b149");
    }
}

TEST_F(AtomicFile, AForgedOrCutRecordMovesNothing) {
    forgetRecoveredFoldersForTesting();
    const pid_t child = deadProcess();
    const std::string id = std::to_string(child) + "-Ab3xYz";
    const std::string staging = dir.file(".zenka-staging");
    ASSERT_EQ(::mkdir(staging.c_str(), 0700), 0);
    writeBytes(dir.file("precious"), "keep me");
    writeBytes(dir.file(".zenka-staging/tmp-" + id), "staged");
    auto field = [](const std::string& text) { return std::to_string(text.size()) + ":" + text; };
    const std::string whole = "zenka commit 1\nS " + field(staging) + "\nM " +
                              field(staging + "/tmp-" + id) + " " + field(dir.file("b.out")) +
                              "\nend\n";
    const struct {
        const char* what;
        std::string record;
        bool moved;
    } cases[] = {
        {"whole", whole, true},
        {"cut short", whole.substr(0, whole.size() - 2), false},
        {"a move out of the staging folder",
         "zenka commit 1\nS " + field(staging) + "\nM " + field(dir.file("precious")) + " " +
             field(dir.file("b.out")) + "\nend\n",
         false},
        {"a move into another folder",
         "zenka commit 1\nS " + field(staging) + "\nM " + field(staging + "/tmp-" + id) + " " +
             field("/tmp/b.out") + "\nend\n",
         false},
        {"a length beyond the text", "zenka commit 1\nS 999:" + staging + "\nend\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ::unlink(dir.file("b.out").c_str());
        ::mkdir(staging.c_str(), 0700);
        writeBytes(dir.file(".zenka-staging/tmp-" + id), "staged");
        writeBytes(dir.file(".zenka-staging/commit-" + id), c.record);
        forgetRecoveredFoldersForTesting();
        recoverInterruptedWrites(dir.path());
        EXPECT_EQ(std::filesystem::exists(dir.file("b.out")), c.moved);
        EXPECT_EQ(readBytes(dir.file("precious")), "keep me");
        EXPECT_EQ(dir.names(), c.moved ? (std::vector<std::string>{"b.out", "precious"})
                                       : std::vector<std::string>{"precious"});
    }
    forgetRecoveredFoldersForTesting();
}

TEST_F(AtomicFile, OneFileUnderTwoNamesIsTold) {
    const std::string in = dir.file("case.in");
    writeBytes(in, "project");
    ASSERT_EQ(::symlink("case.in", dir.file("link.in").c_str()), 0);
    ASSERT_EQ(::link(in.c_str(), dir.file("hard.in").c_str()), 0);
    ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0755), 0);
    const std::string same = " are the same file; nothing was written.";
    const struct {
        std::string other;
        std::string message; // empty: different files
    } cases[] = {
        {in, "Input file " + in + " and the report " + in + same},
        {dir.file("sub/../case.in"), "Input file " + in + " and the report " + in + same},
        {dir.file("link.in"), "Input file " + in + " and the report " + dir.file("link.in") + same},
        {dir.file("hard.in"), "Input file " + in + " and the report " + dir.file("hard.in") + same},
        {dir.file("case.out"), ""},
        {dir.file("Case.in"), ""},
        {"/dev/null", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        const RoleFile files[] = {{"input file", in}, {"report", c.other}};
        EXPECT_EQ(sameFileMessage(files), c.message) << c.other;
    }
    // A device may take two outputs.
    const RoleFile devices[] = {{"report", "/dev/null"}, {"CSV file", "/dev/null"}};
    EXPECT_EQ(sameFileMessage(devices), "");
}

TEST_F(AtomicFile, BadTargetsFailWithTheirReason) {
    const std::string missing = dir.file("no-such-folder/bridge.in");
    FileResult r = writeFileAtomically(missing, "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOENT);
    EXPECT_EQ(r.message, message("All or part of the path %1 is not valid.", missing, ENOENT));

    // A folder where the file should be stays a folder.
    const std::string folder = dir.file("bridge.in");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    r = writeFileAtomically(folder, "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EISDIR);
    EXPECT_EQ(r.message, message("%1 is a folder, not a file.", folder, EISDIR));
    EXPECT_TRUE(S_ISDIR(modeOf(folder)));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"bridge.in"});

    // A file in the way of a folder.
    writeBytes(dir.file("plain"), "p");
    r = writeFileAtomically(dir.file("plain/bridge.in"), "x");
    EXPECT_EQ(r.error, ENOTDIR);
    EXPECT_EQ(readBytes(dir.file("plain")), "p");

    r = writeFileAtomically("", "x");
    EXPECT_FALSE(r.ok);
}

TEST_F(AtomicFile, DevicesAreWrittenInPlace) {
    // The full disk device: the write fails and the device stays.
    FileResult r = writeFileAtomically("/dev/full", "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOSPC);
    EXPECT_EQ(r.message, message("Disk full while accessing %1.", "/dev/full", ENOSPC));
    EXPECT_TRUE(S_ISCHR(modeOf("/dev/full")));

    r = writeFileAtomically("/dev/null", "x");
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(S_ISCHR(modeOf("/dev/null")));

    // A pipe known only by its descriptor, as /dev/stdout is when the output is piped on.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    r = writeFileAtomically("/proc/self/fd/" + std::to_string(ends[1]), "piped");
    EXPECT_TRUE(r.ok) << r.message;
    char got[8] = {};
    EXPECT_EQ(::read(ends[0], got, sizeof got), 5);
    EXPECT_STREQ(got, "piped");
    ::close(ends[0]);
    ::close(ends[1]);

    // A fifo nobody reads fails at once instead of waiting for a reader.
    const std::string fifo = dir.file("pipe.in");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    r = writeFileAtomically(fifo, "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENXIO);
    EXPECT_TRUE(S_ISFIFO(modeOf(fifo)));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"pipe.in"});

    // A device node of our own in a folder we own: it stays a device node.
    const std::string node = dir.file("null.in");
    if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_TRUE(writeFileAtomically(node, "x").ok);
        EXPECT_TRUE(S_ISCHR(modeOf(node)));
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"null.in", "pipe.in"}));
    }
}

TEST_F(AtomicFile, ReadOnlyPlacesRefuseTheSave) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders and files";
    const std::string path = dir.file("bridge.in");
    writeBytes(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    FileResult r = writeFileAtomically(path, "new");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EACCES);
    EXPECT_EQ(readBytes(path), "old");

    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    r = writeFileAtomically(path, "new");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, message("Access to %1 was denied.", path, EACCES));
    EXPECT_EQ(readBytes(path), "old");
}

TEST_F(AtomicFile, ReadWholeFileReportsWhyItCannotRead) {
    const std::string path = dir.file("bridge.in");
    const std::string bytes = std::string("a\0b\r\n", 5) + std::string(200000, 'z');
    writeBytes(path, bytes);
    std::string got = "stale";
    FileResult r = readWholeFile(path, got);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(got, bytes);

    const std::string missing = dir.file("gone.in");
    r = readWholeFile(missing, got);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOENT);
    EXPECT_EQ(r.message, message("%1 was not found.", missing, ENOENT));
    EXPECT_EQ(got, "");

    r = readWholeFile(dir.path(), got);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EISDIR);
    EXPECT_EQ(r.message, message("%1 is a folder, not a file.", dir.path(), EISDIR));

    // A fifo without a writer reads as empty instead of hanging.
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0644), 0);
    r = readWholeFile(dir.file("pipe"), got);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(got, "");

    // The cause the person can act on first, with the full path; the generic text only where
    // nothing more specific applies.
    const struct {
        int error;
        bool reading;
        const char* cause;
    } causes[] = {
        {ENOENT, true, "%1 was not found."},
        {ENOENT, false, "All or part of the path %1 is not valid."},
        {ENOTDIR, true, "All or part of the path %1 is not valid."},
        {EACCES, true, "Access to %1 was denied."},
        {EROFS, false, "Access to %1 was denied."},
        {EISDIR, false, "%1 is a folder, not a file."},
        {ENAMETOOLONG, true, "The name %1 is too long."},
        {ELOOP, true, "%1 cannot be reached: its symbolic links form a loop."},
        {EDQUOT, false, "Disk full while accessing %1."},
        {EFBIG, true, "%1 is larger than 256 MB, more than a project file can be."},
        {EFBIG, false, "%1 would be larger than the file system allows."},
        {EIO, true, "A hardware I/O error was reported while accessing %1."},
        {EINVAL, false, "An invalid file handle was associated with %1."},
    };
    for (const auto& c : causes) {
        const std::string got = c.reading ? fileReadErrorMessage("/p/a.in", c.error)
                                          : fileWriteErrorMessage("/p/a.in", c.error);
        EXPECT_EQ(got, message(c.cause, "/p/a.in", c.error)) << c.error << " " << c.reading;
    }
    // Paths are shown whole, whatever way they were typed.
    EXPECT_EQ(fileWriteErrorMessage("/p/./q/../a.in/", EISDIR),
              message("%1 is a folder, not a file.", "/p/a.in", EISDIR));
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(fileWriteErrorMessage(".", EISDIR),
              message("%1 is a folder, not a file.", cwd, EISDIR));
}

TEST_F(AtomicFile, UnreadableFileIsDenied) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads files without read permission";
    const std::string path = dir.file("secret.in");
    writeBytes(path, "x");
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    std::string got;
    const FileResult r = readWholeFile(path, got);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, message("Access to %1 was denied.", path, EACCES));
}

} // namespace
} // namespace zenka::test::projectfiles
