// A scripted user interface for tests: it records what the core shows and
// answers questions and file dialogs from queues.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "shell/userinterface.h"

namespace tarvel::test {

class FakeUi : public UserInterface {
public:
    bool batch = false;
    std::vector<std::string> messages;  // "title|text"
    std::vector<std::string> questions;
    std::deque<Answer> answers;
    std::deque<std::optional<FileDialogResult>> files;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<std::string> recent;
    std::vector<std::vector<std::string>> written;  // each filesWritten call

    bool isBatch() const override { return batch; }
    void showMessage(std::string_view title, std::string_view text, MessageIcon) override {
        messages.push_back(std::string(title) + "|" + std::string(text));
    }
    Answer ask(std::string_view title, std::string_view text, MessageIcon, bool,
               Answer defaultAnswer) override {
        questions.push_back(std::string(title) + "|" + std::string(text));
        if (answers.empty()) {
            return defaultAnswer;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<FileDialogResult> askFile(const FileDialogRequest& r) override {
        fileRequests.push_back(r);
        if (files.empty()) {
            return std::nullopt;
        }
        auto f = files.front();
        files.pop_front();
        return f;
    }
    void addRecentFile(const std::string& path) override { recent.push_back(path); }
    void filesWritten(const std::vector<std::string>& paths) override { written.push_back(paths); }
};

}  // namespace tarvel::test
