// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "recording/CReplayPlatform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

class CReplayConnection : public CHidConnection {
public:
    explicit CReplayConnection(std::shared_ptr<CReplayPlatform::CState> state)
        : m_state(std::move(state)), m_idleFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~CReplayConnection() override {
        if (m_idleFd >= 0) {
            close(m_idleFd);
        }
    }

    bool IsValid() const { return m_idleFd >= 0; }
    // Never readable: recorded reports go to the device type directly.
    int PollFd() const override { return m_idleFd; }
    long ReadReport(uint8_t*, size_t, int& error) override {
        error = EAGAIN;
        return -1;
    }
    bool WriteReport(const uint8_t*, size_t, int, int&) override { return true; }
    bool GetFeature(uint8_t* buffer, size_t length, int& error) override {
        if (m_state->featureAnswers.empty()) {
            error = EIO;
            return false;
        }
        const std::vector<uint8_t> answer = std::move(m_state->featureAnswers.front());
        m_state->featureAnswers.pop_front();
        std::memcpy(buffer, answer.data(), std::min(length, answer.size()));
        return true;
    }
    bool SetFeature(const uint8_t*, size_t, int&) override { return true; }
    CHidCaps Caps() const override { return m_state->caps; }
    std::vector<uint8_t> ReportDescriptor() const override { return m_state->reportDescriptor; }
    bool GetAttributes(CHidAttributes& attributes, int&) const override {
        attributes = m_state->attributes;
        return true;
    }

private:
    std::shared_ptr<CReplayPlatform::CState> m_state;
    int m_idleFd;
};

} // namespace

bool CReplayPlatform::EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int&) {
    CHidInterfaceInfo info;
    info.path = kPath;
    info.attributes = m_state->attributes;
    info.caps = m_state->caps;
    info.collections.emplace_back(m_state->caps.usagePage, m_state->caps.usage);
    info.product = "Replay";
    interfaces.push_back(info);
    return true;
}

std::unique_ptr<CHidConnection> CReplayPlatform::Open(const std::string& path, int& error) {
    if (path != kPath) {
        error = ENOENT;
        return nullptr;
    }
    auto connection = std::make_unique<CReplayConnection>(m_state);
    if (!connection->IsValid()) {
        error = errno;
        return nullptr;
    }
    return connection;
}

std::unique_ptr<CHidDeviceMonitor> CReplayPlatform::CreateMonitor(int& error) {
    error = ENOTSUP;
    return nullptr;
}
