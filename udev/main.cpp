// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

// vantrel-hid-id: called by the udev rule for each hidraw node and input event node. Prints
// ID_VANTREL_READER=1 when the hidraw node's report descriptor has a top-level collection that
// the reader list accepts by its usage, or when the event node is the keyboard of a reader in
// keyboard mode; nothing otherwise. udev runs it as root on a descriptor a USB device supplied; the
// parser never reads past the bytes it is given.
#include "hidraw/CHidrawSysfs.h"
#include "platform/CReportDescriptor.h"
#include "platform/ReaderUsage.h"
#include "platform/ReaderWords.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool IsReaderDescriptor(const std::vector<uint8_t>& bytes) {
    CReportDescriptor descriptor;
    if (!descriptor.Parse(bytes)) {
        return false;
    }
    const CHidCaps caps = descriptor.Caps();
    return IsReaderUsage(caps.usagePage, caps.usage);
}

// An input event node (…/input/inputN/eventM): ID_VANTREL_READER=1 when it is the event node of
// the keyboard interface of a reader in keyboard mode: a device whose product or manufacturer
// string says it is a reader, or with reader interfaces beside that keyboard. Every other event
// node, every ordinary keyboard's among them, gets nothing and keeps its permissions.
int PrintKeyboardModeReader(const std::string& eventSyspath) {
    // The input device stands where a hidraw node's directory stands: its "device" is the HID
    // device.
    const std::string inputSyspath = eventSyspath + "/device";
    CHidInterfaceInfo info;
    if (!CHidrawSysfs::ReadInterface(inputSyspath, "/dev/hidraw", info) || !info.keyReports ||
        info.path.substr(info.path.rfind('/')) != eventSyspath.substr(eventSyspath.rfind('/'))) {
        return 0;
    }
    bool reader = SaysItIsAReader(info.product) || SaysItIsAReader(info.manufacturer);
    for (const std::vector<uint8_t>& beside : CHidrawSysfs::DescriptorsBeside(inputSyspath)) {
        reader = reader || IsReaderDescriptor(beside);
    }
    if (reader) {
        std::printf("ID_VANTREL_READER=1\n");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string syspath;
    if (argc == 2) {
        syspath = argv[1];
    } else if (argc == 1 && std::getenv("DEVPATH")) {
        syspath = std::string("/sys") + std::getenv("DEVPATH");
    } else {
        std::fprintf(stderr,
                     "usage: %s [SYSPATH of a hidraw device or an input event node]\n"
                     "Prints ID_VANTREL_READER=1 when its report descriptor declares a bar-code "
                     "reader collection, or when it is the keyboard of a reader in keyboard "
                     "mode.\n",
                     argv[0]);
        return 2;
    }

    if (syspath.find("/event", syspath.rfind('/')) != std::string::npos) {
        return PrintKeyboardModeReader(syspath);
    }
    std::vector<uint8_t> bytes;
    if (!CHidrawSysfs::ReadReportDescriptor(syspath, bytes)) {
        std::fprintf(stderr, "%s: cannot read the report descriptor of %s\n", argv[0],
                     syspath.c_str());
        return 1;
    }
    CReportDescriptor descriptor;
    if (descriptor.Parse(bytes)) {
        const CHidCaps caps = descriptor.Caps();
        if (IsReaderUsage(caps.usagePage, caps.usage)) {
            std::printf("ID_VANTREL_READER=1\n");
        }
    }
    return 0;
}
