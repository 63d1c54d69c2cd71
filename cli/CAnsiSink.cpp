// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CAnsiSink.h"

#include <cstdio>

namespace {

constexpr char kReset[] = "\x1b[0m";
constexpr char kOwnColour[] = "39";

// The terminal palette, in the order of OutputRole: label blue and symbology cyan (the window's
// navy and blue would both be blue here), hex grey, raw yellow, sent bytes magenta.
constexpr const char* kTerminalRoleColours[kOutputRoleCount] = {kOwnColour, "34", "36",
                                                                "90",       "33", "35"};

} // namespace

std::string CAnsiSink::RoleParameters(OutputRole role, Palette palette,
                                      const CDisplaySettings& colours) {
    if (palette == Palette::Terminal) {
        return kTerminalRoleColours[size_t(role)];
    }
    const COLORREF colour = colours.RoleColour(role);
    if (colour == CLR_DEFAULT) {
        return kOwnColour;
    }
    char text[24];
    std::snprintf(text, sizeof text, "38;2;%u;%u;%u", unsigned(colour & 0xFF),
                  unsigned((colour >> 8) & 0xFF), unsigned((colour >> 16) & 0xFF));
    return text;
}

void CAnsiSink::AppendText(const std::string& text, OutputRole role, bool bold) {
    if (text.empty()) {
        return;
    }
    // A bare line end has no look; the prefix of an empty line stays uncoloured.
    if (text == "\r\n") {
        AppendNewLine();
        return;
    }
    StartLine();
    m_out << "\x1b[" << (bold ? "1;" : "") << RoleParameters(role, m_palette, m_colours) << 'm';
    WriteText(text);
    m_out << kReset;
}

void CAnsiSink::AppendNewLine() {
    m_out << kReset;
    CPlainSink::AppendNewLine();
}
