// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "output/COutputSink.h"
#include "settings/CDisplaySettings.h"

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Who a report came from, for the outputs that name the reader in full (a lane's scans).
struct CReaderIdentity {
    std::string serial;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string path;         // the device path
    std::string physicalPath; // the kernel's HID_PHYS; empty when unknown
    std::string type;         // the device type's key ("hidpos"); empty for an unknown type
};

// One input report as it reaches a device type, for the sinks that show reports themselves.
struct CReportInfo {
    bool timed = false;
    uint64_t microseconds = 0; // since the first report
    std::string wallTime;      // ISO 8601 with the time zone; empty when not asked for
    std::shared_ptr<const CReaderIdentity> identity; // null when the reader's name is enough
    std::string reader;                              // the reader's name; empty when there is one
    int device = -1; // the recording's device index; -1 when there is one
    std::vector<uint8_t> report;
};

// What the terminal tool's sinks share: the stream, where the output came from (a text before
// each line, members added to each JSON object), and the reports the output belongs to.
class CTerminalSink : public COutputSink {
public:
    explicit CTerminalSink(std::ostream& out) : m_out(out) {}

    // `linePrefix` goes before each line of text output, `jsonMembers` (", \"device\": 1") into
    // each JSON object.
    void SetSource(const std::string& linePrefix, const std::string& jsonMembers) {
        m_linePrefix = linePrefix;
        m_jsonMembers = jsonMembers;
    }
    // The colours the stored settings give each role, for the outputs that show them.
    void SetColours(const CDisplaySettings& colours) { m_colours = colours; }
    // Ends a line left open, so that the output of another source starts on a line of its own.
    virtual void BreakLine() {}
    // The output between these belongs to `report`.
    virtual void BeginReport(const CReportInfo&) {}
    virtual void EndReport() {}
    // Lines are written when they are complete; Flush sends them on.
    virtual void Flush() { m_out.flush(); }
    // The stream the output goes to, to check that it was written.
    std::ostream& Stream() { return m_out; }
    // The end of a label line: written out by Flush, so that a fast input is not written
    // one line at a time.
    void ScrollToEnd() override {}

protected:
    std::ostream& m_out;
    std::string m_linePrefix;
    std::string m_jsonMembers;
    CDisplaySettings m_colours;
};
