// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>

// How many of `wanted` bytes starting at `offset` lie inside a report of `length` bytes. Length
// bytes inside a report can point past what was received; decoders never read beyond it.
constexpr size_t BytesInReport(size_t offset, size_t wanted, size_t length) {
    if (offset >= length) {
        return 0;
    }
    return wanted < length - offset ? wanted : length - offset;
}

// The address of `offset` in a report of `length` bytes, or its end when the offset lies beyond.
inline const uint8_t* ReportAt(const uint8_t* report, size_t offset, size_t length) {
    return report + (offset < length ? offset : length);
}
