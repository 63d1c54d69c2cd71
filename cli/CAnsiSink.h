// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CPlainSink.h"

// Text in the colours of the display settings, bold where the window shows bold.
class CAnsiSink : public CPlainSink {
public:
    enum class Palette {
        // Black and "Automatic" in the terminal's own text colour, every other colour as the
        // nearest of the terminal's 16 standard colours, which each terminal themes to be
        // readable on its background.
        Terminal,
        // The stored colours as 24-bit colour; "Automatic" in the terminal's own text colour.
        Settings,
    };

    CAnsiSink(std::ostream& out, Palette palette) : CPlainSink(out), m_palette(palette) {}
    void AppendText(const std::string& text, uint32_t colour, bool bold) override;
    void AppendNewLine() override;

    // The SGR parameters of a colour word ("39", "34", "38;2;R;G;B").
    static std::string ColourParameters(uint32_t colour, Palette palette);

private:
    Palette m_palette;
};
