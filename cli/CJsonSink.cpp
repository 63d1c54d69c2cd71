// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CJsonSink.h"

#include "cli/CTerminalText.h"
#include "recording/CRecording.h"

#include <cstdio>

namespace {

// A JSON string, or null when there is none.
void AppendJsonStringOrNull(std::string& out, const std::string& text, bool present) {
    if (present) {
        AppendJsonString(out, text);
    } else {
        out += "null";
    }
}

} // namespace

void CJsonSink::AppendInsertion(std::string& out, const std::string& text, const OutputRole* role,
                                const CDisplaySettings& colours, bool bold,
                                const std::string& identifier, const std::string& members) {
    out += "{\"text\": ";
    AppendJsonString(out, text);
    out += ", \"role\": ";
    if (role) {
        out += '"';
        out += OutputRoleName(*role);
        out += "\", \"color\": ";
        out += std::to_string(colours.RoleColour(*role));
    } else {
        out += "null, \"color\": null";
    }
    out += ", \"bold\": ";
    out += bold ? "true" : "false";
    // The identifier is a member of the label's object.
    if (role && *role == OutputRole::Label && !identifier.empty()) {
        out += ", \"aim\": ";
        AppendJsonString(out, identifier);
    }
    out += members;
    out += '}';
}

CJsonSink::~CJsonSink() {
    m_out.flush();
}

void CJsonSink::AppendText(const std::string& text, OutputRole role, bool bold) {
    if (text.empty()) {
        return;
    }
    m_line.clear();
    AppendInsertion(m_line, text, &role, m_colours, bold, m_identifier, m_jsonMembers);
    m_line += '\n';
    m_out.write(m_line.data(), std::streamsize(m_line.size()));
}

void CJsonSink::AppendNewLine() {
    m_line.clear();
    AppendInsertion(m_line, "\r\n", nullptr, m_colours, false, std::string(), m_jsonMembers);
    m_line += '\n';
    m_out.write(m_line.data(), std::streamsize(m_line.size()));
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
    if (!m_insertions.empty()) {
        m_insertions += ", ";
    }
    CJsonSink::AppendInsertion(m_insertions, text, &role, m_colours, bold, m_identifier,
                               std::string());
    if (role == OutputRole::Symbology) {
        m_symbology += text;
    }
}

void CRecordsSink::AppendNewLine() {
    if (!m_insertions.empty()) {
        m_insertions += ", ";
    }
    CJsonSink::AppendInsertion(m_insertions, "\r\n", nullptr, m_colours, false, std::string(),
                               std::string());
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
    std::string& out = m_line;
    out = "{";
    if (m_inReport && m_report.timed) {
        out += "\"time\": ";
        out += std::to_string(m_report.microseconds / 1000000);
        char fraction[8] = ".000000";
        for (uint64_t rest = m_report.microseconds % 1000000, at = 6; rest > 0; rest /= 10) {
            fraction[at--] = char('0' + rest % 10);
        }
        out += fraction;
    } else {
        out += "\"time\": null";
    }
    if (m_inReport && !m_report.reader.empty()) {
        out += ", \"reader\": ";
        AppendJsonString(out, m_report.reader);
    }
    if (m_inReport && !m_report.wallTime.empty()) {
        out += ", \"timestamp\": ";
        AppendJsonString(out, m_report.wallTime);
    }
    if (m_inReport && m_report.identity) {
        const CReaderIdentity& reader = *m_report.identity;
        char ids[16];
        out += ", \"serial\": ";
        AppendJsonString(out, reader.serial);
        std::snprintf(ids, sizeof ids, "%04x", unsigned(reader.vendorId));
        out += ", \"vid\": \"";
        out += ids;
        std::snprintf(ids, sizeof ids, "%04x", unsigned(reader.productId));
        out += "\", \"pid\": \"";
        out += ids;
        out += "\", \"path\": ";
        AppendJsonString(out, reader.path);
        out += ", \"physical_path\": ";
        AppendJsonString(out, reader.physicalPath);
        out += ", \"type\": ";
        AppendJsonStringOrNull(out, reader.type, !reader.type.empty());
    }
    if (m_inReport && m_report.device >= 0) {
        out += ", \"device\": " + std::to_string(m_report.device);
    }
    if (m_inReport && !m_report.report.empty()) {
        out +=
            ", \"report_id\": " + std::to_string(unsigned(m_report.report[0])) + ", \"report\": \"";
        AppendHexBytes(out, m_report.report.data(), m_report.report.size());
        out += '"';
    } else {
        out += ", \"report_id\": null, \"report\": null";
    }
    out += ", \"aim\": ";
    AppendJsonStringOrNull(out, m_identifier, !m_identifier.empty());
    out += ", \"label\": ";
    AppendJsonStringOrNull(out, m_label, m_hasLabel);
    out += ", \"symbology\": ";
    AppendJsonStringOrNull(out, m_symbology, !m_symbology.empty());
    out += ", \"insertions\": [";
    out += m_insertions;
    out += "]}\n";
    m_out.write(out.data(), std::streamsize(out.size()));
    m_insertions.clear();
    m_identifier.clear();
    m_label.clear();
    m_hasLabel = false;
    m_symbology.clear();
}
