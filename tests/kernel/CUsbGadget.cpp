// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CUsbGadget.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Hex16(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", value);
    return text;
}

} // namespace

CUsbGadget::CUsbGadget(std::string name, CIdentity identity,
                       std::vector<CHidFunctionConfig> functions)
    : m_dir("/sys/kernel/config/usb_gadget/" + std::move(name)), m_identity(std::move(identity)),
      m_functions(std::move(functions)) {}

bool CUsbGadget::Fail(const std::string& what) {
    m_error = what + ": " + std::strerror(errno);
    return false;
}

bool CUsbGadget::Write(const std::string& relative, const std::string& value) {
    return guest::WriteText(m_dir + "/" + relative, value) || Fail("writing " + relative);
}

bool CUsbGadget::Create() {
    for (const char* dir : {"", "/strings/0x409", "/configs/c.1", "/configs/c.1/strings/0x409"}) {
        if (mkdir((m_dir + dir).c_str(), 0755) != 0) {
            return Fail(std::string("mkdir ") + m_dir + dir);
        }
    }
    if (!Write("idVendor", Hex16(m_identity.vendorId)) ||
        !Write("idProduct", Hex16(m_identity.productId)) ||
        !Write("bcdDevice", Hex16(m_identity.bcdDevice)) ||
        !Write("strings/0x409/manufacturer", m_identity.manufacturer) ||
        !Write("strings/0x409/product", m_identity.product) ||
        !Write("strings/0x409/serialnumber", m_identity.serial) ||
        !Write("configs/c.1/strings/0x409/configuration", "Reader") ||
        !Write("configs/c.1/MaxPower", "100")) {
        return false;
    }
    for (size_t i = 0; i < m_functions.size(); ++i) {
        const CHidFunctionConfig& config = m_functions[i];
        const std::string function = "functions/hid.usb" + std::to_string(i);
        if (mkdir((m_dir + "/" + function).c_str(), 0755) != 0) {
            return Fail("mkdir " + function);
        }
        const std::string descriptor(config.descriptor.begin(), config.descriptor.end());
        if (!Write(function + "/protocol", "0") || !Write(function + "/subclass", "0") ||
            !Write(function + "/report_length", std::to_string(config.reportLength)) ||
            !Write(function + "/no_out_endpoint", config.outEndpoint ? "0" : "1") ||
            !Write(function + "/report_desc", descriptor)) {
            return false;
        }
        // Linked in order, the functions become interfaces 0, 1, ...
        if (symlink((m_dir + "/" + function).c_str(),
                    (m_dir + "/configs/c.1/hid.usb" + std::to_string(i)).c_str()) != 0) {
            return Fail("linking " + function);
        }
    }
    return true;
}

bool CUsbGadget::Bind(const std::string& udc) {
    return Write("UDC", udc);
}

bool CUsbGadget::Unbind() {
    return Write("UDC", "\n");
}

std::string CUsbGadget::HidgNode(size_t index) const {
    const std::string dev =
        guest::ReadText(m_dir + "/functions/hid.usb" + std::to_string(index) + "/dev");
    const size_t colon = dev.find(':');
    return colon == std::string::npos ? std::string() : "/dev/hidg" + dev.substr(colon + 1);
}
