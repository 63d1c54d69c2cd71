// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CJsonSink.h"

#include "cli/CTerminalText.h"
#include "recording/CRecording.h"

#include <cstdio>

std::string CJsonSink::Insertion(const std::string& text, const uint32_t* colour, bool bold,
                                 const std::string& members) {
    return "{\"text\": " + JsonString(text) +
           ", \"color\": " + (colour ? std::to_string(*colour) : std::string("null")) +
           ", \"bold\": " + (bold ? "true" : "false") + members + "}";
}

CJsonSink::~CJsonSink() {
    m_out.flush();
}

void CJsonSink::AppendText(const std::string& text, uint32_t colour, bool bold) {
    if (text.empty()) {
        return;
    }
    m_out << Insertion(text, &colour, bold, m_jsonMembers) << '\n';
}

void CJsonSink::AppendNewLine() {
    m_out << Insertion("\r\n", nullptr, false, m_jsonMembers) << '\n';
}

CRecordsSink::~CRecordsSink() {
    Flush();
}

void CRecordsSink::AppendText(const std::string& text, uint32_t colour, bool bold) {
    if (!text.empty()) {
        m_insertions.push_back(CJsonSink::Insertion(text, &colour, bold, std::string()));
    }
}

void CRecordsSink::AppendNewLine() {
    m_insertions.push_back(CJsonSink::Insertion("\r\n", nullptr, false, std::string()));
}

void CRecordsSink::BeginReport(const CReportInfo& info) {
    if (!m_insertions.empty()) {
        WriteRecord();
    }
    m_report = info;
    m_inReport = true;
}

void CRecordsSink::EndReport() {
    WriteRecord();
    m_inReport = false;
}

void CRecordsSink::Flush() {
    if (!m_inReport && !m_insertions.empty()) {
        WriteRecord();
    }
    m_out.flush();
}

void CRecordsSink::WriteRecord() {
    m_out << "{";
    if (m_inReport && m_report.timed) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%llu.%06llu",
                      static_cast<unsigned long long>(m_report.microseconds / 1000000),
                      static_cast<unsigned long long>(m_report.microseconds % 1000000));
        m_out << "\"time\": " << seconds;
    } else {
        m_out << "\"time\": null";
    }
    if (m_inReport && !m_report.reader.empty()) {
        m_out << ", \"reader\": " << JsonString(m_report.reader);
    }
    if (m_inReport && m_report.device >= 0) {
        m_out << ", \"device\": " << m_report.device;
    }
    if (m_inReport && !m_report.report.empty()) {
        m_out << ", \"report_id\": " << unsigned(m_report.report[0]) << ", \"report\": \""
              << FormatHexBytes(m_report.report.data(), m_report.report.size()) << "\"";
    } else {
        m_out << ", \"report_id\": null, \"report\": null";
    }
    m_out << ", \"insertions\": [";
    for (size_t i = 0; i < m_insertions.size(); ++i) {
        m_out << (i ? ", " : "") << m_insertions[i];
    }
    m_out << "]}\n";
    m_insertions.clear();
}
