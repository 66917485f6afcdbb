#pragma once
// Captures every message box during a test's life and answers it with a chosen button.
#include "framework/AppMessageBox.h"

#include <string>
#include <vector>

struct CapturedMessage {
    std::string text;
    unsigned style;
};

class MessageCapture {
public:
    explicit MessageCapture(int answer = 1 /* IDOK */) : m_answer(answer) {
        m_previous = fw::SetMessageBoxHandler([this](const std::string& text, unsigned style) {
            m_messages.push_back({text, style});
            return m_answer;
        });
    }
    ~MessageCapture() { fw::SetMessageBoxHandler(m_previous); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    void SetAnswer(int answer) { m_answer = answer; }
    const std::vector<CapturedMessage>& Messages() const { return m_messages; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : m_messages)
            texts.push_back(m.text);
        return texts;
    }

private:
    int m_answer;
    std::vector<CapturedMessage> m_messages;
    fw::MessageBoxHandler m_previous;
};
