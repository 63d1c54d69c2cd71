// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CHidPosLayout.h"

#include "platform/CReportDescriptor.h"

#include <array>

namespace {

constexpr uint16_t kGenericDesktopPage = 0x01;
constexpr uint16_t kScannerPage = 0x8C;

enum CRole : uint8_t { kCount, kIdentifier1, kIdentifier2, kIdentifier3, kData, kContinued };
constexpr size_t kRoleCount = 6;

struct CRoleUsage {
    uint32_t usage;
    CRole role;
};

constexpr CRoleUsage kRoleUsages[] = {
    {FullUsage(kGenericDesktopPage, 0x3B), kCount}, // Byte Count
    {FullUsage(kScannerPage, 0xFB), kIdentifier1},  // Symbology Identifier 1
    {FullUsage(kScannerPage, 0xFC), kIdentifier2},  // Symbology Identifier 2
    {FullUsage(kScannerPage, 0xFD), kIdentifier3},  // Symbology Identifier 3
    {FullUsage(kScannerPage, 0xFE), kData},         // Decoded Data
    {FullUsage(kScannerPage, 0xFF), kContinued},    // Decode Data Continued
};

// The elements of one role: where the first lies, and whether all of them are bytes that follow
// each other.
struct CRoleElements {
    uint32_t elements = 0;
    uint32_t firstBit = 0;
    bool contiguousBytes = true;
};

const CRoleUsage* FindRole(uint32_t usage) {
    for (const CRoleUsage& entry : kRoleUsages) {
        if (entry.usage == usage) {
            return &entry;
        }
    }
    return nullptr;
}

// The byte of a role of one byte-aligned byte, or kNone.
size_t SingleByte(const CRoleElements& seen) {
    return seen.elements == 1 && seen.contiguousBytes ? seen.firstBit / 8 : CHidPosLayout::kNone;
}

} // namespace

bool CHidPosLayout::operator==(const CHidPosLayout& other) const {
    return count == other.count && identifier == other.identifier && data == other.data &&
           dataLength == other.dataLength && continued == other.continued &&
           continuedBit == other.continuedBit;
}

std::optional<CHidPosLayout> CHidPosLayout::Declared(const CReportDescriptor& descriptor) {
    if (!descriptor.InputFieldsComplete()) {
        return std::nullopt;
    }
    std::array<CRoleElements, kRoleCount> seen{};
    for (const CReportField& field : descriptor.InputFields(kInputReportId)) {
        // Padding and array fields place no values; elements of no bits place nothing.
        if (field.constant || !field.variable || field.reportSize == 0) {
            continue;
        }
        for (uint32_t i = 0; i < field.reportCount; ++i) {
            const CRoleUsage* role = FindRole(field.UsageAt(i));
            if (role == nullptr) {
                continue;
            }
            const uint32_t bit = field.bitOffset + i * field.reportSize;
            CRoleElements& elements = seen[role->role];
            const bool isByte = field.reportSize == 8 && bit % 8 == 0;
            if (elements.elements == 0) {
                elements.firstBit = bit;
                elements.contiguousBytes = isByte;
            } else if (!isByte || bit != elements.firstBit + elements.elements * 8) {
                elements.contiguousBytes = false;
            }
            ++elements.elements;
        }
    }

    CHidPosLayout layout;
    layout.count = SingleByte(seen[kCount]);
    const CRoleElements& data = seen[kData];
    if (layout.count == kNone || data.elements == 0 || !data.contiguousBytes) {
        return std::nullopt;
    }
    layout.data = data.firstBit / 8;
    layout.dataLength = data.elements;

    // The identifier is three bytes in a row, or not declared at all.
    const size_t identifier[] = {SingleByte(seen[kIdentifier1]), SingleByte(seen[kIdentifier2]),
                                 SingleByte(seen[kIdentifier3])};
    const bool noIdentifier = seen[kIdentifier1].elements == 0 &&
                              seen[kIdentifier2].elements == 0 && seen[kIdentifier3].elements == 0;
    if (noIdentifier) {
        layout.identifier = kNone;
    } else if (identifier[0] != kNone && identifier[1] == identifier[0] + 1 &&
               identifier[2] == identifier[0] + 2) {
        layout.identifier = identifier[0];
    } else {
        return std::nullopt;
    }

    // Readers declare the whole byte or its padding bits as "continued": the first bit tells.
    const CRoleElements& continued = seen[kContinued];
    if (continued.elements == 0) {
        layout.continued = kNone;
        layout.continuedBit = 0;
    } else {
        layout.continued = continued.firstBit / 8;
        layout.continuedBit = static_cast<uint8_t>(continued.firstBit % 8);
    }
    return layout;
}

CHidPosLayout CHidPosLayout::FromDescriptor(const std::vector<uint8_t>& descriptor) {
    CReportDescriptor parsed;
    if (!parsed.Parse(descriptor)) {
        return First();
    }
    return Declared(parsed).value_or(First());
}
