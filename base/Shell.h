#pragma once

// Everything that needs a person goes through Shell: the desktop program answers with dialogs,
// the batch program on the terminal, the tests with a scripted fake.

#include <optional>
#include <string>
#include <vector>

namespace zenka {

// Caption of every message box.
inline constexpr const char* kProgramTitle = "Zenka Windows Application";

// A line of numbers that held text the reader could not take as numbers (a decimal comma, digit
// grouping, letters): the reader stopped there, so a value may be short or 0.
struct ReadWarning {
    int line = 0;     // 1-based
    std::string text; // the line, printable and cut to a readable length
};

// One message for the person listing the warnings of the file at path (the first few of many).
std::string readWarningsMessage(const std::string& path, const std::vector<ReadWarning>& warnings);

enum class Answer { Yes, No, Cancel };

enum class MessageKind {
    Information, // validation messages of the analysis hand-off (OK button only)
    Warning,     // file errors
    Question,
};

struct FileDialogOptions {
    // Each filter as the dialog shows it, e.g. "Input File (*.in)".
    std::vector<std::string> filters;
    std::string defaultSuffix;     // without the dot: "in"
    bool confirmOverwrite = false; // save dialogs ask before replacing a file
    std::string title = {};        // what the file is for; empty: "Save As" or "Open"
};

class Shell {
public:
    virtual ~Shell() = default;

    virtual void showMessage(const std::string& text, MessageKind kind) = 0;
    // Yes, No and Cancel buttons with a question icon.
    virtual Answer askYesNoCancel(const std::string& text) = 0;
    // A question whose Yes gives work up: Yes and No, with No for Return and Escape alike.
    virtual bool confirmDiscard(const std::string& text) {
        return askYesNoCancel(text) == Answer::Yes;
    }
    // The chosen file's full path, or nothing when the user cancelled.
    virtual std::optional<std::string> chooseSaveFile(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> chooseOpenFile(const FileDialogOptions& options) = 0;
    // The "Working..." notice while an analysis runs.
    virtual void beginWorking() = 0;
    virtual void endWorking() = 0;
    // Starts a text viewer on the file without waiting; an empty path starts it without a file.
    virtual void openTextViewer(const std::string& path) = 0;
    // The lines of an opened project file that held text that is not a number.
    virtual void showReadWarnings(const std::string& path,
                                  const std::vector<ReadWarning>& warnings) {
        showMessage(readWarningsMessage(path, warnings), MessageKind::Warning);
    }
};

} // namespace zenka
