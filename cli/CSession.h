#pragma once

#include "cli/CReaderLookup.h"
#include "cli/CStderrNotifier.h"
#include "device/CHidDevice.h"
#include "device/CHidPort.h"
#include "device/CQueuedPoster.h"
#include "settings/CDisplaySettings.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

class COutputSink;
class CRecordingWriter;

// An open reader with its device type, decoding what it sends into a sink.
class CSession {
public:
    using Clock = std::chrono::steady_clock;
    // The messages of the session's reader thread.
    static constexpr uint32_t kReportMessage = 0x07E8;
    static constexpr uint32_t kReadErrorMessage = kReportMessage + 1;

    CSession(CHidPlatform& platform, CSettingsStore& store, COutputSink& sink,
             CErrorReporter& errors);
    ~CSession();

    // Opens the chosen reader and makes its device type. False with the reason reported.
    bool Open(const CReaderLookup::CChoice& choice);

    // Decodes what the reader sends until `until`, or until `stop` is set. False when the reader
    // failed (the read error is reported).
    bool Pump(Clock::time_point until, const std::atomic<bool>& stop, CRecordingWriter* recorder);

    CHidPort& Port() { return m_port; }
    CHidDevice* Device() { return m_device.get(); }
    const std::string& Name() const { return m_name; }
    const std::string& Path() const { return m_path; }
    // How many messages the device layer showed.
    int Failures() const { return m_notifier.Count(); }

private:
    CQueuedPoster m_poster;
    CReaderPort m_port;
    CDisplaySettings m_settings;
    COutputSink& m_sink;
    CErrorReporter& m_errors;
    CStderrNotifier m_notifier;
    std::unique_ptr<CHidDevice> m_device;
    std::string m_name;
    std::string m_path;
};

// The message for a reader that could not be opened, with what to do about denied access.
std::string OpenFailure(const std::string& name, const std::string& path, int code);
// The system's text for an errno value.
std::string ErrorText(int code);
