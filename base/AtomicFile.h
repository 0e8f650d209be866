#pragma once

// Every file the program writes goes through here: the bytes go to a temporary file in the same
// folder, are flushed to disk, and the temporary file then replaces the target in one rename.
// A failure at any point leaves the old file as it was and no temporary file behind. The
// temporary file is anonymous where the file system allows it. A file that needs a name before
// its rename gets one in the folder's hidden staging folder (".zenka-staging"), which carries
// the process number; several files written together are listed there in a commit record
// before the first rename, so that the next write into the folder (or recoverInterruptedWrites)
// finishes the set a killed process left half replaced and removes what it left.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace zenka {

struct FileResult {
    bool ok = true;
    int error = 0;       // errno of the failing call
    std::string message; // for the user: names the file's full path and the reason
};

FileResult writeFileAtomically(const std::string& path, std::string_view bytes);

struct FileToWrite {
    std::string path;
    std::string_view bytes;
};

// Several files, each as writeFileAtomically writes it, but every temporary file is written and
// flushed, and every device written, before the first file is put in place: a failed write
// leaves every target as it was. A folder is flushed once after the renames into it.
FileResult writeFilesAtomically(std::span<const FileToWrite> files);

// Finishes what processes that are gone left in folder's staging folder: a commit whose record
// is whole is completed (every staged file put in place), anything else staged is removed. Once
// per folder per process; every write calls it for its folders, a run for its input's folder.
void recoverInterruptedWrites(const std::string& folder);

// Reads a whole file; on failure the message names the path and the reason.
FileResult readWholeFile(const std::string& path, std::string& bytes);

// What a read takes: at most maxBytes (a larger file is refused with a message that names the
// cap and what the file is to the person), and with regularOnly nothing but a regular file (a
// fifo or a device is refused before anything is read).
struct ReadLimits {
    std::size_t maxBytes = std::size_t{256} << 20;
    bool regularOnly = false;
    const char* what = "a project file";
};
FileResult readWholeFile(const std::string& path, std::string& bytes, const ReadLimits& limits);

// "256 MB", "1 GB": a size cap as messages give it.
std::string sizeText(std::size_t bytes);

// The path as messages show it: absolute, without "." and ".." steps or a trailing slash.
std::string displayPath(const std::string& path);

// The file a path stands for, for telling whether two paths name the same file: absolute, with
// every symbolic link (of the file and of its folders) followed, as a write would follow them.
std::string resolvedPath(const std::string& path);

// A file of one run and what it is to the person: "input file", "report", "CSV file".
struct RoleFile {
    std::string role;
    std::string path;
};

// Empty when the files are all different; otherwise the message naming the first two that are
// one file (the same path after links and "..", or the same file under two names), for a run
// that must then write nothing. Devices and fifos may be named twice.
std::string sameFileMessage(std::span<const RoleFile> files);

// The message for a failed write of path, by errno: the cause with the full path, then the
// system's reason.
std::string fileWriteErrorMessage(const std::string& path, int error);

// The message for a failed read of path, by errno, likewise.
std::string fileReadErrorMessage(const std::string& path, int error);

// Test seam: when set to n >= 0, the next writes fail with ENOSPC after n bytes. -1 turns it off.
void setWriteFailureAfterBytesForTesting(long long n);
// Test seam: false writes through named temporary files, as on a file system without anonymous
// ones.
void setAnonymousTempFilesForTesting(bool on);

// Test seam: a SIGKILL of the process itself at step n (0, 1, ...) of the next commit: after the
// files are named, after each copy of the record, after each rename, after each record removed.
// -1 turns it off.
void setKillAtCommitStepForTesting(int n);
// Test seam: recoverInterruptedWrites looks into every folder again.
void forgetRecoveredFoldersForTesting();

} // namespace zenka
