// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CHidPort.h"
#include "device/CHidPosDevice.h"
#include "device/CKeyboardDevice.h"
#include "device/CQueuedPoster.h"
#include "device/CQuorinDevice.h"
#include "device/CSurePosDevice.h"
#include "device/CSurePosSioDevice.h"
#include "sim/CSimPlatform.h"

#include "support/CReaderRig.h"

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include <chrono>
#include <memory>

namespace {

using Ins = CRecordingSink::CInsertion;
constexpr uint32_t kBase = 0x07E8;
constexpr OutputRole kLabel = OutputRole::Label;
constexpr OutputRole kSymbology = OutputRole::Symbology;
constexpr OutputRole kHex = OutputRole::Hex;

// The default simulated readers, opened through the real port, with reports handed to the
// device on this thread as the main dialog does.
class SimulatedReaderEndToEnd : public ::testing::Test {
protected:
    template <class TDevice> TDevice& Open(const std::string& path) {
        EXPECT_TRUE(rig.port.Open(path, kBase)) << path << ": " << rig.port.LastError();
        auto device = std::make_unique<TDevice>(rig.port, rig.sink, rig.settings, rig.notifier);
        TDevice& typed = *device;
        m_device = std::move(device);
        return typed;
    }

    // Hands reports to the device until `lines` more lines have ended, or 5 s have passed.
    void PumpLines(size_t lines) {
        const size_t target = Lines() + lines;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (Lines() < target && std::chrono::steady_clock::now() < deadline) {
            CHidMessage message;
            if (!rig.poster.WaitForMessage(message, 100) || !rig.port.IsCurrent(message)) {
                continue;
            }
            ASSERT_EQ(message.messageId, kBase) << "read error " << message.errorCode;
            m_device->OnReport(message.report.data(), message.report.size());
        }
        EXPECT_EQ(Lines(), target);
    }
    // True when no report arrives within `ms`.
    bool StaysQuiet(int ms) {
        CHidMessage message;
        return !rig.poster.WaitForMessage(message, ms);
    }
    size_t Lines() const {
        size_t lines = 0;
        for (const Ins& i : rig.sink.Insertions()) {
            lines += i.text == "\r\n";
        }
        return lines;
    }

    CReaderRig<CSimPlatform> rig;
    std::unique_ptr<CHidDevice> m_device;
};

TEST_F(SimulatedReaderEndToEnd, HidPosTriggerScansALabelWithItsSymbology) {
    auto& device = Open<CHidPosDevice>("sim:/hidpos");
    rig.settings.m_showSymbology = 1;
    EXPECT_EQ(device.RedirectToInterface(1), 1);
    EXPECT_EQ(device.RedirectToInterface(0), 1);

    device.Disable();
    device.TriggerOn();
    EXPECT_TRUE(StaysQuiet(600));
    device.Enable();
    device.TriggerOn();
    PumpLines(1);
    const std::vector<Ins> expected = {{"5901234123457", kLabel, true},
                                       {" - ", OutputRole::Default, false},
                                       {"EAN/UPC", kSymbology, false},
                                       {"\r\n", OutputRole::Default, false}};
    EXPECT_EQ(rig.sink.Insertions(), expected);
    EXPECT_TRUE(rig.notifier.Messages().empty());
}

TEST_F(SimulatedReaderEndToEnd, QuorinStreamsLabelsAndMenuReplies) {
    auto& device = Open<CQuorinDevice>("sim:/quorin");
    rig.settings.m_showRaw = 1;
    device.TriggerOn();
    PumpLines(1);
    device.SendString("\\x16M\\rTERMID?.");
    PumpLines(1);
    EXPECT_EQ(rig.sink.Text(),
              "[02][0D][35][39][30][31][32][33][34][31][32][33][34][35][37] - 5901234123457\r\n"
              "[02][0B][54][45][52][4D][49][44][31][33][30][06][2E] - TERMID130[06].\r\n");
}

TEST_F(SimulatedReaderEndToEnd, SurePosAnswersStatusAndReadsLabelsWhileEnabled) {
    auto& device = Open<CSurePosDevice>("sim:/surepos");
    rig.settings.m_showSymbology = 1;
    device.StatusRequest();
    PumpLines(1);
    EXPECT_EQ(rig.sink.Insertions()[0], (Ins{"[01][01][00][00]", kHex, true}));
    PumpLines(1);
    EXPECT_EQ(rig.sink.Text(), "[01][01][00][00]\r\n012345678905 - UPC-A\r\n");

    device.Disable();
    device.Configure();
    PumpLines(1);
    EXPECT_TRUE(StaysQuiet(2000));
    EXPECT_EQ(rig.sink.Text().substr(rig.sink.Text().rfind("UPC-A\r\n") + 7),
              "[FF][7F][00][15][00][00][CA][20][01]\r\n");
}

TEST_F(SimulatedReaderEndToEnd, SurePosSioReadsTheContentsWhenDataIsWaiting) {
    auto& device = Open<CSurePosSioDevice>("sim:/surepos-sio");
    rig.settings.m_showRaw = 1;
    device.SetAutoRead(1);
    PumpLines(2);
    EXPECT_EQ(rig.sink.Text(),
              "[10][00] - \r\n[0E][00][30][31][32][33][34][35][36][37][38][39][30][35] - "
              "012345678905\r\n");

    device.StatusRequest();
    PumpLines(2);
    EXPECT_EQ(rig.sink.Text().substr(rig.sink.Text().rfind("012345678905\r\n") + 14),
              "[20][01] - \r\n[05][00][20][00][01] -  [00][01]\r\n");
}

// The keyboard-mode reader types for a US layout; read under a German one, each label line says
// what the reader meant. Unplugged, its read fails; plugged back, it types on.
TEST_F(SimulatedReaderEndToEnd, KeyboardModeReaderTypesLabelsReadUnderTheChosenLayout) {
    auto& device = Open<CKeyboardDevice>("sim:/keyboard-mode");
    ASSERT_TRUE(device.SetLayout("de"));
    PumpLines(2);
    EXPECT_EQ(rig.sink.Text(),
              "Vantrel\xDFYzx-42[0D] - 17 keys, 250 keys/s, longest gap 6.0 ms - typed as "
              "\"Vantrel\xDFYzx-42\" under de, as \"Vantrel-Zyx/42\" under us\r\n"
              "0109501101020917+10ABC123+21SN7[0D] - 39 keys, 250 keys/s, longest gap 6.0 ms - "
              "typed as \"0109501101020917+10ABC123+21SN7\" under de, as "
              "\"0109501101020917[1D]10ABC123[1D]21SN7\" under us\r\n");

    ASSERT_TRUE(rig.platform.Unplug("sim:/keyboard-mode"));
    CHidMessage message;
    while (rig.poster.WaitForMessage(message, 2000) &&
           message.messageId != HidMessageId(kBase, CHidMessageKind::Error)) {
    }
    EXPECT_EQ(message.errorCode, ENODEV);
    m_device.reset();
    rig.port.Close();
    ASSERT_TRUE(rig.platform.Plug("sim:/keyboard-mode"));
    auto& again = Open<CKeyboardDevice>("sim:/keyboard-mode");
    ASSERT_TRUE(again.SetLayout("us"));
    rig.sink.Clear();
    PumpLines(1);
    EXPECT_NE(rig.sink.Text().find("[0D] - "), std::string::npos) << rig.sink.Text();
    EXPECT_EQ(rig.sink.Text().find("typed as"), std::string::npos) << rig.sink.Text();
}

// While one port holds a keyboard, another open of it reads nothing; released, both read. The
// keys come from the test, on the ordinary simulated keyboard, which types nothing by itself.
TEST_F(SimulatedReaderEndToEnd, AGrabbedKeyboardTypesForItsHolderAlone) {
    auto& device = Open<CKeyboardDevice>("sim:/keyboard");
    ASSERT_TRUE(device.SetLayout("us"));
    CQueuedPoster otherPoster;
    CHidPort other(rig.platform, otherPoster);
    ASSERT_TRUE(other.Open("sim:/keyboard", kBase));
    const auto typeEnter = [&] {
        for (const CKeyValue value : {CKeyValue::Press, CKeyValue::Release}) {
            uint8_t report[kKeyReportLength];
            EncodeKeyReport({KEY_ENTER, value, CKeyboardDevice::NowUs()}, report);
            ASSERT_TRUE(rig.platform.InjectInputReport(
                "sim:/keyboard", std::vector<uint8_t>(report, report + kKeyReportLength)));
        }
    };
    ASSERT_EQ(device.SetGrab(true), 1);
    EXPECT_TRUE(device.IsGrabbed());
    EXPECT_FALSE(other.SetGrab(true));
    EXPECT_EQ(other.LastError(), EBUSY);
    typeEnter();
    PumpLines(1);
    CHidMessage message;
    EXPECT_FALSE(otherPoster.WaitForMessage(message, 300));

    ASSERT_EQ(device.SetGrab(false), 1);
    typeEnter();
    PumpLines(1);
    EXPECT_TRUE(otherPoster.WaitForMessage(message, 1000));
    EXPECT_EQ(rig.sink.Text(), "[0D] - 1 key\r\n[0D] - 1 key\r\n");
}

} // namespace
