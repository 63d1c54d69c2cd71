// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"
#include "recording/CRecording.h"

#include <cstdint>
#include <string>
#include <vector>

// What a recording's header lines say about one of its devices: the capabilities and report
// numbering of its report descriptor ("R:"), its name ("N:") and identity ("I:"). Both the
// terminal tool's replay and the GUI's recordings read a device through it.
class CRecordingHeader {
public:
    // Takes a header item; other kinds change nothing. False with the reason when an "R:"
    // line's descriptor does not parse.
    bool Take(const CRecordingItem& item, long line, std::string& error);
    // A new "R:" at `line`: the device has no descriptor until it parses. Empty bytes stand
    // for a malformed "R:" line.
    bool TakeDescriptor(const std::vector<uint8_t>& bytes, long line, std::string& error);

    bool HasDescriptor() const { return m_hasDescriptor; }
    const CHidCaps& Caps() const { return m_caps; }
    // The descriptor's bytes; empty without one.
    const std::vector<uint8_t>& Descriptor() const { return m_descriptor; }
    // The line of an "R:" that gave no descriptor, 0 when none did.
    long BrokenDescriptorLine() const { return m_brokenDescriptorLine; }
    const std::string& Name() const { return m_name; }
    const CHidAttributes& Attributes() const { return m_attributes; }
    uint16_t Bus() const { return m_bus; }

    // A recorded input report as the port reads it: with the report id 0x00 in front when the
    // device's input reports carry none (the recorders write what hidraw read).
    // Appended to `out`.
    void AppendReportAsRead(const std::vector<uint8_t>& recorded, std::vector<uint8_t>& out) const;

private:
    bool m_hasDescriptor = false;
    CHidCaps m_caps;
    std::vector<uint8_t> m_descriptor;
    long m_brokenDescriptorLine = 0;
    bool m_inputNumbered = true;
    std::string m_name;
    CHidAttributes m_attributes;
    uint16_t m_bus = 0;
};
