// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CTerminalSink.h"

// One JSON object per insertion, one per line: {"text": "...", "role": "label", "color": N,
// "bold": b}, where N is the colour the stored settings give the role; a line end of its own
// has "role" and "color" null. The label's object of a report that carried a symbology
// identifier also has "aim": "]Q0".
class CJsonSink : public CTerminalSink {
public:
    using CTerminalSink::CTerminalSink;
    ~CJsonSink() override;
    void AppendText(const std::string& text, OutputRole role, bool bold) override;
    void AppendNewLine() override;
    void NoteIdentifier(const std::string& identifier) override;
    void BeginReport(const CReportInfo& info) override;
    void EndReport() override;

    // Appends the object of one insertion, without a line end; `role` null for a line end.
    // The label's object also holds `identifier`; `members` go at its end.
    static void AppendInsertion(std::string& out, const std::string& text, const OutputRole* role,
                                const CDisplaySettings& colours, bool bold,
                                const std::string& identifier, const std::string& members);

private:
    std::string m_identifier;
    std::string m_line; // reused for each object
};

// One JSON object per input report: its time (and wall-clock "timestamp" when asked for), reader
// (with serial, ids, paths and type when the report names them), report id, the report as hex, the
// symbology identifier, the label and the symbology name as fields of their own, and the
// insertions it produced, as CJsonSink writes them. Output outside a report (the echo of a sent
// command) is an object of its own with a null report.
class CRecordsSink : public CTerminalSink {
public:
    using CTerminalSink::CTerminalSink;
    ~CRecordsSink() override;
    void AppendText(const std::string& text, OutputRole role, bool bold) override;
    void AppendNewLine() override;
    void AppendMixed(const uint8_t* data, size_t length, OutputRole textRole, bool bold) override;
    void NoteIdentifier(const std::string& identifier) override;
    void BeginReport(const CReportInfo& info) override;
    void EndReport() override;
    void Flush() override;

private:
    void WriteRecord();

    CReportInfo m_report;
    bool m_inReport = false;
    std::string m_insertions; // the objects so far, separated by ", "
    std::string m_line;       // reused for each record
    std::string m_identifier;
    std::string m_label;
    bool m_hasLabel = false;
    std::string m_symbology;
};
