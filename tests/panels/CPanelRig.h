#pragma once

#include "support/CRecordingNotifier.h"
#include "device/CHidDevice.h"
#include "device/CHidPort.h"
#include "device/CQueuedPoster.h"
#include "support/CRecordingSink.h"
#include "sim/CSimPlatform.h"
#include "settings/CDisplaySettings.h"
#include "settings/CMemorySettingsStore.h"

#include <QWidget>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

using CReport = std::vector<uint8_t>;

// What the simulated reader received: output reports and feature reports set, in order. Filled
// on the simulator's thread, read by the tests.
class CRigReader {
public:
    void AddWrite(const uint8_t* data, size_t length);
    void AddFeatureSet(const uint8_t* data, size_t length);
    std::vector<CReport> Writes() const;
    size_t WriteCount() const;
    std::vector<CReport> FeatureSets() const;
    void ClearWrites();
    // How many fence reports (see CPanelRig::SettledWrites) have arrived.
    size_t Fences() const;

    // While unsupported, every feature request fails, as with a reader without the redirect.
    void SetFeatureSupported(bool supported);
    bool FeatureSupported() const;
    // Contents the reader serves instead of its own, when set.
    void SetContents(const CReport& contents);
    CReport Contents() const;

private:
    mutable std::mutex m_mutex;
    std::vector<CReport> m_writes;
    std::vector<CReport> m_featureSets;
    bool m_featureSupported = true;
    CReport m_contents;
    size_t m_fences = 0;
};

// A simulated reader of one type whose firmware records what reaches it in `reader`.
CSimReaderDefinition RigReaderDefinition(DeviceType type, std::shared_ptr<CRigReader> reader,
                                         const std::string& path);

// A simulated reader of one type, opened through the real port, and its device object with the
// settings loaded from "Settings", its output, and a parent window for the panel: what a panel
// sees in the main dialog.
class CPanelRig {
public:
    explicit CPanelRig(DeviceType type, CMemorySettingsStore* sharedStore = nullptr);
    ~CPanelRig();

    template <class TDevice> TDevice* Device() { return static_cast<TDevice*>(m_device.get()); }
    CHidDevice* Device() { return m_device.get(); }
    void DeleteDevice() { m_device.reset(); }

    // Waits until everything the host has written so far has reached the reader and returns
    // what arrived since the last ClearWrites.
    std::vector<CReport> SettledWrites();
    // Forgets what the reader received, once all that was written has arrived.
    void ClearWrites() {
        SettledWrites();
        m_reader->ClearWrites();
    }
    size_t OutputReportLength() const { return m_port.GetCaps().outputReportByteLength; }

    CRigReader& Reader() { return *m_reader; }
    CMemorySettingsStore& Store() { return *m_store; }
    CRecordingSink& Output() { return m_output; }
    CRecordingNotifier& Notifier() { return m_notifier; }
    QWidget& Parent() { return m_parent; }

private:
    CMemorySettingsStore m_ownStore;
    CMemorySettingsStore* m_store;
    std::shared_ptr<CRigReader> m_reader;
    CSimPlatform m_platform;
    CQueuedPoster m_poster;
    CHidPort m_port;
    CRecordingSink m_output;
    CDisplaySettings m_settings;
    CRecordingNotifier m_notifier;
    std::unique_ptr<CHidDevice> m_device;
    QWidget m_parent;
};
