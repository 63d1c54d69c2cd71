// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "device/CHidDevice.h"
#include "platform/CKeyTranslator.h"
#include "platform/KeyReport.h"

#include <memory>
#include <string>
#include <vector>

// A reader in keyboard mode: it types each label as key events. The device turns them into
// text under a chosen layout and cuts them into labels at Enter, at Tab or at a pause. Each
// label line tells the typing speed and the longest gap between keys, and, when the reader's
// usual layout (US) types the label differently, both texts. It takes no commands.
class CKeyboardDevice : public CHidDevice {
public:
    // The layout a reader types under unless it has been set up for another.
    static constexpr const char* kReaderLayout = "us";
    static constexpr int kDefaultPauseMs = 50;
    // Keys of the settings section.
    static constexpr const char* kLayoutKey = "KeyboardLayout";
    static constexpr const char* kPauseKey = "KeyboardPauseMs";
    static constexpr const char* kEndOnEnterKey = "KeyboardEndOnEnter";
    static constexpr const char* kEndOnTabKey = "KeyboardEndOnTab";
    static constexpr const char* kGrabKey = "KeyboardGrab";

    // Starts under the desktop's layout.
    CKeyboardDevice(CHidPort& port, COutputSink& output, CDisplaySettings& settings,
                    CNotifier& notifier);
    ~CKeyboardDevice() override;

    DeviceType Type() const override { return DeviceType::Keyboard; }

    // A reader in keyboard mode listens to no host: every command does nothing (0).
    int32_t RedirectToInterface(int interfaceNumber) override;
    int32_t TriggerOn() override;
    int32_t TriggerOff() override;
    int32_t Disable() override;
    int32_t Enable() override;
    int32_t Beep() override;
    int32_t ErrorBeep() override;
    int32_t SendData(const uint8_t* data, size_t length) override;

    // Settings: the layout (empty: the desktop's), the pause, the terminators and the grab.
    void LoadSettings(const std::string& section) override;
    void SaveSettings() override;

    int32_t OnReport(const uint8_t* report, size_t length) override;
    // `body` is the key report from byte 1: key code, value, time.
    int32_t DecodeReport(const uint8_t* body, size_t length) override;

    // Types from now on under `layout`; empty takes the desktop's. A label being typed ends
    // first. False (the layout stays) when the platform has no keymap for it.
    bool SetLayout(const std::string& layout);
    const std::string& Layout() const { return m_layout; }
    // The layouts the platform offers, to choose from.
    std::vector<std::string> Layouts() const;
    const CHidPort& Port() const { return m_port; }

    // Takes the reader for this program alone while it is open, or gives it back. 1 when done;
    // 0 with the port's LastError() when the reader cannot be taken.
    int32_t SetGrab(bool grab);
    bool IsGrabbed() const { return m_grabbed; }

    void SetPauseMs(int pauseMs) { m_pauseMs = pauseMs; }
    int PauseMs() const { return m_pauseMs; }
    void SetEndOnEnter(bool end) { m_endOnEnter = end; }
    bool EndsOnEnter() const { return m_endOnEnter; }
    void SetEndOnTab(bool end) { m_endOnTab = end; }
    bool EndsOnTab() const { return m_endOnTab; }

    // Ends the label being typed when its last key is a pause older than `nowUs`, a time of
    // the monotonic clock in microseconds (NowUs()). The owner calls it every few ms.
    void OnIdle(uint64_t nowUs);
    // True when OnIdle(nowUs) ends a label: owners that tag or publish output prepare only then.
    bool IsPausedAt(uint64_t nowUs) const;
    static uint64_t NowUs();

private:
    struct CLabel {
        std::string typed;  // under the chosen layout
        std::string reader; // under the reader's layout, when that is another
        int keys = 0;
        uint64_t firstUs = 0;
        uint64_t lastUs = 0;
        uint64_t longestGapUs = 0;
    };

    void OnKey(const CKeyEvent& event);
    // Shows the label typed so far, ended by `terminator` (empty: by a pause), and starts anew.
    void EndLabel(const std::string& terminator);
    void ShowTiming();
    void ShowQuoted(const std::string& text);

    std::string m_layout;       // the layout typed under
    std::string m_chosenLayout; // as chosen: empty for the desktop's
    std::unique_ptr<CKeyTranslator> m_typed;
    std::unique_ptr<CKeyTranslator> m_reader;
    CLabel m_label;
    int m_pauseMs = kDefaultPauseMs;
    bool m_endOnEnter = true;
    bool m_endOnTab = true;
    bool m_grabbed = false;
    std::string m_section;
};
