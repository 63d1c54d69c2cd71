// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/DeviceType.h"

#include <cstdint>
#include <vector>

// Everything the tool knows about one reader type, in one row. Adding a type means adding its
// row here, its device class (CreateHidDevice), its panel (the panel factory) and its usages
// in platform/ReaderUsage.h; see CONTRIBUTING.md.
struct CReaderType {
    DeviceType type;
    const char* name; // as lists, titles and messages show it: "Hid Pos"
    const char* key;  // as a recording or the command line names it: "hidpos"
    uint16_t usagePage;
    // The usages the listing rule accepts on the page; the first is the type's usual one.
    std::vector<uint16_t> listedUsages;
    // True when SelectDeviceType takes every usage of the page, not only the listed ones.
    bool anyUsageSelects;
    // False when the usages alone never list an interface: every keyboard has the keyboard
    // usage, so only one that says it is a reader is listed (IsKeyboardModeReader).
    bool listedByUsage;
    // Report byte lengths (with the report-id byte) of the usual reader, for a replay that has
    // no report descriptor.
    uint16_t inputReportByteLength;
    uint16_t outputReportByteLength;
    uint16_t featureReportByteLength;
    // The commands of this type beyond those every reader offers (trigger, beep, enable, ...).
    std::vector<const char*> commands;
};

// The reader types, one row each, in the order lists show them.
const std::vector<CReaderType>& ReaderTypes();

// The row of a type; null for DeviceType::None.
const CReaderType* FindReaderType(DeviceType type);
// The row named by `key` ("quorin", "hidpos", "surepos", "sio", "keyboard"); null when none is.
const CReaderType* FindReaderTypeByKey(const char* key);

// True when the listing rule accepts the interface by its usage page and usage alone.
bool IsListedReaderUsage(uint16_t usagePage, uint16_t usage);
