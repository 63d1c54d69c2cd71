// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"
#include "platform/CUniqueFd.h"

#include <cstdint>
#include <vector>

// An open hidraw node. Reads get byte 0 = report id also when the interface's input reports are
// unnumbered (hidraw then delivers no id byte, so 0x00 is put in front) and are zero-padded to
// the input report byte length; a vanished device is reported as ENODEV whichever way the
// kernel says it (POLLHUP/POLLERR, EIO from read, ENODEV from write or ioctl).
class CHidrawConnection : public CHidConnection {
public:
    CHidrawConnection(CUniqueFd fd, const CHidCaps& caps, bool inputNumbered,
                      const CHidAttributes& attributes, std::vector<uint8_t> reportDescriptor = {});
    int PollFd() const override { return m_fd.Get(); }
    long ReadReport(uint8_t* buffer, size_t capacity, int& error) override;
    bool WriteReport(const uint8_t* data, size_t length, int timeoutMs, int& error) override;
    bool GetFeature(uint8_t* buffer, size_t length, int& error) override;
    bool SetFeature(const uint8_t* data, size_t length, int& error) override;
    CHidCaps Caps() const override { return m_caps; }
    bool GetAttributes(CHidAttributes& attributes, int& error) const override;
    std::vector<uint8_t> ReportDescriptor() const override { return m_reportDescriptor; }

    // The largest report buffer the kernel's report ioctls take.
    static constexpr size_t kMaxIoctlLength = 16383;

private:
    CUniqueFd m_fd;
    CHidCaps m_caps;
    bool m_inputNumbered;
    CHidAttributes m_attributes;
    std::vector<uint8_t> m_reportDescriptor;
};
