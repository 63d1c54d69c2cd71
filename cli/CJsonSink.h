// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CTerminalSink.h"

// One JSON object per insertion, one per line: {"text": "...", "color": N, "bold": b}, where N is
// the colour word as the settings store keeps it; a line end of its own has "color": null.
class CJsonSink : public CTerminalSink {
public:
    using CTerminalSink::CTerminalSink;
    ~CJsonSink() override;
    void AppendText(const std::string& text, uint32_t colour, bool bold) override;
    void AppendNewLine() override;

    // The object of one insertion, without a line end; `colour` null for a line end.
    static std::string Insertion(const std::string& text, const uint32_t* colour, bool bold,
                                 const std::string& members);
};

// One JSON object per input report: its time, reader, report id, the report as hex, and the
// insertions it produced, as CJsonSink writes them. Output outside a report (the echo of a sent
// command) is an object of its own with a null report.
class CRecordsSink : public CTerminalSink {
public:
    using CTerminalSink::CTerminalSink;
    ~CRecordsSink() override;
    void AppendText(const std::string& text, uint32_t colour, bool bold) override;
    void AppendNewLine() override;
    void BeginReport(const CReportInfo& info) override;
    void EndReport() override;
    void Flush() override;

private:
    void WriteRecord();

    CReportInfo m_report;
    bool m_inReport = false;
    std::vector<std::string> m_insertions;
};
