// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "output/COutputSink.h"

void AppendHexGroup(std::string& out, uint8_t b) {
    static const char kDigits[] = "0123456789ABCDEF";
    const char group[4] = {'[', kDigits[b >> 4], kDigits[b & 0x0F], ']'};
    out.append(group, sizeof group);
}

void COutputSink::AppendMixed(const uint8_t* data, size_t length, uint32_t textColour,
                              uint32_t hexColour, bool bold) {
    std::string textRun;
    std::string hexRun;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t b = data[i];
        if (IsControlByte(b)) {
            AppendText(textRun, textColour, bold);
            textRun.clear();
            AppendHexGroup(hexRun, b);
        } else {
            AppendText(hexRun, hexColour, bold);
            hexRun.clear();
            textRun.push_back(char(b));
        }
    }
    AppendText(hexRun, hexColour, bold);
    AppendText(textRun, textColour, bold);
}

void COutputSink::AppendHex(const uint8_t* data, size_t length, uint32_t colour, bool bold) {
    std::string hex;
    hex.reserve(length * 4);
    for (size_t i = 0; i < length; ++i) {
        AppendHexGroup(hex, data[i]);
    }
    AppendText(hex, colour, bold);
}
