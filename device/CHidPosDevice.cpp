// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CHidPosDevice.h"

#include "device/CHidPort.h"
#include "device/ReportBounds.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// Command bits of output report 0x04.
constexpr uint8_t kBitsNone = 0x00;
constexpr uint8_t kBitDisable = 0x02;
constexpr uint8_t kBitTrigger = 0x04;
constexpr uint8_t kBitErrorBeep = 0x20;
constexpr uint8_t kBitBeep = 0x40;

constexpr uint8_t kAimFlag = 0x5D; // ]
constexpr size_t kIdentifierOffset = 1;
constexpr size_t kIdentifierLength = 3;
constexpr size_t kLabelOffset = 4;
// The body of a full-speed 64-byte report.
constexpr size_t kRawBodyLength = 63;
constexpr size_t kRedirectBufferLength = 64;
constexpr size_t kRedirectReportLength = 2;

struct CNameEntry {
    char key;
    const char* name;
};

// By the AIM code character.
constexpr CNameEntry kSymbologies[] = {
    {'A', "C39"},
    {'B', "TelePen"},
    {'C', "C128"},
    {'D', "Code One"},
    {'F', "Codabar"},
    {'G', "C93"},
    {'H', "C11"},
    {'I', "I25"},
    {'K', "C16K"},
    {'L', "PDF417"},
    {'M', "MSI"},
    {'N', "Anker Code"},
    {'O', "Codablock"},
    {'P', "Plessey code"},
    {'R', "Straight 2 of 5 (2 bars)"},
    {'S', "Straight 2 of 5 (3 bars)"},
    {'T', "C49"},
    {'X', "Other barcode"},
    {'Z', "Not a barcode"},
};

// EAN/UPC (code character E) by the modifier; the supplement texts follow without a blank.
constexpr char kEanUpc[] = "EAN/UPC";
constexpr CNameEntry kEanUpcModifiers[] = {
    {'1', "EAN/UPC"
          "2 digit supplement"},
    {'2', "EAN/UPC"
          "5 digit supplement"},
    {'3', "EAN/UPC"
          "with supplement"},
    {'4', "EAN-8"},
    {'8', "UPC-D1"},
    {'9', "UPC-D2"},
    {'A', "UPC-D3"},
    {'B', "UPC-D4"},
    {'C', "UPC-D5"},
};

constexpr char kDontKnow[] = "Don't know";

// The complete decoding's names: first by code character and modifier (GS1 data is named so),
// then by code character alone where the names above have none.
struct CModifierEntry {
    char code;
    char modifier;
    const char* name;
};

constexpr CModifierEntry kCompleteModifiers[] = {
    {'C', '1', "GS1-128"},     {'d', '2', "GS1 DataMatrix"}, {'Q', '3', "GS1 QR Code"},
    {'e', '0', "GS1 DataBar"}, {'J', '1', "GS1 DotCode"},    {'z', 'C', "Aztec Rune"},
    {'L', '3', "MicroPDF417"}, {'L', '4', "MicroPDF417"},    {'L', '5', "MicroPDF417"},
};

constexpr CNameEntry kCompleteSymbologies[] = {
    {'d', "Data Matrix"}, {'Q', "QR Code"}, {'z', "Aztec"},   {'e', "GS1 Composite"},
    {'U', "MaxiCode"},    {'h', "Han Xin"}, {'J', "DotCode"}, {'g', "Grid Matrix"},
};

bool Continued(const uint8_t* body, size_t length, const CHidPosLayout& layout) {
    return layout.continued != CHidPosLayout::kNone &&
           BytesInReport(layout.continued, 1, length) == 1 &&
           ((body[layout.continued] >> layout.continuedBit) & 1) != 0;
}

template <size_t N>
const char* FindName(const CNameEntry (&table)[N], uint8_t key, const char* fallback) {
    for (const CNameEntry& entry : table) {
        if (uint8_t(entry.key) == key) {
            return entry.name;
        }
    }
    return fallback;
}

} // namespace

const char* CHidPosDevice::SymbologyName(const uint8_t* identifier) {
    const uint8_t code = identifier[1];
    if (code == 'E') {
        return FindName(kEanUpcModifiers, identifier[2], kEanUpc);
    }
    return FindName(kSymbologies, code, kDontKnow);
}

const char* CHidPosDevice::CompleteSymbologyName(const uint8_t* identifier) {
    for (const CModifierEntry& entry : kCompleteModifiers) {
        if (uint8_t(entry.code) == identifier[1] && uint8_t(entry.modifier) == identifier[2]) {
            return entry.name;
        }
    }
    const char* name = SymbologyName(identifier);
    return name != kDontKnow ? name : FindName(kCompleteSymbologies, identifier[1], kDontKnow);
}

int32_t CHidPosDevice::SendCommandBits(uint8_t bits) {
    const uint8_t report[] = {kCommandReportId, bits};
    WriteReport(report, sizeof report);
    return 1;
}

int32_t CHidPosDevice::TriggerOn() {
    return SendCommandBits(kBitTrigger);
}

int32_t CHidPosDevice::TriggerOff() {
    return SendCommandBits(kBitsNone);
}

int32_t CHidPosDevice::Disable() {
    return SendCommandBits(kBitDisable);
}

int32_t CHidPosDevice::Enable() {
    return SendCommandBits(kBitsNone);
}

int32_t CHidPosDevice::Beep() {
    return SendCommandBits(kBitBeep);
}

int32_t CHidPosDevice::ErrorBeep() {
    return SendCommandBits(kBitErrorBeep);
}

int32_t CHidPosDevice::SendData(const uint8_t* data, size_t length) {
    const uint8_t header[] = {kDataReportId, uint8_t(length)};
    WriteFramed(data, length, header, sizeof header);
    return 1;
}

int32_t CHidPosDevice::RedirectToInterface(int interfaceNumber) {
    if (!m_port.IsOpen()) {
        return 0;
    }
    uint8_t buffer[kRedirectBufferLength] = {};
    buffer[0] = kRedirectReportId;
    buffer[1] = uint8_t(interfaceNumber);
    if (!m_port.SetFeature(buffer, kRedirectReportLength)) {
        return 0;
    }
    // Preset to a value no interface has, so a reader that returns nothing is not confirmed.
    buffer[1] = 0xFF;
    if (!m_port.GetFeature(buffer, kRedirectReportLength)) {
        return 0;
    }
    return buffer[1] == uint8_t(interfaceNumber) ? 1 : 0;
}

int32_t CHidPosDevice::OnReport(const uint8_t* report, size_t length) {
    if (length == 0) {
        return 1;
    }
    if (report[0] == kInputReportId) {
        return DecodeReport(report + 1, length - 1);
    }
    char text[48];
    const int n = std::snprintf(text, sizeof text, "Got Wrong Report ID: %i\r", int(report[0]));
    ShowText(reinterpret_cast<const uint8_t*>(text), size_t(n), OutputRole::Raw, false);
    return 1;
}

int32_t CHidPosDevice::DecodeReport(const uint8_t* body, size_t length) {
    return m_decoding == Decoding::Complete ? DecodeComplete(body, length)
                                            : DecodeSpecified(body, length);
}

int32_t CHidPosDevice::DecodeSpecified(const uint8_t* body, size_t length) {
    const char* name = "";
    if (BytesInReport(kIdentifierOffset, kIdentifierLength, length) == kIdentifierLength &&
        body[kIdentifierOffset] == kAimFlag) {
        const auto* identifier = reinterpret_cast<const char*>(body + kIdentifierOffset);
        m_output.NoteIdentifier(std::string(identifier, kIdentifierLength));
        if (m_settings.m_showSymbology) {
            name = SymbologyName(body + kIdentifierOffset);
            if (name == kDontKnow && CompleteSymbologyName(body + kIdentifierOffset) != kDontKnow) {
                SuggestCompleteDecoding("This reader sends " +
                                        std::string(identifier, kIdentifierLength) +
                                        ", which Complete Decoding names.");
            }
        }
    }
    if (Continued(body, length, CHidPosLayout::First())) {
        SuggestCompleteDecoding("This reader splits labels over several reports, which Complete "
                                "Decoding joins into one.");
    }
    if (m_settings.m_showRaw) {
        ShowRawPrefix(body, BytesInReport(0, kRawBodyLength, length));
    }
    const size_t labelLength = length > 0 ? body[0] : 0;
    ShowLabel(ReportAt(body, kLabelOffset, length),
              BytesInReport(kLabelOffset, labelLength, length));
    ShowSymbology(name);
    return 1;
}

const CHidPosLayout& CHidPosDevice::Layout() {
    if (m_layoutGeneration != m_port.Generation()) {
        m_layout = CHidPosLayout::FromDescriptor(m_port.ReportDescriptor());
        m_layoutGeneration = m_port.Generation();
    }
    return m_layout;
}

int32_t CHidPosDevice::DecodeComplete(const uint8_t* body, size_t length) {
    const CHidPosLayout& layout = Layout();
    // Readers that send the identifier repeat it in every report of a label. One that sends
    // none where the layout has it right before the data starts its data there instead.
    const bool identified =
        layout.identifier != CHidPosLayout::kNone &&
        BytesInReport(layout.identifier, kIdentifierLength, length) == kIdentifierLength &&
        body[layout.identifier] == kAimFlag;
    const uint8_t* identifier = identified ? body + layout.identifier : body;
    const size_t identifierLength = identified ? kIdentifierLength : 0;
    const size_t dataStart = !identified && layout.identifier != CHidPosLayout::kNone &&
                                     layout.identifier + kIdentifierLength == layout.data
                                 ? layout.identifier
                                 : layout.data;
    if (m_open &&
        (m_openIdentifier.size() != identifierLength ||
         m_openIdentifier.compare(0, identifierLength, reinterpret_cast<const char*>(identifier),
                                  identifierLength) != 0)) {
        CloseOpenLabel();
    }
    const bool continued = Continued(body, length, layout);
    if (m_settings.m_showRaw) {
        // Every report's bytes show; the label follows the last one.
        if (continued) {
            ShowHex(body, BytesInReport(0, kRawBodyLength, length), false);
            m_output.AppendNewLine();
        } else {
            ShowRawPrefix(body, BytesInReport(0, kRawBodyLength, length));
        }
    }
    const size_t stated = BytesInReport(layout.count, 1, length) == 1 ? body[layout.count] : 0;
    const size_t count = BytesInReport(dataStart, std::min(stated, layout.dataLength), length);
    const uint8_t* data = ReportAt(body, dataStart, length);
    // A label in one report, the usual case, shows straight from it.
    if (!m_open && !continued) {
        ShowCompleteLabel(identifier, identifierLength, data, count);
        return 1;
    }
    if (!m_open) {
        m_openIdentifier.assign(reinterpret_cast<const char*>(identifier), identifierLength);
        m_openData.clear();
        m_open = true;
    }
    m_openData.insert(m_openData.end(), data, data + count);
    if (!continued || m_openData.size() >= kMaxJoinedLabelBytes) {
        CloseOpenLabel();
    }
    return 1;
}

void CHidPosDevice::CloseOpenLabel() {
    if (!m_open) {
        return;
    }
    m_open = false;
    ShowCompleteLabel(reinterpret_cast<const uint8_t*>(m_openIdentifier.data()),
                      m_openIdentifier.size(), m_openData.data(), m_openData.size());
}

void CHidPosDevice::ShowCompleteLabel(const uint8_t* identifier, size_t identifierLength,
                                      const uint8_t* data, size_t length) {
    const char* name = "";
    if (identifierLength == kIdentifierLength) {
        m_output.NoteIdentifier(
            std::string(reinterpret_cast<const char*>(identifier), identifierLength));
        if (m_settings.m_showSymbology) {
            name = CompleteSymbologyName(identifier);
        }
    }
    ShowLabel(data, length);
    ShowSymbology(name);
}
