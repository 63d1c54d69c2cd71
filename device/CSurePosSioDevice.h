// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CHidDevice.h"

// The SurePos serial-I/O interface: input reports are short status notifications, the data is
// fetched with the contents feature report, and commands go out as full 252-byte reports.
class CSurePosSioDevice : public CHidDevice {
public:
    static constexpr size_t kCommandReportLength = 252;
    // The contents feature report as read: report id, k, then the contents.
    static constexpr size_t kContentsReportLength = 250;
    static constexpr size_t kOutDataShown = 10;
    // Status bits of a notification that say data is waiting.
    static constexpr uint8_t kDataWaitingBits = 0x10 | 0x20;

    using CHidDevice::CHidDevice;
    ~CSurePosSioDevice() override;

    DeviceType Type() const override { return DeviceType::SurePosSio; }

    int32_t RedirectToInterface(int interfaceNumber) override;
    int32_t TriggerOn() override;
    int32_t TriggerOff() override;
    int32_t Disable() override;
    int32_t Enable() override;
    int32_t Beep() override;
    int32_t ErrorBeep() override;
    int32_t SendData(const uint8_t* data, size_t length) override;
    // Reads the contents feature report and shows it (zeroed when the read fails).
    int32_t GetContents() override;
    void LoadSettings(const std::string& section) override;
    // Stores only this type's own keys; the base destructor stores the display settings.
    void SaveSettings() override;

    // Shows the status bytes, ends the line, and fetches the contents when data is waiting and
    // AutoRead is set.
    int32_t OnReport(const uint8_t* report, size_t length) override;
    // Notifications carry no label; everything happens in OnReport.
    int32_t DecodeReport(const uint8_t* body, size_t length) override;
    // Shows at most the first 10 bytes, so the echo of a 252-byte command stays one short line.
    void ShowOutData(const uint8_t* data, size_t length, int endLine) override;

    // The commands of the SurePos Sio panel; each goes through SendCommand.
    int32_t Test();
    int32_t StatusRequest();
    int32_t Reset();
    int32_t Setup();
    int32_t ChannelControl();
    int32_t ReadStatus();
    int32_t ReceiveBuffer();

    // Sends command bytes (byte 1 = message length from byte 1 on) as a 252-byte report whose
    // remaining bytes carry their own offset. Bytes beyond `length` are never read.
    int32_t SendCommand(const uint8_t* command, size_t length);
    // Shows contents that start at feature byte 1: k, one byte, k - 2 data bytes. `length` is
    // the number of bytes available from `contents` on.
    void ShowContents(const uint8_t* contents, size_t length);

    int32_t AutoRead() const { return m_autoRead; }
    void SetAutoRead(int32_t on) { m_autoRead = on; }
    int32_t RawOnly() const { return m_rawOnly; }
    void SetRawOnly(int32_t on) { m_rawOnly = on; }

private:
    // Set until the stored value is loaded.
    int32_t m_autoRead = 1;
    int32_t m_rawOnly = 0;
};
