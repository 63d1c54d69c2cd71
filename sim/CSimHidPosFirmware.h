// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "sim/CSimFirmware.h"
#include "sim/CSimScanTimer.h"

#include <cstdint>
#include <vector>

// A HID Point-of-Sale hand-held reader: a trigger command scans one label a moment later, with
// its AIM identifier; disable holds scans back until enable; the redirect feature report 0xFE
// keeps the interface number it was given.
class CSimHidPosFirmware : public CSimFirmware {
public:
    static constexpr uint8_t kInputReportId = 0x02;
    static constexpr uint8_t kCommandReportId = 0x04;
    static constexpr uint8_t kDataReportId = 0xFD;
    static constexpr uint8_t kRedirectReportId = 0xFE;
    static constexpr auto kScanDelay = std::chrono::milliseconds(300);
    // Label bytes that one input report carries.
    static constexpr size_t kMaxLabelLength = 56;

    // The labels a scan cycles through: bar codes in one report each, or a 2D imager's (QR,
    // Data Matrix, GS1, labels over two and three reports, one of exactly 112 bytes whose last
    // report keeps "continued" set).
    enum class CLabels { Linear, Imager2D };

    explicit CSimHidPosFirmware(CLabels labels = CLabels::Linear)
        : m_scan(kScanDelay), m_labels(labels) {}

    void OnOutputReport(const uint8_t* data, size_t length, CSimFirmwareHost& host) override;
    // Only a requested scan is timed.
    bool NeedsTicks() const override { return m_scan.IsRequested(); }
    bool OnSetFeature(const uint8_t* data, size_t length) override;
    bool OnGetFeature(uint8_t* buffer, size_t length) override;
    void OnTick(std::chrono::steady_clock::time_point now, CSimFirmwareHost& host) override;

    bool IsDisabled() const { return m_disabled; }
    bool IsScanPending() const { return m_scan.IsRequested(); }
    int Beeps() const { return m_beeps; }
    int ErrorBeeps() const { return m_errorBeeps; }
    uint8_t Interface() const { return m_interface; }
    // The payload of the last framed data report.
    const std::vector<uint8_t>& ReceivedData() const { return m_receivedData; }

private:
    void SendScan(CSimFirmwareHost& host);

    void SendImagerScan(CSimFirmwareHost& host);

    CSimScanTimer m_scan;
    CLabels m_labels;
    bool m_disabled = false;
    int m_beeps = 0;
    int m_errorBeeps = 0;
    uint8_t m_interface = 0;
    size_t m_nextLabel = 0;
    std::vector<uint8_t> m_receivedData;
};
