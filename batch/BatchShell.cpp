#include "batch/BatchShell.h"

namespace zenka {

void BatchShell::showMessage(const std::string& text, MessageKind) {
    ++messages_;
    std::fputs(text.c_str(), err_);
    std::fputc('\n', err_);
}

// Nobody answers on the terminal: unsaved changes never exist here, so nothing is lost.
Answer BatchShell::askYesNoCancel(const std::string&) {
    return Answer::Cancel;
}

std::optional<std::string> BatchShell::chooseSaveFile(const FileDialogOptions&) {
    return std::nullopt;
}

std::optional<std::string> BatchShell::chooseOpenFile(const FileDialogOptions&) {
    if (fileToOpen_.empty()) return std::nullopt;
    return fileToOpen_;
}

} // namespace zenka
