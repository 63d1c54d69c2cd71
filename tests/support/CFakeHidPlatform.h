// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/CHidPlatform.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The device side of one open fake interface: a SOCK_SEQPACKET socket pair, so the port's
// reader thread polls and reads exactly as it does on hidraw (one report per read).
class CFakeHidLink {
public:
    CFakeHidLink(int hostFd, int deviceFd) : m_hostFd(hostFd), m_deviceFd(deviceFd) {}
    ~CFakeHidLink();
    CFakeHidLink(const CFakeHidLink&) = delete;
    CFakeHidLink& operator=(const CFakeHidLink&) = delete;

    // Sends one input report to the host, byte 0 = report id. False once unplugged.
    bool SendInput(const std::vector<uint8_t>& report);
    // Takes one output report the host wrote, waiting at most `timeoutMs`.
    bool ReadOutput(std::vector<uint8_t>& report, int timeoutMs);
    // The reader goes away: the host sees a hang-up and its reads fail with ENODEV.
    void Unplug();
    // Fills the host's send queue so that its next write cannot go out until the device reads.
    void StallOutput();

    int HostFd() const { return m_hostFd; }

private:
    const int m_hostFd;
    std::atomic<int> m_deviceFd;
};

// What a logging reader received and how it answers, for tests that look at each write as it
// happens. Used on the thread that writes only.
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

// One interface the fake platform offers.
struct CFakeInterface {
    CHidInterfaceInfo info;
    int openError = 0;       // errno that Open gives, e.g. EACCES; 0 opens
    bool goneOnOpen = false; // opens, but the device has already gone: the first read fails
};

// The one CHidPlatform of the tests, benchmarks and fuzz targets: a set of interfaces, each
// opened as a socket pair. Thread-safe where the port needs it (its reader reads while the test
// writes).
class CFakeHidPlatform : public CHidPlatform {
public:
    void AddInterface(const CFakeInterface& fake);
    // Replaces the interface of the same path, or adds it; open links keep what they had.
    // Its writes and feature requests then go to `log` instead of the device side of the link;
    // input reports still come through the link.
    void SetLoggingInterface(const CFakeInterface& fake, std::shared_ptr<CFakeReaderLog> log);
    // Removes the interface from enumeration and unplugs every open link to it.
    void Unplug(const std::string& path);
    void SetEnumerateError(int error) { m_enumerateError = error; }

    bool EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int& error) override;
    std::unique_ptr<CHidConnection> Open(const std::string& path, int& error) override;
    std::unique_ptr<CHidDeviceMonitor> CreateMonitor(int& error) override;

    // Keyboard layouts: none until a test gives a translator factory and the desktop's layout.
    using CTranslatorFactory =
        std::function<std::unique_ptr<CKeyTranslator>(const std::string& layout, int& error)>;
    void SetKeyTranslators(CTranslatorFactory factory, std::string desktopLayout) {
        m_translators = std::move(factory);
        m_desktopLayout = std::move(desktopLayout);
    }
    std::string DesktopKeyLayout() const override { return m_desktopLayout; }
    std::unique_ptr<CKeyTranslator> CreateKeyTranslator(const std::string& layout,
                                                        int& error) override {
        return m_translators ? m_translators(layout, error)
                             : CHidPlatform::CreateKeyTranslator(layout, error);
    }

    // The device side of the most recent open of `path`; null when it was never opened.
    std::shared_ptr<CFakeHidLink> Link(const std::string& path) const;
    int OpenCount() const { return m_openCount; }
    // The write time-out the port passed with its last write.
    int LastWriteTimeout() const { return m_lastWriteTimeout.load(); }

private:
    friend class CFakeHidConnection;
    struct COpened {
        std::string path;
        std::shared_ptr<CFakeHidLink> link;
    };
    mutable std::mutex m_mutex;
    std::vector<CFakeInterface> m_interfaces;
    std::vector<std::pair<std::string, std::shared_ptr<CFakeReaderLog>>> m_logs;
    std::vector<COpened> m_opened;
    int m_enumerateError = 0;
    int m_openCount = 0;
    std::atomic<int> m_lastWriteTimeout{-1};
    CTranslatorFactory m_translators;
    std::string m_desktopLayout = "us";
};

// Interface info with the usual fields, for building test sets.
CHidInterfaceInfo MakeInterfaceInfo(const std::string& path, uint16_t vendorId, uint16_t productId,
                                    uint16_t usagePage, uint16_t usage, const std::string& product,
                                    const std::string& serial,
                                    const std::string& interfaceNumber = std::string(),
                                    uint16_t inputLength = 64, uint16_t outputLength = 64);
