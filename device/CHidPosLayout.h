// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class CReportDescriptor;

// Where a Hid Pos reader puts the fields of its input report 0x02, as byte offsets into the body
// (the report from byte 1, after the report id).
struct CHidPosLayout {
    static constexpr size_t kNone = SIZE_MAX;
    static constexpr uint8_t kInputReportId = 0x02;

    size_t count = 0;      // the number of data bytes in this report
    size_t identifier = 1; // the three identifier bytes ] c m; kNone when the reader has none
    size_t data = 4;
    size_t dataLength = 56;
    size_t continued = 62; // kNone when the reader never says a label goes on
    uint8_t continuedBit = 0;

    bool operator==(const CHidPosLayout& other) const;
    bool operator!=(const CHidPosLayout& other) const { return !(*this == other); }

    // The usual layout, taken when the descriptor does not tell: the length in byte 1, the
    // identifier in 2..4, data in 5..60, "continued" in bit 0 of byte 63 (counting the id).
    static CHidPosLayout First() { return {}; }
    // The positions the descriptor declares with the scanner usages (byte count, identifier,
    // decoded data, continued) for input report 0x02; none when it does not declare them all
    // byte-aligned and in one piece each.
    static std::optional<CHidPosLayout> Declared(const CReportDescriptor& descriptor);
    // Declared() of the descriptor bytes, else First().
    static CHidPosLayout FromDescriptor(const std::vector<uint8_t>& descriptor);
};
