#include "cli/CSession.h"

#include "cli/CRecording.h"
#include "device/CHidDeviceFactory.h"

#include <cerrno>
#include <cstring>

std::string ErrorText(int code) {
    return code ? std::string(std::strerror(code)) : std::string("unknown error");
}

std::string OpenFailure(const std::string& name, const std::string& path, int code) {
    std::string text = "cannot open \"" + name + "\"";
    if (path != name)
        text += " (" + path + ")";
    text += ": " + ErrorText(code);
    if (code == EACCES || code == EPERM)
        text += ". Access to the reader was denied: install Vantrel's udev rule (see \"Real "
                "readers\" in the README or vantrel-cli(1)) and plug the reader in again";
    return text;
}

CSession::CSession(CHidPlatform& platform, CSettingsStore& store, COutputSink& sink,
                   CErrorReporter& errors)
    : m_port(platform, m_poster), m_settings(&store), m_sink(sink), m_errors(errors),
      m_notifier(errors) {}

CSession::~CSession() {
    m_device.reset();
    m_port.Close();
}

bool CSession::Open(const CReaderLookup::CChoice& choice) {
    m_name = choice.name;
    m_path = choice.path;
    m_port.Enumerate(nullptr, "", true);
    if (!m_port.Open(m_name, kReportMessage)) {
        m_errors.Report(OpenFailure(m_name, m_path, m_port.LastError()));
        return false;
    }
    m_settings.Load("Settings");
    const CHidCaps& caps = m_port.GetCaps();
    m_device = CreateHidDevice(SelectDeviceType(caps.usagePage, caps.usage), m_port, m_sink,
                               m_settings, m_notifier);
    if (m_device)
        m_device->LoadSettings("Settings");
    return true;
}

bool CSession::Pump(Clock::time_point until, const std::atomic<bool>& stop,
                    CRecordingWriter* recorder) {
    CHidMessage message;
    while (!stop.load() && Clock::now() < until) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        if (!m_poster.WaitForMessage(message, int(std::min<long long>(left.count(), 100))))
            continue;
        if (!m_port.IsCurrent(message))
            continue;
        if (message.messageId == kReadErrorMessage) {
            m_errors.Report("reading \"" + m_name + "\" failed: " + ErrorText(message.errorCode));
            return false;
        }
        if (recorder)
            recorder->WriteInput(message.report);
        if (m_device)
            m_device->OnReport(message.report.data(), message.report.size());
    }
    return true;
}
