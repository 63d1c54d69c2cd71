// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CHidDevice.h"

#include <string>
#include <vector>

// A small device type for the device-layer tests. Report: [id][symbology code][n][n label
// bytes]; a command report is [0x01][command]; data goes out framed as [0xFD][n][data].
class CTestDevice : public CHidDevice {
public:
    using CHidDevice::CHidDevice;
    using CHidDevice::WriteFramed;
    using CHidDevice::WriteReport;

    DeviceType Type() const override { return DeviceType::HidPos; }
    int32_t RedirectToInterface(int) override { return 1; }
    int32_t TriggerOn() override { return Command(0x10); }
    int32_t TriggerOff() override { return Command(0x11); }
    int32_t Disable() override { return Command(0x12); }
    int32_t Enable() override { return Command(0x13); }
    int32_t Beep() override { return Command(0x14); }
    int32_t ErrorBeep() override { return Command(0x15); }
    int32_t SendData(const uint8_t* data, size_t length) override {
        const uint8_t header[] = {0xFD, uint8_t(length)};
        return WriteFramed(data, length, header, sizeof header);
    }

    int32_t OnReport(const uint8_t* report, size_t length) override {
        if (length < 3) {
            return 0;
        }
        return DecodeReport(report + 1, length - 1);
    }

    int32_t DecodeReport(const uint8_t* body, size_t length) override {
        const size_t labelLength = std::min<size_t>(body[1], length - 2);
        if (m_settings.m_showRaw) {
            ShowRawPrefix(body, labelLength + 2);
        }
        ShowLabel(body + 2, labelLength);
        ShowSymbology(m_settings.m_showSymbology ? SymbologyName(body[0]) : std::string());
        ++m_decoded;
        return 1;
    }

    int Decoded() const { return m_decoded; }

private:
    int32_t Command(uint8_t command) {
        const uint8_t report[] = {0x01, command};
        return WriteReport(report, sizeof report);
    }

    static std::string SymbologyName(uint8_t code) {
        struct CName {
            uint8_t code;
            const char* name;
        };
        static const CName kNames[] = {{0x01, "C128"}, {0x02, "EAN-13"}};
        for (const CName& entry : kNames) {
            if (entry.code == code) {
                return entry.name;
            }
        }
        return std::string();
    }

    int m_decoded = 0;
};
