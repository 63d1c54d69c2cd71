// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"
#include "platform/CUniqueFd.h"

#include <memory>
#include <string>

struct libevdev;

// A reader in keyboard mode, read through the input event node of its keyboard interface: one
// key report (platform/KeyReport.h) per key event, stamped with the monotonic clock. It takes
// no output or feature reports. SetGrab takes the node exclusively (EVIOCGRAB); the kernel
// gives it back when the node is closed, also when the process ends.
class CEvdevConnection : public CHidConnection {
public:
    // Opens `node` (/dev/input/eventN); null with `error` (EACCES without the udev rule's
    // access, ENOTTY for a node that is no event node).
    static std::unique_ptr<CEvdevConnection> Open(const std::string& node, int& error);
    ~CEvdevConnection() override;
    CEvdevConnection(const CEvdevConnection&) = delete;
    CEvdevConnection& operator=(const CEvdevConnection&) = delete;

    int PollFd() const override { return m_fd.Get(); }
    long ReadReport(uint8_t* buffer, size_t capacity, int& error) override;
    bool WriteReport(const uint8_t* data, size_t length, int timeoutMs, int& error) override;
    bool GetFeature(uint8_t* buffer, size_t length, int& error) override;
    bool SetFeature(const uint8_t* data, size_t length, int& error) override;
    CHidCaps Caps() const override;
    bool GetAttributes(CHidAttributes& attributes, int& error) const override;
    bool SetGrab(bool grab, int& error) override;

private:
    CEvdevConnection(CUniqueFd fd, libevdev* device);

    CUniqueFd m_fd;
    libevdev* m_device;
};
