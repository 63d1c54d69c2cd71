// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "output/COutputSink.h"

#include <optional>
#include <vector>

// Keeps every insertion with its text, role and boldness, in order. A line end from
// AppendNewLine has no role of its own; ScrollToEnd is counted, identifiers kept.
class CRecordingSink : public COutputSink {
public:
    struct CInsertion {
        std::string text;
        std::optional<OutputRole> role; // empty for AppendNewLine
        bool bold = false;
        bool operator==(const CInsertion& other) const {
            return text == other.text && role == other.role && bold == other.bold;
        }
    };

    void AppendText(const std::string& text, OutputRole role, bool bold) override;
    void NoteIdentifier(const std::string& identifier) override {
        m_identifiers.push_back(identifier);
    }
    void AppendNewLine() override;
    void ScrollToEnd() override { ++m_scrolls; }

    const std::vector<CInsertion>& Insertions() const { return m_insertions; }
    // All inserted text concatenated, as the window would show it.
    std::string Text() const;
    int Scrolls() const { return m_scrolls; }
    const std::vector<std::string>& Identifiers() const { return m_identifiers; }
    void Clear();

private:
    std::vector<CInsertion> m_insertions;
    int m_scrolls = 0;
    std::vector<std::string> m_identifiers;
};
