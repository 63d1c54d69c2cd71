// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/QuoteInput.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

// The length of the UTF-8 sequence at `at` and its code point, or 0 when it is not one
// (overlong, surrogate, cut short or above U+10FFFF).
size_t Utf8Length(const std::string& text, size_t at, uint32_t& code) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) ||
        (code >= 0x80 && code <= 0x9F)) {
        return 0;
    }
    return length;
}

// The bidirectional embeddings, overrides and isolates, which would turn the text around them.
bool IsBidiControl(uint32_t code) {
    return (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

} // namespace

std::string QuoteInput(const std::string& raw, size_t limit) {
    std::string out = "\"";
    const size_t shown = std::min(raw.size(), limit);
    char escaped[16];
    uint32_t code = 0;
    for (size_t i = 0; i < shown;) {
        const unsigned char c = static_cast<unsigned char>(raw[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
            ++i;
        } else if (c >= 0x20 && c < 0x7F) {
            out += char(c);
            ++i;
        } else if (const size_t n = c >= 0x80 ? Utf8Length(raw, i, code) : 0;
                   n > 0 && i + n <= shown) {
            if (IsBidiControl(code)) {
                std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(code));
                out += escaped;
            } else {
                out.append(raw, i, n);
            }
            i += n;
        } else {
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
            ++i;
        }
    }
    out += '"';
    if (shown < raw.size()) {
        out += "... (" + std::to_string(raw.size()) + " bytes)";
    }
    return out;
}
