// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CHidDevice.h"

// The SurePos USB scanner interface: messages with a length byte and a status byte, labels that
// end in one or two label-type bytes, and fixed 12-byte commands.
class CSurePosDevice : public CHidDevice {
public:
    static constexpr size_t kCommandLength = 12;
    static constexpr int kStressPauseMs = 10;

    using CHidDevice::CHidDevice;
    ~CSurePosDevice() override;

    DeviceType Type() const override { return DeviceType::SurePos; }

    int32_t RedirectToInterface(int interfaceNumber) override;
    int32_t TriggerOn() override;
    int32_t TriggerOff() override;
    int32_t Disable() override;
    int32_t Enable() override;
    int32_t Beep() override;
    int32_t ErrorBeep() override;
    int32_t SendData(const uint8_t* data, size_t length) override;
    int32_t SetBeeper(int on) override;
    void LoadSettings(const std::string& section) override;
    // Stores only this type's own key; the base destructor stores the display settings.
    void SaveSettings() override;

    int32_t OnReport(const uint8_t* report, size_t length) override;
    // `message` is the report from byte 1: length n, status, two bytes, n - 4 data bytes.
    int32_t DecodeReport(const uint8_t* message, size_t length) override;

    // The commands of the SurePos panel; each writes one report.
    int32_t Test();
    int32_t StatusRequest();
    int32_t Reset();
    int32_t Configure();
    int32_t ReportConfiguration();
    int32_t TwoLabelConfig();
    int32_t ReportTwoLabelConfig();
    int32_t DirectIoCommand();

    // When set, every decoded label is followed by Disable, a short pause and Enable.
    int32_t StressAutoDisable() const { return m_stressAutoDisable; }
    void SetStressAutoDisable(int32_t on) { m_stressAutoDisable = on; }

    // The label-type name of a label message of length n, from its last byte (and the one before
    // for the two-byte types). `length` is the number of message bytes received: a type byte that
    // lies beyond them is unknown, named "Don't know".
    static const char* LabelTypeName(const uint8_t* message, size_t n, size_t length);

    // The label of a message as complete decoding bounds it: `label` and `labelLength` the data
    // before the label type, `name` the type's name (with the 2D types), `numeric` when digits
    // may arrive as the bytes 0x00-0x09.
    struct CCompleteLabel {
        const uint8_t* label = nullptr;
        size_t labelLength = 0;
        const char* name = nullptr;
        bool numeric = false;
    };
    static CCompleteLabel BoundLabel(const uint8_t* message, size_t n, size_t length);

private:
    int32_t SendCommand(const uint8_t (&command)[kCommandLength]);
    void ShowCompleteLabel(const uint8_t* message, size_t n, size_t length);
    void AfterLabel();

    int32_t m_stressAutoDisable = 0;
};
