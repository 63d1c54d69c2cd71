#pragma once

#include "hidraw/CUdevHandle.h"
#include "platform/CHidPlatform.h"

#include <memory>

// hidraw nodes coming and going, from udev (events arrive after the rules have run, so the
// node's permissions are already set).
class CUdevDeviceMonitor : public CHidDeviceMonitor {
public:
    // Null with `error` when no monitor can be set up.
    static std::unique_ptr<CUdevDeviceMonitor> Create(int& error);
    int PollFd() const override;
    std::vector<CHidDeviceChange> ReadChanges() override;

private:
    CUdevDeviceMonitor(CUdevHandle<udev> context, CUdevHandle<udev_monitor> monitor);

    CUdevHandle<udev> m_udev;
    CUdevHandle<udev_monitor> m_monitor;
};
