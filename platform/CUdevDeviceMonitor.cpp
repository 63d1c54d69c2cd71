#include "platform/CUdevDeviceMonitor.h"

#include <libudev.h>

#include <cerrno>
#include <cstring>
#include <string>

std::unique_ptr<CUdevDeviceMonitor> CUdevDeviceMonitor::Create(int& error) {
    udev* context = udev_new();
    if (context == nullptr) {
        error = errno != 0 ? errno : ENOMEM;
        return nullptr;
    }
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
    if (monitor == nullptr) {
        error = errno != 0 ? errno : ENOMEM;
        udev_unref(context);
        return nullptr;
    }
    int result = udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr);
    if (result >= 0) {
        result = udev_monitor_enable_receiving(monitor);
    }
    if (result < 0) {
        error = -result;
        udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    return std::unique_ptr<CUdevDeviceMonitor>(new CUdevDeviceMonitor(context, monitor));
}

CUdevDeviceMonitor::CUdevDeviceMonitor(udev* context, udev_monitor* monitor)
    : m_udev(context), m_monitor(monitor) {}

CUdevDeviceMonitor::~CUdevDeviceMonitor() {
    udev_monitor_unref(m_monitor);
    udev_unref(m_udev);
}

int CUdevDeviceMonitor::PollFd() const {
    return udev_monitor_get_fd(m_monitor);
}

std::vector<CHidDeviceChange> CUdevDeviceMonitor::ReadChanges() {
    std::vector<CHidDeviceChange> changes;
    // The socket is non-blocking: receive until nothing waits.
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        const char* name = udev_device_get_sysname(device);
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
        udev_device_unref(device);
    }
    return changes;
}
