// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "sim/CSimSurePosFirmware.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// Command codes: byte 1 of the output report, or byte 2 when byte 1 is zero.
constexpr uint8_t kEnable = 0x11;
constexpr uint8_t kDisable = 0x12;
constexpr uint8_t kBeeperOn = 0x14;
constexpr uint8_t kBeeperOff = 0x18;
constexpr uint8_t kConfigure = 0x20;
constexpr uint8_t kReportConfiguration = 0x21;
constexpr uint8_t kTwoLabelConfig = 0x23;
constexpr uint8_t kDirectIo = 0x30;
constexpr uint8_t kReportTwoLabelConfig = 0x34;
constexpr uint8_t kTest = 0x10;
constexpr uint8_t kStatusRequest = 0x20;
constexpr uint8_t kReset = 0x40;

constexpr size_t kHeaderLength = 4;
constexpr size_t kConfigureOffset = 3;

// How a label's digits travel: as characters, or as the bytes 0x00-0x09 (some imagers).
enum class CDigits { Text, Binary };

struct CSimLabel {
    const char* text;
    uint8_t type[3]; // the label-type bytes, `typeLength` of them
    size_t typeLength;
    CDigits digits;
};

// Read in turn while enabled, so a demonstration shows several label-type names. The last two
// are a 2D imager's: EAN-13 in binary digits, and Data Matrix after a zero byte.
constexpr CSimLabel kLabels[] = {
    {"012345678905", {0x0D}, 1, CDigits::Text},
    {"5901234123457", {0x16}, 1, CDigits::Text},
    {"96385074", {0x0C}, 1, CDigits::Text},
    {"SUREPOS-128", {0x18, 0x0B}, 2, CDigits::Text},
    {"01234565", {0x0A}, 1, CDigits::Text},
    {"CODE 39", {0x0A, 0x0B}, 2, CDigits::Text},
    {"12345678901231", {0x0D, 0x0B}, 2, CDigits::Text},
    {"3178530403022", {0x16}, 1, CDigits::Binary},
    {"VANTREL DATA MATRIX", {0x00, 0x32, 0x0B}, 3, CDigits::Text},
};

} // namespace

void CSimSurePosFirmware::OnOutputReport(const uint8_t* data, size_t length,
                                         CSimFirmwareHost& host) {
    if (length < 3) {
        return;
    }
    const uint8_t command = data[1];
    switch (command) {
    case 0x00:
        if (data[2] == kReset) {
            ResetState();
        }
        if (data[2] == kTest || data[2] == kStatusRequest || data[2] == kReset) {
            SendStatus(host);
        }
        return;
    case kEnable:
        m_enabled = true;
        return;
    case kDisable:
        m_enabled = false;
        return;
    case kBeeperOn:
        m_beeperOn = true;
        return;
    case kBeeperOff:
        m_beeperOn = false;
        return;
    case kConfigure: {
        const size_t count = std::min(kConfigurationLength,
                                      length > kConfigureOffset ? length - kConfigureOffset : 0);
        std::fill(m_configuration.begin(), m_configuration.end(), uint8_t(0));
        std::copy_n(data + kConfigureOffset, count, m_configuration.begin());
        SendMessage(kConfigurationBit, m_configuration.data(), m_configuration.size(), host);
        return;
    }
    case kReportConfiguration:
        SendMessage(kConfigurationBit, m_configuration.data(), m_configuration.size(), host);
        return;
    case kTwoLabelConfig:
    case kReportTwoLabelConfig: {
        if (command == kTwoLabelConfig) {
            m_twoLabel = true;
        }
        const uint8_t twoLabel[] = {command, uint8_t(m_twoLabel ? 0x01 : 0x00)};
        SendMessage(kConfigurationBit, twoLabel, sizeof twoLabel, host);
        return;
    }
    case kDirectIo: {
        const uint8_t answer[] = {kDirectIo, 0x00};
        SendMessage(kConfigurationBit, answer, sizeof answer, host);
        return;
    }
    default:
        return;
    }
}

bool CSimSurePosFirmware::OnSetFeature(const uint8_t*, size_t) {
    return false;
}

bool CSimSurePosFirmware::OnGetFeature(uint8_t*, size_t) {
    return false;
}

void CSimSurePosFirmware::OnTick(std::chrono::steady_clock::time_point now,
                                 CSimFirmwareHost& host) {
    // A disabled reader reads nothing; the first label after enable comes a period later.
    if (!m_enabled || !m_scheduled) {
        m_nextLabel = now + kLabelPeriod;
        m_scheduled = true;
        return;
    }
    if (now < m_nextLabel) {
        return;
    }
    m_nextLabel = now + kLabelPeriod;
    SendLabel(host);
}

void CSimSurePosFirmware::ResetState() {
    m_enabled = true;
    m_beeperOn = true;
    m_twoLabel = false;
    m_configuration.fill(0);
}

void CSimSurePosFirmware::SendMessage(uint8_t status, const uint8_t* data, size_t length,
                                      CSimFirmwareHost& host) {
    length = std::min(length, kMaxMessageLength - kHeaderLength);
    // One more zero byte after the message, where there is room: it ends a label's text.
    const size_t messageEnd = 1 + kHeaderLength + length;
    std::vector<uint8_t> report(messageEnd < 1 + kMaxMessageLength ? messageEnd + 1 : messageEnd);
    report[1] = uint8_t(kHeaderLength + length);
    report[2] = status;
    std::copy_n(data, length, report.begin() + 1 + kHeaderLength);
    host.SendInputReport(report);
}

void CSimSurePosFirmware::SendStatus(CSimFirmwareHost& host) {
    const uint8_t status[] = {uint8_t(m_enabled ? 0x01 : 0x00), uint8_t(m_beeperOn ? 0x01 : 0x00),
                              uint8_t(m_twoLabel ? 0x01 : 0x00), 0x00};
    SendMessage(kStatusBit, status, sizeof status, host);
}

void CSimSurePosFirmware::SendLabel(CSimFirmwareHost& host) {
    const CSimLabel& label = kLabels[m_labelIndex];
    m_labelIndex = (m_labelIndex + 1) % std::size(kLabels);
    std::vector<uint8_t> data(label.text, label.text + std::strlen(label.text));
    if (label.digits == CDigits::Binary) {
        for (uint8_t& digit : data) {
            digit = uint8_t(digit - '0');
        }
    }
    data.insert(data.end(), label.type, label.type + label.typeLength);
    SendMessage(0x00, data.data(), data.size(), host);
}
