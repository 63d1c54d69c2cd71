// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "sim/CSimHidPosFirmware.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kBitDisable = 0x02;
constexpr uint8_t kBitTrigger = 0x04;
constexpr uint8_t kBitErrorBeep = 0x20;
constexpr uint8_t kBitBeep = 0x40;

struct CSimLabel {
    const char* identifier; // ] c m
    const char* text;
};

// One scan each, in turn, so a demonstration shows several symbology names.
constexpr CSimLabel kLabels[] = {
    {"]E0", "5901234123457"},    {"]C0", "VANTREL-128"},           {"]A0", "CODE39"},
    {"]E4", "96385074"},         {"]E1", "01234567890512"},        {"]I0", "12345678901231"},
    {"]L0", "PDF417 demo text"}, {"]Q1", "https://example.org/q"},
};

// A 2D imager's labels; a label longer than one report goes on in the next.
struct CSimImagerLabel {
    const char* identifier;
    const char* text;
    bool continuedOnLast; // the bit stays set on the last report, as one real reader does
};

constexpr CSimImagerLabel kImagerLabels[] = {
    {"]Q0", "M1DOE/JANE            EABC123 LHRJFKBA 0117 123Y014C0042 100", false},
    {"]d1", "VANTREL-DM-0042", false},
    {"]d2",
     "0109501101020917\x1d"
     "10ABC123",
     false},
    {"]Q3",
     "0109501101020917\x1d"
     "17261231",
     false},
    {"]Q1",
     "https://example.org/vantrel/a-rather-long-address-that-a-qr-code-holds-easily-and-that-"
     "takes-three-reports-to-send",
     false},
    {"]Q1",
     "0123456789012345678901234567890123456789012345678901234567890123456789012345678901234567"
     "890123456789012345678901",
     true},
};

// Where the 64-byte report keeps the "continued" bit.
constexpr size_t kImagerReportLength = 64;
constexpr size_t kContinuedOffset = 63;
constexpr size_t kImagerDataOffset = 5;

} // namespace

void CSimHidPosFirmware::OnOutputReport(const uint8_t* data, size_t length,
                                        CSimFirmwareHost& host) {
    (void)host;
    if (length == 0) {
        return;
    }
    if (data[0] == kCommandReportId) {
        const uint8_t bits = length > 1 ? data[1] : 0;
        if (bits & kBitDisable) {
            m_disabled = true;
            m_scan.Cancel();
        } else if (bits == 0) {
            // All bits clear releases the trigger and enables the reader.
            m_disabled = false;
            m_scan.Cancel();
        }
        if ((bits & kBitTrigger) && !m_disabled) {
            m_scan.Request();
        }
        if (bits & kBitBeep) {
            ++m_beeps;
        }
        if (bits & kBitErrorBeep) {
            ++m_errorBeeps;
        }
    } else if (data[0] == kDataReportId && length > 1) {
        const size_t count = std::min<size_t>(data[1], length - 2);
        m_receivedData.assign(data + 2, data + 2 + count);
    }
}

bool CSimHidPosFirmware::OnSetFeature(const uint8_t* data, size_t length) {
    if (length < 2 || data[0] != kRedirectReportId) {
        return false;
    }
    m_interface = data[1];
    return true;
}

bool CSimHidPosFirmware::OnGetFeature(uint8_t* buffer, size_t length) {
    if (length < 2 || buffer[0] != kRedirectReportId) {
        return false;
    }
    buffer[1] = m_interface;
    return true;
}

void CSimHidPosFirmware::OnTick(std::chrono::steady_clock::time_point now, CSimFirmwareHost& host) {
    if (m_scan.IsDue(now)) {
        SendScan(host);
    }
}

void CSimHidPosFirmware::SendImagerScan(CSimFirmwareHost& host) {
    const CSimImagerLabel& label = kImagerLabels[m_nextLabel];
    m_nextLabel = (m_nextLabel + 1) % std::size(kImagerLabels);
    const size_t length = std::strlen(label.text);
    for (size_t sent = 0; sent < length || sent == 0;) {
        const size_t part = std::min(length - sent, kMaxLabelLength);
        std::vector<uint8_t> report(kImagerReportLength, 0);
        report[0] = kInputReportId;
        report[1] = uint8_t(part);
        std::copy_n(label.identifier, 3, report.begin() + 2);
        std::copy_n(label.text + sent, part, report.begin() + kImagerDataOffset);
        sent += part;
        const bool last = sent >= length;
        report[kContinuedOffset] = !last || label.continuedOnLast ? 0x01 : 0x00;
        host.SendInputReport(report);
        if (last) {
            break;
        }
    }
}

void CSimHidPosFirmware::SendScan(CSimFirmwareHost& host) {
    if (m_labels == CLabels::Imager2D) {
        SendImagerScan(host);
        return;
    }
    const CSimLabel& label = kLabels[m_nextLabel];
    m_nextLabel = (m_nextLabel + 1) % std::size(kLabels);
    const size_t textLength = std::min(std::strlen(label.text), kMaxLabelLength);
    std::vector<uint8_t> report;
    report.reserve(5 + textLength);
    report.push_back(kInputReportId);
    report.push_back(uint8_t(textLength));
    report.insert(report.end(), label.identifier, label.identifier + 3);
    report.insert(report.end(), label.text, label.text + textLength);
    host.SendInputReport(report);
}
