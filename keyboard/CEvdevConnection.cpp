// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "keyboard/CEvdevConnection.h"

#include "platform/KeyReport.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <utility>

CEvdevConnection::CEvdevConnection(CUniqueFd fd, libevdev* device)
    : m_fd(std::move(fd)), m_device(device) {}

CEvdevConnection::~CEvdevConnection() {
    libevdev_free(m_device);
}

std::unique_ptr<CEvdevConnection> CEvdevConnection::Open(const std::string& node, int& error) {
    CUniqueFd fd(open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.IsValid()) {
        error = errno;
        return nullptr;
    }
    libevdev* device = nullptr;
    if (const int result = libevdev_new_from_fd(fd.Get(), &device); result < 0) {
        error = -result;
        return nullptr;
    }
    // Key times on the clock that the label timing and the pause end compare with.
    if (const int result = libevdev_set_clock_id(device, CLOCK_MONOTONIC); result < 0) {
        libevdev_free(device);
        error = -result;
        return nullptr;
    }
    return std::unique_ptr<CEvdevConnection>(new CEvdevConnection(std::move(fd), device));
}

// Reads events one at a time straight from the node, so that what waits stays in the kernel's
// queue and keeps the node readable for the reader's poll().
long CEvdevConnection::ReadReport(uint8_t* buffer, size_t capacity, int& error) {
    if (buffer == nullptr || capacity < kKeyReportLength) {
        error = EINVAL;
        return -1;
    }
    for (;;) {
        input_event event{};
        const ssize_t n = read(m_fd.Get(), &event, sizeof event);
        if (n < 0) {
            error = errno == EAGAIN ? EAGAIN : ENODEV;
            return -1;
        }
        if (n != sizeof event) {
            error = ENODEV;
            return -1;
        }
        if (event.type != EV_KEY || event.value < 0 || event.value > 2) {
            continue; // synchronisation and scan-code events carry no key
        }
        CKeyEvent key;
        key.code = uint16_t(event.code);
        key.value = CKeyValue(event.value);
        key.timeUs = uint64_t(event.input_event_sec) * 1000000u + uint64_t(event.input_event_usec);
        uint8_t report[kKeyReportLength];
        EncodeKeyReport(key, report);
        std::copy(report, report + kKeyReportLength, buffer);
        return long(kKeyReportLength);
    }
}

bool CEvdevConnection::WriteReport(const uint8_t*, size_t, int, int& error) {
    error = ENOTSUP;
    return false;
}

bool CEvdevConnection::GetFeature(uint8_t*, size_t, int& error) {
    error = ENOTSUP;
    return false;
}

bool CEvdevConnection::SetFeature(const uint8_t*, size_t, int& error) {
    error = ENOTSUP;
    return false;
}

CHidCaps CEvdevConnection::Caps() const {
    CHidCaps caps;
    caps.usagePage = kKeyboardUsagePage;
    caps.usage = kKeyboardUsage;
    caps.inputReportByteLength = kKeyReportLength;
    return caps;
}

bool CEvdevConnection::GetAttributes(CHidAttributes& attributes, int&) const {
    attributes.vendorId = uint16_t(libevdev_get_id_vendor(m_device));
    attributes.productId = uint16_t(libevdev_get_id_product(m_device));
    attributes.versionNumber = uint16_t(libevdev_get_id_version(m_device));
    return true;
}

bool CEvdevConnection::SetGrab(bool grab, int& error) {
    const int result = libevdev_grab(m_device, grab ? LIBEVDEV_GRAB : LIBEVDEV_UNGRAB);
    if (result < 0) {
        error = -result == ENODEV ? ENODEV : -result;
        return false;
    }
    return true;
}
