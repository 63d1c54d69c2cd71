// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CHidPort.h"
#include "device/CHidPosDevice.h"
#include "device/CQueuedPoster.h"
#include "device/CQuorinDevice.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"
#include "outputwindow/COutputWindow.h"
#include "settings/CMemorySettingsStore.h"
#include "sim/CSimPlatform.h"

#include "support/CRecordingNotifier.h"
#include "support/gui/DocumentRuns.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace {

constexpr uint32_t kBase = 0x07E8;
constexpr COLORREF kLabel = RGB(0, 0, 128);
constexpr COLORREF kSymbology = RGB(0, 0, 192);
constexpr COLORREF kHex = RGB(128, 128, 128);
constexpr COLORREF kDefault = RGB(0, 0, 0);

// A simulated reader opened through the real port, its reports decoded into the real window.
class SimulatedReaderWindow : public ::testing::Test {
protected:
    SimulatedReaderWindow() {
        m_window.resize(600, 300);
        m_window.show();
        m_settings.m_showSymbology = 1;
    }

    template <class TDevice> TDevice& Open(const std::string& path) {
        EXPECT_TRUE(m_port.Open(path, kBase)) << path;
        auto device = std::make_unique<TDevice>(m_port, m_window, m_settings, m_notifier);
        TDevice& typed = *device;
        m_device = std::move(device);
        return typed;
    }

    // Hands reports to the device until the window has `lines` more lines, or 5 s have passed.
    void PumpLines(int lines) {
        const int target = m_window.document()->blockCount() + lines;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (m_window.document()->blockCount() < target &&
               std::chrono::steady_clock::now() < deadline) {
            CHidMessage message;
            if (m_poster.WaitForMessage(message, 100) && m_port.IsCurrent(message)) {
                m_device->OnReport(message.report.data(), message.report.size());
            }
        }
        m_window.FlushOutput();
        EXPECT_EQ(m_window.document()->blockCount(), target);
    }

    CSimPlatform m_platform;
    CQueuedPoster m_poster;
    CReaderPort m_port{m_platform, m_poster};
    COutputWindow m_window;
    CRecordingNotifier m_notifier;
    CMemorySettingsStore m_store;
    CDisplaySettings m_settings{&m_store};
    std::unique_ptr<CHidDevice> m_device;
};

TEST_F(SimulatedReaderWindow, HidPosScanShowsLabelAndSymbologyInTheirColours) {
    Open<CHidPosDevice>("sim:/hidpos").TriggerOn();
    PumpLines(1);
    const std::vector<CRun> expected = {{"5901234123457", kLabel, true},
                                        {" - ", kDefault, false},
                                        {"EAN/UPC", kSymbology, false},
                                        kLineEnd};
    EXPECT_EQ(Runs(*m_window.document()), expected);
}

TEST_F(SimulatedReaderWindow, QuorinMenuReplyShowsControlBytesAsHexGroups) {
    Open<CQuorinDevice>("sim:/quorin").SendString("\\x16M\\rTERMID?.");
    PumpLines(1);
    const std::vector<CRun> expected = {
        {"TERMID130", kLabel, true}, {"[06]", kHex, true}, {".", kLabel, true}, kLineEnd};
    EXPECT_EQ(Runs(*m_window.document()), expected);
}

TEST_F(SimulatedReaderWindow, SurePosStatusAsBoldHexThenALabelWithItsType) {
    m_settings.m_showRaw = 1;
    Open<CSurePosDevice>("sim:/surepos").StatusRequest();
    PumpLines(2);
    const std::vector<CRun> expected = {{"[08][04][00][00][01][01][00][00]", kHex, false},
                                        {" - ", kDefault, false},
                                        {"[01][01][00][00]", kHex, true},
                                        kLineEnd,
                                        {"[11][00][00][00][30][31][32][33][34][35][36][37][38]"
                                         "[39][30][35][0D]",
                                         kHex, false},
                                        {" - ", kDefault, false},
                                        {"012345678905", kLabel, true},
                                        {" - ", kDefault, false},
                                        {"UPC-A", kSymbology, false},
                                        kLineEnd};
    EXPECT_EQ(Runs(*m_window.document()), expected);
}

TEST_F(SimulatedReaderWindow, SurePosSioAutoReadShowsTheWaitingLabel) {
    Open<CSurePosSioDevice>("sim:/surepos-sio").SetAutoRead(1);
    PumpLines(2);
    const std::vector<CRun> expected = {kLineEnd, {"012345678905", kLabel, true}, kLineEnd};
    EXPECT_EQ(Runs(*m_window.document()), expected);
}

} // namespace
