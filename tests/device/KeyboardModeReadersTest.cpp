// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/KeyboardModeReaders.h"
#include "device/CHidPort.h"
#include "device/CPlainDeviceList.h"
#include "device/CQueuedPoster.h"
#include "support/CFakeHidPlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CKeyboardCase {
    const char* product;
    const char* manufacturer;
    uint16_t productId;
    bool keyReports;
    const char* listedAs; // null: not listed
};

CHidInterfaceInfo Keyboard(const CKeyboardCase& c, const std::string& path) {
    CHidInterfaceInfo info =
        MakeInterfaceInfo(path, 0x05E0, c.productId, 0x0001, 0x0006, c.product, "S1");
    info.manufacturer = c.manufacturer;
    info.keyReports = c.keyReports;
    return info;
}

} // namespace

// A keyboard interface is listed only when its device says it is a reader; every other keyboard
// stays out of the list and is never opened.
TEST(KeyboardModeReaders, OnlyAKeyboardThatSaysItIsAReaderIsListed) {
    const CKeyboardCase cases[] = {
        {"2D Barcode Imager", "", 0x0100, true, "2D Barcode Imager - Keyboard mode - S1"},
        {"Handheld BAR CODE reader", "", 0x0100, true,
         "Handheld BAR CODE reader - Keyboard mode - S1"},
        {"HID Device", "Acme Scan Engine Co", 0x0100, true, "HID Device - Keyboard mode - S1"},
        {"Wireless Scanner", "", 0x0100, true, "Wireless Scanner - Keyboard mode - S1"},
        {"USB Keyboard", "Logitech", 0x0100, true, nullptr},
        {"Scanning keyboard", "", 0x0100, true, nullptr},
        // A reader's keyboard that the platform cannot read as keys (no event node).
        {"Barcode Scanner", "", 0x0100, false, nullptr},
        // The ids of a reader this tool was made for say it too.
        {"USB Keyboard", "", 0x0001, true, "USB Keyboard - Keyboard mode - S1"},
    };
    for (const CKeyboardCase& c : cases) {
        SCOPED_TRACE(c.product);
        CFakeHidPlatform platform;
        CFakeInterface fake;
        fake.info = Keyboard(c, "/dev/input/event3");
        if (c.productId == 0x0001) {
            fake.info.attributes.vendorId = 0x1209;
        }
        platform.AddInterface(fake);
        CQueuedPoster poster;
        CReaderPort port(platform, poster);
        CPlainDeviceList list;
        port.Enumerate(&list, "", true);
        if (c.listedAs) {
            EXPECT_EQ(list.Items(), std::vector<std::string>{c.listedAs});
            EXPECT_EQ(port.NameTable().at(c.listedAs), "/dev/input/event3");
        } else {
            EXPECT_TRUE(list.Items().empty());
        }
        EXPECT_EQ(platform.OpenCount(), 0);
    }
}

// A keyboard interface beside a reader interface of the same USB device is that reader's.
TEST(KeyboardModeReaders, AKeyboardBesideAReaderInterfaceIsTheReaders) {
    std::vector<CHidInterfaceInfo> interfaces;
    interfaces.push_back(Keyboard({"USB Keyboard", "", 7, true, nullptr}, "/dev/input/event5"));
    interfaces.push_back(MakeInterfaceInfo("/dev/hidraw2", 0x05E0, 7, 0x008C, 0x0002, "POS", "S1"));
    interfaces[0].physicalPath = "usb-0000:00:14.0-3/input0";
    interfaces[1].physicalPath = "usb-0000:00:14.0-3/input1";
    EXPECT_TRUE(IsKeyboardModeReader(interfaces[0], interfaces));

    // Another device's reader interface, or a sibling that is no reader, says nothing.
    interfaces[1].physicalPath = "usb-0000:00:14.0-4/input1";
    EXPECT_FALSE(IsKeyboardModeReader(interfaces[0], interfaces));
    interfaces[1].physicalPath = "usb-0000:00:14.0-3/input1";
    interfaces[1].caps.usagePage = 0x000C;
    interfaces[1].caps.usage = 0x0001;
    EXPECT_FALSE(IsKeyboardModeReader(interfaces[0], interfaces));
    // Without a physical path the device is unknown.
    interfaces[1] = MakeInterfaceInfo("/dev/hidraw2", 0x05E0, 7, 0x008C, 0x0002, "POS", "S1");
    interfaces[0].physicalPath.clear();
    interfaces[1].physicalPath.clear();
    EXPECT_FALSE(IsKeyboardModeReader(interfaces[0], interfaces));
}
