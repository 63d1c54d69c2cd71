// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Converts bytes shown as ISO-8859-1 characters to UTF-8 for a terminal or a JSON document.
std::string Latin1ToUtf8(const std::string& text);

// A JSON string literal (with its quotes) of ISO-8859-1 text.
std::string JsonString(const std::string& latin1);
// The same, appended to `out`.
void AppendJsonString(std::string& out, const std::string& latin1);

// "0x%04X" of a 16-bit value, as usages are shown.
std::string HexWord(uint16_t value);
