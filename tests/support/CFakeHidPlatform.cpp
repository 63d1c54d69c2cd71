// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "support/CFakeHidPlatform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

CFakeHidLink::~CFakeHidLink() {
    ::close(m_hostFd);
    Unplug();
}

bool CFakeHidLink::SendInput(const std::vector<uint8_t>& report) {
    const int fd = m_deviceFd.load();
    if (fd < 0) {
        return false;
    }
    return ::send(fd, report.data(), report.size(), MSG_NOSIGNAL) == ssize_t(report.size());
}

bool CFakeHidLink::ReadOutput(std::vector<uint8_t>& report, int timeoutMs) {
    const int fd = m_deviceFd.load();
    if (fd < 0) {
        return false;
    }
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) {
        return false;
    }
    uint8_t buffer[65536];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0) {
        return false;
    }
    report.assign(buffer, buffer + n);
    return true;
}

void CFakeHidLink::Unplug() {
    const int fd = m_deviceFd.exchange(-1);
    if (fd >= 0) {
        ::close(fd);
    }
}

void CFakeHidLink::StallOutput() {
    const uint8_t filler[256] = {};
    while (::send(m_hostFd, filler, sizeof filler, MSG_DONTWAIT | MSG_NOSIGNAL) > 0) {
    }
}

// The host side, as a hidraw connection behaves: reads zero-padded to the input length,
// writes waiting for the device at most the given time, ENODEV once the device has gone.
class CFakeHidConnection : public CHidConnection {
public:
    CFakeHidConnection(CFakeHidPlatform& platform, const CFakeInterface& fake,
                       std::shared_ptr<CFakeReaderLog> log, std::shared_ptr<CFakeHidLink> link)
        : m_platform(platform), m_info(fake.info), m_log(std::move(log)), m_link(std::move(link)) {}

    int PollFd() const override { return m_link->HostFd(); }

    long ReadReport(uint8_t* buffer, size_t capacity, int& error) override {
        const ssize_t n = ::recv(m_link->HostFd(), buffer, capacity, MSG_DONTWAIT);
        if (n > 0) {
            const size_t padded = std::min<size_t>(capacity, m_info.caps.inputReportByteLength);
            if (size_t(n) < padded) {
                std::fill(buffer + n, buffer + padded, uint8_t(0));
                return long(padded);
            }
            return long(n);
        }
        if (n == 0 || errno == ECONNRESET || errno == EPIPE) {
            error = ENODEV;
        } else {
            error = errno;
        }
        return -1;
    }

    bool WriteReport(const uint8_t* data, size_t length, int timeoutMs, int& error) override {
        m_platform.m_lastWriteTimeout.store(timeoutMs);
        if (m_log) {
            m_log->writes.emplace_back(data, data + length);
            error = m_log->failWrites ? EIO : 0;
            return !m_log->failWrites;
        }
        pollfd p{m_link->HostFd(), POLLOUT, 0};
        const int ready = ::poll(&p, 1, timeoutMs);
        if (ready == 0) {
            error = ETIMEDOUT;
            return false;
        }
        if (ready < 0 || (p.revents & (POLLHUP | POLLERR))) {
            error = ready < 0 ? errno : ENODEV;
            return false;
        }
        const ssize_t n = ::send(m_link->HostFd(), data, length, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n < 0) {
            error = errno == EPIPE || errno == ECONNRESET ? ENODEV : errno;
            return false;
        }
        return size_t(n) == length;
    }

    bool GetFeature(uint8_t* buffer, size_t length, int& error) override {
        if (m_log) {
            m_log->getFeatureRequests.emplace_back(buffer, buffer + length);
            // A failing request may still have written into the buffer.
            if (m_log->featureAnswer) {
                m_log->featureAnswer(buffer, length);
            }
            error = m_log->failGetFeature ? EIO : 0;
            return !m_log->failGetFeature;
        }
        if (length == 0) {
            error = EINVAL;
            return false;
        }
        std::lock_guard<std::mutex> lock(m_featureMutex);
        const auto stored = m_features.find(buffer[0]);
        if (stored == m_features.end()) {
            error = EIO;
            return false;
        }
        const size_t n = std::min(length, stored->second.size());
        std::copy(stored->second.begin(), stored->second.begin() + ptrdiff_t(n), buffer);
        return true;
    }

    bool SetFeature(const uint8_t* data, size_t length, int& error) override {
        if (m_log) {
            m_log->setFeatures.emplace_back(data, data + length);
            error = m_log->failSetFeature ? EIO : 0;
            return !m_log->failSetFeature;
        }
        if (length == 0) {
            error = EINVAL;
            return false;
        }
        std::lock_guard<std::mutex> lock(m_featureMutex);
        m_features[data[0]].assign(data, data + length);
        return true;
    }

    CHidCaps Caps() const override { return m_info.caps; }
    std::vector<uint8_t> ReportDescriptor() const override { return m_info.reportDescriptor; }

    bool GetAttributes(CHidAttributes& attributes, int&) const override {
        attributes = m_info.attributes;
        return true;
    }

private:
    CFakeHidPlatform& m_platform;
    CHidInterfaceInfo m_info;
    std::shared_ptr<CFakeReaderLog> m_log;
    std::shared_ptr<CFakeHidLink> m_link;
    std::mutex m_featureMutex;
    std::map<uint8_t, std::vector<uint8_t>> m_features;
};

void CFakeHidPlatform::AddInterface(const CFakeInterface& fake) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_interfaces.push_back(fake);
}

void CFakeHidPlatform::SetLoggingInterface(const CFakeInterface& fake,
                                           std::shared_ptr<CFakeReaderLog> log) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_logs.erase(std::remove_if(m_logs.begin(), m_logs.end(),
                                [&](const auto& entry) { return entry.first == fake.info.path; }),
                 m_logs.end());
    m_logs.emplace_back(fake.info.path, std::move(log));
    for (CFakeInterface& present : m_interfaces) {
        if (present.info.path == fake.info.path) {
            present = fake;
            return;
        }
    }
    m_interfaces.push_back(fake);
}

void CFakeHidPlatform::Unplug(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_interfaces.erase(std::remove_if(m_interfaces.begin(), m_interfaces.end(),
                                      [&](const CFakeInterface& f) { return f.info.path == path; }),
                       m_interfaces.end());
    for (COpened& opened : m_opened) {
        if (opened.path == path) {
            opened.link->Unplug();
        }
    }
}

bool CFakeHidPlatform::EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int& error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_enumerateError != 0) {
        error = m_enumerateError;
        return false;
    }
    interfaces.clear();
    for (const CFakeInterface& fake : m_interfaces) {
        interfaces.push_back(fake.info);
    }
    return true;
}

std::unique_ptr<CHidConnection> CFakeHidPlatform::Open(const std::string& path, int& error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto fake = std::find_if(m_interfaces.begin(), m_interfaces.end(),
                                   [&](const CFakeInterface& f) { return f.info.path == path; });
    if (fake == m_interfaces.end()) {
        error = ENOENT;
        return nullptr;
    }
    if (fake->openError != 0) {
        error = fake->openError;
        return nullptr;
    }
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0) {
        error = errno;
        return nullptr;
    }
    auto link = std::make_shared<CFakeHidLink>(fds[0], fds[1]);
    if (fake->goneOnOpen) {
        link->Unplug();
    }
    m_opened.push_back({path, link});
    ++m_openCount;
    std::shared_ptr<CFakeReaderLog> log;
    for (const auto& entry : m_logs) {
        if (entry.first == path) {
            log = entry.second;
        }
    }
    return std::make_unique<CFakeHidConnection>(*this, *fake, std::move(log), link);
}

std::unique_ptr<CHidDeviceMonitor> CFakeHidPlatform::CreateMonitor(int& error) {
    error = ENOSYS;
    return nullptr;
}

std::shared_ptr<CFakeHidLink> CFakeHidPlatform::Link(const std::string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_opened.rbegin(); it != m_opened.rend(); ++it) {
        if (it->path == path) {
            return it->link;
        }
    }
    return nullptr;
}

CHidInterfaceInfo MakeInterfaceInfo(const std::string& path, uint16_t vendorId, uint16_t productId,
                                    uint16_t usagePage, uint16_t usage, const std::string& product,
                                    const std::string& serial, const std::string& interfaceNumber,
                                    uint16_t inputLength, uint16_t outputLength) {
    CHidInterfaceInfo info;
    info.path = path;
    info.attributes = {vendorId, productId, 0x0100};
    info.caps.usagePage = usagePage;
    info.caps.usage = usage;
    info.caps.inputReportByteLength = inputLength;
    info.caps.outputReportByteLength = outputLength;
    info.collections = {{usagePage, usage}};
    info.product = product;
    info.serial = serial;
    info.interfaceNumber = interfaceNumber;
    return info;
}
