// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "CTestDevice.h"

#include "device/CHidPort.h"

#include "support/CFakeHidPlatform.h"
#include "support/CReaderRig.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

namespace {

constexpr uint32_t kBase = 0x07E8;

// What the main dialog does with the reader's messages, on the thread that owns the port.
class ScanEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.platform.AddInterface(
            {MakeInterfaceInfo("/dev/a", 0x1209, 1, 0x008C, 0x0002, "Alpha", "1", "", 16, 8)});
        rig.platform.AddInterface(
            {MakeInterfaceInfo("/dev/b", 0x1209, 2, 0x008C, 0x0002, "Beta", "2", "", 16, 8)});
        rig.settings.Load("Settings");
        rig.settings.m_showSymbology = 1;
        rig.port.Enumerate(nullptr, "", false);
    }

    void OpenDevice(const std::string& name) {
        m_device.reset();
        ASSERT_TRUE(rig.port.Open(name, kBase));
        m_device = std::make_unique<CTestDevice>(rig.port, rig.sink, rig.settings, rig.notifier);
    }

    // Handles messages until `count` have been taken; returns how many reached the device.
    int Pump(int count) {
        int delivered = 0;
        for (int i = 0; i < count; ++i) {
            CHidMessage message;
            if (!rig.poster.WaitForMessage(message, 5000)) {
                break;
            }
            if (!rig.port.IsCurrent(message)) {
                continue;
            }
            if (message.messageId == HidMessageId(kBase, CHidMessageKind::Error)) {
                m_errors.push_back(message.errorCode);
                continue;
            }
            m_device->OnReport(message.report.data(), message.report.size());
            ++delivered;
        }
        return delivered;
    }

    CReaderRig<CFakeHidPlatform> rig;
    std::unique_ptr<CTestDevice> m_device;
    std::vector<int> m_errors;
};

TEST_F(ScanEndToEndTest, ScanArrivesDecodedInTheOutput) {
    OpenDevice("Alpha - 1");
    ASSERT_TRUE(rig.platform.Link("/dev/a")->SendInput({0x02, 0x01, 0x04, 'S', 'C', 'A', 'N'}));
    ASSERT_TRUE(rig.platform.Link("/dev/a")->SendInput({0x02, 0x02, 0x02, '4', '2'}));
    EXPECT_EQ(Pump(2), 2);
    EXPECT_EQ(rig.sink.Text(), "SCAN - C128\r\n42 - EAN-13\r\n");
    EXPECT_EQ(rig.sink.Scrolls(), 2);
}

TEST_F(ScanEndToEndTest, ReportsOfAReplacedReaderNeverReachTheNewDevice) {
    OpenDevice("Alpha - 1");
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(rig.platform.Link("/dev/a")->SendInput({0x02, 0x01, 0x03, 'O', 'L', 'D'}));
    }
    // Wait until the old reader has posted them all, unhandled, as a busy dialog would.
    for (int spins = 0; rig.poster.Size() < 5 && spins < 5000; ++spins) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(rig.poster.Size(), 5u);

    OpenDevice("Beta - 2");
    ASSERT_TRUE(rig.platform.Link("/dev/b")->SendInput({0x02, 0x01, 0x03, 'N', 'E', 'W'}));
    EXPECT_EQ(Pump(6), 1);
    EXPECT_EQ(m_device->Decoded(), 1);
    EXPECT_EQ(rig.sink.Text(), "NEW - C128\r\n");
}

TEST_F(ScanEndToEndTest, UnplugWhileReadingIsReportedOnce) {
    OpenDevice("Alpha - 1");
    ASSERT_TRUE(rig.platform.Link("/dev/a")->SendInput({0x02, 0x01, 0x01, 'X'}));
    rig.platform.Unplug("/dev/a");
    EXPECT_EQ(Pump(2), 1);
    EXPECT_EQ(m_errors, std::vector<int>{ENODEV});
    CHidMessage more;
    EXPECT_FALSE(rig.poster.WaitForMessage(more, 100));
    rig.port.Close();
    // Open again after the reader is back: a new reader, reports flow again.
    rig.platform.AddInterface(
        {MakeInterfaceInfo("/dev/a", 0x1209, 1, 0x008C, 0x0002, "Alpha", "1", "", 16, 8)});
    OpenDevice("Alpha - 1");
    ASSERT_TRUE(rig.platform.Link("/dev/a")->SendInput({0x02, 0x01, 0x01, 'Y'}));
    EXPECT_EQ(Pump(1), 1);
    EXPECT_EQ(rig.sink.Text(), "X - C128\r\nY - C128\r\n");
}

} // namespace
