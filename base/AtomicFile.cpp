#include "base/AtomicFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <linux/magic.h>
#include <map>
#include <mutex>
#include <pthread.h>
#include <set>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zenka {

namespace {

long long gFailAfterBytes = -1;
bool gAnonymousTemps = true;

std::string reason(int error) {
    return std::strerror(error);
}

std::string replacePath(const char* pattern, const std::string& path) {
    std::string text = pattern;
    text.replace(text.find("%1"), 2, path);
    return text;
}

// The first line of a file-error message: the cause as the person can act on it.
const char* causePattern(int error, bool reading) {
    switch (error) {
    case ENOENT:
        return reading ? "%1 was not found." : "All or part of the path %1 is not valid.";
    case ENOTDIR:
        return "All or part of the path %1 is not valid.";
    case EACCES:
    case EPERM:
    case EROFS:
        return "Access to %1 was denied.";
    case EISDIR:
        return "%1 is a folder, not a file.";
    case ENAMETOOLONG:
        return "The name %1 is too long.";
    case ELOOP:
        return "%1 cannot be reached: its symbolic links form a loop.";
    case ENOSPC:
    case EDQUOT:
        return "Disk full while accessing %1.";
    case EFBIG:
        return reading ? "%1 is larger than 256 MB, more than a project file can be."
                       : "%1 would be larger than the file system allows.";
    case EIO:
        return "A hardware I/O error was reported while accessing %1.";
    case EMFILE:
    case ENFILE:
        return "Too many files are open to access %1.";
    case ETXTBSY:
    case EBUSY:
        return "A sharing violation occurred while accessing %1.";
    default:
        return "An invalid file handle was associated with %1.";
    }
}

std::string errorMessage(const std::string& path, int error, bool reading) {
    return replacePath(causePattern(error, reading), displayPath(path)) + "\n" + reason(error);
}

FileResult failure(const std::string& path, int error) {
    return {false, error, fileWriteErrorMessage(path, error)};
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path names, following symbolic links, so that saving through a link replaces the
// file it points to and keeps the link. A dangling link names the file it would point to.
bool resolveLinks(const std::string& path, std::string& target, int& error) {
    target = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1,
                         '\0');
        const ssize_t n = readlink(target.c_str(), link.data(), link.size());
        if (n < 0) {
            error = errno;
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        target = !link.empty() && link.front() == '/' ? link : folderOf(target) + "/" + link;
    }
    error = ELOOP;
    return false;
}

// Writes all bytes, honouring the injected failure.
int writeAll(int fd, std::string_view bytes) {
    std::size_t limit = bytes.size();
    const bool injected =
        gFailAfterBytes >= 0 && static_cast<unsigned long long>(gFailAfterBytes) < limit;
    if (injected) limit = static_cast<std::size_t>(gFailAfterBytes);
    std::size_t done = 0;
    while (done < limit) {
        const ssize_t n = ::write(fd, bytes.data() + done, limit - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return injected ? ENOSPC : 0;
}

// A device or a fifo is written where it is: it must never be replaced by a regular file.
FileResult writeInPlace(const std::string& path, const std::string& target,
                        std::string_view bytes) {
    // Without a reader a fifo would block forever; refuse it instead.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return failure(path, errno);
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    int error = writeAll(fd, bytes);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) return failure(path, error);
    return {};
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string fileWriteErrorMessage(const std::string& path, int error) {
    return errorMessage(path, error, false);
}

std::string fileReadErrorMessage(const std::string& path, int error) {
    return errorMessage(path, error, true);
}

std::string displayPath(const std::string& path) {
    if (path.empty()) return path;
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path full = fs::absolute(fs::path(path), ec);
    if (ec) return path;
    std::string text = full.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

void setWriteFailureAfterBytesForTesting(long long n) {
    gFailAfterBytes = n < 0 ? -1 : n;
}

void setAnonymousTempFilesForTesting(bool on) {
    gAnonymousTemps = on;
}

namespace {

// Named temporary files and commit records live in one small hidden folder beside the files they
// are for: finding what a killed process left is one look into that folder, never a listing of
// the folder itself, which may hold any number of files.
constexpr std::string_view kStagingName = ".zenka-staging";
// "tmp-4711-Ab3xYz" and "commit-4711-Ab3xYz": the process number tells the files of a process
// that is gone from those of one still writing.
constexpr std::string_view kTempPrefix = "tmp-";
constexpr std::string_view kRecordPrefix = "commit-";
constexpr std::string_view kRecordMagic = "zenka commit 1\n";
constexpr std::string_view kRecordEnd = "end\n";

int gKillAtPoint = -1;
int gPoint = 0;

// Test seam: a real SIGKILL at the chosen step of a commit.
void commitPoint() {
    if (gKillAtPoint >= 0 && gPoint++ == gKillAtPoint) ::kill(::getpid(), SIGKILL);
}

std::string stagingOf(const std::string& folder) {
    return (folder == "/" ? std::string() : folder) + "/" + std::string(kStagingName);
}

std::string randomTag() {
    static unsigned counter = 0;
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    unsigned long long seed = static_cast<unsigned long long>(now.tv_nsec) * 2654435761u +
                              static_cast<unsigned long long>(now.tv_sec) + ++counter * 40503u +
                              static_cast<unsigned>(::getpid()) * 97u;
    std::string tag;
    for (int i = 0; i < 6; ++i) {
        tag += kChars[seed % 62];
        seed /= 62;
    }
    return tag;
}

std::string stagedName(std::string_view prefix) {
    return std::string(prefix) + std::to_string(::getpid()) + "-" + randomTag();
}

// The process that made a staged file of ours with that prefix, or 0 when the name is not one.
pid_t ownerOf(std::string_view name, std::string_view prefix) {
    if (name.substr(0, prefix.size()) != prefix) return 0;
    name.remove_prefix(prefix.size());
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash > 9) return 0;
    const std::string_view random = name.substr(dash + 1);
    if (random.size() != 6 || !std::all_of(random.begin(), random.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c));
        }))
        return 0;
    long pid = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + dash, pid);
    if (ec != std::errc() || end != name.data() + dash || pid <= 0) return 0;
    return static_cast<pid_t>(pid);
}

bool isGone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

void syncFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// The staging folder of a folder, made when missing. It must be a folder of ours: one that
// another user made could swap a staged file before it is put in place.
int openStaging(const std::string& folder, std::string& staging) {
    staging = stagingOf(folder);
    // ENOENT after EEXIST: another process removed it as it finished; make it again.
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (::mkdir(staging.c_str(), 0700) != 0 && errno != EEXIST) return errno;
        struct stat st {};
        if (::lstat(staging.c_str(), &st) != 0) {
            if (errno == ENOENT) continue;
            return errno;
        }
        if (!S_ISDIR(st.st_mode)) return ENOTDIR;
        if (st.st_uid != ::geteuid()) return EACCES;
        return 0;
    }
    return ENOENT;
}

// What a commit of several files puts in place, written before the first of them is: a process
// killed in the middle leaves it for the next one to finish. One copy in the staging folder of
// every folder the commit writes into.
struct CommitRecord {
    std::vector<std::string> stagings;                      // folders holding a copy
    std::vector<std::pair<std::string, std::string>> moves; // staged file -> target
};

void appendField(std::string& out, const std::string& text) {
    out += std::to_string(text.size());
    out += ':';
    out += text;
}

std::string recordText(const CommitRecord& r) {
    std::string out(kRecordMagic);
    for (const std::string& s : r.stagings) {
        out += "S ";
        appendField(out, s);
        out += '\n';
    }
    for (const auto& [from, to] : r.moves) {
        out += "M ";
        appendField(out, from);
        out += ' ';
        appendField(out, to);
        out += '\n';
    }
    out += kRecordEnd;
    return out;
}

bool readField(std::string_view& in, std::string& field) {
    const std::size_t colon = in.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 5) return false;
    std::size_t size = 0;
    const auto [end, ec] = std::from_chars(in.data(), in.data() + colon, size);
    if (ec != std::errc() || end != in.data() + colon || size == 0 || size > in.size() - colon - 1)
        return false;
    field.assign(in.substr(colon + 1, size));
    in.remove_prefix(colon + 1 + size);
    return field.find('\0') == std::string::npos;
}

// False for a record cut short or not of this form.
bool parseRecord(std::string_view in, CommitRecord& r) {
    if (in.substr(0, kRecordMagic.size()) != kRecordMagic) return false;
    in.remove_prefix(kRecordMagic.size());
    while (in.size() > 2 && (in.substr(0, 2) == "S " || in.substr(0, 2) == "M ")) {
        const bool move = in[0] == 'M';
        in.remove_prefix(2);
        std::string a, b;
        if (!readField(in, a)) return false;
        if (move && (in.empty() || in[0] != ' ')) return false;
        if (move) in.remove_prefix(1);
        if (move && !readField(in, b)) return false;
        if (in.empty() || in[0] != '\n') return false;
        in.remove_prefix(1);
        if (move)
            r.moves.emplace_back(std::move(a), std::move(b));
        else
            r.stagings.push_back(std::move(a));
    }
    return in == kRecordEnd;
}

// A move the record may ask for: a staged file of the record's process, from a staging folder
// the record names, to a file of that staging folder's own folder. Anything else is not ours.
bool plausibleMove(const CommitRecord& r, pid_t owner, const std::string& from,
                   const std::string& to) {
    const std::string staging = folderOf(from);
    if (std::find(r.stagings.begin(), r.stagings.end(), staging) == r.stagings.end()) return false;
    if (ownerOf(nameOf(from), kTempPrefix) != owner) return false;
    const std::string name = nameOf(to);
    return folderOf(to) == folderOf(staging) && !name.empty() && name != "." && name != "..";
}

// Finishes the commit of a process that is gone: every staged file is put in place when every
// copy of the record is there (the renames may have begun); otherwise the renames never began
// (or all are done) and what is staged goes.
void finishCommit(const std::string& recordPath, pid_t owner) {
    std::string text;
    CommitRecord r;
    const std::string name = nameOf(recordPath);
    bool forward =
        readWholeFile(recordPath, text).ok && parseRecord(text, r) &&
        std::find(r.stagings.begin(), r.stagings.end(), folderOf(recordPath)) != r.stagings.end();
    for (const std::string& s : r.stagings) {
        struct stat st {};
        if (::lstat((s + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) forward = false;
    }
    for (const auto& [from, to] : r.moves) {
        if (!plausibleMove(r, owner, from, to)) continue;
        if (forward)
            ::rename(from.c_str(), to.c_str());
        else
            ::unlink(from.c_str());
    }
    if (forward)
        for (const std::string& s : r.stagings) syncFolder(folderOf(s));
    for (const std::string& s : r.stagings)
        if (folderOf(s) != "" && nameOf(s) == kStagingName) ::unlink((s + "/" + name).c_str());
    ::unlink(recordPath.c_str());
}

std::mutex gRecoveredMutex;
std::set<std::pair<dev_t, ino_t>> gRecovered;
std::unordered_set<std::string> gRecoveredNames;

} // namespace

void recoverInterruptedWrites(const std::string& folderPath) {
    const std::string folder = displayPath(folderPath.empty() ? "." : folderPath);
    {
        // A site's thousands of files in one folder cost one look, and no call each.
        const std::lock_guard<std::mutex> lock(gRecoveredMutex);
        if (gRecoveredNames.count(folder)) return;
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
    {
        const std::lock_guard<std::mutex> lock(gRecoveredMutex);
        gRecoveredNames.insert(folder);
        if (!gRecovered.insert({st.st_dev, st.st_ino}).second) return;
    }
    const std::string staging = stagingOf(folder);
    struct stat sst {};
    // Only our own staging folder is trusted (see openStaging).
    if (::lstat(staging.c_str(), &sst) != 0 || !S_ISDIR(sst.st_mode) || sst.st_uid != ::geteuid())
        return;
    DIR* dir = ::opendir(staging.c_str());
    if (!dir) return;
    std::vector<std::pair<std::string, pid_t>> records;
    std::vector<std::string> temps;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        const pid_t record = ownerOf(name, kRecordPrefix);
        const pid_t owner = record > 0 ? record : ownerOf(name, kTempPrefix);
        if (owner <= 0 || owner == ::getpid() || !isGone(owner)) continue;
        struct stat fst {};
        if (::fstatat(::dirfd(dir), entry->d_name, &fst, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(fst.st_mode))
            continue;
        if (record > 0)
            records.emplace_back(staging + "/" + std::string(name), owner);
        else
            temps.push_back(staging + "/" + std::string(name));
    }
    ::closedir(dir);
    for (const auto& [path, owner] : records) finishCommit(path, owner);
    // What no record claims (or a record gave up) was never put in place.
    for (const std::string& temp : temps) ::unlink(temp.c_str());
    // Only when empty: another process may be writing into it.
    ::rmdir(staging.c_str());
}

void setKillAtCommitStepForTesting(int step) {
    gKillAtPoint = step;
    gPoint = 0;
}

void forgetRecoveredFoldersForTesting() {
    const std::lock_guard<std::mutex> lock(gRecoveredMutex);
    gRecovered.clear();
    gRecoveredNames.clear();
}

namespace {

// One file of a write: its bytes in a flushed temporary file beside the target, waiting to be
// put in place; or, for a device or a fifo, written where it is.
struct Staged {
    std::string path;   // as the caller named it, for messages
    std::string target; // the file itself, links followed, absolute
    std::string_view bytes;
    bool inPlace = false;
    // An anonymous file: it has no name until it is put in place, so a killed process leaves
    // nothing behind. -1 when the file system has none to give.
    int fd = -1;
    std::string temp;   // its name in the staging folder; empty once nothing is left to remove
    bool named = false; // given a name in the staging folder at some time

    void discard() {
        if (fd >= 0) ::close(fd);
        fd = -1;
        if (!temp.empty()) {
            ::unlink(temp.c_str());
            ::rmdir(folderOf(temp).c_str()); // the staging folder, unless another file is there
        }
        temp.clear();
    }
};

// The name /proc gives an open file, through which it can be linked into a folder.
std::string procName(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

int openAnonymous(const std::string& folder, mode_t mode) {
#ifdef O_TMPFILE
    if (!gAnonymousTemps) return -1;
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0) return -1;
    // Without /proc the file could never be given a name; /proc does not come and go.
    static const bool procMounted = ::access(procName(fd).c_str(), F_OK) == 0;
    if (!procMounted) {
        ::close(fd);
        return -1;
    }
    return fd;
#else
    (void)folder;
    (void)mode;
    return -1;
#endif
}

FileResult resolve(Staged& staged, struct stat& st, bool& exists) {
    const std::string& path = staged.path;
    if (path.empty()) return failure(path, ENOENT);
    // A device or a pipe named through the kernel's own links (/dev/stdout is a pipe's
    // "pipe:[...]") is opened by that name, which only the kernel can follow.
    const bool found = ::stat(path.c_str(), &st) == 0;
    if (found && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        staged.target = path;
        staged.inPlace = true;
        return {};
    }
    struct stat lst {};
    if (!found && errno == ENOENT && ::lstat(path.c_str(), &lst) != 0 && errno == ENOENT) {
        // A new file, and no dangling link to follow: the common case of a site's projects.
        staged.target = displayPath(path);
        exists = false;
    } else {
        int error = 0;
        if (!resolveLinks(path, staged.target, error)) return failure(path, error);
        // Absolute, since a commit record must still name it for a process started elsewhere.
        staged.target = displayPath(staged.target);
        exists = ::stat(staged.target.c_str(), &st) == 0;
        if (!exists && errno != ENOENT) return failure(path, errno);
    }
    if (exists) {
        if (S_ISDIR(st.st_mode)) return failure(path, EISDIR);
        if (!S_ISREG(st.st_mode)) {
            staged.inPlace = true;
            return {};
        }
        // A file the user made read-only stays as it is.
        if (::access(staged.target.c_str(), W_OK) != 0) return failure(path, errno);
    }
    return {};
}

FileResult stage(Staged& staged) {
    struct stat st {};
    bool exists = false;
    if (FileResult r = resolve(staged, st, exists); !r.ok || staged.inPlace) return r;
    const std::string& path = staged.path;
    const std::string folder = folderOf(staged.target);
    recoverInterruptedWrites(folder);

    // A new file gets 0666 less the umask; a replaced one keeps its permissions.
    const mode_t mode = exists ? (st.st_mode & 07777) : newFileMode();
    int fd = openAnonymous(folder, mode);
    // O_TMPFILE gives a new file its mode less the umask, which is the mode it is to have.
    bool modeSet = fd >= 0 && !exists;
    if (fd >= 0) {
        staged.fd = fd;
    } else {
        std::string temp;
        // ENOENT: another process removed the staging folder as it finished; make it again.
        for (int attempt = 0; attempt < 10 && fd < 0; ++attempt) {
            std::string staging;
            if (const int error = openStaging(folder, staging); error != 0)
                return failure(path, error);
            temp =
                staging + "/" + std::string(kTempPrefix) + std::to_string(::getpid()) + "-XXXXXX";
            fd = ::mkstemp(temp.data());
            if (fd < 0 && errno != ENOENT) break;
        }
        if (fd < 0) return failure(path, errno);
        staged.temp = std::move(temp);
        staged.fd = fd;
    }

    auto fail = [&](int err) {
        staged.discard();
        return failure(path, err);
    };
    // O_TMPFILE and mkstemp both leave the mode to us (mkstemp makes the file private).
    if (!modeSet && ::fchmod(fd, mode) != 0) return fail(errno);
    if (exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // The old owner cannot be kept: the file becomes ours, which is no reason to fail.
    }

    // The data must be on the disk before the file takes the target's name: otherwise a crash
    // could leave the name on an empty or partly written file.
    int error = writeAll(fd, staged.bytes);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (error != 0) return fail(error);
    if (!staged.temp.empty()) {
        const int closed = ::close(fd);
        staged.fd = -1;
        if (closed != 0) return fail(errno);
    }
    return {};
}

// Gives an anonymous file a name in the staging folder of its target's folder.
int nameInStaging(Staged& staged) {
    if (!staged.temp.empty()) return 0;
    const std::string from = procName(staged.fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string staging;
        if (const int error = openStaging(folderOf(staged.target), staging); error != 0)
            return error;
        std::string name = staging + "/" + stagedName(kTempPrefix);
        if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            staged.temp = std::move(name);
            staged.named = true;
            return 0;
        }
        // ENOENT: another process removed the staging folder as it finished; make it again.
        if (errno != EEXIST && errno != ENOENT) return errno;
    }
    return EEXIST;
}

// Puts one staged file in place under its target's name.
int commitOne(Staged& staged) {
    if (staged.temp.empty() && staged.fd >= 0) {
        // A new target takes the anonymous file's name directly; an old one is replaced below
        // through a named file, since a link cannot replace a file.
        const std::string from = procName(staged.fd);
        if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, staged.target.c_str(), AT_SYMLINK_FOLLOW) ==
            0) {
            staged.discard();
            return 0;
        }
        if (errno != EEXIST) return errno;
        if (const int error = nameInStaging(staged); error != 0) return error;
        commitPoint();
    }
    if (::rename(staged.temp.c_str(), staged.target.c_str()) != 0) return errno;
    staged.temp.clear();
    staged.discard();
    return 0;
}

// Writes one copy of the record into a staging folder: under a temporary name first, so that a
// record is either whole or not there.
int writeRecord(const std::string& staging, const std::string& name, const std::string& text) {
    const std::string temp = staging + "/" + stagedName(kTempPrefix);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return errno;
    int error = writeAll(fd, text);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temp.c_str(), (staging + "/" + name).c_str()) != 0) error = errno;
    if (error != 0)
        ::unlink(temp.c_str());
    else
        syncFolder(staging);
    return error;
}

// Several files put in place as one: each is named in its staging folder, the record of the
// whole set is written, then the renames; a process killed on the way is finished by the next.
FileResult commitTogether(std::vector<Staged*>& files) {
    CommitRecord record;
    for (Staged* f : files) {
        if (const int error = nameInStaging(*f); error != 0) return failure(f->path, error);
        if (f->fd >= 0) ::close(f->fd);
        f->fd = -1;
        const std::string staging = folderOf(f->temp);
        if (std::find(record.stagings.begin(), record.stagings.end(), staging) ==
            record.stagings.end())
            record.stagings.push_back(staging);
        record.moves.emplace_back(f->temp, f->target);
    }
    commitPoint();
    const std::string name = stagedName(kRecordPrefix);
    const std::string text = recordText(record);
    std::size_t written = 0;
    int error = 0;
    for (; written < record.stagings.size() && error == 0; ++written) {
        error = writeRecord(record.stagings[written], name, text);
        if (error == 0) commitPoint();
    }
    FileResult result;
    if (error != 0) {
        // Nothing was replaced: the staged files go with the records. The record is ours, not
        // the person's: the message names the first file of the set.
        result = failure(files.front()->path, error);
        --written;
    } else {
        for (Staged* f : files) {
            if (::rename(f->temp.c_str(), f->target.c_str()) != 0) {
                result = failure(f->path, errno);
                break;
            }
            f->temp.clear();
            commitPoint();
        }
    }
    for (std::size_t i = 0; i < written; ++i) {
        ::unlink((record.stagings[i] + "/" + name).c_str());
        commitPoint();
    }
    return result;
}

} // namespace

FileResult writeFileAtomically(const std::string& path, std::string_view bytes) {
    const FileToWrite file{path, bytes};
    return writeFilesAtomically({&file, 1});
}

FileResult writeFilesAtomically(std::span<const FileToWrite> files) {
    std::vector<Staged> staged(files.size());
    auto discardAll = [&] {
        for (Staged& f : staged) f.discard();
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        staged[i].path = files[i].path;
        staged[i].bytes = files[i].bytes;
    }

    std::vector<std::string> folders; // of the files put in place
    std::vector<Staged*> regular;
    for (Staged& f : staged) {
        if (FileResult r = stage(f); !r.ok) {
            discardAll();
            return r;
        }
        if (f.inPlace) continue;
        regular.push_back(&f);
        std::string folder = folderOf(f.target);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(std::move(folder));
    }

    // Devices and fifos last: what they receive cannot be taken back, so they get it only once
    // every other file is ready.
    for (Staged& f : staged) {
        if (!f.inPlace) continue;
        if (FileResult r = writeInPlace(f.path, f.target, f.bytes); !r.ok) {
            discardAll();
            return r;
        }
    }

    // Signals wait until every file is in place, so that an interrupt leaves no set half
    // replaced. (SIGKILL cannot wait; the commit record is for that.)
    // One file needs no waiting: a link or a rename is one step, and what an interrupt between
    // link and rename leaves in the staging folder goes with the next write.
    const bool together = regular.size() > 1;
    sigset_t all, before;
    sigfillset(&all);
    if (together) pthread_sigmask(SIG_BLOCK, &all, &before);
    bool staging = false; // whether a staging folder may be left to remove
    for (const Staged* f : regular) staging = staging || !f->temp.empty() || together;
    FileResult result;
    if (regular.size() == 1) {
        Staged& f = *regular.front();
        if (const int error = commitOne(f); error != 0) result = failure(f.path, error);
        staging = staging || f.named;
    } else if (together) {
        result = commitTogether(regular);
    }
    discardAll();
    if (staging)
        for (const std::string& folder : folders) ::rmdir(stagingOf(folder).c_str());
    if (together) pthread_sigmask(SIG_SETMASK, &before, nullptr);

    // Makes the new names themselves durable, once for each folder; the data is already safe
    // either way.
    for (const std::string& folder : folders) syncFolder(folder);
    return result;
}

std::string resolvedPath(const std::string& path) {
    std::string target;
    int error = 0;
    if (path.empty() || !resolveLinks(path, target, error)) target = path;
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path full = fs::weakly_canonical(fs::absolute(fs::path(target), ec), ec);
    if (ec) return displayPath(target);
    std::string text = full.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

std::string sameFileMessage(std::span<const RoleFile> files) {
    // Every file's identity goes into a set: a site's thousands of files are checked in one
    // pass. Files of one folder share the folder's resolution.
    std::unordered_map<std::string, std::string> folders;
    auto resolved = [&](const std::string& path, bool link) {
        const std::string name = nameOf(path);
        if (name.empty() || name == "." || name == ".." || link) return resolvedPath(path);
        const std::string folder = path.find('/') == std::string::npos ? "." : folderOf(path);
        auto it = folders.find(folder);
        if (it == folders.end()) it = folders.emplace(folder, resolvedPath(folder)).first;
        return (it->second == "/" ? std::string() : it->second) + "/" + name;
    };
    auto message = [&](std::size_t i, std::size_t j) {
        std::string first = files[i].role;
        if (!first.empty()) first[0] = static_cast<char>(std::toupper(first[0]));
        return first + " " + displayPath(files[i].path) + " and the " + files[j].role + " " +
               displayPath(files[j].path) + " are the same file; nothing was written.";
    };
    std::unordered_map<std::string, std::size_t> byPath;
    std::map<std::pair<dev_t, ino_t>, std::size_t> byIdentity;
    for (std::size_t j = 0; j < files.size(); ++j) {
        const std::string& path = files[j].path;
        if (path.empty()) continue; // not named yet
        struct stat st {};
        bool exists = ::lstat(path.c_str(), &st) == 0;
        const bool link = exists && S_ISLNK(st.st_mode);
        if (link) exists = ::stat(path.c_str(), &st) == 0;
        // What is not a plain file (a device, a fifo, a folder) is written in place or refused
        // on its own; /dev/null may well take two outputs.
        if (exists && !S_ISREG(st.st_mode)) continue;
        const auto [at, fresh] = byPath.emplace(resolved(path, link), j);
        if (!fresh) return message(at->second, j);
        if (!exists) continue;
        const auto [same, freshId] = byIdentity.emplace(std::pair{st.st_dev, st.st_ino}, j);
        if (!freshId) return message(same->second, j);
    }
    return {};
}

FileResult readWholeFile(const std::string& path, std::string& bytes) {
    // A file to be read is held whole in memory; the cap keeps a device such as /dev/zero from
    // taking all of it.
    return readWholeFile(path, bytes, ReadLimits{});
}

std::string sizeText(std::size_t bytes) {
    constexpr std::size_t kMb = std::size_t{1} << 20;
    constexpr std::size_t kGb = std::size_t{1} << 30;
    if (bytes >= kGb && bytes % kGb == 0) return std::to_string(bytes / kGb) + " GB";
    return std::to_string(bytes / kMb) + " MB";
}

FileResult readWholeFile(const std::string& path, std::string& bytes, const ReadLimits& limits) {
    bytes.clear();
    auto failed = [&](int error) {
        bytes.clear();
        if (error == EFBIG && limits.maxBytes != ReadLimits{}.maxBytes)
            return FileResult{false, error,
                              displayPath(path) + " is larger than " + sizeText(limits.maxBytes) +
                                  ", more than " + limits.what + " can be.\n" + reason(error)};
        return FileResult{false, error, fileReadErrorMessage(path, error)};
    };
    // Non-blocking open, so that a fifo without a writer cannot hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return failed(errno);
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);

    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return failed(error);
    }
    // A file of /proc or /sys looks regular, but is made up as it is read: /proc/self/mem
    // fails with an I/O error that reads like a broken disk.
    struct statfs fs {};
    const bool madeUp = limits.regularOnly && ::fstatfs(fd, &fs) == 0 &&
                        (fs.f_type == PROC_SUPER_MAGIC || fs.f_type == SYSFS_MAGIC);
    if (limits.regularOnly && (!S_ISREG(st.st_mode) || madeUp)) {
        ::close(fd);
        const char* kind = S_ISFIFO(st.st_mode)   ? "a fifo"
                           : S_ISCHR(st.st_mode)  ? "a character device"
                           : S_ISBLK(st.st_mode)  ? "a block device"
                           : S_ISSOCK(st.st_mode) ? "a socket"
                           : madeUp               ? "a file the system makes up as it is read"
                                                  : "not a plain file";
        return FileResult{false, EINVAL,
                          displayPath(path) + " is not a regular file.\nIt is " +
                              std::string(kind) + "; only a file can be read."};
    }
    if (S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) > limits.maxBytes) {
        ::close(fd);
        return failed(EFBIG);
    }
    if (S_ISREG(st.st_mode) && st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));

    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            return failed(error);
        }
        if (bytes.size() + static_cast<std::size_t>(n) > limits.maxBytes) {
            ::close(fd);
            return failed(EFBIG);
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return {};
}

} // namespace zenka
