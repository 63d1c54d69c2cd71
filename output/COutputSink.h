// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Where decoded reports go: the GUI's output window, the terminal tool, or a recording in tests.
// Texts are bytes shown as ISO-8859-1 characters. Colours are 0x00BBGGRR words; 0xFF000000 is
// "Automatic" (the sink's default text colour).
class COutputSink {
public:
    virtual ~COutputSink() = default;

    // One insertion of `text` in one colour and boldness; an empty text does nothing.
    virtual void AppendText(const std::string& text, uint32_t colour, bool bold) = 0;
    // "\r\n" at the insertion point, in the format already there, without scrolling.
    virtual void AppendNewLine() = 0;
    // The end of a label line: clears the modified flag and brings the last line into view.
    virtual void ScrollToEnd() = 0;

    // Printable runs in the text colour, control bytes as "[%02X]" in the hex colour; each
    // maximal run becomes one AppendText.
    virtual void AppendMixed(const uint8_t* data, size_t length, uint32_t textColour,
                             uint32_t hexColour, bool bold);
    // Every byte as "[%02X]", as one AppendText.
    virtual void AppendHex(const uint8_t* data, size_t length, uint32_t colour, bool bold);
};

// Control bytes under the program's locale: 0x00-0x1F and 0x7F-0x9F.
constexpr bool IsControlByte(uint8_t b) {
    return b < 0x20 || (b >= 0x7F && b <= 0x9F);
}

// Appends "[%02X]" of `b` to `out`.
void AppendHexGroup(std::string& out, uint8_t b);
