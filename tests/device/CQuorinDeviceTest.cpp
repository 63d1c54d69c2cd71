// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "support/CDeviceTestRig.h"

#include "device/CQuorinDevice.h"

#include <gtest/gtest.h>

namespace {

using Ins = CRecordingSink::CInsertion;

constexpr OutputRole kLabel = OutputRole::Label;
constexpr OutputRole kHex = OutputRole::Hex;
constexpr OutputRole kDefault = OutputRole::Default;
const Ins kNewLine{"\r\n", std::nullopt, false};

class QuorinDevice : public ::testing::Test {
protected:
    CDeviceTestRig rig;
    CQuorinDevice device{rig.port, rig.sink, rig.settings, rig.notifier};
};

TEST_F(QuorinDevice, LengthZeroShowsEmptyLabelAndTwoRawBytes) {
    const auto report = Padded({0x00, 0x02, 0x00}, 64);
    device.OnReport(report.data(), report.size());
    EXPECT_EQ(rig.sink.Insertions(), std::vector<Ins>{kNewLine});

    rig.sink.Clear();
    rig.settings.m_showRaw = 1;
    device.OnReport(report.data(), report.size());
    const std::vector<Ins> expected = {
        {"[02][00]", kHex, false}, {" - ", kDefault, false}, kNewLine};
    EXPECT_EQ(rig.sink.Insertions(), expected);
    EXPECT_EQ(rig.sink.Scrolls(), 1);
}

TEST_F(QuorinDevice, LabelWithAnyReportIdAndChannelNeverCarriesAName) {
    rig.settings.m_showRaw = 1;
    rig.settings.m_showSymbology = 1;
    const auto report = Padded({0x07, 0xA5, 0x03, 'A', 'B', 0x0D, 'Z'}, 64);
    device.OnReport(report.data(), report.size());
    const std::vector<Ins> expected = {{"[A5][03][41][42][0D]", kHex, false},
                                       {" - ", kDefault, false},
                                       {"AB", kLabel, true},
                                       {"[0D]", kHex, true},
                                       kNewLine};
    EXPECT_EQ(rig.sink.Insertions(), expected);
}

TEST_F(QuorinDevice, LengthBytePastTheReportIsClampedToWhatWasReceived) {
    rig.settings.m_showRaw = 1;
    const uint8_t report[] = {0x00, 0x02, 0xFF, 'A', 'B'};
    device.OnReport(report, sizeof report);
    EXPECT_EQ(rig.sink.Text(), "[02][FF][41][42] - AB\r\n");

    rig.sink.Clear();
    const uint8_t noLength[] = {0x00, 0x02};
    device.OnReport(noLength, sizeof noLength);
    device.OnReport(noLength, 0);
    EXPECT_EQ(rig.sink.Text(), "[02] - \r\n");
}

TEST_F(QuorinDevice, CommandsSendSynCommandCrReports) {
    ASSERT_TRUE(rig.OpenPort());
    device.TriggerOn();
    device.TriggerOff();
    device.Beep();
    const std::vector<std::vector<uint8_t>> expected = {
        Padded({0x00, 0x30, 0x03, 0x16, 0x54, 0x0D}, 64),
        Padded({0x00, 0x30, 0x03, 0x16, 0x55, 0x0D}, 64),
        Padded({0x00, 0x30, 0x03, 0x16, 0x07, 0x0D}, 64)};
    EXPECT_EQ(rig.Writes(), expected);
}

TEST_F(QuorinDevice, ErrorBeepIsThreeBeepReportsEachEchoed) {
    ASSERT_TRUE(rig.OpenPort());
    rig.settings.m_showOutput = 1;
    EXPECT_EQ(device.ErrorBeep(), 1);
    const auto beep = Padded({0x00, 0x30, 0x03, 0x16, 0x07, 0x0D}, 64);
    EXPECT_EQ(rig.Writes(), (std::vector<std::vector<uint8_t>>{beep, beep, beep}));
    const std::string line = "[00][30][03][16][07][0D]\r\n";
    EXPECT_EQ(rig.sink.Text(), line + line + line);
}

TEST_F(QuorinDevice, DisableEnableAndRedirectSendNothing) {
    ASSERT_TRUE(rig.OpenPort());
    EXPECT_EQ(device.Disable(), 1);
    EXPECT_EQ(device.Enable(), 1);
    EXPECT_EQ(device.RedirectToInterface(1), 1);
    EXPECT_EQ(device.SetBeeper(0), 1);
    EXPECT_EQ(device.GetContents(), 1);
    EXPECT_TRUE(rig.Writes().empty());
    EXPECT_TRUE(rig.log.setFeatures.empty());
}

TEST_F(QuorinDevice, TypedTextIsFramedWithStreamHeader) {
    ASSERT_TRUE(rig.OpenPort());
    device.SendString("\\x16\\x07\\r");
    device.SendString("");
    const std::vector<std::vector<uint8_t>> expected = {
        Padded({0x00, 0x30, 0x03, 0x16, 0x07, 0x0D}, 64), Padded({0x00, 0x30, 0x00}, 64)};
    EXPECT_EQ(rig.Writes(), expected);
    EXPECT_TRUE(rig.notifier.Messages().empty());
}

TEST_F(QuorinDevice, TextTooLongForTheReportIsNotSentAndReported) {
    ASSERT_TRUE(rig.OpenPort());
    device.SendString(std::string(62, 'x')); // 64-byte report: room for 61 after the header
    EXPECT_TRUE(rig.Writes().empty());
    EXPECT_EQ(rig.notifier.Messages(),
              std::vector<std::string>{"Data could not be written to the device\n\nThe data is 62 "
                                       "bytes long with its escapes resolved; this reader takes at "
                                       "most 61 bytes at a time."});
    device.SendString(std::string(61, 'x'));
    EXPECT_EQ(rig.Writes().size(), 1u);
}

TEST_F(QuorinDevice, CommandsOnClosedPortDoNothing) {
    rig.settings.m_showOutput = 1;
    device.TriggerOn();
    device.ErrorBeep();
    device.SendString("abc");
    EXPECT_TRUE(rig.sink.Insertions().empty());
    EXPECT_TRUE(rig.notifier.Messages().empty());
}

} // namespace
