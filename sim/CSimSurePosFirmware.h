#pragma once

#include "sim/CSimFirmware.h"

#include <array>
#include <cstdint>
#include <vector>

// A SurePos USB scanner: while enabled it reads a label every kLabelPeriod, each ending in its
// label-type bytes; it answers status requests with a status message (bit 0x04) and the
// configuration commands with a configuration message (bit 0x02).
class CSimSurePosFirmware : public CSimFirmware {
public:
    static constexpr auto kLabelPeriod = std::chrono::milliseconds(1500);
    // Message bytes in one input report of 64 bytes.
    static constexpr size_t kMaxMessageLength = 63;
    static constexpr uint8_t kStatusBit = 0x04;
    static constexpr uint8_t kConfigurationBit = 0x02;
    static constexpr size_t kConfigurationLength = 9;

    void OnOutputReport(const uint8_t* data, size_t length, CSimFirmwareHost& host) override;
    bool OnSetFeature(const uint8_t* data, size_t length) override;
    bool OnGetFeature(uint8_t* buffer, size_t length) override;
    void OnTick(std::chrono::steady_clock::time_point now, CSimFirmwareHost& host) override;

    bool IsEnabled() const { return m_enabled; }
    bool IsBeeperOn() const { return m_beeperOn; }
    const std::array<uint8_t, kConfigurationLength>& Configuration() const {
        return m_configuration;
    }

private:
    void SendMessage(uint8_t status, const uint8_t* data, size_t length, CSimFirmwareHost& host);
    void SendStatus(CSimFirmwareHost& host);
    void SendLabel(CSimFirmwareHost& host);
    void ResetState();

    bool m_enabled = true;
    bool m_beeperOn = true;
    bool m_twoLabel = false;
    std::array<uint8_t, kConfigurationLength> m_configuration{};
    bool m_scheduled = false;
    std::chrono::steady_clock::time_point m_nextLabel{};
    size_t m_labelIndex = 0;
};
