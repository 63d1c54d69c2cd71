// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "support/CDeviceTestRig.h"

#include "device/CSurePosSioDevice.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Ins = CRecordingSink::CInsertion;
using Bytes = std::vector<uint8_t>;

constexpr OutputRole kLabel = OutputRole::Label;
constexpr OutputRole kHex = OutputRole::Hex;
constexpr OutputRole kDefault = OutputRole::Default;
const Ins kNewLine{"\r\n", std::nullopt, false};

// A 252-byte command report: the command, then each byte holding its own offset.
Bytes CommandReport(Bytes command) {
    for (size_t i = command.size(); i < 252; ++i) {
        command.push_back(uint8_t(i));
    }
    return command;
}

class SurePosSioDevice : public ::testing::Test {
protected:
    SurePosSioDevice() {
        rig.caps.outputReportByteLength = 252;
        rig.caps.featureReportByteLength = 250;
    }
    void Notify(uint8_t status) {
        const Bytes report = Padded({0x00, status, 0x07}, 64);
        device.OnReport(report.data(), report.size());
    }
    // The reader answers the contents request with k, one byte and `data`.
    void SetContents(const std::string& data, uint8_t k) {
        rig.log.featureAnswer = [data, k](uint8_t* buffer, size_t length) {
            ASSERT_GE(length, data.size() + 3);
            buffer[1] = k;
            buffer[2] = 0x00;
            std::memcpy(buffer + 3, data.data(), data.size());
        };
    }

    CDeviceTestRig rig;
    CSurePosSioDevice device{rig.port, rig.sink, rig.settings, rig.notifier};
};

TEST_F(SurePosSioDevice, NotificationsEndALineEmptyWithoutRaw) {
    device.SetAutoRead(0);
    Notify(0x00);
    rig.settings.m_showRaw = 1;
    Notify(0x10);
    EXPECT_EQ(rig.sink.Text(), "\r\n[10][07] - \r\n");
    const uint8_t idOnly[] = {0x00};
    device.OnReport(idOnly, sizeof idOnly);
    EXPECT_EQ(rig.sink.Text(), "\r\n[10][07] - \r\n - \r\n");
}

TEST_F(SurePosSioDevice, AutoReadOnDataWaitingReadsAndShowsContents) {
    ASSERT_TRUE(rig.OpenPort());
    device.SetAutoRead(1);
    SetContents("LABEL\r", 8);
    Notify(0x20);
    ASSERT_EQ(rig.log.getFeatureRequests.size(), 1u);
    const Bytes& request = rig.log.getFeatureRequests[0];
    EXPECT_EQ(request.size(), 250u);
    EXPECT_EQ(request[0], 0x00);
    const std::vector<Ins> expected = {
        kNewLine, {"LABEL", kLabel, true}, {"[0D]", kHex, true}, kNewLine};
    EXPECT_EQ(rig.sink.Insertions(), expected);

    Notify(0x10);
    Notify(0x01);
    Notify(0x40);
    EXPECT_EQ(rig.log.getFeatureRequests.size(), 2u);
}

TEST_F(SurePosSioDevice, WithoutAutoReadNothingIsFetched) {
    ASSERT_TRUE(rig.OpenPort());
    EXPECT_EQ(device.AutoRead(), 1); // until the stored value is loaded
    device.LoadSettings("Settings");
    EXPECT_EQ(device.AutoRead(), 0);
    Notify(0x30);
    EXPECT_TRUE(rig.log.getFeatureRequests.empty());
}

TEST_F(SurePosSioDevice, ContentsWithRawPrefixAndLabel) {
    ASSERT_TRUE(rig.OpenPort());
    rig.settings.m_showRaw = 1;
    SetContents("AB", 4);
    device.GetContents();
    EXPECT_EQ(rig.sink.Text(), "[04][00][41][42] - AB\r\n");
}

TEST_F(SurePosSioDevice, KOfOneShowsNoLabelBytes) {
    ASSERT_TRUE(rig.OpenPort());
    SetContents("AB", 1);
    device.GetContents();
    rig.settings.m_showRaw = 1;
    device.GetContents();
    EXPECT_EQ(rig.sink.Text(), "\r\n[01] - \r\n");
}

TEST_F(SurePosSioDevice, RawOnlyShowsNoLabel) {
    ASSERT_TRUE(rig.OpenPort());
    device.SetRawOnly(1);
    SetContents("AB", 4);
    device.GetContents();
    EXPECT_EQ(rig.sink.Insertions(), std::vector<Ins>{kNewLine});
    rig.settings.m_showRaw = 1;
    device.GetContents();
    EXPECT_EQ(rig.sink.Text(), "\r\n[04][00][41][42] - \r\n");
}

TEST_F(SurePosSioDevice, FailedReadShowsZeroedContents) {
    ASSERT_TRUE(rig.OpenPort());
    rig.settings.m_showRaw = 1;
    // A platform that scribbles into the buffer before failing.
    rig.log.failGetFeature = true;
    rig.log.featureAnswer = [](uint8_t* buffer, size_t length) {
        std::memset(buffer, 0xAA, length);
    };
    EXPECT_EQ(device.GetContents(), 1);
    EXPECT_EQ(rig.sink.Text(), " - \r\n");
    EXPECT_TRUE(rig.notifier.Messages().empty());
}

TEST_F(SurePosSioDevice, GetContentsOnClosedPortDoesNothing) {
    EXPECT_EQ(device.GetContents(), 1);
    EXPECT_TRUE(rig.sink.Insertions().empty());
}

TEST_F(SurePosSioDevice, ContentsLengthPastTheReportIsClamped) {
    rig.settings.m_showRaw = 1;
    const uint8_t contents[] = {200, 0x00, 'A', 'B'};
    device.ShowContents(contents, sizeof contents);
    EXPECT_EQ(rig.sink.Text(), "[C8][00][41][42] - AB\r\n");

    rig.sink.Clear();
    ASSERT_TRUE(rig.OpenPort());
    rig.log.featureAnswer = [](uint8_t* buffer, size_t length) {
        std::memset(buffer + 1, 'x', length - 1);
        buffer[1] = 0xFF;
    };
    device.GetContents();
    const auto& ins = rig.sink.Insertions();
    ASSERT_EQ(ins.size(), 4u);
    EXPECT_EQ(ins[0].text.size(), 249u * 4);
    EXPECT_EQ(ins[2], (Ins{std::string(247, 'x'), kLabel, true}));
}

TEST_F(SurePosSioDevice, CommandsAre252ByteReportsWithOffsetFiller) {
    ASSERT_TRUE(rig.OpenPort());
    device.Test();
    device.StatusRequest();
    device.Reset();
    device.Setup();
    device.ChannelControl();
    device.ReadStatus();
    device.ReceiveBuffer();
    const std::vector<Bytes> expected = {
        CommandReport({0x00, 0x04, 0x00, 0x00, 0x10}),
        CommandReport({0x00, 0x04, 0x00, 0x00, 0x20}),
        CommandReport({0x00, 0x04, 0x00, 0x00, 0x40}),
        CommandReport({0x00, 0x0A, 0x00, 0x01, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00}),
        CommandReport({0x00, 0x05, 0x00, 0x02, 0x00, 0x04}),
        CommandReport({0x00, 0x04, 0x00, 0x04, 0x00}),
        CommandReport({0x00, 0x04, 0x00, 0x10, 0x00})};
    EXPECT_EQ(rig.Writes(), expected);
    EXPECT_EQ(rig.Writes()[0][5], 0x05);
    EXPECT_EQ(rig.Writes()[0][251], 0xFB);
}

TEST_F(SurePosSioDevice, CommandLongerThanItsBytesReadsNoFurther) {
    ASSERT_TRUE(rig.OpenPort());
    const uint8_t command[] = {0x00, 0xFF, 0x00};
    device.SendCommand(command, sizeof command);
    ASSERT_EQ(rig.Writes().size(), 1u);
    EXPECT_EQ(rig.Writes()[0], CommandReport({0x00, 0xFF, 0x00}));
}

TEST_F(SurePosSioDevice, SetupEchoShowsTenBytes) {
    ASSERT_TRUE(rig.OpenPort());
    rig.settings.m_showOutput = 1;
    device.Setup();
    const std::vector<Ins> expected = {
        {"[00][0A][00][01][00][00][00][04][00][00]", OutputRole::Out, false},
        {"\r\n", kDefault, false}};
    EXPECT_EQ(rig.sink.Insertions(), expected);
}

TEST_F(SurePosSioDevice, TypedTextGetsTheFiveByteHeader) {
    ASSERT_TRUE(rig.OpenPort());
    rig.settings.m_showOutput = 1;
    device.SendString("abc");
    ASSERT_EQ(rig.Writes().size(), 1u);
    EXPECT_EQ(rig.Writes()[0], Padded({0x00, 0x07, 0x00, 0x08, 0x00, 'a', 'b', 'c'}, 252));
    EXPECT_EQ(rig.sink.Text(), "[00][07][00][08][00][61][62][63]\r\n");
}

TEST_F(SurePosSioDevice, OtherCommandsSendNothing) {
    ASSERT_TRUE(rig.OpenPort());
    EXPECT_EQ(device.TriggerOn(), 1);
    EXPECT_EQ(device.Disable(), 1);
    EXPECT_EQ(device.Enable(), 1);
    EXPECT_EQ(device.Beep(), 1);
    EXPECT_EQ(device.ErrorBeep(), 1);
    EXPECT_EQ(device.SetBeeper(1), 1);
    EXPECT_EQ(device.RedirectToInterface(0), 1);
    EXPECT_TRUE(rig.Writes().empty());
}

TEST_F(SurePosSioDevice, OwnKeysLoadedAndStoredBeforeDisplaySettings) {
    rig.store.WriteProfileInt("Settings", "RawOnly", 1);
    rig.store.WriteProfileInt("Settings", "AutoRead", 1);
    {
        CSurePosSioDevice other(rig.port, rig.sink, rig.settings, rig.notifier);
        other.LoadSettings("Settings");
        EXPECT_EQ(other.RawOnly(), 1);
        EXPECT_EQ(other.AutoRead(), 1);
        other.SetAutoRead(0);
        rig.store.ClearWrites();
    }
    const auto& writes = rig.store.Writes();
    ASSERT_GT(writes.size(), 2u);
    EXPECT_EQ(writes[0].key, "RawOnly");
    EXPECT_EQ(std::get<int32_t>(writes[0].value), 1);
    EXPECT_EQ(writes[1].key, "AutoRead");
    EXPECT_EQ(std::get<int32_t>(writes[1].value), 0);
    EXPECT_EQ(writes[2].key, "ShowRaw");
}

} // namespace
