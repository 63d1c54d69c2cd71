// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "hidraw/CHidrawPlatform.h"

#include "hidraw/CHidrawConnection.h"
#include "hidraw/CUdevDeviceMonitor.h"
#include "hidraw/CUdevHandle.h"
#include "keyboard/CEvdevConnection.h"
#include "keyboard/CXkbKeyTranslator.h"
#include "keyboard/CXkbLayouts.h"
#include "platform/CReportDescriptor.h"
#include "platform/CUniqueFd.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace {

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The descriptor straight from the open node, for nodes that sysfs does not show under their
// name (a node made elsewhere by hand).
bool ReadDescriptorFromNode(int fd, std::vector<uint8_t>& bytes) {
    int size = 0;
    if (ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size >= HID_MAX_DESCRIPTOR_SIZE) {
        return false;
    }
    hidraw_report_descriptor descriptor{};
    descriptor.size = static_cast<__u32>(size);
    if (ioctl(fd, HIDIOCGRDESC, &descriptor) < 0) {
        return false;
    }
    bytes.assign(descriptor.value, descriptor.value + size);
    return true;
}

} // namespace

CHidrawPlatform::CHidrawPlatform() : CHidrawPlatform(&CHidrawPlatform::ListUdevNodes, "/sys") {}

CHidrawPlatform::CHidrawPlatform(CNodeLister lister, std::string sysfsRoot)
    : m_lister(std::move(lister)), m_sysfsRoot(std::move(sysfsRoot)) {}

bool CHidrawPlatform::ListUdevNodes(std::vector<CHidrawNode>& nodes, int& error) {
    nodes.clear();
    const CUdevHandle<udev> context(udev_new());
    if (context == nullptr) {
        error = errno != 0 ? errno : ENOMEM;
        return false;
    }
    const CUdevHandle<udev_enumerate> enumerate(udev_enumerate_new(context.get()));
    if (enumerate == nullptr) {
        error = errno != 0 ? errno : ENOMEM;
        return false;
    }
    int result = udev_enumerate_add_match_subsystem(enumerate.get(), "hidraw");
    if (result >= 0) {
        result = udev_enumerate_scan_devices(enumerate.get());
    }
    if (result < 0) {
        error = -result;
        return false;
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        const char* syspath = udev_list_entry_get_name(entry);
        const CUdevHandle<udev_device> device(udev_device_new_from_syspath(context.get(), syspath));
        if (device == nullptr) {
            continue; // gone between the scan and now
        }
        const char* node = udev_device_get_devnode(device.get());
        const char* name = udev_device_get_sysname(device.get());
        if (node != nullptr || name != nullptr) {
            nodes.push_back(
                {syspath, node != nullptr ? std::string(node) : "/dev/" + std::string(name)});
        }
    }
    return true;
}

bool CHidrawPlatform::EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int& error) {
    interfaces.clear();
    std::vector<CHidrawNode> nodes;
    if (!m_lister(nodes, error)) {
        return false;
    }
    for (const CHidrawNode& node : nodes) {
        CHidInterfaceInfo info;
        if (CHidrawSysfs::ReadInterface(node.syspath, node.devNode, info)) {
            interfaces.push_back(std::move(info));
        }
    }
    return true;
}

std::unique_ptr<CHidConnection> CHidrawPlatform::Open(const std::string& path, int& error) {
    if (BaseName(path).rfind("event", 0) == 0) {
        return CEvdevConnection::Open(path, error);
    }
    CUniqueFd fd(open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (!fd.IsValid()) {
        error = errno; // EACCES stays EACCES: the user needs a udev rule, not a new reader
        return nullptr;
    }
    CHidInterfaceInfo info;
    const std::string syspath = m_sysfsRoot + "/class/hidraw/" + BaseName(path);
    const bool known = CHidrawSysfs::ReadInterface(syspath, path, info);
    std::vector<uint8_t> bytes;
    if (!CHidrawSysfs::ReadReportDescriptor(syspath, bytes) &&
        !ReadDescriptorFromNode(fd.Get(), bytes)) {
        bytes.clear();
    }
    CReportDescriptor descriptor;
    const bool parsed = descriptor.Parse(bytes);
    if (!known) {
        hidraw_devinfo raw{};
        if (ioctl(fd.Get(), HIDIOCGRAWINFO, &raw) == 0) {
            info.attributes.vendorId = static_cast<uint16_t>(raw.vendor);
            info.attributes.productId = static_cast<uint16_t>(raw.product);
        }
    }
    // Only the descriptor tells whether input reports carry an id; without one they are passed
    // on as they come.
    const bool inputNumbered = parsed ? descriptor.IsNumbered(CReportKind::Input) : true;
    return std::make_unique<CHidrawConnection>(std::move(fd), descriptor.Caps(), inputNumbered,
                                               info.attributes, std::move(bytes));
}

std::unique_ptr<CHidDeviceMonitor> CHidrawPlatform::CreateMonitor(int& error) {
    return CUdevDeviceMonitor::Create(error);
}

std::vector<std::string> CHidrawPlatform::KeyLayouts() const {
    return CXkbLayouts::List();
}

std::string CHidrawPlatform::DesktopKeyLayout() const {
    return CXkbLayouts::Desktop(std::getenv("XKB_DEFAULT_LAYOUT"));
}

std::unique_ptr<CKeyTranslator> CHidrawPlatform::CreateKeyTranslator(const std::string& layout,
                                                                     int& error) {
    return CXkbKeyTranslator::Create(layout, error);
}
