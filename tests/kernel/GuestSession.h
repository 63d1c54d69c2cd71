#pragma once

// A reader opened through Vantrel's own port with a device type, as the dialog and the terminal
// tool open one, for the real-kernel guests.

#include "GuestSupport.h"
#include "device/CHidPort.h"
#include "device/CNotifier.h"
#include "device/CQueuedPoster.h"
#include "support/CRecordingSink.h"
#include "settings/CDisplaySettings.h"
#include "settings/CMemorySettingsStore.h"

#include <memory>
#include <string>
#include <vector>

namespace guest {

class CCountingNotifier : public CNotifier {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// A reader opened through Vantrel's port with a device type decoding into a recording.
template <class Device> struct CGuestSession {
    CGuestSession(CHidPlatform& platform, const std::string& path, const char* what)
        : port(platform, poster), settings(&store) {
        Check(port.Open(path, 0x07E8), "%s opens through the port (errno %d)", what,
              port.LastError());
        if (port.IsOpen()) {
            device = std::make_unique<Device>(port, sink, settings, notifier);
            device->LoadSettings("Settings");
        }
    }
    ~CGuestSession() {
        device.reset();
        port.Close();
    }
    CQueuedPoster poster;
    CReaderPort port;
    CMemorySettingsStore store;
    CDisplaySettings settings;
    CRecordingSink sink;
    CCountingNotifier notifier;
    std::unique_ptr<Device> device;
};

// A SurePos Sio interface: 2-byte notifications, 251-byte commands, a 249-byte contents feature.
const Bytes kSioDescriptor = {0x06, 0x45, 0xFF, 0x0A, 0x00, 0x64, 0xA1, 0x01, 0x15, 0x00,
                              0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x02, 0x0A, 0x01, 0x64,
                              0x81, 0x02, 0x96, 0xFB, 0x00, 0x0A, 0x02, 0x64, 0x91, 0x02,
                              0x96, 0xF9, 0x00, 0x0A, 0x03, 0x64, 0xB1, 0x02, 0xC0};

// Waits for the next report message of the port; false when none comes in time.
inline bool NextReport(CQueuedPoster& poster, CHidPort& port, CHidMessage& message, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
        if (!poster.WaitForMessage(message, 50))
            continue;
        if (message.messageId == port.MessageBase() && port.IsCurrent(message))
            return true;
    }
    return false;
}

} // namespace guest
