#pragma once

#include "platform/CHidPlatform.h"

#include <memory>

struct udev;
struct udev_monitor;

// hidraw nodes coming and going, from udev (events arrive after the rules have run, so the
// node's permissions are already set).
class CUdevDeviceMonitor : public CHidDeviceMonitor {
public:
    // Null with `error` when no monitor can be set up.
    static std::unique_ptr<CUdevDeviceMonitor> Create(int& error);
    ~CUdevDeviceMonitor() override;
    CUdevDeviceMonitor(const CUdevDeviceMonitor&) = delete;
    CUdevDeviceMonitor& operator=(const CUdevDeviceMonitor&) = delete;

    int PollFd() const override;
    std::vector<CHidDeviceChange> ReadChanges() override;

private:
    CUdevDeviceMonitor(udev* context, udev_monitor* monitor);

    udev* m_udev;
    udev_monitor* m_monitor;
};
