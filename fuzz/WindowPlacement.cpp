// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "settings/CWindowPlacement.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// A stored placement is text a user may have edited: parsing must never read past it, and
// whatever it accepts must format back to a string that parses to the same placement.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto placement = CWindowPlacement::Parse(text);
    if (placement && CWindowPlacement::Parse(placement->Format()) != placement) {
        std::abort();
    }
    return 0;
}
