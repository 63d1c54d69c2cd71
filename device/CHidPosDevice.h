// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CHidDevice.h"
#include "device/CHidPosLayout.h"

#include <string>
#include <vector>

// The HID Point-of-Sale bar-code scanner interface: labels with an AIM symbology identifier in
// input report 0x02, command bits in output report 0x04, framed data in 0xFD, and the interface
// redirect in feature report 0xFE.
class CHidPosDevice : public CHidDevice {
public:
    static constexpr uint8_t kInputReportId = 0x02;
    static constexpr uint8_t kCommandReportId = 0x04;
    static constexpr uint8_t kDataReportId = 0xFD;
    static constexpr uint8_t kRedirectReportId = 0xFE;
    // The largest symbols hold a few kilobytes; a reader that keeps saying its label goes on has
    // it shown in pieces of this size rather than held without end.
    static constexpr size_t kMaxJoinedLabelBytes = 65536;

    using CHidDevice::CHidDevice;

    DeviceType Type() const override { return DeviceType::HidPos; }

    // Sets feature report 0xFE to the interface number and reads it back: 1 when the reader
    // confirms it, 0 on any failure or another value.
    int32_t RedirectToInterface(int interfaceNumber) override;
    int32_t TriggerOn() override;
    int32_t TriggerOff() override;
    int32_t Disable() override;
    int32_t Enable() override;
    int32_t Beep() override;
    int32_t ErrorBeep() override;
    int32_t SendData(const uint8_t* data, size_t length) override;

    int32_t OnReport(const uint8_t* report, size_t length) override;
    // `body` is the report from byte 1: length L, the identifier ] c m, L label bytes.
    int32_t DecodeReport(const uint8_t* body, size_t length) override;
    void CloseOpenLabel() override;

    // The name of a three-byte AIM identifier ] c m, by the code character c (and the modifier m
    // for EAN/UPC).
    static const char* SymbologyName(const uint8_t* identifier);
    // The complete decoding's name: the names above, the GS1 and Micro variants by the modifier,
    // and every code character of the published identifier list.
    static const char* CompleteSymbologyName(const uint8_t* identifier);

protected:
    bool HasOpenLabel() const override { return m_open; }

private:
    int32_t SendCommandBits(uint8_t bits);
    int32_t DecodeSpecified(const uint8_t* body, size_t length);
    int32_t DecodeComplete(const uint8_t* body, size_t length);
    // Where the open reader puts its fields: what its report descriptor declares, else the
    // first layout. Taken once per open of the port.
    const CHidPosLayout& Layout();
    // A label line of the complete decoding; `identifierLength` 0 for readers that send none.
    void ShowCompleteLabel(const uint8_t* identifier, size_t identifierLength, const uint8_t* data,
                           size_t length);

    // The label being joined over reports that said it goes on.
    bool m_open = false;
    std::string m_openIdentifier; // of its first report; empty for readers that send none
    std::vector<uint8_t> m_openData;

    CHidPosLayout m_layout;
    uint64_t m_layoutGeneration = 0; // the port's open the layout was taken for
};
