// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>

enum class DeviceType { None, Quorin, HidPos, SurePos, SurePosSio, Keyboard };

// The device type of an interface from the usage page and usage of its top-level collection.
DeviceType SelectDeviceType(uint16_t usagePage, uint16_t usage);

// "Quorin", "Hid Pos", "SurePos", "SurePos Sio", "Keyboard" or "None".
const char* DeviceTypeName(DeviceType type);
