// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CKeyboardDevice.h"

#include "device/CHidPort.h"
#include "output/COutputSink.h"
#include "settings/CSettingsStore.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

const std::string kEnter = "\r";
const std::string kTab = "\t";

const uint8_t* Bytes(const std::string& text) {
    return reinterpret_cast<const uint8_t*>(text.data());
}

} // namespace

CKeyboardDevice::CKeyboardDevice(CHidPort& port, COutputSink& output, CDisplaySettings& settings,
                                 CNotifier& notifier)
    : CHidDevice(port, output, settings, notifier) {
    if (!SetLayout(std::string()) && SetLayout(kReaderLayout)) {
        m_chosenLayout.clear();
    }
}

CKeyboardDevice::~CKeyboardDevice() {
    SaveSettings();
}

int32_t CKeyboardDevice::RedirectToInterface(int) {
    return 0;
}
int32_t CKeyboardDevice::TriggerOn() {
    return 0;
}
int32_t CKeyboardDevice::TriggerOff() {
    return 0;
}
int32_t CKeyboardDevice::Disable() {
    return 0;
}
int32_t CKeyboardDevice::Enable() {
    return 0;
}
int32_t CKeyboardDevice::Beep() {
    return 0;
}
int32_t CKeyboardDevice::ErrorBeep() {
    return 0;
}
int32_t CKeyboardDevice::SendData(const uint8_t*, size_t) {
    return 0;
}

void CKeyboardDevice::LoadSettings(const std::string& section) {
    CHidDevice::LoadSettings(section);
    m_section = section;
    CSettingsStore* store = m_settings.Store();
    if (!store) {
        return;
    }
    m_chosenLayout = store->GetProfileString(section, kLayoutKey, "");
    if (!SetLayout(m_chosenLayout)) {
        m_chosenLayout.clear();
    }
    m_pauseMs = std::max(0, store->GetProfileInt(section, kPauseKey, kDefaultPauseMs));
    m_endOnEnter = store->GetProfileInt(section, kEndOnEnterKey, 1) != 0;
    m_endOnTab = store->GetProfileInt(section, kEndOnTabKey, 1) != 0;
    if (store->GetProfileInt(section, kGrabKey, 0) != 0) {
        SetGrab(true);
    }
}

void CKeyboardDevice::SaveSettings() {
    CSettingsStore* store = m_settings.Store();
    if (m_section.empty() || !store) {
        return;
    }
    store->WriteProfileString(m_section, kLayoutKey, m_chosenLayout);
    store->WriteProfileInt(m_section, kPauseKey, m_pauseMs);
    store->WriteProfileInt(m_section, kEndOnEnterKey, m_endOnEnter ? 1 : 0);
    store->WriteProfileInt(m_section, kEndOnTabKey, m_endOnTab ? 1 : 0);
    store->WriteProfileInt(m_section, kGrabKey, m_grabbed ? 1 : 0);
    store->Flush();
}

bool CKeyboardDevice::SetLayout(const std::string& layout) {
    CHidPlatform& platform = m_port.Platform();
    const std::string name = layout.empty() ? platform.DesktopKeyLayout() : layout;
    int error = 0;
    std::unique_ptr<CKeyTranslator> typed = platform.CreateKeyTranslator(name, error);
    if (!typed) {
        return false;
    }
    std::unique_ptr<CKeyTranslator> reader;
    if (name != kReaderLayout) {
        reader = platform.CreateKeyTranslator(kReaderLayout, error);
    }
    if (m_label.keys > 0) {
        EndLabel(std::string());
    }
    m_typed = std::move(typed);
    m_reader = std::move(reader);
    m_layout = name;
    m_chosenLayout = layout;
    return true;
}

std::vector<std::string> CKeyboardDevice::Layouts() const {
    return m_port.Platform().KeyLayouts();
}

int32_t CKeyboardDevice::SetGrab(bool grab) {
    if (!m_port.SetGrab(grab)) {
        m_grabbed = false;
        return 0;
    }
    m_grabbed = grab;
    return 1;
}

uint64_t CKeyboardDevice::NowUs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint64_t(now.tv_sec) * 1000000u + uint64_t(now.tv_nsec) / 1000u;
}

bool CKeyboardDevice::IsPausedAt(uint64_t nowUs) const {
    return m_label.keys > 0 && m_pauseMs > 0 &&
           nowUs > m_label.lastUs + uint64_t(m_pauseMs) * 1000u;
}

void CKeyboardDevice::OnIdle(uint64_t nowUs) {
    if (IsPausedAt(nowUs)) {
        EndLabel(std::string());
    }
}

int32_t CKeyboardDevice::OnReport(const uint8_t* report, size_t length) {
    if (length == 0) {
        return 1;
    }
    if (report[0] == 0x00) {
        return DecodeReport(report + 1, length - 1);
    }
    char text[48];
    const int n = std::snprintf(text, sizeof text, "Got Wrong Report ID: %i\r", int(report[0]));
    ShowText(Bytes(text), size_t(n), OutputRole::Raw, false);
    return 1;
}

int32_t CKeyboardDevice::DecodeReport(const uint8_t* body, size_t length) {
    CKeyEvent event;
    if (!DecodeKeyEvent(body, length, event)) {
        ShowString("Not a key event: ", OutputRole::Raw, false);
        ShowHex(body, length, false);
        m_output.AppendNewLine();
        m_output.ScrollToEnd();
        return 1;
    }
    OnKey(event);
    return 1;
}

void CKeyboardDevice::OnKey(const CKeyEvent& event) {
    if (!m_typed) {
        return;
    }
    if (event.value == CKeyValue::Release) {
        m_typed->Feed(event.code, false);
        if (m_reader) {
            m_reader->Feed(event.code, false);
        }
        return;
    }
    if (m_label.keys > 0 && m_pauseMs > 0 &&
        event.timeUs > m_label.lastUs + uint64_t(m_pauseMs) * 1000u) {
        EndLabel(std::string());
    }
    const std::string typed = m_typed->Feed(event.code, true);
    const std::string reader = m_reader ? m_reader->Feed(event.code, true) : std::string();
    if (m_label.keys == 0) {
        m_label.firstUs = event.timeUs;
    } else if (event.timeUs > m_label.lastUs) {
        m_label.longestGapUs = std::max(m_label.longestGapUs, event.timeUs - m_label.lastUs);
    }
    m_label.lastUs = std::max(m_label.lastUs, event.timeUs);
    ++m_label.keys;
    if ((typed == kEnter && m_endOnEnter) || (typed == kTab && m_endOnTab)) {
        EndLabel(typed);
        return;
    }
    m_label.typed += typed;
    m_label.reader += reader;
}

void CKeyboardDevice::EndLabel(const std::string& terminator) {
    ShowLabel(Bytes(m_label.typed), m_label.typed.size());
    if (!terminator.empty()) {
        ShowHex(Bytes(terminator), terminator.size(), false);
    }
    ShowTiming();
    if (m_reader && m_label.reader != m_label.typed) {
        ShowString(" - typed as ", OutputRole::Default, false);
        ShowQuoted(m_label.typed);
        ShowString(" under " + m_layout + ", as ", OutputRole::Default, false);
        ShowQuoted(m_label.reader);
        ShowString(std::string(" under ") + kReaderLayout, OutputRole::Default, false);
    }
    m_output.AppendNewLine();
    m_output.ScrollToEnd();
    m_label = CLabel();
}

void CKeyboardDevice::ShowTiming() {
    char text[96];
    const uint64_t spanUs = m_label.lastUs - m_label.firstUs;
    int n = 0;
    if (m_label.keys < 2 || spanUs == 0) {
        n = std::snprintf(text, sizeof text, " - %d key%s", m_label.keys,
                          m_label.keys == 1 ? "" : "s");
    } else {
        const double perSecond = double(m_label.keys - 1) * 1e6 / double(spanUs);
        n = std::snprintf(text, sizeof text, " - %d keys, %.0f keys/s, longest gap %.1f ms",
                          m_label.keys, perSecond, double(m_label.longestGapUs) / 1000.0);
    }
    ShowString(std::string(text, size_t(std::max(n, 0))), OutputRole::Default, false);
}

void CKeyboardDevice::ShowQuoted(const std::string& text) {
    ShowString("\"", OutputRole::Default, false);
    ShowText(Bytes(text), text.size(), OutputRole::Default, false);
    ShowString("\"", OutputRole::Default, false);
}
