// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CSurePosSioDevice.h"

#include "device/CHidPort.h"
#include "device/ReportBounds.h"
#include "output/COutputSink.h"
#include "settings/CSettingsStore.h"

#include <algorithm>

namespace {

constexpr uint8_t kTest[] = {0x00, 0x04, 0x00, 0x00, 0x10};
constexpr uint8_t kStatusRequest[] = {0x00, 0x04, 0x00, 0x00, 0x20};
constexpr uint8_t kReset[] = {0x00, 0x04, 0x00, 0x00, 0x40};
constexpr uint8_t kSetup[] = {0x00, 0x0A, 0x00, 0x01, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00};
constexpr uint8_t kChannelControl[] = {0x00, 0x05, 0x00, 0x02, 0x00, 0x04};
constexpr uint8_t kReadStatus[] = {0x00, 0x04, 0x00, 0x04, 0x00};
constexpr uint8_t kReceiveBuffer[] = {0x00, 0x04, 0x00, 0x10, 0x00};

constexpr char kRawOnlyKey[] = "RawOnly";
constexpr char kAutoReadKey[] = "AutoRead";

// Byte 1 of a data report counts itself, the three header bytes after it and the payload.
constexpr size_t kDataHeaderCount = 4;
constexpr size_t kContentsLabelOffset = 2;

} // namespace

CSurePosSioDevice::~CSurePosSioDevice() {
    SaveSettings();
}

int32_t CSurePosSioDevice::RedirectToInterface(int) {
    return 1;
}

int32_t CSurePosSioDevice::TriggerOn() {
    return 1;
}

int32_t CSurePosSioDevice::TriggerOff() {
    return 1;
}

int32_t CSurePosSioDevice::Disable() {
    return 1;
}

int32_t CSurePosSioDevice::Enable() {
    return 1;
}

int32_t CSurePosSioDevice::Beep() {
    return 1;
}

int32_t CSurePosSioDevice::ErrorBeep() {
    return 1;
}

int32_t CSurePosSioDevice::SendCommand(const uint8_t* command, size_t length) {
    uint8_t report[kCommandReportLength];
    for (size_t i = 0; i < kCommandReportLength; ++i) {
        report[i] = uint8_t(i);
    }
    const size_t declared = length > 1 ? size_t(command[1]) + 1 : length;
    std::copy_n(command, std::min({declared, length, kCommandReportLength}), report);
    WriteReport(report, kCommandReportLength);
    return 1;
}

int32_t CSurePosSioDevice::Test() {
    return SendCommand(kTest, sizeof kTest);
}

int32_t CSurePosSioDevice::StatusRequest() {
    return SendCommand(kStatusRequest, sizeof kStatusRequest);
}

int32_t CSurePosSioDevice::Reset() {
    return SendCommand(kReset, sizeof kReset);
}

int32_t CSurePosSioDevice::Setup() {
    return SendCommand(kSetup, sizeof kSetup);
}

int32_t CSurePosSioDevice::ChannelControl() {
    return SendCommand(kChannelControl, sizeof kChannelControl);
}

int32_t CSurePosSioDevice::ReadStatus() {
    return SendCommand(kReadStatus, sizeof kReadStatus);
}

int32_t CSurePosSioDevice::ReceiveBuffer() {
    return SendCommand(kReceiveBuffer, sizeof kReceiveBuffer);
}

int32_t CSurePosSioDevice::SendData(const uint8_t* data, size_t length) {
    const uint8_t header[] = {0x00, uint8_t(length + kDataHeaderCount), 0x00, 0x08, 0x00};
    WriteFramed(data, length, header, sizeof header);
    return 1;
}

int32_t CSurePosSioDevice::GetContents() {
    if (!m_port.IsOpen()) {
        return 1;
    }
    // One spare zero byte after the report, as the contents are shown from byte 1.
    uint8_t buffer[kContentsReportLength + 1] = {};
    if (!m_port.GetFeature(buffer, kContentsReportLength)) {
        std::fill(std::begin(buffer), std::end(buffer), uint8_t(0));
    }
    ShowContents(buffer + 1, kContentsReportLength - 1);
    return 1;
}

void CSurePosSioDevice::ShowContents(const uint8_t* contents, size_t length) {
    const size_t k = length > 0 ? contents[0] : 0;
    if (m_settings.m_showRaw) {
        ShowRawPrefix(contents, BytesInReport(0, k, length));
    }
    if (!m_rawOnly && k > kContentsLabelOffset) {
        ShowLabel(ReportAt(contents, kContentsLabelOffset, length),
                  BytesInReport(kContentsLabelOffset, k - kContentsLabelOffset, length));
    }
    ShowSymbology(std::string());
}

int32_t CSurePosSioDevice::OnReport(const uint8_t* report, size_t length) {
    if (m_settings.m_showRaw) {
        ShowRawPrefix(ReportAt(report, 1, length), BytesInReport(1, 2, length));
    }
    ShowSymbology(std::string());
    if (m_autoRead && length > 1 && (report[1] & kDataWaitingBits)) {
        GetContents();
    }
    return 1;
}

int32_t CSurePosSioDevice::DecodeReport(const uint8_t*, size_t) {
    return 1;
}

void CSurePosSioDevice::ShowOutData(const uint8_t* data, size_t length, int endLine) {
    std::string text;
    const size_t shown = std::min(length, kOutDataShown);
    for (size_t i = 0; i < shown; ++i) {
        AppendHexGroup(text, data[i]);
    }
    ShowString(text, OutputRole::Out, false);
    if (endLine) {
        ShowString("\r\n", OutputRole::Default, false);
    }
}

void CSurePosSioDevice::LoadSettings(const std::string& section) {
    CHidDevice::LoadSettings(section);
    if (CSettingsStore* store = m_settings.Store()) {
        m_rawOnly = store->GetProfileInt(section, kRawOnlyKey, 0);
        m_autoRead = store->GetProfileInt(section, kAutoReadKey, 0);
    }
}

void CSurePosSioDevice::SaveSettings() {
    CSettingsStore* store = m_settings.Store();
    if (m_settings.m_section.empty() || !store) {
        return;
    }
    store->WriteProfileInt(m_settings.m_section, kRawOnlyKey, m_rawOnly);
    store->WriteProfileInt(m_settings.m_section, kAutoReadKey, m_autoRead);
    store->Flush();
}
