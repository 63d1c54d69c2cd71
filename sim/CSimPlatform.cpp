// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "sim/CSimPlatform.h"

#include "keyboard/CXkbKeyTranslator.h"
#include "keyboard/CXkbLayouts.h"
#include "platform/CUniqueFd.h"
#include "platform/KeyReport.h"
#include "platform/WaitWritable.h"
#include "sim/CSimulator.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool IsGoneErrno(int error) {
    return error == EPIPE || error == ECONNRESET || error == ENOTCONN || error == ESHUTDOWN;
}

// One open of a simulated interface: reads and writes go through the socket, feature requests
// straight to the firmware.
class CSimConnection : public CHidConnection {
public:
    CSimConnection(std::shared_ptr<CSimulator> simulator, CUniqueFd fd, uint64_t session,
                   CHidInterfaceInfo info)
        : m_simulator(std::move(simulator)), m_fd(std::move(fd)), m_session(session),
          m_info(std::move(info)) {}

    int PollFd() const override { return m_fd.Get(); }

    long ReadReport(uint8_t* buffer, size_t capacity, int& error) override {
        if (capacity == 0) {
            error = EINVAL;
            return -1;
        }
        const ssize_t n = recv(m_fd.Get(), buffer, capacity, MSG_DONTWAIT);
        if (n == 0) {
            error = ENODEV; // the simulator closed its end: the reader was unplugged
            return -1;
        }
        if (n < 0) {
            error = IsGoneErrno(errno) ? ENODEV : errno;
            return -1;
        }
        const size_t length = std::min(capacity, size_t{m_info.caps.inputReportByteLength});
        if (static_cast<size_t>(n) < length) {
            std::memset(buffer + n, 0, length - static_cast<size_t>(n));
            return static_cast<long>(length);
        }
        return static_cast<long>(n);
    }

    bool WriteReport(const uint8_t* data, size_t length, int timeoutMs, int& error) override {
        if (length == 0) {
            error = EINVAL;
            return false;
        }
        if (const int waited = WaitWritable(m_fd.Get(), timeoutMs); waited != 0) {
            error = waited;
            return false;
        }
        const ssize_t n = send(m_fd.Get(), data, length, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n < 0) {
            error = IsGoneErrno(errno) ? ENODEV : errno;
            return false;
        }
        if (static_cast<size_t>(n) != length) {
            error = EIO;
            return false;
        }
        return true;
    }

    bool GetFeature(uint8_t* buffer, size_t length, int& error) override {
        if (buffer == nullptr || length < 2) {
            error = EINVAL;
            return false;
        }
        return m_simulator->GetFeature(m_session, buffer, length, error);
    }

    bool SetFeature(const uint8_t* data, size_t length, int& error) override {
        if (data == nullptr || length < 2) {
            error = EINVAL;
            return false;
        }
        return m_simulator->SetFeature(m_session, data, length, error);
    }

    CHidCaps Caps() const override { return m_info.caps; }
    std::vector<uint8_t> ReportDescriptor() const override { return m_info.reportDescriptor; }

    bool SetGrab(bool grab, int& error) override {
        return m_simulator->SetGrab(m_session, grab, error);
    }

    bool GetAttributes(CHidAttributes& attributes, int& error) const override {
        if (!m_simulator->IsOpen(m_session)) {
            error = ENODEV;
            return false;
        }
        attributes = m_info.attributes;
        return true;
    }

private:
    std::shared_ptr<CSimulator> m_simulator;
    CUniqueFd m_fd;
    uint64_t m_session;
    CHidInterfaceInfo m_info;
};

class CSimDeviceMonitor : public CHidDeviceMonitor {
public:
    CSimDeviceMonitor(std::shared_ptr<CSimulator> simulator, CUniqueFd eventFd)
        : m_simulator(std::move(simulator)), m_eventFd(std::move(eventFd)),
          m_id(m_simulator->AddMonitor(m_eventFd.Get())) {}
    ~CSimDeviceMonitor() override { m_simulator->RemoveMonitor(m_id); }
    CSimDeviceMonitor(const CSimDeviceMonitor&) = delete;
    CSimDeviceMonitor& operator=(const CSimDeviceMonitor&) = delete;

    int PollFd() const override { return m_eventFd.Get(); }

    std::vector<CHidDeviceChange> ReadChanges() override {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = read(m_eventFd.Get(), &count, sizeof count);
        return m_simulator->TakeChanges(m_id);
    }

private:
    std::shared_ptr<CSimulator> m_simulator;
    CUniqueFd m_eventFd;
    uint64_t m_id;
};

} // namespace

CSimPlatform::CSimPlatform() : CSimPlatform(CSimReaderSet::Default()) {}

CSimPlatform::CSimPlatform(std::vector<CSimReaderDefinition> readers)
    : m_simulator(std::make_shared<CSimulator>(std::move(readers))) {}

CSimPlatform::~CSimPlatform() = default;

bool CSimPlatform::EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int& error) {
    (void)error;
    interfaces = m_simulator->PresentInterfaces();
    return true;
}

std::unique_ptr<CHidConnection> CSimPlatform::Open(const std::string& path, int& error) {
    int fd = -1;
    uint64_t session = 0;
    CHidInterfaceInfo info;
    if (!m_simulator->Open(path, fd, session, info, error)) {
        return nullptr;
    }
    // An open keyboard reads key reports, as its event node does.
    if (info.keyReports) {
        info.caps.inputReportByteLength = kKeyReportLength;
        info.caps.outputReportByteLength = 0;
        info.caps.featureReportByteLength = 0;
    }
    return std::make_unique<CSimConnection>(m_simulator, CUniqueFd(fd), session, std::move(info));
}

std::unique_ptr<CHidDeviceMonitor> CSimPlatform::CreateMonitor(int& error) {
    CUniqueFd fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!fd.IsValid()) {
        error = errno;
        return nullptr;
    }
    return std::make_unique<CSimDeviceMonitor>(m_simulator, std::move(fd));
}

bool CSimPlatform::Unplug(const std::string& path) {
    return m_simulator->Unplug(path);
}

bool CSimPlatform::Plug(const std::string& path) {
    return m_simulator->Plug(path);
}

bool CSimPlatform::InjectInputReport(const std::string& path, const std::vector<uint8_t>& report) {
    return m_simulator->InjectInputReport(path, report);
}

uint64_t CSimPlatform::SimulatorWakeUps() const {
    return m_simulator->WakeUps();
}

std::vector<std::string> CSimPlatform::KeyLayouts() const {
    return CXkbLayouts::List();
}

std::string CSimPlatform::DesktopKeyLayout() const {
    return CXkbLayouts::Desktop(std::getenv("XKB_DEFAULT_LAYOUT"));
}

std::unique_ptr<CKeyTranslator> CSimPlatform::CreateKeyTranslator(const std::string& layout,
                                                                  int& error) {
    return CXkbKeyTranslator::Create(layout, error);
}
