// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "hidraw/CHidrawSysfs.h"
#include "hidraw/CHidrawConnection.h"
#include "hidraw/CHidrawPlatform.h"
#include "sim/CSimReaderSet.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

// A temporary directory laid out like /sys, with hidraw nodes under USB or virtual parents.
class CFakeSysfs {
public:
    CFakeSysfs() {
        char pattern[] = "/tmp/vantrel-sysfs-XXXXXX";
        m_root = mkdtemp(pattern);
        MakeDirs(m_root + "/class/hidraw");
    }
    ~CFakeSysfs() { [[maybe_unused]] const int rc = std::system(("rm -rf " + m_root).c_str()); }

    const std::string& Root() const { return m_root; }

    // A USB device directory with the attributes as the kernel prints them.
    std::string AddUsbDevice(const std::string& name,
                             const std::map<std::string, std::string>& attrs) {
        const std::string dir = m_root + "/devices/pci0000:00/0000:00:14.0/usb1/" + name;
        MakeDirs(dir);
        for (const auto& [key, value] : attrs) {
            Write(dir + "/" + key, value + "\n");
        }
        return dir;
    }

    // usb_interface + hid device + hidraw node below a USB device.
    void AddUsbHidraw(const std::string& usbDir, int interfaceNumber, const std::string& hidName,
                      const std::string& uevent, const std::vector<uint8_t>& descriptor,
                      const std::string& hidraw) {
        char number[8];
        snprintf(number, sizeof number, "%02x", interfaceNumber);
        const std::string usbName = usbDir.substr(usbDir.rfind('/') + 1);
        const std::string ifDir = usbDir + "/" + usbName + ":1." + std::to_string(interfaceNumber);
        MakeDirs(ifDir);
        Write(ifDir + "/bInterfaceNumber", std::string(number) + "\n");
        AddHidraw(ifDir + "/" + hidName, uevent, descriptor, hidraw);
    }

    void AddHidraw(const std::string& hidDir, const std::string& uevent,
                   const std::vector<uint8_t>& descriptor, const std::string& hidraw) {
        const std::string nodeDir = hidDir + "/hidraw/" + hidraw;
        MakeDirs(nodeDir);
        Write(hidDir + "/uevent", uevent);
        Write(hidDir + "/report_descriptor", std::string(descriptor.begin(), descriptor.end()));
        Write(nodeDir + "/uevent", "DEVNAME=" + hidraw + "\n");
        EXPECT_EQ(symlink("../..", (nodeDir + "/device").c_str()), 0);
        EXPECT_EQ(symlink(nodeDir.c_str(), (m_root + "/class/hidraw/" + hidraw).c_str()), 0);
    }

    std::string Node(const std::string& hidraw) const { return m_root + "/class/hidraw/" + hidraw; }

    // An input device with its event node below the HID device of a hidraw node.
    void AddEventNode(const std::string& hidraw, const std::string& input,
                      const std::string& event) {
        MakeDirs(Node(hidraw) + "/device/input/" + input + "/" + event);
    }

private:
    static void MakeDirs(const std::string& path) {
        std::string partial;
        for (size_t i = 1; i <= path.size(); ++i) {
            if (i == path.size() || path[i] == '/') {
                mkdir(path.substr(0, i).c_str(), 0755);
            }
        }
    }
    static void Write(const std::string& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }

    std::string m_root;
};

std::map<std::string, std::string> UsbAttrs(const std::string& interfaces) {
    return {{"idVendor", "1209"},        {"idProduct", "0105"},  {"bcdDevice", "0402"},
            {"product", "Dual Reader"},  {"serial", "DR77310"},  {"bNumInterfaces", interfaces},
            {"bNumConfigurations", "1"}, {"bDeviceClass", "00"}, {"manufacturer", "Vantrel"}};
}

} // namespace

TEST(CHidrawSysfsTest, CompositeUsbReaderGetsItsInterfaceNumbers) {
    CFakeSysfs sysfs;
    const std::string usb = sysfs.AddUsbDevice("1-2", UsbAttrs(" 2"));
    const std::string uevent = "DRIVER=hid-generic\nHID_ID=0003:00001209:00000105\n"
                               "HID_NAME=Vantrel Dual Reader\nHID_UNIQ=DR77310\n"
                               "HID_PHYS=usb-0000:00:14.0-2/input0\n";
    sysfs.AddUsbHidraw(usb, 0, "0003:1209:0105.0001", uevent, CSimReaderSet::HidPosDescriptor(),
                       "hidraw0");
    sysfs.AddUsbHidraw(usb, 10, "0003:1209:0105.0002", uevent,
                       CSimReaderSet::SurePosDescriptor(0x4A00), "hidraw1");

    CHidInterfaceInfo info;
    ASSERT_TRUE(CHidrawSysfs::ReadInterface(sysfs.Node("hidraw0"), "/dev/hidraw0", info));
    EXPECT_EQ(info.path, "/dev/hidraw0");
    EXPECT_TRUE(info.attributesValid);
    EXPECT_EQ(info.attributes.vendorId, 0x1209);
    EXPECT_EQ(info.attributes.productId, 0x0105);
    EXPECT_EQ(info.attributes.versionNumber, 0x0402);
    EXPECT_EQ(info.product, "Dual Reader");         // the USB product string, not HID_NAME
    EXPECT_EQ(info.hidName, "Vantrel Dual Reader"); // what recordings name the device by
    EXPECT_EQ(info.physicalPath, "usb-0000:00:14.0-2/input0");
    EXPECT_EQ(info.busType, 3);
    EXPECT_EQ(info.serial, "DR77310");
    EXPECT_EQ(info.interfaceNumber, "00");
    EXPECT_EQ(info.caps.usagePage, 0x008C);
    EXPECT_EQ(info.caps.inputReportByteLength, 64);
    EXPECT_EQ(info.caps.featureReportByteLength, 2);
    EXPECT_EQ(info.reportDescriptor, CSimReaderSet::HidPosDescriptor());

    ASSERT_TRUE(CHidrawSysfs::ReadInterface(sysfs.Node("hidraw1"), "/dev/hidraw1", info));
    EXPECT_EQ(info.interfaceNumber, "0a"); // hex as sysfs prints it, lower case
    EXPECT_EQ(info.caps.usage, 0x4A00);
    EXPECT_EQ(info.caps.outputReportByteLength, 12);
}

// A keyboard's keys are read from its event node, so that node is its path; the lowest event
// number is the keyboard collection's.
TEST(CHidrawSysfsTest, AKeyboardIsFoundAtItsEventNode) {
    CFakeSysfs sysfs;
    const std::string usb = sysfs.AddUsbDevice("1-3", UsbAttrs(" 2"));
    const std::string uevent =
        "HID_ID=0003:00001209:00000105\nHID_PHYS=usb-0000:00:14.0-3/input0\n";
    sysfs.AddUsbHidraw(usb, 0, "0003:1209:0105.0003", uevent, CSimReaderSet::KeyboardDescriptor(),
                       "hidraw2");
    sysfs.AddEventNode("hidraw2", "input13", "event10");
    sysfs.AddEventNode("hidraw2", "input12", "event7");
    sysfs.AddUsbHidraw(usb, 1, "0003:1209:0105.0004", uevent, CSimReaderSet::KeyboardDescriptor(),
                       "hidraw3");

    CHidInterfaceInfo info;
    ASSERT_TRUE(CHidrawSysfs::ReadInterface(sysfs.Node("hidraw2"), "/dev/hidraw2", info));
    EXPECT_EQ(info.path, "/dev/input/event7");
    EXPECT_TRUE(info.keyReports);
    EXPECT_EQ(info.manufacturer, "Vantrel");
    EXPECT_EQ(info.caps.usagePage, 0x0001);
    EXPECT_EQ(info.caps.usage, 0x0006);
    // Without an event node the keyboard stays a hidraw node that is not read as keys.
    ASSERT_TRUE(CHidrawSysfs::ReadInterface(sysfs.Node("hidraw3"), "/dev/hidraw3", info));
    EXPECT_EQ(info.path, "/dev/hidraw3");
    EXPECT_FALSE(info.keyReports);
}

TEST(CHidrawSysfsTest, SingleInterfaceAndMissingStrings) {
    CFakeSysfs sysfs;
    std::map<std::string, std::string> attrs = UsbAttrs(" 1");
    attrs.erase("product");
    attrs.erase("serial");
    const std::string usb = sysfs.AddUsbDevice("1-3", attrs);
    sysfs.AddUsbHidraw(usb, 0, "0003:1209:0105.0003",
                       "HID_ID=0003:00001209:00000105\nHID_NAME=Vantrel X\nHID_UNIQ=\n",
                       CSimReaderSet::QuorinDescriptor(), "hidraw2");
    CHidInterfaceInfo info;
    ASSERT_TRUE(CHidrawSysfs::ReadInterface(sysfs.Node("hidraw2"), "/dev/hidraw2", info));
    EXPECT_EQ(info.interfaceNumber, "");
    EXPECT_EQ(info.product, "");
    EXPECT_EQ(info.serial, "");
    EXPECT_EQ(info.caps.usagePage, 0xFFA0);

    // Several interfaces but a class that groups them: not composite.
    attrs = UsbAttrs(" 2");
    attrs["bDeviceClass"] = "02";
    const std::string cdc = sysfs.AddUsbDevice("1-4", attrs);
    sysfs.AddUsbHidraw(cdc, 1, "0003:1209:0105.0004", "HID_ID=0003:00001209:00000105\n",
                       CSimReaderSet::QuorinDescriptor(), "hidraw3");
    ASSERT_TRUE(CHidrawSysfs::ReadInterface(sysfs.Node("hidraw3"), "/dev/hidraw3", info));
    EXPECT_EQ(info.interfaceNumber, "");
}

TEST(CHidrawSysfsTest, DeviceWithoutUsbParentUsesTheHidDevice) {
    CFakeSysfs sysfs;
    sysfs.AddHidraw(sysfs.Root() + "/devices/virtual/misc/uhid/0005:1209:9ABC.0007",
                    "DRIVER=hid-generic\nHID_ID=0005:00001209:00009ABC\nHID_NAME=BT Reader\n"
                    "HID_PHYS=00:11:22:33:44:55\nHID_UNIQ=aa:bb:cc:dd:ee:ff\n",
                    CSimReaderSet::SurePosSioDescriptor(0x6400), "hidraw5");
    CHidInterfaceInfo info;
    ASSERT_TRUE(CHidrawSysfs::ReadInterface(sysfs.Node("hidraw5"), "/dev/hidraw5", info));
    EXPECT_TRUE(info.attributesValid);
    EXPECT_EQ(info.attributes.vendorId, 0x1209);
    EXPECT_EQ(info.attributes.productId, 0x9ABC);
    EXPECT_EQ(info.attributes.versionNumber, 0);
    EXPECT_EQ(info.product, "BT Reader");
    EXPECT_EQ(info.serial, "aa:bb:cc:dd:ee:ff");
    EXPECT_EQ(info.interfaceNumber, "");
    EXPECT_EQ(info.caps.usage, 0x6400);
    EXPECT_EQ(info.caps.outputReportByteLength, 252);
    EXPECT_EQ(info.caps.featureReportByteLength, 250);
}

TEST(CHidrawSysfsTest, BrokenAttributesAndDescriptorsAreContained) {
    CFakeSysfs sysfs;
    sysfs.AddHidraw(sysfs.Root() + "/devices/virtual/misc/uhid/0003:1209:0001.0008",
                    "HID_ID=garbage\nHID_NAME=Odd\n", {0xA1, 0x01, 0x81}, "hidraw6");
    std::map<std::string, std::string> attrs = UsbAttrs(" 1");
    attrs["idVendor"] = "zz12";
    const std::string usb = sysfs.AddUsbDevice("1-5", attrs);
    sysfs.AddUsbHidraw(usb, 0, "0003:1209:0105.0009", "HID_ID=0003:00001209:00000106\n",
                       std::vector<uint8_t>(5000, 0x00), "hidraw7");

    CHidInterfaceInfo info;
    ASSERT_TRUE(CHidrawSysfs::ReadInterface(sysfs.Node("hidraw6"), "/dev/hidraw6", info));
    EXPECT_FALSE(info.attributesValid);
    EXPECT_EQ(info.caps.usagePage, 0);
    EXPECT_EQ(info.caps.inputReportByteLength, 0);
    EXPECT_TRUE(info.collections.empty());
    EXPECT_EQ(info.reportDescriptor, (std::vector<uint8_t>{0xA1, 0x01, 0x81})); // kept unparsed

    // An unreadable idVendor falls back to HID_ID; an oversized descriptor is cut at the
    // kernel's limit and parsed as far as that goes.
    ASSERT_TRUE(CHidrawSysfs::ReadInterface(sysfs.Node("hidraw7"), "/dev/hidraw7", info));
    EXPECT_TRUE(info.attributesValid);
    EXPECT_EQ(info.attributes.productId, 0x0106);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(CHidrawSysfs::ReadReportDescriptor(sysfs.Node("hidraw7"), bytes));
    EXPECT_EQ(bytes.size(), 4096u);

    EXPECT_FALSE(CHidrawSysfs::ReadInterface(sysfs.Root() + "/nothing", "/dev/x", info));
}

TEST(CHidrawSysfsTest, PlatformEnumeratesASysfsTreeWithoutOpeningNodes) {
    CFakeSysfs sysfs;
    const std::string usb = sysfs.AddUsbDevice("1-2", UsbAttrs(" 2"));
    const std::string uevent = "HID_ID=0003:00001209:00000105\n";
    sysfs.AddUsbHidraw(usb, 1, "0003:1209:0105.0002", uevent,
                       CSimReaderSet::SurePosDescriptor(0x4B00), "hidraw1");
    sysfs.AddUsbHidraw(usb, 0, "0003:1209:0105.0001", uevent, CSimReaderSet::HidPosDescriptor(),
                       "hidraw0");
    const std::string root = sysfs.Root();
    CHidrawPlatform platform(
        [root](std::vector<CHidrawNode>& nodes, int&) {
            nodes = CHidrawSysfs::ListNodes(root, "/nonexistent-dev");
            return true;
        },
        root);
    std::vector<CHidInterfaceInfo> list;
    int error = 0;
    ASSERT_TRUE(platform.EnumerateInterfaces(list, error));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, "/nonexistent-dev/hidraw0");
    EXPECT_EQ(list[0].interfaceNumber, "00");
    EXPECT_EQ(list[1].interfaceNumber, "01");
    EXPECT_EQ(list[1].caps.usage, 0x4B00);
    // The nodes are not there: enumeration did not need them, opening reports why it fails.
    EXPECT_EQ(platform.Open(list[0].path, error), nullptr);
    EXPECT_EQ(error, ENOENT);

    CHidrawPlatform failing(
        [](std::vector<CHidrawNode>&, int& e) {
            e = ENOMEM;
            return false;
        },
        root);
    EXPECT_FALSE(failing.EnumerateInterfaces(list, error));
    EXPECT_EQ(error, ENOMEM);
    EXPECT_TRUE(list.empty());
}

// The connection's report handling on a descriptor that reads one report at a time like hidraw.
TEST(CHidrawConnectionTest, ReadsAreNormalisedToReportIdAndInputLength) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair), 0);
    CHidCaps caps;
    caps.inputReportByteLength = 8;
    CHidrawConnection unnumbered(CUniqueFd{pair[0]}, caps, false, {0x1209, 0x0103, 0x0200});
    const uint8_t data[] = {0x11, 0x22, 0x33};
    ASSERT_EQ(send(pair[1], data, sizeof data, 0), 3);
    uint8_t buffer[16];
    memset(buffer, 0xAA, sizeof buffer);
    int error = 0;
    ASSERT_EQ(unnumbered.ReadReport(buffer, sizeof buffer, error), 8);
    const std::vector<uint8_t> expected = {0x00, 0x11, 0x22, 0x33, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 8), expected);
    EXPECT_EQ(buffer[8], 0xAA);
    EXPECT_EQ(unnumbered.ReadReport(buffer, sizeof buffer, error), -1);
    EXPECT_EQ(error, EAGAIN);
    EXPECT_EQ(unnumbered.ReadReport(buffer, 1, error), -1);
    EXPECT_EQ(error, EINVAL);

    // Feature ioctls on something that is not hidraw fail cleanly; oversized lengths are refused
    // before they could spill into the ioctl number.
    uint8_t feature[4] = {0x00};
    EXPECT_FALSE(unnumbered.GetFeature(feature, sizeof feature, error));
    EXPECT_EQ(error, ENOTTY);
    std::vector<uint8_t> huge(CHidrawConnection::kMaxIoctlLength + 1);
    EXPECT_FALSE(unnumbered.SetFeature(huge.data(), huge.size(), error));
    EXPECT_EQ(error, EINVAL);
    CHidAttributes attributes;
    EXPECT_FALSE(unnumbered.GetAttributes(attributes, error));

    const uint8_t out[] = {0x00, 0x01};
    EXPECT_TRUE(unnumbered.WriteReport(out, sizeof out, 1000, error));
    ASSERT_EQ(recv(pair[1], buffer, sizeof buffer, 0), 2);
    EXPECT_EQ(buffer[1], 0x01);
    close(pair[1]);
    EXPECT_EQ(unnumbered.ReadReport(buffer, sizeof buffer, error), -1);
    EXPECT_EQ(error, ENODEV);
}

TEST(CHidrawConnectionTest, NumberedReportsKeepTheirIdByte) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair), 0);
    CHidCaps caps;
    caps.inputReportByteLength = 4;
    CHidrawConnection numbered(CUniqueFd{pair[0]}, caps, true, {});
    const uint8_t data[] = {0x02, 0x05, 0x06, 0x07, 0x08, 0x09};
    ASSERT_EQ(send(pair[1], data, sizeof data, 0), 6);
    uint8_t buffer[16];
    int error = 0;
    // Longer than the caps say: delivered whole, never cut to the input length.
    ASSERT_EQ(numbered.ReadReport(buffer, sizeof buffer, error), 6);
    EXPECT_EQ(buffer[0], 0x02);
    EXPECT_EQ(buffer[5], 0x09);
    close(pair[1]);
}
