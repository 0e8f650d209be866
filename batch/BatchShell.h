#pragma once

// The Shell of the batch program: messages go to stderr, one per line; the only "open dialog"
// answers with the file named on the command line; there is no Save As.

#include "base/Shell.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace zenka {

// Text from a data file or the command line as the terminal gets it: control characters (0 to
// 31 and 127) print as blanks, so that no name can move the cursor or clear the screen. Line
// breaks stay where a message puts them itself.
std::string terminalText(std::string_view text, bool keepLineBreaks = false);

class BatchShell : public Shell {
public:
    explicit BatchShell(std::FILE* err) : err_(err) {}

    // The file the next open dialog chooses.
    void setFileToOpen(std::string path) { fileToOpen_ = std::move(path); }
    // A line put once in front of what is printed next on each stream ("bridge.in:"), so that
    // the lines that follow stay exactly the messages.
    void setLabel(std::string label) {
        label_ = std::move(label);
        labelledErr_ = labelledOut_ = false;
    }
    // Puts the label on `out` (stdout or the error stream) unless it is there already.
    void announce(std::FILE* out);

    void showMessage(const std::string& text, MessageKind kind) override;
    // "FILE:LINE: warning: ..." lines, as compilers print them.
    void showReadWarnings(const std::string& path,
                          const std::vector<ReadWarning>& warnings) override;
    Answer askYesNoCancel(const std::string& text) override;
    std::optional<std::string> chooseSaveFile(const FileDialogOptions& options) override;
    std::optional<std::string> chooseOpenFile(const FileDialogOptions& options) override;
    void beginWorking() override {}
    void endWorking() override {}
    void openTextViewer(const std::string&) override {}

private:
    std::FILE* err_;
    std::string fileToOpen_;
    std::string label_;
    bool labelledErr_ = false;
    bool labelledOut_ = false;
};

} // namespace zenka
