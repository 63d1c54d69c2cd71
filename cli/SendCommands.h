// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/DeviceType.h"

#include <cstdint>
#include <string>
#include <vector>

class CHidDevice;

// One command of `send`: its name, the reader types that carry it out, its argument (null for
// none), and the device operation it runs.
struct CSendCommandRow {
    const char* name;
    std::vector<DeviceType> types;
    const char* argument;
    int32_t (*run)(CHidDevice& device, const std::string& argument);

    bool TakesArgument() const { return argument != nullptr; }
    bool Has(DeviceType type) const;
};

// Every command, in the order the help lists them.
const std::vector<CSendCommandRow>& SendCommandTable();

// The row of `name` for a reader of `type`, or null.
const CSendCommandRow* FindSendCommand(const std::string& name, DeviceType type);
// The row of `name` for any reader type, or null.
const CSendCommandRow* FindAnySendCommand(const std::string& name);
// Whether `name` is one of the commands of `type` in the reader-type table (its own commands,
// beyond those that several types share).
bool IsTypeCommand(const char* name, DeviceType type);
// The commands a reader of `type` carries out, as "beep, string TEXT, ...".
std::string SendCommandList(DeviceType type);
