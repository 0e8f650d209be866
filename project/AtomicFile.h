#pragma once

// Every file the program writes goes through here: the bytes go to a temporary file in the same
// folder, are flushed to disk, and the temporary file then replaces the target in one rename.
// A failure at any point leaves the old file as it was and no temporary file behind.

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
// flushed before the first rename: a failure before the renames leaves every target as it was.
// A folder is flushed once after the renames into it, not once for each file.
FileResult writeFilesAtomically(std::span<const FileToWrite> files);

// Reads a whole file; on failure the message names the path and the reason.
FileResult readWholeFile(const std::string& path, std::string& bytes);

// The message for a failed write of path, by errno.
std::string fileWriteErrorMessage(const std::string& path, int error);

// The message for a failed read of path, by errno.
std::string fileReadErrorMessage(const std::string& path, int error);

// Test seam: when set to n >= 0, the next writes fail with ENOSPC after n bytes. -1 turns it off.
void setWriteFailureAfterBytesForTesting(long long n);

} // namespace zenka
