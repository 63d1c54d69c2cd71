// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/ReaderTypes.h"

#include "platform/KeyReport.h"

#include <algorithm>
#include <cstring>

const std::vector<CReaderType>& ReaderTypes() {
    static const std::vector<CReaderType> kTypes = {
        {DeviceType::Quorin, "Quorin", "quorin", 0xFFA0, {0x0001}, true, true, 64, 64, 0, {}},
        {DeviceType::HidPos, "Hid Pos", "hidpos", 0x008C, {0x0002}, true, true, 64, 64, 2, {}},
        {DeviceType::SurePos,
         "SurePos",
         "surepos",
         0xFF45,
         {0x4B00, 0x4A00},
         false,
         true,
         65,
         12,
         0,
         {"test", "status-request", "reset", "configure", "report-configuration", "2-label-cfg",
          "report-2-label-cfg", "direct-io-cmd"}},
        {DeviceType::SurePosSio,
         "SurePos Sio",
         "sio",
         0xFF45,
         {0x6400, 0x6500, 0x6800, 0x6900},
         false,
         true,
         3,
         252,
         250,
         {"test", "status-request", "reset", "setup", "channel-control", "read-status",
          "receive-buffer"}},
        // A reader in keyboard mode types its labels as key reports and takes no commands.
        {DeviceType::Keyboard,
         "Keyboard",
         "keyboard",
         kKeyboardUsagePage,
         {kKeyboardUsage},
         false,
         false,
         kKeyReportLength,
         0,
         0,
         {}},
    };
    return kTypes;
}

namespace {

bool Lists(const CReaderType& row, uint16_t usage) {
    return std::find(row.listedUsages.begin(), row.listedUsages.end(), usage) !=
           row.listedUsages.end();
}

} // namespace

const CReaderType* FindReaderType(DeviceType type) {
    for (const CReaderType& row : ReaderTypes()) {
        if (row.type == type) {
            return &row;
        }
    }
    return nullptr;
}

const CReaderType* FindReaderTypeByKey(const char* key) {
    for (const CReaderType& row : ReaderTypes()) {
        if (key != nullptr && std::strcmp(row.key, key) == 0) {
            return &row;
        }
    }
    return nullptr;
}

bool IsListedReaderUsage(uint16_t usagePage, uint16_t usage) {
    return std::any_of(ReaderTypes().begin(), ReaderTypes().end(), [&](const CReaderType& row) {
        return row.listedByUsage && row.usagePage == usagePage && Lists(row, usage);
    });
}

DeviceType SelectDeviceType(uint16_t usagePage, uint16_t usage) {
    for (const CReaderType& row : ReaderTypes()) {
        if (row.usagePage == usagePage && (row.anyUsageSelects || Lists(row, usage))) {
            return row.type;
        }
    }
    return DeviceType::None;
}

const char* DeviceTypeName(DeviceType type) {
    const CReaderType* row = FindReaderType(type);
    return row != nullptr ? row->name : "None";
}
