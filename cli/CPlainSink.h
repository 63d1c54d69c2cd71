// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CTerminalSink.h"

// Text only: every line end becomes a newline.
class CPlainSink : public CTerminalSink {
public:
    using CTerminalSink::CTerminalSink;
    ~CPlainSink() override;
    void AppendText(const std::string& text, OutputRole role, bool bold) override;
    void AppendNewLine() override;
    void BreakLine() override;

protected:
    // The line prefix, when a line starts here.
    void StartLine();
    // The end of the line, with the line prefix when the line is empty.
    void EndLine();
    // Writes `text` with "\r\n" as a newline.
    void WriteText(const std::string& text);

private:
    bool m_atLineStart = true;
};
