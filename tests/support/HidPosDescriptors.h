// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <vector>

// Report descriptors of Hid Pos readers written field by field: the items of one input report
// inside the scanner's application collection.
struct CDescriptorField {
    uint8_t size = 8;  // Report Size, bits
    uint8_t count = 1; // Report Count
    uint16_t page = 0x8C;
    std::vector<uint16_t> usages;
    uint8_t flags = 0x02; // Input: data, variable
};

inline std::vector<uint8_t> HidPosInputDescriptor(const std::vector<CDescriptorField>& fields,
                                                  uint8_t reportId = 0x02) {
    std::vector<uint8_t> d = {0x05,     0x8C, 0x09, 0x02, 0xA1, 0x01, 0x85,
                              reportId, 0x15, 0x00, 0x26, 0xFF, 0x00};
    for (const CDescriptorField& f : fields) {
        d.insert(d.end(),
                 {0x75, f.size, 0x95, f.count, 0x06, uint8_t(f.page & 0xFF), uint8_t(f.page >> 8)});
        for (const uint16_t usage : f.usages) {
            d.insert(d.end(), {0x0A, uint8_t(usage & 0xFF), uint8_t(usage >> 8)});
        }
        d.insert(d.end(), {0x81, f.flags});
    }
    d.push_back(0xC0);
    return d;
}

// The fields of a reader that puts them elsewhere than the first layout: the byte count in
// byte 1, 56 data bytes in 2..57, the identifier in 58..60, two vendor bytes, and "continued"
// in bit 0 of byte 63 with seven padding bits.
inline std::vector<CDescriptorField> OtherOrderHidPosFields() {
    return {{8, 1, 0x01, {0x3B}},         {8, 56, 0x8C, {0xFE}}, {8, 3, 0x8C, {0xFB, 0xFC, 0xFD}},
            {8, 2, 0xFF66, {0x04, 0x00}}, {1, 1, 0x8C, {0xFF}},  {1, 7, 0x8C, {}, 0x03}};
}
