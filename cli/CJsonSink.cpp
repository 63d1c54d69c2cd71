// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CJsonSink.h"

#include "cli/CTerminalText.h"
#include "recording/CRecording.h"

#include <cstdio>

namespace {

// A JSON string, or null when there is none.
std::string JsonStringOrNull(const std::string& text, bool present) {
    return present ? JsonString(text) : std::string("null");
}

// The identifier as a member of the label's object.
std::string IdentifierMember(OutputRole role, const std::string& identifier) {
    if (role != OutputRole::Label || identifier.empty()) {
        return std::string();
    }
    return ", \"aim\": " + JsonString(identifier);
}

} // namespace

std::string CJsonSink::Insertion(const std::string& text, const OutputRole* role,
                                 const CDisplaySettings& colours, bool bold,
                                 const std::string& members) {
    std::string object = "{\"text\": " + JsonString(text) + ", \"role\": ";
    if (role) {
        object += std::string("\"") + OutputRoleName(*role) +
                  "\", \"color\": " + std::to_string(colours.RoleColour(*role));
    } else {
        object += "null, \"color\": null";
    }
    return object + ", \"bold\": " + (bold ? "true" : "false") + members + "}";
}

CJsonSink::~CJsonSink() {
    m_out.flush();
}

void CJsonSink::AppendText(const std::string& text, OutputRole role, bool bold) {
    if (text.empty()) {
        return;
    }
    m_out << Insertion(text, &role, m_colours, bold,
                       IdentifierMember(role, m_identifier) + m_jsonMembers)
          << '\n';
}

void CJsonSink::AppendNewLine() {
    m_out << Insertion("\r\n", nullptr, m_colours, false, m_jsonMembers) << '\n';
}

void CJsonSink::NoteIdentifier(const std::string& identifier) {
    m_identifier = identifier;
}

void CJsonSink::BeginReport(const CReportInfo&) {
    m_identifier.clear();
}

void CJsonSink::EndReport() {
    m_identifier.clear();
}

CRecordsSink::~CRecordsSink() {
    Flush();
}

void CRecordsSink::AppendText(const std::string& text, OutputRole role, bool bold) {
    if (text.empty()) {
        return;
    }
    m_insertions.push_back(
        CJsonSink::Insertion(text, &role, m_colours, bold, IdentifierMember(role, m_identifier)));
    if (role == OutputRole::Symbology) {
        m_symbology += text;
    }
}

void CRecordsSink::AppendNewLine() {
    m_insertions.push_back(CJsonSink::Insertion("\r\n", nullptr, m_colours, false, std::string()));
}

void CRecordsSink::AppendMixed(const uint8_t* data, size_t length, OutputRole textRole, bool bold) {
    // The label field keeps the label's bytes, control bytes included, not its shown runs.
    if (textRole == OutputRole::Label) {
        m_label.append(reinterpret_cast<const char*>(data), length);
        m_hasLabel = true;
    }
    CTerminalSink::AppendMixed(data, length, textRole, bold);
}

void CRecordsSink::NoteIdentifier(const std::string& identifier) {
    m_identifier = identifier;
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
    if (m_inReport && !m_report.wallTime.empty()) {
        m_out << ", \"timestamp\": " << JsonString(m_report.wallTime);
    }
    if (m_inReport && m_report.identity) {
        const CReaderIdentity& reader = *m_report.identity;
        char ids[16];
        std::snprintf(ids, sizeof ids, "%04x", unsigned(reader.vendorId));
        m_out << ", \"serial\": " << JsonString(reader.serial) << ", \"vid\": \"" << ids;
        std::snprintf(ids, sizeof ids, "%04x", unsigned(reader.productId));
        m_out << "\", \"pid\": \"" << ids << "\", \"path\": " << JsonString(reader.path)
              << ", \"physical_path\": " << JsonString(reader.physicalPath)
              << ", \"type\": " << JsonStringOrNull(reader.type, !reader.type.empty());
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
    m_out << ", \"aim\": " << JsonStringOrNull(m_identifier, !m_identifier.empty())
          << ", \"label\": " << JsonStringOrNull(m_label, m_hasLabel)
          << ", \"symbology\": " << JsonStringOrNull(m_symbology, !m_symbology.empty());
    m_out << ", \"insertions\": [";
    for (size_t i = 0; i < m_insertions.size(); ++i) {
        m_out << (i ? ", " : "") << m_insertions[i];
    }
    m_out << "]}\n";
    m_insertions.clear();
    m_identifier.clear();
    m_label.clear();
    m_hasLabel = false;
    m_symbology.clear();
}
