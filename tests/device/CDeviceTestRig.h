#pragma once

#include "core/CRecordingNotifier.h"
#include "device/CHidPort.h"
#include "device/CMessagePoster.h"
#include "output/CRecordingSink.h"
#include "settings/CDisplaySettings.h"
#include "settings/CMemorySettingsStore.h"

#include <functional>
#include <memory>
#include <string>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

// What a fake reader received and how it answers. Written on the test thread only: the port's
// reader thread just waits on a descriptor that never becomes readable.
struct CFakeReaderLog {
    std::vector<std::vector<uint8_t>> writes;
    std::vector<std::vector<uint8_t>> setFeatures;
    std::vector<std::vector<uint8_t>> getFeatureRequests; // buffer contents as the host sent them
    bool failWrites = false;
    bool failSetFeature = false;
    bool failGetFeature = false;
    // Fills a feature buffer (byte 0 = report id) for GetFeature, also when it then fails;
    // none leaves the buffer untouched.
    std::function<void(uint8_t*, size_t)> featureAnswer;
};

class CFakeReaderConnection : public CHidConnection {
public:
    CFakeReaderConnection(CFakeReaderLog& log, const CHidCaps& caps)
        : m_log(log), m_caps(caps), m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~CFakeReaderConnection() override { ::close(m_fd); }

    int PollFd() const override { return m_fd; }
    long ReadReport(uint8_t*, size_t, int& error) override {
        error = EAGAIN;
        return -1;
    }
    bool WriteReport(const uint8_t* data, size_t length, int, int& error) override {
        m_log.writes.emplace_back(data, data + length);
        error = m_log.failWrites ? EIO : 0;
        return !m_log.failWrites;
    }
    bool GetFeature(uint8_t* buffer, size_t length, int& error) override {
        m_log.getFeatureRequests.emplace_back(buffer, buffer + length);
        // A failing request may still have written into the buffer.
        if (m_log.featureAnswer)
            m_log.featureAnswer(buffer, length);
        error = m_log.failGetFeature ? EIO : 0;
        return !m_log.failGetFeature;
    }
    bool SetFeature(const uint8_t* data, size_t length, int& error) override {
        m_log.setFeatures.emplace_back(data, data + length);
        error = m_log.failSetFeature ? EIO : 0;
        return !m_log.failSetFeature;
    }
    CHidCaps Caps() const override { return m_caps; }
    bool GetAttributes(CHidAttributes&, int&) const override { return true; }

private:
    CFakeReaderLog& m_log;
    CHidCaps m_caps;
    int m_fd;
};

class CFakeReaderPlatform : public CHidPlatform {
public:
    bool EnumerateInterfaces(std::vector<CHidInterfaceInfo>&, int&) override { return true; }
    std::unique_ptr<CHidConnection> Open(const std::string&, int&) override {
        return std::make_unique<CFakeReaderConnection>(log, caps);
    }
    std::unique_ptr<CHidDeviceMonitor> CreateMonitor(int&) override { return nullptr; }

    CFakeReaderLog log;
    CHidCaps caps;
};

class CDiscardingPoster : public CMessagePoster {
public:
    void PostHidMessage(CHidMessage&&) override {}
};

// Everything a device object needs, with the port closed until OpenPort.
struct CDeviceTestRig {
    CDeviceTestRig() {
        platform.caps.inputReportByteLength = 64;
        platform.caps.outputReportByteLength = 64;
        platform.caps.featureReportByteLength = 64;
    }

    bool OpenPort() { return port.Open("fake reader", 0x7E8); }
    const std::vector<std::vector<uint8_t>>& Writes() const { return platform.log.writes; }

    CMemorySettingsStore store;
    CDisplaySettings settings{&store};
    CRecordingSink sink;
    CRecordingNotifier notifier;
    CFakeReaderPlatform platform;
    CDiscardingPoster poster;
    CHidPort port{platform, poster};
};

// `bytes` zero-padded to `length`.
inline std::vector<uint8_t> Padded(std::vector<uint8_t> bytes, size_t length) {
    if (bytes.size() < length)
        bytes.resize(length, 0);
    return bytes;
}
