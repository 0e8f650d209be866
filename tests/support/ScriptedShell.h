#pragma once

// A Shell for tests: records what the program showed and answers from a script.

#include "base/Shell.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zenka::test {

// Base is Shell, or a Shell with more to ask (the desktop program's GuiShell).
template <class Base> class BasicScriptedShell : public Base {
public:
    struct Message {
        std::string text;
        MessageKind kind;
    };

    // What the program showed, in order.
    std::vector<Message> messages;
    std::vector<std::string> questions;
    std::vector<FileDialogOptions> saveDialogs;
    std::vector<FileDialogOptions> openDialogs;
    std::vector<std::string> viewerPaths;
    int workingBegun = 0;
    int workingEnded = 0;

    // What the person answers next; an empty script answers Cancel / cancels the dialog.
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> saveChoices;
    std::deque<std::optional<std::string>> openChoices;

    // Called as each message is shown, to look at the program's state at that moment.
    std::function<void()> onMessage;

    void showMessage(const std::string& text, MessageKind kind) override {
        messages.push_back({text, kind});
        if (onMessage) onMessage();
    }
    Answer askYesNoCancel(const std::string& text) override {
        questions.push_back(text);
        if (answers.empty()) return Answer::Cancel;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> chooseSaveFile(const FileDialogOptions& options) override {
        saveDialogs.push_back(options);
        return next(saveChoices);
    }
    std::optional<std::string> chooseOpenFile(const FileDialogOptions& options) override {
        openDialogs.push_back(options);
        return next(openChoices);
    }
    void beginWorking() override { ++workingBegun; }
    void endWorking() override { ++workingEnded; }
    void openTextViewer(const std::string& path) override { viewerPaths.push_back(path); }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> out;
        for (const auto& m : messages) out.push_back(m.text);
        return out;
    }

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& q) {
        if (q.empty()) return std::nullopt;
        auto v = q.front();
        q.pop_front();
        return v;
    }
};

using ScriptedShell = BasicScriptedShell<Shell>;

} // namespace zenka::test
