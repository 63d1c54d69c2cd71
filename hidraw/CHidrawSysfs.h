// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"

#include <string>
#include <vector>

// A hidraw node as enumeration finds it: its sysfs directory and its device node.
struct CHidrawNode {
    std::string syspath;
    std::string devNode;
};

// Everything the device list needs about a hidraw node, read from sysfs without opening the
// node (sysfs is world-readable; /dev/hidraw* is root-only until a udev rule grants access).
// Works on any directory laid out like sysfs, so it runs without hardware in tests.
class CHidrawSysfs {
public:
    // The nodes under <sysfsRoot>/class/hidraw, with device nodes <devDir>/<name>.
    static std::vector<CHidrawNode> ListNodes(const std::string& sysfsRoot,
                                              const std::string& devDir);

    // Fills `info` for the hidraw node at `hidrawSyspath` (…/hidraw/hidrawN). The USB parent
    // gives ids, version, product, serial and, for composite devices, the interface number;
    // without a USB parent (Bluetooth, virtual devices) the HID device's HID_ID, HID_NAME and
    // HID_UNIQ are used. False when the node has no HID device above it.
    static bool ReadInterface(const std::string& hidrawSyspath, const std::string& devNode,
                              CHidInterfaceInfo& info);

    // The report descriptors of the other HID interfaces of the node's USB device (none
    // without a USB parent), to tell whether a keyboard sits beside reader interfaces.
    static std::vector<std::vector<uint8_t>> DescriptorsBeside(const std::string& hidrawSyspath);

    // The raw report descriptor of the node; false when it cannot be read.
    static bool ReadReportDescriptor(const std::string& hidrawSyspath,
                                     std::vector<uint8_t>& descriptor);
};
