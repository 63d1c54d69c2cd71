// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "device/CHidPort.h"
#include "device/CQueuedPoster.h"

#include "support/CFakeHidPlatform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>

namespace {

constexpr uint32_t kBase = 0x07E8;
constexpr int kWaitMs = 5000; // generous: only a broken port ever waits this long

class HidPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Output report length 8, input report length 6.
        m_platform.AddInterface({MakeInterfaceInfo("/dev/fake0", 0x1209, 0x0001, 0x008C, 0x0002,
                                                   "Reader", "SN1", "", 6, 8)});
    }

    bool OpenReader(const std::string& name = "/dev/fake0") { return m_port.Open(name, kBase); }
    std::shared_ptr<CFakeHidLink> Link() { return m_platform.Link("/dev/fake0"); }

    std::vector<uint8_t> WrittenReport() {
        std::vector<uint8_t> report;
        EXPECT_TRUE(Link()->ReadOutput(report, kWaitMs));
        return report;
    }

    CFakeHidPlatform m_platform;
    CQueuedPoster m_poster;
    CReaderPort m_port{m_platform, m_poster};
};

TEST_F(HidPortTest, OpenKeepsCapsAndReadsUntilClose) {
    EXPECT_FALSE(m_port.CanRead());
    ASSERT_TRUE(OpenReader());
    EXPECT_TRUE(m_port.IsOpen());
    EXPECT_TRUE(m_port.CanRead());
    EXPECT_TRUE(m_port.IsRunning());
    EXPECT_EQ(m_port.MessageBase(), kBase);
    EXPECT_EQ(m_port.GetCaps().usagePage, 0x008C);
    EXPECT_EQ(m_port.GetCaps().outputReportByteLength, 8);

    m_port.Close();
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_FALSE(m_port.IsRunning());
    EXPECT_FALSE(m_port.CanRead());
    m_port.Close(); // twice is safe
    EXPECT_EQ(m_port.GetCaps().usagePage, 0x008C) << "capabilities stay readable after Close";
}

TEST_F(HidPortTest, OpenFailuresTellWhy) {
    CFakeInterface locked{MakeInterfaceInfo("/dev/locked", 0x1209, 2, 0x008C, 2, "R", "S")};
    locked.openError = EACCES;
    m_platform.AddInterface(locked);
    EXPECT_FALSE(m_port.Open("/dev/locked", kBase));
    EXPECT_EQ(m_port.LastError(), EACCES);
    EXPECT_FALSE(m_port.IsOpen());

    EXPECT_FALSE(m_port.Open("/dev/none", kBase));
    EXPECT_EQ(m_port.LastError(), ENOENT);

    // Without a message base there is nobody to read for.
    EXPECT_FALSE(m_port.Open("/dev/fake0", 0));
    EXPECT_FALSE(m_port.IsOpen());
}

TEST_F(HidPortTest, FirstReadFailingMakesOpenFailAtOnce) {
    CFakeInterface gone{MakeInterfaceInfo("/dev/gone", 0x1209, 3, 0x008C, 2, "R", "S")};
    gone.goneOnOpen = true;
    m_platform.AddInterface(gone);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(m_port.Open("/dev/gone", kBase));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(m_port.LastError(), ENODEV);
    EXPECT_FALSE(m_port.IsOpen());
    // It must not sit out the ready and stop bounds of a reader that will never be ready.
    EXPECT_LT(took, std::chrono::milliseconds(CHidPort::kReadyTimeoutMs));
    CHidMessage message;
    EXPECT_FALSE(m_poster.WaitForMessage(message, 50)) << "a failed open posts nothing";
}

TEST_F(HidPortTest, ShortWriteIsZeroPaddedToOutputLength) {
    ASSERT_TRUE(OpenReader());
    const uint8_t data[] = {0x04, 0x01, 0x02};
    ASSERT_TRUE(m_port.Write(data, sizeof data));
    EXPECT_EQ(WrittenReport(), (std::vector<uint8_t>{0x04, 0x01, 0x02, 0, 0, 0, 0, 0}));
    // The padding of a shorter report overwrites the bytes of a longer one before it.
    const uint8_t longer[] = {1, 2, 3, 4, 5, 6, 7};
    ASSERT_TRUE(m_port.Write(longer, sizeof longer));
    EXPECT_EQ(WrittenReport(), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 0}));
    const uint8_t one[] = {9};
    ASSERT_TRUE(m_port.Write(one, sizeof one));
    EXPECT_EQ(WrittenReport(), (std::vector<uint8_t>{9, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(HidPortTest, LongWriteIsSentUnchanged) {
    ASSERT_TRUE(OpenReader());
    const std::vector<uint8_t> exact = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(m_port.Write(exact.data(), exact.size()));
    EXPECT_EQ(WrittenReport(), exact);
    const std::vector<uint8_t> longer = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    ASSERT_TRUE(m_port.Write(longer.data(), longer.size()));
    EXPECT_EQ(WrittenReport(), longer) << "not truncated to the output report length";
}

TEST_F(HidPortTest, FramedWriteFitsOrSendsNothing) {
    ASSERT_TRUE(OpenReader());
    const uint8_t header[] = {0x00, 0x30, 0x03};
    const uint8_t payload[] = {'A', 'B', 'C'};
    ASSERT_TRUE(m_port.WriteWithHeader(payload, sizeof payload, header, sizeof header));
    EXPECT_EQ(WrittenReport(), (std::vector<uint8_t>{0x00, 0x30, 0x03, 'A', 'B', 'C', 0, 0}));

    const uint8_t full[] = {1, 2, 3, 4, 5};
    ASSERT_TRUE(m_port.WriteWithHeader(full, sizeof full, header, sizeof header));
    EXPECT_EQ(WrittenReport(), (std::vector<uint8_t>{0x00, 0x30, 0x03, 1, 2, 3, 4, 5}));

    const uint8_t tooLong[] = {1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(m_port.WriteWithHeader(tooLong, sizeof tooLong, header, sizeof header));
    std::vector<uint8_t> report;
    EXPECT_FALSE(Link()->ReadOutput(report, 50)) << "a report that does not fit is not sent";
}

TEST_F(HidPortTest, WritesOnAClosedPortFail) {
    const uint8_t data[] = {1};
    EXPECT_FALSE(m_port.Write(data, 1));
    EXPECT_FALSE(m_port.WriteWithHeader(data, 1, data, 1));
    uint8_t feature[4] = {0xFE};
    EXPECT_FALSE(m_port.GetFeature(feature, sizeof feature));
}

TEST_F(HidPortTest, WriteWaitsAtMostTheBoundThenFails) {
    ASSERT_TRUE(OpenReader());
    const uint8_t data[] = {1, 2};
    ASSERT_TRUE(m_port.Write(data, sizeof data));
    EXPECT_EQ(m_platform.LastWriteTimeout(), CHidPort::kWriteTimeoutMs);

    m_port.SetWriteTimeout(20);
    Link()->StallOutput();
    EXPECT_FALSE(m_port.Write(data, sizeof data));
    EXPECT_EQ(m_platform.LastWriteTimeout(), 20);
    EXPECT_EQ(m_port.LastError(), ETIMEDOUT);
    EXPECT_TRUE(m_port.IsRunning()) << "a failed write leaves the port open and reading";
}

TEST_F(HidPortTest, EachReportIsOneMessageWithACopyInOrderAndTheTimeItWasRead) {
    ASSERT_TRUE(OpenReader());
    const auto sent = std::chrono::steady_clock::now();
    for (uint8_t i = 0; i < 30; ++i) {
        ASSERT_TRUE(Link()->SendInput({0x02, i, uint8_t(i + 1)}));
    }
    auto previous = sent;
    for (uint8_t i = 0; i < 30; ++i) {
        CHidMessage message;
        ASSERT_TRUE(m_poster.WaitForMessage(message, kWaitMs));
        EXPECT_EQ(message.messageId, kBase);
        EXPECT_TRUE(m_port.IsCurrent(message));
        // Zero-padded to the input report length by the platform.
        EXPECT_EQ(message.report, (std::vector<uint8_t>{0x02, i, uint8_t(i + 1), 0, 0, 0}));
        // Read after it was sent, before it was taken, and not before the one ahead of it.
        EXPECT_GE(message.readTime, previous);
        EXPECT_LE(message.readTime, std::chrono::steady_clock::now());
        previous = message.readTime;
    }
}

TEST_F(HidPortTest, UnplugGivesExactlyOneErrorAfterTheReports) {
    ASSERT_TRUE(OpenReader());
    ASSERT_TRUE(Link()->SendInput({0x02, 'A'}));
    m_platform.Unplug("/dev/fake0");

    CHidMessage report;
    ASSERT_TRUE(m_poster.WaitForMessage(report, kWaitMs));
    EXPECT_EQ(report.messageId, kBase);
    CHidMessage error;
    ASSERT_TRUE(m_poster.WaitForMessage(error, kWaitMs));
    EXPECT_EQ(error.messageId, HidMessageId(kBase, CHidMessageKind::Error));
    EXPECT_EQ(error.errorCode, ENODEV);
    EXPECT_TRUE(error.report.empty());
    // Both still belong to the open port: the dialog must see them.
    EXPECT_TRUE(m_port.IsCurrent(report));
    EXPECT_TRUE(m_port.IsCurrent(error));

    CHidMessage more;
    EXPECT_FALSE(m_poster.WaitForMessage(more, 100));
    EXPECT_FALSE(m_port.IsRunning());
    EXPECT_TRUE(m_port.IsOpen()) << "open but not reading until Close";

    const auto start = std::chrono::steady_clock::now();
    m_port.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(CHidPort::kStopTimeoutMs))
        << "Close after the reader ended must not wait for an acknowledgement";
    EXPECT_FALSE(m_poster.WaitForMessage(more, 50));
}

TEST_F(HidPortTest, MessagesOfAReplacedReaderAreNotCurrent) {
    m_platform.AddInterface({MakeInterfaceInfo("/dev/fake1", 0x1209, 4, 0xFFA0, 1, "R", "S")});
    ASSERT_TRUE(OpenReader());
    ASSERT_TRUE(Link()->SendInput({0x02, 'o', 'l', 'd'}));
    CHidMessage old;
    ASSERT_TRUE(m_poster.WaitForMessage(old, kWaitMs));
    EXPECT_TRUE(m_port.IsCurrent(old));

    // Reopening the same interface is a new reader: the old one's messages are stale.
    ASSERT_TRUE(OpenReader());
    EXPECT_FALSE(m_port.IsCurrent(old));
    ASSERT_TRUE(m_port.Open("/dev/fake1", kBase));
    EXPECT_FALSE(m_port.IsCurrent(old));
    ASSERT_TRUE(m_platform.Link("/dev/fake1")->SendInput({0x31, 'n', 'e', 'w'}));
    CHidMessage fresh;
    ASSERT_TRUE(m_poster.WaitForMessage(fresh, kWaitMs));
    EXPECT_TRUE(m_port.IsCurrent(fresh));
    EXPECT_NE(fresh.generation, old.generation);
    EXPECT_EQ(m_port.Generation(), fresh.generation);

    m_port.Close();
    EXPECT_FALSE(m_port.IsCurrent(fresh)) << "nothing is current on a closed port";
    EXPECT_EQ(m_port.Generation(), 0u);
}

TEST_F(HidPortTest, FeatureReportsPassThroughTheConnection) {
    ASSERT_TRUE(OpenReader());
    const uint8_t set[] = {0xFE, 0x01, 0x00};
    ASSERT_TRUE(m_port.SetFeature(set, sizeof set));
    uint8_t get[3] = {0xFE};
    ASSERT_TRUE(m_port.GetFeature(get, sizeof get));
    EXPECT_EQ(get[1], 0x01);
    CHidAttributes attributes;
    ASSERT_TRUE(m_port.GetAttributes(attributes));
    EXPECT_EQ(attributes.vendorId, 0x1209);
}

} // namespace
