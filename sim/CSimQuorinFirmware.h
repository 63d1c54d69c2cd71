#pragma once

#include "sim/CSimFirmware.h"
#include "sim/CSimScanTimer.h"

#include <cstdint>
#include <string>
#include <vector>

// A reader whose serial stream travels inside HID reports (report id, channel, length n, n
// stream bytes). It understands the SYN ... CR commands: T scans one label a moment later, U
// stops it, BEL beeps, and M CR <menu text> terminated by '.' or '!' answers a menu reply.
class CSimQuorinFirmware : public CSimFirmware {
public:
    static constexpr uint8_t kStreamMarker = 0x30;
    static constexpr uint8_t kChannel = 0x02;
    static constexpr auto kScanDelay = std::chrono::milliseconds(300);
    // Stream bytes per input report of 64 bytes.
    static constexpr size_t kChunkLength = 61;

    CSimQuorinFirmware() : m_scan(kScanDelay) {}

    void OnOutputReport(const uint8_t* data, size_t length, CSimFirmwareHost& host) override;
    // Only a requested scan is timed.
    bool NeedsTicks() const override { return m_scan.IsRequested(); }
    bool OnSetFeature(const uint8_t* data, size_t length) override;
    bool OnGetFeature(uint8_t* buffer, size_t length) override;
    void OnTick(std::chrono::steady_clock::time_point now, CSimFirmwareHost& host) override;

    bool IsScanPending() const { return m_scan.IsRequested(); }
    int Beeps() const { return m_beeps; }

private:
    // Runs every complete command at the start of the stream buffer.
    void RunCommands(CSimFirmwareHost& host);
    void AnswerMenu(const std::string& menu, CSimFirmwareHost& host);
    void SendStream(const std::string& bytes, CSimFirmwareHost& host);

    CSimScanTimer m_scan;
    std::string m_pending;
    int m_beeps = 0;
    size_t m_nextLabel = 0;
};
