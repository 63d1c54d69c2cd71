#pragma once

#include "sim/CSimFirmware.h"

#include <cstdint>
#include <vector>

// A SurePos serial-I/O reader: its input reports are notifications (status, sequence number);
// from time to time a label is read and announced with "data waiting" (0x10), and command
// responses with 0x20. The waiting contents are fetched with feature report 0x00.
class CSimSurePosSioFirmware : public CSimFirmware {
public:
    static constexpr auto kLabelPeriod = std::chrono::milliseconds(2000);
    static constexpr uint8_t kDataWaiting = 0x10;
    static constexpr uint8_t kResponseWaiting = 0x20;
    static constexpr uint8_t kIdle = 0x00;
    // Bytes of the contents feature report from byte 1 on.
    static constexpr size_t kMaxContents = 249;

    void OnOutputReport(const uint8_t* data, size_t length, CSimFirmwareHost& host) override;
    bool OnSetFeature(const uint8_t* data, size_t length) override;
    // Report 0x00: byte 1 = k, byte 2 = 0, then the waiting data; emptied once read.
    bool OnGetFeature(uint8_t* buffer, size_t length) override;
    void OnTick(std::chrono::steady_clock::time_point now, CSimFirmwareHost& host) override;

    // The payload of the last data report.
    const std::vector<uint8_t>& ReceivedData() const { return m_receivedData; }

private:
    void Notify(uint8_t status, CSimFirmwareHost& host);
    void SetContents(const uint8_t* data, size_t length);

    std::vector<uint8_t> m_contents;
    std::vector<uint8_t> m_receivedData;
    uint8_t m_sequence = 0;
    bool m_scheduled = false;
    std::chrono::steady_clock::time_point m_nextLabel{};
    size_t m_labelIndex = 0;
};
