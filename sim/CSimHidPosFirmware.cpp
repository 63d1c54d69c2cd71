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

} // namespace

void CSimHidPosFirmware::OnOutputReport(const uint8_t* data, size_t length,
                                        CSimFirmwareHost& host) {
    (void)host;
    if (length == 0)
        return;
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
        if ((bits & kBitTrigger) && !m_disabled)
            m_scan.Request();
        if (bits & kBitBeep)
            ++m_beeps;
        if (bits & kBitErrorBeep)
            ++m_errorBeeps;
    } else if (data[0] == kDataReportId && length > 1) {
        const size_t count = std::min<size_t>(data[1], length - 2);
        m_receivedData.assign(data + 2, data + 2 + count);
    }
}

bool CSimHidPosFirmware::OnSetFeature(const uint8_t* data, size_t length) {
    if (length < 2 || data[0] != kRedirectReportId)
        return false;
    m_interface = data[1];
    return true;
}

bool CSimHidPosFirmware::OnGetFeature(uint8_t* buffer, size_t length) {
    if (length < 2 || buffer[0] != kRedirectReportId)
        return false;
    buffer[1] = m_interface;
    return true;
}

void CSimHidPosFirmware::OnTick(std::chrono::steady_clock::time_point now, CSimFirmwareHost& host) {
    if (m_scan.IsDue(now))
        SendScan(host);
}

void CSimHidPosFirmware::SendScan(CSimFirmwareHost& host) {
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
