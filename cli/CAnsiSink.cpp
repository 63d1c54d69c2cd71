// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CAnsiSink.h"

#include <cstdio>
#include <iterator>

namespace {

constexpr uint32_t kAutomatic = 0xFF000000u;
constexpr char kReset[] = "\x1b[0m";
constexpr char kOwnColour[] = "39";

// The 16 standard colours with their usual values and SGR codes. Black and the two whites are
// left out: on one of the two kinds of background they cannot be read, so the terminal's own
// text colour stands for them.
struct CStandardColour {
    uint8_t r, g, b;
    const char* code;
};
constexpr CStandardColour kStandard[] = {
    {205, 0, 0, "31"},           {0, 205, 0, "32"},     {205, 205, 0, "33"},
    {0, 0, 238, "34"},           {205, 0, 205, "35"},   {0, 205, 205, "36"},
    {127, 127, 127, "90"},       {255, 0, 0, "91"},     {0, 255, 0, "92"},
    {255, 255, 0, "93"},         {92, 92, 255, "94"},   {255, 0, 255, "95"},
    {0, 255, 255, "96"},         {0, 0, 0, kOwnColour}, {229, 229, 229, kOwnColour},
    {255, 255, 255, kOwnColour},
};

long Distance(const CStandardColour& standard, long r, long g, long b) {
    const long dr = standard.r - r;
    const long dg = standard.g - g;
    const long db = standard.b - b;
    return dr * dr + dg * dg + db * db;
}

} // namespace

std::string CAnsiSink::ColourParameters(uint32_t colour, Palette palette) {
    if (colour == kAutomatic) {
        return kOwnColour;
    }
    const long r = colour & 0xFF;
    const long g = (colour >> 8) & 0xFF;
    const long b = (colour >> 16) & 0xFF;
    if (palette == Palette::Settings) {
        char text[24];
        std::snprintf(text, sizeof text, "38;2;%ld;%ld;%ld", r, g, b);
        return text;
    }
    const CStandardColour* nearest = std::begin(kStandard);
    for (const CStandardColour& standard : kStandard) {
        if (Distance(standard, r, g, b) < Distance(*nearest, r, g, b)) {
            nearest = &standard;
        }
    }
    return nearest->code;
}

void CAnsiSink::AppendText(const std::string& text, uint32_t colour, bool bold) {
    if (text.empty()) {
        return;
    }
    if (text != "\r\n") {
        StartLine();
    }
    m_out << "\x1b[" << (bold ? "1;" : "") << ColourParameters(colour, m_palette) << 'm';
    WriteText(text);
    m_out << kReset;
}

void CAnsiSink::AppendNewLine() {
    m_out << kReset;
    CPlainSink::AppendNewLine();
}
