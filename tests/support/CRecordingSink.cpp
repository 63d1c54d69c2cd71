// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "support/CRecordingSink.h"

void CRecordingSink::AppendText(const std::string& text, OutputRole role, bool bold) {
    if (text.empty()) {
        return;
    }
    m_insertions.push_back({text, role, bold});
}

void CRecordingSink::AppendNewLine() {
    m_insertions.push_back({"\r\n", std::nullopt, false});
}

std::string CRecordingSink::Text() const {
    std::string all;
    for (const auto& i : m_insertions) {
        all += i.text;
    }
    return all;
}

void CRecordingSink::Clear() {
    m_insertions.clear();
    m_scrolls = 0;
    m_identifiers.clear();
}
