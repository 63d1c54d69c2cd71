// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What a run of output is. The device types say only this; each output renders a role its own
// way (the window in the colours of the display settings, the terminal in its own palette, JSON
// as a field), so nothing that must know "this is the label" has to guess it from a colour.
enum class OutputRole : uint8_t {
    Default,   // separators and line ends
    Label,     // the label's content
    Symbology, // the symbology or label-type name
    Hex,       // control bytes and hexadecimal groups
    Raw,       // the raw report bytes and the device type's own messages
    Out,       // the bytes sent to the reader
};
constexpr size_t kOutputRoleCount = 6;

// "default", "label", "symbology", "hex", "raw" or "out".
const char* OutputRoleName(OutputRole role);

// Where decoded reports go: the GUI's output window, the terminal tool, or a recording in tests.
// Texts are bytes shown as ISO-8859-1 characters.
class COutputSink {
public:
    virtual ~COutputSink() = default;

    // One insertion of `text` in one role and boldness; an empty text does nothing.
    virtual void AppendText(const std::string& text, OutputRole role, bool bold) = 0;
    // "\r\n" at the insertion point, in the format already there, without scrolling.
    virtual void AppendNewLine() = 0;
    // The end of a label line: clears the modified flag and brings the last line into view.
    virtual void ScrollToEnd() = 0;

    // Printable runs in `textRole`, control bytes as "[%02X]" in the hex role; each maximal run
    // becomes one AppendText.
    virtual void AppendMixed(const uint8_t* data, size_t length, OutputRole textRole, bool bold);
    // Every byte as "[%02X]", as one AppendText.
    virtual void AppendHex(const uint8_t* data, size_t length, OutputRole role, bool bold);
    // The symbology identifier the reader sent with the report being shown (the three bytes
    // "]Q0"), for outputs that keep it beside the text; shown nowhere by itself.
    virtual void NoteIdentifier(const std::string& identifier);
};

// Control bytes under the program's locale: 0x00-0x1F and 0x7F-0x9F.
constexpr bool IsControlByte(uint8_t b) {
    return b < 0x20 || (b >= 0x7F && b <= 0x9F);
}

// Appends "[%02X]" of `b` to `out`.
void AppendHexGroup(std::string& out, uint8_t b);
