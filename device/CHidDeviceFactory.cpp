// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CHidDeviceFactory.h"

#include "device/CHidPosDevice.h"
#include "device/CKeyboardDevice.h"
#include "device/CQuorinDevice.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"

std::unique_ptr<CHidDevice> CreateHidDevice(DeviceType type, CHidPort& port, COutputSink& output,
                                            CDisplaySettings& settings, CNotifier& notifier) {
    switch (type) {
    case DeviceType::Quorin:
        return std::make_unique<CQuorinDevice>(port, output, settings, notifier);
    case DeviceType::HidPos:
        return std::make_unique<CHidPosDevice>(port, output, settings, notifier);
    case DeviceType::SurePos:
        return std::make_unique<CSurePosDevice>(port, output, settings, notifier);
    case DeviceType::SurePosSio:
        return std::make_unique<CSurePosSioDevice>(port, output, settings, notifier);
    case DeviceType::Keyboard:
        return std::make_unique<CKeyboardDevice>(port, output, settings, notifier);
    case DeviceType::None:
        break;
    }
    return nullptr;
}
