// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CNotifier.h"
#include "support/CRecordingSink.h"

#include <string>
#include <vector>

// Records every message, and what the output sink showed at that moment (so a test can tell
// whether an echo came before the message box).
class CRecordingNotifier : public CNotifier {
public:
    explicit CRecordingNotifier(const CRecordingSink* sink = nullptr) : m_sink(sink) {}

    void ShowMessage(const std::string& text) override {
        m_messages.push_back(text);
        m_outputAtMessage.push_back(m_sink ? m_sink->Text() : std::string());
    }

    void SuggestCompleteDecoding(const std::string& why) override { m_suggestions.push_back(why); }

    const std::vector<std::string>& Messages() const { return m_messages; }
    const std::vector<std::string>& Suggestions() const { return m_suggestions; }
    const std::vector<std::string>& OutputAtMessage() const { return m_outputAtMessage; }

private:
    const CRecordingSink* m_sink;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_outputAtMessage;
    std::vector<std::string> m_suggestions;
};
