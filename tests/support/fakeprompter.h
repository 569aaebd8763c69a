// A scripted prompter: records messages, questions and beeps, and answers the
// questions from a queue (OK when the queue is empty).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "editor/dialogprompter.h"

namespace tarvel::test {

class FakePrompter : public DialogPrompter {
public:
    std::vector<std::string> messages;
    std::vector<std::string> questions;  // "title|text"
    std::deque<bool> answers;
    int beeps = 0;

    void message(std::string_view text) override { messages.emplace_back(text); }
    bool confirm(std::string_view title, std::string_view text) override {
        questions.push_back(std::string(title) + "|" + std::string(text));
        if (answers.empty()) {
            return true;
        }
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void beep() override { ++beeps; }
};

}  // namespace tarvel::test
