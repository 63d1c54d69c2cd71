#pragma once

#include "device/DeviceType.h"

#include <memory>

class CDisplaySettings;
class CHidDevice;
class CHidPort;
class CNotifier;
class COutputSink;

// Makes the device object of an interface type.
class CDeviceFactory {
public:
    // Null for DeviceType::None.
    static std::unique_ptr<CHidDevice> Create(DeviceType type, CHidPort& port, COutputSink& output,
                                              CDisplaySettings& settings, CNotifier& notifier);
};
