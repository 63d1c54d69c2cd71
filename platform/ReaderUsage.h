// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>

// True for the usage page/usage pairs of the reader interfaces that are listed by their usages:
// SurePos and SurePos Sio on 0xFF45, Quorin on 0xFFA0, Hid Pos on 0x008C.
inline bool IsReaderUsage(uint16_t usagePage, uint16_t usage) {
    switch (usagePage) {
    case 0xFF45:
        return usage == 0x4B00 || usage == 0x4A00 || usage == 0x6400 || usage == 0x6500 ||
               usage == 0x6800 || usage == 0x6900;
    case 0xFFA0:
        return usage == 0x0001;
    case 0x008C:
        return usage == 0x0002;
    default:
        return false;
    }
}
