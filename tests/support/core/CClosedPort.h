#pragma once

#include "device/CHidPort.h"
#include "device/CMessagePoster.h"
#include "device/CNotifier.h"

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

// A port that never opens, for driving device types without a reader: their writes do nothing
// and their messages go nowhere. Header-only, so the fuzz targets can use it too.
class CClosedPort {
public:
    CClosedPort() : m_port(m_platform, m_poster) {}
    CHidPort& Port() { return m_port; }
    CNotifier& Notifier() { return m_notifier; }

private:
    class CNoPlatform : public CHidPlatform {
    public:
        bool EnumerateInterfaces(std::vector<CHidInterfaceInfo>&, int&) override { return true; }
        std::unique_ptr<CHidConnection> Open(const std::string&, int& error) override {
            error = ENODEV;
            return nullptr;
        }
        std::unique_ptr<CHidDeviceMonitor> CreateMonitor(int&) override { return nullptr; }
    };
    class CNoPoster : public CMessagePoster {
    public:
        void PostHidMessage(CHidMessage&&) override {}
    };
    class CNoNotifier : public CNotifier {
    public:
        void ShowMessage(const std::string&) override {}
    };

    CNoPlatform m_platform;
    CNoPoster m_poster;
    CHidPort m_port;
    CNoNotifier m_notifier;
};
