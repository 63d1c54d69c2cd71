// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CHidDevice.h"

// The vendor interface that carries the reader's serial stream: every report holds a length
// byte and that many stream bytes; commands are SYN ... CR strings.
class CQuorinDevice : public CHidDevice {
public:
    using CHidDevice::CHidDevice;

    DeviceType Type() const override { return DeviceType::Quorin; }

    int32_t RedirectToInterface(int interfaceNumber) override;
    int32_t TriggerOn() override;
    int32_t TriggerOff() override;
    int32_t Disable() override;
    int32_t Enable() override;
    int32_t Beep() override;
    int32_t ErrorBeep() override;
    int32_t SendData(const uint8_t* data, size_t length) override;

    int32_t OnReport(const uint8_t* report, size_t length) override;
    // `body` is the report from byte 1: channel byte, length n, n stream bytes.
    int32_t DecodeReport(const uint8_t* body, size_t length) override;
};
