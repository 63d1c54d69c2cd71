// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>

// A reader this tool was made for, by its USB identity.
struct CSupportedReader {
    uint16_t vendorId;
    uint16_t productId;
};

// The supported readers, ended by an entry whose vendor id is 0.
extern const CSupportedReader kSupportedReaders[];

// True when (vendor id, product id) is an entry of the table.
bool IsSupportedReader(uint16_t vendorId, uint16_t productId);
