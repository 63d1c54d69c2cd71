// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CTerminalText.h"

#include <algorithm>
#include <cstdio>

std::string Latin1ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80) {
            out.push_back(char(c));
        } else {
            out.push_back(char(0xC0 | (c >> 6)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

void AppendJsonString(std::string& out, const std::string& latin1) {
    out += '"';
    const auto plain = [](unsigned char c) {
        return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
    };
    for (size_t i = 0; i < latin1.size(); ++i) {
        // A run of bytes that stand for themselves goes in at once.
        size_t end = i;
        while (end < latin1.size() && plain(static_cast<unsigned char>(latin1[end]))) {
            ++end;
        }
        if (end > i) {
            out.append(latin1, i, end - i);
            if (end == latin1.size()) {
                break;
            }
            i = end;
        }
        const unsigned char c = static_cast<unsigned char>(latin1[i]);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += char(0xC0 | (c >> 6));
                out += char(0x80 | (c & 0x3F));
            }
        }
    }
    out += '"';
}

std::string JsonString(const std::string& latin1) {
    std::string out;
    AppendJsonString(out, latin1);
    return out;
}

std::string HexWord(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}
