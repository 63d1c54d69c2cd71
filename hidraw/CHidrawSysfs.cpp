// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "hidraw/CHidrawSysfs.h"

#include "platform/CReportDescriptor.h"
#include "platform/KeyReport.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// dir/name, built in place.
std::string JoinPath(const std::string& dir, const std::string& name) {
    std::string path;
    path.reserve(dir.size() + 1 + name.size());
    path += dir;
    path += '/';
    path += name;
    return path;
}

// The kernel's limit for a report descriptor; more is not a descriptor.
constexpr size_t kMaxDescriptorSize = 4096;

bool ReadFile(const std::string& path, std::string& text, size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text.clear();
    char chunk[1024];
    while (in && text.size() < limit) {
        in.read(chunk, static_cast<std::streamsize>(std::min(sizeof chunk, limit - text.size())));
        text.append(chunk, static_cast<size_t>(in.gcount()));
    }
    return !in.bad();
}

// A sysfs attribute without its trailing line end; false when it does not exist.
bool ReadAttribute(const std::string& dir, const char* name, std::string& value) {
    if (!ReadFile(JoinPath(dir, name), value, 4096)) {
        return false;
    }
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) {
        value.pop_back();
    }
    return true;
}

std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\n");
    if (first == std::string::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t\n") - first + 1);
}

bool ParseNumber(const std::string& text, int base, unsigned long max, unsigned long& value) {
    const std::string t = Trim(text);
    if (t.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(t.c_str(), &end, base);
    if (errno != 0 || *end != '\0' || v > max || t[0] == '-') {
        return false;
    }
    value = v;
    return true;
}

bool ReadHex16(const std::string& dir, const char* name, uint16_t& value) {
    std::string text;
    unsigned long v = 0;
    if (!ReadAttribute(dir, name, text) || !ParseNumber(text, 16, 0xFFFF, v)) {
        return false;
    }
    value = static_cast<uint16_t>(v);
    return true;
}

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string Parent(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

// The HID device's uevent lines (HID_ID, HID_NAME, HID_UNIQ, ...).
struct CHidUevent {
    std::string id;
    std::string name;
    std::string uniq;
    std::string phys;
};

CHidUevent ReadUevent(const std::string& hidDir) {
    CHidUevent uevent;
    std::string text;
    if (!ReadFile(hidDir + "/uevent", text, 16384)) {
        return uevent;
    }
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "HID_ID") {
            uevent.id = value;
        } else if (key == "HID_NAME") {
            uevent.name = value;
        } else if (key == "HID_UNIQ") {
            uevent.uniq = value;
        } else if (key == "HID_PHYS") {
            uevent.phys = value;
        }
    }
    return uevent;
}

// HID_ID=BBBB:VVVVVVVV:PPPPPPPP (hex).
bool ParseHidId(const std::string& id, CHidAttributes& attributes) {
    const size_t first = id.find(':');
    const size_t second = first == std::string::npos ? first : id.find(':', first + 1);
    if (second == std::string::npos) {
        return false;
    }
    unsigned long vendor = 0;
    unsigned long product = 0;
    if (!ParseNumber(id.substr(first + 1, second - first - 1), 16, 0xFFFFFFFF, vendor) ||
        !ParseNumber(id.substr(second + 1), 16, 0xFFFFFFFF, product) || vendor > 0xFFFF ||
        product > 0xFFFF) {
        return false;
    }
    attributes.vendorId = static_cast<uint16_t>(vendor);
    attributes.productId = static_cast<uint16_t>(product);
    attributes.versionNumber = 0;
    return true;
}

// Windows names an interface by its number only on a composite device: one configuration with
// more than one interface, and a device class that leaves the interfaces to themselves.
bool IsComposite(const std::string& usbDeviceDir) {
    std::string text;
    unsigned long interfaces = 0;
    if (!ReadAttribute(usbDeviceDir, "bNumInterfaces", text) ||
        !ParseNumber(text, 10, 255, interfaces) || interfaces < 2) {
        return false;
    }
    unsigned long configurations = 1;
    if (ReadAttribute(usbDeviceDir, "bNumConfigurations", text) &&
        (!ParseNumber(text, 10, 255, configurations) || configurations != 1)) {
        return false;
    }
    std::string cls;
    std::string subClass;
    std::string protocol;
    if (!ReadAttribute(usbDeviceDir, "bDeviceClass", cls)) {
        return true;
    }
    ReadAttribute(usbDeviceDir, "bDeviceSubClass", subClass);
    ReadAttribute(usbDeviceDir, "bDeviceProtocol", protocol);
    cls = Trim(cls);
    return cls == "00" || (cls == "ef" && Trim(subClass) == "02" && Trim(protocol) == "01");
}

// The first input event node (eventN) that the HID device's input devices have, or empty.
std::string FindEventNode(const std::string& hidDir) {
    std::vector<std::string> found;
    const std::string inputDir = hidDir + "/input";
    DIR* inputs = opendir(inputDir.c_str());
    if (inputs == nullptr) {
        return {};
    }
    while (const dirent* input = readdir(inputs)) {
        if (std::string(input->d_name).rfind("input", 0) != 0) {
            continue;
        }
        DIR* nodes = opendir(JoinPath(inputDir, input->d_name).c_str());
        if (nodes == nullptr) {
            continue;
        }
        while (const dirent* node = readdir(nodes)) {
            if (std::string(node->d_name).rfind("event", 0) == 0) {
                found.emplace_back(node->d_name);
            }
        }
        closedir(nodes);
    }
    closedir(inputs);
    // The keyboard collection comes first and gets the lowest number.
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return found.empty() ? std::string() : found.front();
}

} // namespace

std::vector<CHidrawNode> CHidrawSysfs::ListNodes(const std::string& sysfsRoot,
                                                 const std::string& devDir) {
    std::vector<CHidrawNode> nodes;
    const std::string classDir = sysfsRoot + "/class/hidraw";
    DIR* dir = opendir(classDir.c_str());
    if (dir == nullptr) {
        return nodes;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind("hidraw", 0) != 0) {
            continue;
        }
        const std::string syspath = RealPath(JoinPath(classDir, name));
        if (!syspath.empty()) {
            nodes.push_back({syspath, JoinPath(devDir, name)});
        }
    }
    closedir(dir);
    std::sort(nodes.begin(), nodes.end(),
              [](const CHidrawNode& a, const CHidrawNode& b) { return a.devNode < b.devNode; });
    return nodes;
}

std::vector<std::vector<uint8_t>>
CHidrawSysfs::DescriptorsBeside(const std::string& hidrawSyspath) {
    std::vector<std::vector<uint8_t>> descriptors;
    const std::string hidDir = RealPath(hidrawSyspath + "/device");
    const std::string usbInterfaceDir = Parent(hidDir);
    const std::string usbDeviceDir = Parent(usbInterfaceDir);
    if (hidDir.empty() || !Exists(usbInterfaceDir + "/bInterfaceNumber") ||
        !Exists(usbDeviceDir + "/idVendor")) {
        return descriptors;
    }
    const auto entries = [](const std::string& dir) {
        std::vector<std::string> names;
        if (DIR* listing = opendir(dir.c_str())) {
            while (const dirent* entry = readdir(listing)) {
                if (entry->d_name[0] != '.') {
                    names.emplace_back(entry->d_name);
                }
            }
            closedir(listing);
        }
        return names;
    };
    for (const std::string& interface : entries(usbDeviceDir)) {
        const std::string interfaceDir = JoinPath(usbDeviceDir, interface);
        if (interfaceDir == usbInterfaceDir || !Exists(interfaceDir + "/bInterfaceNumber")) {
            continue;
        }
        for (const std::string& hid : entries(interfaceDir)) {
            std::string bytes;
            if (ReadFile(JoinPath(interfaceDir, hid) + "/report_descriptor", bytes,
                         kMaxDescriptorSize)) {
                descriptors.emplace_back(bytes.begin(), bytes.end());
            }
        }
    }
    return descriptors;
}

bool CHidrawSysfs::ReadReportDescriptor(const std::string& hidrawSyspath,
                                        std::vector<uint8_t>& descriptor) {
    std::string bytes;
    if (!ReadFile(hidrawSyspath + "/device/report_descriptor", bytes, kMaxDescriptorSize)) {
        return false;
    }
    descriptor.assign(bytes.begin(), bytes.end());
    return true;
}

bool CHidrawSysfs::ReadInterface(const std::string& hidrawSyspath, const std::string& devNode,
                                 CHidInterfaceInfo& info) {
    const std::string hidDir = RealPath(hidrawSyspath + "/device");
    if (hidDir.empty()) {
        return false;
    }
    info = CHidInterfaceInfo();
    info.path = devNode;

    const CHidUevent uevent = ReadUevent(hidDir);
    info.hidName = uevent.name;
    info.physicalPath = uevent.phys;
    unsigned long bus = 0;
    if (ParseNumber(uevent.id.substr(0, uevent.id.find(':')), 16, 0xFFFF, bus)) {
        info.busType = static_cast<uint16_t>(bus);
    }
    const std::string usbInterfaceDir = Parent(hidDir);
    const std::string usbDeviceDir = Parent(usbInterfaceDir);
    const bool usb =
        Exists(usbInterfaceDir + "/bInterfaceNumber") && Exists(usbDeviceDir + "/idVendor");
    if (usb) {
        info.attributesValid = ReadHex16(usbDeviceDir, "idVendor", info.attributes.vendorId) &&
                               ReadHex16(usbDeviceDir, "idProduct", info.attributes.productId);
        if (!ReadHex16(usbDeviceDir, "bcdDevice", info.attributes.versionNumber)) {
            info.attributes.versionNumber = 0;
        }
        if (!info.attributesValid) {
            info.attributesValid = ParseHidId(uevent.id, info.attributes);
        }
        ReadAttribute(usbDeviceDir, "product", info.product);
        ReadAttribute(usbDeviceDir, "manufacturer", info.manufacturer);
        if (!ReadAttribute(usbDeviceDir, "serial", info.serial)) {
            info.serial = uevent.uniq;
        }
        std::string number;
        if (IsComposite(usbDeviceDir) &&
            ReadAttribute(usbInterfaceDir, "bInterfaceNumber", number)) {
            info.interfaceNumber = Trim(number);
        }
    } else {
        info.attributesValid = ParseHidId(uevent.id, info.attributes);
        info.product = uevent.name;
        info.serial = uevent.uniq;
    }

    std::vector<uint8_t> bytes;
    CReportDescriptor descriptor;
    if (ReadReportDescriptor(hidrawSyspath, bytes)) {
        if (descriptor.Parse(bytes)) {
            info.caps = descriptor.Caps();
            for (const CReportCollection& c : descriptor.Collections()) {
                info.collections.emplace_back(c.usagePage, c.usage);
            }
        }
        info.reportDescriptor = std::move(bytes);
    }
    // A keyboard's keys are read from its input event node, not from the hidraw node.
    if (info.caps.usagePage == kKeyboardUsagePage && info.caps.usage == kKeyboardUsage) {
        const std::string eventNode = FindEventNode(hidDir);
        if (!eventNode.empty()) {
            info.path = JoinPath(Parent(devNode) + "/input", eventNode);
            info.keyReports = true;
        }
    }
    return true;
}
