#include "project/FileCommands.h"

#include "base/AtomicFile.h"
#include "base/Shell.h"
#include "model/PelbrinDoc.h"
#include "project/InputFile.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace zenka {

namespace {

FileDialogOptions saveDialog() {
    return {{"Input File (*.in)"}, "in", true};
}

FileDialogOptions openDialog() {
    return {{"Input File (*.in)", "All Files (*)"}, "in", false};
}

std::optional<std::string> chosen(std::optional<std::string> path) {
    if (path && path->empty()) return std::nullopt;
    return path;
}

// The project takes the chosen file's names; the report goes beside it.
void nameProject(CPelbrinDoc& doc, const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? ""
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    doc.pathName = path;
    doc.fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    doc.title = path;
    doc.files.INFILE = doc.fileName;
    doc.files.OUTFILE = reportNameFor(doc.fileName);
    doc.files.OUTDIR = folder;
    doc.files.INDIR = folder;
}

constexpr std::uintmax_t kHeadBytes = 1 << 20;

std::string notAProject(const std::string& path, const std::string& why) {
    return displayPath(path) + " is not a Zenka project: " + why + ".";
}

// A file that is there and holds something other than a project is replaced only when the user
// says so: the path may have come from a mis-click, or the file may have changed since.
bool mayReplace(const std::string& path, Shell& shell) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return true; // nothing there, or the write says why
    const auto size = fs::file_size(path, ec);
    if (ec || size == 0) return true;
    // The head tells: line 1 and the first lines of numbers, and binary bytes near the start.
    std::ifstream in(path, std::ios::binary);
    if (!in) return true;
    std::string head(static_cast<std::size_t>(std::min<std::uintmax_t>(size, kHeadBytes)), '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (head.size() < size) {
        // Cut at a line end, so no line is judged by a part of it.
        const std::size_t end = head.find_last_of("\r\n");
        if (end != std::string::npos) head.resize(end + 1);
    }
    const std::string why = projectFileProblem(head);
    if (why.empty()) return true;
    return shell.confirmDiscard(notAProject(path, why) + "\nReplace it with this project?");
}

// The question before unsaved changes would be lost. True when the command may go on: the user
// said No, or said Yes and the project was saved.
bool settleChanges(CPelbrinDoc& doc, Shell& shell) {
    if (!doc.IsModified()) return true;
    switch (shell.askYesNoCancel("Save changes to " + doc.pathName + " ?")) {
    case Answer::Yes:
        return SaveProject(doc, shell);
    case Answer::No:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

} // namespace

bool NewProject(CPelbrinDoc& doc, Shell& shell) {
    if (!settleChanges(doc, shell)) return false;
    doc.ResetProject();
    doc.title = " ";
    doc.notifyChanged();
    doc.SetModified(false);
    return true;
}

bool OpenProject(CPelbrinDoc& doc, Shell& shell) {
    const auto path = chosen(shell.chooseOpenFile(openDialog()));
    return path && OpenProjectFile(doc, shell, *path);
}

bool OpenProjectFile(CPelbrinDoc& doc, Shell& shell, const std::string& name) {
    // A name given relative to the working folder: the project keeps its whole path.
    std::string path = name;
    if (!name.empty() && name.front() != '/') {
        std::error_code error;
        const std::filesystem::path whole = std::filesystem::absolute(name, error);
        if (!error) path = whole.lexically_normal().string();
    }
    // A run's write that a kill left half done in the project's folder is finished first, so
    // that its report and depth data are one set.
    const std::size_t slash = path.find_last_of('/');
    recoverInterruptedWrites(slash == std::string::npos ? "." : path.substr(0, slash + 1));

    // Read first: a file that cannot be read must not cost the project it would replace.
    std::string bytes;
    if (const FileResult r = readWholeFile(path, bytes); !r.ok) {
        shell.showMessage(r.message, MessageKind::Warning);
        return false;
    }
    if (const std::string why = projectFileProblem(bytes); !why.empty()) {
        shell.showMessage(notAProject(path, why), MessageKind::Warning);
        return false;
    }
    // Opening replaces the project: unsaved changes are saved or given up first, never lost
    // without asking.
    if (!settleChanges(doc, shell)) return false;

    doc.ResetProject();
    nameProject(doc, path);
    doc.notifyChanged();
    const std::vector<ReadWarning> warnings = readInputFile(bytes, doc);
    doc.notifyChanged();
    doc.SetModified(false);
    // Told once the project is loaded, so the person can look at the values while reading.
    if (!warnings.empty()) shell.showReadWarnings(displayPath(path), warnings);
    return true;
}

namespace {

bool writeProject(CPelbrinDoc& doc, Shell& shell) {
    doc.notifyChanged();
    const std::string bytes = writeInputFile(doc);
    if (const FileResult r = writeFileAtomically(doc.pathName, bytes); !r.ok) {
        shell.showMessage(r.message, MessageKind::Warning);
        return false;
    }
    doc.SetModified(false);
    return true;
}

} // namespace

bool SaveProject(CPelbrinDoc& doc, Shell& shell) {
    if (doc.pathName.empty()) return SaveProjectAs(doc, shell);
    if (!mayReplace(doc.pathName, shell)) return false;
    return writeProject(doc, shell);
}

bool SaveProjectAs(CPelbrinDoc& doc, Shell& shell, const std::string& purpose) {
    FileDialogOptions options = saveDialog();
    options.title = purpose;
    const auto path = chosen(shell.chooseSaveFile(options));
    if (!path) return false;
    // Refused: the project keeps the names it had.
    if (!mayReplace(*path, shell)) return false;
    nameProject(doc, *path);
    return writeProject(doc, shell);
}

bool AskToSaveChanges(CPelbrinDoc& doc, Shell& shell) {
    return settleChanges(doc, shell);
}

} // namespace zenka
