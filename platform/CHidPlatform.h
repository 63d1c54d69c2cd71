// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CKeyTranslator.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Identity of a HID interface: vendor id, product id, version number (bcdDevice).
struct CHidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
};

// What the device layer uses of an interface's capabilities. The report byte lengths count
// the report-id byte (also when the device uses no report ids) and are 0 when the interface
// has no report of that kind.
struct CHidCaps {
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    uint16_t inputReportByteLength = 0;
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;
};

// One present HID interface, as enumeration sees it without opening the device node.
struct CHidInterfaceInfo {
    std::string path; // a keyboard interface: its input event node, where its keys are read
    bool attributesValid = true; // false when vendor/product could not be read
    CHidAttributes attributes;
    CHidCaps caps; // all zero when the report descriptor could not be read or parsed
    // Every top-level collection as (usage page, usage), in descriptor order.
    std::vector<std::pair<uint16_t, uint16_t>> collections;
    std::string product;         // empty when the device supplies none
    std::string manufacturer;    // empty when the device supplies none
    std::string serial;          // empty when the device supplies none
    std::string interfaceNumber; // two lower-case hex digits for composite USB devices, else empty
    std::vector<uint8_t> reportDescriptor; // as the device declares it; empty when unreadable
    // What recordings name the device by: the kernel's HID name and physical path (HID_NAME,
    // HID_PHYS; empty when unknown) and its bus type (3 USB, 5 Bluetooth, 6 virtual; 0 unknown).
    std::string hidName;
    std::string physicalPath;
    uint16_t busType = 0;
    // The reader list's name for an interface the platform names itself (a recording's
    // device); empty for hardware, which the listing rule names from product and serial.
    std::string listName;
    // True for a keyboard interface that the platform reads as key reports
    // (platform/KeyReport.h): `path` is then where its key events come from.
    bool keyReports = false;
};

// An open HID interface. Every failure is a false/negative result with an errno-style code in
// `error`: ENODEV when the device has gone, EACCES when access was denied; never an exception.
class CHidConnection {
public:
    virtual ~CHidConnection() = default;

    // A descriptor that poll() reports readable when an input report waits, and with
    // POLLHUP/POLLERR when the device has gone.
    virtual int PollFd() const = 0;
    // Reads one whole input report: byte 0 is the report id (0x00 when the device uses none),
    // zero-padded to the input report byte length. Returns the byte count, or -1 with `error`
    // (EAGAIN when nothing waits, ENODEV when the device has gone).
    virtual long ReadReport(uint8_t* buffer, size_t capacity, int& error) = 0;
    // Writes one output report (byte 0 the report id), waiting at most `timeoutMs` for the
    // device to accept it. True when every byte was written.
    virtual bool WriteReport(const uint8_t* data, size_t length, int timeoutMs, int& error) = 0;
    // Feature reports: byte 0 of the buffer is the report id.
    virtual bool GetFeature(uint8_t* buffer, size_t length, int& error) = 0;
    virtual bool SetFeature(const uint8_t* data, size_t length, int& error) = 0;

    virtual CHidCaps Caps() const = 0;
    virtual bool GetAttributes(CHidAttributes& attributes, int& error) const = 0;
    // The report descriptor the interface declares, for where its fields lie; empty when it
    // could not be read or the interface has none (a keyboard read as key events).
    virtual std::vector<uint8_t> ReportDescriptor() const { return {}; }

    // Takes the interface for this reader alone (true) or gives it back: while taken, its key
    // events reach no other program. Only keyboard-mode interfaces can be taken; others fail
    // with ENOTSUP. Closing the connection gives it back.
    virtual bool SetGrab(bool grab, int& error) {
        (void)grab;
        error = ENOTSUP;
        return false;
    }
};

// A device arrived or was removed.
struct CHidDeviceChange {
    enum class Kind { Arrival, Removal };
    Kind kind = Kind::Arrival;
    std::string path;
};

// Watches for HID interfaces coming and going. The owner polls PollFd() and calls
// ReadChanges() when it becomes readable.
class CHidDeviceMonitor {
public:
    virtual ~CHidDeviceMonitor() = default;
    virtual int PollFd() const = 0;
    virtual std::vector<CHidDeviceChange> ReadChanges() = 0;
};

// A source of HID interfaces: the hidraw backend for real readers, or the simulated readers.
class CHidPlatform {
public:
    virtual ~CHidPlatform() = default;

    // Fills `interfaces` with every present HID interface. False (with `error`) when the set of
    // interfaces cannot be had at all.
    virtual bool EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int& error) = 0;
    // Opens a device path for reading and writing; null with `error` on failure.
    virtual std::unique_ptr<CHidConnection> Open(const std::string& path, int& error) = 0;
    // Null with `error` when changes cannot be watched.
    virtual std::unique_ptr<CHidDeviceMonitor> CreateMonitor(int& error) = 0;

    // Keyboard-mode interfaces read key reports (platform/KeyReport.h); the platform that
    // offers them also turns key events into text. A platform without them has no layouts.
    // The layouts a translator can be made for, by name ("us", "de", ...), sorted.
    virtual std::vector<std::string> KeyLayouts() const { return {}; }
    // The desktop's own layout where it can be read, else "us".
    virtual std::string DesktopKeyLayout() const { return "us"; }
    // A translator for `layout`; null with `error` (EINVAL for an unknown layout).
    virtual std::unique_ptr<CKeyTranslator> CreateKeyTranslator(const std::string& layout,
                                                                int& error) {
        (void)layout;
        error = ENOTSUP;
        return nullptr;
    }
};

// The platform the programs run on: the simulated readers when the environment variable
// VANTREL_SIMULATE is "1", else the hidraw backend. Never both.
std::unique_ptr<CHidPlatform> CreateHidPlatform();
