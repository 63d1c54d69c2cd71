#include "hidraw/CUdevDeviceMonitor.h"

#include <libudev.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

std::unique_ptr<CUdevDeviceMonitor> CUdevDeviceMonitor::Create(int& error) {
    CUdevHandle<udev> context(udev_new());
    if (context == nullptr) {
        error = errno != 0 ? errno : ENOMEM;
        return nullptr;
    }
    CUdevHandle<udev_monitor> monitor(udev_monitor_new_from_netlink(context.get(), "udev"));
    if (monitor == nullptr) {
        error = errno != 0 ? errno : ENOMEM;
        return nullptr;
    }
    int result = udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "hidraw", nullptr);
    if (result >= 0) {
        result = udev_monitor_enable_receiving(monitor.get());
    }
    if (result < 0) {
        error = -result;
        return nullptr;
    }
    return std::unique_ptr<CUdevDeviceMonitor>(
        new CUdevDeviceMonitor(std::move(context), std::move(monitor)));
}

CUdevDeviceMonitor::CUdevDeviceMonitor(CUdevHandle<udev> context, CUdevHandle<udev_monitor> monitor)
    : m_udev(std::move(context)), m_monitor(std::move(monitor)) {}

int CUdevDeviceMonitor::PollFd() const {
    return udev_monitor_get_fd(m_monitor.get());
}

std::vector<CHidDeviceChange> CUdevDeviceMonitor::ReadChanges() {
    std::vector<CHidDeviceChange> changes;
    // The socket is non-blocking: receive until nothing waits.
    while (const CUdevHandle<udev_device> device{udev_monitor_receive_device(m_monitor.get())}) {
        const char* action = udev_device_get_action(device.get());
        const char* node = udev_device_get_devnode(device.get());
        const char* name = udev_device_get_sysname(device.get());
        CHidDeviceChange change;
        bool known = true;
        if (action != nullptr && std::strcmp(action, "add") == 0) {
            change.kind = CHidDeviceChange::Kind::Arrival;
        } else if (action != nullptr && std::strcmp(action, "remove") == 0) {
            change.kind = CHidDeviceChange::Kind::Removal;
        } else {
            known = false;
        }
        if (known) {
            change.path = node != nullptr   ? std::string(node)
                          : name != nullptr ? "/dev/" + std::string(name)
                                            : std::string();
            changes.push_back(std::move(change));
        }
    }
    return changes;
}
