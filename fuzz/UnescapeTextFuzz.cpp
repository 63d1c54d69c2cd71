// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// Typed send strings are decoded byte by byte; no input may read or write past its buffers.
#include "device/CHidDevice.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Exactly the text length: the decoder must stay inside it, terminator included.
    std::vector<uint8_t> output(size);
    size_t capacity = size;
    if (!CHidDevice::UnescapeText(text, output.data(), capacity) || capacity > size) {
        std::abort();
    }
    if (size > 0) {
        size_t small = size - 1;
        if (CHidDevice::UnescapeText(text, output.data(), small) || small != size) {
            std::abort();
        }
    }
    return 0;
}
