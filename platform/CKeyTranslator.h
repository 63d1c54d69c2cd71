// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <string>

// Turns the key events of a keyboard into the text they type under one keyboard layout, as the
// desktop would: modifiers, Caps Lock, AltGr and Ctrl+letter (Ctrl+] types 0x1D) included.
class CKeyTranslator {
public:
    virtual ~CKeyTranslator() = default;

    // The layout the text is typed under ("us", "de", ...).
    virtual const std::string& Layout() const = 0;
    // Feeds one key event (a Linux input key code; `pressed` false for a release) and returns
    // what it types: bytes as ISO-8859-1 characters, "?" for a character beyond it, empty for
    // releases, modifiers and keys that type nothing.
    virtual std::string Feed(uint16_t keyCode, bool pressed) = 0;
    // Forgets held modifiers and locks.
    virtual void Reset() = 0;
};
