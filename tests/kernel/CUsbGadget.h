// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "GuestSupport.h"

#include <string>
#include <vector>

// One interface of a gadget: the kernel's HID function with a report descriptor.
struct CHidFunctionConfig {
    guest::Bytes descriptor;
    // wMaxPacketSize of the interrupt endpoints; the function also caps each input report it
    // sends and each output request it queues at this length.
    int reportLength = 64;
    // Without an interrupt OUT endpoint the host sends output and feature reports as
    // SET_REPORT on the control endpoint, and the function passes them on to /dev/hidgN.
    bool outEndpoint = true;
};

// A USB device made through configfs: one configuration with the given HID functions as its
// interfaces 0, 1, ..., plugged in by binding it to a UDC of the dummy host controller.
class CUsbGadget {
public:
    struct CIdentity {
        uint16_t vendorId;
        uint16_t productId;
        uint16_t bcdDevice;
        std::string manufacturer;
        std::string product;
        std::string serial;
    };

    CUsbGadget(std::string name, CIdentity identity, std::vector<CHidFunctionConfig> functions);

    // Makes the configfs tree; false (with the failing step in Error()) when the kernel refuses.
    bool Create();
    bool Bind(const std::string& udc);
    bool Unbind();
    // The character device of interface `index` ("/dev/hidg1"), from the function's dev number.
    std::string HidgNode(size_t index) const;
    const CIdentity& Identity() const { return m_identity; }
    const std::string& Error() const { return m_error; }

private:
    bool Fail(const std::string& what);
    bool Write(const std::string& relative, const std::string& value);

    std::string m_dir;
    CIdentity m_identity;
    std::vector<CHidFunctionConfig> m_functions;
    std::string m_error;
};
