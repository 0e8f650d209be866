#include "batch/BatchShell.h"

namespace zenka {

std::string terminalText(std::string_view text, bool keepLineBreaks) {
    std::string out(text);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 32 || u == 127) && !(keepLineBreaks && c == '\n')) c = ' ';
    }
    return out;
}

void BatchShell::announce(std::FILE* out) {
    bool& done = out == err_ ? labelledErr_ : labelledOut_;
    if (label_.empty() || done) return;
    done = true;
    std::fputs(terminalText(label_).c_str(), out);
    std::fputc('\n', out);
}

void BatchShell::showMessage(const std::string& text, MessageKind) {
    announce(err_);
    std::fputs(terminalText(text, true).c_str(), err_);
    std::fputc('\n', err_);
}

void BatchShell::showReadWarnings(const std::string& path,
                                  const std::vector<ReadWarning>& warnings) {
    announce(err_);
    for (const ReadWarning& w : warnings)
        std::fprintf(err_, "%s:%d: warning: text that is not a number was skipped: %s\n",
                     terminalText(path).c_str(), w.line, terminalText(w.text).c_str());
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
