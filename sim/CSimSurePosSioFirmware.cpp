#include "sim/CSimSurePosSioFirmware.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// Byte 3 of a message to the reader says what it is; 0x00 takes the command from byte 4.
constexpr uint8_t kBasic = 0x00;
constexpr uint8_t kSetup = 0x01;
constexpr uint8_t kChannelControl = 0x02;
constexpr uint8_t kReadStatus = 0x04;
constexpr uint8_t kData = 0x08;
constexpr uint8_t kReceiveBuffer = 0x10;
constexpr uint8_t kTest = 0x10;
constexpr uint8_t kStatusRequest = 0x20;
constexpr uint8_t kReset = 0x40;

// Byte 1 of a data report counts itself and the three bytes after it.
constexpr size_t kDataHeaderCount = 4;
constexpr size_t kDataOffset = 5;

constexpr const char* kLabels[] = {"012345678905", "SIO LABEL 0042", "5901234123457", "96385074"};

} // namespace

void CSimSurePosSioFirmware::OnOutputReport(const uint8_t* data, size_t length,
                                            CSimFirmwareHost& host) {
    if (length < 5)
        return;
    switch (data[3]) {
    case kBasic:
        if (data[4] == kReset) {
            m_contents.clear();
            Notify(kIdle, host);
        } else if (data[4] == kTest || data[4] == kStatusRequest) {
            const uint8_t status[] = {data[4], 0x00, 0x01};
            SetContents(status, sizeof status);
            Notify(kResponseWaiting, host);
        }
        return;
    case kReadStatus: {
        const uint8_t status[] = {kReadStatus, uint8_t(m_contents.empty() ? 0x00 : 0x01)};
        SetContents(status, sizeof status);
        Notify(kResponseWaiting, host);
        return;
    }
    case kData: {
        const size_t declared = data[1] >= kDataHeaderCount ? data[1] - kDataHeaderCount : 0;
        const size_t count = std::min(declared, length - kDataOffset);
        m_receivedData.assign(data + kDataOffset, data + kDataOffset + count);
        Notify(kIdle, host);
        return;
    }
    case kSetup:
    case kChannelControl:
    case kReceiveBuffer:
        Notify(kIdle, host);
        return;
    default:
        return;
    }
}

bool CSimSurePosSioFirmware::OnSetFeature(const uint8_t*, size_t) {
    return false;
}

bool CSimSurePosSioFirmware::OnGetFeature(uint8_t* buffer, size_t length) {
    if (length < 2 || buffer[0] != 0x00)
        return false;
    std::fill(buffer + 1, buffer + length, uint8_t(0));
    if (m_contents.empty())
        return true;
    // k counts itself, the byte after it and the data.
    const size_t count = std::min(m_contents.size(), length > 3 ? length - 3 : 0);
    buffer[1] = uint8_t(count + 2);
    std::copy_n(m_contents.begin(), count, buffer + 3);
    m_contents.clear();
    return true;
}

void CSimSurePosSioFirmware::OnTick(std::chrono::steady_clock::time_point now,
                                    CSimFirmwareHost& host) {
    if (!m_scheduled) {
        m_nextLabel = now + kLabelPeriod;
        m_scheduled = true;
        return;
    }
    if (now < m_nextLabel)
        return;
    m_nextLabel = now + kLabelPeriod;
    const char* label = kLabels[m_labelIndex];
    m_labelIndex = (m_labelIndex + 1) % std::size(kLabels);
    SetContents(reinterpret_cast<const uint8_t*>(label), std::strlen(label));
    Notify(kDataWaiting, host);
}

void CSimSurePosSioFirmware::SetContents(const uint8_t* data, size_t length) {
    m_contents.assign(data, data + std::min(length, kMaxContents - 2));
}

void CSimSurePosSioFirmware::Notify(uint8_t status, CSimFirmwareHost& host) {
    host.SendInputReport({0x00, status, m_sequence++});
}
