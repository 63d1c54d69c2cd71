// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CPlainSink.h"

#include "cli/CTerminalText.h"

CPlainSink::~CPlainSink() {
    m_out.flush();
}

void CPlainSink::AppendText(const std::string& text, OutputRole, bool) {
    WriteText(text);
}

void CPlainSink::AppendNewLine() {
    EndLine();
}

void CPlainSink::BreakLine() {
    if (!m_atLineStart) {
        AppendNewLine();
    }
}

void CPlainSink::StartLine() {
    if (m_atLineStart) {
        m_out << m_linePrefix;
    }
    m_atLineStart = false;
}

void CPlainSink::EndLine() {
    // An empty line carries its tag and time stamp too (without the blank that separates them
    // from text), so that every line says where it came from.
    if (m_atLineStart) {
        m_out << m_linePrefix.substr(0, m_linePrefix.find_last_not_of(' ') + 1);
    }
    m_out << '\n';
    m_atLineStart = true;
}

void CPlainSink::WriteText(const std::string& text) {
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        if (end > start) {
            StartLine();
            m_out << Latin1ToUtf8(text.substr(start, end - start));
        }
        EndLine();
    }
    if (start < text.size()) {
        StartLine();
        m_out << Latin1ToUtf8(text.substr(start));
    }
}
