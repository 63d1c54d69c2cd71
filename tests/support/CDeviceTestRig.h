// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CHidPort.h"
#include "settings/CDisplaySettings.h"
#include "settings/CMemorySettingsStore.h"
#include "support/CDiscardingPoster.h"
#include "support/CFakeHidPlatform.h"
#include "support/CRecordingNotifier.h"
#include "support/CRecordingSink.h"

#include <memory>
#include <vector>

// Everything a device object needs, with the port closed until OpenPort. The reader behind
// the port logs what the device wrote and answers feature requests from `log`; nothing is read
// unless a test sends it.
struct CDeviceTestRig {
    static constexpr const char* kPath = "fake reader";

    CDeviceTestRig() {
        caps.inputReportByteLength = 64;
        caps.outputReportByteLength = 64;
        caps.featureReportByteLength = 64;
    }

    // Opens the port on a reader with the current `caps` and `descriptor`.
    bool OpenPort() {
        CFakeInterface fake;
        fake.info.path = kPath;
        fake.info.caps = caps;
        fake.info.reportDescriptor = descriptor;
        platform.SetLoggingInterface(fake, m_log);
        return port.Open(kPath, 0x7E8);
    }
    const std::vector<std::vector<uint8_t>>& Writes() const { return log.writes; }

    CMemorySettingsStore store;
    CDisplaySettings settings{&store};
    CRecordingSink sink;
    CRecordingNotifier notifier;
    CHidCaps caps;
    std::vector<uint8_t> descriptor;

private:
    std::shared_ptr<CFakeReaderLog> m_log = std::make_shared<CFakeReaderLog>();

public:
    CFakeReaderLog& log = *m_log;
    CFakeHidPlatform platform;
    CDiscardingPoster poster;
    CHidPort port{platform, poster};
};

// `bytes` zero-padded to `length`.
inline std::vector<uint8_t> Padded(std::vector<uint8_t> bytes, size_t length) {
    if (bytes.size() < length) {
        bytes.resize(length, 0);
    }
    return bytes;
}
