// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CHidDevice.h"

#include <memory>

// The device object of a type, or null for DeviceType::None.
std::unique_ptr<CHidDevice> CreateHidDevice(DeviceType type, CHidPort& port, COutputSink& output,
                                            CDisplaySettings& settings, CNotifier& notifier);
