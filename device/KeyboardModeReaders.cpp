// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/KeyboardModeReaders.h"

#include "device/ReaderTypes.h"
#include "device/SupportedReaders.h"
#include "platform/KeyReport.h"
#include "platform/ReaderWords.h"

#include <algorithm>

namespace {

// The USB device of an interface: its physical path without the interface's "/inputN".
std::string UsbDeviceOf(const CHidInterfaceInfo& info) {
    const size_t input = info.physicalPath.rfind("/input");
    return input == std::string::npos ? std::string() : info.physicalPath.substr(0, input);
}

} // namespace

bool IsKeyboardModeReader(const CHidInterfaceInfo& info,
                          const std::vector<CHidInterfaceInfo>& interfaces) {
    if (!info.keyReports || info.caps.usagePage != kKeyboardUsagePage ||
        info.caps.usage != kKeyboardUsage) {
        return false;
    }
    if (SaysItIsAReader(info.product) || SaysItIsAReader(info.manufacturer) ||
        IsSupportedReader(info.attributes.vendorId, info.attributes.productId)) {
        return true;
    }
    const std::string device = UsbDeviceOf(info);
    return !device.empty() &&
           std::any_of(interfaces.begin(), interfaces.end(), [&](const CHidInterfaceInfo& other) {
               return &other != &info && UsbDeviceOf(other) == device &&
                      IsListedReaderUsage(other.caps.usagePage, other.caps.usage);
           });
}
