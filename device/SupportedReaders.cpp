// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/SupportedReaders.h"

const CSupportedReader kSupportedReaders[] = {
    {0x1209, 0x0001}, {0x1209, 0x0002}, {0x1209, 0x0003}, {0x1209, 0x0004}, {0x1209, 0x0005},
    {0x1209, 0x0006}, {0x1209, 0x0007}, {0x1209, 0x0008}, {0x0000, 0x0000},
};

bool IsSupportedReader(uint16_t vendorId, uint16_t productId) {
    for (const CSupportedReader* entry = kSupportedReaders; entry->vendorId != 0; ++entry) {
        if (entry->vendorId == vendorId && entry->productId == productId) {
            return true;
        }
    }
    return false;
}
