// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "hidraw/CHidrawConnection.h"

#include "platform/WaitWritable.h"

#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace {

// The kernel's ways of saying that the device has gone.
int MapGone(int error) {
    switch (error) {
    case EIO:
    case ENODEV:
    case ESHUTDOWN:
        return ENODEV;
    default:
        return error;
    }
}

} // namespace

CHidrawConnection::CHidrawConnection(CUniqueFd fd, const CHidCaps& caps, bool inputNumbered,
                                     const CHidAttributes& attributes,
                                     std::vector<uint8_t> reportDescriptor)
    : m_fd(std::move(fd)), m_caps(caps), m_inputNumbered(inputNumbered), m_attributes(attributes),
      m_reportDescriptor(std::move(reportDescriptor)) {}

long CHidrawConnection::ReadReport(uint8_t* buffer, size_t capacity, int& error) {
    // hidraw drops the rest of a report that does not fit, and a read of 0 bytes would consume
    // reports without returning: never ask for less than one byte.
    const size_t offset = m_inputNumbered ? 0 : 1;
    if (buffer == nullptr || capacity <= offset) {
        error = EINVAL;
        return -1;
    }
    const ssize_t n = read(m_fd.Get(), buffer + offset, capacity - offset);
    if (n < 0) {
        error = errno == EAGAIN ? EAGAIN : MapGone(errno);
        return -1;
    }
    if (n == 0) {
        error = ENODEV; // end of file: nothing will ever come again
        return -1;
    }
    if (offset != 0) {
        buffer[0] = 0x00;
    }
    const size_t got = static_cast<size_t>(n) + offset;
    const size_t padded = std::min(capacity, size_t{m_caps.inputReportByteLength});
    if (got < padded) {
        std::memset(buffer + got, 0, padded - got);
        return static_cast<long>(padded);
    }
    return static_cast<long>(got);
}

bool CHidrawConnection::WriteReport(const uint8_t* data, size_t length, int timeoutMs, int& error) {
    if (data == nullptr || length == 0) {
        error = EINVAL;
        return false;
    }
    if (const int waited = WaitWritable(m_fd.Get(), timeoutMs); waited != 0) {
        error = waited;
        return false;
    }
    const ssize_t n = write(m_fd.Get(), data, length);
    if (n < 0) {
        error = errno == EIO ? EIO : MapGone(errno);
        return false;
    }
    if (static_cast<size_t>(n) != length) {
        error = EIO;
        return false;
    }
    return true;
}

bool CHidrawConnection::GetFeature(uint8_t* buffer, size_t length, int& error) {
    if (buffer == nullptr || length < 2 || length > kMaxIoctlLength) {
        error = EINVAL;
        return false;
    }
    const uint8_t id = buffer[0];
    const int n = ioctl(m_fd.Get(), HIDIOCGFEATURE(length), buffer);
    if (n < 0) {
        error = errno == EIO ? EIO : MapGone(errno);
        return false;
    }
    // USB puts the report id in byte 0 for numbered and unnumbered reports alike; a short
    // answer leaves no stale bytes behind.
    buffer[0] = id;
    if (static_cast<size_t>(n) < length) {
        std::memset(buffer + n, 0, length - static_cast<size_t>(n));
    }
    return true;
}

bool CHidrawConnection::SetFeature(const uint8_t* data, size_t length, int& error) {
    if (data == nullptr || length < 2 || length > kMaxIoctlLength) {
        error = EINVAL;
        return false;
    }
    const int n = ioctl(m_fd.Get(), HIDIOCSFEATURE(length), data);
    if (n < 0) {
        error = errno == EIO ? EIO : MapGone(errno);
        return false;
    }
    if (static_cast<size_t>(n) != length) {
        error = EIO;
        return false;
    }
    return true;
}

bool CHidrawConnection::GetAttributes(CHidAttributes& attributes, int& error) const {
    hidraw_devinfo info{};
    if (ioctl(m_fd.Get(), HIDIOCGRAWINFO, &info) < 0) {
        error = MapGone(errno);
        return false;
    }
    attributes = m_attributes;
    return true;
}
