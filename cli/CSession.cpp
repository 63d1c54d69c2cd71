// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "cli/CSession.h"

#include "device/CKeyboardDevice.h"

#include "device/CHidDeviceFactory.h"
#include "device/ErrorText.h"

#include <cerrno>

std::string OpenFailure(const std::string& name, const std::string& path, int code) {
    std::string text = "cannot open \"" + name + "\"";
    if (path != name) {
        text += " (" + path + ")";
    }
    text += ": " + ErrnoText(code);
    if (code == EACCES || code == EPERM) {
        text += ". Access to the reader was denied: install Vantrel's udev rule (see \"Real "
                "readers\" in the README or vantrel-cli(1)) and plug the reader in again";
    }
    return text;
}

CMessageQueueBound& CSessionQueue::Bound(int session) {
    return m_bounds.try_emplace(session, m_boundBytes).first->second;
}

void CSessionQueue::Post(int session, CHidMessage&& message) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!Bound(session).Admit(message)) {
            return;
        }
        m_messages.emplace_back(session, std::move(message));
    }
    m_posted.notify_one();
}

uint64_t CSessionQueue::PendingDrops(int session) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return Bound(session).PendingDrops();
}

bool CSessionQueue::Wait(int& session, CHidMessage& message, int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_posted.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return !m_messages.empty(); })) {
        return false;
    }
    session = m_messages.front().first;
    Bound(session).Release(m_messages.front().second);
    message = std::move(m_messages.front().second);
    m_messages.pop_front();
    return true;
}

CSession::CSession(CHidPlatform& platform, CSettingsStore& store, COutputSink& sink,
                   CErrorReporter& errors, CSessionQueue& queue, int index)
    : m_poster(queue, index), m_port(platform, m_poster), m_settings(&store), m_sink(sink),
      m_errors(errors), m_notifier(errors) {}

CSession::~CSession() {
    m_device.reset();
    m_port.Close();
}

bool CSession::Open(const CReaderLookup::CChoice& choice) {
    m_name = choice.name;
    m_path = choice.path;
    m_port.Enumerate(nullptr, "", true);
    if (!m_port.Open(m_name, kMessageBase)) {
        m_errors.Report(OpenFailure(m_name, m_path, m_port.LastError()));
        return false;
    }
    m_settings.Load("Settings");
    const CHidCaps& caps = m_port.GetCaps();
    m_device = CreateHidDevice(SelectDeviceType(caps.usagePage, caps.usage), m_port, m_sink,
                               m_settings, m_notifier);
    if (m_device) {
        m_device->LoadSettings("Settings");
    }
    return true;
}

CSession::Message CSession::Classify(const CHidMessage& message) {
    if (!m_port.IsCurrent(message)) {
        return Message::Stale;
    }
    if (message.messageId == HidMessageId(kMessageBase, CHidMessageKind::Error)) {
        m_errors.Report("reading \"" + m_name + "\" failed: " + ErrnoText(message.errorCode));
        return Message::Failed;
    }
    return Message::Report;
}

CKeyboardDevice* CSession::Keyboard() {
    return m_device && m_device->Type() == DeviceType::Keyboard
               ? static_cast<CKeyboardDevice*>(m_device.get())
               : nullptr;
}

void CSession::Decode(const std::vector<uint8_t>& report, Clock::time_point readTime) {
    if (m_device) {
        m_device->OnReportAt(report.data(), report.size(), readTime);
    }
}
