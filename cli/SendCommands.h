#pragma once

#include "device/DeviceType.h"

#include <cstdint>
#include <string>
#include <vector>

class CHidDevice;

// One command of `send`: its name, the reader type it belongs to (None: every type), whether it
// takes an argument, and the device operation it runs.
struct CSendCommandRow {
    const char* name;
    DeviceType type;
    bool takesArgument;
    int32_t (*run)(CHidDevice& device, const std::string& argument);
};

// Every command, in the order the help lists them.
const std::vector<CSendCommandRow>& SendCommandTable();

// The row of `name` for a reader of `type`, or null.
const CSendCommandRow* FindSendCommand(const std::string& name, DeviceType type);
// Whether any reader type has a command `name`.
const CSendCommandRow* FindAnySendCommand(const std::string& name);
