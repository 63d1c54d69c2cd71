#pragma once

#include "device/CHidDevice.h"
#include "device/CHidPort.h"
#include "device/CNotifier.h"
#include "device/CQueuedPoster.h"
#include "output/CRecordingSink.h"
#include "platform/CHidPlatform.h"
#include "settings/CDisplaySettings.h"
#include "settings/CMemorySettingsStore.h"

#include <QWidget>

#include <memory>
#include <mutex>
#include <vector>

using CReport = std::vector<uint8_t>;

// What the reader side of the rig's interface saw: output reports and feature exchanges.
// Written by the GUI thread, read by the tests; the lock keeps the reader thread honest.
class CRigReader {
public:
    void AddWrite(const uint8_t* data, size_t length);
    std::vector<CReport> Writes() const;
    void ClearWrites();
    size_t WriteCount() const;

    bool SetFeature(const uint8_t* data, size_t length);
    bool GetFeature(uint8_t* buffer, size_t length);
    std::vector<CReport> FeatureSets() const;

    // The redirect feature is refused (as by a reader without it) while this is set.
    void SetFeatureSupported(bool supported);
    // Contents report the SurePos Sio reader serves.
    void SetContents(const CReport& contents);

private:
    mutable std::mutex m_mutex;
    std::vector<CReport> m_writes;
    std::vector<CReport> m_featureSets;
    uint8_t m_redirect = 0xFF;
    bool m_featureSupported = true;
    CReport m_contents;
};

// One open interface whose reports go to a CRigReader. Nothing is ever read from it.
class CRigPlatform : public CHidPlatform {
public:
    CRigPlatform(const CHidCaps& caps, std::shared_ptr<CRigReader> reader)
        : m_caps(caps), m_reader(std::move(reader)) {}
    bool EnumerateInterfaces(std::vector<CHidInterfaceInfo>& interfaces, int& error) override;
    std::unique_ptr<CHidConnection> Open(const std::string& path, int& error) override;
    std::unique_ptr<CHidDeviceMonitor> CreateMonitor(int& error) override;

private:
    CHidCaps m_caps;
    std::shared_ptr<CRigReader> m_reader;
};

class CRecordingNotifier : public CNotifier {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// A device of one type on an open port, its settings loaded from "Settings", with its output and
// a parent window for the panel: what a panel sees in the main dialog.
class CPanelRig {
public:
    explicit CPanelRig(DeviceType type, CMemorySettingsStore* sharedStore = nullptr);
    ~CPanelRig();

    template <class TDevice> TDevice* Device() { return static_cast<TDevice*>(m_device.get()); }
    CHidDevice* Device() { return m_device.get(); }
    void DeleteDevice() { m_device.reset(); }

    CRigReader& Reader() { return *m_reader; }
    CMemorySettingsStore& Store() { return *m_store; }
    CRecordingSink& Output() { return m_output; }
    CRecordingNotifier& Notifier() { return m_notifier; }
    QWidget& Parent() { return m_parent; }

private:
    CMemorySettingsStore m_ownStore;
    CMemorySettingsStore* m_store;
    std::shared_ptr<CRigReader> m_reader;
    std::unique_ptr<CRigPlatform> m_platform;
    CQueuedPoster m_poster;
    std::unique_ptr<CHidPort> m_port;
    CRecordingSink m_output;
    CDisplaySettings m_settings;
    CRecordingNotifier m_notifier;
    std::unique_ptr<CHidDevice> m_device;
    QWidget m_parent;
};

// Caps of the interfaces the rig offers for each type.
CHidCaps RigCaps(DeviceType type);
