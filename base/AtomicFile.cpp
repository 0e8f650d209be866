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
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
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

// Temporary files carry the writing process's number, so that one left by a killed process can
// be told from one that a running process is still writing: ".bridge.out.zenka-4711-Ab3xYz".
constexpr std::string_view kTempTag = ".zenka-";

std::string tempPrefix(const std::string& target) {
    std::string name = nameOf(target);
    if (name.size() > 100) name.resize(100);
    return folderOf(target) + "/." + name + std::string(kTempTag) + std::to_string(::getpid()) +
           "-";
}

// The process that made a temporary file of ours, or 0 when the name is not one of ours.
pid_t tempOwner(std::string_view name) {
    // "." + name + ".zenka-" + digits + "-" + six letters or digits.
    constexpr std::size_t kRandom = 6;
    if (name.size() < 1 + kTempTag.size() + 2 + kRandom || name.front() != '.') return 0;
    const std::string_view random = name.substr(name.size() - kRandom);
    if (!std::all_of(random.begin(), random.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
        return 0;
    std::string_view rest = name.substr(0, name.size() - kRandom);
    if (rest.back() != '-') return 0;
    rest.remove_suffix(1);
    const std::size_t tag = rest.rfind(kTempTag);
    if (tag == std::string_view::npos) return 0;
    const std::string_view digits = rest.substr(tag + kTempTag.size());
    long pid = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.size() > 9) return 0;
    return static_cast<pid_t>(pid);
}

// Removes the temporary files that processes which no longer run left in a folder (a kill or a
// power cut between writing and renaming). Files of running processes are theirs to finish.
void removeOrphans(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = tempOwner(entry->d_name);
        if (owner <= 0 || owner == self) continue;
        if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// One file of a write: its bytes in a flushed temporary file beside the target, waiting to be
// put in place; or, for a device or a fifo, written where it is.
struct Staged {
    std::string path;   // as the caller named it, for messages
    std::string target; // the file itself, links followed
    std::string_view bytes;
    bool inPlace = false;
    // An anonymous file: it has no name until it is put in place, so a killed process leaves
    // nothing behind. -1 when the file system has none to give.
    int fd = -1;
    std::string temp; // a named temporary file instead; empty once nothing is left to remove

    void discard() {
        if (fd >= 0) ::close(fd);
        fd = -1;
        if (!temp.empty()) ::unlink(temp.c_str());
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
    // Without /proc the file could never be given a name.
    if (::access(procName(fd).c_str(), F_OK) != 0) {
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
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        staged.target = path;
        staged.inPlace = true;
        return {};
    }
    int error = 0;
    if (!resolveLinks(path, staged.target, error)) return failure(path, error);
    exists = ::stat(staged.target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return failure(path, errno);
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

    // A new file gets 0666 less the umask; a replaced one keeps its permissions.
    const mode_t mode = exists ? (st.st_mode & 07777) : newFileMode();
    int fd = openAnonymous(folderOf(staged.target), mode);
    if (fd >= 0) {
        staged.fd = fd;
    } else {
        std::string temp = tempPrefix(staged.target) + "XXXXXX";
        fd = ::mkstemp(temp.data());
        if (fd < 0) return failure(path, errno);
        staged.temp = std::move(temp);
        staged.fd = fd;
    }

    auto fail = [&](int err) {
        staged.discard();
        return failure(path, err);
    };
    // O_TMPFILE and mkstemp both leave the mode to us (mkstemp makes the file private).
    if (::fchmod(fd, mode) != 0) return fail(errno);
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

// Gives an anonymous file a name beside its target, one no other file has.
int linkAnonymous(Staged& staged) {
    static unsigned counter = 0;
    const std::string from = procName(staged.fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        static constexpr char kChars[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        unsigned long long seed = static_cast<unsigned long long>(::time(nullptr)) * 2654435761u +
                                  ++counter * 40503u + static_cast<unsigned>(attempt);
        std::string name = tempPrefix(staged.target);
        for (int i = 0; i < 6; ++i) {
            name += kChars[seed % 62];
            seed /= 62;
        }
        if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            staged.temp = std::move(name);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// Puts a staged file in place under its target's name.
int commit(Staged& staged) {
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
        if (const int error = linkAnonymous(staged); error != 0) return error;
    }
    if (::rename(staged.temp.c_str(), staged.target.c_str()) != 0) return errno;
    staged.temp.clear();
    staged.discard();
    return 0;
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
    for (Staged& f : staged) {
        if (FileResult r = stage(f); !r.ok) {
            discardAll();
            return r;
        }
        if (f.inPlace) continue;
        std::string folder = folderOf(f.target);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(std::move(folder));
    }
    for (const std::string& folder : folders) removeOrphans(folder);

    // Devices and fifos last: what they receive cannot be taken back, so they get it only once
    // every other file is ready.
    for (Staged& f : staged) {
        if (!f.inPlace) continue;
        if (FileResult r = writeInPlace(f.path, f.target, f.bytes); !r.ok) {
            discardAll();
            return r;
        }
    }

    // Replacing a file takes a link and a rename; an interrupt between the two would leave the
    // linked name behind, so signals wait until every file is in place. (SIGKILL cannot wait;
    // what it leaves carries the process number and goes with the next write.)
    sigset_t all, before;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &before);
    FileResult result;
    for (Staged& f : staged) {
        if (f.inPlace) continue;
        if (const int error = commit(f); error != 0) {
            result = failure(f.path, error);
            break;
        }
    }
    discardAll();
    pthread_sigmask(SIG_SETMASK, &before, nullptr);

    // Makes the new names themselves durable, once for each folder; the data is already safe
    // either way.
    for (const std::string& folder : folders) {
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
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
    struct Key {
        std::string resolved;
        bool exists = false;
        bool regular = false;
        dev_t dev = 0;
        ino_t ino = 0;
    };
    std::vector<Key> keys(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        Key& k = keys[i];
        k.resolved = resolvedPath(files[i].path);
        struct stat st {};
        k.exists = !files[i].path.empty() && ::stat(files[i].path.c_str(), &st) == 0;
        k.regular = k.exists && S_ISREG(st.st_mode);
        k.dev = st.st_dev;
        k.ino = st.st_ino;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        for (std::size_t j = i + 1; j < files.size(); ++j) {
            const Key& a = keys[i];
            const Key& b = keys[j];
            if (files[i].path.empty() || files[j].path.empty()) continue; // not named yet
            // What is not a plain file (a device, a fifo, a folder) is written in place or
            // refused on its own; /dev/null may well take two outputs.
            if ((a.exists && !a.regular) || (b.exists && !b.regular)) continue;
            const bool same = a.resolved == b.resolved ||
                              (a.exists && b.exists && a.dev == b.dev && a.ino == b.ino);
            if (!same) continue;
            std::string first = files[i].role;
            if (!first.empty()) first[0] = static_cast<char>(std::toupper(first[0]));
            return first + " " + displayPath(files[i].path) + " and the " + files[j].role + " " +
                   displayPath(files[j].path) + " are the same file; nothing was written.";
        }
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
    if (limits.regularOnly && !S_ISREG(st.st_mode)) {
        ::close(fd);
        const char* kind = S_ISFIFO(st.st_mode)   ? "a fifo"
                           : S_ISCHR(st.st_mode)  ? "a character device"
                           : S_ISBLK(st.st_mode)  ? "a block device"
                           : S_ISSOCK(st.st_mode) ? "a socket"
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
