#include "project/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zenka {

namespace {

long long gFailAfterBytes = -1;

// A file to be read is held whole in memory; this keeps a device such as /dev/zero from
// taking all of it.
constexpr std::size_t kMaxReadBytes = std::size_t{256} << 20;

std::string reason(int error) {
    return std::strerror(error);
}

std::string replacePath(const char* pattern, const std::string& path) {
    std::string text = pattern;
    text.replace(text.find("%1"), 2, path);
    return text;
}

std::string invalidHandleMessage(const std::string& path, int error) {
    return replacePath("An invalid file handle was associated with %1.", path) + "\n" +
           reason(error);
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
    if (error == ENOSPC || error == EDQUOT)
        return replacePath("Disk full while accessing %1.", path);
    return invalidHandleMessage(path, error);
}

std::string fileReadErrorMessage(const std::string& path, int error) {
    if (error == ENOENT) return replacePath("%1 was not found.", path);
    if (error == EACCES) return replacePath("Access to %1 was denied.", path);
    return invalidHandleMessage(path, error);
}

void setWriteFailureAfterBytesForTesting(long long n) {
    gFailAfterBytes = n < 0 ? -1 : n;
}

namespace {

// One file of a write: its bytes in a flushed temporary file beside the target, waiting for the
// rename; or, for a device or a fifo, already written where it is.
struct Staged {
    std::string target;
    std::string temp; // empty once there is nothing left to rename or remove
};

FileResult stage(const std::string& path, std::string_view bytes, Staged& staged) {
    if (path.empty()) return failure(path, ENOENT);

    std::string& target = staged.target;
    int error = 0;
    if (!resolveLinks(path, target, error)) return failure(path, error);

    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return failure(path, errno);
    if (exists) {
        if (S_ISDIR(st.st_mode)) return failure(path, EISDIR);
        if (!S_ISREG(st.st_mode)) return writeInPlace(path, target, bytes);
        // A file the user made read-only stays as it is.
        if (::access(target.c_str(), W_OK) != 0) return failure(path, errno);
    }

    std::string name = nameOf(target);
    if (name.size() > 100) name.resize(100);
    std::string temp = folderOf(target) + "/." + name + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return failure(path, errno);

    auto fail = [&](int err) {
        ::unlink(temp.c_str());
        return failure(path, err);
    };

    // mkstemp makes the file private; give it the old file's permissions, or a new file's.
    if (::fchmod(fd, exists ? (st.st_mode & 07777) : newFileMode()) != 0) {
        error = errno;
        ::close(fd);
        return fail(error);
    }
    if (exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // The old owner cannot be kept: the file becomes ours, which is no reason to fail.
    }

    // The data must be on the disk before the rename can make it the target: otherwise a crash
    // could leave the new name on an empty or partly written file.
    error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) return fail(error);
    staged.temp = std::move(temp);
    return {};
}

} // namespace

FileResult writeFileAtomically(const std::string& path, std::string_view bytes) {
    const FileToWrite file{path, bytes};
    return writeFilesAtomically({&file, 1});
}

FileResult writeFilesAtomically(std::span<const FileToWrite> files) {
    std::vector<Staged> staged(files.size());
    auto removeTemps = [&](std::size_t from) {
        for (std::size_t i = from; i < staged.size(); ++i)
            if (!staged[i].temp.empty()) ::unlink(staged[i].temp.c_str());
    };

    for (std::size_t i = 0; i < files.size(); ++i) {
        if (FileResult r = stage(files[i].path, files[i].bytes, staged[i]); !r.ok) {
            removeTemps(0);
            return r;
        }
    }
    FileResult result;
    std::vector<std::string> folders; // of the files renamed
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (staged[i].temp.empty()) continue;
        if (::rename(staged[i].temp.c_str(), staged[i].target.c_str()) != 0) {
            result = failure(files[i].path, errno);
            removeTemps(i);
            break;
        }
        staged[i].temp.clear();
        std::string folder = folderOf(staged[i].target);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(std::move(folder));
    }

    // Makes the renames themselves durable, once for each folder; the data is already safe
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

FileResult readWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    auto failed = [&](int error) {
        bytes.clear();
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
    if (S_ISREG(st.st_mode) && st.st_size > 0 &&
        static_cast<unsigned long long>(st.st_size) <= kMaxReadBytes)
        bytes.reserve(static_cast<std::size_t>(st.st_size));

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
        if (bytes.size() + static_cast<std::size_t>(n) > kMaxReadBytes) {
            ::close(fd);
            return failed(EFBIG);
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return {};
}

} // namespace zenka
