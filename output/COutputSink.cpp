// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "output/COutputSink.h"

namespace {

constexpr const char* kRoleNames[kOutputRoleCount] = {"default", "label", "symbology",
                                                      "hex",     "raw",   "out"};

} // namespace

const char* OutputRoleName(OutputRole role) {
    return kRoleNames[size_t(role)];
}

void AppendHexGroup(std::string& out, uint8_t b) {
    static const char kDigits[] = "0123456789ABCDEF";
    const char group[4] = {'[', kDigits[b >> 4], kDigits[b & 0x0F], ']'};
    out.append(group, sizeof group);
}

void COutputSink::AppendMixed(const uint8_t* data, size_t length, OutputRole textRole, bool bold) {
    std::string textRun;
    std::string hexRun;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t b = data[i];
        if (IsControlByte(b)) {
            AppendText(textRun, textRole, bold);
            textRun.clear();
            AppendHexGroup(hexRun, b);
        } else {
            AppendText(hexRun, OutputRole::Hex, bold);
            hexRun.clear();
            textRun.push_back(char(b));
        }
    }
    AppendText(hexRun, OutputRole::Hex, bold);
    AppendText(textRun, textRole, bold);
}

void COutputSink::AppendHex(const uint8_t* data, size_t length, OutputRole role, bool bold) {
    std::string hex;
    hex.reserve(length * 4);
    for (size_t i = 0; i < length; ++i) {
        AppendHexGroup(hex, data[i]);
    }
    AppendText(hex, role, bold);
}

void COutputSink::NoteIdentifier(const std::string&) {}
