// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CSurePosDevice.h"

#include "device/CHidPort.h"
#include "device/ReportBounds.h"
#include "settings/CSettingsStore.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

using CCommand = uint8_t[CSurePosDevice::kCommandLength];

constexpr CCommand kTest = {0x00, 0x00, 0x10};
constexpr CCommand kStatusRequest = {0x00, 0x00, 0x20};
constexpr CCommand kReset = {0x00, 0x00, 0x40};
constexpr CCommand kEnable = {0x00, 0x11};
constexpr CCommand kDisable = {0x00, 0x12};
constexpr CCommand kBeeperOn = {0x00, 0x14};
constexpr CCommand kBeeperOff = {0x00, 0x18};
constexpr CCommand kConfigure = {0x00, 0x20, 0x00, 0xFF, 0x7F, 0x00,
                                 0x15, 0x00, 0x00, 0xCA, 0x20, 0x01};
constexpr CCommand kReportConfiguration = {0x00, 0x21};
constexpr CCommand kTwoLabelConfig = {0x00, 0x23};
constexpr CCommand kReportTwoLabelConfig = {0x00, 0x34};
constexpr CCommand kDirectIoCommand = {0x00, 0x30};

constexpr char kStressKey[] = "StressAutoDisable";

// Status bits that mark a message as not a label.
constexpr uint8_t kNotLabelBits = 0x02 | 0x04;
constexpr size_t kHeaderLength = 4;
// The label type whose name is in the second table, by the byte before it.
constexpr uint8_t kTwoByteType = 0x0B;

// `numeric`: a UPC/EAN type, whose digits some readers send as the bytes 0x00-0x09 (used by
// complete decoding only).
struct CTypeEntry {
    uint8_t code;
    const char* name;
    bool numeric;
};

constexpr CTypeEntry kLabelTypes[] = {
    {0x0A, "UPC-E", true},  {0x0C, "EAN8", true},   {0x0D, "UPC-A", true},
    {0x11, "UPC-D1", true}, {0x12, "UPC-D2", true}, {0x14, "UPC-D3", true},
    {0x16, "EAN13", true},  {0x17, "UPC-D4", true}, {0x1D, "UPC-D5", true},
};

constexpr CTypeEntry kTwoByteLabelTypes[] = {
    {0x0A, "C39", false},       {0x0D, "I25", false},        {0x0E, "CBR", false},
    {0x11, "UPC-A+5", true},    {0x12, "UPC-E+2", true},     {0x13, "EAN13+2", true},
    {0x14, "UPC-E+5", true},    {0x15, "EAN13+5", true},     {0x16, "UPC-A+2", true},
    {0x17, "EAN8+2", true},     {0x18, "C128", false},       {0x19, "C93", false},
    {0x1D, "EAN8+5", true},     {0x20, "UPC-A/C128", false}, {0x21, "UPC-E/C128", false},
    {0x22, "EAN8/C128", false}, {0x23, "EAN13/C128", false}, {0x25, "EAN128", false},
    {0xFF, "Unknown", false},
};

// Second-table types that complete decoding names beyond the specified table.
constexpr CTypeEntry kTwoByteLabelTypes2D[] = {
    {0x32, "Data Matrix", false},
    {0x2E, "PDF417", false},
};

// The largest byte that stands for a digit in a numeric label sent as binary.
constexpr uint8_t kLastBinaryDigit = 0x09;

constexpr char kDontKnow[] = "Don't know";

template <size_t N> const CTypeEntry* FindEntry(const CTypeEntry (&table)[N], uint8_t code) {
    for (const CTypeEntry& entry : table) {
        if (entry.code == code) {
            return &entry;
        }
    }
    return nullptr;
}

template <size_t N> const char* FindType(const CTypeEntry (&table)[N], uint8_t code) {
    const CTypeEntry* entry = FindEntry(table, code);
    return entry ? entry->name : kDontKnow;
}

} // namespace

CSurePosDevice::~CSurePosDevice() {
    SaveSettings();
}

const char* CSurePosDevice::LabelTypeName(const uint8_t* message, size_t n, size_t length) {
    if (n < 1 || n > length) {
        return kDontKnow;
    }
    const uint8_t last = message[n - 1];
    if (last != kTwoByteType) {
        return FindType(kLabelTypes, last);
    }
    if (n < 2) {
        return kDontKnow;
    }
    return FindType(kTwoByteLabelTypes, message[n - 2]);
}

CSurePosDevice::CCompleteLabel CSurePosDevice::BoundLabel(const uint8_t* message, size_t n,
                                                          size_t length) {
    CCompleteLabel result;
    result.label = ReportAt(message, kHeaderLength, length);
    result.name = kDontKnow;
    const size_t end = std::min(n, length);
    if (end <= kHeaderLength) {
        return result;
    }
    // The type takes the last byte, or for the second table the last two (type, 0x0B) and,
    // from readers that send it, a zero byte before them.
    const uint8_t last = message[end - 1];
    size_t typeLength = 1;
    const CTypeEntry* entry = nullptr;
    if (end == n && last != kTwoByteType) {
        entry = FindEntry(kLabelTypes, last);
    } else if (end == n && n >= kHeaderLength + 2) {
        const uint8_t type = message[n - 2];
        entry = FindEntry(kTwoByteLabelTypes, type);
        if (!entry) {
            entry = FindEntry(kTwoByteLabelTypes2D, type);
        }
        typeLength = n >= kHeaderLength + 3 && message[n - 3] == 0x00 ? 3 : 2;
    } else if (end < n) {
        // The message was cut: what arrived is all label.
        typeLength = 0;
    }
    if (entry) {
        result.name = entry->name;
        result.numeric = entry->numeric;
    }
    result.labelLength = end - kHeaderLength - std::min(typeLength, end - kHeaderLength);
    return result;
}

int32_t CSurePosDevice::SendCommand(const uint8_t (&command)[kCommandLength]) {
    WriteReport(command, kCommandLength);
    return 1;
}

int32_t CSurePosDevice::RedirectToInterface(int) {
    return 1;
}

int32_t CSurePosDevice::TriggerOn() {
    return 1;
}

int32_t CSurePosDevice::TriggerOff() {
    return 1;
}

int32_t CSurePosDevice::Disable() {
    return SendCommand(kDisable);
}

int32_t CSurePosDevice::Enable() {
    return SendCommand(kEnable);
}

int32_t CSurePosDevice::Beep() {
    return 1;
}

int32_t CSurePosDevice::ErrorBeep() {
    return 1;
}

int32_t CSurePosDevice::SendData(const uint8_t*, size_t) {
    return 1;
}

int32_t CSurePosDevice::SetBeeper(int on) {
    return SendCommand(on ? kBeeperOn : kBeeperOff);
}

int32_t CSurePosDevice::Test() {
    return SendCommand(kTest);
}

int32_t CSurePosDevice::StatusRequest() {
    return SendCommand(kStatusRequest);
}

int32_t CSurePosDevice::Reset() {
    return SendCommand(kReset);
}

int32_t CSurePosDevice::Configure() {
    return SendCommand(kConfigure);
}

int32_t CSurePosDevice::ReportConfiguration() {
    return SendCommand(kReportConfiguration);
}

int32_t CSurePosDevice::TwoLabelConfig() {
    return SendCommand(kTwoLabelConfig);
}

int32_t CSurePosDevice::ReportTwoLabelConfig() {
    return SendCommand(kReportTwoLabelConfig);
}

int32_t CSurePosDevice::DirectIoCommand() {
    return SendCommand(kDirectIoCommand);
}

void CSurePosDevice::LoadSettings(const std::string& section) {
    CHidDevice::LoadSettings(section);
    if (CSettingsStore* store = m_settings.Store()) {
        m_stressAutoDisable = store->GetProfileInt(section, kStressKey, 0);
    }
}

void CSurePosDevice::SaveSettings() {
    CSettingsStore* store = m_settings.Store();
    if (m_settings.m_section.empty() || !store) {
        return;
    }
    store->WriteProfileInt(m_settings.m_section, kStressKey, m_stressAutoDisable);
    store->Flush();
}

int32_t CSurePosDevice::OnReport(const uint8_t* report, size_t length) {
    if (length == 0) {
        return 1;
    }
    return DecodeReport(report + 1, length - 1);
}

int32_t CSurePosDevice::DecodeReport(const uint8_t* message, size_t length) {
    const size_t n = length > 0 ? message[0] : 0;
    if (m_settings.m_showRaw) {
        ShowRawPrefix(message, BytesInReport(0, n, length));
    }
    if (n <= kHeaderLength) {
        if (m_settings.m_showRaw) {
            ShowSymbology(std::string());
        }
        return 1;
    }
    const uint8_t* data = ReportAt(message, kHeaderLength, length);
    if (BytesInReport(1, 1, length) == 1 && (message[1] & kNotLabelBits)) {
        ShowHex(data, BytesInReport(kHeaderLength, n - kHeaderLength, length), true);
        ShowSymbology(std::string());
        return 1;
    }
    if (m_decoding == Decoding::Complete) {
        ShowCompleteLabel(message, n, length);
        return 1;
    }
    const char* name = m_settings.m_showSymbology ? LabelTypeName(message, n, length) : "";
    if (name == kDontKnow && BoundLabel(message, n, length).name != kDontKnow) {
        SuggestCompleteDecoding("This reader sends a label type that Complete Decoding names.");
    }
    const size_t available = BytesInReport(kHeaderLength, length, length);
    const void* zero = std::memchr(data, 0, available);
    size_t labelLength = zero ? size_t(static_cast<const uint8_t*>(zero) - data) : available;
    // The label-type byte (the last one of two-byte types) is not part of the text.
    if (labelLength > 0 && data[labelLength - 1] < 0x20) {
        --labelLength;
    }
    ShowLabel(data, labelLength);
    ShowSymbology(name);
    AfterLabel();
    return 1;
}

void CSurePosDevice::ShowCompleteLabel(const uint8_t* message, size_t n, size_t length) {
    const CCompleteLabel bound = BoundLabel(message, n, length);
    if (bound.numeric) {
        std::string digits(reinterpret_cast<const char*>(bound.label), bound.labelLength);
        for (char& c : digits) {
            if (uint8_t(c) <= kLastBinaryDigit) {
                c = char('0' + c);
            }
        }
        ShowLabel(reinterpret_cast<const uint8_t*>(digits.data()), digits.size());
    } else {
        ShowLabel(bound.label, bound.labelLength);
    }
    ShowSymbology(m_settings.m_showSymbology ? bound.name : "");
    AfterLabel();
}

void CSurePosDevice::AfterLabel() {
    if (m_stressAutoDisable && m_port.IsOpen()) {
        Disable();
        std::this_thread::sleep_for(std::chrono::milliseconds(kStressPauseMs));
        Enable();
    }
}
