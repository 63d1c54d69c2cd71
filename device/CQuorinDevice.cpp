// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CQuorinDevice.h"

#include "device/ReportBounds.h"

namespace {
// Report id 0x00, stream marker 0x30, length 3, then SYN <command> CR.
constexpr uint8_t kTriggerOn[] = {0x00, 0x30, 0x03, 0x16, 0x54, 0x0D};
constexpr uint8_t kTriggerOff[] = {0x00, 0x30, 0x03, 0x16, 0x55, 0x0D};
constexpr uint8_t kBeep[] = {0x00, 0x30, 0x03, 0x16, 0x07, 0x0D};
constexpr int kErrorBeepCount = 3;
} // namespace

int32_t CQuorinDevice::RedirectToInterface(int) {
    return 1;
}

int32_t CQuorinDevice::TriggerOn() {
    WriteReport(kTriggerOn, sizeof kTriggerOn);
    return 1;
}

int32_t CQuorinDevice::TriggerOff() {
    WriteReport(kTriggerOff, sizeof kTriggerOff);
    return 1;
}

int32_t CQuorinDevice::Disable() {
    return 1;
}

int32_t CQuorinDevice::Enable() {
    return 1;
}

int32_t CQuorinDevice::Beep() {
    WriteReport(kBeep, sizeof kBeep);
    return 1;
}

int32_t CQuorinDevice::ErrorBeep() {
    for (int i = 0; i < kErrorBeepCount; ++i) {
        WriteReport(kBeep, sizeof kBeep);
    }
    return 1;
}

int32_t CQuorinDevice::SendData(const uint8_t* data, size_t length) {
    const uint8_t header[] = {0x00, 0x30, uint8_t(length)};
    WriteFramed(data, length, header, sizeof header);
    return 1;
}

int32_t CQuorinDevice::OnReport(const uint8_t* report, size_t length) {
    if (length == 0) {
        return 1;
    }
    return DecodeReport(report + 1, length - 1);
}

int32_t CQuorinDevice::DecodeReport(const uint8_t* body, size_t length) {
    const size_t n = length > 1 ? body[1] : 0;
    if (m_settings.m_showRaw) {
        ShowRawPrefix(body, BytesInReport(0, n + 2, length));
    }
    ShowLabel(ReportAt(body, 2, length), BytesInReport(2, n, length));
    ShowSymbology(std::string());
    return 1;
}
