// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "cli/CPlainSink.h"

// Text with a look per output role, bold where the window shows bold.
class CAnsiSink : public CPlainSink {
public:
    enum class Palette {
        // One of the terminal's own colours per role, each distinct from the others, which
        // every terminal themes to be readable on its background; the default role in the
        // terminal's own text colour.
        Terminal,
        // The stored colours as 24-bit colour; "Automatic" in the terminal's own text colour.
        Settings,
    };

    CAnsiSink(std::ostream& out, Palette palette) : CPlainSink(out), m_palette(palette) {}
    void AppendText(const std::string& text, OutputRole role, bool bold) override;
    void AppendNewLine() override;

    // The SGR parameters of a role under `palette` with the stored `colours` ("39", "34",
    // "38;2;R;G;B").
    static std::string RoleParameters(OutputRole role, Palette palette,
                                      const CDisplaySettings& colours);

private:
    Palette m_palette;
};
